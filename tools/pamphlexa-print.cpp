// pamphlexa-print [--paper CODE] [--landscape] IN OUT.pdf: prints a document to a PDF file with
// the program's own print engine: the margins and the header and footer stored in the settings
// store, the paper of the page setup's list (code, default Letter). Prints the page count.
#include <QApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

#include "core/CommandLine.h"
#include "platform/RichTextBox.h"
#include "printing/clsPrinting.h"

namespace {

const CommandLine::Program Program{
    QStringLiteral("pamphlexa-print"),
    {QStringLiteral("[--paper CODE] [--landscape] IN OUT.pdf")},
    QStringLiteral("Prints the document IN to the PDF file OUT.pdf with Pamphlexa's print "
                   "engine: the\nmargins, header and footer of the user's page setup, on the "
                   "paper CODE of the page\nsetup's list (default 1, Letter). Prints the number "
                   "of pages."),
    QStringLiteral("      --paper CODE  the paper by its code in the page setup's list\n"
                   "      --landscape   print across the page\n"),
    QStringLiteral("Exit status: 0 printed, 1 IN could not be read or nothing was printed, 2 "
                   "usage error.")};

} // namespace

int main(int argc, char *argv[])
{
    if (const auto status = CommandLine::handleInfoOptions(Program, argc, argv))
        return *status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CommandLine::Arguments parsed;
    if (const auto status = CommandLine::parseArguments(Program, app.arguments().mid(1),
                                                        {QStringLiteral("--landscape")},
                                                        {QStringLiteral("--paper")}, parsed))
        return *status;
    const bool landscape = parsed.has(QStringLiteral("--landscape"));
    int paper = 1;
    if (parsed.has(QStringLiteral("--paper"))) {
        bool ok = false;
        paper = parsed.values.value(QStringLiteral("--paper")).toInt(&ok);
        if (!ok)
            return CommandLine::usageError(Program, QStringLiteral("--paper needs a paper code"));
    }
    if (const auto status = CommandLine::checkOperands(Program, parsed.operands, 2, 2))
        return *status;
    const QStringList &args = parsed.operands;
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
