// Zhu Xi's rule for the texts of a cast. Changed figures and their numbers
// are worked by hand from the King Wen table (lower trigram x upper trigram).
#include "core/reading.h"

#include <gtest/gtest.h>

#include <string>

namespace core {
namespace {

Figure Lines(const char* bottomToTop) {
  Figure f{};
  for (int n = 0; n < 6; ++n) f[n] = bottomToTop[n] == '1';
  return f;
}

TEST(Reading, ZhuXiRuleForNoneToSixChangingLines) {
  struct Case {
    const char* name;
    const char* primary;
    std::vector<int> changing;
    Reading expected;  // hexagram, lines, leadingLine, alsoHexagram, allLines
  };
  const Case cases[] = {
      {"none: the primary as a whole", "111111", {}, {1, {}, 0, 0, false}},
      {"one: that line", "111111", {3}, {1, {3}, 0, 0, false}},
      // 26: Heaven below, Mountain above.
      {"two: both, the upper leads", "111001", {5, 3}, {26, {3, 5}, 5, 0, false}},
      // Lines 1-3 of 1 turn: Earth below, Heaven above = 12.
      {"three: primary and changed", "111111", {1, 2, 3}, {1, {}, 0, 12, false}},
      // Lines 1-4 of 1 turn: Earth below, Wind (011) above = 20; lines 5, 6 stay.
      {"four: the two steady lines of the changed, the lower leads",
       "111111",
       {4, 1, 3, 2},
       {20, {5, 6}, 5, 0, false}},
      // Lines 1-5 of 1 turn: Earth below, Mountain (001) above = 23; line 6 stays.
      {"five: the steady line of the changed", "111111", {1, 2, 3, 4, 5}, {23, {6}, 0, 0, false}},
      {"six of 1: all nines", "111111", {1, 2, 3, 4, 5, 6}, {1, {}, 0, 0, true}},
      {"six of 2: all sixes", "000000", {1, 2, 3, 4, 5, 6}, {2, {}, 0, 0, true}},
      // 63 turned whole is 64.
      {"six of 63: the changed as a whole", "101010", {6, 5, 4, 3, 2, 1}, {64, {}, 0, 0, false}},
  };
  for (const Case& c : cases) {
    const Reading r = ReadingOf(Lines(c.primary), c.changing);
    EXPECT_EQ(r.hexagram, c.expected.hexagram) << c.name;
    EXPECT_EQ(r.lines, c.expected.lines) << c.name;
    EXPECT_EQ(r.leadingLine, c.expected.leadingLine) << c.name;
    EXPECT_EQ(r.alsoHexagram, c.expected.alsoHexagram) << c.name;
    EXPECT_EQ(r.allLines, c.expected.allLines) << c.name;
  }
}

TEST(Reading, RepeatedAndOutOfRangeLinesAreIgnored) {
  EXPECT_EQ(ReadingOf(Lines("111111"), {3, 3, 0, 7}), (Reading{1, {3}, 0, 0, false}));
}

}  // namespace
}  // namespace core
