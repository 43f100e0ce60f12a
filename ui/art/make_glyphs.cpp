// Draws the calendar window's 22 sign pictures into PNG files: the ten
// stems 甲 .. 癸 (stem1.png .. stem10.png) and the twelve branches 子 .. 亥
// (branch1.png .. branch12.png), 20 x 19 pixels, and the same at twice the
// size for scaled displays (stem1@2x.png ..., 40 x 38). The signs come from
// calendar/signs.h and are drawn with the WenQuanYi Micro Hei font that the
// set-up installs (fonts-wqy-microhei). The files are committed in
// ui/glyphs/ and compiled into the program's resources, so the window never
// needs a CJK font at run time; run this tool again only to change the
// artwork:
//
//   cmake --build <build> --target kalynth_make_glyphs
//   QT_QPA_PLATFORM=offscreen <build>/bin/kalynth_make_glyphs <repo>/ui/glyphs
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <string_view>

#include "calendar/signs.h"

namespace {

const QString FontFile = QStringLiteral("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc");
const QColor Ink(0, 0, 0);
constexpr int Width = 20;
constexpr int Height = 19;

// One sign, black on transparent, centred; scale 1 or 2.
QImage Glyph(const QString& family, std::string_view sign, int scale) {
  QImage image(Width * scale, Height * scale, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  QFont font(family);
  font.setPixelSize(18 * scale);
  font.setHintingPreference(QFont::PreferFullHinting);
  p.setFont(font);
  p.setPen(Ink);
  p.drawText(QRect(0, 0, Width * scale, Height * scale), Qt::AlignCenter,
             QString::fromUtf8(sign.data(), qsizetype(sign.size())));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  const int id = QFontDatabase::addApplicationFont(FontFile);
  const QStringList families = QFontDatabase::applicationFontFamilies(id);
  if (families.isEmpty()) {
    std::fprintf(stderr, "cannot load %s\n", qPrintable(FontFile));
    return 1;
  }
  const QString family = families.first();
  bool ok = true;
  for (int scale : {1, 2}) {
    const QString suffix = scale == 1 ? QString() : QStringLiteral("@2x");
    for (int s = 1; s <= 10; ++s)
      ok = Glyph(family, calendar::StemSign(s), scale)
               .save(QStringLiteral("%1/stem%2%3.png").arg(dir).arg(s).arg(suffix)) &&
           ok;
    for (int b = 1; b <= 12; ++b)
      ok = Glyph(family, calendar::BranchSign(b), scale)
               .save(QStringLiteral("%1/branch%2%3.png").arg(dir).arg(b).arg(suffix)) &&
           ok;
  }
  if (!ok) std::fprintf(stderr, "cannot write the pictures into %s\n", qPrintable(dir));
  return ok ? 0 : 1;
}
