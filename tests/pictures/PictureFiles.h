#pragma once

#include <QFile>
#include <QTemporaryDir>

// Small PCX and Targa encoders for tests: each builds a file's bytes from plain fields, so a
// test states the picture it decodes in a few lines.
#include <QByteArray>
#include <QtEndian>

namespace PictureFiles {

inline void put16(QByteArray &b, int offset, int value)
{
    b[offset] = char(value & 0xFF);
    b[offset + 1] = char((value >> 8) & 0xFF);
}

struct Pcx
{
    int version = 5;
    int encoding = 0;
    int bitsPerPixel = 8;
    int planes = 1;
    int xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    int bytesPerLine = 0;
    QByteArray colourMap; // up to 48 bytes
    int manufacturer = 10;

    QByteArray header() const
    {
        QByteArray h(128, '\0');
        h[0] = char(manufacturer);
        h[1] = char(version);
        h[2] = char(encoding);
        h[3] = char(bitsPerPixel);
        put16(h, 4, xMin);
        put16(h, 6, yMin);
        put16(h, 8, xMax);
        put16(h, 10, yMax);
        for (int i = 0; i < colourMap.size() && i < 48; ++i)
            h[16 + i] = colourMap[i];
        h[65] = char(planes);
        put16(h, 66, bytesPerLine);
        return h;
    }
    // A picture of w x h whose data block is `data`.
    static Pcx sized(int bpp, int planes, int w, int h, int bpl, int encoding = 0)
    {
        Pcx p;
        p.bitsPerPixel = bpp;
        p.planes = planes;
        p.xMax = w - 1;
        p.yMax = h - 1;
        p.bytesPerLine = bpl;
        p.encoding = encoding;
        return p;
    }
    QByteArray file(const QByteArray &data) const { return header() + data; }
};

// Run-length encodes PCX scan-line data: runs of up to 63, bytes of 0xC0 or above as runs of 1.
inline QByteArray pcxRle(const QByteArray &raw)
{
    QByteArray out;
    for (qsizetype i = 0; i < raw.size();) {
        qsizetype n = 1;
        while (i + n < raw.size() && raw[i + n] == raw[i] && n < 63)
            ++n;
        if (n > 1 || quint8(raw[i]) >= 0xC0)
            out += char(0xC0 | n);
        out += raw[i];
        i += n;
    }
    return out;
}

struct Tga
{
    QByteArray id;
    int colourMapType = 0;
    int imageType = 2;
    int colourMapLength = 0;
    int entryBits = 0;
    int width = 1, height = 1;
    int depth = 24;
    int descriptor = 0;
    QByteArray colourMap;

    QByteArray file(const QByteArray &data) const
    {
        QByteArray h(18, '\0');
        h[0] = char(id.size());
        h[1] = char(colourMapType);
        h[2] = char(imageType);
        put16(h, 5, colourMapLength);
        h[7] = char(entryBits);
        put16(h, 12, width);
        put16(h, 14, height);
        h[16] = char(depth);
        h[17] = char(descriptor);
        return h + id + colourMap + data;
    }
};

// Targa run-length packets: a run of `count` copies of one pixel, or raw pixels.
inline QByteArray tgaRun(int count, const QByteArray &pixel)
{
    return QByteArray(1, char(0x80 | (count - 1))) + pixel;
}
inline QByteArray tgaRaw(int count, const QByteArray &pixels)
{
    return QByteArray(1, char(count - 1)) + pixels;
}

inline QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray b;
    for (int v : values)
        b += char(v);
    return b;
}

// Writes bytes as a file named name in dir and gives its path.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(bytes);
    return path;
}
} // namespace PictureFiles
