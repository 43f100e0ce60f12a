#include "calendar/my_MOON.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "astro/Calendar.h"
#include "astro/moon.h"
#include "astro/vsop.h"
#include "calendar/civil.h"
#include "calendar/memo_table.h"
#include "calendar/season.h"
#include "calendar/signs.h"

namespace calendar {
namespace {

// China standard time (UTC+8) from 1929 on; before that the local mean time
// of Beijing, 7 h 45 min 40 s ahead of universal time.
constexpr TDateTime ChinaOffset = 1.0 / 3;
constexpr TDateTime BeijingMeanOffset = 27940.0 / 86400;

constexpr TDateTime Day1929 = 10594;  // 1929-01-01 0h

// The offset for the year of t by DecodeHistoricDate, whose year grows with
// t: comparing with 1929-01-01 gives the same answer without decoding. Day
// values before Julian day 0 still go through the decoder, which rejects them.
TDateTime ChinaShift(TDateTime t) {
  if (t >= Day1929) return ChinaOffset;
  if (t >= -static_cast<double>(astro::JulianDayOffset)) return BeijingMeanOffset;
  return astro::DecodeHistoricDate(t).year >= 1929 ? ChinaOffset : BeijingMeanOffset;
}

// astro::PhaseInstant(mpNewMoon, probe), memoised by the exact probe.
TDateTime NewMoonInstant(TDateTime probe) {
  return detail::ThreadMemo().newMoonInstants.Get(
      detail::KeyOf(probe), [probe] { return astro::PhaseInstant(astro::mpNewMoon, probe); });
}

// astro::LastPhase and astro::NextPhase for the new moon: the same probes
// 28 days apart and the same comparisons, each phase instant taken from the
// memo. The searches for consecutive days share most of their probes.
TDateTime LastNewMoon(TDateTime t) {
  if (!CalendarMemo()) return astro::LastPhase(astro::mpNewMoon, t);
  TDateTime probe = t + 28;
  TDateTime result = probe;
  while (result > t) {
    result = NewMoonInstant(probe);
    if (result == 0.0) throw astro::E_OutOfAlgorithmRange("No TDateTime possible");
    probe -= 28;
  }
  return result;
}

TDateTime NextNewMoon(TDateTime t) {
  if (!CalendarMemo()) return astro::NextPhase(astro::mpNewMoon, t);
  TDateTime probe = t - 28;
  TDateTime result = probe;
  while (result < t) {
    result = NewMoonInstant(probe);
    if (result == 0.0) throw astro::E_OutOfAlgorithmRange("No TDateTime possible");
    probe += 28;
  }
  return result;
}

// The China date of a moment: its whole-day part. Day values count days
// without a break at 1899-12-30 (see civil.h), so the whole-day part is the
// floor; for the program's own dates, after 1900, it is the same as Trunc.
TDateTime DateOf(TDateTime t) {
  return std::floor(t);
}

int RoundToInt(double x) {
  return static_cast<int>(std::lround(x));
}

}  // namespace

TDateTime ApplyTimeCorrection(TDateTime t, const TimeSettings& settings) {
  // The clock runs ahead by correctionHours: -3 adds 0.125 days, +3 takes
  // them off (h / 24 is the same day fraction as 1/24, 1/12, 0.125).
  return t - settings.correctionHours / 24.0;
}

TDateTime ToChinaTime(TDateTime t) {
  return t + ChinaShift(t);
}
TDateTime FromChinaTime(TDateTime t) {
  return t - ChinaShift(t);
}

TDateTime NewMoonOnOrBefore(TDateTime d) {
  return detail::ThreadMemo().newMoonOnOrBefore.Get(
      detail::KeyOf(d), [d] { return DateOf(ToChinaTime(LastNewMoon(FromChinaTime(d)))); });
}

TDateTime NewMoonOnOrAfter(TDateTime d) {
  return detail::ThreadMemo().newMoonOnOrAfter.Get(
      detail::KeyOf(d), [d] { return DateOf(ToChinaTime(NextNewMoon(FromChinaTime(d)))); });
}

TDateTime MajorTermDayOnOrAfter(TDateTime d) {
  return detail::ThreadMemo().majorTermDayOnOrAfter.Get(
      detail::KeyOf(d), [d] { return DateOf(ToChinaTime(NextMajorTerm(FromChinaTime(d)))); });
}

TDateTime MajorTermDayBefore(TDateTime d) {
  return detail::ThreadMemo().majorTermDayBefore.Get(
      detail::KeyOf(d), [d] { return DateOf(ToChinaTime(LastMajorTerm(FromChinaTime(d)))); });
}

bool HasNoMajorTerm(TDateTime m) {
  return MajorTermDayBefore(m) == MajorTermDayBefore(NewMoonOnOrAfter(m + 2));
}

bool PriorLeapMonth(TDateTime a, TDateTime b) {
  // True when some month from b up to a has no major term. The months are
  // collected walking back from a, then tested from the earliest on: the
  // same searches, in the same order, as the month-by-month recursion.
  std::vector<TDateTime> months{a};
  while (months.back() > b) months.push_back(NewMoonOnOrBefore(months.back() - 1));
  for (auto it = months.rbegin(); it != months.rend(); ++it)
    if (HasNoMajorTerm(*it)) return true;
  return false;
}

TLunarDate LunarDateOf(TDateTime t) {
  const astro::CalendarDate date = astro::DecodeHistoricDate(t);
  const int Y = date.year;
  const TDateTime x = DateOf(t);

  // The first major term from 15 December on is the winter solstice.
  auto solsticeDay = [](int y) { return MajorTermDayOnOrAfter(astro::EncodeHistoricDate(y, 12, 15)); };
  TDateTime A = solsticeDay(Y - 1);
  TDateTime B = solsticeDay(Y);
  if (!(A <= x && x < B)) {
    A = B;
    B = solsticeDay(Y + 1);
  }

  const TDateTime m12 = NewMoonOnOrAfter(A + 1);      // month after the solstice month
  const TDateTime next11 = NewMoonOnOrBefore(B + 1);  // month of the next solstice
  const TDateTime m = NewMoonOnOrBefore(x + 1);       // month that holds x

  TLunarDate r;
  r.LeapYear = RoundToInt((next11 - m12) / astro::MeanSynodicMonth) == 12;
  int month = RoundToInt((m - m12) / astro::MeanSynodicMonth);
  r.LeapMonth = r.LeapYear && HasNoMajorTerm(m) && !PriorLeapMonth(NewMoonOnOrBefore(m), m12);
  if (r.LeapYear && (PriorLeapMonth(m, m12) || r.LeapMonth)) --month;
  r.Month = static_cast<int>(astro::AMod(month, 12));
  r.DayOfMonth = RoundToInt(x - m + 1);
  r.YearCount = Y + 2636;
  if (r.Month <= 10 || t > astro::EncodeHistoricDate(Y, 7, 1)) ++r.YearCount;
  r.YearInCycle = static_cast<int>(astro::AMod(r.YearCount, 60));
  return r;
}

int DoubleHourIndex(int hour) {
  return hour == 23 || hour == 0 ? 0 : (hour + 1) / 2;
}

DoubleHourClock DoubleHourClockHours(int doubleHour, const TimeSettings& settings) {
  const int i = doubleHour >= 0 && doubleHour < 12 ? doubleHour : 0;
  // 23:00 moved from corrected time back into clock time.
  const TDateTime base = 0.958333333333 - ApplyTimeCorrection(0, settings);
  return {HourOfDay(base + i / 12.0), HourOfDay(base + (i + 1) / 12.0)};
}

std::string DoubleHourCaption(int doubleHour, const TimeSettings& settings) {
  if (doubleHour < 0 || doubleHour >= 12) return {};
  const DoubleHourClock h = DoubleHourClockHours(doubleHour, settings);
  std::string caption(BranchReading(doubleHour + 1));
  caption += " | ";
  caption += std::to_string(h.from);
  caption += '-';
  caption += std::to_string(h.to);
  return caption;
}

std::string DoubleHourText(int doubleHour, const TimeSettings& settings) {
  if (doubleHour < 0 || doubleHour >= 12) return {};
  const DoubleHourClock h = DoubleHourClockHours(doubleHour, settings);
  char hours[40];
  std::snprintf(hours, sizeof hours, " (%02d:00–%02d:00)", h.from, h.to);
  return std::string(BranchReading(doubleHour + 1)) + hours;
}

std::array<std::string, 12> FillChasCaptions(const TimeSettings& settings) {
  std::array<std::string, 12> captions;
  for (int i = 0; i < 12; ++i) captions[i] = DoubleHourCaption(i, settings);
  return captions;
}

LunarSelection ComputeLunarSelection(TDateTime t, const TimeSettings& settings) {
  LunarSelection s;
  const TDateTime corrected = ApplyTimeCorrection(t, settings);
  s.chasCaptions = FillChasCaptions(settings);
  s.doubleHour = DoubleHourIndex(HourOfDay(corrected));
  // From 23:00 on, the Zi hour belongs to the next date.
  const TDateTime dayMoment = s.doubleHour == 0 ? corrected + 1.0 / 24 : corrected;
  s.lunar = LunarDateOf(dayMoment);
  s.yearNumber = static_cast<int>(astro::AMod(s.lunar.YearInCycle, 12));
  s.leapMonth = s.lunar.LeapMonth;
  s.monthCaption = s.leapMonth ? "Мес/д:" : "Месяц:";
  s.month = s.lunar.Month;
  s.day = s.lunar.DayOfMonth;
  return s;
}

}  // namespace calendar
