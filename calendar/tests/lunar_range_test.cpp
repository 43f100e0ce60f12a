// The listing's lunar date (LunarDayOf) against the main window's
// (ComputeLunarSelection): the same answer for every day of a span that
// holds leap months, at times of day on both sides of the Zi hour and at
// every time correction; with the memo off as well, so the listing does not
// depend on what earlier days left behind.
#include "calendar/lunar_range.h"

#include <gtest/gtest.h>

#include "calendar/civil.h"
#include "calendar/memo.h"
#include "calendar/my_MOON.h"

namespace calendar {
namespace {

void ExpectSameAsSelection(TDateTime from, TDateTime to, double timeOfDay, int correction) {
  for (TDateTime day = from; day <= to; day += 1) {
    const TDateTime t = day + timeOfDay;
    const LunarDay d = LunarDayOf(t, correction);
    const LunarSelection s = ComputeLunarSelection(t, correction);
    ASSERT_EQ(d.doubleHour, s.doubleHour) << t;
    ASSERT_EQ(d.yearNumber, s.yearNumber) << t;
    ASSERT_EQ(d.lunar.Month, s.month) << t;
    ASSERT_EQ(d.lunar.DayOfMonth, s.day) << t;
    ASSERT_EQ(d.lunar.LeapMonth, s.leapMonth) << t;
    ASSERT_EQ(d.lunar.LeapYear, s.lunar.LeapYear) << t;
    ASSERT_EQ(d.lunar.YearCount, s.lunar.YearCount) << t;
    ASSERT_EQ(d.lunar.YearInCycle, s.lunar.YearInCycle) << t;
  }
}

TEST(LunarDayOf, SameAsTheWindowsSelection) {
  // 2017 and 2020 have leap months (6 and 4); 23:30 belongs to the next day.
  const TDateTime from = EncodeCivilDate(2016, 12, 1), to = EncodeCivilDate(2020, 12, 31);
  const struct {
    double timeOfDay;
    int correction;
  } cases[] = {{0.5, 3}, {23.5 / 24, 3}, {0.5 / 24, 0}, {22.5 / 24, 6}, {0.5, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.timeOfDay << " correction " << c.correction);
    ExpectSameAsSelection(from, to, c.timeOfDay, c.correction);
  }
}

TEST(LunarDayOf, SameWithoutTheMemo) {
  SetCalendarMemo(false);
  ExpectSameAsSelection(EncodeCivilDate(2023, 1, 1), EncodeCivilDate(2023, 3, 31), 0.5, 3);
  SetCalendarMemo(true);
}

}  // namespace
}  // namespace calendar
