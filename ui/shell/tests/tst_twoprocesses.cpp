// The real program, two processes of it: a second start hands its path to
// the running instance, which opens it (its title becomes "KALYNTH - " +
// the file name); the hand-off value ends empty; the second start ends at
// once with status 0 and creates no window. Also: a second start without
// an argument opens nothing; a second start while the first is still
// building its windows is handed over as well; after the running instance
// was killed the next start runs; starts at the same moment give one
// running instance.
//
// The processes report what they do on standard output (KALYNTH_TRACE):
// "role <running|secondary|alone>", "title <window title>", "ready <ms>".
// Each test has its own settings and runtime folders.
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "records/record.h"
#include "settings/SettingsStore.h"

namespace {

constexpr int kWaitMs = 15000;
// Longer than the running window takes to decide about an activation.
constexpr int kSettledMs = 600;

// One process of the program, with its standard output read line by line.
class Kalynth {
 public:
  Kalynth(const QProcessEnvironment& environment, const QStringList& arguments,
          const QString& workingFolder = {}) {
    process_.setProcessEnvironment(environment);
    if (!workingFolder.isEmpty()) process_.setWorkingDirectory(workingFolder);
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(QStringLiteral(KALYNTH_BINARY), arguments);
  }
  ~Kalynth() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished(kWaitMs);
    }
  }

  QProcess& process() { return process_; }

  // Waits until a line equal to `line` (or starting with it, for a prefix
  // ending in a blank) has come; true when it did.
  bool waitFor(const QString& line, int timeoutMs = kWaitMs) {
    QElapsedTimer waited;
    waited.start();
    while (true) {
      read();
      for (const QString& l : lines_)
        if (l == line || (line.endsWith(QLatin1Char(' ')) && l.startsWith(line))) return true;
      if (waited.elapsed() > timeoutMs || process_.state() == QProcess::NotRunning) {
        read();
        return lines_.contains(line);
      }
      process_.waitForReadyRead(50);
    }
  }

  QStringList lines() {
    read();
    return lines_;
  }

  bool finished(int timeoutMs = kWaitMs) { return process_.waitForFinished(timeoutMs); }

 private:
  void read() {
    partial_ += QString::fromUtf8(process_.readAllStandardOutput());
    qsizetype end;
    while ((end = partial_.indexOf(QLatin1Char('\n'))) >= 0) {
      lines_ << partial_.left(end);
      partial_.remove(0, end + 1);
    }
  }

  QProcess process_;
  QString partial_;
  QStringList lines_;
};

}  // namespace

class TestTwoProcesses : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> root;
  QProcessEnvironment environment;
  QString recordPath;

  // The hand-off value as the running instance left it (nullopt: never
  // written).
  std::optional<QString> storedHandOff() {
    return ui::SettingsStore().rawText(QStringLiteral("ParamStr"), QStringLiteral("ParamStr"));
  }

  std::unique_ptr<Kalynth> start(const QStringList& arguments = {}) {
    return std::make_unique<Kalynth>(environment, arguments);
  }

 private slots:
  void init() {
    root = std::make_unique<QTemporaryDir>();
    QVERIFY(root->isValid());
    const QString config = root->filePath(QStringLiteral("config"));
    const QString runtime = root->filePath(QStringLiteral("runtime"));
    QVERIFY(QDir().mkpath(config));
    QVERIFY(QDir().mkpath(runtime));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("KALYNTH_TRACE"), QStringLiteral("1"));
    // This process reads the same store as the programs it starts.
    qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config);

    // A divination saved earlier: three line codes and a note.
    records::Record record;
    record.lineCodes = {
        QStringLiteral("544"), QStringLiteral("948"), QStringLiteral("588"), QString(), QString(), QString()};
    record.note = QStringLiteral("Вопрос о дороге");
    recordPath = root->filePath(QStringLiteral("name.kly"));
    records::WriteRecordFile(recordPath, record);
  }

  void cleanup() { root.reset(); }

  void secondStartHandsItsPathToTheRunningInstance() {
    auto first = start();
    QVERIFY(first->waitFor(QStringLiteral("ready ")));
    QVERIFY(first->lines().contains(QStringLiteral("role running")));
    QVERIFY(first->lines().contains(QStringLiteral("title KALYNTH")));
    // Let the first window's own activation pass: the path must come by the
    // second start's request.
    QTest::qWait(kSettledMs);

    QElapsedTimer took;
    took.start();
    auto second = start({recordPath});
    QVERIFY(second->finished());
    const qint64 handOffMs = took.elapsed();
    QCOMPARE(second->process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->process().exitCode(), 0);
    // No window: the second start never got past the hand-off.
    QCOMPARE(second->lines(), QStringList{QStringLiteral("role secondary")});

    QVERIFY2(first->waitFor(QStringLiteral("title KALYNTH - name.kly")),
             qPrintable(first->lines().join('|')));
    QTRY_COMPARE(storedHandOff(), std::optional<QString>(QString()));
    QCOMPARE(first->process().state(), QProcess::Running);
    qInfo("second start handed over and ended in %lld ms", static_cast<long long>(handOffMs));
  }

  // "kalynth name.kly" typed in the record's folder: the running instance,
  // working elsewhere, still finds it.
  void relativePathIsHandedOverAsItsFullPath() {
    auto first = start();
    QVERIFY(first->waitFor(QStringLiteral("ready ")));
    QTest::qWait(kSettledMs);
    Kalynth second(environment, {QStringLiteral("name.kly")}, root->path());
    QVERIFY(second.finished());
    QCOMPARE(second.process().exitCode(), 0);
    QVERIFY2(first->waitFor(QStringLiteral("title KALYNTH - name.kly")),
             qPrintable(first->lines().join('|')));
  }

  void secondStartWithoutArgumentOpensNothing() {
    auto first = start({recordPath});  // opened from the command line
    QVERIFY(first->waitFor(QStringLiteral("ready ")));
    QVERIFY(first->lines().contains(QStringLiteral("title KALYNTH - name.kly")));
    QTest::qWait(kSettledMs);

    auto second = start();
    QVERIFY(second->finished());
    QCOMPARE(second->process().exitCode(), 0);
    QCOMPARE(second->lines(), QStringList{QStringLiteral("role secondary")});

    QTest::qWait(500);
    QCOMPARE(storedHandOff(), std::optional<QString>(QString()));
    QCOMPARE(first->lines().filter(QStringLiteral("title ")).size(), 1);  // still the same record
    QCOMPARE(first->process().state(), QProcess::Running);
  }

  // The running instance listens before it builds its windows: a start
  // that comes meanwhile is a second start, not another running instance.
  void secondStartWhileTheFirstIsStillStarting() {
    auto first = start();
    QVERIFY(first->waitFor(QStringLiteral("role running")));
    auto second = start({recordPath});
    QVERIFY(second->finished());
    QCOMPARE(second->process().exitCode(), 0);
    QCOMPARE(second->lines(), QStringList{QStringLiteral("role secondary")});
    QVERIFY2(first->waitFor(QStringLiteral("title KALYNTH - name.kly")),
             qPrintable(first->lines().join('|')));
    QTRY_COMPARE(storedHandOff(), std::optional<QString>(QString()));
  }

  // A killed instance leaves its socket behind; the next start must run,
  // and open its own argument, not hand it to nobody.
  void startAfterTheRunningInstanceWasKilled() {
    {
      auto first = start();
      QVERIFY(first->waitFor(QStringLiteral("ready ")));
      first->process().kill();
      QVERIFY(first->finished());
    }
    QVERIFY(QFileInfo::exists(root->filePath(QStringLiteral("runtime/kalynth.socket"))));
    auto next = start({recordPath});
    QVERIFY(next->waitFor(QStringLiteral("ready ")));
    QVERIFY(next->lines().contains(QStringLiteral("role running")));
    QVERIFY(next->lines().contains(QStringLiteral("title KALYNTH - name.kly")));
  }

  void startsAtTheSameMomentGiveOneRunningInstance() {
    std::vector<std::unique_ptr<Kalynth>> starts;
    for (int i = 0; i < 3; ++i) starts.push_back(start());
    for (auto& s : starts) QVERIFY(s->waitFor(QStringLiteral("role ")));
    int running = 0;
    for (auto& s : starts) {
      if (s->lines().contains(QStringLiteral("role running"))) {
        ++running;
      } else {
        QVERIFY(s->lines().contains(QStringLiteral("role secondary")));
        QVERIFY(s->finished());
        QCOMPARE(s->process().exitCode(), 0);
      }
    }
    QCOMPARE(running, 1);
  }
};

QTEST_GUILESS_MAIN(TestTwoProcesses)
#include "tst_twoprocesses.moc"
