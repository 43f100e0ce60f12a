// The real program under a lowered file-size limit (ulimit -f 40), started
// with the signal's default action as from a shell: Save of a 65 KB record
// shows "Cannot create file <path>" and the program keeps running; the
// record on disk is the old one byte for byte and no temporary file is
// left in its folder. The program is driven through its trace (standard
// output) and its trace commands "save" and "quit" (standard input).
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>

#include "records/record.h"

namespace {

constexpr int kWaitMs = 20000;

// The program's trace, line by line.
struct Trace {
  QProcess& process;
  QStringList lines;
  QString partial;

  // Waits for a line starting with prefix; true when it came.
  bool waitFor(const QString& prefix) {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kWaitMs) {
      for (const QString& l : lines)
        if (l.startsWith(prefix)) return true;
      if (process.state() == QProcess::NotRunning && !process.bytesAvailable()) return false;
      process.waitForReadyRead(50);
      partial += QString::fromUtf8(process.readAllStandardOutput());
      qsizetype end;
      while ((end = partial.indexOf(QLatin1Char('\n'))) >= 0) {
        lines << partial.left(end);
        partial.remove(0, end + 1);
      }
    }
    return false;
  }
  QByteArray text() const { return lines.join(QLatin1Char('\n')).toUtf8(); }
};

}  // namespace

class TestFileSizeLimit : public QObject {
  Q_OBJECT

 private slots:
  void saveOverTheLimitKeepsTheProgramAndTheRecord() {
    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString config = root.filePath(QStringLiteral("config")),
                  runtime = root.filePath(QStringLiteral("runtime")),
                  folder = root.filePath(QStringLiteral("records"));
    QVERIFY(QDir().mkpath(config) && QDir().mkpath(runtime) && QDir().mkpath(folder));
    QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // A record of about 65 KB: more than the limit of 40 KiB.
    records::Record record;
    record.lineCodes = {QStringLiteral("588"), QStringLiteral("588"), QStringLiteral("544"),
                        QStringLiteral("588"), QStringLiteral("588"), QStringLiteral("588")};
    record.note = QStringLiteral("Большая запись");
    QStringList comments;
    for (int i = 0; i < 800; ++i) comments << QStringLiteral("строка %1 ").arg(i) + QString(70, u'x');
    record.comments = comments.join(QLatin1Char('\n'));
    const QString path = folder + QStringLiteral("/большая.kly");
    records::WriteRecordFile(path, record);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    QVERIFY(before.size() > 60000);

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("KALYNTH_TRACE"), QStringLiteral("1"));
    program.setProcessEnvironment(environment);
    program.setChildProcessModifier([] {
      std::signal(SIGXFSZ, SIG_DFL);
      struct rlimit limit {};
      getrlimit(RLIMIT_FSIZE, &limit);
      limit.rlim_cur = 40 * 1024;
      setrlimit(RLIMIT_FSIZE, &limit);
    });
    program.start(QStringLiteral(KALYNTH_BINARY), {path});
    Trace trace{program, {}, {}};
    QVERIFY2(trace.waitFor(QStringLiteral("ready ")), trace.text().constData());
    QVERIFY(trace.lines.contains(QStringLiteral("title KALYNTH - большая.kly")));

    program.write("save\n");
    QVERIFY2(trace.waitFor(QStringLiteral("error ")), trace.text().constData());
    QVERIFY(trace.lines.contains(QStringLiteral("error Cannot create file ") + path));
    QCOMPARE(program.state(), QProcess::Running);

    program.write("quit\n");
    QVERIFY(program.waitForFinished(kWaitMs));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY2(file.readAll() == before, "the record on disk changed");
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{QStringLiteral("большая.kly")});
  }
};

QTEST_GUILESS_MAIN(TestFileSizeLimit)
#include "tst_filesizelimit.moc"
