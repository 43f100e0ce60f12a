// Solar terms, major terms and the season of a moment.
#include "calendar/season.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/vsop.h"
#include "calendar/civil.h"
#include "moments.h"

namespace calendar {
namespace {

using moments::Minute;
using moments::Moment;

// The term table: names as the calendar window shows them, the season-month
// each term opens and its month branch.
struct TermRowCase {
  int k;
  const char* term;
  const char* season;
  int branch;
};
const TermRowCase termRows[] = {
    {0, "Весеннее равноденствие", "Середина весны", 4},
    {1, "Чистота и ясность", "Конец весны", 5},
    {2, "Дожди для злаков", "Конец весны", 5},
    {3, "Становление лета", "Начало лета", 6},
    {4, "Малое насыщение", "Начало лета", 6},
    {5, "Колошение хлебов", "Середина лета", 7},
    {6, "Летнее солнцестояние", "Середина лета", 7},
    {7, "Малая жара", "Конец лета", 8},
    {8, "Большая жара", "Конец лета", 8},
    {9, "Становление осени", "Начало осени", 9},
    {10, "Прекращение жары", "Начало осени", 9},
    {11, "Белые росы", "Середина осени", 10},
    {12, "Осеннее равноденствие", "Середина осени", 10},
    {13, "Холодные росы", "Конец осени", 11},
    {14, "Выпадение инея", "Конец осени", 11},
    {15, "Становление зимы", "Начало зимы", 12},
    {16, "Малые снега", "Начало зимы", 12},
    {17, "Большие снега", "Середина зимы", 1},
    {18, "Зимнее солнцестояние", "Середина зимы", 1},
    {19, "Малые холода", "Конец зимы", 2},
    {20, "Большие холода", "Конец зимы", 2},
    {21, "Становление весны", "Начало весны", 3},
    {22, "Дождевая вода", "Начало весны", 3},
    {23, "Пробуждение насекомых", "Середина весны", 4},
};

TEST(TermTable, NamesSeasonsAndBranches) {
  for (const auto& row : termRows) {
    SCOPED_TRACE(row.k);
    EXPECT_EQ(TermName(row.k), row.term);
    EXPECT_EQ(SeasonName(row.k), row.season);
    EXPECT_EQ(SeasonBranch(row.k), row.branch);
  }
  EXPECT_THROW(TermName(24), std::out_of_range);
}

TEST(MajorTermIndex, IsTheMajorTermOfEachGregorianMonth) {
  const int expected[12] = {20, 22, 0, 2, 4, 6, 8, 10, 12, 14, 16, 18};
  for (int month = 1; month <= 12; ++month) EXPECT_EQ(MajorTermIndex(month), expected[month - 1]) << month;
}

// Published instants of equinoxes, solstices and the start of spring in
// universal time, to the minute (national almanacs). The program's single
// time scale has no delta-T (about 64-69 s in these years), so its instants
// lie about a minute later; tolerance 3 minutes.
struct PublishedTerm {
  int year, k;
  int month, day, hour, minute;  // UTC
};
const PublishedTerm publishedTerms[] = {
    {2000, 0, 3, 20, 7, 35},   {2000, 6, 6, 21, 1, 48}, {2000, 12, 9, 22, 17, 27}, {2000, 18, 12, 21, 13, 37},
    {2023, 18, 12, 22, 3, 27}, {2024, 0, 3, 20, 3, 6},  {2024, 18, 12, 21, 9, 20}, {2024, 21, 2, 4, 8, 27},
};

TEST(SolarTermInstant, AgreesWithPublishedInstants) {
  for (const auto& p : publishedTerms) {
    SCOPED_TRACE(::testing::Message() << p.year << " term " << p.k);
    const TDateTime published = Moment(p.year, p.month, p.day, p.hour, p.minute);
    EXPECT_NEAR(SolarTermInstant(p.year, p.k), published, 3 * Minute);
  }
}

TEST(SolarTermInstant, LiesAtItsLongitudeInsideItsCalendarYear) {
  for (int year : {1583, 1900, 1929, 2000, 2033, 2100, 2400}) {
    for (int k = 0; k < 24; ++k) {
      SCOPED_TRACE(::testing::Message() << year << " term " << k);
      const TDateTime t = SolarTermInstant(year, k);
      EXPECT_LE(std::fabs(astro::AngleDiffDeg(15.0L * k, astro::SunCoordinates(t).longitude)), 3e-10L);
      const CivilDateTime d = DecodeCivilDateTime(t);
      EXPECT_EQ(d.year, year);
      // Terms 19..23 fall from January to March, the others from March on.
      if (k >= 19)
        EXPECT_LE(d.month, 3);
      else
        EXPECT_GE(d.month, 3);
    }
    // The winter solstice falls on 21 or 22 December; term 19 about 5 January of the same year.
    const CivilDateTime solstice = DecodeCivilDateTime(SolarTermInstant(year, 18));
    EXPECT_EQ(solstice.month, 12);
    EXPECT_TRUE(solstice.day == 21 || solstice.day == 22) << solstice.day;
    const CivilDateTime lesserCold = DecodeCivilDateTime(SolarTermInstant(year, 19));
    EXPECT_EQ(lesserCold.month, 1);
    EXPECT_NEAR(lesserCold.day, 5, 1);
  }
}

TEST(MajorTerms, NextIsAtOrAfterLastIsStrictlyBefore) {
  const TDateTime solstice = SolarTermInstant(2023, 18);
  EXPECT_EQ(NextMajorTerm(solstice), solstice);
  EXPECT_EQ(LastMajorTerm(solstice), SolarTermInstant(2023, 16));
  EXPECT_EQ(NextMajorTerm(solstice + 1e-6), SolarTermInstant(2024, 20));
  EXPECT_EQ(LastMajorTerm(solstice + 1e-6), solstice);

  // Over two years: every moment lies between the last and the next major
  // term, and they are neighbours (about 30.4 days apart).
  for (TDateTime t = Moment(2023, 1, 1); t < Moment(2025, 1, 1); t += 3.7) {
    SCOPED_TRACE(t);
    const TDateTime last = LastMajorTerm(t), next = NextMajorTerm(t);
    EXPECT_LT(last, t);
    EXPECT_GE(next, t);
    EXPECT_NEAR(next - last, 30.44, 1.1);
  }
}

struct SeasonCase {
  const char* what;
  TDateTime t;
  int branch;
  const char* season;
  const char* term;
};

TEST(SeasonOf, TheCasesOfTheCalendarWindow) {
  const TDateTime equinox = SolarTermInstant(2024, 0);
  const TDateTime springStart = SolarTermInstant(2024, 21);
  const SeasonCase cases[] = {
      {"just after the spring equinox", equinox + 1e-6, 4, "Середина весны", "Весеннее равноденствие"},
      {"just before the spring equinox", equinox - 1e-6, 4, "Середина весны", "Пробуждение насекомых"},
      {"1 January, through last year's solstice", Moment(2024, 1, 1, 12), 1, "Середина зимы",
       "Зимнее солнцестояние"},
      {"late December, through this year's solstice", Moment(2024, 12, 30), 1, "Середина зимы",
       "Зимнее солнцестояние"},
      {"just before the start of spring", springStart - 1e-6, 2, "Конец зимы", "Большие холода"},
      {"just after the start of spring", springStart + 1e-6, 3, "Начало весны", "Становление весны"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Season s;
    SeasonOf(c.t, s);
    EXPECT_EQ(s.branch, c.branch);
    EXPECT_EQ(s.season, c.season);
    EXPECT_EQ(s.term, c.term);
  }
}

TEST(SeasonOf, EveryRowOfTheTableIsReached) {
  for (int year : {1950, 2024}) {
    for (int k = 0; k < 24; ++k) {
      SCOPED_TRACE(::testing::Message() << year << " row " << k);
      const TDateTime from = SolarTermInstant(year, k);
      const TDateTime to = k == 18 ? SolarTermInstant(year + 1, 19) : SolarTermInstant(year, (k + 1) % 24);
      for (const TDateTime t : {from + 1e-6, (from + to) / 2, to - 1e-6}) {
        Season s;
        SeasonOf(t, s);
        EXPECT_EQ(s.term, TermName(k));
        EXPECT_EQ(s.season, SeasonName(k));
        EXPECT_EQ(s.branch, SeasonBranch(k));
      }
    }
  }
}

TEST(SeasonOf, AMomentOnATermInstantKeepsTheCallersValues) {
  for (int k : {0, 18, 19, 21, 23}) {
    Season s{7, "before", "unchanged"};
    SeasonOf(SolarTermInstant(2024, k), s);
    EXPECT_EQ(s.branch, 7) << k;
    EXPECT_EQ(s.season, "before");
    EXPECT_EQ(s.term, "unchanged");
  }
}

}  // namespace
}  // namespace calendar
