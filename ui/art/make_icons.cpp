// Draws the main window's pictures into PNG files: the seven tool-bar
// images (tool0.png .. tool6.png, 16 x 16) and the twelve double-hour
// images (chas0.png .. chas11.png, 16 x 16). The files are committed in
// ui/icons/ and compiled into the program's resources; run this tool again
// only to change the artwork:
//
//   cmake --build <build> --target kalynth_make_icons
//   <build>/bin/kalynth_make_icons <repo>/ui/icons
//
// Tool-bar images by index: 0 yarrow casting (a bundle of stalks),
// 1 division (the bundle parted in two heaps), 2 new sheet, 3 get the
// hexagram from the date (a hexagram with a small clock), 4 open, 5 save,
// 6 comments. Double hours: a clock face with the two hours lit (below).
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <functional>

#include "calendar/double_hours.h"

namespace {

const QColor Ink(40, 40, 40);
const QColor Stalk(154, 118, 58);
const QColor StalkDark(104, 74, 30);
const QColor Paper(255, 255, 255);
const QColor Folder(232, 184, 64);
const QColor FolderDark(176, 128, 24);
const QColor Disk(52, 92, 160);
const QColor Red(200, 30, 30);

QImage Draw(const std::function<void(QPainter&)>& paint) {
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  paint(p);
  return image;
}

// Stalks are one-pixel lines on whole pixels, so they stay crisp at 16 px.
void Stalks(QPainter& p, const int* xs, int count, int dx) {
  p.setRenderHint(QPainter::Antialiasing, false);
  for (int i = 0; i < count; ++i) {
    p.setPen(QPen(i % 2 ? StalkDark : Stalk, 1));
    p.drawLine(QPoint(xs[i] + dx, 1), QPoint(xs[i] - dx, 14));
  }
  p.setRenderHint(QPainter::Antialiasing, true);
}

QImage Yarrow() {
  return Draw([](QPainter& p) {
    const int xs[5] = {4, 6, 8, 10, 12};
    Stalks(p, xs, 5, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(Red);
    p.drawRect(QRect(3, 7, 11, 2));  // the band holding the bundle
  });
}

QImage Divide() {
  return Draw([](QPainter& p) {
    const int left[3] = {2, 4, 6};
    const int right[3] = {10, 12, 14};
    Stalks(p, left, 3, 0);
    Stalks(p, right, 3, 0);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(Red, 1));
    p.drawLine(QPoint(8, 3), QPoint(8, 12));  // where the hand parts them
  });
}

QImage NewSheet() {
  return Draw([](QPainter& p) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10, 1.5);
    page.lineTo(13.5, 5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(Paper);
    p.drawPath(page);
    p.drawPolyline(QPolygonF({QPointF(10, 1.5), QPointF(10, 5), QPointF(13.5, 5)}));
  });
}

QImage GetGua() {
  return Draw([](QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing, false);
    const bool yang[6] = {true, false, true, true, false, false};  // bottom to top
    for (int n = 0; n < 6; ++n) {
      const int y = 14 - 2 * n;
      if (yang[n]) {
        p.fillRect(QRect(0, y, 9, 1), Ink);
      } else {
        p.fillRect(QRect(0, y, 4, 1), Ink);
        p.fillRect(QRect(5, y, 4, 1), Ink);
      }
    }
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(Disk, 1));
    p.setBrush(Paper);
    p.drawEllipse(QPointF(12, 4), 3.5, 3.5);
    p.setPen(QPen(Disk, 1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 4), QPointF(12, 1.8));
    p.drawLine(QPointF(12, 4), QPointF(13.8, 4.8));
  });
}

QImage Open() {
  return Draw([](QPainter& p) {
    p.setPen(QPen(FolderDark, 1));
    p.setBrush(FolderDark);
    QPainterPath back;
    back.moveTo(1.5, 3.5);
    back.lineTo(6, 3.5);
    back.lineTo(7.5, 5);
    back.lineTo(13.5, 5);
    back.lineTo(13.5, 13.5);
    back.lineTo(1.5, 13.5);
    back.closeSubpath();
    p.drawPath(back);
    QPainterPath front;
    front.moveTo(1.5, 13.5);
    front.lineTo(4, 7.5);
    front.lineTo(15.5, 7.5);
    front.lineTo(13.5, 13.5);
    front.closeSubpath();
    p.setBrush(Folder);
    p.drawPath(front);
  });
}

QImage Save() {
  return Draw([](QPainter& p) {
    p.setPen(QPen(Disk.darker(140), 1));
    p.setBrush(Disk);
    QPainterPath body;
    body.moveTo(1.5, 1.5);
    body.lineTo(12.5, 1.5);
    body.lineTo(14.5, 3.5);
    body.lineTo(14.5, 14.5);
    body.lineTo(1.5, 14.5);
    body.closeSubpath();
    p.drawPath(body);
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    p.drawRect(QRectF(4, 2, 8, 5));  // label
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 9.5, 7, 5));  // shutter
    p.setBrush(Disk.darker(140));
    p.drawRect(QRectF(9, 10.5, 1.6, 3));
  });
}

QImage Comments() {
  return Draw([](QPainter& p) {
    p.setPen(QPen(Ink, 1));
    p.setBrush(QColor(255, 251, 240));
    QPainterPath balloon;
    balloon.addRoundedRect(QRectF(1.5, 1.5, 13, 9.5), 2, 2);
    p.drawPath(balloon);
    QPainterPath tail;
    tail.moveTo(4.5, 11);
    tail.lineTo(3.5, 14.5);
    tail.lineTo(8, 11);
    p.drawPath(tail);
    p.setPen(QPen(Ink, 1));
    for (double y : {4.5, 6.5, 8.5}) p.drawLine(QPointF(4, y), QPointF(12, y));
  });
}

QImage DoubleHour(int index) {
  // A twelve-hour clock face with the double hour's two hours lit: Zi
  // (23-1) from 11 to 1 o'clock, Chou (1-3) from 1 to 3 ... The colour tells
  // night (Xu, Hai, Zi, Chou, Yin: dark blue), twilight (Mao, You: violet)
  // and day (amber) apart, so the two halves of the dial never mix up.
  QColor fill(230, 150, 20);
  if (index <= 2 || index >= 10) fill = QColor(40, 60, 150);
  if (index == 3 || index == 9) fill = QColor(150, 70, 160);
  const int firstHour = calendar::DoubleHourFirstHour(index) % 12;
  return Draw([firstHour, fill](QPainter& p) {
    const QRectF dial(0.5, 0.5, 15, 15);
    p.setPen(Qt::NoPen);
    p.setBrush(Paper);
    p.drawEllipse(dial);
    // Qt angles: 0 at three o'clock, counter-clockwise, in 1/16 degree.
    const double clockwiseFromTop = firstHour * 30.0;
    const double qtStart = 90.0 - clockwiseFromTop - 60.0;
    p.setBrush(fill);
    p.drawPie(dial, int(qtStart * 16), 60 * 16);
    p.setPen(QPen(Ink, 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(dial.adjusted(0.5, 0.5, -0.5, -0.5));
  });
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing only: no display needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  const QImage tools[7] = {Yarrow(), Divide(), NewSheet(), GetGua(), Open(), Save(), Comments()};
  bool ok = true;
  for (int i = 0; i < 7; ++i) ok = tools[i].save(QStringLiteral("%1/tool%2.png").arg(dir).arg(i)) && ok;
  for (int i = 0; i < 12; ++i) ok = DoubleHour(i).save(QStringLiteral("%1/chas%2.png").arg(dir).arg(i)) && ok;
  if (!ok) std::fprintf(stderr, "cannot write the pictures into %s\n", qPrintable(dir));
  return ok ? 0 : 1;
}
