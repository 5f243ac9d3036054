#include "core/clsMain.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QUrl>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/WindowArranger.h"
#include "core/clsLibrary.h"
#include "core/frmAbout.h"
#include "core/frmMain.h"
#include "documents/RecentFilesList.h"
#include "documents/Recovery.h"
#include "documents/frmDocRTF.h"
#include "platform/AppPaths.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {
QString prefsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
}
QString viewKey()
{
    return Identity::appKey() + QStringLiteral("\\frmMain\\View");
}
QString boolText(bool on)
{
    return on ? QStringLiteral("True") : QStringLiteral("False");
}
} // namespace

clsMain::clsMain(frmMain &main) : m_main(main), m_recent(std::make_unique<RecentFilesList>())
{}

clsMain::~clsMain() = default;

frmDocRTF *clsMain::ActiveDoc() const
{
    return m_main.activeDocument();
}

RichTextBox *clsMain::ActiveText() const
{
    frmDocRTF *doc = ActiveDoc();
    return doc ? doc->RTF1 : nullptr;
}

void clsMain::PROGRAMLOAD()
{
    const clsLibrary &lib = clsLibrary::instance();
    MDICOMBOSINITIALIZE();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Initializing Program..."), 11);
    MNUINITIALIZE();
    lib.FORMLOAD(Identity::AppTitle, &m_main, true);
    MYPROFILEUPDATE();
    TOOLBARSINIT();
    FILENEW();
    TOOLBARSUPDATE();
    for (QComboBox *box : {m_main.fontNameBox(), m_main.fontSizeBox(), m_main.fontStyleBox()})
        if (box)
            box->setVisible(true);
    SETRULER();
    const QString tmpl = lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, prefsKey(),
                                        QStringLiteral("Template"), QString());
    if (!tmpl.isEmpty()) {
        if (frmDocRTF *doc = ActiveDoc()) {
            AppState::instance().SuppressModified = true;
            doc->RTF1->LoadFile(tmpl);
            AppState::instance().SuppressModified = false;
            doc->markUnchanged();
        }
    }
    RECENTLISTREAD();
    const QString spellLoad =
        lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, prefsKey(),
                       QStringLiteral("Spell Check Load"), QStringLiteral("True"));
    if (spellLoad.compare(QLatin1String("True"), Qt::CaseInsensitive) != 0 &&
        spellLoad != QLatin1String("1") && spellLoad != QLatin1String("-1"))
        SPELLSTARTUP();
    PASTEUPDATE();
    lib.STATUSBARCAPTION(&m_main, QString(), 0);
}

void clsMain::PROGRAMUNLOAD()
{
    const clsLibrary &lib = clsLibrary::instance();
    lib.FORMSAVE(Identity::AppTitle, &m_main, true);
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Closing down..."), 11);
    const QStatusBar *bar = m_main.findChild<QStatusBar *>(QStringLiteral("SBMAIN"));
    const QAction *ruler = m_main.menuItem(QStringLiteral("MNUVIEWRULER"));
    lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, viewKey(), QStringLiteral("Status Bar"),
                    boolText(bar && !bar->isHidden()));
    lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, viewKey(), QStringLiteral("Ruler"),
                    boolText(ruler && ruler->isChecked()));
    // The documents already agreed to close; unload them without asking again.
    if (frmDocRTF *active = ActiveDoc())
        active->closeAfterQuery();
    for (frmDocRTF *doc : m_main.documents())
        doc->closeAfterQuery();
    DOCUMENTDIALOGSUNLOAD();
    STARTUPDIALOGSUNLOAD();
    // Every document was saved or let go: no recovery copy is needed any more.
    Recovery::endSession();
    lib.STATUSBARCAPTION(&m_main, QString(), 0);
}

void clsMain::WINDOWNEWWINDOW()
{
    frmDocRTF *doc = FILENEW();
    if (!doc)
        return;
    const QString tmpl = clsLibrary::instance().REGSTRREAD(
        clsLibrary::HKEY_CURRENT_USER, prefsKey(), QStringLiteral("Template"), QString());
    if (tmpl.isEmpty())
        return;
    AppState::instance().SuppressModified = true;
    doc->RTF1->LoadFile(tmpl);
    AppState::instance().SuppressModified = false;
    doc->markUnchanged();
    FONTNAMEUPDATE();
    FONTSIZEUPDATE();
}

void clsMain::WINDOWARRANGE(int how)
{
    QMdiArea *area = m_main.mdiArea();
    switch (how) {
    case 0:
        WindowArranger::cascade(area);
        break;
    case 1:
        WindowArranger::tile(area, Qt::Horizontal);
        break;
    case 2:
        WindowArranger::tile(area, Qt::Vertical);
        break;
    case 3:
        WindowArranger::arrangeIcons(area);
        break;
    default:
        break;
    }
}

void clsMain::WINDOWCLOSEALL()
{
    if (frmDocRTF *active = ActiveDoc())
        if (QWidget *frame = active->parentWidget())
            frame->close();
    const AppState &st = AppState::instance();
    for (int k = 0; k < AppState::MaxDocuments; ++k) {
        if (!st.DocSlotUsed[k])
            continue;
        if (frmDocRTF *doc = st.DocWindows[k])
            if (QWidget *frame = doc->parentWidget())
                frame->close();
    }
}

void clsMain::HELPTOPICS()
{
    const QString help = AppPaths::manualFile();
    if (QFileInfo::exists(help))
        UiServices::instance().openUrl(QUrl::fromLocalFile(help).toString());
}

void clsMain::HELPONLINE()
{
    INTERNETACCESS(Identity::WebAddress);
}

void clsMain::HELPABOUT()
{
    frmAbout about(&m_main);
    QObject::connect(&about, &frmAbout::logoClicked, &about, [this] { HELPONLINE(); });
    UiServices::instance().execDialog(&about);
}

void clsMain::FILECLOSE()
{
    if (frmDocRTF *doc = ActiveDoc())
        if (QWidget *frame = doc->parentWidget())
            frame->close();
}

void clsMain::FILEEXIT()
{
    m_main.close();
}

void clsMain::INTERNETACCESS(const QString &address)
{
    if (!address.isEmpty())
        UiServices::instance().openUrl(address);
}
