#pragma once

#include <QString>
#include <QStringList>

class frmMain;

// The start-up routine.
namespace modMain {
// Runs the program with its command-line arguments and returns its exit code.
int Main(int argc, char **argv);
// The start-up steps once the application object exists: loads the main window, opens the
// command-line document (the whole argument text is one path), shows the window. The caller
// owns the window.
frmMain *Start(const QString &commandLine);
// The same with the documents a command line names (see CommandLineFiles): the first opens into
// the first document, each further one in a window of its own.
frmMain *Start(const QStringList &files);
// The documents the arguments after the options name: all of them as one path, blanks included.
// When nothing has that name but one of the arguments names a file, each argument is a path of
// its own, as a shell passes several names ("pamphlexa *.rtf").
QStringList CommandLineFiles(const QStringList &arguments);
// Opens the command-line file into the first document and adds it to the recent files list.
void OpenCommandLineFile(frmMain &main, const QString &path);
} // namespace modMain
