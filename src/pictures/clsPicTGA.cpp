#include "pictures/clsPicTGA.h"

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "pictures/PictureReader.h"
#include "pictures/PictureUnits.h"

qint32 clsPicTGA::LOADTGA(const QString &path)
{
    const PictureReader::FileBytes file(path);
    m_header = PictureDecode::readTgaHeader(file.head(18));
    AppState::instance().ImageSizeTwips = PixelsToTwips(QSize(m_header.width, m_header.height));
    const int depth = m_header.pixelDepth;
    if (depth == 16) {
        clsLibrary::instance().MESSAGEBOX(22);
        return 0;
    }
    if (depth != 8 && depth != 24 && depth != 32)
        return 0;
    m_width = m_header.width;
    m_height = m_header.height;
    m_topDown = (m_header.descriptor & 0x20) != 0;
    if (file.bytes().isEmpty())
        return 0;
    PictureDecode::TgaResult result = PictureDecode::decodeTga(file.bytes());
    if (result.status == PictureDecode::Status::Ok)
        PictureReader::buildCurrentBitmap(std::move(result.picture));
    return 0;
}

quint8 clsPicTGA::ISTGA() const
{
    return PictureDecode::isValidTga(m_header) ? 1 : 0;
}

qint32 clsPicTGA::TGAWIDTH() const
{
    if (m_scaleMode == 0)
        return m_width;
    return m_scaleMode == 1 ? AppState::instance().ImageSizeTwips.width() : 0;
}

qint32 clsPicTGA::TGAHEIGHT() const
{
    if (m_scaleMode == 0)
        return m_height;
    return m_scaleMode == 1 ? AppState::instance().ImageSizeTwips.height() : 0;
}

qint32 clsPicTGA::DRAWTGA(PictureBox *box) const
{
    clsLibrary::instance().DRAWBITMAP(m_width, m_height, box, m_autoScale);
    return 0;
}
