#include "calendar/season.h"

#include <array>
#include <cstdint>

#include "astro/Calendar.h"
#include "astro/vsop.h"
#include "calendar/civil.h"
#include "calendar/memo_table.h"
#include "calendar/season_search.h"

namespace calendar {
namespace {

struct TermRow {
  const char* term;
  const char* season;
};

// Term k opens the interval of row k; the branch follows from k.
const std::array<TermRow, 24> termTable = {{
    {"Весеннее равноденствие", "Середина весны"},
    {"Чистота и ясность", "Конец весны"},
    {"Дожди для злаков", "Конец весны"},
    {"Становление лета", "Начало лета"},
    {"Малое насыщение", "Начало лета"},
    {"Колошение хлебов", "Середина лета"},
    {"Летнее солнцестояние", "Середина лета"},
    {"Малая жара", "Конец лета"},
    {"Большая жара", "Конец лета"},
    {"Становление осени", "Начало осени"},
    {"Прекращение жары", "Начало осени"},
    {"Белые росы", "Середина осени"},
    {"Осеннее равноденствие", "Середина осени"},
    {"Холодные росы", "Конец осени"},
    {"Выпадение инея", "Конец осени"},
    {"Становление зимы", "Начало зимы"},
    {"Малые снега", "Начало зимы"},
    {"Большие снега", "Середина зимы"},
    {"Зимнее солнцестояние", "Середина зимы"},
    {"Малые холода", "Конец зимы"},
    {"Большие холода", "Конец зимы"},
    {"Становление весны", "Начало весны"},
    {"Дождевая вода", "Начало весны"},
    {"Пробуждение насекомых", "Середина весны"},
}};

const std::array<std::string, 24>& Names(bool season) {
  static const std::array<std::string, 24> terms = [] {
    std::array<std::string, 24> a;
    for (int k = 0; k < 24; ++k) a[k] = termTable[k].term;
    return a;
  }();
  static const std::array<std::string, 24> seasons = [] {
    std::array<std::string, 24> a;
    for (int k = 0; k < 24; ++k) a[k] = termTable[k].season;
    return a;
  }();
  return season ? seasons : terms;
}

TDateTime ComputeSolarTerm(int year, int k) {
  return detail::SearchSolarTerm(year, k, [](TDateTime t) { return astro::SunCoordinates(t).longitude; });
}

}  // namespace

TDateTime SolarTermInstant(int year, int k) {
  if (k < 0 || k > 23) return ComputeSolarTerm(year, k);
  const auto key = static_cast<std::uint64_t>(static_cast<std::int64_t>(year) * 24 + k);
  return detail::ThreadMemo().solarTerms.Get(key, [&] { return ComputeSolarTerm(year, k); });
}

int MajorTermIndex(int month) {
  return (2 * month + 18) % 24;
}

TDateTime NextMajorTerm(TDateTime t) {
  const astro::CalendarDate d = astro::DecodeHistoricDate(t);
  int y = d.year, m = d.month;
  TDateTime r;
  do {
    r = SolarTermInstant(y, MajorTermIndex(m));
    if (++m > 12) m = 1, ++y;
  } while (!(r >= t));
  return r;
}

TDateTime LastMajorTerm(TDateTime t) {
  const astro::CalendarDate d = astro::DecodeHistoricDate(t);
  int y = d.year, m = d.month;
  TDateTime r;
  do {
    r = SolarTermInstant(y, MajorTermIndex(m));
    if (--m < 1) m = 12, --y;
  } while (!(r < t));
  return r;
}

const std::string& TermName(int k) {
  return Names(false).at(k);
}
const std::string& SeasonName(int k) {
  return Names(true).at(k);
}
int SeasonBranch(int k) {
  return static_cast<int>(astro::AMod((k + 1) / 2 + 4, 12));
}

void SeasonOf(TDateTime t, Season& out) {
  const int p = DecodeCivilDateTime(t).year;
  auto inside = [t](TDateTime from, TDateTime to) { return from < t && t < to; };
  auto set = [&out](int k) {
    out.branch = SeasonBranch(k);
    out.season = SeasonName(k);
    out.term = TermName(k);
  };
  for (int k = 0; k < 24; ++k) {
    if (k == 18) {
      if (inside(SolarTermInstant(p, 18), SolarTermInstant(p + 1, 19)) ||
          inside(SolarTermInstant(p - 1, 18), SolarTermInstant(p, 19)))
        return set(18);
    } else if (inside(SolarTermInstant(p, k), SolarTermInstant(p, (k + 1) % 24))) {
      return set(k);
    }
  }
}

}  // namespace calendar
