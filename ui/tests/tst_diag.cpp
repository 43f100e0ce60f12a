// The four picture windows beside the real main window, the calendar window
// and the settings dialog: start-up from the store, the menu toggle, the
// close box, the shown state across a restart, the stay-on-top setting of
// the dialog, a missing or unreadable picture, and the calendar window
// following a new time zone. Prompts and the clock come from a FakePlatform.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "settings/SettingsStore.h"
#include "ui/ProgramWindows.h"
#include "ui/czaczy.h"
#include "ui/diag.h"
#include "ui/kalynth.h"
#include "ui/sett.h"
#include "ui/tests/TestSupport.h"

using ui::test::FakePlatform;

// One picture window as the tests see it: how to reach it, what it must be.
struct Expected {
  const char* caption;
  const char* bitmap;
  QSize client;
  QSize picture;
  const char* shownValue;  // "Form"
  const char* onTopValue;  // "Set"
};

class TestDiag : public QObject {
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

  // The program's start-up order. folder replaces ProgramFolder for the
  // pictures when given.
  void start(const QString& folder = {}) {
    main = std::make_unique<TFormKalynth>();
    if (!folder.isEmpty()) main->SetProgramFolder(folder);
    main->show();
    QVERIFY(QTest::qWaitForWindowExposed(main.get()));
    diagramm = std::make_unique<TDiagramm>(main.get(), main->controls().Table1, main->programFolder());
    sett = std::make_unique<TSettForm>(main.get());
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
  }
  // The end of a run: the main window's close, then the windows go, each
  // writing its position, before the main window.
  void stop() {
    if (main) {
      main->close();
    }
    venvan.reset();
    legenda.reset();
    usin.reset();
    czaczy.reset();
    sett.reset();
    diagramm.reset();
    main.reset();
  }
  void restart() {
    stop();
    start();
  }

  QList<TPictureWindow*> windows() const { return {diagramm.get(), legenda.get(), venvan.get(), usin.get()}; }
  QAction* itemOf(TPictureWindow* w) const { return w->MenuItem(); }
  std::optional<QString> stored(const char* group, const char* name) {
    return ui::SettingsStore().rawText(QString::fromLatin1(group), QString::fromLatin1(name));
  }
  // Runs the settings dialog: change() ticks or unticks, then OK or Cancel.
  void settings(const std::function<void()>& change, bool ok) {
    sett->show();
    change();
    (ok ? sett->BitBtn1 : sett->BitBtn2)->click();
    QVERIFY(!sett->isVisible());
  }

 private slots:
  void init() { ui::test::PutFakePlatform(fake, scoped); }
  void cleanup() {
    stop();
    QVERIFY2(fake->prompts.isEmpty(), qPrintable(fake->promptTexts().join(QStringLiteral(" | "))));
    ui::test::TakeFakePlatform(fake, scoped);
  }

  // Captions, bitmaps and sizes of the four; on a first start they are all
  // hidden, and when shown they open beside each other, on top.
  void firstStartAllHiddenThenTopLeftOnTop() {
    start();
    const std::pair<TPictureWindow*, Expected> table[] = {
        {diagramm.get(),
         {"Диаграмма «Стволы-ветви»", "diag1.bmp", {291, 313}, {288, 309}, "DiagShow", "DiagWinTop"}},
        {legenda.get(), {"Стволы-ветви", "diag2.bmp", {302, 381}, {302, 381}, "legendaShow", "legendaTop"}},
        {venvan.get(),
         {"Диаграмма Вень-вана", "diag3.bmp", {327, 324}, {327, 324}, "FormVenvanShow", "VenvanTop"}},
        {usin.get(), {"Диаграмма «У-син»", "diag4.bmp", {200, 194}, {200, 194}, "UsinShow", "UsinWinTop"}},
    };
    const std::pair<TPictureWindow*, QAction*> items[] = {{diagramm.get(), main->controls().Table1},
                                                          {legenda.get(), main->controls().StvilyVetvi},
                                                          {venvan.get(), main->controls().VenVan},
                                                          {usin.get(), main->controls().DiagUsin}};
    for (const auto& [w, item] : items) QCOMPARE(itemOf(w), item);
    for (const auto& [w, e] : table) {
      QVERIFY2(!w->isVisible(), e.caption);
      QVERIFY(!itemOf(w)->isChecked());
      QCOMPARE(w->windowTitle(), QString::fromUtf8(e.caption));
      QCOMPARE(w->size(), e.client);
      QCOMPARE(w->minimumSize(), e.client);  // not resizable
      QCOMPARE(w->maximumSize(), e.client);
      QVERIFY(w->HasPicture());
      QCOMPARE(w->BitmapPath(), main->programFolder() + QStringLiteral("/bmp/") + QLatin1String(e.bitmap));
      QCOMPARE(w->Image1->pixmap().size(), e.picture);
      QCOMPARE(w->Image1->size(), e.picture);
      QCOMPARE(w->palette().color(QPalette::Window), QColor(Qt::white));
      QCOMPARE(w->windowType(), Qt::Tool);
    }
    // Shown, they stand side by side from the top left corner of the
    // screen (a new row where it is too narrow), none covering another.
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QList<QRect> places;
    for (const auto& [w, e] : table) {
      itemOf(w)->trigger();
      QVERIFY2(w->isVisible(), e.caption);
      QVERIFY(itemOf(w)->isChecked());
      const QRect place(w->pos(), w->size());
      if (places.isEmpty()) QCOMPARE(place.topLeft(), area.topLeft());
      QVERIFY2(area.contains(place), e.caption);
      for (const QRect& other : places) QVERIFY2(!other.intersects(place), e.caption);
      places << place;
      QVERIFY(w->StaysOnTop());
      QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    }
  }

  // Show King Wen's diagram, close it by its close box, choose its item
  // again: shown at the same place; ticked, unticked, ticked.
  void closeBoxThenMenuAtTheSamePlace() {
    start();
    main->controls().VenVan->trigger();
    QVERIFY(venvan->isVisible());
    QVERIFY(main->controls().VenVan->isChecked());
    venvan->move(140, 90);
    const QPoint place = venvan->pos();
    QVERIFY(venvan->close());
    QVERIFY(!venvan->isVisible());
    QVERIFY(!main->controls().VenVan->isChecked());
    main->controls().VenVan->trigger();
    QVERIFY(venvan->isVisible());
    QVERIFY(main->controls().VenVan->isChecked());
    QCOMPARE(venvan->pos(), place);
    // And the menu hides it again.
    main->controls().VenVan->trigger();
    QVERIFY(!venvan->isVisible());
    QVERIFY(!main->controls().VenVan->isChecked());
  }

  // Ending the program with the five-phases diagram shown brings it back,
  // shown, ticked and where it was, at the next start; the others stay
  // hidden.
  void shownAtExitShownAtNextStart() {
    start();
    main->controls().DiagUsin->trigger();
    usin->move(60, 70);
    const QPoint place = usin->pos();
    restart();
    QCOMPARE(stored("Form", "UsinShow"), std::optional<QString>(QStringLiteral("1")));
    QVERIFY(usin->isVisible());
    QVERIFY(main->controls().DiagUsin->isChecked());
    QCOMPARE(usin->pos(), place);
    for (TPictureWindow* w :
         std::initializer_list<TPictureWindow*>{diagramm.get(), legenda.get(), venvan.get()})
      QVERIFY(!w->isVisible());
    // The legend's shown value is written "LegendaShow" and read as
    // "legendaShow": one value.
    main->controls().StvilyVetvi->trigger();
    restart();
    QVERIFY(legenda->isVisible());
    QVERIFY(main->controls().StvilyVetvi->isChecked());
  }

  // Unticking a window's box in the settings dialog and pressing OK stores
  // "0" and makes it a normal window at once, still shown where it was; a
  // restart keeps it normal and the dialog shows the box unticked.
  void unticked_data() {
    QTest::addColumn<int>("index");  // of windows(): diagramm, legenda, venvan, usin
    QTest::addColumn<QString>("value");
    QTest::newRow("Диаграмма «У-син»") << 3 << QStringLiteral("UsinWinTop");
    QTest::newRow("Стволы-ветви") << 1 << QStringLiteral("legendaTop");
    QTest::newRow("Диаграмма «Стволы-ветви»") << 0 << QStringLiteral("DiagWinTop");
    QTest::newRow("Диаграмма Вень-вана") << 2 << QStringLiteral("VenvanTop");
  }
  void unticked() {
    QFETCH(int, index);
    QFETCH(QString, value);
    start();
    auto boxOf = [this](int i) {
      QCheckBox* boxes[4] = {sett->CheckBoxDiag, sett->CheckStvoly, sett->CheckVenVan, sett->CheckUsin};
      return boxes[i];
    };
    TPictureWindow* w = windows()[index];
    itemOf(w)->trigger();
    w->move(120, 80);
    const QPoint place = w->pos();
    settings([&] { boxOf(index)->setChecked(false); }, true);
    QCOMPARE(ui::SettingsStore().rawText(QStringLiteral("Set"), value),
             std::optional<QString>(QStringLiteral("0")));
    QVERIFY(!w->StaysOnTop());
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w->isVisible());
    QVERIFY(itemOf(w)->isChecked());
    QCOMPARE(w->pos(), place);
    // The other windows are left on top, and hidden.
    for (TPictureWindow* other : windows())
      if (other != w) {
        QVERIFY(other->StaysOnTop());
        QVERIFY(!other->isVisible());
        QVERIFY(!itemOf(other)->isChecked());
      }
    QVERIFY(czaczy->StaysOnTop());

    restart();
    w = windows()[index];
    QVERIFY(!w->StaysOnTop());
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w->isVisible());
    QCOMPARE(w->pos(), place);
    sett->show();
    QVERIFY(!boxOf(index)->isChecked());
    // Ticked again: on top again, still shown in its place.
    boxOf(index)->setChecked(true);
    sett->BitBtn1->click();
    QVERIFY(w->StaysOnTop());
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w->isVisible());
    QCOMPARE(w->pos(), place);
  }

  // The calendar window's box works the same way.
  void calendarUnticked() {
    start();
    const QPoint place = czaczy->pos();
    QVERIFY(czaczy->isVisible());
    settings([&] { sett->CheckCall->setChecked(false); }, true);
    QVERIFY(!czaczy->StaysOnTop());
    QVERIFY(czaczy->isVisible());
    QCOMPARE(czaczy->pos(), place);
    QCOMPARE(stored("Set", "CzaczyTop"), std::optional<QString>(QStringLiteral("0")));
  }

  // Cancel after unticking leaves every window as it was; reopening the
  // dialog shows the box still unticked.
  void cancelAfterUnticking() {
    start();
    main->controls().DiagUsin->trigger();
    settings([&] { sett->CheckUsin->setChecked(false); }, false);
    QVERIFY(usin->StaysOnTop());
    QVERIFY(usin->isVisible());
    for (TPictureWindow* w : windows()) QVERIFY(w->StaysOnTop());
    QVERIFY(!stored("Set", "UsinWinTop"));
    sett->show();
    QVERIFY(!sett->CheckUsin->isChecked());
    sett->BitBtn2->click();
  }

  // A missing picture: the error names the file, the program goes on, the
  // window shows nothing and is not shown at start although its shown
  // value is set; its item still toggles it. An unreadable file alike.
  void missingOrUnreadablePicture() {
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("bmp"));
    QFile broken(folder.path() + QStringLiteral("/bmp/diag3.bmp"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("BM this is no bitmap");
    broken.close();
    ui::test::WriteSettings("[Form]\nUsinShow=1\nFormVenvanShow=1\nUsinLeft=300\nUsinTop=200\n");
    start(folder.path());
    const QStringList expected = {
        QStringLiteral("Cannot open file ") + folder.path() + QStringLiteral("/bmp/diag1.bmp"),
        QStringLiteral("Cannot open file ") + folder.path() + QStringLiteral("/bmp/diag4.bmp"),
        QStringLiteral("Cannot open file ") + folder.path() + QStringLiteral("/bmp/diag2.bmp"),
        QStringLiteral("Cannot open file ") + folder.path() + QStringLiteral("/bmp/diag3.bmp"),
    };
    QCOMPARE(fake->promptTexts(), expected);  // in the order of creation
    for (const auto& p : fake->prompts) QCOMPARE(p.kind, QStringLiteral("error"));
    fake->prompts.clear();
    for (TPictureWindow* w : windows()) {
      QVERIFY(!w->HasPicture());
      QVERIFY(w->Image1->pixmap().isNull());
      QVERIFY(!w->isVisible());
      QVERIFY(!itemOf(w)->isChecked());
      QVERIFY(w->StaysOnTop());
    }
    QVERIFY(main->isVisible());
    main->controls().DiagUsin->trigger();
    QVERIFY(usin->isVisible());
    QVERIFY(main->controls().DiagUsin->isChecked());
    main->controls().DiagUsin->trigger();
    QVERIFY(!usin->isVisible());
  }

  // A missing picture does not cost the user the window's stored place: a
  // window never shown writes nothing at the end; one the user has shown
  // and moved writes where it was.
  void missingPictureKeepsTheStoredPlace() {
    QTemporaryDir folder;  // no bmp/ at all
    ui::test::WriteSettings(
        "[Form]\nUsinLeft=300\nUsinTop=200\nFormVenvanLeft=310\nFormVenvanTop=210\n"
        "DiagLeft=320\nDiagTop=220\n");
    start(folder.path());
    QCOMPARE(fake->prompts.size(), 4);
    fake->prompts.clear();
    main->controls().VenVan->trigger();
    QVERIFY(venvan->isVisible());
    venvan->move(150, 120);
    main->controls().VenVan->trigger();
    QVERIFY(!venvan->isVisible());
    stop();
    QCOMPARE(stored("Form", "UsinLeft"), std::optional<QString>(QStringLiteral("300")));
    QCOMPARE(stored("Form", "UsinTop"), std::optional<QString>(QStringLiteral("200")));
    QCOMPARE(stored("Form", "DiagLeft"), std::optional<QString>(QStringLiteral("320")));
    QCOMPARE(stored("Form", "DiagTop"), std::optional<QString>(QStringLiteral("220")));
    QCOMPARE(stored("Form", "FormVenvanLeft"), std::optional<QString>(QStringLiteral("150")));
    QCOMPARE(stored("Form", "FormVenvanTop"), std::optional<QString>(QStringLiteral("120")));
    // A window without a stored place writes none either.
    QVERIFY(!stored("Form", "legendaLeft"));
  }

  // A new time zone reaches the calendar window at once. 立春 2024 (start
  // of spring, the turn of the year pillar) fell on 4 February at 16:27
  // Beijing time, 08:27 universal time. 4 February 10:00 on the clock is
  // 07:00 universal time in GMT +3: still the year 癸卯 (Гуй-Мао); in
  // GMT -12 it is 22:00 universal time: already 甲辰 (Цзя-Чэнь).
  void newZoneReachesTheCalendarWindow() {
    start();
    czaczy->DateTimePicker1->setDate(QDate(2024, 2, 4));
    czaczy->DateTimePicker2->setTime(QTime(10, 0));
    czaczy->DateTimePicker1Change();
    QCOMPARE(czaczy->StvolYahr->accessibleName(), QStringLiteral("Гуй"));
    QCOMPARE(czaczy->VetvYahr->accessibleName(), QStringLiteral("Мао"));
    settings([&] { sett->GMTCombo->setCurrentIndex(0); }, true);
    QCOMPARE(main->timeZoneIndex(), 0);
    QCOMPARE(czaczy->StvolYahr->accessibleName(), QStringLiteral("Цзя"));
    QCOMPARE(czaczy->VetvYahr->accessibleName(), QStringLiteral("Чэнь"));
    QCOMPARE(main->controls().StatusPanel->text(), QStringLiteral("Поправка времени 0 | GMT -12"));
  }
};

KALYNTH_TEST_MAIN(TestDiag)
#include "tst_diag.moc"
