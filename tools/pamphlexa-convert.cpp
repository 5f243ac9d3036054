// pamphlexa-convert IN OUT: converts documents with the program's own readers and writers.
// pamphlexa-convert --format-report IN: prints a summary of IN's formatting (JSON lines).
#include "platform/rtf/DocumentConvert.h"

#include <QGuiApplication>
#include <QStringList>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char *argv[])
{
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
                             "(.txt .ini .htm ...) by extension\n");
        return 2;
    }
    if (!DocumentConvert::convert(args.at(1), args.at(2), &error)) {
        std::fprintf(stderr, "pamphlexa-convert: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
