// The Chinese lunar date of a moment: months begin on the China-time date
// of a true new moon; the year is framed by the months containing the
// winter solstices; in a 13-month year the first month without a major
// term is the leap month. Also the double hours of the main window.
#pragma once

#include <array>
#include <string>

#include "astro/constants.h"
#include "calendar/time_settings.h"

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

// Local clock moment minus the correction's hours: standard time.
TDateTime ApplyTimeCorrection(TDateTime t, const TimeSettings& settings);

TDateTime ToChinaTime(TDateTime t);
TDateTime FromChinaTime(TDateTime t);
TDateTime NewMoonOnOrBefore(TDateTime d);
TDateTime NewMoonOnOrAfter(TDateTime d);
TDateTime MajorTermDayOnOrAfter(TDateTime d);
TDateTime MajorTermDayBefore(TDateTime d);
bool HasNoMajorTerm(TDateTime m);
bool PriorLeapMonth(TDateTime a, TDateTime b);
TLunarDate LunarDateOf(TDateTime t);

// The clock hours of a double hour: double hour i (0 = Цзы .. 11 = Хай)
// runs from 23:00 + 2i hours of corrected time; the user's clock runs ahead
// of it by the correction's hours, so on the clock it begins that much
// later (Мао, 05:00-07:00 corrected, reads 06:00-08:00 with "+1"). An index
// outside 0..11 is taken as 0.
struct DoubleHourClock {
  int from = 0, to = 0;  // whole clock hours 0..23; `to` is where the next one begins
  friend bool operator==(const DoubleHourClock&, const DoubleHourClock&) = default;
};
DoubleHourClock DoubleHourClockHours(int doubleHour, const TimeSettings& settings);

// Texts of a double hour in clock time, both from DoubleHourClockHours:
//   caption of the "Час" list   "Мао | 6-8"
//   text of the printed sheet   "Мао (06:00–08:00)"
// Empty for an index outside 0..11.
std::string DoubleHourCaption(int doubleHour, const TimeSettings& settings);
std::string DoubleHourText(int doubleHour, const TimeSettings& settings);

// The twelve captions of the "Час" list ("Цзы | 23-1" ...) for a time correction.
std::array<std::string, 12> FillChasCaptions(const TimeSettings& settings);

// What the main window's four date lists show for a local moment.
struct LunarSelection {
  int doubleHour = 0;      // Chas item index 0..11
  int yearNumber = 0;      // GodCombo value 1..12 (item index + 1)
  int month = 0;           // Mes value 1..12
  int day = 0;             // Day value 1..30
  bool leapMonth = false;  // Label6 "Мес/д:" instead of "Месяц:"
  std::array<std::string, 12> chasCaptions;
  TLunarDate lunar;
  std::string monthCaption;  // Label6: "Месяц:", or "Мес/д:" in a leap month
};
// The computation behind SetLunarDate. Kernel errors pass through.
LunarSelection ComputeLunarSelection(TDateTime t, const TimeSettings& settings);
// Double-hour index 0..11 of an hour 0..23.
int DoubleHourIndex(int hour);

}  // namespace calendar
