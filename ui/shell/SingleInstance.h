// One running KALYNTH per user.
//
// The running instance listens on a local socket in the user's own runtime
// folder ($XDG_RUNTIME_DIR, which only the user can enter; Qt falls back to
// a private /tmp/runtime-<user>). A later start that can connect there is a
// second instance: it leaves its path in the settings store, asks the
// running one to come to the front and ends. A start that cannot connect
// removes whatever socket file a crashed instance left behind and becomes
// the running instance itself.
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
//     SingleInstance(QObject* parent = nullptr)              the user's runtime folder
//     SingleInstance(const QString& folder, QObject* parent) any folder (tests)
//     Role start()          decides, once: Running, Secondary or Alone
//     bool requestActivation()   Secondary only: sends the request, lets
//                                the lock go; false when the running
//                                instance could not be reached
//     QString socketPath()
//   signal activationRequested()  Running: a second start asked for the front
//
//   Alone means no rendezvous was possible (folder unusable): the program
//   runs without a hand-off rather than not at all.
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

  // The user's private runtime folder (created 0700 when missing).
  static QString DefaultFolder();

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

  QString socketPath_;
  QString lockPath_;
  Role role_ = Role::Undecided;
  std::unique_ptr<QLockFile> lock_;
  std::unique_ptr<QLocalServer> server_;
  std::unique_ptr<QLocalSocket> client_;
};

}  // namespace ui
