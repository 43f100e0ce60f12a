// The figure control: properties and their write rules, and the pixels of
// the painted bars, read from a grabbed image over a known background.
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "ui/Accessibility.h"
#include "ui/GuaBig.h"

namespace {

const QColor Background(0, 200, 0);  // shows through where nothing is painted

// The figure painted on a green parent, as an image of exactly 50 x 88.
QImage Paint(TGuaBig& figure) {
  QWidget parent;
  parent.setAutoFillBackground(true);
  QPalette pal = parent.palette();
  pal.setColor(QPalette::Window, Background);
  parent.setPalette(pal);
  parent.resize(TGuaBig::FigureWidth, TGuaBig::FigureHeight);
  figure.setParent(&parent);
  figure.move(0, 0);
  figure.show();
  const QImage image = parent.grab().toImage().convertToFormat(QImage::Format_RGB32);
  figure.setParent(nullptr);
  return image;
}

QColor At(const QImage& image, int x, int y) {
  return QColor(image.pixel(x, y));
}

}  // namespace

class TestGuaBig : public QObject {
  Q_OBJECT

 private slots:
  void constructionDefaults() {
    TGuaBig g;
    QCOMPARE(g.size(), QSize(50, 88));
    for (int n = 1; n <= 6; ++n) QVERIFY(g.line(n));
    QCOMPARE(g.NoGua(), 1);
    QCOMPARE(g.JaoNo(), 0);
    QCOMPARE(g.GuaColor(), QColor(Qt::black));
    QCOMPARE(g.JaoColor(), QColor(Qt::red));
    QCOMPARE(g.PenColor(), QColor(Qt::black));
    QCOMPARE(g.focusPolicy(), Qt::NoFocus);
    QVERIFY(g.testAttribute(Qt::WA_TransparentForMouseEvents));
  }

  // Numbers from the King Wen table: six yang 1, line 1 yin 44.
  void lineWriteRecomputesNumber() {
    TGuaBig g;
    g.setGua1(false);
    QCOMPARE(g.NoGua(), 44);
    g.setGua1(true);
    QCOMPARE(g.NoGua(), 1);
    g.setProperty("Gua3", false);  // through the property system, as a form would
    QCOMPARE(g.NoGua(), 10);
    g.setLines({false, false, false, false, false, false});
    QCOMPARE(g.NoGua(), 2);
  }

  void numberWriteLeavesLines() {
    TGuaBig g;
    g.setNoGua(37);
    QCOMPARE(g.NoGua(), 37);
    for (int n = 1; n <= 6; ++n) QVERIFY(g.line(n));
    g.setGua6(true);  // the next line write recomputes
    QCOMPARE(g.NoGua(), 1);
  }

  void jaoNoAboveSixStoresZero() {
    TGuaBig g;
    g.setJaoNo(9);
    QCOMPARE(g.JaoNo(), 0);
    g.setJaoNo(4);
    QCOMPARE(g.JaoNo(), 4);
    g.setJaoNo(7);
    QCOMPARE(g.JaoNo(), 0);
    g.setProperty("JaoNo", 6);
    QCOMPARE(g.JaoNo(), 6);
  }

  // Bands: line n occupies y 80 - 16 (n - 1) .. +8 (exclusive); yang x 0..50,
  // yin 0..20 and 30..50; 8-pixel gaps between bands show the parent.
  void barsInFixedBands() {
    TGuaBig g;
    g.setLines({true, false, true, false, true, false});  // lines 1..6
    const QImage image = Paint(g);
    QCOMPARE(image.size(), QSize(50, 88));
    for (int n = 1; n <= 6; ++n) {
      const int top = 80 - 16 * (n - 1);
      const bool yang = n % 2 == 1;
      for (int y = top; y < top + 8; ++y) {
        for (int x = 0; x < 50; ++x) {
          const bool bar = yang || x < 20 || x >= 30;
          const QColor want = bar ? QColor(Qt::black) : Background;
          if (At(image, x, y) != want)
            QFAIL(qPrintable(QStringLiteral("line %1 pixel (%2,%3)").arg(n).arg(x).arg(y)));
        }
      }
      if (n < 6)
        for (int y = top - 8; y < top; ++y)
          for (int x = 0; x < 50; ++x) QCOMPARE(At(image, x, y), Background);
    }
  }

  // The changing line's bar keeps its black fill inside a one-pixel red
  // outline; no other pixel is red.
  void changingLineOutlined_data() {
    QTest::addColumn<int>("jaoNo");
    QTest::addColumn<bool>("yang");
    QTest::newRow("none") << 0 << true;
    QTest::newRow("line 3 yang") << 3 << true;
    QTest::newRow("line 3 yin") << 3 << false;
    QTest::newRow("line 6 yin") << 6 << false;
    QTest::newRow("line 1 yang") << 1 << true;
  }
  void changingLineOutlined() {
    QFETCH(int, jaoNo);
    QFETCH(bool, yang);
    TGuaBig g;
    for (int n = 1; n <= 6; ++n) g.setLine(n, yang);
    g.setJaoNo(jaoNo);
    const QImage image = Paint(g);
    for (int y = 0; y < 88; ++y) {
      for (int x = 0; x < 50; ++x) {
        const int n = 6 - y / 16;  // line whose band starts at or above y
        const int top = 80 - 16 * (n - 1);
        const bool inBand = y >= top && y < top + 8;
        bool onBar = inBand && (yang || x < 20 || x >= 30);
        const bool outline =
            onBar && (y == top || y == top + 7 || x == 0 || x == 49 || (!yang && (x == 19 || x == 30)));
        QColor want = Background;
        if (onBar) want = (outline && n == jaoNo) ? QColor(Qt::red) : QColor(Qt::black);
        if (At(image, x, y) != want)
          QFAIL(qPrintable(QStringLiteral("pixel (%1,%2) is %3").arg(x).arg(y).arg(At(image, x, y).name())));
      }
    }
  }

  // Nothing scales: a larger control paints the same pixels at the top left.
  void changingLinesMarkedWithoutColour();
  void enterActivates();
  void figureNames_data();
  void figureNames();

  void noScaling() {
    TGuaBig g;
    g.setMinimumSize(0, 0);
    g.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    g.resize(100, 176);
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette pal = parent.palette();
    pal.setColor(QPalette::Window, Background);
    parent.setPalette(pal);
    parent.resize(100, 176);
    g.setParent(&parent);
    g.show();
    const QImage image = parent.grab().toImage();
    QCOMPARE(At(image, 49, 80), QColor(Qt::black));
    QCOMPARE(At(image, 50, 80), Background);
    QCOMPARE(At(image, 10, 88), Background);
    g.setParent(nullptr);
  }
};

// Without colour: with marks shown a changing yang line has a circle of the
// background inside its bar, a changing yin line a cross of the bar colour
// in its gap; without marks, or on other lines, the bars stay as drawn.
void TestGuaBig::changingLinesMarkedWithoutColour() {
  TGuaBig g;
  g.setLine(2, false);  // line 2 yin, line 5 yang
  g.setChangingLines({2, 5});
  const QImage plain = Paint(g);
  QCOMPARE(At(plain, 25, TGuaBig::BandTop(2) + 4), Background);  // the gap, unmarked
  g.setMarksShown(true);
  const QImage marked = Paint(g);
  int crossPixels = 0, ringPixels = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 21; x < 29; ++x) {
      if (At(marked, x, TGuaBig::BandTop(2) + y) == QColor(Qt::black)) ++crossPixels;
      if (At(marked, x, TGuaBig::BandTop(5) + y) == Background) ++ringPixels;
    }
  QVERIFY2(crossPixels >= 8, qPrintable(QString::number(crossPixels)));
  QVERIFY2(ringPixels >= 8, qPrintable(QString::number(ringPixels)));
  // Unchanged lines keep their pixels.
  for (int n : {1, 3, 4, 6})
    for (int x = 0; x < 50; ++x)
      QCOMPARE(At(marked, x, TGuaBig::BandTop(n) + 4), At(plain, x, TGuaBig::BandTop(n) + 4));
}

void TestGuaBig::enterActivates() {
  TGuaBig g;
  QSignalSpy spy(&g, &TGuaBig::activated);
  for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(&g, key);
  QTest::keyClick(&g, Qt::Key_Space);
  QCOMPARE(spy.count(), 2);
}

// The spoken names, written out by hand from the King Wen names.
void TestGuaBig::figureNames_data() {
  QTest::addColumn<int>("figure");
  QTest::addColumn<int>("number");
  QTest::addColumn<QList<int>>("changing");
  QTest::addColumn<QString>("name");
  QTest::newRow("primary, two lines")
      << 0 << 11 << QList<int>{3, 5} << "Основное гуа 11 «Расцвет», меняются черты 3 и 5";
  QTest::newRow("primary, three lines")
      << 0 << 46 << QList<int>{1, 2, 6} << "Основное гуа 46 «Подъём», меняются черты 1, 2 и 6";
  QTest::newRow("primary, one line") << 0 << 1 << QList<int>{4}
                                     << "Основное гуа 1 «Творчество», меняется черта 4";
  QTest::newRow("nuclear") << 1 << 54 << QList<int>{} << "Ядерное гуа 54 «Невеста»";
  QTest::newRow("changed") << 2 << 22 << QList<int>{} << "Изменённое гуа 22 «Убранство»";
  QTest::newRow("no number") << 0 << 0 << QList<int>{} << "";
  QTest::newRow("past 64") << 2 << 65 << QList<int>{} << "";
}

void TestGuaBig::figureNames() {
  QFETCH(int, figure);
  QFETCH(int, number);
  QFETCH(QList<int>, changing);
  QFETCH(QString, name);
  QCOMPARE(ui::FigureName(figure, number, std::vector<int>(changing.begin(), changing.end())), name);
}

QTEST_MAIN(TestGuaBig)
#include "tst_guabig.moc"
