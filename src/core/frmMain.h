#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class clsMain;
class frmDocRTF;

// The main window: menus, the standard and formatting toolbars, the status bar and the
// document windows. Its menu items and toolbar buttons call the command object clsMain.
class frmMain : public QMainWindow
{
    Q_OBJECT
public:
    // Status bar panels of SBMAIN, numbered as the program addresses them.
    enum Panel { PanelDescription = 1, PanelModified = 2, PanelLineCol = 3, PanelReadWrite = 4 };

    explicit frmMain(QWidget *parent = nullptr);
    ~frmMain() override;

    // The window's load: builds the chrome and runs clsMain::PROGRAMLOAD (once).
    void Load();
    bool isLoaded() const { return m_loaded; }

    clsMain &cmd() const { return *m_cmd; }
    QMdiArea *mdiArea() const { return m_mdi; }
    // The active document window, or nullptr.
    frmDocRTF *activeDocument() const;
    // Every open document window, in creation order.
    QList<frmDocRTF *> documents() const;
    // Adds a document window to the document area with the given window state ("2" maximised).
    QMdiSubWindow *addDocument(frmDocRTF *doc, const QString &windowState);
    // Makes the document the active one.
    void activateDocument(frmDocRTF *doc);

    // A menu item or separator by its control name ("MNUFILEOPEN"); nullptr when unknown.
    QAction *menuItem(const QString &name) const;
    // A top-level or sub menu by its control name ("MNUFILETOP").
    QMenu *menu(const QString &name) const;
    // A toolbar button by its key ("SAVE", "FORMAT PAINTER"); nullptr when unknown.
    QAction *button(const QString &key) const;
    QToolBar *standardToolbar() const { return m_tbStd; }
    QToolBar *formattingToolbar() const { return m_tbFmt; }
    QComboBox *fontNameBox() const { return m_cboFontName; }
    QComboBox *fontSizeBox() const { return m_cboFontSize; }
    QComboBox *fontStyleBox() const { return m_cboFontStyle; }
    // A status bar panel (1 to 4).
    QLabel *panel(int index) const;
    // Sets a panel's text, writing it only when it differs.
    void setPanelText(int index, const QString &text);

    // Registers the chrome built by the menu and toolbar builders.
    void registerMenuItem(const QString &name, QAction *action);
    void registerMenu(const QString &name, QMenu *menu);
    void registerButton(const QString &key, QAction *action);
    void setToolbars(QToolBar *standard, QToolBar *formatting, QComboBox *fontName,
                     QComboBox *fontSize, QComboBox *fontStyle);

    // True once the main window has begun to close for good.
    bool isClosing() const { return m_closing; }

    // The toolbars' own right-click menu: the View menu's toolbar items, so both stay in step.
    QMenu *createPopupMenu() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void buildStatusBar();
    void fillWindowList();

    std::unique_ptr<clsMain> m_cmd;
    QMdiArea *m_mdi = nullptr;
    QToolBar *m_tbStd = nullptr;
    QToolBar *m_tbFmt = nullptr;
    QComboBox *m_cboFontName = nullptr;
    QComboBox *m_cboFontSize = nullptr;
    QComboBox *m_cboFontStyle = nullptr;
    QList<QLabel *> m_panels;
    QHash<QString, QAction *> m_items;
    QHash<QString, QMenu *> m_menus;
    QHash<QString, QAction *> m_buttons;
    QList<QAction *> m_windowList;
    QPointer<QMdiSubWindow> m_lastPlaced;
    bool m_loaded = false;
    bool m_closing = false;
};
