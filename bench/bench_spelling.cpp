// Spelling speed: loading a 100,000-word list from its file, and checking a 10,000-word document
// (one word in twenty unknown) both as the bare search and through the engine and its dialog,
// ignoring every unknown word.

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

#include "content/SpellingDictionary.h"
#include "content/WordList.h"
#include "content/clsSpelling.h"
#include "content/frmSpelling.h"
#include "platform/AppPaths.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/UiServices.h"

namespace {

constexpr int ListWords = 100000;
constexpr int DocumentWords = 10000;

QString makeWord(QRandomGenerator &random)
{
    const int length = 3 + int(random.bounded(9));
    QString w;
    for (int i = 0; i < length; ++i)
        w += QLatin1Char(char('a' + random.bounded(26)));
    return w;
}

// A program folder holding a generated word list, and a temporary settings store.
class Fixture
{
public:
    Fixture()
    {
        QRandomGenerator random(42);
        QByteArray bytes;
        for (int i = 0; i < ListWords; ++i) {
            QString w = makeWord(random);
            if (i % 50 == 0)
                w[0] = w[0].toUpper(); // some names
            words << w;
            bytes += WordList::encodeLine(w);
        }
        AppPaths::setProgramFolder(m_dir.path());
        SettingsStore::setDefaultPath(m_dir.filePath(QStringLiteral("settings.sqlite")));
        QFile f(m_dir.filePath(QStringLiteral("Words.dic")));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
        bytesSize = bytes.size();
        // The document: list words, every twentieth an unknown one, with punctuation-free
        // lines of twelve words.
        for (int i = 0; i < DocumentWords; ++i) {
            document += i % 20 == 19 ? QStringLiteral("qqq") + makeWord(random)
                                     : words[int(random.bounded(ListWords))];
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

// The search through the text alone, the preferences read before every word.
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
            from = w->start + int(w->text.size());
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
