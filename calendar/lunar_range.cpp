#include "calendar/lunar_range.h"

#include "astro/vsop.h"
#include "calendar/civil.h"

namespace calendar {

LunarDay LunarDayOf(TDateTime t, int timeCorrectionIndex) {
  LunarDay d;
  const TDateTime corrected = ApplyTimeCorrection(t, timeCorrectionIndex);
  d.doubleHour = DoubleHourIndex(HourOfDay(corrected));
  // From 23:00 on, the Zi hour belongs to the next date.
  const TDateTime dayMoment = d.doubleHour == 0 ? corrected + 1.0 / 24 : corrected;
  d.lunar = LunarDateOf(dayMoment);
  d.yearNumber = static_cast<int>(astro::AMod(d.lunar.YearInCycle, 12));
  return d;
}

}  // namespace calendar
