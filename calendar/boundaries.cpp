#include "calendar/boundaries.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "calendar/civil.h"
#include "calendar/double_hours.h"
#include "calendar/signs.h"

namespace calendar {
namespace {

constexpr std::int64_t MSecsPerMinute = 60000;
constexpr std::int64_t MSecsPerHour = 3600000;
constexpr double MSecsPerDay = 86400000.0;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

// The moment of the user's clock whose corrected time is `ms` milliseconds of day values.
TDateTime ClockMoment(std::int64_t ms, const TimeSettings& settings) {
  return static_cast<double>(ms) / MSecsPerDay + settings.correctionHours / 24.0;
}

bool SameDate(const LunarDay& a, const LunarDay& b) {
  return a.yearNumber == b.yearNumber && a.lunar.Month == b.lunar.Month &&
         a.lunar.LeapMonth == b.lunar.LeapMonth && a.lunar.DayOfMonth == b.lunar.DayOfMonth;
}

BoundaryKind KindOf(const LunarDay& earlier, const LunarDay& later) {
  if (later.yearNumber != earlier.yearNumber) return BoundaryKind::YearStart;
  if (later.lunar.Month != earlier.lunar.Month || later.lunar.LeapMonth != earlier.lunar.LeapMonth)
    return BoundaryKind::MonthStart;
  if (!SameDate(earlier, later)) return BoundaryKind::DayChange;
  return BoundaryKind::DoubleHour;
}

// What changes, in the genitive: "До смены двойного часа ...", "После начала лунного месяца ...".
const char* KindGenitive(BoundaryKind kind) {
  switch (kind) {
    case BoundaryKind::DoubleHour:
      return "смены двойного часа";
    case BoundaryKind::DayChange:
      return "смены лунного дня";
    case BoundaryKind::MonthStart:
      return "начала лунного месяца";
    case BoundaryKind::YearStart:
      return "начала лунного года";
  }
  return "";
}

// The other side's list values where they differ from this side's, in the
// order of the lists: "год 5, месяц 1, день 1, час Цзы".
std::string Differences(const LunarDay& other, const LunarDay& here) {
  std::string text;
  auto add = [&text](const std::string& part) {
    if (!text.empty()) text += ", ";
    text += part;
  };
  if (other.yearNumber != here.yearNumber) add("год " + std::to_string(other.yearNumber));
  if (other.lunar.Month != here.lunar.Month || other.lunar.LeapMonth != here.lunar.LeapMonth)
    add("месяц " + std::to_string(other.lunar.Month) + (other.lunar.LeapMonth ? " (вставной)" : ""));
  if (other.lunar.DayOfMonth != here.lunar.DayOfMonth) add("день " + std::to_string(other.lunar.DayOfMonth));
  if (other.doubleHour != here.doubleHour) add("час " + std::string(BranchReading(other.doubleHour + 1)));
  return text;
}

}  // namespace

std::vector<DateBoundary> DateBoundariesNear(TDateTime t, const TimeSettings& settings, int windowMinutes) {
  std::vector<DateBoundary> found;
  if (windowMinutes <= 0) return found;
  // Milliseconds of corrected time, as HourOfDay reads them.
  const std::int64_t now = std::llround(ApplyTimeCorrection(t, settings) * MSecsPerDay);
  const std::int64_t window = std::int64_t(windowMinutes) * MSecsPerMinute;
  // Whole hours h (counted from day value 0) in the window; the double hour
  // changes at the odd ones (hours of the day 1, 3 .. 23).
  const std::int64_t first = -FloorDiv(-(now - window), MSecsPerHour),
                     last = FloorDiv(now + window, MSecsPerHour);
  for (std::int64_t h = first; h <= last; ++h) {
    if (h % 2 == 0) continue;
    const std::int64_t at = h * MSecsPerHour;
    const LunarDay earlier = LunarDayOf(ClockMoment(at - 1000, settings), settings);
    const LunarDay later = LunarDayOf(ClockMoment(at, settings), settings);
    DateBoundary b;
    b.kind = KindOf(earlier, later);
    b.instant = ClockMoment(at, settings);
    b.minutes = static_cast<double>(at - now) / MSecsPerMinute;
    const bool ahead = at > now;
    b.thisSide = ahead ? earlier : later;
    b.otherSide = ahead ? later : earlier;
    found.push_back(b);
  }
  std::stable_sort(found.begin(), found.end(), [](const DateBoundary& a, const DateBoundary& b) {
    return std::abs(a.minutes) < std::abs(b.minutes);
  });
  return found;
}

std::string BoundaryText(const DateBoundary& boundary) {
  const bool ahead = boundary.minutes > 0;
  const long whole = std::lround(std::abs(boundary.minutes));
  const std::string howLong = whole == 0 ? "меньше минуты" : std::to_string(whole) + " мин";
  const CivilDateTime clock = DecodeCivilDateTime(boundary.instant);
  char at[8];
  std::snprintf(at, sizeof at, "%02d:%02d", clock.hour % 100, clock.minute % 100);
  const std::string kind = KindGenitive(boundary.kind);
  const std::string other = Differences(boundary.otherSide, boundary.thisSide);
  if (ahead) return "До " + kind + " " + howLong + ": после " + at + " — " + other;
  return "После " + kind + " прошло " + howLong + ": до " + at + " — " + other;
}

}  // namespace calendar
