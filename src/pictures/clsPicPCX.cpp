#include "pictures/clsPicPCX.h"

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "pictures/PictureReader.h"
#include "pictures/PictureUnits.h"

qint32 clsPicPCX::LOADPCX(const QString &path)
{
    const PictureReader::FileBytes file(path);
    const QByteArray head = file.head(128);
    PictureDecode::PcxResult result =
        PictureDecode::decodePcx(file.bytes().isEmpty() ? QByteArrayView(head) : file.bytes());
    m_header = result.header;
    if (!result.sizeValid) {
        m_width = m_height = 0;
        return 0;
    }
    m_width = result.width;
    m_height = result.height;
    AppState::instance().ImageSizeTwips = PixelsToTwips(QSize(m_width, m_height));
    if (result.status == PictureDecode::Status::Ok && !file.bytes().isEmpty())
        PictureReader::buildCurrentBitmap(std::move(result.picture));
    return 0;
}

quint8 clsPicPCX::ISPCX() const
{
    return PictureDecode::isValidPcx(m_header) ? 1 : 0;
}

qint32 clsPicPCX::PCXWIDTH() const
{
    if (m_scaleMode == 0)
        return m_width;
    return m_scaleMode == 1 ? AppState::instance().ImageSizeTwips.width() : 0;
}

qint32 clsPicPCX::PCXHEIGHT() const
{
    if (m_scaleMode == 0)
        return m_height;
    return m_scaleMode == 1 ? AppState::instance().ImageSizeTwips.height() : 0;
}

void clsPicPCX::SCALEMODE(qint16 mode)
{
    m_scaleMode = mode > 0 ? 1 : mode;
}

qint32 clsPicPCX::DRAWPCX(PictureBox *box) const
{
    clsLibrary::instance().DRAWBITMAP(m_width, m_height, box, m_autoScale);
    return 0;
}
