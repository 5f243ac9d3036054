#pragma once

#include <QSize>

// Screen size and twips-per-pixel factors. Window placements, indents and tab stops are kept in
// twips (1/1440 inch); this converts them for the screen. Tests install fixed metrics.
class ScreenMetrics
{
public:
    virtual ~ScreenMetrics() = default;

    virtual int twipsPerPixelX() const;
    virtual int twipsPerPixelY() const;
    // The available screen area in pixels (what a window may cover).
    virtual QSize screenPixels() const;

    int screenWidthTwips() const { return screenPixels().width() * twipsPerPixelX(); }
    int screenHeightTwips() const { return screenPixels().height() * twipsPerPixelY(); }

    static ScreenMetrics &instance();
    static void setInstance(ScreenMetrics *metrics);
};

// Fixed metrics for tests and headless tools.
class FixedScreenMetrics : public ScreenMetrics
{
public:
    FixedScreenMetrics(QSize pixels, int twipsPerPixel = 15)
        : m_pixels(pixels), m_tpp(twipsPerPixel)
    {}
    int twipsPerPixelX() const override { return m_tpp; }
    int twipsPerPixelY() const override { return m_tpp; }
    QSize screenPixels() const override { return m_pixels; }

private:
    QSize m_pixels;
    int m_tpp;
};
