// The bitmap builder of clsLibrary: colour tables, screen bitmaps from decoded pixel buffers,
// painting into picture boxes, and the picture-file header helpers.
#include "core/clsLibrary.h"

#include <QPainter>

#include "core/AppState.h"
#include "pictures/DibImage.h"
#include "pictures/ImageFileInfo.h"
#include "pictures/PictureBox.h"
#include "pictures/PictureUnits.h"
#include "platform/SafeFile.h"

namespace {

template <int N>
bool createBitmap(BitmapInfo<N> &info, int bits, QByteArray pixels, qint32 width, qint32 height,
                  bool topDown)
{
    info.bmiHeader = BitmapInfoHeader();
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = topDown ? -height : height;
    info.bmiHeader.biBitCount = quint16(bits);
    const QImage image =
        DibImage::build(info.bmiHeader, info.bmiColors.data(), N, std::move(pixels));
    if (image.isNull())
        return false;
    AppState::instance().CurrentBitmap = image;
    return true;
}

// The leading number of a text, as a user typed it ("8", " 24 bit"); 0 when there is none.
double leadingNumber(const QString &text)
{
    const QString t = text.trimmed();
    qsizetype end = 0;
    if (end < t.size() && (t[end] == QLatin1Char('+') || t[end] == QLatin1Char('-')))
        ++end;
    while (end < t.size() && (t[end].isDigit() || t[end] == QLatin1Char('.')))
        ++end;
    bool ok = false;
    const double v = t.left(end).toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace

void clsLibrary::INITCOLORTBL1() const
{
    auto &table = AppState::instance().BitmapInfo1.bmiColors;
    table[0] = {0, 0, 0, 0};
    table[1] = {255, 255, 255, 0};
}

void clsLibrary::INITCOLORTBL4(const QByteArray &palette) const
{
    auto &table = AppState::instance().BitmapInfo4.bmiColors;
    DibImage::fillColourTable(table.data(), int(table.size()), palette);
}

void clsLibrary::INITCOLORTBL8(const QByteArray &palette) const
{
    auto &table = AppState::instance().BitmapInfo8.bmiColors;
    DibImage::fillColourTable(table.data(), int(table.size()), palette);
}

bool clsLibrary::CREATEBMP1(const QByteArray &pixels, qint32 width, qint32 height,
                            bool topDown) const
{
    return createBitmap(AppState::instance().BitmapInfo1, 1, pixels, width, height, topDown);
}

bool clsLibrary::CREATEBMP4(const QByteArray &pixels, qint32 width, qint32 height,
                            bool topDown) const
{
    return createBitmap(AppState::instance().BitmapInfo4, 4, pixels, width, height, topDown);
}

bool clsLibrary::CREATEBMP8(const QByteArray &pixels, qint32 width, qint32 height,
                            bool topDown) const
{
    return createBitmap(AppState::instance().BitmapInfo8, 8, pixels, width, height, topDown);
}

bool clsLibrary::CREATEBMP16(const QByteArray &pixels, qint32 width, qint32 height,
                             bool topDown) const
{
    return createBitmap(AppState::instance().BitmapInfo16, 16, pixels, width, height, topDown);
}

bool clsLibrary::CREATEBMP24(QByteArray pixels, qint32 width, qint32 height, bool topDown) const
{
    // The pixel buffer becomes the bitmap's own 32-bit words (no copy when not shared).
    return createBitmap(AppState::instance().BitmapInfo32, 32, std::move(pixels), width, height,
                        topDown);
}

void clsLibrary::DRAWBITMAP(qint32 width, qint32 height, PictureBox *box, quint8 autoScale) const
{
    if (!box)
        return;
    box->clearPicture();
    const int savedMode = box->scaleMode();
    box->setScaleMode(PictureBox::Twips);
    if (autoScale == 1) {
        const QSize twips = PixelsToTwips(QSize(width, height));
        box->setSizeTwips(twips.width(), twips.height());
    }
    QSize dest;
    if (box->heightTwips() != box->scaleHeight()) {
        // A bordered box: the picture covers what was its outer size, and the box grows so
        // that its inner area is that size.
        const int outerW = box->widthTwips();
        const int outerH = box->heightTwips();
        dest = TwipsToPixels(QSize(outerW, outerH));
        box->setSizeTwips(2 * outerW - box->scaleWidth(), 2 * outerH - box->scaleHeight());
    } else {
        box->setScaleMode(PictureBox::Pixels);
        dest = QSize(box->scaleWidth(), box->scaleHeight());
    }
    const QImage &bitmap = AppState::instance().CurrentBitmap;
    if (!bitmap.isNull())
        box->paintPicture(bitmap, QRect(0, 0, width, height), dest);
    box->setScaleMode(savedMode);
}

void clsLibrary::GETIMAGEFILEINFO() const
{
    AppState &state = AppState::instance();
    ImageFileInfo::Info info{0, state.ImageWidth, state.ImageHeight, state.ImageBitDepth};
    QByteArray head;
    if (SafeFile::read(state.ImageFileName, head, ImageFileInfo::HeadSize).ok())
        ImageFileInfo::examine(head, info);
    state.ImageKind = info.kind;
    state.ImageWidth = info.width;
    state.ImageHeight = info.height;
    state.ImageBitDepth = info.bitDepth;
}

QString clsLibrary::GETCOLORDEPTH(const QString &depth) const
{
    const double value = leadingNumber(depth);
    if (value == 1)
        return QStringLiteral("2 colors (1 bit)");
    if (value == 4)
        return QStringLiteral("16 colors (4 bit)");
    if (value == 8)
        return QStringLiteral("256 colors (8 bit)");
    if (value == 24)
        return QStringLiteral("16 million colors (24 bit)");
    return QString();
}
