// The time settings: list indexes to hours and back, and the status texts.
#include "calendar/time_settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <utility>

namespace calendar {
namespace {

TEST(TimeSettings, TheDefaultsAreThoseOfTheStoredDefaults) {
  const TimeSettings defaults;
  EXPECT_EQ(defaults.correctionHours, 0);
  EXPECT_EQ(defaults.zoneHours, std::optional<int>(3));
  EXPECT_EQ(TimeSettings::FromIndexes(TimeSettings::DefaultCorrectionIndex, TimeSettings::DefaultZoneIndex),
            defaults);
  EXPECT_EQ(defaults.correctionIndex(), TimeSettings::DefaultCorrectionIndex);
  EXPECT_EQ(defaults.zoneIndex(), TimeSettings::DefaultZoneIndex);
}

// Every entry of the two lists: index -> hours -> the same index, and the
// texts the status strip shows for it.
TEST(TimeSettings, EveryListEntryBothWays) {
  struct Case {
    int correctionIndex, zoneIndex;
    int correctionHours;
    std::optional<int> zoneHours;
    const char* status;
  };
  const Case cases[] = {
      {0, 0, -3, -12, "Поправка времени -3 часа | GMT -12"},
      {1, 11, -2, -1, "Поправка времени -2 часа | GMT -1"},
      {2, 12, -1, 0, "Поправка времени -1 час | GMT 0"},
      {3, 15, 0, 3, "Поправка времени 0 | GMT +3"},
      {4, 13, 1, 1, "Поправка времени +1 час | GMT +1"},
      {5, 20, 2, 8, "Поправка времени +2 часа | GMT +8"},
      {6, 25, 3, 13, "Поправка времени +3 часа | GMT +13"},
      {3, TimeSettings::NoZoneIndex, 0, std::nullopt, "Поправка времени 0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    const TimeSettings s = TimeSettings::FromIndexes(c.correctionIndex, c.zoneIndex);
    EXPECT_EQ(s.correctionHours, c.correctionHours);
    EXPECT_EQ(s.zoneHours, c.zoneHours);
    EXPECT_EQ(s.correctionIndex(), c.correctionIndex);
    EXPECT_EQ(s.zoneIndex(), c.zoneIndex);
    EXPECT_EQ(StatusCaption(s), c.status);
  }
  for (int i = 0; i <= 6; ++i) EXPECT_EQ(TimeSettings::FromIndexes(i, 0).correctionIndex(), i);
  for (int i = -1; i <= 25; ++i) EXPECT_EQ(TimeSettings::FromIndexes(3, i).zoneIndex(), i);
}

// A stored index outside its list shifts nothing: no correction, no zone
// (universal time); the extremes of int included.
TEST(TimeSettings, IndexesOutsideTheListsShiftNothing) {
  const std::pair<int, int> indexes[] = {
      {-1, -2}, {7, 26}, {-2, 100}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}};
  for (const auto& [correction, zone] : indexes) {
    SCOPED_TRACE(std::to_string(correction) + "/" + std::to_string(zone));
    const TimeSettings s = TimeSettings::FromIndexes(correction, zone);
    EXPECT_EQ(s.correctionHours, 0);
    EXPECT_EQ(s.zoneHours, std::nullopt);
    EXPECT_EQ(ZoneCaption(s), "");
  }
  EXPECT_FALSE(IsCorrectionIndex(-1));
  EXPECT_FALSE(IsCorrectionIndex(7));
  EXPECT_FALSE(IsZoneIndex(-1));
  EXPECT_FALSE(IsZoneIndex(26));
}

// Hours no list holds come back as the neutral entries: correction "0", no zone.
TEST(TimeSettings, HoursOutsideTheListsGiveTheNeutralIndexes) {
  EXPECT_EQ((TimeSettings{4, 14}).correctionIndex(), 3);
  EXPECT_EQ((TimeSettings{-4, -13}).zoneIndex(), TimeSettings::NoZoneIndex);
  EXPECT_EQ((TimeSettings{0, 14}).zoneIndex(), TimeSettings::NoZoneIndex);
  EXPECT_EQ((TimeSettings{-3, -12}).zoneIndex(), 0);
}

}  // namespace
}  // namespace calendar
