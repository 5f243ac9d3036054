#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include "platform/RichTextBox.h"

namespace {

// Display lines as the document's layout has them, counted block by block.
int layoutLineCount(RichTextBox &box)
{
    box.document()->documentLayout()->documentSize();
    int lines = 0;
    for (QTextBlock b = box.document()->begin(); b.isValid(); b = b.next())
        lines += b.layout()->lineCount();
    return lines;
}

const QString kParagraph = QStringLiteral(
    "The quick brown fox jumps over the lazy dog while the cat watches from the fence and "
    "the farmer counts his sheep one by one until the evening comes.");

} // namespace

class TestRichTextBoxFind : public QObject
{
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void findSelectsAcrossBreaksAndPictures();
    void findRepeated();
    void findNoHighlight();

    void linesWithoutWrap();
    void linesWithWrap_data();
    void linesWithWrap();
    void linesFollowEdits();
};

void TestRichTextBoxFind::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("what");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("options");
    QTest::addColumn<int>("expected");

    const int word = RichTextBox::rtfWholeWord;
    const int match = RichTextBox::rtfMatchCase;
    QTest::newRow("simple") << "hello world"
                            << "world" << 0 << -1 << 0 << 6;
    QTest::newRow("overlap from 0") << "aaa"
                                    << "aa" << 0 << -1 << 0 << 0;
    QTest::newRow("overlap from 1") << "aaa"
                                    << "aa" << 1 << -1 << 0 << 1;
    QTest::newRow("overlap from 2") << "aaa"
                                    << "aa" << 2 << -1 << 0 << -1;
    QTest::newRow("ignore case") << "Hello"
                                 << "hELLo" << 0 << -1 << 0 << 0;
    QTest::newRow("match case miss") << "Hello hello"
                                     << "HELLO" << 0 << -1 << match << -1;
    QTest::newRow("match case hit") << "Hello hello"
                                    << "hello" << 0 << -1 << match << 6;
    QTest::newRow("whole word skips part") << "cat concat cat"
                                           << "cat" << 1 << -1 << word << 11;
    QTest::newRow("whole word inside") << "concatenate"
                                       << "cat" << 0 << -1 << word << -1;
    QTest::newRow("whole word punctuation") << "(cat)"
                                            << "cat" << 0 << -1 << word << 1;
    QTest::newRow("whole word at break") << "a\r\ncat\r\n"
                                         << "cat" << 0 << -1 << word << 3;
    QTest::newRow("whole word and case") << "Cat cat"
                                         << "cat" << 0 << -1 << (word | match) << 4;
    QTest::newRow("start past end") << "abc"
                                    << "c" << 4 << -1 << 0 << -1;
    QTest::newRow("start at end") << "abc"
                                  << "c" << 3 << -1 << 0 << -1;
    QTest::newRow("negative start") << "abc"
                                    << "a" << -3 << -1 << 0 << 0;
    QTest::newRow("end limits") << "abcabc"
                                << "abc" << 1 << 5 << 0 << -1;
    QTest::newRow("end exact") << "abcabc"
                               << "abc" << 1 << 6 << 0 << 3;
    QTest::newRow("end past length") << "abc"
                                     << "bc" << 0 << 99 << 0 << 1;
    QTest::newRow("empty text") << "abc"
                                << "" << 0 << -1 << 0 << -1;
    QTest::newRow("empty document") << ""
                                    << "a" << 0 << -1 << 0 << -1;
    QTest::newRow("across paragraphs") << "one\r\ntwo"
                                       << "e\r\nt" << 0 << -1 << 0 << 2;
    QTest::newRow("after paragraphs") << "x\r\ny\r\nz"
                                      << "z" << 0 << -1 << 0 << 6;
    QTest::newRow("soft break") << "a\vb"
                                << "b" << 0 << -1 << 0 << 2;
}

void TestRichTextBoxFind::find()
{
    QFETCH(QString, text);
    QFETCH(QString, what);
    QFETCH(int, start);
    QFETCH(int, end);
    QFETCH(int, options);
    QFETCH(int, expected);
    RichTextBox box;
    box.setText(text);
    box.setSelStart(0);
    QCOMPARE(box.Find(what, start, end, options), expected);
    if (expected >= 0) {
        QCOMPARE(box.SelStart(), expected);
        QCOMPARE(box.SelLength(), int(what.size()));
        QCOMPARE(box.SelText().compare(what, Qt::CaseInsensitive), 0);
    } else {
        QCOMPARE(box.SelStart(), 0); // a miss leaves the selection alone
        QCOMPARE(box.SelLength(), 0);
    }
}

void TestRichTextBoxFind::findSelectsAcrossBreaksAndPictures()
{
    RichTextBox box;
    box.setText("ab\r\ncd");
    box.setSelStart(4);
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::green);
    box.insertPicture(image);
    QCOMPARE(box.Text(), QString("ab\r\n") + QChar::ObjectReplacementCharacter + "cd");
    QCOMPARE(box.Find("cd"), 5);
    QCOMPARE(box.SelStart(), 5);
    QCOMPARE(box.SelText(), QString("cd"));
    QCOMPARE(box.Find(QString("b\r\n") + QChar::ObjectReplacementCharacter), 1);
    QCOMPARE(box.SelLength(), 4);
    QCOMPARE(box.GetLineFromChar(5), 1);
}

void TestRichTextBoxFind::findRepeated()
{
    // Each search starts one character after the previous hit: overlapping hits all count.
    RichTextBox box;
    box.setText("aaaa");
    QList<int> hits;
    int next = 0;
    for (int guard = 0; guard < 10; ++guard) {
        const int hit = box.Find("aa", next);
        if (hit < 0)
            break;
        hits << hit;
        next = hit + 1;
    }
    QCOMPARE(hits, (QList<int>{0, 1, 2}));
}

void TestRichTextBoxFind::findNoHighlight()
{
    RichTextBox box;
    box.setText("find me");
    QCOMPARE(box.Find("me", 0, -1, RichTextBox::rtfNoHighlight), 5);
    QCOMPARE(box.SelStart(), 0);
    QCOMPARE(box.SelLength(), 0);
}

void TestRichTextBoxFind::linesWithoutWrap()
{
    RichTextBox box;
    box.setRightMargin(RichTextBox::NoWrap);
    box.setText(kParagraph + "\r\n\r\nshort\vbroken\r\nend");
    const QString text = box.Text();
    QCOMPARE(box.GetLineCount(), 5);
    const int shortAt = text.indexOf("short");
    const int brokenAt = text.indexOf("broken");
    const int endAt = text.indexOf("end");
    const QList<int> starts{0, int(kParagraph.size()) + 2, shortAt, brokenAt, endAt};
    for (int line = 0; line < starts.size(); ++line) {
        QCOMPARE(box.GetLineIndex(line), starts[line]);
        QCOMPARE(box.GetLineFromChar(starts[line]), line);
    }
    QCOMPARE(box.GetLineIndex(5), -1);
    QCOMPARE(box.GetLineIndex(-1), -1);
    QCOMPARE(box.GetLineFromChar(int(kParagraph.size())), 0);     // end of the paragraph
    QCOMPARE(box.GetLineFromChar(int(kParagraph.size()) + 1), 0); // between "\r" and "\n"
    QCOMPARE(box.GetLineFromChar(brokenAt - 1), 2);               // the soft break itself
    QCOMPARE(box.GetLineFromChar(int(text.size())), 4);
    QCOMPARE(box.GetLineFromChar(int(text.size()) + 50), 4);
}

void TestRichTextBoxFind::linesWithWrap_data()
{
    QTest::addColumn<int>("marginTwips");
    QTest::newRow("two inches") << 2880;
    QTest::newRow("one inch") << 1440;
    QTest::newRow("four inches") << 5760;
}

void TestRichTextBoxFind::linesWithWrap()
{
    QFETCH(int, marginTwips);
    RichTextBox box;
    box.setFont("DejaVu Sans", 10);
    box.setText(kParagraph + "\r\n" + kParagraph + kParagraph + "\r\n\r\nshort");
    box.setRightMargin(marginTwips);
    const int count = box.GetLineCount();
    QCOMPARE(count, layoutLineCount(box));
    QVERIFY(count > 4);

    int previous = -1;
    for (int line = 0; line < count; ++line) {
        const int start = box.GetLineIndex(line);
        QVERIFY2(start > previous, qPrintable(QString("line %1").arg(line)));
        QCOMPARE(box.GetLineFromChar(start), line);
        if (line > 0)
            QCOMPARE(box.GetLineFromChar(start - 1), line - 1);
        previous = start;
    }
    QCOMPARE(box.GetLineIndex(count), -1);
    QCOMPARE(box.GetLineFromChar(int(box.Text().size())), count - 1);

    box.setRightMargin(RichTextBox::NoWrap);
    QCOMPARE(box.GetLineCount(), 4);
}

void TestRichTextBoxFind::linesFollowEdits()
{
    RichTextBox box;
    box.setFont("DejaVu Sans", 10);
    box.setRightMargin(2880);
    QString text;
    for (int i = 0; i < 40; ++i)
        text += (i % 3 == 0 ? kParagraph : QString("line %1").arg(i)) + "\r\n";
    box.setText(text);
    const int lastLine = box.GetLineFromChar(int(box.Text().size()));
    QCOMPARE(lastLine + 1, box.GetLineCount());

    // Insert a long paragraph in the middle: every later line moves down by its lines.
    box.setSelStart(box.GetLineIndex(20));
    const int before = box.GetLineCount();
    box.setSelText(kParagraph + kParagraph + "\r\n");
    QCOMPARE(box.GetLineCount(), layoutLineCount(box));
    QVERIFY(box.GetLineCount() > before + 1);
    QCOMPARE(box.GetLineFromChar(int(box.Text().size())) + 1, box.GetLineCount());
    box.Undo();
    QCOMPARE(box.GetLineCount(), before);
    box.setFont("DejaVu Sans", 20);
    QCOMPARE(box.GetLineCount(), layoutLineCount(box));
    QVERIFY(box.GetLineCount() > before);
}

QTEST_MAIN(TestRichTextBoxFind)
#include "tst_richtextbox_find.moc"
