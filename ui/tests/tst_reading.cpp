// The reading window beside the main window: it follows every way a cast is
// made, folds the other texts, copies the reading and opens the pages from
// its headings; on a first start it stands right of the main window when
// the screen has room.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QToolButton>
#include <memory>

#include "core/reading.h"
#include "core/yarrow.h"
#include "records/record.h"
#include "settings/SettingsStore.h"
#include "ui/ProgramWindows.h"
#include "ui/kalynth.h"
#include "ui/reading.h"
#include "ui/tests/TestSupport.h"

using ui::Answer;
using ui::test::FakePlatform;

namespace {

QString Q(std::string_view s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

// The rule and the first selected text the reading of this cast shows.
QStringList ExpectedStart(const core::Figure& primary, const std::vector<int>& changing) {
  const core::ReadingTexts texts = core::TextsOfReading(primary, changing);
  return {QString::fromStdString(texts.rule), Q(texts.selected.front().text), Q(texts.selected.front().zh)};
}

}  // namespace

class TestReading : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> w;
  std::unique_ptr<TFormReading> r;
  QTemporaryDir dir;

  void create() {
    w = std::make_unique<TFormKalynth>();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    TFormKalynth* main = w.get();
    r = std::make_unique<TFormReading>(main, w->controls().Reading1, [main](int n, const QString& anchor) {
      main->OpenHexagramPage(n, anchor);
    });
    ui::ProgramWindows windows;
    windows.reading = r.get();
    ui::HandOver(main, nullptr, windows);
    r->ShowWindow();
  }
  void type(int n, const QString& code) { ui::test::TypeCode(*w, n, code); }
  void typeAll(const QStringList& codes) { ui::test::TypeCodes(*w, codes); }
  QString shown() const { return r->ReadingText->toPlainText(); }
  // The window reads the cast the main window has now.
  void verifyFollowsModel() {
    const core::Divination& m = w->Model();
    QVERIFY(m.numbers().has_value());
    for (const QString& part : ExpectedStart(m.figure(core::Primary), m.ChangingLines()))
      QVERIFY2(shown().contains(part), qPrintable(part + QStringLiteral("\nnot in\n") + shown()));
  }

 private slots:
  void init() {
    ui::test::PutFakePlatform(fake, scoped);
    core::ProgramRandom().setState(0);
  }
  void cleanup() {
    r.reset();
    w.reset();
    ui::test::TakeFakePlatform(fake, scoped);
  }

  // Every way the sheet changes reaches the window at once: codes as they
  // are typed (a hint until all six are valid), ">>", the yarrow stalks
  // (a hint while they are divided), the date casting, a new sheet and an
  // opened record.
  void followsEveryCasting() {
    create();
    QVERIFY(shown().contains(QStringLiteral("Гуа ещё не получена")));
    QVERIFY(!r->RestButton->isEnabled());

    // Hexagram 1 with its third and fifth lines changing.
    const QStringList codes{"588", "588", "544", "588", "544", "588"};
    for (int n = 1; n <= 5; ++n) type(n, codes[n - 1]);
    QVERIFY(shown().contains(QStringLiteral("Введите числа всех шести черт")));
    type(6, "58");
    QVERIFY(shown().contains(QStringLiteral("Введите числа всех шести черт")));
    QTest::keyClicks(w->LineEdit(6), QStringLiteral("8"));
    const core::Figure qian{true, true, true, true, true, true};
    for (const QString& part : ExpectedStart(qian, {3, 5})) QVERIFY(shown().contains(part));
    QVERIFY(shown().contains(QStringLiteral("Меняются две черты: читайте обе, главная — верхняя.")));
    QVERIFY(shown().contains(QStringLiteral("Девятка пятая (главная)")));
    QVERIFY(r->ReadingText->toHtml().contains(QStringLiteral("href=\"hexagram:1#line5\"")));
    QVERIFY(shown().indexOf(QStringLiteral("Девятка третья")) <
            shown().indexOf(QStringLiteral("Девятка пятая")));
    w->controls().Button1->click();
    verifyFollowsModel();

    // Save it, for the open below.
    const QString path = dir.filePath(QStringLiteral("reading.kly"));
    fake->saveNames.push_back(path);
    w->controls().Saveas1->trigger();
    QVERIFY(!w->Model().modified());

    w->controls().ClearBtn->click();
    QVERIFY(shown().contains(QStringLiteral("Гуа ещё не получена")));

    w->controls().ToolButton1->click();
    QVERIFY(shown().contains(QStringLiteral("Идёт гадание на стеблях")));
    QToolButton* divisions[3] = {w->controls().ToolButton4, w->controls().ToolButton5,
                                 w->controls().ToolButton6};
    for (int line = 1; line <= 6; ++line)
      for (QToolButton* b : divisions) {
        QVERIFY(shown().contains(QStringLiteral("Идёт гадание на стеблях")));
        b->click();
      }
    QVERIFY(!w->Model().yarrowActive());
    verifyFollowsModel();

    // The date casting, after a save prompt answered No.
    w->controls().ToolButton2->click();
    QVERIFY(w->Model().fromDate());
    verifyFollowsModel();

    fake->answers.push_back(Answer::No);
    w->OpenMyDropOrClickFile(path);
    QCOMPARE(w->currentFileName(), QFileInfo(path).absoluteFilePath());
    for (const QString& part : ExpectedStart(qian, {3, 5})) QVERIFY(shown().contains(part));
  }

  // A failed date casting hides the figures: the window says so rather than
  // keeping the texts of the figures no longer shown.
  void hiddenFiguresGiveTheHint() {
    create();
    typeAll({"548", "548", "548", "548", "548", "548"});
    w->controls().Button1->click();
    verifyFollowsModel();
    w->controls().Day->setCurrentIndex(-1);
    w->controls().ToolButton2->click();
    QCOMPARE(fake->prompts.size(), 1);  // the casting's error
    QVERIFY(!w->PrimaryFigureShown());
    QVERIFY(shown().contains(QStringLiteral("Гуа ещё не получена")));
  }

  // The other texts are folded away until asked for; then the primary's
  // texts not selected and the changed hexagram's follow.
  void restIsFolded() {
    create();
    typeAll({"588", "588", "544", "588", "544", "588"});
    w->controls().Button1->click();
    QVERIFY(r->RestButton->isEnabled());
    QVERIFY(r->RestText->isHidden());
    r->RestButton->click();
    QVERIFY(!r->RestText->isHidden());
    const QString rest = r->RestText->toPlainText();
    QVERIFY(rest.contains(QStringLiteral("Суждение")));
    QVERIFY(rest.contains(QString::fromStdString(core::HexagramHeading(1))));
    QVERIFY(rest.contains(QString::fromStdString(core::HexagramHeading(w->Model().numbers()->changed))));
    QVERIFY(!rest.contains(QStringLiteral("Девятка пятая")));
    r->RestButton->click();
    QVERIFY(r->RestText->isHidden());
  }

  // "Копировать": the source of the cast, the note, the rule and the texts,
  // as plain text.
  void copyGivesPlainText() {
    create();
    typeAll({"588", "988", "548", "548", "588", "588"});
    w->controls().Edit7->setText(QStringLiteral("Ехать ли?"));
    w->controls().Button1->click();
    r->CopyButton->click();
    const QString copied = QGuiApplication::clipboard()->text();
    const QStringList lines = copied.split(QLatin1Char('\n'));
    QVERIFY2(lines.size() > 4, qPrintable(copied));
    QCOMPARE(lines[0], QStringLiteral("Числа черт (снизу вверх): 588 988 548 548 588 588"));
    QCOMPARE(lines[1], QStringLiteral("Заметка: Ехать ли?"));
    QVERIFY2(lines[2].startsWith(QStringLiteral("Гадание 10.02.2024 12:00 (GMT +3) · год ")),
             qPrintable(lines[2]));
    QCOMPARE(lines[3], QString());
    const core::Figure primary{true, false, false, false, true, true};
    const QString reading =
        QString::fromStdString(core::PlainReadingText(core::TextsOfReading(primary, {2})));
    QVERIFY(copied.endsWith(reading));
    QVERIFY(!copied.contains(QLatin1Char('<')));
  }

  // A heading's link opens the page as a number label does, with the same
  // error when the desktop opens nothing.
  void headingOpensPage() {
    create();
    typeAll({"588", "588", "588", "588", "588", "588"});
    w->controls().Button1->click();
    emit r->ReadingText->anchorClicked(QUrl(QStringLiteral("hexagram:1")));
    QCOMPARE(fake->urls.size(), 1);
    QVERIFY(fake->urls.last().toLocalFile().endsWith(QStringLiteral("/comment/1.htm")));
    fake->urlsOpen = false;
    emit r->ReadingText->anchorClicked(QUrl(QStringLiteral("hexagram:1")));
    QCOMPARE(fake->prompts.size(), 1);
    QVERIFY(fake->prompts.last().text.contains(QStringLiteral("1.htm")));
    // A line's heading opens the page at that line.
    fake->urlsOpen = true;
    emit r->ReadingText->anchorClicked(QUrl(QStringLiteral("hexagram:12#line4")));
    QCOMPARE(fake->urls.size(), 3);
    QVERIFY(fake->urls.last().toLocalFile().endsWith(QStringLiteral("/comment/12.htm")));
    QCOMPARE(fake->urls.last().fragment(), QStringLiteral("line4"));
    // Anything else is no page.
    for (const char* url :
         {"hexagram:65", "hexagram:0", "hexagram:1#line7", "hexagram:1#x\"onload", "file:///etc/passwd"})
      emit r->ReadingText->anchorClicked(QUrl(QString::fromLatin1(url)));
    QCOMPARE(fake->urls.size(), 3);
  }

  // From the keyboard alone: Tab walks the headings' links, Enter opens the
  // page, and Tab past the last link goes on to the buttons.
  void keyboardReachesTheLinks() {
    create();
    typeAll({"588", "588", "544", "588", "544", "588"});
    w->controls().Button1->click();
    QApplication::setActiveWindow(r.get());
    QVERIFY(QTest::qWaitForWindowActive(r.get()));
    r->ReadingText->setFocus(Qt::TabFocusReason);
    QVERIFY(r->ReadingText->hasFocus());
    QStringList links;
    for (int i = 0; i < 3 && r->ReadingText->hasFocus(); ++i) {
      QTest::keyClick(r->ReadingText, Qt::Key_Tab);
      if (r->ReadingText->hasFocus()) links << r->ReadingText->textCursor().selectedText();
    }
    QCOMPARE(links, (QStringList{QString::fromStdString(core::HexagramHeading(1)),
                                 QStringLiteral("Девятка третья"), QStringLiteral("Девятка пятая")}));
    QTest::keyClick(r->ReadingText, Qt::Key_Return);
    QCOMPARE(fake->urls.size(), 1);
    QCOMPARE(fake->urls.last().fragment(), QStringLiteral("line5"));
    QTest::keyClick(r->ReadingText, Qt::Key_Tab);
    QVERIFY(r->RestButton->hasFocus());
  }

  // A cast keeps its moment and calendar; saved and opened again under
  // other time settings and at another time, the record shows its own, and
  // a record saved without one says that its moment is unknown.
  void momentTravelsWithTheRecord() {
    create();
    typeAll({"588", "588", "544", "588", "544", "588"});
    w->controls().Button1->click();
    QLabel* moment = w->controls().MomentPanel;
    QCOMPARE(moment->text(), QStringLiteral("10.02.2024 12:00 (GMT +3)"));
    const QString context = moment->toolTip();
    QVERIFY2(context.contains(QStringLiteral(" · столпы ")), qPrintable(context));
    QVERIFY(shown().contains(context));
    QVERIFY(w->Model().context().has_value());
    QCOMPARE(w->Model().context()->method, core::CastMethod::Codes);

    const QString path = dir.filePath(QStringLiteral("moment.kly"));
    fake->saveNames.push_back(path);
    w->controls().Saveas1->trigger();
    w->controls().ClearBtn->click();
    QCOMPARE(moment->text(), QString());

    fake->clock = QDateTime(QDate(2031, 7, 1), QTime(3, 0));
    fake->utcOffset = -5 * 3600;
    w->SetTimeSettings(calendar::TimeSettings{1, -5});
    w->OpenMyDropOrClickFile(path);
    QCOMPARE(moment->text(), QStringLiteral("10.02.2024 12:00 (GMT +3)"));
    QCOMPARE(moment->toolTip(), context);
    QVERIFY(shown().contains(context));
    // Saved again, the moment stays; cast again, it is the new one.
    w->controls().Save1->trigger();
    QCOMPARE(records::ReadRecordFile(path)->context, w->Model().context());
    w->controls().Button1->click();
    QCOMPARE(moment->text(), QStringLiteral("01.07.2031 03:00 (GMT -5)"));

    // An older record keeps no moment.
    QFile old(dir.filePath(QStringLiteral("old.kly")));
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write(
        "[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nEdit2=588\r\nEdit3=588\r\nEdit4=588\r\n"
        "Edit5=588\r\nEdit6=588\r\n[%%%&*(0876&%9]\r\n");
    old.close();
    fake->answers.push_back(Answer::No);
    w->OpenMyDropOrClickFile(old.fileName());
    QCOMPARE(moment->text(), QStringLiteral("Момент неизвестен"));
    QVERIFY(shown().contains(QStringLiteral("Момент гадания неизвестен")));
  }

  // The item ticks with the window; Ctrl+T is its shortcut.
  void menuItemToggles() {
    create();
    QAction* item = w->controls().Reading1;
    QVERIFY(item->isChecked());
    QCOMPARE(item->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_T));
    item->trigger();
    QVERIFY(r->isHidden());
    QVERIFY(!item->isChecked());
    // Hidden, it still follows: shown again it has the cast of now.
    typeAll({"548", "548", "548", "548", "548", "548"});
    w->controls().Button1->click();
    item->trigger();
    QVERIFY(!r->isHidden());
    verifyFollowsModel();
  }

  // First start (nothing stored): right of the main window, shown when the
  // screen has room there; a stored state is kept either way.
  void firstStartPlace_data() {
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<bool>("atRightEdge");
    QTest::addColumn<bool>("shown");
    // (The offscreen screen is 800 pixels wide: room for a narrow window.)
    QTest::newRow("room") << QByteArray("[Form]\nReadingWidth=280\n") << false << true;
    QTest::newRow("no room") << QByteArray() << true << false;
    QTest::newRow("room for a narrower window") << QByteArray() << false << true;
    QTest::newRow("no room right, room left") << QByteArray("[Form]\nReadingWidth=280\n") << true << false;
    QTest::newRow("stored hidden") << QByteArray("[Form]\nReadingShow=0\n") << false << false;
    QTest::newRow("stored shown, no room") << QByteArray("[Form]\nReadingShow=1\n") << true << true;
    QTest::newRow("nonsense size") << QByteArray("[Form]\nReadingWidth=-7\nReadingHeight=99999999\n") << false
                                   << true;
  }
  void firstStartPlace() {
    QFETCH(QByteArray, store);
    QFETCH(bool, atRightEdge);
    QFETCH(bool, shown);
    ui::test::WriteSettings(store);
    w = std::make_unique<TFormKalynth>();
    const QRect area = w->screen()->availableGeometry();
    w->move(atRightEdge ? area.right() - w->frameGeometry().width() : area.left(), area.top() + 10);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    r = std::make_unique<TFormReading>(w.get(), w->controls().Reading1, [](int, const QString&) {});
    QCOMPARE(!r->isHidden(), shown);
    QCOMPARE(w->controls().Reading1->isChecked(), shown);
    QVERIFY(r->width() >= 260 && r->width() <= area.width());
    QVERIFY(r->height() <= area.height());
    // Right of the main window where it fits, else left of it where that
    // fits; never over the main window when either does.
    const int right = w->frameGeometry().right();
    if (r->width() + 4 <= area.right() - right)
      QVERIFY(r->x() > right);
    else if (r->width() + 4 <= w->x() - area.left())
      QVERIFY(r->frameGeometry().right() < w->x());
  }
};

KALYNTH_TEST_MAIN(TestReading)
#include "tst_reading.moc"
