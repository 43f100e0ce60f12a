// Zhu Xi's rule for the texts of a cast.
#include "core/reading.h"

#include <algorithm>

#include "core/divination.h"
#include "core/hexnames.h"
#include "core/hextexts.h"

namespace core {

Reading ReadingOf(const Figure& primary, const std::vector<int>& changingLines) {
  std::vector<int> changing;
  for (int n : changingLines)
    if (n >= 1 && n <= 6 && std::find(changing.begin(), changing.end(), n) == changing.end())
      changing.push_back(n);
  std::sort(changing.begin(), changing.end());
  Figure changed = primary;
  for (int n : changing) changed[static_cast<std::size_t>(n - 1)] = !changed[static_cast<std::size_t>(n - 1)];
  std::vector<int> steady;
  for (int n = 1; n <= 6; ++n)
    if (std::find(changing.begin(), changing.end(), n) == changing.end()) steady.push_back(n);

  Reading r;
  const int primaryNo = CalcNoGua(primary), changedNo = CalcNoGua(changed);
  switch (changing.size()) {
    case 0:
      r.hexagram = primaryNo;
      break;
    case 1:
      r.hexagram = primaryNo;
      r.lines = changing;
      break;
    case 2:
      r.hexagram = primaryNo;
      r.lines = changing;
      r.leadingLine = changing.back();
      break;
    case 3:
      r.hexagram = primaryNo;
      r.alsoHexagram = changedNo;
      break;
    case 4:
      r.hexagram = changedNo;
      r.lines = steady;
      r.leadingLine = steady.front();
      break;
    case 5:
      r.hexagram = changedNo;
      r.lines = steady;
      break;
    default:
      if (primaryNo == 1 || primaryNo == 2) {
        r.hexagram = primaryNo;
        r.allLines = true;
      } else {
        r.hexagram = changedNo;
      }
  }
  return r;
}

}  // namespace core

// ---- the texts ------------------------------------------------------------

namespace core {
namespace {

ReadingText Judgement(int n) {
  const HexagramTexts& t = TextsOfHexagram(n);
  return {n, TextPart::Judgement, 0, "Суждение", t.judgement, t.judgement_zh};
}

ReadingText Image(int n) {
  const HexagramTexts& t = TextsOfHexagram(n);
  return {n, TextPart::Image, 0, "Образ", t.image, t.image_zh};
}

ReadingText Line(int n, int line) {
  const HexagramTexts& t = TextsOfHexagram(n);
  const Figure figure = FigureOfNumber(n);
  const auto i = static_cast<std::size_t>(line - 1);
  std::string name = LineName(line, figure[i]);
  return {n, TextPart::Line, line, std::move(name), t.lines[i], t.lines_zh[i]};
}

ReadingText AllLines(int n) {
  const HexagramTexts& t = TextsOfHexagram(n);
  return {n, TextPart::AllLines, 0, n == 1 ? "Все девятки" : "Все шестёрки", t.all_lines, t.all_lines_zh};
}

// Every text of hexagram n in page order.
std::vector<ReadingText> AllTextsOf(int n) {
  std::vector<ReadingText> all{Judgement(n), Image(n)};
  for (int line = 1; line <= 6; ++line) all.push_back(Line(n, line));
  if (n == 1 || n == 2) all.push_back(AllLines(n));
  return all;
}

std::string RuleSentence(const Reading& r, std::size_t changingCount) {
  switch (changingCount) {
    case 0:
      return "Меняющихся черт нет: читайте суждение и образ основного гуа.";
    case 1:
      return "Меняется одна черта: читайте её текст в основном гуа.";
    case 2:
      return "Меняются две черты: читайте обе, главная — верхняя.";
    case 3:
      return "Меняются три черты: читайте суждение и образ основного гуа, затем изменённого; главное — "
             "основное.";
    case 4:
      return "Меняются четыре черты: читайте две неменяющиеся черты изменённого гуа, главная — нижняя.";
    case 5:
      return "Меняются пять черт: читайте единственную неменяющуюся черту изменённого гуа.";
    default:
      if (r.allLines)
        return std::string("Меняются все шесть черт гуа ") + (r.hexagram == 1 ? "Цянь" : "Кунь") +
               ": читайте «" + (r.hexagram == 1 ? "Все девятки" : "Все шестёрки") + "».";
      return "Меняются все шесть черт: читайте суждение и образ изменённого гуа.";
  }
}

}  // namespace

std::string HexagramHeading(int number) {
  const HexagramName& name = NameOfHexagram(number);
  return std::to_string(number) + ". " + std::string(name.transliteration) + " «" + std::string(name.name) +
         "»";
}

ReadingTexts TextsOfReading(const Figure& primary, const std::vector<int>& changingLines) {
  ReadingTexts out;
  out.reading = ReadingOf(primary, changingLines);
  const Reading& r = out.reading;
  Figure changed = primary;
  std::size_t changingCount = 0;
  for (int n = 1; n <= 6; ++n)
    if (std::find(changingLines.begin(), changingLines.end(), n) != changingLines.end()) {
      changed[static_cast<std::size_t>(n - 1)] = !changed[static_cast<std::size_t>(n - 1)];
      ++changingCount;
    }
  out.rule = RuleSentence(r, changingCount);

  if (r.allLines) {
    out.selected.push_back(AllLines(r.hexagram));
  } else if (r.lines.empty()) {
    out.selected = {Judgement(r.hexagram), Image(r.hexagram)};
    if (r.alsoHexagram) {
      out.selected.push_back(Judgement(r.alsoHexagram));
      out.selected.push_back(Image(r.alsoHexagram));
    }
  } else {
    for (int line : r.lines) {
      ReadingText text = Line(r.hexagram, line);
      text.leading = line == r.leadingLine;
      out.selected.push_back(std::move(text));
    }
  }

  // The rest: every other text of the primary, then of the changed hexagram
  // when the cast has one.
  const int primaryNo = CalcNoGua(primary), changedNo = CalcNoGua(changed);
  std::vector<int> hexagrams{primaryNo};
  if (changingCount > 0 && changedNo != primaryNo) hexagrams.push_back(changedNo);
  for (int n : hexagrams)
    for (ReadingText& text : AllTextsOf(n)) {
      const bool chosen = std::any_of(out.selected.begin(), out.selected.end(), [&](const ReadingText& s) {
        return s.hexagram == text.hexagram && s.part == text.part && s.line == text.line;
      });
      if (!chosen) out.rest.push_back(std::move(text));
    }
  return out;
}

std::string PlainReadingText(const ReadingTexts& texts) {
  std::string out = texts.rule + "\n";
  for (const ReadingText& t : texts.selected) {
    out += "\n" + HexagramHeading(t.hexagram) + " — " + t.heading + (t.leading ? " (главная)" : "") + "\n";
    if (!t.text.empty()) out += std::string(t.text) + "\n";
    if (!t.zh.empty()) out += std::string(t.zh) + "\n";
  }
  return out;
}

}  // namespace core
