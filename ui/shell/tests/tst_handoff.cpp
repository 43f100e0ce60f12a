// When the running main window picks up a handed-over path: on a second
// start's request (after bringing the window up), on an activation that is
// not a mouse click, never on a click, never while minimised, never inside
// another pick-up or under a modal dialog (kept and done afterwards), and a
// request that comes before the main window exists is carried out once it
// does.
//
// The pick-up itself belongs to the main window; here it is modelled on the
// same one-slot mailbox: take the value, empty it, open a non-empty path.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "ui/shell/HandOff.h"

using ui::HandOffWatcher;

namespace {

// Long enough for the watcher to have decided about an activation.
constexpr int kDecidedMs = HandOffWatcher::kSettleMs * 3;

struct Window : QWidget {
  QPushButton* button;
  Window() {
    auto* layout = new QVBoxLayout(this);
    button = new QPushButton(QStringLiteral("Получить гуа"), this);
    layout->addWidget(button);
    resize(200, 100);
  }
};

void Activate(QWidget* w) {
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(w, &activate);
}

void Deactivate(QWidget* w) {
  QEvent deactivate(QEvent::WindowDeactivate);
  QCoreApplication::sendEvent(w, &deactivate);
}

}  // namespace

class TestHandOff : public QObject {
  Q_OBJECT

  QString mailbox;
  QStringList opened;
  std::unique_ptr<Window> window;
  std::unique_ptr<HandOffWatcher> watcher;

  void take() {
    const QString path = mailbox;
    mailbox.clear();
    if (!path.isEmpty()) opened << path;
  }

  // The window shown and active, its own activation long decided, and a
  // path waiting in the mailbox.
  void showSettled(QWidget* w, const QString& waiting = QStringLiteral("/r/a.kly")) {
    w->show();
    QVERIFY(QTest::qWaitForWindowActive(w));
    QTest::qWait(kDecidedMs);
    opened.clear();
    mailbox = waiting;
  }

 private slots:
  void init() {
    mailbox.clear();
    opened.clear();
    window = std::make_unique<Window>();
    watcher = std::make_unique<HandOffWatcher>([this] { take(); });
    watcher->attach(window.get());
  }
  void cleanup() {
    watcher.reset();
    window.reset();
  }

  void requestBringsTheWindowUpAndOpensOnce() {
    window->showMinimized();
    QVERIFY(window->windowState() & Qt::WindowMinimized);
    mailbox = QStringLiteral("/r/a.kly");
    QSignalSpy settled(watcher.get(), &HandOffWatcher::activationSettled);
    watcher->bringToFront();
    QVERIFY(window->isVisible());
    QVERIFY(!(window->windowState() & Qt::WindowMinimized));
    QTRY_COMPARE(opened, QStringList{QStringLiteral("/r/a.kly")});
    QVERIFY(mailbox.isEmpty());
    // The activation the request causes is decided too, and finds nothing.
    QVERIFY(!settled.isEmpty() || settled.wait(kDecidedMs * 4));
    QCOMPARE(opened.size(), 1);
  }

  void requestOfAHiddenWindowShowsIt() {
    QVERIFY(!window->isVisible());
    mailbox = QStringLiteral("/r/a.kly");
    watcher->bringToFront();
    QVERIFY(window->isVisible());
    QTRY_COMPARE(opened.size(), 1);
  }

  // A second start without an argument: to the front, nothing opened.
  void requestWithEmptyValueOpensNothing() {
    QSignalSpy pickedUp(watcher.get(), &HandOffWatcher::pickedUp);
    watcher->bringToFront();
    QVERIFY(pickedUp.wait(kDecidedMs * 4));
    QVERIFY(window->isVisible());
    QVERIFY(opened.isEmpty());
  }

  // Switching to the window with the keyboard (no mouse involved).
  void activationWithoutClickPicksUp() {
    showSettled(window.get());
    Activate(window.get());
    QVERIFY(opened.isEmpty());  // decided a moment later
    QTRY_COMPARE(opened.size(), 1);
  }

  // The press reaches the program before the activation.
  void clickThenActivationDoesNot() {
    showSettled(window.get());
    QSignalSpy settled(watcher.get(), &HandOffWatcher::activationSettled);
    QTest::mousePress(window->button, Qt::LeftButton);
    Activate(window.get());
    QTest::mouseRelease(window->button, Qt::LeftButton);
    QVERIFY(settled.wait(kDecidedMs * 4));
    QCOMPARE(settled.first().first().toBool(), false);
    QVERIFY(opened.isEmpty());
    QCOMPARE(mailbox, QStringLiteral("/r/a.kly"));
  }

  // The activation reaches the program before the press.
  void activationThenClickDoesNot() {
    showSettled(window.get());
    QSignalSpy settled(watcher.get(), &HandOffWatcher::activationSettled);
    Activate(window.get());
    QTest::mouseClick(window->button, Qt::LeftButton);
    QVERIFY(settled.wait(kDecidedMs * 4));
    QCOMPARE(settled.first().first().toBool(), false);
    QVERIFY(opened.isEmpty());
  }

  // A click long before does not make a later keyboard switch a click.
  void oldClickDoesNotCount() {
    showSettled(window.get());
    QTest::mouseClick(window->button, Qt::LeftButton);
    QTest::qWait(kDecidedMs);
    Activate(window.get());
    QTRY_COMPARE(opened.size(), 1);
  }

  void clickInAnotherWindowDoesNotCount() {
    Window other;
    other.show();
    showSettled(window.get());
    QTest::mousePress(other.button, Qt::LeftButton);
    Activate(window.get());
    QTest::mouseRelease(other.button, Qt::LeftButton);
    QTRY_COMPARE(opened.size(), 1);
  }

  void minimisedActivationDoesNot() {
    showSettled(window.get());
    window->showMinimized();
    QSignalSpy settled(watcher.get(), &HandOffWatcher::activationSettled);
    Activate(window.get());
    QVERIFY(settled.wait(kDecidedMs * 4));
    QCOMPARE(settled.first().first().toBool(), false);
    QVERIFY(opened.isEmpty());
  }

  // Passing over the window while switching (active for an instant).
  void activationWithdrawnAtOnceDoesNot() {
    showSettled(window.get());
    Activate(window.get());
    Deactivate(window.get());
    QTest::qWait(kDecidedMs);
    QVERIFY(opened.isEmpty());
  }

  // A second start's request is carried out even if a click comes with the
  // activation it causes.
  void requestIsCarriedOutDespiteAClick() {
    showSettled(window.get());
    watcher->bringToFront();
    QTest::mouseClick(window->button, Qt::LeftButton);
    Activate(window.get());
    QTRY_COMPARE(opened.size(), 1);
  }

  // The running instance is still building its windows when the request
  // comes: it is kept and carried out once the main window is there.
  void requestBeforeTheWindowExistsIsKept() {
    HandOffWatcher early([this] { take(); });
    mailbox = QStringLiteral("/r/early.kly");
    early.bringToFront();
    QTest::qWait(20);
    QVERIFY(opened.isEmpty());
    Window late;
    early.attach(&late);
    QTRY_COMPARE(opened, QStringList{QStringLiteral("/r/early.kly")});
    QVERIFY(late.isVisible());
  }

  // The pick-up opens a record and a prompt of the open waits for the user.
  // Meanwhile the window is activated again and a further start leaves its
  // path and sends its request: nothing runs inside the first pick-up, the
  // first path is opened once, and the later path right after.
  void noPickUpInsideAPickUp() {
    int depth = 0, maxDepth = 0;
    bool requestSentDuringPrompt = false;
    Window w;
    HandOffWatcher nested([&] {
      maxDepth = std::max(maxDepth, ++depth);
      const bool first = opened.isEmpty();
      take();
      if (first) {
        QDialog prompt(&w);
        QTimer::singleShot(20, &prompt, [&] {
          Activate(&w);
          mailbox = QStringLiteral("/r/b.kly");
          nested.bringToFront();
          requestSentDuringPrompt = true;
        });
        QTimer::singleShot(kDecidedMs, &prompt, &QDialog::accept);
        prompt.exec();
      }
      --depth;
    });
    nested.attach(&w);
    showSettled(&w);
    nested.bringToFront();
    QTRY_COMPARE(opened, (QStringList{QStringLiteral("/r/a.kly"), QStringLiteral("/r/b.kly")}));
    QVERIFY(requestSentDuringPrompt);
    QCOMPARE(maxDepth, 1);
    QTest::qWait(kDecidedMs);
    QCOMPARE(opened.size(), 2);
  }

  // Any modal dialog of the running instance (settings, about box) holds
  // the request until it closes.
  void requestWaitsForAModalDialog() {
    showSettled(window.get());
    QDialog settings(window.get());
    qsizetype openedWhileOpen = -1;
    QTimer::singleShot(20, &settings, [&] { watcher->bringToFront(); });
    QTimer::singleShot(kDecidedMs, &settings, [&] {
      openedWhileOpen = opened.size();
      settings.accept();
    });
    settings.exec();
    QCOMPARE(openedWhileOpen, 0);
    QTRY_COMPARE(opened.size(), 1);
  }
};

QTEST_MAIN(TestHandOff)
#include "tst_handoff.moc"
