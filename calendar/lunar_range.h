// The date a divination by date is cast from, for a moment of the user's
// clock: the lunar date, the double hour and the year number. The main
// window's four date lists hold it (year number, month, day, double hour)
// and kalynth-calc cast and lunar read it.
#pragma once

#include "calendar/lunar_date.h"
#include "calendar/time_settings.h"

namespace calendar {

struct LunarDay {
  int doubleHour = 0;  // 0..11, of corrected time (double_hours.h)
  int yearNumber = 0;  // 1..12, the year's branch
  TLunarDate lunar;    // of the date; from 23:00 on, the Zi hour belongs to the next date
};

// The time correction taken off first (ApplyTimeCorrection). Kernel errors
// pass through.
LunarDay LunarDayOf(TDateTime t, const TimeSettings& settings);

// LunarDayOf for many moments, day after day: what neighbouring days share
// is found once and kept. The Gregorian year of the date (its start, 1 July
// and the winter solstices around it), and the lunation that holds it (its
// first day, the day the next one begins, and the month, leap month and
// leap year, which are the same on every day of it). A day inside what is
// kept costs a few comparisons; the day of the month is counted from the
// lunation's first day. Any order of moments gives LunarDayOf's answers
// (a moment outside what is kept loads its own year and lunation), and the
// same errors for dates outside the kernel's range.
class LunarDayWalk {
 public:
  explicit LunarDayWalk(const TimeSettings& settings) : settings_(settings) {}
  LunarDay At(TDateTime t);

 private:
  TLunarDate DateAt(TDateTime t);
  void LoadYear(int year);
  TDateTime NextSolstice();
  void LoadLunation(TDateTime x, TDateTime a, TDateTime b);

  TimeSettings settings_;

  // The Gregorian year Y: days [yearStart_, nextYearStart_).
  bool haveYear_ = false;
  int year_ = 0;
  TDateTime yearStart_ = 0, nextYearStart_ = 0, july1_ = 0;
  // China dates of the winter solstices of Y-1, Y and (once needed) Y+1.
  TDateTime solstice_[3] = {};
  bool haveNextSolstice_ = false;

  // The lunation: days [first_, next_) between the solstice days a_ and b_.
  bool haveLunation_ = false;
  TDateTime a_ = 0, b_ = 0, first_ = 0, next_ = 0;
  bool nextIsNewMoon_ = false;  // next_ is the next new moon's day, not only the day after the last known
  TLunarDate month_;            // Month, LeapMonth and LeapYear of the lunation
};

}  // namespace calendar
