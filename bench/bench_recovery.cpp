// Taking the recovery copy of the 10 MB benchmark document (bench_rtf's) while the user types.
// The copy is taken on the interface thread a slice at a time; each step is meant to stay well
// under a frame (16 ms) so typing is never held up, with a keystroke landing between steps.
// Writing the RTF happens on a worker thread and is timed apart. For comparison, copying the
// document in one go (QTextDocument::clone) as a single interface-thread stall.
//
// Times are wall clock and, for the interface-thread steps, the thread's own CPU time too (the
// machine may be shared, and time spent waiting for a processor is not the program's).
//
// Usage: bench_recovery [FILE]; without FILE the document is made by bench_rtf beside it.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPlainTextDocumentLayout>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "documents/DocumentSnapshot.h"
#include "documents/RecoveryFolder.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

namespace {
QByteArray g_document;

double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Wall and thread CPU milliseconds of one call.
template <typename F> std::pair<double, double> timed(F &&f)
{
    QElapsedTimer wall;
    const double cpu = threadCpuMs();
    wall.start();
    f();
    return {wall.nsecsElapsed() / 1e6, threadCpuMs() - cpu};
}

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size())))];
}

// The document as a window holds it: with a layout, so it reports its changes.
void load(QTextDocument &doc)
{
    doc.setDocumentLayout(new QPlainTextDocumentLayout(&doc));
    Rtf::read(g_document, doc);
}

void BM_CopyWhileTyping(benchmark::State &state)
{
    QTextDocument doc;
    load(doc);
    QRandomGenerator random(7);
    // Over every copy taken.
    std::vector<double> steps, stepsCpu, keysCpu, takesCpu;
    double total = 0;
    for (auto _ : state) {
        DocumentSnapshot snapshot(doc);
        for (bool done = false; !done;) {
            const auto [wall, cpu] = timed([&] { done = snapshot.step(8000); });
            steps.push_back(wall);
            stepsCpu.push_back(cpu);
            total += wall;
            // A keystroke between two steps, somewhere in the document.
            keysCpu.push_back(timed([&] {
                                  QTextCursor c(&doc);
                                  c.setPosition(int(random.bounded(doc.characterCount() - 1)));
                                  c.insertText(QStringLiteral("x"));
                              }).second);
        }
        // Handing the copy over; it is deleted on the worker thread, after its writing.
        std::unique_ptr<QTextDocument> copy;
        takesCpu.push_back(timed([&] { copy = snapshot.take(); }).second);
    }
    auto max = [](const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); };
    state.counters["steps_per_copy"] = double(steps.size()) / double(state.iterations());
    state.counters["step_max_ms"] = max(steps);
    state.counters["step_p99_ms"] = percentile(steps, 0.99);
    state.counters["step_cpu_max_ms"] = max(stepsCpu);
    state.counters["step_cpu_p99_ms"] = percentile(stepsCpu, 0.99);
    state.counters["keystroke_cpu_max_ms"] = max(keysCpu);
    state.counters["take_cpu_max_ms"] = max(takesCpu);
    state.counters["copy_s"] = total / 1e3 / double(state.iterations());
}
BENCHMARK(BM_CopyWhileTyping)->Iterations(3)->Unit(benchmark::kMillisecond);

// The worker thread's part: the RTF of the copy, written and synced to its file.
void BM_WriteOnWorker(benchmark::State &state)
{
    QTextDocument doc;
    load(doc);
    QTemporaryDir dir;
    RecoveryFolder folder(dir.path());
    const RecoveryInfo info{QStringLiteral("Document 1"), QString(), QStringLiteral("rtf"), {}};
    qint64 bytes = 0;
    for (auto _ : state) {
        const QByteArray rtf = Rtf::write(doc);
        bytes = rtf.size();
        folder.write(1, 0, info, rtf);
    }
    state.counters["written_MB"] = bytes / 1048576.0;
}
BENCHMARK(BM_WriteOnWorker)->Iterations(3)->Unit(benchmark::kMillisecond);

// What a copy in one go would hold typing up for.
void BM_CloneAtOnce(benchmark::State &state)
{
    QTextDocument doc;
    load(doc);
    for (auto _ : state) {
        std::unique_ptr<QTextDocument> copy(doc.clone());
        benchmark::DoNotOptimize(copy.get());
        state.PauseTiming();
        copy.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CloneAtOnce)->Iterations(1)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QString path = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    QTemporaryDir made;
    if (path.isEmpty()) {
        // bench_rtf writes its generated document where it is told to.
        path = made.filePath(QStringLiteral("big.rtf"));
        QProcess maker;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("PAMPHLEXA_BENCH_RTF_OUT"), path);
        maker.setProcessEnvironment(env);
        maker.start(QCoreApplication::applicationDirPath() + QStringLiteral("/bench_rtf"),
                    {QStringLiteral("--benchmark_filter=^$")});
        maker.waitForFinished(-1);
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "bench_recovery: cannot read %s\n", qPrintable(path));
        return 1;
    }
    g_document = file.readAll();
    std::printf("document: %s, %.1f MB\n", qPrintable(path), g_document.size() / 1048576.0);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
