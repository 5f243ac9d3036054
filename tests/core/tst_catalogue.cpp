#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/AppPaths.h"
#include "support/ScriptedUiServices.h"

namespace {

const QString ProgramFolder = QStringLiteral("/srv/pamphlexa/share");

// Records beeps and message boxes in the order they happen.
class OrderedUi : public ScriptedUiServices
{
public:
    QStringList events;
    void beep() override
    {
        events << QStringLiteral("beep");
        ScriptedUiServices::beep();
    }
    int messageBox(const QString &text, int style, const QString &title) override
    {
        events << QStringLiteral("box");
        return ScriptedUiServices::messageBox(text, style, title);
    }
};

} // namespace

class tst_Catalogue : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { AppPaths::setProgramFolder(ProgramFolder); }
    void cleanupTestCase() { AppPaths::setProgramFolder(QString()); }

    void notices_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expected");
        addStyleColumns();
        QTest::addColumn<bool>("beep");

        const int ok = MsgStyle::OkOnly;
        const int info = MsgStyle::Information;
        const int stop = MsgStyle::Critical;
        const QString crlf = QStringLiteral("\r\n");

        QTest::newRow("3 found once")
            << 3 << QStringList{"cat", "1"} << "The text 'cat' has been found '1' time." << ok
            << info << false << "Find" << false;
        QTest::newRow("3 found twice")
            << 3 << QStringList{"cat", "2"} << "The text 'cat' has been found '2' times." << ok
            << info << false << "Find" << false;
        QTest::newRow("3 count 1.0 is one")
            << 3 << QStringList{"cat", "1.0"} << "The text 'cat' has been found '1.0' time." << ok
            << info << false << "Find" << false;
        QTest::newRow("3 count not a number")
            << 3 << QStringList{"cat", "many"} << "The text 'cat' has been found 'many' times."
            << ok << info << false << "Find" << false;
        QTest::newRow("3 plural follows s2 not s3")
            << 3 << QStringList{"cat", "5", "1"} << "The text 'cat' has been found '5' times." << ok
            << info << false << "Find" << false;
        QTest::newRow("6 replaced once") << 6 << QStringList{"cat", "dog", "1"}
                                         << "The text 'cat' have all been replaced by 'dog' 1 time."
                                         << ok << info << false << "Replace" << false;
        QTest::newRow("6 plural follows s3 not s2")
            << 6 << QStringList{"cat", "1", "2"}
            << "The text 'cat' have all been replaced by '1' 2 times." << ok << info << false
            << "Replace" << false;
        QTest::newRow("13 no printer")
            << 13 << QStringList{}
            << "There is no printer installed. You will not be able to use the printer functions."
            << ok << stop << false << ProgramFolder << true;
        QTest::newRow("15 bad picture")
            << 15 << QStringList{"b.tga"}
            << "b.tga is either an invalid format or the document is corrupt. " + crlf +
                   " Try re-saving the image to a different name from within a paint package and "
                   "trying again."
            << ok << stop << false << Identity::AppTitle << true;
    }
    void notices()
    {
        QFETCH(int, id);
        QFETCH(QStringList, texts);
        QFETCH(QString, expected);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(bool, secondIsDefault);
        QFETCH(QString, title);
        QFETCH(bool, beep);
        texts.resize(4);

        OrderedUi ui;
        clsLibrary::instance().MESSAGEBOX(static_cast<qint16>(id), texts[0], texts[1], texts[2],
                                          texts[3]);
        QCOMPARE(ui.messages.size(), 1);
        const auto &m = ui.messages.first();
        QCOMPARE(m.text, expected);
        QCOMPARE(m.style & 0x0F, buttons);
        QCOMPARE(m.style & 0xF0, icon);
        QCOMPARE(bool(m.style & MsgStyle::DefaultButton2), secondIsDefault);
        QCOMPARE(m.style & ~0x1FF, 0);
        QCOMPARE(m.title, title);
        QCOMPARE(ui.events, beep ? QStringList({"beep", "box"}) : QStringList({"box"}));
    }
    void questions_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("s1");
        QTest::addColumn<QString>("expected");
        addStyleColumns();
        QTest::addColumn<int>("answer");

        const int yesNo = MsgStyle::YesNo;
        const int yesNoCancel = MsgStyle::YesNoCancel;
        const int ask = MsgStyle::Question;
        const QString crlf = QStringLiteral("\r\n");
        const QString deletion =
            QStringLiteral("Are you really sure you want to delete 'p.bmp' to the Recycle Bin ?");
        const QString overwrite = "The document '/d/a.rtf' already exists." + crlf +
                                  "Do you really want to overwrite this ?";
        const QString close = QStringLiteral("Do you wish to save 'Document 1' before you close ?");
        const QString unsaved =
            QStringLiteral("You have unsaved work, do you want to save first ?");

        QTest::newRow("2 delete, yes") << 2 << "p.bmp" << deletion << yesNo << ask << true
                                       << "Clear Picture" << int(MsgResult::Yes);
        QTest::newRow("3 overwrite, yes") << 3 << "/d/a.rtf" << overwrite << yesNo << ask << false
                                          << "Save As" << int(MsgResult::Yes);
        QTest::newRow("6 save on close, cancel")
            << 6 << "Document 1" << close << yesNoCancel << ask << false << Identity::AppTitle
            << int(MsgResult::Cancel);
        QTest::newRow("8 unsaved work") << 8 << QString() << unsaved << yesNoCancel << ask << false
                                        << "New" << int(MsgResult::Cancel);
    }
    void questions()
    {
        QFETCH(int, id);
        QFETCH(QString, s1);
        QFETCH(QString, expected);
        QFETCH(int, buttons);
        QFETCH(int, icon);
        QFETCH(bool, secondIsDefault);
        QFETCH(QString, title);
        QFETCH(int, answer);

        OrderedUi ui;
        ui.messageAnswers.enqueue(answer);
        qint16 result = -99;
        clsLibrary::instance().MESSAGEBOXFCN(static_cast<qint16>(id), s1, QString(), QString(),
                                             QString(), result);
        QCOMPARE(result, answer);
        QCOMPARE(ui.messages.size(), 1);
        const auto &m = ui.messages.first();
        QCOMPARE(m.text, expected);
        QCOMPARE(m.style & 0x0F, buttons);
        QCOMPARE(m.style & 0xF0, icon);
        QCOMPARE(bool(m.style & MsgStyle::DefaultButton2), secondIsDefault);
        QCOMPARE(m.title, title);
        QCOMPARE(ui.events, QStringList{"box"});
    }
    void unknownIdentifiersShowAnEmptyBox_data()
    {
        QTest::addColumn<bool>("question");
        QTest::addColumn<int>("id");
        QTest::newRow("notice 0") << false << 0;
        QTest::newRow("notice 2 is only a question") << false << 2;
        QTest::newRow("notice -1") << false << -1;
        QTest::newRow("question 1 is only a notice") << true << 1;
        QTest::newRow("question -32768") << true << -32768;
    }
    void unknownIdentifiersShowAnEmptyBox()
    {
        QFETCH(bool, question);
        QFETCH(int, id);
        OrderedUi ui;
        auto &lib = clsLibrary::instance();
        if (question) {
            qint16 result = -99;
            lib.MESSAGEBOXFCN(static_cast<qint16>(id), "a", "b", "c", "d", result);
            QCOMPARE(result, qint16(MsgResult::Ok));
        } else {
            lib.MESSAGEBOX(static_cast<qint16>(id), "a", "b", "c", "d");
        }
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages.first().text, QString());
        QCOMPARE(ui.messages.first().style, 0);
        QCOMPARE(ui.messages.first().title, QString());
        QCOMPARE(ui.beeps, 0);
    }
    void insertedTextsAreTakenLiterally()
    {
        ScriptedUiServices ui;
        clsLibrary::instance().MESSAGEBOX(6, "{2}", "{s3}{CRLF}", "1");
        QCOMPARE(ui.messages.first().text,
                 QStringLiteral("The text '{2}' have all been replaced by '{s3}{CRLF}' 1 time."));
    }
    // The real message box: the style code becomes the right icon, buttons and default button, the
    // pressed button comes back as its code, and CR LF shows as a line break.
    void qtMessageBoxShowsTheStyle_data()
    {
        QTest::addColumn<int>("style");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<int>("press"); // a standard button, or 0 for the Escape key
        QTest::addColumn<int>("result");

        using MB = QMessageBox;
        QTest::newRow("64 information") << 64 << int(MB::Information) << int(MB::Ok) << int(MB::Ok)
                                        << int(MB::Ok) << int(MsgResult::Ok);
        QTest::newRow("0 plain") << 0 << int(MB::NoIcon) << int(MB::Ok) << int(MB::Ok) << 0
                                 << int(MsgResult::Ok);
        QTest::newRow("292 yes/no, no default")
            << 292 << int(MB::Question) << int(MB::Yes | MB::No) << int(MB::No) << int(MB::Yes)
            << int(MsgResult::Yes);
        QTest::newRow("35 yes/no/cancel")
            << 35 << int(MB::Question) << int(MB::Yes | MB::No | MB::Cancel) << int(MB::Yes)
            << int(MB::Cancel) << int(MsgResult::Cancel);
        QTest::newRow("35 escape cancels")
            << 35 << int(MB::Question) << int(MB::Yes | MB::No | MB::Cancel) << int(MB::Yes) << 0
            << int(MsgResult::Cancel);
    }
    void qtMessageBoxShowsTheStyle()
    {
        QFETCH(int, style);
        QFETCH(int, icon);
        QFETCH(int, buttons);
        QFETCH(int, defaultButton);
        QFETCH(int, press);
        QFETCH(int, result);

        struct Seen
        {
            bool found = false;
            int icon = -1, buttons = -1, defaultButton = -1;
            QString text, title;
            Qt::TextFormat format = Qt::AutoText;
        } seen;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            poll.stop();
            seen.found = true;
            seen.icon = box->icon();
            seen.buttons = int(box->standardButtons());
            seen.defaultButton =
                box->defaultButton() ? int(box->standardButton(box->defaultButton())) : -1;
            seen.text = box->text();
            seen.title = box->windowTitle();
            seen.format = box->textFormat();
            if (press)
                box->button(QMessageBox::StandardButton(press))->click();
            else
                QTest::keyClick(box, Qt::Key_Escape);
        });
        poll.start();
        // A guard so a box that is never found cannot hang the test.
        QTimer::singleShot(5000, &poll, [] {
            if (QWidget *w = QApplication::activeModalWidget())
                w->close();
        });

        QtUiServices real;
        const int pressed = real.messageBox(QStringLiteral("one <b>line</b>\r\ntwo"), style,
                                            QStringLiteral("Title"));
        QVERIFY(seen.found);
        QCOMPARE(seen.icon, icon);
        QCOMPARE(seen.buttons, buttons);
        QCOMPARE(seen.defaultButton, defaultButton);
        QCOMPARE(seen.text, QStringLiteral("one <b>line</b>\ntwo"));
        QCOMPARE(seen.format, Qt::PlainText);
        QCOMPARE(seen.title, QStringLiteral("Title"));
        QCOMPARE(pressed, result);
    }

private:
    static void addStyleColumns();
};

void tst_Catalogue::addStyleColumns()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<bool>("secondIsDefault");
    QTest::addColumn<QString>("title");
}

QTEST_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
