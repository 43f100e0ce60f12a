// The main window driven like a user drives it: the frame and its settings,
// number entry, the yarrow-stalk casting, the date casting and the
// commentary pages. Prompts and the clock come from a FakePlatform.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QDesktopServices>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStatusBar>
#include <QStyle>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>
#include <QToolTip>
#include <climits>
#include <memory>

#include "calendar/double_hours.h"
#include "core/yarrow.h"
#include "settings/SettingsStore.h"
#include "ui/ClickLabel.h"
#include "ui/GuaBig.h"
#include "ui/kalynth.h"
#include "ui/tests/TestSupport.h"

using ui::Answer;
using ui::test::FakePlatform;
using ui::test::UrlCatcher;

class TestMainWindow : public QObject {
  Q_OBJECT

  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> w;

  void create(const QStringList& args = {}) {
    w = std::make_unique<TFormKalynth>(args);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }

  // Saves the record with "Сохранить как..." into a temporary folder, as a
  // user makes it clean before the step a test watches.
  void saveAsClean() {
    fake->saveNames.push_back(saveDir.filePath(QStringLiteral("clean%1.kly").arg(++saved)));
    w->controls().Saveas1->trigger();
    QVERIFY(!w->Model().modified());
  }
  QTemporaryDir saveDir;
  int saved = 0;

  // Types a code into line field n the way a user does.
  void type(int n, const QString& code) { ui::test::TypeCode(*w, n, code); }
  void typeAll(const QStringList& codes) { ui::test::TypeCodes(*w, codes); }
  QStringList fieldTexts() const {
    QStringList t;
    for (int n = 1; n <= 6; ++n) t << w->LineEdit(n)->text();
    return t;
  }
  bool isRed(QLineEdit* e) const { return e->palette().color(QPalette::Text) == QColor(Qt::red); }
  // Visible as set by the window (the window itself may be hidden).
  static bool shown(QWidget* x) { return !x->isHidden(); }

 private slots:
  void init() {
    ui::test::PutFakePlatform(fake, scoped);
    core::ProgramRandom().setState(0);
  }
  void cleanup() {
    w.reset();  // gone without closing: no prompts
    ui::test::TakeFakePlatform(fake, scoped);
  }

  // ---- frame ---------------------------------------------------------------

  // A first start takes the desktop's own offset from UTC as the zone when
  // it is a whole hour of the list, and says so in the status line; other
  // offsets give the default GMT +3; a stored zone is never replaced.
  void firstStartZoneFromTheDesktop_data() {
    QTest::addColumn<int>("offsetMinutes");
    QTest::addColumn<QByteArray>("store");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("message");
    QTest::newRow("UTC") << 0 << QByteArray() << 12 << "Часовой пояс взят с компьютера: GMT 0";
    QTest::newRow("+5") << 300 << QByteArray() << 17 << "Часовой пояс взят с компьютера: GMT +5";
    QTest::newRow("-12") << -720 << QByteArray() << 0 << "Часовой пояс взят с компьютера: GMT -12";
    QTest::newRow("+13") << 780 << QByteArray() << 25 << "Часовой пояс взят с компьютера: GMT +13";
    QTest::newRow("+14 is no entry") << 840 << QByteArray() << 15 << "";
    QTest::newRow("+5:30 is no whole hour") << 330 << QByteArray() << 15 << "";
    QTest::newRow("stored zone kept") << 300 << QByteArray("[Calendar]\nGMT=14\n") << 14 << "";
    QTest::newRow("stored -1 kept") << 300 << QByteArray("[Calendar]\nGMT=-1\n") << -1 << "";
  }
  void firstStartZoneFromTheDesktop() {
    QFETCH(int, offsetMinutes);
    QFETCH(QByteArray, store);
    QFETCH(int, zone);
    QFETCH(QString, message);
    if (!store.isEmpty()) ui::test::WriteSettings(store);
    fake->utcOffset = offsetMinutes * 60;
    create();
    QCOMPARE(w->timeZoneIndex(), zone);
    QCOMPARE(w->controls().StatusBar1->currentMessage(), message);
    QCOMPARE(w->controls().StatusPanel->isHidden(), !message.isEmpty());
    // Taken, not written: the settings dialog's OK stores it.
    if (store.isEmpty())
      QVERIFY(!ui::SettingsStore().rawText(QStringLiteral("Calendar"), QStringLiteral("GMT")));
  }

  // F10 opens the first menu whatever the keyboard layout; in a Latin
  // layout the keys of the Cyrillic Alt letters open their menus.
  void menuKeysInEveryLayout_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("menu");
    QTest::newRow("F10") << int(Qt::Key_F10) << int(Qt::NoModifier) << "FileMenu";
    QTest::newRow("Alt+A (Ф)") << int(Qt::Key_A) << int(Qt::AltModifier) << "FileMenu";
    QTest::newRow("Alt+G (П)") << int(Qt::Key_G) << int(Qt::AltModifier) << "OtherMenu";
    QTest::newRow("Alt+C (С)") << int(Qt::Key_C) << int(Qt::AltModifier) << "HelpMenu";
  }
  void menuKeysInEveryLayout() {
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, menu);
    create();
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    w->activateWindow();
    QTRY_VERIFY(w->isActiveWindow());
    QTest::keyClick(w.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    auto* opened = w->findChild<QMenu*>(menu);
    QVERIFY(opened);
    QTRY_VERIFY(opened->isVisible());
    QCOMPARE(w->menuBar()->activeAction(), opened->menuAction());
    QTest::keyClick(opened, Qt::Key_Escape);
  }

  void firstStartWithEmptyStore() {
    create();
    QCOMPARE(w->size(), QSize(479, 331));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(w->pos(), QPoint(screen.width() / 2 - 479 / 2, screen.height() / 2 - 331 / 2));
    QVERIFY(w->HintsShown());
    QCOMPARE(w->controls().StatusPanel->text(), QStringLiteral("Поправка времени 0 | GMT +3"));
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH"));
    QCOMPARE(w->timeCorrectionIndex(), 3);
    QCOMPARE(w->timeZoneIndex(), 15);
    QCOMPARE(w->expandedHeight(), 400);
    QCOMPARE(w->untitledCounter(), 1);
    QVERIFY(!w->Model().modified());
    QVERIFY(!w->Model().bound());
    for (QWidget* x : std::initializer_list<QWidget*>{
             w->controls().GuaBig1, w->controls().GuaBig2, w->controls().GuaBig3, w->controls().Label1,
             w->controls().Label2, w->controls().Label3, w->controls().PanelStatus})
      QVERIFY2(!shown(x), qPrintable(x->objectName()));
    QVERIFY(!w->controls().Button1->isEnabled());
    QVERIFY(w->controls().ToolButton1->isEnabled());
    QVERIFY(!w->controls().ToolButton4->isEnabled() && !w->controls().ToolButton5->isEnabled() &&
            !w->controls().ToolButton6->isEnabled());
    QCOMPARE(w->controls().LabelStatus->text(), QStringLiteral("Не установлено"));
  }

  // Captions, hints, shortcuts and object names as the user and the other
  // windows find them.
  void controlsAndMenus() {
    create();
    // Captions as the user reads them; the letter after "&" is the item's
    // Alt letter, which is not underlined.
    struct Item {
      const char* name;
      const char* text;
      QKeySequence keys;
      const char* letter;
    };
    const Item items[] = {
        {"New1", "Новый лист", QKeySequence(QStringLiteral("Ctrl+N")), "Н"},
        {"Open1", "Открыть...", QKeySequence(QStringLiteral("Ctrl+O")), "О"},
        {"Save1", "Сохранить", QKeySequence(QStringLiteral("Ctrl+S")), "С"},
        {"Saveas1", "Сохранить как...", QKeySequence(QStringLiteral("Shift+Ctrl+S")), "к"},
        {"Exit1", "Выход", QKeySequence(QStringLiteral("Ctrl+W")), "В"},
        {"Chza1", "Календарь", {}, "К"},
        {"VenVan", "Диаграмма Вень-вана", {}, "В"},
        {"Table1", "Диаграмма «Стволы-ветви»", {}, "Д"},
        {"DiagUsin", "Диаграмма «У-син»", {}, "н"},
        {"StvilyVetvi", "Стволы-ветви", {}, "С"},
        {"N6", "Установки...", {}, "У"},
        {"N8", "Вызов справки", QKeySequence(QStringLiteral("F1")), "В"},
        {"N3", "О программе", {}, "О"},
    };
    auto caption = [](QString text) { return text.remove(QLatin1Char('&')); };
    auto letter = [](const QString& text) { return text.mid(text.indexOf(QLatin1Char('&')) + 1, 1); };
    for (const Item& item : items) {
      auto* a = w->findChild<QAction*>(QString::fromLatin1(item.name));
      QVERIFY2(a, item.name);
      QCOMPARE(caption(a->text()), QString::fromUtf8(item.text));
      QCOMPARE(letter(a->text()), QString::fromUtf8(item.letter));
      QCOMPARE(a->shortcut(), item.keys);
    }
    for (QAction* a : {w->controls().Chza1, w->controls().VenVan, w->controls().Table1,
                       w->controls().DiagUsin, w->controls().StvilyVetvi})
      QVERIFY(a->isCheckable());
    QStringList menus, letters;
    for (QAction* a : w->menuBar()->actions()) {
      menus << caption(a->text());
      letters << letter(a->text());
    }
    QCOMPARE(menus, QStringList({"Файл", "Прочее", "Справка"}));
    QCOMPARE(letters, QStringList({"Ф", "П", "С"}));
    // The letters are not underlined in the menu bar nor in the menus.
    for (QWidget* m : std::initializer_list<QWidget*>{w->menuBar(), w->controls().FileMenu,
                                                      w->controls().OtherMenu, w->controls().HelpMenu})
      QCOMPARE(m->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, m), 0);

    struct Hint {
      const char* name;
      const char* hint;
    };
    const Hint hints[] = {{"ClearBtn", "Новый лист"},
                          {"ToolButton8", "Открыть файл..."},
                          {"ToolButton9", "Сохранить файл"},
                          {"ToolButton1", "Начать гадание с помощью компьютера"},
                          {"ToolButton4", "Разделить"},
                          {"ToolButton5", "Разделить"},
                          {"ToolButton6", "Разделить"},
                          {"ToolButton10", "Комментарии"},
                          {"GodCombo", "Год лунному календарю"},
                          {"Mes", "Лунный месяц"},
                          {"Day", "Лунный день"},
                          {"Chas", "Двухчасовки"},
                          {"ToolButton2", "Получить гуа"},
                          {"Edit1", "Числа первого яо"},
                          {"Edit4", "Числа четвертого яо"},
                          {"Edit6", "Числа шестого яо"},
                          {"Button1", "Получить гуа из чисел"},
                          {"Label2", "Комментарии к гуа"},
                          {"LabelStatus", "Гуа получены на эту дату"},
                          {"Edit7", "Краткие комментарии к гуа"},
                          {"CommentsMemo", "Комментарии к гуа"}};
    for (const Hint& h : hints) {
      auto* x = w->findChild<QWidget*>(QString::fromLatin1(h.name));
      QVERIFY2(x, h.name);
      QCOMPARE(x->toolTip(), QString::fromUtf8(h.hint));
    }
    for (QToolButton* b : w->findChildren<QToolButton*>()) {
      if (b->objectName().startsWith(QLatin1String("qt_"))) continue;  // tool bar extension
      QCOMPARE(b->cursor().shape(), Qt::PointingHandCursor);
      QVERIFY2(!b->icon().isNull(), qPrintable(b->objectName()));
    }
    QCOMPARE(w->controls().Chas->count(), 12);
    QCOMPARE(w->controls().Chas->maxVisibleItems(), 8);
    for (int i = 0; i < 12; ++i) QVERIFY(!w->controls().Chas->itemIcon(i).isNull());
    QCOMPARE(w->controls().GodCombo->count(), 12);
    QCOMPARE(w->controls().Mes->count(), 12);
    QCOMPARE(w->controls().Day->count(), 30);
    QCOMPARE(w->controls().Day->itemText(29), QStringLiteral("30"));
    QVERIFY(w->controls().Panel9->text().contains(QStringLiteral("wikisource.org")));
  }

  // Alt+Ф opens "Файл", and within it the letter of an item chooses it
  // ("О": the open dialog); Alt+С opens "Справка".
  void altLettersOpenMenus() {
    create();
    QTest::sendKeyEvent(QTest::Click, w.get(), Qt::Key(0x0424), QStringLiteral("ф"), Qt::AltModifier);
    QTRY_VERIFY(w->controls().FileMenu->isVisible());
    fake->openNames.push_back(QString());  // the user cancels the dialog
    QTest::sendKeyEvent(QTest::Click, w->controls().FileMenu, Qt::Key(0x041E), QStringLiteral("о"),
                        Qt::NoModifier);
    QTRY_COMPARE(fake->openRequests.size(), 1);
    QTRY_VERIFY(!w->controls().FileMenu->isVisible());
    QTest::sendKeyEvent(QTest::Click, w.get(), Qt::Key(0x0421), QStringLiteral("с"), Qt::AltModifier);
    QTRY_VERIFY(w->controls().HelpMenu->isVisible());
    QTest::keyClick(w->controls().HelpMenu, Qt::Key_Escape);
    QTRY_VERIFY(!w->controls().HelpMenu->isVisible());
  }

  // Tab leaves the comments box, as it leaves every other field.
  void tabLeavesComments() {
    create();
    w->resize(TFormKalynth::FormWidth, 500);
    QTRY_VERIFY(w->controls().CommentsMemo->isVisible());
    w->activateWindow();
    w->controls().CommentsMemo->setFocus();
    QTRY_VERIFY(w->controls().CommentsMemo->hasFocus());
    QTest::keyClicks(w->controls().CommentsMemo, QStringLiteral("idea"));
    QTest::keyClick(w->controls().CommentsMemo, Qt::Key_Tab);
    QCOMPARE(w->controls().CommentsMemo->toPlainText(), QStringLiteral("idea"));
    QVERIFY(!w->controls().CommentsMemo->hasFocus());
  }

  // Every control lies inside the 479-pixel client area and nothing is cut
  // by the tool bars' overflow button.
  void everythingFitsCollapsed() {
    create();
    for (QToolBar* bar : {w->controls().ToolBar1, w->controls().ToolBar2}) {
      auto* ext = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
      QVERIFY(!ext || !ext->isVisible());
    }
    for (QWidget* x : std::initializer_list<QWidget*>{
             w->controls().Edit1, w->controls().Edit6, w->controls().Button1, w->controls().Panel1,
             w->controls().Edit7, w->controls().Chas, w->controls().ToolButton2, w->controls().Panel9}) {
      const QRect r(x->mapTo(w.get(), QPoint(0, 0)), x->size());
      QVERIFY2(w->rect().contains(r), qPrintable(x->objectName()));
    }
    QVERIFY(!w->controls().CommentsMemo->isVisible());
    const QRect panel(w->controls().Panel1->mapTo(w.get(), QPoint(0, 0)), w->controls().Panel1->size());
    const QRect status(w->controls().PanelStatus->mapTo(w.get(), QPoint(0, 0)),
                       w->controls().PanelStatus->size());
    QVERIFY(panel.contains(status));
    QVERIFY(w->controls().Panel1->height() >= 10 + 88 + 4 + 18 + 20);
  }

  void storedHeight_data() {
    QTest::addColumn<int>("stored");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("expanded");
    QTest::newRow("below the collapsed height") << 200 << 331 << 400;
    QTest::newRow("just above collapsed") << 350 << 400 << 400;
    QTest::newRow("tall") << 600 << 600 << 400;  // HeightIndex keeps its own value
  }
  void storedHeight() {
    QFETCH(int, stored);
    QFETCH(int, height);
    QFETCH(int, expanded);
    ui::test::WriteSettings("[Form]\nHeight=" + QByteArray::number(stored) + "\nLeft=10\nTop=20\n");
    create();
    QCOMPARE(w->height(), height);
    QCOMPARE(w->width(), 479);
    QCOMPARE(w->expandedHeight(), expanded);
    QCOMPARE(w->pos(), QPoint(10, 20));
  }

  void commentsToggle() {
    create();
    QVERIFY(!w->controls().CommentsMemo->isVisible());
    w->resize(479, 600);
    QTRY_COMPARE(w->height(), 600);
    QCOMPARE(w->expandedHeight(), 600);
    QVERIFY(w->controls().CommentsMemo->isVisible());
    QVERIFY(w->controls().CommentsMemo->height() >= 600 - 331 - 8);
    w->controls().ToolButton10->click();
    QTRY_COMPARE(w->height(), 331);
    QCOMPARE(w->expandedHeight(), 600);
    QTRY_VERIFY(!w->controls().CommentsMemo->isVisible());
    w->controls().ToolButton10->click();
    QTRY_COMPARE(w->height(), 600);
  }

  void commentsToggleOpensAtLeast400() {
    ui::test::WriteSettings("[Form]\nHeightIndex=380\n");
    create();
    QCOMPARE(w->expandedHeight(), 380);
    w->controls().ToolButton10->click();
    QTRY_COMPARE(w->height(), 400);
    QCOMPARE(w->expandedHeight(), 400);
  }

  void sizeLimits() {
    create();
    w->resize(600, 200);
    QTest::qWait(20);
    QCOMPARE(w->width(), 479);
    QCOMPARE(w->height(), 331);
    w->resize(479, 380);
    QTRY_COMPARE(w->height(), 380);
    QCOMPARE(w->expandedHeight(), 400);
    QVERIFY(!(w->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(w->windowFlags() & Qt::WindowMinimizeButtonHint);
  }

  void statusText_data() {
    QTest::addColumn<int>("correction");
    QTest::addColumn<int>("zone");
    QTest::addColumn<QString>("text");
    QTest::newRow("defaults") << 3 << 15 << "Поправка времени 0 | GMT +3";
    QTest::newRow("-3, GMT 0") << 0 << 12 << "Поправка времени -3 часа | GMT 0";
    QTest::newRow("-2, GMT -12") << 1 << 0 << "Поправка времени -2 часа | GMT -12";
    QTest::newRow("-1, GMT -1") << 2 << 11 << "Поправка времени -1 час | GMT -1";
    QTest::newRow("+1, GMT +1") << 4 << 13 << "Поправка времени +1 час | GMT +1";
    QTest::newRow("+2, GMT +13") << 5 << 25 << "Поправка времени +2 часа | GMT +13";
    QTest::newRow("+3, no zone") << 6 << -1 << "Поправка времени +3 часа";
    // Stored indexes outside the lists: a zone outside 0..25 is no zone;
    // no correction text outside 0..6.
    QTest::newRow("zone -2147483648") << 3 << INT_MIN << "Поправка времени 0";
    QTest::newRow("zone -2") << 3 << -2 << "Поправка времени 0";
    QTest::newRow("zone 26") << 3 << 26 << "Поправка времени 0";
    QTest::newRow("zone 2147483647") << 3 << INT_MAX << "Поправка времени 0";
    QTest::newRow("correction -2147483648") << INT_MIN << 15 << " | GMT +3";
  }
  void statusText() {
    QFETCH(int, correction);
    QFETCH(int, zone);
    QFETCH(QString, text);
    ui::test::WriteSettings("[Calendar]\nLetneeTime=" + QByteArray::number(correction) +
                            "\nGMT=" + QByteArray::number(zone) + "\n");
    create();
    QCOMPARE(w->controls().StatusPanel->text(), text);
  }

  void closeWritesFormAndSet() {
    ui::test::WriteSettings("[Set]\nHint=0\n");
    create();
    QVERIFY(!w->HintsShown());
    w->move(33, 44);
    w->resize(479, 500);
    QTRY_COMPARE(w->height(), 500);
    const QPoint at = w->pos();
    QVERIFY(w->close());
    ui::SettingsStore s;
    QCOMPARE(s.read(ui::settings::FormLeft, -1), at.x());
    QCOMPARE(s.read(ui::settings::FormTop, -1), at.y());
    QCOMPARE(s.read(ui::settings::FormHeight), 500);
    QCOMPARE(s.read(ui::settings::FormHeightIndex), 500);
    QCOMPARE(s.read(ui::settings::SetHint), false);
    QCOMPARE(s.rawText("Form", "LegendaShow"), std::optional<QString>("0"));
    QCOMPARE(s.rawText("Form", "CzaczyShow"), std::optional<QString>("0"));
    QCOMPARE(s.rawText("Form", "DiagShow"), std::optional<QString>("0"));
    QCOMPARE(s.rawText("Form", "FormVenvanShow"), std::optional<QString>("0"));
    QCOMPARE(s.rawText("Form", "UsinShow"), std::optional<QString>("0"));
    w.reset();
  }

  void cancelledCloseWritesNothing() {
    create();
    type(6, "588");
    fake->answers = {Answer::Cancel};
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QVERIFY(!QFile::exists(ui::test::SettingsFile()));
  }

  void hintsOff() {
    ui::test::WriteSettings("[Set]\nHint=0\n");
    create();
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), w->controls().Edit1->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(w->controls().Edit1, &help);
    QVERIFY(!QToolTip::isVisible());
    w->SetHintsShown(true);
    QCoreApplication::sendEvent(w->controls().Edit1, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Числа первого яо"));
    QToolTip::hideText();
  }

  // ---- number entry ------------------------------------------------------------

  void numbersToHexagram_data() {
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<QList<int>>("numbers");  // empty: nothing shown
    QTest::addColumn<bool>("allThree");
    // The casting itself is the model's (core: CodesCasting, every case);
    // here one casting with all three figures and one without any.
    QTest::newRow("line 3 changes") << QStringList{"588", "588", "544", "588", "588", "588"}
                                    << QList<int>{1, 37, 10} << true;
    QTest::newRow("sixth empty") << QStringList{"588", "588", "588", "588", "588", ""} << QList<int>{}
                                 << false;
  }
  void numbersToHexagram() {
    QFETCH(QStringList, codes);
    QFETCH(QList<int>, numbers);
    QFETCH(bool, allThree);
    create();
    typeAll(codes);
    QVERIFY(w->controls().Button1->isEnabled());
    saveAsClean();
    QTest::keyClick(w->controls().Edit4, Qt::Key_Return);
    QVERIFY(w->Model().modified());
    if (numbers.isEmpty()) {
      QVERIFY(!shown(w->controls().GuaBig1) && !shown(w->controls().Label1) && !shown(w->controls().GuaBig3));
      return;
    }
    QVERIFY(shown(w->controls().GuaBig1) && shown(w->controls().Label1));
    QCOMPARE(w->controls().Label1->text(), QString::number(numbers[0]));
    QCOMPARE(shown(w->controls().GuaBig2), allThree);
    QCOMPARE(shown(w->controls().GuaBig3), allThree);
    QCOMPARE(shown(w->controls().Label3), allThree);
    if (allThree) {
      QCOMPARE(w->controls().Label2->text(), QString::number(numbers[1]));
      QCOMPARE(w->controls().Label3->text(), QString::number(numbers[2]));
    }
    for (TGuaBig* g : {w->controls().GuaBig1, w->controls().GuaBig2, w->controls().GuaBig3})
      QCOMPARE(g->JaoNo(), 0);
    QVERIFY(!shown(w->controls().PanelStatus));
  }

  // A failed number entry hides the figures and numbers and keeps the
  // captions of the last casting; a new sheet disables ">>" again.
  void invalidCodesKeepCaptionsHidden() {
    create();
    typeAll({"588", "588", "544", "588", "588", "588"});
    w->controls().Button1->click();
    QCOMPARE(w->controls().Label2->text(), QStringLiteral("37"));
    w->controls().Edit6->setText(QStringLiteral("5"));
    w->controls().Button1->click();
    QVERIFY(!shown(w->controls().GuaBig1) && !shown(w->controls().Label1) && !shown(w->controls().Label2));
    QCOMPARE(w->controls().Label2->text(), QStringLiteral("37"));
    QVERIFY(w->controls().Button1->isEnabled());
    w->NewClick();
    QVERIFY(!w->controls().Button1->isEnabled());
  }

  void changingCodesInRed() {
    create();
    QLineEdit* e = w->controls().Edit2;
    QTest::keyClick(e, '5');
    QVERIFY(!isRed(e));
    QTest::keyClick(e, '4');
    QVERIFY(!isRed(e));
    QTest::keyClick(e, '4');
    QVERIFY(isRed(e));
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClick(e, '8');
    QCOMPARE(e->text(), QStringLiteral("548"));
    QVERIFY(!isRed(e));
    e->setText(QStringLiteral("988"));
    QVERIFY(isRed(e));
  }

  // Three characters are typed at most; longer text from a file stays whole.
  void atMostThreeTyped() {
    create();
    QTest::keyClicks(w->controls().Edit1, "58845");
    QCOMPARE(w->controls().Edit1->text(), QStringLiteral("588"));
    w->controls().Edit2->setText(QStringLiteral("12345"));
    QCOMPARE(w->controls().Edit2->text(), QStringLiteral("12345"));
    w->controls().Edit2->setCursorPosition(5);
    QTest::keyClick(w->controls().Edit2, Qt::Key_Backspace);
    QCOMPARE(w->controls().Edit2->text(), QStringLiteral("1234"));
    QTest::keyClick(w->controls().Edit2, '9');
    QCOMPARE(w->controls().Edit2->text(), QStringLiteral("1234"));
  }

  // Enter runs ">>" from any line field and from the button, also while the
  // button is disabled.
  void enterRunsButton1() {
    create();
    QVERIFY(!w->controls().Button1->isEnabled());
    QTest::keyClick(w->controls().Edit1, Qt::Key_Enter);
    QVERIFY(w->Model().modified());
    typeAll({"588", "588", "544", "588", "588", "588"});
    w->controls().Button1->setEnabled(false);
    QTest::keyClick(w->controls().Edit6, Qt::Key_Return);
    QCOMPARE(w->controls().Label2->text(), QStringLiteral("37"));
    w->controls().GuaBig1->hide();
    w->controls().Button1->setEnabled(true);
    QTest::keyClick(w->controls().Button1, Qt::Key_Return);
    QVERIFY(shown(w->controls().GuaBig1));
  }

  // Enter that confirms a dialog is pressed in the dialog; its release then
  // lands in the line field that has the focus again. That release alone
  // must leave a date casting (or a record just saved or opened) as it is.
  void enterReleasedAfterADialogRunsNothing() {
    create();
    typeAll({"588", "588", "544", "588", "588", "588"});
    w->controls().Edit1->setFocus();
    w->controls().ToolButton2->click();
    const QString primary = w->controls().Label1->text();
    const int jaoNo = w->controls().GuaBig1->JaoNo();
    saveAsClean();
    for (QWidget* target : std::initializer_list<QWidget*>{w->controls().Edit1, w->controls().Button1}) {
      QTest::keyRelease(target, Qt::Key_Return);
      QVERIFY(!w->Model().modified());
      QVERIFY(shown(w->controls().PanelStatus));
      QCOMPARE(w->controls().Label1->text(), primary);
      QCOMPARE(w->controls().GuaBig1->JaoNo(), jaoNo);
    }
    // A whole key stroke in the field still runs ">>".
    QTest::keyClick(w->controls().Edit1, Qt::Key_Return);
    QVERIFY(w->Model().modified());
    QVERIFY(!shown(w->controls().PanelStatus));
    QCOMPARE(w->controls().Label1->text(), QStringLiteral("1"));
  }

  // ---- yarrow stalks -----------------------------------------------------------

  void yarrowCasting() {
    create();
    fake->clock = QDateTime(QDate(2024, 2, 10), QTime(10, 12, 34));  // clock number 1234
    w->controls().CommentsMemo->setPlainText(QStringLiteral("старый комментарий"));
    w->controls().Edit7->setText(QStringLiteral("заметка"));
    saveAsClean();
    w->controls().ToolButton1->click();
    QVERIFY(w->Model().yarrowActive());
    QCOMPARE(w->Model().yarrowLine(), 1);
    QVERIFY(w->controls().CommentsMemo->toPlainText().isEmpty());
    QVERIFY(!w->controls().CommentsMemo->isEnabled());
    QVERIFY(w->controls().Edit7->text().isEmpty());
    QVERIFY(w->controls().Edit7->isEnabled());
    QVERIFY(w->controls().Button1->isEnabled());
    for (QAction* a : {w->controls().Save1, w->controls().Saveas1}) QVERIFY(!a->isEnabled());

    QToolButton* steps[3] = {w->controls().ToolButton4, w->controls().ToolButton5, w->controls().ToolButton6};
    for (int line = 1; line <= 6; ++line) {
      for (int step = 0; step < 3; ++step) {
        // State table: exactly the next division button is enabled; casting
        // button, date casting, save commands and date lists are disabled.
        for (int k = 0; k < 3; ++k) QCOMPARE(steps[k]->isEnabled(), k == step);
        QVERIFY(!w->controls().ToolButton1->isEnabled());
        QVERIFY(!w->controls().ToolButton2->isEnabled());
        QVERIFY(!w->controls().ToolButton9->isEnabled());
        QVERIFY(!w->controls().GodCombo->isEnabled() && !w->controls().Chas->isEnabled());
        QVERIFY(w->LineEdit(line)->isReadOnly());
        steps[step]->click();
        QCOMPARE(w->LineEdit(line)->text().size(), step + 1);
        if (line < 6 || step < 2) {
          QVERIFY(!w->Model().modified());
          QVERIFY(!w->Model().bound());
        }
      }
      if (line == 1)
        QCOMPARE(w->controls().Edit1->text(), QStringLiteral("588"));  // left heap 10: 2 + 2 + 1 = 5
    }
    QCOMPARE(fieldTexts(), QStringList({"588", "588", "544", "544", "984", "948"}));
    QVERIFY(!w->Model().yarrowActive());
    QCOMPARE(w->Model().yarrowLine(), 0);
    QVERIFY(w->Model().modified());
    QVERIFY(!w->Model().bound());
    QVERIFY(w->controls().CommentsMemo->toPlainText().isEmpty());
    QVERIFY(w->controls().CommentsMemo->isEnabled());
    QVERIFY(w->controls().ToolButton1->isEnabled() && w->controls().ToolButton2->isEnabled() &&
            w->controls().ToolButton9->isEnabled());
    for (QToolButton* b : steps) QVERIFY(!b->isEnabled());
    for (int n = 1; n <= 6; ++n) QVERIFY(!w->LineEdit(n)->isReadOnly());
    QVERIFY(shown(w->controls().GuaBig1) && shown(w->controls().GuaBig2) && shown(w->controls().GuaBig3));
    QVERIFY(isRed(w->controls().Edit3) && isRed(w->controls().Edit4) && !isRed(w->controls().Edit5));
    QVERIFY(fake->prompts.isEmpty());
  }

  // With the clock number 0 every draw returns 0: each line is "544".
  void yarrowWithClockZero() {
    create();
    fake->clock = QDateTime(QDate(2024, 2, 10), QTime(10, 0, 0));
    w->controls().ToolButton1->click();
    w->controls().ToolButton4->click();
    w->controls().ToolButton5->click();
    w->controls().ToolButton6->click();
    QCOMPARE(w->controls().Edit1->text(), QStringLiteral("544"));
    QCOMPARE(w->Model().yarrowLine(), 2);
  }

  void yarrowAsksToSaveWhenModified() {
    create();
    type(1, "588");
    const QStringList before = fieldTexts();
    fake->answers = {Answer::Cancel};
    w->controls().ToolButton1->click();
    QCOMPARE(fake->promptTexts(), QStringList{"Сохранить изменения в файле «без имени»?"});
    QCOMPARE(fake->prompts.first().kind, QStringLiteral("warning3"));
    QVERIFY(!w->Model().yarrowActive());
    QCOMPARE(fieldTexts(), before);
    fake->answers = {Answer::No};
    w->controls().ToolButton1->click();
    QVERIFY(w->Model().yarrowActive());
  }

  // ">>" between divisions draws nothing while a field is incomplete, and
  // Enter works in the read-only fields.
  void buttonDuringCasting() {
    create();
    w->controls().ToolButton1->click();
    w->controls().ToolButton4->click();
    QTest::keyClick(w->controls().Edit1, Qt::Key_Return);
    QVERIFY(!shown(w->controls().GuaBig1));
    QVERIFY(w->Model().yarrowActive());
  }

  // ---- date casting ------------------------------------------------------------

  void dateCasting_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<QList<int>>("numbers");
    QTest::addColumn<int>("jaoNo");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("primaryLines");  // line 1 first, 1 = yang
    QTest::addColumn<QString>("changedLines");
    // Upper trigram 7, lower 6, line 6: number 4 turns into 7.
    QTest::newRow("5/3/15 У") << 5 << 3 << 15 << 6 << QList<int>{4, 24, 7} << 6
                              << "Гуа на год 5, месяц 3, день 15, час У"
                              << "010001"
                              << "010000";
    // Trigrams 8 and 8, line 4: number 2 turns into 16.
    QTest::newRow("1/1/6 Вэй") << 1 << 1 << 6 << 7 << QList<int>{2, 39, 16} << 4
                               << "Гуа на год 1, месяц 1, день 6, час Вэй"
                               << "000000"
                               << "000100";
    // Upper trigram 6, lower 2, line 6: number 60 turns into 61.
    QTest::newRow("12/12/30 Хай") << 12 << 12 << 30 << 11 << QList<int>{60, 27, 61} << 6
                                  << "Гуа на год 12, месяц 12, день 30, час Хай"
                                  << "110010"
                                  << "110011";
  }
  void dateCasting() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(QList<int>, numbers);
    QFETCH(int, jaoNo);
    QFETCH(QString, status);
    QFETCH(QString, primaryLines);
    QFETCH(QString, changedLines);
    create();
    typeAll({"588", "", "", "", "", ""});
    w->controls().GodCombo->setCurrentIndex(year - 1);
    w->controls().Mes->setCurrentIndex(month - 1);
    w->controls().Day->setCurrentIndex(day - 1);
    w->controls().Chas->setCurrentIndex(hour);
    saveAsClean();
    w->controls().ToolButton2->click();
    QVERIFY(w->Model().modified());
    QCOMPARE(w->controls().Label1->text(), QString::number(numbers[0]));
    QCOMPARE(w->controls().Label2->text(), QString::number(numbers[1]));
    QCOMPARE(w->controls().Label3->text(), QString::number(numbers[2]));
    for (QWidget* x : std::initializer_list<QWidget*>{
             w->controls().GuaBig1, w->controls().GuaBig2, w->controls().GuaBig3, w->controls().Label1,
             w->controls().Label2, w->controls().Label3, w->controls().PanelStatus})
      QVERIFY(shown(x));
    for (TGuaBig* g : {w->controls().GuaBig1, w->controls().GuaBig2, w->controls().GuaBig3})
      QCOMPARE(g->JaoNo(), jaoNo);
    for (int n = 1; n <= 6; ++n) {
      QCOMPARE(w->controls().GuaBig1->line(n), primaryLines[n - 1] == QLatin1Char('1'));
      QCOMPARE(w->controls().GuaBig3->line(n), changedLines[n - 1] == QLatin1Char('1'));
    }
    QCOMPARE(w->controls().LabelStatus->text(), status);
    QCOMPARE(w->controls().Edit1->text(), QStringLiteral("588"));  // line fields untouched

    // ">>" afterwards redraws from the fields and hides the strip.
    w->controls().Button1->click();
    QVERIFY(!shown(w->controls().PanelStatus));
  }

  // An empty month list ends the casting with the conversion error, shown
  // by the application's error box; the program goes on.
  void dateCastingWithEmptyMonth() {
    create();
    w->controls().ToolButton2->click();  // year 5, month 1, day 1, hour 6: number 4
    QCOMPARE(w->controls().Label1->text(), QStringLiteral("4"));
    const QString label1 = w->controls().Label1->text();
    w->controls().Mes->setCurrentIndex(-1);
    saveAsClean();
    QTest::mouseClick(w->controls().ToolButton2, Qt::LeftButton);
    QCOMPARE(fake->prompts.size(), 1);
    QCOMPARE(fake->prompts.first().kind, QStringLiteral("error"));
    QCOMPARE(fake->prompts.first().text, QStringLiteral("'' is not a valid integer value"));
    QVERIFY(w->Model().modified());
    QVERIFY(!shown(w->controls().GuaBig1) && !shown(w->controls().GuaBig2) && !shown(w->controls().GuaBig3));
    QVERIFY(shown(w->controls().Label1));
    QCOMPARE(w->controls().Label1->text(), label1);
    // The window still works.
    w->controls().Mes->setCurrentIndex(0);
    QTest::mouseClick(w->controls().ToolButton2, Qt::LeftButton);
    QVERIFY(shown(w->controls().GuaBig1));
  }

  void listChoiceMarksModified() {
    create();
    QVERIFY(!w->Model().modified());
    w->controls().Day->setCurrentIndex(3);  // by the program: no change of the record
    QVERIFY(!w->Model().modified());
    QTest::keyClick(w->controls().Day, Qt::Key_Down);  // by the user
    QVERIFY(w->Model().modified());
  }

  // The lists at creation: the lunar date of the clock, not a change.
  void listsFilledAtCreation_data() {
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<int>("correction");
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<int>("hour");
    QTest::addColumn<QString>("monthCaption");
    QTest::addColumn<QString>("firstChas");
    QTest::addColumn<QString>("lastChas");
    // Lunar dates from the calendar's own cases (first day of the year 2024,
    // the leap month after month 2 of 2023).
    QTest::newRow("2024-02-10 12:00")
        << QDateTime(QDate(2024, 2, 10), QTime(12, 0)) << 3 << 5 << 1 << 1 << 6 << "Месяц:"
        << "Цзы | 23-1"
        << "Хай | 21-23";
    QTest::newRow("2023-04-01 leap") << QDateTime(QDate(2023, 4, 1), QTime(12, 0)) << 3 << 4 << 2 << 11 << 6
                                     << "Мес/д:"
                                     << "Цзы | 23-1"
                                     << "Хай | 21-23";
    QTest::newRow("+1 hour at 23:30")
        << QDateTime(QDate(2024, 2, 10), QTime(23, 30)) << 4 << 5 << 1 << 1 << 11 << "Месяц:"
        << "Цзы | 0-2"
        << "Хай | 22-0";
  }
  void listsFilledAtCreation() {
    QFETCH(QDateTime, now);
    QFETCH(int, correction);
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(int, hour);
    QFETCH(QString, monthCaption);
    QFETCH(QString, firstChas);
    QFETCH(QString, lastChas);
    ui::test::WriteSettings("[Calendar]\nLetneeTime=" + QByteArray::number(correction) + "\n");
    fake->clock = now;
    create();
    QCOMPARE(w->controls().GodCombo->currentIndex() + 1, year);
    QCOMPARE(w->controls().Mes->currentText().toInt(), month);
    QCOMPARE(w->controls().Day->currentText().toInt(), day);
    QCOMPARE(w->controls().Chas->currentIndex(), hour);
    QCOMPARE(w->controls().Label6->text(), monthCaption);
    QCOMPARE(w->controls().Chas->itemText(0), firstChas);
    QCOMPARE(w->controls().Chas->itemText(11), lastChas);
    QVERIFY(!w->Model().modified());
  }

  // The divination the window holds follows every control, whoever changed
  // it, and is what a save writes.
  void modelFollowsTheControls() {
    create();
    type(2, "948");
    w->controls().Mes->setCurrentIndex(7);  // by the program
    QTest::keyClicks(w->controls().Edit7, "note");
    w->controls().CommentsMemo->setPlainText(QStringLiteral("строка 1\nстрока 2"));
    const core::Divination& m = w->Model();
    QCOMPARE(m.lineCode(2), std::string("948"));
    QCOMPARE(m.date().month, 7);
    QCOMPARE(m.note(), std::string("note"));
    QCOMPARE(m.comments(), (std::vector<std::string>{"строка 1", "строка 2"}));
    const records::Record r = w->CurrentRecord();
    QCOMPARE(r.lineCodes[1], QStringLiteral("948"));
    QCOMPARE(r.mon, 7);
    QCOMPARE(r.comments, QStringLiteral("строка 1\nстрока 2"));
  }

  // ---- commentary ---------------------------------------------------------------

  void numberClickOpensCommentary() {
    create();
    fake->interceptUrls = false;  // through QDesktopServices, as the program does
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    typeAll({"588", "588", "544", "588", "588", "588"});
    w->controls().Button1->click();
    QTest::mouseClick(w->controls().Label2, Qt::LeftButton);
    QTest::mouseClick(w->controls().Label1, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.urls.size(), 2);
    QVERIFY(catcher.urls[0].isLocalFile());
    QCOMPARE(catcher.urls[0].toLocalFile(), w->programFolder() + QStringLiteral("/comment/37.htm"));
    QCOMPARE(catcher.urls[1].toLocalFile(), w->programFolder() + QStringLiteral("/comment/1.htm"));
  }

  // Each shown number has its hexagram's name under it, inside its column
  // of the panel and clear of the number, which keeps its click; a figure
  // not shown has no name; the longest name fits on two lines.
  void namesUnderTheNumbers() {
    create();
    QCOMPARE(w->controls().Edit7->placeholderText(), QStringLiteral("Вопрос или краткая заметка"));
    QLabel* names[3] = {w->controls().GuaName1, w->controls().GuaName2, w->controls().GuaName3};
    TClickLabel* numbers[3] = {w->controls().Label1, w->controls().Label2, w->controls().Label3};
    for (QLabel* n : names) QVERIFY(!shown(n));
    // 28 "Переизбыток великого" (the longest name), 1, 43.
    typeAll({"988", "588", "588", "588", "588", "548"});
    w->controls().Button1->click();
    QCOMPARE(w->controls().Label1->text(), QStringLiteral("28"));
    const QStringList expected{"Переизбыток великого", "Творчество", "Прорыв"};
    const int column = w->controls().Panel1->width() / 3;
    for (int i = 0; i < 3; ++i) {
      QVERIFY(shown(names[i]));
      QCOMPARE(names[i]->text(), expected[i]);
      const QRect r = names[i]->geometry();
      QVERIFY2(r.left() >= column * i && r.right() < column * (i + 1), qPrintable(expected[i]));
      QVERIFY(r.top() >= numbers[i]->geometry().bottom());
      QVERIFY(r.bottom() < w->controls().PanelStatus->geometry().top());
      QVERIFY(names[i]->heightForWidth(r.width()) <= r.height());
    }
    UrlCatcher catcher;
    fake->interceptUrls = false;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QTest::mouseClick(w->controls().Label1, Qt::LeftButton);
    QTest::mouseClick(w->controls().GuaName3, Qt::LeftButton);  // the name opens nothing
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.urls.size(), 1);
    QCOMPARE(catcher.urls[0].toLocalFile(), w->programFolder() + QStringLiteral("/comment/28.htm"));

    typeAll({"588", "588", "588", "588", "588", "588"});  // no changing line: the primary alone
    w->controls().Button1->click();
    QCOMPARE(w->controls().GuaName1->text(), QStringLiteral("Творчество"));
    QVERIFY(!shown(w->controls().GuaName2) && !shown(w->controls().GuaName3));
    fake->answers.push_back(ui::Answer::No);  // do not save
    w->ClearBtnClick();
    for (QLabel* n : names) QVERIFY(!shown(n));
  }

  // The dropped-down "Час" list shows every caption whole under every
  // correction.
  void hourListShowsWholeCaptions() {
    create();
    const QFontMetrics m(w->controls().Chas->view()->font());
    for (int correction = 0; correction <= 6; ++correction) {
      w->SetTimeSettings(correction, 15);
      for (int i = 0; i < 12; ++i) {
        const QString caption = w->controls().Chas->itemText(i);
        QCOMPARE(caption, QString::fromStdString(calendar::DoubleHourCaption(
                              i, calendar::TimeSettings::FromIndexes(correction, 15))));
        QVERIFY2(m.horizontalAdvance(caption) + w->controls().Chas->iconSize().width() <
                     w->controls().Chas->view()->minimumWidth() -
                         w->controls().Chas->style()->pixelMetric(QStyle::PM_ScrollBarExtent),
                 qPrintable(caption));
      }
    }
  }

  void numbersOutsideTheBookOpenNothing() {
    create();
    for (const char* caption : {"0", "65"}) {
      w->controls().Label3->setText(QString::fromLatin1(caption));
      w->Label3Click();
    }
    QVERIFY(fake->urls.isEmpty());
  }

  // Out-of-range time settings leave the moment as it is: the lists show
  // what index 3 ("0") shows.
  void correctionOutOfRangeLeavesTheMoment() {
    fake->clock = QDateTime(QDate(2024, 2, 10), QTime(23, 30));
    ui::test::WriteSettings("[Calendar]\nLetneeTime=3\nGMT=15\n");
    create();
    const QStringList neutral = {w->controls().GodCombo->currentText(), w->controls().Mes->currentText(),
                                 w->controls().Day->currentText(), w->controls().Chas->currentText(),
                                 w->controls().Chas->itemText(0)};
    cleanup();
    init();
    fake->clock = QDateTime(QDate(2024, 2, 10), QTime(23, 30));
    ui::test::WriteSettings("[Calendar]\nLetneeTime=-2147483648\nGMT=-2147483648\n");
    create();
    QCOMPARE(w->timeCorrectionIndex(), INT_MIN);
    QCOMPARE(QStringList({w->controls().GodCombo->currentText(), w->controls().Mes->currentText(),
                          w->controls().Day->currentText(), w->controls().Chas->currentText(),
                          w->controls().Chas->itemText(0)}),
             neutral);
  }

  // Where the desktop has no program for a page (the offscreen platform has
  // none), an error box names the page's path or the address.
  void pageThatCannotBeOpenedIsNamed() {
    create();
    fake->interceptUrls = false;
    typeAll({"588", "588", "544", "588", "588", "588"});
    w->controls().Button1->click();
    QTest::mouseClick(w->controls().Label2, Qt::LeftButton);
    w->controls().N8->trigger();
    w->Panel9Click();
    const QStringList texts = fake->promptTexts();
    QCOMPARE(texts.size(), 3);
    for (const QString& t : texts)
      QVERIFY2(t.startsWith(QStringLiteral("Не удалось открыть страницу ")), qPrintable(t));
    QVERIFY2(texts[0].contains(w->programFolder() + QStringLiteral("/comment/37.htm")), qPrintable(texts[0]));
    QVERIFY2(texts[1].contains(w->programFolder() + QStringLiteral("/help/index.htm")), qPrintable(texts[1]));
    QVERIFY2(texts[2].contains(QStringLiteral("https://ru.wikisource.org")), qPrintable(texts[2]));
    for (const auto& p : fake->prompts) QCOMPARE(p.kind, QStringLiteral("error"));

    // A page the desktop did open gives no message.
    fake->prompts.clear();
    fake->interceptUrls = true;
    w->controls().N8->trigger();
    QVERIFY(fake->prompts.isEmpty());
    fake->urlsOpen = false;
    w->controls().N8->trigger();
    QCOMPARE(fake->prompts.size(), 1);
  }

  void helpAndWebSite() {
    create();
    w->controls().N8->trigger();
    w->Panel9Click();
    QCOMPARE(fake->urls.size(), 2);
    QCOMPARE(fake->urls[0], QUrl::fromLocalFile(w->programFolder() + QStringLiteral("/help/index.htm")));
    QCOMPARE(fake->urls[1].host(), QStringLiteral("ru.wikisource.org"));
    QVERIFY(fake->urls[1].scheme() == QLatin1String("https"));
  }

  // The build tree holds comment/ beside the programs.
  void programFolderHoldsComments() {
    create();
    QVERIFY(!w->programFolder().endsWith(QLatin1Char('/')));
    QVERIFY2(QDir(w->programFolder()).exists(QStringLiteral("comment")), qPrintable(w->programFolder()));
  }
};

KALYNTH_TEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
