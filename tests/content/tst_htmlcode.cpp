#include <QAction>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include "content/HtmlCode.h"
#include "content/frmHTMLCode.h"
#include "content/frmHTMLCodeAdd.h"
#include "core/MainWindowFixture.h"

// The HTML helpers, the colour code window over a running program, and the HTML preview.
class tst_HtmlCode : public QObject
{
    Q_OBJECT

private:
    template <typename T> static T *child(QWidget *w, const char *name)
    {
        return w->findChild<T *>(QLatin1String(name));
    }
    static QStringList labels(frmHTMLCode *w)
    {
        return {child<QLabel>(w, "LBLRED")->text(), child<QLabel>(w, "LBLGREEN")->text(),
                child<QLabel>(w, "LBLBLUE")->text()};
    }
    static frmHTMLCode *open(MainWindowFixture &f)
    {
        f.main().menuItem(QStringLiteral("MNUINSERTHTMLCODE"))->trigger();
        return frmHTMLCode::loaded();
    }
    // Types the code into the add dialog when it is shown; accepted only when OK is enabled.
    static void typeCode(MainWindowFixture &f, const QString &typed)
    {
        f.ui.dialogHandler = [typed](QWidget *w) {
            auto *add = qobject_cast<frmHTMLCodeAdd *>(w);
            if (!add)
                return 0;
            child<QLineEdit>(add, "TXTCODE")->setText(typed);
            child<QPushButton>(add, "BTNOK")->click();
            return add->result();
        };
    }
    static void closeWindow(frmHTMLCode *w, const char *button)
    {
        child<QPushButton>(w, button)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

private slots:
    // Web addresses get "http://" unless they name http or ftp already.
    void formatCheck_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const char *const rows[][2] = {{"", ""},
                                       {"HTTP://Example.org", "HTTP://Example.org"},
                                       {"ftp://files.example.org", "ftp://files.example.org"},
                                       {"https://x.org", "http://https://x.org"}};
        for (const auto &r : rows)
            QTest::newRow(r[0]) << QString::fromLatin1(r[0]) << QString::fromLatin1(r[1]);
    }
    void formatCheck()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(clsLibrary::instance().HTMLFORMATCHECK(text), expected);
    }

    void codes_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QColor>("color");
        QTest::addColumn<QString>("written"); // the colour's code
        QTest::newRow("lower case") << "#0a0b0c" << QColor(10, 11, 12) << "#0A0B0C";
        QTest::newRow("not hex reads 0") << "#ZZ1G80" << QColor(0, 1, 128) << "#000180";
        QTest::newRow("short") << "#FF" << QColor(255, 0, 0) << "#FF0000";
    }
    void codes()
    {
        QFETCH(QString, code);
        QFETCH(QColor, color);
        QFETCH(QString, written);
        QCOMPARE(HtmlCode::color(code), color);
        QCOMPARE(clsLibrary::instance().GETHEXVAL(color), written);
    }

    void addSelectDeleteAndKeep()
    {
        MainWindowFixture f;
        f.start();
        f.active()->RTF1->setSelColor(QColor(0, 0, 255));
        frmHTMLCode *w = open(f);
        QVERIFY(w && w->isVisible() && !w->isModal());
        QCOMPARE(w->sampleColor(), QColor(0, 0, 255));
        QVERIFY(!child<QPushButton>(w, "BTNCLEARALL")->isEnabled());

        for (const char *typed : {"FF80", "FF80001"}) { // 4 and 7 characters cannot be confirmed
            typeCode(f, QString::fromLatin1(typed));
            child<QPushButton>(w, "Command1")->click();
        }
        QVERIFY(w->codes().isEmpty());
        typeCode(f, QStringLiteral("FF8000"));
        child<QPushButton>(w, "Command1")->click();
        f.ui.colorAnswers.enqueue(QColor(1, 2, 3));
        child<QPushButton>(w, "BTNADD")->click();
        f.ui.colorAnswers.enqueue(std::nullopt); // a cancelled colour dialog adds nothing
        child<QPushButton>(w, "BTNADD")->click();
        QCOMPARE(w->codes(), (QStringList{"#FF8000", "#010203"}));
        QCOMPARE(labels(w), (QStringList{"1", "2", "3"}));

        auto *list = child<QListWidget>(w, "LSTPREVIOUS");
        list->setCurrentRow(0);
        QCOMPARE(labels(w), (QStringList{"255", "128", "0"}));
        QCOMPARE(w->sampleColor(), QColor(255, 128, 0));
        f.ui.colorAnswers.enqueue(QColor(0x12, 0x34, 0x56));
        child<QPushButton>(w, "BTNMODIFY")->click();
        QCOMPARE(w->codes(), (QStringList{"#123456", "#010203"}));

        list->setCurrentRow(1);
        child<QPushButton>(w, "BTNCLEAR")->click();
        QCOMPARE(w->codes(), QStringList{"#123456"});
        QVERIFY(!child<QPushButton>(w, "BTNINSERT")->isEnabled());
        closeWindow(w, "BTNOK");
        QVERIFY(!frmHTMLCode::loaded());
        QCOMPARE(HtmlCode::load(), QStringList{"#123456"});

        // Cancel forgets the changes.
        w = open(f);
        QCOMPARE(w->codes(), QStringList{"#123456"});
        child<QPushButton>(w, "BTNCLEARALL")->click();
        QCOMPARE(labels(w), (QStringList{"", "", ""}));
        QCOMPARE(w->sampleColor(), QColor(0, 0, 255));
        closeWindow(w, "BTNCANCEL");
        QCOMPARE(HtmlCode::load(), QStringList{"#123456"});

        // Clear All and OK leave a count of 0.
        w = open(f);
        child<QPushButton>(w, "BTNCLEARALL")->click();
        QVERIFY(child<QPushButton>(w, "BTNOK")->isEnabled());
        closeWindow(w, "BTNOK");
        QCOMPARE(f.store(QStringLiteral("\\frmHTMLCode\\Items Total"), QStringLiteral("VALTOTAL")),
                 QStringLiteral("0"));
        QVERIFY(open(f)->codes().isEmpty());
    }

    void insertSavesAndStaysOpen()
    {
        MainWindowFixture f;
        f.start();
        f.setStore(QStringLiteral("\\frmHTMLCode\\Items Total"), QStringLiteral("VALTOTAL"),
                   QStringLiteral("3"));
        f.setStore(QStringLiteral("\\frmHTMLCode\\Items"), QStringLiteral("0"),
                   QStringLiteral("#00FF00"));
        f.setStore(QStringLiteral("\\frmHTMLCode\\Items"), QStringLiteral("2"),
                   QStringLiteral("#0000FF"));
        frmHTMLCode *w = open(f);
        QCOMPARE(w->codes(), (QStringList{"#00FF00", "0", "#0000FF"})); // a missing value is "0"
        child<QListWidget>(w, "LSTPREVIOUS")->setCurrentRow(2);
        child<QPushButton>(w, "BTNINSERT")->click();
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("#0000FF"));
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("#0000FF"));
        QVERIFY(frmHTMLCode::loaded() == w && w->isVisible());
        QCOMPARE(f.store(QStringLiteral("\\frmHTMLCode\\Items"), QStringLiteral("1")),
                 QStringLiteral("0"));

        // A huge stored count reads a bounded list.
        f.setStore(QStringLiteral("\\frmHTMLCode\\Items Total"), QStringLiteral("VALTOTAL"),
                   QStringLiteral("2000000000"));
        QCOMPARE(HtmlCode::load().size(), HtmlCode::MaxCodes);
    }

    void previewOpensTheSavedFile()
    {
        MainWindowFixture f;
        const QString page = f.file(QStringLiteral("my page.htm"), "<p>hi</p>");
        frmMain &m = f.start(page);
        m.menuItem(QStringLiteral("MNUVIEWHTMLPREVIEW"))->trigger();
        QCOMPARE(f.ui.openedUrls, QStringList{QUrl::fromLocalFile(page).toString()});
        QVERIFY(f.ui.openedUrls[0].startsWith(QStringLiteral("file:///")));

        // A document never saved has no file to show.
        f.cmd().FILENEW();
        QVERIFY(f.active()->isUntitled());
        f.cmd().VIEWHTMLPREVIEW();
        QCOMPARE(f.ui.openedUrls.size(), 1);
    }
};

QTEST_MAIN(tst_HtmlCode)
#include "tst_htmlcode.moc"
