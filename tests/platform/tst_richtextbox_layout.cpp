// Long documents in the rich text control: display lines with Qt's layout and with the
// long-document layout, the background layout, and large changes and their undo.
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextTable>
#include <memory>

#include "editing/FindReplace.h"
#include "platform/LongDocumentLayout.h"
#include "platform/RichTextBox.h"

namespace {

const QString kParagraph = QStringLiteral(
    "The quick brown fox jumps over the lazy dog while the cat watches from the fence and "
    "the farmer counts his sheep one by one until the evening comes.");

// Paragraphs of three kinds: a long one, a short one, an empty one, and a soft line break.
QString text(int paragraphs)
{
    QString out;
    for (int i = 0; i < paragraphs; ++i) {
        switch (i % 4) {
        case 0:
            out += kParagraph;
            break;
        case 1:
            out += QStringLiteral("line %1").arg(i);
            break;
        case 2:
            break;
        default:
            out += QStringLiteral("soft\vbreak");
            break;
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

// More paragraphs than this take the long-document layout.
const int kLong = RichTextBox::LongDocumentParagraphs + 400;

bool usesLongLayout(RichTextBox &box)
{
    return qobject_cast<LongDocumentLayout *>(box.document()->documentLayout()) != nullptr;
}

// Display lines of the same content laid out by Qt's own layout at the same width.
int qtLineCount(RichTextBox &box)
{
    std::unique_ptr<QTextDocument> copy(box.document()->clone());
    copy->setDefaultFont(box.document()->defaultFont());
    copy->setDefaultTextOption(box.document()->defaultTextOption());
    copy->setDocumentMargin(box.document()->documentMargin());
    copy->setPageSize(box.document()->pageSize());
    copy->documentLayout()->documentSize();
    int lines = 0;
    for (QTextBlock b = copy->begin(); b.isValid(); b = b.next())
        lines += b.layout()->lineCount();
    return lines;
}

std::unique_ptr<RichTextBox> shownBox(int paragraphs, int marginTwips)
{
    auto box = std::make_unique<RichTextBox>();
    box->setFont("DejaVu Sans", 10);
    box->setRightMargin(marginTwips);
    box->resize(500, 300);
    box->show();
    box->setText(text(paragraphs));
    return box;
}

#define WAIT_FOR_LAYOUT(box) QTRY_VERIFY_WITH_TIMEOUT(!(box)->isLayoutPending(), 120000)

// Every line starts after the one before and maps back to itself.
void checkLines(RichTextBox &box, int count)
{
    int previous = -1;
    for (int line = 0; line < count; line += 1 + line / 50) {
        const int start = box.GetLineIndex(line);
        QVERIFY2(start > previous, qPrintable(QStringLiteral("line %1").arg(line)));
        QCOMPARE(box.GetLineFromChar(start), line);
        if (line > 0)
            QCOMPARE(box.GetLineFromChar(start - 1), line - 1);
        previous = start;
    }
    QCOMPARE(box.GetLineIndex(count), -1);
    QCOMPARE(box.GetLineIndex(-1), -1);
    const int length = int(box.Text().size());
    QCOMPARE(box.GetLineFromChar(length), count - 1);
    QCOMPARE(box.GetLineFromChar(length + 50), count - 1);
    // Between the "\r" and the "\n" of a break: the end of the paragraph.
    const int end = int(kParagraph.size());
    QCOMPARE(box.GetLineFromChar(end + 1), box.GetLineFromChar(end));
}

} // namespace

class TestRichTextBoxLayout : public QObject
{
    Q_OBJECT

private slots:
    void displayLines_data();
    void displayLines();
    void backgroundLayoutFinishes_data();
    void backgroundLayoutFinishes();
    void caretAndLinesDuringBackgroundLayout();
    void undoLargeChanges_data();
    void undoLargeChanges();
    void positionsOnScreen_data();
    void positionsOnScreen();
};

void TestRichTextBoxLayout::displayLines_data()
{
    QTest::addColumn<int>("paragraphs");
    QTest::addColumn<int>("margin");
    QTest::newRow("Qt's layout, no wrap") << 40 << int(RichTextBox::NoWrap);
    QTest::newRow("Qt's layout, two inches") << 40 << 2880;
    QTest::newRow("long layout, no wrap") << kLong << int(RichTextBox::NoWrap);
    QTest::newRow("long layout, one inch") << kLong << 1440;
    QTest::newRow("long layout, four inches") << kLong << 5760;
}

void TestRichTextBoxLayout::displayLines()
{
    QFETCH(int, paragraphs);
    QFETCH(int, margin);
    auto box = shownBox(paragraphs, margin);
    QCOMPARE(usesLongLayout(*box), paragraphs > RichTextBox::LongDocumentParagraphs);
    // The counts hold before the background layout has finished (what is asked is laid out).
    const int count = box->GetLineCount();
    QCOMPARE(count, qtLineCount(*box));
    if (margin == RichTextBox::NoWrap)
        QCOMPARE(count, paragraphs + paragraphs / 4 + 1);
    checkLines(*box, count);
    if (QTest::currentTestFailed())
        return;

    // A long paragraph inserted in the middle moves every later line down by its lines.
    box->setSelStart(box->GetLineIndex(count / 2));
    box->setSelText(kParagraph + kParagraph + QStringLiteral("\r\n"));
    QCOMPARE(box->GetLineCount(), qtLineCount(*box));
    QVERIFY(box->GetLineCount() > count);
    box->Undo();
    QCOMPARE(box->GetLineCount(), count);
    box->setFont("DejaVu Sans", 20);
    QCOMPARE(box->GetLineCount(), qtLineCount(*box));
}

void TestRichTextBoxLayout::backgroundLayoutFinishes_data()
{
    QTest::addColumn<bool>("table");
    QTest::newRow("long layout") << false;
    QTest::newRow("Qt's layout (a table)") << true;
}

void TestRichTextBoxLayout::backgroundLayoutFinishes()
{
    QFETCH(bool, table);
    auto box = shownBox(kLong * 2, 2880);
    if (table) {
        QTextCursor c(box->document());
        c.insertTable(2, 2);
        QTRY_VERIFY(!usesLongLayout(*box));
    }
    QSignalSpy finished(box.get(), &RichTextBox::LayoutFinished);
    QVERIFY(box->isLayoutPending());
    QVERIFY(box->layoutProgress() < 100);
    WAIT_FOR_LAYOUT(box);
    QCOMPARE(box->layoutProgress(), 100);
    QVERIFY(finished.count() >= 1);
    QCOMPARE(box->GetLineCount(), qtLineCount(*box));

    // A new width lays everything out again; stopped, it waits until asked.
    box->setRightMargin(4320);
    QVERIFY(box->isLayoutPending());
    box->stopBackgroundLayout();
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QVERIFY(box->isLayoutPending());
    box->resumeBackgroundLayout();
    WAIT_FOR_LAYOUT(box);
    QCOMPARE(box->GetLineCount(), qtLineCount(*box));
}

void TestRichTextBoxLayout::caretAndLinesDuringBackgroundLayout()
{
    auto box = shownBox(kLong * 2, 2880);
    QVERIFY(box->isLayoutPending());
    // Near the top the status bar's line and column are exact while the rest is laid out, and
    // asking does not lay the rest out.
    QList<int> positions;
    QList<std::pair<int, int>> shown;
    for (int pos : {0, 3, int(kParagraph.size()) + 4, 300}) {
        box->setSelStart(pos);
        positions << box->SelStart();
        shown << box->lineAndColumn(box->SelStart());
    }
    QCOMPARE(shown.first(), std::make_pair(1, 1));
    QVERIFY(box->isLayoutPending());
    // Far down, an exact question lays out as far as it needs.
    const int end = int(box->Text().size());
    const int lastLine = box->GetLineFromChar(end);
    WAIT_FOR_LAYOUT(box);
    QCOMPARE(lastLine, box->GetLineCount() - 1);
    for (int i = 0; i < positions.size(); ++i)
        QCOMPARE(box->lineAndColumn(positions[i]), shown[i]);
    box->setSelStart(end);
    QCOMPARE(box->lineAndColumn(end).first, box->GetLineCount());
    QCOMPARE(box->SelStart(), end);
}

void TestRichTextBoxLayout::undoLargeChanges_data()
{
    QTest::addColumn<int>("paragraphs");
    QTest::newRow("short document") << 40;
    QTest::newRow("long document") << kLong * 2;
}

void TestRichTextBoxLayout::undoLargeChanges()
{
    QFETCH(int, paragraphs);
    auto box = shownBox(paragraphs, 2880);
    const QString original = box->Text();
    const int hits = int(original.count(QStringLiteral("fox")));

    // Replace All: one step to undo and redo; in a long document the view stays where it was.
    QCOMPARE(FindReplace::replaceAll(*box, QStringLiteral("fox"), QStringLiteral("wolves"), 0),
             hits);
    QString replaced = original;
    replaced.replace(QStringLiteral("fox"), QStringLiteral("wolves"));
    QCOMPARE(box->Text(), replaced);
    if (usesLongLayout(*box))
        QCOMPARE(box->verticalScrollBar()->value(), 0);
    box->Undo();
    QCOMPARE(box->Text(), original);
    box->Redo();
    QCOMPARE(box->Text(), replaced);
    box->Undo();
    QCOMPARE(box->Text(), original);

    // Select all and bold: one step, all bold, then all as before.
    box->selectAll();
    box->setSelBold(true);
    QCOMPARE(box->SelBold(), std::optional<bool>(true));
    box->Undo();
    box->selectAll();
    QCOMPARE(box->SelBold(), std::optional<bool>(false));
    QCOMPARE(box->Text(), original);
    WAIT_FOR_LAYOUT(box);
    QCOMPARE(box->GetLineCount(), qtLineCount(*box));
}

void TestRichTextBoxLayout::positionsOnScreen_data()
{
    QTest::addColumn<bool>("readInBackground");
    QTest::newRow("set") << false;
    QTest::newRow("read in the background") << true;
}

void TestRichTextBoxLayout::positionsOnScreen()
{
    // Clicking where the caret is drawn finds the caret's position, wherever the view is; also
    // for a document whose first heights were estimated by the thread that read it.
    QFETCH(bool, readInBackground);
    auto box = shownBox(kLong, 2880);
    QTemporaryDir dir;
    if (readInBackground) {
        const QString path = dir.filePath("long.txt");
        QVERIFY(box->SaveFile(path, RichTextBox::rtfText));
        box->setBackgroundReadBytes(0);
        QVERIFY(box->LoadFile(path));
        QVERIFY(usesLongLayout(*box));
    }
    const int length = int(box->document()->characterCount());
    for (int pos : {0, 1234, length / 2, length - 2}) {
        QTextCursor c(box->document());
        c.setPosition(pos);
        box->setTextCursor(c);
        const QRect caret = box->cursorRect();
        QVERIFY(box->viewport()->rect().contains(caret.center()));
        QCOMPARE(box->cursorForPosition(caret.center()).position(), pos);
    }
}

QTEST_MAIN(TestRichTextBoxLayout)
#include "tst_richtextbox_layout.moc"
