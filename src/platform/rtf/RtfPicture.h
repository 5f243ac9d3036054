#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures as RTF carries them: the encoded bytes and the controls of a \pict group, turned
// into an image the document can show; and the inverse for the writer.
namespace RtfPicture {
struct Source
{
    QString kind;             // "png", "jpeg", "dib", "wbitmap", "wmf", "emf", "pict"
    QByteArray data;          // the bytes as read (hex decoded)
    int picw = 0, pich = 0;   // pixels for bitmaps, 0.01 mm for metafiles
    int goalw = 0, goalh = 0; // twips
    int scalex = 100, scaley = 100;
    int wbmBitsPixel = 1, wbmPlanes = 1, wbmWidthBytes = 0;
};

struct Decoded
{
    QImage image;    // a stand-in of the right shape when the picture cannot be drawn
    QString kind;    // what the writer keeps ("png", "jpeg", "wmf", "emf", "dib")
    QByteArray data; // the bytes to keep (a whole BMP file for device-dependent bitmaps)
    int widthTwips = 0, heightTwips = 0;
    bool drawable = false;
};

Decoded decode(const Source &source);
// A grey frame standing in for a picture that cannot be drawn.
QImage placeholder();
} // namespace RtfPicture
