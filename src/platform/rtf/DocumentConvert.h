#pragma once

#include <QByteArray>
#include <QString>

#include "platform/SafeFile.h"
#include "platform/rtf/PlainTextCodec.h"

class QTextDocument;

// Loading, saving and converting documents by file type, with the same reader and writer the
// rich text control uses: Rich Text (".rtf", ".rtt") and the plain-text types.
namespace DocumentConvert {
enum class FileKind { Unknown, RichText, PlainText };

// The kind a file's extension names (compared in capitals).
FileKind kindOfPath(const QString &path);

// Writes data to path with SafeFile::write (the old file stays whole when writing fails, and
// the new one keeps its owner, mode and links).
bool writeFileAtomically(const QString &path, const QByteArray &data, QString *error = nullptr);
// Why a read or write failed, for a message on the command line.
QString problemText(const SafeFile::Result &result);

// The document's text for a plain-text file: paragraphs and line breaks as "\n", list
// paragraphs led by their marker and a tab, pictures left out.
QString plainText(const QTextDocument &document);

// Replaces the document with the file's content: RTF when the bytes are RTF, otherwise plain
// text (whose encoding and line endings are returned in textInfo when given).
bool load(const QString &path, QTextDocument &document, PlainText::Decoded *textInfo = nullptr,
          QString *error = nullptr);

// A summary of the document's formatting for comparisons with other programs: one JSON
// object per paragraph with its text, alignment, indents (twips), bullet, and character runs
// (length, bold, italic, underline, size in points, colour).
QByteArray formatReport(const QTextDocument &document);

// Converts in to out by their extensions (RTF or plain text either way). False with a message
// when a file cannot be read or written or a type is not a document type.
bool convert(const QString &in, const QString &out, QString *error = nullptr);
} // namespace DocumentConvert
