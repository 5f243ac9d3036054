// Settings store speed: reads as the program makes them, single writes, and a dialog saving
// 1,000 values one by one and inside one batch.

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "core/clsLibrary.h"
#include "platform/SettingsStore.h"

namespace {

const QString Key = QStringLiteral("SOFTWARE\\Qor Software Development\\Pamphlexa\\frmFind\\Items");

// A temporary store holding 1,000 values, installed as the program's store.
class Fixture
{
public:
    Fixture()
    {
        SettingsStore::setDefaultPath(m_dir.filePath(QStringLiteral("settings.sqlite")));
        SettingsStore::Batch batch(SettingsStore::instance());
        for (int i = 0; i < 1000; ++i)
            SettingsStore::instance().writeString(SettingsStore::CurrentUser, Key,
                                                  QStringLiteral("Find %1").arg(i),
                                                  QStringLiteral("searched text %1").arg(i));
    }
    ~Fixture() { SettingsStore::setDefaultPath(QString()); }

private:
    QTemporaryDir m_dir;
};

void BM_ReadString(benchmark::State &state)
{
    Fixture fixture;
    const clsLibrary &lib = clsLibrary::instance();
    QStringList names;
    for (int i = 0; i < 1000; ++i)
        names << QStringLiteral("FIND %1").arg((i * 379) % 1000);
    int i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, Key, names.at(i), QString()));
        i = (i + 1) % 1000;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadString);

void BM_ReadMissing(benchmark::State &state)
{
    Fixture fixture;
    const clsLibrary &lib = clsLibrary::instance();
    for (auto _ : state)
        benchmark::DoNotOptimize(lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, Key,
                                                QStringLiteral("Not There"), QStringLiteral("d")));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ReadMissing);

void BM_WriteString(benchmark::State &state)
{
    Fixture fixture;
    const clsLibrary &lib = clsLibrary::instance();
    int i = 0;
    for (auto _ : state) {
        lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, Key, QStringLiteral("Last Find"),
                        QString::number(i++));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteString)->Unit(benchmark::kMicrosecond);

void write1000(const clsLibrary &lib, int round)
{
    for (int i = 0; i < 1000; ++i)
        lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, Key, QStringLiteral("Find %1").arg(i),
                        QStringLiteral("text %1 of round %2").arg(i).arg(round));
}

void BM_Write1000OneByOne(benchmark::State &state)
{
    Fixture fixture;
    const clsLibrary &lib = clsLibrary::instance();
    int round = 0;
    for (auto _ : state)
        write1000(lib, round++);
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Write1000OneByOne)->Unit(benchmark::kMillisecond);

void BM_Write1000Batch(benchmark::State &state)
{
    Fixture fixture;
    const clsLibrary &lib = clsLibrary::instance();
    int round = 0;
    for (auto _ : state) {
        SettingsStore::Batch batch(SettingsStore::instance());
        write1000(lib, round++);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_Write1000Batch)->Unit(benchmark::kMillisecond);

void BM_FirstOpen(benchmark::State &state)
{
    // Opening an existing store: integrity quick check and statement preparation.
    Fixture fixture;
    const QString path = SettingsStore::defaultPath();
    for (auto _ : state) {
        SettingsStore store(path);
        benchmark::DoNotOptimize(store.readString(SettingsStore::CurrentUser, Key, "Find 1"));
    }
}
BENCHMARK(BM_FirstOpen)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
