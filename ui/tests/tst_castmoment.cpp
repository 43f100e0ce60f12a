// A casting from the date minutes from a change of the lunar date: the
// main window says so under the date and what the other side would have
// given; the cast itself is unchanged, the record keeps the warning, and a
// date chosen by hand or a window of 0 minutes warns of nothing.
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QToolButton>
#include <memory>

#include "core/boundary.h"
#include "records/record.h"
#include "ui/kalynth.h"
#include "ui/sett.h"
#include "ui/tests/TestSupport.h"

using ui::test::FakePlatform;

class TestCastMoment : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> w;
  QTemporaryDir dir;

  // The main window of a first start at `clock` (Moscow time, the zone
  // taken from the desktop, no correction).
  void createAt(const QDateTime& clock) {
    fake->clock = clock;
    w = std::make_unique<TFormKalynth>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  QLabel* warning() const { return w->controls().LabelBoundary; }

 private slots:
  void init() { ui::test::PutFakePlatform(fake, scoped); }
  void cleanup() {
    w.reset();
    ui::test::TakeFakePlatform(fake, scoped);
  }

  void warnsNearAChangeOfTheDate_data() {
    QTest::addColumn<QTime>("clock");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<QString>("says");  // empty: no warning
    // 2024-02-10 is the lunar new year's day; the next day begins at 23:00.
    QTest::newRow("2 min before 23:00") << QTime(22, 58) << 5 << "До смены лунного дня 2 мин";
    QTest::newRow("1 min after 23:00") << QTime(23, 1) << 5 << "После смены лунного дня прошло 1 мин";
    QTest::newRow("before a double hour") << QTime(20, 57, 30) << 5 << "До смены двойного часа";
    QTest::newRow("mid double hour") << QTime(22, 0) << 5 << "";
    QTest::newRow("window of 0") << QTime(22, 58) << 0 << "";
    QTest::newRow("wide window") << QTime(22, 0) << 61 << "После смены двойного часа прошло 60 мин";
  }
  void warnsNearAChangeOfTheDate() {
    QFETCH(QTime, clock);
    QFETCH(int, minutes);
    QFETCH(QString, says);
    ui::test::WriteSettings("[Set]\nBoundaryMinutes=" + QByteArray::number(minutes) + "\n");
    createAt(QDateTime(QDate(2024, 2, 10), clock));
    const core::DateSelection lists = w->Model().date();
    w->controls().ToolButton2->click();
    QVERIFY(w->Model().fromDate());
    QCOMPARE(w->Model().date(), lists);  // the cast follows the lists as they are
    const std::vector<core::BoundaryWarning> expected =
        core::BoundaryWarnings(ui::DayValueOf(fake->clock), w->timeSettings(), minutes);
    QCOMPARE(expected.empty(), says.isEmpty());
    QCOMPARE(!warning()->isHidden(), !says.isEmpty());
    if (says.isEmpty()) return;
    const QString line = QString::fromStdString(core::BoundaryWarningsLine(expected));
    QCOMPARE(warning()->toolTip(), line);
    QVERIFY2(line.startsWith(says), qPrintable(line));
    QVERIFY(line.contains(QStringLiteral("по ту сторону гуа")));
    QCOMPARE(QString::fromStdString(w->Model().context()->boundary), line);

    // The record keeps it; opened again, the window shows it again.
    const QString path = dir.filePath(QStringLiteral("near.kly"));
    fake->saveNames.push_back(path);
    w->controls().Saveas1->trigger();
    QCOMPARE(QString::fromStdString(records::ReadRecordFile(path)->context->boundary), line);
    w->controls().ClearBtn->click();
    QVERIFY(warning()->isHidden());
    w->OpenMyDropOrClickFile(path);
    QVERIFY(!warning()->isHidden());
    QCOMPARE(warning()->toolTip(), line);
  }

  // A date chosen by hand belongs to no moment: nothing to warn of.
  void dateChosenByHandWarnsOfNothing() {
    createAt(QDateTime(QDate(2024, 2, 10), QTime(22, 58)));
    QComboBox* day = w->controls().Day;
    day->setCurrentIndex((day->currentIndex() + 1) % day->count());
    w->GodComboChange();  // what choosing in the list runs
    w->controls().ToolButton2->click();
    QVERIFY(w->Model().fromDate());
    QVERIFY(warning()->isHidden());
    QCOMPARE(w->Model().context()->boundary, std::string());
  }

  // The settings dialog sets the minutes and keeps them.
  void settingsDialogSetsTheMinutes() {
    createAt(QDateTime(QDate(2024, 2, 10), QTime(12, 0)));
    TSettForm sett(w.get());
    QCOMPARE(w->boundaryMinutes(), core::DefaultBoundaryMinutes);
    sett.FormShow();
    QCOMPARE(sett.BoundaryMinutes->value(), core::DefaultBoundaryMinutes);
    sett.BoundaryMinutes->setValue(0);
    QCOMPARE(sett.BoundaryMinutes->text(), QStringLiteral("не предупреждать"));
    sett.BitBtn1Click();
    QCOMPARE(w->boundaryMinutes(), 0);
    QCOMPARE(ui::SettingsStore().read(ui::settings::SetBoundaryMinutes), 0);
  }
};

KALYNTH_TEST_MAIN(TestCastMoment)
#include "tst_castmoment.moc"
