#include "ui/LunarLists.h"

#include "calendar/double_hours.h"

namespace ui {

LunarSelection ComputeLunarSelection(astro::TDateTime t, const calendar::TimeSettings& settings) {
  const calendar::LunarDay d = calendar::LunarDayOf(t, settings);
  LunarSelection s;
  s.chasCaptions = calendar::DoubleHourCaptions(settings);
  s.doubleHour = d.doubleHour;
  s.lunar = d.lunar;
  s.yearNumber = d.yearNumber;
  s.leapMonth = d.lunar.LeapMonth;
  s.monthCaption = s.leapMonth ? "Мес/д:" : "Месяц:";
  s.month = d.lunar.Month;
  s.day = d.lunar.DayOfMonth;
  return s;
}

}  // namespace ui
