// The print engine on a document of about 100 pages: laying out and counting the pages,
// finding a page in the kept layout, rendering a preview page, printing everything to PDF.
#include <QApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "platform/AppPaths.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "printing/clsPrinting.h"

namespace {

QTemporaryDir &folder()
{
    static QTemporaryDir dir;
    return dir;
}

// About 100 Letter pages with one-inch margins: 2,000 paragraphs of three lines each.
RichTextBox &document()
{
    static RichTextBox *box = [] {
        auto *b = new RichTextBox;
        QString text;
        for (int i = 0; i < 2000; ++i) {
            text += QStringLiteral("Paragraph %1. ").arg(i);
            for (int w = 0; w < 30; ++w)
                text += QStringLiteral("word%1 ").arg(w);
            text += QLatin1Char('\n');
        }
        b->setText(text);
        return b;
    }();
    return *box;
}

clsPrinting &engine()
{
    clsPrinting &e = clsPrinting::instance();
    static bool ready = [&e] {
        e.printer().usePdf(folder().filePath(QStringLiteral("bench.pdf")));
        e.printer().setPaperSize(1);
        e.INITIALIZEPATH(nullptr, &document());
        e.GETMARGINS();
        return true;
    }();
    (void)ready;
    return e;
}

void BM_LayoutAndCountPages(benchmark::State &state)
{
    clsPrinting &e = engine();
    int pages = 0;
    for (auto _ : state) {
        e.formatter().release();
        e.PAGECOUNT(nullptr, 1, 1, 1, 1, 1, pages);
        benchmark::DoNotOptimize(pages);
    }
    state.counters["pages"] = pages;
}
BENCHMARK(BM_LayoutAndCountPages)->Unit(benchmark::kMillisecond);

void BM_LocateLastPageInKeptLayout(benchmark::State &state)
{
    clsPrinting &e = engine();
    int pages = 0;
    e.PAGECOUNT(nullptr, 1, 1, 1, 1, 1, pages);
    for (auto _ : state)
        benchmark::DoNotOptimize(e.pageStarts());
}
BENCHMARK(BM_LocateLastPageInKeptLayout)->Unit(benchmark::kMicrosecond);

void BM_PreviewPage(benchmark::State &state)
{
    clsPrinting &e = engine();
    QImage picture;
    for (auto _ : state)
        benchmark::DoNotOptimize(e.PAGESEL(50, picture));
}
BENCHMARK(BM_PreviewPage)->Unit(benchmark::kMillisecond);

void BM_PrintAllToPdf(benchmark::State &state)
{
    clsPrinting &e = engine();
    for (auto _ : state)
        benchmark::DoNotOptimize(e.PRINTDOCUMENT(nullptr, e.RTF3(), true));
    state.counters["pages"] = e.PrintedPages;
}
BENCHMARK(BM_PrintAllToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // A store of its own: the margins are the defaults, whatever the user chose.
    SettingsStore::setDefaultPath(folder().filePath(QStringLiteral("settings.sqlite")));
    AppPaths::setProgramFolder(folder().path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    clsPrinting::destroy();
    return 0;
}
