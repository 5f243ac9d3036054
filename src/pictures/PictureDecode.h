#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <array>

// Pure decoders for PCX and Targa pictures: bytes in, a device-independent pixel buffer and
// colour table out. No files, no widgets, no program state, so tests and fuzzers drive them
// directly; clsPicPCX and clsPicTGA read the files and hand the result to the bitmap builder.
//
// Every decoder reads only inside the bytes it is given (missing bytes read as zeros), refuses
// pictures whose pixel buffer would pass `limit` bytes, and does work bounded by the picture's
// size plus the input's length.
namespace PictureDecode {

// The largest pixel buffer a decoder builds.
constexpr qsizetype DefaultBufferLimit = qsizetype(256) * 1024 * 1024;

// What a reader hands the bitmap builder.
struct DibPicture
{
    // 1, 4, 8 or 32 (the 24-bit builder's 32-bit pixels); 0 when nothing was decoded.
    int bitsPerPixel = 0;
    qint32 width = 0;
    qint32 height = 0;
    // True when the first row of `pixels` is the top row.
    bool topDown = false;
    // Red, green, blue triples: 16 for 4-bit pictures, 256 for 8-bit ones, empty otherwise.
    QByteArray palette;
    // Rows padded to a multiple of 4 bytes; 32-bit pixels are blue, green, red, 0.
    QByteArray pixels;

    bool isNull() const { return bitsPerPixel == 0; }
};

enum class Status {
    Ok,
    // A bits/planes combination or pixel depth without a decoder.
    Unsupported,
    // 16-bit Targa pictures are refused with a message.
    SixteenBit,
    // Width or height not positive or out of range, or a row length too short for the width.
    BadSize,
    // The pixel buffer would pass the limit.
    TooLarge,
};

// The first 128 bytes of a PCX file.
struct PcxHeader
{
    quint8 manufacturer = 0;
    quint8 version = 0;
    quint8 encoding = 0;
    quint8 bitsPerPixel = 0;
    qint16 xMin = 0;
    qint16 yMin = 0;
    qint16 xMax = 0;
    qint16 yMax = 0;
    qint16 hRes = 0;
    qint16 vRes = 0;
    std::array<quint8, 48> colourMap{};
    quint8 reserved = 0;
    quint8 planes = 0;
    qint16 bytesPerLine = 0;
    qint16 paletteInfo = 0;
};

// Reads the header from the start of a file; a short file reads as if padded with zeros.
PcxHeader readPcxHeader(QByteArrayView file);
// Manufacturer 10, encoding below 2, version 0, 2, 3 or 5.
bool isValidPcx(const PcxHeader &header);

struct PcxResult
{
    Status status = Status::Unsupported;
    PcxHeader header;
    // Xmax - Xmin + 1 and Ymax - Ymin + 1; false in sizeValid when either leaves 16 bits.
    qint32 width = 0;
    qint32 height = 0;
    bool sizeValid = false;
    DibPicture picture;
};

PcxResult decodePcx(QByteArrayView file, qsizetype limit = DefaultBufferLimit);

// The first 18 bytes of a Targa file.
struct TgaHeader
{
    quint8 idLength = 0;
    quint8 colourMapType = 0;
    quint8 imageType = 0;
    qint16 firstEntry = 0;
    qint16 colourMapLength = 0;
    quint8 colourMapEntrySize = 0;
    qint16 xOrigin = 0;
    qint16 yOrigin = 0;
    qint16 width = 0;
    qint16 height = 0;
    quint8 pixelDepth = 0;
    quint8 descriptor = 0;
};

TgaHeader readTgaHeader(QByteArrayView file);
// Image type 1, 2, 3, 9, 10, 11, 32 or 33 and pixel depth 8, 16, 24 or 32.
bool isValidTga(const TgaHeader &header);

struct TgaResult
{
    Status status = Status::Unsupported;
    TgaHeader header;
    DibPicture picture;
};

TgaResult decodeTga(QByteArrayView file, qsizetype limit = DefaultBufferLimit);

} // namespace PictureDecode
