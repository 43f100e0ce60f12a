// The splash window TFormFirst: its look (borderless, white, on top,
// centred, a 159 x 199 picture), the one-shot 3000 ms Timer1, and when it
// closes: at the tick if the main window is visible, otherwise the moment
// the main window shows; never stranded (the main window gone closes it);
// never over a question that start-up asks.
#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "ui/shell/FirstForm.h"

using ui::TFormFirst;

class TestFirstForm : public QObject {
  Q_OBJECT

 private slots:
  void looksAsDesigned() {
    TFormFirst splash;
    QCOMPARE(splash.objectName(), QStringLiteral("FormFirst"));
    splash.showAndPaint();
    QVERIFY(splash.isVisible());
    QCOMPARE(splash.size(), QSize(159, 199));
    const Qt::WindowFlags flags = splash.windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(splash.geometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
    QVERIFY(!splash.testAttribute(Qt::WA_QuitOnClose));

    // The picture fills the window: white ground at the corners, ink in
    // the middle (the hexagram).
    const QImage shot = splash.grab().toImage();
    QCOMPARE(shot.size(), QSize(159, 199));
    QCOMPARE(QColor(shot.pixel(0, 0)), QColor(Qt::white));
    QCOMPARE(QColor(shot.pixel(158, 198)), QColor(Qt::white));
    QVERIFY(QColor(shot.pixel(79, 106)) != QColor(Qt::white));
    QCOMPARE(shot, QImage(QStringLiteral(":/shell/splash.png")).convertToFormat(shot.format()));
  }

  void timerIsOneShotOfThreeSecondsFromCreation() {
    TFormFirst splash;
    QVERIFY(splash.Timer1.isActive());
    QVERIFY(splash.Timer1.isSingleShot());
    QCOMPARE(splash.Timer1.interval(), 3000);
    QVERIFY(splash.Timer1.remainingTime() > 2500);
  }

  // Main window visible at the tick: the splash closes then, not before.
  void tickWithMainWindowVisibleCloses() {
    TFormFirst splash;
    splash.showAndPaint();
    QWidget mainWindow;
    splash.setMainWindow(&mainWindow);
    mainWindow.show();
    QTest::qWait(50);
    QVERIFY(splash.isVisible());  // shown main window alone does not end it

    QSignalSpy closed(&splash, &TFormFirst::closed);
    splash.Timer1Timer();
    QVERIFY(!splash.isVisible());
    QVERIFY(!splash.Timer1.isActive());
    QCOMPARE(closed.count(), 1);
  }

  // Main window not yet visible at the tick: the splash waits for it and
  // closes the moment it shows.
  void tickBeforeMainWindowShowsWaitsForIt() {
    TFormFirst splash;
    splash.showAndPaint();
    QWidget mainWindow;
    splash.setMainWindow(&mainWindow);
    splash.Timer1Timer();
    QVERIFY(splash.isVisible());
    QVERIFY(!splash.Timer1.isActive());  // the timer does not fire again

    mainWindow.show();
    QVERIFY(!splash.isVisible());
  }

  // The tick comes before the main window is even created.
  void tickBeforeMainWindowExists() {
    TFormFirst splash;
    splash.showAndPaint();
    splash.Timer1Timer();
    QVERIFY(splash.isVisible());
    QWidget mainWindow;
    splash.setMainWindow(&mainWindow);
    mainWindow.show();
    QVERIFY(!splash.isVisible());
  }

  void mainWindowGoneClosesTheSplash() {
    TFormFirst splash;
    splash.showAndPaint();
    auto* mainWindow = new QWidget;
    splash.setMainWindow(mainWindow);
    splash.Timer1Timer();
    delete mainWindow;
    QVERIFY(!splash.isVisible());
  }

  // Start-up is held up by a message box (the loop that fires the timer is
  // the dialog's): the always-on-top splash must not cover the question.
  void dialogWaitingAtTheTickClosesTheSplash() {
    TFormFirst splash;
    splash.showAndPaint();
    QWidget mainWindow;
    splash.setMainWindow(&mainWindow);
    splash.Timer1.setInterval(30);
    splash.Timer1.start();
    QDialog question;
    bool splashVisibleAfterTick = true;
    QTimer::singleShot(300, &question, [&] {
      splashVisibleAfterTick = splash.isVisible();
      question.accept();
    });
    question.exec();
    QVERIFY(!splashVisibleAfterTick);
  }

  // A message box during the main window's creation, long before the tick.
  void dialogShownDuringStartUpClosesTheSplash() {
    TFormFirst splash;
    splash.showAndPaint();
    QWidget mainWindow;
    splash.setMainWindow(&mainWindow);
    QDialog message;
    bool splashVisibleWithMessage = true;
    QTimer::singleShot(50, &message, [&] {
      splashVisibleWithMessage = splash.isVisible();
      message.accept();
    });
    message.exec();
    QVERIFY(!splashVisibleWithMessage);
    QVERIFY(splash.Timer1.remainingTime() < 0 || !splash.Timer1.isActive());
    mainWindow.show();
    QVERIFY(!splash.isVisible());
  }

  // A window that is not a question (another window of the program) does
  // not end the splash.
  void modelessWindowLeavesTheSplash() {
    TFormFirst splash;
    splash.showAndPaint();
    QWidget other;
    other.show();
    QVERIFY(splash.isVisible());
  }

  // The real timer, end to end: shown for the whole interval, gone after.
  void realTickClosesAfterTheInterval() {
    TFormFirst splash;
    splash.Timer1.setInterval(200);
    splash.Timer1.start();
    splash.showAndPaint();
    QWidget mainWindow;
    splash.setMainWindow(&mainWindow);
    mainWindow.show();
    QTest::qWait(100);
    QVERIFY(splash.isVisible());
    QTRY_VERIFY(!splash.isVisible());
  }

  void hiddenSplashIsNeverShownAgainByTheMainWindow() {
    TFormFirst splash;
    splash.showAndPaint();
    QWidget mainWindow;
    splash.setMainWindow(&mainWindow);
    mainWindow.show();
    splash.Timer1Timer();
    QVERIFY(!splash.isVisible());
    mainWindow.hide();
    mainWindow.show();
    QVERIFY(!splash.isVisible());
  }
};

QTEST_MAIN(TestFirstForm)
#include "tst_firstform.moc"
