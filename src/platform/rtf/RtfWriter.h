#pragma once

#include <QByteArray>

class QIODevice;
class QTextDocument;

// Writes a QTextDocument (as TextFormats.h describes it) as RTF that other word processors read
// back unchanged.
namespace Rtf {
// The whole document, or the document positions [from, to) as a complete RTF document.
QByteArray write(const QTextDocument &document, int from = 0, int to = -1);
// The whole document written to out as it is made, the same bytes, without holding them all in
// memory. False when a write to out failed.
bool write(const QTextDocument &document, QIODevice &out);
} // namespace Rtf
