// Day values read as the clock and the date pickers read them.
#include "calendar/civil.h"

#include <gtest/gtest.h>

#include "astro/Calendar.h"

namespace calendar {
namespace {

// Reference: day values of the desktop run-time library (days since
// 1899-12-30, proleptic Gregorian); 36526 = 2000-01-01 as in astro/constants.h.
struct DateCase {
  int year, month, day;
  TDateTime value;
};
const DateCase dateCases[] = {
    {1899, 12, 30, 0},      {1899, 12, 29, -1},   {1900, 1, 1, 2},         {1900, 3, 1, 61},
    {2000, 1, 1, 36526},    {2000, 2, 29, 36585}, {2002, 10, 23, 37552},   {1582, 10, 15, -115858},
    {1582, 10, 4, -115869}, {1, 1, 1, -693593},   {9999, 12, 31, 2958465},
};

TEST(CivilDate, EncodesAndDecodesTheDaysOfTheRunTimeLibrary) {
  for (const auto& c : dateCases) {
    SCOPED_TRACE(::testing::Message() << c.year << '-' << c.month << '-' << c.day);
    EXPECT_EQ(EncodeCivilDate(c.year, c.month, c.day), c.value);
    const CivilDateTime d = DecodeCivilDateTime(c.value);
    EXPECT_EQ(d.year, c.year);
    EXPECT_EQ(d.month, c.month);
    EXPECT_EQ(d.day, c.day);
  }
}

TEST(CivilDate, RejectsWhatIsNoDate) {
  const int bad[][3] = {{0, 1, 1},     {10000, 1, 1}, {2000, 0, 1},  {2000, 13, 1},
                        {1900, 2, 29}, {2001, 2, 29}, {2000, 4, 31}, {2000, 1, 0}};
  for (const auto& b : bad) {
    EXPECT_FALSE(IsValidCivilDate(b[0], b[1], b[2]));
    EXPECT_THROW(EncodeCivilDate(b[0], b[1], b[2]), astro::EConvertError);
  }
  EXPECT_THROW(EncodeCivilDateTime({2000, 1, 1, 24, 0, 0, 0}), astro::EConvertError);
  EXPECT_THROW(EncodeCivilDateTime({2000, 1, 1, 0, 60, 0, 0}), astro::EConvertError);
}

TEST(CivilDate, SplitsTheTimeOfDayAfterRoundingToTheMillisecond) {
  struct Case {
    TDateTime value;
    int year, month, day, hour, minute, second, ms;
  } cases[] = {
      {36526.5, 2000, 1, 1, 12, 0, 0, 0},
      {0.958333333333, 1899, 12, 30, 23, 0, 0, 0},  // 23:00 less 29 ns
      {36526.999999999, 2000, 1, 2, 0, 0, 0, 0},    // rounds into the next day
      {-0.25, 1899, 12, 29, 18, 0, 0, 0},           // a plain count of days before 1899-12-30
      {-1.75, 1899, 12, 28, 6, 0, 0, 0},
      {37551 + 23.0 / 24 + 1.0 / 1440, 2002, 10, 22, 23, 1, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    const CivilDateTime d = DecodeCivilDateTime(c.value);
    EXPECT_EQ((std::array{d.year, d.month, d.day, d.hour, d.minute, d.second, d.millisecond}),
              (std::array{c.year, c.month, c.day, c.hour, c.minute, c.second, c.ms}));
    EXPECT_EQ(HourOfDay(c.value), c.hour);
  }
}

TEST(CivilDate, TimeOfDayRoundTrips) {
  for (const TDateTime date : {36526.0, -3.0, 0.0}) {
    for (int minute = 0; minute < 1440; minute += 7) {
      const CivilDateTime in{0, 0, 0, minute / 60, minute % 60, 13, 250};
      const CivilDateTime day = DecodeCivilDateTime(date);
      const CivilDateTime dt{day.year, day.month, day.day, in.hour, in.minute, in.second, in.millisecond};
      const CivilDateTime out = DecodeCivilDateTime(EncodeCivilDateTime(dt));
      EXPECT_EQ((std::array{out.year, out.month, out.day, out.hour, out.minute, out.second, out.millisecond}),
                (std::array{dt.year, dt.month, dt.day, dt.hour, dt.minute, dt.second, dt.millisecond}));
    }
  }
}

}  // namespace
}  // namespace calendar
