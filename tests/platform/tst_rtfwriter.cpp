#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <QtTest>

#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/TextFormats.h"

using namespace TextFormats;

namespace {
QString blocksText(const QTextDocument &doc)
{
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(u'\n');
}

QByteArray imageBytes(const char *format, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::green);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}
} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT
private slots:
    void writtenForm_data();
    void writtenForm();
    void characters_data();
    void characters();
    void selectionRange_data();
    void selectionRange();
    void documentBuiltByEditing();
};

void TestRtfWriter::writtenForm_data()
{
    // What is read, then written: the words other readers need, each in the order given.
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArrayList>("written");
    QTest::newRow("header, font and colour tables")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
                      "{\\colortbl;\\red1\\green2\\blue3;}\\cf1 x{\\f1 y}}")
        << QByteArrayList{"{\\rtf1\\ansi\\ansicpg1252\\deff0", "\\fcharset0 Arial;}",
                          "\\fcharset2 Symbol;}", "{\\colortbl ;\\red1\\green2\\blue3;}"};
    QTest::newRow("only what changes, once per run")
        << QByteArray("{\\rtf1 a{\\b b}c{\\b d}e}") << QByteArrayList{"a\\b b\\b0 c\\b d\\b0 e"};
    // RichEdit-class readers take \pntext and \pn; Word and LibreOffice \listtable, \ls and
    // \listtext. A list level takes its items' own indents.
    QTest::newRow("lists in both forms")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlblt}\\fi-540\\li1080 a\\par b\\par\\pard{\\*\\pn"
                      "\\pnlvlbody\\pndec{\\pntxta .}}c}")
        << QByteArrayList{
               "{\\*\\listtable{\\list",
               "\\levelnfc23",
               "\\fi-540\\li1080",
               "\\levelnfc0",
               "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}",
               "{\\*\\pn\\pnlvlblt",
               "{\\listtext",
               "{\\pntext",
               "{\\*\\pn\\pnlvlbody\\pndec",
               "\\ls2",
               "{\\listtext 1.\\tab}"};
    // A raised paragraph mark makes LibreOffice join the paragraphs.
    QTest::newRow("paragraph mark on the baseline")
        << QByteArray("{\\rtf1 note\\super 3\\par next}")
        << QByteArrayList{"\\super 3\\nosupersub\\par\r\n"};
    // JPEG stays JPEG with its own bytes, a bitmap becomes PNG, a metafile keeps its bytes.
    const QByteArray jpeg = imageBytes("JPEG", 5, 4);
    QTest::newRow("pictures")
        << "{\\rtf1{\\pict\\jpegblip\\picwgoal750\\pichgoal600 " + jpeg.toHex() +
               "}{\\pict\\dibitmap0 28000000010000000100000001001800000000000400000000000000000"
               "000000000000000000000000000ff00}{\\pict\\emfblip\\picwgoal100\\pichgoal100 0102}}"
        << QByteArrayList{"\\jpegblip\\picw5\\pich4\\picwgoal750\\pichgoal600",
                          jpeg.left(32).toHex(), "\\pngblip\\picw1\\pich1", "\\emfblip", "0102"};
}

void TestRtfWriter::writtenForm()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArrayList, written);
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, doc));
    const QByteArray out = Rtf::write(doc);
    qsizetype at = 0;
    for (const QByteArray &part : written) {
        at = out.indexOf(part, at);
        QVERIFY2(at >= 0, qPrintable(part + " not in order in " + out));
    }
    QCOMPARE(out.count('{'), out.count('}'));
    QVERIFY(out.trimmed().endsWith('}'));
}

void TestRtfWriter::characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("escapes") << "a{b}c\\d" << QByteArray("a\\{b\\}c\\\\d");
    QTest::newRow("windows-1252") << QString::fromUtf8("é€") << QByteArray("\\'e9\\'80");
    QTest::newRow("above 32767") << QString::fromUtf8("엔") << QByteArray("\\u-14892 ?");
    QTest::newRow("beyond the first plane")
        << QString::fromUtf8("💩") << QByteArray("\\u-10179 ?\\u-9047 ?");
    QTest::newRow("no-break space and hyphens")
        << QString::fromUtf8("a\u00a0b\u00adc\u2011d") << QByteArray("a\\~b\\-c\\_d");
}

void TestRtfWriter::characters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, expected);
    QTextDocument doc;
    QTextCursor(&doc).insertText(text);
    const QByteArray rtf = Rtf::write(doc);
    QVERIFY2(rtf.contains(expected), rtf.constData());
    QTextDocument back;
    Rtf::read(rtf, back);
    QCOMPARE(blocksText(back), text);
}

void TestRtfWriter::selectionRange_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("endsWithPar");
    // "One\nTwo\nThree": positions 0-2 One, 3 break, 4-6 Two, 7 break, 8-12 Three.
    QTest::newRow("inside a paragraph") << 1 << 3 << "ne" << false;
    QTest::newRow("across a break") << 1 << 6 << "ne\nTw" << false;
    QTest::newRow("whole paragraph with its mark") << 4 << 8 << "Two\n" << true;
    QTest::newRow("to the end") << 8 << -1 << "Three" << false;
    QTest::newRow("empty") << 2 << 2 << "" << false;
}

void TestRtfWriter::selectionRange()
{
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, text);
    QFETCH(bool, endsWithPar);
    QTextDocument doc;
    Rtf::read("{\\rtf1 One\\par{\\b Two}\\par Three}", doc);
    const QByteArray rtf = Rtf::write(doc, from, to);
    QVERIFY(Rtf::isRtf(rtf));
    QCOMPARE(rtf.contains("\\par\r\n"), endsWithPar || text.contains('\n'));
    // Pasting it into an empty document gives the selection back.
    QTextDocument pasted;
    QTextCursor cursor(&pasted);
    QVERIFY(Rtf::insert(rtf, cursor));
    QCOMPARE(blocksText(pasted), text);
    if (text.startsWith("Two")) {
        QTextCursor c(&pasted);
        c.setPosition(1);
        QVERIFY(c.charFormat().fontWeight() >= QFont::Bold);
    }
}

void TestRtfWriter::documentBuiltByEditing()
{
    // What the control builds through QTextCursor, without the twips properties: a picture
    // read and then resized through its pixel size, a picture that is only an image resource,
    // formatted text and a list.
    QTextDocument doc;
    QVERIFY(Rtf::read("{\\rtf1{\\pict\\pngblip\\picwgoal1000\\pichgoal1000 " +
                          imageBytes("PNG", 2, 2).toHex() + "}}",
                      doc));
    QTextCursor c(&doc);
    c.setPosition(1, QTextCursor::KeepAnchor);
    QTextImageFormat resized = c.charFormat().toImageFormat();
    resized.setWidth(100);
    resized.setHeight(50);
    c.setCharFormat(resized);
    QImage image(6, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    doc.addResource(QTextDocument::ImageResource, QUrl("mem:1"), image);
    QTextImageFormat inserted;
    inserted.setName("mem:1");
    inserted.setWidth(12);
    inserted.setHeight(6);
    c.setPosition(1);
    c.insertImage(inserted);
    c.insertBlock();
    QTextBlockFormat bf;
    bf.setLeftMargin(48);
    bf.setAlignment(Qt::AlignRight);
    c.setBlockFormat(bf);
    QTextCharFormat cf;
    cf.setFontFamilies({"Courier New"});
    cf.setFontPointSize(10);
    cf.setFontWeight(QFont::Bold);
    c.insertText("first", cf);
    c.insertBlock(QTextBlockFormat());
    c.createList(QTextListFormat::ListDisc);
    c.insertText("item");
    const QByteArray rtf = Rtf::write(doc);
    QVERIFY2(rtf.contains("\\picwgoal1500\\pichgoal750"), rtf.constData());
    QVERIFY2(rtf.contains("\\pngblip\\picw6\\pich3\\picwgoal180\\pichgoal90"), rtf.constData());
    QTextDocument back;
    Rtf::read(rtf, back);
    QCOMPARE(blocksText(back), QString("\uFFFC\uFFFC\nfirst\nitem"));
    const QTextBlockFormat f = back.begin().next().blockFormat();
    QCOMPARE(f.intProperty(LeftIndentTwips), 720);
    QCOMPARE(f.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QTextCursor at(&back);
    at.setPosition(4);
    QCOMPARE(at.charFormat().fontFamilies().toStringList().value(0), QString("Courier New"));
    QCOMPARE(at.charFormat().fontPointSize(), 10.0);
    const QTextBlock item = back.lastBlock();
    QVERIFY(item.textList());
    // A list without its own indents gets the usual hanging indent.
    QCOMPARE(item.blockFormat().intProperty(FirstIndentTwips), -360);
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
