#include "core/frmMain.h"

#include <QAction>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QToolBar>

#include "chrome/MainMenus.h"
#include "chrome/MainToolbars.h"
#include "core/AppState.h"
#include "core/Identity.h"
#include "core/WindowArranger.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "documents/frmDocRTF.h"

namespace {

// The document area. Ctrl+Tab and Ctrl+Shift+Tab belong to the document (they change the
// indent); switching documents is Ctrl+F6 and Ctrl+Shift+F6 from the Window menu.
class DocumentArea : public QMdiArea
{
public:
    using QMdiArea::QMdiArea;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
                (key->modifiers() & Qt::ControlModifier))
                return false;
        }
        return QMdiArea::eventFilter(watched, event);
    }
};

} // namespace

frmMain::frmMain(QWidget *parent) : QMainWindow(parent), m_cmd(std::make_unique<clsMain>(*this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(Identity::AppTitle);
    m_mdi = new DocumentArea(this);
    m_mdi->setObjectName(QStringLiteral("MDIAREA"));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setBackground(QColor(128, 128, 128));
    setCentralWidget(m_mdi);
    resize(900, 650);
    AppState::instance().MainWindow = this;
    // Paste follows the clipboard, whoever fills it.
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (m_loaded && !m_closing)
            m_cmd->PASTEUPDATE();
    });
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow *w) {
        if (!w || m_closing)
            return;
        if (auto *doc = qobject_cast<frmDocRTF *>(w->widget()))
            doc->Activate();
    });
}

frmMain::~frmMain()
{
    m_closing = true;
    // Document windows go first, while the chrome they update still exists.
    const auto windows = m_mdi->subWindowList();
    for (QMdiSubWindow *w : windows)
        delete w;
    if (AppState::instance().MainWindow == this)
        AppState::instance().MainWindow = nullptr;
}

void frmMain::Load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    MainMenus::build(*this);
    MainToolbars::build(*this);
    buildStatusBar();
    if (QMenu *window = menu(QStringLiteral("MNUWINDOWTOP")))
        connect(window, &QMenu::aboutToShow, this, &frmMain::fillWindowList);
    if (QAction *exit = menuItem(QStringLiteral("MNUFILEEXIT")))
        exit->setText(QStringLiteral("E&xit\tAlt+F4"));
    m_cmd->PROGRAMLOAD();
    AppState::instance().DocumentWord = QStringLiteral("document");
}

void frmMain::buildStatusBar()
{
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("SBMAIN"));
    setStatusBar(bar);
    const int widths[] = {0, 70, 120, 60};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(bar);
        label->setObjectName(QStringLiteral("SBMAIN.Panel") + QString::number(i + 1));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setContentsMargins(3, 0, 3, 0);
        if (i == 0) {
            bar->addWidget(label, 1);
        } else {
            label->setMinimumWidth(widths[i]);
            label->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(label);
        }
        m_panels.append(label);
    }
}

QLabel *frmMain::panel(int index) const
{
    return index >= 1 && index <= m_panels.size() ? m_panels[index - 1] : nullptr;
}

void frmMain::setPanelText(int index, const QString &text)
{
    if (QLabel *p = panel(index); p && p->text() != text)
        p->setText(text);
}

frmDocRTF *frmMain::activeDocument() const
{
    if (QMdiSubWindow *w = m_mdi->currentSubWindow())
        if (auto *doc = qobject_cast<frmDocRTF *>(w->widget()); doc && !doc->isClosed())
            return doc;
    // Before the window is shown the area has no current window: take the topmost.
    const auto windows = m_mdi->subWindowList(QMdiArea::StackingOrder);
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (auto *doc = qobject_cast<frmDocRTF *>((*it)->widget()); doc && !doc->isClosed())
            return doc;
    return nullptr;
}

QList<frmDocRTF *> frmMain::documents() const
{
    QList<frmDocRTF *> out;
    for (QMdiSubWindow *w : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (auto *doc = qobject_cast<frmDocRTF *>(w->widget()); doc && !doc->isClosed())
            out.append(doc);
    return out;
}

QMdiSubWindow *frmMain::addDocument(frmDocRTF *doc, const QString &windowState)
{
    QMdiSubWindow *w = m_mdi->addSubWindow(doc);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(doc->Caption());
    // The window's own menu would claim Ctrl+W and Ctrl+F4 beside File > Close (two owners of
    // one key: neither runs). The File menu's item serves.
    for (QAction *a : w->systemMenu()->actions())
        a->setShortcuts({});
    // A new window opens inside the document area, one step on from the last one placed.
    const QRect area = m_mdi->viewport()->rect();
    const QSize size =
        QSize(std::max(300, area.width() * 2 / 3), std::max(200, area.height() * 2 / 3))
            .boundedTo(area.size().expandedTo(QSize(300, 200)));
    w->resize(size);
    const QRect previous =
        m_lastPlaced && !m_lastPlaced->isMaximized() ? m_lastPlaced->geometry() : QRect();
    w->move(WindowArranger::nextPlace(area, previous, size, WindowArranger::cascadeStep(m_mdi)));
    m_lastPlaced = w;
    if (windowState == QLatin1String("2"))
        w->showMaximized();
    else
        w->showNormal();
    activateDocument(doc);
    return w;
}

void frmMain::activateDocument(frmDocRTF *doc)
{
    if (!doc)
        return;
    auto *w = qobject_cast<QMdiSubWindow *>(doc->parentWidget());
    if (!w)
        return;
    if (m_mdi->currentSubWindow() != w)
        m_mdi->setActiveSubWindow(w);
    // Without an active application the area does not report the change; run it ourselves.
    if (m_mdi->currentSubWindow() != w || !isActiveWindow())
        doc->Activate();
}

QAction *frmMain::menuItem(const QString &name) const
{
    return m_items.value(name);
}
QMenu *frmMain::menu(const QString &name) const
{
    return m_menus.value(name);
}
QAction *frmMain::button(const QString &key) const
{
    return m_buttons.value(key);
}

void frmMain::registerMenuItem(const QString &name, QAction *action)
{
    m_items.insert(name, action);
}
void frmMain::registerMenu(const QString &name, QMenu *menu)
{
    m_menus.insert(name, menu);
}
void frmMain::registerButton(const QString &key, QAction *action)
{
    m_buttons.insert(key, action);
}

void frmMain::setToolbars(QToolBar *standard, QToolBar *formatting, QComboBox *fontName,
                          QComboBox *fontSize, QComboBox *fontStyle)
{
    m_tbStd = standard;
    m_tbFmt = formatting;
    m_cboFontName = fontName;
    m_cboFontSize = fontSize;
    m_cboFontStyle = fontStyle;
}

void frmMain::fillWindowList()
{
    QMenu *window = menu(QStringLiteral("MNUWINDOWTOP"));
    if (!window)
        return;
    for (QAction *a : std::as_const(m_windowList)) {
        window->removeAction(a);
        a->deleteLater();
    }
    m_windowList.clear();
    const frmDocRTF *active = activeDocument();
    int n = 0;
    for (frmDocRTF *doc : documents()) {
        ++n;
        QString caption = doc->Caption();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        auto *a = window->addAction(QLatin1Char('&') + QString::number(n) + QStringLiteral("  ") +
                                    caption);
        a->setObjectName(QStringLiteral("winFORM:") + QString::number(n));
        a->setCheckable(true);
        a->setChecked(doc == active);
        connect(a, &QAction::triggered, this, [this, d = QPointer<frmDocRTF>(doc)] {
            if (d)
                activateDocument(d);
        });
        m_windowList.append(a);
    }
}

QMenu *frmMain::createPopupMenu()
{
    auto *popup = new QMenu(this);
    for (const char *name : {"MNUVIEWSTDBARSUBSH", "MNUVIEWFMTBARSUBSH"})
        if (QAction *a = menuItem(QString::fromLatin1(name)))
            popup->addAction(a);
    return popup;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    const clsLibrary &lib = clsLibrary::instance();
    lib.STATUSBARCAPTION(this, QStringLiteral("Updating Dictionary Files..."), 11);
    m_cmd->SAVEDICT();
    lib.STATUSBARCAPTION(this, QString(), 0);
    // Every document asks first; a Cancel keeps the program and all its windows.
    const QList<frmDocRTF *> docs = documents();
    for (frmDocRTF *doc : docs) {
        if (!doc->QueryUnload()) {
            event->ignore();
            return;
        }
    }
    m_closing = true;
    m_cmd->PROGRAMUNLOAD();
    event->accept();
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_loaded)
        m_cmd->TOOLBARSUPDATE();
}

void frmMain::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_loaded) {
        m_cmd->PASTEUPDATE();
        // Back from another program: the settings or the active document's file may have
        // changed meanwhile.
        clsLibrary::instance().reportStoreNotice();
        if (frmDocRTF *doc = activeDocument())
            doc->checkDiskChange();
    }
}
