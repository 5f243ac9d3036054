#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

// Pictures wider than the text area are laid out (shown and printed) scaled down to its width,
// keeping their proportions; their format keeps the size they were given and their image keeps
// its pixels, so a save writes them as they were.
namespace PictureFit {

// Makes the document's layout size and draw pictures this way. Without it a picture takes its
// given size whatever the width of the text.
void install(QTextDocument &document);

class ImageHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using QObject::QObject;
    QSizeF intrinsicSize(QTextDocument *doc, int posInDocument, const QTextFormat &format) override;
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int posInDocument,
                    const QTextFormat &format) override;
};

} // namespace PictureFit
