// Stems and branches of year, month, day and double hour.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <climits>

#include "calendar/StvolyVetvi.h"
#include "calendar/season.h"
#include "moments.h"

namespace calendar {
namespace {

using moments::Minute;
using moments::Moment;

constexpr int Gmt = 12;       // TimeZoneIndex of "GMT "
constexpr int GmtPlus3 = 15;  // the default zone
constexpr int NoCorrection = 3;

// The cases below are written in the stored list indexes (zone, correction),
// as the settings file holds them; these read them as TimeSettings does.
TimeSettings Of(int zone, int correction) {
  return TimeSettings::FromIndexes(correction, zone);
}
TDateTime ToUniversalTime(TDateTime t, int zone) {
  return calendar::ToUniversalTime(t, Of(zone, NoCorrection));
}
Pillars ComputePillars(TDateTime x, int zone, int correction) {
  return calendar::ComputePillars(x, Of(zone, correction));
}
int YearStem(TDateTime x, int zone, int correction) {
  return calendar::YearStem(x, Of(zone, correction));
}
int YearBranch(TDateTime x, int zone, int correction) {
  return calendar::YearBranch(x, Of(zone, correction));
}
int MonthStem(int branch, TDateTime x, int zone, int correction) {
  return calendar::MonthStem(branch, x, Of(zone, correction));
}
int DayStem(TDateTime x, int correction) {
  return calendar::DayStem(x, Of(GmtPlus3, correction));
}
int DayBranch(TDateTime x, int correction) {
  return calendar::DayBranch(x, Of(GmtPlus3, correction));
}
int HourStem(TDateTime x, int correction) {
  return calendar::HourStem(x, Of(GmtPlus3, correction));
}
int HourBranch(TDateTime x, int correction) {
  return calendar::HourBranch(x, Of(GmtPlus3, correction));
}

TEST(ToUniversalTime, TakesTheZoneOff) {
  const TDateTime t = Moment(2024, 2, 10, 12);
  EXPECT_NEAR(ToUniversalTime(t, 0), t + 0.5, 1e-12);
  EXPECT_EQ(ToUniversalTime(t, Gmt), t);
  EXPECT_NEAR(ToUniversalTime(t, GmtPlus3), t - 0.125, 1e-12);
  EXPECT_NEAR(ToUniversalTime(t, 25), t - 13.0 / 24, 1e-12);
  // Any other stored index, the extremes of int included, leaves the moment
  // as it is (no arithmetic on the index: the sanitizer build checks that).
  for (int zone : {-1, 26, INT_MIN, INT_MAX}) EXPECT_EQ(ToUniversalTime(t, zone), t) << zone;
}

// Out-of-range indexes give the pillars of the unchanged moment: those of
// zone "GMT " and correction "0".
TEST(ComputePillars, IndexesOutOfRangeChangeNothing) {
  const TDateTime t = Moment(2024, 2, 10, 12);
  const Pillars neutral = ComputePillars(t, Gmt, NoCorrection);
  for (int index : {-1, 26, INT_MIN, INT_MAX}) {
    const Pillars p = ComputePillars(t, index, index);
    EXPECT_EQ(p.yearStem, neutral.yearStem) << index;
    EXPECT_EQ(p.yearBranch, neutral.yearBranch) << index;
    EXPECT_EQ(p.monthStem, neutral.monthStem) << index;
    EXPECT_EQ(p.dayStem, neutral.dayStem) << index;
    EXPECT_EQ(p.hourBranch, neutral.hourBranch) << index;
    EXPECT_EQ(p.term, neutral.term) << index;
  }
}

struct DayCase {
  const char* what;
  TDateTime t;
  int stem, branch;
};

TEST(DayPillar, ChangesAt23HoursFromTheEpochDay) {
  // 2002-10-23 is Jia-Zi (stem 1, branch 1); 2000-01-01 is Wu-Wu.
  const DayCase cases[] = {
      {"2002-10-23 12:00", Moment(2002, 10, 23, 12), 1, 1},
      {"2002-10-22 23:01", Moment(2002, 10, 22, 23, 1), 1, 1},
      {"2002-10-22 22:59", Moment(2002, 10, 22, 22, 59), 10, 12},
      {"2002-10-22 11:00, shifted value on the epoch", Moment(2002, 10, 22, 11), 10, 12},
      {"2002-10-23 22:59", Moment(2002, 10, 23, 22, 59), 1, 1},
      {"2002-10-23 23:01", Moment(2002, 10, 23, 23, 1), 2, 2},
      {"2000-01-01 12:00", Moment(2000, 1, 1, 12), 5, 7},
      {"sixty days before the epoch", Moment(2002, 8, 24, 12), 1, 1},
      {"1900-01-01: Jia-Xu", Moment(1900, 1, 1, 12), 1, 11},
      {"1899-12-29, before day value 0", Moment(1899, 12, 29, 12), 8, 8},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    for (int zone : {0, Gmt, GmtPlus3, 25}) {
      EXPECT_EQ(DayStem(c.t, NoCorrection), c.stem);
      EXPECT_EQ(DayBranch(c.t, NoCorrection), c.branch);
      Pillars p = ComputePillars(c.t, zone, NoCorrection);
      EXPECT_EQ(p.dayStem, c.stem) << zone;
      EXPECT_EQ(p.dayBranch, c.branch) << zone;
    }
  }
}

// Every whole hour of two years and a half, for every time correction, as
// the time picker gives it: day value = whole days since 1899-12-30 plus
// milliseconds of the day / 86400000. Expected signs by plain counting with
// std::chrono, independent of the calendar's own day arithmetic: the
// sexagenary day runs on without a break; 1949-10-01 and 2002-10-23 are both
// Jia-Zi (19380 days apart, a multiple of 60). From 23:00 of the corrected
// clock the day is the next one, together with the double hour Zi; the hour
// stem follows the five rats rule (a Jia or Ji day begins with Jia-Zi).
TEST(DayPillar, EveryWholeHourOfASpanOfDaysWithEveryCorrection) {
  using namespace std::chrono;
  constexpr sys_days pickerEpoch = year{1899} / December / 30;
  constexpr sys_days jiaZi = year{1949} / October / 1;
  int checked = 0;
  for (sys_days d = year{2000} / December / 25; d <= sys_days(year{2003} / June / 30); d += days{1}) {
    for (int h = 0; h < 24; ++h) {
      const double t = double((d - pickerEpoch).count()) + h * 3600000 / 86400000.0;
      for (int correction = 0; correction <= 6; ++correction) {
        // The corrected clock moment, and the day it counts as.
        const sys_time<hours> corrected = d + hours{h} - hours{correction - 3};
        const sys_days counted = floor<days>(corrected + hours{1});
        const long long n = (counted - jiaZi).count();
        const int dayStem = int(((n % 10) + 10) % 10) + 1;
        const int dayBranch = int(((n % 12) + 12) % 12) + 1;
        const int hour = int((corrected - floor<days>(corrected)).count());
        const int hourBranch = (hour + 1) % 24 / 2 + 1;
        const int hourStem = (2 * ((dayStem - 1) % 5) + hourBranch - 1) % 10 + 1;
        const int got[4] = {DayStem(t, correction), DayBranch(t, correction), HourStem(t, correction),
                            HourBranch(t, correction)};
        const int want[4] = {dayStem, dayBranch, hourStem, hourBranch};
        const year_month_day ymd(d);
        ASSERT_TRUE(std::equal(got, got + 4, want))
            << int(ymd.year()) << "-" << unsigned(ymd.month()) << "-" << unsigned(ymd.day()) << " " << h
            << ":00, correction index " << correction << ": day " << got[0] << "/" << got[1] << " hour "
            << got[2] << "/" << got[3] << ", want day " << dayStem << "/" << dayBranch << " hour " << hourStem
            << "/" << hourBranch;
        ++checked;
      }
    }
  }
  EXPECT_EQ(checked, (365 + 365 + 181 + 7) * 24 * 7);
}

TEST(DayPillar, At23HoursTheDayAndTheHourAreTheNextDaysZi) {
  // 10 November 2001 is Ding-Chou (4/2): 347 days before the Jia-Zi day
  // 2002-10-23, and -346 leaves 4 of 10 and 2 of 12. At 23:00 the day is
  // already Wu-Yin (5/3) and the hour Zi of a Wu day is Ren-Zi (9/1), in
  // any time zone (here GMT +8) and without correction.
  const Pillars p = ComputePillars(Moment(2001, 11, 10, 23), 20, NoCorrection);
  EXPECT_EQ((std::array{p.dayStem, p.dayBranch, p.hourStem, p.hourBranch}), (std::array{5, 3, 9, 1}));
  // One millisecond earlier it is still Ding-Chou, in the Hai hour of a Ding
  // day, Xin-Hai (8/12).
  const Pillars q = ComputePillars(Moment(2001, 11, 10, 23) - 1.0 / 86400000, 20, NoCorrection);
  EXPECT_EQ((std::array{q.dayStem, q.dayBranch, q.hourStem, q.hourBranch}), (std::array{4, 2, 8, 12}));
}

struct YearCase {
  const char* what;
  TDateTime universal;
  int stem, branch;
};

TEST(YearPillar, ChangesAtTheStartOfSpring) {
  const TDateTime springStart = SolarTermInstant(2024, 21);  // 4 February 2024
  const YearCase cases[] = {
      {"3 February 2024: still Gui-Mao", Moment(2024, 2, 3, 12), 10, 4},
      {"just before the start of spring", springStart - Minute, 10, 4},
      {"at the start of spring", springStart, 1, 5},
      {"after the start of spring: Jia-Chen", Moment(2024, 2, 5), 1, 5},
      {"March needs no solar term", Moment(2024, 3, 1), 1, 5},
      {"December", Moment(2024, 12, 31, 23), 1, 5},
      {"1984: Jia-Zi", Moment(1984, 6, 1), 1, 1},
      {"1983: Gui-Hai", Moment(1983, 6, 1), 10, 12},
      {"1900: Geng-Zi", Moment(1900, 6, 1), 7, 1},
      {"January 2000: still Ji-Mao", Moment(2000, 1, 1, 12), 6, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(YearStem(c.universal, Gmt, NoCorrection), c.stem);
    EXPECT_EQ(YearBranch(c.universal, Gmt, NoCorrection), c.branch);
  }
}

TEST(YearPillar, TheZoneAndTheCorrectionMoveIt) {
  // Spring began on 4 February 2024 08:27 UT. At 12:00 clock time the year
  // has turned in GMT +3 (09:00 UT) and in GMT -12 (5 February 00:00 UT),
  // not in GMT +13 (3 February 23:00 UT).
  const TDateTime clock = Moment(2024, 2, 4, 12);
  EXPECT_EQ(YearBranch(clock, GmtPlus3, NoCorrection), 5);
  EXPECT_EQ(YearBranch(clock, 0, NoCorrection), 5);
  EXPECT_EQ(YearBranch(clock, 25, NoCorrection), 4);
  // The clock 3 hours fast ("+3") moves the moment back before the start of spring.
  EXPECT_EQ(YearBranch(Moment(2024, 2, 4, 8, 40), Gmt, NoCorrection), 5);
  EXPECT_EQ(YearBranch(Moment(2024, 2, 4, 8, 40), Gmt, 6), 4);
}

TEST(MonthStem, FiveTigersRule) {
  const TDateTime jiaYear = Moment(2024, 6, 1);   // year stem 1
  const TDateTime guiYear = Moment(2023, 6, 1);   // year stem 10
  const TDateTime bingYear = Moment(2026, 6, 1);  // year stem 3
  ASSERT_EQ(YearStem(jiaYear, Gmt, NoCorrection), 1);
  ASSERT_EQ(YearStem(guiYear, Gmt, NoCorrection), 10);
  ASSERT_EQ(YearStem(bingYear, Gmt, NoCorrection), 3);
  struct Case {
    TDateTime x;
    int branch, stem;
  } cases[] = {
      {jiaYear, 3, 3},   {jiaYear, 12, 2}, {jiaYear, 1, 3},   {jiaYear, 2, 4},
      {jiaYear, 4, 4},   {guiYear, 1, 1},  {guiYear, 2, 2},   {guiYear, 3, 1},
      {guiYear, 12, 10}, {bingYear, 3, 7}, {bingYear, 11, 5}, {bingYear, 1, 7},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MonthStem(c.branch, c.x, Gmt, NoCorrection), c.stem) << c.x << " branch " << c.branch;
}

TEST(HourPillar, ZiBeginsAt23WithTheNextDaysStem) {
  // 2002-10-23 has day stem 1.
  const struct {
    TDateTime t;
    int branch, stem;
  } cases[] = {
      {Moment(2002, 10, 22, 23, 30), 1, 1},  {Moment(2002, 10, 23, 0, 30), 1, 1},
      {Moment(2002, 10, 23, 1, 30), 2, 2},   {Moment(2002, 10, 23, 3, 30), 3, 3},
      {Moment(2002, 10, 23, 12, 0), 7, 7},   {Moment(2002, 10, 23, 22, 59), 12, 2},
      {Moment(2002, 10, 22, 22, 0), 12, 10},  // Hai of a Gui day
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t);
    EXPECT_EQ(HourBranch(c.t, NoCorrection), c.branch);
    EXPECT_EQ(HourStem(c.t, NoCorrection), c.stem);
  }
  for (int h = 0; h < 24; ++h) {
    const int expected = (h == 23 || h == 0) ? 1 : (h + 1) / 2 + 1;
    EXPECT_EQ(HourBranch(Moment(2002, 10, 23, h, 15), NoCorrection), expected) << h;
  }
}

TEST(ComputePillars, TheCalendarWindowForOneMoment) {
  // 1 January 2000 12:00 in GMT +3: Ji-Mao year, Bing-Zi month, Wu-Wu day,
  // Wu-Wu hour; midwinter after the solstice.
  const Pillars p = ComputePillars(Moment(2000, 1, 1, 12), GmtPlus3, NoCorrection);
  EXPECT_EQ((std::array{p.yearStem, p.yearBranch, p.monthStem, p.monthBranch, p.dayStem, p.dayBranch,
                        p.hourStem, p.hourBranch}),
            (std::array{6, 4, 3, 1, 5, 7, 5, 7}));
  EXPECT_EQ(p.season, "Середина зимы");
  EXPECT_EQ(p.term, "Зимнее солнцестояние");
}

TEST(ComputePillars, ZoneMovesYearAndMonthCorrectionMovesAll) {
  // 2024-03-05 around the Awakening of Insects (term 23, a month boundary):
  // pick a local moment one hour after the term in GMT +3.
  const TDateTime term = SolarTermInstant(2024, 23);
  const TDateTime clock = term + 3.0 / 24 + 1.0 / 24;  // universal = term + 1 h
  const Pillars here = ComputePillars(clock, GmtPlus3, NoCorrection);
  const Pillars east = ComputePillars(clock, 25, NoCorrection);  // universal = term - 9 h
  EXPECT_EQ(here.monthBranch, 4);
  EXPECT_EQ(east.monthBranch, 3);
  EXPECT_NE(here.monthStem, east.monthStem);
  EXPECT_EQ(here.dayStem, east.dayStem);
  EXPECT_EQ(here.dayBranch, east.dayBranch);
  EXPECT_EQ(here.hourStem, east.hourStem);
  EXPECT_EQ(here.hourBranch, east.hourBranch);

  // Three hours of correction move the hour and, across 23:00, the day.
  const TDateTime evening = Moment(2002, 10, 22, 21, 30);
  const Pillars plain = ComputePillars(evening, GmtPlus3, NoCorrection);
  const Pillars minus3 = ComputePillars(evening, GmtPlus3, 0);  // corrected to 00:30
  EXPECT_EQ(plain.hourBranch, 12);
  EXPECT_EQ(minus3.hourBranch, 1);
  EXPECT_EQ(plain.dayStem, 10);
  EXPECT_EQ(minus3.dayStem, 1);
}

TEST(ComputePillars, AMomentOnATermInstantHasNoSeason) {
  // Universal moment exactly on the term: no interval matches.
  const TDateTime term = SolarTermInstant(2024, 9);
  const Pillars p = ComputePillars(term, Gmt, NoCorrection);
  EXPECT_EQ(p.monthBranch, 0);
  EXPECT_EQ(p.monthStem, 0);
  EXPECT_TRUE(p.season.empty());
  EXPECT_TRUE(p.term.empty());
  EXPECT_NE(p.yearStem, 0);
  EXPECT_NE(p.dayStem, 0);
}

}  // namespace
}  // namespace calendar
