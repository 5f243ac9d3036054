#include <QImage>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>

#include "platform/RichTextBox.h"

class TestRichTextBoxFind : public QObject
{
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void findSelectsAcrossBreaksAndPictures();
    void findReadsTextKeptInPieces();
    void findInLongDocument();
};

namespace {

// What Find should give: the first hit in the control's text from `start` on.
int expectedHit(RichTextBox &box, const QString &what, int start, Qt::CaseSensitivity cs)
{
    return static_cast<int>(box.Text().indexOf(what, start, cs));
}

} // namespace

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
    QTest::newRow("overlap from 1") << "aaa"
                                    << "aa" << 1 << -1 << 0 << 1;
    QTest::newRow("ignore case") << "Hello"
                                 << "hELLo" << 0 << -1 << 0 << 0;
    QTest::newRow("match case hit") << "Hello hello"
                                    << "hello" << 0 << -1 << match << 6;
    QTest::newRow("whole word skips part") << "cat concat cat"
                                           << "cat" << 1 << -1 << word << 11;
    QTest::newRow("whole word punctuation") << "(cat)"
                                            << "cat" << 0 << -1 << word << 1;
    QTest::newRow("whole word at breaks, later paragraph") << "a\r\ncat\r\ncat"
                                                           << "cat" << 4 << -1 << word << 8;
    QTest::newRow("start mid-paragraph") << "abc abc\r\nabc"
                                         << "abc" << 1 << -1 << 0 << 4;
    QTest::newRow("start inside a break") << "abc\r\nabc"
                                          << "abc" << 4 << -1 << 0 << 5;
    QTest::newRow("end in a later paragraph") << "abc\r\nabc"
                                              << "abc" << 1 << 7 << 0 << -1;
    QTest::newRow("ignore case beyond ASCII") << "ÉCOLE école"
                                              << "école" << 1 << -1 << 0 << 6;
    QTest::newRow("ignore case, surrogate pair")
        << QString::fromUcs4(U"x\U00010400") << QString::fromUcs4(U"\U00010428") << 0 << -1 << 0
        << 1;
    QTest::newRow("long text after a near miss")
        << QString(600, u'a') + u'b' << QString(299, u'a') + u'b' << 0 << -1 << 0 << 301;
    QTest::newRow("start past end") << "abc"
                                    << "c" << 4 << -1 << 0 << -1;
    QTest::newRow("negative start") << "abc"
                                    << "a" << -3 << -1 << 0 << 0;
    QTest::newRow("end limits") << "x\r\nabcabc"
                                << "abc" << 4 << 8 << 0 << -1;
    QTest::newRow("end exact") << "x\r\nabcabc"
                               << "abc" << 4 << 9 << 0 << 6;
    QTest::newRow("empty text") << "abc"
                                << "" << 0 << -1 << 0 << -1;
    QTest::newRow("across paragraphs") << "one\r\ntwo"
                                       << "e\r\nt" << 0 << -1 << 0 << 2;
    QTest::newRow("soft break") << "a\vb"
                                << "b" << 0 << -1 << 0 << 2;
    QTest::newRow("no highlight") << "find me"
                                  << "me" << 0 << -1 << int(RichTextBox::rtfNoHighlight) << 5;
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
    if (expected >= 0 && !(options & RichTextBox::rtfNoHighlight)) {
        QCOMPARE(box.SelStart(), expected);
        QCOMPARE(box.SelLength(), int(what.size()));
        QCOMPARE(box.SelText().compare(what, Qt::CaseInsensitive), 0);
    } else {
        QCOMPARE(box.SelStart(), 0); // a miss (or no highlight) leaves the selection alone
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
}

// The document keeps its text in pieces, in the order it was typed, not in the order it reads:
// formatting splits a word into runs, text typed into the middle of a paragraph is kept after
// everything else, and undo puts pieces back. Find agrees with the control's text throughout.
void TestRichTextBoxFind::findReadsTextKeptInPieces()
{
    RichTextBox box;
    box.setText("alpha quetzal beta\r\ngamma QUETZAL delta\r\nlast quetzal");
    // Bold and italic runs inside the first "quetzal", and an edit that reorders the pieces.
    box.setSelStart(8);
    box.setSelLength(2);
    box.setSelBold(true);
    box.setSelStart(10);
    box.setSelLength(2);
    box.setSelItalic(true);
    box.setSelStart(2);
    box.setSelText("pha al"); // "alpha alpha ..." read from two pieces
    const QStringList words{"quetzal", "alpha al", "zal beta", "l q"};
    const auto check = [&](const char *state) {
        for (const QString &w : words) {
            for (Qt::CaseSensitivity cs : {Qt::CaseInsensitive, Qt::CaseSensitive}) {
                const int options = cs == Qt::CaseSensitive ? RichTextBox::rtfMatchCase : 0;
                for (int start = 0; start <= box.Text().size(); start += 3)
                    QVERIFY2(
                        box.Find(w, start, -1, options | RichTextBox::rtfNoHighlight) ==
                            expectedHit(box, w, start, cs),
                        qPrintable(QStringLiteral("%1: \"%2\" from %3").arg(state, w).arg(start)));
            }
        }
    };
    check("edited");
    box.document()->undo();
    check("undone");

    // A table and a picture: cells are paragraphs of their own, a picture one character.
    QTextCursor c(box.document());
    c.movePosition(QTextCursor::End);
    QTextTable *table = c.insertTable(1, 2);
    QTextCursor(table->cellAt(0, 0).firstCursorPosition()).insertText("cell quetzal");
    QTextCursor(table->cellAt(0, 1).firstCursorPosition()).insertText("quetzal");
    QTextCursor after(box.document());
    after.movePosition(QTextCursor::End);
    after.insertImage(QImage(4, 4, QImage::Format_RGB32));
    after.insertText("quetzal");
    check("table");
    const int last = expectedHit(box, "quetzal", box.Text().size() - 7, Qt::CaseSensitive);
    QVERIFY(last > 0);
    QCOMPARE(box.Find("quetzal", last - 1, -1, RichTextBox::rtfWholeWord), last); // a picture
                                                                                  // ends a word
}

// A long search reads the far part of the document on another thread meanwhile; the first hit
// is still the one found, wherever it falls, and a hit near the start costs no long read.
void TestRichTextBoxFind::findInLongDocument()
{
    const QString filler = QStringLiteral("lorem ipsum dolor sit amet consectetur adipiscing\n");
    QString text;
    for (int i = 0; i < 36000; ++i) // about 1.8 million characters
        text += filler;
    RichTextBox box;
    QTextCursor(box.document()).insertText(text);
    const int size = box.document()->characterCount() - 1;
    QTextCursor c(box.document());
    QList<int> places;
    // Near the start, in both halves of the rest, about where the rest is cut in two (each
    // offset there, so a hit spans the cut), and at the very end.
    const int head = 1 << 18;
    const int middle = head + (size - head) / 2;
    for (int at :
         {100, head - 3, head + 5000, middle - 6, middle - 3, middle, size - 300000, size - 10})
        places << at;
    for (int at : std::as_const(places)) {
        c.setPosition(at);
        c.setPosition(at + 6, QTextCursor::KeepAnchor);
        c.insertText("Needle");
        const int expected = expectedHit(box, "needle", 0, Qt::CaseInsensitive);
        QCOMPARE(box.Find("needle", 0, -1, 0), expected);
        QCOMPARE(box.SelText(), QStringLiteral("Needle"));
        QCOMPARE(box.Find("needle", expected + 1, -1, RichTextBox::rtfNoHighlight), -1);
        box.document()->undo();
    }
    QCOMPARE(box.Find("needle"), -1);
}

QTEST_MAIN(TestRichTextBoxFind)
#include "tst_richtextbox_find.moc"
