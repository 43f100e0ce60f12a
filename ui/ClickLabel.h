// A label that reports a left click: the figure numbers and the linked web
// site of the main window.
#pragma once

#include <QLabel>
#include <QMouseEvent>

class TClickLabel : public QLabel {
  Q_OBJECT
 public:
  using QLabel::QLabel;

 signals:
  void clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) emit clicked();
    QLabel::mouseReleaseEvent(event);
  }
};
