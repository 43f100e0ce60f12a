// Line codes, King Wen numbers, changed and nuclear figures.
#include "core/hexagram.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace core {
namespace {

Figure Lines(const char* bottomToTop) {  // "100010": line 1 yang, line 5 yang
  Figure f{};
  for (int n = 0; n < 6; ++n) f[n] = bottomToTop[n] == '1';
  return f;
}

// Every three-character digit string: only a first digit 5 or 9 followed
// by two digits 4 or 8 makes a valid code, eight codes in all.
TEST(LineCode, OnlyTheEightShapesAreValid) {
  int valid = 0;
  for (int i = 0; i < 1000; ++i) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%03d", i);
    const std::string code = buf;
    const bool shape = (code[0] == '5' || code[0] == '9') && (code[1] == '4' || code[1] == '8') &&
                       (code[2] == '4' || code[2] == '8');
    ASSERT_EQ(IsValidCode(code), shape) << code;
    if (!shape) continue;
    ++valid;
  }
  EXPECT_EQ(valid, 8);
}

// The table of line codes, row by row: the line of the primary and of the
// changed hexagram (1 = yang) and whether the field shows red.
TEST(LineCode, TableOfTheEightCodes) {
  struct Row {
    const char* code;
    bool primary, changed, red;
  };
  const Row table[] = {
      {"544", true, false, true}, {"548", false, false, false}, {"584", false, false, false},
      {"588", true, true, false}, {"944", false, false, false}, {"948", true, true, false},
      {"984", true, true, false}, {"988", false, true, true},
  };
  for (const Row& r : table) {
    EXPECT_TRUE(IsValidCode(r.code)) << r.code;
    EXPECT_EQ(PrimaryLine(r.code), r.primary) << r.code;
    EXPECT_EQ(ChangedLine(r.code), r.changed) << r.code;
    EXPECT_EQ(IsChangingCode(r.code), r.red) << r.code;
  }
}

TEST(LineCode, PartialOrDecoratedTextIsInvalid) {
  for (const char* text : {"", "5", "54", "545", "abc", " 544", "544 ", "5440", "0544", "5 44", "５44"}) {
    EXPECT_FALSE(IsValidCode(text)) << '"' << text << '"';
    EXPECT_FALSE(IsChangingCode(text)) << '"' << text << '"';
    // Any fixed line will do for an invalid code; it must not depend on the text.
    EXPECT_EQ(PrimaryLine(text), PrimaryLine("xyz"));
    EXPECT_EQ(ChangedLine(text), ChangedLine("xyz"));
  }
}

TEST(Trigram, NumbersAndLines) {
  // Trigram number -> lines from the bottom up (1 = yang), as casting from the date names them.
  const char* const table[8] = {"111", "110", "101", "100", "011", "010", "001", "000"};
  for (int t = 1; t <= 8; ++t) {
    const auto lines = TrigramLines(t);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(lines[i], table[t - 1][i] == '1') << "trigram " << t;
  }
  EXPECT_THROW(TrigramLines(0), std::out_of_range);
  EXPECT_THROW(TrigramLines(9), std::out_of_range);
}

TEST(KingWen, IsABijectionOntoOneToSixtyFour) {
  std::set<int> seen;
  for (int bits = 0; bits < 64; ++bits) {
    Figure f{};
    for (int n = 0; n < 6; ++n) f[n] = (bits >> n) & 1;
    const int no = CalcNoGua(f);
    ASSERT_GE(no, 1);
    ASSERT_LE(no, 64);
    EXPECT_TRUE(seen.insert(no).second) << "number " << no << " given twice";
    EXPECT_EQ(FigureOfNumber(no), f) << "number " << no;
  }
  EXPECT_EQ(seen.size(), 64u);
  EXPECT_THROW(FigureOfNumber(0), std::out_of_range);
  EXPECT_THROW(FigureOfNumber(65), std::out_of_range);
}

// An independent check of the whole table: in the King Wen order each even
// number is its odd predecessor turned upside down, or, when that figure is
// symmetric (1, 27, 29, 61), the predecessor with every line inverted.
TEST(KingWen, PairsAreReversedOrInverted) {
  for (int odd = 1; odd < 64; odd += 2) {
    const Figure a = FigureOfNumber(odd);
    const Figure b = FigureOfNumber(odd + 1);
    const Figure reversed{a[5], a[4], a[3], a[2], a[1], a[0]};
    if (reversed != a) {
      EXPECT_EQ(b, reversed) << odd << " and " << odd + 1;
    } else {
      for (int n = 0; n < 6; ++n) EXPECT_NE(b[n], a[n]) << odd << " and " << odd + 1 << " line " << n + 1;
    }
  }
}

TEST(KingWen, NamedExamples) {
  // Examples given with the table: lines from the bottom up.
  EXPECT_EQ(CalcNoGua(Lines("111111")), 1);
  EXPECT_EQ(CalcNoGua(Lines("000000")), 2);
  EXPECT_EQ(CalcNoGua(Lines("100010")), 3);
  EXPECT_EQ(CalcNoGua(Lines("010001")), 4);
  EXPECT_EQ(CalcNoGua(Lines("101010")), 63);
  EXPECT_EQ(CalcNoGua(Lines("011111")), 44);  // line 1 yin on an all-yang figure
}

TEST(ChangedFigure, InvertsOnlyTheChangingLine) {
  const Figure p = Lines("101100");
  const char* const changed[6] = {"001100", "111100", "100100", "101000", "101110", "101101"};
  for (int n = 1; n <= 6; ++n) EXPECT_EQ(ChangedFigure(p, n), Lines(changed[n - 1])) << "line " << n;
  for (int none : {0, 7, -1}) EXPECT_EQ(ChangedFigure(p, none), p) << none;
}

TEST(Nuclear, TakesLinesTwoThreeFourThreeFourFive) {
  // Neither figure is 1 or 2: the primary is the source.
  const Figure primary = Lines("101010");  // 63
  EXPECT_EQ(NuclearFigure(primary, Lines("000000")), Lines("010101"));
  EXPECT_EQ(CalcNoGua(Lines("010101")), 64);
}

// Six line codes (line 1 first) -> the three numbers shown by ">>"; cases
// worked through by hand in the rules for line codes and the nuclear figure.
struct CodesCase {
  const char* name;
  std::array<std::string_view, 6> codes;
  bool valid;
  int primary, nuclear, changed;
};

void PrintTo(const CodesCase& c, std::ostream* os) {
  *os << c.name;
}

class CodesCastingTest : public testing::TestWithParam<CodesCase> {};

TEST_P(CodesCastingTest, Numbers) {
  const CodesCase& c = GetParam();
  const CodesCasting r = CastFromCodes(c.codes);
  EXPECT_EQ(r.valid, c.valid);
  if (!c.valid) return;
  EXPECT_EQ(r.primaryNo, c.primary);
  EXPECT_EQ(r.nuclearNo, c.nuclear);
  EXPECT_EQ(r.changedNo, c.changed);
  EXPECT_EQ(CalcNoGua(r.primary), r.primaryNo);
  EXPECT_EQ(CalcNoGua(r.nuclear), r.nuclearNo);
  EXPECT_EQ(CalcNoGua(r.changed), r.changedNo);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodesCastingTest,
    testing::Values(
        CodesCase{"NoChangingLines", {"588", "588", "588", "588", "588", "588"}, true, 1, 1, 1},
        // Changed is 2, so the primary stays the source although it is 1.
        CodesCase{"AllOldYang", {"544", "544", "544", "544", "544", "544"}, true, 1, 1, 2},
        CodesCase{"AllOldYin", {"988", "988", "988", "988", "988", "988"}, true, 2, 2, 1},
        // Primary 1, changed 10: the changed hexagram is the nuclear source.
        CodesCase{"ThirdLineChanges", {"588", "588", "544", "588", "588", "588"}, true, 1, 37, 10},
        CodesCase{"AfterCompletion", {"588", "548", "588", "548", "588", "548"}, true, 63, 64, 63},
        CodesCase{"MixedCodes", {"984", "944", "948", "584", "548", "988"}, true, 36, 40, 22},
        CodesCase{"SixthFieldEmpty", {"588", "588", "588", "588", "588", ""}, false, 0, 0, 0},
        CodesCase{"PartialCode", {"54", "588", "588", "588", "588", "588"}, false, 0, 0, 0}),
    [](const testing::TestParamInfo<CodesCase>& info) { return info.param.name; });

}  // namespace
}  // namespace core
