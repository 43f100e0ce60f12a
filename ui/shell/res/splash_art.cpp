// Draws the splash picture res/splash.png (159 x 199, white ground): the
// hexagram Tai, "Peace" (three yang lines below, three yin lines above),
// the name of the program and the title of the book.
//
// Built on demand only:
//   cmake --build <dir> --target kalynth_splash_art
//   <dir>/bin/kalynth_splash_art ui/shell/res/splash.png
// The result is committed; the program never draws it at run time.
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPen>

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  if (argc < 2) return 2;

  const int width = 159, height = 199;
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);

  const QColor ink(0x8B, 0x1A, 0x1A);    // cinnabar
  const QColor frame(0xC8, 0xA0, 0x50);  // old gold
  p.setPen(QPen(frame, 1));
  p.drawRect(3, 3, width - 7, height - 7);
  p.drawRect(6, 6, width - 13, height - 13);

  // Six lines, bottom (line 1) to top (line 6): yang yang yang yin yin yin.
  const bool yang[6] = {true, true, true, false, false, false};
  const int lineWidth = 95, lineHeight = 10, gap = 7, gapYin = 15;
  const int left = (width - lineWidth) / 2;
  const int bottom = 112;
  for (int i = 0; i < 6; ++i) {
    const int top = bottom - (i + 1) * lineHeight - i * gap;
    if (yang[i]) {
      p.fillRect(left, top, lineWidth, lineHeight, ink);
    } else {
      const int half = (lineWidth - gapYin) / 2;
      p.fillRect(left, top, half, lineHeight, ink);
      p.fillRect(left + lineWidth - half, top, half, lineHeight, ink);
    }
  }

  p.setRenderHint(QPainter::TextAntialiasing, true);
  QFont name(QStringLiteral("DejaVu Serif"));
  name.setPixelSize(19);
  name.setBold(true);
  name.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
  p.setFont(name);
  p.setPen(QColor(0x20, 0x20, 0x20));
  p.drawText(QRect(0, 122, width, 28), Qt::AlignCenter, QStringLiteral("KALYNTH"));

  QFont book(QStringLiteral("Noto Serif CJK SC"));
  book.setPixelSize(22);
  p.setFont(book);
  p.setPen(ink);
  p.drawText(QRect(0, 152, width, 32), Qt::AlignCenter, QStringLiteral("易 經"));
  p.end();

  return image.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
