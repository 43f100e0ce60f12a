// The changes of the casting date near a moment.
//
// The instants below are worked out by hand from the kernel's new moons and
// major terms (kalynth-calc newmoons 2023 2024, kalynth-calc terms 2023, on
// the uniform scale, China time 8 h ahead) and from the rule that the date
// changes at 23:00 of corrected time:
//   2023-03-20 21:25:37  major term 0°, China 21 March: in month 2 (from 20 February)
//   2023-03-21 17:24:15  new moon, China 22 March 01:24: a month with no major term
//                        (the next, 30° on 2023-04-20 08:14:48, is China 20 April 16:14,
//                        after the new moon of 2023-04-20 04:13:38, China 12:13): leap month 2
//   2023-05-19 15:54:21  new moon, China 19 May 23:54: month 4 begins on 19 May, not 20 May
//   2024-02-09 23:00:15  new moon, China 10 February 07:00: lunar year 4661 (branch 5) begins
//   1850-05-11 23:09:02  new moon, China (Beijing mean time, 7 h 45 min 40 s ahead)
//                        12 May 06:54: month 4 of 4487 begins (kalynth-calc newmoons 1850)
//   2024-03-10 09:01:32  new moon, China 10 March 17:01: month 2 begins (month 1 had 29 days)
// Each month begins at 23:00 corrected time of the day before its first day.
#include "calendar/boundaries.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "calendar/civil.h"
#include "moments.h"

namespace calendar {
namespace {

using moments::Moment;

// The four list values and the leap month.
struct Lists {
  int year = 0, month = 0;
  bool leap = false;
  int day = 0, hour = 0;
};

Lists ListsOf(const LunarDay& d) {
  return {d.yearNumber, d.lunar.Month, d.lunar.LeapMonth, d.lunar.DayOfMonth, d.doubleHour};
}

void ExpectLists(const LunarDay& d, const Lists& want, const char* side) {
  const Lists got = ListsOf(d);
  EXPECT_EQ(got.year, want.year) << side;
  EXPECT_EQ(got.month, want.month) << side;
  EXPECT_EQ(got.leap, want.leap) << side;
  EXPECT_EQ(got.day, want.day) << side;
  EXPECT_EQ(got.hour, want.hour) << side;
}

TimeSettings Correction(int hours, std::optional<int> zone = 3) {
  TimeSettings s;
  s.correctionHours = hours;
  s.zoneHours = zone;
  return s;
}

constexpr Lists OldYearHai{4, 12, false, 30, 11}, NewYearZi{5, 1, false, 1, 0};

struct Expected {
  BoundaryKind kind;
  TDateTime instant;  // on the user's clock
  double minutes;
  Lists thisSide, otherSide;
};

struct Case {
  const char* what;
  TDateTime t;
  TimeSettings settings;
  int window;
  std::vector<Expected> boundaries;  // nearest first
};

TEST(DateBoundaries, KindsInstantsAndBothSides) {
  const TDateTime newYear = Moment(2024, 2, 9, 23);
  const Case cases[] = {
      // The lunar year 4661.
      {"3 min before the year",
       Moment(2024, 2, 9, 22, 57),
       Correction(0),
       5,
       {{BoundaryKind::YearStart, newYear, 3, OldYearHai, NewYearZi}}},
      {"1 s before the year",
       Moment(2024, 2, 9, 22, 59, 59),
       Correction(0),
       5,
       {{BoundaryKind::YearStart, newYear, 1.0 / 60, OldYearHai, NewYearZi}}},
      {"at the year: the later side, passed",
       newYear,
       Correction(0),
       5,
       {{BoundaryKind::YearStart, newYear, 0, NewYearZi, OldYearHai}}},
      {"4.5 min into the year",
       Moment(2024, 2, 9, 23, 4, 30),
       Correction(0),
       5,
       {{BoundaryKind::YearStart, newYear, -4.5, NewYearZi, OldYearHai}}},
      {"the window's ends count",
       Moment(2024, 2, 9, 22, 55),
       Correction(0),
       5,
       {{BoundaryKind::YearStart, newYear, 5, OldYearHai, NewYearZi}}},
      {"1 ms outside the window", Moment(2024, 2, 9, 22, 55) - 0.001 * moments::Second, Correction(0), 5, {}},
      {"1 s outside after", Moment(2024, 2, 9, 23, 5, 1), Correction(0), 5, {}},
      {"a window of 0 minutes: never", newYear, Correction(0), 0, {}},
      // Month starts, the leap month and a new moon just before China midnight.
      {"month 2 of 4661",
       Moment(2024, 3, 9, 22, 58),
       Correction(0),
       5,
       {{BoundaryKind::MonthStart, Moment(2024, 3, 9, 23), 2, {5, 1, false, 29, 11}, {5, 2, false, 1, 0}}}},
      {"leap month 2 of 4660",
       Moment(2023, 3, 21, 23, 1),
       Correction(0),
       5,
       {{BoundaryKind::MonthStart, Moment(2023, 3, 21, 23), -1, {4, 2, true, 1, 0}, {4, 2, false, 30, 11}}}},
      {"new moon at 23:54 China time",
       Moment(2023, 5, 18, 22, 56),
       Correction(0),
       5,
       {{BoundaryKind::MonthStart, Moment(2023, 5, 18, 23), 4, {4, 3, false, 29, 11}, {4, 4, false, 1, 0}}}},
      {"no month start the day after",
       Moment(2023, 5, 19, 22, 58),
       Correction(0),
       5,
       {{BoundaryKind::DayChange, Moment(2023, 5, 19, 23), 2, {4, 4, false, 1, 11}, {4, 4, false, 2, 0}}}},
      {"before 1899-12-30: negative day values",
       Moment(1850, 5, 11, 22, 57),
       Correction(0),
       5,
       {{BoundaryKind::MonthStart,
         Moment(1850, 5, 11, 23),
         3,
         {11, 3, false, 30, 11},
         {11, 4, false, 1, 0}}}},
      {"negative day values, Chou",
       Moment(1850, 5, 12, 1, 4),
       Correction(0),
       5,
       {{BoundaryKind::DoubleHour, Moment(1850, 5, 12, 1), -4, {11, 4, false, 1, 1}, {11, 4, false, 1, 0}}}},
      // Days and double hours.
      {"an ordinary 23:00",
       Moment(2024, 2, 12, 22, 58),
       Correction(0),
       5,
       {{BoundaryKind::DayChange, Moment(2024, 2, 12, 23), 2, {5, 1, false, 3, 11}, {5, 1, false, 4, 0}}}},
      {"Wei to Shen",
       Moment(2024, 2, 10, 14, 58),
       Correction(0),
       5,
       {{BoundaryKind::DoubleHour, Moment(2024, 2, 10, 15), 2, {5, 1, false, 1, 7}, {5, 1, false, 1, 8}}}},
      {"01:00 changes the hour only",
       Moment(2024, 2, 10, 1, 2),
       Correction(0),
       5,
       {{BoundaryKind::DoubleHour, Moment(2024, 2, 10, 1), -2, {5, 1, false, 1, 1}, NewYearZi}}},
      {"midnight is no boundary", Moment(2024, 2, 10, 0, 2), Correction(0), 5, {}},
      {"far from any", Moment(2024, 2, 10, 12), Correction(0), 5, {}},
      {"a wide window: equal distances, the earlier first",
       Moment(2024, 2, 10),
       Correction(0),
       60,
       {{BoundaryKind::YearStart, newYear, -60, NewYearZi, OldYearHai},
        {BoundaryKind::DoubleHour, Moment(2024, 2, 10, 1), 60, NewYearZi, {5, 1, false, 1, 1}}}},
      // The correction moves every boundary on the clock; the zone moves none.
      {"+1: the year at 00:00 on the clock",
       Moment(2024, 2, 9, 23, 58),
       Correction(1),
       5,
       {{BoundaryKind::YearStart, Moment(2024, 2, 10), 2, OldYearHai, NewYearZi}}},
      {"+1: 22:58 is far from it", Moment(2024, 2, 9, 22, 58), Correction(1), 5, {}},
      {"+3: the year at 02:00 on the clock",
       Moment(2024, 2, 10, 1, 59),
       Correction(3),
       5,
       {{BoundaryKind::YearStart, Moment(2024, 2, 10, 2), 1, OldYearHai, NewYearZi}}},
      {"-3: the year at 20:00 on the clock",
       Moment(2024, 2, 9, 20, 3),
       Correction(-3),
       5,
       {{BoundaryKind::YearStart, Moment(2024, 2, 9, 20), -3, NewYearZi, OldYearHai}}},
      {"-1: Shen at 14:00 on the clock",
       Moment(2024, 2, 10, 13, 57),
       Correction(-1),
       5,
       {{BoundaryKind::DoubleHour, Moment(2024, 2, 10, 14), 3, {5, 1, false, 1, 7}, {5, 1, false, 1, 8}}}},
      {"no zone",
       Moment(2024, 2, 9, 22, 57),
       Correction(0, std::nullopt),
       5,
       {{BoundaryKind::YearStart, newYear, 3, OldYearHai, NewYearZi}}},
      {"GMT +13",
       Moment(2024, 2, 9, 22, 57),
       Correction(0, 13),
       5,
       {{BoundaryKind::YearStart, newYear, 3, OldYearHai, NewYearZi}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<DateBoundary> got = DateBoundariesNear(c.t, c.settings, c.window);
    ASSERT_EQ(got.size(), c.boundaries.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      const Expected& want = c.boundaries[i];
      EXPECT_EQ(got[i].kind, want.kind);
      EXPECT_NEAR(got[i].instant, want.instant, 0.001 * moments::Second);
      EXPECT_NEAR(got[i].minutes, want.minutes, 1e-6);
      ExpectLists(got[i].thisSide, want.thisSide, "this side");
      ExpectLists(got[i].otherSide, want.otherSide, "other side");
      // The sides are the dates the lists show either side of the instant.
      const TDateTime before = got[i].instant - moments::Second, after = got[i].instant;
      const bool ahead = got[i].minutes > 0;
      ExpectLists(LunarDayOf(ahead ? after : before, c.settings), want.otherSide, "lists across");
      ExpectLists(LunarDayOf(ahead ? before : after, c.settings), want.thisSide, "lists here");
    }
  }
}

TEST(DateBoundaries, OneSentenceEach) {
  struct TextCase {
    TDateTime t;
    TimeSettings settings;
    const char* text;
  };
  const TextCase cases[] = {
      {Moment(2024, 2, 10, 14, 58), Correction(0), "До смены двойного часа 2 мин: после 15:00 — час Шэнь"},
      {Moment(2024, 2, 10, 1, 2), Correction(0),
       "После смены двойного часа прошло 2 мин: до 01:00 — час Цзы"},
      {Moment(2024, 2, 12, 22, 58), Correction(0),
       "До смены лунного дня 2 мин: после 23:00 — день 4, час Цзы"},
      {Moment(2023, 3, 21, 22, 57), Correction(0),
       "До начала лунного месяца 3 мин: после 23:00 — месяц 2 (вставной), день 1, час Цзы"},
      {Moment(2023, 3, 21, 23, 1), Correction(0),
       "После начала лунного месяца прошло 1 мин: до 23:00 — месяц 2, день 30, час Хай"},
      {Moment(2024, 2, 9, 22, 59, 45), Correction(0),
       "До начала лунного года меньше минуты: после 23:00 — год 5, месяц 1, день 1, час Цзы"},
      {Moment(2024, 2, 9, 23), Correction(0),
       "После начала лунного года прошло меньше минуты: до 23:00 — год 4, месяц 12, день 30, час Хай"},
      {Moment(2024, 2, 9, 23, 56), Correction(1),
       "До начала лунного года 4 мин: после 00:00 — год 5, месяц 1, день 1, час Цзы"},
  };
  for (const TextCase& c : cases) {
    const std::vector<DateBoundary> b = DateBoundariesNear(c.t, c.settings, 5);
    ASSERT_EQ(b.size(), 1u) << c.text;
    EXPECT_EQ(BoundaryText(b[0]), c.text);
  }
}

}  // namespace
}  // namespace calendar
