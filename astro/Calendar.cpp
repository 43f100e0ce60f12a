// Day values, Julian days and calendar dates.
// Reference: J. Meeus, Astronomical Algorithms, 2nd ed., ch. 7.

#include "astro/Calendar.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace astro {

bool IsJulianLeapYear(std::int64_t year) {
  return year % 4 == 0;
}

bool IsGregorianLeapYear(std::int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

namespace {

enum class CalendarKind { Julian, Gregorian };

bool IsLeapYear(CalendarKind kind, std::int64_t year) {
  return kind == CalendarKind::Julian ? IsJulianLeapYear(year) : IsGregorianLeapYear(year);
}

// Julian day of 0h of a date. Months 0, 13 and 14 are let through as
// December of the year before and January/February of the year after
// (March-based year: January and February count as months 13 and 14).
Extended EncodeCalendarDay(CalendarKind kind, int year, int month, int day) {
  if (year < 1 || year > 9999) throw EConvertError("Invalid year");
  if (month < 0) throw EConvertError("Invalid month");
  std::int64_t Y = year;
  std::int64_t M = month;
  if (M <= 2) {
    M += 12;
    Y -= 1;
  }
  if (M > 14) throw EConvertError("Invalid month");

  // A February (month 14) lies in the year after the March-based year Y.
  int lastDay = 31;
  if (M == 4 || M == 6 || M == 9 || M == 11)
    lastDay = 30;
  else if (M == 14)
    lastDay = IsLeapYear(kind, Y + 1) ? 29 : 28;
  if (day < 1 || day > lastDay) throw EConvertError("Invalid day");

  std::int64_t B = 0;
  if (kind == CalendarKind::Gregorian) {
    const std::int64_t A = Y / 100;
    B = 2 - A + A / 4;
  }
  // 30.6001, not 30.6: keeps Trunc() clear of whole numbers.
  const auto yearDays = static_cast<std::int64_t>(std::trunc(365.25L * (Y + 4716)));
  const auto monthDays = static_cast<std::int64_t>(std::trunc(30.6001L * (M + 1)));
  return static_cast<Extended>(yearDays + monthDays + day + B) - 1524.5L;
}

// Saturating conversion of a whole long double to int (far-off Julian days
// decode to meaningless years, but never to undefined behaviour; an infinite
// Julian day turns into NaN on the way and saturates upwards too).
int ToInt(Extended x) {
  if (std::isnan(x) || x >= static_cast<Extended>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<Extended>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

CalendarDate DecodeCalendarDay(CalendarKind kind, Extended jd) {
  if (!(jd >= 0)) throw EConvertError("Negative julian dates not supported");
  const Extended Z = std::trunc(jd + 0.5L);
  Extended A = Z;
  if (kind == CalendarKind::Gregorian) {
    const Extended alpha = std::trunc((Z - 1867216.25L) / 36524.25L);
    A = Z + 1 + alpha - std::trunc(alpha / 4);
  }
  const Extended B = A + 1524;
  const Extended K = std::trunc((B - 122.1L) / 365.25L);
  const Extended D = std::trunc(365.25L * K);
  const Extended E = std::trunc((B - D) / 30.6001L);
  CalendarDate date;
  date.day = ToInt(B - D - std::trunc(30.6001L * E));
  if (E > 13) {
    date.month = ToInt(E - 13);
    date.year = ToInt(K - 4715);
  } else {
    date.month = ToInt(E - 1);
    date.year = ToInt(K - 4716);
  }
  return date;
}

}  // namespace

Extended DateTimeToJulianDay(TDateTime t) {
  return static_cast<Extended>(t) + JulianDayOffset;
}

TDateTime JulianDayToDateTime(Extended jd) {
  return static_cast<TDateTime>(jd - JulianDayOffset);
}

Extended EncodeJulianCalendarDay(int year, int month, int day) {
  return EncodeCalendarDay(CalendarKind::Julian, year, month, day);
}

Extended EncodeGregorianCalendarDay(int year, int month, int day) {
  return EncodeCalendarDay(CalendarKind::Gregorian, year, month, day);
}

Extended EncodeHistoricDay(int year, int month, int day) {
  const Extended julian = EncodeJulianCalendarDay(year, month, day);
  if (julian < GregorianSwitchDay) return julian;
  const Extended gregorian = EncodeGregorianCalendarDay(year, month, day);
  if (gregorian < GregorianSwitchDay) throw EConvertError("Date invalid due to calendar change");
  return gregorian;
}

CalendarDate DecodeJulianCalendarDay(Extended jd) {
  return DecodeCalendarDay(CalendarKind::Julian, jd);
}

CalendarDate DecodeGregorianCalendarDay(Extended jd) {
  return DecodeCalendarDay(CalendarKind::Gregorian, jd);
}

CalendarDate DecodeHistoricDay(Extended jd) {
  if (!(jd >= 0)) throw EConvertError("Negative julian dates not supported");
  return DecodeCalendarDay(jd < GregorianSwitchDay ? CalendarKind::Julian : CalendarKind::Gregorian, jd);
}

TDateTime EncodeHistoricDate(int year, int month, int day) {
  return JulianDayToDateTime(EncodeHistoricDay(year, month, day));
}

CalendarDate DecodeHistoricDate(TDateTime t) {
  return DecodeHistoricDay(DateTimeToJulianDay(t));
}

}  // namespace astro
