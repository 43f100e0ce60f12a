// The two time settings the calendar counts with, in hours.
//
// The user's clock may run ahead of standard time (summer time, a clock set
// by hand): the correction says by how many hours, -3..+3. The zone says how
// many hours standard time lies east of Greenwich, -12..+13; the stems and
// branches of the year and the month are counted in universal time, so they
// need it. No zone (nothing chosen in the list) counts as universal time.
//
// The settings store and the settings dialog keep both as list indexes:
// the correction as index 0..6 ("-3" .. "+3", hours = index - 3), the zone
// as index 0..25 ("GMT -12" .. "GMT +13", hours = index - 12) or -1 for no
// zone. FromIndexes reads them; an index outside its list means no shift
// (correction 0, no zone), exactly as the computations have always read it.
#pragma once

#include <optional>
#include <string>

#include "astro/constants.h"

namespace calendar {

struct TimeSettings {
  static constexpr int DefaultCorrectionIndex = 3;  // "0"
  static constexpr int DefaultZoneIndex = 15;       // "GMT +3"
  static constexpr int NoZoneIndex = -1;

  int correctionHours = 0;           // the clock runs ahead of standard time by this
  std::optional<int> zoneHours = 3;  // standard time minus universal time

  // The stored indexes; out of range: no correction, no zone.
  static TimeSettings FromIndexes(int correctionIndex, int zoneIndex);
  // Back to list indexes: correctionHours + 3; zoneHours + 12, or -1 for no
  // zone. Hours outside the lists give index 3 and -1.
  int correctionIndex() const;
  int zoneIndex() const;

  friend bool operator==(const TimeSettings&, const TimeSettings&) = default;
};

// A moment of the user's clock taken back to standard time: minus the
// correction's hours.
astro::TDateTime ApplyTimeCorrection(astro::TDateTime t, const TimeSettings& settings);

bool IsCorrectionIndex(int index);  // 0..6
bool IsZoneIndex(int index);        // 0..25

// The two settings in words (UTF-8), one line for both:
//   CorrectionCaption  "Поправка времени 0", "Поправка времени +1 час",
//                      "Поправка времени -2 часа"
//   ZoneCaption        "GMT +3", "GMT 0", "GMT -12"; empty with no zone
//   StatusCaption      both, joined by " | " when there is a zone:
//                      "Поправка времени 0 | GMT +3"
std::string CorrectionCaption(const TimeSettings& settings);
std::string ZoneCaption(const TimeSettings& settings);
std::string StatusCaption(const TimeSettings& settings);

}  // namespace calendar
