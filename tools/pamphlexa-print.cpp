// pamphlexa-print [--paper CODE] [--landscape] IN OUT.pdf: prints a document to a PDF file with
// the program's own print engine: the margins and the header and footer stored in the settings
// store, the paper of the page setup's list (code, default Letter). Prints the page count.
#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "platform/RichTextBox.h"
#include "printing/clsPrinting.h"

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments();
    args.removeFirst();
    int paper = 1;
    bool landscape = false;
    while (!args.isEmpty() && args.first().startsWith(QLatin1String("--"))) {
        const QString option = args.takeFirst();
        if (option == QLatin1String("--landscape")) {
            landscape = true;
        } else if (option == QLatin1String("--paper") && !args.isEmpty()) {
            paper = args.takeFirst().toInt();
        } else {
            args.clear();
            break;
        }
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: pamphlexa-print [--paper CODE] [--landscape] IN OUT.pdf\n");
        return 2;
    }
    RichTextBox source;
    if (!source.LoadFile(args.at(0))) {
        std::fprintf(stderr, "pamphlexa-print: cannot read %s\n", qPrintable(args.at(0)));
        return 1;
    }
    clsPrinting &engine = clsPrinting::instance();
    PrinterDevice &printer = engine.printer();
    printer.usePdf(QFileInfo(args.at(1)).absoluteFilePath());
    if (!printer.setPaperSize(paper))
        std::fprintf(stderr, "pamphlexa-print: paper %d has no size; keeping the default\n", paper);
    printer.setOrientation(landscape ? PrinterDevice::Landscape : PrinterDevice::Portrait);
    if (!engine.PRINTDOCUMENT(nullptr, &source, true)) {
        std::fprintf(stderr, "pamphlexa-print: nothing printed to %s\n", qPrintable(args.at(1)));
        return 1;
    }
    std::printf("%d\n", engine.PrintedPages);
    return 0;
}
