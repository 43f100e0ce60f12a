#include "ui/shell/HandOff.h"

#include <QApplication>
#include <QEvent>
#include <QGuiApplication>

#include "ui/SettingsStore.h"

namespace ui {

HandOffWatcher::HandOffWatcher(Opener open, QObject* parent) : QObject(parent), open_(std::move(open)) {
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
    // the path is picked up once it has closed.
    modal->raise();
    modal->activateWindow();
    return;
  }
  QTimer::singleShot(0, this, &HandOffWatcher::pickUp);
}

void HandOffWatcher::pickUp() {
  if (!window_) return;
  if (busy_ || QApplication::activeModalWidget()) {
    requestPending_ = true;
    return;
  }
  requestPending_ = false;

  QString path;
  {
    SettingsStore store;
    path = store.read(settings::ParamStr);
    // Emptied before the open starts: a prompt of the open that closes
    // re-activates the window, and that activation must find nothing.
    if (!path.isEmpty()) store.write(settings::ParamStr, QString());
  }
  handOffPath_ = path;
  if (path.isEmpty()) return;

  struct Busy {
    HandOffWatcher* self;
    explicit Busy(HandOffWatcher* s) : self(s) { self->busy_ = true; }
    ~Busy() {
      self->busy_ = false;
      // A request that came while the open was running is done now.
      if (self->requestPending_) QTimer::singleShot(0, self, &HandOffWatcher::pickUp);
    }
  } busy(this);
  open_(path);
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
        const bool pressedJustBefore = lastPressMs_ >= 0 && clock_.elapsed() - lastPressMs_ <= kSettleMs;
        clickSeen_ = QGuiApplication::mouseButtons() != Qt::NoButton || pressedJustBefore;
        settle_.start();
      }
      break;
    case QEvent::WindowDeactivate:
      if (watched == window_) settle_.stop();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

void HandOffWatcher::settled() {
  if (!window_ || (window_->windowState() & Qt::WindowMinimized)) return;
  // A request of a second start is always carried out; otherwise a click
  // into the window leaves the value alone.
  if (clickSeen_ && !requestPending_) return;
  pickUp();
}

}  // namespace ui
