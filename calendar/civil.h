// Day values as the desktop's run-time library reads them: dates in the
// proleptic Gregorian calendar, the time of day rounded to the millisecond.
//
// The solar-term guesses, the season year and the year pillar follow the
// clock and the date pickers, which know no calendar switch; the lunar
// calendar instead uses the historic calendar of astro/Calendar.h.
//
// A day value is rounded to whole milliseconds and then split into the day
// (rounded down) and the time of day. Day values are a plain count of days
// on both sides of 1899-12-30, as the kernel's Julian days are: -0.25 is
// 1899-12-29 18:00. (The desktop run-time library wrote such moments as
// -1.25, the fraction being the time of day; that convention cannot hold
// the instants of new moons and solar terms, so the calendar does not use it.)
#pragma once

#include <cstdint>

#include "astro/constants.h"

namespace calendar {

using astro::TDateTime;

struct CivilDateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Day value of 0h of a proleptic Gregorian date; year 1..9999, month 1..12,
// day valid for the month. Otherwise throws astro::EConvertError
// "Invalid argument to date encode".
TDateTime EncodeCivilDate(int year, int month, int day);
// Day value of a date and time; hour 0..23, minute and second 0..59,
// millisecond 0..999, else "Invalid argument to time encode".
TDateTime EncodeCivilDateTime(const CivilDateTime& dt);

// Date and time of a day value (proleptic Gregorian).
CivilDateTime DecodeCivilDateTime(TDateTime t);

// Hour 0..23 of the time of day, after rounding to the millisecond.
int HourOfDay(TDateTime t);

// The day on which the clock reads t shifted by shiftHours whole hours, as
// a whole day value (the day value of its 0h): t is rounded to the
// millisecond first and the shift added exactly, so a moment at a whole
// hour never falls short of it.
std::int64_t ClockDay(TDateTime t, int shiftHours = 0);

// True when year/month/day name a proleptic Gregorian date in 1..9999.
bool IsValidCivilDate(int year, int month, int day);

}  // namespace calendar
