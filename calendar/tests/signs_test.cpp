// The table of stem and branch signs against facts a reader can check in
// any Chinese almanac.
#include "calendar/signs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "calendar/StvolyVetvi.h"
#include "moments.h"

namespace calendar {
namespace {

// Years of the sexagenary cycle as almanacs print them (mid-year, so the
// start of the year does not matter): 1984 and 2044 open a cycle with
// 甲子 (wood rat), 2024 is 甲辰 (wood dragon), 2000 庚辰 (metal dragon),
// 1949 己丑 (earth ox), 2026 丙午 (fire horse).
struct YearCase {
  int year;
  const char* stemSign;
  const char* branchSign;
  const char* animal;
  Phase phase;
};
constexpr YearCase kYears[] = {
    {1984, "甲", "子", "Крыса", Phase::Wood},  {2044, "甲", "子", "Крыса", Phase::Wood},
    {2024, "甲", "辰", "Дракон", Phase::Wood}, {2000, "庚", "辰", "Дракон", Phase::Metal},
    {1949, "己", "丑", "Бык", Phase::Earth},   {2026, "丙", "午", "Лошадь", Phase::Fire},
};

// Universal time, no correction.
const TimeSettings Utc{0, 0};

TEST(Signs, YearsOfTheAlmanac) {
  for (const YearCase& c : kYears) {
    SCOPED_TRACE(c.year);
    const TDateTime t = moments::Moment(c.year, 7, 1, 12);
    const int stem = YearStem(t, Utc), branch = YearBranch(t, Utc);
    EXPECT_EQ(StemSign(stem), c.stemSign);
    EXPECT_EQ(BranchSign(branch), c.branchSign);
    EXPECT_EQ(BranchAnimal(branch), c.animal);
    EXPECT_EQ(StemPhase(stem), c.phase);
  }
}

TEST(Signs, ReadingsAndPolarity) {
  EXPECT_EQ(StemReading(1), "Цзя");
  EXPECT_EQ(StemReading(10), "Гуй");
  EXPECT_EQ(BranchReading(1), "Цзы");
  EXPECT_EQ(BranchReading(12), "Хай");
  EXPECT_TRUE(StemIsYang(1));    // 甲 yang wood
  EXPECT_FALSE(StemIsYang(2));   // 乙 yin wood
  EXPECT_TRUE(BranchIsYang(7));  // 午 yang fire
  // The four cardinal branches hold the phase of their season at its height.
  EXPECT_EQ(BranchPhase(1), Phase::Water);   // 子 north
  EXPECT_EQ(BranchPhase(4), Phase::Wood);    // 卯 east
  EXPECT_EQ(BranchPhase(7), Phase::Fire);    // 午 south
  EXPECT_EQ(BranchPhase(10), Phase::Metal);  // 酉 west
  std::set<std::string_view> signs;
  for (int i = 1; i <= 10; ++i) signs.insert(StemSign(i));
  for (int i = 1; i <= 12; ++i) signs.insert(BranchSign(i));
  EXPECT_EQ(signs.size(), 22u);
}

TEST(Signs, OutOfRangeIsEmpty) {
  for (int n : {0, 11, -1}) EXPECT_TRUE(StemSign(n).empty());
  for (int n : {0, 13}) {
    EXPECT_TRUE(BranchReading(n).empty());
    EXPECT_EQ(BranchPhase(n), Phase::None);
  }
  EXPECT_EQ(PhaseName(Phase::Metal), "Металл");
}

}  // namespace
}  // namespace calendar
