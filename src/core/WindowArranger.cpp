#include "core/WindowArranger.h"

#include <QMdiArea>
#include <QMdiSubWindow>

QVector<QRect> WindowArranger::tileRects(const QRect &area, int count, Qt::Orientation orientation)
{
    QVector<QRect> out;
    if (count <= 0 || area.isEmpty())
        return out;
    const int total = orientation == Qt::Horizontal ? area.height() : area.width();
    for (int i = 0; i < count; ++i) {
        const int from = total * i / count;
        const int to = total * (i + 1) / count;
        if (orientation == Qt::Horizontal)
            out.append(QRect(area.left(), area.top() + from, area.width(), to - from));
        else
            out.append(QRect(area.left() + from, area.top(), to - from, area.height()));
    }
    return out;
}

void WindowArranger::tile(QMdiArea *area, Qt::Orientation orientation)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::StackingOrder))
        if (!w->isMinimized() && w->isVisible())
            windows.append(w);
    const QVector<QRect> rects =
        tileRects(area->viewport()->rect(), static_cast<int>(windows.size()), orientation);
    for (int i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->setGeometry(rects[i]);
    }
}

void WindowArranger::arrangeIcons(QMdiArea *area)
{
    int x = 0;
    const int bottom = area->viewport()->height();
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder)) {
        if (!w->isMinimized())
            continue;
        const QSize s = w->size();
        if (x > 0 && x + s.width() > area->viewport()->width())
            x = 0;
        w->move(x, bottom - s.height());
        x += s.width();
    }
}
