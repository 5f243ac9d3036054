#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <QtTest>

#include "platform/rtf/RtfReader.h"
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

QString readText(const QByteArray &rtf)
{
    QTextDocument doc;
    Rtf::read(rtf, doc);
    return blocksText(doc);
}

// The format of the first character of the first occurrence of "X".
QTextCharFormat formatOfX(const QTextDocument &doc)
{
    const QTextCursor found = doc.find(QStringLiteral("X"));
    if (found.isNull())
        return {};
    QTextCursor c(const_cast<QTextDocument *>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex();
}

QByteArray pngBytes(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

QByteArray jpegBytes(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return data;
}

// A packed DIB (BITMAPINFOHEADER + pixels) of a 2x2 24-bit picture.
QByteArray dibBytes()
{
    QByteArray d;
    auto le32 = [&d](quint32 v) {
        for (int i = 0; i < 4; ++i)
            d.append(char(v >> (8 * i)));
    };
    auto le16 = [&d](quint16 v) {
        d.append(char(v));
        d.append(char(v >> 8));
    };
    le32(40);
    le32(2);
    le32(2);
    le16(1);
    le16(24);
    le32(0);
    le32(16);
    le32(0);
    le32(0);
    le32(0);
    le32(0);
    for (int row = 0; row < 2; ++row)
        d.append(QByteArray("\x00\x00\xff\x00\x00\xff\x00\x00", 8)); // 2 red pixels + padding
    return d;
}

struct Picture
{
    bool found = false;
    QString kind;
    QSizeF size;
    int twipsW = 0, twipsH = 0;
    QImage image;
};

QList<Picture> pictures(const QTextDocument &doc)
{
    QList<Picture> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QTextImageFormat img = f.toImageFormat();
            Picture p;
            p.found = true;
            p.kind = img.property(PictureKind).toString();
            p.size = QSizeF(img.width(), img.height());
            p.twipsW = img.intProperty(PictureWidthTwips);
            p.twipsH = img.intProperty(PictureHeightTwips);
            p.image = doc.resource(QTextDocument::ImageResource, QUrl(img.name())).value<QImage>();
            out << p;
        }
    }
    return out;
}
} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT
private slots:
    void detectsRtf_data();
    void detectsRtf();
    void text_data();
    void text();
    void encodings_data();
    void encodings();
    void unicode_data();
    void unicode();
    void characterFormats_data();
    void characterFormats();
    void paragraphFormats();
    void paragraphMarks_data();
    void paragraphMarks();
    void pageBreak();
    void lists_data();
    void lists();
    void pictures_data();
    void pictures();
    void malformed_data();
    void malformed();
    void insertAtCursor();
};

void TestRtfReader::detectsRtf_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("rtf");
    QTest::newRow("plain rtf") << QByteArray("{\\rtf1 x}") << true;
    QTest::newRow("leading white space") << QByteArray("\r\n  {\\rtf1 x}") << true;
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF{\\rtf1 x}") << true;
    QTest::newRow("text") << QByteArray("Hello {\\rtf1}") << false;
    QTest::newRow("other group") << QByteArray("{\\AAAA}") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestRtfReader::detectsRtf()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, rtf);
    QCOMPARE(Rtf::isRtf(data), rtf);
    QTextDocument doc;
    doc.setPlainText("old");
    QCOMPARE(Rtf::read(data, doc), rtf);
    if (!rtf)
        QVERIFY(doc.isEmpty());
}

void TestRtfReader::text_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    const QString ls(QChar::LineSeparator);
    QTest::newRow("paragraphs") << QByteArray("{\\rtf1 One\\par Two}") << "One\nTwo";
    QTest::newRow("final paragraph mark") << QByteArray("{\\rtf1 One\\par Two\\par}") << "One\nTwo";
    QTest::newRow("empty paragraphs kept")
        << QByteArray("{\\rtf1 One\\par\\par Two\\par\\par}") << "One\n\nTwo\n";
    QTest::newRow("line and tab") << QByteArray("{\\rtf1 a\\line b\\tab c}") << "a" + ls + "b\tc";
    QTest::newRow("crlf ignored") << QByteArray("{\\rtf1 a\r\nb\n}") << "ab";
    QTest::newRow("escaped") << QByteArray("{\\rtf1 \\{a\\}\\\\}") << "{a}\\";
    QTest::newRow("delimiting space") << QByteArray("{\\rtf1 \\b  two\\b0 x}") << " twox";
    QTest::newRow("special characters")
        << QByteArray("{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote"
                      "\\~\\_}")
        << QString::fromUtf8("—–•‘’“”\u00a0\u2011");
    QTest::newRow("backslash newline is a paragraph") << QByteArray("{\\rtf1 a\\\nb}") << "a\nb";
    QTest::newRow("unknown words ignored") << QByteArray("{\\rtf1 a\\foo12 b\\bar c}") << "abc";
    QTest::newRow("ignorable destination")
        << QByteArray("{\\rtf1 a{\\*\\foo hidden {nested}}b}") << "ab";
    QTest::newRow("info and style sheet")
        << QByteArray("{\\rtf1{\\info{\\title T}}{\\stylesheet{\\s0 Normal;}}body}") << "body";
    QTest::newRow("headers footers footnotes")
        << QByteArray("{\\rtf1{\\header H}{\\footerr F}a{\\footnote N}b{\\annotation A}c}")
        << "abc";
    QTest::newRow("field result")
        << QByteArray("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt here}}.}")
        << "see here.";
    QTest::newRow("field instruction without star")
        << QByteArray("{\\rtf1{\\field{\\fldinst PAGE}{\\fldrslt 3}}}") << "3";
    QTest::newRow("hidden text is text") << QByteArray("{\\rtf1 a{\\v hidden}b}") << "ahiddenb";
    QTest::newRow("equation field without result")
        << QByteArray(
               "{\\rtf1 x{\\field{\\*\\fldinst{ EQ \\\\s\\\\do5({\\fs16 1})}}{\\fldrslt }}y}")
        << "x1y";
    QTest::newRow("after root ignored") << QByteArray("{\\rtf1 a}\0trailing{\\rtf1 b}", 27) << "a";
    QTest::newRow("pntext marker skipped")
        << QByteArray("{\\rtf1{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}Item}")
        << "Item";
    QTest::newRow("listtext marker skipped")
        << QByteArray("{\\rtf1{\\listtext\\pard 1.\\tab}\\ls1 Item}") << "Item";
    QTest::newRow("object data skipped")
        << QByteArray("{\\rtf1 a{\\object\\objemb{\\*\\objdata 0102}{\\result R}}b}") << "ab";
    QTest::newRow("upr takes the unicode side")
        << QByteArray("{\\rtf1{\\upr{ansi}{\\*\\ud{uni}}}}") << "uni";
    QTest::newRow("literal tab character") << QByteArray("{\\rtf1 a\tb}") << "a\tb";
    QTest::newRow("nonshppict skipped") << QByteArray("{\\rtf1 a{\\nonshppict text}b}") << "ab";
}

void TestRtfReader::text()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(readText(rtf), text);
}

void TestRtfReader::encodings_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
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
    QTest::newRow("ansicpg without a font table")
        << QByteArray("{\\rtf1\\ansi\\ansicpg1251 \\'e4\\'e0}") << QString::fromUtf8("да");
    QTest::newRow("charset 238 is central european")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset238 A;}}\\f0 \\'b9\\'ea}")
        << QString::fromUtf8("ąę");
    QTest::newRow("charset 186 is baltic")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset186 A;}}\\f0 \\'e0\\'fe}")
        << QString::fromUtf8("ąž");
    QTest::newRow("charset 161 greek") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset161 A;}}"
                                                     "\\f0 \\'e1}")
                                       << QString::fromUtf8("α");
    QTest::newRow("cpg in the font table")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\cpg1253 A;}}\\f0 \\'e1}") << QString::fromUtf8("α");
    QTest::newRow("shift-jis double byte")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 MS;}}\\f0 \\'82\\'a0\\'93\\'fa}")
        << QString::fromUtf8("あ日");
    QTest::newRow("shift-jis split hex and raw")
        << QByteArray("{\\rtf1\\ansicpg932 \\'82\xa0 x}") << QString::fromUtf8("あ x");
    QTest::newRow("shift-jis half-width katakana")
        << QByteArray("{\\rtf1\\ansicpg932 \\'b1}") << QString::fromUtf8("ｱ");
    QTest::newRow("gbk") << QByteArray("{\\rtf1\\ansicpg936 \\'b2\\'e2\\'ca\\'d4}")
                         << QString::fromUtf8("测试");
    QTest::newRow("big5") << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset136 M;}}\\f0 \\'a4\\'a4}")
                          << QString::fromUtf8("中");
    QTest::newRow("font name in its charset")
        << QByteArray("{\\rtf1{\\fonttbl{\\f0\\fcharset128 \\'82\\'6c\\'82\\'72;}}\\f0 x}") << "x";
    QTest::newRow("mac roman") << QByteArray("{\\rtf1\\mac \\'8e}") << QString::fromUtf8("é");
    QTest::newRow("pc 437") << QByteArray("{\\rtf1\\pc \\'f1\\'f2}") << QString::fromUtf8("±≥");
    QTest::newRow("unknown code page")
        << QByteArray("{\\rtf1\\ansicpg0 \\'e9}") << QString::fromUtf8("é");
}

void TestRtfReader::encodings()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(readText(rtf), text);
}

void TestRtfReader::unicode_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("fallback skipped")
        << QByteArray("{\\rtf1 a\\u945?b}") << QString::fromUtf8("aαb");
    QTest::newRow("negative") << QByteArray("{\\rtf1 \\u-3913 ?}") << QString(QChar(0xF0B7));
    QTest::newRow("above 32767") << QByteArray("{\\rtf1 \\u61623?}") << QString(QChar(0xF0B7));
    QTest::newRow("surrogate pair signed")
        << QByteArray("{\\rtf1 \\u-10179?\\u-9047?}") << QString::fromUtf8("💩");
    QTest::newRow("surrogate pair unsigned")
        << QByteArray("{\\rtf1 \\u55357?\\u56489?}") << QString::fromUtf8("💩");
    QTest::newRow("lone surrogate replaced")
        << QByteArray("{\\rtf1 \\u55357?x}") << QString::fromUtf8("\uFFFDx");
    QTest::newRow("control characters dropped")
        << QByteArray("{\\rtf1 a\\u2?\\u0?\\u-4?\\u9?b}") << QString("a\tb");
    QTest::newRow("uc2") << QByteArray("{\\rtf1\\uc2 \\u945??b}") << QString::fromUtf8("αb");
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
}

void TestRtfReader::unicode()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QCOMPARE(readText(rtf), text);
}

void TestRtfReader::characterFormats_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("check");
    QTest::addColumn<QVariant>("expected");
    const QByteArray head = "{\\rtf1{\\fonttbl{\\f0 Times New Roman;}{\\f1 Arial;}}"
                            "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}";
    QTest::newRow("bold") << head + "\\b X}"
                          << "bold" << QVariant(true);
    QTest::newRow("bold off") << head + "\\b\\b0 X}"
                              << "bold" << QVariant(false);
    QTest::newRow("bold ends with group") << head + "{\\b a}X}"
                                          << "bold" << QVariant(false);
    QTest::newRow("italic") << head + "\\i X}"
                            << "italic" << QVariant(true);
    QTest::newRow("underline") << head + "\\ul X}"
                               << "underline" << QVariant(int(QTextCharFormat::SingleUnderline));
    QTest::newRow("underline dotted") << head + "\\uld X}"
                                      << "underline" << QVariant(int(QTextCharFormat::DotLine));
    QTest::newRow("underline dash") << head + "\\uldash X}"
                                    << "underline" << QVariant(int(QTextCharFormat::DashUnderline));
    QTest::newRow("underline wave") << head + "\\ulwave X}"
                                    << "underline" << QVariant(int(QTextCharFormat::WaveUnderline));
    QTest::newRow("underline none") << head + "\\ul\\ulnone X}"
                                    << "underline" << QVariant(int(QTextCharFormat::NoUnderline));
    QTest::newRow("strike") << head + "\\strike X}"
                            << "strike" << QVariant(true);
    QTest::newRow("font") << head + "\\f1 X}"
                          << "font" << QVariant("Arial");
    QTest::newRow("default font") << head + "X}"
                                  << "font" << QVariant("Times New Roman");
    QTest::newRow("deff") << QByteArray("{\\rtf1\\deff1{\\fonttbl{\\f0 A;}{\\f1 B;}}X}") << "font"
                          << QVariant("B");
    QTest::newRow("plain resets font") << head + "\\f1\\b\\plain X}"
                                       << "font" << QVariant("Times New Roman");
    QTest::newRow("size") << head + "\\fs36 X}"
                          << "size" << QVariant(18.0);
    QTest::newRow("default size") << head + "X}"
                                  << "size" << QVariant(12.0);
    QTest::newRow("half point size") << head + "\\fs21 X}"
                                     << "size" << QVariant(10.5);
    QTest::newRow("colour") << head + "\\cf1 X}"
                            << "colour" << QVariant(QColor(255, 0, 0));
    QTest::newRow("automatic colour") << head + "\\cf0 X}"
                                      << "colour" << QVariant(QColor());
    QTest::newRow("colour out of table") << head + "\\cf9 X}"
                                         << "colour" << QVariant(QColor());
    QTest::newRow("highlight") << head + "\\highlight2 X}"
                               << "highlight" << QVariant(QColor(0, 0, 255));
    QTest::newRow("background cb") << head + "\\cb1 X}"
                                   << "highlight" << QVariant(QColor(255, 0, 0));
    QTest::newRow("super") << head + "\\super X}"
                           << "vertical" << QVariant(int(QTextCharFormat::AlignSuperScript));
    QTest::newRow("sub") << head + "\\sub X}"
                         << "vertical" << QVariant(int(QTextCharFormat::AlignSubScript));
    QTest::newRow("nosupersub") << head + "\\super\\nosupersub X}"
                                << "vertical" << QVariant(int(QTextCharFormat::AlignNormal));
    QTest::newRow("super has no offset") << head + "\\super X}"
                                         << "offset" << QVariant(0);
    QTest::newRow("up") << head + "\\up6 X}"
                        << "offset" << QVariant(60);
    QTest::newRow("dn") << head + "\\dn4 X}"
                        << "offset" << QVariant(-40);
    QTest::newRow("up raises") << head + "\\up6 X}"
                               << "vertical" << QVariant(int(QTextCharFormat::AlignSuperScript));
    // Only the baseline offset raises \up text; Qt's own superscript raise would add to it.
    QTest::newRow("up raised by its offset alone") << head + "\\up6 X}"
                                                   << "script baseline" << QVariant(0.0);
    QTest::newRow("nosupersub clears up") << head + "\\up6\\nosupersub X}"
                                          << "offset" << QVariant(0);
    QTest::newRow("hidden") << head + "\\v X}"
                            << "hidden" << QVariant(true);
    QTest::newRow("double-byte text takes associated size") << head + "\\fs24\\dbch\\afs20 X}"
                                                            << "size" << QVariant(10.0);
    QTest::newRow("associated size only for double-byte text")
        << head + "\\fs24\\dbch\\afs20\\loch X}"
        << "size" << QVariant(12.0);
    QTest::newRow("double-byte text takes associated bold") << head + "\\b\\dbch\\ab0 X}"
                                                            << "bold" << QVariant(false);
    QTest::newRow("associated size of other text ignored")
        << head + "\\rtlch\\afs40\\ltrch\\fs24\\dbch X}"
        << "size" << QVariant(12.0);
    QTest::newRow("double-byte text keeps its font") << head + "\\loch\\af0\\dbch\\af0\\f1 X}"
                                                     << "font" << QVariant("Arial");
    QTest::newRow("caps") << head + "\\caps X}"
                          << "caps" << QVariant(int(QFont::AllUppercase));
    QTest::newRow("small caps") << head + "\\scaps X}"
                                << "caps" << QVariant(int(QFont::SmallCaps));
}

void TestRtfReader::characterFormats()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, check);
    QFETCH(QVariant, expected);
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, doc));
    const QTextCharFormat f = formatOfX(doc);
    QVariant actual;
    if (check == "bold")
        actual = f.fontWeight() >= QFont::Bold;
    else if (check == "italic")
        actual = f.fontItalic();
    else if (check == "underline")
        actual = int(f.underlineStyle());
    else if (check == "strike")
        actual = f.fontStrikeOut();
    else if (check == "font")
        actual = f.fontFamilies().toStringList().value(0);
    else if (check == "size")
        actual = f.fontPointSize();
    else if (check == "colour")
        actual = f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor();
    else if (check == "highlight")
        actual = f.hasProperty(QTextFormat::BackgroundBrush) ? f.background().color() : QColor();
    else if (check == "vertical")
        actual = int(f.verticalAlignment());
    else if (check == "offset")
        actual = f.intProperty(CharOffsetTwips);
    else if (check == "script baseline")
        actual = f.superScriptBaseline() + f.subScriptBaseline();
    else if (check == "hidden")
        actual = f.boolProperty(Hidden);
    else if (check == "caps")
        actual = int(f.fontCapitalization());
    QCOMPARE(actual, expected);
}

void TestRtfReader::paragraphFormats()
{
    QTextDocument doc;
    Rtf::read("{\\rtf1\\pard\\qc\\li720\\ri360\\fi-240\\sb120\\sa60\\tqr\\tx1440\\tx2880 "
              "one\\par two\\par\\pard\\qr three\\par\\pard\\qj four\\par"
              "{\\pard\\ql\\li100 five\\par}six\\par\\pard seven}",
              doc);
    QCOMPARE(doc.blockCount(), 7);
    const QTextBlockFormat one = doc.findBlockByNumber(0).blockFormat();
    QCOMPARE(one.alignment(), Qt::AlignHCenter);
    QCOMPARE(one.intProperty(LeftIndentTwips), 720);
    QCOMPARE(one.leftMargin(), 48.0);
    QCOMPARE(one.intProperty(RightIndentTwips), 360);
    QCOMPARE(one.rightMargin(), 24.0);
    QCOMPARE(one.intProperty(FirstIndentTwips), -240);
    QCOMPARE(one.textIndent(), -16.0);
    QCOMPARE(one.intProperty(SpaceBeforeTwips), 120);
    QCOMPARE(one.topMargin(), 8.0);
    QCOMPARE(one.intProperty(SpaceAfterTwips), 60);
    QCOMPARE(one.property(TabStopsTwips).value<QList<int>>(), QList<int>({1440, 2880}));
    QCOMPARE(one.tabPositions().size(), 2);
    QCOMPARE(one.tabPositions().at(0).position, 96.0);
    QCOMPARE(one.tabPositions().at(0).type, QTextOption::RightTab);
    QCOMPARE(one.tabPositions().at(1).type, QTextOption::LeftTab);
    // Paragraph formatting carries over \par until \pard.
    QCOMPARE(doc.findBlockByNumber(1).blockFormat().intProperty(LeftIndentTwips), 720);
    QCOMPARE(doc.findBlockByNumber(2).blockFormat().alignment(), Qt::AlignRight);
    QVERIFY(!doc.findBlockByNumber(2).blockFormat().hasProperty(LeftIndentTwips));
    QCOMPARE(doc.findBlockByNumber(3).blockFormat().alignment(), Qt::AlignJustify);
    QCOMPARE(doc.findBlockByNumber(4).blockFormat().intProperty(LeftIndentTwips), 100);
    // Leaving the group restores the paragraph formatting of before.
    QCOMPARE(doc.findBlockByNumber(5).blockFormat().alignment(), Qt::AlignJustify);
    QCOMPARE(doc.findBlockByNumber(6).blockFormat().alignment(), Qt::AlignLeft);
}

void TestRtfReader::paragraphMarks_data()
{
    // Each block as "text:alignment:bold:listed", alignment L, C, R or J.
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("blocks");
    QTest::newRow("carried over marks until \\pard")
        << QByteArray("{\\rtf1\\qc a\\par b\\par\\pard c}")
        << QStringList{"a:C:0:0", "b:C:0:0", "c:L:0:0"};
    QTest::newRow("set inside a paragraph, then reset")
        << QByteArray("{\\rtf1 x\\par a\\qc\\par\\pard b}")
        << QStringList{"x:L:0:0", "a:C:0:0", "b:L:0:0"};
    QTest::newRow("empty paragraphs") << QByteArray("{\\rtf1 a\\par\\par\\qr b\\par}")
                                      << QStringList{"a:L:0:0", ":L:0:0", "b:R:0:0"};
    QTest::newRow("bold across a mark") << QByteArray("{\\rtf1{\\b a\\par b}\\par c}")
                                        << QStringList{"a:L:1:0", "b:L:1:0", "c:L:0:0"};
    QTest::newRow("a list item between plain paragraphs")
        << QByteArray("{\\rtf1 a\\par{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt{\\pntxtb\\'b7}}"
                      "\\fi-360\\li720 b\\par\\pard c\\par d}")
        << QStringList{"a:L:0:0", "b:L:0:1", "c:L:0:0", "d:L:0:0"};
    QTest::newRow("a page break after plain paragraphs")
        << QByteArray("{\\rtf1 a\\par b\\page c}") << QStringList{"a:L:0:0", "b:L:0:0", "c:L:0:0"};
}

void TestRtfReader::paragraphMarks()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, blocks);
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, doc));
    QStringList got;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        const QChar align = a == Qt::AlignHCenter   ? u'C'
                            : a == Qt::AlignRight   ? u'R'
                            : a == Qt::AlignJustify ? u'J'
                                                    : u'L';
        QTextCursor c(b);
        c.movePosition(QTextCursor::NextCharacter);
        const bool bold = !b.text().isEmpty() && c.charFormat().fontWeight() == QFont::Bold;
        got << QStringLiteral("%1:%2:%3:%4")
                   .arg(b.text(), align, QString::number(bold),
                        QString::number(b.textList() != nullptr));
    }
    QCOMPARE(got, blocks);
}

void TestRtfReader::pageBreak()
{
    QTextDocument doc;
    Rtf::read("{\\rtf1 one\\page two\\par\\page three\\par\\pard\\pagebb four}", doc);
    QCOMPARE(blocksText(doc), QString("one\ntwo\nthree\nfour"));
    auto breaks = [&doc](int n) {
        return bool(doc.findBlockByNumber(n).blockFormat().pageBreakPolicy() &
                    QTextFormat::PageBreak_AlwaysBefore);
    };
    QVERIFY(!breaks(0));
    QVERIFY(breaks(1));
    QVERIFY(breaks(2));
    QVERIFY(breaks(3));
}

void TestRtfReader::lists_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    // For each paragraph: the list style, or 0 when not in a list.
    QTest::addColumn<QList<int>>("styles");
    // For each paragraph: which list it belongs to (paragraphs with equal numbers share one).
    QTest::addColumn<QList<int>>("lists");
    const int disc = QTextListFormat::ListDisc, dec = QTextListFormat::ListDecimal;
    QTest::newRow("pn bullets")
        << QByteArray("{\\rtf1{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1{\\pntxtb\\'b7}}"
                      "\\fi-360\\li360 a\\par{\\pntext\\'b7\\tab}b\\par\\pard c}")
        << "a\nb\nc" << QList<int>{disc, disc, 0} << QList<int>{1, 1, 0};
    QTest::newRow("pn numbers")
        << QByteArray("{\\rtf1{\\pntext 1.\\tab}{\\*\\pn\\pnlvlbody\\pndec{\\pntxta .}}a\\par"
                      "{\\pntext 2.\\tab}b}")
        << "a\nb" << QList<int>{dec, dec} << QList<int>{1, 1};
    QTest::newRow("pn letters and roman")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pnlcltr}a\\par\\pard{\\*\\pn\\pnlvlbody"
                      "\\pnucrm}b}")
        << "a\nb"
        << QList<int>{int(QTextListFormat::ListLowerAlpha), int(QTextListFormat::ListUpperRoman)}
        << QList<int>{1, 2};
    QTest::newRow("pn numbering runs on across other paragraphs")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlbody\\pndec}a\\par\\pard b\\par{\\*\\pn\\pnlvlbody"
                      "\\pndec}c\\par\\pard{\\*\\pn\\pnlvlblt}d}")
        << "a\nb\nc\nd" << QList<int>{dec, 0, dec, disc} << QList<int>{1, 0, 1, 2};
    QTest::newRow("overrides of one list share its numbering")
        << QByteArray(
               "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid5}}"
               "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}{\\listoverride\\listid5"
               "\\ls2}}\\ls1 a\\par\\ls2 b}")
        << "a\nb" << QList<int>{dec, dec} << QList<int>{1, 1};
    QTest::newRow("undefined levels get bullets by depth")
        << QByteArray("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc23}\\listid5}}"
                      "{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}\\ls1\\ilvl1 a\\par"
                      "\\ilvl2 b}")
        << "a\nb" << QList<int>{int(QTextListFormat::ListCircle), int(QTextListFormat::ListSquare)}
        << QList<int>{1, 2};
    const QByteArray tables =
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23{\\leveltext\\'01\\'b7;}"
        "{\\levelnumbers;}}{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01.;}{\\levelnumbers\\'01;}}"
        "\\listid100}{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid200}}"
        "{\\*\\listoverridetable{\\listoverride\\listid100\\listoverridecount0\\ls1}"
        "{\\listoverride\\listid200\\listoverridecount0\\ls2}}";
    QTest::newRow("listtable bullet and number")
        << "{\\rtf1" + tables +
               "{\\listtext\\'b7\\tab}\\ls1 a\\par{\\listtext 1.\\tab}\\pard\\ls2 b\\par\\pard c}"
        << "a\nb\nc" << QList<int>{disc, dec, 0} << QList<int>{1, 2, 0};
    QTest::newRow("listtable level")
        << "{\\rtf1" + tables + "\\ls1\\ilvl1 a\\par\\ilvl0 b}"
        << "a\nb" << QList<int>{int(QTextListFormat::ListLowerAlpha), disc} << QList<int>{1, 2};
    QTest::newRow("higher level restarts the lower")
        << "{\\rtf1" + tables + "\\ls1\\ilvl1 a\\par\\ilvl1 b\\par\\ilvl0 c\\par\\ilvl1 d}"
        << "a\nb\nc\nd"
        << QList<int>{int(QTextListFormat::ListLowerAlpha), int(QTextListFormat::ListLowerAlpha),
                      disc, int(QTextListFormat::ListLowerAlpha)}
        << QList<int>{1, 1, 2, 3};
    QTest::newRow("number level without a number is a bullet")
        << QByteArray(
               "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'01"
               "\\u9702 ?;}}\\listid7}}{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}"
               "\\ls1 a}")
        << "a" << QList<int>{int(QTextListFormat::ListCircle)} << QList<int>{1};
    QTest::newRow("start number")
        << QByteArray("{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat7}"
                      "\\listid5}}{\\*\\listoverridetable{\\listoverride\\listid5\\ls1}}\\ls1 a}")
        << "a" << QList<int>{dec} << QList<int>{1};
    QTest::newRow("listtable list continues after a break")
        << "{\\rtf1" + tables + "\\ls2 a\\par\\pard b\\par\\ls2 c}"
        << "a\nb\nc" << QList<int>{dec, 0, dec} << QList<int>{1, 0, 1};
    QTest::newRow("ls wins over pn, marker shown once")
        << "{\\rtf1" + tables + "{\\listtext 1.\\tab}{\\pntext 1.\\tab}{\\*\\pn\\pnlvlblt}\\ls2 a}"
        << "a" << QList<int>{dec} << QList<int>{1};
    QTest::newRow("ls the tables do not define is no list")
        << QByteArray("{\\rtf1{\\*\\pn\\pnlvlblt}\\ls5 a}") << "a" << QList<int>{0}
        << QList<int>{0};
}

void TestRtfReader::lists()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QFETCH(QList<int>, styles);
    QFETCH(QList<int>, lists);
    QTextDocument doc;
    Rtf::read(rtf, doc);
    QCOMPARE(blocksText(doc), text);
    QHash<int, QTextList *> byNumber;
    int n = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next(), ++n) {
        QTextList *list = b.textList();
        QCOMPARE(list ? int(list->format().style()) : 0, styles.at(n));
        if (!list)
            continue;
        // A hanging item's first line starts at the left indent, its marker in the hanging
        // part, so the marker stays inside the page.
        const QTextBlockFormat f = b.blockFormat();
        if (f.intProperty(FirstIndentTwips) < 0)
            QCOMPARE(f.textIndent(), 0.0);
        QVERIFY(f.leftMargin() + f.textIndent() >= 0);
        if (byNumber.contains(lists.at(n)))
            QCOMPARE(list, byNumber.value(lists.at(n)));
        else
            QVERIFY(!byNumber.values().contains(list));
        byNumber.insert(lists.at(n), list);
    }
}

void TestRtfReader::pictures_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("pixels"); // the picture's own size; empty when it cannot be drawn
    QTest::addColumn<QSize>("twips");  // display size
    const QByteArray png = hex(pngBytes(4, 3));
    QTest::newRow("png natural size") << "{\\rtf1{\\pict\\pngblip\\picw4\\pich3 " + png + "}}"
                                      << "png" << QSize(4, 3) << QSize(60, 45);
    QTest::newRow("png goal size")
        << "{\\rtf1{\\pict\\pngblip\\picwgoal1440\\pichgoal720 " + png + "}}"
        << "png" << QSize(4, 3) << QSize(1440, 720);
    QTest::newRow("png scaled")
        << "{\\rtf1{\\pict\\pngblip\\picwgoal1440\\pichgoal720\\picscalex50\\picscaley200 " + png +
               "}}"
        << "png" << QSize(4, 3) << QSize(720, 1440);
    QTest::newRow("png as binary")
        << "{\\rtf1{\\pict\\pngblip\\picwgoal300\\pichgoal300\\bin" +
               QByteArray::number(pngBytes(2, 2).size()) + " " + pngBytes(2, 2) + "}}"
        << "png" << QSize(2, 2) << QSize(300, 300);
    QTest::newRow("jpeg") << "{\\rtf1{\\pict\\jpegblip\\picwgoal600\\pichgoal300 " +
                                 hex(jpegBytes(8, 4)) + "}}"
                          << "jpeg" << QSize(8, 4) << QSize(600, 300);
    QTest::newRow("dib") << "{\\rtf1{\\pict\\dibitmap0\\picw2\\pich2 " + hex(dibBytes()) + "}}"
                         << "dib" << QSize(2, 2) << QSize(30, 30);
    QTest::newRow("wbitmap monochrome")
        << QByteArray("{\\rtf1{\\pict\\wbitmap0\\picw8\\pich2\\wbmbitspixel1\\wbmplanes1"
                      "\\wbmwidthbytes2 ff00 0f00}}")
        << "dib" << QSize(8, 2) << QSize(120, 30);
    QTest::newRow("metafile keeps its place")
        << QByteArray("{\\rtf1{\\pict\\wmetafile8\\picw2540\\pich1270 0102030405}}") << "wmf"
        << QSize() << QSize(1440, 720);
    QTest::newRow("emf with goal")
        << QByteArray("{\\rtf1{\\pict\\emfblip\\picw100\\pich100\\picwgoal500\\pichgoal400 01}}")
        << "emf" << QSize() << QSize(500, 400);
    QTest::newRow("shppict preferred") << "{\\rtf1{\\*\\shppict{\\pict\\pngblip " + png +
                                              "}}{\\nonshppict{\\pict\\wmetafile8 0102}}}"
                                       << "png" << QSize(4, 3) << QSize(60, 45);
    QTest::newRow("picture inside a shape")
        << "{\\rtf1{\\shp{\\*\\shpinst{\\sp{\\sn fillColor}{\\sv 255}}{\\sp{\\sn pib}{\\sv "
           "{\\pict\\pngblip " +
               png + "}}}}{\\shprslt{\\pict\\wmetafile8 0102}}}}"
        << "png" << QSize(4, 3) << QSize(60, 45);
    QTest::newRow("object result picture")
        << "{\\rtf1{\\object{\\*\\objdata 0102}{\\result{\\pict\\pngblip " + png + "}}}}"
        << "png" << QSize(4, 3) << QSize(60, 45);
    QTest::newRow("corrupt png keeps its place")
        << QByteArray("{\\rtf1{\\pict\\pngblip\\picwgoal100\\pichgoal200 89504e47}}") << "png"
        << QSize() << QSize(100, 200);
}

void TestRtfReader::pictures()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, kind);
    QFETCH(QSize, pixels);
    QFETCH(QSize, twips);
    QTextDocument doc;
    Rtf::read(rtf, doc);
    const QList<Picture> found = ::pictures(doc);
    QCOMPARE(found.size(), 1);
    const Picture &p = found.first();
    QCOMPARE(p.kind, kind);
    QCOMPARE(QSize(p.twipsW, p.twipsH), twips);
    QCOMPARE(p.size, QSizeF(twips.width() / 15.0, twips.height() / 15.0));
    QVERIFY(!p.image.isNull()); // a stand-in when it cannot be drawn
    if (pixels.isValid())
        QCOMPARE(p.image.size(), pixels);
    QCOMPARE(doc.toPlainText(), QString(QChar::ObjectReplacementCharacter));
}

void TestRtfReader::malformed_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QString>("text");
    QTest::newRow("unclosed groups") << QByteArray("{\\rtf1 a{\\b b{\\i c") << "abc";
    QTest::newRow("extra closing braces") << QByteArray("{\\rtf1 a}}}b") << "a";
    QTest::newRow("truncated control word") << QByteArray("{\\rtf1 a\\") << "a";
    QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'4") << "a4";
    QTest::newRow("bad hex") << QByteArray("{\\rtf1 a\\'zzb}") << "azzb";
    QTest::newRow("truncated unicode") << QByteArray("{\\rtf1 a\\u") << "a";
    QTest::newRow("huge numbers")
        << QByteArray("{\\rtf1\\fs99999999999999999999\\li-99999999999999\\u99999999999 a"
                      "\\cf4294967296 b\\f-5 c\\uc999999 d}")
        << QString::fromUtf8("\uFFFDbcd");
    QTest::newRow("over-long control word") << "{\\rtf1 a\\" + QByteArray(100000, 'A') + " b}"
                                            << "ab";
    QTest::newRow("over-long number") << "{\\rtf1 \\b" + QByteArray(100000, '9') + " x}"
                                      << "x";
    QTest::newRow("deep nesting") << "{\\rtf1 a" + QByteArray(100000, '{') + "b" +
                                         QByteArray(100000, '}') + "c}"
                                  << "abc";
    QTest::newRow("deep nesting unclosed") << "{\\rtf1 a" + QByteArray(200000, '{') + "b"
                                           << "ab";
    QTest::newRow("bin longer than the data")
        << QByteArray("{\\rtf1 a{\\pict\\pngblip\\bin999999999 xyz") << QString("a");
    QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << "ab";
    QTest::newRow("bin hides braces") << QByteArray("{\\rtf1 a{\\*\\x\\bin2 }}b}c}") << "ac";
    QTest::newRow("nul bytes") << QByteArray("{\\rtf1 a\0b}", 10) << "ab";
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

void TestRtfReader::malformed()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QString, text);
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf, doc));
    QString actual = blocksText(doc);
    actual.remove(QChar::ObjectReplacementCharacter);
    QCOMPARE(actual, text);
}

void TestRtfReader::insertAtCursor()
{
    QTextDocument doc;
    doc.setPlainText("XY");
    QTextCursor cursor(&doc);
    cursor.setPosition(1);
    QVERIFY(Rtf::insert("{\\rtf1{\\b a}\\par b}", cursor));
    QCOMPARE(blocksText(doc), QString("Xa\nbY"));
    QTextCursor at(&doc);
    at.setPosition(2);
    QVERIFY(at.charFormat().fontWeight() >= QFont::Bold);

    // A final paragraph mark pastes as a paragraph break.
    cursor.setPosition(0);
    QVERIFY(Rtf::insert("{\\rtf1 line\\par}", cursor));
    QCOMPARE(blocksText(doc), QString("line\nXa\nbY"));
    // ... or ends the inserted text, as the end of a whole document does.
    cursor.setPosition(0);
    QVERIFY(Rtf::insert("{\\rtf1 one\\par}", cursor, Rtf::FinalMark::EndsContent));
    QCOMPARE(blocksText(doc), QString("oneline\nXa\nbY"));

    // Pictures come with their resource; the selection is replaced.
    cursor.setPosition(0);
    cursor.setPosition(4, QTextCursor::KeepAnchor);
    QVERIFY(Rtf::insert("{\\rtf1{\\pict\\pngblip " + hex(pngBytes(2, 2)) + "}}", cursor));
    const QList<Picture> found = ::pictures(doc);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().image.size(), QSize(2, 2));
    QVERIFY(!Rtf::insert("plain", cursor));
}

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
