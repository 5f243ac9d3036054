#include <QtTest>

#include "core/MainWindowFixture.h"
#include "documents/RecentFilesList.h"

class tst_RecentFiles : public QObject
{
    Q_OBJECT
private slots:
    void listOrder_data()
    {
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("fourth to top, others shift")
            << QStringList{"/1", "/2", "/3", "/4", "/5", "/2"}
            << QStringList{"/2", "/5", "/4", "/3", "/1"};
        QTest::newRow("case-insensitive duplicate")
            << QStringList{"/Docs/A.rtf", "/b", "/docs/a.RTF"} << QStringList{"/docs/a.RTF", "/b"};
        QTest::newRow("nine leave eight")
            << QStringList{"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"}
            << QStringList{"/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2"};
    }
    void listOrder()
    {
        QFETCH(QStringList, added);
        QFETCH(QStringList, expected);
        RecentFilesList list;
        for (const QString &p : added)
            list.add(p);
        QCOMPARE(list.paths(), expected);
        QCOMPARE(list.caption(0), QStringLiteral("&1 ") + expected[0]);
    }
    void menuAndStoreMirrorTheList()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        f.cmd().FILERECENTFILESLISTADD(QStringLiteral("/x/one.rtf"));
        f.cmd().FILERECENTFILESLISTADD(QStringLiteral("/x/R&D.rtf"));
        QAction *first = m.menuItem(QStringLiteral("MNUFILERECENTLIST(0)"));
        QAction *second = m.menuItem(QStringLiteral("MNUFILERECENTLIST(1)"));
        QVERIFY(first->isVisible());
        QCOMPARE(first->data().toString(), QStringLiteral("&1 /x/R&D.rtf"));
        QCOMPARE(first->text(), QStringLiteral("&1 /x/R&&D.rtf"));
        QCOMPARE(second->data().toString(), QStringLiteral("&2 /x/one.rtf"));
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILERECENTLIST(2)"))->isVisible());
        const QString key = QStringLiteral("\\frmMain\\Recent Files List");
        QCOMPARE(f.store(key, QStringLiteral("File 0")), QStringLiteral("&1 /x/R&D.rtf"));
        QCOMPARE(f.store(key, QStringLiteral("File 1")), QStringLiteral("&2 /x/one.rtf"));
        QCOMPARE(f.store(key, QStringLiteral("File 2")), QString());
    }
    void vanishedEntryIsRemoved()
    {
        MainWindowFixture f;
        const QString a = f.file(QStringLiteral("a.txt"), "a");
        const QString gone = f.file(QStringLiteral("gone.txt"), "b");
        const QString c = f.file(QStringLiteral("c.txt"), "c");
        frmMain &m = f.start();
        for (const QString &p : {a, gone, c})
            f.cmd().FILERECENTFILESLISTADD(p);
        QFile::remove(gone);
        m.menuItem(QStringLiteral("MNUFILERECENTLIST(1)"))->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(gone));
        QCOMPARE(f.cmd().recentFiles().paths(), QStringList({c, a}));
        QCOMPARE(m.menuItem(QStringLiteral("MNUFILERECENTLIST(1)"))->data().toString(),
                 QStringLiteral("&2 ") + a);
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILERECENTLIST(2)"))->isVisible());
        QCOMPARE(m.documents().size(), 1);
    }
    void openFromListMovesToTop()
    {
        MainWindowFixture f;
        const QString a = f.file(QStringLiteral("a.txt"), "alpha");
        const QString b = f.file(QStringLiteral("b.txt"), "beta");
        frmMain &m = f.start();
        f.cmd().FILERECENTFILESLISTADD(a);
        f.cmd().FILERECENTFILESLISTADD(b);
        m.menuItem(QStringLiteral("MNUFILERECENTLIST(1)"))->trigger();
        QCOMPARE(f.active()->Caption(), a);
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("alpha"));
        QVERIFY(!f.active()->isModified());
        QCOMPARE(f.cmd().recentFiles().paths(), QStringList({a, b}));
    }
    void clearedListStaysEmptyAfterRestart()
    {
        MainWindowFixture f;
        const QString a = f.file(QStringLiteral("a.txt"), "alpha");
        f.start(a);
        QCOMPARE(f.cmd().recentFiles().count(), 1);
        f.stop();
        frmMain &again = f.start();
        QCOMPARE(f.cmd().recentFiles().paths(), QStringList({a}));
        again.menuItem(QStringLiteral("MNUFILECLEARLIST"))->trigger();
        QCOMPARE(f.cmd().recentFiles().count(), 0);
        f.stop();
        frmMain &third = f.start();
        QCOMPARE(f.cmd().recentFiles().count(), 0);
        QVERIFY(!third.menuItem(QStringLiteral("MNUFILERECENTLIST(0)"))->isVisible());
    }
    void reopen_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("expected");
        QTest::newRow("yes reloads") << int(MsgResult::Yes) << "on disk";
        QTest::newRow("no keeps") << int(MsgResult::No) << "on diskedited";
    }
    void reopen()
    {
        QFETCH(int, answer);
        QFETCH(QString, expected);
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("r.txt"), "on disk");
        frmMain &m = f.start(path);
        QTest::keyClick(f.active()->RTF1, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClicks(f.active()->RTF1, QStringLiteral("edited"));
        f.ui.messageAnswers.enqueue(answer);
        m.menuItem(QStringLiteral("MNUFILEREOPEN"))->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(path));
        QCOMPARE(f.active()->RTF1->Text(), expected);
        QCOMPARE(f.active()->isModified(), answer != MsgResult::Yes);
    }
    void reopenOfMissingFile()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        f.cmd().FILEREOPEN();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(QLatin1String("'Document 1'")));
        // The menu item is only enabled for a document with a file.
        f.active()->SAVESTAT();
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILEREOPEN"))->isEnabled());
    }
};

QTEST_MAIN(tst_RecentFiles)
#include "tst_recentfiles.moc"
