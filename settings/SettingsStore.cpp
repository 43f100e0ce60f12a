#include "settings/SettingsStore.h"

#include <QStringList>

namespace ui {

namespace {

QString findIgnoringCase(const QStringList& candidates, const QString& name) {
  for (const QString& c : candidates)
    if (c.compare(name, Qt::CaseInsensitive) == 0) return c;
  return name;
}

}  // namespace

SettingsStore::SettingsStore()
    : settings_(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("KALYNTH"),
                QStringLiteral("KALYNTH")) {
  // Another process (a second start of the program) may have written the
  // file since this process last looked at it.
  settings_.sync();
}

SettingsStore::~SettingsStore() {
  settings_.sync();
}

QString SettingsStore::keyFor(const QString& group, const QString& name) const {
  const QString g = findIgnoringCase(settings_.childGroups(), group);
  settings_.beginGroup(g);
  const QString n = findIgnoringCase(settings_.childKeys(), name);
  settings_.endGroup();
  return g + QLatin1Char('/') + n;
}

std::optional<QString> SettingsStore::rawText(const QString& group, const QString& name) const {
  const QString key = keyFor(group, name);
  if (!settings_.contains(key)) return std::nullopt;
  const QVariant v = settings_.value(key);
  // A hand-edited value with commas comes back from the INI parser as a list.
  if (v.typeId() == QMetaType::QStringList) return v.toStringList().join(QLatin1Char(','));
  return v.toString();
}

void SettingsStore::writeText(const QString& group, const QString& name, const QString& text) {
  settings_.setValue(keyFor(group, name), text);
}

std::optional<int> SettingsStore::parseInteger(const QString& text) {
  bool ok = false;
  const int v = text.trimmed().toInt(&ok, 10);
  if (!ok) return std::nullopt;
  return v;
}

int SettingsStore::read(IntSetting s, int defaultValue) const {
  const auto text = rawText(QString::fromLatin1(s.group), QString::fromLatin1(s.name));
  if (!text) return defaultValue;
  return parseInteger(*text).value_or(defaultValue);
}

bool SettingsStore::read(BoolSetting s) const {
  const auto text = rawText(QString::fromLatin1(s.group), QString::fromLatin1(s.name));
  if (!text) return s.defaultValue;
  const auto v = parseInteger(*text);
  if (!v) return s.defaultValue;
  return *v != 0;
}

QString SettingsStore::read(TextSetting s) const {
  return rawText(QString::fromLatin1(s.group), QString::fromLatin1(s.name))
      .value_or(QString::fromUtf8(s.defaultValue));
}

void SettingsStore::write(IntSetting s, int value) {
  writeText(QString::fromLatin1(s.group), QString::fromLatin1(s.name), QString::number(value));
}

void SettingsStore::write(BoolSetting s, bool value) {
  writeText(QString::fromLatin1(s.group), QString::fromLatin1(s.name),
            value ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsStore::write(TextSetting s, const QString& value) {
  writeText(QString::fromLatin1(s.group), QString::fromLatin1(s.name), value);
}

void SettingsStore::sync() {
  settings_.sync();
}

QString SettingsStore::fileName() const {
  return settings_.fileName();
}

std::optional<int> ZoneIndexOfOffset(int utcOffsetSeconds) {
  if (utcOffsetSeconds % 3600 != 0) return std::nullopt;
  const int index = calendar::TimeSettings{0, utcOffsetSeconds / 3600}.zoneIndex();
  if (index == calendar::TimeSettings::NoZoneIndex) return std::nullopt;
  return index;
}

bool HasStoredTimeZone(const SettingsStore& store) {
  return store
      .rawText(QString::fromLatin1(settings::CalendarGMT.group),
               QString::fromLatin1(settings::CalendarGMT.name))
      .has_value();
}

int StoredTimeZoneIndex(const SettingsStore& store, int utcOffsetSeconds) {
  if (HasStoredTimeZone(store)) return store.read(settings::CalendarGMT);
  return ZoneIndexOfOffset(utcOffsetSeconds).value_or(settings::CalendarGMT.defaultValue);
}

calendar::TimeSettings StoredTimeSettings(const SettingsStore& store, int utcOffsetSeconds) {
  return calendar::TimeSettings::FromIndexes(store.read(settings::CalendarLetneeTime),
                                             StoredTimeZoneIndex(store, utcOffsetSeconds));
}

}  // namespace ui
