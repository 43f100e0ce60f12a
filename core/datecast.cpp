// Casting from the lunar date.
#include "core/datecast.h"

#include "astro/vsop.h"
#include "calendar/signs.h"

namespace core {

DateNumbers Raschet(int year, int month, int day, int hourIndex) {
  // The upper trigram comes from year, month and day; the lower trigram and
  // the changing line also count the double hour (its index + 1).
  const int s = year + month + day;
  const int t = s + hourIndex + 1;
  DateNumbers n;
  // Remainders in 1..n: a remainder of 0 counts as n.
  n.lowerTrigram = static_cast<int>(astro::AMod(t, 8));
  n.upperTrigram = static_cast<int>(astro::AMod(s, 8));
  n.changingLine = static_cast<int>(astro::AMod(t, 6));
  return n;
}

int Chisla2(Figure& figure, int upperTrigram, int lowerTrigram, int changingLine) {
  if (upperTrigram >= 1 && upperTrigram <= 8) {
    const auto up = TrigramLines(upperTrigram);
    figure[5] = up[2];
    figure[4] = up[1];
    figure[3] = up[0];
  }
  if (lowerTrigram >= 1 && lowerTrigram <= 8) {
    const auto lo = TrigramLines(lowerTrigram);
    figure[2] = lo[2];
    figure[1] = lo[1];
    figure[0] = lo[0];
  }
  return changingLine >= 1 && changingLine <= 6 ? changingLine : 0;
}

std::string BranchName(int hourIndex) {
  return std::string(calendar::BranchReading(hourIndex + 1));
}

std::string StatusText(int year, const std::string& monthText, const std::string& dayText, int hourIndex) {
  return "Гуа на год " + std::to_string(year) + ", месяц " + monthText + ", день " + dayText + ", час " +
         BranchName(hourIndex);
}

DateCasting RestoreDateCasting(const Figure& primary, int jaoNo) {
  DateCasting c;
  c.jaoNo = jaoNo >= 1 && jaoNo <= 6 ? jaoNo : 0;
  c.primary = primary;
  c.changed = ChangedFigure(c.primary, c.jaoNo);
  c.nuclear = NuclearFigure(c.primary, c.changed);
  c.primaryNo = CalcNoGua(c.primary);
  c.nuclearNo = CalcNoGua(c.nuclear);
  c.changedNo = CalcNoGua(c.changed);
  return c;
}

DateCasting CastFromDate(int year, int month, int day, int hourIndex) {
  const DateNumbers numbers = Raschet(year, month, day, hourIndex);
  Figure primary{true, true, true, true, true, true};  // a new figure: six yang lines
  const int jaoNo = Chisla2(primary, numbers.upperTrigram, numbers.lowerTrigram, numbers.changingLine);
  DateCasting c = RestoreDateCasting(primary, jaoNo);
  c.numbers = numbers;
  return c;
}

}  // namespace core
