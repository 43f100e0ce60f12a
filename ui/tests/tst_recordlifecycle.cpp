// The record's life in the main window: new sheet, open, save, save as,
// close, a given path (drop, command line, hand-off); the prompts, the
// title, the flags and the files on disk. Every prompt and dialog is
// answered by the test through FakePlatform; an unexpected one fails.
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QClipboard>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <csignal>
#include <functional>
#include <memory>

#include "core/yarrow.h"
#include "records/record.h"
#include "settings/SettingsStore.h"
#include "sheet/sheet.h"
#include "ui/ClickLabel.h"
#include "ui/GuaBig.h"
#include "ui/kalynth.h"
#include "ui/tests/TestSupport.h"

using ui::Answer;
using ui::test::FakePlatform;

namespace {

const QString NotARecord = QStringLiteral(" Этот файл не является файлом KALYNTH");
const QString UnnamedPrompt = QStringLiteral("Сохранить изменения в файле «без имени»?");

QByteArray Bytes(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

records::Record SampleRecord() {
  records::Record r;
  r.lineCodes = {"588", "588", "544", "588", "588", "588"};
  r.note = QStringLiteral("Семья");
  r.yah = 2;
  r.mon = 3;
  r.day = 4;
  r.hour = 5;
  r.comments = QStringLiteral("первая строка\n\nтретья строка");
  return r;
}

}  // namespace

class TestRecordLifecycle : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir;
  std::unique_ptr<FakePlatform> fake;
  std::unique_ptr<ui::ScopedPlatform> scoped;
  std::unique_ptr<TFormKalynth> w;

  QString path(const QString& name) const { return dir->filePath(name); }
  QString writeSample(const QString& name, const records::Record& r = SampleRecord()) {
    records::WriteRecordFile(path(name), r);
    return path(name);
  }
  void create(const QStringList& args = {}) {
    w = std::make_unique<TFormKalynth>(args);
    w->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.get()));
  }
  void typeCodes(const QStringList& codes) {
    for (int n = 1; n <= 6; ++n) w->LineEdit(n)->setText(codes[n - 1]);
  }
  QStringList fieldTexts() const {
    QStringList t;
    for (int n = 1; n <= 6; ++n) t << w->LineEdit(n)->text();
    return t;
  }
  static bool shown(QWidget* x) { return !x->isHidden(); }
  void expectNoPrompt() { QVERIFY2(fake->prompts.isEmpty(), qPrintable(fake->promptTexts().join(" | "))); }
  void castByYarrow() {
    w->controls().ToolButton1->click();
    while (w->Model().yarrowActive()) {
      for (QToolButton* b : {w->controls().ToolButton4, w->controls().ToolButton5, w->controls().ToolButton6})
        if (b->isEnabled()) {
          b->click();
          break;
        }
    }
  }

 private slots:
  void init() {
    ui::test::PutFakePlatform(fake, scoped);
    dir = std::make_unique<QTemporaryDir>();
    core::ProgramRandom().setState(0);
  }
  void cleanup() {
    w.reset();  // gone without closing: no prompts
    ui::test::TakeFakePlatform(fake, scoped);
    dir.reset();
  }

  // ---- the blank sheet never asks ---------------------------------------------

  void blankSheetNeverAsks() {
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    auto touch = [this] {  // a digit typed and deleted again
      QTest::keyClick(w->controls().Edit1, '5');
      QTest::keyClick(w->controls().Edit1, Qt::Key_Backspace);
      QVERIFY(w->Model().modified());
    };
    touch();
    w->ClearBtnClick();
    expectNoPrompt();
    touch();
    fake->openNames = {QString()};
    w->Open1Click();
    expectNoPrompt();
    QCOMPARE(fake->openRequests.size(), 1);
    touch();
    w->OpenMyDropOrClickFile(a);
    expectNoPrompt();
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    w->ClearBtnClick();  // named, clean: no prompt either
    touch();
    QVERIFY(w->close());
    expectNoPrompt();
    w.reset();
  }

  void loneCodeMakesCloseAsk() {
    create();
    QTest::keyClicks(w->controls().Edit6, "588");
    fake->answers = {Answer::Cancel};
    QVERIFY(!w->close());
    QCOMPARE(fake->prompts.size(), 1);
    QCOMPARE(fake->prompts[0].kind, QStringLiteral("warning3"));
    QCOMPARE(fake->prompts[0].text, UnnamedPrompt);
    QVERIFY(w->isVisible());
    fake->answers = {Answer::No};
    QVERIFY(w->close());
    w.reset();
  }

  void promptNamesTheFile() {
    create();
    w->OpenMyDropOrClickFile(writeSample(QStringLiteral("гадание.kly")));
    w->controls().Edit7->setText(QStringLiteral("другая заметка"));
    fake->answers = {Answer::Cancel};
    w->ClearBtnClick();
    QCOMPARE(fake->promptTexts(), QStringList{"Сохранить изменения в файле гадание.kly?"});
    QCOMPARE(w->controls().Edit7->text(), QStringLiteral("другая заметка"));
  }

  // ---- save and save as -----------------------------------------------------------

  void saveAsProposesUntitledNames() {
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    fake->saveNames = {QString(), path("a.kly"), path("b.kly")};
    w->Saveas1Click();  // cancelled
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH"));
    QVERIFY(w->Model().modified());
    w->Saveas1Click();
    w->Saveas1Click();
    QCOMPARE(fake->saveRequests.size(), 3);
    QCOMPARE(fake->saveRequests[0].fileName, QStringLiteral("Untitle1"));
    QCOMPARE(fake->saveRequests[1].fileName, QStringLiteral("Untitle1"));
    QCOMPARE(fake->saveRequests[2].fileName, QStringLiteral("Untitle2"));
    for (const ui::FileDialogRequest& r : fake->saveRequests) {
      QCOMPARE(r.filter, QStringLiteral("Kalynth files (*.kly)"));
      QCOMPARE(r.defaultSuffix, QStringLiteral("kly"));
    }
    QCOMPARE(w->untitledCounter(), 3);
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - b.kly"));
    QCOMPARE(w->currentFileName(), path("b.kly"));
    QVERIFY(w->Model().bound());
    QVERIFY(!w->Model().modified());
    QVERIFY(QFile::exists(path("a.kly")));
    expectNoPrompt();
  }

  // Save writes the controls to the bound file without a dialog and keeps
  // the title; the file reads back as the window showed it.
  void saveWritesWhatTheWindowShows() {
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    w->OpenMyDropOrClickFile(a);
    w->controls().Edit2->setText(QStringLiteral("988"));
    w->controls().CommentsMemo->setPlainText(QStringLiteral("раз\nдва"));
    w->controls().Day->setCurrentIndex(20);
    w->Save1Click();
    QVERIFY(!w->Model().modified());
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QVERIFY(fake->saveRequests.isEmpty());
    const auto r = records::ReadRecordFile(a);
    QVERIFY(r);
    QCOMPARE(r->lineCodes[1], QStringLiteral("988"));
    QCOMPARE(r->note, QStringLiteral("Семья"));
    QCOMPARE(r->day, 20);
    QCOMPARE(r->hour, 5);
    QCOMPARE(r->btn2, false);
    QCOMPARE(r->comments, QStringLiteral("раз\nдва"));
  }

  void newSheetAfterSavedRecord() {
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    fake->saveNames = {path("a.kly")};
    w->Saveas1Click();
    w->ClearBtnClick();
    expectNoPrompt();
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH"));
    QVERIFY(!w->Model().bound() && !w->Model().modified());
    QVERIFY(w->currentFileName().isEmpty());
    QCOMPARE(fieldTexts(), QStringList({"", "", "", "", "", ""}));
    QVERIFY(!w->controls().Button1->isEnabled());
    QVERIFY(!shown(w->controls().GuaBig1));
    fake->saveNames = {QString()};
    w->Save1Click();
    QCOMPARE(fake->saveRequests.size(), 2);  // Save behaves as Save As
  }

  // ---- failed saves -------------------------------------------------------------------

  // A file that cannot be created: the error text, Modified kept, the old
  // binding, counter and title kept, and the previous file byte-identical.
  void failedSaveAsKeepsEverything_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("a directory") << QStringLiteral("folder.kly");
    QTest::newRow("in a missing folder") << QStringLiteral("missing/x.kly");
  }
  void failedSaveAsKeepsEverything() {
    QFETCH(QString, target);
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("folder.kly")));
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    const QByteArray before = Bytes(a);
    w->OpenMyDropOrClickFile(a);
    w->controls().Edit7->setText(QStringLiteral("изменено"));
    fake->saveNames = {path(target)};
    QTest::keyClick(w.get(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);  // through the event loop
    QCOMPARE(fake->prompts.size(), 1);
    QCOMPARE(fake->prompts[0].kind, QStringLiteral("error"));
    QCOMPARE(fake->prompts[0].text, QStringLiteral("Cannot create file ") + path(target));
    QVERIFY(w->Model().modified());
    QVERIFY(w->Model().bound());
    QCOMPARE(w->currentFileName(), a);
    QCOMPARE(w->untitledCounter(), 1);
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QCOMPARE(Bytes(a), before);
  }

  void failedSaveLeavesPreviousFile_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("folder cannot be written") << QStringLiteral("read-only");
    // The disk fills up while the record is written (the file-size limit
    // makes the write fail the same way for every user, root included).
    QTest::newRow("disk full") << QStringLiteral("disk full");
  }
  void failedSaveLeavesPreviousFile() {
    QFETCH(QString, how);
    const QString name = QStringLiteral("a.kly");
    create();
    const QString a = writeSample(name);
    const QByteArray before = Bytes(a);
    QVERIFY(!before.isEmpty());
    w->OpenMyDropOrClickFile(a);
    w->controls().Edit7->setText(QStringLiteral("изменено"));
    if (how == QLatin1String("read-only")) {
      if (geteuid() == 0) QSKIP("root writes into read-only folders");
      QFile::setPermissions(dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    struct rlimit saved {};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    if (how == QLatin1String("disk full")) {
      struct rlimit small = saved;
      small.rlim_cur = rlim_t(before.size() / 2);
      QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    }
    QTest::mouseClick(w->controls().ToolButton9, Qt::LeftButton);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    QFile::setPermissions(dir->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(fake->promptTexts(), QStringList{QStringLiteral("Cannot create file ") + a});
    QVERIFY(w->Model().modified());
    QCOMPARE(Bytes(a), before);
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no leftovers
  }

  // ---- what is saved comes back -----------------------------------------------------

  // A typed name keeps an accepted record extension; any other name gets
  // ".kly", so the program can open its own record again.
  void saveAsAddsTheExtension_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("saved");
    QTest::newRow("date with points")
        << QStringLiteral("вопрос 10.12.2026") << QStringLiteral("вопрос 10.12.2026.kly");
    QTest::newRow("another extension") << QStringLiteral("test.txt") << QStringLiteral("test.txt.kly");
    QTest::newRow("mixed-case extension not accepted")
        << QStringLiteral("x.kLy") << QStringLiteral("x.kLy.kly");
    QTest::newRow(".kly") << QStringLiteral("a.kly") << QStringLiteral("a.kly");
    QTest::newRow(".KLY") << QStringLiteral("b.KLY") << QStringLiteral("b.KLY");
    QTest::newRow(".Kly") << QStringLiteral("c.Kly") << QStringLiteral("c.Kly");
  }
  void saveAsAddsTheExtension() {
    QFETCH(QString, typed);
    QFETCH(QString, saved);
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    fake->saveNames = {path(typed)};
    w->Saveas1Click();
    expectNoPrompt();
    QVERIFY(!w->Model().modified());
    QCOMPARE(w->currentFileName(), path(saved));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{saved});
    // It opens again by every route that tests the extension.
    QVERIFY(HasRecordExtension(path(saved)));
    w->ClearBtnClick();
    w->OpenMyDropOrClickFile(path(saved));
    expectNoPrompt();
    QCOMPARE(w->controls().Edit1->text(), QStringLiteral("588"));
  }

  // The dialog asked about the typed name only: replacing the file with
  // ".kly" added is asked here.
  void addedExtensionAsksBeforeReplacing() {
    const QString existing = writeSample(QStringLiteral("test.txt.kly"));
    const QByteArray before = Bytes(existing);
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    fake->saveNames = {path(QStringLiteral("test.txt")), path(QStringLiteral("test.txt"))};
    fake->answers = {Answer::No, Answer::Yes};
    w->Saveas1Click();
    QCOMPARE(fake->prompts.size(), 1);
    QCOMPARE(fake->prompts[0].kind, QStringLiteral("warning2"));
    QVERIFY2(fake->prompts[0].text.contains(existing), qPrintable(fake->prompts[0].text));
    QCOMPARE(Bytes(existing), before);
    QVERIFY(w->Model().modified());
    QVERIFY(!w->Model().bound());
    w->Saveas1Click();
    QCOMPARE(fake->prompts.size(), 2);
    QVERIFY(!w->Model().modified());
    QCOMPARE(records::ReadRecordFile(existing)->lineCodes[0], QStringLiteral("588"));
  }

  // The note field holds what a record gives back: 2047 characters, typed or
  // pasted; a save and an open then give the same note.
  void noteIsLimitedToWhatARecordHolds() {
    create();
    const QString longText = QString(3000, QChar(u'ж'));
    w->controls().Edit7->setFocus();
    QGuiApplication::clipboard()->setText(longText);
    w->controls().Edit7->paste();
    QCOMPARE(w->controls().Edit7->text(), QString(2047, QChar(u'ж')));
    w->controls().Edit7->setText(QString(2045, QChar(u'а')));
    w->controls().Edit7->end(false);
    QTest::keyClicks(w->controls().Edit7, QStringLiteral("wxyz"));
    QCOMPARE(w->controls().Edit7->text(), QString(2045, QChar(u'а')) + QStringLiteral("wx"));

    typeCodes({"588", "588", "588", "588", "588", "588"});
    fake->saveNames = {path(QStringLiteral("n.kly"))};
    w->Saveas1Click();
    const QString shown = w->controls().Edit7->text();
    w->ClearBtnClick();
    w->OpenMyDropOrClickFile(path(QStringLiteral("n.kly")));
    QCOMPARE(w->controls().Edit7->text(), shown);
    expectNoPrompt();
  }

  // A failed save inside the close query keeps the window open.
  void failedSaveKeepsWindowOpen() {
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("folder.kly")));
    fake->answers = {Answer::Yes};
    fake->saveNames = {path("folder.kly")};
    QVERIFY(!w->close());
    QVERIFY(w->isVisible());
    QCOMPARE(fake->promptTexts(), QStringList({UnnamedPrompt, "Cannot create file " + path("folder.kly")}));
    QVERIFY(!QFile::exists(ui::test::SettingsFile()));
  }

  // Text the code page cannot hold: warn, then save anyway or go back.
  void unencodableTextWarns() {
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    w->controls().Edit7->setText(QStringLiteral("甲子"));
    w->controls().CommentsMemo->setPlainText(QStringLiteral("☯"));
    fake->saveNames = {path("a.kly"), path("a.kly")};
    fake->answers = {Answer::No};
    w->Saveas1Click();
    QCOMPARE(fake->prompts.size(), 1);
    QCOMPARE(fake->prompts[0].kind, QStringLiteral("warning2"));
    QVERIFY(fake->prompts[0].text.contains(QStringLiteral("в кратком комментарии, в комментариях")));
    QVERIFY(!QFile::exists(path("a.kly")));
    QVERIFY(w->Model().modified());
    QCOMPARE(w->untitledCounter(), 1);
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH"));
    fake->answers = {Answer::Yes};
    w->Saveas1Click();
    QVERIFY(!w->Model().modified());
    QCOMPARE(records::ReadRecordFile(path("a.kly"))->note, QStringLiteral("??"));
  }

  // ---- prompts answered Yes, then the save dialog cancelled ---------------

  void cancelledSaveInPromptChangesNothing() {
    create();
    typeCodes({"588", "588", "544", "588", "588", "588"});
    w->controls().Button1->click();
    const QString b = writeSample(QStringLiteral("b.kly"));
    const QStringList before = fieldTexts();
    auto expectUntouched = [&] {
      QCOMPARE(fieldTexts(), before);
      QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH"));
      QVERIFY(w->Model().modified());
      QVERIFY(!w->Model().bound());
      QCOMPARE(w->untitledCounter(), 1);
      QVERIFY(shown(w->controls().GuaBig1));
    };
    // New sheet and a given path stop.
    fake->answers = {Answer::Yes};
    fake->saveNames = {QString()};
    w->ClearBtnClick();
    expectUntouched();
    fake->answers = {Answer::Yes};
    fake->saveNames = {QString()};
    w->OpenMyDropOrClickFile(b);
    expectUntouched();
    // Open asks again.
    fake->prompts.clear();
    fake->answers = {Answer::Yes, Answer::Cancel};
    fake->saveNames = {QString()};
    w->Open1Click();
    QCOMPARE(fake->promptTexts(), QStringList({UnnamedPrompt, UnnamedPrompt}));
    QVERIFY(fake->openRequests.isEmpty());
    expectUntouched();
    // Close keeps the window open.
    fake->answers = {Answer::Yes};
    fake->saveNames = {QString()};
    QVERIFY(!w->close());
    expectUntouched();
  }

  // Yes and a completed save: the command goes on.
  void savedInPromptThenGoesOn() {
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    const QString b = writeSample(QStringLiteral("b.kly"));
    fake->answers = {Answer::Yes};
    fake->saveNames = {path("mine.kly")};
    w->OpenMyDropOrClickFile(b);
    QVERIFY(QFile::exists(path("mine.kly")));
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - b.kly"));
    QCOMPARE(w->currentFileName(), b);
    // Open: Yes saves, then the command starts again and shows the dialog.
    w->controls().Edit7->setText(QStringLiteral("ещё"));
    fake->answers = {Answer::Yes};
    fake->openNames = {QString()};
    w->Open1Click();
    QCOMPARE(fake->openRequests.size(), 1);
    QCOMPARE(records::ReadRecordFile(b)->note, QStringLiteral("ещё"));
  }

  // ---- casting and the record ---------------------------------------------------

  void closingDuringCastingAsksToAbort() {
    create();
    w->controls().ToolButton1->click();
    w->controls().ToolButton4->click();
    fake->answers = {Answer::No};
    QVERIFY(!w->close());
    QCOMPARE(fake->prompts.size(), 1);
    QCOMPARE(fake->prompts[0].kind, QStringLiteral("confirm"));
    QCOMPARE(fake->prompts[0].text, QStringLiteral("Прервать гадание?"));
    QVERIFY(w->Model().yarrowActive());
    QVERIFY(w->controls().ToolButton5->isEnabled());
    fake->answers = {Answer::Yes};
    QVERIFY(w->close());
    w.reset();
  }

  void newSheetOrOpenDuringCasting() {
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    w->controls().ToolButton1->click();
    fake->answers = {Answer::No};
    w->ClearBtnClick();
    QVERIFY(w->Model().yarrowActive());
    fake->answers = {Answer::No};
    w->OpenMyDropOrClickFile(a);
    QVERIFY(w->Model().yarrowActive());
    fake->answers = {Answer::Yes};
    w->OpenMyDropOrClickFile(a);
    QVERIFY(!w->Model().yarrowActive());
    QVERIFY(w->controls().ToolButton1->isEnabled() && !w->controls().ToolButton4->isEnabled());
    QVERIFY(w->controls().Save1->isEnabled() && w->controls().Saveas1->isEnabled() &&
            w->controls().ToolButton9->isEnabled());
    QCOMPARE(fieldTexts(), QStringList({"588", "588", "544", "588", "588", "588"}));
    for (int n = 1; n <= 6; ++n) QVERIFY(!w->LineEdit(n)->isReadOnly());
  }

  // After opening a.kly and casting, the record is unnamed again but the
  // prompt still names a.kly; Save asks for a name.
  void castingAfterOpen() {
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    w->OpenMyDropOrClickFile(a);
    castByYarrow();
    QVERIFY(!w->Model().bound());
    QVERIFY(w->Model().modified());
    fake->answers = {Answer::Cancel};
    w->ClearBtnClick();
    QCOMPARE(fake->promptTexts(), QStringList{"Сохранить изменения в файле a.kly?"});
    fake->saveNames = {QString()};
    w->Save1Click();
    QCOMPARE(fake->saveRequests.size(), 1);
  }

  // ---- opening ----------------------------------------------------------------

  void openRestoresTheRecord() {
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    fake->openNames = {a};
    w->Open1Click();
    QCOMPARE(fake->openRequests[0].filter, QStringLiteral("Kalynth files (*.kly)"));
    QCOMPARE(fieldTexts(), QStringList({"588", "588", "544", "588", "588", "588"}));
    QCOMPARE(w->controls().Edit7->text(), QStringLiteral("Семья"));
    QCOMPARE(w->controls().GodCombo->currentIndex(), 2);
    QCOMPARE(w->controls().Mes->currentIndex(), 3);
    QCOMPARE(w->controls().Day->currentIndex(), 4);
    QCOMPARE(w->controls().Chas->currentIndex(), 5);
    QCOMPARE(w->controls().Label1->text(), QStringLiteral("1"));
    QCOMPARE(w->controls().Label2->text(), QStringLiteral("37"));
    QCOMPARE(w->controls().Label3->text(), QStringLiteral("10"));
    QVERIFY(!shown(w->controls().PanelStatus));
    QCOMPARE(w->controls().CommentsMemo->toPlainText(), QStringLiteral("первая строка\n\nтретья строка"));
    QVERIFY(w->controls().Button1->isEnabled());  // the fields' change reactions ran
    QCOMPARE(w->controls().Edit3->palette().color(QPalette::Text), QColor(Qt::red));
    QVERIFY(!w->Model().modified());
    QVERIFY(w->Model().bound());
    QCOMPARE(w->currentFileName(), a);
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    // The open dialog forgets the name after a completed open...
    fake->openNames = {QString()};
    w->Open1Click();
    QVERIFY(fake->openRequests[1].fileName.isEmpty());
    // ... but not after a file that is not a record.
    const QString t = path("notes.kly");
    QFile f(t);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[TITLE]\r\nTitle=kalynth\r\n");
    f.close();
    fake->openNames = {t, QString()};
    w->Open1Click();
    QCOMPARE(fake->promptTexts(), QStringList{"File " + t + NotARecord});
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QVERIFY(!w->Model().modified());
    w->Open1Click();
    QCOMPARE(fake->openRequests[3].fileName, t);
  }

  // A date-cast record shows the same three figures as right after the
  // casting, whatever the window showed before.
  void dateCastRecordRoundTrip() {
    create();
    w->controls().GodCombo->setCurrentIndex(0);
    w->controls().Mes->setCurrentIndex(0);
    w->controls().Day->setCurrentIndex(5);
    w->controls().Chas->setCurrentIndex(7);
    w->controls().ToolButton2->click();  // numbers 2, 39, 16; changing line 4
    const QString status = w->controls().LabelStatus->text();
    fake->saveNames = {path("date.kly")};
    w->Saveas1Click();
    const auto stored = records::ReadRecordFile(path("date.kly"));
    QVERIFY(stored && stored->btn2);
    QCOMPARE(stored->jaoNo, 4);
    w->ClearBtnClick();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    w->controls().Button1->click();
    fake->answers = {Answer::No};
    w->OpenMyDropOrClickFile(path("date.kly"));
    QCOMPARE(w->controls().Label1->text(), QStringLiteral("2"));
    QCOMPARE(w->controls().Label2->text(), QStringLiteral("39"));
    QCOMPARE(w->controls().Label3->text(), QStringLiteral("16"));
    for (TGuaBig* g : {w->controls().GuaBig1, w->controls().GuaBig2, w->controls().GuaBig3}) {
      QVERIFY(shown(g));
      QCOMPARE(g->JaoNo(), 4);
    }
    for (int n = 1; n <= 6; ++n)
      QCOMPARE(w->controls().GuaBig3->line(n) != w->controls().GuaBig1->line(n), n == 4);
    QVERIFY(shown(w->controls().PanelStatus));
    QCOMPARE(w->controls().LabelStatus->text(), status);
    QVERIFY(!w->Model().modified());
  }

  // Only ".KLY", ".kly" and ".Kly" count as record files when a path is given.
  void givenPathExtension_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("x.KLY") << "x.KLY" << true;
    QTest::newRow("x.Kly") << "x.Kly" << true;
    QTest::newRow("x.kly") << "x.kly" << true;
    QTest::newRow("x.kLy") << "x.kLy" << false;
    QTest::newRow("x.KLy") << "x.KLy" << false;
    QTest::newRow("x.txt") << "x.txt" << false;
    QTest::newRow("no extension") << "x" << false;
    QTest::newRow("x.kly.bak") << "x.kly.bak" << false;
  }
  void givenPathExtension() {
    QFETCH(QString, name);
    QFETCH(bool, opens);
    create();
    const QString p = writeSample(name);  // a real record whatever its name
    w->OpenMyDropOrClickFile(p);
    if (opens) {
      expectNoPrompt();
      QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - ") + name);
    } else {
      QCOMPARE(fake->prompts.size(), 1);
      QCOMPARE(fake->prompts[0].kind, QStringLiteral("error"));
      QCOMPARE(fake->prompts[0].text, QStringLiteral("File ") + p + NotARecord);
      QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH"));
      QVERIFY(w->controls().Edit1->text().isEmpty());
    }
  }

  void extensionRule_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("folder with a point") << "/home/a.kly/record" << false;
    QTest::newRow("point in folder") << "/home/a.b/record.Kly" << true;
    QTest::newRow("name is the extension") << "/tmp/.kly" << true;
    QTest::newRow("trailing point") << "/tmp/x.kly." << false;
    QTest::newRow("Cyrillic") << "/tmp/гадание.KLY" << true;
  }
  void extensionRule() {
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    QCOMPARE(HasRecordExtension(path), accepted);
  }

  void givenPathNotARecordChangesNothing() {
    create();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    fake->saveNames = {path("a.kly")};
    w->Saveas1Click();
    const QString missing = path("missing.kly");
    w->OpenMyDropOrClickFile(missing);
    QCOMPARE(fake->promptTexts(), QStringList{"File " + missing + NotARecord});
    QCOMPARE(w->currentFileName(), path("a.kly"));
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QVERIFY(w->Model().bound() && !w->Model().modified());
  }

  // A bad integer in the file: the conversion error, nothing changed.
  void badIntegerInRecord() {
    create();
    QFile f(path("bad.kly"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\nyah=abc\r\n[%%%&*(0876&%9]\r\n");
    f.close();
    // From the event loop, as a drop or a hand-off runs it.
    QMetaObject::invokeMethod(
        w.get(), [this] { w->OpenMyDropOrClickFile(path("bad.kly")); }, Qt::QueuedConnection);
    QTRY_COMPARE(fake->promptTexts(), QStringList{"'abc' is not a valid integer value"});
    QVERIFY(w->controls().Edit1->text().isEmpty());
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH"));
    QVERIFY(!w->Model().bound());
  }

  // Comments of more lines than a record may hold: such a record is refused
  // with the window unchanged, and such comments are not saved.
  void tooManyCommentLines() {
    create();
    QFile f(path("long.kly"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[TITLE]\r\nTitle=KALYNTH\r\n[BEGINNER]\r\nEdit1=588\r\n[%%%&*(0876&%9]\r\n" +
            QByteArray(100001, '\n'));
    f.close();
    QMetaObject::invokeMethod(
        w.get(), [this] { w->OpenMyDropOrClickFile(path("long.kly")); }, Qt::QueuedConnection);
    const QString text =
        QStringLiteral("В комментариях 100001 строк, а программа показывает и сохраняет не больше 100000");
    QTRY_COMPARE(fake->promptTexts(), QStringList{text});
    QVERIFY(w->controls().Edit1->text().isEmpty());
    QVERIFY(!w->Model().bound());

    fake->prompts.clear();
    typeCodes({"588", "588", "588", "588", "588", "588"});
    w->controls().CommentsMemo->setPlainText(QString(100000, u'\n'));
    fake->saveNames = {path("out.kly")};
    QMetaObject::invokeMethod(
        w.get(), [this] { ui::RunCommand([this] { w->Saveas1Click(); }); }, Qt::QueuedConnection);
    QTRY_COMPARE(fake->promptTexts(), QStringList{text});
    QVERIFY(!QFile::exists(path("out.kly")));
    QVERIFY(w->Model().modified());
  }

  // ---- command line, drops, hand-off ---------------------------------------------

  void commandLineArgument_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("opens");
    QTest::newRow("record") << "arg.kly" << true;
    QTest::newRow("KLY") << "arg.KLY" << true;
    QTest::newRow("other extension, silently") << "arg.txt" << false;
    QTest::newRow("other case, silently") << "arg.kLY" << false;
  }
  void commandLineArgument() {
    QFETCH(QString, name);
    QFETCH(bool, opens);
    const QString p = writeSample(name);
    create({p, QStringLiteral("second.kly")});
    expectNoPrompt();
    QCOMPARE(w->windowTitle(), opens ? QStringLiteral("KALYNTH - ") + name : QStringLiteral("KALYNTH"));
    QCOMPARE(w->Model().bound(), opens);
    QVERIFY(!w->Model().modified());
  }

  void dropOpensTheFirstFile() {
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    records::Record other = SampleRecord();
    other.note = QStringLiteral("второй");
    const QString b = writeSample(QStringLiteral("b.kly"), other);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(path("c.txt"))});
    for (QWidget* target : std::initializer_list<QWidget*>{w.get(), w->controls().Edit7}) {
      QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(target, &enter);
      QVERIFY(enter.isAccepted());
      QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(target, &drop);
      QVERIFY(drop.isAccepted());
      QTRY_COMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
      QCOMPARE(w->controls().Edit7->text(), QStringLiteral("Семья"));  // not the dropped path as text
      w->ClearBtnClick();
    }
    expectNoPrompt();
  }

  void droppedNonRecordShowsMessage() {
    create();
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path("x.txt"))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w.get(), &drop);
    QTRY_COMPARE(fake->promptTexts(), QStringList{"File " + path("x.txt") + NotARecord});
  }

  // The hand-off value is emptied before the open starts, so a prompt
  // during the open already finds it empty.
  void handOff() {
    create();
    const QString a = writeSample(QStringLiteral("a.kly"));
    {
      ui::SettingsStore s;
      s.write(ui::settings::ParamStr, a);
    }
    typeCodes({"588", "588", "588", "588", "588", "588"});
    QString valueDuringPrompt = QStringLiteral("not asked");
    fake->onPrompt = [&](const QString&) {
      valueDuringPrompt = ui::SettingsStore().read(ui::settings::ParamStr);
    };
    fake->answers = {Answer::No};
    w->TakeHandOff();
    QCOMPARE(valueDuringPrompt, QString());
    QCOMPARE(w->handOffPath(), a);
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    QCOMPARE(ui::SettingsStore().read(ui::settings::ParamStr), QString());
    // Nothing pending: nothing happens.
    fake->prompts.clear();
    w->TakeHandOff();
    expectNoPrompt();
    QVERIFY(w->handOffPath().isEmpty());
  }

  // ---- where a save goes: the file the record came from, links -----------------

  // After the record was opened through a link of the user's own, another
  // file took the name's place: Save writes nothing, says so and offers
  // Save As; No keeps the record changed, Yes saves under the chosen name.
  void saveChecksTheFileTheRecordCameFrom_data() {
    QTest::addColumn<QString>("change");
    QTest::newRow("link re-pointed") << QStringLiteral("re-point");
    QTest::newRow("file replaced") << QStringLiteral("replace");
    QTest::newRow("file deleted") << QStringLiteral("delete");
  }
  void saveChecksTheFileTheRecordCameFrom() {
    QFETCH(QString, change);
    create();
    const QString target = writeSample(QStringLiteral("target.kly"));
    records::Record otherRecord = SampleRecord();
    otherRecord.note = QStringLiteral("другая");
    const QString other = writeSample(QStringLiteral("other.kly"), otherRecord);
    const QString a = path(QStringLiteral("a.kly"));
    QVERIFY(QFile::link(QStringLiteral("target.kly"), a));
    w->OpenMyDropOrClickFile(a);
    w->controls().Edit7->setText(QStringLiteral("изменено"));
    if (change == QLatin1String("re-point")) {
      QVERIFY(QFile::remove(a));
      QVERIFY(QFile::link(QStringLiteral("other.kly"), a));
    } else if (change == QLatin1String("replace")) {
      writeSample(QStringLiteral("copy"), otherRecord);
      QCOMPARE(::rename(QFile::encodeName(path(QStringLiteral("copy"))).constData(),
                        QFile::encodeName(target).constData()),
               0);
    } else {
      QVERIFY(QFile::remove(target));
    }
    const QByteArray otherBefore = Bytes(other), targetBefore = Bytes(target);
    const QString refusal = records::OtherFileText(a) + QStringLiteral("\n\nСохранить запись в другой файл?");

    fake->answers.push_back(Answer::No);
    w->controls().ToolButton9->click();
    QCOMPARE(fake->promptTexts(), QStringList{refusal});
    QCOMPARE(fake->prompts[0].kind, QStringLiteral("warning2"));
    QVERIFY(w->Model().modified());
    QCOMPARE(Bytes(other), otherBefore);
    QCOMPARE(Bytes(target), targetBefore);
    QVERIFY(fake->saveRequests.isEmpty());

    // Yes: the save dialog, and the record goes to the chosen file.
    fake->prompts.clear();
    fake->answers.push_back(Answer::Yes);
    const QString chosen = path(QStringLiteral("chosen.kly"));
    fake->saveNames.push_back(chosen);
    w->controls().ToolButton9->click();
    QCOMPARE(fake->promptTexts(), QStringList{refusal});
    QCOMPARE(w->currentFileName(), chosen);
    QVERIFY(!w->Model().modified());
    QCOMPARE(records::ReadRecordFile(chosen)->note, QStringLiteral("изменено"));
    QCOMPARE(Bytes(other), otherBefore);
    // The chosen file is the record's file now: the next Save goes there.
    fake->prompts.clear();
    w->controls().Edit7->setText(QStringLiteral("ещё раз"));
    w->controls().ToolButton9->click();
    expectNoPrompt();
    QCOMPARE(records::ReadRecordFile(chosen)->note, QStringLiteral("ещё раз"));
  }

  // A link of the user's own keeps working, save after save; it stays a link.
  void ownLinkKeepsWorking() {
    create();
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("Записи")));
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("другая папка")));
    const QString target = writeSample(QStringLiteral("Записи/вопрос.kly"));
    const QString link = path(QStringLiteral("другая папка/вопрос.kly"));
    QVERIFY(QFile::link(target, link));
    w->OpenMyDropOrClickFile(link);
    for (const char* note : {"первое", "второе"}) {
      w->controls().Edit7->setText(QString::fromUtf8(note));
      w->controls().ToolButton9->click();
      expectNoPrompt();
      QVERIFY(!w->Model().modified());
      QVERIFY(QFileInfo(link).isSymLink());
      QCOMPARE(records::ReadRecordFile(target)->note, QString::fromUtf8(note));
    }
  }

  // Another user's link is never followed, not even to where it points now;
  // Save As onto such a link is refused the same way.
  void foreignLinkIsNotFollowed() {
    if (geteuid() != 0) QSKIP("needs root to make a link of another user (nobody)");
    QVERIFY(QFile::setPermissions(dir->path(), QFileDevice::Permissions(0x7777)));
    QCOMPARE(::chmod(QFile::encodeName(dir->path()).constData(), 01777), 0);
    create();
    const QString target = writeSample(QStringLiteral("record"));
    QTemporaryDir home;
    const QString important = home.filePath(QStringLiteral("important.txt"));
    {
      QFile f(important);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("important\n");
    }
    const QString a = path(QStringLiteral("a.kly"));
    const auto asNobody = [](const std::function<bool()>& what) {
      const pid_t pid = ::fork();
      if (pid == 0) {
        if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) _exit(3);
        _exit(what() ? 0 : 1);
      }
      int status = 0;
      ::waitpid(pid, &status, 0);
      return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    QVERIFY(asNobody([&] { return QFile::link(QStringLiteral("record"), a); }));
    w->OpenMyDropOrClickFile(a);
    QCOMPARE(w->windowTitle(), QStringLiteral("KALYNTH - a.kly"));
    w->controls().Edit7->setText(QStringLiteral("изменено"));
    const QByteArray targetBefore = Bytes(target);
    const QString refusal =
        records::ForeignLinkText(a) + QStringLiteral("\n\nСохранить запись в другой файл?");

    // As it points now, and re-pointed at the user's file.
    for (bool repointed : {false, true}) {
      if (repointed) QVERIFY(asNobody([&] { return QFile::remove(a) && QFile::link(important, a); }));
      fake->prompts.clear();
      fake->answers.push_back(Answer::No);
      w->controls().Save1->trigger();
      QCOMPARE(fake->promptTexts(), QStringList{refusal});
      QVERIFY(w->Model().modified());
      QCOMPARE(Bytes(target), targetBefore);
      QCOMPARE(Bytes(important), QByteArray("important\n"));
    }

    // Save As onto the link: refused; No leaves the record where it was.
    fake->prompts.clear();
    fake->saveNames.push_back(a);
    fake->answers.push_back(Answer::No);
    w->controls().Saveas1->trigger();
    QCOMPARE(fake->promptTexts(), QStringList{refusal});
    QCOMPARE(w->currentFileName(), a);
    QCOMPARE(w->untitledCounter(), 1);
    QVERIFY(w->Model().modified());
    QCOMPARE(Bytes(important), QByteArray("important\n"));
    for (const QString& e : QDir(dir->path()).entryList(QDir::Hidden | QDir::Files))
      QVERIFY2(!e.startsWith(QStringLiteral(".kalynth-")), qPrintable(e));
  }

  // "Экспорт в PDF" proposes the record's name with ".pdf"; the record
  // itself (by its name or by another), and any ".kly" file, is refused
  // before any replace question; an existing PDF is replaced when the user
  // agrees.
  void pdfExportNeverReplacesARecord() {
    create();
    const QString record = writeSample(QStringLiteral("вопрос.kly"));
    records::Record otherRecord = SampleRecord();
    otherRecord.note = QStringLiteral("другая");
    const QString other = writeSample(QStringLiteral("другая.KLY"), otherRecord);
    QVERIFY(QFile::link(QStringLiteral("вопрос.kly"), path(QStringLiteral("ссылка.pdf"))));
    w->OpenMyDropOrClickFile(record);
    QVERIFY(!w->Model().modified());
    const QByteArray recordBefore = Bytes(record), otherBefore = Bytes(other);

    const struct {
      QString chosen;
      QString error;
    } refused[] = {
        {record, ui::RecordOutputText(record)},
        {other, ui::RecordOutputText(other)},
        {path(QStringLiteral("новая.Kly")), ui::RecordOutputText(path(QStringLiteral("новая.Kly")))},
        {path(QStringLiteral("ссылка.pdf")), ui::SameAsRecordText(path(QStringLiteral("ссылка.pdf")))},
    };
    for (const auto& c : refused) {
      fake->prompts.clear();
      fake->saveNames.push_back(c.chosen);
      w->controls().PdfExport1->trigger();
      QCOMPARE(fake->promptTexts(), QStringList{c.error});
      QCOMPARE(fake->prompts[0].kind, QStringLiteral("error"));
    }
    QCOMPARE(Bytes(record), recordBefore);
    QCOMPARE(Bytes(other), otherBefore);
    QVERIFY(!QFile::exists(path(QStringLiteral("новая.Kly"))));
    for (const ui::FileDialogRequest& r : fake->saveRequests) {
      QCOMPARE(r.fileName, QStringLiteral("вопрос.pdf"));
      QCOMPARE(r.directory, dir->path());
      QVERIFY(!r.confirmOverwrite);  // the window asks itself, after its checks
    }

    // An existing PDF: the window asks; No keeps it, Yes replaces it.
    const QString pdf = path(QStringLiteral("вопрос.pdf"));
    {
      QFile f(pdf);
      QVERIFY(f.open(QIODevice::WriteOnly));
      f.write("old");
    }
    const QString replace = QStringLiteral("Файл %1 уже существует.\nЗаменить его?").arg(pdf);
    for (Answer answer : {Answer::No, Answer::Yes}) {
      fake->prompts.clear();
      fake->saveNames.push_back(pdf);
      fake->answers.push_back(answer);
      w->controls().PdfExport1->trigger();
      QCOMPARE(fake->promptTexts(), QStringList{replace});
      QCOMPARE(Bytes(pdf).startsWith("%PDF-"), answer == Answer::Yes);
    }
    QVERIFY(!w->Model().modified());
    QStringList entries = QDir(dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    entries.sort();
    QCOMPARE(entries, (QStringList{QStringLiteral("вопрос.kly"), QStringLiteral("вопрос.pdf"),
                                   QStringLiteral("другая.KLY"), QStringLiteral("ссылка.pdf")}));
  }

  // Printing to a file (the print dialog's PDF choice) makes the file as
  // the export does: never over a record, never through another user's
  // link, whole or not at all.
  void printToFileIsMadeAsTheExport() {
    create();
    const QString record = writeSample(QStringLiteral("вопрос.kly"));
    w->OpenMyDropOrClickFile(record);
    const QByteArray recordBefore = Bytes(record);
    const ui::SheetFooter footer{record, fake->clock};
    const auto printTo = [&](const QString& name) -> QString {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(name);
      try {
        w->PrintSheet(printer, footer);
      } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
      }
      if (printer.outputFileName() != name) return QStringLiteral("name not restored");
      return QStringLiteral("printed");
    };
    const QString pdf = path(QStringLiteral("лист.pdf"));
    QCOMPARE(printTo(pdf), QStringLiteral("printed"));
    QVERIFY(Bytes(pdf).startsWith("%PDF-"));
    QCOMPARE(printTo(record), ui::RecordOutputText(record));
    QCOMPARE(Bytes(record), recordBefore);
    QVERIFY(QFile::link(QStringLiteral("вопрос.kly"), path(QStringLiteral("ссылка.pdf"))));
    QCOMPARE(printTo(path(QStringLiteral("ссылка.pdf"))),
             ui::SameAsRecordText(path(QStringLiteral("ссылка.pdf"))));
    QCOMPARE(Bytes(record), recordBefore);
    if (geteuid() == 0) {
      const QString theirs = path(QStringLiteral("чужая.pdf"));
      QVERIFY(QFile::link(pdf, theirs));
      QCOMPARE(::lchown(QFile::encodeName(theirs).constData(), 65534, 65534), 0);
      QCOMPARE(printTo(theirs), records::ForeignLinkText(theirs));
    }
    for (const QString& e : QDir(dir->path()).entryList(QDir::Hidden | QDir::Files))
      QVERIFY2(!e.startsWith(QStringLiteral(".kalynth-")), qPrintable(e));
  }

  // ---- the real save dialog ---------------------------------------------------

  // Adds ".kly" to a typed name, asks before overwriting, can be resized.
  void realSaveDialog() {
    scoped.reset();  // the real platform
    QWidget parent;
    ui::Platform real;
    ui::FileDialogRequest request;
    request.directory = dir->path();
    request.fileName = QStringLiteral("Untitle1");
    request.filter = QStringLiteral("Kalynth files (*.kly)");
    request.defaultSuffix = QStringLiteral("kly");
    bool resizable = false;
    QString proposed;
    auto answerDialog = [&](const QString& typed) {
      QTimer::singleShot(50, [&, typed] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        QVERIFY(d);
        resizable = d->isSizeGripEnabled();
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        proposed = name->text();
        name->setText(typed);
        QMetaObject::invokeMethod(d, "accept", Qt::QueuedConnection);
      });
    };
    answerDialog(QStringLiteral("запись"));
    QCOMPARE(real.saveFileName(&parent, request), dir->filePath(QStringLiteral("запись.kly")));
    QVERIFY(resizable);
    QCOMPARE(proposed, QStringLiteral("Untitle1"));

    // An existing file: the dialog asks; No returns to it, then Cancel.
    QFile(dir->filePath(QStringLiteral("есть.kly"))).open(QIODevice::WriteOnly);
    bool asked = false;
    answerDialog(QStringLiteral("есть"));
    QTimer::singleShot(400, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      asked = box != nullptr;
      if (box) box->button(QMessageBox::No)->click();
      QTimer::singleShot(100, [] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) d->reject();
      });
    });
    QCOMPARE(real.saveFileName(&parent, request), QString());
    QVERIFY(asked);
  }
};

KALYNTH_TEST_MAIN(TestRecordLifecycle)
#include "tst_recordlifecycle.moc"
