// Casting from the lunar date.
#include "core/datecast.h"

#include <gtest/gtest.h>

namespace core {
namespace {

// Year number, month, day, Chas index -> trigrams, changing line, the three
// numbers and the status text: the three examples worked through by hand
// for casting from the date.
struct DateCase {
  const char* name;
  int year, month, day, hourIndex;
  int upper, lower, changing;
  int primary, nuclear, changed;
  const char* status;
};

void PrintTo(const DateCase& c, std::ostream* os) {
  *os << c.name;
}

class DateCastingTest : public testing::TestWithParam<DateCase> {};

TEST_P(DateCastingTest, NumbersFiguresAndStatus) {
  const DateCase& c = GetParam();
  const DateNumbers n = Raschet(c.year, c.month, c.day, c.hourIndex);
  EXPECT_EQ(n.upperTrigram, c.upper);
  EXPECT_EQ(n.lowerTrigram, c.lower);
  EXPECT_EQ(n.changingLine, c.changing);

  const DateCasting r = CastFromDate(c.year, c.month, c.day, c.hourIndex);
  EXPECT_EQ(r.numbers.upperTrigram, c.upper);
  EXPECT_EQ(r.jaoNo, c.changing);
  EXPECT_EQ(r.primaryNo, c.primary);
  EXPECT_EQ(r.nuclearNo, c.nuclear);
  EXPECT_EQ(r.changedNo, c.changed);
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(r.changed[i] != r.primary[i], i == c.changing - 1) << "line " << i + 1;

  EXPECT_EQ(StatusText(c.year, std::to_string(c.month), std::to_string(c.day), c.hourIndex), c.status);

  // A record cast from the date restores the same figures from its primary lines and JaoNo.
  const DateCasting restored = RestoreDateCasting(r.primary, r.jaoNo);
  EXPECT_EQ(restored.primary, r.primary);
  EXPECT_EQ(restored.nuclear, r.nuclear);
  EXPECT_EQ(restored.changed, r.changed);
  EXPECT_EQ(restored.nuclearNo, c.nuclear);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateCastingTest,
    testing::Values(
        // s = 23, t = 30.
        DateCase{"Year5Month3Day15HourU", 5, 3, 15, 6, 7, 6, 6, 4, 24, 7,
                 "Гуа на год 5, месяц 3, день 15, час У"},
        // s = 8 gives trigram 8, not 0; t = 16. Primary 2: the changed figure is the nuclear source.
        DateCase{"RemainderZeroIsEight", 1, 1, 6, 7, 8, 8, 4, 2, 39, 16,
                 "Гуа на год 1, месяц 1, день 6, час Вэй"},
        // s = 54, t = 66: 66 mod 6 = 0 becomes line 6.
        DateCase{"LastOfEveryList", 12, 12, 30, 11, 6, 2, 6, 60, 27, 61,
                 "Гуа на год 12, месяц 12, день 30, час Хай"}),
    [](const testing::TestParamInfo<DateCase>& info) { return info.param.name; });

TEST(Raschet, EveryListSelectionGivesNumbersInRange) {
  for (int y = 1; y <= 12; ++y)
    for (int m = 1; m <= 12; ++m)
      for (int d = 1; d <= 30; ++d)
        for (int h = 0; h < 12; ++h) {
          const DateNumbers n = Raschet(y, m, d, h);
          ASSERT_TRUE(n.upperTrigram >= 1 && n.upperTrigram <= 8);
          ASSERT_TRUE(n.lowerTrigram >= 1 && n.lowerTrigram <= 8);
          ASSERT_TRUE(n.changingLine >= 1 && n.changingLine <= 6);
          // The upper trigram ignores the hour.
          ASSERT_EQ(n.upperTrigram, Raschet(y, m, d, (h + 5) % 12).upperTrigram);
        }
}

TEST(Chisla2, SetsLinesFromTrigramNumbers) {
  Figure f{false, false, false, false, false, false};
  // Upper 2 (110 from the bottom): line 4 yang, line 5 yang, line 6 yin; lower 7 (001).
  EXPECT_EQ(Chisla2(f, 2, 7, 3), 3);
  EXPECT_EQ(f, (Figure{false, false, true, true, true, false}));
}

TEST(Chisla2, OutOfRangeValuesLeaveLinesAndChangingLine) {
  const Figure start{true, false, true, false, true, false};
  Figure f = start;
  EXPECT_EQ(Chisla2(f, 0, 9, 0), 0);
  EXPECT_EQ(f, start);
  EXPECT_EQ(Chisla2(f, 8, -1, 7), 0);
  EXPECT_EQ(f, (Figure{true, false, true, false, false, false}));  // only the upper trigram set
}

TEST(StatusText, BranchNamesAndMissingSelections) {
  const char* const names[12] = {"Цзы", "Чоу", "Инь",  "Мао", "Чэнь", "Сы",
                                 "У",   "Вэй", "Шэнь", "Ю",   "Сюй",  "Хай"};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(BranchName(i), names[i]);
  EXPECT_EQ(BranchName(-1), "");
  EXPECT_EQ(BranchName(12), "");
  // No year and no hour selected: year 0, empty branch name.
  EXPECT_EQ(StatusText(0, "3", "15", -1), "Гуа на год 0, месяц 3, день 15, час ");
}

TEST(RestoreDateCasting, ChangingLineOutsideOneToSixMeansNone) {
  const Figure p{true, true, true, true, true, true};
  for (int jao : {0, 7, 9, -2}) {
    const DateCasting c = RestoreDateCasting(p, jao);
    EXPECT_EQ(c.jaoNo, 0) << jao;
    EXPECT_EQ(c.changed, p) << jao;
    EXPECT_EQ(c.primaryNo, 1);
    EXPECT_EQ(c.nuclearNo, 1);
  }
}

}  // namespace
}  // namespace core
