#pragma once

#include <QString>
#include <QStringList>

// The document file types: which extensions exist, how each is read and written, and the
// filter lists of the open and save dialogs. Extensions compare in capitals.
namespace DocumentTypes {

// Default open filter index: "All Formats".
constexpr int DefaultOpenFilter = 11;

// True when the name's last three characters are "RTF" or "RTT" (read and written as RTF).
bool isRichText(const QString &name);
// The extension (".RTF", ".RTT", ".TXT", ...) of save filter index 1 to 12; empty otherwise.
QString saveExtension(int filterIndex);
// True when save filter index 1 or 2 (rich text) is chosen.
bool saveIndexIsRichText(int filterIndex);
// The name a Save As writes for the typed name and the chosen filter: the typed name when it
// already ends in the filter's extension, in "." plus three characters, or in ".HTML";
// otherwise the name with the filter's extension appended.
QString saveAsName(const QString &typed, int filterIndex);

// The open dialog's twelve filters, "Description (patterns)" in the program's order.
QStringList openFilters();
// The save dialog's twelve filters, one per save filter index.
QStringList saveFilters();

// The folder part of a path, up to and including its last separator.
QString folderOf(const QString &path);

} // namespace DocumentTypes
