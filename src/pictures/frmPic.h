#pragma once

#include <QDialog>
#include <QImage>
#include <QSet>
#include <QStringList>
#include <array>

class QAction;
class QFileSystemModel;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTabBar;
class QTreeView;
class PicBrowseLoader;
class frmMain;

// The picture browser: the pictures of one folder as pages of nine thumbnails, read in the
// background. The selected picture is inserted into the active document; the picture menu
// previews, copies, moves, renames and deletes it. Not modal, owned by the main window; at most
// one is loaded, and it unloads when closed.
class frmPic : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Slots = 9;
    // The box each thumbnail is fitted into, in pixels.
    static constexpr int ThumbPixels = 96;

    explicit frmPic(frmMain &main);
    // Unloads: stores the folder and the placement, and gives the context word back.
    ~frmPic() override;

    // The loaded browser, or nullptr.
    static frmPic *loaded();
    // Shows the browser, loading it first when it is not loaded.
    static frmPic *SHOW(frmMain &main);
    // Unloads the browser when it is loaded.
    static void UNLOAD();

    // Shows the selected picture in the preview window.
    void PICTUREPREVIEW();
    // Inserts the selected picture into the active document.
    void PICINSERT();
    // Inserts the selected picture and closes the browser.
    void PICINSCLOSE();
    // Copies or moves the selected file to another folder.
    void COPYTO();
    void MOVETO();
    // Deletes the selected file to the trash, after asking.
    void PICDEL();
    // Renames the selected file.
    void PICRENAME();
    // The file properties of the selected picture.
    void PROPERTIES();

    // The folder tree's path change: shows the pictures of that folder from page 1. A path that
    // is not a folder (the tree's root) changes nothing.
    void changeFolder(const QString &path);
    // Shows page n (from 1) of the folder.
    void showPage(int page);
    // A click on slot (0 to 8); the right button also pops up the picture menu.
    void selectSlot(int slot, bool rightButton = false);
    // Reads the folder's file list again, keeping the page where it can.
    void refreshLists();

    QString folder() const { return m_folder; }
    const QStringList &files() const { return m_files; }
    int page() const { return m_page; }
    int pageCount() const;
    // The selected slot, -1 for none.
    int selectedSlot() const { return m_selected; }
    // The selected file's path; empty when none is selected.
    QString selectedPath() const;
    // The selected picture at its own size (what is inserted); null when none.
    QImage selectedPicture();
    PicBrowseLoader &loader() const { return *m_loader; }
    // True while thumbnails of the page shown are still being read.
    bool pageBusy() const { return m_pageBusy; }

    QTreeView *FTVBRWS = nullptr;
    // The folder shown, typed or pasted to go there.
    QLineEdit *TXTPATH = nullptr;
    QTabBar *TABPG = nullptr;
    std::array<QFrame *, Slots> SHPHL{};
    std::array<QLabel *, Slots> IMGSEL{};
    std::array<QLabel *, Slots> LBLH{};
    QPushButton *BTNINSERT = nullptr;
    QPushButton *BTNOK = nullptr;
    QPushButton *BTNCANCEL = nullptr;
    QMenu *MNUPICTOP = nullptr;
    QAction *MNUPICINSCLOSE = nullptr;
    QAction *MNUPICINS = nullptr;
    QAction *MNUPICPREVIEW = nullptr;
    QAction *MNUPICCOPY = nullptr;
    QAction *MNUPICMOVE = nullptr;
    QAction *MNUPICDEL = nullptr;
    QAction *MNUPICRENAME = nullptr;
    QAction *MNUPICPROPS = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void buildControls();
    void buildMenu();
    void setFiles(const QStringList &files);
    void fillSlot(int slot);
    void thumbnailReady(int index);
    void pageStatus();
    // Stops reading and gives the status bar back (the browser closes).
    void releaseStatus();
    void say(qint16 id, const QString &text);
    void highlight(int slot, bool on);
    void showMessages();
    void fileOperation(bool move);

    frmMain &m_main;
    QFileSystemModel *m_tree = nullptr;
    PicBrowseLoader *m_loader = nullptr;
    QString m_folder;
    QStringList m_files;
    int m_page = 1;
    int m_selected = -1;
    QString m_pictureOf;
    QImage m_picture;
    bool m_syncingTree = false;
    bool m_pageBusy = false;
    // Messages about the files of the page, shown one at a time.
    QList<QPair<qint16, QString>> m_messages;
    // The messages already shown for this folder.
    QSet<QString> m_told;
    bool m_showingMessages = false;
};
