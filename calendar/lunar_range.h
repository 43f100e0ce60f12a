// The lunar date of a moment for callers that list many days and show no
// window: the same date, double hour and year number as
// ComputeLunarSelection, without the captions of the "Час" list (a listing
// takes the one caption it needs from DoubleHourCaption, or computes the
// twelve once).
#pragma once

#include "calendar/my_MOON.h"

namespace calendar {

struct LunarDay {
  int doubleHour = 0;  // 0..11
  int yearNumber = 0;  // 1..12, the year's branch
  TLunarDate lunar;
};

LunarDay LunarDayOf(TDateTime t, int timeCorrectionIndex);

}  // namespace calendar
