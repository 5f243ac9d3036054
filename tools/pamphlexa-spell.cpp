// pamphlexa-spell: the program's spelling checker from the command line.
//   pamphlexa-spell [--dict FILE] --list FILE...   the words the checker stops at, one a line
//   pamphlexa-spell [--dict FILE] --suggest         WORD<TAB>SUGGESTION... for each line of input
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextDocument>
#include <cstdio>
#include <iostream>
#include <string>

#include "content/SpellingDictionary.h"
#include "content/SpellingWords.h"
#include "content/clsSpelling.h"
#include "platform/SettingsStore.h"
#include "platform/rtf/DocumentConvert.h"

namespace {

const char *const Usage = "Usage: pamphlexa-spell [--dict FILE] (--list FILE... | --suggest)\n";

void printHelp()
{
    std::printf("%s", Usage);
    std::printf(
        "Checks spelling with Pamphlexa's word list and rules.\n\n"
        "  --list FILE...  print each word the spelling checker stops at, one a line, in\n"
        "                  text order (Rich Text and plain-text documents)\n"
        "  --suggest       read one word a line from standard input and print\n"
        "                  WORD<TAB>SUGGESTION<TAB>... with the best suggestion first\n"
        "                  (a correct word is printed alone)\n"
        "  --dict FILE     use FILE (one word a line) as the only word list instead of\n"
        "                  the shipped list and the user's added words\n"
        "  --help          show this help and exit\n"
        "  --version       show the version and exit\n\n"
        "The words to skip (numbers, capitals, special characters) follow the preferences.\n"
        "Exit status: 0 on success, 1 when a file cannot be read, 2 for bad arguments.\n");
}

int badArguments(const char *message)
{
    std::fprintf(stderr, "pamphlexa-spell: %s\n%s", message, Usage);
    return 2;
}

std::string out(const QString &text)
{
    return text.toStdString();
}

} // namespace

int main(int argc, char **argv)
{
    // Documents need fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pamphlexa"));
    QCoreApplication::setOrganizationName(QStringLiteral("pamphlexa"));
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(PAMPHLEXA_VERSION_MAJOR).arg(PAMPHLEXA_VERSION_MINOR));

    QStringList args = app.arguments().mid(1);
    QString dict;
    bool list = false;
    bool suggest = false;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help")) {
            printHelp();
            return 0;
        }
        if (a == QLatin1String("--version")) {
            std::printf("pamphlexa-spell %s\n", qPrintable(QCoreApplication::applicationVersion()));
            return 0;
        }
        if (a == QLatin1String("--dict")) {
            if (++i >= args.size())
                return badArguments("--dict needs a file");
            dict = args[i];
        } else if (a == QLatin1String("--list")) {
            list = true;
        } else if (a == QLatin1String("--suggest")) {
            suggest = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            return badArguments(qPrintable(QStringLiteral("unknown option %1").arg(a)));
        } else if (list) {
            files << a;
        } else {
            return badArguments(qPrintable(QStringLiteral("unexpected argument %1").arg(a)));
        }
    }
    if (list == suggest)
        return badArguments("give one of --list and --suggest");
    if (list && files.isEmpty())
        return badArguments("--list needs at least one file");

    // The user's preferences when there are any; never create a settings store here.
    QTemporaryDir scratch;
    if (!QFileInfo::exists(SettingsStore::defaultPath()))
        SettingsStore::setDefaultPath(scratch.filePath(QStringLiteral("settings.sqlite")));
    SpellingDictionary &dictionary = SpellingDictionary::program();
    if (!dict.isEmpty()) {
        if (!dictionary.loadFile(dict)) {
            std::fprintf(stderr, "pamphlexa-spell: cannot read the word list %s\n",
                         qPrintable(dict));
            return 1;
        }
    } else {
        dictionary.ensureLoaded();
        if (dictionary.notFound()) {
            std::fprintf(stderr, "pamphlexa-spell: cannot read the word list %s\n",
                         qPrintable(SpellingDictionary::shippedPath()));
            return 1;
        }
    }
    const clsSpelling::Checks checks = clsSpelling::Checks::read();

    if (suggest) {
        std::string line;
        while (std::getline(std::cin, line)) {
            const QString word = QString::fromStdString(line).trimmed();
            if (word.isEmpty())
                continue;
            std::string row = out(word);
            if (!clsSpelling::judge(word, checks, dictionary)) {
                const clsSpelling::Suggestions s = clsSpelling::suggest(word, dictionary);
                if (s.enabled)
                    for (const QString &item : s.items)
                        row += '\t' + out(item);
            }
            std::cout << row << '\n';
        }
        return 0;
    }

    int status = 0;
    for (const QString &file : std::as_const(files)) {
        QTextDocument document;
        QString error;
        if (!DocumentConvert::load(file, document, nullptr, &error)) {
            std::fprintf(stderr, "pamphlexa-spell: %s\n", qPrintable(error));
            status = 1;
            continue;
        }
        const QString text = document.toPlainText();
        int from = 0;
        while (const auto w = SpellingWords::next(text, from)) {
            if (!clsSpelling::judge(w->text, checks, dictionary))
                std::cout << out(text.mid(w->start, w->length)) << '\n';
            from = w->start + w->length;
        }
    }
    std::cout.flush();
    return status;
}
