#pragma once

#include <QByteArray>
#include <QImage>

#include "core/BitmapInfo.h"
#include "pictures/PictureDecode.h"

// Turns a device-independent bitmap (a description and a pixel buffer whose rows are padded
// to a multiple of 4 bytes) into a screen image. Pure: the bitmap builder of clsLibrary, the
// converter and the fuzzers share it.
namespace DibImage {

// Builds the image described by `header` with the given colour table (`colourCount` entries).
// A pixel buffer shorter than the picture needs reads as if padded with zeros. Returns a null
// image when the size is not positive or the image would pass `limit` bytes.
QImage build(const BitmapInfoHeader &header, const RgbQuad *colours, int colourCount,
             QByteArray pixels, qsizetype limit = PictureDecode::DefaultBufferLimit);

// Builds the picture a reader decoded, with its own colour table.
QImage fromPicture(PictureDecode::DibPicture picture,
                   qsizetype limit = PictureDecode::DefaultBufferLimit);

// Colour tables from red, green, blue triples (missing triples are black).
void fillColourTable(RgbQuad *table, int count, QByteArrayView rgbTriples);

} // namespace DibImage
