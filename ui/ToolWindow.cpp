#include "ui/ToolWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHash>
#include <QPalette>
#include <QScreen>
#include <QWindow>
#include <algorithm>

#include "ui/Placement.h"

namespace ui {
namespace {

// The window registered for each "Прочее" item (ToggleFor).
QHash<const QAction*, TToolWindow*>& Registry() {
  static QHash<const QAction*, TToolWindow*> registry;
  return registry;
}

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

}  // namespace

TToolWindow::TToolWindow(QWidget* mainWindow, QAction* menuItem, const ToolWindowSettings& settings)
    : QWidget(nullptr), mainWindow_(mainWindow), menuItem_(menuItem), settings_(settings) {
  // The program ends when the main window closes, whatever tool window is
  // still open.
  setAttribute(Qt::WA_QuitOnClose, false);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
  ApplyWindowFlags();
  if (menuItem_) Registry().insert(menuItem_, this);
  if (mainWindow_) mainWindow_->installEventFilter(this);
}

TToolWindow::~TToolWindow() {
  // A window that never got its place (its creation stopped early) and was
  // never shown leaves the stored place as the user left it.
  if (placed_) WritePosition();
  if (menuItem_ && Registry().value(menuItem_) == this) Registry().remove(menuItem_);
}

void TToolWindow::ApplyWindowFlags() {
  Qt::WindowFlags flags =
      Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
  if (staysOnTop_) flags |= Qt::WindowStaysOnTopHint;
  setWindowFlags(flags);
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
  const bool visible = isVisible();
  const QPoint place = pos();
  staysOnTop_ = onTop;
  // New window flags hide the window and, under X11, make it anew: put it
  // back where it was and show it again when it was shown.
  ApplyWindowFlags();
  move(place);
  if (visible) ShowWindow();
}

void TToolWindow::WritePosition() const {
  SettingsStore store;
  store.write(settings_.left, x());
  store.write(settings_.top, y());
}

bool TToolWindow::ToggleFor(QAction* menuItem) {
  if (TToolWindow* window = Registry().value(menuItem)) {
    window->Toggle();
    return true;
  }
  if (menuItem) menuItem->setChecked(false);
  return false;
}

TToolWindow* TToolWindow::WindowFor(const QAction* menuItem) {
  return Registry().value(menuItem);
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
