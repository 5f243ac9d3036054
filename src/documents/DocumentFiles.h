#pragma once

#include <QString>

#include "platform/SafeFile.h"

class RichTextBox;

// Reading and writing documents for the document windows, and what the user is told when it
// fails.
namespace DocumentFiles {

// True when the file's permissions allow nobody to write it (the read-only attribute), whoever
// runs the program.
bool isReadOnlyFile(const QString &path);
// Writes the control's content to path, as RTF or as plain text. Refuses a read-only file;
// a failed write leaves the old file as it was.
SafeFile::Result write(RichTextBox &rtf, const QString &path, bool richText);
// True when the two paths name the same file (the same file on the same disk, whatever links
// or spellings lead to it).
bool sameFile(const QString &a, const QString &b);
// True when the content holds what a plain-text file cannot keep: pictures, tables, lists,
// character formatting or a font other than the control's own, aligned or indented paragraphs.
bool hasFormatting(const RichTextBox &rtf);

// Tells the user why `path` could not be opened.
void reportOpenProblem(const QString &path, const SafeFile::Result &result);
// Tells the user why the document could not be saved as `path`.
void reportSaveProblem(const QString &path, const SafeFile::Result &result);

// Documents take about this many times their file's size in memory once open and laid out.
constexpr qint64 MemoryPerFileByte = 8;
// Files larger than this, or than a share of the memory available that they would not fit in
// comfortably, are opened only when the user says so.
constexpr qint64 LargeFileBytes = 64LL * 1024 * 1024;
// True when the file is small enough to open without asking, or the user chose to open it.
bool confirmLargeFile(const QString &path);

} // namespace DocumentFiles
