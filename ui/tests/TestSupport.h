// Helpers shared by the window tests: a private settings folder per test
// program, so no test ever reads or writes the user's own store.
#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QtGlobal>

namespace ui::test {

// Points the per-user settings at a fresh temporary folder for the rest of
// the process. Call before the first settings access.
inline QString IsolateSettings() {
  static QTemporaryDir dir;
  qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
  return dir.path();
}

}  // namespace ui::test
