#include <QImage>
#include <QTest>

#include "platform/RichTextBox.h"

class TestRichTextBoxFind : public QObject
{
    Q_OBJECT

private slots:
    void find_data();
    void find();
    void findSelectsAcrossBreaksAndPictures();
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

QTEST_MAIN(TestRichTextBoxFind)
#include "tst_richtextbox_find.moc"
