#include "core/WindowArranger.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStyle>
#include <QStyleOptionTitleBar>

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

QVector<QRect> WindowArranger::cascadeRects(const QRect &area, int count, int step)
{
    QVector<QRect> out;
    if (count <= 0 || area.isEmpty())
        return out;
    const QSize least(area.width() * 3 / 5, area.height() * 3 / 5);
    // How many offsets fit before a window would shrink below the least size.
    const int room = std::min(area.width() - least.width(), area.height() - least.height());
    const int perRound = std::max(1, room / std::max(1, step) + 1);
    const int steps = std::min(count, perRound) - 1;
    const QSize size(area.width() - steps * step, area.height() - steps * step);
    for (int i = 0; i < count; ++i) {
        const int k = i % perRound;
        out.append(QRect(area.topLeft() + QPoint(k * step, k * step), size));
    }
    return out;
}

int WindowArranger::cascadeStep(const QMdiArea *area)
{
    QStyleOptionTitleBar option;
    option.initFrom(area);
    const int title = area->style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, area);
    return std::max(16, title + 4);
}

void WindowArranger::cascade(QMdiArea *area)
{
    QList<QMdiSubWindow *> windows;
    QMdiSubWindow *active = area->currentSubWindow();
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder))
        if (!w->isMinimized() && w->isVisible() && w != active)
            windows.append(w);
    if (active && !active->isMinimized() && active->isVisible())
        windows.append(active);
    const QVector<QRect> rects =
        cascadeRects(area->viewport()->rect(), static_cast<int>(windows.size()), cascadeStep(area));
    for (int i = 0; i < windows.size(); ++i) {
        if (windows[i]->isMaximized())
            windows[i]->showNormal();
        windows[i]->setGeometry(rects[i]);
        windows[i]->raise();
    }
    if (active)
        area->setActiveSubWindow(active);
}

QPoint WindowArranger::nextPlace(const QRect &area, const QRect &previous, const QSize &size,
                                 int step)
{
    QPoint at = previous.isNull() ? area.topLeft() : previous.topLeft() + QPoint(step, step);
    if (at.x() + size.width() > area.right() + 1 || at.y() + size.height() > area.bottom() + 1 ||
        !area.contains(at))
        at = area.topLeft();
    return at;
}
