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

}  // namespace core
