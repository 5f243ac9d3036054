// Pictures.
#include "platform/rtf/writer/Writer.h"

#include "platform/rtf/TextFormats.h"

#include <QBuffer>
#include <QImage>
#include <QTextDocument>
#include <QUrl>

#include <cmath>

using namespace TextFormats;

namespace RtfWrite {

void Writer::writePicture(const QTextImageFormat &f)
{
    QByteArray data = f.property(PictureData).toByteArray();
    QString kind = f.property(PictureKind).toString();
    const QImage image =
        m_doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    if (data.isEmpty() ||
        (kind != "png" && kind != "jpeg" && kind != "wmf" && kind != "emf" && kind != "pict")) {
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = QStringLiteral("png");
    }
    // Display size in twips: the exact value read, unless the picture was resized since.
    auto displayTwips = [&f](int property, qreal pixels, int natural) {
        if (pixels <= 0)
            return natural;
        const int fromPixels = int(std::lround(pixels / PixelsPerTwip));
        if (f.hasProperty(property) && std::abs(f.intProperty(property) - fromPixels) <= 8)
            return f.intProperty(property);
        return fromPixels;
    };
    const int naturalW = image.isNull() ? 1440 : image.width() * 15;
    const int naturalH = image.isNull() ? 1440 : image.height() * 15;
    const int goalw = displayTwips(PictureWidthTwips, f.width(), naturalW);
    const int goalh = displayTwips(PictureHeightTwips, f.height(), naturalH);
    m_body.append("{\\pict");
    const bool metafile = kind == "wmf" || kind == "emf" || kind == "pict";
    if (kind == "png")
        m_body.append("\\pngblip");
    else if (kind == "jpeg")
        m_body.append("\\jpegblip");
    else if (kind == "wmf")
        m_body.append("\\wmetafile8");
    else if (kind == "emf")
        m_body.append("\\emfblip");
    else
        m_body.append("\\macpict");
    const int picw = metafile ? int(qint64(goalw) * 2540 / 1440) : image.width();
    const int pich = metafile ? int(qint64(goalh) * 2540 / 1440) : image.height();
    m_body.append("\\picw" + QByteArray::number(picw) + "\\pich" + QByteArray::number(pich) +
                  "\\picwgoal" + QByteArray::number(goalw) + "\\pichgoal" +
                  QByteArray::number(goalh) + "\r\n");
    static const char hex[] = "0123456789abcdef";
    const qsizetype start = m_body.size();
    m_body.resize(start + data.size() * 2 + data.size() / 64 * 2);
    char *out = m_body.data() + start;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        *out++ = hex[b >> 4];
        *out++ = hex[b & 15];
        if (i % 64 == 63) {
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    m_body.resize(out - m_body.data());
    m_body.append('}');
    m_delimit = false;
}

} // namespace RtfWrite
