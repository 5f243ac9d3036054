#include "pictures/DibImage.h"

#include <QList>
#include <QtEndian>
#include <climits>
#include <cstring>

namespace DibImage {

namespace {

void releaseBuffer(void *buffer)
{
    delete static_cast<QByteArray *>(buffer);
}

// 32-bit pixels are blue, green, red and an unused byte; the screen image wants that byte
// opaque. Bottom-up buffers are turned over in place, so the image shares the buffer.
QImage adoptTrueColour(QByteArray pixels, qint32 width, qint32 height, qsizetype stride,
                       bool topDown)
{
    auto *holder = new QByteArray(std::move(pixels));
    uchar *base = reinterpret_cast<uchar *>(holder->data());
    const qsizetype words = stride / 4;
    auto opaque = [](quint32 v) { return qFromLittleEndian(v) | 0xFF000000u; };
    qint32 top = 0;
    qint32 bottom = height - 1;
    if (!topDown) {
        for (; top < bottom; ++top, --bottom) {
            auto *a = reinterpret_cast<quint32 *>(base + qsizetype(top) * stride);
            auto *b = reinterpret_cast<quint32 *>(base + qsizetype(bottom) * stride);
            for (qsizetype i = 0; i < words; ++i) {
                const quint32 t = a[i];
                a[i] = opaque(b[i]);
                b[i] = opaque(t);
            }
        }
        if (top == bottom) {
            auto *a = reinterpret_cast<quint32 *>(base + qsizetype(top) * stride);
            for (qsizetype i = 0; i < words; ++i)
                a[i] = opaque(a[i]);
        }
    } else {
        auto *a = reinterpret_cast<quint32 *>(base);
        const qsizetype all = words * height;
        for (qsizetype i = 0; i < all; ++i)
            a[i] = opaque(a[i]);
    }
    QImage image(base, width, height, stride, QImage::Format_RGB32, releaseBuffer, holder);
    if (image.isNull())
        delete holder;
    return image;
}

} // namespace

void fillColourTable(RgbQuad *table, int count, QByteArrayView rgb)
{
    for (int i = 0; i < count; ++i) {
        auto at = [&](qsizetype k) { return k < rgb.size() ? quint8(rgb[k]) : quint8(0); };
        table[i].rgbRed = at(3 * i);
        table[i].rgbGreen = at(3 * i + 1);
        table[i].rgbBlue = at(3 * i + 2);
        table[i].rgbReserved = 0;
    }
}

QImage build(const BitmapInfoHeader &header, const RgbQuad *colours, int colourCount,
             QByteArray pixels, qsizetype limit)
{
    const int bits = header.biBitCount;
    const qint32 width = header.biWidth;
    if (width <= 0 || header.biHeight == 0 || header.biHeight == INT_MIN)
        return {};
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 32)
        return {};
    const bool topDown = header.biHeight < 0;
    const qint32 height = topDown ? -header.biHeight : header.biHeight;
    const qint64 stride = (qint64(width) * bits + 31) / 32 * 4;
    // The screen image of a 4-bit picture takes a byte a pixel.
    const qint64 imageStride = bits == 4 ? (qint64(width) + 3) / 4 * 4 : stride;
    if (std::max(stride, imageStride) * height > qint64(limit))
        return {};
    const qsizetype needed = qsizetype(stride * height);
    if (pixels.size() < needed)
        pixels.append(QByteArray(needed - pixels.size(), '\0'));

    if (bits == 32)
        return adoptTrueColour(std::move(pixels), width, height, qsizetype(stride), topDown);

    const QImage::Format format = bits == 1    ? QImage::Format_Mono
                                  : bits == 16 ? QImage::Format_RGB555
                                               : QImage::Format_Indexed8;
    QImage image(width, height, format);
    if (image.isNull())
        return {};
    const uchar *src = reinterpret_cast<const uchar *>(pixels.constData());
    for (qint32 y = 0; y < height; ++y) {
        const uchar *row = src + qsizetype(topDown ? y : height - 1 - y) * stride;
        uchar *dst = image.scanLine(y);
        switch (bits) {
        case 4:
            for (qint32 x = 0; x < width; ++x)
                dst[x] = (x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
            break;
        case 16: {
            auto *out = reinterpret_cast<quint16 *>(dst);
            for (qint32 x = 0; x < width; ++x)
                out[x] = qFromLittleEndian<quint16>(row + 2 * x) & 0x7FFF;
            break;
        }
        default:
            std::memcpy(dst, row, size_t(std::min<qint64>(stride, image.bytesPerLine())));
        }
    }
    if (bits != 16) {
        QList<QRgb> table;
        table.reserve(colourCount);
        for (int i = 0; i < colourCount; ++i)
            table.append(qRgb(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue));
        image.setColorTable(table);
    }
    return image;
}

QImage fromPicture(PictureDecode::DibPicture picture, qsizetype limit)
{
    if (picture.isNull())
        return {};
    BitmapInfoHeader header;
    header.biWidth = picture.width;
    header.biHeight = picture.topDown ? -picture.height : picture.height;
    header.biBitCount = quint16(picture.bitsPerPixel);
    std::array<RgbQuad, 256> table{};
    int count = 0;
    switch (picture.bitsPerPixel) {
    case 1:
        count = 2;
        table[1] = {255, 255, 255, 0};
        break;
    case 4:
        count = 16;
        break;
    case 8:
        count = 256;
        break;
    default:
        break;
    }
    if (picture.bitsPerPixel == 4 || picture.bitsPerPixel == 8)
        fillColourTable(table.data(), count, picture.palette);
    return build(header, table.data(), count, std::move(picture.pixels), limit);
}

} // namespace DibImage
