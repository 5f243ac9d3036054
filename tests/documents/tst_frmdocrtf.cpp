#include <QLabel>
#include <QMdiSubWindow>
#include <QtTest>

#include "core/MainWindowFixture.h"

class tst_frmDocRTF : public QObject
{
    Q_OBJECT
private slots:
    void typingMarksModifiedAndSavingClears()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        frmDocRTF *doc = f.active();
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILESAVE"))->isEnabled());
        QTest::keyClicks(doc->RTF1, QStringLiteral("Hello"));
        QCOMPARE(m.panel(frmMain::PanelModified)->text(), QStringLiteral("Modified"));
        QVERIFY(m.menuItem(QStringLiteral("MNUFILESAVE"))->isEnabled());
        QVERIFY(m.button(QStringLiteral("SAVE"))->isEnabled());
        QCOMPARE(m.panel(frmMain::PanelLineCol)->text(), QStringLiteral("Line: 1, Col: 6"));

        const QString path = f.settings.path(QStringLiteral("hello.rtf"));
        f.ui.fileAnswers.enqueue({{path}, 1, f.settings.path(QString())});
        m.menuItem(QStringLiteral("MNUFILESAVE"))->trigger();
        QCOMPARE(doc->Caption(), path);
        QVERIFY(QFile::exists(path));
        QCOMPARE(m.panel(frmMain::PanelModified)->text(), QString());
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILESAVE"))->isEnabled());
        QVERIFY(!m.button(QStringLiteral("SAVE"))->isEnabled());
        QVERIFY(m.menuItem(QStringLiteral("MNUFILEREOPEN"))->isEnabled());
        // Typing again and Save writes straight to the file.
        QTest::keyClicks(doc->RTF1, QStringLiteral(" again"));
        QVERIFY(doc->isModified());
        m.menuItem(QStringLiteral("MNUFILESAVE"))->trigger();
        QCOMPARE(f.ui.saveRequests.size(), 1);
        QVERIFY(!doc->isModified());
        RichTextBox check;
        QVERIFY(check.LoadFile(path));
        QCOMPARE(check.Text(), QStringLiteral("Hello again"));
    }
    void closeYesOnUntitledCancelledSaveAsKeepsWindow()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        QTest::keyClicks(f.active()->RTF1, QStringLiteral("text"));
        f.ui.messageAnswers.enqueue(MsgResult::Yes);
        m.menuItem(QStringLiteral("MNUFILECLOSE"))->trigger(); // the Save As dialog is cancelled
        QCOMPARE(f.ui.saveRequests.size(), 1);
        QCOMPARE(f.ui.saveRequests[0].title, QStringLiteral("Save As"));
        QCOMPARE(f.ui.saveRequests[0].fileName, QStringLiteral("Document 1"));
        QCOMPARE(m.documents().size(), 1);
        QVERIFY(f.active()->isModified());
    }
    void closePathsKeepTheFilesType_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("storedFilter");
        for (const QString &path :
             {QStringLiteral("close"), QStringLiteral("exit"), QStringLiteral("close all")})
            for (int filter : {1, 2, 5, 12})
                QTest::newRow(
                    qPrintable(QStringLiteral("%1, save filter %2").arg(path).arg(filter)))
                    << path << filter;
    }
    void closePathsKeepTheFilesType()
    {
        // Whatever type the last Save As chose, Yes at the close prompt writes each document in
        // its own file's type, without a Save As dialog.
        QFETCH(QString, path);
        QFETCH(int, storedFilter);
        MainWindowFixture f;
        f.setStore(QStringLiteral("\\frmMain\\Items"), QStringLiteral("CMD Save Filter"),
                   QString::number(storedFilter));
        const QString letter = f.file(QStringLiteral("letter.rtf"), "{\\rtf1 Dear}");
        const QString notes = f.file(QStringLiteral("notes.txt"), "plain");
        frmMain &m = f.start(letter);
        f.cmd().FILEOPENONE(notes);
        for (frmDocRTF *doc : m.documents()) {
            m.activateDocument(doc);
            QTest::keyClick(doc->RTF1, Qt::Key_End, Qt::ControlModifier);
            QTest::keyClicks(doc->RTF1, QStringLiteral(" more"));
        }
        if (path == QLatin1String("close")) {
            for (int i = 0; i < 2; ++i)
                m.menuItem(QStringLiteral("MNUFILECLOSE"))->trigger();
        } else if (path == QLatin1String("exit")) {
            QVERIFY(f.close());
        } else {
            m.menuItem(QStringLiteral("MNUWINDOWCLOSEALL"))->trigger();
        }
        QCOMPARE(f.ui.messages.size(), 2); // the two close prompts, nothing else
        QVERIFY(f.ui.saveRequests.isEmpty());
        QVERIFY(f.read(letter).startsWith(QLatin1String("{\\rtf")));
        QVERIFY(f.read(letter).contains(QLatin1String("Dear more")));
        QCOMPARE(f.read(notes), QStringLiteral("plain more"));
    }
    void lineAndColumn_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("shown");
        QTest::newRow("end of first line") << 3 << "Line: 1, Col: 4";
        QTest::newRow("inside second line") << 7 << "Line: 2, Col: 3";
    }
    void lineAndColumn()
    {
        QFETCH(int, caret);
        QFETCH(QString, shown);
        MainWindowFixture f;
        frmMain &m = f.start();
        f.active()->RTF1->setText(QStringLiteral("one\r\ntwo"));
        f.active()->RTF1->setSelStart(caret);
        QCOMPARE(m.panel(frmMain::PanelLineCol)->text(), shown);
    }
    void wrapModes_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("expected"); // -1: the window width less 400 twips
        QTest::newRow("no wrap") << "1" << int(RichTextBox::NoWrap);
        QTest::newRow("window") << "2" << -1;
        QTest::newRow("ruler is the default") << "" << 12240 - 2 * 1440;
    }
    void wrapModes()
    {
        QFETCH(QString, mode);
        QFETCH(int, expected);
        MainWindowFixture f;
        if (!mode.isEmpty())
            f.setStore(QStringLiteral("\\frmMain\\Items"), QStringLiteral("Wrap Text"), mode);
        f.start();
        frmDocRTF *doc = f.active();
        doc->MARGINCHK();
        const int tpp = ScreenMetrics::instance().twipsPerPixelX();
        if (expected == -1)
            expected = doc->width() * tpp - 400;
        QCOMPARE(doc->RTF1->RightMargin(), expected);
        // Resizing rewraps only the window mode.
        doc->parentWidget()->showNormal();
        doc->parentWidget()->resize(doc->parentWidget()->width() - 100, 300);
        if (mode == QLatin1String("2"))
            QCOMPARE(doc->RTF1->RightMargin(), doc->width() * tpp - 400);
        else
            QCOMPARE(doc->RTF1->RightMargin(), expected);
    }
    void keyTable()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = f.active()->RTF1;
        QTest::keyClicks(rtf, QStringLiteral("Name"));
        QTest::keyClick(rtf, Qt::Key_R, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(rtf->Text(), QStringLiteral("Name\u00AE"));
        QVERIFY(f.active()->isModified());
    }
    void lastCloseDisablesDocumentCommands()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        QVERIFY(m.button(QStringLiteral("SAVE AS"))->isEnabled());
        m.menuItem(QStringLiteral("MNUFILECLOSE"))->trigger();
        QVERIFY(!AppState::instance().DocumentsOpen);
        for (const char *key : {"SAVE", "SAVE AS", "PRINT", "CUT", "COPY", "FIND", "BOLD",
                                "ALIGN LEFT", "FORMAT PAINTER", "PICTURE", "HTML PREVIEW"})
            QVERIFY2(!m.button(QString::fromLatin1(key))->isEnabled(), key);
        QVERIFY(m.button(QStringLiteral("NEW"))->isEnabled());
        QVERIFY(m.button(QStringLiteral("OPEN"))->isEnabled());
        QVERIFY(!m.menuItem(QStringLiteral("MNUFILESAVEAS"))->isEnabled());
        QVERIFY(!m.fontSizeBox()->isEnabled());
        QCOMPARE(m.panel(frmMain::PanelModified)->text(), QString());
        // A new document enables them again.
        m.button(QStringLiteral("NEW"))->trigger();
        QVERIFY(m.button(QStringLiteral("SAVE AS"))->isEnabled());
        QVERIFY(m.menuItem(QStringLiteral("MNUFILESAVEAS"))->isEnabled());
    }
    void linkShowsAddressAndOpensOnCtrlClick()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = f.active()->RTF1;
        rtf->setTextRTF(
            QStringLiteral("{\\rtf1 see {\\field{\\*\\fldinst HYPERLINK \"https://example.org/a\"}"
                           "{\\fldrslt the site}} or {\\field{\\*\\fldinst HYPERLINK \\\\l \"end\"}"
                           "{\\fldrslt the end}}\\par {\\*\\bkmkstart end}last\\par}"));
        auto pointAt = [rtf](const QString &word) {
            QTextCursor c(rtf->document());
            c.setPosition(rtf->toDocPosition(int(rtf->Text().indexOf(word))) + 2);
            return rtf->cursorRect(c).center();
        };
        QWidget *view = rtf->viewport();
        QTest::mouseMove(view, pointAt(QStringLiteral("site")));
        QCOMPARE(m.panel(frmMain::PanelDescription)->text(),
                 QStringLiteral("https://example.org/a"));
        QTest::mouseMove(view, pointAt(QStringLiteral("see")));
        QCOMPARE(m.panel(frmMain::PanelDescription)->text(), QString());

        // A plain click edits; Ctrl+click follows the link and leaves the caret alone.
        QTest::mouseClick(view, Qt::LeftButton, {}, pointAt(QStringLiteral("site")));
        QVERIFY(f.ui.openedUrls.isEmpty());
        const int caret = rtf->SelStart();
        QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier,
                          pointAt(QStringLiteral("site")));
        QCOMPARE(f.ui.openedUrls, QStringList{QStringLiteral("https://example.org/a")});
        QCOMPARE(rtf->SelStart(), caret);
        // A link to a bookmark of the document moves the caret there.
        QTest::mouseClick(view, Qt::LeftButton, Qt::ControlModifier,
                          pointAt(QStringLiteral("end")));
        QCOMPARE(f.ui.openedUrls.size(), 1);
        QCOMPARE(rtf->SelStart(), rtf->Text().indexOf(QStringLiteral("last")) - 1);
    }
};

QTEST_MAIN(tst_frmDocRTF)
#include "tst_frmdocrtf.moc"
