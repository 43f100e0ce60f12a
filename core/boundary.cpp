#include "core/boundary.h"

#include <utility>

namespace core {

std::vector<BoundaryWarning> BoundaryWarnings(astro::TDateTime t, const calendar::TimeSettings& settings,
                                              int windowMinutes) {
  std::vector<BoundaryWarning> warnings;
  for (const calendar::DateBoundary& b : calendar::DateBoundariesNear(t, settings, windowMinutes)) {
    BoundaryWarning w;
    w.boundary = b;
    w.text = calendar::BoundaryText(b);
    const calendar::LunarDay& o = b.otherSide;
    w.other = CastFromDate(o.yearNumber, o.lunar.Month, o.lunar.DayOfMonth, o.doubleHour);
    w.castText = "по ту сторону гуа " + std::to_string(w.other.primaryNo) + ", " +
                 std::to_string(w.other.nuclearNo) + ", " + std::to_string(w.other.changedNo) + ", черта " +
                 std::to_string(w.other.jaoNo);
    warnings.push_back(std::move(w));
  }
  return warnings;
}

std::string BoundaryWarningsLine(const std::vector<BoundaryWarning>& warnings) {
  std::string line;
  for (const BoundaryWarning& w : warnings) {
    if (!line.empty()) line += " | ";
    line += w.text + "; " + w.castText;
  }
  return line;
}

}  // namespace core
