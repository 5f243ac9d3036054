#include "core/frmMain.h"

#include <QMdiArea>
#include <QStatusBar>

#include "core/Identity.h"

frmMain::frmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Identity::AppTitle);
    m_mdi = new QMdiArea(this);
    setCentralWidget(m_mdi);
    statusBar();
    resize(900, 650);
}
