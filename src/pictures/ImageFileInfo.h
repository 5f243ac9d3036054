#pragma once

#include <QByteArrayView>
#include <QtGlobal>

// Recognises a GIF, JPEG, PNG or BMP picture by its first 65,536 bytes and reads its size and
// colour depth. Pure, so the fuzzer drives it directly; clsLibrary::GETIMAGEFILEINFO reads the
// file and keeps the result in the program-wide picture fields.
namespace ImageFileInfo {

enum Kind : qint32 { Unknown = 0, Gif = 1, Jpeg = 2, Png = 3, Bmp = 4 };

constexpr qsizetype HeadSize = 65536;

struct Info
{
    qint32 kind = Unknown;
    qint32 width = 0;
    qint32 height = 0;
    qint32 bitDepth = 0;
};

// Examines `head` (the start of a file; bytes past its end read as zeros) and updates `info`.
// The kind is always set; a width or height of 32,768 or more ends the examination, leaving
// the fields not yet reached as they were, as does an unrecognised file.
void examine(QByteArrayView head, Info &info);

} // namespace ImageFileInfo
