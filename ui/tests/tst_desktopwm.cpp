// The windows under a real window manager (openbox on Xvfb, started by
// desktop.sh): what only a window manager shows. The settings dialog's OK
// keeps every tool window's frame where it was and its state "above";
// modal dialogs stand above the stay-on-top tool windows; an open from the
// journal brings the main window forward; the main window cannot be
// maximised; a first start puts the four pictures beside each other.
//
// The window manager's view is read with xprop and xwininfo: the frame
// extents and states it sets, and its stacking order.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <functional>
#include <memory>

#include "settings/SettingsStore.h"
#include "ui/ProgramWindows.h"
#include "ui/czaczy.h"
#include "ui/diag.h"
#include "ui/journal.h"
#include "ui/kalynth.h"
#include "ui/sett.h"
#include "ui/tests/TestSupport.h"

using ui::Answer;
using ui::test::FakePlatform;

namespace {

QString Run(const QString& program, const QStringList& arguments) {
  QProcess p;
  p.start(program, arguments);
  p.waitForFinished(5000);
  return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString Id(WId id) {
  return QStringLiteral("0x") + QString::number(quint64(id), 16);
}

// The states the window manager has set on a window (_NET_WM_STATE).
QStringList States(QWidget* w) {
  const QString out =
      Run(QStringLiteral("xprop"), {QStringLiteral("-id"), Id(w->winId()), QStringLiteral("_NET_WM_STATE")});
  const int eq = out.indexOf(QLatin1Char('='));
  if (eq < 0) return {};
  QStringList states;
  for (const QString& s : out.mid(eq + 1).split(QLatin1Char(','), Qt::SkipEmptyParts)) states << s.trimmed();
  return states;
}

bool Above(QWidget* w) {
  return States(w).contains(QStringLiteral("_NET_WM_STATE_ABOVE"));
}

// The outer rectangle of a window's frame as the window manager placed it.
QRect Frame(QWidget* w) {
  const QString info = Run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), Id(w->winId())});
  auto number = [&info](const char* label) {
    const QRegularExpression re(QLatin1String(label) + QStringLiteral(":\\s*(-?\\d+)"));
    return re.match(info).captured(1).toInt();
  };
  const QString extents = Run(QStringLiteral("xprop"),
                              {QStringLiteral("-id"), Id(w->winId()), QStringLiteral("_NET_FRAME_EXTENTS")});
  const QRegularExpression four(QStringLiteral("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)"));
  const auto m = four.match(extents);
  const int left = m.captured(1).toInt(), right = m.captured(2).toInt(), top = m.captured(3).toInt(),
            bottom = m.captured(4).toInt();
  return QRect(number("Absolute upper-left X") - left, number("Absolute upper-left Y") - top,
               number("Width") + left + right, number("Height") + top + bottom);
}

// The window manager's stacking order of the program's windows, bottom first.
QList<quint64> Stacking() {
  const QString out =
      Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_CLIENT_LIST_STACKING")});
  QList<quint64> ids;
  const QRegularExpression hex(QStringLiteral("0x[0-9a-fA-F]+"));
  for (auto it = hex.globalMatch(out.mid(out.indexOf(QLatin1Char('#')))); it.hasNext();)
    ids << it.next().captured(0).mid(2).toULongLong(nullptr, 16);
  return ids;
}

// The X window the window manager stacks for a top-level widget (its own).
bool StackedAbove(QWidget* upper, QWidget* lower) {
  const QList<quint64> order = Stacking();
  const qsizetype u = order.indexOf(quint64(upper->winId()));
  const qsizetype l = order.indexOf(quint64(lower->winId()));
  return u >= 0 && l >= 0 && u > l;
}

// Lets the window manager catch up.
void Settle(int ms = 400) {
  QTest::qWait(ms);
}

}  // namespace

class TestDesktopWm : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> main;
  std::unique_ptr<TDiagramm> diagramm;
  std::unique_ptr<TSettForm> sett;
  std::unique_ptr<TFormCzaczy> czaczy;
  std::unique_ptr<TUsin> usin;
  std::unique_ptr<Tlegenda> legenda;
  std::unique_ptr<TFormVenvan> venvan;

  void start() {
    main = std::make_unique<TFormKalynth>();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    diagramm = std::make_unique<TDiagramm>(main.get(), main->controls().Table1, main->programFolder());
    sett = std::make_unique<TSettForm>(main.get(), main.get());
    czaczy = std::make_unique<TFormCzaczy>(main.get(), main->controls().Chza1, main->timeSettings(),
                                           [this](astro::TDateTime t) { main->SetLunarDate(t); });
    usin = std::make_unique<TUsin>(main.get(), main->controls().DiagUsin, main->programFolder());
    legenda = std::make_unique<Tlegenda>(main.get(), main->controls().StvilyVetvi, main->programFolder());
    venvan = std::make_unique<TFormVenvan>(main.get(), main->controls().VenVan, main->programFolder());
    ui::ProgramWindows windows;
    windows.settings = sett.get();
    windows.calendar = czaczy.get();
    windows.diagramm = diagramm.get();
    windows.legenda = legenda.get();
    windows.venvan = venvan.get();
    windows.usin = usin.get();
    ui::HandOver(main.get(), sett.get(), windows);
    for (QWidget* w : tools())
      if (w->isVisible()) QVERIFY(QTest::qWaitForWindowExposed(w));
    Settle();
  }
  void stop() {
    if (main) main->close();
    venvan.reset();
    legenda.reset();
    usin.reset();
    czaczy.reset();
    sett.reset();
    diagramm.reset();
    main.reset();
  }
  QList<ui::TToolWindow*> tools() const {
    return {diagramm.get(), czaczy.get(), usin.get(), legenda.get(), venvan.get()};
  }
  std::optional<QString> stored(const char* name) {
    return ui::SettingsStore().rawText(QStringLiteral("Form"), QString::fromLatin1(name));
  }

  // Runs open() (which shows a modal dialog and waits for it); once the
  // dialog is on the desktop, inspect(dialog) runs and the dialog is closed.
  void whileModal(const std::function<void()>& open, const std::function<void(QWidget*)>& inspect) {
    bool inspected = false;
    QTimer poll;
    poll.setInterval(50);
    connect(&poll, &QTimer::timeout, this, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || inspected || !modal->isVisible() || !modal->windowHandle() ||
          !modal->windowHandle()->isExposed())
        return;
      inspected = true;
      poll.stop();
      Settle();
      inspect(modal);
      if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
      else
        modal->close();
    });
    poll.start();
    open();
    QVERIFY(inspected);
  }

 private slots:
  void initTestCase() {
    if (qEnvironmentVariableIsSet("KALYNTH_DESKTOP_MISSING"))
      QSKIP(qPrintable(QStringLiteral("no desktop with a window manager: ") +
                       qEnvironmentVariable("KALYNTH_DESKTOP_MISSING")));
    if (QGuiApplication::platformName() != QLatin1String("xcb")) QSKIP("needs an X11 desktop (xcb)");
    if (!Run(QStringLiteral("xprop"), {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
             .contains(QLatin1String("window id")))
      QSKIP("no window manager runs on this display");
  }
  void init() { ui::test::PutFakePlatform(fake, scoped); }
  void cleanup() {
    stop();
    QVERIFY2(fake->prompts.isEmpty(), qPrintable(fake->promptTexts().join(QStringLiteral(" | "))));
    ui::test::TakeFakePlatform(fake, scoped);
  }

  // OK in "Установки" without a change, several times in a row: every tool
  // window keeps its frame where the window manager put it and its state
  // "above"; at the end the store gets the real frame positions.
  void settingsOkKeepsFramesAndAbove() {
    ui::test::WriteSettings(
        "[Form]\nDiagShow=1\nUsinShow=1\nFormVenvanShow=1\nLegendaShow=1\nCzaczyShow=1\n"
        "DiagLeft=0\nDiagTop=0\nUsinLeft=700\nUsinTop=500\nlegendaLeft=960\nlegendaTop=40\n");
    start();
    QHash<QWidget*, QRect> frames;
    for (QWidget* w : tools()) {
      QVERIFY2(w->isVisible(), qPrintable(w->windowTitle()));
      QTRY_VERIFY2(Above(w), qPrintable(w->windowTitle()));
      frames[w] = Frame(w);
    }
    QCOMPARE(frames[diagramm.get()].topLeft(), QPoint(0, 0));
    for (int round = 1; round <= 3; ++round) {
      sett->show();
      QVERIFY(QTest::qWaitForWindowExposed(sett.get()));
      sett->BitBtn1->click();
      QVERIFY(!sett->isVisible());
      Settle();
      for (QWidget* w : tools()) {
        const QString what = QStringLiteral("%1, OK number %2").arg(w->windowTitle()).arg(round);
        QVERIFY2(w->isVisible(), qPrintable(what));
        QTRY_VERIFY2(Above(w), qPrintable(what));
        QCOMPARE(Frame(w), frames[w]);
      }
    }
    // Unticked the frame stays and "above" goes; ticked again it comes back.
    sett->show();
    sett->CheckCall->setChecked(false);
    sett->BitBtn1->click();
    Settle();
    QTRY_VERIFY(!Above(czaczy.get()));
    QCOMPARE(Frame(czaczy.get()), frames[czaczy.get()]);
    sett->show();
    sett->CheckCall->setChecked(true);
    sett->BitBtn1->click();
    Settle();
    QTRY_VERIFY(Above(czaczy.get()));
    QCOMPARE(Frame(czaczy.get()), frames[czaczy.get()]);

    const QRect diag = frames[diagramm.get()], usinFrame = frames[usin.get()];
    stop();
    QCOMPARE(stored("DiagLeft"), std::optional<QString>(QString::number(diag.left())));
    QCOMPARE(stored("DiagTop"), std::optional<QString>(QString::number(diag.top())));
    QCOMPARE(stored("UsinLeft"), std::optional<QString>(QString::number(usinFrame.left())));
    QCOMPARE(stored("UsinTop"), std::optional<QString>(QString::number(usinFrame.top())));
  }

  // The program's modal dialogs stand above the stay-on-top calendar (which
  // waits in the ordinary level meanwhile) and the calendar is above again
  // once they are closed: a prompt, the save dialog, the open dialog and
  // the settings dialog.
  void modalDialogsAboveTheCalendar_data() {
    QTest::addColumn<int>("which");
    QTest::newRow("save prompt") << 0;
    QTest::newRow("Save As dialog") << 1;
    QTest::newRow("Open dialog") << 2;
    QTest::newRow("Установки") << 3;
    QTest::newRow("error box") << 4;
  }
  void modalDialogsAboveTheCalendar() {
    QFETCH(int, which);
    // The calendar right over the middle of the screen, where dialogs open.
    ui::test::WriteSettings("[Form]\nCzaczyShow=1\nCzaczyLeft=540\nCzaczyTop=330\n");
    scoped.reset();  // the real boxes and dialogs
    start();
    QTRY_VERIFY(Above(czaczy.get()));
    ui::Platform real;
    bool dialogAbove = false, calendarAboveMeanwhile = true;
    whileModal(
        [&] {
          switch (which) {
            case 0:
              real.warningYesNoCancel(main.get(), QStringLiteral("Сохранить изменения в файле «без имени»?"));
              break;
            case 1: {
              ui::FileDialogRequest request;
              request.directory = QDir::tempPath();
              request.fileName = QStringLiteral("Untitle1");
              request.filter = QStringLiteral("Kalynth files (*.kly)");
              request.defaultSuffix = QStringLiteral("kly");
              real.saveFileName(main.get(), request);
            } break;
            case 2: {
              ui::FileDialogRequest request;
              request.directory = QDir::tempPath();
              request.filter = QStringLiteral("Kalynth files (*.kly)");
              real.openFileName(main.get(), request);
            } break;
            case 3:
              main->controls().N6->trigger();
              break;
            default:
              real.error(nullptr, QStringLiteral("Cannot open file /nowhere/diag1.bmp"));
          }
        },
        [&](QWidget* dialog) {
          dialogAbove = StackedAbove(dialog, czaczy.get());
          calendarAboveMeanwhile = Above(czaczy.get());
        });
    QVERIFY2(dialogAbove, "the dialog is hidden behind the calendar");
    QVERIFY(!calendarAboveMeanwhile);
    QTRY_VERIFY(Above(czaczy.get()));
    QVERIFY(czaczy->StaysOnTop());
    scoped = std::make_unique<ui::ScopedPlatform>(fake.get());
  }

  // A message box is as wide as its caption needs beside the frame's
  // buttons: the title bar shows "Подтверждение" whole.
  void promptCaptionsWhole() {
    scoped.reset();
    start();
    ui::Platform real;
    QRect frame;
    QString title;
    whileModal([&] { real.confirmYesNo(main.get(), QStringLiteral("Прервать гадание?")); },
               [&](QWidget* box) {
                 frame = Frame(box);
                 title = box->windowTitle();
               });
    QCOMPARE(title, QStringLiteral("Подтверждение"));
    QFont bold = QApplication::font();
    bold.setBold(true);
    // The caption, the window's icon and three buttons with their margins.
    QVERIFY2(frame.width() >= QFontMetrics(bold).horizontalAdvance(title) + 120,
             qPrintable(QString::number(frame.width())));
    scoped = std::make_unique<ui::ScopedPlatform>(fake.get());
  }

  // A record opened from the journal is shown: the main window comes in
  // front of the journal and is the active window.
  void openFromTheJournalBringsTheMainWindowForward() {
    QTemporaryDir folder;
    start();
    for (int n = 1; n <= 6; ++n) main->LineEdit(n)->setText(QStringLiteral("544"));
    main->Button1Click();
    const QString path = folder.filePath(QStringLiteral("вопрос.kly"));
    fake->saveNames = {path};
    main->Saveas1Click();
    QVERIFY(QFileInfo::exists(path));
    main->ClearBtnClick();
    main->Journal1Click();
    TFormJournal* journal = main->controls().FormJournal;
    QVERIFY(journal);
    QVERIFY(QTest::qWaitForWindowExposed(journal));
    journal->SetFolder(folder.path());
    QTRY_VERIFY(!journal->isBusy() && journal->proxy()->rowCount() == 1);
    // The journal covers the main window, as when the user works in it.
    journal->move(main->pos());
    journal->raise();
    journal->activateWindow();
    QTRY_VERIFY(QApplication::activeWindow() == journal);
    QTRY_VERIFY(StackedAbove(journal, main.get()));
    journal->OpenRow(journal->proxy()->index(0, 0));
    QTRY_COMPARE(main->currentFileName(), QFileInfo(path).absoluteFilePath());
    QTRY_VERIFY(QApplication::activeWindow() == main.get());
    QTRY_VERIFY(StackedAbove(main.get(), journal));
    QVERIFY(journal->isVisible());  // the journal stays open behind it
  }

  // The main window has a fixed width: a maximise request of the window
  // manager leaves it as it was.
  void noMaximising() {
    start();
    const QRect frame = Frame(main.get());
    const int expanded = main->expandedHeight();
    main->windowHandle()->showMaximized();
    Settle(800);
    QTRY_VERIFY(!(main->windowState() & Qt::WindowMaximized));
    QTRY_VERIFY(!States(main.get()).contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT")));
    QTRY_COMPARE(Frame(main.get()), frame);
    QCOMPARE(main->width(), int(TFormKalynth::FormWidth));
    // The screen-high moment does not become the comments' height.
    QCOMPARE(main->expandedHeight(), expanded);
  }

  // A first start: the four pictures, when shown, stand beside each other on
  // the screen, none covering another.
  void firstStartPicturesBesideEachOther() {
    start();
    QList<QRect> frames;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (TPictureWindow* w :
         {static_cast<TPictureWindow*>(diagramm.get()), static_cast<TPictureWindow*>(legenda.get()),
          static_cast<TPictureWindow*>(venvan.get()), static_cast<TPictureWindow*>(usin.get())}) {
      w->MenuItem()->trigger();
      QVERIFY(QTest::qWaitForWindowExposed(w));
      Settle();
      const QRect f = Frame(w);
      QVERIFY2(screen.contains(f), qPrintable(w->windowTitle()));
      for (const QRect& other : frames) QVERIFY2(!other.intersects(f), qPrintable(w->windowTitle()));
      frames << f;
    }
    QCOMPARE(frames.first().topLeft(), screen.topLeft());
  }
};

KALYNTH_TEST_MAIN(TestDesktopWm)
#include "tst_desktopwm.moc"
