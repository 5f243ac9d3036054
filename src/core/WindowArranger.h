#pragma once

#include <QRect>
#include <QVector>
#include <Qt>

class QMdiArea;

// The arrange operations of the Window menu that the document area does not offer itself.
namespace WindowArranger {
// Rectangles that tile `count` windows over `area`: Horizontal stacks them one above the other,
// each the full width; Vertical puts them side by side, each the full height.
QVector<QRect> tileRects(const QRect &area, int count, Qt::Orientation orientation);
// Rectangles that cascade `count` windows over `area`, each offset by `step` from the one before
// and as large as the offsets leave room for, but never smaller than three fifths of the area:
// when the windows would run past that size the cascade starts again at the top left.
QVector<QRect> cascadeRects(const QRect &area, int count, int step);
// Cascades the area's windows that are not minimised, the active one last (on top).
void cascade(QMdiArea *area);
// Where a new window of `size` goes: one step below and right of `previous` (the window opened
// last, or an empty rectangle), back at the top left when it would leave the area.
QPoint nextPlace(const QRect &area, const QRect &previous, const QSize &size, int step);
// The offset between cascaded windows: a title bar's height and a little.
int cascadeStep(const QMdiArea *area);
// Tiles the area's windows that are not minimised.
void tile(QMdiArea *area, Qt::Orientation orientation);
// Lines the minimised windows up along the bottom edge of the area.
void arrangeIcons(QMdiArea *area);
} // namespace WindowArranger
