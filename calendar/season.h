// The 24 solar terms: instants at which the Sun's apparent longitude
// reaches 15*k degrees (k = 0 spring equinox, 18 winter solstice), the
// major terms around a moment, and the season of a moment.
#pragma once

#include <string>

#include "astro/constants.h"

namespace calendar {

using astro::TDateTime;

// Instant of term k (0..23) that falls in calendar year `year`.
TDateTime SolarTermInstant(int year, int k);
// (2*month + 18) mod 24: the major term that falls in Gregorian month 1..12.
int MajorTermIndex(int month);
TDateTime NextMajorTerm(TDateTime t);  // earliest major-term instant >= t
TDateTime LastMajorTerm(TDateTime t);  // latest major-term instant < t

// Russian names of term k and of the season month it opens, and the
// month branch 1..12 (table order 0..23).
const std::string& TermName(int k);
const std::string& SeasonName(int k);
int SeasonBranch(int k);

struct Season {
  int branch = 0;
  std::string season;
  std::string term;
};
// Fills `out` from the first matching interval; leaves it untouched when the
// moment matches none (a moment exactly equal to a term instant).
void SeasonOf(TDateTime t, Season& out);

}  // namespace calendar
