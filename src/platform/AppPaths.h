#pragma once

#include <QString>

// Where the program's own files live.
namespace AppPaths {
// The folder holding the program's data files (templates, "Words.dic", help): the build's data
// folder when run from a build, the installed data folder otherwise. No trailing separator.
QString programFolder();
// Overrides the program folder (tests); an empty path restores the default.
void setProgramFolder(const QString &path);
// The recovery copies of modified documents: $XDG_STATE_HOME/pamphlexa/recovery
// (~/.local/state/pamphlexa/recovery by default).
QString recoveryFolder();
// The user's home folder (what the program calls its Windows folder). No trailing separator.
QString homeFolder();
// The desktop folder (XDG), or empty when there is none.
QString desktopFolder();
} // namespace AppPaths
