#include "ui/shell/HandOff.h"

#include <QApplication>
#include <QEvent>

namespace ui {

HandOffWatcher::HandOffWatcher(std::function<void()> pickUp, QObject* parent)
    : QObject(parent), pickUp_(std::move(pickUp)) {
  settle_.setSingleShot(true);
  settle_.setInterval(kSettleMs);
  connect(&settle_, &QTimer::timeout, this, &HandOffWatcher::settled);
  clock_.start();
}

HandOffWatcher::~HandOffWatcher() {
  if (qApp) qApp->removeEventFilter(this);
}

void HandOffWatcher::attach(QWidget* window) {
  window_ = window;
  // Presses reach the child under the cursor, not the window itself, so
  // the watcher listens application-wide and keeps what concerns the window.
  qApp->installEventFilter(this);
  if (requestPending_) QTimer::singleShot(0, this, &HandOffWatcher::bringToFront);
}

void HandOffWatcher::bringToFront() {
  requestPending_ = true;
  if (!window_) return;  // still being built: attach() carries it out
  QWidget* w = window_;
  w->show();
  if (w->windowState() & Qt::WindowMinimized) w->setWindowState(w->windowState() & ~Qt::WindowMinimized);
  w->raise();
  w->activateWindow();
  if (QWidget* modal = QApplication::activeModalWidget()) {
    // A dialog of the running instance waits for an answer: show that one;
    // the path is picked up once it has closed (pickUp keeps the request).
    modal->raise();
    modal->activateWindow();
  }
  QTimer::singleShot(0, this, &HandOffWatcher::pickUp);
}

void HandOffWatcher::pickUp() {
  if (!window_) return;
  if (QWidget* modal = QApplication::activeModalWidget()) {
    requestPending_ = true;
    blocker_ = modal;
    return;
  }
  if (busy_) {
    requestPending_ = true;
    return;
  }
  requestPending_ = false;

  struct Busy {
    HandOffWatcher* self;
    explicit Busy(HandOffWatcher* s) : self(s) { self->busy_ = true; }
    ~Busy() {
      self->busy_ = false;
      // A request that came while the pick-up was running is done now.
      if (self->requestPending_) QTimer::singleShot(0, self, &HandOffWatcher::pickUp);
    }
  } busy(this);
  pickUp_();
  emit pickedUp();
}

bool HandOffWatcher::inWindow(QObject* object) const {
  if (!window_ || !object || !object->isWidgetType()) return false;
  return static_cast<QWidget*>(object)->window() == window_;
}

bool HandOffWatcher::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
      if (inWindow(watched)) {
        lastPressMs_ = clock_.elapsed();
        if (settle_.isActive()) clickSeen_ = true;
      }
      break;
    case QEvent::WindowActivate:
      if (watched == window_) {
        // A button held in another window does not make this a click into
        // this one; only presses the window itself received count.
        clickSeen_ = lastPressMs_ >= 0 && clock_.elapsed() - lastPressMs_ <= kSettleMs;
        settle_.start();
      }
      break;
    case QEvent::WindowDeactivate:
      if (watched == window_) settle_.stop();
      break;
    case QEvent::Hide:
      // The dialog that held a request back has closed.
      if (blocker_ && watched == blocker_) {
        blocker_ = nullptr;
        if (requestPending_) QTimer::singleShot(0, this, &HandOffWatcher::pickUp);
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void HandOffWatcher::settled() {
  // A request of a second start is always carried out; otherwise a click
  // into the window leaves the value alone.
  const bool picking =
      window_ && !(window_->windowState() & Qt::WindowMinimized) && (!clickSeen_ || requestPending_);
  emit activationSettled(picking);
  if (picking) pickUp();
}

}  // namespace ui
