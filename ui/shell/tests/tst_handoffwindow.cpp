// The hand-off with the real main window, in one process: the path a second
// start left is opened once, after the save prompt when the sheet holds
// unsaved work; the stored value is already empty while the prompt waits,
// so the window activated again meanwhile opens nothing more; a further
// start's path that comes during the prompt is opened right after; a
// handed-over path that is not a record shows the not-a-record message.
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "records/record.h"
#include "settings/SettingsStore.h"
#include "ui/Platform.h"
#include "ui/kalynth.h"
#include "ui/shell/HandOff.h"
#include "ui/tests/TestSupport.h"

namespace {

constexpr int kDecidedMs = ui::HandOffWatcher::kSettleMs * 3;

// Answers the prompts as a user would, and lets a test act while one waits.
class Answering : public ui::Platform {
 public:
  ui::Answer answer = ui::Answer::No;
  std::function<void()> whilePromptWaits;
  QStringList prompts, errors;

  ui::Answer warningYesNoCancel(QWidget*, const QString& text) override {
    prompts << text;
    if (whilePromptWaits) std::exchange(whilePromptWaits, nullptr)();
    return answer;
  }
  ui::Answer confirmYesNo(QWidget*, const QString& text) override {
    prompts << text;
    return ui::Answer::Yes;
  }
  void error(QWidget*, const QString& text) override { errors << text; }
};

void Activate(QWidget* w) {
  QEvent activate(QEvent::WindowActivate);
  QCoreApplication::sendEvent(w, &activate);
}

QString Stored() {
  return ui::SettingsStore().read(ui::settings::ParamStr);
}
void Leave(const QString& path) {
  ui::SettingsStore().write(ui::settings::ParamStr, path);
}

}  // namespace

class TestHandOffWindow : public QObject {
  Q_OBJECT

  QTemporaryDir folder;
  Answering answering;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> window;
  std::unique_ptr<ui::HandOffWatcher> watcher;

  QString makeRecord(const QString& name, const QString& note) {
    records::Record record;
    record.lineCodes[0] = QStringLiteral("988");
    record.note = note;
    const QString path = folder.filePath(name);
    records::WriteRecordFile(path, record);
    return path;
  }

 private slots:
  void initTestCase() {
    ui::test::IsolateSettings();
    scoped = std::make_unique<ui::ScopedPlatform>(&answering);
  }
  void init() {
    answering = Answering();
    Leave(QString());
    window = std::make_unique<TFormKalynth>();
    watcher = std::make_unique<ui::HandOffWatcher>([this] { window->TakeHandOff(); });
    watcher->attach(window.get());
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QTest::qWait(kDecidedMs);
  }
  void cleanup() {
    watcher.reset();
    window.reset();
  }

  void requestOpensTheHandedOverRecord() {
    const QString path = makeRecord(QStringLiteral("a.kly"), QStringLiteral("первая"));
    Leave(path);
    watcher->bringToFront();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QCOMPARE(window->controls().Edit7->text(), QStringLiteral("первая"));
    QCOMPARE(window->handOffPath(), path);
    QCOMPARE(Stored(), QString());
    QVERIFY(answering.prompts.isEmpty());  // a blank sheet asks nothing
  }

  // The save prompt is up; the window gets activated again (the prompt
  // closing, the user switching back): the path is not opened twice.
  void activationDuringTheSavePromptOpensNothingMore() {
    const QString path = makeRecord(QStringLiteral("a.kly"), QStringLiteral("первая"));
    window->controls().Edit7->setText(QStringLiteral("несохранённая заметка"));
    QString storedWhilePrompting = QStringLiteral("unread");
    int opensBefore = -1;
    answering.answer = ui::Answer::No;
    answering.whilePromptWaits = [&] {
      storedWhilePrompting = Stored();
      QSignalSpy settled(watcher.get(), &ui::HandOffWatcher::activationSettled);
      Activate(window.get());
      QVERIFY(settled.wait(kDecidedMs * 4));
      opensBefore = answering.prompts.size();
    };
    Leave(path);
    watcher->bringToFront();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QCOMPARE(storedWhilePrompting, QString());
    QCOMPARE(opensBefore, 1);
    QTest::qWait(kDecidedMs);
    QCOMPARE(answering.prompts, QStringList{QStringLiteral("Сохранить изменения в файле «без имени»?")});
    QVERIFY(!window->Model().modified());
  }

  // A further second start during the prompt: its path is opened once the
  // first open is over, not inside it.
  void requestDuringThePromptIsOpenedAfterIt() {
    const QString a = makeRecord(QStringLiteral("a.kly"), QStringLiteral("первая"));
    const QString b = makeRecord(QStringLiteral("b.kly"), QStringLiteral("вторая"));
    window->controls().Edit7->setText(QStringLiteral("несохранённая заметка"));
    QString titleAfterPrompt;
    answering.whilePromptWaits = [&] {
      Leave(b);
      watcher->bringToFront();
      QTest::qWait(kDecidedMs);
      titleAfterPrompt = window->windowTitle();
    };
    Leave(a);
    watcher->bringToFront();
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KALYNTH - b.kly"));
    QCOMPARE(titleAfterPrompt, QStringLiteral("KALYNTH"));  // nothing opened inside the prompt
    QCOMPARE(window->controls().Edit7->text(), QStringLiteral("вторая"));
    QCOMPARE(answering.prompts.size(), 1);  // a.kly was clean when b.kly came
    QCOMPARE(Stored(), QString());
  }

  // Cancel in the save prompt: the handed-over path is dropped, the sheet
  // stays, and a later activation does not bring the prompt back.
  void cancelledPromptDropsTheHandOff() {
    const QString path = makeRecord(QStringLiteral("a.kly"), QStringLiteral("первая"));
    window->controls().Edit7->setText(QStringLiteral("несохранённая заметка"));
    answering.answer = ui::Answer::Cancel;
    Leave(path);
    watcher->bringToFront();
    QTRY_COMPARE(answering.prompts.size(), 1);
    QTest::qWait(kDecidedMs);
    // The activation is decided a pick-up and finds the mailbox empty.
    QSignalSpy pickedUp(watcher.get(), &ui::HandOffWatcher::pickedUp);
    Activate(window.get());
    QVERIFY(pickedUp.wait(kDecidedMs * 4));
    QCOMPARE(answering.prompts.size(), 1);
    QCOMPARE(window->windowTitle(), QStringLiteral("KALYNTH"));
    QCOMPARE(window->controls().Edit7->text(), QStringLiteral("несохранённая заметка"));
  }

  void handedOverTextFileIsNotARecord() {
    const QString path = folder.filePath(QStringLiteral("notes.txt"));
    Leave(path);
    watcher->bringToFront();
    QTRY_COMPARE(answering.errors, QStringList{QStringLiteral("File ") + path +
                                               QStringLiteral(" Этот файл не является файлом KALYNTH")});
    QCOMPARE(window->windowTitle(), QStringLiteral("KALYNTH"));
    QCOMPARE(Stored(), QString());
  }

  // Switching to the window with the keyboard picks a waiting path up; a
  // click into it does not.
  void keyboardSwitchPicksUpAndClickDoesNot() {
    const QString path = makeRecord(QStringLiteral("a.kly"), QStringLiteral("первая"));
    Leave(path);
    QTest::mouseClick(window->controls().Edit7, Qt::LeftButton);
    Activate(window.get());
    QTest::qWait(kDecidedMs);
    QCOMPARE(window->windowTitle(), QStringLiteral("KALYNTH"));
    QCOMPARE(Stored(), path);

    Activate(window.get());
    QTRY_COMPARE(window->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QCOMPARE(Stored(), QString());
  }
};

QTEST_MAIN(TestHandOffWindow)
#include "tst_handoffwindow.moc"
