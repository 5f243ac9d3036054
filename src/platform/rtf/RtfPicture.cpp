#include "platform/rtf/RtfPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cstring>

namespace {
constexpr int MaxTwips = 31680 * 4; // four times the widest page anyone prints on

quint32 readLe32(const QByteArray &data, qsizetype at)
{
    if (at + 4 > data.size())
        return 0;
    const auto *p = reinterpret_cast<const unsigned char *>(data.constData() + at);
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}

void appendLe16(QByteArray &out, quint16 v)
{
    out.append(char(v & 0xFF));
    out.append(char(v >> 8));
}

void appendLe32(QByteArray &out, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        out.append(char((v >> (8 * i)) & 0xFF));
}

// A BITMAPFILEHEADER in front of a packed DIB makes a BMP file QImage reads.
QByteArray bmpFromPackedDib(const QByteArray &dib)
{
    if (dib.size() < 16)
        return {};
    const quint32 headerSize = readLe32(dib, 0);
    if (headerSize < 12 || headerSize > quint32(dib.size()))
        return {};
    quint32 bitCount = 0, colorsUsed = 0, compression = 0;
    if (headerSize == 12) {
        bitCount = quint8(dib[10]) | quint8(dib[11]) << 8;
    } else {
        bitCount = quint8(dib[14]) | quint8(dib[15]) << 8;
        compression = readLe32(dib, 16);
        colorsUsed = readLe32(dib, 32);
    }
    quint32 paletteEntries = colorsUsed;
    if (paletteEntries == 0 && bitCount <= 8)
        paletteEntries = 1u << bitCount;
    paletteEntries = std::min<quint32>(paletteEntries, 256);
    quint32 offset = 14 + headerSize + paletteEntries * (headerSize == 12 ? 3 : 4);
    if (headerSize == 40 && (compression == 3 || compression == 6))
        offset += compression == 3 ? 12 : 16;
    QByteArray bmp;
    bmp.reserve(dib.size() + 14);
    bmp.append("BM");
    appendLe32(bmp, quint32(dib.size() + 14));
    appendLe32(bmp, 0);
    appendLe32(bmp, offset);
    bmp.append(dib);
    return bmp;
}

// A device-dependent bitmap (\wbitmap): rows of widthBytes (word aligned), top row first, no
// colour table. Built into a bottom-up... top-down BMP with a grey (or black and white) palette.
QByteArray bmpFromDdb(const RtfPicture::Source &s)
{
    const int bpp = s.wbmBitsPixel * std::max(1, s.wbmPlanes);
    if (s.picw <= 0 || s.pich <= 0 || s.picw > 20000 || s.pich > 20000)
        return {};
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24 && bpp != 32)
        return {};
    const qint64 minRow = (qint64(s.picw) * bpp + 7) / 8;
    const qint64 srcRow = s.wbmWidthBytes > 0 ? s.wbmWidthBytes : (minRow + 1) / 2 * 2;
    if (srcRow < minRow || srcRow * s.pich > s.data.size())
        return {};
    const qint64 dstRow = (minRow + 3) / 4 * 4;
    const int paletteEntries = bpp <= 8 ? 1 << bpp : 0;
    QByteArray info;
    appendLe32(info, 40);
    appendLe32(info, quint32(s.picw));
    appendLe32(info, quint32(-s.pich)); // top-down
    appendLe16(info, 1);
    appendLe16(info, quint16(bpp));
    appendLe32(info, 0);
    appendLe32(info, quint32(dstRow * s.pich));
    appendLe32(info, 2835);
    appendLe32(info, 2835);
    appendLe32(info, quint32(paletteEntries));
    appendLe32(info, 0);
    for (int i = 0; i < paletteEntries; ++i) {
        const int v = paletteEntries == 1 ? 0 : i * 255 / (paletteEntries - 1);
        info.append(char(v)).append(char(v)).append(char(v)).append(char(0));
    }
    for (int y = 0; y < s.pich; ++y) {
        info.append(s.data.constData() + y * srcRow, minRow);
        info.append(QByteArray(dstRow - minRow, '\0'));
    }
    return bmpFromPackedDib(info);
}

QImage readImage(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    QImage image;
    if (!reader.read(&image))
        return {};
    return image;
}

int clampTwips(qint64 v)
{
    return int(std::clamp<qint64>(v, 1, MaxTwips));
}
} // namespace

QImage RtfPicture::placeholder()
{
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(240, 240, 240));
    QPainter painter(&image);
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(0, 0, 31, 31);
    painter.drawLine(0, 0, 31, 31);
    painter.drawLine(0, 31, 31, 0);
    return image;
}

RtfPicture::Decoded RtfPicture::decode(const Source &s)
{
    Decoded d;
    d.kind = s.kind;
    d.data = s.data;
    bool metafile = false;
    if (s.kind == "png" || s.kind == "jpeg") {
        d.image = readImage(s.data, s.kind == "png" ? "png" : "jpeg");
        if (d.image.isNull()) // some writers mislabel one as the other
            d.image = readImage(s.data, nullptr);
    } else if (s.kind == "dib") {
        d.data = bmpFromPackedDib(s.data);
        d.image = readImage(d.data, "bmp");
    } else if (s.kind == "wbitmap") {
        d.kind = "dib";
        d.data = bmpFromDdb(s);
        d.image = readImage(d.data, "bmp");
    } else {
        metafile = true;
    }
    d.drawable = !d.image.isNull();

    // Natural size: bitmaps in pixels at 96 dpi, metafiles in hundredths of a millimetre.
    qint64 w = 0, h = 0;
    if (s.goalw > 0 && s.goalh > 0) {
        w = s.goalw;
        h = s.goalh;
    } else if (d.drawable) {
        w = qint64(d.image.width()) * 15;
        h = qint64(d.image.height()) * 15;
    } else if (metafile && s.picw > 0 && s.pich > 0) {
        w = qint64(s.picw) * 1440 / 2540;
        h = qint64(s.pich) * 1440 / 2540;
    } else if (s.picw > 0 && s.pich > 0) {
        w = qint64(s.picw) * 15;
        h = qint64(s.pich) * 15;
    } else {
        w = h = 480;
    }
    const int sx = s.scalex > 0 ? std::min(s.scalex, 10000) : 100;
    const int sy = s.scaley > 0 ? std::min(s.scaley, 10000) : 100;
    d.widthTwips = clampTwips(w * sx / 100);
    d.heightTwips = clampTwips(h * sy / 100);
    if (!d.drawable) {
        d.image = placeholder();
        if (d.kind == "wbitmap")
            d.kind = "dib";
    }
    return d;
}
