#pragma once

#include <QByteArray>
#include <QString>

class RichTextBox;

// Reading and writing documents for the document windows.
namespace DocumentFiles {

// True when the file's permissions allow nobody to write it (the read-only attribute), whoever
// runs the program.
bool isReadOnlyFile(const QString &path);
// Reads a whole file in pieces of 2048 bytes; false when it cannot be read.
bool readWhole(const QString &path, QByteArray &data);
// Writes the control's content to path, as RTF or as plain text. Refuses a read-only file;
// a failed write leaves the old file as it was. True when written.
bool write(RichTextBox &rtf, const QString &path, bool richText);

} // namespace DocumentFiles
