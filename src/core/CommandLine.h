#pragma once

#include <QHash>
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

// The arguments after the program's name, sorted.
struct Arguments
{
    QStringList operands;           // what is not an option, in order
    QStringList flags;              // the options without a value that were given
    QHash<QString, QString> values; // the options with a value that were given (the last counts)
    bool has(const QString &option) const
    {
        return flags.contains(option) || values.contains(option);
    }
};

// Sorts arguments (QCoreApplication::arguments() without the first) into the options named in
// flagOptions, the options in valueOptions (each takes the next argument as its value) and
// operands. Options may stand anywhere before a "--"; what follows it, and "-" alone, are
// operands. An unknown option or a missing value prints its usage error: the result is then the
// exit status, else nothing.
std::optional<int> parseArguments(const Program &program, const QStringList &arguments,
                                  const QStringList &flagOptions, const QStringList &valueOptions,
                                  Arguments &out);
// Prints "missing file operand" or "extra operand 'X'" as a usage error unless there are min to
// max operands: the result is then the exit status, else nothing.
std::optional<int> checkOperands(const Program &program, const QStringList &operands, qsizetype min,
                                 qsizetype max);

} // namespace CommandLine
