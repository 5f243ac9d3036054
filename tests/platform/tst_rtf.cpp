// The RTF reader and writer: text, formatting, pictures, what is written, ranges.
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
// The document's text with "\n" between paragraphs (soft breaks stay U+2028).
QString blocksText(const QTextDocument &doc)
{
    QStringList blocks;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        blocks << b.text();
    return blocks.join(u'\n');
}

// A paragraph as "<its formatting>" then its runs as text{formatting}, paragraphs joined by
// " / ". Only what differs from left-aligned 12-point Times New Roman (or is not set) shows; an
// indent, spacing or tab whose pixels do not follow its twips shows both.
QString describe(const QTextDocument &doc)
{
    QStringList blocks;
    QList<const QTextList *> lists;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat f = b.blockFormat();
        QStringList p;
        const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
        if (align != Qt::AlignLeft)
            p << (align == Qt::AlignHCenter ? "qc" : align == Qt::AlignRight ? "qr" : "qj");
        const bool listed = b.textList();
        const std::pair<const char *, int> twips[] = {{"li", LeftIndentTwips},
                                                      {"ri", RightIndentTwips},
                                                      {"fi", FirstIndentTwips},
                                                      {"sb", SpaceBeforeTwips},
                                                      {"sa", SpaceAfterTwips}};
        const double pixels[] = {f.leftMargin(), f.rightMargin(), f.textIndent(), f.topMargin(),
                                 f.bottomMargin()};
        for (int i = 0; i < 5; ++i) {
            const int value = f.intProperty(twips[i].second);
            const double expected = i == 2 ? firstLinePixels(value, listed) : value * PixelsPerTwip;
            if (value != 0 || pixels[i] != 0)
                p << twips[i].first + QString::number(value) +
                         (qFuzzyCompare(1 + pixels[i], 1 + expected)
                              ? QString()
                              : QStringLiteral("(%1px)").arg(pixels[i]));
        }
        for (const QTextOption::Tab &t : f.tabPositions())
            p << QStringLiteral("tab%1%2")
                     .arg(t.type == QTextOption::RightTab    ? "r"
                          : t.type == QTextOption::CenterTab ? "c"
                                                             : "")
                     .arg(t.position / PixelsPerTwip);
        if (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            p << "page";
        // A list as its style and which of the document's lists it is, in order of appearance.
        if (listed) {
            if (!lists.contains(b.textList()))
                lists << b.textList();
            p << QStringLiteral("list%1#%2")
                     .arg(int(b.textList()->format().style()))
                     .arg(lists.indexOf(b.textList()) + 1);
        }
        QString out = p.isEmpty() ? QString() : u'<' + p.join(u' ') + u'>';
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            if (c.isImageFormat()) {
                const QTextImageFormat img = c.toImageFormat();
                const QSize twips(img.intProperty(PictureWidthTwips),
                                  img.intProperty(PictureHeightTwips));
                out +=
                    QStringLiteral("[%1 %2x%3%4]")
                        .arg(img.property(PictureKind).toString())
                        .arg(twips.width())
                        .arg(twips.height())
                        .arg(QSizeF(img.width(), img.height()) == QSizeF(twips) * PixelsPerTwip
                                 ? QString()
                                 : QStringLiteral("(%1x%2px)").arg(img.width()).arg(img.height()));
                continue;
            }
            QStringList r;
            const QString font = c.fontFamilies().toStringList().value(0);
            if (!font.isEmpty() && font != QLatin1String("Times New Roman"))
                r << "f=" + font;
            if (c.hasProperty(QTextFormat::FontPointSize) && c.fontPointSize() != 12)
                r << QStringLiteral("fs%1").arg(c.fontPointSize() * 2);
            if (c.fontWeight() >= QFont::Bold)
                r << "b";
            if (c.fontItalic())
                r << "i";
            if (c.underlineStyle() != QTextCharFormat::NoUnderline)
                r << QStringLiteral("u%1").arg(int(c.underlineStyle()));
            if (c.fontStrikeOut())
                r << "strike";
            if (c.hasProperty(QTextFormat::ForegroundBrush))
                r << "cf" + c.foreground().color().name();
            if (c.hasProperty(QTextFormat::BackgroundBrush))
                r << "hl" + c.background().color().name();
            if (c.verticalAlignment() == QTextCharFormat::AlignSuperScript)
                r << "super";
            if (c.verticalAlignment() == QTextCharFormat::AlignSubScript)
                r << "sub";
            // Only the baseline offset moves \up and \dn text, never Qt's own raise as well.
            if (const int offset = c.intProperty(CharOffsetTwips))
                r << QStringLiteral("up%1%2").arg(offset).arg(
                    c.superScriptBaseline() + c.subScriptBaseline() == 0 ? "" : "+qt");
            if (c.fontCapitalization() == QFont::AllUppercase)
                r << "caps";
            if (c.fontCapitalization() == QFont::SmallCaps)
                r << "scaps";
            out += it.fragment().text();
            if (!r.isEmpty())
                out += u'{' + r.join(u' ') + u'}';
        }
        blocks << out;
    }
    return blocks.join(QStringLiteral(" / "));
}

QByteArray imageBytes(const char *format, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return data;
}

// The picture of the document's first picture character.
QImage firstImage(const QTextDocument &doc)
{
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                return doc
                    .resource(QTextDocument::ImageResource,
                              QUrl(it.fragment().charFormat().toImageFormat().name()))
                    .value<QImage>();
    return {};
}
} // namespace

class TestRtf : public QObject
{
    Q_OBJECT
private slots:
    void text_data();
    void text();
    void formats_data();
    void formats();
    void pictures_data();
    void pictures();
    void insertAtCursor();
    void writtenForm_data();
    void writtenForm();
    void documentBuiltByEditing();
};

void TestRtf::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    // Whether it is RTF at all: a null text says it is not, and nothing is read.
    QTest::newRow("leading white space") << QByteArray("\r\n  {\\rtf1 x}") << "x";
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF{\\rtf1 x}") << "x";
    QTest::newRow("text") << QByteArray("Hello {\\rtf1}") << QString();
    QTest::newRow("other group") << QByteArray("{\\AAAA}") << QString();
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("crlf ignored, tab kept") << QByteArray("{\\rtf1 a\r\nb\n\tc}") << "ab\tc";
    QTest::newRow("delimiting space, unknown words")
        << QByteArray("{\\rtf1 \\b  two\\b0 x\\foo12 y\\bar z}") << " twoxyz";
    QTest::newRow("backslash newline is a paragraph") << QByteArray("{\\rtf1 a\\\nb}") << "a\nb";
    QTest::newRow("field instruction without star")
        << QByteArray("{\\rtf1{\\field{\\fldinst PAGE}{\\fldrslt 3}}}") << "3";
    QTest::newRow("after root ignored") << QByteArray("{\\rtf1 a}\0trailing{\\rtf1 b}", 27) << "a";
    QTest::newRow("object data skipped")
        << QByteArray("{\\rtf1 a{\\object\\objemb{\\*\\objdata 0102}{\\result R}}b}") << "ab";
    QTest::newRow("upr takes the unicode side")
        << QByteArray("{\\rtf1{\\upr{ansi}{\\*\\ud{uni}}}}") << "uni";

    // Code pages: the font's charset, \ansicpg, double-byte pages.
    QTest::newRow("windows-1252 default")
        << QByteArray("{\\rtf1 caf\\'e9 \\'80}") << QString::fromUtf8("café €");
    QTest::newRow("raw 8-bit text") << QByteArray("{\\rtf1 caf\xe9}") << QString::fromUtf8("café");
    QTest::newRow("font charset wins over ansicpg")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fcharset0 Arial;}"
                      "{\\f1\\fcharset204 Arial Cyr;}}\\f1 \\'cf\\'f0\\'e8\\f0 \\'e9}")
        << QString::fromUtf8("Приé");
    QTest::newRow("ansicpg when the font says default")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0\\fcharset1 Arial;}}\\'e4\\'e0}")
        << QString::fromUtf8("да");
    QTest::newRow("cpg in the font table")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg1253 A;}}\\f0 \\'e1}") << QString::fromUtf8("α");
    QTest::newRow("shift-jis split hex and raw")
        << QByteArray("{\\rtf1\\ansicpg932 \\'82\xa0 x}") << QString::fromUtf8("あ x");
    QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e}") << QString::fromUtf8("é");
    QTest::newRow("unknown code page")
        << QByteArray("{\\rtf1\\ansicpg0 \\'e9}") << QString::fromUtf8("é");

    // \u and its fallback characters.
    QTest::newRow("negative, surrogate pairs signed and not")
        << QByteArray("{\\rtf1 \\u-3913 ?\\u-10179?\\u-9047?\\u55357?\\u56489?}")
        << QString::fromUtf8("\uF0B7💩💩");
    QTest::newRow("lone surrogate replaced")
        << QByteArray("{\\rtf1 \\u55357?x}") << QString::fromUtf8("\uFFFDx");
    QTest::newRow("control characters dropped")
        << QByteArray("{\\rtf1 a\\u2?\\u0?\\u-4?\\u9?b}") << QString("a\tb");
    QTest::newRow("uc0") << QByteArray("{\\rtf1\\uc0 \\u945 b}") << QString::fromUtf8("αb");
    QTest::newRow("hex counts as one")
        << QByteArray("{\\rtf1\\uc2 \\u27979\\'b2\\'e2x}") << QString::fromUtf8("测x");
    QTest::newRow("uc per group") << QByteArray("{\\rtf1 {\\uc2 \\u945??}\\u946?c}")
                                  << QString::fromUtf8("αβc");
    QTest::newRow("brace ends the fallback")
        << QByteArray("{\\rtf1\\uc2 \\u945{b}c}") << QString::fromUtf8("αbc");
    QTest::newRow("fallback never eats more than uc")
        << QByteArray("{\\rtf1\\uc1 \\u945 xyz}") << QString::fromUtf8("αyz");
    QTest::newRow("control word counts as one")
        << QByteArray("{\\rtf1 \\u8212\\endash x}") << QString::fromUtf8("—x");

    // Broken input reads as far as it makes sense.
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 a{\\b b{\\i c") << "abc";
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << "a";
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'4") << "a4";
    QTest::newRow("huge numbers")
        << QByteArray("{\\rtf1\\fs99999999999999999999\\li-99999999999999\\u99999999999 a"
                      "\\cf4294967296 b\\f-5 c\\uc999999 d}")
        << QString::fromUtf8("\uFFFDbcd");
    QTest::newRow("over-long control word") << "{\\rtf1 a\\" + QByteArray(100000, 'A') + " b}"
                                            << "ab";
    QTest::newRow("deep nesting") << "{\\rtf1 a" + QByteArray(100000, '{') + "b" +
                                         QByteArray(100000, '}') + "c}"
                                  << "abc";
    QTest::newRow("bin longer than the data")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xyz") << QString("a");
    QTest::newRow("bin hides braces") << QByteArray("{\\rtf1 a{\\*\\x\\bin2 }}b}c}") << "ac";
    QTest::newRow("font table without end")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset999999 A") << "";
    QTest::newRow("colour table junk")
        << QByteArray("{\\rtf1{\\colortbl;\\red999\\green-4;;;}\\cf2 x}") << "x";
    QTest::newRow("long font name in pieces")
        << "{\\rtf1{\\fonttbl{\\f0 " + QByteArray("\\u945?\\'e9").repeated(20000) + ";}}x}"
        << "x";
    QTest::newRow("deep skipped group") << "{\\rtf1 a{\\*\\x" + QByteArray(50000, '{') + "}b"
                                        << "a";
}

void TestRtf::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    doc.setPlainText("old");
    QCOMPARE(Rtf::isRtf(rtf), !text.isNull());
    QCOMPARE(Rtf::read(rtf, doc), !text.isNull());
    QCOMPARE(blocksText(doc).remove(QChar::ObjectReplacementCharacter), text.isNull() ? "" : text);
}

void TestRtf::formats_data()
{
    QTest::addColumn<QByteArray>("rtf"); // a body after the head below, or a whole document
    QTest::addColumn<QString>("described");
    auto row = [](const char *name, const QByteArray &body, const char *described) {
        QTest::newRow(name) << body << QString::fromUtf8(described);
    };
    row("character attributes",
        "{\\b b}{\\i i}{\\ul u}{\\uld d}{\\uldash h}{\\ulwave w}{\\ul\\ulnone n}{\\strike s}"
        "{\\b\\b0 x}{\\caps c}{\\scaps m}",
        "b{b}i{i}u{u1}d{u3}h{u2}w{u6}ns{strike}xc{caps}m{scaps}");
    row("fonts and sizes", "a{\\f1 b\\plain c}{\\fs36 d}{\\fs21 e}{\\f2 \\'b7}",
        "ab{f=Arial}cd{fs36}e{fs21}\uF0B7{f=Symbol}");
    row("default font", "{\\rtf1\\deff1{\\fonttbl{\\f0 A;}{\\f1 B;}}X}", "X{f=B}");
    row("colours", "{\\cf1 r}{\\cf0 a}{\\cf9 o}{\\highlight2 h}{\\cb1 c}",
        "r{cf#ff0000}aoh{hl#0000ff}c{hl#ff0000}");
    row("raised and lowered",
        "{\\super a}{\\sub b}{\\super\\nosupersub c}{\\up6 d}{\\dn4 e}{\\up6\\nosupersub f}",
        "a{super}b{sub}cd{super up60}e{sub up-40}f");
    row("double-byte text takes the associated size", "\\fs24\\dbch\\afs20 X", "X{fs20}");
    row("double-byte text takes the associated bold", "\\b\\dbch\\ab0 X", "X");
    row("associated size of other text ignored", "\\rtlch\\afs40\\ltrch\\fs24\\dbch X", "X");
    row("double-byte text keeps its font", "\\loch\\af0\\dbch\\af0\\f1 X", "X{f=Arial}");
    row("paragraph formatting carries over marks until pard, groups restore it",
        "\\pard\\qc\\li720\\ri360\\fi-240\\sb120\\sa60\\tqr\\tx1440\\tqc\\tx2000\\tx2880 one\\par "
        "two\\par\\pard\\qr three\\par\\pard\\qj four\\par{\\pard\\ql\\li100 five\\par}six\\par"
        "\\pard seven",
        "<qc li720 ri360 fi-240 sb120 sa60 tabr1440 tabc2000 tab2880>one / <qc li720 ri360 fi-240 "
        "sb120 sa60 tabr1440 tabc2000 tab2880>two / <qr>three / <qj>four / <li100>five / <qj>six / "
        "seven");
    row("set inside a paragraph, then reset", "x\\par a\\qc\\par\\pard b", "x / <qc>a / b");
    row("empty paragraphs, final mark", "a\\par\\par\\qr b\\par\\par", "a /  / <qr>b / <qr>");
    row("bold across a mark", "{\\b a\\par b}\\par c", "a{b} / b{b} / c");
    row("page breaks", "one\\page two\\par\\page three\\par\\pard\\pagebb four",
        "one / <page>two / <page>three / <page>four");
    row("special characters",
        "a\\tab b\\line c\\~d\\_e\\-f\\{g\\}h\\\\i \\emdash\\endash\\lquote\\rquote"
        "\\ldblquote\\rdblquote\\bullet  x-1 {\\b 12}3",
        "a\tb\u2028c\u00A0d\u2011e\u00ADf{g}h\\i \u2014\u2013\u2018\u2019\u201C\u201D\u2022 x-1 "
        "12{b}3");
    row("font named Symbol without its charset",
        "{\\rtf1{\\fonttbl{\\f0 Symbol;}}\\f0 S{y}\\u945?\\{\\\\\\u123?\\u92?}",
        "Sy\u03B1{\\{\\{f=Symbol}");
    row("cyrillic font charset",
        "{\\rtf1{\\fonttbl{\\f0\\fcharset204 Arial Cyr;}}\\f0 \\'cf\\'f0\\'e8}",
        "\u041F\u0440\u0438{f=Arial Cyr}");
    row("bullets",
        "a\\par{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}\\fi-360\\li720 b\\par"
        "{\\pntext\\'b7\\tab}c\\par\\pard d",
        "a / <li720 fi-360 list-1#1>b / <li720 fi-360 list-1#1>c / d");
    row("bullet shapes",
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc23"
        "{\\leveltext\\'01o;}}{\\listlevel\\levelnfc23{\\leveltext\\'01\\u9642 ?;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}\\ls1 a\\par\\ilvl1 b}",
        "<list-2#1>a{f=Arial} / <list-3#2>b{f=Arial}");
    const QByteArray lists =
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\'b7;}"
        "{\\levelnumbers;}}{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}}"
        "\\listid100}{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid200}}"
        "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid200\\listoverridecount0\\ls2}}";
    row("pn numbering runs on across other paragraphs",
        QByteArray("{\\*\\pn\\pnlvlbody\\pndec}a\\par\\pard b\\par{\\*\\pn\\pnlvlbody"
                   "\\pndec}c\\par\\pard{\\*\\pn\\pnlvlblt}d"),
        "<list-4#1>a / b / <list-4#1>c / <list-1#2>d");
    row("overrides of one list share its numbering",
        QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid5}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}{\\listoverride\\listid5"
                   "\\ls2}}\\ls1 a\\par\\ls2 b"),
        "<list-4#1>a / <list-4#1>b");
    row("undefined levels get bullets by depth",
        QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc23}\\listid5}}"
                   "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}\\ls1\\ilvl1 a\\par"
                   "\\ilvl2 b"),
        "<list-2#1>a / <list-3#2>b");
    row("listtable bullet and number",
        lists + "{\\listtext\\'b7\\tab}\\ls1 a\\par{\\listtext 1.\\tab}\\pard\\ls2 b\\par\\pard c",
        "<list-1#1>a / <list-4#2>b / c");
    row("higher level restarts the lower",
        lists + "\\ls1\\ilvl1 a\\par\\ilvl1 b\\par\\ilvl0 c\\par\\ilvl1 d",
        "<list-5#1>a / <list-5#1>b / <list-1#2>c / <list-5#3>d");
    row("number level without a number is a bullet",
        QByteArray("{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'01"
                   "\\u9702 ?;}}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
                   "\\ls1 a"),
        "<list-2#1>a");
    row("listtable list continues after a break", lists + "\\ls2 a\\par\\pard b\\par\\ls2 c",
        "<list-4#1>a / b / <list-4#1>c");
    row("ls wins over pn, marker shown once",
        lists + "{\\listtext 1.\\tab}{\\pntext 1.\\tab}{\\*\\pn\\pnlvlblt}\\ls2 a", "<list-4#1>a");
    row("ls the tables do not define is no list", QByteArray("{\\*\\pn\\pnlvlblt}\\ls5 a"), "a");
}

void TestRtf::formats()
{
    // Read, then written and read again: the same paragraphs, runs and formatting, and
    // writing that again gives the same bytes.
    QFETCH(QByteArray, rtf);
    QFETCH(QString, described);
    if (!rtf.startsWith("{\\rtf"))
        rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}{\\f2\\fcharset2 "
              "Symbol;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}" +
              rtf + "}";
    QTextDocument first;
    QVERIFY(Rtf::read(rtf, first));
    QCOMPARE(describe(first), described);
    const QByteArray written = Rtf::write(first);
    QTextDocument second;
    QVERIFY(Rtf::read(written, second));
    QCOMPARE(describe(second), described);
    QCOMPARE(Rtf::write(second), written);
}

void TestRtf::pictures_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("described"); // kind and display size in twips
    QTest::addColumn<QSize>("pixels");      // the picture's own size; empty when it cannot be drawn
    const QByteArray png = imageBytes("PNG", 4, 3).toHex();
    QTest::newRow("png natural size") << "{\\rtf1{\\pict\\pngblip\\picw4\\pich3 " + png + "}}"
                                      << "[png 60x45]" << QSize(4, 3);
    QTest::newRow("png goal size")
        << "{\\rtf1{\\pict\\pngblip\\picwgoal1440\\pichgoal720 " + png + "}}"
        << "[png 1440x720]" << QSize(4, 3);
    QTest::newRow("png scaled")
        << "{\\rtf1{\\pict\\pngblip\\picwgoal1440\\pichgoal720\\picscalex50\\picscaley200 " + png +
               "}}"
        << "[png 720x1440]" << QSize(4, 3);
    QTest::newRow("png as binary") << "{\\rtf1{\\pict\\pngblip\\picwgoal300\\pichgoal300\\bin" +
                                          QByteArray::number(imageBytes("PNG", 2, 2).size()) + " " +
                                          imageBytes("PNG", 2, 2) + "}}"
                                   << "[png 300x300]" << QSize(2, 2);
    QTest::newRow("jpeg") << "{\\rtf1{\\pict\\jpegblip\\picwgoal600\\pichgoal300 " +
                                 imageBytes("JPEG", 8, 4).toHex() + "}}"
                          << "[jpeg 600x300]" << QSize(8, 4);
    QTest::newRow("dib") << QByteArray("{\\rtf1{\\pict\\dibitmap0\\picw1\\pich1 2800000001000000"
                                       "010000000100180000000000040000000000"
                                       "00000000000000000000000000000000ff00}}")
                         << "[dib 15x15]" << QSize(1, 1);
    QTest::newRow("wbitmap monochrome")
        << QByteArray("{\\rtf1{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1"
                      "\\wbmwidthbytes2 ff00 0f00}}")
        << "[dib 120x30]" << QSize(8, 2);
    QTest::newRow("metafile keeps its place")
        << QByteArray("{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270 0102030405}}")
        << "[wmf 1440x720]" << QSize();
    QTest::newRow("emf with goal")
        << QByteArray("{\\rtf1{\\pict\\emfblip\\picw100\\pich100\\picwgoal500\\pichgoal400 01}}")
        << "[emf 500x400]" << QSize();
    QTest::newRow("shppict preferred") << "{\\rtf1{\\*\\shppict{\\pict\\pngblip " + png +
                                              "}}{\\nonshppict{\\pict\\wmetafile8 0102}}}"
                                       << "[png 60x45]" << QSize(4, 3);
    QTest::newRow("picture inside a shape")
        << "{\\rtf1{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}{\\sp{\\sn pib}{\\sv "
           "{\\pict\\pngblip " +
               png + "}}}}{\\shprslt{\\pict\\wmetafile8 0102}}}}"
        << "[png 60x45]" << QSize(4, 3);
    QTest::newRow("object result picture")
        << "{\\rtf1{\\object{\\*\\objdata 0102}{\\result{\\pict\\pngblip " + png + "}}}}"
        << "[png 60x45]" << QSize(4, 3);
    QTest::newRow("corrupt png keeps its place")
        << QByteArray("{\\rtf1{\\pict\\pngblip\\picwgoal100\\pichgoal200 89504e47}}")
        << "[png 100x200]" << QSize();
}

void TestRtf::pictures()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, described);
    QFETCH(QSize, pixels);
    QTextDocument doc;
    Rtf::read(rtf, doc);
    QCOMPARE(describe(doc), described);
    const QImage image = firstImage(doc);
    QVERIFY(!image.isNull()); // a stand-in when it cannot be drawn
    if (pixels.isValid())
        QCOMPARE(image.size(), pixels);
    // Written and read again: the same kind, size and pixels (bitmaps are written as PNG).
    QTextDocument again;
    Rtf::read(Rtf::write(doc), again);
    QCOMPARE(describe(again), QString(described).replace("[dib", "[png"));
    if (pixels.isValid())
        QCOMPARE(firstImage(again).size(), pixels);
}

void TestRtf::insertAtCursor()
{
    // A range written alone is a whole document; pasted, it brings its formatting, and its
    // final paragraph mark pastes as a paragraph break.
    QTextDocument source;
    Rtf::read("{\\rtf1{\\fonttbl{\\f0 Times New Roman;}}One\\par{\\b Two}\\par Three}", source);
    QTextDocument doc;
    doc.setPlainText("XY");
    QTextCursor cursor(&doc);
    cursor.setPosition(1);
    QVERIFY(Rtf::insert(Rtf::write(source, 1, 3), cursor));
    QVERIFY(Rtf::insert(Rtf::write(source, 4, 8), cursor));
    QCOMPARE(describe(doc), QString("XneTwo{b} / Y"));
    QVERIFY(Rtf::insert(Rtf::write(source, 10, -1), cursor));
    QVERIFY(Rtf::insert(Rtf::write(source, 2, 2), cursor));
    QCOMPARE(blocksText(doc), QString("XneTwo\nreeY"));
    cursor.setPosition(0);
    QVERIFY(Rtf::insert("{\\rtf1 line\\par}", cursor));
    QCOMPARE(blocksText(doc), QString("line\nXneTwo\nreeY"));
    // ... or ends the inserted text, as the end of a whole document does.
    cursor.setPosition(0);
    QVERIFY(Rtf::insert("{\\rtf1 one\\par}", cursor, Rtf::FinalMark::EndsContent));
    QCOMPARE(blocksText(doc), QString("oneline\nXneTwo\nreeY"));

    // Pictures come with their resource; the selection is replaced.
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    QVERIFY(
        Rtf::insert("{\\rtf1{\\pict\\pngblip " + imageBytes("PNG", 2, 2).toHex() + "}}", cursor));
    QCOMPARE(describe(doc), QString("[png 30x30]ine / XneTwo{b} / reeY"));
    QCOMPARE(firstImage(doc).size(), QSize(2, 2));
    QVERIFY(!Rtf::insert("plain", cursor));
}

void TestRtf::writtenForm_data()
{
    // What is read, then written: the words other readers need, each in the order given.
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArray>("written"); // parts split by |
    QTest::newRow("header, font and colour tables")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}"
                      "{\\colortbl;\\red1\\green2\\blue3;}\\cf1 x{\\f1 y}}")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1252\\deff0|\\fcharset0 Arial;}|\\fcharset2 "
                      "Symbol;}|{\\colortbl ;\\red1\\green2\\blue3;}");
    QTest::newRow("only what changes, once per run")
        << QByteArray("{\\rtf1 a{\\b b}c{\\b d}e}") << QByteArray("a\\b b\\b0 c\\b d\\b0 e");
    // RichEdit-class readers take \pntext and \pn; Word and LibreOffice \listtable, \ls and
    // \listtext. A list level takes its items' own indents.
    QTest::newRow("lists in both forms")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlblt}\\fi-540\\li1080 a\\par b\\par\\pard{\\*\\pn"
                      "\\pnlvlbody\\pndec{\\pntxta .}}c}")
        << QByteArray("{\\*\\listtable{\\list|\\levelnfc23|\\fi-540\\li1080|\\levelnfc0|{\\*"
                      "\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}|{\\*"
                      "\\pn\\pnlvlblt|{\\listtext|{\\pntext|{\\*\\pn\\pnlvlbody\\pndec|\\ls2|{"
                      "\\listtext 1.\\tab}");
    // Rows as other word processors read them: a definition before each row, \intbl
    // paragraphs ending in \cell, merges as \clvmgf/\clvmrg, nested rows with their
    // definition in \nesttableprops.
    QTest::newRow("tables")
        << QByteArray("{\\rtf1\\trowd\\trgaph108\\trleft-108\\trrh400\\clvmgf\\cellx2000\\cellx4000"
                      "\\intbl a\\cell b\\cell\\row\\trowd\\trgaph108\\trleft-108\\trrh400\\clvmrg"
                      "\\cellx2000\\cellx4000\\intbl\\cell in\\par\\pard\\intbl\\itap2 n\\nestcell"
                      "{\\*\\nesttableprops\\trowd\\cellx1000\\nestrow}{\\nonesttables\\par}"
                      "\\pard\\intbl\\cell\\row}")
        << QByteArray(
               "\\trowd\\trgaph108\\trleft-108\\trrh400\\clvmgf\\cellx2000\\cellx4000|b\\cell|"
               "\\row|\\clvmrg\\cellx2000\\cellx4000|\\pard\\intbl\\itap2|n\\nestcell|{\\*"
               "\\nesttableprops\\trowd\\trleft0\\cellx1000\\nestrow}{\\nonesttables\\par}|\\row");
    // Beyond Windows-1252 as \u, signed, a surrogate pair beyond the first plane.
    QTest::newRow("characters") << QByteArray("{\\rtf1 \\'e9\\'80\\u50644?\\u55357?\\u56489?}")
                                << QByteArray("\\'e9\\'80\\u-14892 ?\\u-10179 ?\\u-9047 ?");
    // A raised paragraph mark makes LibreOffice join the paragraphs.
    QTest::newRow("paragraph mark on the baseline")
        << QByteArray("{\\rtf1 note\\super 3\\par next}")
        << QByteArray("\\super 3\\nosupersub\\par\r\n");
}

void TestRtf::writtenForm()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArray, written);
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, doc));
    const QByteArray out = Rtf::write(doc);
    qsizetype at = 0;
    for (const QByteArray &part : written.split('|')) {
        at = out.indexOf(part, at);
        QVERIFY2(at >= 0, qPrintable(part + " not in order in " + out));
    }
    QCOMPARE(out.count('{'), out.count('}'));
    QVERIFY(out.trimmed().endsWith('}'));
}

void TestRtf::documentBuiltByEditing()
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
    // Read back with the same sizes; a list without its own indents hangs as usual.
    QTextDocument back;
    Rtf::read(Rtf::write(doc), back);
    QCOMPARE(describe(back),
             QString("[png 1500x750][png 180x90] / <qr li720>first{f=Courier New "
                     "fs20 b} / <li360 fi-360 list-1#1>item{f=Courier New fs20 b}"));
}

QTEST_MAIN(TestRtf)
#include "tst_rtf.moc"
