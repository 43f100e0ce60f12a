// The one cell text of every row kalynth-calc prints.
//
// Output is tab-separated UTF-8, one row a line. TsvCell makes any value
// safe to stand in a cell: every tab, line break, other control character
// and line separator (core::BreaksCell: C0, DEL, C1, U+2028, U+2029)
// becomes a space, and bytes that are not UTF-8 (a file name written by an
// old system, say) become U+FFFD. A note or a file name can therefore
// neither split a row or a column nor send escape sequences to a terminal.
#pragma once

#include <string>
#include <string_view>

namespace cli {

std::string TsvCell(std::string_view value);

}  // namespace cli
