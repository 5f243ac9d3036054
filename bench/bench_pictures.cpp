// Decoding speed of large run-length encoded pictures: a 4000 x 3000 24-bit PCX and a
// 4000 x 3000 32-bit Targa, from memory (decoder + bitmap builder) and from a file (the
// readers' LOADPCX/LOADTGA). `bench_pictures --write-samples DIR` writes the two files.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstring>

#include "core/AppState.h"
#include "pictures/DibImage.h"
#include "pictures/PictureDecode.h"
#include "pictures/clsPicPCX.h"
#include "pictures/clsPicTGA.h"

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;

// A synthetic photograph: smooth gradients (long runs) with noisy tiles (literals).
void pixelAt(int x, int y, quint8 &r, quint8 &g, quint8 &b)
{
    r = quint8(x / 16);
    g = quint8(y / 12);
    b = quint8((x + y) / 20);
    if (((x / 200) + (y / 200)) % 3 == 0) {
        quint32 h = quint32(x) * 2654435761u ^ quint32(y) * 40503u;
        h ^= h >> 13;
        r = quint8(r + (h & 31));
        g = quint8(g + ((h >> 5) & 31));
        b = quint8(b + ((h >> 10) & 31));
    }
}

void pcxRunLength(const quint8 *row, int n, QByteArray &out)
{
    for (int i = 0; i < n;) {
        int k = 1;
        while (i + k < n && row[i + k] == row[i] && k < 63)
            ++k;
        if (k > 1 || row[i] >= 0xC0)
            out += char(0xC0 | k);
        out += char(row[i]);
        i += k;
    }
}

QByteArray makePcx()
{
    QByteArray file(128, '\0');
    file[0] = 10;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    auto put16 = [&](int at, int v) {
        file[at] = char(v & 0xFF);
        file[at + 1] = char(v >> 8);
    };
    put16(8, Width - 1);
    put16(10, Height - 1);
    file[65] = 3;
    put16(66, Width);
    std::vector<quint8> planes(size_t(3) * Width);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x)
            pixelAt(x, y, planes[size_t(x)], planes[size_t(Width + x)],
                    planes[size_t(2 * Width + x)]);
        pcxRunLength(planes.data(), 3 * Width, file);
    }
    return file;
}

QByteArray makeTga()
{
    QByteArray file(18, '\0');
    file[2] = 10;
    file[12] = char(Width & 0xFF);
    file[13] = char(Width >> 8);
    file[14] = char(Height & 0xFF);
    file[15] = char(Height >> 8);
    file[16] = 32;
    file[17] = 0x08;
    std::vector<quint32> row(Width);
    for (int y = Height - 1; y >= 0; --y) {
        for (int x = 0; x < Width; ++x) {
            quint8 r, g, b;
            pixelAt(x, y, r, g, b);
            row[size_t(x)] = quint32(b) | quint32(g) << 8 | quint32(r) << 16 | 0xFF000000u;
        }
        for (int x = 0; x < Width;) {
            int k = 1;
            while (x + k < Width && row[size_t(x + k)] == row[size_t(x)] && k < 128)
                ++k;
            if (k > 1) {
                file += char(0x80 | (k - 1));
                file.append(reinterpret_cast<const char *>(&row[size_t(x)]), 4);
                x += k;
            } else {
                int raw = 1;
                while (x + raw < Width && raw < 128 &&
                       row[size_t(x + raw)] != row[size_t(x + raw - 1)])
                    ++raw;
                file += char(raw - 1);
                file.append(reinterpret_cast<const char *>(&row[size_t(x)]), 4 * raw);
                x += raw;
            }
        }
    }
    return file;
}

const QByteArray &pcxFile()
{
    static const QByteArray file = makePcx();
    return file;
}

const QByteArray &tgaFile()
{
    static const QByteArray file = makeTga();
    return file;
}

QString writeSample(const QString &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = QDir(folder).filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

void BM_DecodePcx24Rle(benchmark::State &state)
{
    for (auto _ : state) {
        PictureDecode::PcxResult r = PictureDecode::decodePcx(pcxFile());
        QImage image = DibImage::fromPicture(std::move(r.picture));
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetBytesProcessed(state.iterations() * qint64(Width) * Height * 3);
}

void BM_DecodeTga32Rle(benchmark::State &state)
{
    for (auto _ : state) {
        PictureDecode::TgaResult r = PictureDecode::decodeTga(tgaFile());
        QImage image = DibImage::fromPicture(std::move(r.picture));
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetBytesProcessed(state.iterations() * qint64(Width) * Height * 4);
}

void BM_LoadPcx24Rle(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeSample(dir.path(), QStringLiteral("big.pcx"), pcxFile());
    clsPicPCX pcx;
    for (auto _ : state) {
        AppState::instance().CurrentBitmap = QImage();
        pcx.LOADPCX(path);
        benchmark::DoNotOptimize(AppState::instance().CurrentBitmap.constBits());
    }
    if (AppState::instance().CurrentBitmap.size() != QSize(Width, Height))
        state.SkipWithError("no picture");
}

void BM_LoadTga32Rle(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeSample(dir.path(), QStringLiteral("big.tga"), tgaFile());
    clsPicTGA tga;
    for (auto _ : state) {
        AppState::instance().CurrentBitmap = QImage();
        tga.LOADTGA(path);
        benchmark::DoNotOptimize(AppState::instance().CurrentBitmap.constBits());
    }
    if (AppState::instance().CurrentBitmap.size() != QSize(Width, Height))
        state.SkipWithError("no picture");
}

} // namespace

BENCHMARK(BM_DecodePcx24Rle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeTga32Rle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadPcx24Rle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadTga32Rle)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-samples") == 0) {
        const QString folder = QString::fromLocal8Bit(argv[2]);
        writeSample(folder, QStringLiteral("big24rle.pcx"), pcxFile());
        writeSample(folder, QStringLiteral("big32rle.tga"), tgaFile());
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
