// The main window's printing commands reach the print engine and the page setup.
#include <QtTest>

#include <QLineEdit>
#include <QTabWidget>

#include "core/MainWindowFixture.h"
#include "printing/clsPrinting.h"
#include "printing/frmPPrev.h"

class tst_PrintCommands : public QObject
{
    Q_OBJECT
private slots:
    void menuItems_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("dialog"); // the program dialog shown, if any
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("printDialogs");
        QTest::newRow("print") << "MNUFILEPRINT"
                               << "" << -1 << 1;
        QTest::newRow("preview") << "MNUFILEPRINTPREVIEW"
                                 << "frmPPrev" << -1 << 0;
        QTest::newRow("page setup") << "MNUFILEPAGESETUP"
                                    << "frmPSetup" << 0 << 0;
        QTest::newRow("header/footer") << "MNUVIEWHEADERFOOTER"
                                       << "frmPSetup" << 1 << 0;
    }
    void menuItems()
    {
        QFETCH(QString, item);
        QFETCH(QString, dialog);
        QFETCH(int, tab);
        QFETCH(int, printDialogs);
        MainWindowFixture f;
        clsPrinting::destroy();
        const QString pdf = f.settings.path(QStringLiteral("out.pdf"));
        clsPrinting::instance().printer().usePdf(pdf);
        frmMain &m = f.start();
        QTest::keyClicks(f.active()->RTF1, QStringLiteral("Printed text"));
        // A document saved under a name: the footer's second field defaults to it.
        const QString saved = f.settings.path(QStringLiteral("letter.rtf"));
        f.ui.fileAnswers.enqueue({{saved}, 1, f.settings.path(QString())});
        m.menuItem(QStringLiteral("MNUFILESAVEAS"))->trigger();

        QString shownName;
        int shownTab = -1;
        QString field2;
        QString pages;
        f.ui.dialogHandler = [&](QWidget *w) {
            shownName = w->objectName();
            if (auto *tabs = w->findChild<QTabWidget *>(QStringLiteral("TABSTRIP1")))
                shownTab = tabs->currentIndex();
            if (auto *text = w->findChild<QLineEdit *>(QStringLiteral("TXTFOOTFIELD2")))
                field2 = text->text();
            if (auto *preview = qobject_cast<frmPPrev *>(w))
                pages = preview->panelText(8);
            return 0;
        };
        m.menuItem(item)->trigger();
        QCOMPARE(shownName, dialog);
        QCOMPARE(shownTab, tab);
        QCOMPARE(f.ui.printDialogs, printDialogs);
        QCOMPARE(QFile::exists(pdf), printDialogs > 0);
        if (dialog == QLatin1String("frmPSetup"))
            QCOMPARE(field2, saved);
        if (dialog == QLatin1String("frmPPrev"))
            QCOMPARE(pages, QStringLiteral("1"));
        f.stop();
        clsPrinting::destroy();
    }
};

QTEST_MAIN(tst_PrintCommands)
#include "tst_printcommands.moc"
