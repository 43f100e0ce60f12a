// Which texts answer a cast: Zhu Xi's rule for none to six changing lines.
//
//   none      the primary hexagram as a whole (image and sense)
//   one       that line of the primary hexagram
//   two       both lines of the primary hexagram; the upper one leads
//   three     the primary and the changed hexagram as wholes; the primary leads
//   four      the two lines of the changed hexagram that do not change; the
//             lower one leads
//   five      the one line of the changed hexagram that does not change
//   six       the changed hexagram as a whole; for 1 and 2 the statement of
//             all lines changing instead
//
// The help page on reading a cast states the same rule for the user.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/hexagram.h"

namespace core {

struct Reading {
  int hexagram = 0;        // King Wen number whose texts are read
  std::vector<int> lines;  // its line statements to read, 1..6 bottom first; empty: the hexagram as a whole
  int leadingLine = 0;     // the line that weighs most when two are read, else 0
  int alsoHexagram = 0;    // three changing lines: the changed hexagram, read after the primary; else 0
  bool allLines = false;   // six changing lines of 1 or 2: the all-lines statement
  friend bool operator==(const Reading&, const Reading&) = default;
};

// `changing`: the changing lines 1..6 of `primary` (any order, no repeats).
Reading ReadingOf(const Figure& primary, const std::vector<int>& changing);

// ---- the texts themselves -------------------------------------------------
//
// What the reading view, the sheet and `kalynth-calc reading` show: the rule
// in one sentence, the texts it selects in the order they are read, and the
// remaining texts of the primary and the changed hexagram for whoever wants
// them. Every text comes from the table of hextexts.h.

enum class TextPart { Judgement, Image, Line, AllLines };

struct ReadingText {
  int hexagram = 0;  // King Wen number the text belongs to
  TextPart part = TextPart::Judgement;
  int line = 0;         // 1..6 for TextPart::Line, else 0
  std::string heading;  // "Суждение", "Образ", "Девятка третья", "Все девятки"
  std::string_view text;  // our wording
  std::string_view zh;    // the classical text
  bool leading = false;   // the line that weighs most of two read together
  friend bool operator==(const ReadingText&, const ReadingText&) = default;
};

struct ReadingTexts {
  Reading reading;
  std::string rule;  // "Меняются две черты: читайте обе, главная — верхняя."
  std::vector<ReadingText> selected;  // in reading order
  std::vector<ReadingText> rest;      // primary's other texts, then the changed one's
};

ReadingTexts TextsOfReading(const Figure& primary, const std::vector<int>& changing);

// "11. Тай «Мир»": the heading of a hexagram's texts.
std::string HexagramHeading(int number);

// The reading as plain text (UTF-8, '\n' line ends): the rule, then every
// selected text under "hexagram — heading", our wording, the classical
// text; a blank line between texts. The rest is not included.
std::string PlainReadingText(const ReadingTexts& texts);

}  // namespace core
