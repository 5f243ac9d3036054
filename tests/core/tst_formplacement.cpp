#include <QDialog>
#include <QWidget>
#include <QtTest>
#include <memory>

#include "core/Identity.h"
#include "core/MainWindowFixture.h"
#include "core/clsLibrary.h"
#include "platform/ScreenMetrics.h"
#include "support/TempSettings.h"

// The settings operations of clsLibrary: the read rules, window placement and the identity
// helpers.
class tst_FormPlacement : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<FixedScreenMetrics> m_metrics;
    clsLibrary &lib = clsLibrary::instance();

    static QString windowKey(const QString &name = QStringLiteral("frmTest"))
    {
        return Identity::appKey() + QLatin1Char('\\') + name + QStringLiteral("\\Window");
    }
    void store(const QString &name, const QString &text, const QString &key = windowKey())
    {
        QVERIFY(lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, key, name, text));
    }
    QString stored(const QString &name, const QString &key = windowKey())
    {
        return lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, key, name, QStringLiteral("<none>"));
    }
    // A top-level window of 400 x 300 pixels at (10, 20), not shown.
    static std::unique_ptr<QWidget> makeWindow()
    {
        auto w = std::make_unique<QWidget>();
        w->setObjectName(QStringLiteral("frmTest"));
        w->resize(400, 300);
        w->move(10, 20);
        return w;
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        // One twip per pixel, so expected positions read directly.
        m_metrics = std::make_unique<FixedScreenMetrics>(QSize(801, 601), 1);
        ScreenMetrics::setInstance(m_metrics.get());
    }
    void cleanup()
    {
        ScreenMetrics::setInstance(nullptr);
        m_settings.reset();
    }

    // A dialog opened for the first time appears centred over the main window, wherever that
    // is, and not where the window was before it was shown.
    void firstRunDialogsCentred_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("dialog");
        QTest::newRow("find") << "MNUEDITFIND"
                              << "frmFind";
        QTest::newRow("symbol") << "MNUINSERTSYMBOL"
                                << "frmSymbol";
        QTest::newRow("picture") << "MNUINSERTPICTURE"
                                 << "frmPic";
        QTest::newRow("preview") << "MNUFILEPRINTPREVIEW"
                                 << "frmPPrev";
    }
    void firstRunDialogsCentred()
    {
        QFETCH(QString, item);
        QFETCH(QString, dialog);
        ScreenMetrics::setInstance(nullptr);
        MainWindowFixture f;
        frmMain &m = f.start();
        m.setGeometry(40, 60, 720, 640);
        QTest::keyClicks(f.active()->RTF1, QStringLiteral("Some words"));
        QRect shown;
        f.ui.dialogHandler = [&](QWidget *w) {
            if (w->objectName() == dialog) {
                w->show();
                shown = w->frameGeometry();
                w->hide();
            }
            return 0;
        };
        f.ui.messageAnswers << MsgResult::Cancel << MsgResult::Cancel;
        m.menuItem(item)->trigger();
        if (shown.isNull())
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == dialog && w->isVisible())
                    shown = w->frameGeometry();
        QVERIFY2(!shown.isNull(), qPrintable(dialog));
        const QPoint offset = shown.center() - m.frameGeometry().center();
        QVERIFY2(
            offset.manhattanLength() < 60,
            qPrintable(QStringLiteral("%1 at %2,%3").arg(dialog).arg(shown.x()).arg(shown.y())));
        for (QWidget *w : QApplication::topLevelWidgets())
            if (w != &m && w->isVisible())
                w->close();
    }

    // Between HOOKFRMLOAD and HOOKFRMUNLOAD a platform dialog opens centred over the main
    // window; outside them it is left where it was put.
    void hookCentresPlatformDialogs()
    {
        ScreenMetrics::setInstance(nullptr);
        MainWindowFixture f;
        frmMain &m = f.start();
        m.setGeometry(40, 60, 720, 640);
        m.show();
        for (bool hooked : {true, false}) {
            if (hooked)
                lib.HOOKFRMLOAD();
            QDialog dialog(&m);
            dialog.resize(200, 100);
            dialog.move(0, 0);
            dialog.show();
            const QPoint offset = dialog.frameGeometry().center() - m.frameGeometry().center();
            QCOMPARE(offset.manhattanLength() < 60, hooked);
            if (hooked)
                lib.HOOKFRMUNLOAD();
        }
    }

    void formLoad_data()
    {
        QTest::addColumn<QString>("left");
        QTest::addColumn<QString>("top");
        QTest::addColumn<QPoint>("expected");
        // Screen 801 x 601, window 400 x 300: centre (200.5 -> 200, 150.5 -> 150).
        QTest::newRow("nothing stored: centred") << QString() << QString() << QPoint(200, 150);
        QTest::newRow("left -300 centres horizontally") << "-300"
                                                        << "200" << QPoint(200, 200);
        QTest::newRow("right edge past the screen") << "402"
                                                    << "200" << QPoint(200, 200);
        QTest::newRow("right edge on the screen edge") << "401"
                                                       << "200" << QPoint(401, 200);
        QTest::newRow("not a number is missing") << "abc"
                                                 << "200" << QPoint(200, 200);
        QTest::newRow("largest number centres without overflow")
            << "2147483647"
            << "2147483647" << QPoint(200, 150);
    }
    void formLoad()
    {
        QFETCH(QString, left);
        QFETCH(QString, top);
        QFETCH(QPoint, expected);
        if (!left.isEmpty())
            store(QStringLiteral("Left"), left);
        if (!top.isEmpty())
            store(QStringLiteral("Top"), top);
        auto w = makeWindow();
        lib.FORMLOAD(Identity::AppTitle, w.get(), false);
        QCOMPARE(w->pos(), expected);
        QCOMPARE(w->size(), QSize(400, 300));
    }

    void formLoadRestoresSizeInTwips()
    {
        m_metrics = std::make_unique<FixedScreenMetrics>(QSize(800, 600), 15);
        ScreenMetrics::setInstance(m_metrics.get());
        store(QStringLiteral("Window State"), QStringLiteral("0"));
        store(QStringLiteral("Width"), QStringLiteral("7500"));
        store(QStringLiteral("Height"), QStringLiteral("3000"));
        store(QStringLiteral("Left"), QStringLiteral("1500"));
        store(QStringLiteral("Top"), QStringLiteral("8000")); // 8000 + 3000 > 9000: centred
        auto w = makeWindow();
        lib.FORMLOAD(Identity::AppTitle, w.get(), true);
        QCOMPARE(w->size(), QSize(500, 200));
        QCOMPARE(w->pos(), QPoint(100, 200)); // (9000 - 3000) / 2 = 3000 twips
        // Without the size flag the stored size is ignored.
        auto dialog = makeWindow();
        lib.FORMLOAD(Identity::AppTitle, dialog.get(), false);
        QCOMPARE(dialog->size(), QSize(400, 300));
    }

    void minimisedStateRestored()
    {
        store(QStringLiteral("Window State"), QStringLiteral("1"));
        auto w = makeWindow();
        lib.FORMLOAD(Identity::AppTitle, w.get(), true);
        QVERIFY(w->isMinimized());
    }

    void maximisedRestoresToStoredNormalPlacement()
    {
        store(QStringLiteral("Window State"), QStringLiteral("2"));
        store(QStringLiteral("Width"), QStringLiteral("500"));
        store(QStringLiteral("Height"), QStringLiteral("250"));
        store(QStringLiteral("Left"), QStringLiteral("30"));
        store(QStringLiteral("Top"), QStringLiteral("40"));
        auto w = makeWindow();
        lib.FORMLOAD(Identity::AppTitle, w.get(), true);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        QVERIFY(w->isMaximized());
        w->showNormal();
        QTRY_COMPARE(w->pos(), QPoint(30, 40)); // the frame's corner: offscreen draws a frame
        QCOMPARE(w->size(), QSize(500, 250));
    }

    void formSave_data()
    {
        QTest::addColumn<bool>("saveSize");
        QTest::addColumn<int>("state");            // 0 normal, 1 minimised, 2 maximised
        QTest::addColumn<QStringList>("expected"); // State, Left, Top, Width, Height
        const QString none = QStringLiteral("<none>");
        const QString old = QStringLiteral("old");
        QTest::newRow("normal with size")
            << true << 0 << QStringList{"0", "150", "300", "6000", "4500"};
        QTest::newRow("maximised writes only the state")
            << true << 2 << QStringList{"2", old, old, old, old};
        QTest::newRow("minimised writes nothing")
            << true << 1 << QStringList{old, old, old, old, old};
        QTest::newRow("position only") << false << 0 << QStringList{old, "150", "300", old, old};
    }
    void formSave()
    {
        QFETCH(bool, saveSize);
        QFETCH(int, state);
        QFETCH(QStringList, expected);
        m_metrics = std::make_unique<FixedScreenMetrics>(QSize(800, 600), 15);
        ScreenMetrics::setInstance(m_metrics.get());
        const QStringList names{"Window State", "Left", "Top", "Width", "Height"};
        for (const QString &n : names)
            store(n, QStringLiteral("old"));
        auto w = makeWindow();
        if (state == 1)
            w->setWindowState(Qt::WindowMinimized);
        else if (state == 2)
            w->setWindowState(Qt::WindowMaximized);
        lib.FORMSAVE(Identity::AppTitle, w.get(), saveSize);
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(stored(names.at(i)), expected.at(i));
    }

    void globalTitleUsesTheCompanyKey()
    {
        auto w = makeWindow();
        w->setObjectName(QStringLiteral("frmPPrev"));
        lib.FORMSAVE(QStringLiteral("GLOBAL"), w.get(), true);
        const QString key = Identity::companyKey() + QStringLiteral("\\FRMPPREV\\WINDOW");
        QCOMPARE(stored(QStringLiteral("Left"), key), QStringLiteral("10"));
        QCOMPARE(stored(QStringLiteral("Left"), windowKey(QStringLiteral("frmPPrev"))),
                 QStringLiteral("<none>"));
    }

    // Captions are cut to 32 characters, before their ampersands go.
    void getCaption()
    {
        QCOMPARE(lib.GETCAPTION(QString(33, 'a')), QString(32, 'a') + QStringLiteral("..."));
        QCOMPARE(lib.GETCAPTION(QStringLiteral("&&&&") + QString(36, 'b')),
                 QString(28, 'b') + QStringLiteral("..."));
    }
};

QTEST_MAIN(tst_FormPlacement)
#include "tst_formplacement.moc"
