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

    // The inserted texts, taken literally, and the plural that follows the count; the no-printer
    // notice beeps before its box.
    void notices_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("beep");
        QTest::newRow("found once")
            << 3 << QStringList{"cat", "1"} << "'cat' has been found '1' time." << false;
        QTest::newRow("found, plural follows the second text")
            << 3 << QStringList{"cat", "5", "1"} << "found '5' times." << false;
        QTest::newRow("replaced, plural follows the third text")
            << 6 << QStringList{"{2}", "{s3}{CRLF}", "2"}
            << "'{2}' have all been replaced by '{s3}{CRLF}' 2 times." << false;
        QTest::newRow("no printer") << 13 << QStringList{} << "use the printer functions." << true;
    }
    void notices()
    {
        QFETCH(int, id);
        QFETCH(QStringList, texts);
        QFETCH(QString, ending);
        QFETCH(bool, beep);
        texts.resize(4);
        OrderedUi ui;
        clsLibrary::instance().MESSAGEBOX(static_cast<qint16>(id), texts[0], texts[1], texts[2],
                                          texts[3]);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY2(ui.messages.first().text.endsWith(ending), qPrintable(ui.messages.first().text));
        QCOMPARE(ui.events, beep ? QStringList({"beep", "box"}) : QStringList({"box"}));
    }
    // A question gives back the answer; deleting a picture defaults to No.
    void questions_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("buttons");
        QTest::addColumn<bool>("secondIsDefault");
        QTest::addColumn<int>("answer");
        QTest::newRow("delete") << 2 << int(MsgStyle::YesNo) << true << int(MsgResult::Yes);
        QTest::newRow("save on close")
            << 6 << int(MsgStyle::YesNoCancel) << false << int(MsgResult::Cancel);
    }
    void questions()
    {
        QFETCH(int, id);
        QFETCH(int, buttons);
        QFETCH(bool, secondIsDefault);
        QFETCH(int, answer);
        OrderedUi ui;
        ui.messageAnswers.enqueue(answer);
        qint16 result = -99;
        clsLibrary::instance().MESSAGEBOXFCN(static_cast<qint16>(id), "p.bmp", QString(), QString(),
                                             QString(), result);
        QCOMPARE(result, answer);
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages.first().text.contains(QLatin1String("'p.bmp'")));
        QCOMPARE(ui.messages.first().style & 0x0F, buttons);
        QCOMPARE(bool(ui.messages.first().style & MsgStyle::DefaultButton2), secondIsDefault);
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
        QTest::newRow("292 yes/no, no default")
            << 292 << int(MB::Question) << int(MB::Yes | MB::No) << int(MB::No) << int(MB::Yes)
            << int(MsgResult::Yes);
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
};

QTEST_MAIN(tst_Catalogue)
#include "tst_catalogue.moc"
