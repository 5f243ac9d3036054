// Replace All and Find Next of the Find dialog on a large document (50,000 paragraphs).
#include <QApplication>
#include <benchmark/benchmark.h>

#include "editing/FindReplace.h"
#include "platform/RichTextBox.h"

namespace {

QString documentText(int paragraphs)
{
    QString text;
    for (int i = 0; i < paragraphs; ++i)
        text += QStringLiteral("Paragraph %1 holds some ordinary words of text.\n").arg(i);
    return text;
}

// Loading the document: the layout of every paragraph, which a Replace All that changes every
// paragraph has to redo as well.
void BM_LoadDocument(benchmark::State &state)
{
    const QString text = documentText(static_cast<int>(state.range(0)));
    RichTextBox box;
    for (auto _ : state)
        box.setText(text);
}
BENCHMARK(BM_LoadDocument)->Arg(50000)->Unit(benchmark::kMillisecond);

// Replace All of a word found once in every paragraph; the document is reloaded (untimed)
// before each run.
void BM_ReplaceAll(benchmark::State &state)
{
    const QString text = documentText(static_cast<int>(state.range(0)));
    RichTextBox box;
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        box.setText(text);
        state.ResumeTiming();
        count = FindReplace::replaceAll(box, QStringLiteral("ordinary"), QStringLiteral("plain"),
                                        RichTextBox::rtfWholeWord);
    }
    state.counters["replacements"] = count;
}
BENCHMARK(BM_ReplaceAll)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

// The same, one Find and SelText per hit: what Replace All costs without the single edit.
void BM_ReplaceAllStepwise(benchmark::State &state)
{
    const QString text = documentText(static_cast<int>(state.range(0)));
    RichTextBox box;
    for (auto _ : state) {
        state.PauseTiming();
        box.setText(text);
        state.ResumeTiming();
        FindReplace::replaceAllStepwise(box, QStringLiteral("ordinary"), QStringLiteral("plain"),
                                        RichTextBox::rtfWholeWord);
    }
}
BENCHMARK(BM_ReplaceAllStepwise)->Arg(5000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Find Next through the whole document, one hit after another as F3 does.
void BM_FindNextThroughDocument(benchmark::State &state)
{
    RichTextBox box;
    box.setText(documentText(50000));
    for (auto _ : state) {
        int hits = 0;
        for (int start = box.Find(QStringLiteral("words"), 0) + 1; start > 0;
             start = box.Find(QStringLiteral("words"), start) + 1)
            ++hits;
        benchmark::DoNotOptimize(hits);
    }
}
BENCHMARK(BM_FindNextThroughDocument)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
