// Tables through the RTF reader and writer, and inside the rich text control.
#include <QColor>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include "platform/RichTextBox.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/TextFormats.h"

namespace {

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
        if (f.topBorder() > 0)
            parts << QStringLiteral("t%1%2")
                         .arg(qRound(f.topBorder() * 15))
                         .arg(colorName(f.topBorderBrush()));
        if (f.leftBorder() > 0)
            parts << QStringLiteral("l%1").arg(qRound(f.leftBorder() * 15));
        if (f.bottomBorder() > 0)
            parts << QStringLiteral("b%1").arg(qRound(f.bottomBorder() * 15));
        if (f.rightBorder() > 0)
            parts << QStringLiteral("r%1").arg(qRound(f.rightBorder() * 15));
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

QByteArray rtf(const char *body)
{
    return QByteArray(
               "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}") +
           body + "}";
}

} // namespace

class TestRtfTables : public QObject
{
    Q_OBJECT

private slots:
    void readAndRoundTrip_data();
    void readAndRoundTrip();
    void writtenForm();
    void editInCellKeepsTable();
    void positionsInCells();
    void partialRangeFlattens();
};

void TestRtfTables::readAndRoundTrip_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("structure");
    QTest::addColumn<QString>("withFormats"); // empty: not compared

    QTest::newRow("two by two between paragraphs")
        << rtf("before\\par\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
               "\\trowd\\cellx1000\\cellx2000\\pard\\intbl c\\cell d\\cell\\row\\pard after\\par")
        << "before/[a|b / c|d]/after"
        << "";
    QTest::newRow("paragraphs in a cell, empty cell")
        << rtf("\\trowd\\cellx1000\\cellx2000\\intbl one\\par two\\cell\\cell\\row")
        << "/[one/two|]/"
        << "";
    QTest::newRow("rows of different widths share a grid")
        << rtf("\\trowd\\cellx2000\\cellx4000\\intbl a\\cell b\\cell\\row"
               "\\trowd\\cellx1000\\cellx3000\\cellx4000\\intbl c\\cell d\\cell e\\cell\\row")
        << "/[a{c2}|b{c2} / c|d{c2}|e]/"
        << "/[a{c2}|b{c2} / c|d{c2}|e]<w4,left0,align1>(1000,1000,1000,1000)/";
    QTest::newRow("horizontal merge")
        << rtf("\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\intbl wide\\cell\\cell "
               "c\\cell\\row\\trowd\\cellx1000\\cellx2000\\cellx3000\\intbl d\\cell e\\cell "
               "f\\cell\\row")
        << "/[wide{c2}|c / d|e|f]/"
        << "";
    QTest::newRow("vertical merge")
        << rtf("\\trowd\\clvmgf\\cellx1000\\cellx2000\\intbl tall\\cell b\\cell\\row"
               "\\trowd\\clvmrg\\cellx1000\\cellx2000\\intbl\\cell d\\cell\\row")
        << "/[tall{r2}|b / d]/"
        << "";
    QTest::newRow("row indent and a shorter row")
        << rtf("\\trowd\\trleft500\\cellx1500\\cellx2500\\intbl a\\cell b\\cell\\row"
               "\\trowd\\trleft1500\\cellx2500\\intbl c\\cell\\row")
        << "/[a|b / ~|c]/"
        << "";
    QTest::newRow("nested table, definition at the row's end")
        << rtf("\\trowd\\cellx3000\\cellx6000\\pard\\intbl outer\\par"
               "\\pard\\intbl\\itap2 x\\nestcell y\\nestcell"
               "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
               "\\pard\\intbl\\itap1\\cell second\\cell\\row")
        << "/[outer/[x|y]/|second]/"
        << "";
    QTest::newRow("table at the start, no row end")
        << rtf("\\trowd\\cellx1000\\intbl only\\cell") << "/[only]/"
        << "";
    QTest::newRow("cell marks without intbl")
        << rtf("text\\par a\\cell b\\cell\\row\\pard after") << "text/[a|b]/after"
        << "";
    QTest::newRow("two tables apart")
        << rtf("\\trowd\\cellx1000\\intbl a\\cell\\row\\pard between\\par"
               "\\trowd\\cellx1000\\intbl b\\cell\\row")
        << "/[a]/between/[b]/"
        << "";
    QTest::newRow("borders, shading, alignment, centred row")
        << rtf("\\trowd\\trqc\\trgaph100\\trleft-100"
               "\\clbrdrt\\brdrs\\brdrw20\\brdrcf1\\clbrdrb\\brdrs\\brdrw10\\clcbpat2\\cellx2000"
               "\\clvertalc\\clshdng2000\\cellx4000\\intbl a\\cell b\\cell\\row")
        << "/[a|b]/"
        << "/[a<t20#ff0000,b10,bg#0000ff>|b<bg#cccccc,middle>]<w2,left-100,align4>(2100,2000)/";
}

void TestRtfTables::readAndRoundTrip()
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

void TestRtfTables::writtenForm()
{
    // Rows and cells in the form other word processors read: a definition before each row,
    // \intbl paragraphs ending in \cell, merged cells as \clvmgf/\clvmrg, nested rows with
    // their definition in \nesttableprops.
    QTextDocument doc;
    QVERIFY(
        Rtf::read(rtf("\\trowd\\trgaph108\\trleft-108\\trrh400\\clvmgf\\cellx2000\\cellx4000"
                      "\\intbl a\\cell b\\cell\\row"
                      "\\trowd\\trgaph108\\trleft-108\\trrh400\\clvmrg\\cellx2000\\cellx4000"
                      "\\intbl\\cell in\\par\\pard\\intbl\\itap2 n\\nestcell{\\*\\nesttableprops"
                      "\\trowd\\cellx1000\\nestrow}{\\nonesttables\\par}\\pard\\intbl\\cell\\row"),
                  doc));
    const QByteArray out = Rtf::write(doc);
    QVERIFY2(out.contains("\\trowd\\trgaph108\\trleft-108\\trrh400\\clvmgf\\cellx2000\\cellx4000"),
             out);
    QVERIFY2(out.contains("\\clvmrg\\cellx2000\\cellx4000"), out);
    QVERIFY2(out.contains("\\pard\\intbl\\itap2"), out);
    QVERIFY2(out.contains("{\\*\\nesttableprops\\trowd\\trleft0\\cellx1000\\nestrow}"
                          "{\\nonesttables\\par}"),
             out);
    QCOMPARE(out.count("\\row"), 2);
    QCOMPARE(out.count("\\nestcell"), 1);
}

void TestRtfTables::editInCellKeepsTable()
{
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(
        rtf("intro\\par\\trowd\\cellx2000\\cellx4000\\intbl price\\cell 10\\cell\\row\\pard end")));
    const int at = box.Find("10");
    QVERIFY(at > 0);
    box.setSelText("12.50");
    box.setSelStart(box.Find("price"));
    box.setSelLength(0);
    QTest::keyClicks(&box, "Unit ");

    RichTextBox reopened;
    reopened.setTextRTF(box.TextRTF());
    QCOMPARE(describe(*reopened.document()), QString("intro/[Unit price|12.50]/end"));
}

void TestRtfTables::positionsInCells()
{
    // Every cell ends with "\r\n" in Text, as paragraphs do; positions, Find and the
    // selection agree on it.
    RichTextBox box;
    box.setTextRTF(QString::fromLatin1(rtf("x\\par\\trowd\\cellx1000\\cellx2000\\intbl a\\cell "
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
    QCOMPARE(box.GetLineFromChar(box.Find("y")), box.GetLineCount() - 1);
    QCOMPARE(box.GetLineFromChar(box.Find("bb")), 2);

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
}

void TestRtfTables::partialRangeFlattens()
{
    // Part of a table written alone is its paragraphs, not a broken table.
    QTextDocument doc;
    QVERIFY(Rtf::read(rtf("\\trowd\\cellx1000\\cellx2000\\intbl alpha\\cell beta\\cell\\row"
                          "\\pard after"),
                      doc));
    const int from = doc.toPlainText().indexOf("pha");
    const int to = doc.toPlainText().indexOf("eta");
    QTextDocument part;
    QVERIFY(Rtf::read(Rtf::write(doc, from, to), part));
    QCOMPARE(describe(part), QString("pha/b"));
}

QTEST_MAIN(TestRtfTables)
#include "tst_rtftables.moc"
