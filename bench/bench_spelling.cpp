// Spelling speed on the shipped British list (about 128,000 words): loading it, judging words,
// suggestions (the first one builds the index), and checking a 10,000-word document (one word in
// twenty unknown) both as the bare search and through the engine and its dialog, ignoring every
// unknown word.

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "content/SpellingDictionary.h"
#include "content/SpellingHighlighter.h"
#include "content/SpellingWords.h"
#include "content/clsSpelling.h"
#include "content/frmSpelling.h"
#include "platform/AppPaths.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/UiServices.h"

namespace {

constexpr int DocumentWords = 10000;

QString makeWord(QRandomGenerator &random)
{
    const int length = 3 + int(random.bounded(9));
    QString w;
    for (int i = 0; i < length; ++i)
        w += QLatin1Char(char('a' + random.bounded(26)));
    return w;
}

// The build's data folder as the program folder (only read), and a temporary settings store.
class Fixture
{
public:
    Fixture()
    {
        AppPaths::setProgramFolder(QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR));
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("user"))));
        SettingsStore::setDefaultPath(m_dir.filePath(QStringLiteral("settings.sqlite")));
        qputenv("LANG", "en_GB.UTF-8");
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        for (int i = 0; i < d.entryCount(); ++i)
            words << d.entry(i).toString();
        bytesSize = QFileInfo(SpellingDictionary::shippedPath()).size();
        // The document: list words, every twentieth an unknown one, lines of twelve words.
        QRandomGenerator random(42);
        for (int i = 0; i < DocumentWords; ++i) {
            document += i % 20 == 19 ? QStringLiteral("qqq") + makeWord(random)
                                     : words[int(random.bounded(int(words.size())))];
            document += i % 12 == 11 ? QStringLiteral("\r\n") : QStringLiteral(" ");
        }
    }
    ~Fixture()
    {
        SpellingDictionary::resetProgram();
        AppPaths::setProgramFolder(QString());
        SettingsStore::setDefaultPath(QString());
    }

    QStringList words;
    QString document;
    qint64 bytesSize = 0;

private:
    QTemporaryDir m_dir;
};

// Made and removed by main(), around the program-wide dictionary's lifetime.
std::unique_ptr<Fixture> g_fixture;

Fixture &fixture()
{
    return *g_fixture;
}

void BM_LoadDictionary(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        SpellingDictionary::resetProgram();
        SpellingDictionary::program().ensureLoaded();
        benchmark::DoNotOptimize(SpellingDictionary::program().wordCount());
    }
    state.SetBytesProcessed(state.iterations() * f.bytesSize);
    state.counters["words"] = double(SpellingDictionary::program().wordCount());
}
BENCHMARK(BM_LoadDictionary)->Unit(benchmark::kMillisecond);

// Judging words already found (the lookups and the three preferences' rules).
void BM_JudgeWords(benchmark::State &state)
{
    Fixture &f = fixture();
    std::vector<QString> found;
    for (auto w = SpellingWords::next(f.document, 0); w;
         w = SpellingWords::next(f.document, w->start + w->length))
        found.push_back(w->text);
    const SpellingDictionary &d = SpellingDictionary::program();
    const clsSpelling::Checks checks;
    int unknown = 0;
    for (auto _ : state) {
        unknown = 0;
        for (const QString &w : found)
            unknown += clsSpelling::judge(w, checks, d) ? 0 : 1;
    }
    state.counters["unknown"] = unknown;
    state.SetItemsProcessed(state.iterations() * qint64(found.size()));
}
BENCHMARK(BM_JudgeWords)->Unit(benchmark::kMillisecond);

// The first suggestion of a run: builds the symmetric-delete index over the whole list.
void BM_FirstSuggestion(benchmark::State &state)
{
    fixture();
    for (auto _ : state) {
        state.PauseTiming();
        SpellingDictionary::resetProgram();
        SpellingDictionary::program().ensureLoaded();
        state.ResumeTiming();
        benchmark::DoNotOptimize(SpellingDictionary::program().suggestions(u"recieve", 10));
    }
}
BENCHMARK(BM_FirstSuggestion)->Unit(benchmark::kMillisecond);

// Suggestions for one misspelt word once the index is there, over words of every length.
void BM_Suggest(benchmark::State &state)
{
    fixture();
    const SpellingDictionary &d = SpellingDictionary::program();
    const QStringList typed{"teh",        "wich",         "recieve",   "definately",
                            "acommodate", "unneccessary", "goverment", "pronounciation",
                            "thier",      "questionaire", "scool",     "embarass"};
    d.suggestions(u"x", 1);
    qint64 n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(d.suggestions(typed[n++ % typed.size()], 10));
    state.SetItemsProcessed(n);
}
BENCHMARK(BM_Suggest)->Unit(benchmark::kMicrosecond);

// The search through the text: finding the words and judging them.
void BM_FindMisspelt(benchmark::State &state)
{
    Fixture &f = fixture();
    SpellingDictionary::resetProgram();
    SpellingDictionary::program().ensureLoaded();
    int unknown = 0;
    for (auto _ : state) {
        unknown = 0;
        int from = 0;
        while (const auto w =
                   clsSpelling::nextMisspelt(f.document, from, SpellingDictionary::program())) {
            ++unknown;
            from = w->start + w->length;
        }
    }
    state.counters["unknown"] = unknown;
    state.SetItemsProcessed(state.iterations() * DocumentWords);
}
BENCHMARK(BM_FindMisspelt)->Unit(benchmark::kMillisecond);

// Answers the spelling dialog by pressing Ignore until the check has finished.
class IgnoringUi : public QtUiServices
{
public:
    int messages = 0;
    int messageBox(const QString &, int, const QString &) override
    {
        ++messages;
        return MsgResult::Ok;
    }
    int execDialog(QWidget *dialog) override
    {
        auto *ignore = dialog->findChild<QPushButton *>(QStringLiteral("BTNIGNORE"));
        while (messages == 0)
            ignore->click();
        return 0;
    }
};

// The whole check through the engine: selecting each unknown word in the control, filling the
// dialog, and going on.
void BM_CheckDocument(benchmark::State &state)
{
    Fixture &f = fixture();
    SpellingDictionary::resetProgram();
    SpellingDictionary::program().ensureLoaded();
    RichTextBox box;
    box.setText(f.document);
    IgnoringUi ui;
    UiServices::setInstance(&ui);
    clsSpelling engine;
    engine.TEXTBOX(&box);
    for (auto _ : state) {
        ui.messages = 0;
        engine.SPELLCHECK(false);
    }
    UiServices::setInstance(nullptr);
    state.SetItemsProcessed(state.iterations() * DocumentWords);
}
BENCHMARK(BM_CheckDocument)->Unit(benchmark::kMillisecond);

// Typing into a 1 MB document with checking as you type on (range 1) or off (range 0): one key
// press handled, then the events it caused (the check of the text on screen, the repaint).
void BM_TypeInLargeDocument(benchmark::State &state)
{
    Fixture &f = fixture();
    QString text;
    while (text.size() < 1000000)
        text += f.document;
    text.truncate(1000000);
    RichTextBox box;
    box.resize(800, 600);
    box.setText(text);
    SpellingHighlighter highlighter(&box);
    highlighter.setEnabled(state.range(0) != 0);
    box.show();
    box.setSelStart(500000);
    QCoreApplication::processEvents();
    int i = 0;
    for (auto _ : state) {
        const QString key(QChar(u'a' + i++ % 26));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, key);
        QCoreApplication::sendEvent(&box, &press);
        QCoreApplication::processEvents();
    }
    state.counters["underlined"] = double(highlighter.underlined().size());
}
BENCHMARK(BM_TypeInLargeDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_fixture = std::make_unique<Fixture>();
    benchmark::RunSpecifiedBenchmarks();
    g_fixture.reset();
    benchmark::Shutdown();
    return 0;
}
