#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <QCursor>
#include <QMenu>
#include <QTimer>

#include "chrome/StatusDescriptions.h"
#include "core/MainWindowFixture.h"
#include "core/WindowArranger.h"

class tst_Chrome : public QObject
{
    Q_OBJECT
private slots:
    void toolbarButtons_data();
    void toolbarButtons();
    void statusBarCaption_data();
    void statusBarCaption();
    void textSelectFollowsSelection();
    void toolbarToggleIsStored_data();
    void toolbarToggleIsStored();
    void tileRects_data();
    void tileRects();
    void descriptions_data();
    void descriptions();
    void hoveredButtonDescribedUntilPointerLeaves_data();
    void hoveredButtonDescribedUntilPointerLeaves();
    void highlightedMenuItemDescribed();
};

void tst_Chrome::toolbarButtons_data()
{
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("standard") << "TBSTD"
                              << QStringList{"NEW",          "OPEN",         "SAVE",
                                             "SAVE AS",      "PRINT",        "PRINT PREVIEW",
                                             "HTML PREVIEW", "HEADERFOOTER", "SPELL CHECKER",
                                             "UNDO",         "CUT",          "COPY",
                                             "CLEAR",        "PASTE",        "FORMAT PAINTER",
                                             "SELECT ALL",   "FIND",         "REPLACE",
                                             "DATE",         "TIME",         "FILE",
                                             "PICTURE",      "SYMBOL"};
    QTest::newRow("formatting") << "TBFMT"
                                << QStringList{"INCREASE FONT SIZE",
                                               "DECREASE FONT SIZE",
                                               "FONT COLOR",
                                               "BOLD",
                                               "ITALIC",
                                               "UNDERLINE",
                                               "BULLETS",
                                               "INCREASE INDENT",
                                               "DECREASE INDENT",
                                               "ALIGN LEFT",
                                               "ALIGN CENTER",
                                               "ALIGN RIGHT"};
}

void tst_Chrome::toolbarButtons()
{
    QFETCH(QString, bar);
    QFETCH(QStringList, keys);
    MainWindowFixture f;
    frmMain &m = f.start();
    auto *toolbar = m.findChild<QToolBar *>(bar);
    QVERIFY(toolbar);
    QStringList found;
    for (QAction *a : toolbar->actions())
        if (!a->isSeparator() && !a->objectName().isEmpty())
            found.append(a->objectName());
    QCOMPARE(found, keys);
    for (const QString &k : keys)
        QCOMPARE(m.button(k)->objectName(), k);
    if (bar == QLatin1String("TBFMT")) {
        for (const char *box : {"CBOFNTNM", "CBOFNTSZ", "CBOFNTSTYL"})
            QVERIFY2(m.findChild<QComboBox *>(QString::fromLatin1(box)), box);
        QCOMPARE(m.fontSizeBox()->count(), 40);
        QCOMPARE(m.fontSizeBox()->itemText(39), QStringLiteral("400"));
    }
}

void tst_Chrome::statusBarCaption_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("pointer");
    QTest::addColumn<QString>("shown");
    QTest::newRow("working") << "Obtaining settings..." << 11 << "Obtaining settings....";
    QTest::newRow("cleared") << "" << 0 << "";
}

void tst_Chrome::statusBarCaption()
{
    QFETCH(QString, text);
    QFETCH(int, pointer);
    QFETCH(QString, shown);
    MainWindowFixture f;
    frmMain &m = f.start();
    clsLibrary::instance().STATUSBARCAPTION(&m, text, pointer);
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(), shown);
    QCOMPARE(m.cursor().shape(), pointer == 11 ? Qt::WaitCursor : Qt::ArrowCursor);
}

void tst_Chrome::textSelectFollowsSelection()
{
    MainWindowFixture f;
    frmMain &m = f.start();
    QVERIFY(!m.button(QStringLiteral("FIND"))->isEnabled());
    QVERIFY(!m.button(QStringLiteral("COPY"))->isEnabled());
    RichTextBox *rtf = f.active()->RTF1;
    QTest::keyClicks(rtf, QStringLiteral("some words"));
    QVERIFY(m.button(QStringLiteral("FIND"))->isEnabled());
    QVERIFY(m.button(QStringLiteral("SELECT ALL"))->isEnabled());
    QVERIFY(!m.button(QStringLiteral("CUT"))->isEnabled());
    rtf->setSelStart(0);
    rtf->setSelLength(4);
    for (const char *key : {"CUT", "COPY", "CLEAR", "FORMAT PAINTER"})
        QVERIFY2(m.button(QString::fromLatin1(key))->isEnabled(), key);
    // Bold from the keyboard presses the button.
    QTest::keyClick(rtf, Qt::Key_B, Qt::ControlModifier);
    QCOMPARE(rtf->SelBold(), std::optional<bool>(true));
    QVERIFY(m.button(QStringLiteral("BOLD"))->isChecked());
}

void tst_Chrome::toolbarToggleIsStored_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::newRow("standard") << "MNUVIEWSTDBARSUBSH"
                              << "Standard Toolbar";
    QTest::newRow("formatting") << "MNUVIEWFMTBARSUBSH"
                                << "Formatting Toolbar";
    QTest::newRow("status bar") << "MNUVIEWSTATUSBAR"
                                << "Status Bar";
}

void tst_Chrome::toolbarToggleIsStored()
{
    QFETCH(QString, item);
    QFETCH(QString, value);
    MainWindowFixture f;
    frmMain &m = f.start();
    QAction *a = m.menuItem(item);
    QVERIFY(a->isChecked());
    a->trigger();
    QVERIFY(!a->isChecked());
    QCOMPARE(f.store(QStringLiteral("\\frmMain\\View"), value), QStringLiteral("False"));
    QCOMPARE(f.store(QStringLiteral("\\frmMain\\View"), QStringLiteral("Ruler")),
             QStringLiteral("True"));
    f.stop();
    frmMain &again = f.start();
    QVERIFY(!again.menuItem(item)->isChecked());
}

void tst_Chrome::tileRects_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QRect>("last");
    QTest::newRow("three stacked") << 3 << int(Qt::Horizontal) << QRect(0, 200, 300, 100);
    QTest::newRow("three side by side") << 3 << int(Qt::Vertical) << QRect(200, 0, 100, 300);
    QTest::newRow("one fills") << 1 << int(Qt::Vertical) << QRect(0, 0, 300, 300);
}

void tst_Chrome::tileRects()
{
    QFETCH(int, count);
    QFETCH(int, orientation);
    QFETCH(QRect, last);
    const auto rects =
        WindowArranger::tileRects(QRect(0, 0, 300, 300), count, Qt::Orientation(orientation));
    QCOMPARE(rects.size(), count);
    QCOMPARE(rects.last(), last);
    QVERIFY(WindowArranger::tileRects(QRect(0, 0, 300, 300), 0, Qt::Vertical).isEmpty());
}

void tst_Chrome::descriptions_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("description");
    QTest::newRow("new") << "&New..."
                         << "Create a new document";
    QTest::newRow("open with shortcut") << "&Open...\tCtrl+O"
                                        << "Open an existing document";
    QTest::newRow("print") << "&Print..."
                           << "Print the current document";
    QTest::newRow("html preview") << "&HTML Preview..."
                                  << "View the document in the default browser";
    QTest::newRow("preferences") << "Pre&ferences..."
                                 << "Change settings that affect how Pamphlexa works";
    QTest::newRow("about") << "&About"
                           << "Display information about Pamphlexa";
    QTest::newRow("help") << "&Help Topics\tF1"
                          << "Display help contents for Pamphlexa";
    QTest::newRow("padded save as") << "Save &As...                 \tF12"
                                    << "Save the current document under a new name";
    QTest::newRow("toolbar key case") << "FORMAT PAINTER"
                                      << "Copy the formatting of the selection onto other text";
    QTest::newRow("zoom in level") << "200 %"
                                   << "Zoom in to document at 200 %";
    QTest::newRow("zoom out level") << "50%"
                                    << "Zoom out of document at 50 %";
    QTest::newRow("unknown caption") << "&Something Else"
                                     << "Something Else";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_Chrome::descriptions()
{
    QFETCH(QString, caption);
    QFETCH(QString, description);
    QCOMPARE(StatusDescriptions::describe(caption, QStringLiteral("document"),
                                          QStringLiteral("Pamphlexa")),
             description);
}

void tst_Chrome::hoveredButtonDescribedUntilPointerLeaves_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("timer");
    QTest::addColumn<QString>("description");
    QTest::newRow("standard") << "FIND"
                              << "TMR1"
                              << "Find text in the document";
    QTest::newRow("formatting") << "BOLD"
                                << "tmr2"
                                << "Make the selected text bold";
}

void tst_Chrome::hoveredButtonDescribedUntilPointerLeaves()
{
    QFETCH(QString, key);
    QFETCH(QString, timer);
    QFETCH(QString, description);
    MainWindowFixture f;
    frmMain &m = f.start();
    QTimer *t = m.findChild<QTimer *>(timer);
    QVERIFY(t);
    QAction *button = m.button(key);
    QToolBar *bar = key == QLatin1String("FIND") ? m.standardToolbar() : m.formattingToolbar();
    QWidget *widget = bar->widgetForAction(button);
    QVERIFY(widget);
    QCursor::setPos(widget->mapToGlobal(widget->rect().center()));
    button->hover();
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(), description);
    QVERIFY(t->isActive());
    // While the pointer stays on the strip the description stays.
    QTest::qWait(StatusDescriptions::TimerInterval * 2 + 50);
    QVERIFY(t->isActive());
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(), description);
    QCursor::setPos(m.mapToGlobal(m.rect().center()));
    QTRY_VERIFY(!t->isActive());
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(), QString());
}

void tst_Chrome::highlightedMenuItemDescribed()
{
    MainWindowFixture f;
    frmMain &m = f.start();
    QMenu *file = m.menu(QStringLiteral("MNUFILETOP"));
    emit file->hovered(m.menuItem(QStringLiteral("MNUFILEPREFERENCES")));
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(),
             QStringLiteral("Change settings that affect how Pamphlexa works"));
    emit file->aboutToHide();
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(), QString());
    // Moving over the document area's background clears a description as well.
    emit file->hovered(m.menuItem(QStringLiteral("MNUFILENEW")));
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(), QStringLiteral("Create a new document"));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(m.mdiArea()->viewport(), &move);
    QCOMPARE(m.panel(frmMain::PanelDescription)->text(), QString());
    // Menu items carry the icons of their toolbar buttons.
    QCOMPARE(m.menuItem(QStringLiteral("MNUEDITCUT"))->icon().cacheKey(),
             m.button(QStringLiteral("CUT"))->icon().cacheKey());
}

QTEST_MAIN(tst_Chrome)
#include "tst_chrome.moc"
