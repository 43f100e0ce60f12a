// The texts of a cast's context, as the window, the sheet and kalynth-calc
// show them.
#include "core/context.h"

#include <gtest/gtest.h>

namespace core {
namespace {

TEST(ContextTexts, MomentInItsOwnOffset) {
  const std::pair<const char*, const char*> cases[] = {
      {"2026-12-11T22:57:05+03:00", "11.12.2026 22:57 (GMT +3)"},
      {"2026-12-11T22:57+03:00", "11.12.2026 22:57 (GMT +3)"},
      {"2026-01-02T03:04:05Z", "02.01.2026 03:04 (UTC)"},
      {"2026-01-02T03:04:05.250+00:00", "02.01.2026 03:04 (GMT)"},
      {"2026-01-02T03:04:05+05:30", "02.01.2026 03:04 (GMT +5:30)"},
      {"2026-01-02T03:04:05-01:00", "02.01.2026 03:04 (GMT -1)"},
      {"", ""},
      {"вчера", ""},
  };
  for (const auto& [moment, text] : cases) {
    CastContext c;
    c.moment = moment;
    EXPECT_EQ(MomentText(c), text) << moment;
  }
}

TEST(ContextTexts, LunarDateAndPillars) {
  CastContext c;
  EXPECT_EQ(PillarsText(c), "");
  EXPECT_EQ(LunarText(c), "");
  c.pillars = {Pillar{3, 7}, Pillar{7, 1}, Pillar{}, Pillar{4, 12}};
  EXPECT_EQ(PillarsText(c), "Бин-У, Гэн-Цзы, ?, Дин-Хай");
  c.yearInCycle = 43;
  c.month = 4;
  c.leapMonth = true;
  c.doubleHour = 0;
  EXPECT_EQ(LunarText(c), "год 43, месяц 4 (доп.), час Цзы");
}

TEST(ContextTexts, OneLineForTheWhole) {
  CastContext c;
  EXPECT_EQ(ContextText(c), "Гадание в неизвестный момент");
  c.moment = "2026-12-11T22:57:05+03:00";
  c.yearInCycle = 43;
  c.month = 11;
  c.day = 2;
  c.doubleHour = 11;
  c.pillars = {Pillar{3, 7}, Pillar{7, 1}, Pillar{6, 8}, Pillar{4, 12}};
  c.term = "Большие снега";
  c.season = "Середина зимы";
  EXPECT_EQ(ContextText(c),
            "Гадание 11.12.2026 22:57 (GMT +3) · год 43, месяц 11, день 2, час Хай · столпы Бин-У, Гэн-Цзы, "
            "Цзи-Вэй, Дин-Хай · Большие снега (Середина зимы)");
}

TEST(ContextTexts, MethodKeysRoundTrip) {
  for (CastMethod m : {CastMethod::Codes, CastMethod::Yarrow, CastMethod::Date, CastMethod::Coins})
    EXPECT_EQ(MethodOfKey(MethodKey(m)), m);
  EXPECT_EQ(MethodKey(CastMethod::Coins), "coins");
  EXPECT_EQ(MethodName(CastMethod::Coins), "монеты");
  for (const char* unknown : {"dice", "Coins", "coins ", ""})
    EXPECT_EQ(MethodOfKey(unknown), CastMethod::None);
}

}  // namespace
}  // namespace core
