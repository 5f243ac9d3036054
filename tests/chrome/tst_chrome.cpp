#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

#include <QCursor>
#include <QMenu>
#include <QTimer>

#include "chrome/StatusDescriptions.h"
#include "core/MainWindowFixture.h"
#include "editing/frmPopup.h"
#include "pictures/frmPic.h"
#include <QClipboard>
#include <memory>

class tst_Chrome : public QObject
{
    Q_OBJECT
private slots:
    void commandIcons()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        QVERIFY(!m.windowIcon().isNull());
        QVERIFY(!m.windowIcon().pixmap(48).isNull());
        QList<QAction *> commands;
        for (QToolBar *bar : {m.standardToolbar(), m.formattingToolbar()})
            for (QAction *a : bar->actions())
                if (!a->isSeparator() && !a->objectName().isEmpty())
                    commands.append(a);
        for (const char *item : {"MNUFILECLOSE", "MNUEDITFINDNEXT", "MNUEDITGOTO",
                                 "MNUWINDOWCASCADE", "MNUWINDOWCLOSEALL", "MNUHELPABOUT"})
            commands.append(m.menuItem(QString::fromLatin1(item)));
        for (QAction *a : commands) {
            const QImage normal = a->icon().pixmap(24, QIcon::Normal).toImage();
            const QImage disabled = a->icon().pixmap(24, QIcon::Disabled).toImage();
            QVERIFY2(!normal.isNull() && !disabled.isNull(), qPrintable(a->objectName()));
            // Drawn (not blank), and disabled looks clearly different: no colour, fainter.
            int opaque = 0, coloured = 0, disabledAlpha = 0, normalAlpha = 0;
            for (int y = 0; y < normal.height(); ++y)
                for (int x = 0; x < normal.width(); ++x) {
                    const QRgb n = normal.pixel(x, y), d = disabled.pixel(x, y);
                    opaque += qAlpha(n) > 128;
                    coloured += qAlpha(d) > 0 && (qRed(d) != qGreen(d) || qGreen(d) != qBlue(d));
                    normalAlpha += qAlpha(n);
                    disabledAlpha += qAlpha(d);
                }
            QVERIFY2(opaque > 20, qPrintable(a->objectName()));
            QVERIFY2(coloured == 0 && disabledAlpha * 2 < normalAlpha, qPrintable(a->objectName()));
        }
    }
    void commandStates_data()
    {
        QTest::addColumn<QString>("steps");
        // Undo, Cut, Copy, Paste: 1 enabled, 0 disabled, on the button and both menus alike.
        QTest::addColumn<QString>("states");
        QTest::newRow("new empty document") << ""
                                            << "0000";
        QTest::newRow("typed text") << "type"
                                    << "1000";
        QTest::newRow("selected text") << "type select"
                                       << "1110";
        QTest::newRow("copied, then a new document") << "type select copy new"
                                                     << "0001";
        QTest::newRow("copied, then undone") << "type select copy undo"
                                             << "0001";
        QTest::newRow("a text file opened") << "open"
                                            << "0000";
        QTest::newRow("the painter applied, then copied") << "type select painter apply select copy"
                                                          << "1111";
    }
    void commandStates()
    {
        QFETCH(QString, steps);
        QFETCH(QString, states);
        MainWindowFixture f;
        QGuiApplication::clipboard()->clear();
        const QString text = f.file(QStringLiteral("notes.txt"), "plain words");
        frmMain &m = f.start();
        for (const QString &step : steps.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            RichTextBox *rtf = f.active()->RTF1;
            if (step == QLatin1String("type"))
                QTest::keyClicks(rtf, QStringLiteral("words"));
            else if (step == QLatin1String("select"))
                m.menuItem(QStringLiteral("MNUEDITSELECTALL"))->trigger();
            else if (step == QLatin1String("copy"))
                m.menuItem(QStringLiteral("MNUEDITCOPY"))->trigger();
            else if (step == QLatin1String("undo"))
                m.menuItem(QStringLiteral("MNUEDITUNDO"))->trigger();
            else if (step == QLatin1String("new"))
                m.button(QStringLiteral("NEW"))->trigger();
            else if (step == QLatin1String("painter"))
                m.menuItem(QStringLiteral("MNUEDITFMTPAINTER"))->trigger();
            else if (step == QLatin1String("apply"))
                QTest::mouseClick(rtf->viewport(), Qt::LeftButton, {}, QPoint(4, 4));
            else if (step == QLatin1String("open")) {
                f.ui.fileAnswers.enqueue({{text}, 1, f.settings.path(QString())});
                m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger();
                QVERIFY(!f.active()->isModified());
            }
        }
        if (steps.contains(QLatin1String("copy")))
            QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("words"));
        if (steps.endsWith(QLatin1String("undo")))
            QCOMPARE(f.active()->RTF1->Text(), QString());
        frmPopup &popup = frmPopup::instance(m);
        const char *commands[][3] = {{"UNDO", "MNUEDITUNDO", "MNUUNDO"},
                                     {"CUT", "MNUEDITCUT", "MNUCUT"},
                                     {"COPY", "MNUEDITCOPY", "MNUCOPY"},
                                     {"PASTE", "MNUEDITPASTE", "MNUPASTE"}};
        for (int i = 0; i < 4; ++i) {
            const bool on = states[i] == QLatin1Char('1');
            QCOMPARE(m.button(QString::fromLatin1(commands[i][0]))->isEnabled(), on);
            QCOMPARE(m.menuItem(QString::fromLatin1(commands[i][1]))->isEnabled(), on);
            QCOMPARE(popup.item(QString::fromLatin1(commands[i][2]))->isEnabled(), on);
        }
    }
    void statusBarCaption()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        clsLibrary::instance().STATUSBARCAPTION(&m, QStringLiteral("Obtaining settings..."), 11);
        QCOMPARE(m.panel(frmMain::PanelDescription)->text(),
                 QStringLiteral("Obtaining settings...."));
        QCOMPARE(m.cursor().shape(), Qt::WaitCursor);
        clsLibrary::instance().STATUSBARCAPTION(&m, QString(), 0);
        QCOMPARE(m.panel(frmMain::PanelDescription)->text(), QString());
        QCOMPARE(m.cursor().shape(), Qt::ArrowCursor);
    }
    void textSelectFollowsSelection()
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
    void hoveredButtonDescribedUntilPointerLeaves()
    {
        const QString description = QStringLiteral("Make the selected text bold");
        MainWindowFixture f;
        frmMain &m = f.start();
        QTimer *t = m.findChild<QTimer *>(QStringLiteral("tmr2"));
        QVERIFY(t);
        QAction *button = m.button(QStringLiteral("BOLD"));
        QWidget *widget = m.formattingToolbar()->widgetForAction(button);
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
    void highlightedMenuItemDescribed()
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
        QCOMPARE(m.panel(frmMain::PanelDescription)->text(),
                 QStringLiteral("Create a new document"));
        QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), QPointF(5, 5), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(m.mdiArea()->viewport(), &move);
        QCOMPARE(m.panel(frmMain::PanelDescription)->text(), QString());
        // Menu items carry the icons of their toolbar buttons.
        QCOMPARE(m.menuItem(QStringLiteral("MNUEDITCUT"))->icon().cacheKey(),
                 m.button(QStringLiteral("CUT"))->icon().cacheKey());
        // The toolbars' own menu is the View menu's toolbar items: both stay in step.
        std::unique_ptr<QMenu> own(m.createPopupMenu());
        QVERIFY(own->actions().contains(m.menuItem(QStringLiteral("MNUVIEWSTDBARSUBSH"))));
        QCOMPARE(own->actions().size(), 2);
    }
    void contextMenusDescribed()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        QLabel *panel = m.panel(frmMain::PanelDescription);
        frmPopup &popup = frmPopup::instance(m);
        QMenu *document = popup.menu(QStringLiteral("MNUPOPUP"));
        emit document->hovered(popup.item(QStringLiteral("MNUCOPY")));
        QCOMPARE(panel->text(), QStringLiteral("Copy the selection to the clipboard"));
        QVERIFY(!popup.item(QStringLiteral("MNUCOPY"))->icon().isNull());
        // The picture browser's menu describes the picture; the main menus still the document.
        frmPic *browser = frmPic::SHOW(m);
        emit browser->MNUPICTOP->hovered(browser->MNUPICPROPS);
        QCOMPARE(panel->text(), QStringLiteral("Display the properties of the selected picture"));
        emit m.menu(QStringLiteral("MNUINSERTTOP"))
            ->hovered(m.menuItem(QStringLiteral("MNUINSERTPICTURE")));
        QCOMPARE(panel->text(), QStringLiteral("Insert a picture into the document"));
        frmPic::UNLOAD();
    }
};

QTEST_MAIN(tst_Chrome)
#include "tst_chrome.moc"
