// The 64 commentary pages as delivered: six line statements per page, bottom
// line first, each under its traditional heading, and the program's name
// table agreeing with the page titles.
//
// Whether a line is called "девятка" (yang) or "шестёрка" (yin) is taken from
// the figure of the hexagram's King Wen number (core::FigureOfNumber, itself
// checked against the King Wen table in hexagram_test.cpp), never from the
// page's own text.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/divination.h"
#include "core/hexagram.h"
#include "core/hexnames.h"

namespace core {
namespace {

std::string ReadPage(int number) {
  const std::string path = std::string(KALYNTH_COMMENT_DIR) + "/" + std::to_string(number) + ".htm";
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct LineSection {
  int position;
  std::string heading;
  std::string text;
};

// Every <section ... id="lineN"> with its <h3> heading and first paragraph,
// in the order they stand on the page.
std::vector<LineSection> LineSections(const std::string& page) {
  static const std::regex section(
      R"re(<section[^>]*\bid="line(\d)"[^>]*>\s*<h3>([^<]*)</h3>\s*<p>([^<]*)</p>)re");
  std::vector<LineSection> found;
  for (std::sregex_iterator it(page.begin(), page.end(), section), end; it != end; ++it)
    found.push_back({std::stoi((*it)[1]), (*it)[2], (*it)[3]});
  return found;
}

// The headings by the traditional rule, written out here: the bottom line is
// "в начале", the top line "наверху", the others are counted; a yang line is
// a nine, a yin line a six.
std::array<std::string, 6> Headings(const Figure& figure) {
  static const char* const counted[] = {"вторая", "третья", "четвёртая", "пятая"};
  std::array<std::string, 6> h;
  auto word = [&](int line, bool capital) {
    const bool yang = figure[static_cast<std::size_t>(line - 1)];
    return std::string(yang ? (capital ? "Девятка" : "девятка") : (capital ? "Шестёрка" : "шестёрка"));
  };
  h[0] = "В начале " + word(1, false);
  for (int line = 2; line <= 5; ++line) h[line - 1] = word(line, true) + " " + counted[line - 2];
  h[5] = "Наверху " + word(6, false);
  return h;
}

// A few pages worked by hand from the King Wen table (lower trigram x upper
// trigram), so the rule above is checked too.
TEST(CommentaryPages, HandWorkedHeadings) {
  struct Case {
    int number;
    std::array<const char*, 6> headings;
  };
  const Case cases[] = {
      {1,
       {"В начале девятка", "Девятка вторая", "Девятка третья", "Девятка четвёртая", "Девятка пятая",
        "Наверху девятка"}},
      {2,
       {"В начале шестёрка", "Шестёрка вторая", "Шестёрка третья", "Шестёрка четвёртая", "Шестёрка пятая",
        "Наверху шестёрка"}},
      // 3: Thunder (100) below, Water (010) above.
      {3,
       {"В начале девятка", "Шестёрка вторая", "Шестёрка третья", "Шестёрка четвёртая", "Девятка пятая",
        "Наверху шестёрка"}},
      // 10: Lake (110) below, Heaven (111) above.
      {10,
       {"В начале девятка", "Девятка вторая", "Шестёрка третья", "Девятка четвёртая", "Девятка пятая",
        "Наверху девятка"}},
      // 64: Water (010) below, Fire (101) above.
      {64,
       {"В начале шестёрка", "Девятка вторая", "Шестёрка третья", "Девятка четвёртая", "Шестёрка пятая",
        "Наверху девятка"}},
  };
  for (const Case& c : cases) {
    const std::vector<LineSection> sections = LineSections(ReadPage(c.number));
    ASSERT_EQ(sections.size(), 6u) << "page " << c.number;
    for (int k = 0; k < 6; ++k) EXPECT_EQ(sections[k].heading, c.headings[k]) << "page " << c.number;
  }
}

TEST(CommentaryPages, EveryPageHasSixLineStatementsInOrderUnderTheirHeadings) {
  for (int n = 1; n <= 64; ++n) {
    SCOPED_TRACE("page " + std::to_string(n));
    const std::string page = ReadPage(n);
    const std::vector<LineSection> sections = LineSections(page);
    const std::array<std::string, 6> expected = Headings(FigureOfNumber(n));
    ASSERT_EQ(sections.size(), 6u);
    for (int k = 0; k < 6; ++k) {
      EXPECT_EQ(sections[k].position, k + 1);
      EXPECT_EQ(sections[k].heading, expected[k]) << "line " << k + 1;
      // The program names a changing line exactly as its page heads it.
      EXPECT_EQ(LineName(k + 1, FigureOfNumber(n)[static_cast<std::size_t>(k)]), expected[k]);
      EXPECT_GE(sections[k].text.size(), 20u) << "line " << k + 1;
    }
    // No two lines of a page share a statement.
    for (int a = 0; a < 6; ++a)
      for (int b = a + 1; b < 6; ++b) EXPECT_NE(sections[a].text, sections[b].text);
    // The pages keep their links to their neighbours and to the index.
    for (int neighbour : {n - 1, n + 1}) {
      if (neighbour < 1 || neighbour > 64) continue;
      EXPECT_NE(page.find("href=\"" + std::to_string(neighbour) + ".htm\""), std::string::npos);
    }
    EXPECT_NE(page.find("href=\"index.htm\""), std::string::npos);
  }
}

// Only the two pure figures carry a statement for all six lines changing.
TEST(CommentaryPages, AllLinesStatementOnlyOnTheFirstTwoPages) {
  static const std::regex all(R"re(id="lines-all"[^>]*>\s*<h3>([^<]*)</h3>\s*<p>[^<]{20,}</p>)re");
  for (int n = 1; n <= 64; ++n) {
    std::smatch m;
    const std::string page = ReadPage(n);
    const bool has = std::regex_search(page, m, all);
    EXPECT_EQ(has, n == 1 || n == 2) << "page " << n;
    if (has) {
      EXPECT_EQ(m[1], n == 1 ? "Все девятки" : "Все шестёрки");
    }
  }
}

// The names the program prints come from the table the pages are made from;
// this pins that both agree (our own data on both sides).
TEST(HexagramNames, OwnTableAgreesWithThePageTitles) {
  for (int n = 1; n <= 64; ++n) {
    const HexagramName& name = NameOfHexagram(n);
    const std::string title = std::to_string(n) + ". " + std::string(name.hanzi) + " " +
                              std::string(name.transliteration) + " — " + std::string(name.name);
    EXPECT_NE(ReadPage(n).find("<title>" + title + "</title>"), std::string::npos) << title;
  }
  EXPECT_EQ(NameOfHexagram(1).name, "Творчество");
  EXPECT_EQ(NameOfHexagram(2).name, "Исполнение");
  EXPECT_THROW(NameOfHexagram(0), std::out_of_range);
  EXPECT_THROW(NameOfHexagram(65), std::out_of_range);
}

}  // namespace
}  // namespace core
