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

// The picture's pixels, top row first.
Pixels pixelsOf(const QImage &image)
{
    Pixels out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out << (image.pixel(x, y) | 0xFF000000);
    return out;
}

QImage decode(const QByteArray &file)
{
    PictureDecode::PcxResult r = PictureDecode::decodePcx(file);
    return r.status == Status::Ok ? DibImage::fromPicture(std::move(r.picture)) : QImage();
}

QByteArray palette16()
{
    QByteArray map;
    for (int i = 0; i < 16; ++i)
        map += bytes({i * 16, 255 - i * 16, i});
    return map;
}

QRgb entry16(int i)
{
    return qRgb(i * 16, 255 - i * 16, i);
}

} // namespace

class tst_Pcx : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ScreenMetrics::setInstance(&m_metrics); }
    void cleanupTestCase() { ScreenMetrics::setInstance(nullptr); }
    void init() { AppState::reset(); }

    void decodesEachCombination_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("width");
        QTest::addColumn<Pixels>("expected");

        // Monochrome: bit 1 is white whatever the header's colour map says.
        {
            Pcx p = Pcx::sized(1, 1, 10, 2, 2);
            p.colourMap = bytes({255, 0, 0, 0, 0, 255});
            const QByteArray rows = bytes({0xA0, 0x40, 0xFF, 0xC0});
            Pixels px = {White, Black, White, Black, Black, Black, Black, Black, Black, White};
            px += Pixels(10, White);
            QTest::newRow("mono raw") << p.file(rows) << 10 << px;
            p.encoding = 1;
            QTest::newRow("mono rle") << p.file(pcxRle(rows)) << 10 << px;
        }
        // 16 colours in four bit planes, width 10 (two plane bytes each).
        {
            Pcx p = Pcx::sized(1, 4, 10, 1, 2);
            p.colourMap = palette16();
            // Pixel x has value x: plane k holds bit k of each value.
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
            QTest::newRow("planar 16") << p.file(row) << 10 << px;
            p.encoding = 1;
            QTest::newRow("planar 16 rle") << p.file(pcxRle(row)) << 10 << px;
        }
        // 16 colours packed, width 10: rows of 6 bytes, left pixel in the high nibble.
        {
            Pcx p = Pcx::sized(4, 1, 10, 2, 6);
            p.colourMap = palette16();
            const QByteArray rows =
                bytes({0x01, 0x23, 0x45, 0x67, 0x89, 0x00, 0xFE, 0xDC, 0xBA, 0x98, 0x76, 0x00});
            Pixels px;
            for (int x = 0; x < 10; ++x)
                px << entry16(x);
            for (int x = 0; x < 10; ++x)
                px << entry16(15 - x);
            QTest::newRow("packed 16") << p.file(rows) << 10 << px;
        }
        // 256 colours with the palette trailer.
        {
            Pcx p = Pcx::sized(8, 1, 3, 2, 4, 1);
            QByteArray trailer(1, 12);
            for (int i = 0; i < 256; ++i)
                trailer += bytes({255 - i, i, 7});
            const QByteArray rows = bytes({0, 1, 0xC8, 0, 0xFF, 0x80, 0x10, 0});
            const Pixels px = {qRgb(255, 0, 7), qRgb(254, 1, 7),   qRgb(55, 200, 7),
                               qRgb(0, 255, 7), qRgb(127, 128, 7), qRgb(239, 16, 7)};
            QByteArray data = pcxRle(rows);
            QTest::newRow("256 trailer") << p.file(data + trailer) << 3 << px;
        }
        // 256 colours without the trailer marker: a grey ramp.
        {
            Pcx p = Pcx::sized(8, 1, 2, 1, 2);
            QByteArray data = bytes({0x20, 0x90}) + QByteArray(2000, '\0');
            QTest::newRow("256 grey")
                << p.file(data) << 2 << Pixels{qRgb(0x20, 0x20, 0x20), qRgb(0x90, 0x90, 0x90)};
            // Shorter than a trailer could be: grey as well.
            QTest::newRow("256 short file")
                << p.file(bytes({0x20, 0x90})) << 2
                << Pixels{qRgb(0x20, 0x20, 0x20), qRgb(0x90, 0x90, 0x90)};
        }
        // 24-bit: three planes per row, red, green, blue.
        {
            Pcx p = Pcx::sized(8, 3, 2, 2, 2);
            const QByteArray rows = bytes({10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120});
            const Pixels px = {qRgb(10, 30, 50), qRgb(20, 40, 60), qRgb(70, 90, 110),
                               qRgb(80, 100, 120)};
            QTest::newRow("24 bit") << p.file(rows) << 2 << px;
            p.encoding = 1;
            QTest::newRow("24 bit rle") << p.file(pcxRle(rows)) << 2 << px;
        }
    }

    void decodesEachCombination()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, width);
        QFETCH(Pixels, expected);
        const QImage image = decode(file);
        QVERIFY(!image.isNull());
        QCOMPARE(image.width(), width);
        QCOMPARE(pixelsOf(image), expected);
    }

    void runLengthDecoding_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("firstRow");
        // Rows of 4 bytes, 2 rows; the decoded stream runs across them.
        QTest::newRow("zero run emits nothing")
            << bytes({0xC0, 0x55, 1, 2, 3, 4}) << bytes({1, 2, 3, 4});
        QTest::newRow("literal 0xBF")
            << bytes({0xBF, 0xC1, 0xC0, 0xC1, 0xFF, 9}) << bytes({0xBF, 0xC0, 0xFF, 9});
        QTest::newRow("run across rows") << bytes({1, 2, 0xC4, 7, 8, 9}) << bytes({1, 2, 7, 7});
        QTest::newRow("short data") << bytes({5}) << bytes({5, 0, 0, 0});
        QTest::newRow("run without value") << bytes({1, 0xC5}) << bytes({1, 0, 0, 0});
    }

    void runLengthDecoding()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, firstRow);
        const Pcx p = Pcx::sized(8, 1, 4, 2, 4, 1);
        const PictureDecode::PcxResult r = PictureDecode::decodePcx(p.file(data));
        QCOMPARE(r.status, Status::Ok);
        // Bottom-up: the first source row is the last row of the buffer.
        QCOMPARE(r.picture.pixels.size(), 8);
        QCOMPARE(r.picture.pixels.mid(4, 4), firstRow);
        QVERIFY(!r.picture.topDown);
    }

    void longRowsDecodeLikeRawOnes()
    {
        // Rows long enough for the word-at-a-time path: runs, literals, high values, zero runs
        // and runs crossing rows, against the same picture stored uncompressed.
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
        QCOMPARE(r.picture.pixels.size(), 3 * 704);
        QCOMPARE(r.picture.pixels, plain);
        QCOMPARE(plain.mid(2 * 704, 701), raw.left(701));
    }

    void rowsArePaddedAndBottomUp()
    {
        // Width 10 at 4 bits: rows of 6 bytes padded to 8, last source row first.
        const Pcx p = Pcx::sized(4, 1, 10, 2, 6);
        const QByteArray rows = bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
        const PictureDecode::PcxResult r = PictureDecode::decodePcx(p.file(rows));
        QCOMPARE(r.status, Status::Ok);
        QCOMPARE(r.picture.pixels, bytes({7, 8, 9, 10, 11, 12, 0, 0, 1, 2, 3, 4, 5, 6, 0, 0}));
        QCOMPARE(r.picture.palette.size(), 48);
    }

    void refusesBadHeaders_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Status>("status");
        QTest::newRow("two planes") << Pcx::sized(1, 2, 8, 1, 1).file({}) << Status::Unsupported;
        QTest::newRow("2 bits") << Pcx::sized(2, 1, 8, 1, 2).file({}) << Status::Unsupported;
        QTest::newRow("width 0") << Pcx::sized(8, 1, 0, 1, 2).file({}) << Status::BadSize;
        QTest::newRow("negative height") << Pcx::sized(8, 1, 2, -3, 2).file({}) << Status::BadSize;
        QTest::newRow("bpl 0") << Pcx::sized(8, 1, 2, 2, 0).file({}) << Status::BadSize;
        QTest::newRow("bpl negative") << Pcx::sized(8, 3, 2, 2, -2).file({}) << Status::BadSize;
        QTest::newRow("bpl short 8 bit") << Pcx::sized(8, 1, 5, 1, 4).file({}) << Status::BadSize;
        QTest::newRow("bpl short mono") << Pcx::sized(1, 1, 17, 1, 2).file({}) << Status::BadSize;
        QTest::newRow("bpl short 4 bit") << Pcx::sized(4, 1, 5, 1, 2).file({}) << Status::BadSize;
        QTest::newRow("too large")
            << Pcx::sized(8, 3, 30000, 30000, 30000).file({}) << Status::TooLarge;
        Pcx wide = Pcx::sized(8, 1, 2, 1, 2);
        wide.xMin = -32768;
        wide.xMax = 32767;
        QTest::newRow("width overflows") << wide.file({}) << Status::BadSize;
        QTest::newRow("empty file") << QByteArray() << Status::Unsupported;
    }

    void refusesBadHeaders()
    {
        QFETCH(QByteArray, file);
        QFETCH(Status, status);
        const PictureDecode::PcxResult r = PictureDecode::decodePcx(file);
        QCOMPARE(r.status, status);
        QVERIFY(r.picture.isNull());

        // Through the class: the current bitmap stays as it was.
        AppState::instance().CurrentBitmap = QImage(3, 3, QImage::Format_RGB32);
        const QString path = write(file);
        clsPicPCX pcx;
        QCOMPARE(pcx.LOADPCX(path), 0);
        QCOMPARE(AppState::instance().CurrentBitmap.size(), QSize(3, 3));
    }

    void validHeaders_data()
    {
        QTest::addColumn<int>("manufacturer");
        QTest::addColumn<int>("version");
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("valid");
        QTest::newRow("v5 rle") << 10 << 5 << 1 << 1;
        QTest::newRow("v0 raw") << 10 << 0 << 0 << 1;
        QTest::newRow("v2") << 10 << 2 << 1 << 1;
        QTest::newRow("v3") << 10 << 3 << 1 << 1;
        QTest::newRow("v4") << 10 << 4 << 1 << 0;
        QTest::newRow("encoding 2") << 10 << 5 << 2 << 0;
        QTest::newRow("manufacturer 11") << 11 << 5 << 1 << 0;
    }

    void validHeaders()
    {
        QFETCH(int, manufacturer);
        QFETCH(int, version);
        QFETCH(int, encoding);
        QFETCH(int, valid);
        Pcx p = Pcx::sized(7, 7, 1, 1, 1); // no decoder: validity alone
        p.manufacturer = manufacturer;
        p.version = version;
        p.encoding = encoding;
        clsPicPCX pcx;
        pcx.LOADPCX(write(p.file({})));
        QCOMPARE(int(pcx.ISPCX()), valid);
    }

    void loadBuildsTheCurrentBitmap()
    {
        Pcx p = Pcx::sized(8, 1, 3, 2, 4);
        clsPicPCX pcx;
        pcx.LOADPCX(write(p.file(bytes({1, 2, 3, 0, 4, 5, 6, 0}))));
        const QImage &bitmap = AppState::instance().CurrentBitmap;
        QCOMPARE(bitmap.size(), QSize(3, 2));
        QCOMPARE(bitmap.pixel(2, 1), qRgb(6, 6, 6));
        // The 8-bit description's colour table is the grey ramp now.
        QCOMPARE(AppState::instance().BitmapInfo8.bmiColors[200].rgbGreen, 200);
        QCOMPARE(AppState::instance().BitmapInfo8.bmiHeader.biHeight, 2);
        QCOMPARE(AppState::instance().BitmapInfo8.bmiHeader.biBitCount, 8);
    }

    void sizesFollowTheScaleMode_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("pixels") << 0 << 3 << 2;
        QTest::newRow("twips") << 1 << 45 << 30;
        QTest::newRow("5 is twips") << 5 << 45 << 30;
        QTest::newRow("negative") << -1 << 0 << 0;
    }

    void sizesFollowTheScaleMode()
    {
        QFETCH(int, mode);
        QFETCH(int, width);
        QFETCH(int, height);
        clsPicPCX pcx;
        pcx.LOADPCX(write(Pcx::sized(8, 1, 3, 2, 4).file({})));
        pcx.SCALEMODE(qint16(mode));
        QCOMPARE(pcx.PCXWIDTH(), width);
        QCOMPARE(pcx.PCXHEIGHT(), height);
    }

    void sizeInTwipsIsShared()
    {
        clsPicPCX pcx;
        pcx.LOADPCX(write(Pcx::sized(8, 1, 3, 2, 4).file({})));
        QCOMPARE(pcx.PCXWIDTH(), 45);
        Tga t;
        t.width = 7;
        t.height = 5;
        clsPicTGA tga;
        tga.LOADTGA(write(t.file({}), QStringLiteral("b.tga")));
        QCOMPARE(pcx.PCXWIDTH(), 105);
        QCOMPARE(pcx.PCXHEIGHT(), 75);
    }

    void drawsIntoAPictureBox()
    {
        Pcx p = Pcx::sized(8, 3, 2, 1, 2);
        clsPicPCX pcx;
        pcx.LOADPCX(write(p.file(bytes({255, 0, 0, 0, 0, 255}))));
        PictureBox box;
        box.setBorderStyle(0);
        QCOMPARE(pcx.DRAWPCX(&box), 0);
        QCOMPARE(box.size(), QSize(2, 1));
        QCOMPARE(box.picture().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(box.picture().pixel(1, 0), qRgb(0, 0, 255));
    }

private:
    QString write(const QByteArray &bytes, const QString &name = QStringLiteral("a.pcx"))
    {
        return PictureFiles::writeFile(m_dir, name, bytes);
    }

    QTemporaryDir m_dir;
    FixedScreenMetrics m_metrics{QSize(1024, 768), 15};
};

QTEST_MAIN(tst_Pcx)
#include "tst_pcx.moc"
