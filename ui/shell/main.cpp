// KALYNTH: start-up.
//
// 1. The application object (title "KALYNTH").
// 2. One instance per user: if an instance already runs, leave the first
//    command-line argument (or empty text) as the hand-off value, made a
//    full path, ask the running instance to come to the front and end,
//    without any window.
//    Otherwise listen at once, before any window exists, so that a second
//    start during the creation below is still handed over.
// 3. The splash window, shown and painted before anything else.
// 4. The windows, each created once, in their fixed order; the main window
//    opens the first argument at the end of its creation.
// 5. The message loop, until the main window has closed.
//
// With KALYNTH_TRACE set in the environment the program reports its
// start-up on standard output, one line per event ("role running",
// "ready <ms>", "title <window title>", "splash closed", and for each data
// folder "data comment <folder>" or "data comment missing"), and every
// message box as "error <text>", "warning <text>" or "confirm <text>" (on
// one line): a developer's diagnostic, also used by the tests that drive
// real processes and by the test of the installed program. It then also
// takes commands on standard input, one a line: "save" (the menu item
// "Сохранить", as Ctrl+S), "journal <folder>" (the journal window, showing
// that folder) and "quit" (ends the program at once with status 0, also
// while a message box is open).
#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <optional>

#include "records/files.h"
#include "settings/SettingsStore.h"
#include "ui/Application.h"
#include "ui/Platform.h"
#include "ui/journal.h"
#include "ui/kalynth.h"
#include "ui/shell/FirstForm.h"
#include "ui/shell/HandOff.h"
#include "ui/shell/SingleInstance.h"
#include "ui/shell/Windows.h"

namespace {

bool tracing = false;

void Trace(const QString& line) {
  if (!tracing) return;
  std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
  std::fflush(stdout);
}

const char* RoleName(ui::SingleInstance::Role role) {
  switch (role) {
    case ui::SingleInstance::Role::Running:
      return "running";
    case ui::SingleInstance::Role::Secondary:
      return "secondary";
    case ui::SingleInstance::Role::Alone:
      return "alone";
    default:
      return "undecided";
  }
}

// Message boxes as usual, each also reported in the trace.
class TracingPlatform : public ui::Platform {
 public:
  ui::Answer warningYesNoCancel(QWidget* parent, const QString& text) override {
    Trace(QStringLiteral("warning ") + OneLine(text));
    return Platform::warningYesNoCancel(parent, text);
  }
  ui::Answer warningYesNo(QWidget* parent, const QString& text) override {
    Trace(QStringLiteral("warning ") + OneLine(text));
    return Platform::warningYesNo(parent, text);
  }
  ui::Answer confirmYesNo(QWidget* parent, const QString& text) override {
    Trace(QStringLiteral("confirm ") + OneLine(text));
    return Platform::confirmYesNo(parent, text);
  }
  void error(QWidget* parent, const QString& text) override {
    Trace(QStringLiteral("error ") + OneLine(text));
    Platform::error(parent, text);
  }

 private:
  static QString OneLine(QString text) { return text.replace(QLatin1Char('\n'), QLatin1Char(' ')); }
};

// The trace's commands from standard input (see the top of this file).
class TraceCommands : public QObject {
 public:
  explicit TraceCommands(TFormKalynth* window)
      : window_(window), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, &TraceCommands::Read);
  }

 private:
  void Read() {
    char chunk[256];
    const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (n <= 0) {
      notifier_.setEnabled(false);  // the end of the input: no more commands
      return;
    }
    pending_.append(chunk, n);
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
      const QByteArray command = pending_.left(end).trimmed();
      pending_.remove(0, end + 1);
      Trace(QStringLiteral("command ") + QString::fromUtf8(command));
      if (command == "save") window_->controls().Save1->trigger();
      if (command.startsWith("journal ")) {
        window_->controls().Journal1->trigger();
        if (window_->controls().FormJournal)
          window_->controls().FormJournal->SetFolder(QFile::decodeName(command.mid(8)));
      }
      if (command == "quit") QCoreApplication::exit(0);
    }
  }

  TFormKalynth* window_;
  QSocketNotifier notifier_;
  QByteArray pending_;
};

}  // namespace

int main(int argc, char** argv) {
  QElapsedTimer startUp;
  startUp.start();
  tracing = !qEnvironmentVariableIsEmpty("KALYNTH_TRACE");
  // Over the file-size limit a save fails and says so; the edit stays.
  records::CatchFileSizeSignal();

  ui::KalynthApplication app(argc, argv);
  // Every window carries the program's icon (packaging/icon, the same
  // artwork as the installed menu entry's), and the desktop matches the
  // windows to the menu entry by its name.
  QIcon icon;
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/appicon/%1.png").arg(size), QSize(size, size));
  app.setWindowIcon(icon);
  app.setDesktopFileName(QStringLiteral(KALYNTH_APP_ID));
  const QStringList arguments = QCoreApplication::arguments().mid(1);
  // The running instance has a working folder of its own: a relative path
  // is handed over as the full path it means here.
  QString handOff = arguments.value(0);
  if (!handOff.isEmpty()) handOff = QFileInfo(handOff).absoluteFilePath();

  // A second start hands its argument over and ends. Should the running
  // instance vanish between our connect and our request, this start tries
  // once more and then runs itself, rather than losing the path.
  std::unique_ptr<ui::SingleInstance> instance;
  for (int attempt = 0; attempt < 2; ++attempt) {
    instance = std::make_unique<ui::SingleInstance>();
    const auto role = instance->start();
    Trace(QStringLiteral("role %1").arg(QLatin1String(RoleName(role))));
    if (role != ui::SingleInstance::Role::Secondary) break;
    ui::SettingsStore().write(ui::settings::ParamStr, handOff);
    if (instance->requestActivation()) return 0;
    // Nobody took the request: take the value back unless someone else
    // has written their own since.
    ui::SettingsStore store;
    if (store.read(ui::settings::ParamStr) == handOff) store.write(ui::settings::ParamStr, QString());
  }
  // Twice no running instance took the request: this start runs on its own
  // (its argument is opened by the main window like any first start's).

  ui::InstallRussianTranslation(app);
  // Lives longer than every window (declared before them).
  TracingPlatform tracingPlatform;
  std::optional<ui::ScopedPlatform> tracedBoxes;
  if (tracing) tracedBoxes.emplace(&tracingPlatform);

  // Requests that come while the windows are built wait here until the main
  // window exists.
  QPointer<TFormKalynth> mainWindow;
  ui::HandOffWatcher handOffWatcher([&mainWindow] {
    if (mainWindow) ui::RunCommand([&mainWindow] { mainWindow->TakeHandOff(); });
  });
  QObject::connect(instance.get(), &ui::SingleInstance::activationRequested, &handOffWatcher,
                   &ui::HandOffWatcher::bringToFront);

  ui::TFormFirst splash;
  splash.showAndPaint();
  QObject::connect(&splash, &ui::TFormFirst::closed,
                   [&startUp] { Trace(QStringLiteral("splash closed %1").arg(startUp.elapsed())); });

  // The windows, in their creation order (ui/shell/Windows.h). They live
  // until the program ends; the main window is destroyed last.
  ui::Windows windows(arguments);
  TFormKalynth& formKalynth = windows.main();
  mainWindow = &formKalynth;
  QObject::connect(&formKalynth, &QWidget::windowTitleChanged,
                   [](const QString& title) { Trace(QStringLiteral("title ") + title); });
  for (const char* data : {"comment", "help", "bmp"}) {
    const QDir folder(formKalynth.programFolder() + QLatin1Char('/') + QLatin1String(data));
    Trace(QStringLiteral("data %1 %2")
              .arg(QLatin1String(data), folder.exists() ? folder.absolutePath() : QStringLiteral("missing")));
  }

  std::unique_ptr<TraceCommands> traceCommands;
  if (tracing && ::fcntl(STDIN_FILENO, F_GETFD) != -1)
    traceCommands = std::make_unique<TraceCommands>(&formKalynth);

  splash.setMainWindow(&formKalynth);
  handOffWatcher.attach(&formKalynth);
  formKalynth.show();

  QTimer::singleShot(0, [&] {
    Trace(QStringLiteral("title ") + formKalynth.windowTitle());
    Trace(QStringLiteral("ready %1").arg(startUp.elapsed()));
  });
  return app.exec();
}
