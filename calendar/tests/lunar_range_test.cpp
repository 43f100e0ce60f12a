// The date a divination by date is cast from (LunarDayOf) against the
// lunar date of the corrected moment, the Zi hour from 23:00 on taken to
// the next date: the same answer for every day of a span that holds leap
// months, at times of day on both sides of the Zi hour and at every time
// correction; with the memo off as well, so the answer does not depend on
// what earlier days left behind. Then the walk over many days against
// LunarDayOf.
#include "calendar/lunar_range.h"

#include <gtest/gtest.h>

#include <vector>

#include "astro/vsop.h"
#include "calendar/civil.h"
#include "calendar/lunar_date.h"
#include "calendar/memo.h"

namespace calendar {
namespace {

void ExpectSameAsLunarDate(TDateTime from, TDateTime to, double timeOfDay, int correction) {
  const TimeSettings settings = TimeSettings::FromIndexes(correction, TimeSettings::DefaultZoneIndex);
  const int hoursAhead = IsCorrectionIndex(correction) ? correction - 3 : 0;
  for (TDateTime day = from; day <= to; day += 1) {
    const TDateTime t = day + timeOfDay;
    const LunarDay d = LunarDayOf(t, settings);
    const TDateTime corrected = t - hoursAhead / 24.0;
    const int hour = HourOfDay(corrected);
    const TLunarDate lunar = LunarDateOf(hour == 23 ? corrected + 1.0 / 24 : corrected);
    ASSERT_EQ(d.doubleHour, (hour + 1) % 24 / 2) << t;
    ASSERT_EQ(d.yearNumber, static_cast<int>(astro::AMod(lunar.YearInCycle, 12))) << t;
    ASSERT_EQ(d.lunar.Month, lunar.Month) << t;
    ASSERT_EQ(d.lunar.DayOfMonth, lunar.DayOfMonth) << t;
    ASSERT_EQ(d.lunar.LeapMonth, lunar.LeapMonth) << t;
    ASSERT_EQ(d.lunar.LeapYear, lunar.LeapYear) << t;
    ASSERT_EQ(d.lunar.YearCount, lunar.YearCount) << t;
    ASSERT_EQ(d.lunar.YearInCycle, lunar.YearInCycle) << t;
  }
}

TEST(LunarDayOf, SameAsTheLunarDateOfTheCorrectedMoment) {
  // 2017 and 2020 have leap months (6 and 4); 23:30 belongs to the next day.
  const TDateTime from = EncodeCivilDate(2016, 12, 1), to = EncodeCivilDate(2020, 12, 31);
  const struct {
    double timeOfDay;
    int correction;
  } cases[] = {{0.5, 3}, {23.5 / 24, 3}, {0.5 / 24, 0}, {22.5 / 24, 6}, {0.5, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.timeOfDay << " correction " << c.correction);
    ExpectSameAsLunarDate(from, to, c.timeOfDay, c.correction);
  }
}

TEST(LunarDayOf, SameWithoutTheMemo) {
  SetCalendarMemo(false);
  ExpectSameAsLunarDate(EncodeCivilDate(2023, 1, 1), EncodeCivilDate(2023, 3, 31), 0.5, 3);
  SetCalendarMemo(true);
}

void ExpectSameDay(const LunarDay& walked, const LunarDay& single, TDateTime t) {
  ASSERT_EQ(walked.doubleHour, single.doubleHour) << t;
  ASSERT_EQ(walked.yearNumber, single.yearNumber) << t;
  ASSERT_EQ(walked.lunar.Month, single.lunar.Month) << t;
  ASSERT_EQ(walked.lunar.DayOfMonth, single.lunar.DayOfMonth) << t;
  ASSERT_EQ(walked.lunar.LeapMonth, single.lunar.LeapMonth) << t;
  ASSERT_EQ(walked.lunar.LeapYear, single.lunar.LeapYear) << t;
  ASSERT_EQ(walked.lunar.YearCount, single.lunar.YearCount) << t;
  ASSERT_EQ(walked.lunar.YearInCycle, single.lunar.YearInCycle) << t;
}

// The walk keeps a year and a lunation between days; every day of a span
// must still read as it does alone: across new moons, leap months (2017:
// 6, 2020: 4, 2023: 2), solstices, New Year's Day and 1 July, at 22:30 and
// 23:30 (the Zi hour moves the date on) and at midnight.
TEST(LunarDayWalk, EveryDayAsAlone) {
  const TDateTime from = EncodeCivilDate(2016, 11, 1), to = EncodeCivilDate(2023, 12, 31);
  const struct {
    double timeOfDay;
    int correction;
  } cases[] = {{0.5, 3}, {22.5 / 24, 3}, {23.5 / 24, 3}, {0, 3}, {22.5 / 24, 0}, {0.5 / 24, 6}, {0.5, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.timeOfDay << " correction " << c.correction);
    const TimeSettings settings = TimeSettings::FromIndexes(c.correction, TimeSettings::DefaultZoneIndex);
    LunarDayWalk walk(settings);
    for (TDateTime day = from; day <= to; day += 1) {
      const TDateTime t = day + c.timeOfDay;
      ExpectSameDay(walk.At(t), LunarDayOf(t, settings), t);
    }
  }
}

// Out of order (backwards, jumps of years and of single days around a
// lunation's ends), and at the ends of the range the command accepts.
TEST(LunarDayWalk, AnyOrderAndTheRangeEnds) {
  const TimeSettings settings = TimeSettings::FromIndexes(3, TimeSettings::DefaultZoneIndex);
  LunarDayWalk walk(settings);
  std::vector<TDateTime> moments;
  for (TDateTime day = EncodeCivilDate(2020, 6, 30); day >= EncodeCivilDate(2020, 3, 1); day -= 1)
    moments.push_back(day + 0.5);
  for (int year : {1901, 2100, 1901, 1582, 1583, 2, 5000})
    for (int d = 0; d < 40; d += 3) moments.push_back(EncodeCivilDate(year, 1, 1) + d * 11 + 23.5 / 24);
  for (TDateTime day = EncodeCivilDate(1, 12, 31); day < EncodeCivilDate(2, 2, 1); day += 1)
    moments.push_back(day);
  for (TDateTime day = EncodeCivilDate(9999, 11, 1); day <= EncodeCivilDate(9999, 12, 16); day += 1)
    moments.push_back(day + 0.5);
  for (TDateTime t : moments) ExpectSameDay(walk.At(t), LunarDayOf(t, settings), t);
}

}  // namespace
}  // namespace calendar
