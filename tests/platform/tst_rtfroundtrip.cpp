// What a document holds survives reading and writing: tables, fields and links, content that
// is kept though not shown, right-to-left paragraphs, list numbering, wide pictures.
#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include "platform/ListMarkers.h"
#include "platform/PictureFit.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/KeptContent.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/TextFormats.h"

namespace {

const QChar Object = QChar::ObjectReplacementCharacter;

QByteArray doc(const QByteArray &body)
{
    return "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman Times New Roman;}}" + body + "}";
}

QByteArray reread(const QByteArray &rtf, QString *text = nullptr)
{
    QTextDocument d;
    Rtf::read(rtf, d);
    if (text)
        *text = d.toPlainText();
    const QByteArray written = Rtf::write(d);
    // Save writes to the file as it goes: the same bytes.
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    [&] {
        QVERIFY(Rtf::write(d, saved));
        QCOMPARE(saved.data(), written);
    }();
    return written;
}

// Types text as a keyboard of its script would, one key a character.
void type(QWidget &w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent key(QEvent::KeyPress, c == u'\n' ? Qt::Key_Return : Qt::Key_unknown,
                      Qt::NoModifier, c == u'\n' ? QStringLiteral("\r") : QString(c));
        QCoreApplication::sendEvent(&w, &key);
    }
}

QString describeItems(QTextFrame::iterator it, bool formats);

QString colorName(const QBrush &b)
{
    return b.style() == Qt::NoBrush ? QStringLiteral("-") : b.color().name();
}

// A cell: its paragraphs joined by "/", its spans and (when asked) its borders and shading.
QString describeCell(const QTextTableCell &cell, bool formats)
{
    QString out = describeItems(cell.begin(), formats);
    if (cell.format().boolProperty(TextFormats::CellFiller))
        out = QStringLiteral("~");
    if (cell.columnSpan() > 1)
        out += QStringLiteral("{c%1}").arg(cell.columnSpan());
    if (cell.rowSpan() > 1)
        out += QStringLiteral("{r%1}").arg(cell.rowSpan());
    if (formats) {
        const QTextTableCellFormat f = cell.format().toTableCellFormat();
        QStringList parts;
        const qreal sides[] = {f.topBorder(), f.leftBorder(), f.bottomBorder(), f.rightBorder()};
        for (int i = 0; i < 4; ++i) {
            if (sides[i] > 0)
                parts << QChar("tlbr"[i]) + QString::number(qRound(sides[i] * 15)) +
                             (i == 0 ? colorName(f.topBorderBrush()) : QString());
        }
        if (f.background().style() != Qt::NoBrush)
            parts << QStringLiteral("bg") + f.background().color().name();
        if (f.verticalAlignment() == QTextCharFormat::AlignMiddle)
            parts << QStringLiteral("middle");
        if (!parts.isEmpty())
            out += QLatin1Char('<') + parts.join(QLatin1Char(',')) + QLatin1Char('>');
    }
    return out;
}

QString describeTable(const QTextTable &table, bool formats)
{
    QStringList rows;
    for (int r = 0; r < table.rows(); ++r) {
        QStringList cells;
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            if (cell.row() == r && cell.column() == c)
                cells << describeCell(cell, formats);
        }
        rows << cells.join(QLatin1Char('|'));
    }
    QString out = QLatin1Char('[') + rows.join(QStringLiteral(" / ")) + QLatin1Char(']');
    if (formats) {
        const QTextTableFormat f = table.format();
        out += QStringLiteral("<w%1,left%2,align%3>")
                   .arg(QString::number(f.columnWidthConstraints().size()))
                   .arg(f.intProperty(TextFormats::TableLeftTwips))
                   .arg(int(f.alignment() & Qt::AlignHorizontal_Mask));
        QStringList widths;
        for (int w : f.property(TextFormats::TableColumnsTwips).value<QList<int>>())
            widths << QString::number(w);
        out += QLatin1Char('(') + widths.join(QLatin1Char(',')) + QLatin1Char(')');
    }
    return out;
}

// Paragraphs as their text, tables as [rows / of | cells], items joined by "/".
QString describeItems(QTextFrame::iterator it, bool formats)
{
    QStringList items;
    for (; !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame()))
            items << describeTable(*table, formats);
        else if (it.currentBlock().isValid())
            items << it.currentBlock().text();
    }
    return items.join(QLatin1Char('/'));
}

QString describe(const QTextDocument &doc, bool formats = false)
{
    return describeItems(doc.rootFrame()->begin(), formats);
}

QByteArray withColours(const char *body)
{
    return QByteArray(
               "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}") +
           body + "}";
}

} // namespace

class TestRtfRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void tables_data();
    void tables();
    void positionsInCells();
    void partialRangeFlattens();
    void keepsContent_data();
    void keepsContent();
    void linksAndFields();
    void editElsewhereKeepsContent();
    void documentSummary();
    void rightToLeft();
    void listNumbering_data();
    void listNumbering();
    void widePictureFitsText();
    void longDocumentSavedAsItIsWritten();
};

void TestRtfRoundTrip::keepsContent_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QByteArrayList>("kept"); // what the written RTF holds again
    QTest::addColumn<QString>("text");        // what the document shows

    const QString o(Object);
    QTest::newRow("hyperlink") << doc("see {\\field{\\*\\fldinst HYPERLINK \"https://x.org/\"}"
                                      "{\\fldrslt the site}}.\\par")
                               << QByteArrayList{"\\fldinst HYPERLINK \"https://x.org/\"}",
                                                 "{\\fldrslt", "the site}}"}
                               << "see the site.";
    QTest::newRow("other field") << doc("page {\\field{\\*\\fldinst { PAGE \\\\* MERGEFORMAT}}"
                                        "{\\fldrslt 3}} of 9\\par")
                                 << QByteArrayList{"PAGE \\\\* MERGEFORMAT", "3}}"}
                                 << "page 3 of 9";
    QTest::newRow("nested fields")
        << doc("{\\field{\\*\\fldinst HYPERLINK \"a\"}{\\fldrslt x{\\field{\\*\\fldinst PAGE}"
               "{\\fldrslt 2}}y}}\\par")
        << QByteArrayList{"HYPERLINK \"a\"", "\\fldinst PAGE}"} << "x2y";
    QTest::newRow("field without result")
        << doc("a{\\field{\\*\\fldinst TOC \\\\o}}b\\par")
        << QByteArrayList{"{\\field{\\*\\fldinst TOC \\\\o}}"} << "a" + o + "b";
    // Text a field's group shows outside its result is shown once, not kept as well.
    QTest::newRow("field group showing text")
        << doc("a{p\\field q}{\\field r{\\*\\fldinst PAGE}}{\\field{x}{\\fldrslt y}}b\\par")
        << QByteArrayList{"apqrxyb"} << "apqrxyb";
    QTest::newRow("equation laid out, written as read")
        << doc("x{\\field{\\*\\fldinst{ EQ \\\\s\\\\do5({\\fs16 1})}}{\\fldrslt }}y\\par")
        << QByteArrayList{"{\\*\\fldinst{ EQ \\\\s\\\\do5({\\fs16 1})}}{\\fldrslt }}y"} << "x1y";
    QTest::newRow("info")
        << doc("{\\info{\\title Bulletin}{\\author Ann}{\\company Co}}text\\par")
        << QByteArrayList{"{\\info{\\title Bulletin}{\\author Ann}{\\company Co}}"} << "text";
    QTest::newRow("style sheet")
        << doc("{\\stylesheet{\\s0 Normal;}{\\s1\\b heading 1;}}t\\par")
        << QByteArrayList{"{\\stylesheet{\\s0 Normal;}{\\s1\\b heading 1;}}"} << "t";
    QTest::newRow("headers and footers")
        << doc("{\\header \\pard top\\par}{\\footerf \\pard first foot\\par}{\\footer foot\\par}"
               "body\\par")
        << QByteArrayList{"{\\header \\pard top\\par}", "{\\footerf \\pard first foot\\par}",
                          "{\\footer foot\\par}"}
        << "body";
    QTest::newRow("page setup") << doc("\\paperw11906\\paperh16838\\margl1134\\margr1134"
                                       "\\landscape\\sectd\\titlepg body\\par")
                                << QByteArrayList{"\\paperw11906", "\\paperh16838", "\\margl1134",
                                                  "\\landscape", "\\titlepg"}
                                << "body";
    QTest::newRow("sections")
        << doc("one\\par\\sect\\sectd\\sbknone\\cols2{\\header h2\\par}two\\par")
        << QByteArrayList{"\\sect", "\\sbknone", "\\cols2", "{\\header h2\\par}"} << "one\n\ntwo";
    QTest::newRow("footnote") << doc("word{\\super\\chftn}{\\footnote\\pard\\plain{\\super\\chftn} "
                                     "The note.}\\par")
                              << QByteArrayList{"\\chftn",
                                                "{\\footnote\\pard\\plain{\\super\\chftn} "
                                                "The note.}"}
                              << "word" + o;
    QTest::newRow("bookmarks") << doc("{\\*\\bkmkstart here}target{\\*\\bkmkend here}\\par")
                               << QByteArrayList{"{\\*\\bkmkstart here}", "{\\*\\bkmkend here}"}
                               << o + "target" + o;
    QTest::newRow("hidden text") << doc("vis{\\v hid}ible\\par") << QByteArrayList{"\\v hid"}
                                 << "vis" + o + "ible";
    QTest::newRow("hidden text in pieces")
        << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Times;}{\\f3 Arial;}}a{\\v h\\line x\\tab "
                      "y{\\f3 ab}{\\v c}{\\up6 d}}b{\\v e\\par f}\\par}")
        << QByteArrayList{"\\v h\\line x\\tab yabcd\\v0 b\\v e"} << "a" + o + "b" + o + "\n" + o;
    QTest::newRow("bookmark before a row")
        << doc("a\\par\\trowd\\cellx2000{\\*\\bkmkstart t}\\pard\\intbl x\\cell\\row\\pard b\\par")
        << QByteArrayList{"{\\*\\bkmkstart t}x\\cell"} << "a\n" + o + "x\nb";
    QTest::newRow("unknown destination")
        << doc("{\\*\\generator Tool 1;}a{\\*\\pamphlexaunknown {x}y}b\\par")
        << QByteArrayList{"{\\*\\pamphlexaunknown {x}y}", "{\\*\\generator Tool 1;}"}
        << "a" + o + "b";
    // A destination's word opens its group only as the group's first thing: after a nested
    // group or a character it is no destination, and the text around it shows once.
    QTest::newRow("destination word after content")
        << doc("a{b{}\\footnote c}{\\'41\\footnote d}e\\par") << QByteArrayList{} << "abcAde";
    // Control characters are not text: a destination after them still belongs to the header.
    QTest::newRow("control characters before a destination")
        << doc("\\'00\x01{\\*\\pamphlexaunknown x}a\\par")
        << QByteArrayList{"{\\*\\pamphlexaunknown x}"} << "a";
    // After a lone paragraph mark with nothing after it, a destination stands before all
    // content, as it does when written at the start of the text: it is the header's.
    QTest::newRow("destination after a lone paragraph mark")
        << doc("\\par{\\*\\pamphlexaunknown x}") << QByteArrayList{"{\\*\\pamphlexaunknown x}"}
        << "";
    // In a table's first cell, before any text, a destination is the text's all the same.
    QTest::newRow("destination opening a table")
        << doc("\\trowd\\cellx1440\\pard\\intbl{\\*\\pamphlexaunknown x}a\\cell\\row\\pard b\\par")
        << QByteArrayList{"{\\*\\pamphlexaunknown x}"} << "\n" + o + "a\nb";
    // A field's instruction and result are groups right inside its group; one inside another
    // group is only that group's content, and the field reads back the same.
    QTest::newRow("field instruction inside another group")
        << doc("{\\field{\\*\\fldinst}{\\x{\\*\\fldinst}{\\fldrslt l}}}a\\par") << QByteArrayList{}
        << "la";
    // A field without a result whose group breaks the paragraph: the break shows, and the
    // field is not kept to write it a second time.
    QTest::newRow("paragraph mark in a field without a result")
        << doc("a{\\field{\\*\\fldinst x}\\par}b\\par") << QByteArrayList{} << "a\nb";
    // A file cut short inside a destination: the group is kept closed (a backslash cut off
    // from its word dropped), so that what is written after it stays outside it.
    QTest::newRow("destination cut short")
        << QByteArray("{\\rtf1\\ansi a\\par b{\\*\\pamphlexaunknown {x\\")
        << QByteArrayList{"{\\*\\pamphlexaunknown {x}}"} << "a\nb" + o;
    // A \* after text does not make the group a destination: what was shown stays, once.
    QTest::newRow("star after text")
        << doc("a{s\\*php\\ict{\\pic)}z}b\\par") << QByteArrayList{} << "asphpb";
    QTest::newRow("code page and fonts")
        << QByteArray(
               "{\\rtf1\\ansi\\ansicpg1251\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset204 Arial;}}"
               "{\\header \\'cf\\'f0\\par}\\'cf\\'f0\\par}")
        << QByteArrayList{"\\ansicpg1251", "\\fcharset204 Arial;", "{\\header \\'cf\\'f0\\par}"}
        << QString::fromUtf8("Пр");
}

void TestRtfRoundTrip::keepsContent()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QByteArrayList, kept);
    QFETCH(QString, text);
    QString shown;
    const QByteArray once = reread(rtf, &shown);
    QCOMPARE(shown, text);
    for (const QByteArray &k : kept)
        QVERIFY2(once.contains(k), once.constData());
    // What we write reads back to the same document and writes the same again.
    QString again;
    QCOMPARE(reread(once, &again), once);
    QCOMPARE(again, text);
    // Deleting the character that holds kept content deletes what it holds.
    QTextDocument d;
    Rtf::read(rtf, d);
    QTextCursor object = d.find(QString(Object));
    if (!object.isNull()) {
        object.removeSelectedText();
        QVERIFY(!Rtf::write(d).contains(kept.value(0)));
    }
}

void TestRtfRoundTrip::linksAndFields()
{
    QTextDocument d;
    Rtf::read(doc("{\\field{\\*\\fldinst HYPERLINK \"https://x.org/p?q=1\" \\\\o \"tip\"}"
                  "{\\fldrslt site}} {\\field{\\*\\fldinst HYPERLINK \\\\l \"mark\"}{\\fldrslt in}}"
                  " {\\field{\\*\\fldinst DATE}{\\fldrslt 1 May}}\\par"),
              d);
    auto formatAt = [&d](const QString &word) {
        QTextCursor c(&d);
        c.setPosition(int(d.toPlainText().indexOf(word)) + 1);
        return c.charFormat();
    };
    // A link shows as links do; other fields show their result only.
    const QTextCharFormat site = formatAt(QStringLiteral("site"));
    QVERIFY(site.isAnchor());
    QCOMPARE(site.anchorHref(), QStringLiteral("https://x.org/p?q=1"));
    QCOMPARE(site.underlineStyle(), QTextCharFormat::SingleUnderline);
    QCOMPARE(formatAt(QStringLiteral("in")).anchorHref(), QStringLiteral("#mark"));
    QVERIFY(!formatAt(QStringLiteral("May")).isAnchor());
    // Typing inside a field's result changes the result; the field stays around it.
    QTextCursor c(&d);
    c.setPosition(int(d.toPlainText().indexOf(QStringLiteral("May"))));
    c.insertText(QStringLiteral("2"));
    const QByteArray out = Rtf::write(d);
    QVERIFY2(out.contains("{\\fldrslt 1 2May}}") || out.contains("1 2May}}"), out.constData());
    QVERIFY(out.contains("\\fldinst DATE}"));
}

void TestRtfRoundTrip::editElsewhereKeepsContent()
{
    QTextDocument d;
    Rtf::read(doc("{\\info{\\title T}}{\\header head\\par}first paragraph\\par "
                  "second{\\super\\chftn}{\\footnote note}{\\*\\bkmkstart b}{\\*\\bkmkend b}\\par"
                  "{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt link}} {\\v secret}\\par"),
              d);
    QTextCursor c(&d);
    c.insertText(QStringLiteral("New start. "));
    c.movePosition(QTextCursor::EndOfBlock);
    c.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    c.movePosition(QTextCursor::End);
    c.insertText(QStringLiteral("end"));
    const QByteArray out = Rtf::write(d);
    for (const char *k : {"{\\title T}", "{\\header head\\par}", "{\\footnote note}",
                          "{\\*\\bkmkstart b}", "{\\*\\bkmkend b}", "HYPERLINK \"u\"", "secret"})
        QVERIFY2(out.contains(k), out.constData());
}

void TestRtfRoundTrip::documentSummary()
{
    QTextDocument d;
    Rtf::read(doc("{\\info{\\title Caf\\'e9 news}{\\subject S}{\\author A. Writer}{\\company Co}"
                  "{\\keywords k1 k2}{\\creatim\\yr2021\\mo3\\dy4\\hr5\\min6}"
                  "{\\revtim\\yr2022\\mo12\\dy31\\hr23\\min59}}x\\par"),
              d);
    const KeptContent::Store *store = KeptContent::store(d);
    QVERIFY(store);
    const KeptContent::Summary &s = store->summary;
    QCOMPARE(s.title, QString::fromUtf8("Café news"));
    QCOMPARE(s.author, QStringLiteral("A. Writer"));
    QCOMPARE(s.keywords, QStringLiteral("k1 k2"));
    QCOMPARE(s.created, QDateTime(QDate(2021, 3, 4), QTime(5, 6)));
    QCOMPARE(s.revised, QDateTime(QDate(2022, 12, 31), QTime(23, 59)));
    // Plain text keeps nothing of it.
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(doc("{\\info{\\title T}}x\\par")));
    QVERIFY(KeptContent::store(*box.document()));
    box.setText(QStringLiteral("plain"));
    QVERIFY(!KeptContent::store(*box.document()));
}

void TestRtfRoundTrip::rightToLeft()
{
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(doc("\\pard\\rtlpar\\ql {\\rtlch \\u1513?\\u1500?\\u1493?"
                                           "\\u1501?}\\par\\pard\\ltrpar\\qr left to right\\par")));
    QTextBlock first = box.document()->begin();
    QCOMPARE(first.textDirection(), Qt::RightToLeft);
    box.setSelStart(1);
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignRight));
    box.setSelStart(box.Text().indexOf(QStringLiteral("left")));
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignRight));
    QCOMPARE(first.next().textDirection(), Qt::LeftToRight);

    // Align Left on the right-to-left paragraph puts it on the left, and back.
    box.setSelStart(1);
    box.setSelAlignment(RichTextBox::AlignLeft);
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignLeft));
    QByteArray out = box.TextRTFBytes();
    QVERIFY2(out.contains("\\rtlpar\\qr"), out.constData());
    box.setSelAlignment(RichTextBox::AlignRight);
    out = box.TextRTFBytes();
    QVERIFY2(out.contains("\\rtlpar") && !out.contains("\\rtlpar\\qr"), out.constData());

    // A paragraph typed in a right-to-left script runs right to left, as a read one does; one
    // begun in a left-to-right script stays so whatever follows; undo takes both back.
    RichTextBox typed;
    type(typed, QString::fromUtf8("שלום\n(1) עוד"));
    QCOMPARE(typed.SelAlignment(), std::optional<int>(RichTextBox::AlignRight));
    RichTextBox back;
    back.setTextRTFBytes(typed.TextRTFBytes());
    QCOMPARE(back.Text(), typed.Text());
    for (QTextBlock b = back.document()->begin(); b.isValid(); b = b.next())
        QCOMPARE(b.textDirection(), Qt::RightToLeft);
    RichTextBox other;
    type(other, QString::fromUtf8("a שלום"));
    QCOMPARE(other.document()->begin().textDirection(), Qt::LeftToRight);
    other.setText({});
    type(other, QString::fromUtf8("ש"));
    other.Undo();
    QCOMPARE(other.document()->begin().blockFormat().layoutDirection(), Qt::LayoutDirectionAuto);
}

void TestRtfRoundTrip::listNumbering_data()
{
    QTest::addColumn<QByteArray>("rtf");
    QTest::addColumn<QStringList>("markers");
    QTest::addColumn<QByteArrayList>("written");

    auto listTable = [](int nfc, int start, const QByteArray &text) {
        return "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc" +
               QByteArray::number(nfc) + "\\levelstartat" + QByteArray::number(start) +
               "{\\leveltext " + text +
               ";}{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid7}}"
               "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}}";
    };
    const QByteArray items =
        "\\pard\\ls1\\fi-360\\li720 one\\par two\\par three\\par\\pard after\\par";
    QTest::newRow("decimal from 5")
        << doc(listTable(0, 5, "\\'02\\'00.") + items) << QStringList{"5.", "6.", "7."}
        << QByteArrayList{"\\levelnfc0", "\\levelstartat5"};
    QTest::newRow("upper roman") << doc(listTable(1, 1, "\\'02\\'00.") + items)
                                 << QStringList{"I.", "II.", "III."}
                                 << QByteArrayList{"\\levelnfc1", "\\levelstartat1"};
    QTest::newRow("lower roman from 4")
        << doc(listTable(2, 4, "\\'03(\\'00)") + items) << QStringList{"(iv)", "(v)", "(vi)"}
        << QByteArrayList{"\\levelnfc2", "\\levelstartat4"};
    QTest::newRow("upper letters")
        << doc(listTable(3, 1, "\\'02\\'00)") + items) << QStringList{"A)", "B)", "C)"}
        << QByteArrayList{"\\levelnfc3"};
    QTest::newRow("lower letters from 26")
        << doc(listTable(4, 26, "\\'02\\'00.") + items) << QStringList{"z.", "aa.", "ab."}
        << QByteArrayList{"\\levelnfc4", "\\levelstartat26"};
    QTest::newRow("on through a table, data after the last item")
        << doc(listTable(0, 1, "\\'02\\'00.") +
               "\\pard\\ls1 one\\par\\trowd\\cellx2000\\pard\\intbl\\ls1 two\\cell\\row"
               "\\pard\\ls1 three\\par{\\*\\themedata 0a}")
        << QStringList{"1.", "2.", "3."} << QByteArrayList{"{\\*\\themedata 0a}"};
    QTest::newRow("older form from 3")
        << doc("\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart3{\\pntxta .}}\\fi-360\\li720 one\\par "
               "two\\par three\\par\\pard after\\par")
        << QStringList{"III.", "IV.", "V."} << QByteArrayList{"\\pnucrm", "\\pnstart3"};
}

void TestRtfRoundTrip::listNumbering()
{
    QFETCH(QByteArray, rtf);
    QFETCH(QStringList, markers);
    QFETCH(QByteArrayList, written);
    auto shown = [](const QTextDocument &d) {
        QStringList items;
        for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
            if (b.textList())
                items << ListMarkers::itemText(b);
        }
        return items;
    };
    QTextDocument d;
    Rtf::read(rtf, d);
    QCOMPARE(shown(d), markers);
    // Every item's marker, the first's too, is drawn in its text's font (the mark's).
    for (QTextBlock b = d.begin(); b.isValid() && b.textList(); b = b.next())
        QCOMPARE(b.charFormat().fontPointSize(), 12.0);
    const QByteArray out = Rtf::write(d);
    for (const QByteArray &w : written)
        QVERIFY2(out.contains(w), out.constData());
    QTextDocument again;
    Rtf::read(out, again);
    QCOMPARE(shown(again), markers);
}

void TestRtfRoundTrip::widePictureFitsText()
{
    // 3000 pixels wide at 96 dpi, in a page 600 pixels wide: shown at 600 or less, kept whole.
    QImage image(3000, 300, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QTextDocument d;
    Rtf::read(doc("x{\\pict\\pngblip\\picw3000\\pich300 " + png.toHex() + "}\\par"), d);
    PictureFit::install(d);
    d.setTextWidth(600);
    const QRectF block = d.documentLayout()->blockBoundingRect(d.begin());
    QVERIFY(block.width() <= 600);
    QVERIFY2(block.height() < 300 * 0.5, qPrintable(QString::number(block.height())));
    const QByteArray out = Rtf::write(d);
    QVERIFY(out.contains("\\picw3000\\pich300\\picwgoal45000\\pichgoal4500"));
}

void TestRtfRoundTrip::tables_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("structure");
    QTest::addColumn<QString>("withFormats"); // empty: not compared
    auto row = [](const char *name, const char *body, const char *structure,
                  const char *formats = "") {
        QTest::newRow(name) << withColours(body) << structure << formats;
    };
    row("two by two between paragraphs",
        "before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
        "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row\\pard after\\par",
        "before/[a|b / c|d]/after");
    row("paragraphs in a cell, empty cell",
        "\\trowd\\cellx1000\\cellx2000\\intbl one\\par two\\cell\\cell\\row", "/[one/two|]/");
    row("rows of different widths share a grid",
        "\\trowd\\cellx2000\\cellx4000\\intbl a\\cell b\\cell\\row"
        "\\trowd\\cellx1000\\cellx3000\\cellx4000\\intbl c\\cell d\\cell e\\cell\\row",
        "/[a{c2}|b{c2} / c|d{c2}|e]/",
        "/[a{c2}|b{c2} / c|d{c2}|e]<w4,left0,align1>(1000,1000,1000,1000)/");
    row("horizontal merge",
        "\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\intbl wide\\cell\\cell c\\cell"
        "\\row\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl d\\cell e\\cell f\\cell\\row",
        "/[wide{c2}|c / d|e|f]/");
    row("vertical merge",
        "\\trowd\\clvmgf\\cellx1000\\cellx2000\\intbl tall\\cell b\\cell\\row"
        "\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl\\cell d\\cell\\row",
        "/[tall{r2}|b / d]/");
    row("row indent and a shorter row",
        "\\trowd\\trleft500\\cellx1500\\cellx2500\\intbl a\\cell b\\cell\\row"
        "\\trowd\\trleft1500\\cellx2500\\intbl c\\cell\\row",
        "/[a|b / ~|c]/");
    row("nested table, definition at the row's end",
        "\\trowd\\cellx3000\\cellx6000\\pard\\intbl outer\\par\\pard\\intbl\\itap2 x\\nestcell "
        "y\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables"
        "\\par}\\pard\\intbl\\itap1\\cell second\\cell\\row",
        "/[outer/[x|y]/|second]/");
    row("table at the start, no row end", "\\trowd\\cellx1000\\intbl only\\cell", "/[only]/");
    row("cell marks without intbl", "text\\par a\\cell b\\cell\\row\\pard after",
        "text/[a|b]/after");
    // The list paragraph's block goes when the cell takes the text after it: its list too.
    row("cell marks after a bullet's only paragraph",
        "{\\*\\pn\\pnlvlblt}\\par x\\cell\\row y\\par", "/[x / y]/");
    row("cell marks after a numbered list's only paragraph", "{\\pn}\\par x\\cell\\row y\\par",
        "/[x / y]/");
    // A field's result that runs into a cell and closes before the cell's mark.
    row("field result ending in a cell",
        "{\\field{\\*\\fldinst}{\\fldrslt l\\par\\trowd\\cellx1440\\pard\\intbl t}}"
        "\\pard\\intbl\\cell\\row\\pard after\\par",
        "l/[t]/after");
    row("two tables apart",
        "\\trowd\\cellx1000\\intbl a\\cell\\row\\pard between\\par"
        "\\trowd\\cellx1000\\intbl b\\cell\\row",
        "/[a]/between/[b]/");
    row("borders, shading, alignment, centred row",
        "\\trowd\\trqc\\trgaph100\\trleft-100\\clbrdrt\\brdrs\\brdrw20\\brdrcf1\\clbrdrb\\brdrs"
        "\\brdrw10\\clcbpat2\\cellx2000\\clvertalc\\clshdng2000\\cellx4000\\intbl a\\cell b\\cell"
        "\\row",
        "/[a|b]/",
        "/[a<t20#ff0000,b10,bg#0000ff>|b<bg#cccccc,middle>]<w2,left-100,align4>(2100,2000)/");
}

void TestRtfRoundTrip::tables()
{
    QFETCH(QByteArray, input);
    QFETCH(QString, structure);
    QFETCH(QString, withFormats);

    QTextDocument read;
    QVERIFY(Rtf::read(input, read));
    QCOMPARE(describe(read), structure);
    if (!withFormats.isEmpty())
        QCOMPARE(describe(read, true), withFormats);

    // What is written reads back the same, and writing that again gives the same bytes.
    const QByteArray written = Rtf::write(read);
    QTextDocument again;
    QVERIFY(Rtf::read(written, again));
    QCOMPARE(describe(again, true), describe(read, true));
    QCOMPARE(Rtf::write(again), written);
}

void TestRtfRoundTrip::positionsInCells()
{
    // Every cell ends with "\r\n" in Text, as paragraphs do; positions, Find and the
    // selection agree on it.
    RichTextBox box;
    box.setTextRTF(
        QString::fromLatin1(withColours("x\\par\\trowd\\cellx1000\\cellx2000\\intbl a\\cell "
                                        "bb\\cell\\row\\trowd\\cellx1000\\cellx2000\\intbl "
                                        "c\\par d\\cell\\cell\\row\\pard y")));
    QCOMPARE(box.Text(), QString("x\r\na\r\nbb\r\nc\r\nd\r\n\r\ny"));
    QCOMPARE(box.Find("bb"), 6);
    QCOMPARE(box.SelStart(), 6);
    QCOMPARE(box.SelText(), QString("bb"));
    QTextCursor c = box.textCursor();
    QVERIFY(c.currentTable());
    QCOMPARE(c.currentTable()->cellAt(c).column(), 1);

    // Paragraphs inside a cell, and a whole table, select as Text shows them; replacing text
    // inside a cell keeps it there.
    box.setSelStart(10);
    box.setSelLength(4);
    QCOMPARE(box.SelText(), QString("c\r\nd"));
    box.setSelStart(0);
    box.setSelLength(int(box.Text().size()));
    QCOMPARE(box.SelText(), box.Text());
    box.setSelStart(13);
    box.setSelLength(1);
    box.setSelText("D");
    QCOMPARE(box.Text(), QString("x\r\na\r\nbb\r\nc\r\nD\r\n\r\ny"));

    // Backspace at a cell's start joins nothing; Enter makes a paragraph in the cell.
    box.setSelStart(box.Find("bb"));
    box.setSelLength(0);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClick(&box, Qt::Key_B);
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.Text(), QString("x\r\na\r\nb\r\nbb\r\nc\r\nD\r\n\r\ny"));
    QCOMPARE(box.SelStart(), 9);
    // Typing over a selection across cells empties those cells and types into the first.
    box.setSelStart(3);
    box.setSelLength(8);
    QCOMPARE(box.SelText(), QString("a\r\nb\r\nbb"));
    box.setSelText("z");
    QCOMPARE(box.Text(), QString("x\r\nz\r\n\r\nc\r\nD\r\n\r\ny"));
    QCOMPARE(describe(*box.document()), QString("x/[z| / c/D|]/y"));
    // The edited table is saved as a table.
    RichTextBox reopened;
    reopened.setTextRTF(box.TextRTF());
    QCOMPARE(describe(*reopened.document()), QString("x/[z| / c/D|]/y"));
}

void TestRtfRoundTrip::partialRangeFlattens()
{
    // Part of a table written alone is its paragraphs, not a broken table.
    QTextDocument doc;
    QVERIFY(Rtf::read(withColours("\\trowd\\cellx1000\\cellx2000\\intbl alpha\\cell beta\\cell\\row"
                                  "\\pard after"),
                      doc));
    const int from = doc.toPlainText().indexOf("pha");
    const int to = doc.toPlainText().indexOf("eta");
    QTextDocument part;
    QVERIFY(Rtf::read(Rtf::write(doc, from, to), part));
    QCOMPARE(describe(part), QString("pha/b"));
}

void TestRtfRoundTrip::longDocumentSavedAsItIsWritten()
{
    // A font and a colour first used far into a long document still reach the header.
    QTextDocument d;
    QTextCursor c(&d);
    for (int i = 0; i < 4000; ++i)
        c.insertText(QStringLiteral("Paragraph %1 of a long {report}, caf\u00e9.\n").arg(i));
    QTextCharFormat late;
    late.setFontFamilies({QStringLiteral("Courier New")});
    late.setForeground(QColor(200, 0, 0));
    c.insertText(QStringLiteral("late"), late);
    QBuffer saved;
    saved.open(QIODevice::WriteOnly);
    QVERIFY(Rtf::write(d, saved));
    QCOMPARE(saved.data(), Rtf::write(d));
    QVERIFY(saved.data().contains("Courier New") && saved.data().contains("\\red200"));
}

QTEST_MAIN(TestRtfRoundTrip)
#include "tst_rtfroundtrip.moc"
