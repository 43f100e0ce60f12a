// The Chinese lunar date of a moment: months begin on the China-time date
// of a true new moon; the year is framed by the months containing the
// winter solstices; in a 13-month year the first month without a major
// term is the leap month.
#pragma once

#include "astro/constants.h"

namespace calendar {

using astro::TDateTime;

struct TLunarDate {
  int YearCount = 0;    // lunar year beginning in Gregorian year Y is Y + 2637
  int YearInCycle = 0;  // 1..60
  int Month = 0;        // 1..12 (a leap month carries the number of the month before)
  bool LeapMonth = false;
  bool LeapYear = false;
  int DayOfMonth = 0;  // 1..30
};

TDateTime ToChinaTime(TDateTime t);
TDateTime FromChinaTime(TDateTime t);

// Searches on China dates (whole days of China time).
TDateTime NewMoonOnOrBefore(TDateTime d);
TDateTime NewMoonOnOrAfter(TDateTime d);
TDateTime MajorTermDayOnOrAfter(TDateTime d);
TDateTime MajorTermDayBefore(TDateTime d);
bool HasNoMajorTerm(TDateTime m);
bool PriorLeapMonth(TDateTime a, TDateTime b);

// The China date of the winter solstice of a Gregorian year.
TDateTime SolsticeDay(int year);

// The lunar date of a moment (its China date).
TLunarDate LunarDateOf(TDateTime t);

// The parts of LunarDateOf that a walk over many days keeps, one lunation
// or one Gregorian year at a time.
//
// The months between the winter solstice days a and b (China dates): the
// month holding a solstice is month 11, so the months are counted from the
// one after a's month (month 12) up to b's month (the next month 11); twelve
// lunations between them make a leap year, whose first month without a
// major term is the leap month.
struct LunarYearFrame {
  TDateTime month12 = 0;      // first day of the month after a's month
  TDateTime nextMonth11 = 0;  // first day of b's month
};
LunarYearFrame LunarYearFrameOf(TDateTime a, TDateTime b);
// The lunation beginning on China date m within the frame: Month,
// LeapMonth and LeapYear of the result, the rest left 0.
TLunarDate LunarMonthOf(TDateTime m, const LunarYearFrame& frame);
// The year count of a date in Gregorian year `year`, in lunar month
// date.Month, past 1 July or not: sets YearCount and YearInCycle.
void CountLunarYear(TLunarDate& date, int year, bool afterJuly1);

}  // namespace calendar
