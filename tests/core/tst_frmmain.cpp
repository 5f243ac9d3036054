#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include "core/MainWindowFixture.h"
#include "core/frmAbout.h"
#include "documents/RecentFilesList.h"
#include "platform/AppPaths.h"

class tst_frmMain : public QObject
{
    Q_OBJECT
private slots:
    void startsWithOneMaximisedDocument()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        QCOMPARE(m.documents().size(), 1);
        frmDocRTF *doc = f.active();
        QVERIFY(doc);
        QCOMPARE(doc->Caption(), QStringLiteral("Document 1"));
        QVERIFY(doc->parentWidget()->isMaximized());
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILESAVE"))->isEnabled());
        QVERIFY(!m.button(QStringLiteral("SAVE"))->isEnabled());
        QCOMPARE(m.panel(frmMain::PanelLineCol)->text(), QStringLiteral("Line: 1, Col: 1"));
        QCOMPARE(m.panel(frmMain::PanelReadWrite)->text(), QStringLiteral("Write"));
        QVERIFY(f.ui.messages.isEmpty());
    }
    // A file named on the command line, however its name is spelt, opens in place of Document 1;
    // a text file in the plain text font.
    void commandLineFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("family");
        QTest::newRow("rtt") << "my letter to the EDITOR.RTT"
                             << "TIMES NEW ROMAN";
        QTest::newRow("txt") << "notes.txt"
                             << "FIXEDSYS";
    }
    void commandLineFile()
    {
        QFETCH(QString, name);
        QFETCH(QString, family);
        MainWindowFixture f;
        const QString path = f.file(name, "first line");
        frmMain &m = f.start(path);
        frmDocRTF *doc = f.active();
        QCOMPARE(m.documents().size(), 1);
        QCOMPARE(doc->Caption(), path);
        QCOMPARE(doc->RTF1->Text(), QStringLiteral("first line"));
        QCOMPARE(doc->RTF1->Font().family().toUpper(), family);
        QVERIFY(!doc->isModified());
        QCOMPARE(f.cmd().recentFiles().path(0), path);
    }
    // Several names on the command line open a window each, unless together they are one name
    // with blanks; names of nothing stay one name, which gets the one message.
    void commandLineNames()
    {
        MainWindowFixture f;
        const QString spaced = f.file(QStringLiteral("my letter.rtf"), "{\\rtf1 spaced}");
        f.file(QStringLiteral("my"), "a file named like the first half");
        QCOMPARE(modMain::CommandLineFiles(spaced.split(u' ')), QStringList{spaced});
        QCOMPARE(modMain::CommandLineFiles({QStringLiteral("/nowhere/a"), QStringLiteral("b")}),
                 QStringList{QStringLiteral("/nowhere/a b")});
        const QString a = f.file(QStringLiteral("a.rtf"), "{\\rtf1 first}");
        const QString b = f.file(QStringLiteral("b.txt"), "second");
        const QString missing = f.settings.path(QStringLiteral("gone.rtf"));
        const QStringList files = modMain::CommandLineFiles({a, missing, b});
        QCOMPARE(files, (QStringList{a, missing, b}));
        frmMain &m = f.startWith(files);
        QCOMPARE(m.documents().size(), 2);
        QCOMPARE(m.documents().first()->Caption(), a);
        QCOMPARE(m.documents().first()->RTF1->Text(), QStringLiteral("first"));
        QCOMPARE(f.active()->Caption(), b);
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages.first().text.contains(missing));
    }
    void titleNamesMaximisedDocument()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        QVERIFY(QTest::qWaitForWindowExposed(&m));
        QCOMPARE(m.windowTitle(), QStringLiteral("Pamphlexa - [Document 1]"));
        f.active()->parentWidget()->showNormal();
        QCOMPARE(m.windowTitle(), QStringLiteral("Pamphlexa"));
    }
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("effect");
        const int ctrl = Qt::ControlModifier;
        const int ctrlShift = (Qt::ControlModifier | Qt::ShiftModifier).toInt();
        QTest::newRow("Ctrl+W closes the document") << int(Qt::Key_W) << ctrl << "closed";
        QTest::newRow("Ctrl+Tab indents") << int(Qt::Key_Tab) << ctrl << "indent 2160";
        QTest::newRow("Ctrl+Shift+Tab reduces the indent")
            << int(Qt::Key_Backtab) << ctrlShift << "indent 720";
        QTest::newRow("Ctrl+F6 goes to the next document")
            << int(Qt::Key_F6) << ctrl << "Document 1";
        QTest::newRow("Ctrl+Shift+F6 goes back") << int(Qt::Key_F6) << ctrlShift << "Document 1";
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, effect);
        MainWindowFixture f;
        frmMain &m = f.start();
        f.cmd().FILENEW();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        frmDocRTF *doc = f.active();
        QCOMPARE(doc->Caption(), QStringLiteral("Document 2"));
        doc->RTF1->setSelIndent(1440);
        doc->RTF1->setFocus();
        f.ui.messageAnswers << MsgResult::No; // the indent changed the document: close unsaved
        QTest::keyClick(doc->RTF1, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (effect == QLatin1String("closed")) {
            QCOMPARE(m.documents().size(), 1);
        } else if (effect.startsWith(QLatin1String("indent"))) {
            QCOMPARE(f.active(), doc);
            QCOMPARE(doc->RTF1->SelIndent(), std::optional<int>(effect.mid(7).toInt()));
        } else {
            QCOMPARE(f.active()->Caption(), effect);
        }
        // The Window menu shows the keys that switch documents.
        QCOMPARE(m.menuItem(QStringLiteral("MNUWINDOWNEXT"))->shortcut(),
                 QKeySequence(Qt::CTRL | Qt::Key_F6));
    }
    void windowArrangement()
    {
        const int documents = 12;
        MainWindowFixture f;
        frmMain &m = f.start();
        m.resize(900, 700);
        f.active()->parentWidget()->showNormal();
        const QRect area = m.mdiArea()->viewport()->rect();
        // New windows open inside the document area.
        for (int i = 1; i < documents; ++i) {
            f.cmd().FILENEW();
            QVERIFY2(area.contains(f.active()->parentWidget()->geometry()),
                     qPrintable(f.active()->Caption()));
        }
        frmDocRTF *active = f.active();
        m.menuItem(QStringLiteral("MNUWINDOWCASCADE"))->trigger();
        // Every window keeps a usable size inside the area, its title bar clear of the one before.
        QSet<int> tops;
        for (frmDocRTF *doc : m.documents()) {
            const QRect g = doc->parentWidget()->geometry();
            QVERIFY(area.contains(g));
            QVERIFY2(g.width() >= area.width() * 3 / 5 && g.height() >= area.height() * 3 / 5,
                     qPrintable(doc->Caption()));
            QVERIFY(doc->RTF1->width() > 200);
            tops.insert(g.top());
        }
        QVERIFY(tops.size() >= 3);
        QCOMPARE(f.active(), active);
    }
    void documentLimit()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        f.cmd().FILECLOSE();
        for (int i = 2; i <= 100; ++i) {
            frmDocRTF *doc = f.cmd().FILENEW();
            QVERIFY(doc);
            QCOMPARE(doc->Caption(), QStringLiteral("Document %1").arg(i));
            f.cmd().FILECLOSE();
        }
        QVERIFY(m.documents().isEmpty());
        QCOMPARE(AppState::instance().DocCount, 0);
        QVERIFY(f.ui.messages.isEmpty());
        QVERIFY(!f.cmd().FILENEW());
        QVERIFY(m.documents().isEmpty());
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.startsWith(QLatin1String("You have reached the limit")));
        QCOMPARE(f.ui.beeps, 1);
    }
    void closingAsksEachModifiedDocument_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("no") << int(MsgResult::No) << true;
        QTest::newRow("cancel") << int(MsgResult::Cancel) << false;
    }
    void closingAsksEachModifiedDocument()
    {
        QFETCH(int, answer);
        QFETCH(bool, closes);
        MainWindowFixture f;
        frmMain &m = f.start();
        f.active()->RTF1->insertPlainText(QStringLiteral("unsaved"));
        f.cmd().FILENEW();
        f.active()->RTF1->insertPlainText(QStringLiteral("also unsaved"));
        f.ui.messageAnswers << MsgResult::No << answer;
        QCOMPARE(f.close(), closes);
        QCOMPARE(f.ui.messages.size(), 2);
        QVERIFY(f.ui.messages[0].text.contains(QLatin1String("'Document 1'")));
        QVERIFY(f.ui.messages[1].text.contains(QLatin1String("'Document 2'")));
        if (!closes) {
            // Both documents stay, still modified.
            QCOMPARE(m.documents().size(), 2);
            QVERIFY(m.documents()[0]->isModified());
            QVERIFY(m.documents()[1]->isModified());
            QVERIFY(!m.isClosing());
        } else {
            QVERIFY(m.documents().isEmpty());
        }
    }
    // The View values are restored at start, a toggle applies to every document at once, and
    // closing stores them with the window's placement.
    void viewValuesRoundTrip()
    {
        MainWindowFixture f;
        f.setStore(QStringLiteral("\\frmMain\\View"), QStringLiteral("Ruler"), QStringLiteral("0"));
        f.setStore(QStringLiteral("\\frmMain\\View"), QStringLiteral("Formatting Toolbar"),
                   QStringLiteral("False"));
        frmMain &m = f.start();
        QVERIFY(!m.menuItem(QStringLiteral("MNUVIEWRULER"))->isChecked());
        QVERIFY(f.active()->PICRULER->isHidden());
        QVERIFY(m.formattingToolbar()->isHidden());
        QVERIFY(!m.standardToolbar()->isHidden());
        f.cmd().FILENEW();
        m.menuItem(QStringLiteral("MNUVIEWRULER"))->trigger();
        for (frmDocRTF *doc : m.documents())
            QVERIFY(!doc->PICRULER->isHidden());
        m.menuItem(QStringLiteral("MNUVIEWSTATUSBAR"))->trigger();
        QVERIFY(m.statusBar()->isHidden());
        QVERIFY(f.close());
        QCOMPARE(f.store(QStringLiteral("\\frmMain\\View"), QStringLiteral("Status Bar")),
                 QStringLiteral("False"));
        QCOMPARE(f.store(QStringLiteral("\\frmMain\\View"), QStringLiteral("Ruler")),
                 QStringLiteral("True"));
        QVERIFY(f.store(QStringLiteral("\\frmMain\\Window"), QStringLiteral("Width")) !=
                QStringLiteral("<none>"));
    }
    void templateOpensInFirstDocumentAndNewWindow()
    {
        MainWindowFixture f;
        const QString tmpl = f.file(QStringLiteral("Letter.rtt"), "Dear Sir,");
        f.setStore(QStringLiteral("\\frmPrefs\\Items"), QStringLiteral("Template"), tmpl);
        frmMain &m = f.start();
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("Dear Sir,"));
        QVERIFY(!f.active()->isModified());
        m.menuItem(QStringLiteral("MNUWINDOWNEWWINDOW"))->trigger();
        QCOMPARE(m.documents().size(), 2);
        QCOMPARE(f.active()->Caption(), QStringLiteral("Document 2"));
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("Dear Sir,"));
        QVERIFY(!f.active()->isModified());
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILESAVE"))->isEnabled());
        // Both close without a question.
        QVERIFY(f.close());
        QVERIFY(f.ui.messages.isEmpty());
    }
    void windowMenuListsDocuments()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        f.cmd().FILENEW();
        f.cmd().FILENEW();
        QMenu *window = m.menu(QStringLiteral("MNUWINDOWTOP"));
        emit window->aboutToShow();
        QStringList listed;
        QString checked;
        for (QAction *a : window->actions()) {
            if (a->objectName().startsWith(QLatin1String("winFORM:"))) {
                listed.append(a->text());
                if (a->isChecked())
                    checked = a->text();
            }
        }
        QCOMPARE(listed, QStringList({"&1  Document 1", "&2  Document 2", "&3  Document 3"}));
        QCOMPARE(checked, QStringLiteral("&3  Document 3"));
        // Choosing an entry activates its document.
        m.findChild<QAction *>(QStringLiteral("winFORM:1"))->trigger();
        QCOMPARE(f.active()->Caption(), QStringLiteral("Document 1"));
    }
    void closeAllAsksForEachDocument()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        f.active()->RTF1->insertPlainText(QStringLiteral("one"));
        f.cmd().FILENEW();
        f.cmd().FILENEW();
        f.active()->RTF1->insertPlainText(QStringLiteral("three"));
        // Document 3 (active) first, then slot order: Document 1 is kept by Cancel.
        f.ui.messageAnswers << MsgResult::No << MsgResult::Cancel;
        m.menuItem(QStringLiteral("MNUWINDOWCLOSEALL"))->trigger();
        QCOMPARE(f.ui.messages.size(), 2);
        QVERIFY(f.ui.messages[0].text.contains(QLatin1String("'Document 3'")));
        QVERIFY(f.ui.messages[1].text.contains(QLatin1String("'Document 1'")));
        QCOMPARE(m.documents().size(), 1);
        QCOMPARE(m.documents()[0]->Caption(), QStringLiteral("Document 1"));
        QCOMPARE(AppState::instance().DocCount, 1);
    }
    void tileArrangesVisibleWindows()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        f.active()->parentWidget()->showNormal();
        f.cmd().FILENEW();
        QVERIFY(!f.active()->parentWidget()->isMaximized());
        m.menuItem(QStringLiteral("MNUWINDOWTILEVERTICAL"))->trigger();
        const QRect a = m.documents()[0]->parentWidget()->geometry();
        const QRect b = m.documents()[1]->parentWidget()->geometry();
        QCOMPARE(a.height(), b.height());
        QVERIFY(a.left() != b.left());
        QCOMPARE(a.top(), b.top());
        m.menuItem(QStringLiteral("MNUWINDOWTILEHORIZONTAL"))->trigger();
        const QRect c = m.documents()[0]->parentWidget()->geometry();
        const QRect d = m.documents()[1]->parentWidget()->geometry();
        QCOMPARE(c.width(), d.width());
        QVERIFY(c.top() != d.top());
    }
    // Help Topics opens the manual when it is there; the About box shows the program and its
    // logo opens the web site.
    void helpMenu()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        m.menuItem(QStringLiteral("MNUHELPTOPICS"))->trigger();
        QVERIFY(f.ui.openedUrls.isEmpty());
        const QString manual = AppPaths::manualFile();
        QVERIFY(QDir().mkpath(QFileInfo(manual).absolutePath()));
        QFile help(manual);
        QVERIFY(help.open(QIODevice::WriteOnly));
        help.close();
        m.menuItem(QStringLiteral("MNUHELPTOPICS"))->trigger();
        QCOMPARE(f.ui.openedUrls, QStringList{QUrl::fromLocalFile(manual).toString()});

        QString title, version;
        f.ui.dialogHandler = [&](QWidget *w) {
            auto *about = qobject_cast<frmAbout *>(w);
            if (!about)
                return 0;
            title = about->LBLTITLE->text();
            version = about->LBLVERSNO->text();
            QTest::mouseClick(about->IMGLOGO, Qt::LeftButton);
            return 1;
        };
        m.menuItem(QStringLiteral("MNUHELPABOUT"))->trigger();
        QCOMPARE(title, QStringLiteral("PAMPHLEXA"));
        QCOMPARE(version, clsLibrary::instance().GETAPPNUMBER());
        QCOMPARE(f.ui.openedUrls.last(), Identity::WebAddress);
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
