// Draws the program's icon: the PNG files of the hicolor sizes and the
// scalable SVG, from one description. The files are committed beside this
// tool (packaging/icon/); the program carries the PNGs as its window icon and
// the installed tree puts all of them in the hicolor icon theme. Run this
// tool again only to change the artwork:
//
//   cmake --build <build> --target kalynth_make_app_icon
//   <build>/bin/kalynth_make_app_icon <repo>/packaging/icon
//
// The picture is the tool-bar's hexagram (the "get the hexagram" button,
// ui/art/make_icons.cpp) on a sheet of paper framed in the colour of the
// yarrow stalks, with its third line, the changing one, in the tool bar's
// red. Every size is laid out on whole pixels, so that the lines stay crisp
// down to 16 x 16; the SVG is the 256 x 256 layout.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <vector>

namespace {

// The tool-bar palette.
const QColor Ink(40, 40, 40);
const QColor Stalk(154, 118, 58);
const QColor Paper(255, 251, 240);
const QColor Red(200, 30, 30);

// Lines from the bottom: yang (solid) or yin (broken); the third changes.
const bool Yang[6] = {true, false, true, true, false, false};
const int ChangingLine = 3;

// Line height and gap per icon size, chosen by eye for whole pixels.
struct Size {
  int size, line, gap;
};
const Size Sizes[] = {{16, 1, 1}, {22, 2, 1}, {24, 2, 1},   {32, 2, 2},
                      {48, 4, 2}, {64, 5, 3}, {128, 10, 6}, {256, 20, 12}};

struct Layout {
  QRectF sheet;  // the paper, inside its frame
  double frame = 1, radius = 2;
  std::vector<std::pair<QRect, QColor>> bars;
};

Layout Lay(const Size& s) {
  Layout out;
  const int n = s.size;
  const double inset = n / 16.0;
  out.frame = std::max(1, n / 32);
  out.radius = n * 0.11;
  // The frame is stroked on the sheet's edge: half of it falls outside.
  out.sheet = QRectF(inset + out.frame / 2, inset + out.frame / 2, n - 2 * inset - out.frame,
                     n - 2 * inset - out.frame);
  int width = int(n * 0.58 + 0.5);
  width += width % 2;
  const int split = std::max(2, width / 5 + (width / 5) % 2);  // gap of a yin line, even
  const int half = (width - split) / 2;
  const int height = 6 * s.line + 5 * s.gap;
  const int left = (n - width) / 2;
  const int bottom = (n + height) / 2;  // one past the lowest pixel row
  for (int i = 0; i < 6; ++i) {
    const int top = bottom - (i + 1) * s.line - i * s.gap;
    const QColor colour = i + 1 == ChangingLine ? Red : Ink;
    if (Yang[i]) {
      out.bars.push_back({QRect(left, top, width, s.line), colour});
    } else {
      out.bars.push_back({QRect(left, top, half, s.line), colour});
      out.bars.push_back({QRect(left + width - half, top, half, s.line), colour});
    }
  }
  return out;
}

QImage Render(const Size& s) {
  const Layout l = Lay(s);
  QImage image(s.size, s.size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(Stalk, l.frame));
  p.setBrush(Paper);
  p.drawRoundedRect(l.sheet, l.radius, l.radius);
  p.setRenderHint(QPainter::Antialiasing, false);
  for (const auto& [rect, colour] : l.bars) p.fillRect(rect, colour);
  return image;
}

QString Svg(const Size& s) {
  const Layout l = Lay(s);
  QString out =
      QStringLiteral(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" viewBox=\"0 0 %1 %1\">\n")
          .arg(s.size);
  out += QStringLiteral(
             "  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"%5\" fill=\"%6\" stroke=\"%7\" "
             "stroke-width=\"%8\"/>\n")
             .arg(l.sheet.x())
             .arg(l.sheet.y())
             .arg(l.sheet.width())
             .arg(l.sheet.height())
             .arg(l.radius)
             .arg(Paper.name(), Stalk.name())
             .arg(l.frame);
  for (const auto& [rect, colour] : l.bars)
    out += QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
               .arg(rect.x())
               .arg(rect.y())
               .arg(rect.width())
               .arg(rect.height())
               .arg(colour.name());
  out += QStringLiteral("</svg>\n");
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  // Drawing only: no display needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  bool ok = true;
  for (const Size& s : Sizes)
    ok = Render(s).save(QStringLiteral("%1/kalynth-%2.png").arg(dir).arg(s.size)) && ok;
  QFile svg(dir + QStringLiteral("/kalynth.svg"));
  ok = svg.open(QIODevice::WriteOnly) && svg.write(Svg(Sizes[std::size(Sizes) - 1]).toUtf8()) >= 0 && ok;
  if (!ok) std::fprintf(stderr, "cannot write the icon into %s\n", qPrintable(dir));
  return ok ? 0 : 1;
}
