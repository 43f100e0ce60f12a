// Stems (1 = Jia .. 10 = Gui) and branches (1 = Zi .. 12 = Hai) of the
// year, month, day and double hour of a local clock moment.
#pragma once

#include <string>

#include "astro/constants.h"
#include "calendar/time_settings.h"

namespace calendar {

using astro::TDateTime;

// Moment minus the zone's hours; with no zone, t as it is.
TDateTime ToUniversalTime(TDateTime t, const TimeSettings& settings);

int YearStem(TDateTime x, const TimeSettings& settings);
int YearBranch(TDateTime x, const TimeSettings& settings);
int MonthStem(int branch, TDateTime x, const TimeSettings& settings);
int DayStem(TDateTime x, const TimeSettings& settings);
int DayBranch(TDateTime x, const TimeSettings& settings);
int HourBranch(TDateTime x, const TimeSettings& settings);
int HourStem(TDateTime x, const TimeSettings& settings);

// Everything the calendar window shows for one moment. The moment is taken
// to universal time, and the year's stem counted, once for the whole set.
struct Pillars {
  int yearStem = 0, yearBranch = 0;
  int monthStem = 0, monthBranch = 0;
  int dayStem = 0, dayBranch = 0;
  int hourStem = 0, hourBranch = 0;
  std::string season;  // empty when the moment matches no interval
  std::string term;
};
Pillars ComputePillars(TDateTime x, const TimeSettings& settings);
// The same, filling `out` step by step in the calendar window's order: year,
// double hour, season and month, day, then the two names. An error ends the
// computation with the steps before it written and the rest of `out` as it
// was (the window shows what was computed so far).
void ComputePillars(TDateTime x, const TimeSettings& settings, Pillars& out);

}  // namespace calendar
