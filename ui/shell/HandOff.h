// When the running main window picks up a path handed over by a second
// start.
//
// A second start leaves its path in the settings store ("ParamStr" /
// "ParamStr") and asks the running instance to come to the front. The
// watcher then brings the main window up (shown, not minimised, raised,
// active) and runs the window's pick-up (TFormKalynth::TakeHandOff: read
// the value, write it back empty, then open a non-empty path). Because the
// value is empty before the open starts, an activation during one of the
// open's prompts finds nothing and cannot open the same path twice.
//
// The same pick-up runs whenever the main window is activated other than
// by a mouse click (switching to it with the keyboard, the window manager
// raising it) and is not minimised; a click into the window never runs it.
// The window system does not say why a window became active, so the
// watcher decides a moment later: a press in the window shortly before or
// after the activation marks a click. (A click
// on the frame the window manager draws is not seen by the program and
// counts as "not a click".)
//
// A pick-up is not started while a modal dialog is up or while another
// pick-up is still running (its prompts run their own event loop); a
// request that comes then is kept and carried out as soon as that is over,
// so a second hand-off is neither lost nor opened inside the first.
//
// API
//   class ui::HandOffWatcher : QObject
//     HandOffWatcher(std::function<void()> pickUp, QObject* parent = nullptr)
//     void attach(QWidget* window)   the main window; a request that came
//                                    before it existed is carried out now
//     slot bringToFront()    a second start's request: front, then pick-up
//     slot pickUp()          the pick-up now, or as soon as nothing blocks it
//     signal activationSettled(bool pickingUp)
//                            the watcher has decided about an activation:
//                            pickingUp false for a click or a minimised
//                            window, true when the pick-up follows
//     signal pickedUp()      a pick-up has run (whatever it found)
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace ui {

class HandOffWatcher : public QObject {
  Q_OBJECT
 public:
  // How long after an activation a mouse press still marks it as a click.
  static constexpr int kSettleMs = 150;

  explicit HandOffWatcher(std::function<void()> pickUp, QObject* parent = nullptr);
  ~HandOffWatcher() override;

  void attach(QWidget* window);
  QWidget* window() const { return window_; }

 public slots:
  void bringToFront();
  void pickUp();

 signals:
  void activationSettled(bool pickingUp);
  void pickedUp();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void settled();
  bool inWindow(QObject* object) const;

  std::function<void()> pickUp_;
  QPointer<QWidget> window_;
  QPointer<QWidget> blocker_;  // the modal dialog a request waits for
  QTimer settle_;
  QElapsedTimer clock_;
  qint64 lastPressMs_ = -1;
  bool clickSeen_ = false;
  bool requestPending_ = false;
  bool busy_ = false;
};

}  // namespace ui
