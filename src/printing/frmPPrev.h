#pragma once

#include <QDialog>
#include <QHash>
#include <QImage>

class QAction;
class QComboBox;
class QLabel;
class QMenuBar;
class QScrollArea;
class QStatusBar;
class QToolBar;

// The print preview: the document page by page as it prints, header and footer included, at a
// chosen zoom, with page browsing and printing. Modal; its zoom, toolbar and status bar choices
// and its placement are kept in the settings store.
class frmPPrev : public QDialog
{
    Q_OBJECT
public:
    // Loads the preview of the print engine's text, which has `pages` pages, on page 1.
    explicit frmPPrev(int pages, QWidget *parent = nullptr);
    ~frmPPrev() override;

    // Page navigation: first, previous, next and last page.
    void PAGESTART();
    void PAGEPREVIOUS();
    void PAGENEXT();
    void PAGEEND();
    // Steps the zoom in or out; applies the zoom list's choice.
    void ZOOMIN();
    void ZOOMOUT();
    void ZOOMSEL();

    // The menu item or toolbar button of a name or key; nullptr when unknown.
    QAction *menuItem(const QString &name) const { return m_items.value(name); }
    QAction *button(const QString &key) const { return m_buttons.value(key); }
    // Status bar panel 1 to 8.
    QString panelText(int panel) const;
    // The rendered page (the printable area) and the image as shown.
    const QImage &pagePicture() const { return PICSTDPAGE; }
    QSize imageSize() const;

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildMenus();
    void buildToolbar();
    void buildStatusBar();
    void pageChosen();
    void updateNavigation();
    void updateZoomControls();
    void showToolbar(bool on);
    void showStatusBar(bool on);
    void printPages(bool quiet);
    void setPanel(int panel, const QString &text);
    int currentPage() const;
    void unload();

    QMenuBar *m_menuBar;
    QWidget *PICTBAR;
    QToolBar *TBARMAIN;
    QLabel *LBLZOOM;
    QComboBox *CBOPGZOOM;
    QComboBox *CBOPGNO;
    QScrollArea *PICWINDOW;
    QLabel *IMGPREVIEW;
    QStatusBar *SBMAIN;
    QImage PICSTDPAGE;
    QList<QLabel *> m_panels;
    QHash<QString, QAction *> m_items;
    QHash<QString, QAction *> m_buttons;
    bool m_unloaded = false;
};
