// The formatting toolbar's font list: what filling it at start-up costs, and what keeping the
// boxes in step with the selection costs on every selection change.
#include <QApplication>
#include <QComboBox>
#include <QFontDatabase>
#include <benchmark/benchmark.h>

#include "editing/FormatLists.h"
#include "platform/RichTextBox.h"

namespace {

// The screen's families as the font lists take them (the font database is already populated
// by the first text the program draws).
void BM_ScreenFonts(benchmark::State &state)
{
    benchmark::DoNotOptimize(QFontDatabase::families());
    for (auto _ : state)
        benchmark::DoNotOptimize(FormatLists::screenFonts());
    state.counters["fonts"] = static_cast<double>(FormatLists::screenFonts().size());
}
BENCHMARK(BM_ScreenFonts)->Unit(benchmark::kMicrosecond);

// Filling the name box at start-up, with the installed fonts and with 1000 names (a desktop
// with many fonts installed).
void BM_FillFontBox(benchmark::State &state)
{
    QStringList names = FormatLists::screenFonts();
    if (state.range(0) > 0) {
        QStringList many;
        for (int i = 0; many.size() < state.range(0); ++i)
            many << names.value(i % std::max<qsizetype>(1, names.size())) + QString::number(i);
        names = many;
    }
    for (auto _ : state) {
        QComboBox box;
        box.addItems(names);
        benchmark::DoNotOptimize(box.count());
    }
    state.counters["names"] = static_cast<double>(names.size());
}
BENCHMARK(BM_FillFontBox)->Arg(0)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The width a box of 1000 names asks for when it is first shown: measured over every name
// (Qt's default), or from a fixed number of characters (what the toolbar's name box uses).
void BM_FontBoxFirstShow(benchmark::State &state)
{
    QStringList names;
    for (int i = 0; i < 1000; ++i)
        names << QStringLiteral("Font Family Number %1").arg(i);
    for (auto _ : state) {
        QComboBox box;
        if (state.range(0) == 1) {
            box.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
            box.setMinimumContentsLength(16);
        }
        box.addItems(names);
        benchmark::DoNotOptimize(box.sizeHint());
    }
}
BENCHMARK(BM_FontBoxFirstShow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Showing the selection's font in a box of 1000 names, alternating between two fonts.
void BM_ShowSelectionFont(benchmark::State &state)
{
    QComboBox box;
    for (int i = 0; i < 1000; ++i)
        box.addItem(QStringLiteral("Family %1").arg(i));
    RichTextBox text;
    text.setText(QStringLiteral("Some words in one font"));
    text.selectAll();
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        FormatLists::setListText(&box,
                                 flip ? QStringLiteral("family 900") : QStringLiteral("Family 10"));
        benchmark::DoNotOptimize(text.SelFontName());
        benchmark::DoNotOptimize(text.SelFontSize());
    }
}
BENCHMARK(BM_ShowSelectionFont)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
