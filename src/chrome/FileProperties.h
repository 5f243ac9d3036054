#pragma once

#include <QDateTime>
#include <QString>
#include <QtGlobal>

class QTextDocument;

// What the properties dialog shows about a file, as pure functions of the file system and of
// the values passed in, so each can be checked without the dialog.
namespace FileProperties {

// "1,023 Bytes"; "1.50KB (1,536 Bytes)"; "20.0KB (20,480 Bytes)"; up to GB.
QString sizeText(qint64 bytes);
// A number with "," between thousands ("#,##0").
QString grouped(qint64 number);
// The path with each existing component in the letter case it has on disk; the part from the
// first component that cannot be found on stays as given.
QString properCasePath(const QString &path);
// The text up to its first character 0.
QString trimNull(const QString &text);
// The folder of a file as the Location field shows it ("/" for a file in the root folder).
QString locationText(const QString &path);
// The desktop's name of the file's type; the extension in capitals + " file" when it has none.
QString typeName(const QString &path);
// A modification time as the long date, a blank and the long time of the user's locale.
QString modifiedText(const QDateTime &time);

// The file attributes Linux has: read-only (nobody may write it), hidden (a name starting with
// "."). There is no archive attribute.
struct Attributes
{
    bool readOnly = false;
    bool hidden = false;
    bool archive = false;
};
Attributes attributes(const QString &path);

// Pages the document fills on a page of the given printable size in twips (at least 1).
int estimatePages(const QTextDocument &document, int printableWidthTwips, int printableHeightTwips);
// The printable area of the current page set-up in twips: the page less the margins
// "Page Margin 0" to "Page Margin 3" (inches, default 1).
int printableWidthTwips();
int printableHeightTwips();

} // namespace FileProperties
