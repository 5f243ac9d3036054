#include <QTemporaryDir>
#include <QtTest>

#include "PictureFiles.h"
#include "core/AppState.h"
#include "pictures/DibImage.h"
#include "pictures/PictureDecode.h"
#include "pictures/clsPicTGA.h"
#include "platform/ScreenMetrics.h"
#include "support/ScriptedUiServices.h"

using namespace PictureFiles;
using PictureDecode::Status;
using Pixels = QList<QRgb>;

Q_DECLARE_METATYPE(Pixels)

namespace {

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
    PictureDecode::TgaResult r = PictureDecode::decodeTga(file);
    return r.status == Status::Ok ? DibImage::fromPicture(std::move(r.picture)) : QImage();
}

// A colour-mapped picture of 2 x 2 with the given map and pixel indexes (bottom row first).
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

} // namespace

class tst_Tga : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ScreenMetrics::setInstance(&m_metrics); }
    void cleanupTestCase() { ScreenMetrics::setInstance(nullptr); }
    void init() { AppState::reset(); }

    void decodesEachKind_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Pixels>("expected");

        const QRgb red = qRgb(200, 10, 20), green = qRgb(5, 180, 6), blue = qRgb(1, 2, 250);
        const QByteArray bgrRed = bytes({20, 10, 200}), bgrGreen = bytes({6, 180, 5}),
                         bgrBlue = bytes({250, 2, 1});
        // File rows bottom-up: the second row given is the top row of the picture.
        {
            Tga t = mapped(24, 3, bgrRed + bgrGreen + bgrBlue);
            const QByteArray idx = bytes({0, 1, 2, 0});
            QTest::newRow("8 bit map 24") << t.file(idx) << Pixels{blue, red, red, green};
            t.imageType = 9;
            QTest::newRow("8 bit map 24 rle")
                << t.file(tgaRaw(3, bytes({0, 1, 2})) + tgaRun(1, bytes({0})))
                << Pixels{blue, red, red, green};
            t.descriptor = 0x20;
            QTest::newRow("8 bit top-down rle")
                << t.file(tgaRun(2, bytes({2})) + tgaRaw(2, bytes({1, 0})))
                << Pixels{blue, blue, green, red};
        }
        {
            // Fewer than 256 entries: the others are black.
            Tga t = mapped(24, 1, bgrRed);
            QTest::newRow("short map")
                << t.file(bytes({0, 5, 255, 0})) << Pixels{qRgb(0, 0, 0), red, red, qRgb(0, 0, 0)};
        }
        {
            // 16-bit and 15-bit entries: one attribute bit, five bits each of red, green, blue.
            const QByteArray map = bytes({0x1F, 0x80, 0xE0, 0x03, 0x00, 0x7C});
            const Pixels px = {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 0, 255), qRgb(0, 255, 0)};
            QTest::newRow("map 16") << mapped(16, 3, map).file(bytes({0, 1, 2, 0})) << px;
            QTest::newRow("map 15") << mapped(15, 3, map).file(bytes({0, 1, 2, 0})) << px;
        }
        {
            // 32-bit entries: blue, green, red, alpha; alpha ignored.
            Tga t = mapped(32, 2, bgrRed + char(0) + bgrGreen + char(0x7F));
            QTest::newRow("map 32")
                << t.file(bytes({1, 1, 0, 1})) << Pixels{red, green, green, green};
        }
        {
            Tga t;
            t.imageType = 3;
            t.depth = 8;
            t.width = 3;
            QTest::newRow("grey") << t.file(bytes({0, 0x80, 0xFF}))
                                  << Pixels{qRgb(0, 0, 0), qRgb(128, 128, 128), 0xFFFFFFFF};
            t.imageType = 11;
            QTest::newRow("grey rle")
                << t.file(tgaRun(2, bytes({0x40})) + tgaRaw(1, bytes({0x41})))
                << Pixels{qRgb(0x40, 0x40, 0x40), qRgb(0x40, 0x40, 0x40), qRgb(0x41, 0x41, 0x41)};
        }
        {
            Tga t;
            t.width = 2;
            t.height = 2;
            const QByteArray raw = bgrRed + bgrGreen + bgrBlue + bgrRed;
            QTest::newRow("24 bit") << t.file(raw) << Pixels{blue, red, red, green};
            t.descriptor = 0x20;
            QTest::newRow("24 bit top-down") << t.file(raw) << Pixels{red, green, blue, red};
            t.imageType = 10;
            // A run packet 0x80 writes its pixel once; a raw packet 0x00 copies one pixel.
            QTest::newRow("24 bit rle single packets")
                << t.file(tgaRun(1, bgrRed) + tgaRaw(1, bgrGreen) + tgaRun(2, bgrBlue))
                << Pixels{red, green, blue, blue};
            // A run crossing the scan line, and one cut at the picture's end.
            QTest::newRow("24 bit rle across rows")
                << t.file(tgaRaw(1, bgrRed) + tgaRun(5, bgrGreen))
                << Pixels{red, green, green, green};
            t.id = QByteArray(10, 'x');
            QTest::newRow("24 bit id field")
                << t.file(tgaRun(1, bgrRed) + tgaRaw(1, bgrGreen) + tgaRun(2, bgrBlue))
                << Pixels{red, green, blue, blue};
        }
        {
            // Alpha has no effect, whether 0 or 255.
            Tga t;
            t.depth = 32;
            t.width = 2;
            t.descriptor = 0x08;
            QTest::newRow("32 bit")
                << t.file(bgrRed + char(0) + bgrBlue + char(0xFF)) << Pixels{red, blue};
            t.imageType = 10;
            QTest::newRow("32 bit rle")
                << t.file(tgaRun(2, bgrGreen + char(0x10))) << Pixels{green, green};
        }
        {
            // A true-colour picture that carries a colour map skips it.
            Tga t = mapped(24, 2, QByteArray(6, char(0x55)));
            t.imageType = 2;
            t.depth = 24;
            t.width = 1;
            t.height = 1;
            QTest::newRow("24 bit with map") << t.file(bgrBlue) << Pixels{blue};
        }
        {
            // Missing pixel data decodes as zeros.
            Tga t;
            t.width = 2;
            QTest::newRow("short 24 bit")
                << t.file(bgrRed + bytes({1, 2})) << Pixels{red, qRgb(0, 0, 0)};
            t.imageType = 10;
            QTest::newRow("short rle") << t.file(tgaRaw(2, bgrRed)) << Pixels{red, qRgb(0, 0, 0)};
        }
    }

    void decodesEachKind()
    {
        QFETCH(QByteArray, file);
        QFETCH(Pixels, expected);
        const QImage image = decode(file);
        QVERIFY(!image.isNull());
        QCOMPARE(pixelsOf(image), expected);
    }

    void eightBitRowsArePaddedInFileOrder()
    {
        Tga t;
        t.imageType = 3;
        t.depth = 8;
        t.width = 3;
        t.height = 2;
        const PictureDecode::TgaResult r =
            PictureDecode::decodeTga(t.file(bytes({1, 2, 3, 4, 5, 6})));
        QCOMPARE(r.status, Status::Ok);
        QCOMPARE(r.picture.pixels, bytes({1, 2, 3, 0, 4, 5, 6, 0}));
        QVERIFY(!r.picture.topDown);
    }

    void trueColourPixelsHaveZeroFourthByte()
    {
        Tga t;
        t.depth = 32;
        const PictureDecode::TgaResult r = PictureDecode::decodeTga(t.file(bytes({1, 2, 3, 0xFF})));
        QCOMPARE(r.picture.pixels, bytes({1, 2, 3, 0}));
        QCOMPARE(r.picture.bitsPerPixel, 32);
    }

    void refusesBadHeaders_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<Status>("status");
        Tga t;
        t.depth = 15;
        QTest::newRow("depth 15") << t.file({}) << Status::Unsupported;
        t.depth = 24;
        t.width = 0;
        QTest::newRow("width 0") << t.file({}) << Status::BadSize;
        t.width = 2;
        t.height = -2;
        QTest::newRow("negative height") << t.file({}) << Status::BadSize;
        t.height = 30000;
        t.width = 30000;
        QTest::newRow("too large") << t.file({}) << Status::TooLarge;
        QTest::newRow("empty") << QByteArray() << Status::Unsupported;
    }

    void refusesBadHeaders()
    {
        QFETCH(QByteArray, file);
        QFETCH(Status, status);
        const PictureDecode::TgaResult r = PictureDecode::decodeTga(file);
        QCOMPARE(r.status, status);
        QVERIFY(r.picture.isNull());
        AppState::instance().CurrentBitmap = QImage(3, 3, QImage::Format_RGB32);
        ScriptedUiServices ui;
        clsPicTGA tga;
        tga.LOADTGA(write(file));
        QCOMPARE(AppState::instance().CurrentBitmap.size(), QSize(3, 3));
        QVERIFY(ui.messages.isEmpty());
    }

    void sixteenBitShowsMessage22()
    {
        Tga t;
        t.depth = 16;
        t.width = 4;
        t.height = 3;
        AppState::instance().CurrentBitmap = QImage(3, 3, QImage::Format_RGB32);
        ScriptedUiServices ui;
        clsPicTGA tga;
        tga.LOADTGA(write(t.file(QByteArray(24, '\x7f'))));
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].text, QStringLiteral("There is a problem with reading TGA 16 bit "
                                                     "format, please try another format."));
        QCOMPARE(ui.messages[0].style, 48);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Picture"));
        QCOMPARE(AppState::instance().CurrentBitmap.size(), QSize(3, 3));
        QCOMPARE(int(tga.ISTGA()), 1);
        // The size in twips is still stored.
        QCOMPARE(tga.TGAWIDTH(), 60);
        QCOMPARE(tga.TGAHEIGHT(), 45);
        QCOMPARE(PictureDecode::decodeTga(t.file({})).status, Status::SixteenBit);
    }

    void validHeaders_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("depth");
        QTest::addColumn<int>("valid");
        for (int type : {1, 2, 3, 9, 10, 11, 32, 33})
            QTest::addRow("type %d", type) << type << 8 << 1;
        for (int type : {0, 4, 12, 34})
            QTest::addRow("type %d", type) << type << 24 << 0;
        for (int depth : {16, 24, 32})
            QTest::addRow("depth %d", depth) << 2 << depth << 1;
        for (int depth : {0, 15, 31})
            QTest::addRow("depth %d", depth) << 2 << depth << 0;
    }

    void validHeaders()
    {
        QFETCH(int, type);
        QFETCH(int, depth);
        QFETCH(int, valid);
        Tga t;
        t.imageType = type;
        t.depth = depth;
        ScriptedUiServices ui;
        clsPicTGA tga;
        tga.LOADTGA(write(t.file(QByteArray(8, '\0'))));
        QCOMPARE(int(tga.ISTGA()), valid);
    }

    void loadBuildsTheCurrentBitmap()
    {
        Tga t;
        t.width = 3;
        t.height = 2;
        t.descriptor = 0x20;
        clsPicTGA tga;
        tga.LOADTGA(write(t.file(QByteArray(18, char(0x40)))));
        QVERIFY(tga.topDown());
        QCOMPARE(AppState::instance().CurrentBitmap.size(), QSize(3, 2));
        QCOMPARE(AppState::instance().BitmapInfo32.bmiHeader.biHeight, -2);
        QCOMPARE(AppState::instance().BitmapInfo32.bmiHeader.biBitCount, 32);
        QCOMPARE(tga.TGAWIDTH(), 45);
        QCOMPARE(tga.TGAHEIGHT(), 30);
    }

private:
    QString write(const QByteArray &bytes)
    {
        return PictureFiles::writeFile(m_dir, QStringLiteral("a.tga"), bytes);
    }

    QTemporaryDir m_dir;
    FixedScreenMetrics m_metrics{QSize(1024, 768), 15};
};

QTEST_MAIN(tst_Tga)
#include "tst_tga.moc"
