// The twelve double hours of a day: double hour i (0 = Цзы .. 11 = Хай)
// runs from 23:00 + 2i hours of corrected time (the time correction taken
// off the clock) to two hours later. The date changes with Цзы, at 23:00.
#pragma once

#include <array>
#include <string>

#include "calendar/time_settings.h"

namespace calendar {

// The hour of corrected time double hour i (0..11) begins at: 23, 1, 3 .. 21.
constexpr int DoubleHourFirstHour(int doubleHour) {
  return (23 + 2 * doubleHour) % 24;
}

// The double hour 0..11 an hour 0..23 of corrected time lies in.
int DoubleHourIndex(int hour);

// The clock hours of a double hour: the user's clock runs ahead of
// corrected time by the correction's hours, so on the clock a double hour
// begins that much later (Мао, 05:00-07:00 corrected, reads 06:00-08:00
// with "+1"). An index outside 0..11 is taken as 0.
struct DoubleHourClock {
  int from = 0, to = 0;  // whole clock hours 0..23; `to` is where the next one begins
  friend bool operator==(const DoubleHourClock&, const DoubleHourClock&) = default;
};
DoubleHourClock DoubleHourClockHours(int doubleHour, const TimeSettings& settings);

// The name of a double hour with its clock hours, from DoubleHourClockHours:
//   short form, as in the main window's list and kalynth-calc lunar  "Мао | 6-8"
//   long form, as on the printed sheet                               "Мао (06:00–08:00)"
// Empty for an index outside 0..11.
std::string DoubleHourCaption(int doubleHour, const TimeSettings& settings);
std::string DoubleHourText(int doubleHour, const TimeSettings& settings);

// The short forms of all twelve double hours ("Цзы | 23-1" ...) for a time correction.
std::array<std::string, 12> DoubleHourCaptions(const TimeSettings& settings);

}  // namespace calendar
