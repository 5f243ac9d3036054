// pamphlexa-convert IN OUT: converts files headlessly with the program's own readers and writers.
//   documents: .rtf/.rtt and the plain-text types in both directions, by extension;
//   pictures:  IN.pcx|IN.tga OUT.png (only pictures the picture browser accepts).
// Only ordinary files are read (a pipe or device is refused at once); the output is written
// safely (the old file stays whole on failure and keeps its owner, mode and links).
// pamphlexa-convert --format-report IN: prints a summary of IN's formatting (JSON lines).
#include "core/CommandLine.h"
#include "pictures/PictureConvert.h"
#include "platform/rtf/DocumentConvert.h"

#include <QGuiApplication>
#include <QStringDecoder>
#include <QStringList>
#include <QTextDocument>

#include <cstdio>

namespace {

const CommandLine::Program Program{
    QStringLiteral("pamphlexa-convert"),
    {QStringLiteral("IN OUT"), QStringLiteral("--format-report IN")},
    QStringLiteral("Converts a document or a picture with Pamphlexa's own readers and writers.\n"
                   "Documents go between Rich Text (.rtf, .rtt) and the plain-text types (.txt "
                   ".ini .htm\n...) by extension; PCX and Targa pictures (IN.pcx, IN.tga) are "
                   "decoded to OUT.png."),
    QStringLiteral("      --format-report IN  print a summary of IN's formatting, one JSON "
                   "object a line\n"),
    QStringLiteral("Exit status: 0 done, 1 IN could not be read or OUT written, 2 usage error.")};

} // namespace

int main(int argc, char *argv[])
{
    if (const auto status = CommandLine::handleInfoOptions(Program, argc, argv))
        return *status;
    // A file name that is not valid UTF-8 would reach the files as another name: refuse it.
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString name = utf8.decode(QByteArrayView(argv[i]));
        if (utf8.hasError()) {
            std::fprintf(stderr,
                         "pamphlexa-convert: %s: the name is not valid UTF-8 and cannot be used "
                         "as given; rename the file\n",
                         qPrintable(name));
            return 1;
        }
    }
    // Documents need fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    CommandLine::Arguments parsed;
    if (const auto status = CommandLine::parseArguments(
            Program, app.arguments().mid(1), {QStringLiteral("--format-report")}, {}, parsed))
        return *status;
    const bool report = parsed.has(QStringLiteral("--format-report"));
    const qsizetype wanted = report ? 1 : 2;
    if (const auto status = CommandLine::checkOperands(Program, parsed.operands, wanted, wanted))
        return *status;
    const QStringList &args = parsed.operands;
    QString error;
    if (report) {
        QTextDocument document;
        if (!DocumentConvert::load(args.at(0), document, nullptr, &error)) {
            std::fprintf(stderr, "pamphlexa-convert: %s\n", qPrintable(error));
            return 1;
        }
        const QByteArray text = DocumentConvert::formatReport(document);
        std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
        return 0;
    }
    const bool ok = isPictureExtension(args.at(0))
                        ? convertPictureToPng(args.at(0), args.at(1), &error)
                        : DocumentConvert::convert(args.at(0), args.at(1), &error);
    if (!ok) {
        std::fprintf(stderr, "pamphlexa-convert: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
