#include "pictures/PictureDecode.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace PictureDecode {

namespace {

// Little-endian reads from a byte view; bytes past its end read as zeros.
quint8 byteAt(QByteArrayView data, qsizetype offset)
{
    return offset >= 0 && offset < data.size() ? quint8(data[offset]) : 0;
}

qint16 int16At(QByteArrayView data, qsizetype offset)
{
    return qint16(quint16(byteAt(data, offset) | (byteAt(data, offset + 1) << 8)));
}

qsizetype roundUp4(qsizetype n)
{
    return (n + 3) & ~qsizetype(3);
}

// A buffer of `size` bytes, zero-filled unless the caller writes every byte, or false when
// `size` passes the limit.
bool allocate(QByteArray &buffer, qint64 size, qsizetype limit, bool zeroed = true)
{
    if (size < 0 || size > qint64(limit))
        return false;
    buffer =
        zeroed ? QByteArray(qsizetype(size), '\0') : QByteArray(qsizetype(size), Qt::Uninitialized);
    return true;
}

// The bytes of `file` from `offset` to its end (empty when the file is shorter).
QByteArrayView tail(QByteArrayView file, qint64 offset)
{
    return offset < file.size() ? file.sliced(qsizetype(offset)) : QByteArrayView();
}

// PCX data: the bytes after the header, run-length decoded when encoded. Reads on demand, so a
// run may cross a scan line and decoding stops once the picture has what it needs (the bytes
// after it, such as the palette trailer of 256-colour files, would be ignored anyway).
class PcxStream
{
public:
    PcxStream(QByteArrayView data, bool encoded)
        : m_p(reinterpret_cast<const uchar *>(data.data())), m_end(m_p + data.size()),
          m_encoded(encoded)
    {}

    // Fills dst with the next n decoded bytes; past the end of the data they are zeros.
    void read(uchar *dst, size_t n)
    {
        if (m_encoded && m_runLeft == 0) {
            const size_t done = readFast(dst, n);
            dst += done;
            n -= done;
        }
        while (n > 0) {
            if (m_runLeft > 0) {
                const size_t k = std::min(n, m_runLeft);
                std::memset(dst, m_runValue, k);
                dst += k;
                n -= k;
                m_runLeft -= k;
                continue;
            }
            if (m_p == m_end) {
                std::memset(dst, 0, n);
                return;
            }
            const size_t k = literalSpan(n);
            if (k > 0) {
                std::memcpy(dst, m_p, k);
                m_p += k;
                dst += k;
                n -= k;
                continue;
            }
            // A run: the low six bits count, the next byte is the value. A run whose value
            // byte is missing ends the data.
            const size_t count = *m_p++ & 0x3F;
            if (m_p == m_end)
                continue;
            m_runValue = *m_p++;
            m_runLeft = count;
        }
    }

private:
    // The bulk of encoded data, while at least 64 bytes of output and 8 of input remain: eight
    // literal bytes at a time, and runs (at most 63 bytes) stored as whole 8-byte words, which
    // then never pass the end of dst. Returns the bytes written; stops at a token boundary.
    size_t readFast(uchar *dst, size_t n)
    {
        uchar *d = dst;
        uchar *const safeEnd = n >= 64 ? dst + (n - 64) : dst;
        const uchar *p = m_p;
        const uchar *const inEnd = m_end - std::min<qsizetype>(m_end - m_p, 8);
        while (d < safeEnd && p < inEnd) {
            quint64 w;
            std::memcpy(&w, p, 8);
            if (!((w & (w << 1)) & 0x8080808080808080ULL)) {
                std::memcpy(d, &w, 8);
                d += 8;
                p += 8;
                continue;
            }
            const uchar b = *p;
            if (b < 0xC0) {
                *d++ = b;
                ++p;
                continue;
            }
            const size_t count = b & 0x3F;
            const quint64 v = quint64(p[1]) * 0x0101010101010101ULL;
            p += 2;
            for (size_t i = 0; i < count; i += 8)
                std::memcpy(d + i, &v, 8);
            d += count;
        }
        m_p = p;
        return size_t(d - dst);
    }

    // How many of the next bytes (at most n) are literal pixel bytes.
    size_t literalSpan(size_t n) const
    {
        const size_t max = std::min(n, size_t(m_end - m_p));
        if (!m_encoded)
            return max;
        size_t span = 0;
        // Eight bytes at a time: a byte of 0xC0 or above has both top bits set.
        while (span + 8 <= max) {
            quint64 w;
            std::memcpy(&w, m_p + span, 8);
            if ((w & (w << 1)) & 0x8080808080808080ULL)
                break;
            span += 8;
        }
        while (span < max && m_p[span] < 0xC0)
            ++span;
        return span;
    }

    const uchar *m_p;
    const uchar *m_end;
    bool m_encoded;
    uchar m_runValue = 0;
    size_t m_runLeft = 0;
};

// Reads `height` scan lines of `lineLength` bytes and stores the first `rowLength` bytes of
// each (what the width needs; the rest of a line is padding) bottom row first, each padded to a
// multiple of 4 bytes, as the bitmap's rows are.
bool arrangeRows(PcxStream &stream, qint32 height, qsizetype lineLength, qsizetype rowLength,
                 qsizetype limit, QByteArray &out)
{
    const qsizetype padded = roundUp4(rowLength);
    if (!allocate(out, qint64(padded) * height, limit, false))
        return false;
    uchar *base = reinterpret_cast<uchar *>(out.data());
    QByteArray skipped(qsizetype(std::max<qsizetype>(lineLength - rowLength, 0)), '\0');
    for (qint32 r = 0; r < height; ++r) {
        uchar *row = base + qsizetype(height - 1 - r) * padded;
        stream.read(row, size_t(rowLength));
        if (!skipped.isEmpty())
            stream.read(reinterpret_cast<uchar *>(skipped.data()), size_t(skipped.size()));
        std::memset(row + rowLength, 0, size_t(padded - rowLength));
    }
    return true;
}

// 1 bit x 4 planes to packed 4-bit pixels, two a byte, left pixel in the high nibble.
bool planarToPacked(PcxStream &stream, qint32 width, qint32 height, qsizetype bytesPerLine,
                    qsizetype limit, QByteArray &out)
{
    const qsizetype q = roundUp4(width) / 2;
    const qsizetype padded = roundUp4(q);
    if (!allocate(out, qint64(padded) * height, limit))
        return false;
    QByteArray row(4 * bytesPerLine, '\0');
    const uchar *planes = reinterpret_cast<const uchar *>(row.constData());
    uchar *base = reinterpret_cast<uchar *>(out.data());
    const qsizetype columns = (q + 3) / 4;
    for (qint32 r = 0; r < height; ++r) {
        stream.read(reinterpret_cast<uchar *>(row.data()), size_t(row.size()));
        uchar *dst = base + qsizetype(height - 1 - r) * padded;
        qsizetype written = 0;
        for (qsizetype c = 0; c < columns && written < q; ++c) {
            const uint p0 = planes[c];
            const uint p1 = planes[bytesPerLine + c];
            const uint p2 = planes[2 * bytesPerLine + c];
            const uint p3 = planes[3 * bytesPerLine + c];
            for (int bit = 7; bit > 0 && written < q; bit -= 2) {
                auto pixel = [&](int b) {
                    return ((p0 >> b) & 1) | (((p1 >> b) & 1) << 1) | (((p2 >> b) & 1) << 2) |
                           (((p3 >> b) & 1) << 3);
                };
                dst[written++] = uchar((pixel(bit) << 4) | pixel(bit - 1));
            }
        }
    }
    return true;
}

// Three 8-bit planes per row (red, green, blue) to blue, green, red, 0 pixels, bottom row first.
bool planesToBgr0(PcxStream &stream, qint32 width, qint32 height, qsizetype bytesPerLine,
                  qsizetype limit, QByteArray &out)
{
    if (!allocate(out, qint64(width) * 4 * height, limit, false))
        return false;
    QByteArray row(3 * bytesPerLine, '\0');
    const uchar *red = reinterpret_cast<const uchar *>(row.constData());
    const uchar *green = red + bytesPerLine;
    const uchar *blue = green + bytesPerLine;
    uchar *base = reinterpret_cast<uchar *>(out.data());
    for (qint32 y = 0; y < height; ++y) {
        stream.read(reinterpret_cast<uchar *>(row.data()), size_t(row.size()));
        uchar *dst = base + qsizetype(height - 1 - y) * width * 4;
        auto *words = reinterpret_cast<quint32 *>(dst);
        for (qint32 x = 0; x < width; ++x)
            words[x] =
                qToLittleEndian(quint32(blue[x]) | quint32(green[x]) << 8 | quint32(red[x]) << 16);
    }
    return true;
}

QByteArray greyRamp()
{
    QByteArray ramp(768, '\0');
    for (int i = 0; i < 256; ++i)
        ramp[3 * i] = ramp[3 * i + 1] = ramp[3 * i + 2] = char(i);
    return ramp;
}

} // namespace

PcxHeader readPcxHeader(QByteArrayView file)
{
    PcxHeader h;
    h.manufacturer = byteAt(file, 0);
    h.version = byteAt(file, 1);
    h.encoding = byteAt(file, 2);
    h.bitsPerPixel = byteAt(file, 3);
    h.xMin = int16At(file, 4);
    h.yMin = int16At(file, 6);
    h.xMax = int16At(file, 8);
    h.yMax = int16At(file, 10);
    h.hRes = int16At(file, 12);
    h.vRes = int16At(file, 14);
    for (int i = 0; i < 48; ++i)
        h.colourMap[size_t(i)] = byteAt(file, 16 + i);
    h.reserved = byteAt(file, 64);
    h.planes = byteAt(file, 65);
    h.bytesPerLine = int16At(file, 66);
    h.paletteInfo = int16At(file, 68);
    return h;
}

bool isValidPcx(const PcxHeader &h)
{
    const bool version = h.version == 0 || h.version == 2 || h.version == 3 || h.version == 5;
    return h.manufacturer == 10 && h.encoding < 2 && version;
}

PcxResult decodePcx(QByteArrayView file, qsizetype limit)
{
    PcxResult result;
    result.header = readPcxHeader(file);
    const PcxHeader &h = result.header;
    const qint32 width = qint32(h.xMax) - h.xMin + 1;
    const qint32 height = qint32(h.yMax) - h.yMin + 1;
    result.sizeValid = width >= -32768 && width <= 32767 && height >= -32768 && height <= 32767;
    if (result.sizeValid) {
        result.width = width;
        result.height = height;
    }

    enum { None, Mono, Planar16, Packed16, Colour256, TrueColour } kind = None;
    const int bpp = h.bitsPerPixel;
    const int planes = h.planes;
    if (bpp == 1 && planes == 1)
        kind = Mono;
    else if (bpp == 1 && planes == 4)
        kind = Planar16;
    else if (bpp == 4 && planes == 1)
        kind = Packed16;
    else if (bpp == 8 && planes == 1)
        kind = Colour256;
    else if (bpp == 8 && planes == 3)
        kind = TrueColour;
    if (kind == None) {
        result.status = Status::Unsupported;
        return result;
    }

    // Bits of one plane's row the width needs, against what bytes per line holds.
    const qint64 bpl = h.bytesPerLine;
    if (!result.sizeValid || width <= 0 || height <= 0 || bpl <= 0 ||
        bpl * 8 < qint64(width) * bpp) {
        result.status = Status::BadSize;
        return result;
    }

    PcxStream stream(tail(file, 128), h.encoding == 1);
    DibPicture &pic = result.picture;
    bool built = false;
    switch (kind) {
    case Mono:
        pic.bitsPerPixel = 1;
        built = arrangeRows(stream, height, bpl, (qsizetype(width) + 7) / 8, limit, pic.pixels);
        break;
    case Planar16:
    case Packed16: {
        pic.bitsPerPixel = 4;
        pic.palette = QByteArray(reinterpret_cast<const char *>(h.colourMap.data()), 48);
        if (kind == Planar16) {
            built = planarToPacked(stream, width, height, bpl, limit, pic.pixels);
        } else {
            // Each scan line holds bytes per line bytes, of which the width uses the first half
            // of the width (rounded up).
            built = arrangeRows(stream, height, bpl, (qsizetype(width) + 1) / 2, limit, pic.pixels);
        }
        break;
    }
    case Colour256:
        pic.bitsPerPixel = 8;
        if (file.size() >= 769 && byteAt(file, file.size() - 769) == 12)
            pic.palette = file.sliced(file.size() - 768).toByteArray();
        else
            pic.palette = greyRamp();
        built = arrangeRows(stream, height, bpl, width, limit, pic.pixels);
        break;
    case TrueColour:
        pic.bitsPerPixel = 32;
        built = planesToBgr0(stream, width, height, bpl, limit, pic.pixels);
        break;
    case None:
        break;
    }
    if (!built) {
        result.picture = DibPicture();
        result.status = Status::TooLarge;
        return result;
    }
    pic.width = width;
    pic.height = height;
    pic.topDown = false;
    result.status = Status::Ok;
    return result;
}

// --- Targa ---------------------------------------------------------------------------------

namespace {

// Run-length decoded Targa data: packets of raw pixels (header below 128, count + 1 pixels) or
// of one repeated pixel (count - 127 times), until the output is full or the data ends.
void tgaRunLength(QByteArrayView data, int bytesPerPixel, uchar *out, qsizetype outSize)
{
    const uchar *p = reinterpret_cast<const uchar *>(data.data());
    const uchar *end = p + data.size();
    qsizetype pos = 0;
    while (pos < outSize && p < end) {
        const uint h = *p++;
        if (h < 128) {
            const qsizetype want = qsizetype(h + 1) * bytesPerPixel;
            const qsizetype n = std::min({want, outSize - pos, qsizetype(end - p)});
            std::memcpy(out + pos, p, size_t(n));
            pos += n;
            p += std::min(want, qsizetype(end - p));
        } else {
            uchar pixel[4] = {0, 0, 0, 0};
            const qsizetype have = std::min(qsizetype(bytesPerPixel), qsizetype(end - p));
            std::memcpy(pixel, p, size_t(have));
            p += have;
            const qsizetype count = std::min(qsizetype(h - 127), (outSize - pos) / bytesPerPixel);
            uchar *dst = out + pos;
            if (bytesPerPixel == 1) {
                std::memset(dst, pixel[0], size_t(count));
            } else {
                for (qsizetype i = 0; i < count; ++i, dst += bytesPerPixel)
                    std::memcpy(dst, pixel, size_t(bytesPerPixel));
            }
            pos += count * bytesPerPixel;
            if (pos < outSize && count < h - 127) {
                // The output's end cuts a run in the middle of a pixel.
                std::memcpy(out + pos, pixel, size_t(outSize - pos));
                pos = outSize;
            }
        }
    }
}

// 32-bit pixels, raw or run-length encoded, straight into blue, green, red, 0 words. Returns
// the bytes written; the caller zeroes the rest.
qsizetype tgaTrueColour32(QByteArrayView data, bool encoded, uchar *out, qsizetype outSize)
{
    constexpr quint32 mask = qToLittleEndian(quint32(0x00FFFFFF));
    auto copyPixels = [](uchar *dst, const uchar *src, qsizetype count) {
        for (qsizetype i = 0; i < count; ++i) {
            quint32 v;
            std::memcpy(&v, src + 4 * i, 4);
            v &= mask;
            std::memcpy(dst + 4 * i, &v, 4);
        }
    };
    const uchar *p = reinterpret_cast<const uchar *>(data.data());
    const uchar *end = p + data.size();
    if (!encoded) {
        const qsizetype whole = std::min<qsizetype>(data.size() / 4, outSize / 4);
        copyPixels(out, p, whole);
        return whole * 4;
    }
    qsizetype pos = 0;
    while (pos < outSize && p < end) {
        const uint h = *p++;
        const qsizetype count = std::min<qsizetype>(h < 128 ? h + 1 : h - 127, (outSize - pos) / 4);
        if (h < 128) {
            const qsizetype whole = std::min<qsizetype>(count, (end - p) / 4);
            copyPixels(out + pos, p, whole);
            pos += whole * 4;
            if (whole < count) {
                // The data ends inside this packet: keep its last bytes, then stop.
                const qsizetype rest = std::min<qsizetype>(end - p - whole * 4, 3);
                std::memcpy(out + pos, p + whole * 4, size_t(rest));
                return pos + rest;
            }
            p += std::min<qsizetype>(qsizetype(h + 1) * 4, end - p);
        } else {
            uchar bytes[4] = {0, 0, 0, 0};
            const qsizetype have = std::min<qsizetype>(4, end - p);
            std::memcpy(bytes, p, size_t(have));
            p += have;
            quint32 v;
            std::memcpy(&v, bytes, 4);
            v &= mask;
            auto *dst = reinterpret_cast<quint32 *>(out + pos);
            for (qsizetype i = 0; i < count; ++i)
                dst[i] = v;
            pos += count * 4;
        }
    }
    return pos;
}

bool isRunLength(quint8 imageType)
{
    return imageType == 9 || imageType == 10 || imageType == 11;
}

// The 256-entry colour table of an 8-bit picture from its colour map.
QByteArray tgaPalette(const TgaHeader &h, QByteArrayView map, int entryBytes)
{
    if (h.imageType == 3 || h.imageType == 11 || h.colourMapLength <= 0)
        return greyRamp();
    QByteArray table(768, '\0');
    const int entries = std::min<int>(h.colourMapLength, 256);
    for (int i = 0; i < entries; ++i) {
        const qsizetype at = qsizetype(i) * entryBytes;
        uchar r = 0, g = 0, b = 0;
        switch (entryBytes) {
        case 1:
            r = g = b = byteAt(map, at);
            break;
        case 2: {
            const uint v = byteAt(map, at) | (byteAt(map, at + 1) << 8);
            auto scale = [](uint c) { return uchar((c << 3) | (c >> 2)); };
            r = scale((v >> 10) & 31);
            g = scale((v >> 5) & 31);
            b = scale(v & 31);
            break;
        }
        default:
            b = byteAt(map, at);
            g = byteAt(map, at + 1);
            r = byteAt(map, at + 2);
            break;
        }
        table[3 * i] = char(r);
        table[3 * i + 1] = char(g);
        table[3 * i + 2] = char(b);
    }
    return table;
}

} // namespace

TgaHeader readTgaHeader(QByteArrayView file)
{
    TgaHeader h;
    h.idLength = byteAt(file, 0);
    h.colourMapType = byteAt(file, 1);
    h.imageType = byteAt(file, 2);
    h.firstEntry = int16At(file, 3);
    h.colourMapLength = int16At(file, 5);
    h.colourMapEntrySize = byteAt(file, 7);
    h.xOrigin = int16At(file, 8);
    h.yOrigin = int16At(file, 10);
    h.width = int16At(file, 12);
    h.height = int16At(file, 14);
    h.pixelDepth = byteAt(file, 16);
    h.descriptor = byteAt(file, 17);
    return h;
}

bool isValidTga(const TgaHeader &h)
{
    static constexpr quint8 types[] = {1, 2, 3, 9, 10, 11, 32, 33};
    const bool type = std::find(std::begin(types), std::end(types), h.imageType) != std::end(types);
    const quint8 d = h.pixelDepth;
    return type && (d == 8 || d == 16 || d == 24 || d == 32);
}

TgaResult decodeTga(QByteArrayView file, qsizetype limit)
{
    TgaResult result;
    result.header = readTgaHeader(file);
    const TgaHeader &h = result.header;
    if (h.pixelDepth == 16) {
        result.status = Status::SixteenBit;
        return result;
    }
    if (h.pixelDepth != 8 && h.pixelDepth != 24 && h.pixelDepth != 32) {
        result.status = Status::Unsupported;
        return result;
    }
    const qint32 width = h.width;
    const qint32 height = h.height;
    if (width <= 0 || height <= 0) {
        result.status = Status::BadSize;
        return result;
    }

    // Entries of 15 bits take two bytes like 16-bit ones.
    const int entryBytes = (h.colourMapEntrySize + 7) / 8;
    const qint64 mapStart = 18 + qint64(h.idLength);
    const qint64 mapSize = h.colourMapLength > 0 ? qint64(h.colourMapLength) * entryBytes : 0;
    const QByteArrayView data = tail(file, mapStart + mapSize);
    const bool encoded = isRunLength(h.imageType);
    const int bytesPerPixel = h.pixelDepth / 8;
    const qint64 pixelCount = qint64(width) * height;

    DibPicture &pic = result.picture;
    QByteArray flat;
    if (h.pixelDepth == 8) {
        const QByteArrayView map =
            tail(file, mapStart)
                .first(std::min<qsizetype>(qsizetype(mapSize),
                                           std::max<qsizetype>(0, file.size() - mapStart)));
        const qsizetype padded = roundUp4(width);
        if (!allocate(pic.pixels, qint64(padded) * height, limit) ||
            (encoded && !allocate(flat, pixelCount, limit))) {
            result.picture = DibPicture();
            result.status = Status::TooLarge;
            return result;
        }
        pic.palette = tgaPalette(h, map, entryBytes);
        QByteArrayView source = data;
        if (encoded) {
            tgaRunLength(data, 1, reinterpret_cast<uchar *>(flat.data()), flat.size());
            source = flat;
        }
        // Rows stay in file order; the top-down flag tells the builder which row comes first.
        for (qint32 r = 0; r < height; ++r) {
            const qsizetype from = qsizetype(r) * width;
            if (from >= source.size())
                break;
            const qsizetype n = std::min<qsizetype>(width, source.size() - from);
            std::memcpy(pic.pixels.data() + qsizetype(r) * padded, source.data() + from, size_t(n));
        }
        pic.bitsPerPixel = 8;
    } else {
        if (!allocate(pic.pixels, pixelCount * 4, limit, bytesPerPixel != 4)) {
            result.status = Status::TooLarge;
            return result;
        }
        uchar *out = reinterpret_cast<uchar *>(pic.pixels.data());
        if (bytesPerPixel == 4) {
            const qsizetype written = tgaTrueColour32(data, encoded, out, pic.pixels.size());
            std::memset(out + written, 0, size_t(pic.pixels.size() - written));
        } else {
            QByteArrayView source = data;
            if (encoded) {
                if (!allocate(flat, pixelCount * 3, limit)) {
                    result.picture = DibPicture();
                    result.status = Status::TooLarge;
                    return result;
                }
                tgaRunLength(data, 3, reinterpret_cast<uchar *>(flat.data()), flat.size());
                source = flat;
            }
            const qint64 whole = std::min<qint64>(source.size() / 3, pixelCount);
            const uchar *src = reinterpret_cast<const uchar *>(source.data());
            for (qint64 i = 0; i < whole; ++i) {
                out[4 * i] = src[3 * i];
                out[4 * i + 1] = src[3 * i + 1];
                out[4 * i + 2] = src[3 * i + 2];
            }
        }
        pic.bitsPerPixel = 32;
    }
    pic.width = width;
    pic.height = height;
    pic.topDown = (h.descriptor & 0x20) != 0;
    result.status = Status::Ok;
    return result;
}

} // namespace PictureDecode
