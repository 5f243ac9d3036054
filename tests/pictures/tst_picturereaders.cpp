// The PCX and Targa readers: the pixels each decoder gives (run-length edge cases included),
// the files they refuse, and the reader classes' operations.
#include <QTemporaryDir>
#include <QtTest>

#include "PictureFiles.h"
#include "core/AppState.h"
#include "pictures/DibImage.h"
#include "pictures/PictureBox.h"
#include "pictures/PictureDecode.h"
#include "pictures/clsPicPCX.h"
#include "pictures/clsPicTGA.h"
#include "platform/ScreenMetrics.h"
#include "support/ScriptedUiServices.h"

using namespace PictureFiles;
using PictureDecode::Status;
using Pixels = QList<QRgb>;

Q_DECLARE_METATYPE(Pixels)

namespace {

constexpr QRgb Black = 0xFF000000;
constexpr QRgb White = 0xFFFFFFFF;

bool isPcx(const QByteArray &file)
{
    return !file.isEmpty() && file[0] == char(10);
}

// The decoded picture's pixels, top row first; empty when nothing was decoded.
Pixels decodedPixels(const QByteArray &file)
{
    PictureDecode::DibPicture picture;
    if (isPcx(file))
        picture = PictureDecode::decodePcx(file).picture;
    else
        picture = PictureDecode::decodeTga(file).picture;
    const QImage image = DibImage::fromPicture(std::move(picture));
    Pixels out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out << (image.pixel(x, y) | 0xFF000000);
    return out;
}

QRgb grey(int v)
{
    return qRgb(v, v, v);
}

QRgb entry16(int i)
{
    return qRgb(i * 16, 255 - i * 16, i);
}

QByteArray palette16()
{
    QByteArray map;
    for (int i = 0; i < 16; ++i)
        map += bytes({i * 16, 255 - i * 16, i});
    return map;
}

// A colour-mapped Targa picture of 2 x 2 with the given map.
Tga mapped(int entryBits, int entries, const QByteArray &map)
{
    Tga t;
    t.colourMapType = 1;
    t.imageType = 1;
    t.depth = 8;
    t.width = 2;
    t.height = 2;
    t.entryBits = entryBits;
    t.colourMapLength = entries;
    t.colourMap = map;
    return t;
}

void pcxRows()
{
    // Monochrome: bit 1 is white whatever the header's colour map says.
    {
        Pcx p = Pcx::sized(1, 1, 10, 2, 2);
        p.colourMap = bytes({255, 0, 0, 0, 0, 255});
        const QByteArray rows = bytes({0xA0, 0x40, 0xFF, 0xC0});
        Pixels px = {White, Black, White, Black, Black, Black, Black, Black, Black, White};
        px += Pixels(10, White);
        QTest::newRow("pcx mono") << p.file(rows) << px;
        p.encoding = 1;
        QTest::newRow("pcx mono rle") << p.file(pcxRle(rows)) << px;
    }
    // 16 colours in four bit planes, width 10: pixel x has value x.
    {
        Pcx p = Pcx::sized(1, 4, 10, 1, 2, 1);
        p.colourMap = palette16();
        QByteArray row;
        for (int plane = 0; plane < 4; ++plane) {
            int hi = 0, lo = 0;
            for (int x = 0; x < 10; ++x)
                if ((x >> plane) & 1)
                    (x < 8 ? hi : lo) |= 0x80 >> (x % 8);
            row += bytes({hi, lo});
        }
        Pixels px;
        for (int x = 0; x < 10; ++x)
            px << entry16(x);
        QTest::newRow("pcx planar 16 rle") << p.file(pcxRle(row)) << px;
    }
    // 16 colours packed, left pixel in the high nibble; lines of 6 bytes for width 9.
    {
        Pcx p = Pcx::sized(4, 1, 9, 2, 6);
        p.colourMap = palette16();
        const QByteArray rows =
            bytes({0x01, 0x23, 0x45, 0x67, 0x8F, 0xEE, 0xFE, 0xDC, 0xBA, 0x98, 0x7F, 0xEE});
        Pixels px;
        for (int x = 0; x < 9; ++x)
            px << entry16(x);
        for (int x = 0; x < 9; ++x)
            px << entry16(15 - x);
        QTest::newRow("pcx packed 16") << p.file(rows) << px;
    }
    // 256 colours with the palette trailer.
    {
        QByteArray trailer(1, 12);
        for (int i = 0; i < 256; ++i)
            trailer += bytes({255 - i, i, 7});
        const Pcx p = Pcx::sized(8, 1, 3, 2, 4, 1);
        QTest::newRow("pcx 256 trailer")
            << p.file(pcxRle(bytes({0, 1, 0xC8, 0, 0xFF, 0x80, 0x10, 0}))) + trailer
            << Pixels{qRgb(255, 0, 7), qRgb(254, 1, 7),   qRgb(55, 200, 7),
                      qRgb(0, 255, 7), qRgb(127, 128, 7), qRgb(239, 16, 7)};
        // Lines of 6 bytes for width 3, with padding bytes, a zero-length run, runs crossing
        // line ends and pixel values above 0xBF; the same pixels other decoders give.
        const Pcx wide = Pcx::sized(8, 1, 3, 3, 6, 1);
        const QByteArray data =
            bytes({1, 2, 3, 0xC0, 0x55, 0xC4, 9, 0xC4, 7, 8, 0xC2, 0xC5, 6, 0xC3, 0});
        QTest::newRow("pcx 256 long lines and crossing runs")
            << wide.file(data) + trailer
            << Pixels{qRgb(254, 1, 7),  qRgb(253, 2, 7),  qRgb(252, 3, 7),
                      qRgb(246, 9, 7),  qRgb(248, 7, 7),  qRgb(248, 7, 7),
                      qRgb(58, 197, 7), qRgb(58, 197, 7), qRgb(249, 6, 7)};
    }
    // 256 colours without the trailer marker, or too short for one: a grey ramp.
    {
        const Pcx p = Pcx::sized(8, 1, 2, 1, 2);
        QTest::newRow("pcx 256 grey") << p.file(bytes({0x20, 0x90}) + QByteArray(2000, '\0'))
                                      << Pixels{grey(0x20), grey(0x90)};
    }
    // Run-length details, two grey lines of 4.
    {
        const Pcx p = Pcx::sized(8, 1, 4, 2, 4, 1);
        QTest::newRow("pcx literal 0xBF, 0xC0 only through a run")
            << p.file(bytes({0xBF, 0xC1, 0xC0, 0xC1, 0xFF, 9}))
            << Pixels{grey(0xBF), grey(0xC0), grey(0xFF), grey(9), Black, Black, Black, Black};
    }
    // 24-bit: three planes a line, red, green, blue.
    {
        const Pcx p = Pcx::sized(8, 3, 2, 2, 2);
        const QByteArray rows = bytes({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
        const Pixels px = {qRgb(10, 30, 50), qRgb(20, 40, 60), qRgb(70, 90, 110),
                           qRgb(80, 100, 120)};
        QTest::newRow("pcx 24 bit") << p.file(rows) << px;
    }
}

void tgaRows()
{
    const QRgb red = qRgb(200, 10, 20), green = qRgb(5, 180, 6), blue = qRgb(1, 2, 250);
    const QByteArray bgrRed = bytes({20, 10, 200}), bgrGreen = bytes({6, 180, 5}),
                     bgrBlue = bytes({250, 2, 1});
    // File rows bottom-up unless the descriptor says otherwise.
    {
        Tga t = mapped(24, 3, bgrRed + bgrGreen + bgrBlue);
        QTest::newRow("tga map 24") << t.file(bytes({0, 1, 2, 0})) << Pixels{blue, red, red, green};
        t.imageType = 9;
        t.descriptor = 0x20;
        QTest::newRow("tga map 24 rle top-down")
            << t.file(tgaRun(2, bytes({2})) + tgaRaw(2, bytes({1, 0})))
            << Pixels{blue, blue, green, red};
        // Fewer than 256 entries: the others are black.
        QTest::newRow("tga short map")
            << mapped(24, 1, bgrRed).file(bytes({0, 5, 255, 0})) << Pixels{Black, red, red, Black};
    }
    {
        // 16-bit and 15-bit entries: one attribute bit, five bits each of red, green, blue.
        const QByteArray map = bytes({0x1F, 0x80, 0xE0, 0x03, 0x00, 0x7C});
        const Pixels px = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 0, 255), qRgb(0, 255, 0)};
        QTest::newRow("tga map 16") << mapped(16, 3, map).file(bytes({0, 1, 2, 0})) << px;
    }
    {
        Tga t;
        t.imageType = 11;
        t.depth = 8;
        t.width = 3;
        QTest::newRow("tga grey rle") << t.file(tgaRun(2, bytes({0x40})) + tgaRaw(1, bytes({0x41})))
                                      << Pixels{grey(0x40), grey(0x40), grey(0x41)};
    }
    {
        Tga t;
        t.width = 2;
        t.height = 2;
        QTest::newRow("tga 24 bit")
            << t.file(bgrRed + bgrGreen + bgrBlue + bgrRed) << Pixels{blue, red, red, green};
        t.imageType = 10;
        t.descriptor = 0x20;
        t.id = QByteArray(9, 'x');
        // Single-pixel packets, a run crossing the scan line and one cut at the picture's end.
        QTest::newRow("tga 24 bit rle")
            << t.file(tgaRun(1, bgrRed) + tgaRaw(1, bgrGreen) + tgaRun(5, bgrBlue))
            << Pixels{red, green, blue, blue};
    }
    {
        // Alpha has no effect, whether 0 or 255.
        Tga t;
        t.depth = 32;
        t.width = 2;
        t.descriptor = 0x08;
        QTest::newRow("tga 32 bit")
            << t.file(bgrRed + char(0) + bgrBlue + char(0xFF)) << Pixels{red, blue};
        // A true-colour picture that carries a colour map skips it.
        Tga withMap = mapped(24, 2, QByteArray(6, char(0x55)));
        withMap.imageType = 2;
        withMap.depth = 24;
        withMap.width = withMap.height = 1;
        QTest::newRow("tga 24 bit with map") << withMap.file(bgrBlue) << Pixels{blue};
        // Missing pixel data decodes as zeros.
        t.depth = 24;
        t.imageType = 10;
        QTest::newRow("tga short rle") << t.file(tgaRaw(2, bgrRed)) << Pixels{red, Black};
    }
}

} // namespace

class tst_PictureReaders : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ScreenMetrics::setInstance(&m_metrics); }
    void cleanupTestCase() { ScreenMetrics::setInstance(nullptr); }
    void init() { AppState::reset(); }

    void decodes_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Pixels>("expected");
        pcxRows();
        tgaRows();
    }
    void decodes()
    {
        QFETCH(QByteArray, file);
        QFETCH(Pixels, expected);
        QCOMPARE(decodedPixels(file), expected);
    }

    void longPcxLinesDecodeLikeRawOnes()
    {
        // Lines long enough for the word-at-a-time path: runs, literals, high values, zero runs
        // and runs crossing lines, against the same picture stored uncompressed.
        QByteArray raw;
        for (int i = 0; i < 3 * 701; ++i)
            raw += char((i / 7) % 3 == 0 ? 0xC5 : (i * 37) % 256);
        QByteArray encoded = pcxRle(raw);
        encoded.insert(100, bytes({0xC0, 0x11}));
        encoded.insert(5, bytes({0xC0, 0xFF}));
        Pcx p = Pcx::sized(8, 1, 700, 3, 701);
        const QByteArray plain = PictureDecode::decodePcx(p.file(raw)).picture.pixels;
        p.encoding = 1;
        const PictureDecode::PcxResult r = PictureDecode::decodePcx(p.file(encoded));
        QCOMPARE(r.status, Status::Ok);
        QCOMPARE(r.picture.pixels, plain);
        QCOMPARE(plain.mid(2 * 700, 700), raw.left(700));
    }

    void refused_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Status>("status");
        QTest::newRow("pcx two planes")
            << Pcx::sized(1, 2, 8, 1, 1).file({}) << Status::Unsupported;
        QTest::newRow("pcx width 0") << Pcx::sized(8, 1, 0, 1, 2).file({}) << Status::BadSize;
        QTest::newRow("pcx too large")
            << Pcx::sized(8, 3, 30000, 30000, 30000).file({}) << Status::TooLarge;
        Pcx wide = Pcx::sized(8, 1, 2, 1, 2);
        wide.xMin = -32768;
        wide.xMax = 32767;
        QTest::newRow("pcx width overflows") << wide.file({}) << Status::BadSize;
        Tga t;
        t.depth = 15;
        QTest::newRow("tga depth 15") << t.file({}) << Status::Unsupported;
        t.depth = 24;
        t.height = -2;
        QTest::newRow("tga negative height") << t.file({}) << Status::BadSize;
        QTest::newRow("empty") << QByteArray() << Status::Unsupported;
    }
    void refused()
    {
        QFETCH(QByteArray, file);
        QFETCH(Status, status);
        const Status got = isPcx(file) ? PictureDecode::decodePcx(file).status
                                       : PictureDecode::decodeTga(file).status;
        QCOMPARE(got, status);
        // Through the classes: the current bitmap stays as it was, and nothing is said.
        AppState::instance().CurrentBitmap = QImage(3, 3, QImage::Format_RGB32);
        ScriptedUiServices ui;
        clsPicPCX pcx;
        pcx.LOADPCX(write(file, QStringLiteral("a.pcx")));
        clsPicTGA tga;
        tga.LOADTGA(write(file, QStringLiteral("a.tga")));
        QCOMPARE(AppState::instance().CurrentBitmap.size(), QSize(3, 3));
        QVERIFY(ui.messages.isEmpty());
    }

    void readersShareTheSizeAndBuildTheBitmap()
    {
        clsPicPCX pcx;
        pcx.LOADPCX(write(Pcx::sized(8, 3, 2, 1, 2).file(bytes({255, 0, 0, 0, 0, 255})),
                          QStringLiteral("c.pcx")));
        PictureBox box;
        box.setBorderStyle(0);
        QCOMPARE(pcx.DRAWPCX(&box), 0);
        QCOMPARE(box.size(), QSize(2, 1));
        QCOMPARE(box.picture().pixel(1, 0), qRgb(0, 0, 255));
        // A Targa picture loaded since gives the PCX reader's sizes in twips too.
        Tga t;
        t.width = 7;
        t.height = 5;
        t.descriptor = 0x20;
        clsPicTGA tga;
        tga.LOADTGA(write(t.file(QByteArray(105, char(0x40))), QStringLiteral("c.tga")));
        QVERIFY(tga.topDown());
        QCOMPARE(AppState::instance().CurrentBitmap.size(), QSize(7, 5));
        QCOMPARE(QSize(pcx.PCXWIDTH(), pcx.PCXHEIGHT()), QSize(105, 75));
    }

private:
    QString write(const QByteArray &bytes, const QString &name)
    {
        return PictureFiles::writeFile(m_dir, name, bytes);
    }

    QTemporaryDir m_dir;
    FixedScreenMetrics m_metrics{QSize(1024, 768), 15};
};

QTEST_MAIN(tst_PictureReaders)
#include "tst_picturereaders.moc"
