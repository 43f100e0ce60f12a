#include "ui/shell/SingleInstance.h"

#include <unistd.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

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

QString UserSuffix() { return QString::number(::getuid()); }

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

QString SingleInstance::DefaultFolder() {
  QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (folder.isEmpty()) folder = QDir::tempPath() + QStringLiteral("/kalynth-") + UserSuffix();
  return folder;
}

SingleInstance::SingleInstance(QObject* parent) : SingleInstance(DefaultFolder(), parent) {}

SingleInstance::SingleInstance(const QString& folder, QObject* parent) : QObject(parent) {
  if (!QDir(folder).exists() && QDir().mkpath(folder))
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  socketPath_ = QDir(folder).filePath(QStringLiteral("kalynth.socket"));
  lockPath_ = QDir(folder).filePath(QStringLiteral("kalynth.lock"));
  // A very deep runtime folder cannot hold a socket; the user id in the
  // name keeps the fallback in the shared temporary folder per user.
  if (QFile::encodeName(socketPath_).size() > kMaxSocketPath)
    socketPath_ = QDir::temp().filePath(QStringLiteral("kalynth-%1.socket").arg(UserSuffix()));
}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::start() {
  if (role_ != Role::Undecided) return role_;

  lock_ = std::make_unique<QLockFile>(lockPath_);
  if (!TakeLock(*lock_)) {
    // A lock that cannot be had (folder not writable, a start hung while
    // deciding) must not keep the program from starting: go on unguarded.
    qWarning("KALYNTH: cannot lock %s; starting without the single-instance guard",
             qPrintable(lockPath_));
    lock_.reset();
  }

  client_ = std::make_unique<QLocalSocket>();
  client_->connectToServer(socketPath_);
  if (client_->waitForConnected(kConnectWaitMs)) {
    // Someone listens: this is a second start. The lock stays held until
    // the request has gone out (requestActivation).
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
    qWarning("KALYNTH: cannot listen on %s: %s", qPrintable(socketPath_),
             qPrintable(server_->errorString()));
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
