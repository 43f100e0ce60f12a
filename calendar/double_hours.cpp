#include "calendar/double_hours.h"

#include <cstdio>

#include "calendar/signs.h"

namespace calendar {

int DoubleHourIndex(int hour) {
  // Hours 23 and 0 are Цзы, 1 and 2 Чоу ...: one hour on, two to a double hour.
  return (hour + 24 - DoubleHourFirstHour(0)) % 24 / 2;
}

DoubleHourClock DoubleHourClockHours(int doubleHour, const TimeSettings& settings) {
  const int i = doubleHour >= 0 && doubleHour < 12 ? doubleHour : 0;
  const int ahead = settings.correctionHours % 24;
  auto onTheClock = [ahead](int hour) { return ((hour + ahead) % 24 + 24) % 24; };
  return {onTheClock(DoubleHourFirstHour(i)), onTheClock(DoubleHourFirstHour(i + 1))};
}

std::string DoubleHourCaption(int doubleHour, const TimeSettings& settings) {
  if (doubleHour < 0 || doubleHour >= 12) return {};
  const DoubleHourClock h = DoubleHourClockHours(doubleHour, settings);
  std::string caption(BranchReading(doubleHour + 1));
  caption += " | ";
  caption += std::to_string(h.from);
  caption += '-';
  caption += std::to_string(h.to);
  return caption;
}

std::string DoubleHourText(int doubleHour, const TimeSettings& settings) {
  if (doubleHour < 0 || doubleHour >= 12) return {};
  const DoubleHourClock h = DoubleHourClockHours(doubleHour, settings);
  char hours[40];
  std::snprintf(hours, sizeof hours, " (%02d:00–%02d:00)", h.from, h.to);
  return std::string(BranchReading(doubleHour + 1)) + hours;
}

std::array<std::string, 12> DoubleHourCaptions(const TimeSettings& settings) {
  std::array<std::string, 12> captions;
  for (int i = 0; i < 12; ++i) captions[i] = DoubleHourCaption(i, settings);
  return captions;
}

}  // namespace calendar
