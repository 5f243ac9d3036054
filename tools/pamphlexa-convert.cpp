// pamphlexa-convert IN OUT: converts files headlessly with the program's own readers and writers.
//   documents: .rtf/.rtt and the plain-text types in both directions, by extension;
//   pictures:  IN.pcx|IN.tga OUT.png (only pictures the picture browser accepts).
// Only ordinary files are read (a pipe or device is refused at once); the output is written
// safely (the old file stays whole on failure and keeps its owner, mode and links).
// pamphlexa-convert --format-report IN: prints a summary of IN's formatting (JSON lines).
#include "pictures/PictureConvert.h"
#include "platform/rtf/DocumentConvert.h"

#include <QGuiApplication>
#include <QStringDecoder>
#include <QStringList>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char *argv[])
{
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
    const QStringList args = app.arguments();
    QString error;
    if (args.size() == 3 && args.at(1) == QLatin1String("--format-report")) {
        QTextDocument document;
        if (!DocumentConvert::load(args.at(2), document, nullptr, &error)) {
            std::fprintf(stderr, "pamphlexa-convert: %s\n", qPrintable(error));
            return 1;
        }
        const QByteArray report = DocumentConvert::formatReport(document);
        std::fwrite(report.constData(), 1, size_t(report.size()), stdout);
        return 0;
    }
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pamphlexa-convert IN OUT\n"
                             "       pamphlexa-convert --format-report IN\n"
                             "  converts between .rtf/.rtt and the plain-text types "
                             "(.txt .ini .htm ...) by extension,\n"
                             "  and decodes IN.pcx or IN.tga to OUT.png\n");
        return 2;
    }
    const bool ok = isPictureExtension(args.at(1))
                        ? convertPictureToPng(args.at(1), args.at(2), &error)
                        : DocumentConvert::convert(args.at(1), args.at(2), &error);
    if (!ok) {
        std::fprintf(stderr, "pamphlexa-convert: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
