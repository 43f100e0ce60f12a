// Window placement from stored values, on two screens side by side (the
// offscreen platform's screen configuration, two_screens.json): a primary
// 1024x768 at (0,0) and a second 1280x1024 at (1024,0).
//
// Expected places come from that layout: a window is kept where it was
// while its caption strip (40x20 at its top left, or the whole window when
// smaller) lies on a screen; otherwise it goes to its default place.
#include <QScreen>
#include <QTemporaryDir>
#include <climits>
#include <memory>

#include "settings/SettingsStore.h"
#include "ui/Placement.h"
#include "ui/journal.h"
#include "ui/kalynth.h"
#include "ui/tests/TestSupport.h"

class TestPlacement : public QObject {
  Q_OBJECT

  const QSize mainSize{479, 331};
  // The main window's default place, centred on the primary screen:
  // (1024 div 2 - 479 div 2, 768 div 2 - 331 div 2).
  const QPoint fallback{273, 219};

 private slots:
  void initTestCase() {
    if (QGuiApplication::screens().size() != 2)
      QSKIP(
          "the offscreen platform did not take two_screens.json (needs "
          "QT_QPA_PLATFORM=offscreen:configfile=...)");
    QCOMPARE(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1024, 768));
  }

  void position_data() {
    QTest::addColumn<QPoint>("stored");
    QTest::addColumn<QPoint>("placed");
    QTest::newRow("on the primary screen") << QPoint(10, 20) << QPoint(10, 20);
    QTest::newRow("on the second screen") << QPoint(1500, 300) << QPoint(1500, 300);
    QTest::newRow("below the primary, on the taller second") << QPoint(1100, 900) << QPoint(1100, 900);
    QTest::newRow("mostly left of the screens, strip still on") << QPoint(-430, 50) << QPoint(-430, 50);
    QTest::newRow("strip just off the left edge") << QPoint(-440, 50) << QPoint(273, 219);
    QTest::newRow("below the primary screen only") << QPoint(100, 760) << QPoint(273, 219);
    QTest::newRow("right of both screens") << QPoint(2304, 10) << QPoint(273, 219);
    QTest::newRow("-5000, -5000") << QPoint(-5000, -5000) << QPoint(273, 219);
    QTest::newRow("100000, 100000") << QPoint(100000, 100000) << QPoint(273, 219);
    QTest::newRow("largest int") << QPoint(INT_MAX, INT_MAX) << QPoint(273, 219);
    QTest::newRow("smallest int") << QPoint(INT_MIN, INT_MIN) << QPoint(273, 219);
  }
  void position() {
    QFETCH(QPoint, stored);
    QFETCH(QPoint, placed);
    QCOMPARE(ui::ReachablePosition(stored, mainSize, fallback), placed);
  }

  // A default place itself off the screens is pulled onto the primary one.
  void fallbackOffTheScreensIsPulledIn() {
    QCOMPARE(ui::ReachablePosition(QPoint(-5000, 0), mainSize, QPoint(-600, 900)), QPoint(0, 768 - 331));
    QCOMPARE(ui::ReachablePosition(QPoint(INT_MIN, 0), QSize(2000, 2000), QPoint(INT_MAX, INT_MAX)),
             QPoint(0, 0));
  }

  // First-start places of a family of windows: side by side, Gap apart,
  // a new row below the tallest of the row before when the next does not
  // fit; one wider than the area starts its own row at the left edge.
  void besideEachOther_data() {
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QList<QPoint>>("places");
    const QList<QSize> four = {{295, 339}, {306, 407}, {331, 350}, {204, 220}};
    QTest::newRow("wide screen: one row")
        << four << QRect(0, 0, 1280, 900) << QList<QPoint>{{0, 0}, {303, 0}, {617, 0}, {956, 0}};
    QTest::newRow("1024: the last in a second row")
        << four << QRect(0, 0, 1024, 768) << QList<QPoint>{{0, 0}, {303, 0}, {617, 0}, {0, 415}};
    QTest::newRow("panel on the left")
        << four << QRect(40, 24, 800, 600) << QList<QPoint>{{40, 24}, {343, 24}, {40, 439}, {379, 439}};
    QTest::newRow("wider than the area") << QList<QSize>{{100, 50}, {900, 60}, {100, 50}}
                                         << QRect(0, 0, 800, 600) << QList<QPoint>{{0, 0}, {0, 58}, {0, 126}};
  }
  void besideEachOther() {
    QFETCH(QList<QSize>, sizes);
    QFETCH(QRect, area);
    QFETCH(QList<QPoint>, places);
    for (int i = 0; i < sizes.size(); ++i) QCOMPARE(ui::BesideEachOther(sizes, i, area), places[i]);
  }

  void height_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("height");
    QTest::newRow("fits") << 500 << 500;
    QTest::newRow("as tall as the primary screen") << 768 << 768;
    QTest::newRow("taller") << 769 << 768;
    QTest::newRow("100000") << 100000 << 768;
    QTest::newRow("largest int") << INT_MAX << 768;
    QTest::newRow("below the minimum") << 200 << 331;
    QTest::newRow("smallest int") << INT_MIN << 331;
  }
  void height() {
    QFETCH(int, stored);
    QFETCH(int, height);
    QCOMPARE(ui::ReachableHeight(stored, 331), height);
  }

  void width_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("width");
    QTest::newRow("fits") << 900 << 900;
    QTest::newRow("as wide as the primary screen") << 1024 << 1024;
    QTest::newRow("wider") << 1025 << 1024;
    QTest::newRow("largest int") << INT_MAX << 1024;
    QTest::newRow("below the minimum") << 100 << 480;
    QTest::newRow("smallest int") << INT_MIN << 480;
  }
  void width() {
    QFETCH(int, stored);
    QFETCH(int, width);
    QCOMPARE(ui::ReachableWidth(stored, 480), width);
  }

  // The journal takes no more than the primary screen and writes back what it took.
  void journalWindow_data() {
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QSize>("size");
    QTest::newRow("largest int") << QByteArray("JournalWidth=2147483647\nJournalHeight=2147483647\n")
                                 << QSize(1024, 768);
    QTest::newRow("smallest int") << QByteArray("JournalWidth=-2147483648\nJournalHeight=-2147483648\n")
                                  << QSize(480, 300);
    QTest::newRow("fits") << QByteArray("JournalWidth=900\nJournalHeight=500\n") << QSize(900, 500);
  }
  void journalWindow() {
    QFETCH(QByteArray, form);
    QFETCH(QSize, size);
    const QTemporaryDir folder;
    ui::test::WriteSettings("[Form]\n" + form + "[Set]\nJournalFolder=" + QFile::encodeName(folder.path()) +
                            "\n");
    QSize shown;
    {
      TFormJournal journal([](const QString&) {});
      QCOMPARE(journal.size(), size);
      journal.show();
      QTRY_VERIFY(!journal.isBusy());
      shown = journal.size();  // its controls may need more than the least size
      QVERIFY(shown.width() <= 1024 && shown.height() <= 768);
      journal.hide();
    }
    QCOMPARE(ui::SettingsStore().read(ui::settings::FormJournalWidth), shown.width());
    QCOMPARE(ui::SettingsStore().read(ui::settings::FormJournalHeight), shown.height());
  }

  // The main window applies it to what the settings store holds.
  void mainWindow_data() {
    QTest::addColumn<QByteArray>("form");
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("height");
    QTest::newRow("second screen kept")
        << QByteArray("Left=1600\nTop=500\nHeight=600\n") << QPoint(1600, 500) << 600;
    QTest::newRow("off every screen") << QByteArray("Left=-5000\nTop=100000\n") << QPoint(273, 219) << 331;
    QTest::newRow("overflowing values")
        << QByteArray("Left=2147483647\nTop=2147483647\nHeight=2147483647\n") << QPoint(273, 0) << 768;
    QTest::newRow("height 100000") << QByteArray("Left=10\nTop=0\nHeight=100000\n") << QPoint(10, 0) << 768;
  }
  void mainWindow() {
    QFETCH(QByteArray, form);
    QFETCH(QPoint, pos);
    QFETCH(int, height);
    ui::test::WriteSettings("[Form]\n" + form + "HeightIndex=100000\n");
    ui::test::FakePlatform fake;
    ui::ScopedPlatform scoped(&fake);
    TFormKalynth w(QStringList{});
    QCOMPARE(w.pos(), pos);
    QCOMPARE(w.height(), height);
    QCOMPARE(w.expandedHeight(), 768);
  }
};

KALYNTH_TEST_MAIN(TestPlacement)
#include "tst_placement.moc"
