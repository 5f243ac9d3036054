#pragma once

#include <QString>

// Where the program's own files live, and where the user's files go.
//
// The program folder holds the shipped data the program only reads: the templates, the shipped
// "Words.dic", the manual. Everything the program writes goes to the user's XDG folders
// instead, and is read after the shipped copy.
namespace AppPaths {

// How the program folder was found.
enum class Source {
    Overridden, // named by setProgramFolder() or $PAMPHLEXA_PROGRAM_FOLDER
    Installed,  // <prefix>/share/pamphlexa beside <prefix>/bin
    Build,      // the data folder of the build the executable belongs to
};

struct ProgramFolder
{
    QString path; // no trailing separator
    Source source = Source::Installed;
};

// Works out the program folder from the executable's folder, the build folder and its data
// folder, and an override (empty for none). The override wins. An executable with the
// installed layout beside it (<dir>/../share/pamphlexa) reads from there. An executable inside
// the build folder reads the build's data. Any other executable counts as installed even when
// its data is missing: it never falls back to a build folder.
ProgramFolder resolveProgramFolder(const QString &executableFolder, const QString &buildFolder,
                                   const QString &buildDataFolder, const QString &overridePath);
// The program folder of the running process (resolveProgramFolder with its own facts).
ProgramFolder locateProgramFolder();
// The folder holding the program's data files. No trailing separator.
QString programFolder();
// Overrides the program folder (tests); an empty path restores the default.
void setProgramFolder(const QString &path);

// The shipped word list: "Words.dic" in the program folder.
QString shippedWordList();
// The first page of the user's manual, in the program folder.
QString manualFile();

// The user's data folder: $XDG_DATA_HOME/pamphlexa (~/.local/share/pamphlexa by default).
QString userDataFolder();
// The words the user added to the spelling checker's list: "Words.dic" in the data folder.
QString userWordList();
// The user's own templates: "templates" in the data folder.
QString userTemplatesFolder();
// The recovery copies of modified documents: $XDG_STATE_HOME/pamphlexa/recovery
// (~/.local/state/pamphlexa/recovery by default).
QString recoveryFolder();
// Creates folder and its parents when missing; true when it exists afterwards.
bool ensureFolder(const QString &folder);

// Where a file meant for the program folder is written instead, under the same name: a
// template (".rtt") in the user's templates folder, any other file in the user's data folder.
// A path outside the program folder stays as it is.
QString writablePath(const QString &path);

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
