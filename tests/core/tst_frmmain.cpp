#include <QMdiArea>
#include <QtTest>

#include "core/frmMain.h"
#include "support/TempSettings.h"

class tst_frmMain : public QObject
{
    Q_OBJECT
private slots:
    void opensAndClosesCleanly()
    {
        TempSettings settings;
        frmMain window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(window.mdiArea() != nullptr);
        QVERIFY(window.close());
    }
};

QTEST_MAIN(tst_frmMain)
#include "tst_frmmain.moc"
