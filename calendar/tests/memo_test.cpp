// The memo of the calendar's searches changes no result, and the solar-term
// instants of the kernel's fast Sun agree with its plain reference walk.
#include "calendar/memo.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "astro/vsop.h"
#include "calendar/StvolyVetvi.h"
#include "calendar/lunar_date.h"
#include "calendar/season.h"
#include "calendar/season_search.h"
#include "moments.h"

namespace calendar {
namespace {

using moments::Moment;

class MemoSwitch : public ::testing::Test {
 protected:
  void TearDown() override { SetCalendarMemo(true); }
};

struct DayResult {
  TLunarDate lunar;
  Pillars pillars;
  bool operator==(const DayResult& o) const {
    const TLunarDate &a = lunar, &b = o.lunar;
    const Pillars &p = pillars, &q = o.pillars;
    return a.YearCount == b.YearCount && a.YearInCycle == b.YearInCycle && a.Month == b.Month &&
           a.LeapMonth == b.LeapMonth && a.LeapYear == b.LeapYear && a.DayOfMonth == b.DayOfMonth &&
           p.yearStem == q.yearStem && p.yearBranch == q.yearBranch && p.monthStem == q.monthStem &&
           p.monthBranch == q.monthBranch && p.dayStem == q.dayStem && p.dayBranch == q.dayBranch &&
           p.hourStem == q.hourStem && p.hourBranch == q.hourBranch && p.season == q.season &&
           p.term == q.term;
  }
};

// Steps of 1 day 3 h 26 min through 2019..2023 (leap months in 2020 and
// 2023): six dates of every seven, at times that walk round the clock; the
// calendar window's pillars every 5th step, with every zone and correction.
std::vector<DayResult> Span() {
  std::vector<DayResult> out;
  int i = 0;
  for (TDateTime t = Moment(2019, 1, 1, 0, 17); t < Moment(2024, 1, 1); t += 1 + 1.0 / 7, ++i)
    out.push_back({LunarDateOf(t), i % 5 == 0
                                       ? ComputePillars(t, TimeSettings::FromIndexes(i % 7, (i * 7) % 26))
                                       : Pillars{}});
  return out;
}

TEST_F(MemoSwitch, LunarDatesAndPillarsAreTheSameWithoutTheMemo) {
  SetCalendarMemo(true);
  ClearCalendarMemo();
  const std::vector<DayResult> memoised = Span();
  const std::vector<DayResult> again = Span();  // answered from the memo
  SetCalendarMemo(false);
  const std::vector<DayResult> plain = Span();
  ASSERT_EQ(memoised.size(), plain.size());
  for (std::size_t i = 0; i < plain.size(); ++i) {
    EXPECT_TRUE(memoised[i] == plain[i]) << "sample " << i;
    EXPECT_TRUE(again[i] == plain[i]) << "sample " << i;
  }
}

TEST_F(MemoSwitch, SearchesAreBitForBitTheSame) {
  const TDateTime days[] = {Moment(1950, 3, 1), Moment(2023, 3, 22), Moment(2033, 8, 23),
                            Moment(2100, 12, 31)};
  for (const TDateTime d : days) {
    SetCalendarMemo(false);
    const TDateTime plain[] = {NewMoonOnOrBefore(d), NewMoonOnOrAfter(d), MajorTermDayOnOrAfter(d),
                               MajorTermDayBefore(d), SolarTermInstant(2023, 7)};
    SetCalendarMemo(true);
    for (int pass = 0; pass < 2; ++pass) {
      const TDateTime memo[] = {NewMoonOnOrBefore(d), NewMoonOnOrAfter(d), MajorTermDayOnOrAfter(d),
                                MajorTermDayBefore(d), SolarTermInstant(2023, 7)};
      for (int i = 0; i < 5; ++i) EXPECT_EQ(memo[i], plain[i]) << d << " search " << i;
    }
  }
}

TEST_F(MemoSwitch, NewMoonSearchesMatchTheKernelsOwn) {
  // With the memo the new-moon searches run the kernel's probe loop over
  // memoised phase instants; they must agree with astro::LastPhase and
  // NextPhase (used directly without the memo) at every moment, also at
  // moments that are not whole days and across the 2^16 day-value boundary.
  std::vector<TDateTime> days;
  for (TDateTime d = Moment(2078, 1, 1); d < Moment(2081, 1, 1); d += 0.37) days.push_back(d);
  for (TDateTime d = Moment(1928, 11, 1); d < Moment(1929, 3, 1); d += 1) days.push_back(d);
  SetCalendarMemo(false);
  std::vector<TDateTime> plain;
  for (const TDateTime d : days) plain.insert(plain.end(), {NewMoonOnOrBefore(d), NewMoonOnOrAfter(d)});
  SetCalendarMemo(true);
  ClearCalendarMemo();
  for (std::size_t i = 0; i < days.size(); ++i) {
    EXPECT_EQ(NewMoonOnOrBefore(days[i]), plain[2 * i]) << days[i];
    EXPECT_EQ(NewMoonOnOrAfter(days[i]), plain[2 * i + 1]) << days[i];
  }
}

TEST(Memo, TwoThreadsGetTheSameAnswers) {
  const TDateTime start = Moment(2030, 1, 1, 12);
  std::vector<TLunarDate> expected;
  for (int i = 0; i < 120; ++i) expected.push_back(LunarDateOf(start + 3 * i));
  auto work = [&](std::vector<int>& mismatches) {
    for (int i = 0; i < 120; ++i) {
      const TLunarDate r = LunarDateOf(start + 3 * i);
      if (r.Month != expected[i].Month || r.DayOfMonth != expected[i].DayOfMonth ||
          r.LeapMonth != expected[i].LeapMonth || r.YearCount != expected[i].YearCount)
        mismatches.push_back(i);
    }
  };
  std::vector<int> a, b;
  std::thread one(work, std::ref(a)), two(work, std::ref(b));
  one.join();
  two.join();
  EXPECT_TRUE(a.empty());
  EXPECT_TRUE(b.empty());
}

// The kernel's SunCoordinates is a fast evaluation of VSOP87D; its
// reference is the plain term-by-term walk. The term instants found with
// either must agree to 2e-9 day (0.17 ms) over 1900..2100; every term of
// every 5th year, and all terms of the years around the solstice searches.
TEST(SolarTermInstant, FastKernelAgreesWithThePlainReference) {
  const auto reference = [](TDateTime t) { return astro::SunCoordinatesReference(t).longitude; };
  double worst = 0;
  for (int year = 1900; year <= 2100; year += 5) {
    for (int k = 0; k < 24; ++k) {
      const TDateTime fast = SolarTermInstant(year, k);
      const TDateTime plain = detail::SearchSolarTerm(year, k, reference);
      EXPECT_NEAR(fast, plain, 2e-9) << year << " term " << k;
      worst = std::fmax(worst, std::fabs(fast - plain));
    }
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.3g", worst);
  RecordProperty("worst_difference_days", text);
}

}  // namespace
}  // namespace calendar
