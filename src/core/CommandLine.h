#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The command-line conventions every Pamphlexa program follows, in the usual GNU form:
// --help and --version print to standard output and exit 0; a bad argument prints the program's
// name with the reason, its usage line and a pointer to --help to standard error and exits 2.
namespace CommandLine {

inline constexpr int UsageStatus = 2;

struct Program
{
    QString name;        // "pamphlexa-convert"
    QStringList usages;  // what follows the name on each usage line: "[OPTION]... IN OUT"
    QString description; // what the program does, one paragraph or more
    QString options;     // the program's own option lines, formatted; empty for none
    QString epilogue;    // closing notes (exit status, files), or empty
};

// The text --help prints.
QString helpText(const Program &program);
// The text --version prints.
QString versionText(const Program &program);
// The text standard error gets for a bad argument.
QString usageErrorText(const Program &program, const QString &message);

// Looks for --help and --version among the arguments before a "--" (argv as main() receives
// it, so this runs before any application object, without a display). When one is there,
// prints its text and gives the exit status 0.
std::optional<int> handleInfoOptions(const Program &program, int argc, char **argv);
// Prints the usage error for message and gives the exit status 2.
int usageError(const Program &program, const QString &message);

} // namespace CommandLine
