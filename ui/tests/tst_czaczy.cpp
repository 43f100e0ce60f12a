// The calendar window driven like a user drives it, beside the real main
// window: start-up from the settings store, the pickers, ButtonNow and its
// clock, the lunar-calendar box, the menu item and the close box, positions,
// and the program ending with the main window. The clock is a FakePlatform's.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "calendar/StvolyVetvi.h"
#include "calendar/civil.h"
#include "calendar/signs.h"
#include "settings/SettingsStore.h"
#include "ui/CastDays.h"
#include "ui/LunarLists.h"
#include "ui/ProgramWindows.h"
#include "ui/czaczy.h"
#include "ui/kalynth.h"
#include "ui/tests/TestSupport.h"

using ui::test::FakePlatform;

namespace {

QString Reading(std::string_view s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// What one pillar shows: the readings of its two pictures.
QStringList Shown(QLabel* stem, QLabel* branch) {
  return {stem->accessibleName(), branch->accessibleName()};
}

astro::TDateTime DayValue(const QDateTime& t) {
  return calendar::EncodeCivilDateTime({t.date().year(), t.date().month(), t.date().day(), t.time().hour(),
                                        t.time().minute(), t.time().second(), t.time().msec()});
}

}  // namespace

class TestCzaczy : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> main;
  std::unique_ptr<TFormCzaczy> cz;

  void create() {
    main = std::make_unique<TFormKalynth>();
    cz = std::make_unique<TFormCzaczy>(main.get(), main->controls().Chza1, main->timeSettings(),
                                       [this](astro::TDateTime t) { main->SetLunarDate(t); });
    ui::ProgramWindows windows;
    windows.calendar = cz.get();
    main->SetWindows(windows);
  }
  void destroy() {
    cz.reset();
    main.reset();
  }
  // The main window's four date lists, as one comparable value.
  QList<int> lunarLists() const {
    return {main->controls().GodCombo->currentIndex(), main->controls().Mes->currentIndex(),
            main->controls().Day->currentIndex(), main->controls().Chas->currentIndex()};
  }
  QList<int> expectedLists(astro::TDateTime t) const {
    const ui::LunarSelection s = ui::ComputeLunarSelection(t, main->timeSettings());
    return {s.yearNumber - 1, s.month - 1, s.day - 1, s.doubleHour};
  }
  // Puts the main window's lists somewhere no computation puts them now.
  void scrambleLists() {
    for (QComboBox* c :
         {main->controls().GodCombo, main->controls().Mes, main->controls().Day, main->controls().Chas})
      c->setCurrentIndex((c->currentIndex() + 5) % c->count());
  }
  void setPickers(const QDate& d, const QTime& t) {
    cz->DateTimePicker1->setDate(d);
    cz->DateTimePicker2->setTime(t);
  }

 private slots:
  void init() {
    ui::test::PutFakePlatform(fake, scoped);  // clock: 2024-02-10 12:00
  }
  void cleanup() {
    destroy();
    QVERIFY2(fake->prompts.isEmpty(), qPrintable(fake->promptTexts().join(QStringLiteral(" | "))));
    ui::test::TakeFakePlatform(fake, scoped);
  }

  void firstStartShowsTheWindowLeftOfTheMainWindow() {
    create();
    QCOMPARE(cz->windowTitle(), QStringLiteral("Календарь"));
    QVERIFY(cz->isVisible());
    QVERIFY(main->controls().Chza1->isChecked());
    QVERIFY(!cz->CheckMoon->isChecked());
    QVERIFY(cz->StaysOnTop());
    QCOMPARE(cz->windowType(), Qt::Tool);
    // The window's frame is not known before it is first shown: its width is.
    // Left of the main window, or at the screen's left edge when the main
    // window stands too near it (as on the 800-pixel test screen).
    const QRect area = cz->screen()->availableGeometry();
    QCOMPARE(cz->x(), std::max(main->x() - cz->width() - 4, area.left()));
    QCOMPARE(cz->y(), main->y() + 1);
    QVERIFY(area.contains(cz->frameGeometry()));
    QCOMPARE(cz->ButtonNow->text(), QStringLiteral("10.02.2024 12:00:00"));
    QCOMPARE(cz->LabelNow->text(), QStringLiteral("10.02.2024 12:00:00"));
    QCOMPARE(cz->DateTimePicker1->date(), QDate(2024, 2, 10));
    QCOMPARE(cz->DateTimePicker2->time(), QTime(12, 0));
    QCOMPARE(cz->DateTimePicker1->time(), QTime(12, 0));
    QVERIFY(cz->Timer1->isActive());
    QCOMPARE(cz->Timer1->interval(), 1000);
  }

  void theSignsOfAHandWorkedMoment() {
    // 10 February 2024 12:00 in GMT +3 without correction: the year Jia-Chen
    // began on 4 February, the first month Bing-Yin (a Jia year's first
    // month, by the five tigers), the day Jia-Chen (7780 days after the
    // Jia-Zi day 2002-10-23, 7780 = 778 * 10 = 648 * 12 + 4), the hour Wu of
    // a Jia day Geng-Wu; the season "Начало весны" of the term "Становление
    // весны" (4 to 19 February).
    create();
    QCOMPARE(Shown(cz->StvolYahr, cz->VetvYahr), (QStringList{"Цзя", "Чэнь"}));
    QCOMPARE(Shown(cz->StvolMonth, cz->VetvMonth), (QStringList{"Бин", "Инь"}));
    QCOMPARE(Shown(cz->StvolDay, cz->VetvDay), (QStringList{"Цзя", "Чэнь"}));
    QCOMPARE(Shown(cz->StvolChas, cz->VetvChas), (QStringList{"Гэн", "У"}));
    QCOMPARE(cz->BigSeason->text(), QStringLiteral("Начало весны"));
    QCOMPARE(cz->SmolSeason->text(), QStringLiteral("Становление весны"));
    // Tooltips read the same, and the pictures are the signs' own.
    QCOMPARE(cz->StvolDay->toolTip(), QStringLiteral("Цзя"));
    QCOMPARE(cz->VetvChas->toolTip(), QStringLiteral("У"));
    QCOMPARE(cz->StvolDay->pixmap().toImage(), cz->Stvol[1]->pixmap().toImage());
    QCOMPARE(cz->VetvDay->pixmap().toImage(), cz->Vetv[5]->pixmap().toImage());
    QVERIFY(cz->StvolDay->pixmap().toImage() != cz->Stvol[2]->pixmap().toImage());
  }

  void theSignPicturesAreLoadedWithTheirReadings() {
    create();
    for (int s = 1; s <= 10; ++s) {
      QCOMPARE(cz->Stvol[s]->pixmap().size(), QSize(20, 19));
      QCOMPARE(cz->Stvol[s]->accessibleName(), Reading(calendar::StemReading(s)));
      QVERIFY(cz->Stvol[s]->isHidden());
    }
    for (int b = 1; b <= 12; ++b) {
      QCOMPARE(cz->Vetv[b]->pixmap().size(), QSize(20, 19));
      QCOMPARE(cz->Vetv[b]->toolTip(), Reading(calendar::BranchReading(b)));
    }
    QCOMPARE(cz->Stvol[1]->toolTip(), QStringLiteral("Цзя"));
    QCOMPARE(cz->Vetv[1]->toolTip(), QStringLiteral("Цзы"));
  }

  void thePillarsAreThoseOfTheCalendar_data() {
    QTest::addColumn<int>("zone");
    QTest::addColumn<int>("correction");
    QTest::newRow("GMT +3, no correction") << 15 << 3;
    QTest::newRow("GMT +8, clock 3 hours fast") << 20 << 6;
  }
  void thePillarsAreThoseOfTheCalendar() {
    QFETCH(int, zone);
    QFETCH(int, correction);
    create();
    // As the settings dialog's OK does: new settings, then a recomputation.
    main->SetTimeSettings(correction, zone);
    cz->SetTimeSettings(calendar::TimeSettings::FromIndexes(correction, zone));
    cz->DateTimePicker1Change();
    const QDateTime moments[] = {
        {QDate(2024, 2, 10), QTime(12, 0)},       {QDate(2024, 2, 4), QTime(10, 0)},
        {QDate(2024, 2, 4), QTime(17, 30)},       {QDate(2001, 11, 10), QTime(23, 0)},
        {QDate(2001, 11, 10), QTime(22, 59, 59)}, {QDate(2000, 1, 1), QTime(0, 0)},
        {QDate(1984, 12, 21), QTime(23, 0)},      {QDate(2033, 8, 20), QTime(6, 15, 30)},
        {QDate(1900, 1, 31), QTime(1, 0)},        {QDate(2100, 12, 31), QTime(23, 59, 59)},
    };
    for (const QDateTime& m : moments) {
      setPickers(m.date(), m.time());
      const calendar::Pillars p =
          calendar::ComputePillars(DayValue(m), calendar::TimeSettings::FromIndexes(correction, zone));
      const QString what = m.toString(Qt::ISODate);
      QCOMPARE(cz->WindowMoment(), DayValue(m));
      QCOMPARE(cz->LabelNow->text(), TFormCzaczy::DateTimeText(m));
      QCOMPARE(Shown(cz->StvolYahr, cz->VetvYahr),
               (QStringList{Reading(calendar::StemReading(p.yearStem)),
                            Reading(calendar::BranchReading(p.yearBranch))}));
      QCOMPARE(Shown(cz->StvolMonth, cz->VetvMonth),
               (QStringList{Reading(calendar::StemReading(p.monthStem)),
                            Reading(calendar::BranchReading(p.monthBranch))}));
      QCOMPARE(Shown(cz->StvolDay, cz->VetvDay),
               (QStringList{Reading(calendar::StemReading(p.dayStem)),
                            Reading(calendar::BranchReading(p.dayBranch))}));
      QCOMPARE(Shown(cz->StvolChas, cz->VetvChas),
               (QStringList{Reading(calendar::StemReading(p.hourStem)),
                            Reading(calendar::BranchReading(p.hourBranch))}));
      QCOMPARE(cz->BigSeason->text(), QString::fromStdString(p.season));
      QCOMPARE(cz->SmolSeason->text(), QString::fromStdString(p.term));
    }
  }

  void theTimePickerAloneRecomputes() {
    create();
    // 23:00 is the next day's Zi hour: 10 February 2024 Jia-Chen, so at 23:00
    // the day is Yi-Si and the hour Bing-Zi (five rats: Yi day -> Bing-Zi).
    cz->DateTimePicker2->setTime(QTime(23, 0));
    QCOMPARE(cz->LabelNow->text(), QStringLiteral("10.02.2024 23:00:00"));
    QCOMPARE(cz->DateTimePicker1->dateTime(), QDateTime(QDate(2024, 2, 10), QTime(23, 0)));
    QCOMPARE(Shown(cz->StvolDay, cz->VetvDay), (QStringList{"И", "Сы"}));
    QCOMPARE(Shown(cz->StvolChas, cz->VetvChas), (QStringList{"Бин", "Цзы"}));
    // The user steps the hour down with the arrow key: 22:00, Hai of Jia-Chen.
    cz->DateTimePicker2->setFocus();
    cz->DateTimePicker2->setCurrentSection(QDateTimeEdit::HourSection);
    QTest::keyClick(cz->DateTimePicker2, Qt::Key_Down);
    QCOMPARE(cz->DateTimePicker2->time(), QTime(22, 0));
    QCOMPARE(cz->LabelNow->text(), QStringLiteral("10.02.2024 22:00:00"));
    QCOMPARE(Shown(cz->StvolDay, cz->VetvDay), (QStringList{"Цзя", "Чэнь"}));
    QCOMPARE(Shown(cz->StvolChas, cz->VetvChas), (QStringList{"И", "Хай"}));
  }

  void midnightShowsTheDateAlone() {
    create();
    setPickers(QDate(2024, 3, 1), QTime(0, 0));
    QCOMPARE(cz->LabelNow->text(), QStringLiteral("01.03.2024"));
    QCOMPARE(TFormCzaczy::DateTimeText(QDateTime(QDate(2024, 3, 1), QTime(0, 0, 1))),
             QStringLiteral("01.03.2024 00:00:01"));
  }

  void uncheckedBoxNeverTouchesTheMainWindow() {
    create();
    scrambleLists();
    const QList<int> before = lunarLists();
    setPickers(QDate(2023, 6, 1), QTime(5, 30));
    cz->ButtonNow->click();
    QCOMPARE(lunarLists(), before);
  }

  void tickingSetsTheLunarDateAtOnceAndPickersFollow() {
    create();
    setPickers(QDate(2023, 6, 1), QTime(5, 30));
    scrambleLists();
    cz->CheckMoon->click();
    QVERIFY(cz->CheckMoon->isChecked());
    const astro::TDateTime june = DayValue(QDateTime(QDate(2023, 6, 1), QTime(5, 30)));
    QCOMPARE(lunarLists(), expectedLists(june));
    // A picker change now moves the lists too.
    cz->DateTimePicker1->setDate(QDate(2024, 9, 17));
    QCOMPARE(lunarLists(), expectedLists(DayValue(QDateTime(QDate(2024, 9, 17), QTime(5, 30)))));
    // And ButtonNow: the clock's moment.
    scrambleLists();
    cz->ButtonNow->click();
    QCOMPARE(lunarLists(), expectedLists(DayValue(fake->clock)));
    // Unticking does nothing else.
    scrambleLists();
    const QList<int> before = lunarLists();
    cz->CheckMoon->click();
    QVERIFY(!cz->CheckMoon->isChecked());
    QCOMPARE(lunarLists(), before);
  }

  void startUpFollowsTheStoreNotTheDesign() {
    ui::test::WriteSettings(
        "[Form]\nCzaczyLeft=300\nCzaczyTop=200\nCzaczyShow=0\n[Set]\nCheckMoon=1\nCzaczyTop=0\n");
    create();
    QVERIFY(cz->CheckMoon->isChecked());
    QVERIFY(!cz->isVisible());
    QVERIFY(!main->controls().Chza1->isChecked());
    QVERIFY(!cz->StaysOnTop());
    QVERIFY(!cz->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(cz->pos(), QPoint(300, 200));
    // Ticked from the store: creation does not set the main window's date
    // from the window moment beyond what the main window did itself.
    QCOMPARE(lunarLists(), expectedLists(DayValue(fake->clock)));
  }

  void buttonNowCaptionRunsWhileLabelNowKeepsTheMoment() {
    create();
    setPickers(QDate(2020, 5, 5), QTime(8, 0));
    fake->clock = QDateTime(QDate(2024, 2, 10), QTime(12, 0, 7));
    // The next tick of Timer1 shows the clock's new time.
    QTRY_COMPARE_WITH_TIMEOUT(cz->ButtonNow->text(), QStringLiteral("10.02.2024 12:00:07"), 3000);
    fake->clock = fake->clock.addSecs(1);
    QTRY_COMPARE_WITH_TIMEOUT(cz->ButtonNow->text(), QStringLiteral("10.02.2024 12:00:08"), 3000);
    QCOMPARE(cz->LabelNow->text(), QStringLiteral("05.05.2020 08:00:00"));
    // ButtonNow computes for now; Enter in the window does the same.
    cz->ButtonNow->click();
    QCOMPARE(cz->LabelNow->text(), QStringLiteral("10.02.2024 12:00:08"));
    QCOMPARE(cz->DateTimePicker1->date(), QDate(2024, 2, 10));
    QCOMPARE(cz->DateTimePicker2->time(), QTime(12, 0, 8));
    setPickers(QDate(2020, 5, 5), QTime(8, 0));
    QTest::keyClick(cz->DateTimePicker1, Qt::Key_Return);
    QCOMPARE(cz->LabelNow->text(), QStringLiteral("10.02.2024 12:00:08"));
  }

  void menuItemAndCloseBox() {
    create();
    QVERIFY(cz->isVisible());
    main->controls().Chza1->trigger();  // ticked: closes
    QVERIFY(!cz->isVisible());
    QVERIFY(!main->controls().Chza1->isChecked());
    main->controls().Chza1->trigger();
    QVERIFY(cz->isVisible());
    QVERIFY(main->controls().Chza1->isChecked());
    QVERIFY(cz->close());
    QVERIFY(!cz->isVisible());
    QVERIFY(!main->controls().Chza1->isChecked());
    main->controls().Chza1->trigger();
    QVERIFY(cz->isVisible());
    QVERIFY(main->controls().Chza1->isChecked());
  }

  void positionAndBoxWrittenAtTheEndAndReadBack() {
    create();
    cz->move(150, 120);
    cz->CheckMoon->click();
    destroy();
    {
      ui::SettingsStore store;
      QCOMPARE(store.rawText("Form", "CzaczyLeft").value_or(QString()), QStringLiteral("150"));
      QCOMPARE(store.rawText("Form", "CzaczyTop").value_or(QString()), QStringLiteral("120"));
      QCOMPARE(store.rawText("Set", "CheckMoon").value_or(QString()), QStringLiteral("1"));
      // The stay-on-top flag of the same name is not disturbed.
      QVERIFY(!store.rawText("Set", "CzaczyTop").has_value());
    }
    create();
    QCOMPARE(cz->pos(), QPoint(150, 120));
    QVERIFY(cz->CheckMoon->isChecked());
  }

  void aPositionOffTheScreenGivesTheDefaultPlace() {
    ui::test::WriteSettings("[Form]\nCzaczyLeft=-3000\nCzaczyTop=40\n");
    create();
    QCOMPARE(cz->pos(), QPoint(std::max(main->x() - cz->width() - 4, 0), main->y() + 1));
  }

  void anErrorOfTheCalendarReachesTheErrorBox() {
    create();
    const QStringList before = Shown(cz->StvolYahr, cz->VetvYahr);
    const QString season = cz->BigSeason->text();
    // 1 January of year 1: before the first date the calendar encodes.
    ui::RunCommand([this] { cz->SetMyCalendar(calendar::EncodeCivilDate(1, 1, 1) + 0.5); });
    QCOMPARE(fake->promptTexts(), QStringList{QStringLiteral("Invalid argument to date encode")});
    fake->prompts.clear();
    QCOMPARE(Shown(cz->StvolYahr, cz->VetvYahr), before);
    QCOMPARE(cz->BigSeason->text(), season);
  }

  void stayOnTopFromTheSettingsDialogKeepsTheWindow() {
    create();
    const QPoint place = cz->pos();
    cz->SetStaysOnTop(false);
    QVERIFY(cz->isVisible());
    QVERIFY(main->controls().Chza1->isChecked());
    QCOMPARE(cz->pos(), place);
    QVERIFY(!cz->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  // Last: it runs the application's message loop to its end.
  void theProgramEndsWhenTheMainWindowClosesWithTheCalendarShown() {
    create();
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    QVERIFY(cz->isVisible());
    QTimer::singleShot(0, main.get(), [this] { main->close(); });
    // Only a loop that did not end by itself gets here: a failure, not a wait.
    QTimer::singleShot(20000, qApp, [] { qApp->exit(1); });
    QCOMPARE(qApp->exec(), 0);
    ui::SettingsStore store;
    QCOMPARE(store.rawText("Form", "CzaczyShow").value_or(QString()), QStringLiteral("1"));
  }

  // A day the user cast on is marked and lists its divinations, earliest
  // first; another day is not; a row opens its record.
  void daysWithCastsListTheirDivinations() {
    create();
    ui::CastDays days([] { return QString(); });
    auto row = [](const char* path, const char* moment, int primary, const char* note) {
      records::JournalRow r;
      r.path = QString::fromLatin1(path);
      r.fileName = QFileInfo(r.path).fileName();
      r.cast = QDateTime::fromString(QString::fromLatin1(moment), Qt::ISODate);
      r.primary = primary;
      r.note = QString::fromUtf8(note);
      return r;
    };
    records::JournalRow unknown = row("/r/plain.kly", "", 2, "");
    days.Take({row("/r/b.kly", "2024-03-01T21:30:00+03:00", 11, "Переезд"),
               row("/r/a.kly", "2024-03-01T08:05:00+03:00", 1, ""), unknown,
               row("/r/c.kly", "2024-03-02T00:10:00+03:00", 2, "Другой день")});
    QStringList opened;
    cz->SetCastDays(&days, [&opened](const QString& path) { opened << path; });
    cz->DateTimePicker1->setDate(QDate(2024, 3, 1));
    QVERIFY(!cz->DayCasts->isHidden());
    QCOMPARE(cz->DayCasts->count(), 2);
    QCOMPARE(cz->DayCastsLabel->text(), QStringLiteral("Гаданий в этот день: 2"));
    QVERIFY(cz->DateTimePicker1->font().bold());
    QCOMPARE(cz->DayCasts->item(0)->text(), QStringLiteral("08:05  1 Творчество  a.kly"));
    QVERIFY(cz->DayCasts->item(1)->text().startsWith(QStringLiteral("21:30  11 ")));
    QVERIFY(cz->DayCasts->item(1)->text().endsWith(QStringLiteral("  Переезд")));
    emit cz->DayCasts->itemActivated(cz->DayCasts->item(1));
    QCOMPARE(opened, QStringList{"/r/b.kly"});

    const int height = cz->height();
    cz->DateTimePicker1->setDate(QDate(2024, 3, 3));
    QVERIFY(cz->DayCasts->isHidden());
    QVERIFY(!cz->DateTimePicker1->font().bold());
    QVERIFY(cz->height() < height);  // the window gives the list's room back
    cz->DateTimePicker1->setDate(QDate(2024, 3, 2));
    QCOMPARE(cz->DayCasts->count(), 1);
    destroy();
  }
};

KALYNTH_TEST_MAIN(TestCzaczy)
#include "tst_czaczy.moc"
