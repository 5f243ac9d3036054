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

    void createBitmaps_data()
    {
        QTest::addColumn<int>("bits");
        QTest::addColumn<QByteArray>("pixels");
        QTest::addColumn<bool>("topDown");
        QTest::addColumn<QList<QRgb>>("expected"); // 3 x 2, top row first
        const QRgb k = qRgb(0, 0, 0), w = qRgb(255, 255, 255);
        QTest::newRow("1 bit") << 1 << bytes({0xA0, 0, 0, 0, 0x40, 0, 0, 0}) << false
                               << QList<QRgb>{k, w, k, w, k, w};
        QTest::newRow("4 bit") << 4 << bytes({0x12, 0x30, 0, 0, 0x45, 0x60, 0, 0}) << false
                               << QList<QRgb>{qRgb(4, 4, 4), qRgb(5, 5, 5), qRgb(6, 6, 6),
                                              qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)};
        QTest::newRow("8 bit") << 8 << bytes({1, 2, 3, 0, 4, 5, 6, 0}) << false
                               << QList<QRgb>{qRgb(4, 4, 4), qRgb(5, 5, 5), qRgb(6, 6, 6),
                                              qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)};
        QTest::newRow("8 bit top-down") << 8 << bytes({1, 2, 3, 0, 4, 5, 6, 0}) << true
                                        << QList<QRgb>{qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3),
                                                       qRgb(4, 4, 4), qRgb(5, 5, 5), qRgb(6, 6, 6)};
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
        case 24:
            built = lib.CREATEBMP24(pixels, 3, 2, topDown);
            break;
        }
        QVERIFY(built);
        if (bits == 8) // a top-down bitmap is described with a negative height
            QCOMPARE(AppState::instance().BitmapInfo8.bmiHeader.biHeight, topDown ? -2 : 2);
        const QImage &image = AppState::instance().CurrentBitmap;
        QCOMPARE(image.size(), QSize(3, 2));
        QList<QRgb> actual;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                actual << (image.pixel(x, y) | 0xFF000000);
        QCOMPARE(actual, expected);
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

    void drawBitmap_data()
    {
        QTest::addColumn<bool>("bordered");
        QTest::addColumn<int>("autoScale");
        QTest::addColumn<int>("draws");
        QTest::addColumn<QSize>("size");   // the box's outer size afterwards
        QTest::addColumn<QPoint>("redAt"); // a point of the picture showing its left (red) pixel
        const int b = 2 * PictureBox::BorderPixels;
        // A 2 x 1 picture (red, blue) into a box of 8 x 4 (bordered: 20 x 10 inside).
        QTest::newRow("own size, bordered")
            << true << 1 << 1 << QSize(2 + b, 1 + b) << QPoint(0, 0);
        // A bordered box grows by its border at each draw.
        QTest::newRow("stretched, bordered, twice")
            << true << 0 << 2 << QSize(20 + 3 * b, 10 + 3 * b) << QPoint(9, 9);
    }
    void drawBitmap()
    {
        QFETCH(bool, bordered);
        QFETCH(int, autoScale);
        QFETCH(int, draws);
        QFETCH(QSize, size);
        QFETCH(QPoint, redAt);
        const clsLibrary &lib = clsLibrary::instance();
        lib.CREATEBMP24(bytes({0, 0, 255, 0, 255, 0, 0, 0}), 2, 1, false);
        PictureBox box;
        box.setBorderStyle(bordered ? 1 : 0);
        box.resize(bordered
                       ? QSize(20 + 2 * PictureBox::BorderPixels, 10 + 2 * PictureBox::BorderPixels)
                       : QSize(8, 4));
        box.setScaleMode(PictureBox::Pixels);
        for (int i = 0; i < draws; ++i)
            lib.DRAWBITMAP(2, 1, &box, autoScale);
        QCOMPARE(box.size(), size);
        QCOMPARE(box.scaleMode(), int(PictureBox::Pixels));
        QCOMPARE(box.picture().pixel(redAt), qRgb(255, 0, 0));
        const QPoint right(box.picture().width() - 1, 0);
        QCOMPARE(box.picture().pixel(right), qRgb(0, 0, 255));
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
        QTest::newRow("png palette 4 bit") << png(4, 3) << 3 << 300 << 20 << 8;
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
