#pragma once

#include <QtGlobal>
#include <array>

// A device-independent bitmap description: the 40-byte information header followed by a colour
// table of N entries (blue, green, red, 0). The readers fill it through the bitmap builder of
// clsLibrary; the builder turns it and a pixel buffer into the current bitmap.
struct BitmapInfoHeader
{
    quint32 biSize = 40;
    qint32 biWidth = 0;
    // Positive: the first row of the pixel buffer is the bottom row; negative: the top row.
    qint32 biHeight = 0;
    quint16 biPlanes = 1;
    quint16 biBitCount = 0;
    quint32 biCompression = 0;
    quint32 biSizeImage = 0;
    qint32 biXPelsPerMeter = 0;
    qint32 biYPelsPerMeter = 0;
    quint32 biClrUsed = 0;
    quint32 biClrImportant = 0;
};

struct RgbQuad
{
    quint8 rgbBlue = 0;
    quint8 rgbGreen = 0;
    quint8 rgbRed = 0;
    quint8 rgbReserved = 0;
};

template <int Colours> struct BitmapInfo
{
    BitmapInfoHeader bmiHeader;
    std::array<RgbQuad, Colours> bmiColors{};
};
