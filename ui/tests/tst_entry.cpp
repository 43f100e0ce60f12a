// "Готовое гадание": a cast made away from the computer, entered from its
// line values or its hexagram and changing lines, reaches the main window
// as typed codes and ">>" would; a bad entry says where and changes nothing.
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <memory>

#include "core/coins.h"
#include "core/yarrow.h"
#include "ui/coins.h"
#include "ui/entry.h"
#include "ui/kalynth.h"
#include "ui/tests/TestSupport.h"

using ui::test::FakePlatform;

class TestEntry : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> w;

  QStringList fields() const {
    QStringList t;
    for (int n = 1; n <= 6; ++n) t << w->LineEdit(n)->text();
    return t;
  }
  TFormEntry* open() {
    w->controls().Entry1->trigger();
    TFormEntry* e = w->controls().FormEntry;
    if (e && !QTest::qWaitForWindowExposed(e)) return nullptr;
    return e;
  }

 private slots:
  void init() {
    ui::test::PutFakePlatform(fake, scoped);
    core::ProgramRandom().setState(0);
    w = std::make_unique<TFormKalynth>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void cleanup() {
    w.reset();
    ui::test::TakeFakePlatform(fake, scoped);
  }

  void linesReachTheWindow_data() {
    QTest::addColumn<QString>("values");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<int>("primary");
    QTest::newRow("no change") << "777777" << QStringList{"588", "588", "588", "588", "588", "588"} << 1;
    QTest::newRow("two changing") << " 789698 " << QStringList{"588", "548", "544", "988", "544", "548"} << 0;
  }
  void linesReachTheWindow() {
    QFETCH(QString, values);
    QFETCH(QStringList, codes);
    QFETCH(int, primary);
    TFormEntry* e = open();
    QVERIFY(e && e->isVisible());
    QVERIFY(!e->OkButton->isEnabled());
    QTest::keyClicks(e->ValuesEdit, values);
    QVERIFY(e->OkButton->isEnabled());
    QVERIFY(e->ResultLabel->text().contains(QStringLiteral("числа черт: ") + codes.join(u' ')));
    e->OkButton->click();
    QVERIFY(!e->isVisible());
    QCOMPARE(fields(), codes);
    QVERIFY(w->Model().numbers().has_value());
    if (primary) QCOMPARE(w->Model().numbers()->primary, primary);
    QCOMPARE(w->Model().method(), core::CastMethod::Codes);
    QVERIFY(w->Model().context().has_value());
    QVERIFY(w->PrimaryFigureShown());
  }

  // Hexagram 11 with lines 3 and 5 changing.
  void hexagramAndChangingLines() {
    TFormEntry* e = open();
    e->HexagramBox->setValue(11);
    e->LineBoxes[2]->setChecked(true);
    e->LineBoxes[4]->setChecked(true);
    QVERIFY(e->ByHexagram->isChecked());
    QVERIFY(e->ResultLabel->text().startsWith(QStringLiteral("Гуа 11 ")));
    e->OkButton->click();
    QCOMPARE(fields(), (QStringList{"588", "588", "544", "548", "988", "548"}));
    QCOMPARE(w->Model().numbers()->primary, 11);
    QCOMPARE(w->Model().ChangingLines(), (std::vector<int>{3, 5}));
  }

  // A bad entry names its character and position; OK does nothing.
  void badEntryChangesNothing() {
    const QStringList before = fields();
    TFormEntry* e = open();
    QTest::keyClicks(e->ValuesEdit, QStringLiteral("78959"));
    QVERIFY(!e->OkButton->isEnabled());
    QTest::keyClicks(e->ValuesEdit, QStringLiteral("8"));
    QVERIFY(!e->OkButton->isEnabled());
    QVERIFY2(e->ResultLabel->text().contains(QStringLiteral("4")) && e->ResultLabel->text().contains(u'5'),
             qPrintable(e->ResultLabel->text()));
    e->OkButtonClick();
    QVERIFY(e->isVisible());
    QCOMPARE(fields(), before);
    QVERIFY(!w->Model().numbers().has_value());
    e->CancelButton->click();
    QCOMPARE(fields(), before);
  }

  // Three coins: six throws from the source, each shown as it fell; the
  // cast is the codes of their values, counted as made with coins; the
  // dialog is modal, so the window waits meanwhile.
  void threeCoins() {
    w->SetCoinSource(core::SeededCoins(7));
    w->controls().Coins1->trigger();
    TFormCoins* d = w->controls().FormCoins;
    QVERIFY(d && QTest::qWaitForWindowExposed(d));
    QVERIFY(d->isModal());
    QVERIFY(!d->OkButton->isEnabled());
    for (int i = 0; i < 6; ++i) {
      QVERIFY(d->ThrowButton->isEnabled());
      d->ThrowButton->click();
    }
    QVERIFY(!d->ThrowButton->isEnabled());
    // The same seed throws the same six.
    const core::CoinSource again = core::SeededCoins(7);
    QStringList codes;
    for (int line = 1; line <= 6; ++line) {
      const core::CoinThrow t = core::ThrowCoins(again);
      QCOMPARE(d->Throws()[std::size_t(line - 1)].heads, t.heads);
      QVERIFY(d->LineLabels[std::size_t(line - 1)]->text().startsWith(QString::fromStdString(t.text())));
      codes << QString::fromLatin1(t.code().data(), qsizetype(t.code().size()));
    }
    d->OkButton->click();
    QCOMPARE(fields(), codes);
    QCOMPARE(w->Model().method(), core::CastMethod::Coins);
    QCOMPARE(w->Model().context()->method, core::CastMethod::Coins);
    QVERIFY(w->Model().numbers().has_value());
  }

  // Cancelled, the coins change nothing.
  void coinsCancelledChangeNothing() {
    const QStringList before = fields();
    w->SetCoinSource(core::SeededCoins(1));
    w->controls().Coins1->trigger();
    TFormCoins* d = w->controls().FormCoins;
    QVERIFY(d != nullptr);
    d->ThrowButton->click();
    d->CancelButton->click();
    QCOMPARE(fields(), before);
    QVERIFY(!w->Model().numbers().has_value());
  }

  // While the stalks are divided the entry waits, as the other ways do.
  void lockedDuringTheYarrowProcedure() {
    QVERIFY(w->controls().Entry1->isEnabled());
    w->controls().ToolButton1->click();
    QVERIFY(w->Model().yarrowActive());
    QVERIFY(!w->controls().Entry1->isEnabled());
    QVERIFY(!w->controls().Coins1->isEnabled());
  }
};

KALYNTH_TEST_MAIN(TestEntry)
#include "tst_entry.moc"
