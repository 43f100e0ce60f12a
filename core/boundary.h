// Warnings for a casting from the date of a moment that lies near a change
// of that date (calendar/boundaries.h): the sentence, and the hexagrams the
// date across the change would give. The casting itself takes the moment's
// own date unchanged.
#pragma once

#include <string>
#include <vector>

#include "calendar/boundaries.h"
#include "core/datecast.h"

namespace core {

// How near a change of the date a moment must lie to be warned about, in
// minutes, unless the user says otherwise; and the most a setting may ask
// for (each two hours hold a change).
constexpr int DefaultBoundaryMinutes = 5;
constexpr int MaxBoundaryMinutes = 120;

struct BoundaryWarning {
  calendar::DateBoundary boundary;
  std::string text;      // calendar::BoundaryText
  DateCasting other;     // CastFromDate of the other side's four list values
  std::string castText;  // "по ту сторону гуа 23, 2, 4, черта 2"
                         // (primary, nuclear, changed, changing line)
};

// One warning per boundary within windowMinutes of t, nearest first; none
// for a window of 0 minutes or less. Kernel errors pass through.
std::vector<BoundaryWarning> BoundaryWarnings(astro::TDateTime t, const calendar::TimeSettings& settings,
                                              int windowMinutes);

// All warnings in one line, each "text; castText", joined by " | "; empty
// when there are none.
std::string BoundaryWarningsLine(const std::vector<BoundaryWarning>& warnings);

}  // namespace core
