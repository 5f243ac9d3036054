// Position model, Text and Find of the rich text control on a large document (50,000
// paragraphs).
#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <random>

#include "platform/RichTextBox.h"

namespace {

constexpr int kParagraphs = 50000;

RichTextBox &bigBox()
{
    static RichTextBox *box = [] {
        auto *b = new RichTextBox;
        QString text;
        for (int i = 0; i < kParagraphs; ++i)
            text += QStringLiteral("Paragraph %1 holds some ordinary words of text.\n").arg(i);
        text += QStringLiteral("needle at the very end");
        b->setText(text);
        return b;
    }();
    return *box;
}

// A small edit at the end, so that caches keyed on the content start over.
void touch(RichTextBox &box)
{
    QTextCursor c(box.document());
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("x"));
    c.deletePreviousChar();
}

void BM_TextAfterEdit(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    for (auto _ : state) {
        touch(box);
        benchmark::DoNotOptimize(box.Text());
    }
}
BENCHMARK(BM_TextAfterEdit)->Unit(benchmark::kMillisecond);

void BM_TextUnchanged(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    for (auto _ : state)
        benchmark::DoNotOptimize(box.Text().size());
}
BENCHMARK(BM_TextUnchanged)->Unit(benchmark::kMicrosecond);

void BM_SelStartSetGet(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    const int length = static_cast<int>(box.Text().size());
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, length);
    for (auto _ : state) {
        box.setSelStart(pick(random));
        benchmark::DoNotOptimize(box.SelStart());
    }
}
BENCHMARK(BM_SelStartSetGet)->Unit(benchmark::kMicrosecond);

// A toolbar refresh over everything selected reads every run's format.
void BM_SelBoldSelectAll(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    box.setSelStart(0);
    box.setSelLength(static_cast<int>(box.Text().size()));
    for (auto _ : state)
        benchmark::DoNotOptimize(box.SelBold());
    box.setSelStart(0);
}
BENCHMARK(BM_SelBoldSelectAll)->Unit(benchmark::kMillisecond);

void BM_FindAtEnd(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    const int options = static_cast<int>(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(box.Find(QStringLiteral("needle"), 0, -1, options));
}
BENCHMARK(BM_FindAtEnd)
    ->Arg(0)
    ->Arg(RichTextBox::rtfMatchCase)
    ->Arg(RichTextBox::rtfWholeWord)
    ->Unit(benchmark::kMillisecond);

void BM_FindAfterEdit(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    for (auto _ : state) {
        touch(box);
        benchmark::DoNotOptimize(box.Find(QStringLiteral("needle")));
    }
}
BENCHMARK(BM_FindAfterEdit)->Unit(benchmark::kMillisecond);

void BM_LineFromCharAfterEditAtEnd(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    box.setRightMargin(static_cast<int>(state.range(0)));
    const int end = static_cast<int>(box.Text().size());
    benchmark::DoNotOptimize(box.GetLineCount()); // the first layout of the whole document
    for (auto _ : state) {
        touch(box);
        benchmark::DoNotOptimize(box.GetLineFromChar(end));
    }
    box.setRightMargin(RichTextBox::NoWrap);
}
BENCHMARK(BM_LineFromCharAfterEditAtEnd)
    ->Arg(4000)
    ->Arg(RichTextBox::NoWrap)
    ->Unit(benchmark::kMillisecond);

void BM_LineFromCharAfterEditAtStart(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    box.setRightMargin(4000);
    benchmark::DoNotOptimize(box.GetLineCount());
    for (auto _ : state) {
        QTextCursor c(box.document());
        c.insertText(QStringLiteral("x"));
        c.deletePreviousChar();
        benchmark::DoNotOptimize(box.GetLineFromChar(0));
    }
    box.setRightMargin(RichTextBox::NoWrap);
}
BENCHMARK(BM_LineFromCharAfterEditAtStart)->Unit(benchmark::kMillisecond);

// The same edit without a line query: what the text edit's own layout costs.
void BM_EditAtStart(benchmark::State &state)
{
    RichTextBox &box = bigBox();
    box.setRightMargin(4000);
    benchmark::DoNotOptimize(box.GetLineCount());
    for (auto _ : state) {
        QTextCursor c(box.document());
        c.insertText(QStringLiteral("x"));
        c.deletePreviousChar();
    }
    box.setRightMargin(RichTextBox::NoWrap);
}
BENCHMARK(BM_EditAtStart)->Unit(benchmark::kMillisecond);

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
