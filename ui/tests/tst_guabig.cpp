// The figure control: properties and their write rules, and the pixels of
// the painted bars, read from a grabbed image over a known background.
#include <QImage>
#include <QTest>

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

QTEST_MAIN(TestGuaBig)
#include "tst_guabig.moc"
