// Stems (1 = Jia .. 10 = Gui) and branches (1 = Zi .. 12 = Hai) of the
// year, month, day and double hour of a local clock moment.
#pragma once

#include <string>

#include "astro/constants.h"

namespace calendar {

using astro::TDateTime;

// Moment minus (zoneIndex - 12) hours; index outside 0..25 leaves t.
TDateTime ToUniversalTime(TDateTime t, int timeZoneIndex);

int YearStem(TDateTime x, int timeZoneIndex, int timeCorrectionIndex);
int YearBranch(TDateTime x, int timeZoneIndex, int timeCorrectionIndex);
int MonthStem(int branch, TDateTime x, int timeZoneIndex, int timeCorrectionIndex);
int DayStem(TDateTime x, int timeCorrectionIndex);
int DayBranch(TDateTime x, int timeCorrectionIndex);
int HourBranch(TDateTime x, int timeCorrectionIndex);
int HourStem(TDateTime x, int timeCorrectionIndex);

// Everything the calendar window shows for one moment.
struct Pillars {
  int yearStem = 0, yearBranch = 0;
  int monthStem = 0, monthBranch = 0;
  int dayStem = 0, dayBranch = 0;
  int hourStem = 0, hourBranch = 0;
  std::string season;  // empty when the moment matches no interval
  std::string term;
};
Pillars ComputePillars(TDateTime x, int timeZoneIndex, int timeCorrectionIndex);
// The same, filling `out` step by step in the calendar window's order: year,
// double hour, season and month, day, then the two names. An error ends the
// computation with the steps before it written and the rest of `out` as it
// was (the window shows what was computed so far).
void ComputePillars(TDateTime x, int timeZoneIndex, int timeCorrectionIndex, Pillars& out);

}  // namespace calendar
