#pragma once

#include <QMainWindow>

class QMdiArea;

// The main window: menus, toolbars, status bar and the document windows.
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit frmMain(QWidget *parent = nullptr);

    QMdiArea *mdiArea() const { return m_mdi; }

private:
    QMdiArea *m_mdi = nullptr;
};
