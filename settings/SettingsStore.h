// The per-user settings store of KALYNTH.
//
// One INI file per user (QSettings IniFormat, UserScope, "KALYNTH",
// "KALYNTH": $XDG_CONFIG_HOME/KALYNTH/KALYNTH.ini) with the groups "Form",
// "Set", "Calendar" and "ParamStr". Every value is text: integers in
// decimal, booleans "1" / "0". Reading is forgiving: a missing value, or an
// integer whose text is not an integer, gives the declared default; a
// boolean is read as an integer and is true when not 0. Group and value
// names are compared without regard to letter case ("LegendaShow" written
// and "legendaShow" read are one value); a write keeps the spelling already
// in the file, otherwise uses the declared one.
//
// API
//   namespace ui::settings  -- every value declared once:
//     IntSetting  { group, name, defaultValue }   e.g. settings::FormHeight
//     BoolSetting { group, name, defaultValue }   e.g. settings::SetHint
//     TextSetting { group, name, defaultValue }   e.g. settings::ParamStr
//   class ui::SettingsStore
//     SettingsStore();                      opens the store (re-reads the file)
//     int     read(IntSetting) const;       declared default
//     int     read(IntSetting, int def) const;   caller's default (positions)
//     bool    read(BoolSetting) const;
//     QString read(TextSetting) const;
//     void    write(IntSetting, int);
//     void    write(BoolSetting, bool);     "1" / "0"
//     void    write(TextSetting, const QString&);
//     void    sync();                       flush now (the destructor flushes too)
//     QString fileName() const;
//   int StoredTimeZoneIndex(store, utcOffsetSeconds)
//                                         the stored zone, or on a first start
//                                         the desktop's offset (see below)
//   calendar::TimeSettings StoredTimeSettings(store, utcOffsetSeconds)
//                                         both time settings, read so
//   Low-level, by names (for values not in the table, and for tests):
//     std::optional<QString> rawText(group, name) const;
//     void writeText(group, name, text);
//
// Use one SettingsStore object per group of reads or writes and let it go
// out of scope: nothing is cached between accesses.
#pragma once

#include <QSettings>
#include <QString>
#include <optional>

#include "calendar/time_settings.h"

namespace ui {

struct IntSetting {
  const char* group;
  const char* name;
  int defaultValue;
};
struct BoolSetting {
  const char* group;
  const char* name;
  bool defaultValue;
};
struct TextSetting {
  const char* group;
  const char* name;
  const char* defaultValue;
};

namespace settings {

// Positions whose default depends on the screen or another window: the
// reader passes the default (see SettingsStore::read(IntSetting, int)).
inline constexpr IntSetting FormLeft{"Form", "Left", 0};  // screen width div 2 - 479 div 2
inline constexpr IntSetting FormTop{"Form", "Top", 0};    // screen height div 2 - height div 2
inline constexpr IntSetting FormHeight{"Form", "Height", 331};
inline constexpr IntSetting FormHeightIndex{"Form", "HeightIndex", 400};  // ExpandedHeight
inline constexpr IntSetting FormCzaczyLeft{"Form", "CzaczyLeft", 0};      // main left - calendar width - 4
inline constexpr IntSetting FormCzaczyTop{"Form", "CzaczyTop", 0};        // main top + 1
inline constexpr BoolSetting FormCzaczyShow{"Form", "CzaczyShow", true};
inline constexpr IntSetting FormDiagLeft{"Form", "DiagLeft", 0};
inline constexpr IntSetting FormDiagTop{"Form", "DiagTop", 0};
inline constexpr BoolSetting FormDiagShow{"Form", "DiagShow", false};
inline constexpr IntSetting FormVenvanLeft{"Form", "FormVenvanLeft", 0};
inline constexpr IntSetting FormVenvanTop{"Form", "FormVenvanTop", 0};
inline constexpr BoolSetting FormVenvanShow{"Form", "FormVenvanShow", false};
inline constexpr IntSetting FormUsinLeft{"Form", "UsinLeft", 0};
inline constexpr IntSetting FormUsinTop{"Form", "UsinTop", 0};
inline constexpr BoolSetting FormUsinShow{"Form", "UsinShow", false};
inline constexpr IntSetting FormLegendaLeft{"Form", "legendaLeft", 0};
inline constexpr IntSetting FormLegendaTop{"Form", "legendaTop", 0};
// Written by the main window as "LegendaShow", read by the legend window as
// "legendaShow": the same value, since names ignore case.
inline constexpr BoolSetting FormLegendaShow{"Form", "LegendaShow", false};
// The reading window: its outer position and client size. With nothing
// stored it is shown on a first start when the screen has room for it.
inline constexpr IntSetting FormReadingLeft{"Form", "ReadingLeft", 0};  // main right + 4
inline constexpr IntSetting FormReadingTop{"Form", "ReadingTop", 0};    // main top + 1
inline constexpr IntSetting FormReadingWidth{"Form", "ReadingWidth", 440};
inline constexpr IntSetting FormReadingHeight{"Form", "ReadingHeight", 560};
inline constexpr BoolSetting FormReadingShow{"Form", "ReadingShow", true};

// The journal window: its outer position and client size, and the folder it
// last showed (empty: the folder of the current record, else the user's
// documents folder).
inline constexpr IntSetting FormJournalLeft{"Form", "JournalLeft", 0};  // centred on the screen
inline constexpr IntSetting FormJournalTop{"Form", "JournalTop", 0};
inline constexpr IntSetting FormJournalWidth{"Form", "JournalWidth", 1000};
inline constexpr IntSetting FormJournalHeight{"Form", "JournalHeight", 560};
inline constexpr TextSetting SetJournalFolder{"Set", "JournalFolder", ""};

// The time settings as list indexes (calendar::TimeSettings::FromIndexes).
inline constexpr IntSetting CalendarLetneeTime{"Calendar", "LetneeTime",
                                               calendar::TimeSettings::DefaultCorrectionIndex};
inline constexpr IntSetting CalendarGMT{"Calendar", "GMT", calendar::TimeSettings::DefaultZoneIndex};

inline constexpr BoolSetting SetHint{"Set", "Hint", true};
inline constexpr BoolSetting SetCzaczyTop{"Set", "CzaczyTop", true};
inline constexpr BoolSetting SetDiagWinTop{"Set", "DiagWinTop", true};
inline constexpr BoolSetting SetVenvanTop{"Set", "VenvanTop", true};
inline constexpr BoolSetting SetUsinWinTop{"Set", "UsinWinTop", true};
inline constexpr BoolSetting SetLegendaTop{"Set", "legendaTop", true};
inline constexpr BoolSetting SetReadingTop{"Set", "ReadingTop", true};
inline constexpr BoolSetting SetCheckMoon{"Set", "CheckMoon", false};
// How many minutes from a change of the lunar date a date casting warns
// (0 never; at most 120).
inline constexpr IntSetting SetBoundaryMinutes{"Set", "BoundaryMinutes", 5};

// The one-slot mailbox between a second start and the running instance.
inline constexpr TextSetting ParamStr{"ParamStr", "ParamStr", ""};

}  // namespace settings

class SettingsStore {
 public:
  SettingsStore();
  SettingsStore(const SettingsStore&) = delete;
  SettingsStore& operator=(const SettingsStore&) = delete;
  ~SettingsStore();

  int read(IntSetting s) const { return read(s, s.defaultValue); }
  int read(IntSetting s, int defaultValue) const;
  bool read(BoolSetting s) const;
  QString read(TextSetting s) const;

  void write(IntSetting s, int value);
  void write(BoolSetting s, bool value);
  void write(TextSetting s, const QString& value);

  // The stored text of a value, nullopt when group or value is missing.
  std::optional<QString> rawText(const QString& group, const QString& name) const;
  void writeText(const QString& group, const QString& name, const QString& text);

  void sync();
  QString fileName() const;

  // Integer reading rule of the store: decimal text with optional sign and
  // surrounding blanks; anything else gives nullopt.
  static std::optional<int> parseInteger(const QString& text);

 private:
  // "group/name" as spelt in the file, or as declared when not there.
  QString keyFor(const QString& group, const QString& name) const;

  mutable QSettings settings_;
};

// The zone of a first start is the desktop's own: the index of a UTC offset
// that is a whole hour of the list (GMT -12..+13), nullopt otherwise.
std::optional<int> ZoneIndexOfOffset(int utcOffsetSeconds);
// Whether the store holds a zone at all (a stored zone is used as it is).
bool HasStoredTimeZone(const SettingsStore& store);
// The zone the program counts with: the stored one; with none stored, the
// desktop's offset when it is in the list; else the declared default. The
// main window and kalynth-calc both take it from here.
int StoredTimeZoneIndex(const SettingsStore& store, int utcOffsetSeconds);
// The stored correction and StoredTimeZoneIndex, as hours.
calendar::TimeSettings StoredTimeSettings(const SettingsStore& store, int utcOffsetSeconds);

}  // namespace ui
