#include "ui/GuaBig.h"

#include <QKeyEvent>
#include <QPainter>
#include <algorithm>

TGuaBig::TGuaBig(QWidget* parent) : QWidget(parent) {
  setFixedSize(FigureWidth, FigureHeight);
  setFocusPolicy(Qt::NoFocus);
  // A figure paints on its parent's surface and handles no mouse input.
  setAttribute(Qt::WA_TransparentForMouseEvents);
  setAttribute(Qt::WA_NoSystemBackground);
  setAutoFillBackground(false);
  penColor_ = guaColor_;
  for (int n = 1; n <= 6; ++n) setLine(n, true);
}

bool TGuaBig::line(int n) const {
  return n >= 1 && n <= 6 ? lines_[n - 1] : true;
}

void TGuaBig::setLine(int n, bool yang) {
  if (n < 1 || n > 6) return;
  lines_[n - 1] = yang;
  CalcNoGua();
  update();
}

void TGuaBig::setLines(const core::Figure& lines) {
  for (int n = 1; n <= 6; ++n) setLine(n, lines[n - 1]);
}

void TGuaBig::setGuaColor(const QColor& c) {
  guaColor_ = c;
  update();
}

void TGuaBig::setJaoColor(const QColor& c) {
  jaoColor_ = c;
  update();
}

void TGuaBig::setPenColor(const QColor& c) {
  penColor_ = c;
  update();
}

void TGuaBig::setJaoNo(int n) {
  jaoNo_ = n > 6 ? 0 : n;
  update();
}

void TGuaBig::setNoGua(int n) {
  noGua_ = n;
  update();
}

void TGuaBig::CalcNoGua() {
  noGua_ = core::CalcNoGua(lines_);
}

void TGuaBig::UpdateGua() {
  CalcNoGua();
  update();
}

void TGuaBig::setChangingLines(const std::vector<int>& lines) {
  if (changing_ == lines) return;
  changing_ = lines;
  update();
}

void TGuaBig::setMarksShown(bool shown) {
  marksShown_ = shown;
  update();
}

void TGuaBig::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    emit activated();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TGuaBig::focusInEvent(QFocusEvent* event) {
  update();
  QWidget::focusInEvent(event);
}

void TGuaBig::focusOutEvent(QFocusEvent* event) {
  update();
  QWidget::focusOutEvent(event);
}

void TGuaBig::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, false);
  // One bar: the whole rectangle in the outline colour, the inside (one
  // pixel in from every edge) in the fill colour. Right and bottom edges
  // are exclusive, as in the bands of the class comment.
  auto bar = [&p, this](int x0, int x1, int y0, const QColor& outline) {
    const int h = 8;
    p.fillRect(QRect(x0, y0, x1 - x0, h), outline);
    p.fillRect(QRect(x0 + 1, y0 + 1, x1 - x0 - 2, h - 2), guaColor_);
  };
  for (int n = 1; n <= 6; ++n) {
    const QColor outline = jaoNo_ == n ? jaoColor_ : penColor_;
    const int y = BandTop(n);
    if (lines_[n - 1]) {
      bar(0, 50, y, outline);
    } else {
      bar(0, 20, y, outline);
      bar(30, 50, y, outline);
    }
  }
  if (marksShown_) {
    const QColor mark =
        parentWidget() ? parentWidget()->palette().color(QPalette::Window) : QColor(Qt::white);
    for (int n = 1; n <= 6; ++n) {
      if (n != jaoNo_ && std::find(changing_.begin(), changing_.end(), n) == changing_.end()) continue;
      const int y = BandTop(n);
      if (lines_[n - 1]) {
        p.setPen(QPen(mark, 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRect(21, y + 1, 7, 5));
      } else {
        p.setPen(QPen(guaColor_, 1));
        p.drawLine(22, y, 27, y + 7);
        p.drawLine(27, y, 22, y + 7);
      }
    }
  }
  if (hasFocus()) {
    QPen pen(palette().color(QPalette::Highlight), 2, Qt::DashLine);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(1, 1, -1, -1));
  }
}
