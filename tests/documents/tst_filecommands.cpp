#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "core/MainWindowFixture.h"
#include "documents/DocumentTypes.h"
#include "documents/frmNew.h"
#include "support/TestFiles.h"

class tst_FileCommands : public QObject
{
    Q_OBJECT
private slots:
    void saveAsWritesChosenType_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("rtf");
        QTest::newRow("letter as template") << "letter" << 2 << "letter.RTT" << true;
        QTest::newRow("page.html as internet page") << "page.html" << 10 << "page.html" << false;
        QTest::newRow("own extension kept") << "memo.txt" << 1 << "memo.txt" << true;
        QTest::newRow("four letters get the extension") << "a.docx" << 1 << "a.docx.RTF" << true;
    }
    void saveAsWritesChosenType()
    {
        QFETCH(QString, typed);
        QFETCH(int, filter);
        QFETCH(QString, written);
        QFETCH(bool, rtf);
        MainWindowFixture f;
        frmMain &m = f.start();
        QTest::keyClicks(f.active()->RTF1, QStringLiteral("Body text"));
        const QString folder = f.settings.path(QString());
        f.ui.fileAnswers.enqueue({{f.settings.path(typed)}, filter, folder});
        m.menuItem(QStringLiteral("MNUFILESAVEAS"))->trigger();
        const QString path = f.settings.path(written);
        QCOMPARE(f.active()->Caption(), path);
        QVERIFY(!f.active()->isModified());
        const QString content = f.read(path);
        QCOMPARE(content.startsWith(QLatin1String("{\\rtf")), rtf);
        QVERIFY(content.contains(QLatin1String("Body text")));
        QCOMPARE(f.cmd().recentFiles().path(0), path);
    }
    void saveAsAsksBeforeOverwriting_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(MsgResult::Yes);
        QTest::newRow("no") << int(MsgResult::No);
    }
    void saveAsAsksBeforeOverwriting()
    {
        QFETCH(int, answer);
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("old.txt"), "old content");
        frmMain &m = f.start();
        QTest::keyClicks(f.active()->RTF1, QStringLiteral("new content"));
        f.ui.fileAnswers.enqueue({{path}, 3, f.settings.path(QString())});
        f.ui.messageAnswers.enqueue(answer);
        m.menuItem(QStringLiteral("MNUFILESAVEAS"))->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(path));
        if (answer == MsgResult::Yes) {
            QCOMPARE(f.read(path), QStringLiteral("new content"));
            QCOMPARE(f.active()->Caption(), path);
        } else {
            QCOMPARE(f.read(path), QStringLiteral("old content"));
            QCOMPARE(f.active()->Caption(), QStringLiteral("Document 1"));
            QVERIFY(f.active()->isModified());
        }
    }
    void saveIntoReadOnlyFileKeepsOldFile()
    {
        MainWindowFixture f;
        const QString path = f.file(QStringLiteral("fixed.txt"), "original");
        frmMain &m = f.start(path);
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser);
        // Opened writable, made read-only meanwhile: Save reports it.
        f.active()->RTF1->setText(QStringLiteral("changed"));
        QVERIFY(f.active()->isModified());
        AppState::instance().SaveMode = QStringLiteral("SAVE");
        QVERIFY(!f.cmd().FILESAVEDOC());
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(path));
        QCOMPARE(f.read(path), QStringLiteral("original"));
        QVERIFY(f.active()->isModified());
        QVERIFY(m.menuItem(QStringLiteral("MNUFILESAVE"))->isEnabled());
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    void plainTextQuestion_data()
    {
        QTest::addColumn<QString>("content"); // "plain", "bold" or "picture"
        QTest::addColumn<int>("filter");
        QTest::addColumn<int>("answer"); // 0: no question expected
        QTest::newRow("plain text asks nothing") << "plain" << 3 << 0;
        QTest::newRow("formatting, yes") << "bold" << 3 << int(MsgResult::Yes);
        QTest::newRow("formatting, no") << "bold" << 10 << int(MsgResult::No);
        QTest::newRow("picture, yes") << "picture" << 8 << int(MsgResult::Yes);
    }
    void plainTextQuestion()
    {
        QFETCH(QString, content);
        QFETCH(int, filter);
        QFETCH(int, answer);
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = f.active()->RTF1;
        QTest::keyClicks(rtf, QStringLiteral("Body text"));
        if (content == QLatin1String("bold")) {
            rtf->setSelStart(0);
            rtf->setSelLength(4);
            f.cmd().FONTBOLD();
        } else if (content == QLatin1String("picture")) {
            QImage dot(3, 3, QImage::Format_RGB32);
            dot.fill(Qt::blue);
            rtf->insertPicture(dot);
        }
        const QString path = f.settings.path(QStringLiteral("out.") +
                                             DocumentTypes::saveExtension(filter).mid(1).toLower());
        f.ui.fileAnswers.enqueue({{path}, filter, QString()});
        if (answer)
            f.ui.messageAnswers.enqueue(answer);
        m.menuItem(QStringLiteral("MNUFILESAVEAS"))->trigger();
        QCOMPARE(f.ui.messages.size(), answer ? 1 : 0);
        const bool written = answer != MsgResult::No;
        QCOMPARE(QFile::exists(path), written);
        QCOMPARE(f.active()->isModified(), !written);
        if (!answer)
            return;
        if (!written) {
            QVERIFY(f.active()->isUntitled());
            return;
        }
        QVERIFY(f.read(path).startsWith(QLatin1String("Body text")));
        // Asked once: saving again under the same name asks nothing.
        QTest::keyClicks(rtf, QStringLiteral(" more"));
        m.menuItem(QStringLiteral("MNUFILESAVE"))->trigger();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.read(path).contains(QLatin1String("more")));
    }
    void saveSelectionAs()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = f.active()->RTF1;
        rtf->setText(QStringLiteral("keep this part"));
        rtf->setSelStart(5);
        rtf->setSelLength(4);
        AppState::instance().SaveMode = QStringLiteral("SAVESELECTION");
        const QString path = f.settings.path(QStringLiteral("part.txt"));
        f.ui.fileAnswers.enqueue({{path}, 3, f.settings.path(QString())});
        QVERIFY(f.cmd().FILESAVEAS());
        QCOMPARE(f.read(path), QStringLiteral("this"));
        QCOMPARE(f.active()->Caption(), QStringLiteral("Document 1"));
        QVERIFY(f.active()->RTF2->Text().isEmpty());
    }
    void openDialogOpensSeveralAndRemembers()
    {
        MainWindowFixture f;
        QDir().mkpath(f.settings.path(QStringLiteral("letters")));
        const QString a = f.file(QStringLiteral("letters/a.rtf"), "{\\rtf1 Alpha}");
        const QString b = f.file(QStringLiteral("letters/b.txt"), "Beta");
        const QString c = f.file(QStringLiteral("letters/c.ini"), "[Gamma]");
        frmMain &m = f.start();
        m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger(); // cancelled
        const FileDialogRequest first = f.ui.openRequests.at(0);
        QCOMPARE(first.title, QStringLiteral("Open"));
        QCOMPARE(first.filterIndex, 11);
        QCOMPARE(first.folder, f.settings.documentsFolder());
        QVERIFY(first.multiSelect);
        QCOMPARE(m.documents().size(), 1);
        f.ui.fileAnswers.enqueue({{a, b, c}, 3, f.settings.path(QStringLiteral("letters"))});
        m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger();
        QCOMPARE(m.documents().size(), 4);
        QCOMPARE(m.documents()[1]->Caption(), a);
        QCOMPARE(m.documents()[2]->Caption(), b);
        QCOMPARE(m.documents()[3]->Caption(), c);
        QCOMPARE(m.documents()[2]->RTF1->Text(), QStringLiteral("Beta"));
        for (frmDocRTF *doc : m.documents())
            QVERIFY(!doc->isModified());
        // The last opened heads the list.
        QCOMPARE(f.cmd().recentFiles().paths(), QStringList({c, b, a}));
        QCOMPARE(f.active()->Caption(), c);
        // The next dialog opens where the last one chose, with its filter.
        m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger();
        const FileDialogRequest third = f.ui.openRequests.at(2);
        QCOMPARE(third.filterIndex, 3);
        QCOMPARE(third.folder, f.settings.path(QStringLiteral("letters")) + QLatin1Char('/'));
    }
    void openedTextFileGetsPlainFont()
    {
        MainWindowFixture f;
        f.setStore(QStringLiteral("\\frmPrefs\\Items"), QStringLiteral("Text Font Name"),
                   QStringLiteral("Courier New"));
        f.setStore(QStringLiteral("\\frmPrefs\\Items"), QStringLiteral("Text Font Size"),
                   QStringLiteral("12"));
        const QString txt = f.file(QStringLiteral("readme.nfo"), "info");
        const QString rtf = f.file(QStringLiteral("doc.rtf"), "{\\rtf1 doc}");
        f.start();
        frmDocRTF *plain = f.cmd().FILEOPENONE(txt);
        QCOMPARE(plain->RTF1->Font().family(), QStringLiteral("Courier New"));
        QCOMPARE(plain->RTF1->Font().pointSizeF(), 12.0);
        QCOMPARE(f.main().fontSizeBox()->currentText(), QStringLiteral("12"));
        frmDocRTF *rich = f.cmd().FILEOPENONE(rtf);
        QVERIFY(rich->RTF1->Font().family() != QStringLiteral("Courier New"));
    }
    void insertDocumentAtCaret()
    {
        MainWindowFixture f;
        const QString part = f.file(QStringLiteral("part.txt"), "middle ");
        f.start();
        RichTextBox *rtf = f.active()->RTF1;
        rtf->setText(QStringLiteral("start end"));
        rtf->setSelStart(6);
        f.cmd().INSERTDOC(part);
        QCOMPARE(rtf->Text(), QStringLiteral("start middle end"));
        QVERIFY(f.active()->RTF2->Text().isEmpty());
    }
    void newFromTemplate()
    {
        MainWindowFixture f;
        const QString shipped = f.settings.programFolder();
        QVERIFY(writeFile(shipped + "/Memo.rtt", "To whom it may concern"));
        QVERIFY(writeFile(shipped + "/Normal.RTT") && writeFile(shipped + "/Words.dic"));
        // The user's own templates are listed with the shipped ones; the user's Memo replaces the
        // shipped one.
        const QString own = AppPaths::userTemplatesFolder();
        QVERIFY(writeFile(own + "/Memo.rtt", "Dear reader") && writeFile(own + "/Agenda.rtt"));
        frmMain &m = f.start();
        QStringList listed;
        f.ui.dialogHandler = [&](QWidget *w) {
            auto *dlg = qobject_cast<frmNew *>(w);
            if (!dlg)
                return 0;
            listed = dlg->templateNames();
            dlg->selectTemplate(QStringLiteral("Memo"));
            if (dlg->TXTSEL->text() != QLatin1String("Memo"))
                return 0;
            dlg->BTNNEW->click();
            dlg->BTNOK->click();
            return dlg->result();
        };
        m.menuItem(QStringLiteral("MNUFILENEW"))->trigger();
        QCOMPARE(listed, QStringList({"Agenda", "Memo", "Normal"}));
        QCOMPARE(m.documents().size(), 2);
        QCOMPARE(f.active()->Caption(), QStringLiteral("Document 2"));
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("Dear reader"));
        QVERIFY(!f.active()->isModified());
    }
    void templatesAreSavedInTheUsersFolder()
    {
        MainWindowFixture f;
        const QString shipped = f.settings.programFolder() + QStringLiteral("/Normal.rtt");
        QVERIFY(writeFile(shipped, "{\\rtf1 Shipped\\par}"));
        const QString own = AppPaths::userTemplatesFolder() + QStringLiteral("/Normal.rtt");
        // A shipped template opened and saved becomes the user's own copy.
        frmMain &m = f.start(shipped);
        QTest::keyClicks(f.active()->RTF1, QStringLiteral("Changed "));
        m.menuItem(QStringLiteral("MNUFILESAVE"))->trigger();
        QVERIFY(f.ui.messages.isEmpty());
        QCOMPARE(f.active()->Caption(), own);
        QVERIFY(f.read(own).contains(QLatin1String("Changed Shipped")));
        QCOMPARE(f.read(shipped), QStringLiteral("{\\rtf1 Shipped\\par}"));
        // Save As into the program folder writes there too; Save As for a template first opens
        // in the user's templates folder, for other documents in the documents folder.
        f.setStore(QStringLiteral("\\frmMain\\Items"), QStringLiteral("CMD Save Filter"),
                   QStringLiteral("2"));
        f.ui.fileAnswers.enqueue({{f.settings.programFolder() + QStringLiteral("/Fax")}, 2, {}});
        m.menuItem(QStringLiteral("MNUFILESAVEAS"))->trigger();
        QCOMPARE(f.ui.saveRequests.at(0).folder, AppPaths::userTemplatesFolder());
        QCOMPARE(f.active()->Caption(),
                 AppPaths::userTemplatesFolder() + QStringLiteral("/Fax.RTT"));
        QVERIFY(QFileInfo::exists(f.active()->Caption()));
        QCOMPARE(QDir(f.settings.programFolder()).entryList(QDir::Files),
                 QStringList{QStringLiteral("Normal.rtt")});
    }
    void newWithoutTemplates()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        bool okEnabled = true, createEnabled = true;
        f.ui.dialogHandler = [&](QWidget *w) {
            auto *dlg = qobject_cast<frmNew *>(w);
            okEnabled = dlg->BTNOK->isEnabled();
            createEnabled = dlg->BTNNEW->isEnabled();
            return 0;
        };
        m.menuItem(QStringLiteral("MNUFILENEW"))->trigger();
        QVERIFY(!okEnabled);
        QVERIFY(!createEnabled);
        QCOMPARE(m.documents().size(), 1);
    }
    void defaultTemplateMode()
    {
        MainWindowFixture f;
        for (const char *name : {"/Normal.rtt", "/Fax.rtt"})
            QVERIFY(writeFile(f.settings.programFolder() + QString::fromLatin1(name)));
        f.start();
        frmNew dlg(f.cmd(), true);
        QCOMPARE(dlg.TXTSEL->text(), QStringLiteral("Normal"));
        QVERIFY(!dlg.BTNNEW->isEnabled());
        dlg.selectTemplate(QStringLiteral("Fax"));
        QVERIFY(dlg.BTNNEW->isEnabled());
        dlg.BTNNEW->click();
        QCOMPARE(AppState::instance().TemplateSelected, QStringLiteral("Fax"));
        QCOMPARE(f.main().documents().size(), 1);
    }
};

QTEST_MAIN(tst_FileCommands)
#include "tst_filecommands.moc"
