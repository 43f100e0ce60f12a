// The classical text on the commentary pages: every page carries the
// Judgement, the whole Image and the six lines, each in our Russian wording
// with the received Chinese text beneath it, and the standing formulas of the
// Chinese text always get the one Russian rendering the whole commentary
// uses for them.
//
// The patterns below are ASCII or plain byte strings: std::regex and word
// boundaries know nothing of Cyrillic, so Russian text is only ever searched
// for as bytes.
#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/hexagram.h"
#include "core/hexnames.h"
#include "core/hextexts.h"

namespace core {
namespace {

// Pages 1..kPagesWithClassicalText carry the classical text; the others
// are still being written and are checked only where they already carry it.
constexpr int kPagesWithClassicalText = 64;

std::string ReadPage(int number) {
  const std::string path = std::string(KALYNTH_COMMENT_DIR) + "/" + std::to_string(number) + ".htm";
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// One part of a page: our wording and the classical text under it.
struct Passage {
  std::string where;  // "judgement", "image", "line 3", "all lines"
  std::string russian;
  std::string chinese;     // without the heading
  std::string zh_heading;  // 初九, 六二... for a line, empty otherwise
};

const std::string kZhOpen = R"(<p class="zh" lang="zh-Hant">)";

// The section opened by `open`, up to its first "</section>".
std::string SectionOf(const std::string& page, const std::string& open) {
  const std::size_t at = page.find(open);
  if (at == std::string::npos) return {};
  const std::size_t end = page.find("</section>", at);
  return page.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

// Our paragraph (the first plain <p>) and the classical one of a section.
bool ReadPassage(const std::string& section, Passage& p) {
  static const std::regex ours(R"re(</h[23]>\s*<p>([^<]*)</p>\s*)re");
  static const std::regex zh(
      R"re(<p class="zh" lang="zh-Hant">(?:<span class="zh-head">([^<]*)</span> )?([^<]*)</p>)re");
  std::smatch m;
  if (!std::regex_search(section, m, ours)) return false;
  p.russian = m[1];
  if (!std::regex_search(section, m, zh)) return false;
  p.zh_heading = m[1];
  p.chinese = m[2];
  return !p.russian.empty() && !p.chinese.empty();
}

bool HasClassicalText(const std::string& page) {
  return page.find(kZhOpen) != std::string::npos;
}

std::string ZhLineHeading(int position, bool yang) {
  static const char* const counted[] = {"二", "三", "四", "五"};
  const std::string word = yang ? "九" : "六";
  if (position == 1) return "初" + word;
  if (position == 6) return "上" + word;
  return word + counted[position - 2];
}

// Every passage of a page that carries the classical text; a missing one is
// a failure.
std::vector<Passage> Passages(int n, const std::string& page) {
  std::vector<Passage> out;
  for (const auto& [where, open] : std::vector<std::pair<std::string, std::string>>{
           {"judgement", R"(<section class="judgement">)"}, {"image", R"(<section class="image">)"}}) {
    Passage p{where, {}, {}, {}};
    EXPECT_TRUE(ReadPassage(SectionOf(page, open), p)) << "page " << n << ": " << where;
    EXPECT_TRUE(p.zh_heading.empty()) << "page " << n << ": " << where;
    out.push_back(p);
  }
  const Figure figure = FigureOfNumber(n);
  for (int k = 1; k <= 6; ++k) {
    Passage p{"line " + std::to_string(k), {}, {}, {}};
    EXPECT_TRUE(ReadPassage(SectionOf(page, "id=\"line" + std::to_string(k) + "\""), p))
        << "page " << n << ": line " << k;
    EXPECT_EQ(p.zh_heading, ZhLineHeading(k, figure[static_cast<std::size_t>(k - 1)])) << "page " << n;
    out.push_back(p);
  }
  const std::string all = SectionOf(page, R"(id="lines-all")");
  EXPECT_EQ(!all.empty(), n == 1 || n == 2) << "page " << n;
  if (!all.empty()) {
    Passage p{"all lines", {}, {}, {}};
    EXPECT_TRUE(ReadPassage(all, p)) << "page " << n;
    EXPECT_EQ(p.zh_heading, n == 1 ? "用九" : "用六");
    out.push_back(p);
  }
  return out;
}

TEST(CommentaryTexts, EveryPageHasJudgementImageAndLinesWithTheirClassicalText) {
  for (int n = 1; n <= 64; ++n) {
    const std::string page = ReadPage(n);
    if (n > kPagesWithClassicalText && !HasClassicalText(page)) continue;
    SCOPED_TRACE("page " + std::to_string(n));
    EXPECT_NE(page.find("<h2>Суждение</h2>"), std::string::npos);
    const std::vector<Passage> passages = Passages(n, page);
    ASSERT_GE(passages.size(), 8u);
    // The Judgement stands before the Image, and the Image before the lines.
    EXPECT_LT(page.find("<h2>Суждение</h2>"), page.find("<h2>Образ</h2>"));
    EXPECT_LT(page.find("<h2>Образ</h2>"), page.find("id=\"line1\""));
    // The whole Great Image: what the noble one (or the kings of old) does
    // from the picture too; who he is, the formulas below check.
    EXPECT_NE(passages[1].chinese.find("以"), std::string::npos) << passages[1].chinese;
    // Classical text ends with a full-width stop or question mark.
    for (const Passage& p : passages) {
      auto ends_with = [&](const std::string& mark) {
        return p.chinese.size() > mark.size() &&
               p.chinese.compare(p.chinese.size() - mark.size(), mark.size(), mark) == 0;
      };
      EXPECT_TRUE(ends_with("。") || ends_with("？")) << p.where << ": " << p.chinese;
    }
  }
}

// A lower-case Cyrillic word with its first letter capitalised (UTF-8).
std::string Capitalised(const std::string& s) {
  std::string c = s;
  if (c.size() < 2) return c;
  const auto b0 = static_cast<unsigned char>(c[0]);
  const auto b1 = static_cast<unsigned char>(c[1]);
  if (b0 == 0xD0 && b1 >= 0xB0 && b1 <= 0xBF) {
    c[1] = static_cast<char>(b1 - 0x20);  // а..п -> А..П
  } else if (b0 == 0xD1 && b1 >= 0x80 && b1 <= 0x8F) {
    c[0] = static_cast<char>(0xD0);  // р..я -> Р..Я
    c[1] = static_cast<char>(b1 + 0x20);
  }
  return c;
}

bool HasRendering(const std::string& russian, const std::string& rendering) {
  return russian.find(rendering) != std::string::npos ||
         russian.find(Capitalised(rendering)) != std::string::npos;
}

// Drops every occurrence of `what` from `text`.
std::string Without(std::string text, const std::string& what) {
  for (std::size_t at; (at = text.find(what)) != std::string::npos;) text.erase(at, what.size());
  return text;
}

// A standing formula of the classical text and the one rendering (or, for
// the single words, the stem of it) that our wording must then contain.
struct Formula {
  const char* zh;
  std::vector<const char*> russian;  // any of these (lower case; capitalised too)
  std::vector<const char*> not_in;   // longer formulas containing zh that render it otherwise
};

const std::vector<Formula>& Glossary() {
  static const std::vector<Formula> g{
      {"无咎", {"хулы не будет"}, {}},
      {"悔亡", {"раскаяние исчезнет"}, {}},
      {"无悔", {"раскаяния не будет"}, {}},
      {"有悔", {"будет раскаяние"}, {}},
      {"元吉", {"изначальная удача"}, {}},
      {"大吉", {"великая удача"}, {}},
      {"元亨", {"изначальное свершение"}, {}},
      {"小亨", {"малое свершение"}, {}},
      {"利貞", {"благоприятна стойкость"}, {}},
      {"貞吉", {"стойкость — к удаче"}, {}},
      {"貞凶", {"стойкость — к несчастью"}, {}},
      {"貞厲", {"стойкость — опасна"}, {}},
      {"貞吝", {"стойкость — к сожалению"}, {}},
      {"征吉", {"поход — к удаче"}, {}},
      {"征凶", {"поход — к несчастью"}, {}},
      {"利見大人", {"благоприятно свидеться с великим человеком"}, {}},
      {"利涉大川", {"благоприятен брод через великую реку"}, {"不利涉大川"}},
      {"不利涉大川", {"неблагоприятен брод через великую реку"}, {}},
      {"利有攸往", {"благоприятно иметь, куда выступить"}, {"不利有攸往"}},
      {"不利有攸往", {"неблагоприятно иметь, куда выступить"}, {}},
      {"勿用有攸往", {"не выступай никуда"}, {}},
      {"无不利", {"нет ничего неблагоприятного"}, {}},
      {"无攸利", {"ничего благоприятного"}, {}},
      // Single words: the stem of their one rendering.
      {"吉", {"удач"}, {}},
      {"凶", {"несчасть"}, {}},
      {"吝", {"сожалени"}, {}},
      {"厲", {"опасн"}, {}},
      {"悔", {"раскаяни"}, {}},
      {"咎", {"хул"}, {}},
      {"貞", {"стойк"}, {}},
      // 用亨 is an offering made to the spirits, not the omen.
      {"亨", {"свершени"}, {"用亨"}},
      {"君子", {"благородн"}, {}},
      {"先王", {"прежние цари"}, {}},
  };
  return g;
}

TEST(CommentaryTexts, StandingFormulasHaveTheirOneRendering) {
  for (int n = 1; n <= 64; ++n) {
    const std::string page = ReadPage(n);
    if (n > kPagesWithClassicalText && !HasClassicalText(page)) continue;
    for (const Passage& p : Passages(n, page)) {
      for (const Formula& f : Glossary()) {
        std::string zh = p.chinese;
        for (const char* longer : f.not_in) zh = Without(zh, longer);
        if (zh.find(f.zh) == std::string::npos) continue;
        bool found = false;
        for (const char* r : f.russian) found = found || HasRendering(p.russian, r);
        EXPECT_TRUE(found) << "page " << n << ", " << p.where << ": " << f.zh << " should read «"
                           << f.russian[0] << "»\n  " << p.chinese << "\n  " << p.russian;
      }
    }
  }
}

// The omen after a subject takes the dash: «Стойкость — к удаче», never
// «Стойкость к удаче» ("resistance to luck").
TEST(CommentaryTexts, OmenAfterASubjectTakesTheDash) {
  const char* const wrong[] = {"тойкость к удаче", "тойкость к несчастью", "тойкость к сожалению",
                               "оход к удаче", "оход к несчастью"};
  for (int n = 1; n <= 64; ++n) {
    const std::string page = ReadPage(n);
    if (n > kPagesWithClassicalText && !HasClassicalText(page)) continue;
    for (const char* w : wrong) EXPECT_EQ(page.find(w), std::string::npos) << "page " << n << ": " << w;
  }
}

bool IsCyrillicLead(unsigned char c) {
  return c == 0xD0 || c == 0xD1;
}

// «знак» is no word for a hexagram (it is «гуа»; a half is a «триграмма»);
// an omen is a «примета».
TEST(CommentaryTexts, NoPageCallsAHexagramASign) {
  const std::string word = "знак";
  const std::set<std::string> endings{"", "а", "у", "ом", "е", "и", "ов", "ам", "ами", "ах"};
  for (int n = 1; n <= 64; ++n) {
    const std::string page = ReadPage(n);
    if (n > kPagesWithClassicalText && !HasClassicalText(page)) continue;
    for (std::size_t at = page.find(word); at != std::string::npos; at = page.find(word, at + 1)) {
      if (at >= 2 && IsCyrillicLead(static_cast<unsigned char>(page[at - 2]))) continue;  // признак
      std::size_t end = at + word.size();
      while (end + 1 < page.size() && IsCyrillicLead(static_cast<unsigned char>(page[end]))) end += 2;
      const std::string ending = page.substr(at + word.size(), end - at - word.size());
      EXPECT_EQ(endings.count(ending), 0u) << "page " << n << ": " << page.substr(at > 40 ? at - 40 : 0, 100);
    }
  }
}

// The name in pinyin and the toned transliteration of the page's heading.
struct ToneNames {
  std::string translit;
  std::string pinyin;
};

bool ReadToneNames(const std::string& page, ToneNames& t) {
  static const std::regex h1(R"re(<h1><span class="hanzi">[^<]*</span> ([^<]*)</h1>)re");
  static const std::regex py(R"re(<span lang="zh-Latn-pinyin">([^<]*)</span>)re");
  std::smatch m;
  if (!std::regex_search(page, m, h1)) return false;
  t.translit = m[1];
  if (!std::regex_search(page, m, py)) return false;
  t.pinyin = m[1];
  return true;
}

// Two hexagrams' names may sound alike only when their pinyin, tones and
// all, is the same: then no tone can tell them apart.
TEST(CommentaryTexts, TonedTransliterationsTellTheNamesApart) {
  // 履 and 旅 are both lǚ, third tone.
  const std::set<std::pair<int, int>> homophones{{10, 56}};
  std::map<std::string, int> by_translit;
  for (int n = 1; n <= 64; ++n) {
    const std::string page = ReadPage(n);
    if (n > kPagesWithClassicalText && !HasClassicalText(page)) continue;
    ToneNames t;
    ASSERT_TRUE(ReadToneNames(page, t)) << "page " << n;
    // Every syllable of the heading carries a tone digit (no name has a
    // neutral syllable).
    std::istringstream syllables(t.translit);
    for (std::string s; syllables >> s;) {
      EXPECT_TRUE(s.size() > 2 &&
                  (s.compare(s.size() - 2, 2, "¹") == 0 || s.compare(s.size() - 2, 2, "²") == 0 ||
                   s.compare(s.size() - 2, 2, "³") == 0 || s.compare(s.size() - 3, 3, "⁴") == 0))
          << "page " << n << ": " << s;
    }
    const auto [it, fresh] = by_translit.emplace(t.translit, n);
    if (!fresh) {
      EXPECT_EQ(homophones.count({it->second, n}), 1u) << t.translit << ": " << it->second << " and " << n;
    }
  }
}

// The program's own name is the toned transliteration without its tone
// digits, the syllables joined by a hyphen: «Сяо³ чу⁴» -> «Сяо-чу».
std::string PlainTransliteration(std::string_view toned) {
  std::string plain;
  for (std::size_t i = 0; i < toned.size();) {
    bool digit = false;
    for (std::string_view d : {"¹", "²", "³", "⁴"}) {
      if (toned.substr(i, d.size()) == d) {
        i += d.size();
        digit = true;
        break;
      }
    }
    if (digit) continue;
    plain += toned[i] == ' ' ? '-' : toned[i];
    ++i;
  }
  return plain;
}

// The program's table of texts is the pages' text: names agree with the name
// table, and every written text stands on the hexagram's page.
TEST(HexagramTexts, TableAgreesWithNamesAndPages) {
  for (int n = 1; n <= 64; ++n) {
    SCOPED_TRACE("hexagram " + std::to_string(n));
    const HexagramTexts& t = TextsOfHexagram(n);
    const HexagramName& name = NameOfHexagram(n);
    EXPECT_EQ(t.hanzi, name.hanzi);
    EXPECT_EQ(t.name, name.name);
    EXPECT_EQ(PlainTransliteration(t.translit), name.transliteration);
    const std::string page = ReadPage(n);
    if (n > kPagesWithClassicalText && t.judgement.empty()) continue;
    for (std::string_view text : {t.pinyin, t.judgement, t.judgement_zh, t.image, t.image_zh}) {
      EXPECT_FALSE(text.empty());
      EXPECT_NE(page.find(std::string(text)), std::string::npos) << text;
    }
    for (int k = 0; k < 6; ++k) {
      EXPECT_NE(page.find(std::string(t.lines_zh[static_cast<std::size_t>(k)])), std::string::npos);
      EXPECT_FALSE(t.lines_zh[static_cast<std::size_t>(k)].empty()) << "line " << k + 1;
    }
    EXPECT_EQ(t.all_lines_zh.empty(), n != 1 && n != 2);
  }
  EXPECT_EQ(TextsOfHexagram(1).all_lines_zh, "見羣龍无首，吉。");
  EXPECT_EQ(TextsOfHexagram(9).translit, "Сяо³ чу⁴");
  EXPECT_EQ(PlainTransliteration("Сяо³ чу⁴"), "Сяо-чу");
  EXPECT_THROW(TextsOfHexagram(0), std::out_of_range);
  EXPECT_THROW(TextsOfHexagram(65), std::out_of_range);
}

}  // namespace
}  // namespace core
