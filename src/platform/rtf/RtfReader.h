#pragma once

#include <QByteArray>
#include <QByteArrayView>

class QTextCursor;
class QTextDocument;

// Reads RTF into a QTextDocument, represented as TextFormats.h describes.
namespace Rtf {
// True when the data starts (after optional white space) with "{\rtf".
bool isRtf(QByteArrayView data);
// Replaces the document's content with the RTF; false when the data is not RTF (the document
// is then left empty). Malformed RTF reads as far as it makes sense.
bool read(QByteArrayView data, QTextDocument &document);
// Inserts the RTF's content at the cursor (replacing its selection), as pasting would.
bool insert(QByteArrayView data, QTextCursor &cursor);
} // namespace Rtf
