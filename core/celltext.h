// Characters that a one-line cell of a table must not carry.
//
// The journal's cells and every row kalynth-calc prints are one line of
// text: a tab would add a column, a line break (CR, LF, \v, \f, the file,
// group and record separators 0x1c..0x1e, NEL U+0085, U+2028, U+2029) would
// split the row for tools that split lines on it, and ESC and the other C0
// and C1 controls would drive the terminal the text is shown in. Each of
// them is shown as a space.
#pragma once

namespace core {

constexpr bool BreaksCell(char32_t c) {
  return c < 0x20 || c == 0x7f || (c >= 0x80 && c <= 0x9f) || c == 0x2028 || c == 0x2029;
}

inline constexpr char32_t CellReplacement = U' ';

}  // namespace core
