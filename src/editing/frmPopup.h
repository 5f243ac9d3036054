#pragma once

#include <QHash>
#include <QWidget>

class QAction;
class QMenu;
class frmMain;

// The hidden form that holds the program's context menus: the document's (MNUPOPUP), the
// new-document dialog's (MNUNEWTOP) and the picture browser's (MNUPICTOP). It is loaded once,
// never shown; its menus only pop up. The document menu's items run the Edit commands; the
// other two menus' items are connected by the dialogs that use them.
class frmPopup : public QWidget
{
    Q_OBJECT
public:
    // Loads the form: builds the three menus and binds their icons.
    explicit frmPopup(frmMain &main);
    ~frmPopup() override;

    // The main window's popup form, loaded on first use.
    static frmPopup &instance(frmMain &main);
    // The loaded form, or nullptr.
    static frmPopup *loaded();

    // Gives the items the images of the main window's buttons with the same keys.
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
