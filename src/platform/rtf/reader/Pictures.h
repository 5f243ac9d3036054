#pragma once

#include "platform/rtf/RtfPicture.h"
#include "platform/rtf/reader/Reader.h"

namespace RtfRead {

// \pict groups (hex or \bin data) become images in the text; shapes give their picture,
// objects their result picture, old drawing objects the text of their text boxes.
class PicturesHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;
    void text(quint8 dest, const char *p, qsizetype n) override;
    void groupEnded(quint8 group, State &closing) override;

    // \bin data (in a picture or anywhere else).
    void binaryData(QByteArrayView data);

private:
    void finishPicture();

    RtfPicture::Source m_pict;
    int m_pictHigh = -1;
    bool m_shapePicture = false;
    QByteArray m_shapePropName;
};

} // namespace RtfRead
