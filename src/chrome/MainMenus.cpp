#include "chrome/MainMenus.h"

#include <QAction>
#include <QKeySequence>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <functional>

#include "core/AppState.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/RecentFilesList.h"
#include "documents/frmDocRTF.h"

namespace {

// Adds items to one menu, naming each after its control.
class MenuFiller
{
public:
    MenuFiller(frmMain &form, QMenu *menu) : m_form(form), m_menu(menu) {}

    QAction *item(const char *name, const QString &caption, std::function<void()> handler,
                  const QKeySequence &shortcut = {})
    {
        auto *a = m_menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (!shortcut.isEmpty()) {
            a->setShortcut(shortcut);
            // The document's own key handling comes first; the shortcut serves the whole window.
            a->setShortcutContext(Qt::WindowShortcut);
        }
        if (handler)
            QObject::connect(a, &QAction::triggered, m_menu, [h = std::move(handler)] { h(); });
        m_form.registerMenuItem(a->objectName(), a);
        return a;
    }

    QAction *check(const char *name, const QString &caption, std::function<void()> handler)
    {
        auto *a = item(name, caption, std::move(handler));
        a->setCheckable(true);
        return a;
    }

    void separator(const char *name)
    {
        auto *a = m_menu->addSeparator();
        a->setObjectName(QString::fromLatin1(name));
        m_form.registerMenuItem(a->objectName(), a);
    }

    QMenu *submenu(const char *name, const QString &caption)
    {
        auto *m = m_menu->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        m->menuAction()->setObjectName(QString::fromLatin1(name));
        m_form.registerMenu(m->objectName(), m);
        m_form.registerMenuItem(m->objectName(), m->menuAction());
        return m;
    }

private:
    frmMain &m_form;
    QMenu *m_menu;
};

QMenu *topMenu(frmMain &form, const char *name, const QString &caption)
{
    auto *m = form.menuBar()->addMenu(caption);
    m->setObjectName(QString::fromLatin1(name));
    m->menuAction()->setObjectName(QString::fromLatin1(name));
    form.registerMenu(m->objectName(), m);
    form.registerMenuItem(m->objectName(), m->menuAction());
    return m;
}

void buildFile(frmMain &form, clsMain &c)
{
    MenuFiller f(form, topMenu(form, "MNUFILETOP", QStringLiteral("&File")));
    f.item(
        "MNUFILENEW", QStringLiteral("&New..."), [&c] { c.FILENEWSHOW(); },
        QKeySequence(Qt::CTRL | Qt::Key_N));
    f.item(
        "MNUFILEOPEN", QStringLiteral("&Open..."), [&c] { c.FILEOPENDOCUMENT(); },
        QKeySequence(Qt::CTRL | Qt::Key_O));
    f.item("MNUFILEREOPEN", QStringLiteral("&ReOpen"), [&c] { c.FILEREOPEN(); });
    f.item(
        "MNUFILECLOSE", QStringLiteral("&Close"), [&c] { c.FILECLOSE(); },
        QKeySequence(Qt::CTRL | Qt::Key_W));
    f.separator("MNUFILESEP1");
    f.item(
        "MNUFILESAVE", QStringLiteral("&Save"),
        [&c] {
            AppState::instance().SaveMode = QStringLiteral("SAVE");
            c.FILESAVEDOC();
        },
        QKeySequence(Qt::CTRL | Qt::Key_S));
    f.item(
        "MNUFILESAVEAS", QStringLiteral("Save &As...") + QString(17, QLatin1Char(' ')),
        [&c] {
            AppState::instance().SaveMode = QStringLiteral("SAVEAS");
            c.FILESAVEAS();
        },
        QKeySequence(Qt::Key_F12));
    f.separator("MNUFILESEP2");
    f.item(
        "MNUFILEPRINT", QStringLiteral("&Print..."), [&c] { c.PRINTDOCUMENT(); },
        QKeySequence(Qt::CTRL | Qt::Key_P));
    f.item("MNUFILEPRINTPREVIEW", QStringLiteral("Print Pre&view"), [&c] { c.PRINTPREVIEW(); });
    f.item("MNUFILEPAGESETUP", QStringLiteral("Page Set&up..."), [&c] { c.FILEPAGESETUP(); });
    f.separator("MNUFILESEP3");
    f.item("MNUFILEPREFERENCES", QStringLiteral("Pre&ferences..."), [&c] { c.FILEPREFERENCES(); });
    f.separator("MNUFILESEP4");
    for (int k = 0; k < RecentFilesList::MaxEntries; ++k) {
        const QByteArray name = "MNUFILERECENTLIST(" + QByteArray::number(k) + ")";
        auto *a = f.item(name.constData(), QString(), [&c, k] { c.FILERECENTFILESLISTOPEN(k); });
        a->setVisible(false);
    }
    f.separator("MNUFILESEP5");
    f.item("MNUFILECLEARLIST", QStringLiteral("Cl&ear Recent List"),
           [&c] { c.FILERECENTFILESLIST_CLEAR(); });
    f.separator("MNUFILESEP6");
    // Alt+F4 is the window manager's; the caption shows it as the shortcut text.
    f.item("MNUFILEEXIT", QStringLiteral("E&xit"), [&c] { c.FILEEXIT(); });
}

void buildEdit(frmMain &form, clsMain &c)
{
    QMenu *top = topMenu(form, "MNUEDITTOP", QStringLiteral("&Edit"));
    QObject::connect(top, &QMenu::aboutToShow, top, [&c] { c.PASTEUPDATE(); });
    MenuFiller f(form, top);
    f.item(
        "MNUEDITUNDO", QStringLiteral("&Undo"), [&c] { c.EDITUNDO(); },
        QKeySequence(Qt::CTRL | Qt::Key_Z));
    f.separator("MNUEDITSEP1");
    f.item(
        "MNUEDITCUT", QStringLiteral("Cu&t"), [&c] { c.EDITCUT(); },
        QKeySequence(Qt::CTRL | Qt::Key_X));
    f.item(
        "MNUEDITCOPY", QStringLiteral("&Copy"), [&c] { c.EDITCOPY(); },
        QKeySequence(Qt::CTRL | Qt::Key_C));
    f.item(
        "MNUEDITPASTE", QStringLiteral("&Paste"), [&c] { c.EDITPASTE(); },
        QKeySequence(Qt::CTRL | Qt::Key_V));
    f.item(
        "MNUEDITDELETE", QStringLiteral("Cl&ear"), [&c] { c.EDITDELETE(); },
        QKeySequence(Qt::Key_Delete));
    f.separator("MNUEDITSEP2");
    f.item(
        "MNUEDITSELECTALL", QStringLiteral("Select &All"), [&c] { c.EDITSELECTALL(); },
        QKeySequence(Qt::CTRL | Qt::Key_A));
    f.item("MNUEDITFMTPAINTER", QStringLiteral("For&mat Painter"), [&c] { c.FORMATPAINTERMENU(); });
    f.separator("MNUEDITSEP3");
    f.item(
        "MNUEDITSPELLCHECKER", QStringLiteral("Spe&ll Checker..."), [&c] { c.EDITSPELLCHECKER(); },
        QKeySequence(Qt::Key_F7));
    f.separator("MNUEDITSEP4");
    f.item(
        "MNUEDITFIND", QStringLiteral("&Find..."), [&c] { c.EDITFIND(); },
        QKeySequence(Qt::CTRL | Qt::Key_F));
    f.item(
        "MNUEDITFINDNEXT", QStringLiteral("Find &Next"), [&c] { c.EDITFINDNEXT(); },
        QKeySequence(Qt::Key_F3));
    f.item(
        "MNUEDITREPLACE", QStringLiteral("&Replace..."), [&c] { c.EDITREPLACE(); },
        QKeySequence(Qt::CTRL | Qt::Key_H));
    f.item(
        "MNUEDITGOTO", QStringLiteral("&Go To..."), [&c] { c.EDITGOTO(); },
        QKeySequence(Qt::CTRL | Qt::Key_G));
}

void buildView(frmMain &form, clsMain &c)
{
    QMenu *top = topMenu(form, "MNUVIEWTOP", QStringLiteral("&View"));
    QObject::connect(top, &QMenu::aboutToShow, top, [&c] {
        if (auto *doc = c.ActiveDoc())
            doc->SAVESTAT();
        c.MNUENABLED();
    });
    MenuFiller f(form, top);
    f.check("MNUVIEWSTDBARSUBSH", QStringLiteral("&Standard Toolbar"),
            [&c] { c.VIEWSTANDARDTOOLBAR(); });
    f.check("MNUVIEWFMTBARSUBSH", QStringLiteral("&Formatting Toolbar"),
            [&c] { c.VIEWFORMATTINGTOOLBAR(); });
    f.check("MNUVIEWRULER", QStringLiteral("R&uler"), [&c] { c.RULERBAR(); });
    f.check("MNUVIEWSTATUSBAR", QStringLiteral("S&tatus Bar"), [&c] { c.STATUSBAR(); });
    f.separator("MNUVIEWSEP1");
    f.item("MNUVIEWHTMLPREVIEW", QStringLiteral("&HTML Preview..."), [&c] { c.VIEWHTMLPREVIEW(); });
    f.separator("MNUVIEWSEP2");
    f.item("MNUVIEWHEADERFOOTER", QStringLiteral("&Header/Footer..."),
           [&c] { c.VIEWHEADERFOOTER(); });
    f.item("MNUVIEWPROPERTIES", QStringLiteral("&Properties..."), [&c] { c.PROPERTIES(); });
}

void buildInsert(frmMain &form, clsMain &c)
{
    MenuFiller f(form, topMenu(form, "MNUINSERTTOP", QStringLiteral("&Insert")));
    f.item("MNUINSERTDATE", QStringLiteral("&Date..."), [&c] { c.INSERTDATE(); });
    f.item("MNUINSERTTIME", QStringLiteral("&Time..."), [&c] { c.INSERTTIME(); });
    f.separator("MNUINSERTSEP1");
    QMenu *profile = f.submenu("MNUINSERTPSUB", QStringLiteral("P&rofile"));
    MenuFiller p(form, profile);
    auto field = [&c](const char *name) {
        return [&c, n = QString::fromLatin1(name)] { c.INSERTPROFILEFIELD(n); };
    };
    p.item("MNUINSERTPSUBFULLNAME", QStringLiteral("&Full Name"), field("MNUINSERTPSUBFULLNAME"));
    p.item("MNUINSERTPSUBDOB", QStringLiteral("&Date of Birth"), field("MNUINSERTPSUBDOB"));
    p.item("MNUINSERTPSUBJOBTITLE", QStringLiteral("&Job Title"), field("MNUINSERTPSUBJOBTITLE"));
    p.item("MNUINSERTPSUBMOBILENO", QStringLiteral("&Mobile No"), field("MNUINSERTPSUBMOBILENO"));
    p.item("MNUINSERTPSUBPAGER", QStringLiteral("&Pager"), field("MNUINSERTPSUBPAGER"));
    QMenu *home = p.submenu("MNUINSERTPSUBHOME", QStringLiteral("&Home"));
    MenuFiller h(form, home);
    h.item("MNUINSERTPSUBHOMESUBADDRESS", QStringLiteral("&Address"),
           field("MNUINSERTPSUBHOMESUBADDRESS"));
    h.item("MNUINSERTPSUBHOMESUBPHONE", QStringLiteral("&Phone"),
           field("MNUINSERTPSUBHOMESUBPHONE"));
    h.item("MNUINSERTPSUBHOMESUBFAX", QStringLiteral("&Fax"), field("MNUINSERTPSUBHOMESUBFAX"));
    h.item("MNUINSERTPSUBHOMESUBEMAIL", QStringLiteral("&E-mail"),
           field("MNUINSERTPSUBHOMESUBEMAIL"));
    h.item("MNUINSERTPSUBHOMESUBWEB", QStringLiteral("&Web Address"),
           field("MNUINSERTPSUBHOMESUBWEB"));
    QMenu *work = p.submenu("MNUINSERTPSUBWORK", QStringLiteral("&Work"));
    MenuFiller w(form, work);
    w.item("MNUINSERTPSUBWORKSUBADDRESS", QStringLiteral("&Address"),
           field("MNUINSERTPSUBWORKSUBADDRESS"));
    w.item("MNUINSERTPSUBWORKSUBPHONE", QStringLiteral("&Phone"),
           field("MNUINSERTPSUBWORKSUBPHONE"));
    w.item("MNUINSERTPSUBWORKSUBFAX", QStringLiteral("&Fax"), field("MNUINSERTPSUBWORKSUBFAX"));
    w.item("MNUINSERTPSUBWORKSUBEMAIL", QStringLiteral("&E-mail"),
           field("MNUINSERTPSUBWORKSUBEMAIL"));
    w.item("MNUINSERTPSUBWORKSUBWEB", QStringLiteral("&Web Address"),
           field("MNUINSERTPSUBWORKSUBWEB"));
    p.separator("MNUINSERTPSUBSEP1");
    p.item("MNUINSERTPSUBSETTINGS", QStringLiteral("&Settings..."), field("MNUINSERTPSUBSETTINGS"));
    f.item("MNUINSERTHTMLCODE", QStringLiteral("&HTML Color Code..."),
           [&c] { c.INSERTHTMLCODE(); });
    f.separator("MNUINSERTSEP2");
    f.item("MNUINSERTPICTURE", QStringLiteral("&Picture..."), [&c] { c.INSERTPICTURE(); });
    f.item("MNUINSERTSYMBOL", QStringLiteral("&Symbol..."), [&c] { c.INSERTSYMBOL(); });
    f.item("MNUINSERTFILE", QStringLiteral("&File..."), [&c] { c.INSERTFILE(); });
}

void buildFormat(frmMain &form, clsMain &c)
{
    MenuFiller f(form, topMenu(form, "MNUFORMATTOP", QStringLiteral("F&ormat")));
    f.item("MNUFORMATPARAGRAPH", QStringLiteral("&Paragraph..."), [&c] { c.FORMATPARAGRAPH(); });
    f.item("MNUFORMATTABS", QStringLiteral("&Tabs..."), [&c] { c.FORMATTABS(); });
    f.separator("MNUFORMATSEP1");
    f.item("MNUFORMATFONTS", QStringLiteral("Fo&nt..."), [&c] { c.FORMATFONTS(); });
}

void buildWindow(frmMain &form, clsMain &c)
{
    MenuFiller f(form, topMenu(form, "MNUWINDOWTOP", QStringLiteral("&Window")));
    f.item("MNUWINDOWNEWWINDOW", QStringLiteral("&New Window"), [&c] { c.WINDOWNEWWINDOW(); });
    f.separator("MNUWINDOWSEP1");
    f.item("MNUWINDOWCASCADE", QStringLiteral("Ca&scade"), [&c] { c.WINDOWARRANGE(0); });
    f.item("MNUWINDOWTILEHORIZONTAL", QStringLiteral("Tile &Horizontal"),
           [&c] { c.WINDOWARRANGE(1); });
    f.item("MNUWINDOWTILEVERTICAL", QStringLiteral("Tile &Vertical"), [&c] { c.WINDOWARRANGE(2); });
    f.item("MNUWINDOWARRANGEICONS", QStringLiteral("Arrange &Icons"), [&c] { c.WINDOWARRANGE(3); });
    f.separator("MNUWINDOWSEP2");
    f.item("MNUWINDOWCLOSEALL", QStringLiteral("Close &All"), [&c] { c.WINDOWCLOSEALL(); });
    // Ctrl+Tab changes the indent in a document: these keys switch documents instead.
    f.item(
        "MNUWINDOWNEXT", QStringLiteral("Ne&xt Window"),
        [&form] { form.mdiArea()->activateNextSubWindow(); }, QKeySequence(Qt::CTRL | Qt::Key_F6));
    f.item(
        "MNUWINDOWPREVIOUS", QStringLiteral("Pre&vious Window"),
        [&form] { form.mdiArea()->activatePreviousSubWindow(); },
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F6));
    // The open document windows are listed below this separator while the menu opens.
    f.separator("MNUWINDOWSEP3");
}

void buildHelp(frmMain &form, clsMain &c)
{
    MenuFiller f(form, topMenu(form, "MNUHELPTOP", QStringLiteral("&Help")));
    f.item(
        "MNUHELPTOPICS", QStringLiteral("&Help Topics"), [&c] { c.HELPTOPICS(); },
        QKeySequence(Qt::Key_F1));
    f.separator("MNUHELPSEP1");
    f.item("MNUHELPQORONLINE", QStringLiteral("&Qor Online"), [&c] { c.HELPONLINE(); });
    f.separator("MNUHELPSEP2");
    f.item("MNUHELPABOUT", QStringLiteral("&About"), [&c] { c.HELPABOUT(); });
}

} // namespace

void MainMenus::build(frmMain &form)
{
    clsMain &c = form.cmd();
    buildFile(form, c);
    buildEdit(form, c);
    buildView(form, c);
    buildInsert(form, c);
    buildFormat(form, c);
    buildWindow(form, c);
    buildHelp(form, c);
}
