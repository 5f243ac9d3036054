// One file, one window, and files changed on disk by another program while they are open.
#include <QtTest>
#include <unistd.h>

#include "core/MainWindowFixture.h"

namespace {

// Another program replacing the file (a new file renamed over it, as editors save).
void replaceOnDisk(const QString &path, const QByteArray &content)
{
    const QString temp = path + QStringLiteral(".other");
    QFile f(temp);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(content);
    f.close();
    QVERIFY(::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) ==
            0);
}

void type(frmDocRTF *doc, const QString &text)
{
    QTest::keyClick(doc->RTF1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(doc->RTF1, text);
}

} // namespace

class tst_OneFileOneWindow : public QObject
{
    Q_OBJECT
private slots:
    void openingAnOpenFileActivatesItsWindow_data()
    {
        QTest::addColumn<QString>("spelling");
        QTest::newRow("the same path") << "letter.txt";
        QTest::newRow("a symbolic link") << "link.txt";
        QTest::newRow("a hard link") << "hard.txt";
    }
    void openingAnOpenFileActivatesItsWindow()
    {
        QFETCH(QString, spelling);
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("letter.txt"), "first");
        QFile::link(path, f.settings.path(QStringLiteral("link.txt")));
        QVERIFY(
            ::link(QFile::encodeName(path).constData(),
                   QFile::encodeName(f.settings.path(QStringLiteral("hard.txt"))).constData()) ==
            0);
        frmMain &m = f.start(path);
        frmDocRTF *doc = f.active();
        type(doc, QStringLiteral(" edit"));
        f.cmd().FILENEW();
        f.ui.fileAnswers.enqueue({{f.settings.path(spelling)}, 11, QString()});
        m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger();
        QCOMPARE(m.documents().size(), 2);
        QCOMPARE(f.active(), doc);
        QCOMPARE(doc->RTF1->Text(), QStringLiteral("first edit")); // nothing reloaded or lost
        QVERIFY(f.ui.messages.isEmpty());
    }

    void saveAsOntoAFileOpenElsewhereIsRefused()
    {
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("open.txt"), "mine");
        frmMain &m = f.start(path);
        f.cmd().FILENEW();
        type(f.active(), QStringLiteral("other"));
        f.ui.fileAnswers.enqueue({{path}, 3, QString()});
        m.menuItem(QStringLiteral("MNUFILESAVEAS"))->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(path));
        QCOMPARE(f.read(path), QStringLiteral("mine"));
        QVERIFY(f.active()->isModified());
        QVERIFY(f.active()->isUntitled());
    }

    void saveAsksWhenTheFileChangedOnDisk_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("answer");
        QTest::newRow("replaced, yes overwrites") << "replace" << int(MsgResult::Yes);
        QTest::newRow("rewritten in place, no") << "in place" << int(MsgResult::No);
        QTest::newRow("a second window's save, no") << "window" << int(MsgResult::No);
    }
    void saveAsksWhenTheFileChangedOnDisk()
    {
        QFETCH(QString, change);
        QFETCH(int, answer);
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("shared.txt"), "start");
        frmMain &m = f.start(path);
        frmDocRTF *doc = f.active();
        type(doc, QStringLiteral(" mine"));
        QByteArray theirs = "theirs, a longer text";
        if (change == QLatin1String("replace")) {
            replaceOnDisk(path, theirs);
        } else if (change == QLatin1String("in place")) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(theirs);
        } else {
            // Another running copy of the program with the same file saved first.
            RichTextBox other;
            QVERIFY(other.LoadFile(path));
            other.setText(QString::fromLatin1(theirs));
            QVERIFY(other.SaveFile(path, RichTextBox::rtfText));
        }
        f.ui.messageAnswers.enqueue(answer);
        AppState::instance().SaveMode = QStringLiteral("SAVE");
        m.menuItem(QStringLiteral("MNUFILESAVE"))->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].style & MsgStyle::DefaultButton2); // No unless chosen
        const bool yes = answer == MsgResult::Yes;
        QCOMPARE(f.read(path), yes ? QStringLiteral("start mine") : QString::fromLatin1(theirs));
        QCOMPARE(doc->isModified(), !yes);
        // Once overwritten, the next save asks nothing.
        if (yes) {
            type(doc, QStringLiteral("!"));
            m.menuItem(QStringLiteral("MNUFILESAVE"))->trigger();
            QCOMPARE(f.ui.messages.size(), 1);
        }
    }

    void activationTellsOnce_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("shown");
        QTest::newRow("unmodified, reload") << false << int(MsgResult::Yes) << "theirs";
        QTest::newRow("unmodified, keep") << false << int(MsgResult::No) << "start";
        QTest::newRow("modified, told only") << true << int(MsgResult::Ok) << "start mine";
    }
    void activationTellsOnce()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(QString, shown);
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("watched.txt"), "start");
        f.start(path);
        frmDocRTF *doc = f.active();
        if (modified)
            type(doc, QStringLiteral(" mine"));
        replaceOnDisk(path, "theirs");
        f.ui.messageAnswers.enqueue(answer);
        doc->Activate();
        doc->Activate();
        QCOMPARE(f.ui.messages.size(), 1);
        QCOMPARE(f.ui.messages[0].style & 7,
                 modified ? int(MsgStyle::OkOnly) : int(MsgStyle::YesNo));
        QCOMPARE(doc->RTF1->Text(), shown);
        QCOMPARE(doc->isModified(), modified);
        // A later change is told again.
        replaceOnDisk(path, "theirs again");
        f.ui.messageAnswers.enqueue(MsgResult::No);
        doc->Activate();
        QCOMPARE(f.ui.messages.size(), 2);
    }
};

QTEST_MAIN(tst_OneFileOneWindow)
#include "tst_onefileonewindow.moc"
