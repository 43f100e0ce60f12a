#include "ui/shell/SingleInstance.h"

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace ui {

namespace {

// How long a start waits for another start that is deciding at the same
// moment, and for a running instance to accept the connection.
constexpr int kLockWaitMs = 5000;
constexpr int kConnectWaitMs = 1000;
constexpr int kWriteWaitMs = 2000;

// A local socket's path must fit sockaddr_un::sun_path (108 bytes on Linux,
// with its terminating zero).
constexpr qsizetype kMaxSocketPath = 100;

QString UserSuffix() {
  return QString::number(::geteuid());
}

QString SocketIn(const QString& folder) {
  return QDir(folder).filePath(QStringLiteral("kalynth.socket"));
}

bool SocketFits(const QString& folder) {
  return QFile::encodeName(SocketIn(folder)).size() <= kMaxSocketPath;
}

// The user id of the process at the other end of a connected local socket.
std::optional<uid_t> PeerUser(qintptr descriptor) {
  ucred peer{};
  socklen_t size = sizeof peer;
  if (descriptor < 0 || ::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0)
    return std::nullopt;
  return peer.uid;
}

// Folders to try, in order: the runtime folder (Qt returns none when it is
// not the user's own), then kalynth-<uid> in the temporary folder.
QStringList CandidateFolders() {
  QStringList folders;
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (!runtime.isEmpty()) folders << runtime;
  folders << QDir::tempPath() + QStringLiteral("/kalynth-") + UserSuffix();
  return folders;
}

// QLockFile::tryLock(timeout) backs off up to seconds between attempts;
// the lock is held for milliseconds, so poll it briskly instead.
bool TakeLock(QLockFile& lock) {
  QElapsedTimer waited;
  waited.start();
  while (!lock.tryLock(0)) {
    if (lock.error() != QLockFile::LockFailedError || waited.elapsed() > kLockWaitMs) return false;
    QThread::msleep(5);
  }
  return true;
}

}  // namespace

QString SingleInstance::FolderProblem(const QString& folder) {
  const QByteArray path = QFile::encodeName(folder);
  if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
    return QStringLiteral("не удалось создать папку %1: %2")
        .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
  struct stat st {};
  if (::lstat(path.constData(), &st) != 0)
    return QStringLiteral("папка %1 недоступна: %2")
        .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
  if (S_ISLNK(st.st_mode)) return QStringLiteral("%1 — ссылка, а не папка").arg(folder);
  if (!S_ISDIR(st.st_mode)) return QStringLiteral("%1 — не папка").arg(folder);
  if (st.st_uid != ::geteuid())
    return QStringLiteral("папка %1 принадлежит другому пользователю (uid %2)").arg(folder).arg(st.st_uid);
  if ((st.st_mode & 07777) != 0700)
    return QStringLiteral("у папки %1 права %2, а не 700")
        .arg(folder)
        .arg(st.st_mode & 07777, 3, 8, QLatin1Char('0'));
  return {};
}

QString SingleInstance::DefaultFolder() {
  for (const QString& folder : CandidateFolders())
    if (SocketFits(folder) && FolderProblem(folder).isEmpty()) return folder;
  return {};
}

SingleInstance::SingleInstance(QObject* parent) : QObject(parent) {
  QStringList problems;
  for (const QString& folder : CandidateFolders()) {
    if (!SocketFits(folder)) {
      problems << QStringLiteral("путь %1 слишком длинен для сокета").arg(SocketIn(folder));
      continue;
    }
    const QString problem = FolderProblem(folder);
    if (problem.isEmpty()) {
      socketPath_ = SocketIn(folder);
      lockPath_ = QDir(folder).filePath(QStringLiteral("kalynth.lock"));
      return;
    }
    problems << problem;
  }
  problem_ = problems.join(QStringLiteral("; "));
}

SingleInstance::SingleInstance(const QString& folder, QObject* parent) : QObject(parent) {
  if (!SocketFits(folder)) {
    problem_ = QStringLiteral("путь %1 слишком длинен для сокета").arg(SocketIn(folder));
    return;
  }
  problem_ = FolderProblem(folder);
  if (!problem_.isEmpty()) return;
  socketPath_ = SocketIn(folder);
  lockPath_ = QDir(folder).filePath(QStringLiteral("kalynth.lock"));
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::runAlone(const QString& reason) {
  // One line, in plain stdio: the user learns why a second start opens a
  // second window.
  std::fputs(qPrintable(QStringLiteral("KALYNTH: %1; программа работает отдельно, без передачи файла уже "
                                       "запущенной программе\n")
                            .arg(reason)),
             stderr);
  std::fflush(stderr);
  client_.reset();
  lock_.reset();
  role_ = Role::Alone;
  return role_;
}

SingleInstance::Role SingleInstance::start() {
  if (role_ != Role::Undecided) return role_;
  if (!problem_.isEmpty()) return runAlone(problem_);

  lock_ = std::make_unique<QLockFile>(lockPath_);
  if (!TakeLock(*lock_)) {
    // A lock that cannot be had (folder not writable, a start hung while
    // deciding) must not keep the program from starting: go on unguarded.
    qWarning("KALYNTH: cannot lock %s; starting without the single-instance guard", qPrintable(lockPath_));
    lock_.reset();
  }

  client_ = std::make_unique<QLocalSocket>();
  client_->connectToServer(socketPath_);
  if (client_->waitForConnected(kConnectWaitMs)) {
    // Someone listens. Only a process of the same user is our running
    // instance; nothing is sent to anyone else.
    const std::optional<uid_t> peer = PeerUser(client_->socketDescriptor());
    if (peer != ::geteuid()) {
      client_->abort();
      return runAlone(
          peer ? QStringLiteral("сокет %1 слушает процесс другого пользователя (uid %2)")
                     .arg(socketPath_)
                     .arg(*peer)
               : QStringLiteral("не удалось узнать, чей процесс слушает сокет %1").arg(socketPath_));
    }
    // This is a second start. The lock stays held until the request has
    // gone out (requestActivation).
    role_ = Role::Secondary;
    return role_;
  }
  client_.reset();

  server_ = std::make_unique<QLocalServer>();
  // Default socket options on purpose: with an access option Qt renames the
  // socket into place and listen() would succeed over a live instance.
  bool listening = server_->listen(socketPath_);
  if (!listening && server_->serverError() == QAbstractSocket::AddressInUseError) {
    // Nobody answered, so the file is what a crashed instance left behind.
    QLocalServer::removeServer(socketPath_);
    listening = server_->listen(socketPath_);
  }
  lock_.reset();  // unlocks

  if (!listening) {
    qWarning("KALYNTH: cannot listen on %s: %s", qPrintable(socketPath_), qPrintable(server_->errorString()));
    server_.reset();
    role_ = Role::Alone;
    return role_;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::acceptConnections);
  role_ = Role::Running;
  return role_;
}

bool SingleInstance::requestActivation() {
  if (role_ != Role::Secondary || !client_) return false;
  client_->write(kActivate, sizeof kActivate - 1);
  client_->flush();
  bool sent = client_->bytesToWrite() == 0;
  while (!sent && client_->state() == QLocalSocket::ConnectedState) {
    if (!client_->waitForBytesWritten(kWriteWaitMs)) break;
    sent = client_->bytesToWrite() == 0;
  }
  // The request stays in the socket after we go, so a running instance
  // still busy building its windows reads it once its event loop runs.
  client_->disconnectFromServer();
  if (client_->state() != QLocalSocket::UnconnectedState) client_->waitForDisconnected(kWriteWaitMs);
  client_.reset();
  lock_.reset();
  return sent;
}

void SingleInstance::acceptConnections() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    if (PeerUser(socket->socketDescriptor()) != ::geteuid()) {  // not one of our own starts
      socket->abort();
      socket->deleteLater();
      continue;
    }
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
    connect(socket, &QLocalSocket::disconnected, this, [this, socket] {
      readRequest(socket);
      socket->deleteLater();
    });
    readRequest(socket);
  }
}

void SingleInstance::readRequest(QLocalSocket* socket) {
  while (socket->canReadLine()) {
    const QByteArray line = socket->readLine(64);
    if (line == kActivate) emit activationRequested();
  }
  // Anything else is not ours; do not let it pile up.
  if (socket->bytesAvailable() > 64) socket->abort();
}

}  // namespace ui
