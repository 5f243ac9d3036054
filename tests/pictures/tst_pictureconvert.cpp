#include <QTemporaryDir>
#include <QtTest>

#include "PictureFiles.h"
#include "pictures/PictureConvert.h"

using namespace PictureFiles;

class tst_PictureConvert : public QObject
{
    Q_OBJECT
private slots:
    void writesPng()
    {
        Tga t;
        t.width = 2;
        t.descriptor = 0x20;
        const QString in = write(QStringLiteral("in.tga"), t.file(bytes({0, 0, 255, 255, 0, 0})));
        const QString out = m_dir.filePath(QStringLiteral("out.png"));
        QString error;
        QVERIFY2(convertPictureToPng(in, out, &error), qPrintable(error));
        const QImage png(out);
        QCOMPARE(png.size(), QSize(2, 1));
        QCOMPARE(png.pixel(0, 0) | 0xFF000000, qRgb(255, 0, 0));
        QCOMPARE(png.pixel(1, 0) | 0xFF000000, qRgb(0, 0, 255));
    }

    void refusedPicturesWriteNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        Tga sixteen;
        sixteen.depth = 16;
        QTest::newRow("16-bit tga") << "a.tga" << sixteen.file(bytes({1, 2}));
        // Decodable, but a version the picture browser does not accept.
        Pcx version4 = Pcx::sized(8, 1, 2, 1, 2);
        version4.version = 4;
        QTest::newRow("pcx of version 4") << "e.pcx" << version4.file(bytes({1, 2}));
        QTest::newRow("not a picture type") << "d.bmp" << QByteArray("BM");
    }

    void refusedPicturesWriteNothing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString out = m_dir.filePath(name + QStringLiteral(".png"));
        QString error;
        QVERIFY(!convertPictureToPng(write(name, bytes), out, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!QFile::exists(out));
    }

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        return writeFile(m_dir, name, bytes);
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(tst_PictureConvert)
#include "tst_pictureconvert.moc"
