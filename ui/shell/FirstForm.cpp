#include "ui/shell/FirstForm.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

// The picture lives in this static library's resources, which the linker
// keeps only when referenced.
static void InitShellResources() {
  Q_INIT_RESOURCE(shell);
}

namespace ui {

TFormFirst::TFormFirst()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  InitShellResources();
  picture_.load(QStringLiteral(":/shell/splash.png"));
  setObjectName(QStringLiteral("FormFirst"));
  // The splash never keeps the program alive on its own.
  setAttribute(Qt::WA_QuitOnClose, false);
  setFixedSize(kWidth, kHeight);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }

  Timer1.setObjectName(QStringLiteral("Timer1"));
  Timer1.setSingleShot(true);
  Timer1.setInterval(kTimerMs);
  connect(&Timer1, &QTimer::timeout, this, &TFormFirst::Timer1Timer);
  Timer1.start();

  // To see a dialog that start-up may show (a message about the file given
  // on the command line): it must not sit under the splash.
  qApp->installEventFilter(this);
}

TFormFirst::~TFormFirst() {
  if (qApp) qApp->removeEventFilter(this);
}

void TFormFirst::showAndPaint() {
  show();
  repaint();
  // Let the window system map and draw it now: nothing else runs an event
  // loop until the main window has been built. Input waits.
  QElapsedTimer waited;
  waited.start();
  const QWindow* window = windowHandle();
  do {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
  } while (window && !window->isExposed() && waited.elapsed() < 500);
  repaint();
}

void TFormFirst::setMainWindow(QWidget* window) {
  if (mainWindow_) disconnect(mainWindow_, &QObject::destroyed, this, &TFormFirst::closeForGood);
  mainWindow_ = window;
  if (window) connect(window, &QObject::destroyed, this, &TFormFirst::closeForGood);
}

void TFormFirst::Timer1Timer() {
  Timer1.stop();
  ticked_ = true;
  if (mainWindow_ && mainWindow_->isVisible()) {
    closeForGood();
  } else if (QApplication::activeModalWidget()) {
    // Start-up waits for an answer; the splash, always on top, must not
    // cover the question. It is not shown again.
    closeForGood();
  }
  // Otherwise eventFilter closes it when the main window shows.
}

bool TFormFirst::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::Show || gone_) return QWidget::eventFilter(watched, event);
  if (watched != mainWindow_ && watched != this && watched->isWidgetType()) {
    // A question of the program waits for the user: the splash, always on
    // top and centred like the question, steps aside for good.
    const auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() && widget->isModal()) closeForGood();
  } else if (watched == mainWindow_) {
    if (ticked_) {
      closeForGood();
    } else {
      // Stay above the main window that has just appeared, also where no
      // window manager keeps stay-on-top windows on top.
      QTimer::singleShot(0, this, [this] {
        if (isVisible()) raise();
      });
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TFormFirst::closeForGood() {
  Timer1.stop();
  ticked_ = false;
  if (qApp) qApp->removeEventFilter(this);
  if (gone_) return;
  gone_ = true;
  hide();
  emit closed();
}

void TFormFirst::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (!picture_.isNull()) painter.drawPixmap(0, 0, picture_);
}

}  // namespace ui
