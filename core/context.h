// The moment of a cast and the calendar in force then, kept with the
// divination and its record, so that a record opened years later shows the
// calendar that produced it whatever the user's time settings are now.
//
//   CastMethod    how the figures were cast
//   Pillar        a stem and a branch
//   CastContext   the moment, the method, the time settings, the lunar date,
//                 the four pillars, the solar term and season, and the
//                 warning of a date casting near a boundary
//   ContextOfCast the context of a cast made now
//   MethodKey / MethodOfKey   the method as a record stores it
//
// Every field is checked when read from a file (records/context.h): one
// that is missing or out of range stays at its "unknown" value and the rest
// are kept.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "astro/constants.h"
#include "calendar/time_settings.h"

namespace core {

// How the figures were cast.
enum class CastMethod {
  None,    // nothing cast since the sheet was cleared, or the codes were invalid
  Codes,   // the six line codes typed by the user (">>")
  Yarrow,  // the six line codes the yarrow procedure gave
  Date,    // the lunar date ("Получить гуа")
  Coins,   // the six line values of three coins thrown six times (core/coins.h)
};

// Stem 1..10 and branch 1..12; 0 for unknown.
struct Pillar {
  int stem = 0, branch = 0;
  friend bool operator==(const Pillar&, const Pillar&) = default;
};

struct CastContext {
  // The local clock time of the cast with its UTC offset, ISO 8601:
  // "2026-12-11T12:30:05+03:00".
  std::string moment;
  CastMethod method = CastMethod::None;
  // The time settings in force, in hours; no zone: the clock was taken as
  // universal time.
  std::optional<int> zoneHours;
  int correctionHours = 0;
  // The lunar date of the cast (for a date casting the one cast from):
  // year in the sixty-year cycle 1..60 (0 unknown), month 1..12 with its
  // leap mark, day 1..30, double hour 0 (Цзы) .. 11 (Хай), -1 unknown.
  int yearInCycle = 0;
  int month = 0;
  bool leapMonth = false;
  int day = 0;
  int doubleHour = -1;
  // Year, month, day and double hour.
  std::array<Pillar, 4> pillars{};
  std::string term;    // the solar term in force ("Большие снега"), empty unknown
  std::string season;  // its season month ("Середина зимы")
  // A date casting within minutes of a boundary of the lunar date: what
  // the warning said; empty otherwise.
  std::string boundary;
  friend bool operator==(const CastContext&, const CastContext&) = default;
};

// The context of a cast made now: `moment` the local clock time as ISO 8601
// with its offset, `clock` the same as a day value of the clock; the lunar
// date, pillars, term and season of that moment under `settings`. Kernel
// errors pass through.
CastContext ContextOfCast(CastMethod method, std::string moment, astro::TDateTime clock,
                          const calendar::TimeSettings& settings);

// The texts a reader shows (UTF-8):
//   MomentText    "11.12.2026 22:57 (GMT +3)"; empty when the moment is unknown
//   PillarsText   "Бин-У, Гэн-Цзы, Цзи-Вэй, Дин-Хай" (year, month, day, hour;
//                 "?" for an unknown pillar); empty when all are unknown
//   LunarText     "год 43, месяц 11, день 2, час Хай" ("месяц 4 (доп.)" in
//                 a leap month); empty when unknown
//   ContextText   the whole context on one line: "Гадание 11.12.2026 22:57
//                 (GMT +3) · год 43, … · столпы Бин-У, … · Большие снега"
//   MethodName    "числа черт", "стебли", "дата", "монеты"
std::string MomentText(const CastContext& context);
std::string PillarsText(const CastContext& context);
std::string LunarText(const CastContext& context);
std::string ContextText(const CastContext& context);
std::string_view MethodName(CastMethod method);
// What a reader says of a divination whose record keeps no moment.
inline constexpr std::string_view UnknownMomentText = "Момент гадания неизвестен";

// "codes", "yarrow", "date", "coins"; empty for None.
std::string_view MethodKey(CastMethod method);
// The method of a stored key; None for anything else.
CastMethod MethodOfKey(std::string_view key);

}  // namespace core
