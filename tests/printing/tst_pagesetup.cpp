// The page setup dialog and the print preview window.
#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "PrintFixture.h"
#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "printing/SpinText.h"
#include "printing/frmPPrev.h"
#include "printing/frmPSetup.h"

namespace {
template <typename T> T *child(QWidget &w, const char *name)
{
    T *found = w.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

QString stored(const QString &key, const QString &name)
{
    return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, key, name,
                                             QStringLiteral("<none>"));
}

const char *const ItemBoxes[] = {"CHKHEADTITLE",  "CHKHEADDATE",   "CHKHEADTIME", "CHKHEADLINE",
                                 "CHKFOOTFIELD1", "CHKFOOTFIELD2", "CHKFOOTPGNO", "CHKFOOTLINE"};
} // namespace

class tst_PageSetup : public QObject
{
    Q_OBJECT
    std::unique_ptr<PrintFixture> f;
    RichTextBox box;

    // Opens the preview of box through the engine and runs check on it while it is shown.
    void preview(const std::function<void(frmPPrev &)> &check)
    {
        bool shown = false;
        f->ui.dialogHandler = [&](QWidget *w) {
            auto *p = qobject_cast<frmPPrev *>(w);
            if (p) {
                shown = true;
                check(*p);
            }
            return 0;
        };
        clsPrinting::instance().PRINTPREVIEW(nullptr, &box);
        QVERIFY(shown);
    }

private slots:
    void init()
    {
        AppState::reset();
        f = std::make_unique<PrintFixture>();
    }
    void cleanup()
    {
        f.reset();
        AppState::reset();
    }

    void firstOpeningShowsDefaultsAndCancelStoresNothing()
    {
        {
            frmPSetup dialog;
            for (const char *name : {"UDNLEFT", "UDNRIGHT", "UDNTOP", "UDNBOTTOM"})
                QCOMPARE(child<SpinText>(dialog, name)->text(), QStringLiteral("1.0"));
            QVERIFY(child<QCheckBox>(dialog, "CHKHEADER")->isChecked());
            QVERIFY(child<QCheckBox>(dialog, "CHKFOOTER")->isChecked());
            for (const char *name : ItemBoxes)
                QVERIFY2(child<QCheckBox>(dialog, name)->isChecked(), name);
            QCOMPARE(child<QLineEdit>(dialog, "TXTHEADTITLE")->text(),
                     QStringLiteral("Pamphlexa Report."));
            QCOMPARE(child<QLineEdit>(dialog, "TXTFOOTFIELD2")->text(), QStringLiteral("Untitled"));
            QCOMPARE(child<QComboBox>(dialog, "CBOPAPER")->currentText(), QStringLiteral("Letter"));
            QVERIFY(!child<QPushButton>(dialog, "BTNOK")->isEnabled());
            child<SpinText>(dialog, "UDNLEFT")->setText(QStringLiteral("2"));
            QVERIFY(child<QPushButton>(dialog, "BTNOK")->isEnabled());
            child<QPushButton>(dialog, "BTNCANCEL")->click();
        }
        QCOMPARE(stored(PrintSettings::itemsKey(), QStringLiteral("Page Margin 0")),
                 QStringLiteral("<none>"));
        QCOMPARE(stored(PrintSettings::headerKey(), QStringLiteral("Checked")),
                 QStringLiteral("<none>"));
    }

    // A margin is stored as typed and shown with its tenths.
    void marginsStoredAsTyped()
    {
        {
            frmPSetup dialog;
            child<SpinText>(dialog, "UDNTOP")->setText(QStringLiteral("2"));
            child<QPushButton>(dialog, "BTNOK")->click();
        }
        QCOMPARE(PrintSettings::marginText(PrintSettings::Top), QStringLiteral("2"));
        QCOMPARE(PrintSettings::marginText(PrintSettings::Left), QStringLiteral("1.0"));
        frmPSetup again;
        QCOMPARE(child<SpinText>(again, "UDNTOP")->text(), QStringLiteral("2.0"));
    }

    void defaultsButtons()
    {
        PrintFixture::setMargins(2, 2, 2, 2);
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER,
                                           PrintSettings::headerKey(), QStringLiteral("txtTitle"),
                                           QStringLiteral("Mine"));
        frmPSetup dialog;
        auto *area = child<QFrame>(dialog, "SHPAREA");
        const QRect narrow = area->geometry();
        child<QPushButton>(dialog, "BTNDEFAULTS")->click();
        for (const char *name : {"UDNLEFT", "UDNRIGHT", "UDNTOP", "UDNBOTTOM"})
            QCOMPARE(child<SpinText>(dialog, name)->text(), QStringLiteral("1.0"));
        QVERIFY(area->width() > narrow.width() && area->height() > narrow.height());
        child<QCheckBox>(dialog, "CHKHEADER")->setChecked(false);
        child<QCheckBox>(dialog, "CHKFOOTLINE")->setChecked(false);
        child<QPushButton>(dialog, "BTNDEFAULTSHF")->click();
        QVERIFY(child<QCheckBox>(dialog, "CHKHEADER")->isChecked());
        QVERIFY(child<QCheckBox>(dialog, "CHKFOOTLINE")->isChecked());
        QCOMPARE(child<QLineEdit>(dialog, "TXTHEADTITLE")->text(),
                 QStringLiteral("Pamphlexa Report."));
    }

    // Unchecking the header greys its items but keeps their values, which OK stores as they
    // stand.
    void headerOffKeepsItems()
    {
        {
            frmPSetup dialog;
            child<QCheckBox>(dialog, "CHKHEADER")->click();
            auto *title = child<QCheckBox>(dialog, "CHKHEADTITLE");
            QVERIFY(!title->isEnabled());
            QVERIFY(title->isChecked());
            QVERIFY(!child<QLineEdit>(dialog, "TXTHEADTITLE")->isEnabled());
            child<QCheckBox>(dialog, "CHKFOOTPGNO")->click();
            QVERIFY(child<QLineEdit>(dialog, "TXTFOOTPGNO")->isHidden());
            child<QPushButton>(dialog, "BTNOK")->click();
        }
        QCOMPARE(stored(PrintSettings::headerKey(), QStringLiteral("Checked")),
                 QStringLiteral("0"));
        QCOMPARE(stored(PrintSettings::headerKey(), QStringLiteral("chkTitle")),
                 QStringLiteral("1"));
        QCOMPARE(stored(PrintSettings::footerKey(), QStringLiteral("chkPgNo")),
                 QStringLiteral("0"));
        // Field 2 left as the document's own name is stored empty: each document prints its own.
        QCOMPARE(stored(PrintSettings::footerKey(), QStringLiteral("txtField2")), QString());
        const HeaderFooterSettings hf = HeaderFooterSettings::read();
        QVERIFY(!hf.header && hf.headTitle && !hf.pageNo);
        QCOMPARE(hf.field2Text, QStringLiteral("Untitled"));
    }

    void paperAndOrientationConfirmed_data()
    {
        QTest::addColumn<QString>("paper"); // "" leaves the paper alone
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<QString>("paperCode");
        QTest::addColumn<QString>("orientCode");
        QTest::addColumn<QString>("reopened");
        QTest::newRow("executive, landscape") << "Executive" << true << "261"
                                              << "2"
                                              << "Executive";
        QTest::newRow("nothing chosen") << "" << false << "0"
                                        << "1"
                                        << "Letter";
    }
    void paperAndOrientationConfirmed()
    {
        QFETCH(QString, paper);
        QFETCH(bool, landscape);
        QFETCH(QString, paperCode);
        QFETCH(QString, orientCode);
        QFETCH(QString, reopened);
        {
            frmPSetup dialog;
            auto *list = child<QComboBox>(dialog, "CBOPAPER");
            if (!paper.isEmpty()) {
                list->setCurrentText(paper);
                emit list->activated(list->currentIndex());
                QCOMPARE(dialog.PaperChoice, paperCode);
            }
            if (landscape)
                child<QRadioButton>(dialog, "OPTORIENTLAND")->click();
            child<SpinText>(dialog, "UDNLEFT")->setText(QStringLiteral("1.2"));
            child<QPushButton>(dialog, "BTNOK")->click();
        }
        QCOMPARE(AppState::instance().PrintPaperSize, paperCode);
        QCOMPARE(AppState::instance().PrintOrientation, orientCode);
        frmPSetup again;
        QCOMPARE(child<QComboBox>(again, "CBOPAPER")->currentText(), reopened);
        QCOMPARE(child<QRadioButton>(again, "OPTORIENTLAND")->isChecked(), landscape);
        if (landscape)
            QVERIFY(clsPrinting::instance().printer().Width() >
                    clsPrinting::instance().printer().Height());
    }

    void previewNavigation_data()
    {
        QTest::addColumn<QStringList>("paragraphs");
        QTest::addColumn<QString>("step"); // next, last, or a page number
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("back");    // first and previous enabled
        QTest::addColumn<bool>("forward"); // next and last enabled
        const QStringList five{"P1", "\f", "P2", "\f", "P3", "\f", "P4", "\f", "P5"};
        QTest::newRow("one page") << QStringList{"Only"} << "next"
                                  << "1" << false << false;
        QTest::newRow("opens on page 1") << five << ""
                                         << "1" << false << true;
        QTest::newRow("choose page 3") << five << "3"
                                       << "3" << true << true;
        QTest::newRow("last") << five << "last"
                              << "5" << true << false;
    }
    void previewNavigation()
    {
        QFETCH(QStringList, paragraphs);
        QFETCH(QString, step);
        QFETCH(QString, page);
        QFETCH(bool, back);
        QFETCH(bool, forward);
        box.setTextRTF(rtfOf(paragraphs));
        preview([&](frmPPrev &p) {
            QImage first = p.pagePicture();
            if (step == QLatin1String("next"))
                p.PAGENEXT();
            else if (step == QLatin1String("last"))
                p.PAGEEND();
            else if (!step.isEmpty())
                child<QComboBox>(p, "CBOPGNO")->setCurrentText(step);
            QCOMPARE(child<QComboBox>(p, "CBOPGNO")->currentText(), page);
            QCOMPARE(p.panelText(6), page);
            QCOMPARE(p.panelText(8), QString::number(child<QComboBox>(p, "CBOPGNO")->count()));
            QCOMPARE(p.panelText(3), QStringLiteral("8.50 x 11.00 inches"));
            QCOMPARE(p.pagePicture() == first, page == QLatin1String("1"));
            for (const char *name : {"MNUVIEWFIRST", "MNUVIEWPREVIOUS"})
                QCOMPARE(p.menuItem(QLatin1String(name))->isEnabled(), back);
            for (const char *name : {"MNUVIEWNEXT", "MNUVIEWLAST"})
                QCOMPARE(p.menuItem(QLatin1String(name))->isEnabled(), forward);
            QCOMPARE(p.button(QStringLiteral("FIRST PAGE"))->isEnabled(), back);
            QCOMPARE(p.button(QStringLiteral("LAST PAGE"))->isEnabled(), forward);
        });
    }

    void previewZoom_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("action"); // in, out, left click, right click
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<bool>("canZoomIn");
        QTest::addColumn<bool>("canZoomOut");
        QTest::newRow("left click zooms in") << "25 %"
                                             << "left"
                                             << "50 %" << true << true;
        QTest::newRow("right click zooms out") << "75 %"
                                               << "right"
                                               << "50 %" << true << true;
        QTest::newRow("200 % stays") << "200 %"
                                     << "in"
                                     << "200 %" << false << true;
        QTest::newRow("page width stays") << "Page Width"
                                          << "out"
                                          << "Page Width" << false << false;
    }
    void previewZoom()
    {
        QFETCH(QString, start);
        QFETCH(QString, action);
        QFETCH(QString, zoom);
        QFETCH(bool, canZoomIn);
        QFETCH(bool, canZoomOut);
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, PrintSettings::itemsKey(),
                                           QStringLiteral("Zoom"), start);
        box.setTextRTF(rtfOf({"Text"}));
        preview([&](frmPPrev &p) {
            QCOMPARE(child<QComboBox>(p, "CBOPGZOOM")->currentText(), start);
            auto *image = child<QLabel>(p, "IMGPREVIEW");
            if (action == QLatin1String("in"))
                p.ZOOMIN();
            else if (action == QLatin1String("out"))
                p.ZOOMOUT();
            else if (action == QLatin1String("left"))
                QTest::mouseClick(image, Qt::LeftButton);
            else if (action == QLatin1String("right"))
                QTest::mouseClick(image, Qt::RightButton);
            QCOMPARE(child<QComboBox>(p, "CBOPGZOOM")->currentText(), zoom);
            QCOMPARE(p.button(QStringLiteral("ZOOM IN"))->isEnabled(), canZoomIn);
            QCOMPARE(p.button(QStringLiteral("ZOOM OUT"))->isEnabled(), canZoomOut);
            const QString item = zoom == QLatin1String("Page Width")
                                     ? QStringLiteral("MNUZOOMPW")
                                     : QStringLiteral("MNUZOOM") + zoom.section(' ', 0, 0);
            QVERIFY(p.menuItem(item)->isChecked());
            if (zoom.endsWith(QLatin1Char('%'))) {
                // A Letter page at 100 % is 816 pixels wide (15 twips to the pixel).
                const int percent = zoom.section(' ', 0, 0).toInt();
                QCOMPARE(p.imageSize().width(), qRound(816 * percent / 100.0));
            }
        });
    }

    void previewRemembersItsChoices()
    {
        box.setTextRTF(rtfOf({"Text"}));
        preview([](frmPPrev &p) {
            child<QComboBox>(p, "CBOPGZOOM")->setCurrentText(QStringLiteral("75 %"));
            p.menuItem(QStringLiteral("MNUVIEWTOOLBAR"))->trigger();
            p.reject();
        });
        QCOMPARE(stored(PrintSettings::itemsKey(), QStringLiteral("Zoom")), QStringLiteral("75 %"));
        QCOMPARE(stored(PrintSettings::itemsKey(), QStringLiteral("Toolbar")),
                 QStringLiteral("False"));
        preview([](frmPPrev &p) {
            QCOMPARE(child<QComboBox>(p, "CBOPGZOOM")->currentText(), QStringLiteral("75 %"));
            QVERIFY(!p.menuItem(QStringLiteral("MNUVIEWTOOLBAR"))->isChecked());
            QVERIFY(child<QWidget>(p, "PICTBAR")->isHidden());
        });
    }
};

QTEST_MAIN(tst_PageSetup)
#include "tst_pagesetup.moc"
