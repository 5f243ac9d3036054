#include "platform/ScreenMetrics.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
ScreenMetrics *g_installed = nullptr;

int twipsPerPixelFor(qreal dpi)
{
    if (dpi <= 0)
        return 15;
    return std::max(1, static_cast<int>(std::lround(1440.0 / dpi)));
}
} // namespace

int ScreenMetrics::twipsPerPixelX() const
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return twipsPerPixelFor(s ? s->logicalDotsPerInchX() : 96.0);
}

int ScreenMetrics::twipsPerPixelY() const
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return twipsPerPixelFor(s ? s->logicalDotsPerInchY() : 96.0);
}

QSize ScreenMetrics::screenPixels() const
{
    const QScreen *s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry().size() : QSize(1024, 768);
}

ScreenMetrics &ScreenMetrics::instance()
{
    static ScreenMetrics real;
    return g_installed ? *g_installed : real;
}

void ScreenMetrics::setInstance(ScreenMetrics *metrics)
{
    g_installed = metrics;
}
