#pragma once

#include <QString>

// Where the program's own files live.
namespace AppPaths {
// The folder holding the program's data files (templates, "Words.dic", help): the build's data
// folder when run from a build, the installed data folder otherwise. No trailing separator.
QString programFolder();
// Overrides the program folder (tests); an empty path restores the default.
void setProgramFolder(const QString &path);
// The user's home folder (what the program calls its Windows folder). No trailing separator.
QString homeFolder();
// The desktop folder (XDG), or empty when there is none.
QString desktopFolder();
// The user's documents folder (XDG), or the home folder when it does not exist. Where the file
// dialogs start on first use and where user files go by default. No trailing separator.
QString documentsFolder();
// Overrides the documents folder (tests); an empty path restores the default.
void setDocumentsFolder(const QString &path);
// The user's pictures folder (XDG), or the home folder when it does not exist.
QString picturesFolder();
} // namespace AppPaths
