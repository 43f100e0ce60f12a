// Day values, Julian days and the historic calendar.
// Reference values: J. Meeus, Astronomical Algorithms, ch. 7 (examples 7.a,
// 7.b, 7.c and the JD table on p. 62), and the calendar switch of 1582.
// Julian days are exact in long double: compared with ==.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "astro/Calendar.h"

namespace astro {
namespace {

struct EncodeCase {
  const char* name;
  int year, month, day;
  Extended jd;  // Julian day of 0h
};

// Historic calendar: Julian up to 1582-10-04, Gregorian from 1582-10-15.
const EncodeCase kHistoricDays[] = {
    {"J2000_day", 2000, 1, 1, 2451544.5L},
    {"Sputnik", 1957, 10, 4, 2436115.5L},         // Meeus 7.a: 1957-10-04.81 = 2436116.31
    {"Meeus_333_Jan27", 333, 1, 27, 1842712.5L},  // Meeus 7.b: 333-01-27 12h = 1842713.0
    {"LastJulianDay", 1582, 10, 4, 2299159.5L},
    {"FirstGregorianDay", 1582, 10, 15, 2299160.5L},
    {"Year1900", 1900, 1, 1, 2415020.5L},
    {"Year1600", 1600, 1, 1, 2305447.5L},
    {"Year1", 1, 1, 1, 1721423.5L},
    {"Julian_leap_1500", 1500, 2, 29, 2268991.5L},  // Julian leap year (Gregorian would reject it)
    {"Year9999_end", 9999, 12, 31, 5373483.5L},
    {"Month0_is_prev_December", 2000, 0, 1, 2451513.5L},     // = 1999-12-01
    {"Month13_is_next_January", 1999, 13, 1, 2451544.5L},    // = 2000-01-01
    {"Month14_is_next_February", 1999, 14, 29, 2451603.5L},  // = 2000-02-29 (leap year of the February)
};

TEST(Calendar, EncodeHistoricDay) {
  for (const auto& c : kHistoricDays) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EncodeHistoricDay(c.year, c.month, c.day), c.jd);
  }
}

TEST(Calendar, DecodeHistoricDayRoundTrip) {
  for (const auto& c : kHistoricDays) {
    if (c.month < 1 || c.month > 12) continue;  // out-of-range months decode to the normal form
    SCOPED_TRACE(c.name);
    const CalendarDate want{c.year, c.month, c.day};
    EXPECT_EQ(DecodeHistoricDay(c.jd), want);
    EXPECT_EQ(DecodeHistoricDay(c.jd + 0.999L), want);  // any moment of the day
  }
}

TEST(Calendar, DayValues) {
  EXPECT_EQ(EncodeHistoricDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(EncodeHistoricDate(1999, 1, 1), 36161.0);
  EXPECT_EQ(EncodeHistoricDate(1899, 12, 30), 0.0);
  EXPECT_EQ(DateTimeToJulianDay(36526.5), 2451545.0L);  // J2000.0
  EXPECT_EQ(DateTimeToJulianDay(0), JulianDayOffset);
  EXPECT_EQ(JulianDayToDateTime(2451545.0L), 36526.5);
  EXPECT_EQ(Day2000, EncodeHistoricDate(2000, 1, 1));
  EXPECT_EQ(JulianDayOffset, 2451544.5L - 36526);
}

TEST(Calendar, DecodeDropsTimeOfDay) {
  EXPECT_EQ(DecodeHistoricDate(36526.99), (CalendarDate{2000, 1, 1}));
  EXPECT_EQ(DecodeHistoricDate(36526.0), (CalendarDate{2000, 1, 1}));
  EXPECT_EQ(DecodeHistoricDate(36525.999999), (CalendarDate{1999, 12, 31}));
}

// Julian days far beyond year 9999 give meaningless dates but must neither
// overflow nor crash (checked under the sanitizers).
TEST(Calendar, FarJulianDaysDecode) {
  for (Extended jd : {1e12L, 1e30L, std::numeric_limits<Extended>::infinity()}) {
    const CalendarDate d = DecodeHistoricDay(jd);
    EXPECT_GT(d.year, 9999) << static_cast<double>(jd);
  }
}

// The switch: 1582-10-04 and 1582-10-15 are consecutive days.
TEST(Calendar, GregorianSwitch) {
  EXPECT_EQ(EncodeHistoricDay(1582, 10, 15) - EncodeHistoricDay(1582, 10, 4), 1.0L);
  EXPECT_EQ(EncodeHistoricDay(1582, 10, 15), GregorianSwitchDay);
  EXPECT_EQ(DecodeHistoricDay(2299160.49L), (CalendarDate{1582, 10, 4}));
  EXPECT_EQ(DecodeHistoricDay(2299159.5L), (CalendarDate{1582, 10, 4}));
  EXPECT_EQ(DecodeHistoricDay(2299160.5L), (CalendarDate{1582, 10, 15}));
  // The pure calendars on either side of the switch.
  EXPECT_EQ(DecodeJulianCalendarDay(2299160.5L), (CalendarDate{1582, 10, 5}));
  EXPECT_EQ(DecodeGregorianCalendarDay(2299159.5L), (CalendarDate{1582, 10, 14}));
  EXPECT_EQ(EncodeJulianCalendarDay(1582, 10, 5), 2299160.5L);
  EXPECT_EQ(EncodeGregorianCalendarDay(1582, 10, 14), 2299159.5L);
  EXPECT_EQ(EncodeJulianCalendarDay(2000, 1, 1) - EncodeGregorianCalendarDay(2000, 1, 1), 13.0L);
}

// Every day of a span, both ways, in the three calendars.
TEST(Calendar, DayByDayRoundTrip) {
  using Encode = Extended (*)(int, int, int);
  using Decode = CalendarDate (*)(Extended);
  const struct {
    const char* name;
    Encode encode;
    Decode decode;
    Extended from, to;
  } spans[] = {
      {"Julian", EncodeJulianCalendarDay, DecodeJulianCalendarDay, 1721423.5L, 2488069.5L},
      {"Gregorian", EncodeGregorianCalendarDay, DecodeGregorianCalendarDay, 2000000.5L, 2488069.5L},
      {"Historic", EncodeHistoricDay, DecodeHistoricDay, 1721423.5L, 2488069.5L},
  };
  for (const auto& s : spans) {
    SCOPED_TRACE(s.name);
    int failures = 0;
    for (Extended jd = s.from; jd <= s.to && failures < 5; jd += 1) {
      const CalendarDate d = s.decode(jd);
      if (s.encode(d.year, d.month, d.day) != jd) {
        ADD_FAILURE() << "JD " << static_cast<double>(jd) << " -> " << d.year << "-" << d.month << "-"
                      << d.day;
        ++failures;
      }
    }
  }
}

struct ErrorCase {
  const char* name;
  std::function<void()> call;
  const char* message;
};

TEST(Calendar, ConvertErrors) {
  const ErrorCase cases[] = {
      {"Year0", [] { EncodeHistoricDay(0, 1, 1); }, "Invalid year"},
      {"Year10000", [] { EncodeHistoricDay(10000, 1, 1); }, "Invalid year"},
      {"NegativeYear", [] { EncodeJulianCalendarDay(-5, 1, 1); }, "Invalid year"},
      {"Month15", [] { EncodeHistoricDay(2000, 15, 1); }, "Invalid month"},
      {"NegativeMonth", [] { EncodeGregorianCalendarDay(2000, -1, 1); }, "Invalid month"},
      {"April31", [] { EncodeHistoricDay(2000, 4, 31); }, "Invalid day"},
      {"Day0", [] { EncodeHistoricDay(2000, 1, 0); }, "Invalid day"},
      {"Jan32", [] { EncodeHistoricDay(2000, 1, 32); }, "Invalid day"},
      {"Gregorian1900Feb29", [] { EncodeGregorianCalendarDay(1900, 2, 29); }, "Invalid day"},
      {"Julian1501Feb29", [] { EncodeJulianCalendarDay(1501, 2, 29); }, "Invalid day"},
      {"Month14Day30", [] { EncodeGregorianCalendarDay(1999, 14, 30); }, "Invalid day"},
      {"Oct5_1582", [] { EncodeHistoricDay(1582, 10, 5); }, "Date invalid due to calendar change"},
      {"Oct14_1582", [] { EncodeHistoricDay(1582, 10, 14); }, "Date invalid due to calendar change"},
      {"Oct10_1582_date", [] { EncodeHistoricDate(1582, 10, 10); }, "Date invalid due to calendar change"},
      {"DecodeNegative", [] { DecodeHistoricDay(-0.5L); }, "Negative julian dates not supported"},
      {"DecodeNaN", [] { DecodeHistoricDay(std::numeric_limits<Extended>::quiet_NaN()); },
       "Negative julian dates not supported"},
      {"DecodeJulianNegative", [] { DecodeJulianCalendarDay(-1); }, "Negative julian dates not supported"},
      {"DecodeGregorianNegative", [] { DecodeGregorianCalendarDay(-1); },
       "Negative julian dates not supported"},
      {"DecodeDateNegative", [] { DecodeHistoricDate(-2415019.0); }, "Negative julian dates not supported"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.call();
      ADD_FAILURE() << "no EConvertError";
    } catch (const EConvertError& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

TEST(Calendar, LeapDaysAccepted) {
  EXPECT_EQ(EncodeGregorianCalendarDay(2000, 2, 29) + 1, EncodeGregorianCalendarDay(2000, 3, 1));
  EXPECT_EQ(EncodeJulianCalendarDay(1900, 2, 29) + 1, EncodeJulianCalendarDay(1900, 3, 1));
  EXPECT_EQ(DecodeHistoricDay(EncodeHistoricDay(1500, 2, 29)), (CalendarDate{1500, 2, 29}));
}

}  // namespace
}  // namespace astro
