#include "ui/Placement.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <algorithm>
#include <cstdint>

namespace ui {
namespace {

constexpr std::int64_t GripWidth = 40;
constexpr std::int64_t GripHeight = 20;

// True when the caption strip of a window at (x, y) of the given size lies
// on screen area r.
bool GripOn(std::int64_t x, std::int64_t y, QSize size, const QRect& r) {
  const std::int64_t w = std::min<std::int64_t>(GripWidth, std::max(1, size.width()));
  const std::int64_t h = std::min<std::int64_t>(GripHeight, std::max(1, size.height()));
  const std::int64_t left = std::max<std::int64_t>(x, r.left());
  const std::int64_t right = std::min<std::int64_t>(x + size.width(), std::int64_t(r.left()) + r.width());
  const std::int64_t top = std::max<std::int64_t>(y, r.top());
  const std::int64_t bottom = std::min<std::int64_t>(y + h, std::int64_t(r.top()) + r.height());
  return right - left >= w && bottom - top >= h;
}

QRect PrimaryArea() {
  const QScreen* primary = QGuiApplication::primaryScreen();
  return primary ? primary->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

QPoint ReachablePosition(QPoint wanted, QSize size, QPoint fallback) {
  for (const QScreen* screen : QGuiApplication::screens())
    if (GripOn(wanted.x(), wanted.y(), size, screen->geometry())) return wanted;
  for (const QScreen* screen : QGuiApplication::screens())
    if (GripOn(fallback.x(), fallback.y(), size, screen->geometry())) return fallback;
  // Even the default place is off every screen (a tiny screen, a main window
  // at its left edge): keep it as close as the primary screen allows.
  const QRect area = PrimaryArea();
  const std::int64_t maxX = std::int64_t(area.left()) + std::max(0, area.width() - size.width());
  const std::int64_t maxY = std::int64_t(area.top()) + std::max(0, area.height() - size.height());
  const std::int64_t x = std::clamp<std::int64_t>(fallback.x(), area.left(), maxX);
  const std::int64_t y = std::clamp<std::int64_t>(fallback.y(), area.top(), maxY);
  return QPoint(int(x), int(y));
}

QPoint BesideEachOther(const QList<QSize>& sizes, int index, const QRect& area) {
  int x = area.left();
  int y = area.top();
  int rowHeight = 0;
  for (int i = 0; i < sizes.size() && i <= index; ++i) {
    const QSize size = sizes[i];
    // The next one does not fit beside the row: a new row below it.
    if (x > area.left() && x + size.width() > area.left() + area.width()) {
      x = area.left();
      y += rowHeight + Gap;
      rowHeight = 0;
    }
    if (i == index) return QPoint(x, y);
    x += size.width() + Gap;
    rowHeight = std::max(rowHeight, size.height());
  }
  return area.topLeft();
}

int ReachableHeight(int height, int minimum) {
  const int tallest = std::max(minimum, PrimaryArea().height());
  return std::clamp(height, minimum, tallest);
}

int ReachableWidth(int width, int minimum) {
  const int widest = std::max(minimum, PrimaryArea().width());
  return std::clamp(width, minimum, widest);
}

}  // namespace ui
