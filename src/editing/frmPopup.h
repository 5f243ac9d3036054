#pragma once

#include <QHash>
#include <QWidget>

class QAction;
class QMenu;
class frmMain;

// The hidden form that holds the document's context menu (MNUPOPUP). It is loaded once, never
// shown; its menu only pops up, and its items run the Edit commands. The new-document dialog
// and the picture browser build their own menus (MNUNEWTOP, MNUPICTOP) beside the controls
// they act on.
class frmPopup : public QWidget
{
    Q_OBJECT
public:
    // Loads the form: builds the menu and binds its icons.
    explicit frmPopup(frmMain &main);
    ~frmPopup() override;

    // The main window's popup form, loaded on first use.
    static frmPopup &instance(frmMain &main);
    // The loaded form, or nullptr.
    static frmPopup *loaded();

    // Gives the items the images of their commands.
    void ICONMENUS();
    // Pops up the document's menu at a screen position (the call returns at once).
    void POPUPDOCUMENT(const QPoint &globalPos);

    // A menu item or menu by its control name ("MNUPASTE", "MNUPOPUP"); nullptr when unknown.
    QAction *item(const QString &name) const;
    QMenu *menu(const QString &name) const;

private:
    QMenu *addMenu(const char *name, const QString &caption);
    QAction *addItem(QMenu *menu, const char *name, const QString &caption);
    void addSeparator(QMenu *menu, const char *name);

    frmMain &m_main;
    QHash<QString, QAction *> m_items;
    QHash<QString, QMenu *> m_menus;
};
