#include "platform/rtf/RtfReader.h"

#include "platform/rtf/reader/Reader.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

// The reader itself is in reader/ (Reader.h lists its pieces).

bool Rtf::isRtf(QByteArrayView data)
{
    qsizetype i = 0;
    // A UTF-8 byte order mark in front is tolerated, as is white space.
    if (data.size() >= 3 && data.first(3) == QByteArrayView("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

bool Rtf::read(QByteArrayView data, QTextDocument &document, ReadControl *control)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    if (!isRtf(data)) {
        document.setUndoRedoEnabled(undo);
        return false;
    }
    RtfRead::Reader reader(data, document, false);
    reader.run(control);
    document.setUndoRedoEnabled(undo);
    return !control || !control->cancel;
}

bool Rtf::insert(QByteArrayView data, QTextCursor &cursor, FinalMark finalMark)
{
    if (!isRtf(data) || !cursor.document())
        return false;
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    RtfRead::Reader reader(data, scratch, finalMark == FinalMark::Breaks);
    reader.run();
    // Pictures travel as resources of the document that shows them.
    QTextDocument *target = cursor.document();
    for (QTextBlock b = scratch.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QString name = f.toImageFormat().name();
            target->addResource(QTextDocument::ImageResource, QUrl(name),
                                scratch.resource(QTextDocument::ImageResource, QUrl(name)));
        }
    }
    cursor.insertFragment(QTextDocumentFragment(&scratch));
    return true;
}
