#include "core/CommandLine.h"

#include <cstdio>
#include <cstring>

#include "core/Identity.h"

namespace {

QString version()
{
    return QString::number(PAMPHLEXA_VERSION_MAJOR) + QLatin1Char('.') +
           QString::number(PAMPHLEXA_VERSION_MINOR);
}

void print(FILE *to, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
    std::fflush(to);
}

QString usageLines(const CommandLine::Program &program)
{
    QString out;
    for (qsizetype i = 0; i < program.usages.size(); ++i)
        out += (i == 0 ? QStringLiteral("Usage: ") : QStringLiteral("  or:  ")) + program.name +
               QLatin1Char(' ') + program.usages.at(i) + QLatin1Char('\n');
    return out;
}

} // namespace

QString CommandLine::helpText(const Program &program)
{
    QString out = usageLines(program);
    out += program.description.trimmed() + QStringLiteral("\n\nOptions:\n");
    if (!program.options.isEmpty())
        out += program.options.endsWith(QLatin1Char('\n')) ? program.options
                                                           : program.options + QLatin1Char('\n');
    out += QStringLiteral("      --help     display this help and exit\n"
                          "      --version  output version information and exit\n");
    if (!program.epilogue.isEmpty())
        out += QLatin1Char('\n') + program.epilogue.trimmed() + QLatin1Char('\n');
    out += QStringLiteral("\n%1 home page: <%2>\n").arg(Identity::AppTitle, Identity::WebAddress);
    return out;
}

QString CommandLine::versionText(const Program &program)
{
    return QStringLiteral("%1 (%2) %3\n%4\n")
        .arg(program.name, Identity::AppTitle, version(), Identity::LegalNotice);
}

QString CommandLine::usageErrorText(const Program &program, const QString &message)
{
    QString out = program.name + QStringLiteral(": ") + message + QLatin1Char('\n');
    if (!program.usages.isEmpty())
        out += QStringLiteral("Usage: ") + program.name + QLatin1Char(' ') +
               program.usages.first() + QLatin1Char('\n');
    out += QStringLiteral("Try '%1 --help' for more information.\n").arg(program.name);
    return out;
}

std::optional<int> CommandLine::handleInfoOptions(const Program &program, int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            break;
        if (std::strcmp(argv[i], "--help") == 0) {
            print(stdout, helpText(program));
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            print(stdout, versionText(program));
            return 0;
        }
    }
    return std::nullopt;
}

int CommandLine::usageError(const Program &program, const QString &message)
{
    print(stderr, usageErrorText(program, message));
    return UsageStatus;
}

std::optional<int> CommandLine::parseArguments(const Program &program, const QStringList &arguments,
                                               const QStringList &flagOptions,
                                               const QStringList &valueOptions, Arguments &out)
{
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (!options || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            out.operands << a;
        } else if (a == QLatin1String("--")) {
            options = false;
        } else if (flagOptions.contains(a)) {
            out.flags << a;
        } else if (!valueOptions.contains(a)) {
            return usageError(program, QStringLiteral("unrecognized option '%1'").arg(a));
        } else if (++i < arguments.size()) {
            out.values.insert(a, arguments.at(i));
        } else {
            return usageError(program, QStringLiteral("option '%1' requires an argument").arg(a));
        }
    }
    return std::nullopt;
}

std::optional<int> CommandLine::checkOperands(const Program &program, const QStringList &operands,
                                              qsizetype min, qsizetype max)
{
    if (operands.size() < min)
        return usageError(program, QStringLiteral("missing file operand"));
    if (operands.size() > max)
        return usageError(program, QStringLiteral("extra operand '%1'").arg(operands.at(max)));
    return std::nullopt;
}
