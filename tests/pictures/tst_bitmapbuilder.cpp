#include <QTemporaryDir>
#include <QtTest>

#include "PictureFiles.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "pictures/PictureBox.h"
#include "platform/ScreenMetrics.h"

using PictureFiles::bytes;

class tst_BitmapBuilder : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { ScreenMetrics::setInstance(&m_metrics); }
    void cleanupTestCase() { ScreenMetrics::setInstance(nullptr); }
    void init() { AppState::reset(); }

    void colourTables()
    {
        const clsLibrary &lib = clsLibrary::instance();
        AppState &s = AppState::instance();
        lib.INITCOLORTBL1();
        QCOMPARE(s.BitmapInfo1.bmiColors[0].rgbRed, 0);
        QCOMPARE(s.BitmapInfo1.bmiColors[1].rgbBlue, 255);
        lib.INITCOLORTBL4(bytes({10, 20, 30, 40, 50, 60}));
        QCOMPARE(s.BitmapInfo4.bmiColors[1].rgbRed, 40);
        QCOMPARE(s.BitmapInfo4.bmiColors[1].rgbGreen, 50);
        QCOMPARE(s.BitmapInfo4.bmiColors[1].rgbBlue, 60);
        QCOMPARE(s.BitmapInfo4.bmiColors[1].rgbReserved, 0);
        QCOMPARE(s.BitmapInfo4.bmiColors[2].rgbRed, 0); // missing triples are black
        QByteArray ramp;
        for (int i = 0; i < 256; ++i)
            ramp += bytes({i, 255 - i, 1});
        lib.INITCOLORTBL8(ramp);
        QCOMPARE(s.BitmapInfo8.bmiColors[255].rgbRed, 255);
        QCOMPARE(s.BitmapInfo8.bmiColors[255].rgbGreen, 0);
        // A table keeps its contents through CREATEBMP calls.
        lib.CREATEBMP8(bytes({255, 0, 0, 0}), 1, 1, false);
        QCOMPARE(AppState::instance().CurrentBitmap.pixel(0, 0), qRgb(255, 0, 1));
        QCOMPARE(s.BitmapInfo8.bmiColors[255].rgbRed, 255);
    }

    void createBitmaps_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<QByteArray>("pixels");
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<QList<QRgb>>("expected"); // 3 x 2, top row first
        const QRgb k = qRgb(0, 0, 0), w = qRgb(255, 255, 255);
        QTest::newRow("1 bit") << 1 << bytes({0xA0, 0, 0, 0, 0x40, 0, 0, 0}) << false
                               << QList<QRgb>{k, w, k, w, k, w};
        QTest::newRow("1 bit top-down")
            << 1 << bytes({0xA0, 0, 0, 0, 0x40, 0, 0, 0}) << true << QList<QRgb>{w, k, w, k, w, k};
        QTest::newRow("4 bit") << 4 << bytes({0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}) << false
                               << QList<QRgb>{qRgb(4, 4, 4), qRgb(5, 5, 5), qRgb(6, 6, 6),
                                              qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)};
        QTest::newRow("8 bit") << 8 << bytes({1, 2, 3, 0, 4, 5, 6, 0}) << false
                               << QList<QRgb>{qRgb(4, 4, 4), qRgb(5, 5, 5), qRgb(6, 6, 6),
                                              qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)};
        QTest::newRow("8 bit top-down") << 8 << bytes({1, 2, 3, 0, 4, 5, 6, 0}) << true
                                        << QList<QRgb>{qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3),
                                                       qRgb(4, 4, 4), qRgb(5, 5, 5), qRgb(6, 6, 6)};
        // 16-bit: five bits each of red, green, blue; rows of 6 bytes padded to 8.
        QTest::newRow("16 bit")
            << 16 << bytes({0, 0x7C, 0xE0, 0x03, 0x1F, 0, 0, 0, 0xFF, 0x7F, 0, 0, 0, 0x7C, 0, 0})
            << true << QList<QRgb>{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), w, k,
                                   qRgb(255, 0, 0)};
        // 24 (built at 32 bits): blue, green, red, 0; a short buffer reads as zeros.
        QTest::newRow("24 bit short") << 24 << bytes({1, 2, 3, 0, 4, 5, 6, 0}) << false
                                      << QList<QRgb>{k, k, k, qRgb(3, 2, 1), qRgb(6, 5, 4), k};
    }

    void createBitmaps()
    {
        QFETCH(int, bits);
        QFETCH(QByteArray, pixels);
        QFETCH(bool, topDown);
        QFETCH(QList<QRgb>, expected);
        const clsLibrary &lib = clsLibrary::instance();
        QByteArray grey;
        for (int i = 0; i < 256; ++i)
            grey += bytes({i, i, i});
        lib.INITCOLORTBL1();
        lib.INITCOLORTBL4(grey);
        lib.INITCOLORTBL8(grey);
        bool built = false;
        switch (bits) {
        case 1:
            built = lib.CREATEBMP1(pixels, 3, 2, topDown);
            break;
        case 4:
            built = lib.CREATEBMP4(pixels, 3, 2, topDown);
            break;
        case 8:
            built = lib.CREATEBMP8(pixels, 3, 2, topDown);
            break;
        case 16:
            built = lib.CREATEBMP16(pixels, 3, 2, topDown);
            break;
        case 24:
            built = lib.CREATEBMP24(pixels, 3, 2, topDown);
            break;
        }
        QVERIFY(built);
        const QImage &image = AppState::instance().CurrentBitmap;
        QCOMPARE(image.size(), QSize(3, 2));
        QList<QRgb> actual;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                actual << (image.pixel(x, y) | 0xFF000000);
        QCOMPARE(actual, expected);
    }

    void headersDescribeTheBitmap()
    {
        const clsLibrary &lib = clsLibrary::instance();
        lib.CREATEBMP8(QByteArray(8, '\0'), 3, 2, true);
        const BitmapInfoHeader &h = AppState::instance().BitmapInfo8.bmiHeader;
        QCOMPARE(h.biSize, 40u);
        QCOMPARE(h.biWidth, 3);
        QCOMPARE(h.biHeight, -2);
        QCOMPARE(h.biPlanes, 1);
        QCOMPARE(h.biBitCount, 8);
        QCOMPARE(h.biCompression, 0u);
        lib.CREATEBMP24(QByteArray(24, '\0'), 3, 2, false);
        QCOMPARE(AppState::instance().BitmapInfo32.bmiHeader.biBitCount, 32);
        QCOMPARE(AppState::instance().BitmapInfo32.bmiHeader.biHeight, 2);
    }

    void refusesBadSizes()
    {
        const clsLibrary &lib = clsLibrary::instance();
        AppState::instance().CurrentBitmap = QImage(5, 5, QImage::Format_RGB32);
        QVERIFY(!lib.CREATEBMP8(QByteArray(), 0, 2, false));
        QVERIFY(!lib.CREATEBMP24(QByteArray(), 3, 0, false));
        QVERIFY(!lib.CREATEBMP24(QByteArray(), 20000, 20000, false));
        QCOMPARE(AppState::instance().CurrentBitmap.size(), QSize(5, 5));
    }

    void drawWithAutoScale()
    {
        const clsLibrary &lib = clsLibrary::instance();
        lib.CREATEBMP24(bytes({0, 0, 255, 0, 255, 0, 0, 0}), 2, 1, false);
        PictureBox box;
        box.resize(50, 50);
        box.setScaleMode(PictureBox::Pixels);
        lib.DRAWBITMAP(2, 1, &box, 1);
        // Bordered: the inner area becomes the picture's size.
        QCOMPARE(box.innerPixels(), QSize(2, 1));
        QCOMPARE(box.size(),
                 QSize(2 + 2 * PictureBox::BorderPixels, 1 + 2 * PictureBox::BorderPixels));
        QCOMPARE(box.picture().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(box.picture().pixel(1, 0), qRgb(0, 0, 255));
        QCOMPARE(box.scaleMode(), int(PictureBox::Pixels));

        PictureBox plain;
        plain.setBorderStyle(0);
        lib.DRAWBITMAP(2, 1, &plain, 1);
        QCOMPARE(plain.size(), QSize(2, 1));
        QCOMPARE(plain.picture().pixel(1, 0), qRgb(0, 0, 255));
    }

    void drawWithoutAutoScaleStretches()
    {
        const clsLibrary &lib = clsLibrary::instance();
        lib.CREATEBMP24(bytes({0, 0, 255, 0, 255, 0, 0, 0}), 2, 1, false);
        PictureBox plain;
        plain.setBorderStyle(0);
        plain.resize(8, 4);
        lib.DRAWBITMAP(2, 1, &plain, 0);
        QCOMPARE(plain.size(), QSize(8, 4));
        QCOMPARE(plain.picture().pixel(3, 3), qRgb(255, 0, 0));
        QCOMPARE(plain.picture().pixel(4, 0), qRgb(0, 0, 255));

        // A bordered box grows by its border at each draw.
        PictureBox box;
        box.resize(20, 10);
        lib.DRAWBITMAP(2, 1, &box, 0);
        QCOMPARE(box.size(), QSize(24, 14));
        QCOMPARE(box.innerPixels(), QSize(20, 10));
        QCOMPARE(box.picture().pixel(19, 9), qRgb(0, 0, 255));
        lib.DRAWBITMAP(2, 1, &box, 0);
        QCOMPARE(box.size(), QSize(28, 18));
    }

    void drawWithoutBitmapOnlySizes()
    {
        PictureBox box;
        box.setBorderStyle(0);
        box.resize(10, 10);
        clsLibrary::instance().DRAWBITMAP(3, 2, &box, 1);
        QCOMPARE(box.size(), QSize(3, 2));
        QCOMPARE(box.picture().pixel(0, 0), box.palette().color(QPalette::Window).rgb());
    }

    void imageFileInfo_data()
    {
        QTest::addColumn<QByteArray>("head");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("depth");
        auto png = [](int bitDepth, int colourType, int w = 300, int h = 20) {
            return QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) +
                   bytes({0, 0, w >> 8, w & 255, 0, 0, h >> 8, h & 255, bitDepth, colourType});
        };
        QTest::newRow("png grey") << png(16, 0) << 3 << 300 << 20 << 16;
        QTest::newRow("png rgb") << png(8, 2) << 3 << 300 << 20 << 24;
        QTest::newRow("png palette 4 bit") << png(4, 3) << 3 << 300 << 20 << 8;
        QTest::newRow("png grey alpha") << png(8, 4) << 3 << 300 << 20 << 16;
        QTest::newRow("png rgba") << png(8, 6) << 3 << 300 << 20 << 32;
        QTest::newRow("png type 5") << png(8, 5) << 0 << -1 << -1 << -1;
        QTest::newRow("png too wide") << png(8, 2, 40000) << 3 << -1 << -1 << 24;
        QTest::newRow("gif") << QByteArray("GIF89a") + bytes({0x2C, 1, 20, 0, 0xF4}) << 1 << 300
                             << 20 << 5;
        QTest::newRow("bmp") << QByteArray("BM") + QByteArray(16, '\0') +
                                    bytes({0x2C, 1, 0, 0, 20, 0, 0, 0, 1, 0, 4, 0})
                             << 4 << 300 << 20 << 4;
        const QByteArray sof = bytes({0xFF, 0xC2, 0, 17, 8, 0, 20, 1, 0x2C, 3});
        const QByteArray app0 = bytes({0xFF, 0xE0, 0, 16}) + QByteArray(14, 'J');
        QTest::newRow("jpeg") << bytes({0xFF, 0xD8}) + app0 + sof << 2 << 300 << 20 << 24;
        QTest::newRow("jpeg after junk")
            << QByteArray(100, 'x') + bytes({0xFF, 0xD8}) + app0 + bytes({0xFF, 0xFF}) + sof << 2
            << 300 << 20 << 24;
        QTest::newRow("jpeg sof too far")
            << bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 2}) + QByteArray(65520, '\0') + sof << 0 << -1
            << -1 << -1;
        QTest::newRow("text") << QByteArray("hello") << 0 << -1 << -1 << -1;
        QTest::newRow("empty") << QByteArray() << 0 << -1 << -1 << -1;
    }

    void imageFileInfo()
    {
        QFETCH(QByteArray, head);
        QFETCH(int, kind);
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, depth);
        AppState &s = AppState::instance();
        // -1: left as it was.
        s.ImageWidth = s.ImageHeight = s.ImageBitDepth = -1;
        s.ImageFileName = write(head);
        clsLibrary::instance().GETIMAGEFILEINFO();
        QCOMPARE(s.ImageKind, kind);
        QCOMPARE(s.ImageWidth, width);
        QCOMPARE(s.ImageHeight, height);
        QCOMPARE(s.ImageBitDepth, depth);
    }

    void imageFileInfoOnMissingFile()
    {
        AppState &s = AppState::instance();
        s.ImageFileName = write(QByteArray("BM") + QByteArray(30, '\x01'));
        clsLibrary::instance().GETIMAGEFILEINFO();
        QCOMPARE(s.ImageKind, 4);
        s.ImageFileName = m_dir.filePath(QStringLiteral("missing.png"));
        clsLibrary::instance().GETIMAGEFILEINFO();
        QCOMPARE(s.ImageKind, 0);
    }

    void colourDepthNames_data()
    {
        QTest::addColumn<QString>("depth");
        QTest::addColumn<QString>("name");
        QTest::newRow("1") << "1"
                           << "2 colors (1 bit)";
        QTest::newRow("4") << "4"
                           << "16 colors (4 bit)";
        QTest::newRow("8") << "8"
                           << "256 colors (8 bit)";
        QTest::newRow("24") << "24"
                            << "16 million colors (24 bit)";
        QTest::newRow("spaces") << " 8 "
                                << "256 colors (8 bit)";
        QTest::newRow("16") << "16"
                            << "";
        QTest::newRow("32") << "32"
                            << "";
        QTest::newRow("text") << "abc"
                              << "";
    }

    void colourDepthNames()
    {
        QFETCH(QString, depth);
        QFETCH(QString, name);
        QCOMPARE(clsLibrary::instance().GETCOLORDEPTH(depth), name);
    }

private:
    QString write(const QByteArray &bytes)
    {
        return PictureFiles::writeFile(m_dir, QStringLiteral("picture.bin"), bytes);
    }

    QTemporaryDir m_dir;
    FixedScreenMetrics m_metrics{QSize(1024, 768), 15};
};

QTEST_MAIN(tst_BitmapBuilder)
#include "tst_bitmapbuilder.moc"
