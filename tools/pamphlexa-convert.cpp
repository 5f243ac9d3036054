// pamphlexa-convert IN OUT: converts documents with the program's own readers and writers.
#include "platform/rtf/DocumentConvert.h"

#include <QGuiApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Documents need fonts but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: pamphlexa-convert IN OUT\n"
                             "  converts between .rtf/.rtt and the plain-text types "
                             "(.txt .ini .htm ...) by extension\n");
        return 2;
    }
    QString error;
    if (!DocumentConvert::convert(args.at(1), args.at(2), &error)) {
        std::fprintf(stderr, "pamphlexa-convert: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
