#pragma once

#include <QString>

class frmMain;

// The start-up routine.
namespace modMain {
// Runs the program with its command-line arguments and returns its exit code.
int Main(int argc, char **argv);
// The start-up steps once the application object exists: loads the main window, opens the
// command-line document (the whole argument text is one path), shows the window. The caller
// owns the window.
frmMain *Start(const QString &commandLine);
// Opens the command-line file into the first document and adds it to the recent files list.
void OpenCommandLineFile(frmMain &main, const QString &path);
} // namespace modMain
