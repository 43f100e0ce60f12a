#include "calendar/lunar_range.h"

#include <cmath>

#include "astro/Calendar.h"
#include "astro/moon.h"
#include "astro/vsop.h"
#include "calendar/civil.h"
#include "calendar/double_hours.h"

namespace calendar {

namespace {

// The moment whose date names the day: from 23:00 on, the Zi hour belongs
// to the next date.
TDateTime DayMoment(TDateTime corrected, int doubleHour) {
  return doubleHour == 0 ? corrected + (24 - DoubleHourFirstHour(0)) / 24.0 : corrected;
}

int RoundToInt(double x) {
  return static_cast<int>(std::lround(x));
}

}  // namespace

LunarDay LunarDayOf(TDateTime t, const TimeSettings& settings) {
  LunarDay d;
  const TDateTime corrected = ApplyTimeCorrection(t, settings);
  d.doubleHour = DoubleHourIndex(HourOfDay(corrected));
  d.lunar = LunarDateOf(DayMoment(corrected, d.doubleHour));
  d.yearNumber = static_cast<int>(astro::AMod(d.lunar.YearInCycle, 12));
  return d;
}

LunarDay LunarDayWalk::At(TDateTime t) {
  LunarDay d;
  const TDateTime corrected = ApplyTimeCorrection(t, settings_);
  d.doubleHour = DoubleHourIndex(HourOfDay(corrected));
  d.lunar = DateAt(DayMoment(corrected, d.doubleHour));
  d.yearNumber = static_cast<int>(astro::AMod(d.lunar.YearInCycle, 12));
  return d;
}

void LunarDayWalk::LoadYear(int year) {
  haveYear_ = false;
  haveNextSolstice_ = false;
  yearStart_ = astro::EncodeHistoricDate(year, 1, 1);
  // Encoders stop at 9999; its December has 31 days in either calendar.
  nextYearStart_ =
      year < 9999 ? astro::EncodeHistoricDate(year + 1, 1, 1) : astro::EncodeHistoricDate(year, 12, 31) + 1;
  july1_ = astro::EncodeHistoricDate(year, 7, 1);
  solstice_[0] = SolsticeDay(year - 1);
  solstice_[1] = SolsticeDay(year);
  year_ = year;
  haveYear_ = true;
}

TDateTime LunarDayWalk::NextSolstice() {
  if (!haveNextSolstice_) {
    solstice_[2] = SolsticeDay(year_ + 1);
    haveNextSolstice_ = true;
  }
  return solstice_[2];
}

void LunarDayWalk::LoadLunation(TDateTime x, TDateTime a, TDateTime b) {
  const LunarYearFrame frame = LunarYearFrameOf(a, b);
  // The month that holds x. Walking on from the last day of the lunation
  // kept, x is the day its next new moon falls on, found already.
  const TDateTime m = haveLunation_ && nextIsNewMoon_ && x == next_ ? next_ : NewMoonOnOrBefore(x + 1);
  const TLunarDate r = LunarMonthOf(m, frame);

  // Every day from m up to the day before the next new moon's has m as the
  // last new moon by its end. Near the end of the kernel's range the next
  // new moon may be out of reach: then only the days up to x are known.
  haveLunation_ = false;
  TDateTime next = x + 1;
  bool nextIsNewMoon = false;
  try {
    next = NewMoonOnOrAfter(m + 1);
    nextIsNewMoon = next > x;
  } catch (const astro::E_OutOfAlgorithmRange&) {
  } catch (const astro::EConvertError&) {
  }
  if (!nextIsNewMoon) next = x + 1;

  month_ = r;
  a_ = a;
  b_ = b;
  first_ = m;
  next_ = next;
  nextIsNewMoon_ = nextIsNewMoon;
  haveLunation_ = true;
}

// LunarDateOf(t) with the year's and the lunation's values kept.
TLunarDate LunarDayWalk::DateAt(TDateTime t) {
  if (!haveYear_ || !(t >= yearStart_ && t < nextYearStart_)) LoadYear(astro::DecodeHistoricDate(t).year);
  const TDateTime x = std::floor(t);

  TDateTime a = solstice_[0], b = solstice_[1];
  if (!(a <= x && x < b)) {
    a = b;
    b = NextSolstice();
  }
  if (!haveLunation_ || a != a_ || b != b_ || !(first_ <= x && x < next_)) LoadLunation(x, a, b);

  TLunarDate r = month_;
  r.DayOfMonth = RoundToInt(x - first_ + 1);
  CountLunarYear(r, year_, t > july1_);
  return r;
}

}  // namespace calendar
