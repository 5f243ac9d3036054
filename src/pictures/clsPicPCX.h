#pragma once

#include <QByteArray>
#include <QString>

#include "pictures/PictureDecode.h"

class PictureBox;

// Reads PCX pictures (monochrome, 16-colour planar and packed, 256-colour, 24-bit; plain or
// run-length encoded) into the current bitmap and draws them into a picture box.
class clsPicPCX
{
public:
    // Reads the file's header and sizes, decodes the picture and builds the current bitmap.
    // Always 0; a combination without a decoder leaves the current bitmap as it was.
    qint32 LOADPCX(const QString &path);
    // 1 when the header last read is a PCX header, else 0.
    quint8 ISPCX() const;
    // The picture's size: in pixels (scale mode 0), in twips (scale mode 1), else 0.
    qint32 PCXWIDTH() const;
    qint32 PCXHEIGHT() const;
    // 0 pixels, above 0 twips (stored as 1); negative values are kept and size reads give 0.
    void SCALEMODE(qint16 mode);
    // 1 sizes the picture box to the picture when drawing.
    void AUTOSCALE(quint8 flag) { m_autoScale = flag; }
    // Paints the current bitmap into the box. Always 0.
    qint32 DRAWPCX(PictureBox *box) const;

    const PictureDecode::PcxHeader &header() const { return m_header; }

private:
    PictureDecode::PcxHeader m_header;
    qint32 m_width = 0;
    qint32 m_height = 0;
    qint16 m_scaleMode = 1;
    quint8 m_autoScale = 1;
};
