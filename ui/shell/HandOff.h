// The running main window's side of the hand-off between two starts.
//
// A second start leaves a path in the settings store ("ParamStr" /
// "ParamStr") and asks the running instance to come to the front. The
// watcher then brings the main window up (shown, not minimised, raised,
// active) and picks the path up: it reads the value into HandOffPath,
// writes it back empty, and only then opens a non-empty path. Because the
// value is already empty when the open starts, an activation during one of
// the open's prompts finds nothing and cannot open the same path twice.
//
// The same pick-up runs whenever the main window is activated other than
// by a mouse click (switching to it with the keyboard, the window manager
// raising it) and is not minimised; a click into the window never reads the
// value. The window system does not say why a window became active, so the
// watcher decides a moment later: a mouse button held at activation, or a
// press in the window before or shortly after it, marks a click.
//
// A pick-up is not started while a modal dialog is up or while an open is
// still running (its prompts run their own event loop); it is kept and
// done as soon as that is over, so a second hand-off is neither lost nor
// opened inside the first.
//
// API
//   class ui::HandOffWatcher : QObject
//     HandOffWatcher(Opener open, QObject* parent = nullptr)
//                             open: the main window's OpenMyDropOrClickFile
//     void attach(QWidget* window)   the main window; requests that came
//                             before it existed are carried out now
//     QString HandOffPath()   the hand-off value as last read
//     slot bringToFront()     a second start's request (always reads)
//     slot pickUp()           read, empty, open
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace ui {

class HandOffWatcher : public QObject {
  Q_OBJECT
 public:
  using Opener = std::function<void(const QString&)>;

  // How long after an activation a mouse press still marks it as a click.
  static constexpr int kSettleMs = 150;

  explicit HandOffWatcher(Opener open, QObject* parent = nullptr);
  ~HandOffWatcher() override;

  void attach(QWidget* window);
  QWidget* window() const { return window_; }
  QString HandOffPath() const { return handOffPath_; }

 public slots:
  void bringToFront();
  void pickUp();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void settled();
  bool inWindow(QObject* object) const;

  Opener open_;
  QPointer<QWidget> window_;
  QString handOffPath_;
  QTimer settle_;
  QElapsedTimer clock_;
  qint64 lastPressMs_ = -1;
  bool clickSeen_ = false;
  bool requestPending_ = false;
  bool busy_ = false;
};

}  // namespace ui
