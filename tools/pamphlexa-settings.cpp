// pamphlexa-settings: reads and writes Pamphlexa's settings store from the command line.

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "core/CommandLine.h"
#include "platform/SafeFile.h"
#include "platform/SettingsStore.h"
#include "platform/SettingsText.h"
#include "platform/rtf/DocumentConvert.h"

namespace {

enum ExitCode { Ok = 0, NotFound = 1, Usage = 2, Failed = 3 };

const CommandLine::Program Program{
    QStringLiteral("pamphlexa-settings"),
    {QStringLiteral("[--store FILE] COMMAND [ARGUMENTS]")},
    QStringLiteral("Reads and writes Pamphlexa's settings store (by default\n"
                   "~/.config/pamphlexa/settings.sqlite).\n"
                   "\n"
                   "Commands:\n"
                   "  list [ROOT[\\KEY]]              values at or below a key (everything when "
                   "omitted)\n"
                   "  get ROOT KEY VALUE [DEFAULT]   prints a string value as the program reads "
                   "it: a missing\n"
                   "                                 value, one that is not a string or one of "
                   "255 characters\n"
                   "                                 or more gives DEFAULT (exit status 1 when "
                   "none is given)\n"
                   "  set ROOT KEY VALUE TEXT [VALUE TEXT ...]\n"
                   "                                 stores string values, creating the key\n"
                   "  export [FILE]                  writes the whole store as text (to standard "
                   "output\n"
                   "                                 when FILE is omitted)\n"
                   "  import FILE                    stores every value of an exported text (all "
                   "or nothing)\n"
                   "\n"
                   "ROOT is HKCU, HKLM or HKCR. Key paths use \"\\\" and, like value names, "
                   "ignore letter\n"
                   "case. Use \"@\" or \"\" as VALUE for a key's unnamed value."),
    QStringLiteral("      --store FILE  use the store in FILE instead of the user's\n"),
    QStringLiteral("Exit status: 0 done, 1 value not found, 2 usage error, 3 store or file "
                   "error.")};

void printOut(const QByteArray &bytes)
{
    fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

int usageError(const QString &message)
{
    return CommandLine::usageError(Program, message);
}

int failure(const QString &message)
{
    fprintf(stderr, "pamphlexa-settings: %s\n", qPrintable(message));
    return Failed;
}

std::optional<SettingsStore::Root> parseRoot(const QString &text)
{
    return SettingsStore::rootFromName(text);
}

QString valueName(const QString &arg)
{
    return arg == QLatin1String("@") ? QString() : arg;
}

int cmdList(SettingsStore &store, const QStringList &args)
{
    if (args.size() > 1)
        return usageError(QStringLiteral("list takes at most one key"));
    QList<SettingsStore::Value> values;
    if (args.isEmpty()) {
        values = store.allValues();
    } else {
        const QString path = args.first();
        const qsizetype sep = path.indexOf(QLatin1Char('\\'));
        const auto root = parseRoot(sep < 0 ? path : path.left(sep));
        if (!root)
            return usageError(QStringLiteral("unknown root in \"%1\"").arg(path));
        values = store.values(*root, sep < 0 ? QString() : path.mid(sep + 1));
    }
    printOut(SettingsText::format(values, false));
    return Ok;
}

int cmdGet(SettingsStore &store, const QStringList &args)
{
    if (args.size() < 3 || args.size() > 4)
        return usageError(QStringLiteral("get needs ROOT KEY VALUE [DEFAULT]"));
    const auto root = parseRoot(args.at(0));
    if (!root)
        return usageError(QStringLiteral("unknown root \"%1\"").arg(args.at(0)));
    const auto text = store.readString(*root, args.at(1), valueName(args.at(2)));
    if (text && SettingsStore::characterCount(*text) <= SettingsStore::MaxReadCharacters) {
        printOut(text->toUtf8() + '\n');
        return Ok;
    }
    if (args.size() == 4) {
        printOut(args.at(3).toUtf8() + '\n');
        return Ok;
    }
    return NotFound;
}

int cmdSet(SettingsStore &store, const QStringList &args)
{
    if (args.size() < 4 || (args.size() - 2) % 2 != 0)
        return usageError(QStringLiteral("set needs ROOT KEY VALUE TEXT [VALUE TEXT ...]"));
    const auto root = parseRoot(args.at(0));
    if (!root)
        return usageError(QStringLiteral("unknown root \"%1\"").arg(args.at(0)));
    // Each value is its own transaction, as when the program writes them.
    for (qsizetype i = 2; i + 1 < args.size(); i += 2) {
        if (!store.writeString(*root, args.at(1), valueName(args.at(i)), args.at(i + 1)))
            return failure(
                QStringLiteral("could not store \"%1\" in %2").arg(args.at(i), store.path()));
    }
    return Ok;
}

int cmdExport(SettingsStore &store, const QStringList &args)
{
    if (args.size() > 1)
        return usageError(QStringLiteral("export takes at most one file"));
    const QByteArray text = SettingsText::format(store.allValues());
    if (args.isEmpty()) {
        printOut(text);
        return Ok;
    }
    QString error;
    if (!DocumentConvert::writeFileAtomically(args.first(), text, &error))
        return failure(QStringLiteral("could not write ") + error);
    return Ok;
}

int cmdImport(SettingsStore &store, const QStringList &args)
{
    if (args.size() != 1)
        return usageError(QStringLiteral("import needs one file"));
    // A settings export is small; refuse anything that could not be one.
    constexpr qint64 MaxImportBytes = 64 * 1024 * 1024;
    QByteArray bytes;
    const SafeFile::Result read = SafeFile::read(args.first(), bytes, MaxImportBytes + 1);
    if (!read.ok())
        return failure(QStringLiteral("could not read %1: %2")
                           .arg(args.first(), DocumentConvert::problemText(read)));
    if (bytes.size() > MaxImportBytes)
        return failure(QStringLiteral("%1 is too large for a settings export").arg(args.first()));
    const SettingsText::ParseResult parsed = SettingsText::parse(bytes);
    if (!parsed.ok)
        return failure(QStringLiteral("%1, line %2: %3")
                           .arg(args.first())
                           .arg(parsed.errorLine)
                           .arg(parsed.error));
    if (!store.writeAll(parsed.values))
        return failure(QStringLiteral("could not store the values in %1").arg(store.path()));
    return Ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (const auto status = CommandLine::handleInfoOptions(Program, argc, argv))
        return *status;
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pamphlexa"));
    QCoreApplication::setOrganizationName(QStringLiteral("pamphlexa"));

    QStringList args = QCoreApplication::arguments().mid(1);
    QString storePath;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString opt = args.takeFirst();
        if (opt == QLatin1String("--store")) {
            if (args.isEmpty())
                return usageError(QStringLiteral("--store needs a file"));
            storePath = args.takeFirst();
        } else if (opt.startsWith(QLatin1String("--store="))) {
            storePath = opt.mid(8);
        } else if (opt == QLatin1String("--")) {
            break;
        } else {
            return usageError(QStringLiteral("unrecognized option '%1'").arg(opt));
        }
    }
    if (args.isEmpty())
        return usageError(QStringLiteral("no command given"));
    if (args.first() == QLatin1String("-h") || args.first() == QLatin1String("help")) {
        printOut(CommandLine::helpText(Program).toUtf8());
        return Ok;
    }
    if (!storePath.isEmpty())
        SettingsStore::setDefaultPath(storePath);
    SettingsStore &store = SettingsStore::instance();
    if (store.path().isEmpty())
        return failure(QStringLiteral("no configuration folder for the settings store"));

    const QString command = args.takeFirst();
    int rc = Usage;
    if (command == QLatin1String("list"))
        rc = cmdList(store, args);
    else if (command == QLatin1String("get"))
        rc = cmdGet(store, args);
    else if (command == QLatin1String("set"))
        rc = cmdSet(store, args);
    else if (command == QLatin1String("export"))
        rc = cmdExport(store, args);
    else if (command == QLatin1String("import"))
        rc = cmdImport(store, args);
    else
        return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
    const SettingsStore::Notice notice = store.takeNotice();
    if (notice.kind == SettingsStore::Notice::DamagedSetAside)
        fprintf(stderr,
                "pamphlexa-settings: the store was damaged; it was moved to %s and a new "
                "one started\n",
                qPrintable(notice.file));
    if (notice.kind == SettingsStore::Notice::NotOrdinaryFile)
        return failure(QStringLiteral("%1 is not an ordinary file; the store was not opened")
                           .arg(notice.file));
    return rc;
}
