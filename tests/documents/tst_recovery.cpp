#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextCursor>
#include <QTextList>
#include <QTextTable>
#include <QtTest>

#include "core/MainWindowFixture.h"
#include "documents/DocumentSnapshot.h"
#include "documents/Recovery.h"
#include "documents/RecoveryFolder.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

namespace {

// One edit of the kinds a user makes, somewhere in the document.
void edit(QTextDocument &doc, QRandomGenerator &random)
{
    const int end = doc.characterCount() - 1;
    const int at = int(random.bounded(end + 1));
    QTextCursor c(&doc);
    c.setPosition(at);
    switch (random.bounded(10)) {
    case 0:
        c.insertText(QStringLiteral("typed"));
        break;
    case 1:
        c.insertBlock();
        break;
    case 2:
        c.setPosition(std::min(end, at + int(random.bounded(300))), QTextCursor::KeepAnchor);
        c.removeSelectedText();
        break;
    case 3: {
        c.setPosition(std::min(end, at + int(random.bounded(60))), QTextCursor::KeepAnchor);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        c.mergeCharFormat(bold);
        break;
    }
    case 4:
        if (QTextList *list = c.currentList())
            list->remove(c.block());
        else
            c.createList(QTextListFormat::ListDecimal);
        break;
    case 5: {
        QTextBlockFormat right = c.blockFormat();
        right.setAlignment(Qt::AlignRight);
        c.setBlockFormat(right);
        break;
    }
    case 6:
        if (QTextTable *table = c.currentTable())
            table->insertRows(0, 1);
        else
            c.insertTable(2, 2)->cellAt(1, 1).firstCursorPosition().insertText(QStringLiteral("c"));
        break;
    case 7: {
        // Each picture a resource of its own, as the control names them.
        const quint32 colour = random.generate();
        QTextImageFormat picture;
        picture.setName(QStringLiteral("picture") + QString::number(colour));
        QImage image(3, 3, QImage::Format_RGB32);
        image.fill(QColor::fromRgb(colour));
        doc.addResource(QTextDocument::ImageResource, QUrl(picture.name()), image);
        c.insertImage(picture);
        break;
    }
    default:
        if (doc.isUndoAvailable())
            doc.undo();
        break;
    }
}

// A document with what slicing has to keep together: lists across many paragraphs, tables,
// pictures and formatted runs.
void fill(QTextDocument &doc)
{
    QTextCursor c(&doc);
    QTextList *numbers = nullptr;
    for (int i = 0; i < 60; ++i) {
        if (i)
            c.insertBlock(QTextBlockFormat());
        QTextCharFormat run;
        run.setFontItalic(i % 3 == 0);
        c.insertText(QStringLiteral("Paragraph %1 of the bulletin").arg(i), run);
        if (i % 4 == 1)
            numbers = numbers ? (numbers->add(c.block()), numbers)
                              : c.createList(QTextListFormat::ListDecimal);
        if (i % 15 == 7)
            c.insertTable(2, 3)->cellAt(0, 1).firstCursorPosition().insertText(QStringLiteral("x"));
        c.movePosition(QTextCursor::End);
    }
}

} // namespace

class tst_Recovery : public QObject
{
    Q_OBJECT
private slots:
    void init() { Clock::setInstance(&m_clock); }
    void cleanup() { Clock::setInstance(nullptr); }
    void copyTakenOnceChangesWaitedTheInterval_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<int>("waited");
        QTest::addColumn<bool>("copied");
        QTest::newRow("default, two minutes") << QString() << 120 << true;
        QTest::newRow("never") << "0" << 100000 << false;
    }
    void copyTakenOnceChangesWaitedTheInterval()
    {
        QFETCH(QString, setting);
        QFETCH(int, waited);
        QFETCH(bool, copied);
        MainWindowFixture f;
        if (!setting.isNull())
            f.setStore(QStringLiteral("\\frmPrefs\\Items"), QStringLiteral("Recovery Seconds"),
                       setting);
        f.start();
        frmDocRTF *doc = f.active();
        after(1000); // an unchanged document needs no copy, however long it stays open
        QVERIFY(Recovery::instance()->copyOf(doc).isEmpty());
        QTest::keyClicks(doc->RTF1, QStringLiteral("Unsaved words"));
        after(0);
        after(waited);
        const QString copy = Recovery::instance()->copyOf(doc);
        QCOMPARE(QFile::exists(copy), copied);
        if (copied) {
            QFile file(copy);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QTextDocument back;
            QVERIFY(Rtf::read(file.readAll(), back));
            QCOMPARE(back.toPlainText(), QStringLiteral("Unsaved words"));
        }
    }
    void copyRemoved_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("saved") << "MNUFILESAVE";
        QTest::newRow("closed without saving") << "MNUFILECLOSE";
        QTest::newRow("program closed") << "MNUFILEEXIT";
    }
    void copyRemoved()
    {
        QFETCH(QString, how);
        MainWindowFixture f;
        f.setStore(QStringLiteral("\\frmPrefs\\Items"), QStringLiteral("Recovery Seconds"),
                   QStringLiteral("10"));
        f.start();
        frmDocRTF *doc = f.cmd().FILEOPENONE(f.file(QStringLiteral("letter.rtf"), "{\\rtf1 Dear}"));
        QTest::keyClicks(doc->RTF1, QStringLiteral("Sir"));
        after(0);
        after(10);
        const QString copy = Recovery::instance()->copyOf(doc);
        QVERIFY(QFile::exists(copy));
        f.ui.messageAnswers.enqueue(MsgResult::No); // close without saving when asked
        f.main().menuItem(how)->trigger();
        Recovery::instance()->flush();
        QVERIFY(!QFile::exists(copy));
        // Closing the program removes its whole recovery folder: nothing is offered next time.
        if (how == QLatin1String("MNUFILEEXIT"))
            QVERIFY(QDir(AppPaths::recoveryFolder())
                        .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                        .isEmpty());
    }
    void copiesOfOtherRuns_data()
    {
        QTest::addColumn<QString>("run");
        QTest::addColumn<bool>("offered");
        QTest::newRow("still running") << "running" << false;
        QTest::newRow("its process is gone") << "killed" << true;
        QTest::newRow("gone without its lock") << "released" << true;
    }
    void copiesOfOtherRuns()
    {
        QFETCH(QString, run);
        QFETCH(bool, offered);
        MainWindowFixture f;
        auto other = otherRun();
        const QString copy = other->copyPath(1);
        if (run != QLatin1String("running")) {
            const QString lock = other->sessionFolder() + QStringLiteral(".lock");
            other.reset(); // lets its lock go
            if (run == QLatin1String("killed")) {
                // The lock of a process that no longer exists.
                QProcess gone;
                gone.start(QStringLiteral("true"));
                QVERIFY(gone.waitForStarted());
                const qint64 pid = gone.processId();
                QVERIFY(gone.waitForFinished());
                QFile file(lock);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(QByteArray::number(pid) + "\ntrue\n\n");
            }
        }
        f.ui.messageAnswers.enqueue(MsgResult::Cancel);
        f.start();
        QCOMPARE(f.ui.messages.size(), offered ? 1 : 0);
        if (offered)
            QVERIFY(f.ui.messages[0].text.contains(QStringLiteral("\n    Document 7\n")));
        // Kept either way: by the running copy of the program, or for the next start.
        QVERIFY(QFile::exists(copy));
    }
    void unreadableCopyKeptAside_data()
    {
        QTest::addColumn<QByteArray>("copy");
        QTest::addColumn<QByteArray>("info");
        QTest::newRow("not RTF") << QByteArray("PK\x03\x04 zipped") << QByteArray();
        QTest::newRow("its info unreadable") << QByteArray() << QByteArray("{\"format\": 1, \"cap");
    }
    void unreadableCopyKeptAside()
    {
        QFETCH(QByteArray, copy);
        QFETCH(QByteArray, info);
        MainWindowFixture f;
        QString copyPath;
        {
            auto other = otherRun();
            copyPath = other->copyPath(1);
        }
        const QString infoPath = copyPath.chopped(3) + QStringLiteral("json");
        for (const auto &[path, data] : {std::pair{copyPath, copy}, std::pair{infoPath, info}}) {
            QFile file(path);
            if (!data.isNull())
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        }
        f.start();
        QCOMPARE(f.ui.messages.size(), 1);
        const QString damaged = AppPaths::recoveryFolder() + QStringLiteral("/damaged");
        QVERIFY(f.ui.messages[0].text.contains(QStringLiteral("could not be read")));
        QVERIFY(f.ui.messages[0].text.contains(damaged));
        QCOMPARE(f.ui.messages[0].style, MsgStyle::OkOnly | MsgStyle::Exclamation);
        QVERIFY(f.main().documents().size() == 1);
        // Both files are put aside, not deleted, and reported once.
        QCOMPARE(QDir(damaged).entryList(QDir::Files).size(), 2);
        QVERIFY(!QFile::exists(copyPath));
        f.stop();
        f.start();
        QCOMPARE(f.ui.messages.size(), 1);
    }
    void restoreAtStartup_data()
    {
        QTest::addColumn<bool>("titled");
        QTest::addColumn<int>("answer");
        QTest::newRow("untitled, opened") << false << int(MsgResult::Yes);
        QTest::newRow("titled, opened") << true << int(MsgResult::Yes);
        QTest::newRow("titled, deleted") << true << int(MsgResult::No);
        QTest::newRow("untitled, kept for later") << false << int(MsgResult::Cancel);
    }
    void restoreAtStartup()
    {
        QFETCH(bool, titled);
        QFETCH(int, answer);
        MainWindowFixture f;
        f.setStore(QStringLiteral("\\frmPrefs\\Items"), QStringLiteral("Recovery Seconds"),
                   QStringLiteral("10"));
        f.start();
        const QString path = f.file(QStringLiteral("letter.rtf"), "{\\rtf1 Dear Sir,\\par}");
        frmDocRTF *doc = titled ? f.cmd().FILEOPENONE(path) : f.active();
        doc->RTF1->setSelStart(doc->RTF1->Text().size());
        QTest::keyClicks(doc->RTF1, QStringLiteral("Our meeting is on Tuesday."));
        doc->RTF1->setSelStart(4);
        doc->RTF1->setSelLength(7);
        doc->RTF1->setSelBold(true);
        doc->RTF1->setSelFontSize(16);
        const QByteArray typed = doc->RTF1->TextRTFBytes();
        const QString caption = doc->Caption();
        after(0);
        after(10);
        // The program goes without closing, as in a crash.
        f.stop();

        f.ui.messageAnswers.enqueue(answer);
        f.start();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(
            f.ui.messages[0].text.contains(QStringLiteral("\n    ") + caption + QLatin1Char('\n')));
        QCOMPARE(f.ui.messages[0].style, MsgStyle::YesNoCancel | MsgStyle::Question);
        QCOMPARE(f.main().documents().size(), 1);
        frmDocRTF *back = f.active();
        if (answer != MsgResult::Yes) {
            QVERIFY(!back->isRecovered());
            QVERIFY(!back->isModified());
            f.stop();
            f.start();
            QCOMPARE(f.ui.messages.size(), answer == MsgResult::Cancel ? 2 : 1);
            return;
        }
        // In place of the empty first document: the document as it was, still to be saved.
        QCOMPARE(back->Caption(), caption);
        QCOMPARE(back->windowTitle(), caption + QStringLiteral(" (Recovered)"));
        QVERIFY(back->isModified());
        QCOMPARE(back->RTF1->TextRTFBytes(), typed);
        const QString copy = Recovery::instance()->copyOf(back);
        QVERIFY(QFile::exists(copy));
        // Save goes to the document's own file; an untitled document asks for a name.
        f.main().menuItem(QStringLiteral("MNUFILESAVE"))->trigger();
        if (!titled) {
            QCOMPARE(f.ui.saveRequests.size(), 1);
            QVERIFY(back->isModified());
            return;
        }
        QVERIFY(!back->isModified());
        QCOMPARE(back->windowTitle(), caption);
        QVERIFY(f.read(path).contains(QStringLiteral("Tuesday")));
        Recovery::instance()->flush();
        QVERIFY(!QFile::exists(copy));
    }
    void copyFollowsEditsWhileTaken_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("seed");
        for (int seed = 1; seed <= 24; ++seed)
            QTest::addRow("bulletin, edits %d", seed) << QString() << seed;
        // Real documents, when the shared samples are beside the checkout.
        const QDir corpus(qEnvironmentVariable("PAMPHLEXA_SHARED") + QStringLiteral("/corpus/rtf"));
        for (const QString &name : corpus.entryList({QStringLiteral("*.rtf")}, QDir::Files))
            QTest::addRow("%s", qPrintable(name)) << corpus.filePath(name) << int(name.size());
    }
    void copyFollowsEditsWhileTaken()
    {
        QFETCH(QString, source);
        QFETCH(int, seed);
        QTextDocument doc;
        if (source.isEmpty()) {
            fill(doc);
        } else {
            QFile file(source);
            QVERIFY(file.open(QIODevice::ReadOnly));
            Rtf::read(file.readAll(), doc);
        }
        doc.setUndoRedoEnabled(true);
        QRandomGenerator random(seed);
        DocumentSnapshot snapshot(doc);
        // The smallest steps, with edits between them, before and after the copy is complete.
        while (!snapshot.step(0)) {
            QVERIFY(snapshot.isValid());
            for (int n = int(random.bounded(3)); n > 0; --n)
                edit(doc, random);
        }
        for (int n = int(random.bounded(4)); n > 0; --n)
            edit(doc, random);
        const std::unique_ptr<QTextDocument> copy = snapshot.take();
        QVERIFY(copy);
        // Text, formats, lists, tables and pictures: what saving the copy would write.
        QCOMPARE(copy->toRawText(), doc.toRawText());
        QCOMPARE(Rtf::write(*copy), Rtf::write(doc));
    }

private:
    // Moves the clock on, then takes and writes the copies that are due.
    void after(int seconds)
    {
        m_clock.set(m_clock.now().addSecs(seconds));
        Recovery::instance()->check();
        Recovery::instance()->flush();
    }
    // A copy another run of the program left, as that run wrote it.
    static std::unique_ptr<RecoveryFolder> otherRun(const QString &caption = "Document 7")
    {
        auto run = std::make_unique<RecoveryFolder>(AppPaths::recoveryFolder());
        run->write(1, 0, {caption, QString(), QStringLiteral("rtf"), QDateTime()},
                   "{\\rtf1 Left behind}");
        return run;
    }

    FixedClock m_clock{QDateTime(QDate(2024, 5, 1), QTime(9, 0), Qt::UTC)};
};

QTEST_MAIN(tst_Recovery)
#include "tst_recovery.moc"
