#include "calendar/StvolyVetvi.h"

#include <cstdint>

#include "astro/vsop.h"
#include "calendar/civil.h"
#include "calendar/double_hours.h"
#include "calendar/season.h"

namespace calendar {
namespace {

constexpr std::int64_t DayEpoch = 37552;  // 2002-10-23, stem 1 and branch 1
constexpr int YearEpoch = 1983;           // stem 10, branch 12: 1984 is Jia-Zi
// The day count changes with the double hour Zi, at 23:00: one hour early.
constexpr int DayChangeHoursEarly = 24 - DoubleHourFirstHour(0);

// Year pillar of the corrected universal moment a: counted from its
// Gregorian year, one back while January or February precede the start of
// spring (term 21). Stem (cycle 10) and branch (cycle 12) from one decoding.
struct YearPillar {
  int stem = 0, branch = 0;
};
YearPillar YearPillarOf(TDateTime a) {
  const CivilDateTime d = DecodeCivilDateTime(a);
  int stem = static_cast<int>(astro::AMod(d.year - YearEpoch, 10));
  int branch = static_cast<int>(astro::AMod(d.year - YearEpoch, 12));
  if ((d.month == 1 || d.month == 2) && SolarTermInstant(d.year, 21) > a) {
    if (--stem == 0) stem = 10;
    if (--branch == 0) branch = 12;
  }
  return {stem, branch};
}

// The moment the year and the month are counted in: universal, corrected.
TDateTime UniversalMoment(TDateTime x, const TimeSettings& settings) {
  return ApplyTimeCorrection(ToUniversalTime(x, settings), settings);
}

// Day count n of the corrected local moment: changes at 23:00; n = 1 on
// 2002-10-23. Counted on the moment rounded to the millisecond, as the
// double hour is: at 23:00:00 the day is already the next one, exactly when
// the hour is Zi.
long long DayCountOf(TDateTime local) {
  return ClockDay(local, DayChangeHoursEarly) - DayEpoch + 1;
}

int HourBranchOf(TDateTime local) {
  return DoubleHourIndex(HourOfDay(local)) + 1;
}

// Stem of the first month or double hour for a year or day stem 1..10
// (the rule of five tigers / five rats): 0, 2, 4, 6, 8.
int StemOffset(int stem) {
  return 2 * ((stem - 1) % 5);
}

// The month stem for a month branch in a year of the given stem: the Zi and
// Chou months close the solar year, so they take the stems that follow the
// Hai month's.
int MonthStemOf(int branch, int yearStem) {
  const int o = StemOffset(yearStem);
  int g = branch == 1 || branch == 2 ? branch + (o + 2) % 10 : branch + o;
  if (g > 10) g -= 10;
  return g;
}

int HourStemOf(int hourBranch, int dayStem) {
  int g = hourBranch + StemOffset(dayStem);
  if (g > 10) g -= 10;
  return g;
}

}  // namespace

TDateTime ToUniversalTime(TDateTime t, const TimeSettings& settings) {
  if (!settings.zoneHours) return t;
  return t - *settings.zoneHours / 24.0;
}

int YearStem(TDateTime x, const TimeSettings& settings) {
  return YearPillarOf(UniversalMoment(x, settings)).stem;
}

int YearBranch(TDateTime x, const TimeSettings& settings) {
  return YearPillarOf(UniversalMoment(x, settings)).branch;
}

int MonthStem(int branch, TDateTime x, const TimeSettings& settings) {
  return MonthStemOf(branch, YearStem(x, settings));
}

int DayStem(TDateTime x, const TimeSettings& settings) {
  return static_cast<int>(astro::AMod(DayCountOf(ApplyTimeCorrection(x, settings)), 10));
}

int DayBranch(TDateTime x, const TimeSettings& settings) {
  return static_cast<int>(astro::AMod(DayCountOf(ApplyTimeCorrection(x, settings)), 12));
}

int HourBranch(TDateTime x, const TimeSettings& settings) {
  return HourBranchOf(ApplyTimeCorrection(x, settings));
}

int HourStem(TDateTime x, const TimeSettings& settings) {
  return HourStemOf(HourBranch(x, settings), DayStem(x, settings));
}

Pillars ComputePillars(TDateTime x, const TimeSettings& settings) {
  Pillars p;
  ComputePillars(x, settings, p);
  return p;
}

void ComputePillars(TDateTime x, const TimeSettings& settings, Pillars& out) {
  const TDateTime universal = UniversalMoment(x, settings);
  const TDateTime local = ApplyTimeCorrection(x, settings);
  const YearPillar year = YearPillarOf(universal);
  out.yearStem = year.stem;
  out.yearBranch = year.branch;
  const long long day = DayCountOf(local);
  const int dayStem = static_cast<int>(astro::AMod(day, 10));
  out.hourBranch = HourBranchOf(local);
  out.hourStem = HourStemOf(out.hourBranch, dayStem);
  Season season;
  SeasonOf(universal, season);
  // A moment exactly on a term instant has no season: no month pillar either.
  out.monthBranch = season.branch;
  out.monthStem = season.branch == 0 ? 0 : MonthStemOf(season.branch, year.stem);
  out.dayStem = dayStem;
  out.dayBranch = static_cast<int>(astro::AMod(day, 12));
  out.season = season.season;
  out.term = season.term;
}

}  // namespace calendar
