#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <atomic>

class QTextCursor;
class QTextDocument;

// Reads RTF into a QTextDocument, represented as TextFormats.h describes.
namespace Rtf {
// True when the data starts (after optional white space) with "{\rtf".
bool isRtf(QByteArrayView data);
// Lets another thread follow a read and stop it.
struct ReadControl
{
    std::atomic<qint64> done{0}; // bytes read so far, updated every 64 KB
    std::atomic<bool> cancel{false};
};
// Replaces the document's content with the RTF; false when the data is not RTF (the document
// is then left empty) or the read was cancelled (the document then holds what was read so
// far). Malformed RTF reads as far as it makes sense.
bool read(QByteArrayView data, QTextDocument &document, ReadControl *control = nullptr);
// What the data's final paragraph mark does when it is inserted in front of more text.
enum class FinalMark {
    // It breaks the paragraph, as it did where the data was copied from (a selection that
    // took a paragraph's mark along).
    Breaks,
    // It ends the inserted text, as it ends a whole document: the text after the cursor
    // continues the last inserted paragraph, so a document's TextRTF put back as SelRTF
    // lands exactly where the selection was.
    EndsContent,
};
// Inserts the RTF's content at the cursor (replacing its selection), as pasting would.
bool insert(QByteArrayView data, QTextCursor &cursor, FinalMark finalMark = FinalMark::Breaks);
} // namespace Rtf
