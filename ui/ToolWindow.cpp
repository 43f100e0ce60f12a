#include "ui/ToolWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QList>
#include <QPalette>
#include <QScreen>
#include <QSet>
#include <QWindow>
#include <algorithm>

#include "ui/Placement.h"

namespace ui {
namespace {

// The default place moved just far enough for the whole window to lie on
// the available area of its screen (a calendar left of a main window near
// the screen's edge would start half outside).
QPoint WhollyOnScreen(QPoint place, QSize size) {
  const QScreen* screen = QGuiApplication::screenAt(place);
  if (!screen) screen = QGuiApplication::primaryScreen();
  if (!screen) return place;
  const QRect area = screen->availableGeometry();
  const int x =
      std::clamp(place.x(), area.left(), std::max(area.left(), area.left() + area.width() - size.width()));
  const int y =
      std::clamp(place.y(), area.top(), std::max(area.top(), area.top() + area.height() - size.height()));
  return QPoint(x, y);
}

// Every tool window alive, and the modal dialogs of the program now shown.
// While any modal dialog is up (a prompt, a file dialog, "Установки", the
// about box), the tool windows that stay on top wait in the ordinary
// level: a dialog that asks something is never hidden behind the calendar.
class ModalWatch : public QObject {
 public:
  static ModalWatch& Instance() {
    // Lives as long as the process; the tool windows outlive no application
    // but may be destroyed after it in a test.
    static ModalWatch* watch = [] {
      auto* w = new ModalWatch;
      if (qApp) qApp->installEventFilter(w);
      return w;
    }();
    return *watch;
  }
  QSet<TToolWindow*> windows;

  bool Up() const {
    for (const QPointer<QWidget>& w : modals_)
      if (w) return true;
    return false;
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched->isWidgetType()) {
      auto* widget = static_cast<QWidget*>(watched);
      if (widget->isWindow() && widget->isModal()) {
        const bool before = Up();
        modals_.removeAll(nullptr);
        modals_.removeAll(widget);
        if (type == QEvent::Show) {
          modals_.append(widget);
          // A dialog deleted while shown sends no hide.
          connect(widget, &QObject::destroyed, this, &ModalWatch::Update, Qt::UniqueConnection);
        }
        if (Up() != before) Update();
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void Update() {
    modals_.removeAll(nullptr);
    for (TToolWindow* w : std::as_const(windows)) w->ApplyLevel();
  }
  QList<QPointer<QWidget>> modals_;
};

}  // namespace

bool TToolWindow::ModalDialogUp() {
  return ModalWatch::Instance().Up();
}

TToolWindow::TToolWindow(QWidget* mainWindow, QAction* menuItem, const ToolWindowSettings& settings)
    : QWidget(nullptr), mainWindow_(mainWindow), menuItem_(menuItem), settings_(settings) {
  // The program ends when the main window closes, whatever tool window is
  // still open.
  setAttribute(Qt::WA_QuitOnClose, false);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  ModalWatch::Instance().windows.insert(this);
  ApplyWindowFlags();
  if (mainWindow_) mainWindow_->installEventFilter(this);
}

TToolWindow::~TToolWindow() {
  // A window that never got its place (its creation stopped early) and was
  // never shown leaves the stored place as the user left it.
  if (placed_) WritePosition();
  ModalWatch::Instance().windows.remove(this);
}

Qt::WindowFlags TToolWindow::FlagsFor(bool onTop) {
  Qt::WindowFlags flags =
      Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  if (onTop) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

void TToolWindow::ApplyWindowFlags() {
  const Qt::WindowFlags flags = FlagsFor(staysOnTop_);
  if (!windowHandle()) {
    // Not on the desktop yet: nothing to make anew.
    setWindowFlags(flags);
    return;
  }
  // The window exists: the window manager changes its state in place.
  // (QWidget::setWindowFlags would make the window anew: it would lose the
  // frame position the window manager gave it and the state "above".)
  overrideWindowFlags(flags);
  ApplyLevel();
}

void TToolWindow::ApplyLevel() {
  QWindow* handle = windowHandle();
  if (!handle) return;
  Qt::WindowFlags flags = windowFlags();
  // While a modal dialog is up, the window waits in the ordinary level, so
  // the dialog is not hidden behind it.
  if (ModalDialogUp()) flags &= ~Qt::WindowStaysOnTopHint;
  if (handle->flags() != flags) handle->setFlags(flags);
}

void TToolWindow::ReadPosition(QPoint defaultPlace) {
  const QSize size = frameGeometry().size();
  defaultPlace = WhollyOnScreen(defaultPlace, size);
  SettingsStore store;
  const QPoint wanted(store.read(settings_.left, defaultPlace.x()),
                      store.read(settings_.top, defaultPlace.y()));
  move(ReachablePosition(wanted, size, defaultPlace));
  placed_ = true;
}

void TToolWindow::ReadStaysOnTop() {
  bool onTop = true;
  {
    SettingsStore store;
    onTop = store.read(settings_.staysOnTop);
  }
  SetStaysOnTop(onTop);
}

bool TToolWindow::ShowIfStored() {
  bool shown = false;
  {
    SettingsStore store;
    shown = store.read(settings_.shown);
  }
  if (shown) ShowWindow();
  return shown;
}

void TToolWindow::Toggle() {
  // Decided by the window, not by the check mark: a checkable menu item has
  // already flipped its mark when its handler runs.
  if (isVisible())
    HideWindow();
  else
    ShowWindow();
}

void TToolWindow::ShowWindow() {
  show();
  // Transient for the main window while on top: it follows the main window
  // (minimised with it) and never hides behind it.
  UpdateTransientParent();
  if (menuItem_) menuItem_->setChecked(true);
}

void TToolWindow::UpdateTransientParent() {
  if (!windowHandle()) return;
  QWindow* owner = staysOnTop_ && mainWindow_ ? mainWindow_->windowHandle() : nullptr;
  // The main window gets its own window when it is first shown (see
  // eventFilter); until then the tool window has no owner.
  if (owner || !staysOnTop_) windowHandle()->setTransientParent(owner);
}

bool TToolWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == mainWindow_ && event->type() == QEvent::Show) UpdateTransientParent();
  return QWidget::eventFilter(watched, event);
}

void TToolWindow::HideWindow() {
  hide();
  if (menuItem_) menuItem_->setChecked(false);
}

void TToolWindow::SetStaysOnTop(bool onTop) {
  if (onTop == staysOnTop_ && windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop) return;
  staysOnTop_ = onTop;
  // The window keeps its place, its frame and its shown state.
  ApplyWindowFlags();
  if (isVisible()) UpdateTransientParent();
}

void TToolWindow::WritePosition() const {
  SettingsStore store;
  store.write(settings_.left, x());
  store.write(settings_.top, y());
}

bool TToolWindow::Toggle(TToolWindow* window, QAction* menuItem) {
  if (window) {
    window->Toggle();
    return true;
  }
  if (menuItem) menuItem->setChecked(false);
  return false;
}

void TToolWindow::showEvent(QShowEvent* event) {
  // Shown, the window stands where the user sees it: that place is its own.
  placed_ = true;
  QWidget::showEvent(event);
}

void TToolWindow::FormClose() {
  if (menuItem_) menuItem_->setChecked(false);
}

void TToolWindow::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

}  // namespace ui
