// The rules every tool window shares (ui/ToolWindow.h), driven on a plain
// tool window with a stand-in main window and menu item.
#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <memory>

#include "TestSupport.h"
#include "settings/SettingsStore.h"
#include "ui/ToolWindow.h"

namespace {

// The values of the five-phases diagram stand in for any tool window.
const ui::ToolWindowSettings Values{ui::settings::FormUsinLeft, ui::settings::FormUsinTop,
                                    ui::settings::FormUsinShow, ui::settings::SetUsinWinTop};

// A tool window created the way every FormCreate does it.
std::unique_ptr<ui::TToolWindow> Create(QWidget* main, QAction* item, QPoint defaultPlace = {}) {
  auto w = std::make_unique<ui::TToolWindow>(main, item, Values);
  w->resize(200, 194);
  w->ReadPosition(defaultPlace);
  w->ReadStaysOnTop();
  w->ShowIfStored();
  return w;
}

}  // namespace

class TestToolWindow : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { ui::test::IsolateSettings(); }
  void init() { ui::test::ClearSettings(); }

  void emptyStoreHiddenOnTopAtTheDefaultPlace() {
    QWidget main;
    QAction item;
    item.setCheckable(true);
    auto w = Create(&main, &item, QPoint(0, 0));
    QVERIFY(!w->isVisible());
    QVERIFY(!item.isChecked());
    QVERIFY(w->StaysOnTop());
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(w->windowType(), Qt::Tool);
    QCOMPARE(w->pos(), QPoint(0, 0));
    QVERIFY(!w->testAttribute(Qt::WA_QuitOnClose));
  }

  void menuToggleAndCloseBox() {
    QWidget main;
    QAction item;
    item.setCheckable(true);
    auto w = Create(&main, &item);
    QVERIFY(ui::TToolWindow::Toggle(w.get(), &item));
    QVERIFY(w->isVisible());
    QVERIFY(item.isChecked());
    QVERIFY(ui::TToolWindow::Toggle(w.get(), &item));
    QVERIFY(!w->isVisible());
    QVERIFY(!item.isChecked());
    // Shown again, then closed by its close box: hidden, unticked, alive.
    w->Toggle();
    QVERIFY(item.isChecked());
    QVERIFY(w->close());
    QVERIFY(!w->isVisible());
    QVERIFY(!item.isChecked());
    w->Toggle();
    QVERIFY(w->isVisible());
    QVERIFY(item.isChecked());
  }

  void anItemWithoutItsWindowStaysUnticked() {
    QAction item;
    item.setCheckable(true);
    item.setChecked(true);
    QVERIFY(!ui::TToolWindow::Toggle(nullptr, &item));
    QVERIFY(!item.isChecked());
  }

  void positionWrittenAtDestructionAndReadBack() {
    QWidget main;
    QAction item;
    item.setCheckable(true);
    {
      auto w = Create(&main, &item);
      w->move(130, 95);  // moved while hidden: kept all the same
    }
    {
      ui::SettingsStore store;
      QCOMPARE(store.rawText("Form", "UsinLeft").value_or(QString()), QStringLiteral("130"));
      QCOMPARE(store.rawText("Form", "UsinTop").value_or(QString()), QStringLiteral("95"));
    }
    auto again = Create(&main, &item, QPoint(0, 0));
    QCOMPARE(again->pos(), QPoint(130, 95));
  }

  // A window whose creation stopped before it read its place leaves the
  // stored place alone, unless it was shown: then where it stood is written.
  void unplacedWindowWritesOnlyOnceShown() {
    ui::test::WriteSettings("[Form]\nUsinLeft=300\nUsinTop=200\n");
    QWidget main;
    QAction item;
    item.setCheckable(true);
    { ui::TToolWindow never(&main, &item, Values); }
    {
      ui::SettingsStore store;
      QCOMPARE(store.rawText("Form", "UsinLeft").value_or(QString()), QStringLiteral("300"));
      QCOMPARE(store.rawText("Form", "UsinTop").value_or(QString()), QStringLiteral("200"));
    }
    {
      ui::TToolWindow shown(&main, &item, Values);
      shown.ShowWindow();
      shown.move(40, 60);
      shown.HideWindow();
    }
    ui::SettingsStore store;
    QCOMPARE(store.rawText("Form", "UsinLeft").value_or(QString()), QStringLiteral("40"));
    QCOMPARE(store.rawText("Form", "UsinTop").value_or(QString()), QStringLiteral("60"));
  }

  void aPositionOffEveryScreenGoesToTheDefaultPlace_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("far right") << QByteArray("UsinLeft=100000\nUsinTop=10\n");
    QTest::newRow("above the screen") << QByteArray("UsinLeft=10\nUsinTop=-5000\n");
    QTest::newRow("largest integers") << QByteArray("UsinLeft=2147483647\nUsinTop=2147483647\n");
  }
  void aPositionOffEveryScreenGoesToTheDefaultPlace() {
    QFETCH(QByteArray, stored);
    ui::test::WriteSettings("[Form]\n" + stored);
    QWidget main;
    QAction item;
    auto w = Create(&main, &item, QPoint(40, 30));
    QCOMPARE(w->pos(), QPoint(40, 30));
  }

  void theDefaultPlaceLiesWhollyOnTheScreen() {
    QWidget main;
    QAction item;
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    auto w = Create(&main, &item, QPoint(area.left() - 50, area.top() - 20));
    QCOMPARE(w->pos(), area.topLeft());
    auto far = Create(&main, &item, QPoint(area.right() - 10, area.bottom() - 10));
    QCOMPARE(far->pos(), QPoint(area.left() + area.width() - far->frameGeometry().width(),
                                area.top() + area.height() - far->frameGeometry().height()));
  }

  void shownAtStartWhenStored() {
    ui::test::WriteSettings("[Form]\nUsinShow=1\n[Set]\nUsinWinTop=0\n");
    QWidget main;
    QAction item;
    item.setCheckable(true);
    auto w = Create(&main, &item);
    QVERIFY(w->isVisible());
    QVERIFY(item.isChecked());
    QVERIFY(!w->StaysOnTop());
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  }

  void stayOnTopChangeKeepsShownStateAndPlace() {
    QWidget main;
    QAction item;
    item.setCheckable(true);
    auto w = Create(&main, &item);
    w->move(210, 120);
    w->ShowWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    const QPoint place = w->pos();
    w->SetStaysOnTop(false);
    QVERIFY(w->isVisible());
    QVERIFY(item.isChecked());
    QCOMPARE(w->pos(), place);
    QVERIFY(!w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(w->windowType(), Qt::Tool);
    w->SetStaysOnTop(true);
    QVERIFY(w->isVisible());
    QCOMPARE(w->pos(), place);
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // Hidden stays hidden.
    w->HideWindow();
    w->SetStaysOnTop(false);
    QVERIFY(!w->isVisible());
    QVERIFY(!item.isChecked());
  }

  // The window stays the same window when its style changes (its place
  // and "above" are the window manager's), and while a modal dialog is up
  // it waits in the ordinary level, its own style kept for afterwards.
  void stayOnTopInPlaceAndBelowModalDialogs() {
    QWidget main;
    QAction item;
    item.setCheckable(true);
    auto w = Create(&main, &item);
    main.show();
    w->ShowWindow();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
    QWindow* const handle = w->windowHandle();
    QVERIFY(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    w->SetStaysOnTop(false);
    QCOMPARE(w->windowHandle(), handle);
    QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    w->SetStaysOnTop(true);
    QCOMPARE(w->windowHandle(), handle);
    QVERIFY(handle->flags().testFlag(Qt::WindowStaysOnTopHint));

    QVERIFY(!ui::TToolWindow::ModalDialogUp());
    QDialog modal(&main);
    modal.setModal(true);
    modal.show();
    QVERIFY(ui::TToolWindow::ModalDialogUp());
    QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(w->StaysOnTop());
    QVERIFY(w->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    // A style set meanwhile counts once the dialog has gone.
    w->SetStaysOnTop(false);
    w->SetStaysOnTop(true);
    QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    {
      // A second modal dialog on top of the first (the overwrite prompt of
      // a save dialog): the first one's end is not the end.
      auto inner = std::make_unique<QDialog>(&modal);
      inner->setModal(true);
      inner->show();
      inner.reset();  // destroyed while shown
      QVERIFY(ui::TToolWindow::ModalDialogUp());
      QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    }
    modal.hide();
    QVERIFY(!ui::TToolWindow::ModalDialogUp());
    QVERIFY(handle->flags().testFlag(Qt::WindowStaysOnTopHint));
    // A window that does not stay on top stays ordinary after a dialog.
    w->SetStaysOnTop(false);
    modal.show();
    modal.hide();
    QVERIFY(!handle->flags().testFlag(Qt::WindowStaysOnTopHint));
  }

  void theLastOpenToolWindowDoesNotKeepTheProgram() {
    // Closing the main window while a tool window is shown ends the message
    // loop (run last: it runs the application's loop).
    QWidget main;
    QAction item;
    item.setCheckable(true);
    auto w = Create(&main, &item);
    main.show();
    w->ShowWindow();
    QVERIFY(QTest::qWaitForWindowExposed(&main));
    QVERIFY(qApp->quitOnLastWindowClosed());
    QTimer::singleShot(0, &main, [&main] { main.close(); });
    // Only a loop that did not end by itself gets here: a failure, not a wait.
    QTimer::singleShot(20000, qApp, [] { qApp->exit(1); });
    QCOMPARE(qApp->exec(), 0);
  }
};

QTEST_MAIN(TestToolWindow)
#include "tst_toolwindow.moc"
