#include "calendar/time_settings.h"

namespace calendar {
namespace {

constexpr int CorrectionIndexOfZero = 3;
constexpr int ZoneIndexOfZero = 12;
constexpr int MaxCorrectionIndex = 6;
constexpr int MaxZoneIndex = 25;

std::string Signed(int hours) {
  return (hours > 0 ? "+" : "") + std::to_string(hours);
}

}  // namespace

astro::TDateTime ApplyTimeCorrection(astro::TDateTime t, const TimeSettings& settings) {
  // The clock runs ahead by correctionHours: -3 adds 0.125 days, +3 takes
  // them off (h / 24 is the same day fraction as 1/24, 1/12, 0.125).
  return t - settings.correctionHours / 24.0;
}

bool IsCorrectionIndex(int index) {
  return index >= 0 && index <= MaxCorrectionIndex;
}

bool IsZoneIndex(int index) {
  return index >= 0 && index <= MaxZoneIndex;
}

TimeSettings TimeSettings::FromIndexes(int correctionIndex, int zoneIndex) {
  TimeSettings s;
  s.correctionHours = IsCorrectionIndex(correctionIndex) ? correctionIndex - CorrectionIndexOfZero : 0;
  s.zoneHours = IsZoneIndex(zoneIndex) ? std::optional<int>(zoneIndex - ZoneIndexOfZero) : std::nullopt;
  return s;
}

int TimeSettings::correctionIndex() const {
  const int index = correctionHours + CorrectionIndexOfZero;
  return IsCorrectionIndex(index) ? index : CorrectionIndexOfZero;
}

int TimeSettings::zoneIndex() const {
  if (!zoneHours) return NoZoneIndex;
  const int index = *zoneHours + ZoneIndexOfZero;
  return IsZoneIndex(index) ? index : NoZoneIndex;
}

std::string CorrectionCaption(const TimeSettings& settings) {
  const int h = settings.correctionHours;
  if (h == 0) return "Поправка времени 0";
  const int n = h < 0 ? -h : h;
  // Russian: 1 час, 2..4 часа (the list ends at 3).
  return "Поправка времени " + Signed(h) + (n == 1 ? " час" : " часа");
}

std::string ZoneCaption(const TimeSettings& settings) {
  if (!settings.zoneHours) return {};
  return *settings.zoneHours == 0 ? "GMT 0" : "GMT " + Signed(*settings.zoneHours);
}

std::string StatusCaption(const TimeSettings& settings) {
  std::string text = CorrectionCaption(settings);
  if (settings.zoneHours) text += " | " + ZoneCaption(settings);
  return text;
}

}  // namespace calendar
