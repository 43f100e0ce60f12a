// Draws the four reference diagrams shown by the picture windows into BMP
// files: diag1.bmp (the stems and branches round the compass, 288 x 309),
// diag2.bmp (the legend of the stems and branches, 302 x 381), diag3.bmp
// (King Wen's arrangement of the trigrams, 327 x 324) and diag4.bmp (the
// five phases and their two cycles, 200 x 194). The files are committed in
// bmp/; run this tool again only to change the pictures:
//
//   cmake --build <build> --target kalynth_make_diagrams
//   QT_QPA_PLATFORM=offscreen <build>/bin/kalynth_make_diagrams <repo>/bmp
//
// Every sign, name, phase, direction and hour comes from the program's own
// tables (calendar/signs.h, calendar/compass.h, core/hexagram.h), which the
// calendar and core tests check against the classical sources; this file
// holds only the artwork: colours, fonts and where things go. Chinese
// diagrams put south at the top, and so do these (east is then on the
// left). Fonts: DejaVu Sans and WenQuanYi Micro Hei.
#include <QDir>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "calendar/compass.h"
#include "calendar/signs.h"
#include "core/hexagram.h"

namespace {

using calendar::Direction;
using calendar::Phase;

const QColor Ink(30, 30, 30);
const QColor Rule(150, 150, 150);

struct PhaseColours {
  QColor fill;  // background of a field of that phase
  QColor ink;   // text and lines of that phase
};

// Wood green, fire red, earth yellow, metal white (grey here, to be seen
// on white), water dark (blue here, to be told from the black text).
PhaseColours ColoursOf(Phase phase) {
  switch (phase) {
    case Phase::Wood:
      return {QColor(205, 235, 195), QColor(30, 110, 30)};
    case Phase::Fire:
      return {QColor(255, 205, 200), QColor(190, 25, 25)};
    case Phase::Earth:
      return {QColor(250, 230, 160), QColor(140, 95, 0)};
    case Phase::Metal:
      return {QColor(225, 225, 230), QColor(90, 90, 100)};
    case Phase::Water:
      return {QColor(200, 220, 250), QColor(20, 60, 160)};
    default:
      return {Qt::white, Ink};
  }
}

QString Text(std::string_view s) {
  return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

QFont Latin(int pixels, bool bold = false) {
  QFont f(QStringLiteral("DejaVu Sans"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

QFont Chinese(int pixels) {
  QFont f(QStringLiteral("WenQuanYi Micro Hei"));
  f.setPixelSize(pixels);
  return f;
}

// Text centred on a point.
void Centred(QPainter& p, QPointF at, const QString& text, const QFont& font, const QColor& colour) {
  p.setFont(font);
  p.setPen(colour);
  const QFontMetricsF m(font);
  const double w = m.horizontalAdvance(text);
  p.drawText(QPointF(at.x() - w / 2, at.y() + (m.ascent() - m.descent()) / 2), text);
}

// Text with its left end at x, vertically centred on y.
void LeftAligned(QPainter& p, double x, double y, const QString& text, const QFont& font,
                 const QColor& colour) {
  p.setFont(font);
  p.setPen(colour);
  const QFontMetricsF m(font);
  p.drawText(QPointF(x, y + (m.ascent() - m.descent()) / 2), text);
}

// A point at a compass azimuth (degrees clockwise from north) and a radius,
// south at the top and east on the left.
QPointF Polar(QPointF centre, double azimuth, double radius) {
  const double a = azimuth * std::numbers::pi / 180.0;
  return {centre.x() - std::sin(a) * radius, centre.y() + std::cos(a) * radius};
}

// A ring sector between two radii, from azimuth a0 to a1 (clockwise).
QPainterPath Sector(QPointF c, double r0, double r1, double a0, double a1) {
  QPainterPath path;
  const int steps = 24;
  for (int i = 0; i <= steps; ++i) {
    const QPointF q = Polar(c, a0 + (a1 - a0) * i / steps, r1);
    i == 0 ? path.moveTo(q) : path.lineTo(q);
  }
  for (int i = steps; i >= 0; --i) path.lineTo(Polar(c, a0 + (a1 - a0) * i / steps, r0));
  path.closeSubpath();
  return path;
}

// Where to centre a block of the given size on the radius line at an
// azimuth so that all of it lies inside the ring r0..r1: the place nearest
// the ring's middle (the middle itself when the block is too large).
QPointF FitInRing(QPointF c, double azimuth, QSizeF size, double r0, double r1) {
  auto fits = [&](double r) {
    const QPointF at = Polar(c, azimuth, r);
    for (double dx : {-0.5, 0.5})
      for (double dy : {-0.5, 0.5}) {
        const QPointF corner = at + QPointF(dx * size.width(), dy * size.height()) - c;
        const double d = std::hypot(corner.x(), corner.y());
        if (d < r0 + 1 || d > r1 - 1) return false;
      }
    return true;
  };
  const double mid = (r0 + r1) / 2;
  for (double step = 0; step < (r1 - r0) / 2; step += 0.5) {
    if (fits(mid + step)) return Polar(c, azimuth, mid + step);
    if (fits(mid - step)) return Polar(c, azimuth, mid - step);
  }
  return Polar(c, azimuth, mid);
}

double Width(const QString& text, const QFont& font) {
  return QFontMetricsF(font).horizontalAdvance(text);
}

QImage Canvas(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(Qt::white);
  return image;
}

void Prepare(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
}

QString Hours(int branch) {
  return QStringLiteral("%1–%2").arg(calendar::BranchFirstHour(branch)).arg(calendar::BranchLastHour(branch));
}

// One row of phase swatches with their names, centred in a strip.
void PhaseLegend(QPainter& p, QRectF strip, int pixels) {
  const QFont font = Latin(pixels);
  const QFontMetricsF m(font);
  const double swatch = pixels + 1, gap = 4, spacing = 9;
  double total = 0;
  for (int i = 1; i <= 5; ++i)
    total += swatch + gap + m.horizontalAdvance(Text(calendar::PhaseName(Phase(i)))) + (i < 5 ? spacing : 0);
  double x = strip.center().x() - total / 2;
  const double y = strip.center().y();
  for (int i = 1; i <= 5; ++i) {
    const Phase phase = Phase(i);
    const PhaseColours c = ColoursOf(phase);
    p.setPen(QPen(c.ink, 1));
    p.setBrush(c.fill);
    p.drawRect(QRectF(x, y - swatch / 2, swatch, swatch));
    x += swatch + gap;
    const QString name = Text(calendar::PhaseName(phase));
    LeftAligned(p, x, y, name, font, c.ink);
    x += m.horizontalAdvance(name) + spacing;
  }
}

// The eight direction letters round a circle.
void DirectionLetters(QPainter& p, QPointF centre, double radius, int pixels) {
  for (int d = int(Direction::North); d <= int(Direction::NorthWest); ++d) {
    const Direction dir = Direction(d);
    Centred(p, Polar(centre, calendar::DirectionAzimuth(dir), radius),
            Text(calendar::DirectionShortName(dir)), Latin(pixels, true), Ink);
  }
}

// --- diag1: the stems and branches round the compass ------------------------

QImage StemsAndBranchesCompass() {
  QImage image = Canvas(288, 309);
  QPainter p(&image);
  Prepare(p);
  const QPointF c(144, 145);
  const double rOut = 132, rBranch = 100, rAnimal = 53, rStem = 23;

  // Branch ring: sign and reading on the colour of the branch's phase;
  // animal and double hour inside it.
  for (int b = 1; b <= 12; ++b) {
    const double a = calendar::BranchAzimuth(b);
    const PhaseColours col = ColoursOf(calendar::BranchPhase(b));
    p.setPen(QPen(Rule, 1));
    p.setBrush(col.fill);
    p.drawPath(Sector(c, rBranch, rOut, a - 15, a + 15));
    p.setBrush(Qt::white);
    p.drawPath(Sector(c, rAnimal, rBranch, a - 15, a + 15));
    const QString reading = Text(calendar::BranchReading(b));
    const QPointF mid =
        FitInRing(c, a, QSizeF(std::max(18.0, Width(reading, Latin(9, true))), 30), rBranch, rOut);
    Centred(p, mid + QPointF(0, -6), Text(calendar::BranchSign(b)), Chinese(18), col.ink);
    Centred(p, mid + QPointF(0, 10), reading, Latin(9, true), Ink);
    const QString animal = Text(calendar::BranchAnimal(b));
    const QPointF inner = FitInRing(
        c, a, QSizeF(std::max(Width(animal, Latin(9)), Width(Hours(b), Latin(9))), 22), rAnimal, rBranch);
    Centred(p, inner + QPointF(0, -6), animal, Latin(9), Ink);
    Centred(p, inner + QPointF(0, 6), Hours(b), Latin(9), QColor(90, 90, 90));
  }

  // Stem ring: each stem of the four outer phases where it stands on the
  // compass, the two earth stems in the centre.
  p.setPen(QPen(Rule, 1));
  p.setBrush(Qt::white);
  p.drawEllipse(c, rAnimal, rAnimal);
  for (int s = 1; s <= 10; ++s) {
    if (calendar::StemDirection(s) == Direction::Centre) continue;
    const double a = calendar::StemAzimuth(s);
    const PhaseColours col = ColoursOf(calendar::StemPhase(s));
    p.setPen(QPen(Rule, 1));
    p.setBrush(col.fill);
    p.drawPath(Sector(c, rStem, rAnimal, a - 15, a + 15));
  }
  for (int s = 1; s <= 10; ++s) {
    if (calendar::StemDirection(s) == Direction::Centre) continue;
    const double a = calendar::StemAzimuth(s);
    const PhaseColours col = ColoursOf(calendar::StemPhase(s));
    // The labels of a pair sit a little apart from the side's middle, so
    // that the two stacked labels on the east and west sides do not touch.
    const double middle = calendar::DirectionAzimuth(calendar::StemDirection(s));
    const double spread = std::remainder(a - middle, 360.0) * 4 / 3;
    const QPointF at = Polar(c, middle + spread, (rStem + rAnimal) / 2);
    Centred(p, at + QPointF(0, -5), Text(calendar::StemSign(s)), Chinese(14), col.ink);
    Centred(p, at + QPointF(0, 8), Text(calendar::StemReading(s)), Latin(9), Ink);
  }
  const PhaseColours earth = ColoursOf(Phase::Earth);
  p.setPen(QPen(Rule, 1));
  p.setBrush(earth.fill);
  p.drawEllipse(c, rStem, rStem);
  int column = -1;
  for (int s = 1; s <= 10; ++s) {
    if (calendar::StemDirection(s) != Direction::Centre) continue;
    const QPointF at = c + QPointF(column * 10, 0);
    Centred(p, at + QPointF(0, -5), Text(calendar::StemSign(s)), Chinese(14), earth.ink);
    Centred(p, at + QPointF(0, 8), Text(calendar::StemReading(s)), Latin(9), Ink);
    column = 1;
  }

  DirectionLetters(p, c, rOut + 8, 10);
  PhaseLegend(p, QRectF(0, 289, 288, 18), 10);
  return image;
}

// --- diag2: the legend of the stems and branches ----------------------------

QImage StemsAndBranchesLegend() {
  QImage image = Canvas(302, 381);
  QPainter p(&image);
  Prepare(p);
  // At least 10 pixels of white on every side of the table.
  const int row = 13, left = 10, right = 292;
  const QFont body = Latin(10), head = Latin(11, true), small = Latin(9);

  // Columns: number, sign, reading, (animal, double hour), phase, yin or
  // yang. The numbers are the calendar's (the branch number is also the
  // year number of the main window's date casting).
  const int xNumber = left + 12, xSign = left + 25, xReading = left + 39, xAnimal = 104, xHours = 164,
            xPhase = 204, xPolarity = 256;
  auto number = [&](double y, int n) {
    const QString text = QString::number(n);
    LeftAligned(p, xNumber - Width(text, small), y, text, small, QColor(90, 90, 90));
  };

  auto phaseCell = [&](double y, Phase phase) {
    const PhaseColours col = ColoursOf(phase);
    p.setPen(QPen(col.ink, 1));
    p.setBrush(col.fill);
    p.drawRect(QRectF(xPhase - 2, y - 5, 9, 9));
    LeftAligned(p, xPhase + 10, y, Text(calendar::PhaseName(phase)), small, col.ink);
  };
  auto signCell = [&](double y, std::string_view sign, Phase phase) {
    const PhaseColours col = ColoursOf(phase);
    p.setPen(Qt::NoPen);
    p.setBrush(col.fill);
    p.drawRect(QRectF(xSign - 10, y - row / 2.0, 20, row));
    Centred(p, QPointF(xSign, y), Text(sign), Chinese(12), col.ink);
  };
  auto headings = [&](double y, const QString& title, bool branches) {
    LeftAligned(p, left, y, title, head, Ink);
    const double y2 = y + row;
    LeftAligned(p, xReading, y2, QStringLiteral("Чтение"), small, QColor(90, 90, 90));
    if (branches) {
      LeftAligned(p, xAnimal, y2, QStringLiteral("Животное"), small, QColor(90, 90, 90));
      LeftAligned(p, xHours, y2, QStringLiteral("Часы"), small, QColor(90, 90, 90));
    }
    LeftAligned(p, xPhase, y2, QStringLiteral("Стихия"), small, QColor(90, 90, 90));
    LeftAligned(p, xPolarity, y2, QStringLiteral("Ян/инь"), small, QColor(90, 90, 90));
    p.setPen(QPen(Rule, 1));
    p.drawLine(QPointF(left, y2 + row / 2.0), QPointF(right, y2 + row / 2.0));
  };
  auto polarity = [&](double y, bool yang) {
    LeftAligned(p, xPolarity + 3, y, yang ? QStringLiteral("ян") : QStringLiteral("инь"), body, Ink);
  };

  double y = 17;
  headings(y, QStringLiteral("Десять небесных стволов 天干"), false);
  y += 2 * row + 2;
  for (int s = 1; s <= 10; ++s, y += row) {
    number(y, s);
    signCell(y, calendar::StemSign(s), calendar::StemPhase(s));
    LeftAligned(p, xReading, y, Text(calendar::StemReading(s)), body, Ink);
    phaseCell(y, calendar::StemPhase(s));
    polarity(y, calendar::StemIsYang(s));
  }
  y += 12;
  headings(y, QStringLiteral("Двенадцать земных ветвей 地支"), true);
  y += 2 * row + 2;
  for (int b = 1; b <= 12; ++b, y += row) {
    number(y, b);
    signCell(y, calendar::BranchSign(b), calendar::BranchPhase(b));
    LeftAligned(p, xReading, y, Text(calendar::BranchReading(b)), body, Ink);
    LeftAligned(p, xAnimal, y, Text(calendar::BranchAnimal(b)), body, Ink);
    LeftAligned(p, xHours, y, Hours(b), body, Ink);
    phaseCell(y, calendar::BranchPhase(b));
    polarity(y, calendar::BranchIsYang(b));
  }
  return image;
}

// --- diag3: King Wen's arrangement of the trigrams --------------------------

// A trigram upright, bottom line at the bottom: solid yang, broken yin.
void Trigram(QPainter& p, QPointF centre, int trigram, const QColor& colour) {
  const auto lines = core::TrigramLines(trigram);
  const double w = 30, h = 5, gap = 4, hole = 6;
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  for (int i = 0; i < 3; ++i) {
    const double top = centre.y() + (1 - i) * (h + gap) - h / 2;  // i = 0 bottom
    const double x = centre.x() - w / 2;
    if (lines[i]) {
      p.drawRect(QRectF(x, top, w, h));
    } else {
      p.drawRect(QRectF(x, top, (w - hole) / 2, h));
      p.drawRect(QRectF(x + (w + hole) / 2, top, (w - hole) / 2, h));
    }
  }
}

QImage KingWenArrangement() {
  QImage image = Canvas(327, 324);
  QPainter p(&image);
  Prepare(p);
  const QPointF c(163, 151);
  const double rOut = 134, rCentre = 20, rNumber = 30, rFigure = 55, rText = 102;

  for (int t = 1; t <= 8; ++t) {
    const double a = calendar::DirectionAzimuth(calendar::LaterHeavenDirection(t));
    // The field of the trigram, in its phase's colour.
    p.setPen(QPen(Rule, 1));
    p.setBrush(ColoursOf(calendar::TrigramPhase(t)).fill);
    p.drawPath(Sector(c, rCentre, rOut, a - 22.5, a + 22.5));
  }
  // The numbers of the nine-cell square: 5 in the centre, each trigram's
  // between it and its figure.
  p.setPen(QPen(Rule, 1));
  p.setBrush(ColoursOf(Phase::Earth).fill);
  p.drawEllipse(c, rCentre, rCentre);
  Centred(p, c, QStringLiteral("5"), Latin(13, true), ColoursOf(Phase::Earth).ink);
  for (int t = 1; t <= 8; ++t) {
    const double a = calendar::DirectionAzimuth(calendar::LaterHeavenDirection(t));
    const PhaseColours col = ColoursOf(calendar::TrigramPhase(t));
    Trigram(p, Polar(c, a, rFigure), t, Ink);
    Centred(p, Polar(c, a, rNumber), QString::number(calendar::LoShuNumber(t)), Latin(10, true), col.ink);
    // Sign, reading, image and (in its colour) phase.
    const QPointF at = Polar(c, a, rText);
    Centred(p, at + QPointF(0, -20), Text(calendar::TrigramSign(t)), Chinese(17), col.ink);
    Centred(p, at + QPointF(0, -3), Text(calendar::TrigramReading(t)), Latin(10, true), Ink);
    Centred(p, at + QPointF(0, 9), Text(calendar::TrigramImage(t)), Latin(10), Ink);
    Centred(p, at + QPointF(0, 21), Text(calendar::PhaseName(calendar::TrigramPhase(t))), Latin(9), col.ink);
  }
  DirectionLetters(p, c, rOut + 9, 11);
  PhaseLegend(p, QRectF(0, 305, 327, 16), 10);
  return image;
}

// --- diag4: the five phases and their two cycles ---------------------------

// An arrow from a to b, stopping `inset` short of each end.
void Arrow(QPainter& p, QPointF a, QPointF b, double inset, const QPen& pen) {
  const QPointF d = b - a;
  const double len = std::hypot(d.x(), d.y());
  const QPointF u = d / len;
  const QPointF from = a + u * inset, to = b - u * inset;
  p.setPen(pen);
  p.drawLine(from, to - u * 4);
  const QPointF n(-u.y(), u.x());
  QPolygonF head;
  head << to << to - u * 8 + n * 3.5 << to - u * 8 - n * 3.5;
  p.setPen(Qt::NoPen);
  p.setBrush(pen.color());
  p.drawPolygon(head);
}

QImage FivePhases() {
  QImage image = Canvas(200, 194);
  QPainter p(&image);
  Prepare(p);
  // The sign in its circle, the name outside it in type of the legend's
  // size: above the three upper circles, below the two lower ones, where
  // no arrow runs.
  const QPointF c(100, 88);
  const double r = 52, node = 18, labelGap = 9;
  const QFont name = Latin(12);
  // Fire at the top (south), then round clockwise in generating order.
  auto turn = [](Phase phase) { return (int(phase) - int(Phase::Fire) + 5) % 5; };
  auto where = [&](Phase phase) {
    const double a = turn(phase) * 72.0 * std::numbers::pi / 180.0;
    return QPointF(c.x() + std::sin(a) * r, c.y() - std::cos(a) * r);
  };
  for (int i = 1; i <= 5; ++i) {
    const Phase from = Phase(i);
    Arrow(p, where(from), where(calendar::Generates(from)), node + 3, QPen(QColor(40, 40, 40), 1.6));
  }
  QPen dashed(QColor(200, 40, 40), 1.3, Qt::DashLine);
  for (int i = 1; i <= 5; ++i) {
    const Phase from = Phase(i);
    Arrow(p, where(from), where(calendar::Overcomes(from)), node + 3, dashed);
  }
  for (int i = 1; i <= 5; ++i) {
    const Phase phase = Phase(i);
    const PhaseColours col = ColoursOf(phase);
    const QPointF at = where(phase);
    p.setPen(QPen(col.ink, 1.5));
    p.setBrush(col.fill);
    p.drawEllipse(at, node, node);
    Centred(p, at, Text(calendar::PhaseSign(phase)), Chinese(18), col.ink);
    const bool lower = turn(phase) == 2 || turn(phase) == 3;
    const double offset = node + labelGap;
    Centred(p, at + QPointF(0, lower ? offset : -offset), Text(calendar::PhaseName(phase)), name, col.ink);
  }
  // Legend.
  const double y1 = 170, y2 = 184;
  Arrow(p, QPointF(10, y1), QPointF(40, y1), 0, QPen(QColor(40, 40, 40), 1.6));
  LeftAligned(p, 46, y1, QStringLiteral("порождение 相生"), Latin(11), Ink);
  Arrow(p, QPointF(10, y2), QPointF(40, y2), 0, dashed);
  LeftAligned(p, 46, y2, QStringLiteral("преодоление 相克"), Latin(11), Ink);
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
  QDir().mkpath(dir);
  const QImage pictures[4] = {StemsAndBranchesCompass(), StemsAndBranchesLegend(), KingWenArrangement(),
                              FivePhases()};
  bool ok = true;
  for (int i = 0; i < 4; ++i)
    ok = pictures[i].save(QStringLiteral("%1/diag%2.bmp").arg(dir).arg(i + 1), "BMP") && ok;
  if (!ok) std::fprintf(stderr, "cannot write the pictures into %s\n", qPrintable(dir));
  return ok ? 0 : 1;
}
