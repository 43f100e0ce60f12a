// Warnings near a change of the casting date: the other side's hexagrams.
//
// The lunar year 4661 begins at 23:00 of 9 February 2024 (the new moon of
// 2024-02-09 23:00:15 falls on 10 February China time). Before it the lists
// hold year 4, month 12, day 30, Хай: s = 46, t = 58, upper 6 (water), lower
// 2 (lake), line 4: 60, nuclear 27, changed 58. After it year 5, month 1,
// day 1, Цзы: s = 7, t = 8, upper 7 (mountain), lower 8 (earth), line 2: 23,
// nuclear 2, changed 4.
#include "core/boundary.h"

#include <gtest/gtest.h>

#include "calendar/civil.h"

namespace core {
namespace {

astro::TDateTime At(int h, int mi, int day = 9) {
  return calendar::EncodeCivilDateTime({2024, 2, day, h, mi, 0, 0});
}

TEST(BoundaryWarnings, TheOtherSideOfTheNewYear) {
  struct Case {
    const char* what;
    astro::TDateTime t;
    int primary, nuclear, changed, line;
    const char* lineText;
  };
  const Case cases[] = {
      {"before: the new year's Цзы", At(22, 57), 23, 2, 4, 2,
       "До начала лунного года 3 мин: после 23:00 — год 5, месяц 1, день 1, час Цзы; по ту сторону гуа 23, "
       "2, 4, "
       "черта 2"},
      {"after: the old year's Хай", At(23, 2), 60, 27, 58, 4,
       "После начала лунного года прошло 2 мин: до 23:00 — год 4, месяц 12, день 30, час Хай; по ту сторону "
       "гуа "
       "60, 27, 58, черта 4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<BoundaryWarning> w =
        BoundaryWarnings(c.t, calendar::TimeSettings{}, DefaultBoundaryMinutes);
    ASSERT_EQ(w.size(), 1u);
    EXPECT_EQ(w[0].boundary.kind, calendar::BoundaryKind::YearStart);
    EXPECT_EQ(w[0].other.primaryNo, c.primary);
    EXPECT_EQ(w[0].other.nuclearNo, c.nuclear);
    EXPECT_EQ(w[0].other.changedNo, c.changed);
    EXPECT_EQ(w[0].other.jaoNo, c.line);
    EXPECT_EQ(w[0].text, calendar::BoundaryText(w[0].boundary));
    EXPECT_EQ(BoundaryWarningsLine(w), c.lineText);
  }
}

TEST(BoundaryWarnings, NoneFarOrWithAWindowOf0AndSeveralInOneLine) {
  EXPECT_TRUE(BoundaryWarnings(At(12, 0, 10), calendar::TimeSettings{}, DefaultBoundaryMinutes).empty());
  EXPECT_TRUE(BoundaryWarnings(At(23, 0), calendar::TimeSettings{}, 0).empty());
  EXPECT_EQ(BoundaryWarningsLine({}), "");
  // Midnight with a window of an hour: 23:00 an hour ago, Чоу an hour ahead
  // (year 5, month 1, day 1, Чоу: s = 7, t = 9, upper 7, lower 1, line 3: 26, 54, 41).
  const std::vector<BoundaryWarning> w = BoundaryWarnings(At(0, 0, 10), calendar::TimeSettings{}, 60);
  ASSERT_EQ(w.size(), 2u);
  EXPECT_EQ(
      BoundaryWarningsLine(w),
      "После начала лунного года прошло 60 мин: до 23:00 — год 4, месяц 12, день 30, час Хай; по ту сторону "
      "гуа 60, 27, 58, черта 4 | До смены двойного часа 60 мин: после 01:00 — час Чоу; по ту сторону гуа 26, "
      "54, 41, черта 3");
}

}  // namespace
}  // namespace core
