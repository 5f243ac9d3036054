#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

#include "core/MainWindowFixture.h"
#include "editing/frmPopup.h"

class tst_Edit : public QObject
{
    Q_OBJECT
private slots:
    void init() { QGuiApplication::clipboard()->clear(); }
    void pasteAvailability_data()
    {
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<bool>("document");
        QTest::addColumn<bool>("enabled");

        QTest::newRow("picture alone") << "image" << true << true;
        QTest::newRow("text, no document") << "text" << false << false;
    }
    void pasteAvailability()
    {
        QFETCH(QString, clipboard);
        QFETCH(bool, document);
        QFETCH(bool, enabled);
        MainWindowFixture f;
        frmMain &m = f.start();
        frmPopup &popup = frmPopup::instance(m);
        auto *data = new QMimeData;
        if (clipboard == "text")
            data->setText(QStringLiteral("words"));
        else if (clipboard == "image") {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::red);
            data->setImageData(image);
        }
        QGuiApplication::clipboard()->setMimeData(data);
        if (!document)
            f.active()->closeAfterQuery();
        f.cmd().PASTEUPDATE();
        QCOMPARE(m.menuItem(QStringLiteral("MNUEDITPASTE"))->isEnabled(), enabled);
        QCOMPARE(m.button(QStringLiteral("PASTE"))->isEnabled(), enabled);
        QCOMPARE(popup.item(QStringLiteral("MNUPASTE"))->isEnabled(), enabled);
    }
    void keyFlagsGateCommands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("editKey");
        QTest::addColumn<bool>("undoKey");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("clipboard");

        QTest::newRow("copy") << "copy" << false << false << "hello"
                              << "hello";
        QTest::newRow("copy, key down") << "copy" << true << false << "hello"
                                        << "clip";
        QTest::newRow("paste, key down") << "paste" << true << false << "hello"
                                         << "clip";
        QTest::newRow("undo, Z down") << "undo" << false << true << "hello"
                                      << "clip";
    }
    void keyFlagsGateCommands()
    {
        QFETCH(QString, command);
        QFETCH(bool, editKey);
        QFETCH(bool, undoKey);
        QFETCH(QString, text);
        QFETCH(QString, clipboard);
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = f.active()->RTF1;
        // "hello" typed over an empty document, so undo takes it away again.
        rtf->setSelText(QStringLiteral("hello"));
        f.cmd().EDITSELECTALL();
        QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
        AppState::instance().EditKeyDown = editKey;
        AppState::instance().UndoKeyDown = undoKey;
        QAction *item = f.main().menuItem("MNUEDIT" + command.toUpper());
        QVERIFY(item);
        item->trigger();
        QCOMPARE(rtf->Text(), text);
        QCOMPARE(QGuiApplication::clipboard()->text(), clipboard);
    }
    void rightButtonShowsDocumentMenu()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        m.show();
        RichTextBox *rtf = f.active()->RTF1;
        rtf->setText(QStringLiteral("some text"));
        QTest::mouseClick(rtf->viewport(), Qt::RightButton, {}, QPoint(5, 5));
        frmPopup *popup = frmPopup::loaded();
        QVERIFY(popup);
        QMenu *menu = popup->menu(QStringLiteral("MNUPOPUP"));
        QTRY_VERIFY(menu->isVisible());
        // Only the program's menu, not the control's own.
        int menus = 0;
        for (QWidget *w : QApplication::topLevelWidgets())
            menus += qobject_cast<QMenu *>(w) && w->isVisible() ? 1 : 0;
        QCOMPARE(menus, 1);
        QVERIFY(!popup->item(QStringLiteral("MNUPASTE"))->isEnabled());
        popup->item(QStringLiteral("MNUSELECTALL"))->trigger();
        QCOMPARE(rtf->SelLength(), 9);
        popup->item(QStringLiteral("MNUCOPY"))->trigger();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("some text"));
        QVERIFY(popup->item(QStringLiteral("MNUPASTE"))->isEnabled());
        menu->hide();
    }
    // Each thing the user does is one Undo step: one Undo brings back exactly the document before
    // it (text and formatting), and then nothing is left to undo.
    void oneActionIsOneUndoStep_data()
    {
        QTest::addColumn<QString>("action");
        for (const char *action :
             {"type", "Ctrl+Tab", "Ctrl+B", "BOLD", "INCREASE FONT SIZE", "BULLETS", "ALIGN CENTER",
              "paste", "font box", "format painter"})
            QTest::newRow(action) << QString::fromLatin1(action);
    }
    void oneActionIsOneUndoStep()
    {
        QFETCH(QString, action);
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = f.active()->RTF1;
        rtf->setText(QStringLiteral("hello world"));
        rtf->setSelStart(0);
        rtf->setSelLength(5);
        rtf->setSelBold(true);
        rtf->resetHistory();
        rtf->setFocus();
        const QString before = rtf->document()->toHtml();
        QVERIFY(!m.menuItem(QStringLiteral("MNUEDITUNDO"))->isEnabled());

        if (action == QLatin1String("type")) {
            rtf->setSelStart(11);
            QTest::keyClicks(rtf, QStringLiteral(" again"));
        } else if (action == QLatin1String("Ctrl+Tab")) {
            QTest::keyClick(rtf, Qt::Key_Tab, Qt::ControlModifier);
        } else if (action == QLatin1String("Ctrl+B")) {
            rtf->setSelStart(6);
            rtf->setSelLength(5);
            QTest::keyClick(rtf, Qt::Key_B, Qt::ControlModifier);
        } else if (action == QLatin1String("paste")) {
            QGuiApplication::clipboard()->setText(QStringLiteral("clip"));
            m.menuItem(QStringLiteral("MNUEDITPASTE"))->trigger();
        } else if (action == QLatin1String("font box")) {
            QComboBox *box = m.fontNameBox();
            box->setCurrentIndex(box->findText(rtf->Font().family()) == 0 ? 1 : 0);
            emit box->activated(box->currentIndex());
        } else if (action == QLatin1String("format painter")) {
            m.menuItem(QStringLiteral("MNUEDITFMTPAINTER"))->trigger();
            rtf->setSelStart(6);
            rtf->setSelLength(5);
            f.cmd().FORMATPAINTERAPPLY();
        } else {
            m.button(action)->trigger();
        }
        QVERIFY(rtf->document()->toHtml() != before);
        QVERIFY(m.menuItem(QStringLiteral("MNUEDITUNDO"))->isEnabled());

        m.menuItem(QStringLiteral("MNUEDITUNDO"))->trigger();
        QCOMPARE(rtf->document()->toHtml(), before);
        QVERIFY(!rtf->CanUndo());
        QVERIFY(!m.menuItem(QStringLiteral("MNUEDITUNDO"))->isEnabled());
    }
};

QTEST_MAIN(tst_Edit)
#include "tst_edit.moc"
