#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

// Sizes and draws one kind of object (pictures, kept objects) in a document's layout with a
// pair of functions.
class TextObjectHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    using Size = QSizeF (*)(QTextDocument *doc, int posInDocument, const QTextFormat &format);
    using Draw = void (*)(QPainter *painter, const QRectF &rect, QTextDocument *doc,
                          int posInDocument, const QTextFormat &format);

    // Makes the document's current layout size and draw objects of objectType with these
    // functions; nothing when the layout has a handler of that name already. Call again after
    // the document's layout changes.
    static void install(QTextDocument &document, int objectType, const char *name, Size size,
                        Draw draw);

    QSizeF intrinsicSize(QTextDocument *doc, int posInDocument, const QTextFormat &format) override
    {
        return m_size(doc, posInDocument, format);
    }
    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int posInDocument,
                    const QTextFormat &format) override
    {
        m_draw(painter, rect, doc, posInDocument, format);
    }

private:
    TextObjectHandler(QObject *parent, Size size, Draw draw)
        : QObject(parent), m_size(size), m_draw(draw)
    {}
    Size m_size;
    Draw m_draw;
};
