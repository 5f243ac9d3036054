#pragma once

#include <QByteArray>
#include <QString>

#include "pictures/PictureDecode.h"

// What the PCX and Targa readers share: reading a picture file and handing a decoded picture
// to the bitmap builder.
namespace PictureReader {

// Files larger than this are not decoded (no picture of the size limit needs more).
constexpr qint64 MaxFileSize = qint64(1) << 30;

// The whole file, or empty when it cannot be read or is too large; `head` gets the first
// `headSize` bytes even then.
QByteArray readFile(const QString &path, qsizetype headSize, QByteArray *head);

// Sets the builder's colour table for the picture's depth and builds the current bitmap.
bool buildCurrentBitmap(PictureDecode::DibPicture picture);

} // namespace PictureReader
