#include "compass.h"

#include "double_hours.h"

namespace calendar {
namespace {

struct DirectionRow {
  std::string_view name, shortName, sign;
};
// Index = Direction value.
constexpr DirectionRow kDirections[9] = {
    {"Центр", "", "中"},         {"Север", "С", "北"},         {"Северо-восток", "СВ", "東北"},
    {"Восток", "В", "東"},       {"Юго-восток", "ЮВ", "東南"}, {"Юг", "Ю", "南"},
    {"Юго-запад", "ЮЗ", "西南"}, {"Запад", "З", "西"},         {"Северо-запад", "СЗ", "西北"},
};

struct TrigramRow {
  std::string_view sign, reading, image;
  Phase phase;
  Direction laterHeaven;
  int loShu;
};
// Trigram numbers of core/hexagram.h (1 = ☰ .. 8 = ☷).
constexpr TrigramRow kTrigrams[8] = {
    {"乾", "Цянь", "Небо", Phase::Metal, Direction::NorthWest, 6},
    {"兌", "Дуй", "Водоём", Phase::Metal, Direction::West, 7},
    {"離", "Ли", "Огонь", Phase::Fire, Direction::South, 9},
    {"震", "Чжэнь", "Гром", Phase::Wood, Direction::East, 3},
    {"巽", "Сюнь", "Ветер", Phase::Wood, Direction::SouthEast, 4},
    {"坎", "Кань", "Вода", Phase::Water, Direction::North, 1},
    {"艮", "Гэнь", "Гора", Phase::Earth, Direction::NorthEast, 8},
    {"坤", "Кунь", "Земля", Phase::Earth, Direction::SouthWest, 2},
};

bool IsTrigram(int t) {
  return t >= 1 && t <= 8;
}
int Index(Direction d) {
  return static_cast<int>(d);
}

// Phases in generating order, 0-based (Wood = 0).
Phase PhaseAt(int i) {
  return static_cast<Phase>(1 + (i % 5 + 5) % 5);
}

}  // namespace

double DirectionAzimuth(Direction d) {
  return d == Direction::Centre ? 0.0 : 45.0 * (Index(d) - 1);
}
std::string_view DirectionName(Direction d) {
  return kDirections[Index(d)].name;
}
std::string_view DirectionShortName(Direction d) {
  return kDirections[Index(d)].shortName;
}
std::string_view DirectionSign(Direction d) {
  return kDirections[Index(d)].sign;
}

Direction PhaseDirection(Phase phase) {
  switch (phase) {
    case Phase::Wood:
      return Direction::East;
    case Phase::Fire:
      return Direction::South;
    case Phase::Metal:
      return Direction::West;
    case Phase::Water:
      return Direction::North;
    default:
      return Direction::Centre;
  }
}

double BranchAzimuth(int branch) {
  return IsBranch(branch) ? 30.0 * (branch - 1) : 0.0;
}

Direction BranchDirection(int branch) {
  if (!IsBranch(branch)) return Direction::Centre;
  // 30-degree steps to the nearest 45-degree point; the branches either
  // side of a corner (丑 and 寅 ...) both belong to it.
  static constexpr Direction kNearest[12] = {Direction::North, Direction::NorthEast, Direction::NorthEast,
                                             Direction::East,  Direction::SouthEast, Direction::SouthEast,
                                             Direction::South, Direction::SouthWest, Direction::SouthWest,
                                             Direction::West,  Direction::NorthWest, Direction::NorthWest};
  return kNearest[branch - 1];
}

Direction StemDirection(int stem) {
  return IsStem(stem) ? PhaseDirection(StemPhase(stem)) : Direction::Centre;
}

double StemAzimuth(int stem) {
  const Direction d = StemDirection(stem);
  if (d == Direction::Centre) return 0.0;
  // The yang stem stands 15 degrees before the side's middle branch
  // (counted clockwise), the yin stem 15 degrees after it.
  const double middle = DirectionAzimuth(d);
  const double a = StemIsYang(stem) ? middle - 15.0 : middle + 15.0;
  return a < 0 ? a + 360.0 : a;
}

int BranchFirstHour(int branch) {
  return IsBranch(branch) ? DoubleHourFirstHour(branch - 1) : 0;
}
int BranchLastHour(int branch) {
  return IsBranch(branch) ? DoubleHourFirstHour(branch % 12) : 0;  // where the next one begins
}

// Phase is declared in generating order: the next one is generated, the
// one after it overcome.
Phase Generates(Phase phase) {
  return phase == Phase::None ? Phase::None : PhaseAt(static_cast<int>(phase));
}
Phase Overcomes(Phase phase) {
  return phase == Phase::None ? Phase::None : PhaseAt(static_cast<int>(phase) + 1);
}

std::string_view TrigramSign(int t) {
  return IsTrigram(t) ? kTrigrams[t - 1].sign : std::string_view();
}
std::string_view TrigramReading(int t) {
  return IsTrigram(t) ? kTrigrams[t - 1].reading : std::string_view();
}
std::string_view TrigramImage(int t) {
  return IsTrigram(t) ? kTrigrams[t - 1].image : std::string_view();
}
Phase TrigramPhase(int t) {
  return IsTrigram(t) ? kTrigrams[t - 1].phase : Phase::None;
}
Direction LaterHeavenDirection(int t) {
  return IsTrigram(t) ? kTrigrams[t - 1].laterHeaven : Direction::Centre;
}
int LoShuNumber(int t) {
  return IsTrigram(t) ? kTrigrams[t - 1].loShu : 0;
}

}  // namespace calendar
