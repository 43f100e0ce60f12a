// The lunar date of a moment, China time and the double hours.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <iterator>
#include <vector>

#include "astro/Calendar.h"
#include "astro/moon.h"
#include "calendar/civil.h"
#include "calendar/double_hours.h"
#include "calendar/lunar_date.h"
#include "calendar/lunar_range.h"
#include "calendar/season.h"
#include "moments.h"

namespace calendar {
namespace {

using moments::Moment;

// The cases below are written in the stored correction index (3 = none), as
// the settings file holds it; these read it as TimeSettings does.
TimeSettings Of(int correction) {
  return TimeSettings::FromIndexes(correction, TimeSettings::DefaultZoneIndex);
}
TDateTime ApplyTimeCorrection(TDateTime t, int correction) {
  return calendar::ApplyTimeCorrection(t, Of(correction));
}
LunarDay LunarDayOf(TDateTime t, int correction) {
  return calendar::LunarDayOf(t, Of(correction));
}
std::array<std::string, 12> DoubleHourCaptions(int correction) {
  return calendar::DoubleHourCaptions(Of(correction));
}
DoubleHourClock DoubleHourClockHours(int doubleHour, int correction) {
  return calendar::DoubleHourClockHours(doubleHour, Of(correction));
}
std::string DoubleHourCaption(int doubleHour, int correction) {
  return calendar::DoubleHourCaption(doubleHour, Of(correction));
}
std::string DoubleHourText(int doubleHour, int correction) {
  return calendar::DoubleHourText(doubleHour, Of(correction));
}

TEST(ApplyTimeCorrection, ClockAheadByIndexMinusThreeHours) {
  const TDateTime t = Moment(2024, 2, 10, 12);
  const double hoursAdded[7] = {3, 2, 1, 0, -1, -2, -3};
  for (int index = 0; index <= 6; ++index)
    EXPECT_NEAR(ApplyTimeCorrection(t, index), t + hoursAdded[index] / 24, 1e-12) << index;
  for (int index : {-1, 7, 100, INT_MIN, INT_MAX}) EXPECT_EQ(ApplyTimeCorrection(t, index), t) << index;
  // The lunar day and the double-hour captions are those of index 3.
  const LunarDay neutral = LunarDayOf(t, 3);
  for (int index : {INT_MIN, INT_MAX}) {
    const LunarDay s = LunarDayOf(t, index);
    EXPECT_EQ(DoubleHourCaptions(index), DoubleHourCaptions(3)) << index;
    EXPECT_EQ(s.doubleHour, neutral.doubleHour) << index;
    EXPECT_EQ(s.lunar.DayOfMonth, neutral.lunar.DayOfMonth) << index;
  }
}

TEST(ChinaTime, StandardTimeFrom1929BeijingMeanTimeBefore) {
  struct Case {
    TDateTime t;
    double offsetSeconds;
  } cases[] = {
      {Moment(2000, 6, 1, 5), 8 * 3600},
      {Moment(1929, 1, 1, 0), 8 * 3600},
      {Moment(1928, 12, 31, 23, 59), 27940},
      {Moment(1900, 1, 1), 27940},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_NEAR(ToChinaTime(c.t) - c.t, c.offsetSeconds / 86400, 1e-9);
    EXPECT_NEAR(c.t - FromChinaTime(c.t), c.offsetSeconds / 86400, 1e-9);
  }
}

TEST(DaySearches, GiveWholeChinaDates) {
  // 6 January 2000 18:14:45 (uniform scale) is 7 January 02:14:45 in China.
  const TDateTime newMoon = astro::NextPhase(astro::mpNewMoon, 36526.0);
  ASSERT_NEAR(newMoon, 36531.76025, 1e-4);
  const TDateTime chinaDay = Moment(2000, 1, 7);
  EXPECT_EQ(NewMoonOnOrAfter(Moment(2000, 1, 1)), chinaDay);
  EXPECT_EQ(NewMoonOnOrAfter(chinaDay), chinaDay);  // the new moon is after the start of its day
  EXPECT_EQ(NewMoonOnOrBefore(chinaDay + 1), chinaDay);
  EXPECT_EQ(NewMoonOnOrBefore(chinaDay), Moment(1999, 12, 8));  // 7 Dec 22:32 + 8 h
  // Winter solstice 1999: 22 December 07:44 UT, 15:44 in China.
  EXPECT_EQ(MajorTermDayOnOrAfter(Moment(1999, 12, 15)), Moment(1999, 12, 22));
  EXPECT_EQ(MajorTermDayBefore(Moment(1999, 12, 23)), Moment(1999, 12, 22));
  // The major term before that day is the Lesser Snow of 22 or 23 November.
  EXPECT_NEAR(MajorTermDayBefore(Moment(1999, 12, 22)), Moment(1999, 11, 22) + 0.5, 0.5);
}

// Month starts and leap months of the Chinese calendar as published for
// 2001..2025 (China time; the leap month carries the number of the month
// before it). Dates are the 10th day of the month, away from the edges.
struct LeapMonthCase {
  int year, month, day;
  int lunarMonth;
};
const LeapMonthCase leapMonths[] = {
    {2001, 6, 1, 4},  {2004, 3, 30, 2}, {2006, 9, 2, 7}, {2009, 7, 2, 5},  {2012, 5, 30, 4},
    {2014, 11, 2, 9}, {2017, 8, 1, 6},  {2020, 6, 1, 4}, {2023, 3, 31, 2}, {2025, 8, 3, 6},
};

TEST(LunarDateOf, FindsThePublishedLeapMonths) {
  for (const auto& c : leapMonths) {
    SCOPED_TRACE(::testing::Message() << c.year << '-' << c.month << '-' << c.day);
    const TLunarDate in = LunarDateOf(Moment(c.year, c.month, c.day, 12));
    EXPECT_TRUE(in.LeapYear);
    EXPECT_TRUE(in.LeapMonth);
    EXPECT_EQ(in.Month, c.lunarMonth);
    // Thirty days earlier: the ordinary month of the same number, same year.
    const TLunarDate before = LunarDateOf(Moment(c.year, c.month, c.day, 12) - 30);
    EXPECT_FALSE(before.LeapMonth);
    EXPECT_EQ(before.Month, c.lunarMonth);
    EXPECT_TRUE(before.LeapYear);
    // Thirty days later: the next month, no longer leap.
    const TLunarDate after = LunarDateOf(Moment(c.year, c.month, c.day, 12) + 30);
    EXPECT_FALSE(after.LeapMonth);
    EXPECT_EQ(after.Month, c.lunarMonth % 12 + 1);
  }
}

// Chinese New Year (month 1 day 1) as published, 2000..2025.
const int newYears[][3] = {
    {2000, 2, 5},  {2001, 1, 24}, {2002, 2, 12}, {2003, 2, 1},  {2004, 1, 22}, {2005, 2, 9},  {2006, 1, 29},
    {2007, 2, 18}, {2008, 2, 7},  {2009, 1, 26}, {2010, 2, 14}, {2011, 2, 3},  {2012, 1, 23}, {2013, 2, 10},
    {2014, 1, 31}, {2015, 2, 19}, {2016, 2, 8},  {2017, 1, 28}, {2018, 2, 16}, {2019, 2, 5},  {2020, 1, 25},
    {2021, 2, 12}, {2022, 2, 1},  {2023, 1, 22}, {2024, 2, 10}, {2025, 1, 29},
};

TEST(LunarDateOf, NewYearsDaysAndTheirEves) {
  for (const auto& d : newYears) {
    SCOPED_TRACE(::testing::Message() << d[0] << '-' << d[1] << '-' << d[2]);
    const TLunarDate first = LunarDateOf(Moment(d[0], d[1], d[2], 12));
    EXPECT_EQ(first.Month, 1);
    EXPECT_EQ(first.DayOfMonth, 1);
    EXPECT_FALSE(first.LeapMonth);
    EXPECT_EQ(first.YearCount, d[0] + 2637);
    const TLunarDate eve = LunarDateOf(Moment(d[0], d[1], d[2], 12) - 1);
    EXPECT_EQ(eve.Month, 12);
    EXPECT_TRUE(eve.DayOfMonth == 29 || eve.DayOfMonth == 30) << eve.DayOfMonth;
    EXPECT_EQ(eve.YearCount, d[0] + 2636);
  }
}

// Two centuries of the published calendar (the tables of the Hong Kong
// Observatory and the Purple Mountain Observatory, China time). Leap months
// 1900..2100: the Gregorian year in which the leap month begins and the
// number of the month it follows. 2033 is the well-known hard case: its leap
// month follows month 11 and begins on 22 December 2033.
const int publishedLeapMonths[][2] = {
    {1900, 8}, {1903, 5}, {1906, 4}, {1909, 2}, {1911, 6},  {1914, 5}, {1917, 2}, {1919, 7}, {1922, 5},
    {1925, 4}, {1928, 2}, {1930, 6}, {1933, 5}, {1936, 3},  {1938, 7}, {1941, 6}, {1944, 4}, {1947, 2},
    {1949, 7}, {1952, 5}, {1955, 3}, {1957, 8}, {1960, 6},  {1963, 4}, {1966, 3}, {1968, 7}, {1971, 5},
    {1974, 4}, {1976, 8}, {1979, 6}, {1982, 4}, {1984, 10}, {1987, 6}, {1990, 5}, {1993, 3}, {1995, 8},
    {1998, 5}, {2001, 4}, {2004, 2}, {2006, 7}, {2009, 5},  {2012, 4}, {2014, 9}, {2017, 6}, {2020, 4},
    {2023, 2}, {2025, 6}, {2028, 5}, {2031, 3}, {2033, 11}, {2036, 6}, {2039, 5}, {2042, 2}, {2044, 7},
    {2047, 5}, {2050, 3}, {2052, 8}, {2055, 6}, {2058, 4},  {2061, 3}, {2063, 7}, {2066, 5}, {2069, 4},
    {2071, 8}, {2074, 6}, {2077, 4}, {2080, 3}, {2082, 7},  {2085, 5}, {2088, 4}, {2090, 8}, {2093, 6},
    {2096, 4}, {2099, 2},
};

// New Year's days (month 1, day 1) 1900..2050, as month and day of January
// or February of each year in turn.
const int publishedNewYears[][2] = {
    {1, 31}, {2, 19}, {2, 8},  {1, 29}, {2, 16}, {2, 4},  {1, 25}, {2, 13}, {2, 2},  {1, 22},  // 1900
    {2, 10}, {1, 30}, {2, 18}, {2, 6},  {1, 26}, {2, 14}, {2, 3},  {1, 23}, {2, 11}, {2, 1},   // 1910
    {2, 20}, {2, 8},  {1, 28}, {2, 16}, {2, 5},  {1, 24}, {2, 13}, {2, 2},  {1, 23}, {2, 10},  // 1920
    {1, 30}, {2, 17}, {2, 6},  {1, 26}, {2, 14}, {2, 4},  {1, 24}, {2, 11}, {1, 31}, {2, 19},  // 1930
    {2, 8},  {1, 27}, {2, 15}, {2, 5},  {1, 25}, {2, 13}, {2, 2},  {1, 22}, {2, 10}, {1, 29},  // 1940
    {2, 17}, {2, 6},  {1, 27}, {2, 14}, {2, 3},  {1, 24}, {2, 12}, {1, 31}, {2, 18}, {2, 8},   // 1950
    {1, 28}, {2, 15}, {2, 5},  {1, 25}, {2, 13}, {2, 2},  {1, 21}, {2, 9},  {1, 30}, {2, 17},  // 1960
    {2, 6},  {1, 27}, {2, 15}, {2, 3},  {1, 23}, {2, 11}, {1, 31}, {2, 18}, {2, 7},  {1, 28},  // 1970
    {2, 16}, {2, 5},  {1, 25}, {2, 13}, {2, 2},  {2, 20}, {2, 9},  {1, 29}, {2, 17}, {2, 6},   // 1980
    {1, 27}, {2, 15}, {2, 4},  {1, 23}, {2, 10}, {1, 31}, {2, 19}, {2, 7},  {1, 28}, {2, 16},  // 1990
    {2, 5},  {1, 24}, {2, 12}, {2, 1},  {1, 22}, {2, 9},  {1, 29}, {2, 18}, {2, 7},  {1, 26},  // 2000
    {2, 14}, {2, 3},  {1, 23}, {2, 10}, {1, 31}, {2, 19}, {2, 8},  {1, 28}, {2, 16}, {2, 5},   // 2010
    {1, 25}, {2, 12}, {2, 1},  {1, 22}, {2, 10}, {1, 29}, {2, 17}, {2, 6},  {1, 26}, {2, 13},  // 2020
    {2, 3},  {1, 23}, {2, 11}, {1, 31}, {2, 19}, {2, 8},  {1, 28}, {2, 15}, {2, 4},  {1, 24},  // 2030
    {2, 12}, {2, 1},  {1, 22}, {2, 10}, {1, 30}, {2, 17}, {2, 6},  {1, 26}, {2, 14}, {2, 2},   // 2040
    {1, 23},                                                                                   // 2050
};

TEST(LunarDateOf, PublishedLeapMonthsAndNewYears1900To2100) {
  std::vector<std::array<int, 2>> leapMonths;  // year of the first day, month number
  std::vector<std::array<int, 3>> newYears;    // year, month, day
  for (TDateTime t = Moment(1900, 1, 1, 12); t < Moment(2101, 1, 1); t += 1) {
    const TLunarDate r = LunarDateOf(t);
    if (r.DayOfMonth != 1) continue;
    const CivilDateTime d = DecodeCivilDateTime(t);
    if (r.LeapMonth) leapMonths.push_back({d.year, r.Month});
    if (r.Month == 1 && !r.LeapMonth && d.year <= 2050) {
      newYears.push_back({d.year, d.month, d.day});
      EXPECT_EQ(r.YearCount, d.year + 2637) << d.year;
    }
  }
  ASSERT_EQ(leapMonths.size(), std::size(publishedLeapMonths));
  for (std::size_t i = 0; i < leapMonths.size(); ++i) {
    EXPECT_EQ(leapMonths[i][0], publishedLeapMonths[i][0]) << "leap month " << i;
    EXPECT_EQ(leapMonths[i][1], publishedLeapMonths[i][1]) << "leap month of " << publishedLeapMonths[i][0];
  }
  ASSERT_EQ(newYears.size(), std::size(publishedNewYears));
  for (std::size_t i = 0; i < newYears.size(); ++i) {
    SCOPED_TRACE(::testing::Message() << "New Year of " << 1900 + i);
    EXPECT_EQ(newYears[i][0], static_cast<int>(1900 + i));
    EXPECT_EQ(newYears[i][1], publishedNewYears[i][0]);
    EXPECT_EQ(newYears[i][2], publishedNewYears[i][1]);
  }
  // The 2033 leap month 11 runs from 22 December 2033 to 19 January 2034.
  const TLunarDate leap11 = LunarDateOf(Moment(2034, 1, 19, 12));
  EXPECT_TRUE(leap11.LeapMonth);
  EXPECT_EQ(leap11.Month, 11);
  EXPECT_EQ(leap11.DayOfMonth, 29);
  EXPECT_EQ(leap11.YearCount, 2033 + 2637);
  const TLunarDate month12 = LunarDateOf(Moment(2034, 1, 20, 12));
  EXPECT_FALSE(month12.LeapMonth);
  EXPECT_EQ(month12.Month, 12);
  EXPECT_EQ(month12.DayOfMonth, 1);
}

struct LunarCase {
  const char* what;
  TDateTime t;
  int yearCount, yearInCycle, month, day;
  bool leapMonth, leapYear;
};

TEST(LunarDateOf, TheWorkedDates) {
  const LunarCase cases[] = {
      {"1 January 2000: month 11 of the Ji-Mao year", Moment(2000, 1, 1, 12), 4636, 16, 11, 25, false, false},
      {"10 February 2024: New Year", Moment(2024, 2, 10, 12), 4661, 41, 1, 1, false, false},
      {"1 April 2023: the leap month after month 2", Moment(2023, 4, 1, 12), 4660, 40, 2, 11, true, true},
      {"20 April 2023: month 3 begins", Moment(2023, 4, 20, 12), 4660, 40, 3, 1, false, true},
      {"a month 11 in December counts from this year", Moment(2023, 12, 20, 12), 4660, 40, 11, 8, false,
       true},
      {"a month 12 in January counts from last year", Moment(2024, 1, 20, 12), 4660, 40, 12, 10, false,
       false},
      {"only the date matters, not the time", Moment(2024, 1, 20, 23, 59), 4660, 40, 12, 10, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TLunarDate r = LunarDateOf(c.t);
    EXPECT_EQ(r.YearCount, c.yearCount);
    EXPECT_EQ(r.YearInCycle, c.yearInCycle);
    EXPECT_EQ(r.Month, c.month);
    EXPECT_EQ(r.DayOfMonth, c.day);
    EXPECT_EQ(r.LeapMonth, c.leapMonth);
    EXPECT_EQ(r.LeapYear, c.leapYear);
  }
}

TEST(LunarDateOf, DaysRunOnWithinEveryMonth) {
  // Over three years: each day is the day after the one before, or day 1
  // of the next month after day 29 or 30.
  TLunarDate prev = LunarDateOf(Moment(2022, 6, 1, 12));
  for (TDateTime t = Moment(2022, 6, 2, 12); t < Moment(2025, 6, 1); t += 1) {
    const TLunarDate r = LunarDateOf(t);
    SCOPED_TRACE(t);
    if (r.DayOfMonth == 1) {
      EXPECT_TRUE(prev.DayOfMonth == 29 || prev.DayOfMonth == 30) << prev.DayOfMonth;
      if (!r.LeapMonth)
        EXPECT_EQ(r.Month, prev.Month % 12 + 1);
      else
        EXPECT_EQ(r.Month, prev.Month);
    } else {
      EXPECT_EQ(r.DayOfMonth, prev.DayOfMonth + 1);
      EXPECT_EQ(r.Month, prev.Month);
      EXPECT_EQ(r.LeapMonth, prev.LeapMonth);
    }
    prev = r;
  }
}

TEST(HasNoMajorTerm, OnlyTheLeapMonthLacksOne) {
  // 2023: the leap month 2 begins on 22 March, month 2 on 20 February.
  EXPECT_TRUE(HasNoMajorTerm(Moment(2023, 3, 22)));
  EXPECT_FALSE(HasNoMajorTerm(Moment(2023, 2, 20)));
  EXPECT_FALSE(HasNoMajorTerm(Moment(2023, 4, 20)));
  const TDateTime m12 = Moment(2022, 12, 23);  // month after the 2022 solstice month
  EXPECT_FALSE(PriorLeapMonth(Moment(2023, 2, 20), m12));
  EXPECT_TRUE(PriorLeapMonth(Moment(2023, 3, 22), m12));
  EXPECT_TRUE(PriorLeapMonth(Moment(2023, 9, 15), m12));
}

TEST(DoubleHourIndex, TwoClockHoursPerBranch) {
  const int expected[24] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 0};
  for (int h = 0; h < 24; ++h) EXPECT_EQ(DoubleHourIndex(h), expected[h]) << h;
}

TEST(DoubleHourCaptions, HourRangesFollowTheCorrection) {
  const std::array<std::string, 12> noCorrection = {
      "Цзы | 23-1", "Чоу | 1-3",   "Инь | 3-5",    "Мао | 5-7", "Чэнь | 7-9",  "Сы | 9-11",
      "У | 11-13",  "Вэй | 13-15", "Шэнь | 15-17", "Ю | 17-19", "Сюй | 19-21", "Хай | 21-23"};
  const std::array<std::string, 12> plusOne = {"Цзы | 0-2",    "Чоу | 2-4",  "Инь | 4-6",   "Мао | 6-8",
                                               "Чэнь | 8-10",  "Сы | 10-12", "У | 12-14",   "Вэй | 14-16",
                                               "Шэнь | 16-18", "Ю | 18-20",  "Сюй | 20-22", "Хай | 22-0"};
  EXPECT_EQ(DoubleHourCaptions(3), noCorrection);
  EXPECT_EQ(DoubleHourCaptions(4), plusOne);
  EXPECT_EQ(DoubleHourCaptions(0)[0], "Цзы | 20-22");
  EXPECT_EQ(DoubleHourCaptions(6)[0], "Цзы | 2-4");
  EXPECT_EQ(DoubleHourCaptions(6)[11], "Хай | 0-2");
  EXPECT_EQ(DoubleHourCaptions(9), noCorrection);  // out of range: no correction
}

// The double hours on the user's clock: the clock runs ahead of corrected
// time by (index - 3) hours, so every double hour begins that much later
// on it. Written out by hand for every correction.
TEST(DoubleHourClockHours, TheClockRunsAheadByTheCorrection) {
  struct Case {
    int correction;
    int doubleHour;
    DoubleHourClock clock;
    const char* caption;
    const char* text;
  };
  const Case cases[] = {
      {3, 0, {23, 1}, "Цзы | 23-1", "Цзы (23:00–01:00)"},
      {3, 3, {5, 7}, "Мао | 5-7", "Мао (05:00–07:00)"},
      {3, 11, {21, 23}, "Хай | 21-23", "Хай (21:00–23:00)"},
      {4, 0, {0, 2}, "Цзы | 0-2", "Цзы (00:00–02:00)"},
      {4, 3, {6, 8}, "Мао | 6-8", "Мао (06:00–08:00)"},
      {4, 11, {22, 0}, "Хай | 22-0", "Хай (22:00–00:00)"},
      {5, 3, {7, 9}, "Мао | 7-9", "Мао (07:00–09:00)"},
      {6, 6, {14, 16}, "У | 14-16", "У (14:00–16:00)"},
      {6, 11, {0, 2}, "Хай | 0-2", "Хай (00:00–02:00)"},
      {2, 3, {4, 6}, "Мао | 4-6", "Мао (04:00–06:00)"},
      {1, 0, {21, 23}, "Цзы | 21-23", "Цзы (21:00–23:00)"},
      {0, 0, {20, 22}, "Цзы | 20-22", "Цзы (20:00–22:00)"},
      {0, 6, {8, 10}, "У | 8-10", "У (08:00–10:00)"},
      // A correction the settings cannot hold shifts nothing, as in the calculations.
      {9, 3, {5, 7}, "Мао | 5-7", "Мао (05:00–07:00)"},
      {-1, 6, {11, 13}, "У | 11-13", "У (11:00–13:00)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.correction) + "/" + std::to_string(c.doubleHour));
    EXPECT_EQ(DoubleHourClockHours(c.doubleHour, c.correction), c.clock);
    EXPECT_EQ(DoubleHourCaption(c.doubleHour, c.correction), c.caption);
    EXPECT_EQ(DoubleHourText(c.doubleHour, c.correction), c.text);
    EXPECT_EQ(DoubleHourCaptions(c.correction)[static_cast<std::size_t>(c.doubleHour)], c.caption);
  }
  EXPECT_EQ(DoubleHourCaption(12, 3), "");
  EXPECT_EQ(DoubleHourText(-1, 4), "");
}

// The clock range of a double hour holds exactly the clock moments that
// SetLunarDate puts into that double hour: the list, the sheet and the
// casting agree for every correction and every hour of the clock.
TEST(DoubleHourClockHours, HoldsTheMomentsTheSelectionPutsThere) {
  for (int correction = 0; correction <= 6; ++correction) {
    for (int clockHour = 0; clockHour < 24; ++clockHour) {
      const TDateTime t = EncodeCivilDateTime({2024, 3, 15, clockHour, 30, 0, 0});
      const int index = LunarDayOf(t, correction).doubleHour;
      const DoubleHourClock h = DoubleHourClockHours(index, correction);
      const bool inside =
          h.from < h.to ? clockHour >= h.from && clockHour < h.to : clockHour >= h.from || clockHour < h.to;
      EXPECT_TRUE(inside) << "correction " << correction << ", " << clockHour << ":30 in " << index;
    }
  }
}

struct SelectionCase {
  const char* what;
  TDateTime t;
  int correction;
  int doubleHour, yearNumber, month, day;
  bool leapMonth;
};

TEST(LunarDayOf, WhatTheFourListsShow) {
  // 2024-02-09 is the last day (30) of month 12; 2024-02-10 is New Year.
  const SelectionCase cases[] = {
      {"23:30 is Zi of the next date", Moment(2024, 2, 9, 23, 30), 3, 0, 5, 1, 1, false},
      {"00:30 is Zi of the same date", Moment(2024, 2, 10, 0, 30), 3, 0, 5, 1, 1, false},
      {"01:00 is Chou", Moment(2024, 2, 10, 1, 0), 3, 1, 5, 1, 1, false},
      {"22:59 is still Hai of the old year", Moment(2024, 2, 9, 22, 59), 3, 11, 4, 12, 30, false},
      {"with +1, 23:30 is corrected to 22:30: Hai, same date", Moment(2024, 2, 9, 23, 30), 4, 11, 4, 12, 30,
       false},
      {"with -3, 21:00 is corrected to 00:00 of the next date", Moment(2024, 2, 9, 21, 0), 0, 0, 5, 1, 1,
       false},
      {"1 January 2000, midday", Moment(2000, 1, 1, 12), 3, 6, 4, 11, 25, false},
      {"1 April 2023: leap month", Moment(2023, 4, 1, 12), 3, 6, 4, 2, 11, true},
      {"20 April 2023: month 3", Moment(2023, 4, 20, 12), 3, 6, 4, 3, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const LunarDay s = LunarDayOf(c.t, c.correction);
    EXPECT_EQ(s.doubleHour, c.doubleHour);
    EXPECT_EQ(s.yearNumber, c.yearNumber);
    EXPECT_EQ(s.lunar.Month, c.month);
    EXPECT_EQ(s.lunar.DayOfMonth, c.day);
    EXPECT_EQ(s.lunar.LeapMonth, c.leapMonth);
  }
}

TEST(LunarDate, KernelErrorsPassThrough) {
  // Before year 1 there is no historic date to frame the year with.
  EXPECT_THROW(LunarDateOf(-693600.0), astro::EConvertError);
  EXPECT_THROW(LunarDayOf(-693600.0, 3), astro::EConvertError);
  EXPECT_THROW(LunarDateOf(-2415019.0), astro::EConvertError);  // a negative Julian day
}

}  // namespace
}  // namespace calendar
