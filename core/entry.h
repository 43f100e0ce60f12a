// A cast made elsewhere (coins, stalks by hand, a book) entered from what
// the user wrote down: the six line values, or the hexagram's number and
// its changing lines. Both give the six line codes the window and the
// records use (hexagram.h):
//   6 (old yin, changing)   "988"
//   7 (young yang)          "588"
//   8 (young yin)           "548"
//   9 (old yang, changing)  "544"
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace core {

// Six line codes, codes[0] = line 1 (bottom), or the Russian text of why
// the entry gives none (then `codes` is empty strings).
struct EnteredCodes {
  std::array<std::string, 6> codes;
  std::string error;
  bool ok() const { return error.empty(); }
};

// The code of a line value 6..9; empty for anything else.
std::string_view CodeOfLineValue(int value);

// "789698": exactly six characters 6, 7, 8 or 9, line 1 first; blanks
// (spaces, tabs, line ends) before and after are ignored. An error names
// the first character that is not a line value and its position among the
// characters («Знак 4 «5» — …»), or says how many characters there are.
EnteredCodes CodesOfLineValues(std::string_view text);

// King Wen number 1..64 and its changing lines (1..6, line 1 at the bottom,
// each at most once, in any order): a changing yang line becomes 9, a
// changing yin line 6, the others 7 and 8.
EnteredCodes CodesOfHexagram(int number, const std::vector<int>& changingLines);

}  // namespace core
