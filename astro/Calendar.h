// Day values, Julian days and calendar dates (Julian, Gregorian, historic).
//
// The historic calendar is the Julian calendar up to 1582-10-04 and the
// Gregorian calendar from 1582-10-15 on. Encoders take year 1..9999, month
// 0..14 (0 = December of the year before, 13/14 = January/February of the
// next), and validate the day; decoders drop the time of day.
// Reference: J. Meeus, Astronomical Algorithms, 2nd ed., ch. 7.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

#include "constants.h"

namespace astro {

// Conversion failure; what() is one of "Invalid year", "Invalid month",
// "Invalid day", "Date invalid due to calendar change",
// "Negative julian dates not supported".
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& message) : std::runtime_error(message) {}
};

struct CalendarDate {
  int year = 0;
  int month = 0;
  int day = 0;
  friend bool operator==(const CalendarDate&, const CalendarDate&) = default;
};

// Leap years: every fourth year in the Julian calendar; in the Gregorian
// calendar not the centuries, except every fourth century.
bool IsJulianLeapYear(std::int64_t year);
bool IsGregorianLeapYear(std::int64_t year);

Extended DateTimeToJulianDay(TDateTime t);
TDateTime JulianDayToDateTime(Extended jd);

Extended EncodeJulianCalendarDay(int year, int month, int day);
Extended EncodeGregorianCalendarDay(int year, int month, int day);
Extended EncodeHistoricDay(int year, int month, int day);

CalendarDate DecodeJulianCalendarDay(Extended jd);
CalendarDate DecodeGregorianCalendarDay(Extended jd);
CalendarDate DecodeHistoricDay(Extended jd);

TDateTime EncodeHistoricDate(int year, int month, int day);
CalendarDate DecodeHistoricDate(TDateTime t);

}  // namespace astro
