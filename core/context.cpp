#include "core/context.h"

#include <cstdio>
#include <vector>

#include "calendar/StvolyVetvi.h"
#include "calendar/lunar_range.h"
#include "calendar/signs.h"

namespace core {

std::string_view MethodKey(CastMethod method) {
  switch (method) {
    case CastMethod::Codes:
      return "codes";
    case CastMethod::Yarrow:
      return "yarrow";
    case CastMethod::Date:
      return "date";
    case CastMethod::Coins:
      return "coins";
    case CastMethod::None:
      break;
  }
  return {};
}

CastMethod MethodOfKey(std::string_view key) {
  for (CastMethod m : {CastMethod::Codes, CastMethod::Yarrow, CastMethod::Date, CastMethod::Coins})
    if (key == MethodKey(m)) return m;
  return CastMethod::None;
}

namespace {

// The digits of text[pos, pos + n) as a number, or -1.
int Digits(const std::string& text, std::size_t pos, std::size_t n) {
  if (pos + n > text.size()) return -1;
  int value = 0;
  for (std::size_t i = pos; i < pos + n; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

std::string Join(const std::vector<std::string>& parts, const char* between) {
  std::string out;
  for (const std::string& p : parts) {
    if (p.empty()) continue;
    if (!out.empty()) out += between;
    out += p;
  }
  return out;
}

}  // namespace

CastContext ContextOfCast(CastMethod method, std::string moment, astro::TDateTime clock,
                          const calendar::TimeSettings& settings) {
  CastContext c;
  c.moment = std::move(moment);
  c.method = method;
  c.zoneHours = settings.zoneHours;
  c.correctionHours = settings.correctionHours;
  const calendar::LunarDay day = calendar::LunarDayOf(clock, settings);
  c.yearInCycle = day.lunar.YearInCycle;
  c.month = day.lunar.Month;
  c.leapMonth = day.lunar.LeapMonth;
  c.day = day.lunar.DayOfMonth;
  c.doubleHour = day.doubleHour;
  const calendar::Pillars p = calendar::ComputePillars(clock, settings);
  c.pillars = {Pillar{p.yearStem, p.yearBranch}, Pillar{p.monthStem, p.monthBranch},
               Pillar{p.dayStem, p.dayBranch}, Pillar{p.hourStem, p.hourBranch}};
  c.term = p.term;
  c.season = p.season;
  return c;
}

std::string MomentText(const CastContext& c) {
  // "YYYY-MM-DDTHH:MM[:SS][.fff](Z|+HH:MM)", as the record reader lets it in.
  const std::string& m = c.moment;
  const int year = Digits(m, 0, 4), month = Digits(m, 5, 2), day = Digits(m, 8, 2);
  const int hour = Digits(m, 11, 2), minute = Digits(m, 14, 2);
  if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0) return {};
  std::string zone = "UTC";
  const std::size_t sign = m.find_last_of("+-");
  if (m.back() != 'Z' && sign != std::string::npos && sign > 10) {
    const int h = Digits(m, sign + 1, 2), min = Digits(m, sign + 4, 2);
    if (h < 0 || min < 0) return {};
    zone = h == 0 && min == 0 ? std::string("GMT") : "GMT " + std::string(1, m[sign]) + std::to_string(h);
    if (min != 0) zone += ":" + std::string(min < 10 ? "0" : "") + std::to_string(min);
  }
  char text[64];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d (%s)", day, month, year, hour, minute,
                zone.c_str());
  return text;
}

std::string PillarsText(const CastContext& c) {
  std::vector<std::string> parts;
  bool any = false;
  for (const Pillar& p : c.pillars) {
    const std::string_view stem = calendar::StemReading(p.stem), branch = calendar::BranchReading(p.branch);
    any = any || !stem.empty();
    parts.push_back(stem.empty() || branch.empty() ? std::string("?")
                                                   : std::string(stem) + "-" + std::string(branch));
  }
  if (!any) return {};
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : ", ") + p;
  return out;
}

std::string LunarText(const CastContext& c) {
  std::vector<std::string> parts;
  if (c.yearInCycle > 0) parts.push_back("год " + std::to_string(c.yearInCycle));
  if (c.month > 0) parts.push_back("месяц " + std::to_string(c.month) + (c.leapMonth ? " (доп.)" : ""));
  if (c.day > 0) parts.push_back("день " + std::to_string(c.day));
  if (c.doubleHour >= 0) parts.push_back("час " + std::string(calendar::BranchReading(c.doubleHour + 1)));
  return Join(parts, ", ");
}

std::string ContextText(const CastContext& c) {
  const std::string moment = MomentText(c);
  const std::string pillars = PillarsText(c);
  std::string term = c.term;
  if (!term.empty() && !c.season.empty()) term += " (" + c.season + ")";
  return Join({"Гадание " + (moment.empty() ? std::string("в неизвестный момент") : moment), LunarText(c),
               pillars.empty() ? std::string() : "столпы " + pillars, term, c.boundary},
              " · ");
}

std::string_view MethodName(CastMethod method) {
  switch (method) {
    case CastMethod::Codes:
      return "числа черт";
    case CastMethod::Yarrow:
      return "стебли";
    case CastMethod::Date:
      return "дата";
    case CastMethod::Coins:
      return "монеты";
    case CastMethod::None:
      break;
  }
  return {};
}

}  // namespace core
