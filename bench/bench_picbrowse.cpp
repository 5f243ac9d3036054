// Thumbnails of a folder of 200 generated pictures, read by the picture browser's background
// loader: time until the first thumbnail is there, time until all are, and the longest the
// window's thread went without handling events meanwhile (what a user would feel as a freeze).
// Folders: 200 JPEG photographs of 1600 x 1200, and 200 8-bit PCX pictures of 640 x 480 read by
// the program's own decoder. The one-picture benchmarks show what a thumbnail costs on one
// thread, full size against a reduced-scale read.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QThread>
#include <benchmark/benchmark.h>

#include "pictures/PicBrowse.h"
#include "pictures/PicBrowseLoader.h"

namespace {

constexpr int Files = 200;

QImage photo(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            quint32 n = quint32(x * 7 + y * 13 + seed) * 2654435761u;
            line[x] = qRgb((x + seed) & 255, (y * 2) & 255, int((x + y) / 8 + (n >> 28)) & 255);
        }
    }
    return image;
}

QByteArray pcx8(int w, int h, int seed)
{
    QByteArray file(128, '\0');
    file[0] = 10;
    file[1] = 5;
    file[2] = 0;
    file[3] = 8;
    auto put16 = [&](int at, int v) {
        file[at] = char(v & 255);
        file[at + 1] = char(v >> 8);
    };
    put16(8, w - 1);
    put16(10, h - 1);
    file[65] = 1;
    put16(66, w);
    QByteArray pixels(w * h, '\0');
    for (int i = 0; i < pixels.size(); ++i)
        pixels[i] = char((i / 3 + seed) & 255);
    QByteArray palette(769, '\0');
    palette[0] = 12;
    for (int i = 0; i < 256; ++i)
        palette[1 + 3 * i] = palette[2 + 3 * i] = palette[3 + 3 * i] = char(i);
    return file + pixels + palette;
}

struct Folder
{
    QTemporaryDir dir;
    QStringList names;
};

const Folder &jpegFolder()
{
    static Folder folder = [] {
        Folder f;
        for (int i = 0; i < Files; ++i) {
            const QString name = QStringLiteral("photo%1.jpg").arg(i, 3, 10, QLatin1Char('0'));
            photo(1600, 1200, i).save(f.dir.filePath(name), "JPG", 85);
            f.names.append(name);
        }
        return f;
    }();
    return folder;
}

const Folder &pcxFolder()
{
    static Folder folder = [] {
        Folder f;
        for (int i = 0; i < Files; ++i) {
            const QString name = QStringLiteral("paint%1.pcx").arg(i, 3, 10, QLatin1Char('0'));
            QFile file(f.dir.filePath(name));
            if (file.open(QIODevice::WriteOnly))
                file.write(pcx8(640, 480, i));
            f.names.append(name);
        }
        return f;
    }();
    return folder;
}

// One browser opening: page 1 asked for, then everything read in the background.
void readFolder(benchmark::State &state, const Folder &folder)
{
    double firstTotal = 0, allTotal = 0, worstGap = 0;
    for (auto _ : state) {
        PicBrowseLoader loader(QSize(96, 96));
        double first = -1;
        QElapsedTimer timer;
        QObject::connect(&loader, &PicBrowseLoader::thumbnailReady, [&] {
            if (first < 0)
                first = timer.nsecsElapsed() / 1e6;
        });
        timer.start();
        loader.setFiles(folder.dir.path(), folder.names);
        loader.request(0, 9);
        qint64 last = timer.nsecsElapsed();
        while (!loader.isIdle()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            const qint64 now = timer.nsecsElapsed();
            worstGap = std::max(worstGap, (now - last) / 1e6);
            last = now;
            QThread::usleep(200);
        }
        QCoreApplication::processEvents();
        const double all = timer.nsecsElapsed() / 1e6;
        if (loader.readCount() != folder.names.size())
            state.SkipWithError("not every thumbnail was read");
        firstTotal += first;
        allTotal += all;
        state.SetIterationTime(all / 1000.0);
    }
    const double n = double(state.iterations());
    state.counters["first_ms"] = firstTotal / n;
    state.counters["all_ms"] = allTotal / n;
    state.counters["worst_event_gap_ms"] = worstGap;
}

void BM_BrowseJpegFolder(benchmark::State &state)
{
    readFolder(state, jpegFolder());
}
BENCHMARK(BM_BrowseJpegFolder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_BrowsePcxFolder(benchmark::State &state)
{
    readFolder(state, pcxFolder());
}
BENCHMARK(BM_BrowsePcxFolder)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OneJpegFullSize(benchmark::State &state)
{
    const QString path = jpegFolder().dir.filePath(jpegFolder().names.first());
    for (auto _ : state)
        benchmark::DoNotOptimize(PicBrowse::readPicture(path));
}
BENCHMARK(BM_OneJpegFullSize)->Unit(benchmark::kMillisecond);

void BM_OneJpegThumbnail(benchmark::State &state)
{
    const QString path = jpegFolder().dir.filePath(jpegFolder().names.first());
    for (auto _ : state)
        benchmark::DoNotOptimize(PicBrowse::readPicture(path, QSize(96, 96)));
}
BENCHMARK(BM_OneJpegThumbnail)->Unit(benchmark::kMillisecond);

void BM_OnePcxThumbnail(benchmark::State &state)
{
    const QString path = pcxFolder().dir.filePath(pcxFolder().names.first());
    for (auto _ : state)
        benchmark::DoNotOptimize(PicBrowse::readPicture(path, QSize(96, 96)));
}
BENCHMARK(BM_OnePcxThumbnail)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
