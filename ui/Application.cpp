#include "ui/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include "records/record.h"
#include "ui/Accessibility.h"
#include "ui/Platform.h"

namespace ui {

KalynthApplication::KalynthApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("KALYNTH"));
  // No display name: Qt would append it to every window title.
}

QString ErrorText(const std::exception& error) {
  if (const auto* record = dynamic_cast<const records::RecordError*>(&error)) return record->text();
  return QString::fromUtf8(error.what());
}

void ReportError(const std::exception& error) {
  // Said at once by a screen reader, also while the box is being built.
  Announce(QApplication::activeWindow(), QStringLiteral("Ошибка: ") + ErrorText(error));
  platform().error(QApplication::activeWindow(), ErrorText(error));
}

namespace {

void ReportCurrentException() noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    ReportError(e);
  } catch (...) {
    platform().error(QApplication::activeWindow(), QStringLiteral("Неизвестная ошибка"));
  }
}

}  // namespace

void RunCommand(const std::function<void()>& command) noexcept {
  try {
    command();
  } catch (...) {
    ReportCurrentException();
  }
}

bool KalynthApplication::notify(QObject* receiver, QEvent* event) {
  // The net behind RunCommand: an error that still leaves an event handler
  // is reported, and the event loop goes on.
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportCurrentException();
  }
  return false;
}

bool InstallRussianTranslation(QCoreApplication& app) {
  // Explicit locale: the desktop may run under C.UTF-8 or without LANG.
  auto* translator = new QTranslator(&app);
  const bool loaded =
      translator->load(QLocale(QLocale::Russian, QLocale::Russia), QStringLiteral("qtbase"),
                       QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
  if (!loaded) {
    delete translator;
    return false;
  }
  app.installTranslator(translator);
  QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
  return true;
}

}  // namespace ui
