// What the main window's four date lists and their captions show for a
// moment of the user's clock: the date a divination by date is cast from
// (calendar::LunarDayOf) as list values, the twelve items of the "Час" list
// and the caption of the month list.
#pragma once

#include <array>
#include <string>

#include "calendar/lunar_range.h"

namespace ui {

struct LunarSelection {
  int doubleHour = 0;      // Chas item index 0..11
  int yearNumber = 0;      // GodCombo value 1..12 (item index + 1)
  int month = 0;           // Mes value 1..12
  int day = 0;             // Day value 1..30
  bool leapMonth = false;  // Label6 "Мес/д:" instead of "Месяц:"
  std::array<std::string, 12> chasCaptions;
  calendar::TLunarDate lunar;
  std::string monthCaption;  // Label6: "Месяц:", or "Мес/д:" in a leap month
};
// The computation behind SetLunarDate. Kernel errors pass through.
LunarSelection ComputeLunarSelection(astro::TDateTime t, const calendar::TimeSettings& settings);

}  // namespace ui
