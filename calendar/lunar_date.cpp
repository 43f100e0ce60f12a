#include "calendar/lunar_date.h"

#include <cmath>
#include <vector>

#include "astro/Calendar.h"
#include "astro/moon.h"
#include "astro/vsop.h"
#include "calendar/civil.h"
#include "calendar/memo_table.h"
#include "calendar/season.h"

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

// The new moon of the lunation nearest to the probe, memoised by the exact probe.
TDateTime NewMoonInstant(TDateTime probe) {
  return detail::ThreadMemo().newMoonInstants.Get(
      detail::KeyOf(probe), [probe] { return astro::PrincipalPhaseInstant(astro::mpNewMoon, probe); });
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

TDateTime SolsticeDay(int year) {
  // The first major term from 15 December on is the winter solstice.
  return MajorTermDayOnOrAfter(astro::EncodeHistoricDate(year, 12, 15));
}

LunarYearFrame LunarYearFrameOf(TDateTime a, TDateTime b) {
  LunarYearFrame f;
  f.month12 = NewMoonOnOrAfter(a + 1);
  f.nextMonth11 = NewMoonOnOrBefore(b + 1);
  return f;
}

TLunarDate LunarMonthOf(TDateTime m, const LunarYearFrame& frame) {
  const TDateTime m12 = frame.month12;
  TLunarDate r;
  r.LeapYear = RoundToInt((frame.nextMonth11 - m12) / astro::MeanSynodicMonth) == 12;
  int month = RoundToInt((m - m12) / astro::MeanSynodicMonth);
  r.LeapMonth = r.LeapYear && HasNoMajorTerm(m) && !PriorLeapMonth(NewMoonOnOrBefore(m), m12);
  if (r.LeapYear && (PriorLeapMonth(m, m12) || r.LeapMonth)) --month;
  r.Month = static_cast<int>(astro::AMod(month, 12));
  return r;
}

void CountLunarYear(TLunarDate& date, int year, bool afterJuly1) {
  date.YearCount = year + 2636;
  if (date.Month <= 10 || afterJuly1) ++date.YearCount;
  date.YearInCycle = static_cast<int>(astro::AMod(date.YearCount, 60));
}

TLunarDate LunarDateOf(TDateTime t) {
  const astro::CalendarDate date = astro::DecodeHistoricDate(t);
  const int Y = date.year;
  const TDateTime x = DateOf(t);

  TDateTime A = SolsticeDay(Y - 1);
  TDateTime B = SolsticeDay(Y);
  if (!(A <= x && x < B)) {
    A = B;
    B = SolsticeDay(Y + 1);
  }

  const LunarYearFrame frame = LunarYearFrameOf(A, B);
  const TDateTime m = NewMoonOnOrBefore(x + 1);  // month that holds x

  TLunarDate r = LunarMonthOf(m, frame);
  r.DayOfMonth = RoundToInt(x - m + 1);
  CountLunarYear(r, Y, t > astro::EncodeHistoricDate(Y, 7, 1));
  return r;
}

}  // namespace calendar
