// One running instance per user: a first start runs, a later one is handed
// off; a socket and a lock left by a crashed instance do not block the next
// start; several starts at the same moment give exactly one running
// instance; a request sent while the running instance is still building its
// windows (no event loop yet) is delivered once the loop runs.
//
// Crashes and simultaneous starts are real processes: this test program
// started again in one of its helper modes (see main below).
//
// Another user must not be able to block a start or see it: a folder or a
// socket prepared by someone else is never used. The parts that need a
// second user (a folder owned by "nobody", a listener running as "nobody")
// run only as root and are skipped with a message otherwise.
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <cstdlib>
#include <cstring>

#include "ui/shell/SingleInstance.h"

using ui::SingleInstance;
using Role = SingleInstance::Role;

namespace {

// Helper modes of this program, for the tests that need other processes.
//   --crash FOLDER      becomes the running instance and dies without any
//                       clean-up, holding the lock, leaving the socket file
//   --start FOLDER MS [AT [N]]
//                       starts (at the wall-clock millisecond AT since the
//                       epoch, when given, so that several helpers start
//                       together); as the running instance stays MS ms with
//                       its event loop, or until N requests came, and
//                       prints "running N" (N requests received); as a
//                       second start sends its request and prints
//                       "secondary sent"
//   --where -           starts with the default folder and prints its role
//                       ("running", "secondary", "alone") and socket path
//   --foreign-listener SOCKET
//                       (root) binds SOCKET, becomes the user "nobody",
//                       listens, prints "ready", and after one connection
//                       prints "received N" (bytes read until it closed)
constexpr uid_t kNobody = 65534;

int ForeignListener(const char* path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path, sizeof address.sun_path - 1);
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return 3;
  if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0 || ::listen(fd, 4) != 0) return 4;
  std::printf("ready\n");
  std::fflush(stdout);
  pollfd p{fd, POLLIN, 0};
  if (::poll(&p, 1, 10000) != 1) return 5;
  const int peer = ::accept(fd, nullptr, nullptr);
  long received = 0;
  char buffer[256];
  pollfd q{peer, POLLIN, 0};
  while (::poll(&q, 1, 3000) == 1) {
    const ssize_t n = ::read(peer, buffer, sizeof buffer);
    if (n <= 0) break;
    received += n;
  }
  std::printf("received %ld\n", received);
  return 0;
}

int HelperMain(int argc, char** argv) {
  if (std::strcmp(argv[1], "--foreign-listener") == 0) return ForeignListener(argv[2]);
  QCoreApplication app(argc, argv);
  const QString mode = QString::fromLocal8Bit(argv[1]);
  const QString folder = QString::fromLocal8Bit(argv[2]);
  if (mode == QLatin1String("--where")) {
    SingleInstance instance;
    const Role role = instance.start();
    std::printf("%s %s\n",
                role == Role::Running     ? "running"
                : role == Role::Secondary ? "secondary"
                                          : "alone",
                qPrintable(instance.socketPath()));
    return 0;
  }
  SingleInstance instance(folder);
  if (mode == QLatin1String("--crash")) {
    if (instance.start() != Role::Running) return 2;
    QLockFile lock(instance.lockPath());
    if (!lock.tryLock(1000)) return 3;
    std::_Exit(9);  // no destructors: the socket file and the lock stay behind
  }
  const int stayMs = argc > 3 ? std::atoi(argv[3]) : 0;
  const int expected = argc > 5 ? std::atoi(argv[5]) : -1;
  if (argc > 4) {
    const qint64 at = QByteArray(argv[4]).toLongLong();
    while (QDateTime::currentMSecsSinceEpoch() < at) QThread::usleep(200);
  }
  switch (instance.start()) {
    case Role::Running: {
      int received = 0;
      QObject::connect(&instance, &SingleInstance::activationRequested, [&] {
        if (++received == expected) app.quit();
      });
      QTimer::singleShot(stayMs, &app, &QCoreApplication::quit);
      app.exec();
      std::printf("running %d\n", received);
      return 0;
    }
    case Role::Secondary:
      std::printf("secondary %s\n", instance.requestActivation() ? "sent" : "failed");
      return 0;
    default:
      std::printf("alone\n");
      return 0;
  }
}

// Leaves a socket file nobody listens on, as a killed instance does: bound,
// listened, closed without unlinking.
bool MakeDeadSocket(const QString& path) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const QByteArray name = QFile::encodeName(path);
  std::strncpy(address.sun_path, name.constData(), sizeof address.sun_path - 1);
  const bool ok =
      ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 && ::listen(fd, 1) == 0;
  ::close(fd);
  return ok && QFileInfo::exists(path);
}

}  // namespace

class TestSingleInstance : public QObject {
  Q_OBJECT

  QString helper() const { return QCoreApplication::applicationFilePath(); }

 private slots:
  void firstStartRunsAndSecondIsHandedOff() {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    QCOMPARE(first.start(), Role::Running);
    QCOMPARE(first.start(), Role::Running);  // decided once
    QVERIFY(QFileInfo(first.socketPath()).exists());
    QSignalSpy requests(&first, &SingleInstance::activationRequested);

    SingleInstance second(folder.path());
    QCOMPARE(second.start(), Role::Secondary);
    QVERIFY(second.requestActivation());
    QTRY_COMPARE(requests.count(), 1);
    QVERIFY(!second.requestActivation());  // one request per start
  }

  void socketLivesInThePrivateFolder() {
    QTemporaryDir folder;
    SingleInstance instance(folder.path());
    QCOMPARE(QFileInfo(instance.socketPath()).absolutePath(), QFileInfo(folder.path()).absoluteFilePath());
    // The default folder is the user's runtime folder, which only the user
    // may enter.
    const QString runtime = SingleInstance::DefaultFolder();
    QVERIFY(!runtime.isEmpty());
    if (QFileInfo::exists(runtime)) {
      QCOMPARE(QFileInfo(runtime).ownerId(), ::getuid());
      QCOMPARE(QFileInfo(runtime).permissions() & (QFile::ReadOther | QFile::WriteOther | QFile::ExeOther |
                                                   QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup),
               QFile::Permissions());
    }
  }

  void missingFolderIsCreatedPrivate() {
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("run"));
    SingleInstance instance(folder);
    QCOMPARE(instance.start(), Role::Running);
    QCOMPARE(QFileInfo(folder).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
  }

  void deadSocketFileIsReplaced() {
    QTemporaryDir folder;
    SingleInstance probe(folder.path());
    QVERIFY(MakeDeadSocket(probe.socketPath()));

    SingleInstance next(folder.path());
    QCOMPARE(next.start(), Role::Running);
    SingleInstance after(folder.path());
    QCOMPARE(after.start(), Role::Secondary);
  }

  void plainFileInPlaceOfTheSocketIsReplaced() {
    QTemporaryDir folder;
    SingleInstance probe(folder.path());
    QFile junk(probe.socketPath());
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.close();
    SingleInstance next(folder.path());
    QCOMPARE(next.start(), Role::Running);
  }

  // A real instance killed while running and while holding the lock.
  void crashedInstanceLeavesNothingThatBlocks() {
    QTemporaryDir folder;
    QProcess crash;
    crash.start(helper(), {QStringLiteral("--crash"), folder.path()});
    QVERIFY(crash.waitForFinished(10000));
    QCOMPARE(crash.exitCode(), 9);
    SingleInstance probe(folder.path());
    QVERIFY(QFileInfo::exists(probe.socketPath()));
    QVERIFY(QFileInfo::exists(probe.lockPath()));

    QElapsedTimer took;
    took.start();
    SingleInstance next(folder.path());
    QCOMPARE(next.start(), Role::Running);
    QVERIFY2(took.elapsed() < 2000, "a dead holder's lock is taken over at once");
    QSignalSpy requests(&next, &SingleInstance::activationRequested);
    SingleInstance second(folder.path());
    QCOMPARE(second.start(), Role::Secondary);
    QVERIFY(second.requestActivation());
    QTRY_COMPARE(requests.count(), 1);
  }

  // Starts released together: exactly one runs, every other one reaches it.
  void simultaneousStartsGiveOneRunningInstance() {
    QTemporaryDir folder;
    constexpr int kStarts = 6;
    const QString at = QString::number(QDateTime::currentMSecsSinceEpoch() + 1500);
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < kStarts; ++i) {
      starts.push_back(std::make_unique<QProcess>());
      starts.back()->start(helper(), {QStringLiteral("--start"), folder.path(), QStringLiteral("15000"), at,
                                      QString::number(kStarts - 1)});
    }
    int running = 0, secondary = 0, received = -1;
    for (auto& p : starts) {
      QVERIFY(p->waitForFinished(20000));
      QCOMPARE(p->exitCode(), 0);
      const QString out = QString::fromLocal8Bit(p->readAllStandardOutput()).trimmed();
      if (out.startsWith(QLatin1String("running "))) {
        ++running;
        received = out.mid(8).toInt();
      } else if (out == QLatin1String("secondary sent")) {
        ++secondary;
      } else {
        QFAIL(qPrintable(QStringLiteral("unexpected answer: ") + out));
      }
    }
    QCOMPARE(running, 1);
    QCOMPARE(secondary, kStarts - 1);
    QCOMPARE(received, kStarts - 1);
  }

  // The running instance listens before its windows exist; a second start
  // that comes meanwhile is not turned into another running instance, it
  // ends at once, and its request is read when the event loop starts.
  void requestWhileWindowsAreBuiltIsKept() {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    QCOMPARE(first.start(), Role::Running);
    QSignalSpy requests(&first, &SingleInstance::activationRequested);

    QProcess second;
    second.start(helper(), {QStringLiteral("--start"), folder.path()});
    // No event loop here while the second start runs to its end.
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(second.readAllStandardOutput().trimmed(), QByteArray("secondary sent"));
    QCOMPARE(requests.count(), 0);

    QTRY_COMPARE(requests.count(), 1);
  }

  // Whatever else reaches the socket is not a request.
  void foreignDataIsNotARequest() {
    QTemporaryDir folder;
    SingleInstance first(folder.path());
    QCOMPARE(first.start(), Role::Running);
    QSignalSpy requests(&first, &SingleInstance::activationRequested);
    QLocalSocket other;
    other.connectToServer(first.socketPath());
    QVERIFY(other.waitForConnected(1000));
    other.write(QByteArray("OPEN /etc/passwd\n") + QByteArray(200, 'x'));
    QVERIFY(other.waitForBytesWritten(1000));
    QTest::qWait(200);
    QCOMPARE(requests.count(), 0);
  }

  // Folders a start must not trust, whoever made them: each one is left
  // alone (no socket, no lock inside) and the start runs on its own.
  void unsafeFolderIsNotUsed() {
    QTemporaryDir parent;
    const QString open = parent.filePath(QStringLiteral("open"));
    QVERIFY(QDir().mkdir(open));
    QVERIFY(::chmod(QFile::encodeName(open).constData(), 0777) == 0);
    const QString group = parent.filePath(QStringLiteral("group"));
    QVERIFY(QDir().mkdir(group));
    QVERIFY(::chmod(QFile::encodeName(group).constData(), 0750) == 0);
    const QString good = parent.filePath(QStringLiteral("good"));
    QVERIFY(QDir().mkdir(good));
    QVERIFY(::chmod(QFile::encodeName(good).constData(), 0700) == 0);
    const QString link = parent.filePath(QStringLiteral("link"));
    QVERIFY(QFile::link(good, link));
    const QString file = parent.filePath(QStringLiteral("file"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();

    for (const QString& folder : {open, group, link, file}) {
      SingleInstance instance(folder);
      QVERIFY2(!SingleInstance::FolderProblem(folder).isEmpty(), qPrintable(folder));
      QCOMPARE(instance.start(), Role::Alone);
      QVERIFY(instance.socketPath().isEmpty());
    }
    QCOMPARE(QDir(good).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QCOMPARE(QDir(open).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QVERIFY(SingleInstance::FolderProblem(good).isEmpty());
  }

  // A folder another user made where ours would go: a squatter that is not
  // trusted, so it neither blocks the start nor sees it.
  void folderOfAnotherUserIsNotUsed() {
    if (::geteuid() != 0) QSKIP("needs root to make a folder owned by another user (nobody)");
    QTemporaryDir parent;
    const QString folder = parent.filePath(QStringLiteral("theirs"));
    QVERIFY(QDir().mkdir(folder));
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
    QVERIFY(::chown(QFile::encodeName(folder).constData(), kNobody, kNobody) == 0);
    SingleInstance instance(folder);
    QCOMPARE(instance.start(), Role::Alone);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
  }

  // A process of another user listening on our socket gets no request and
  // keeps no one from starting.
  void listenerOfAnotherUserGetsNothing() {
    if (::geteuid() != 0) QSKIP("needs root to run a listener as another user (nobody)");
    QTemporaryDir folder;
    SingleInstance probe(folder.path());
    QProcess squatter;
    squatter.start(helper(), {QStringLiteral("--foreign-listener"), probe.socketPath()});
    QVERIFY(squatter.waitForReadyRead(10000));
    QCOMPARE(squatter.readLine().trimmed(), QByteArray("ready"));

    SingleInstance instance(folder.path());
    QCOMPARE(instance.start(), Role::Alone);
    QVERIFY(!instance.requestActivation());
    QVERIFY(squatter.waitForFinished(10000));
    QCOMPARE(squatter.readAllStandardOutput().trimmed(), QByteArray("received 0"));
  }

  // The default place: the runtime folder, or kalynth-<uid> in the
  // temporary folder when the runtime folder's socket path is too long.
  // The fallback is checked like any folder: prepared by someone else (open
  // to all here; owned by another user below, as root) it is not used and
  // the start runs alone, saying so in one line.
  void defaultFolderFallbackIsChecked() {
    QTemporaryDir tmp;
    const QString deep = tmp.filePath(QString(60, u'r') + QLatin1Char('/') + QString(60, u'u'));
    QVERIFY(QDir().mkpath(deep));
    QVERIFY(::chmod(QFile::encodeName(deep).constData(), 0700) == 0);
    const QString fallback = tmp.filePath(QStringLiteral("kalynth-%1").arg(::geteuid()));

    auto startIn = [&](QString* err) {
      QProcess p;
      QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
      env.insert(QStringLiteral("XDG_RUNTIME_DIR"), deep);
      env.insert(QStringLiteral("TMPDIR"), tmp.path());
      p.setProcessEnvironment(env);
      p.start(helper(), {QStringLiteral("--where"), QStringLiteral("-")});
      p.waitForFinished(10000);
      *err = QString::fromLocal8Bit(p.readAllStandardError());
      return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    };
    auto ourLines = [](const QString& err) {
      int n = 0;
      for (const QString& line : err.split(u'\n'))
        if (line.startsWith(QLatin1String("KALYNTH:"))) ++n;
      return n;
    };

    QString err;
    QCOMPARE(startIn(&err), QStringLiteral("running ") + fallback + QStringLiteral("/kalynth.socket"));
    QCOMPARE(ourLines(err), 0);
    QCOMPARE(QFileInfo(fallback).permissions() & 0x0077, QFile::Permissions());

    QVERIFY(QDir(fallback).removeRecursively());
    QVERIFY(QDir().mkdir(fallback));
    QVERIFY(::chmod(QFile::encodeName(fallback).constData(), 0777) == 0);
    QCOMPARE(startIn(&err), QStringLiteral("alone"));
    QCOMPARE(ourLines(err), 1);
    QVERIFY2(err.contains(fallback), qPrintable(err));

    if (::geteuid() != 0)
      QSKIP("the folder of another user (nobody) needs root; the open folder was refused");
    QVERIFY(::chmod(QFile::encodeName(fallback).constData(), 0700) == 0);
    QVERIFY(::chown(QFile::encodeName(fallback).constData(), kNobody, kNobody) == 0);
    QCOMPARE(startIn(&err), QStringLiteral("alone"));
    QCOMPARE(ourLines(err), 1);
  }

  // A start in a folder it cannot use still runs, without the hand-off.
  void unusableFolderRunsAlone() {
    SingleInstance instance(QStringLiteral("/proc/kalynth-no-such-folder"));
    QCOMPARE(instance.start(), Role::Alone);
  }
};

int main(int argc, char** argv) {
  if (argc >= 3 && (std::strcmp(argv[1], "--crash") == 0 || std::strcmp(argv[1], "--start") == 0 ||
                    std::strcmp(argv[1], "--where") == 0 || std::strcmp(argv[1], "--foreign-listener") == 0))
    return HelperMain(argc, argv);
  QCoreApplication app(argc, argv);
  TestSingleInstance test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
