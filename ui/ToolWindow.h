// The rules every tool window of KALYNTH shares: the calendar window and
// the four picture windows ("Диаграмма «Стволы-ветви»", "Стволы-ветви",
// "Диаграмма Вень-вана", "Диаграмма «У-син»").
//
// Each such window is created once at start-up, after the main window, and
// lives until the program ends; closing it only hides it. Its shown state is
// mirrored by the check mark of its item in the main window's "Прочее" menu.
// It remembers its position in the settings store and may stay on top.
//
//   struct ui::ToolWindowSettings { left, top, shown, staysOnTop }
//       the window's four values of the settings store (ui/SettingsStore.h),
//       e.g. {settings::FormDiagLeft, settings::FormDiagTop,
//             settings::FormDiagShow, settings::SetDiagWinTop}
//
//   class ui::TToolWindow : public QWidget
//     TToolWindow(mainWindow, menuItem, settings)
//         A hidden tool window (small caption bar with a close box, white
//         background). mainWindow gives the default place of the calendar
//         and the window it stays above; menuItem is the checkable "Прочее"
//         item the window ticks while shown. It does not quit the program when it is
//         the last window open: the program ends with the main window.
//         Nothing is read from the store yet: the derived class's FormCreate
//         calls the steps below in its own order.
//     ~TToolWindow()
//         FormDestroy of every tool window: writes the current position to
//         settings.left / settings.top (a window moved while hidden keeps its
//         last position). A window that neither read its position
//         (ReadPosition) nor was ever shown writes nothing: a picture window
//         whose creation stopped at a missing bitmap leaves the stored place
//         alone. A derived class writes its own further values in
//         its own destructor. Destroy the tool windows before the main window
//         (at start-up they are declared after it).
//
//   Creation steps (call from FormCreate):
//     void ReadPosition(QPoint defaultPlace)
//         moves the window to the stored left/top (default: defaultPlace),
//         passed through ui::ReachablePosition: a stored position is kept
//         while the window's caption strip lies on a screen, otherwise the
//         window goes to defaultPlace. defaultPlace is first moved just far
//         enough for the whole window to lie on its screen's available area,
//         so a first start never leaves a window partly outside.
//         Call it once the window has its final size.
//     void ReadStaysOnTop()
//         reads settings.staysOnTop and applies it (SetStaysOnTop).
//     bool ShowIfStored()
//         reads settings.shown; when true shows the window and ticks the
//         item. Returns the value read.
//
//   Operations:
//     void Toggle()                   the menu handler: shown (ticked) ->
//                                     hide and untick; otherwise show and
//                                     tick. Decided by the window, since a
//                                     checkable QAction flips its own mark
//                                     before its triggered() handler runs
//     void ShowWindow() / HideWindow() show + tick / hide + untick
//     void SetStaysOnTop(bool)        on top: a tool window above every other
//                                     window (and transient for the main
//                                     window); off: an ordinary window that
//                                     others may cover. A window already on
//                                     the desktop is not made anew: its state
//                                     changes through the window manager, so
//                                     it keeps its frame position, its shown
//                                     state and (when on) "above".
//     static bool ModalDialogUp()     a modal dialog of the program is shown;
//                                     meanwhile every tool window waits in
//                                     the ordinary level (its own style is
//                                     kept and comes back when the last
//                                     modal dialog has closed), so no prompt
//                                     or file dialog hides behind it
//     void ApplyLevel()               the window's level from the two above
//     bool StaysOnTop() const
//     QAction* MenuItem() const
//     QWidget* MainWindow() const
//     void WritePosition() const      what the destructor writes
//     static bool Toggle(window, item) the main window's menu handlers:
//                                     toggles the window the start-up code
//                                     handed over for that item; without
//                                     one (null), unticks the item and
//                                     returns false
//
//   Closing by the close box (FormClose) hides the window and unticks the
//   item; the closeEvent is accepted (the window is hidden, not destroyed).
//   A derived class that needs its own FormClose overrides FormClose() and
//   calls TToolWindow::FormClose().
#pragma once

#include <QPoint>
#include <QPointer>
#include <QWidget>

#include "settings/SettingsStore.h"

class QAction;

namespace ui {

struct ToolWindowSettings {
  IntSetting left;
  IntSetting top;
  BoolSetting shown;
  BoolSetting staysOnTop;
};

class TToolWindow : public QWidget {
  Q_OBJECT

 public:
  TToolWindow(QWidget* mainWindow, QAction* menuItem, const ToolWindowSettings& settings);
  ~TToolWindow() override;

  // Creation steps.
  void ReadPosition(QPoint defaultPlace);
  void ReadStaysOnTop();
  bool ShowIfStored();

  // Operations.
  void Toggle();
  void ShowWindow();
  void HideWindow();
  void SetStaysOnTop(bool onTop);
  bool StaysOnTop() const { return staysOnTop_; }
  QAction* MenuItem() const { return menuItem_; }
  QWidget* MainWindow() const { return mainWindow_; }
  void WritePosition() const;

  static bool Toggle(TToolWindow* window, QAction* menuItem);
  // A modal dialog of the program is shown now.
  static bool ModalDialogUp();
  // The window's level on the desktop from its style and ModalDialogUp().
  void ApplyLevel();

 protected:
  virtual void FormClose();
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static Qt::WindowFlags FlagsFor(bool onTop);
  void ApplyWindowFlags();
  void UpdateTransientParent();

  QPointer<QWidget> mainWindow_;
  QPointer<QAction> menuItem_;
  ToolWindowSettings settings_;
  bool staysOnTop_ = true;
  bool placed_ = false;  // ReadPosition ran or the window was shown
};

}  // namespace ui
