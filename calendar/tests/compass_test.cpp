// The compass of the reference diagrams against facts of the classical
// sources a practitioner checks them with: the Discussion of the Trigrams
// (說卦傳) for King Wen's arrangement, the nine-cell square (洛書), the
// twenty-four points of the geomancer's compass, and the two cycles of the
// five phases as every textbook gives them.
#include "calendar/compass.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <set>
#include <string>

#include "calendar/StvolyVetvi.h"
#include "core/hexagram.h"
#include "moments.h"

namespace calendar {
namespace {

// Trigrams by their lines, bottom to top, so that a wrong row in the table
// (a name on the wrong figure) shows here. Places from 說卦傳 §5: 震 east,
// 巽 south-east, 離 south, 坤 south-west, 兌 west, 乾 north-west, 坎 north,
// 艮 north-east; phases as the trigrams' images give them.
struct TrigramCase {
  std::array<bool, 3> lines;
  const char* sign;
  const char* reading;
  const char* image;
  Phase phase;
  Direction place;
  int loShu;
};
constexpr TrigramCase kTrigrams[] = {
    {{true, true, true}, "乾", "Цянь", "Небо", Phase::Metal, Direction::NorthWest, 6},
    {{true, true, false}, "兌", "Дуй", "Водоём", Phase::Metal, Direction::West, 7},
    {{true, false, true}, "離", "Ли", "Огонь", Phase::Fire, Direction::South, 9},
    {{true, false, false}, "震", "Чжэнь", "Гром", Phase::Wood, Direction::East, 3},
    {{false, true, true}, "巽", "Сюнь", "Ветер", Phase::Wood, Direction::SouthEast, 4},
    {{false, true, false}, "坎", "Кань", "Вода", Phase::Water, Direction::North, 1},
    {{false, false, true}, "艮", "Гэнь", "Гора", Phase::Earth, Direction::NorthEast, 8},
    {{false, false, false}, "坤", "Кунь", "Земля", Phase::Earth, Direction::SouthWest, 2},
};

int TrigramWithLines(const std::array<bool, 3>& lines) {
  for (int t = 1; t <= 8; ++t)
    if (core::TrigramLines(t) == lines) return t;
  return 0;
}

TEST(Compass, TrigramsByTheirLines) {
  for (const TrigramCase& c : kTrigrams) {
    SCOPED_TRACE(c.sign);
    const int t = TrigramWithLines(c.lines);
    ASSERT_NE(t, 0);
    EXPECT_EQ(TrigramSign(t), c.sign);
    EXPECT_EQ(TrigramReading(t), c.reading);
    EXPECT_EQ(TrigramImage(t), c.image);
    EXPECT_EQ(TrigramPhase(t), c.phase);
    EXPECT_EQ(LaterHeavenDirection(t), c.place);
    EXPECT_EQ(LoShuNumber(t), c.loShu);
  }
}

// In King Wen's circle the pairs face each other: 離 south and 坎 north,
// 震 east and 兌 west, 巽 south-east and 乾 north-west, 坤 south-west and
// 艮 north-east; every place holds one trigram.
TEST(Compass, LaterHeavenOppositePairs) {
  const std::pair<const char*, const char*> pairs[] = {
      {"離", "坎"}, {"震", "兌"}, {"巽", "乾"}, {"坤", "艮"}};
  auto bySign = [](std::string_view sign) {
    for (int t = 1; t <= 8; ++t)
      if (TrigramSign(t) == sign) return t;
    return 0;
  };
  for (const auto& [a, b] : pairs) {
    SCOPED_TRACE(a);
    const double da = DirectionAzimuth(LaterHeavenDirection(bySign(a)));
    const double db = DirectionAzimuth(LaterHeavenDirection(bySign(b)));
    EXPECT_EQ(std::fmod(da + 180.0, 360.0), db);
  }
  std::set<Direction> places;
  for (int t = 1; t <= 8; ++t) places.insert(LaterHeavenDirection(t));
  EXPECT_EQ(places.size(), 8u);
  EXPECT_EQ(places.count(Direction::Centre), 0u);
}

// 洛書: every row, column and diagonal of the square sums to 15, with 5 in
// the centre, so opposite places sum to 10.
TEST(Compass, LoShuSquareSumsToFifteen) {
  std::map<Direction, int> at{{Direction::Centre, 5}};
  for (int t = 1; t <= 8; ++t) at[LaterHeavenDirection(t)] = LoShuNumber(t);
  using D = Direction;
  const std::array<std::array<D, 3>, 8> lines = {{
      {D::SouthEast, D::South, D::SouthWest},
      {D::East, D::Centre, D::West},
      {D::NorthEast, D::North, D::NorthWest},
      {D::SouthEast, D::East, D::NorthEast},
      {D::South, D::Centre, D::North},
      {D::SouthWest, D::West, D::NorthWest},
      {D::SouthEast, D::Centre, D::NorthWest},
      {D::SouthWest, D::Centre, D::NorthEast},
  }};
  for (const auto& line : lines) EXPECT_EQ(at[line[0]] + at[line[1]] + at[line[2]], 15);
}

// 相生: wood feeds fire, fire makes earth, earth bears metal, metal carries
// water, water feeds wood. 相克: wood parts earth, earth dams water, water
// quenches fire, fire melts metal, metal cuts wood.
TEST(Compass, GeneratingAndOvercomingCycles) {
  const std::pair<Phase, Phase> generating[] = {{Phase::Wood, Phase::Fire},
                                                {Phase::Fire, Phase::Earth},
                                                {Phase::Earth, Phase::Metal},
                                                {Phase::Metal, Phase::Water},
                                                {Phase::Water, Phase::Wood}};
  const std::pair<Phase, Phase> overcoming[] = {{Phase::Wood, Phase::Earth},
                                                {Phase::Earth, Phase::Water},
                                                {Phase::Water, Phase::Fire},
                                                {Phase::Fire, Phase::Metal},
                                                {Phase::Metal, Phase::Wood}};
  for (const auto& [from, to] : generating) EXPECT_EQ(Generates(from), to) << PhaseName(from);
  for (const auto& [from, to] : overcoming) EXPECT_EQ(Overcomes(from), to) << PhaseName(from);
  EXPECT_EQ(Generates(Phase::None), Phase::None);
}

// The twenty-four points of the geomancer's compass (二十四山), every 15
// degrees from 子 at north: 子 癸 丑 艮 寅 甲 卯 乙 辰 巽 巳 丙 午 丁 未 坤 申 庚
// 酉 辛 戌 乾 亥 壬. The four corner trigrams are not stems or branches.
TEST(Compass, TwentyFourMountains) {
  const char* const points[24] = {"子", "癸", "丑", "艮", "寅", "甲", "卯", "乙", "辰", "巽", "巳", "丙",
                                  "午", "丁", "未", "坤", "申", "庚", "酉", "辛", "戌", "乾", "亥", "壬"};
  std::map<double, std::string_view> onCompass;
  for (int b = 1; b <= 12; ++b) onCompass[BranchAzimuth(b)] = BranchSign(b);
  for (int s = 1; s <= 10; ++s)
    if (StemDirection(s) != Direction::Centre) onCompass[StemAzimuth(s)] = StemSign(s);
  for (int i = 0; i < 24; ++i) {
    SCOPED_TRACE(i * 15);
    const auto it = onCompass.find(i * 15.0);
    if (i % 6 == 3) {  // 45, 135, 225, 315: the corner trigrams
      EXPECT_EQ(it, onCompass.end());
      continue;
    }
    ASSERT_NE(it, onCompass.end());
    EXPECT_EQ(it->second, points[i]);
  }
  // 戊 and 己, the earth stems, stand in the centre.
  EXPECT_EQ(StemDirection(5), Direction::Centre);
  EXPECT_EQ(StemDirection(6), Direction::Centre);
}

// Branches and their sides: 子 north, 卯 east, 午 south, 酉 west; the
// corners are shared by two branches (丑 and 寅 north-east ...).
TEST(Compass, BranchesAndTheirSides) {
  const Direction sides[12] = {Direction::North, Direction::NorthEast, Direction::NorthEast,
                               Direction::East,  Direction::SouthEast, Direction::SouthEast,
                               Direction::South, Direction::SouthWest, Direction::SouthWest,
                               Direction::West,  Direction::NorthWest, Direction::NorthWest};
  for (int b = 1; b <= 12; ++b) EXPECT_EQ(BranchDirection(b), sides[b - 1]) << BranchReading(b);
  EXPECT_EQ(DirectionName(Direction::South), "Юг");
  EXPECT_EQ(DirectionShortName(Direction::NorthWest), "СЗ");
  EXPECT_EQ(DirectionSign(Direction::East), "東");
}

// Double hours as almanacs give them: 子 23-1, 丑 1-3, 午 11-13, 亥 21-23;
// and the hour stem of the calendar lands in the same double hour.
TEST(Compass, DoubleHours) {
  const int first[12] = {23, 1, 3, 5, 7, 9, 11, 13, 15, 17, 19, 21};
  for (int b = 1; b <= 12; ++b) {
    SCOPED_TRACE(b);
    EXPECT_EQ(BranchFirstHour(b), first[b - 1]);
    EXPECT_EQ(BranchLastHour(b), (first[b - 1] + 2) % 24);
    // A moment in the middle of the double hour has that branch.
    const int midHour = (first[b - 1] + 1) % 24;
    EXPECT_EQ(HourBranch(moments::Moment(2024, 3, 5, midHour), TimeSettings{}), b);
  }
}

}  // namespace
}  // namespace calendar
