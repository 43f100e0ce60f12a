// The about box and the settings dialog, driven as a user drives them, with
// the main window beside them. Prompts, the clock and opened addresses come
// from a FakePlatform.
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <memory>

#include "settings/SettingsStore.h"
#include "ui/ClickLabel.h"
#include "ui/GuaBig.h"
#include "ui/ProgramWindows.h"
#include "ui/about.h"
#include "ui/kalynth.h"
#include "ui/sett.h"
#include "ui/tests/TestSupport.h"

using ui::test::FakePlatform;
using ui::test::UrlCatcher;

class TestAboutSett : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> w;
  std::unique_ptr<TSettForm> sett;

  void create() {
    w = std::make_unique<TFormKalynth>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    sett = std::make_unique<TSettForm>(w.get());
    handOver();
  }
  // The start-up's hand-over: the menu items reach these dialogs.
  void handOver(TAboutBox* about = nullptr) {
    ui::ProgramWindows windows;
    windows.about = about;
    windows.settings = sett.get();
    ui::HandOver(w.get(), sett.get(), windows);
  }
  // Shows the dialog as "Установки..." does, without waiting in its loop.
  void openSettings() {
    sett->show();
    QVERIFY(sett->isVisible());
  }
  std::optional<QString> stored(const char* group, const char* name) {
    return ui::SettingsStore().rawText(QString::fromLatin1(group), QString::fromLatin1(name));
  }

 private slots:
  void init() { ui::test::PutFakePlatform(fake, scoped); }
  void cleanup() {
    sett.reset();
    w.reset();  // gone without closing: no prompts
    ui::test::TakeFakePlatform(fake, scoped);
  }

  // ---- about box -------------------------------------------------------------

  void aboutBoxLines() {
    AboutInfo info;
    info.web = QUrl(QStringLiteral("https://example.org/kalynth"));
    info.mail = QStringLiteral("author@example.org");
    info.commentaryAuthor = QStringLiteral("Автор комментариев");
    info.developer = QStringLiteral("Разработчик");
    TAboutBox box(info);
    QCOMPARE(box.windowTitle(), QStringLiteral("О программе"));
    QCOMPARE(box.ProductName->text(), QStringLiteral("KALYNTH Version: 1.1"));
    QVERIFY(box.ProductName->font().bold());
    QCOMPARE(box.WebLink->text(), QStringLiteral("https://example.org/kalynth"));
    QVERIFY(box.CommentsLabel->text().startsWith(QStringLiteral("Комментарии к гуа")));
    QVERIFY(box.CommentsLabel->text().endsWith(QStringLiteral("Автор комментариев")));
    QVERIFY(box.DeveloperLabel->text().endsWith(QStringLiteral("Разработчик")));
    QVERIFY(box.MailLink);
    QCOMPARE(box.MailLink->text(), QStringLiteral("author@example.org"));
    for (QLabel* link : {static_cast<QLabel*>(box.WebLink), static_cast<QLabel*>(box.MailLink)}) {
      QVERIFY(link->font().underline());
      QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
      QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);
    }
    QCOMPARE(box.OKButton->text(), QStringLiteral("OK"));
    QVERIFY(box.OKButton->isDefault());
    QVERIFY(box.isModal());
  }

  // The mail line asks the desktop for a new message: body one blank, then
  // the subject, in that order, as the mail programs receive it.
  void mailRequestThroughTheDesktop() {
    AboutInfo info;
    info.web = QUrl(QStringLiteral("https://example.org/"));
    info.mail = QStringLiteral("author@example.org");
    TAboutBox box(info);
    box.show();
    fake->interceptUrls = false;  // through QDesktopServices, as the program does
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    QTest::mouseClick(box.MailLink, Qt::LeftButton);
    QTest::mouseClick(box.WebLink, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QCOMPARE(catcher.urls.size(), 2);
    QCOMPARE(
        catcher.urls[0].toString(QUrl::FullyEncoded),
        QStringLiteral("mailto:author@example.org?body=%20&subject=Message%20from%20KALYNTH%20programm"));
    QCOMPARE(catcher.urls[1], QUrl(QStringLiteral("https://example.org/")));
  }

  // Without addresses from the packager the web line opens the help page
  // that comes with the program, and there is no mail line at all.
  void withoutAddressesNothingIsInvented() {
    AboutInfo info;
    info.web = QUrl::fromLocalFile(QStringLiteral("/opt/kalynth/help/index.htm"));
    TAboutBox box(info);
    QVERIFY(!box.MailLink);
    QVERIFY(!box.findChild<TClickLabel*>(QStringLiteral("MailLink")));
    // The line names the page, not its path (the path is its tooltip); a
    // page that cannot be read is named by its file name.
    QCOMPARE(box.WebLink->text(), QStringLiteral("index.htm"));
    QCOMPARE(box.WebLink->toolTip(), QStringLiteral("/opt/kalynth/help/index.htm"));
    {
      QTemporaryDir folder;
      QFile page(folder.filePath(QStringLiteral("index.htm")));
      QVERIFY(page.open(QIODevice::WriteOnly));
      page.write(
          "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<TITLE>KALYNTH \xe2\x80\x94 "
          "\xd1\x81\xd0\xbf\xd1\x80\xd0\xb0\xd0\xb2\xd0\xba\xd0\xb0</TITLE></head></html>");
      page.close();
      AboutInfo local;
      local.web = QUrl::fromLocalFile(page.fileName());
      TAboutBox titled(local);
      QCOMPARE(titled.WebLink->text(), QStringLiteral("KALYNTH — справка"));
      QCOMPARE(titled.WebLink->toolTip(), page.fileName());
    }
    box.WebLinkClick();
    QCOMPARE(fake->urls, QList<QUrl>{info.web});
    // This build's own values: an empty web setting means the help page.
    const AboutInfo built = TAboutBox::BuildInfo(QStringLiteral("/opt/kalynth"));
    QVERIFY(built.web.isValid());
    if (built.web.isLocalFile())
      QCOMPARE(built.web.toLocalFile(), QStringLiteral("/opt/kalynth/help/index.htm"));
  }

  // When the desktop cannot open an address, the box says so and names it
  // (the mail line by its address alone), as the main window's pages do;
  // nothing is said when the desktop opens it.
  void failedLinkNamesTheAddress() {
    AboutInfo info;
    info.web = QUrl(QStringLiteral("https://example.org/kalynth"));
    info.mail = QStringLiteral("author@example.org");
    TAboutBox box(info);
    box.show();
    QTest::mouseClick(box.WebLink, Qt::LeftButton);
    QTest::mouseClick(box.MailLink, Qt::LeftButton);
    QVERIFY(fake->prompts.isEmpty());
    fake->urlsOpen = false;
    QTest::mouseClick(box.WebLink, Qt::LeftButton);
    QTest::mouseClick(box.MailLink, Qt::LeftButton);
    QCOMPARE(fake->urls.size(), 4);
    QCOMPARE(fake->prompts.size(), 2);
    for (const auto& p : fake->prompts) QCOMPARE(p.kind, QStringLiteral("error"));
    QCOMPARE(fake->prompts[0].text,
             QStringLiteral("Не удалось открыть страницу https://example.org/kalynth: на компьютере нет "
                            "программы, которая открывает такие страницы, или она не запустилась."));
    QCOMPARE(fake->prompts[1].text,
             QStringLiteral("Не удалось открыть страницу mailto:author@example.org: на компьютере нет "
                            "программы, которая открывает такие страницы, или она не запустилась."));
    // The help page of the program by its path.
    AboutInfo local;
    local.web = QUrl::fromLocalFile(QStringLiteral("/opt/kalynth/help/index.htm"));
    TAboutBox localBox(local);
    localBox.WebLinkClick();
    QCOMPARE(fake->prompts.size(), 3);
    QVERIFY(fake->prompts[2].text.startsWith(
        QStringLiteral("Не удалось открыть страницу /opt/kalynth/help/index.htm: ")));
  }

  // "О программе" shows the box modally; OK closes it.
  void aboutFromTheMenu() {
    create();
    TAboutBox box(TAboutBox::BuildInfo(w->programFolder()), w.get());
    handOver(&box);
    bool wasShownModal = false;
    QTimer::singleShot(0, [&] {
      wasShownModal = box.isVisible() && QApplication::activeModalWidget() == &box;
      box.OKButton->click();
    });
    w->controls().N3->trigger();
    QVERIFY(wasShownModal);
    QVERIFY(!box.isVisible());
  }

  // ---- settings dialog -----------------------------------------------------

  void dialogControls() {
    create();
    QCOMPARE(sett->windowTitle(), QStringLiteral("Установки"));
    QCOMPARE(sett->CheckHint->text(), QStringLiteral("Подсказки"));
    QCOMPARE(sett->Label1->text(), QStringLiteral("Поправка времени (час)"));
    QCOMPARE(sett->Label2->text(), QStringLiteral("Часовой пояс"));
    QCOMPARE(sett->Label3->text(), QStringLiteral("Поверх всех окон:"));
    QVERIFY(sett->Label3->font().bold());
    QCOMPARE(sett->CheckCall->text(), QStringLiteral("Календарь"));
    QCOMPARE(sett->CheckVenVan->text(), QStringLiteral("Диаграмма Вень-вана"));
    QCOMPARE(sett->CheckBoxDiag->text(), QStringLiteral("Диаграмма «Стволы-ветви»"));
    QCOMPARE(sett->CheckUsin->text(), QStringLiteral("Диаграмма «У-син»"));
    QCOMPARE(sett->CheckStvoly->text(), QStringLiteral("Стволы-ветви"));
    QCOMPARE(sett->BitBtn1->text(), QStringLiteral("OK"));
    QCOMPARE(sett->BitBtn2->text(), QStringLiteral("Cancel"));
    QVERIFY(!sett->ComboBoxLetnee->isEditable());
    QVERIFY(sett->GMTCombo->isEditable());

    QStringList corrections;
    for (int i = 0; i < sett->ComboBoxLetnee->count(); ++i) corrections << sett->ComboBoxLetnee->itemText(i);
    QCOMPARE(corrections, QStringList({"-3", "-2", "-1", "0", "+1", "+2", "+3"}));
    QCOMPARE(sett->GMTCombo->count(), 26);
    const std::pair<int, const char*> zones[] = {{0, "GMT -12"}, {11, "GMT -1"}, {12, "GMT "},
                                                 {13, "GMT +1"}, {15, "GMT +3"}, {25, "GMT +13"}};
    for (const auto& [i, text] : zones) QCOMPARE(sett->GMTCombo->itemText(i), QString::fromLatin1(text));
    // First start: every box ticked.
    for (QCheckBox* b : {sett->CheckHint, sett->CheckCall, sett->CheckVenVan, sett->CheckBoxDiag,
                         sett->CheckUsin, sett->CheckStvoly})
      QVERIFY2(b->isChecked(), qPrintable(b->objectName()));
  }

  // The boxes come from "Set" once, at creation; the lists from the main
  // window at every showing.
  void creationAndShowing() {
    ui::test::WriteSettings(
        "[Set]\nHint=0\nCzaczyTop=1\nDiagWinTop=0\nVenvanTop=1\nUsinWinTop=0\nlegendaTop=0\n"
        "[Calendar]\nLetneeTime=5\nGMT=12\n");
    create();
    QVERIFY(!sett->CheckHint->isChecked());
    QVERIFY(sett->CheckCall->isChecked());
    QVERIFY(!sett->CheckBoxDiag->isChecked());
    QVERIFY(sett->CheckVenVan->isChecked());
    QVERIFY(!sett->CheckUsin->isChecked());
    QVERIFY(!sett->CheckStvoly->isChecked());
    openSettings();
    QCOMPARE(sett->ComboBoxLetnee->currentIndex(), 5);
    QCOMPARE(sett->GMTCombo->currentIndex(), 12);
    QCOMPARE(sett->GMTCombo->currentText(), QStringLiteral("GMT "));
    sett->BitBtn2->click();
    // An index outside the list: no selection, and OK stores -1.
    w->SetTimeSettings(9, 40);
    openSettings();
    QCOMPARE(sett->ComboBoxLetnee->currentIndex(), -1);
    QCOMPARE(sett->GMTCombo->currentIndex(), -1);
    sett->BitBtn1->click();
    QCOMPARE(stored("Calendar", "LetneeTime"), std::optional<QString>(QStringLiteral("-1")));
    QCOMPARE(stored("Calendar", "GMT"), std::optional<QString>(QStringLiteral("-1")));
  }

  // OK stores every value and rebuilds the status text at once.
  void okStoresAndApplies() {
    create();
    openSettings();
    sett->ComboBoxLetnee->setCurrentIndex(4);  // +1
    sett->GMTCombo->setCurrentIndex(13);       // GMT +1
    sett->CheckHint->setChecked(false);
    sett->CheckUsin->setChecked(false);
    sett->BitBtn1->click();
    QVERIFY(!sett->isVisible());
    QCOMPARE(w->timeCorrectionIndex(), 4);
    QCOMPARE(w->timeZoneIndex(), 13);
    QVERIFY(!w->HintsShown());
    QCOMPARE(w->controls().StatusPanel->text(), QStringLiteral("Поправка времени +1 час | GMT +1"));
    const std::pair<const char*, const char*> values[] = {
        {"Calendar/LetneeTime", "4"}, {"Calendar/GMT", "13"},  {"Set/Hint", "0"},
        {"Set/CzaczyTop", "1"},       {"Set/DiagWinTop", "1"}, {"Set/VenvanTop", "1"},
        {"Set/UsinWinTop", "0"},      {"Set/legendaTop", "1"},
    };
    for (const auto& [key, text] : values) {
      const QString k = QString::fromLatin1(key);
      QCOMPARE(ui::SettingsStore().rawText(k.section('/', 0, 0), k.section('/', 1)),
               std::optional<QString>(QString::fromLatin1(text)));
    }
    // The next start reads them back.
    sett.reset();
    w->close();
    w.reset();
    create();
    QCOMPARE(w->controls().StatusPanel->text(), QStringLiteral("Поправка времени +1 час | GMT +1"));
    QVERIFY(!sett->CheckUsin->isChecked());
    QVERIFY(!sett->CheckHint->isChecked());
  }

  // Typed zone text: an entry's exact text selects it; anything else is -1
  // and the status text leaves the zone out. Typing never adds an entry.
  void typedZone() {
    create();
    openSettings();
    sett->GMTCombo->lineEdit()->setText(QStringLiteral("GMT +5"));
    sett->BitBtn1->click();
    QCOMPARE(w->timeZoneIndex(), 17);
    openSettings();
    sett->GMTCombo->lineEdit()->setText(QStringLiteral("Москва"));
    QTest::keyClick(sett->GMTCombo->lineEdit(), Qt::Key_Enter);
    if (sett->isVisible()) sett->BitBtn1->click();
    QCOMPARE(sett->GMTCombo->count(), 26);
    QCOMPARE(w->timeZoneIndex(), -1);
    QCOMPARE(stored("Calendar", "GMT"), std::optional<QString>(QStringLiteral("-1")));
    QCOMPARE(w->controls().StatusPanel->text(), QStringLiteral("Поправка времени 0"));
    // "GMT" without the zero zone's blank is no entry either.
    openSettings();
    sett->GMTCombo->lineEdit()->setText(QStringLiteral("GMT"));
    sett->BitBtn1->click();
    QCOMPARE(w->timeZoneIndex(), -1);
  }

  // Cancel applies nothing; the boxes keep what the user ticked, the lists
  // are reselected at the next showing.
  void cancelAppliesNothing() {
    create();
    openSettings();
    sett->CheckUsin->setChecked(false);
    sett->ComboBoxLetnee->setCurrentIndex(0);
    sett->GMTCombo->setCurrentIndex(0);
    sett->CheckHint->setChecked(false);
    sett->BitBtn2->click();
    QVERIFY(!sett->isVisible());
    QCOMPARE(w->timeCorrectionIndex(), 3);
    QCOMPARE(w->timeZoneIndex(), 15);
    QVERIFY(w->HintsShown());
    QCOMPARE(w->controls().StatusPanel->text(), QStringLiteral("Поправка времени 0 | GMT +3"));
    QVERIFY(!stored("Set", "UsinWinTop"));
    QVERIFY(!stored("Calendar", "GMT"));
    openSettings();
    QVERIFY(!sett->CheckUsin->isChecked());
    QVERIFY(!sett->CheckHint->isChecked());
    QCOMPARE(sett->ComboBoxLetnee->currentIndex(), 3);
    QCOMPARE(sett->GMTCombo->currentIndex(), 15);
    sett->BitBtn2->click();
  }

  // With no hexagram shown, OK sets the date lists to the current moment
  // under the new zone and correction; with a hexagram on screen they stay.
  // 11:30 on the clock is the double hour 午 (11-13); an hour of correction
  // makes it 10:30, the double hour 巳 (9-11).
  void dateListsFollowOnlyWithoutHexagram() {
    fake->clock = QDateTime(QDate(2024, 2, 10), QTime(11, 30));
    create();
    QCOMPARE(w->controls().Chas->currentIndex(), 6);
    // A new zone alone: the lists, moved away by hand, come back to now.
    const QList<int> now = {w->controls().GodCombo->currentIndex(), w->controls().Mes->currentIndex(),
                            w->controls().Day->currentIndex(), w->controls().Chas->currentIndex()};
    for (QComboBox* c : {w->controls().GodCombo, w->controls().Mes, w->controls().Day, w->controls().Chas})
      c->setCurrentIndex((c->currentIndex() + 5) % c->count());
    openSettings();
    sett->GMTCombo->setCurrentIndex(20);
    sett->BitBtn1->click();
    QCOMPARE(QList<int>({w->controls().GodCombo->currentIndex(), w->controls().Mes->currentIndex(),
                         w->controls().Day->currentIndex(), w->controls().Chas->currentIndex()}),
             now);
    openSettings();
    sett->ComboBoxLetnee->setCurrentIndex(4);
    sett->BitBtn1->click();
    QCOMPARE(w->controls().Chas->currentIndex(), 5);

    // A hexagram on screen: the lists stay as they are.
    w->ToolButton2Click();
    QVERIFY(!w->controls().GuaBig1->isHidden());
    w->controls().Chas->setCurrentIndex(2);
    w->controls().Day->setCurrentIndex(20);
    openSettings();
    sett->ComboBoxLetnee->setCurrentIndex(3);
    sett->GMTCombo->setCurrentIndex(20);
    sett->BitBtn1->click();
    QCOMPARE(w->controls().Chas->currentIndex(), 2);
    QCOMPARE(w->controls().Day->currentIndex(), 20);
    QCOMPARE(w->controls().StatusPanel->text(), QStringLiteral("Поправка времени 0 | GMT +8"));
  }

  // "Установки..." opens the dialog modally.
  void settingsFromTheMenu() {
    create();
    bool wasShownModal = false;
    QTimer::singleShot(0, [&] {
      wasShownModal = sett->isVisible() && QApplication::activeModalWidget() == sett.get();
      sett->BitBtn2->click();
    });
    w->controls().N6->trigger();
    QVERIFY(wasShownModal);
  }
};

KALYNTH_TEST_MAIN(TestAboutSett)
#include "tst_aboutsett.moc"
