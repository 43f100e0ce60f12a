// TFormFirst: the splash window of KALYNTH.
//
// Borderless, white, above every other window, centred on the screen; its
// whole client area, 159 x 199 pixels, is one picture. It is shown and
// painted before any other window is created, and its one-shot timer
// Timer1 (3000 ms) starts with it.
//
// When Timer1 fires the timer stops and, if the main window is visible, the
// splash closes for good. If the main window is not visible yet, the splash
// closes the moment the main window shows, so it never stays behind on its
// own. It steps aside at once, timer or not, when start-up shows a dialog
// (a message about the file given on the command line): always on top and
// centred, it would cover the question. It also goes when the main window
// is destroyed. It keeps itself above the main window appearing under it.
//
// API
//   class ui::TFormFirst : QWidget
//     TFormFirst()                 creates the window and starts Timer1
//     void showAndPaint()          shows it and paints it now
//     void setMainWindow(QWidget*) the window whose visibility ends the splash
//     QTimer Timer1                the 3000 ms tick (exposed for tests)
//     void Timer1Timer()           the tick's handler
//     signal closed()              the splash has gone for good
#pragma once

#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace ui {

class TFormFirst : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kWidth = 159;
  static constexpr int kHeight = 199;
  static constexpr int kTimerMs = 3000;

  TFormFirst();
  ~TFormFirst() override;

  void showAndPaint();
  void setMainWindow(QWidget* window);

  QTimer Timer1;

 public slots:
  void Timer1Timer();

 signals:
  // The splash has gone for good.
  void closed();

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void closeForGood();

  QPixmap picture_;
  QPointer<QWidget> mainWindow_;
  bool ticked_ = false;
  bool gone_ = false;
};

}  // namespace ui
