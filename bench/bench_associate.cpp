// Registering the rich text types at start-up: the first start (every store entry and desktop
// file written) and the usual start (everything already in place: reads and compares only).

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "chrome/modAssociate.h"
#include "platform/SettingsStore.h"

namespace {

// A private settings store and data folder for the program.
class Fixture
{
public:
    Fixture()
    {
        SettingsStore::setDefaultPath(m_dir.filePath(QStringLiteral("settings.sqlite")));
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("data")).toUtf8());
    }
    ~Fixture()
    {
        SettingsStore::setDefaultPath(QString());
        qunsetenv("XDG_DATA_HOME");
    }

private:
    QTemporaryDir m_dir;
};

void BM_RegisterTypesFirstStart(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        {
            Fixture fixture;
            state.ResumeTiming();
            benchmark::DoNotOptimize(modAssociate::REGISTERTYPES(false));
            state.PauseTiming();
        }
        state.ResumeTiming();
    }
}
BENCHMARK(BM_RegisterTypesFirstStart)->Unit(benchmark::kMicrosecond);

void BM_RegisterTypesUnchanged(benchmark::State &state)
{
    Fixture fixture;
    modAssociate::REGISTERTYPES(false);
    for (auto _ : state)
        benchmark::DoNotOptimize(modAssociate::REGISTERTYPES(false));
}
BENCHMARK(BM_RegisterTypesUnchanged)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
