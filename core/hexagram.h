// Line codes, hexagram figures and their King Wen numbers.
#pragma once

#include <array>
#include <string_view>

namespace core {

// Six line values, index 0 = line 1 (bottom) .. 5 = line 6 (top); true = yang.
using Figure = std::array<bool, 6>;

// One of "544" "548" "584" "588" "944" "948" "984" "988" (exact text).
bool IsValidCode(std::string_view code);
// Line of the primary hexagram for a code (invalid code: yang).
bool PrimaryLine(std::string_view code);
// Line of the changed hexagram for a code (invalid code: yang).
bool ChangedLine(std::string_view code);
// True for "544" and "988": the field shows its text in red.
bool IsChangingCode(std::string_view code);

// King Wen number 1..64 of six lines.
int CalcNoGua(const Figure& lines);
// The six lines of King Wen number 1..64 (inverse of CalcNoGua).
Figure FigureOfNumber(int number);

// Trigram number 1..8 -> its three lines bottom to top (1 = 111 .. 8 = 000).
std::array<bool, 3> TrigramLines(int trigram);

// Primary with line `changingLine` (1..6) inverted; 0 or out of range: a copy.
Figure ChangedFigure(const Figure& primary, int changingLine);
// Nuclear figure by the rule of the main window: source is the primary,
// unless the primary is 1 or 2 and the changed is neither; lines 2,3,4,3,4,5.
Figure NuclearFigure(const Figure& primary, const Figure& changed);

// The three figures from six line codes (codes[0] = line 1).
struct CodesCasting {
  bool valid = false;  // all six codes valid
  Figure primary{}, nuclear{}, changed{};
  int primaryNo = 0, nuclearNo = 0, changedNo = 0;
};
CodesCasting CastFromCodes(const std::array<std::string_view, 6>& codes);

}  // namespace core
