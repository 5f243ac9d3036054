#pragma once

#include <QString>

#include "pictures/PictureDecode.h"

class PictureBox;

// Reads Targa pictures (8-bit colour-mapped and grey, 24- and 32-bit true colour; plain or
// run-length encoded) into the current bitmap and draws them into a picture box. 16-bit
// pictures are refused with a message.
class clsPicTGA
{
public:
    // Reads the header, sets the picture's size in twips, decodes by pixel depth and builds
    // the current bitmap. Always 0.
    qint32 LOADTGA(const QString &path);
    // 1 when the header last read has a known image type and pixel depth, else 0.
    quint8 ISTGA() const;
    // The picture's size: in pixels (scale mode 0), in twips (scale mode 1), else 0.
    qint32 TGAWIDTH() const;
    qint32 TGAHEIGHT() const;
    // 1 sizes the picture box to the picture when drawing.
    void AUTOSCALE(quint8 flag) { m_autoScale = flag; }
    // Paints the current bitmap into the box. Always 0.
    qint32 DRAWTGA(PictureBox *box) const;

    const PictureDecode::TgaHeader &header() const { return m_header; }
    bool topDown() const { return m_topDown; }

private:
    PictureDecode::TgaHeader m_header;
    qint32 m_width = 0;
    qint32 m_height = 0;
    qint16 m_scaleMode = 1;
    quint8 m_autoScale = 1;
    bool m_topDown = false;
};
