// Reading and writing a generated 10 MB RTF document of 50,000 paragraphs with mixed
// formatting. Targets: reading under 0.5 s, writing under 0.2 s, peak memory while reading
// under ten times the file size.
//
// PAMPHLEXA_BENCH_RTF_OUT=path also writes the generated document there (scripts/bench-rtf
// times other programs on the same file).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryFile>
#include <QTextDocument>

#include "SampleReport.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {
constexpr int Paragraphs = 50000;

// A document like a long letter or report, with words in a Cyrillic font too.
const QByteArray &document()
{
    static const QByteArray rtf =
        SampleReport::generate(Paragraphs, 11 * 1024 * 1024, {.cyrillic = true, .lead = {}});
    return rtf;
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

long currentRssKb()
{
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Runs first, once, so that the process's peak resident size is the reader's.
void BM_ReadPeakMemory(benchmark::State &state)
{
    const QByteArray &rtf = document();
    for (auto _ : state) {
        const long before = currentRssKb();
        QTextDocument doc;
        Rtf::read(rtf, doc);
        const long peak = peakRssKb();
        state.counters["file_MB"] = rtf.size() / 1048576.0;
        state.counters["peak_over_file"] = double(peak - before) * 1024.0 / double(rtf.size());
        state.counters["blocks"] = doc.blockCount();
    }
}
BENCHMARK(BM_ReadPeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Read(benchmark::State &state)
{
    const QByteArray &rtf = document();
    for (auto _ : state) {
        QTextDocument doc;
        Rtf::read(rtf, doc);
        benchmark::DoNotOptimize(doc.blockCount());
        state.PauseTiming(); // freeing the document is not reading it
        doc.clear();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_Read)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Write(benchmark::State &state)
{
    QTextDocument doc;
    Rtf::read(document(), doc);
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray out = Rtf::write(doc);
        bytes = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["written_MB"] = bytes / 1048576.0;
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_Write)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Writing as Save does, to a file as the RTF is made; the file must hold the same bytes.
void BM_WriteToFile(benchmark::State &state)
{
    QTextDocument doc;
    Rtf::read(document(), doc);
    QTemporaryFile file;
    if (!file.open()) {
        state.SkipWithError("no temporary file");
        return;
    }
    for (auto _ : state) {
        file.resize(0);
        file.seek(0);
        if (!Rtf::write(doc, file) || !file.flush())
            state.SkipWithError("write failed");
    }
    file.seek(0);
    if (file.readAll() != Rtf::write(doc))
        state.SkipWithError("the file differs from the RTF written in memory");
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_WriteToFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    const QByteArray out = qgetenv("PAMPHLEXA_BENCH_RTF_OUT");
    if (!out.isEmpty()) {
        QFile file(QString::fromLocal8Bit(out));
        if (!file.open(QIODevice::WriteOnly) || file.write(document()) != document().size()) {
            std::fprintf(stderr, "cannot write %s\n", out.constData());
            return 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
