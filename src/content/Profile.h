#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <array>

// The personal profile: 25 detail fields, the file "My Profile.mpd" that keeps them, and what the
// Insert menu's profile items insert. The file reader and writer are pure functions of bytes.
namespace Profile {

// The detail text boxes TXTDETAILS 0 to 24 (box 20 is not stored).
constexpr int FieldCount = 25;
// Records in the file, one per line.
constexpr int RecordCount = 25;
// Only this much of a file is read: a profile is a few hundred bytes, so anything larger is not
// one, and reading it whole would only cost memory.
constexpr qsizetype MaxFileBytes = 1 << 20;
// A field is cut to what a detail box takes. With this, a whole profile stays well below
// MaxFileBytes, so everything the dialog saves reads back.
constexpr qsizetype MaxFieldChars = 4096;

using Fields = std::array<QString, FieldCount>;

// The file name in the profile folder.
inline const QString FileName = QStringLiteral("My Profile.mpd");

// The text box record `record` (0-based) of the file is written from and read into, or -1 past
// the last record: records 0-19 hold boxes 0-19, records 20-23 boxes 21-24, record 24 box 24
// once more. Box 20 is not stored.
int recordBox(int record);

// The fields of a profile file. Each line is one record: a double-quoted field ("" inside it
// stands for one quote, anything after the closing quote is ignored) or, in a file edited by
// hand, the whole line without its surrounding blanks. Lines end in CR LF, LF or CR; the bytes
// are UTF-8 when valid, otherwise Windows-1252. Missing records leave their boxes empty; lines
// past the 25th and bytes past MaxFileBytes are ignored.
Fields parse(QByteArrayView bytes);
// The file for the fields: 25 quoted records, each ended by CR LF. Line breaks inside a value
// become blanks. Windows-1252 (the old 8-bit form) when it has every character and its bytes
// could not be mistaken for UTF-8, else UTF-8; either way parse() gives the fields back.
QByteArray serialize(const Fields &fields);

// The full path of the profile file: in the files folder the preferences name (see
// clsLibrary::FILESLOCATION), or in the user's data folder when that folder cannot be written.
QString filePath();

// Reads the profile file. A file that does not exist is created empty (when it can be); a file
// that cannot be read gives empty fields.
Fields load(const QString &path);
// Replaces the file atomically; false, leaving the old file as it was, when it cannot be written.
bool save(const QString &path, const Fields &fields);

// The Insert menu's profile items (MNUINSERTPSUB...), settings item excluded, in menu order.
const QStringList &menuItems();
// What the menu item inserts; empty for an unknown item. An address leaves out empty lines.
QString insertText(const Fields &fields, const QString &menuItem);
// Whether the menu item has something to insert: its field is filled (the full name when either
// name part is, an address when its first line is).
bool itemAvailable(const Fields &fields, const QString &menuItem);

} // namespace Profile
