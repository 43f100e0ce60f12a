// Zhu Xi's rule for the texts of a cast. Changed figures and their numbers
// are worked by hand from the King Wen table (lower trigram x upper trigram).
#include "core/reading.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "core/divination.h"

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

// ---- the texts, against comment/hexagrams.py ------------------------------

// Every text of the table of texts (comment/hexagrams.py), as reading_texts.py
// writes it out: by hexagram, part and line, our wording and the classical text.
using TextKey = std::tuple<int, TextPart, int>;
struct TableText {
  std::string text, zh;
};

const std::map<TextKey, TableText>& TableTexts() {
  static const std::map<TextKey, TableText> table = [] {
    const std::map<std::string, TextPart> parts{{"judgement", TextPart::Judgement},
                                                {"image", TextPart::Image},
                                                {"line", TextPart::Line},
                                                {"all_lines", TextPart::AllLines}};
    std::map<TextKey, TableText> texts;
    std::ifstream in(KALYNTH_READING_TEXTS);
    for (std::string row; std::getline(in, row);) {
      std::vector<std::string> f;
      std::istringstream fields(row);
      for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
      f.resize(5);
      texts[{std::stoi(f[0]), parts.at(f[1]), std::stoi(f[2])}] = {f[3], f[4]};
    }
    return texts;
  }();
  return table;
}

// The selected texts of a cast as the table words them, in the order given.
struct Section {
  int hexagram;
  TextPart part;
  int line;
  const char* heading;
  bool leading = false;
};

void ExpectSections(const std::vector<ReadingText>& got, const std::vector<Section>& expected) {
  ASSERT_EQ(got.size(), expected.size());
  for (std::size_t i = 0; i < got.size(); ++i) {
    SCOPED_TRACE("text " + std::to_string(i + 1));
    const Section& e = expected[i];
    EXPECT_EQ(got[i].hexagram, e.hexagram);
    EXPECT_EQ(got[i].part, e.part);
    EXPECT_EQ(got[i].line, e.line);
    EXPECT_EQ(got[i].heading, e.heading);
    EXPECT_EQ(got[i].leading, e.leading);
    const auto table = TableTexts().find({e.hexagram, e.part, e.line});
    ASSERT_NE(table, TableTexts().end());
    EXPECT_FALSE(table->second.text.empty());
    EXPECT_FALSE(table->second.zh.empty());
    EXPECT_EQ(got[i].text, table->second.text);
    EXPECT_EQ(got[i].zh, table->second.zh);
  }
}

TEST(ReadingTexts, TheRuleSelectsTheTextsOfTheTable) {
  ASSERT_EQ(TableTexts().size(), 64u * 8 + 2) << "rows of " << KALYNTH_READING_TEXTS;
  constexpr TextPart J = TextPart::Judgement, I = TextPart::Image, L = TextPart::Line, A = TextPart::AllLines;
  struct Case {
    const char* name;
    const char* primary;
    std::vector<int> changing;
    std::vector<Section> selected;
  };
  // Figures and numbers worked by hand from the King Wen table (lower
  // trigram x upper trigram); the headings from the lines of the figure
  // whose texts are read.
  const Case cases[] = {
      // Thunder below, Water above: 3.
      {"none: 3 as a whole", "100010", {}, {{3, J, 0, "Суждение"}, {3, I, 0, "Образ"}}},
      // Heaven below, Earth above: 11; its line 2 is yang.
      {"one: line 2 of 11", "111000", {2}, {{11, L, 2, "Девятка вторая"}}},
      // Heaven below, Mountain above: 26; line 3 yang, line 5 yin.
      {"two: lines 3 and 5 of 26, the upper leads",
       "111001",
       {5, 3},
       {{26, L, 3, "Девятка третья"}, {26, L, 5, "Шестёрка пятая", true}}},
      // 63 with its lower Fire turned to Water: 29.
      {"three: 63, then 29",
       "101010",
       {3, 1, 2},
       {{63, J, 0, "Суждение"}, {63, I, 0, "Образ"}, {29, J, 0, "Суждение"}, {29, I, 0, "Образ"}}},
      // 2 with lines 2, 3, 5, 6 turned: Wind below and above, 57; lines 1
      // and 4 stay yin.
      {"four: lines 1 and 4 of 57, the lower leads",
       "000000",
       {6, 2, 5, 3},
       {{57, L, 1, "В начале шестёрка", true}, {57, L, 4, "Шестёрка четвёртая"}}},
      // Lake below, Wind above: 61; all but line 4 turned gives Mountain
      // below, Earth above: 15, whose line 4 is yin.
      {"five: line 4 of 15", "110011", {1, 2, 3, 5, 6}, {{15, L, 4, "Шестёрка четвёртая"}}},
      // 3 turned whole: Wind below, Fire above, 50.
      {"six: 50 as a whole", "100010", {1, 2, 3, 4, 5, 6}, {{50, J, 0, "Суждение"}, {50, I, 0, "Образ"}}},
      {"six of 1: all nines", "111111", {1, 2, 3, 4, 5, 6}, {{1, A, 0, "Все девятки"}}},
      {"six of 2: all sixes", "000000", {6, 5, 4, 3, 2, 1}, {{2, A, 0, "Все шестёрки"}}},
  };
  std::vector<std::string> rules;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadingTexts texts = TextsOfReading(Lines(c.primary), c.changing);
    ExpectSections(texts.selected, c.selected);
    EXPECT_FALSE(texts.rule.empty());
    rules.push_back(texts.rule);
  }
  // Every case has a sentence of its own.
  std::sort(rules.begin(), rules.end());
  EXPECT_EQ(std::unique(rules.begin(), rules.end()), rules.end());
}

// Every text of every hexagram, read as the table has it: the whole
// hexagram when nothing changes, each line when it alone changes.
TEST(ReadingTexts, EveryTextIsTheTableText) {
  for (int n = 1; n <= 64; ++n) {
    SCOPED_TRACE("hexagram " + std::to_string(n));
    const Figure figure = FigureOfNumber(n);
    ExpectSections(TextsOfReading(figure, {}).selected,
                   {{n, TextPart::Judgement, 0, "Суждение"}, {n, TextPart::Image, 0, "Образ"}});
    for (int line = 1; line <= 6; ++line) {
      const std::string heading = LineName(line, figure[static_cast<std::size_t>(line - 1)]);
      ExpectSections(TextsOfReading(figure, {line}).selected, {{n, TextPart::Line, line, heading.c_str()}});
    }
  }
}

// The selected texts and the rest are every text of the primary and the
// changed hexagram, each once.
TEST(ReadingTexts, SelectedAndRestAreEveryTextOnce) {
  const struct {
    const char* primary;
    std::vector<int> changing;
    std::vector<int> hexagrams;
  } cases[] = {
      {"100010", {}, {3}},
      {"111001", {3, 5}, {26, 61}},  // Lake below, Wind above: 61
      {"111111", {1, 2, 3, 4, 5, 6}, {1, 2}},
      {"101010", {1, 2, 3}, {63, 29}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.primary);
    const ReadingTexts texts = TextsOfReading(Lines(c.primary), c.changing);
    std::vector<TextKey> got, expected;
    for (const auto* list : {&texts.selected, &texts.rest})
      for (const ReadingText& t : *list) got.emplace_back(t.hexagram, t.part, t.line);
    for (const auto& [key, text] : TableTexts())
      if (std::find(c.hexagrams.begin(), c.hexagrams.end(), std::get<0>(key)) != c.hexagrams.end())
        expected.push_back(key);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, expected);
  }
}

}  // namespace
}  // namespace core
