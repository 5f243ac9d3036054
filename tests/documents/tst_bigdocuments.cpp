// Big documents in the program: a file too large to open comfortably is opened only when the
// user says so, whichever way it is opened; a paragraph too long to lay out is refused; long work
// on the status bar shows late, and its Cancel stops it.
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QtTest>

#include "core/MainWindowFixture.h"
#include "core/StatusProgress.h"
#include "documents/DocumentFiles.h"

class tst_BigDocuments : public QObject
{
    Q_OBJECT
private slots:
    void largeFileDeclined_data()
    {
        QTest::addColumn<bool>("commandLine");
        QTest::newRow("open dialog") << false;
        QTest::newRow("command line") << true;
    }
    void largeFileDeclined()
    {
        QFETCH(bool, commandLine);
        MainWindowFixture f;
        // Mostly a hole in the file: large, yet cheap to make.
        const QString path = f.file(QStringLiteral("huge.txt"), "start\n");
        QFile file(path);
        QVERIFY(file.resize(DocumentFiles::LargeFileBytes + 1));
        f.ui.messageAnswers.enqueue(MsgResult::No);
        frmMain &m = f.start(commandLine ? path : QString());
        if (!commandLine) {
            f.ui.fileAnswers.enqueue({{path}, 11, QString()});
            m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger();
        }
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(path));
        QVERIFY(f.ui.messages[0].style & MsgStyle::DefaultButton2);
        // Declined: no window named after it, nothing read, not in the recent list.
        QCOMPARE(m.documents().size(), 1);
        QVERIFY(f.active()->Caption() != path);
        QVERIFY(f.active()->RTF1->Text().isEmpty());
        QCOMPARE(f.cmd().recentFiles().count(), 0);
    }

    void overlongParagraphRefused_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("longest");
        const int length = RichTextBox::LongestParagraph + 1;
        const QByteArray line(length, 'x');
        QTest::newRow("plain text") << QByteArray("first\n" + line + "\n") << length;
        QTest::newRow("rtf") << QByteArray("{\\rtf1 first\\par " + line + "\\par}") << length;
        const int huge = RichTextBox::BackgroundReadBytes;
        QTest::newRow("plain text read in the background")
            << QByteArray("first\n" + QByteArray(huge, 'x') + "\n") << huge;
    }
    void overlongParagraphRefused()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, longest);
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("long.txt"), content);
        frmMain &m = f.start();
        f.ui.fileAnswers.enqueue({{path}, 11, QString()});
        m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(path));
        QVERIFY(f.ui.messages[0].text.contains(QString::number(longest)));
        QCOMPARE(m.documents().size(), 1);
        QVERIFY(f.active()->Caption() != path);
        QCOMPARE(f.cmd().recentFiles().count(), 0);
    }

    void statusProgressShowsLateAndCancels()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        StatusProgress &progress = StatusProgress::of(m);
        QObject work;
        int cancelled = 0;
        // Quick work never shows.
        progress.begin(&work, QStringLiteral("Working..."), [&] { ++cancelled; });
        progress.end(&work);
        QTest::qWait(700);
        QVERIFY(!progress.isShowing());
        // Longer work shows with its progress, and Cancel runs the handler and hides it.
        progress.begin(&work, QStringLiteral("Working..."), [&] { ++cancelled; });
        progress.setPercent(&work, 40);
        QVERIFY(!progress.isShowing());
        QTRY_VERIFY(progress.isShowing());
        QCOMPARE(progress.PRGWORK->value(), 40);
        progress.BTNWORKCANCEL->click();
        QCOMPARE(cancelled, 1);
        QVERIFY(!progress.isShowing());
    }
};

QTEST_MAIN(tst_BigDocuments)
#include "tst_bigdocuments.moc"
