#include "platform/PictureFit.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

#include "platform/TextObjectHandler.h"

namespace PictureFit {

namespace {

const char *const HandlerName = "pamphlexaPictureFit";

QImage imageOf(QTextDocument *doc, const QTextImageFormat &format)
{
    return doc->resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
}

QSizeF imageSize(QTextDocument *doc, int posInDocument, const QTextFormat &format)
{
    const QTextImageFormat f = format.toImageFormat();
    QSizeF size(f.width(), f.height());
    if (size.width() <= 0 || size.height() <= 0) {
        const QImage image = imageOf(doc, f);
        const QSizeF natural = image.isNull() ? QSizeF(16, 16) : QSizeF(image.size());
        if (size.width() > 0)
            size.setHeight(natural.height() * size.width() / natural.width());
        else if (size.height() > 0)
            size.setWidth(natural.width() * size.height() / natural.height());
        else
            size = natural;
    }
    if (QPaintDevice *device = doc->documentLayout()->paintDevice())
        size *= qreal(device->logicalDpiX()) / 96.0;
    // The room the paragraph leaves for its text.
    if (doc->textWidth() > 0) {
        const QTextBlockFormat block = doc->findBlock(posInDocument).blockFormat();
        const qreal room = doc->textWidth() - 2 * doc->documentMargin() - block.leftMargin() -
                           block.rightMargin() - std::max<qreal>(0, block.textIndent());
        if (room > 1 && size.width() > room)
            size = QSizeF(room, size.height() * room / size.width());
    }
    return size;
}

void drawImage(QPainter *painter, const QRectF &rect, QTextDocument *doc, int,
               const QTextFormat &format)
{
    const QImage image = imageOf(doc, format.toImageFormat());
    if (image.isNull())
        return;
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(rect, image);
    painter->restore();
}

} // namespace

void install(QTextDocument &document)
{
    TextObjectHandler::install(document, QTextFormat::ImageObject, HandlerName, imageSize,
                               drawImage);
}

} // namespace PictureFit
