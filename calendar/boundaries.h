// The boundaries of the date a divination by date is cast from, near a
// moment of the user's clock.
//
// The four list values (year number, month, day, double hour; LunarDayOf)
// change only where the double hour changes: at every odd whole hour of
// corrected time (the time correction taken off the clock). The one at
// 23:00 also starts the next lunar date; when that date is the first day of
// a lunar month (the China date of a new moon) it starts the month, and when
// the year number changes too, the lunar year. So the boundaries are found
// by counting whole hours, and each is named by what its two sides differ in.
#pragma once

#include <string>
#include <vector>

#include "calendar/lunar_range.h"
#include "calendar/time_settings.h"

namespace calendar {

// From the least to the most that changes; a boundary has the largest kind
// that applies (the start of a lunar year is also a month start, a day
// change and a change of the double hour).
enum class BoundaryKind {
  DoubleHour,  // only the double hour changes
  DayChange,   // 23:00 of corrected time: Цзы of the next lunar date
  MonthStart,  // the next lunar date is the first day of a lunar month
  YearStart,   // ... and the year number changes
};

struct DateBoundary {
  BoundaryKind kind = BoundaryKind::DoubleHour;
  TDateTime instant = 0;  // the same clock as the moment asked about; the later side begins here
  double minutes = 0;     // instant minus the moment, in minutes: > 0 ahead, <= 0 passed
  LunarDay thisSide;      // the date of the moment's side, next to the boundary
  LunarDay otherSide;     // the date across the boundary from the moment
};

// The boundaries whose instant lies within windowMinutes of t (both ends
// included), nearest first (of two at the same distance, the earlier). A
// moment exactly at a boundary lies on its later side, so that boundary
// counts as passed (minutes 0) and its other side is the earlier one. A
// window of 0 minutes or less gives none. The moment is read to the
// millisecond, as the date lists read it. Kernel errors pass through (a
// moment at the ends of the years 1..9999 may have no date on one side).
std::vector<DateBoundary> DateBoundariesNear(TDateTime t, const TimeSettings& settings, int windowMinutes);

// One sentence for a boundary, naming the clock time of the boundary and
// what the other side's lists show where they differ from this side's:
//   "До смены двойного часа 2 мин: после 15:00 — час Шэнь"
//   "После смены лунного дня прошло 3 мин: до 23:00 — день 14, час Хай"
//   "До начала лунного месяца 1 мин: после 23:00 — месяц 3, день 1, час Цзы"
std::string BoundaryText(const DateBoundary& boundary);

}  // namespace calendar
