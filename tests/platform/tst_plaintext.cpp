#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include "platform/rtf/DocumentConvert.h"
#include "platform/rtf/PlainTextCodec.h"
#include "platform/rtf/RtfReader.h"

using PlainText::Encoding;
using PlainText::LineEnding;

Q_DECLARE_METATYPE(PlainText::Encoding)
Q_DECLARE_METATYPE(PlainText::LineEnding)

namespace {
QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}
} // namespace

class TestPlainText : public QObject
{
    Q_OBJECT
private slots:
    void decode_data();
    void decode();
    void encodeReplacesWhatCannotBeWritten();
    void convert_data();
    void convert();
    void convertRejectsOtherTypes();
};

void TestPlainText::decode_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Encoding>("encoding");
    QTest::addColumn<LineEnding>("lineEnding");
    QTest::newRow("utf-8 crlf") << QByteArray("caf\xc3\xa9\r\nb") << QString::fromUtf8("café\nb")
                                << Encoding::Utf8 << LineEnding::CrLf;
    QTest::newRow("utf-8 bom") << QByteArray("\xef\xbb\xbfx\ry\r") << "x\ny\n"
                               << Encoding::Utf8Bom << LineEnding::Cr;
    QTest::newRow("windows-1252") << QByteArray("caf\xe9 \x80\r\n") << QString::fromUtf8("café €\n")
                                  << Encoding::Windows1252 << LineEnding::CrLf;
    QTest::newRow("undefined 1252 bytes kept") << QByteArray("\x81\x8d") << QString("\u0081\u008d")
                                               << Encoding::Windows1252 << LineEnding::Lf;
    QTest::newRow("mixed endings: the most used wins")
        << QByteArray("a\r\nb\r\nc\nd") << "a\nb\nc\nd" << Encoding::Utf8 << LineEnding::CrLf;
    QTest::newRow("empty") << QByteArray() << "" << Encoding::Utf8 << LineEnding::Lf;
    QTest::newRow("U+FEFF and a four-byte character inside")
        << QByteArray("a\xef\xbb\xbf\xf0\x9f\x92\xa9\n") << QString::fromUtf8("a\uFEFF💩\n")
        << Encoding::Utf8 << LineEnding::Lf;
}

void TestPlainText::decode()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QFETCH(Encoding, encoding);
    QFETCH(LineEnding, lineEnding);
    const PlainText::Decoded d = PlainText::decode(bytes);
    QCOMPARE(d.text, text);
    QCOMPARE(d.encoding, encoding);
    QCOMPARE(d.lineEnding, lineEnding);
    // Decoded a few bytes at a time (as a large file is), the pieces make the same text.
    for (qsizetype size : {1, 2, 3}) {
        PlainText::PieceDecoder pieces(bytes);
        QString all, piece;
        while (pieces.next(piece, size))
            all += piece;
        QCOMPARE(all, text);
        QCOMPARE(pieces.lineEnding(), lineEnding);
    }
    // Written back as it was, unless its line endings were mixed.
    if (!QByteArray(QTest::currentDataTag()).startsWith("mixed"))
        QCOMPARE(PlainText::encode(d.text, d.encoding, d.lineEnding), bytes);
}

void TestPlainText::encodeReplacesWhatCannotBeWritten()
{
    const QString text = QString::fromUtf8("ж€💩") + QChar::LineSeparator + "x";
    QCOMPARE(PlainText::encode(text, Encoding::Windows1252, LineEnding::CrLf),
             QByteArray("?\x80?\r\nx"));
    QCOMPARE(PlainText::encode(text, Encoding::Utf8, LineEnding::Lf),
             text.toUtf8().replace("\xe2\x80\xa8", "\n"));
}

void TestPlainText::convert_data()
{
    QTest::addColumn<QString>("inName");
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QString>("outName");
    QTest::addColumn<QByteArray>("expected"); // exact bytes, or empty to check by reading
    QTest::addColumn<QString>("text");
    QTest::newRow("rtf to txt")
        << "a.rtf" << QByteArray("{\\rtf1 caf\\'e9\\par two\\line three{\\pict\\wmetafile8 01}}")
        << "a.txt" << QByteArray("caf\xc3\xa9\ntwo\nthree") << QString();
    QTest::newRow("numbering from a start and by depth")
        << "s.rtf"
        << QByteArray(
               "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc4\\levelstartat3"
               "{\\leveltext\\'02\\'00);}}{\\listlevel\\levelnfc23}{\\listlevel"
               "\\levelnfc23}\\listid5}}{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}"
               "\\ls1 a\\par b\\par\\ilvl1 c\\par\\ilvl2 d}")
        << "s.txt" << QByteArray("c)\ta\nd)\tb\n\xe2\x97\xa6\tc\n\xe2\x96\xaa\td") << QString();
    QTest::newRow("txt to rtf") << "b.txt" << QByteArray("caf\xe9\r\n{x}\r\n") << "b.rtf"
                                << QByteArray() << QString::fromUtf8("café\n{x}\n");
    QTest::newRow("1252 text keeps its encoding and endings")
        << "c.txt" << QByteArray("caf\xe9\r\n") << "c.htm" << QByteArray("caf\xe9\r\n")
        << QString();
}

void TestPlainText::convert()
{
    QFETCH(QString, inName);
    QFETCH(QByteArray, in);
    QFETCH(QString, outName);
    QFETCH(QByteArray, expected);
    QFETCH(QString, text);
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath(inName), in));
    QString error;
    QVERIFY2(DocumentConvert::convert(dir.filePath(inName), dir.filePath(outName), &error),
             qPrintable(error));
    const QByteArray out = readAll(dir.filePath(outName));
    if (!expected.isEmpty()) {
        QCOMPARE(out, expected);
        return;
    }
    QVERIFY(Rtf::isRtf(out));
    QTextDocument doc;
    Rtf::read(out, doc);
    QCOMPARE(doc.toPlainText(), text);
}

void TestPlainText::convertRejectsOtherTypes()
{
    QTemporaryDir dir;
    QVERIFY(writeAll(dir.filePath("a.rtf"), "{\\rtf1 x}"));
    QString error;
    QVERIFY(!DocumentConvert::convert(dir.filePath("a.rtf"), dir.filePath("a.pdf"), &error));
    QVERIFY(error.contains("a.pdf"));
    QVERIFY(!DocumentConvert::convert(dir.filePath("missing.rtf"), dir.filePath("b.txt"), &error));
    QVERIFY(error.contains("missing.rtf"));
    QVERIFY(!QFile::exists(dir.filePath("b.txt")));
    QVERIFY(!DocumentConvert::convert(dir.filePath("a.rtf"), dir.filePath("none/b.txt"), &error));
    QVERIFY(error.contains("none"));
}

QTEST_MAIN(TestPlainText)
#include "tst_plaintext.moc"
