#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include "core/MainWindowFixture.h"
#include "editing/FindHistory.h"
#include "editing/FindReplace.h"
#include "editing/frmFind.h"

namespace {
const QString kFindKey = QStringLiteral("\\frmFind\\Items");

QStringList items(const QComboBox *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

// A running program with one document holding text, and the Find dialog open.
struct FindFixture : MainWindowFixture
{
    explicit FindFixture(const QString &text)
    {
        start();
        rtf()->setText(text);
        cmd().EDITFIND();
    }
    RichTextBox *rtf() { return active()->RTF1; }
    frmFind *dialog() { return frmFind::loaded(); }
    void setOptions(int options)
    {
        dialog()->CHKWORD->setChecked(options & RichTextBox::rtfWholeWord);
        dialog()->CHKCASE->setChecked(options & RichTextBox::rtfMatchCase);
    }
    QString lastMessage() { return ui.messages.isEmpty() ? QString() : ui.messages.last().text; }
};
} // namespace

class tst_Find : public QObject
{
    Q_OBJECT
private slots:
    void findNext_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("options");
        QTest::addColumn<QList<int>>("hits");

        QTest::newRow("overlapping") << "aaaa"
                                     << "aa" << 0 << QList<int>{0, 1, 2};
        QTest::newRow("match case") << "ab Ab AB"
                                    << "Ab" << 4 << QList<int>{3};
        QTest::newRow("whole word") << "cat concat cat_ cat."
                                    << "cat" << 2 << QList<int>{0, 16};
    }
    void findNext()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(int, options);
        QFETCH(QList<int>, hits);
        FindFixture f(text);
        f.setOptions(options);
        f.dialog()->CBOFIND->setEditText(find);
        for (int i = 0; i < hits.size(); ++i) {
            QTest::mouseClick(f.dialog()->BTNFIND, Qt::LeftButton);
            QCOMPARE(f.rtf()->SelStart(), hits[i]);
            QCOMPARE(f.rtf()->SelText(), f.rtf()->Text().mid(hits[i], find.size()));
            QCOMPARE(f.dialog()->statusText(), FindHistory::countText(i + 1));
        }
        QVERIFY(f.ui.messages.isEmpty());
        f.dialog()->BTNFIND->click();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.lastMessage().contains(
            QStringLiteral("'%1' has been found '%2'").arg(find).arg(hits.size())));
        QCOMPARE(f.dialog()->statusText(), QStringLiteral("Currently: 0 finds"));
        QVERIFY(f.main().menuItem(QStringLiteral("MNUEDITFINDNEXT"))->isEnabled());
        // The next search starts over at the top; changing an option starts over too.
        f.dialog()->BTNFIND->click();
        QCOMPARE(f.rtf()->SelStart(), hits[0]);
        if (hits.size() > 1) {
            f.dialog()->BTNFIND->click();
            QCOMPARE(f.rtf()->SelStart(), hits[1]);
            f.dialog()->CHKCASE->click();
            f.dialog()->CHKCASE->click();
            QCOMPARE(f.dialog()->statusText(), QStringLiteral("Currently: 0 finds"));
            f.dialog()->BTNFIND->click();
            QCOMPARE(f.rtf()->SelStart(), hits[0]);
        }
    }
    void findAgainWithF3()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = f.active()->RTF1;
        rtf->setText(QStringLiteral("one two one two"));
        // Nothing searched yet: a beep and no dialog.
        f.cmd().EDITFINDNEXT();
        QCOMPARE(f.ui.beeps, 1);
        QVERIFY(!frmFind::loaded());

        f.setStore(kFindKey, QStringLiteral("Last Find"), QStringLiteral("two"));
        f.setStore(kFindKey, QStringLiteral("Check Case"), QStringLiteral("1"));
        rtf->setSelStart(12);
        f.cmd().EDITFINDNEXT();
        // The dialog loaded hidden, with its options, and the search began at the top.
        QVERIFY(frmFind::loaded() && !frmFind::loaded()->isVisible());
        QCOMPARE(AppState::instance().FindOptions, int(RichTextBox::rtfMatchCase));
        QCOMPARE(rtf->SelStart(), 4);
        f.cmd().EDITFINDNEXT();
        QCOMPARE(rtf->SelStart(), 12);
        QCOMPARE(frmFind::loaded()->statusText(), QStringLiteral("Currently: 2 finds"));
        f.cmd().EDITFINDNEXT();
        QCOMPARE(f.ui.messages.last().text,
                 QStringLiteral("The text 'two' has been found '2' times."));
        f.cmd().EDITFINDNEXT();
        QCOMPARE(rtf->SelStart(), 4);
    }
    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<int>("options");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("message");

        const QString done = QStringLiteral("The text '%1' have all been replaced by '%2' %3.");
        QTest::newRow("second search skips one")
            << "aa"
            << "a"
            << "b" << 0 << "ba" << done.arg("a", "b", "1 time");
        QTest::newRow("hit at the very end") << "xa"
                                             << "a"
                                             << "b" << 0 << "xa"
                                             << "The text 'a' has been found '0' times.";
        QTest::newRow("empty replacement") << "bbb"
                                           << "b"
                                           << "" << 0 << "b" << done.arg("b", "", "2 times");
        QTest::newRow("whole word")
            << "cat concat cat_ cat"
            << "cat"
            << "dog" << 2 << "dog concat cat_ dog" << done.arg("cat", "dog", "2 times");
        QTest::newRow("word right after a replacement")
            << "a a a a "
            << "a "
            << "b" << 2 << "ba ba " << done.arg("a ", "b", "2 times");
        QTest::newRow("break in the text")
            << "a\r\nb a\r\nb"
            << "a\r\nb"
            << "c" << 0 << "c c" << done.arg("a\r\nb", "c", "2 times");
    }
    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(int, options);
        QFETCH(QString, result);
        QFETCH(QString, message);
        FindFixture f(text);
        f.setOptions(options);
        f.dialog()->CBOFIND->setEditText(find);
        f.dialog()->CBOREPLACE->setEditText(replacement);
        QTest::mouseClick(f.dialog()->BTNREPLACEALL, Qt::LeftButton);
        QCOMPARE(f.rtf()->Text(), result);
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.lastMessage(), message);
        QCOMPARE(f.store(kFindKey, QStringLiteral("Last Replace")), replacement);
        if (result != text) {
            QVERIFY(f.active()->isModified());
            // All the replacements are one undo step (texts with breaks are replaced hit by hit).
            if (find.contains(u'\n'))
                return;
            f.rtf()->Undo();
            QCOMPARE(f.rtf()->Text(), text);
        }
    }
    // The one-edit Replace All must leave exactly what replacing hit by hit leaves.
    void replaceAllAgreesWithStepwise()
    {
        QRandomGenerator random(20261206);
        const QStringList pieces = {"a", " ", "a", "A", " ", "_", "b", "\u00e9"};
        auto pick = [&](int maxPieces, bool breaks) {
            QString s;
            const int n = random.bounded(maxPieces + 1);
            for (int i = 0; i < n; ++i)
                s += breaks && random.bounded(8) == 0
                         ? QStringLiteral("\r\n")
                         : pieces[random.bounded(static_cast<int>(pieces.size()))];
            return s;
        };
        for (int round = 0; round < 600; ++round) {
            const QString text = pick(30, true);
            QString find = pick(3, false);
            if (find.isEmpty())
                find = QStringLiteral("a");
            const QString replacement = pick(3, false);
            const int options = random.bounded(4) * 2;
            RichTextBox fast, stepwise;
            fast.setText(text);
            stepwise.setText(text);
            const int a = FindReplace::replaceAll(fast, find, replacement, options);
            const int b = FindReplace::replaceAllStepwise(stepwise, find, replacement, options);
            const QString what = QStringLiteral("'%1' '%2' -> '%3' options %4")
                                     .arg(text, find, replacement)
                                     .arg(options);
            QVERIFY2(a == b, qPrintable(what));
            QVERIFY2(fast.Text() == stepwise.Text(), qPrintable(what));
            QVERIFY2(fast.SelStart() == stepwise.SelStart(), qPrintable(what));
            QVERIFY2(fast.SelLength() == stepwise.SelLength(), qPrintable(what));
        }
    }
    void replaceStepsThroughHits()
    {
        FindFixture f(QStringLiteral("aaaa"));
        f.dialog()->CBOFIND->setEditText(QStringLiteral("a"));
        f.dialog()->CBOREPLACE->setEditText(QStringLiteral("b"));
        // Each click replaces the selected hit and selects the next one, searched from two
        // characters after the start of the hit just replaced.
        const QStringList texts = {"baaa", "baba", "babb"};
        const QList<int> next = {2, 3, 4};
        for (int i = 0; i < texts.size(); ++i) {
            f.dialog()->BTNREPLACE->click();
            QCOMPARE(f.rtf()->Text(), texts[i]);
            QCOMPARE(f.rtf()->SelStart(), next[i]);
            QCOMPARE(f.dialog()->statusText(), FindHistory::countText(i + 1));
        }
        QVERIFY(f.ui.messages.isEmpty());
        f.dialog()->BTNREPLACE->click();
        QCOMPARE(f.lastMessage(),
                 QStringLiteral("The text 'a' have all been replaced by 'b' 3 times."));
        QCOMPARE(f.rtf()->Text(), QStringLiteral("babb"));
    }
    void goTo_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("message");

        QTest::newRow("last") << "3" << 10 << "";
        QTest::newRow("huge")
            << "99999999999" << 5
            << "The line number entered is larger than the current 3 lines available.";
        QTest::newRow("zero") << "0" << 5 << "Please enter a line number of 1 or more.";
    }
    void goTo()
    {
        QFETCH(QString, line);
        QFETCH(int, caret);
        QFETCH(QString, message);
        FindFixture f(QStringLiteral("one\r\ntwo\r\nthree"));
        f.rtf()->setSelStart(5);
        f.cmd().EDITGOTO();
        QVERIFY(!f.dialog()->BTNGOTO->isEnabled());
        // Only digits can be typed.
        QTest::keyClicks(f.dialog()->CBOGOTO->lineEdit(), "x" + line + "-");
        QCOMPARE(f.dialog()->CBOGOTO->currentText(), line);
        QTest::mouseClick(f.dialog()->BTNGOTO, Qt::LeftButton);
        QCOMPARE(f.rtf()->SelStart(), caret);
        QCOMPARE(f.rtf()->SelLength(), 0);
        QCOMPARE(f.lastMessage(), message);
        const bool remembered = line != "0";
        QCOMPARE(f.store(kFindKey, QStringLiteral("Last Go")),
                 remembered ? line : QStringLiteral("<none>"));
        QCOMPARE(items(f.dialog()->CBOGOTO), remembered ? QStringList{line} : QStringList{});
    }
    void historiesPersist()
    {
        FindFixture f(QStringLiteral("alpha beta gamma"));
        frmFind *d = f.dialog();
        for (const char *word : {"beta", "gamma", "beta", "delta"}) {
            d->CBOFIND->setEditText(QString::fromLatin1(word));
            d->BTNFIND->click();
        }
        QCOMPARE(items(d->CBOFIND), QStringList({"delta", "beta", "gamma"}));
        d->CBOREPLACE->setEditText(QString());
        d->BTNREPLACEALL->click();
        d->CBOGOTO->setEditText(QStringLiteral("1"));
        d->BTNGOTO->click();
        d->CHKWORD->setChecked(true);
        d->BTNCLOSE->click();
        QVERIFY(!frmFind::loaded());
        QCOMPARE(f.store(kFindKey, QStringLiteral("Find Total")), QStringLiteral("3"));
        QCOMPARE(f.store(kFindKey, QStringLiteral("Find 0")), QStringLiteral("delta"));
        QCOMPARE(f.store(kFindKey, QStringLiteral("Replace Total")), QStringLiteral("1"));
        QCOMPARE(f.store(kFindKey, QStringLiteral("Replace 0")), QString());
        QCOMPARE(f.store(kFindKey, QStringLiteral("Check Whole Word")), QStringLiteral("1"));

        // Loading again restores the lists in order; the selection goes to the top.
        f.rtf()->setSelStart(0);
        f.rtf()->setSelLength(5);
        f.cmd().EDITFIND();
        d = f.dialog();
        QCOMPARE(items(d->CBOFIND), QStringList({"alpha", "delta", "beta", "gamma"}));
        QCOMPARE(d->CBOFIND->currentText(), QStringLiteral("alpha"));
        QCOMPARE(items(d->CBOREPLACE), QStringList{QString()});
        QCOMPARE(items(d->CBOGOTO), QStringList{"1"});
        QVERIFY(d->CHKWORD->isChecked());

        // Without "Save searches" the lists are not kept, but F3 still knows the last search.
        d->CHKFINDSAVE->setChecked(false);
        d->close();
        QCOMPARE(f.store(kFindKey, QStringLiteral("Find Total")), QStringLiteral("0"));
        QCOMPARE(f.store(kFindKey, QStringLiteral("History")), QStringLiteral("0"));
        f.rtf()->setSelLength(0);
        f.cmd().EDITREPLACE();
        QCOMPARE(f.dialog()->CBOFIND->count(), 0);
        QCOMPARE(f.dialog()->CBOFIND->currentText(), QStringLiteral("delta"));
        f.rtf()->setText(QStringLiteral("beta gamma"));
        f.dialog()->CBOFIND->setEditText(QStringLiteral("gamma"));
        f.dialog()->BTNFIND->click();
        f.cmd().EDITFINDNEXT();
        QCOMPARE(f.lastMessage(), QStringLiteral("The text 'gamma' has been found '1' time."));

        // Closing the last document unloads the dialog.
        f.active()->closeAfterQuery();
        QVERIFY(!frmFind::loaded());
    }
};

QTEST_MAIN(tst_Find)
#include "tst_find.moc"
