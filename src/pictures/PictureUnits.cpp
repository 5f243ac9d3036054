#include "pictures/PictureUnits.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/ScreenMetrics.h"

namespace {
int toPixels(int twips, int twipsPerPixel)
{
    return static_cast<int>(std::lround(double(twips) / std::max(1, twipsPerPixel)));
}
} // namespace

QSize PixelsToTwips(QSize pixels)
{
    const ScreenMetrics &screen = ScreenMetrics::instance();
    const qint64 w = qint64(pixels.width()) * screen.twipsPerPixelX();
    const qint64 h = qint64(pixels.height()) * screen.twipsPerPixelY();
    auto clamp = [](qint64 v) { return int(std::clamp<qint64>(v, INT_MIN, INT_MAX)); };
    return QSize(clamp(w), clamp(h));
}

QSize TwipsToPixels(QSize twips)
{
    const ScreenMetrics &screen = ScreenMetrics::instance();
    return QSize(toPixels(twips.width(), screen.twipsPerPixelX()),
                 toPixels(twips.height(), screen.twipsPerPixelY()));
}
