#include "calendar/civil.h"

#include <cmath>

#include "astro/Calendar.h"

namespace calendar {
namespace {

constexpr std::int64_t MSecsPerDay = 86400000;

// Days from 1970-01-01 to a proleptic Gregorian date (any year).
// H. Hinnant, "chrono-Compatible Low-Level Date Algorithms", days_from_civil.
std::int64_t DaysFromCivil(std::int64_t y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yoe = y - era * 400;
  const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// Inverse of DaysFromCivil (civil_from_days).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2));
}

constexpr std::int64_t UnixEpochDayValue = 25569;  // 1970-01-01

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - (a % b != 0 && (a < 0) != (b < 0));
}

}  // namespace

bool IsValidCivilDate(int year, int month, int day) {
  static constexpr int length[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
  return day <= length[month - 1] + (month == 2 && astro::IsGregorianLeapYear(year) ? 1 : 0);
}

TDateTime EncodeCivilDate(int year, int month, int day) {
  if (!IsValidCivilDate(year, month, day)) throw astro::EConvertError("Invalid argument to date encode");
  return static_cast<TDateTime>(DaysFromCivil(year, month, day) + UnixEpochDayValue);
}

TDateTime EncodeCivilDateTime(const CivilDateTime& dt) {
  const TDateTime date = EncodeCivilDate(dt.year, dt.month, dt.day);
  if (dt.hour < 0 || dt.hour > 23 || dt.minute < 0 || dt.minute > 59 || dt.second < 0 || dt.second > 59 ||
      dt.millisecond < 0 || dt.millisecond > 999)
    throw astro::EConvertError("Invalid argument to time encode");
  const double ms = ((dt.hour * 60.0 + dt.minute) * 60.0 + dt.second) * 1000.0 + dt.millisecond;
  return date + ms / MSecsPerDay;
}

CivilDateTime DecodeCivilDateTime(TDateTime t) {
  const std::int64_t ms = std::llround(t * static_cast<double>(MSecsPerDay));
  const std::int64_t days = FloorDiv(ms, MSecsPerDay);
  std::int64_t time = ms - days * MSecsPerDay;
  CivilDateTime r;
  CivilFromDays(days - UnixEpochDayValue, r.year, r.month, r.day);
  r.millisecond = static_cast<int>(time % 1000);
  time /= 1000;
  r.second = static_cast<int>(time % 60);
  time /= 60;
  r.minute = static_cast<int>(time % 60);
  r.hour = static_cast<int>(time / 60);
  return r;
}

int HourOfDay(TDateTime t) {
  const std::int64_t ms = std::llround(t * static_cast<double>(MSecsPerDay));
  return static_cast<int>((ms - FloorDiv(ms, MSecsPerDay) * MSecsPerDay) / 3600000);
}

std::int64_t ClockDay(TDateTime t, int shiftHours) {
  const std::int64_t ms =
      std::llround(t * static_cast<double>(MSecsPerDay)) + std::int64_t(shiftHours) * 3600000;
  return FloorDiv(ms, MSecsPerDay);
}

}  // namespace calendar
