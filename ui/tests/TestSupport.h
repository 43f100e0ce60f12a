// Helpers shared by the window tests: a private settings folder per test
// program, and a platform whose prompts, dialogs and clock the test
// controls.
#pragma once

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QList>
#include <QObject>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QtGlobal>
#include <deque>
#include <functional>
#include <memory>

#include "ui/Application.h"
#include "ui/Platform.h"

namespace ui::test {

// Points the per-user settings at a fresh temporary folder for the rest of
// the process. Call before the first settings access.
inline QString IsolateSettings() {
  static QTemporaryDir dir;
  qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
  return dir.path();
}

inline QString SettingsFile() {
  return IsolateSettings() + QStringLiteral("/KALYNTH/KALYNTH.ini");
}

// Writes the settings file as given (INI text).
inline void WriteSettings(const QByteArray& ini) {
  QDir().mkpath(QFileInfo(SettingsFile()).absolutePath());
  QFile f(SettingsFile());
  f.open(QIODevice::WriteOnly | QIODevice::Truncate);
  f.write(ini);
}

inline void ClearSettings() {
  QFile::remove(SettingsFile());
}

// Every prompt and dialog is recorded; answers come from queues the test
// fills beforehand. A prompt without a queued answer fails the test and
// answers Cancel / No, so an unexpected prompt never goes unnoticed.
class FakePlatform : public Platform {
 public:
  struct Prompt {
    QString kind;  // "warning3", "warning2", "confirm", "error"
    QString text;
  };

  std::deque<Answer> answers;
  std::deque<QString> openNames;  // empty text = the user cancels
  std::deque<QString> saveNames;
  std::deque<QString> directoryNames;  // empty text = the user cancels
  QList<Prompt> prompts;
  QList<FileDialogRequest> openRequests;
  QList<FileDialogRequest> saveRequests;
  QDateTime clock = QDateTime(QDate(2024, 2, 10), QTime(12, 0));
  QList<QUrl> urls;
  bool interceptUrls = true;                     // false: the real QDesktopServices path
  bool urlsOpen = true;                          // what an intercepted openUrl answers
  std::function<void(const QString&)> onPrompt;  // runs while a prompt is up

  Answer warningYesNoCancel(QWidget*, const QString& text) override {
    return next(QStringLiteral("warning3"), text, Answer::Cancel);
  }
  Answer warningYesNo(QWidget*, const QString& text) override {
    return next(QStringLiteral("warning2"), text, Answer::No);
  }
  Answer confirmYesNo(QWidget*, const QString& text) override {
    return next(QStringLiteral("confirm"), text, Answer::No);
  }
  void error(QWidget*, const QString& text) override {
    prompts.append({QStringLiteral("error"), text});
    if (onPrompt) onPrompt(text);
  }

  QString openFileName(QWidget*, const FileDialogRequest& request) override {
    openRequests.append(request);
    if (openNames.empty()) {
      QTest::qFail("unexpected open dialog", __FILE__, __LINE__);
      return {};
    }
    const QString name = openNames.front();
    openNames.pop_front();
    return name;
  }
  QString saveFileName(QWidget*, const FileDialogRequest& request) override {
    saveRequests.append(request);
    if (saveNames.empty()) {
      QTest::qFail("unexpected save dialog", __FILE__, __LINE__);
      return {};
    }
    const QString name = saveNames.front();
    saveNames.pop_front();
    return name;
  }

  QString directoryName(QWidget*, const QString&, const QString&) override {
    if (directoryNames.empty()) {
      QTest::qFail("unexpected folder dialog", __FILE__, __LINE__);
      return {};
    }
    const QString name = directoryNames.front();
    directoryNames.pop_front();
    return name;
  }

  QDateTime now() override { return clock; }
  // The desktop's offset from UTC: Moscow time unless a test says otherwise.
  int utcOffset = 3 * 3600;
  int utcOffsetSeconds() override { return utcOffset; }

  bool openUrl(const QUrl& url) override {
    if (!interceptUrls) return Platform::openUrl(url);
    urls.append(url);
    return urlsOpen;
  }

  QStringList promptTexts() const {
    QStringList texts;
    for (const Prompt& p : prompts) texts << p.text;
    return texts;
  }

 private:
  Answer next(const QString& kind, const QString& text, Answer fallback) {
    prompts.append({kind, text});
    if (onPrompt) onPrompt(text);
    if (answers.empty()) {
      QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + text), __FILE__, __LINE__);
      return fallback;
    }
    const Answer a = answers.front();
    answers.pop_front();
    return a;
  }
};

// The test function's own platform: empty settings, then a fresh
// FakePlatform put in place of the real one (from init()); and taken away
// again, the fake last (from cleanup()).
// Types `code` into line field n (1 = bottom) of the main window the way a
// user does, the field emptied first; TypeCodes types all six from line 1.
template <class MainWindow>
void TypeCode(MainWindow& window, int n, const QString& code) {
  auto* field = window.LineEdit(n);
  field->clear();
  QTest::keyClicks(field, code);
}
template <class MainWindow>
void TypeCodes(MainWindow& window, const QStringList& codes) {
  for (int n = 1; n <= 6; ++n) TypeCode(window, n, codes[n - 1]);
}

inline void PutFakePlatform(std::unique_ptr<FakePlatform>& fake, std::unique_ptr<ScopedPlatform>& scoped) {
  ClearSettings();
  fake = std::make_unique<FakePlatform>();
  scoped = std::make_unique<ScopedPlatform>(fake.get());
}
inline void TakeFakePlatform(std::unique_ptr<FakePlatform>& fake, std::unique_ptr<ScopedPlatform>& scoped) {
  scoped.reset();
  fake.reset();
}

// Receives what the program hands to the desktop, for URL schemes it is
// made the handler of (QDesktopServices::setUrlHandler(scheme, &catcher,
// "open")); set the FakePlatform's interceptUrls to false first.
class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> urls;
 public slots:
  void open(const QUrl& url) { urls.append(url); }
};

}  // namespace ui::test

// main() of a window test: private settings, the real application object
// (so errors ending a command reach its error box), then the test class.
#define KALYNTH_TEST_MAIN(TestClass)        \
  int main(int argc, char** argv) {         \
    ui::test::IsolateSettings();            \
    ui::KalynthApplication app(argc, argv); \
    ui::InstallRussianTranslation(app);     \
    TestClass test;                         \
    return QTest::qExec(&test, argc, argv); \
  }
