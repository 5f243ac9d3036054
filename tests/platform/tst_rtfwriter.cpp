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

// Everything the RTF carries about each character and paragraph, as comparable text.
QStringList describe(const QTextDocument &doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        QString list;
        if (QTextList *l = b.textList())
            list = QStringLiteral("list %1 %2%3 level %4")
                       .arg(int(l->format().style()))
                       .arg(l->format().numberPrefix(), l->format().numberSuffix())
                       .arg(l->format().intProperty(ListLevel) * 1000 +
                            l->format().intProperty(ListStart));
        out << QStringLiteral("para align=%1 li=%2 ri=%3 fi=%4 sb=%5 sa=%6 tabs=%7 break=%8 %9")
                   .arg(int(f.alignment() & Qt::AlignHorizontal_Mask))
                   .arg(f.intProperty(LeftIndentTwips))
                   .arg(f.intProperty(RightIndentTwips))
                   .arg(f.intProperty(FirstIndentTwips))
                   .arg(f.intProperty(SpaceBeforeTwips))
                   .arg(f.intProperty(SpaceAfterTwips))
                   .arg(f.tabPositions().size())
                   .arg(int(f.pageBreakPolicy()))
                   .arg(list);
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat c = frag.charFormat();
            if (c.isImageFormat()) {
                const QTextImageFormat img = c.toImageFormat();
                const QImage image =
                    doc.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
                out << QStringLiteral("picture %1 %2x%3 twips %4x%5 image %6x%7")
                           .arg(img.property(PictureKind).toString())
                           .arg(img.width())
                           .arg(img.height())
                           .arg(img.intProperty(PictureWidthTwips))
                           .arg(img.intProperty(PictureHeightTwips))
                           .arg(image.width())
                           .arg(image.height());
                continue;
            }
            out << QStringLiteral("run '%1' font=%2 size=%3 b=%4 i=%5 u=%6 s=%7 fg=%8 bg=%9 "
                                  "v=%10 off=%11 caps=%12 hidden=%13")
                       .arg(frag.text(), c.fontFamilies().toStringList().value(0))
                       .arg(c.fontPointSize())
                       .arg(c.fontWeight() >= QFont::Bold)
                       .arg(c.fontItalic())
                       .arg(int(c.underlineStyle()))
                       .arg(c.fontStrikeOut())
                       .arg(c.hasProperty(QTextFormat::ForegroundBrush)
                                ? c.foreground().color().name()
                                : QString())
                       .arg(c.hasProperty(QTextFormat::BackgroundBrush)
                                ? c.background().color().name()
                                : QString())
                       .arg(int(c.verticalAlignment()))
                       .arg(c.intProperty(CharOffsetTwips))
                       .arg(int(c.fontCapitalization()))
                       .arg(c.boolProperty(Hidden));
        }
    }
    return out;
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
    void roundTrip_data();
    void roundTrip();
    void header();
    void characters_data();
    void characters();
    void bulletsInBothForms();
    void compactRuns();
    void pictures();
    void pictureWithoutOriginalBytes();
    void resizedPicture();
    void selectionRange_data();
    void selectionRange();
    void paragraphMarkOnBaseline();
    void listLevelTakesItemIndents();
    void documentBuiltByEditing();
};

void TestRtfWriter::roundTrip_data()
{
    QTest::addColumn<QByteArray>("rtf");
    const QByteArray head = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}"
                            "{\\f2\\fcharset2 Symbol;}}{\\colortbl;\\red255\\green0\\blue0;"
                            "\\red0\\green128\\blue0;}";
    QTest::newRow("plain paragraphs") << head + "One\\par Two\\par\\par Four}";
    QTest::newRow("trailing empty paragraph") << head + "One\\par\\par}";
    QTest::newRow("character formatting")
        << head + "a{\\b bold}{\\i italic}{\\ul under}{\\uld dots}{\\ulwave wave}{\\strike gone}"
                  "{\\f1 arial}{\\fs40 big}{\\fs19 odd}{\\cf1 red}{\\highlight2 marked}"
                  "{\\super up}{\\sub down}{\\up6 raised}{\\dn8 lowered}{\\caps caps}"
                  "{\\scaps small}{\\v hidden}{\\b\\i\\ul\\cf2\\fs30 all}z}";
    QTest::newRow("paragraph formatting")
        << head + "\\pard\\qc centre\\par\\pard\\qr right\\par\\pard\\qj justified\\par"
                  "\\pard\\li1440\\ri720\\fi-360\\sb240\\sa120 indents\\par"
                  "\\pard\\tqr\\tx1000\\tqc\\tx2000\\tx3333 tabs\\tab a\\tab b\\par"
                  "\\pard\\pagebb new page}";
    QTest::newRow("special characters")
        << head + "a\\tab b\\line c\\~d\\_e\\{f\\}g\\\\h \\emdash\\endash\\lquote\\rquote"
                  "\\ldblquote\\rdblquote\\bullet  x-1 {\\b 12}3}";
    QTest::newRow("unicode") << head + "caf\\'e9 \\'80 \\u945?\\u1078?\\u26085?\\u-10179?\\u-9047?"
                                       "\\u8364?}";
    QTest::newRow("symbol font") << head + "{\\f2 abc\\'b7}}";
    QTest::newRow("font named Symbol without its charset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Symbol;}}\\f0 S{y}\\u945?\\{\\\\\\u123?\\u92?}");
    QTest::newRow("cyrillic font charset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset204 Arial Cyr;}}\\f0 \\'cf\\'f0\\'e8}");
    QTest::newRow("bullets")
        << head + "{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-360\\li720 a\\par"
                  "{\\pntext\\'b7\\tab}b\\par\\pard after}";
    QTest::newRow("numbers")
        << head + "{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}\\fi-360\\li720 one\\par two\\par"
                  "\\pard{\\*\\pn\\pnlvlbody\\pnlcltr{\\pntxta )}}alpha\\par\\pard{\\*\\pn"
                  "\\pnlvlbody\\pnucrm{\\pntxta .}}roman}";
    QTest::newRow("nested numbering from a start") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc0}"
        "{\\listlevel\\levelnfc2\\levelstartat4{\\leveltext\\'03(\\'01);}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\\ls1 a\\par\\ilvl1 b"
        "\\par c}");
    QTest::newRow("bullet shapes") << QByteArray(
        "{\\rtf1{\\fonttbl{\\f0 "
        "Arial;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01o;}}"
        "{\\listlevel\\levelnfc23{\\leveltext\\'01\\u9642 ?;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\\ls1 a\\par\\ilvl1 b}");
    QTest::newRow("pictures") << head + "a{\\pict\\pngblip\\picwgoal1440\\pichgoal720 " +
                                     imageBytes("PNG", 4, 2).toHex() +
                                     "}b{\\pict\\jpegblip\\picwgoal300\\pichgoal300 " +
                                     imageBytes("JPEG", 3, 3).toHex() +
                                     "}{\\pict\\wmetafile8\\picw2540\\pich2540 0102}c}";
}

void TestRtfWriter::roundTrip()
{
    QFETCH(QByteArray, rtf);
    QTextDocument first;
    QVERIFY(Rtf::read(rtf, first));
    const QByteArray written = Rtf::write(first);
    QTextDocument second;
    QVERIFY(Rtf::read(written, second));
    QCOMPARE(blocksText(second), blocksText(first));
    QCOMPARE(describe(second), describe(first));
    // Writing what was read back gives the same bytes.
    QCOMPARE(Rtf::write(second), written);
}

void TestRtfWriter::header()
{
    QTextDocument doc;
    Rtf::read("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
              "{\\colortbl;\\red1\\green2\\blue3;}\\cf1 x{\\f1 y}}",
              doc);
    const QByteArray rtf = Rtf::write(doc);
    QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"), rtf.constData());
    QVERIFY(rtf.contains("\\fcharset0 Arial;}"));
    QVERIFY(rtf.contains("\\fcharset2 Symbol;}"));
    QVERIFY(rtf.contains("{\\colortbl ;\\red1\\green2\\blue3;}"));
    QVERIFY(rtf.trimmed().endsWith('}'));
    QCOMPARE(rtf.count('{'), rtf.count('}'));
}

void TestRtfWriter::characters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("ascii") << "plain" << QByteArray("plain");
    QTest::newRow("escapes") << "a{b}c\\d" << QByteArray("a\\{b\\}c\\\\d");
    QTest::newRow("windows-1252") << QString::fromUtf8("é€") << QByteArray("\\'e9\\'80");
    QTest::newRow("outside 1252") << QString::fromUtf8("ж") << QByteArray("\\u1078 ?");
    QTest::newRow("above 32767") << QString::fromUtf8("엔") << QByteArray("\\u-14892 ?");
    QTest::newRow("beyond the first plane")
        << QString::fromUtf8("💩") << QByteArray("\\u-10179 ?\\u-9047 ?");
    QTest::newRow("tab and line") << "a\tb" + QString(QChar::LineSeparator) + "c"
                                  << QByteArray("a\\tab b\\line c");
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

void TestRtfWriter::bulletsInBothForms()
{
    QTextDocument doc;
    Rtf::read(
        "{\\rtf1{\\*\\pn\\pnlvlblt}a\\par b\\par\\pard{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}c}",
        doc);
    const QByteArray rtf = Rtf::write(doc);
    // RichEdit-class readers: \pntext and \pn; Word and LibreOffice: \listtable, \ls, \listtext.
    QCOMPARE(rtf.count("{\\pntext"), 3);
    QCOMPARE(rtf.count("{\\listtext"), 3);
    QVERIFY(rtf.contains("{\\*\\pn\\pnlvlblt"));
    QVERIFY(rtf.contains("{\\*\\pn\\pnlvlbody\\pndec"));
    QVERIFY(rtf.contains("{\\*\\listtable{\\list"));
    QVERIFY(rtf.contains("\\levelnfc23"));
    QVERIFY(rtf.contains("\\levelnfc0"));
    QVERIFY(
        rtf.contains("{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}"));
    QVERIFY(rtf.contains("\\ls1"));
    QVERIFY(rtf.contains("\\ls2"));
    QVERIFY(rtf.contains("{\\listtext 1.\\tab}"));
    // Read back: the marker text is not doubled into the paragraphs.
    QTextDocument back;
    Rtf::read(rtf, back);
    QCOMPARE(blocksText(back), QString("a\nb\nc"));
    QCOMPARE(back.begin().textList(), back.begin().next().textList());
}

void TestRtfWriter::compactRuns()
{
    QTextDocument doc;
    Rtf::read("{\\rtf1 a{\\b b}c{\\b d}e}", doc);
    const QByteArray rtf = Rtf::write(doc);
    // Only what changes is written, once per run.
    QVERIFY2(rtf.contains("a\\b b\\b0 c\\b d\\b0 e"), rtf.constData());
    QCOMPARE(rtf.count("\\fs24"), 0);
}

void TestRtfWriter::pictures()
{
    QTextDocument doc;
    const QByteArray jpeg = imageBytes("JPEG", 5, 4);
    Rtf::read("{\\rtf1{\\pict\\jpegblip\\picwgoal750\\pichgoal600 " + jpeg.toHex() +
                  "}{\\pict\\pngblip\\picw2\\pich2 " + imageBytes("PNG", 2, 2).toHex() +
                  "}{\\pict\\dibitmap0 " +
                  QByteArray("28000000010000000100000001001800000000000400000000000000000000000000"
                             "0000000000000000ff00") +
                  "}{\\pict\\emfblip\\picwgoal100\\pichgoal100 0102}}",
              doc);
    const QByteArray rtf = Rtf::write(doc);
    // JPEG stays JPEG with its own bytes; a bitmap becomes PNG; a metafile keeps its bytes.
    QVERIFY(rtf.contains("\\jpegblip\\picw5\\pich4\\picwgoal750\\pichgoal600"));
    QVERIFY(rtf.contains(jpeg.left(32).toHex()));
    QCOMPARE(rtf.count("\\pngblip"), 2);
    QVERIFY(rtf.contains("\\emfblip"));
    QTextDocument back;
    Rtf::read(rtf, back);
    QStringList pictures = describe(back).filter("picture");
    QCOMPARE(pictures.size(), 4);
    QCOMPARE(pictures.at(0), QString("picture jpeg 50x40 twips 750x600 image 5x4"));
    QCOMPARE(pictures.at(1), QString("picture png 2x2 twips 30x30 image 2x2"));
    QCOMPARE(pictures.at(2), QString("picture png 1x1 twips 15x15 image 1x1"));
    QVERIFY(pictures.at(3).startsWith("picture emf 6.66667x6.66667 twips 100x100"));
}

void TestRtfWriter::pictureWithoutOriginalBytes()
{
    // A picture the control inserted itself: only the image resource.
    QTextDocument doc;
    QImage image(6, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    doc.addResource(QTextDocument::ImageResource, QUrl("mem:1"), image);
    QTextImageFormat f;
    f.setName("mem:1");
    f.setWidth(12);
    f.setHeight(6);
    QTextCursor(&doc).insertImage(f);
    const QByteArray rtf = Rtf::write(doc);
    QVERIFY(rtf.contains("\\pngblip\\picw6\\pich3\\picwgoal180\\pichgoal90"));
    QTextDocument back;
    Rtf::read(rtf, back);
    QCOMPARE(describe(back).filter("picture").value(0),
             QString("picture png 12x6 twips 180x90 image 6x3"));
}

void TestRtfWriter::resizedPicture()
{
    QTextDocument doc;
    Rtf::read("{\\rtf1{\\pict\\pngblip\\picwgoal1000\\pichgoal1000 " +
                  imageBytes("PNG", 2, 2).toHex() + "}}",
              doc);
    // The control resizes the picture through the pixel size only.
    QTextCursor c(&doc);
    c.setPosition(0);
    c.setPosition(1, QTextCursor::KeepAnchor);
    QTextImageFormat f = c.charFormat().toImageFormat();
    f.setWidth(100);
    f.setHeight(50);
    c.setCharFormat(f);
    const QByteArray rtf = Rtf::write(doc);
    QVERIFY2(rtf.contains("\\picwgoal1500\\pichgoal750"), rtf.constData());
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
    // What the control builds through QTextCursor, without the twips properties.
    QTextDocument doc;
    QTextCursor c(&doc);
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
    QTextDocument back;
    Rtf::read(Rtf::write(doc), back);
    QCOMPARE(blocksText(back), QString("first\nitem"));
    const QTextBlockFormat f = back.begin().blockFormat();
    QCOMPARE(f.intProperty(LeftIndentTwips), 720);
    QCOMPARE(f.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QTextCursor at(&back);
    at.setPosition(1);
    QCOMPARE(at.charFormat().fontFamilies().toStringList().value(0), QString("Courier New"));
    QCOMPARE(at.charFormat().fontPointSize(), 10.0);
    QVERIFY(back.begin().next().textList());
    // A list without its own indents gets the usual hanging indent.
    QCOMPARE(back.begin().next().blockFormat().intProperty(FirstIndentTwips), -360);
}

void TestRtfWriter::paragraphMarkOnBaseline()
{
    // Superscript that runs on over a paragraph mark: the mark itself is written on the
    // baseline (a raised mark makes LibreOffice join the paragraphs), the text stays raised.
    QTextDocument doc;
    Rtf::read("{\\rtf1 note\\super 3\\par next}", doc);
    const QByteArray rtf = Rtf::write(doc);
    const qsizetype par = rtf.indexOf("\\par\r\n");
    QVERIFY2(rtf.lastIndexOf("\\nosupersub", par) > rtf.lastIndexOf("\\super", par),
             rtf.constData());
    QTextDocument again;
    Rtf::read(rtf, again);
    QCOMPARE(again.toPlainText(), QStringLiteral("note3\nnext"));
    for (int at : {5, 7}) {
        QTextCursor c(&again);
        c.setPosition(at);
        QCOMPARE(c.charFormat().verticalAlignment(), QTextCharFormat::AlignSuperScript);
    }
}

void TestRtfWriter::listLevelTakesItemIndents()
{
    // Readers that indent list paragraphs from their list level see the items' own indents.
    QTextDocument doc;
    Rtf::read("{\\rtf1{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-540\\li1080 one\\par two}", doc);
    const QByteArray rtf = Rtf::write(doc);
    const qsizetype level = rtf.indexOf("{\\listlevel");
    QVERIFY(level > 0);
    const QByteArray definition = rtf.mid(level, rtf.indexOf("{\\listname", level) - level);
    QVERIFY2(definition.contains("\\fi-540\\li1080"), definition.constData());
}

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
