// Where a window may be put on the user's screens.
//
// Positions come from the settings store, where anything may stand: a
// monitor that has since been unplugged, a value typed by hand, -5000 or
// 2147483647. A window placed there cannot be reached with the mouse, so
// every window that reads a stored position passes it through here.
//
//   QPoint ui::ReachablePosition(wanted, size, fallback)
//       wanted    the stored outer top-left corner
//       size      the window's outer size
//       fallback  where the window goes when wanted is unreachable (its
//                 default place); it is itself pulled onto the primary
//                 screen's available area when needed
//     A position is kept as it stands while a strip of the window's top edge
//     (where the caption bar is, 40 pixels wide and 20 high, or the whole
//     window when smaller) lies on one of the screens, so a window on a
//     second monitor that exists stays there. The arithmetic is done in 64
//     bits: no stored value can overflow it.
//   int ui::ReachableHeight(height, minimum)
//       a height no taller than the primary screen's available height (and
//       no less than minimum).
//   int ui::ReachableWidth(width, minimum)
//       the same for a width.
//   QPoint ui::BesideEachOther(sizes, index, area)
//       the first-start place of window index of a family of windows of the
//       given outer sizes: side by side from the area's top left corner,
//       Gap pixels apart, a new row below the row before when the next one
//       does not fit; a window larger than the area starts a row at its
//       left edge. Used by the picture windows when no place is stored.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace ui {

QPoint ReachablePosition(QPoint wanted, QSize size, QPoint fallback);
int ReachableHeight(int height, int minimum);
int ReachableWidth(int width, int minimum);

inline constexpr int Gap = 8;
QPoint BesideEachOther(const QList<QSize>& sizes, int index, const QRect& area);

}  // namespace ui
