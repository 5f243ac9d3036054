#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include "pictures/PictureDecode.h"

// What the PCX and Targa readers share: reading a picture file and handing a decoded picture
// to the bitmap builder.
namespace PictureReader {

// Files larger than this are not decoded (no picture within the size limit needs more).
constexpr qint64 MaxFileSize = qint64(1) << 30;

// A picture file's bytes; empty when the file cannot be read or is too large.
class FileBytes
{
public:
    explicit FileBytes(const QString &path);

    QByteArrayView bytes() const { return m_bytes; }
    // The first bytes of the file, also when it is too large to decode.
    QByteArray head(qsizetype size) const { return m_head.left(size); }

private:
    QByteArray m_bytes;
    QByteArray m_head;
};

// Sets the builder's colour table for the picture's depth and builds the current bitmap.
bool buildCurrentBitmap(PictureDecode::DibPicture picture);

} // namespace PictureReader
