// Reading and writing a generated 10 MB RTF document of 50,000 paragraphs with mixed
// formatting. Targets: reading under 0.5 s, writing under 0.2 s, peak memory while reading
// under ten times the file size.
//
// PAMPHLEXA_BENCH_RTF_OUT=path also writes the generated document there (scripts/bench-rtf
// times other programs on the same file).
#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {
constexpr int Paragraphs = 50000;

// A document like a long letter or report: fonts, sizes, colours, bold and italic runs,
// alignment, indents, tabs, bullets, accented and non-Western characters.
const QByteArray &document()
{
    static const QByteArray rtf = [] {
        QByteArray out;
        out.reserve(11 * 1024 * 1024);
        out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New "
               "Roman;}{\\f1\\fswiss\\fcharset0 Arial;}{\\f2\\fmodern\\fcharset0 Courier New;}"
               "{\\f3\\fnil\\fcharset2 Symbol;}{\\f4\\fswiss\\fcharset204 Arial Cyr;}}\r\n"
               "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128"
               "\\blue0;}\r\n\\uc1\\pard\\f0\\fs24 ";
        const char *words[] = {"pamphlet", "the",       "committee", "meeting", "Tuesday",
                               "caf\\'e9", "agenda",    "of",        "and",     "notice",
                               "members",  "treasurer", "report",    "will",    "be"};
        unsigned seed = 12345;
        auto next = [&seed] {
            seed = seed * 1103515245u + 12345u;
            return (seed >> 16) & 0x7FFF;
        };
        for (int p = 0; p < Paragraphs; ++p) {
            switch (p % 10) {
            case 0:
                out += "\\pard\\qc\\sb120\\sa60 ";
                break;
            case 3:
                out += "\\pard\\li720\\ri360\\fi-360\\tx1440\\tx2880 ";
                break;
            case 5:
                out += "\\pard{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb\\'b7}}"
                       "\\fi-360\\li720 ";
                break;
            case 7:
                out += "\\pard\\qj ";
                break;
            case 8:
                out += "\\pard ";
                break;
            default:
                break;
            }
            int length = 0;
            while (length < 150) {
                const unsigned r = next();
                switch (r % 12) {
                case 0:
                    out += "{\\b ";
                    break;
                case 1:
                    out += "{\\i ";
                    break;
                case 2:
                    out += "{\\cf1 ";
                    break;
                case 3:
                    out += "{\\f1\\fs20 ";
                    break;
                case 4:
                    out += "{\\ul\\cf2 ";
                    break;
                default:
                    out += "{";
                    break;
                }
                for (int w = 0; w < 3; ++w) {
                    const char *word = words[next() % 15];
                    out += word;
                    out += ' ';
                    length += int(qstrlen(word)) + 1;
                }
                if (r % 17 == 0)
                    out += "\\u945?\\u946? ";
                if (r % 19 == 0)
                    out += "{\\f4 \\'cf\\'f0\\'e8} ";
                if (r % 23 == 0)
                    out += "\\tab ";
                out += "}";
            }
            out += "\\par\r\n";
        }
        out += "}";
        return out;
    }();
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
