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
// Tiles the area's windows that are not minimised.
void tile(QMdiArea *area, Qt::Orientation orientation);
// Lines the minimised windows up along the bottom edge of the area.
void arrangeIcons(QMdiArea *area);
} // namespace WindowArranger
