#pragma once

#include <QImage>
#include <QString>

// Headless conversion of PCX and Targa pictures, with the program's own readers.

// True for the extensions the program decodes itself (".pcx", ".tga", any case).
bool isPictureExtension(const QString &path);

// Decodes a PCX or Targa file (chosen by extension) into an image; a null image and a message
// in `error` when the file cannot be read or gives no picture.
QImage decodePictureFile(const QString &path, QString *error);

// Decodes `in` and writes it to `out` as PNG, atomically; false with a message in `error`.
bool convertPictureToPng(const QString &in, const QString &out, QString *error);
