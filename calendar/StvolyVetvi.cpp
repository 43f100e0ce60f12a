#include "calendar/StvolyVetvi.h"

#include <cstdint>

#include "astro/vsop.h"
#include "calendar/civil.h"
#include "calendar/my_MOON.h"
#include "calendar/season.h"

namespace calendar {
namespace {

constexpr std::int64_t DayEpoch = 37552;  // 2002-10-23, stem 1 and branch 1
constexpr int YearEpoch = 1983;           // stem 10, branch 12: 1984 is Jia-Zi
// The day count changes at 23:00, with the double hour Zi: one hour early.
constexpr int DayChangeHoursEarly = 1;

// Year pillar: counted from the Gregorian year of the universal moment,
// one back while January or February precede the start of spring (term 21).
int YearPillar(TDateTime x, int timeZoneIndex, int timeCorrectionIndex, int cycle) {
  const TDateTime a = ApplyTimeCorrection(ToUniversalTime(x, timeZoneIndex), timeCorrectionIndex);
  const CivilDateTime d = DecodeCivilDateTime(a);
  int v = static_cast<int>(astro::AMod(d.year - YearEpoch, cycle));
  if ((d.month == 1 || d.month == 2) && SolarTermInstant(d.year, 21) > a) {
    if (--v == 0) v = cycle;
  }
  return v;
}

// Day count n: changes at 23:00 local corrected time; n = 1 on 2002-10-23.
// Counted on the moment rounded to the millisecond, as the double hour is:
// at 23:00:00 the day is already the next one, exactly when the hour is Zi.
long long DayCount(TDateTime x, int timeCorrectionIndex) {
  return ClockDay(ApplyTimeCorrection(x, timeCorrectionIndex), DayChangeHoursEarly) - DayEpoch + 1;
}

// Stem of the first month or double hour for a year or day stem 1..10
// (the rule of five tigers / five rats): 0, 2, 4, 6, 8.
int StemOffset(int stem) {
  return 2 * ((stem - 1) % 5);
}

}  // namespace

TDateTime ToUniversalTime(TDateTime t, int timeZoneIndex) {
  if (timeZoneIndex < 0 || timeZoneIndex > 25) return t;
  return t - (timeZoneIndex - 12) / 24.0;
}

int YearStem(TDateTime x, int timeZoneIndex, int timeCorrectionIndex) {
  return YearPillar(x, timeZoneIndex, timeCorrectionIndex, 10);
}

int YearBranch(TDateTime x, int timeZoneIndex, int timeCorrectionIndex) {
  return YearPillar(x, timeZoneIndex, timeCorrectionIndex, 12);
}

int MonthStem(int branch, TDateTime x, int timeZoneIndex, int timeCorrectionIndex) {
  const int o = StemOffset(YearStem(x, timeZoneIndex, timeCorrectionIndex));
  // The Zi and Chou months close the solar year: they take the stems that
  // follow the Hai month's.
  int g = branch == 1 || branch == 2 ? branch + (o + 2) % 10 : branch + o;
  if (g > 10) g -= 10;
  return g;
}

int DayStem(TDateTime x, int timeCorrectionIndex) {
  return static_cast<int>(astro::AMod(DayCount(x, timeCorrectionIndex), 10));
}

int DayBranch(TDateTime x, int timeCorrectionIndex) {
  return static_cast<int>(astro::AMod(DayCount(x, timeCorrectionIndex), 12));
}

int HourBranch(TDateTime x, int timeCorrectionIndex) {
  return DoubleHourIndex(HourOfDay(ApplyTimeCorrection(x, timeCorrectionIndex))) + 1;
}

int HourStem(TDateTime x, int timeCorrectionIndex) {
  int g = HourBranch(x, timeCorrectionIndex) + StemOffset(DayStem(x, timeCorrectionIndex));
  if (g > 10) g -= 10;
  return g;
}

Pillars ComputePillars(TDateTime x, int timeZoneIndex, int timeCorrectionIndex) {
  Pillars p;
  ComputePillars(x, timeZoneIndex, timeCorrectionIndex, p);
  return p;
}

void ComputePillars(TDateTime x, int timeZoneIndex, int timeCorrectionIndex, Pillars& out) {
  out.yearStem = YearStem(x, timeZoneIndex, timeCorrectionIndex);
  out.yearBranch = YearBranch(x, timeZoneIndex, timeCorrectionIndex);
  out.hourStem = HourStem(x, timeCorrectionIndex);
  out.hourBranch = HourBranch(x, timeCorrectionIndex);
  Season season;
  SeasonOf(ApplyTimeCorrection(ToUniversalTime(x, timeZoneIndex), timeCorrectionIndex), season);
  // A moment exactly on a term instant has no season: no month pillar either.
  const int monthStem =
      season.branch == 0 ? 0 : MonthStem(season.branch, x, timeZoneIndex, timeCorrectionIndex);
  out.monthBranch = season.branch;
  out.monthStem = monthStem;
  out.dayStem = DayStem(x, timeCorrectionIndex);
  out.dayBranch = DayBranch(x, timeCorrectionIndex);
  out.season = season.season;
  out.term = season.term;
}

}  // namespace calendar
