// Casts entered from line values or from a hexagram number and its
// changing lines.
#include "core/entry.h"

#include <gtest/gtest.h>

#include <string>

#include "core/hexagram.h"

namespace core {
namespace {

CodesCasting Cast(const EnteredCodes& e) {
  return CastFromCodes({e.codes[0], e.codes[1], e.codes[2], e.codes[3], e.codes[4], e.codes[5]});
}

std::string Joined(const EnteredCodes& e) {
  std::string s;
  for (const std::string& c : e.codes) s += (s.empty() ? "" : " ") + c;
  return s;
}

TEST(LineValues, ValidEntriesGiveTheirCodesAndFigures) {
  struct Case {
    const char* text;
    const char* codes;
    int primary, nuclear, changed;
  };
  const Case cases[] = {
      {"789698", "588 548 544 988 544 548", 63, 64, 51},
      {"777777", "588 588 588 588 588 588", 1, 1, 1},
      {"888888", "548 548 548 548 548 548", 2, 2, 2},
      {"999999", "544 544 544 544 544 544", 1, 1, 2},
      {"666666", "988 988 988 988 988 988", 2, 2, 1},
      {"  789698\t\n", "588 548 544 988 544 548", 63, 64, 51},
      {"779888", "588 588 544 548 548 548", 11, 54, 19},
  };
  for (const Case& c : cases) {
    const EnteredCodes e = CodesOfLineValues(c.text);
    ASSERT_TRUE(e.ok()) << c.text << ": " << e.error;
    EXPECT_EQ(Joined(e), c.codes) << c.text;
    const CodesCasting cast = Cast(e);
    ASSERT_TRUE(cast.valid) << c.text;
    EXPECT_EQ(cast.primaryNo, c.primary) << c.text;
    EXPECT_EQ(cast.nuclearNo, c.nuclear) << c.text;
    EXPECT_EQ(cast.changedNo, c.changed) << c.text;
  }
}

TEST(LineValues, InvalidEntriesSayWhatIsWrong) {
  struct Case {
    const char* text;
    const char* error;
  };
  const Case cases[] = {
      {"789598", "Знак 4 «5» — не значение черты: нужны 6, 7, 8 или 9"},
      {"x89698", "Знак 1 «x» — не значение черты: нужны 6, 7, 8 или 9"},
      {"78 698", "Знак 3 « » — не значение черты: нужны 6, 7, 8 или 9"},
      {"78ж698", "Знак 3 «ж» — не значение черты: нужны 6, 7, 8 или 9"},
      {"7\x01"
       "9698",
       "Знак 2 байт 0x01 — не значение черты: нужны 6, 7, 8 или 9"},
      {"78\xff"
       "698",
       "Знак 3 байт 0xFF — не значение черты: нужны 6, 7, 8 или 9"},
      {"７89698", "Знак 1 «７» — не значение черты: нужны 6, 7, 8 или 9"},
      {"78969", "Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено 5 знаков"},
      {"7896987", "Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено 7 знаков"},
      {"7", "Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено 1 знак"},
      {"78", "Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено 2 знака"},
      {"   ", "Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено 0 знаков"},
      {"789698789698789698789",
       "Нужно ровно шесть значений черт (6, 7, 8 или 9), с первой (нижней), а введено 21 знак"},
  };
  for (const Case& c : cases) {
    const EnteredCodes e = CodesOfLineValues(c.text);
    EXPECT_EQ(e.error, c.error) << c.text;
    for (const std::string& code : e.codes) EXPECT_EQ(code, "") << c.text;  // no codes
  }
}

TEST(HexagramEntry, NumberAndChangingLinesGiveTheirCodes) {
  struct Case {
    int number;
    std::vector<int> changing;
    const char* codes;
    int changed;
  };
  const Case cases[] = {
      {11, {3, 5}, "588 588 544 548 988 548", 60}, {11, {5, 3}, "588 588 544 548 988 548", 60},
      {1, {}, "588 588 588 588 588 588", 1},       {1, {1, 2, 3, 4, 5, 6}, "544 544 544 544 544 544", 2},
      {2, {6}, "548 548 548 548 548 988", 23},     {63, {}, "588 548 588 548 588 548", 63},
  };
  for (const Case& c : cases) {
    const EnteredCodes e = CodesOfHexagram(c.number, c.changing);
    ASSERT_TRUE(e.ok()) << c.number << ": " << e.error;
    EXPECT_EQ(Joined(e), c.codes) << c.number;
    const CodesCasting cast = Cast(e);
    EXPECT_EQ(cast.primaryNo, c.number);
    EXPECT_EQ(cast.changedNo, c.changed) << c.number;
  }
}

// Every number with every set of changing lines: the primary is the number
// entered and the changed figure has exactly those lines turned over.
TEST(HexagramEntry, EveryNumberAndEverySetOfLinesRoundTrips) {
  for (int number = 1; number <= 64; ++number)
    for (int mask = 0; mask < 64; ++mask) {
      std::vector<int> lines;
      Figure expected = FigureOfNumber(number);
      for (int l = 0; l < 6; ++l)
        if (mask & (1 << l)) {
          lines.push_back(l + 1);
          expected[static_cast<std::size_t>(l)] = !expected[static_cast<std::size_t>(l)];
        }
      const CodesCasting cast = Cast(CodesOfHexagram(number, lines));
      ASSERT_TRUE(cast.valid);
      ASSERT_EQ(cast.primaryNo, number);
      ASSERT_EQ(cast.changed, expected) << number << " " << mask;
    }
}

TEST(HexagramEntry, InvalidEntriesSayWhatIsWrong) {
  struct Case {
    int number;
    std::vector<int> changing;
    const char* error;
  };
  const Case cases[] = {
      {0, {}, "Номер гуа 0 вне пределов: нужен номер от 1 до 64"},
      {65, {1}, "Номер гуа 65 вне пределов: нужен номер от 1 до 64"},
      {-3, {}, "Номер гуа -3 вне пределов: нужен номер от 1 до 64"},
      {11, {0}, "Черта 0 вне пределов: черты нумеруются от 1 (нижняя) до 6"},
      {11, {3, 7}, "Черта 7 вне пределов: черты нумеруются от 1 (нижняя) до 6"},
      {11, {3, 5, 3}, "Черта 3 названа изменяющейся дважды"},
  };
  for (const Case& c : cases) EXPECT_EQ(CodesOfHexagram(c.number, c.changing).error, c.error) << c.number;
}

}  // namespace
}  // namespace core
