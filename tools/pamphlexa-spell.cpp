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
#include "core/CommandLine.h"
#include "platform/SettingsStore.h"
#include "platform/rtf/DocumentConvert.h"

namespace {

const CommandLine::Program Program{
    QStringLiteral("pamphlexa-spell"),
    {QStringLiteral("[--dict FILE] --list FILE..."), QStringLiteral("[--dict FILE] --suggest")},
    QStringLiteral("Checks spelling with Pamphlexa's word list and rules, as the Spell Checker "
                   "does.\nThe words to skip (numbers, capitals, special characters) follow the "
                   "preferences."),
    QStringLiteral("      --list FILE...  print each word the spelling checker stops at, one a "
                   "line,\n                      in text order (Rich Text and plain-text "
                   "documents)\n"
                   "      --suggest       read one word a line from standard input and print\n"
                   "                      WORD<TAB>SUGGESTION<TAB>..., the best suggestion "
                   "first\n                      (a correct word is printed alone)\n"
                   "      --dict FILE     use FILE (one word a line) as the only word list\n"),
    QStringLiteral("Exit status: 0 done, 1 a file could not be read, 2 usage error.")};

std::string out(const QString &text)
{
    return text.toStdString();
}

} // namespace

int main(int argc, char **argv)
{
    if (const auto status = CommandLine::handleInfoOptions(Program, argc, argv))
        return *status;
    // Documents need fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("pamphlexa"));
    QCoreApplication::setOrganizationName(QStringLiteral("pamphlexa"));

    CommandLine::Arguments parsed;
    if (const auto status =
            CommandLine::parseArguments(Program, app.arguments().mid(1),
                                        {QStringLiteral("--list"), QStringLiteral("--suggest")},
                                        {QStringLiteral("--dict")}, parsed))
        return *status;
    const bool list = parsed.has(QStringLiteral("--list"));
    const bool suggest = parsed.has(QStringLiteral("--suggest"));
    if (list == suggest)
        return CommandLine::usageError(Program, QStringLiteral("give one of --list and --suggest"));
    if (const auto status = CommandLine::checkOperands(Program, parsed.operands, list ? 1 : 0,
                                                       list ? parsed.operands.size() : 0))
        return *status;
    const QString dict = parsed.values.value(QStringLiteral("--dict"));
    const QStringList &files = parsed.operands;

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
