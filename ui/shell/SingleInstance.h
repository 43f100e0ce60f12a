// One running KALYNTH per user.
//
// The running instance listens on a local socket in a folder of the user's
// own: the runtime folder ($XDG_RUNTIME_DIR, or Qt's fallback
// runtime-<user> in the temporary folder) or else kalynth-<uid> in the
// temporary folder. A later start that can connect there is a second
// instance: it leaves its path in the settings store, asks the running one
// to come to the front and ends. A start that cannot connect removes
// whatever socket file a crashed instance left behind and becomes the
// running instance itself.
//
// Nothing another user prepared is trusted: the folder must be a real
// folder (not a link), owned by the user, with mode 0700 (checked with
// lstat; a missing one is created so), or it is not used; and before a
// second start sends anything it checks that the process listening runs as
// the same user (SO_PEERCRED); the running instance likewise ignores
// connections of other users. When no such folder exists, or another user
// listens on the socket, or the socket's path would be too long, the start
// runs as an independent instance (Alone) and says so in one line on
// standard error, rather than not starting at all.
//
// The test "is anyone listening?" and the listen that follows are one step
// under a lock file beside the socket, so two starts at the same moment
// give exactly one running instance. The lock is held by a second instance
// until its request is sent, so several second instances queue up and the
// last one's path is the one left in the store.
//
// The running instance listens before it creates any window; a request that
// arrives while the windows are still being built waits in the socket until
// the event loop reads it, and activationRequested() is emitted then.
//
// API
//   class ui::SingleInstance : QObject
//     SingleInstance(QObject* parent = nullptr)              the user's own folder
//     SingleInstance(const QString& folder, QObject* parent) a given folder (tests),
//                                                            under the same checks
//     Role start()          decides, once: Running, Secondary or Alone
//     bool requestActivation()   Secondary only: sends the request, lets
//                                the lock go; false when the running
//                                instance could not be reached
//     QString socketPath()       empty when no safe folder was found
//   signal activationRequested()  Running: a second start asked for the front
//
//   Alone means no rendezvous was possible: the program runs without a
//   hand-off rather than not at all.
#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

namespace ui {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  enum class Role { Undecided, Running, Secondary, Alone };

  explicit SingleInstance(QObject* parent = nullptr);
  explicit SingleInstance(const QString& folder, QObject* parent = nullptr);
  ~SingleInstance() override;

  // The folder the default constructor uses: the first of the candidates
  // that is safe (created 0700 when missing) and short enough for a socket
  // path; empty when none is.
  static QString DefaultFolder();
  // Why `folder` cannot be used (Russian text for the stderr line), or an
  // empty text when it is a folder of the user's own with mode 0700. A
  // missing folder is created first.
  static QString FolderProblem(const QString& folder);

  Role start();
  Role role() const { return role_; }

  bool requestActivation();

  QString socketPath() const { return socketPath_; }
  QString lockPath() const { return lockPath_; }

  // The one request a second instance sends.
  static constexpr char kActivate[] = "ACTIVATE\n";

 signals:
  void activationRequested();

 private:
  void acceptConnections();
  void readRequest(QLocalSocket* socket);
  Role runAlone(const QString& reason);

  QString socketPath_;
  QString lockPath_;
  QString problem_;  // why no safe socket place exists (empty: there is one)
  Role role_ = Role::Undecided;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  std::unique_ptr<QLocalSocket> client_;
};

}  // namespace ui
