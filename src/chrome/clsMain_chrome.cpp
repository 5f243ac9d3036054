// Menus, toolbars and status bar: enabling the document commands and the View toggles.

#include <QAction>
#include <QComboBox>
#include <QStatusBar>
#include <QToolBar>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

namespace {
QString viewKey()
{
    return Identity::appKey() + QStringLiteral("\\frmMain\\View");
}

bool readFlag(const QString &name, const QString &def)
{
    const QString v =
        clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, viewKey(), name, def);
    return v == QLatin1String("1") || v == QLatin1String("-1") ||
           v.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

void writeFlag(const QString &name, bool on)
{
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, viewKey(), name,
                                       on ? QStringLiteral("True") : QStringLiteral("False"));
}

// The commands that need a document: toolbar keys and menu items.
const char *const kDocumentButtons[] = {"SAVE",
                                        "SELECT ALL",
                                        "SAVE AS",
                                        "PRINT",
                                        "PRINT PREVIEW",
                                        "SPELL CHECKER",
                                        "COPY",
                                        "FIND",
                                        "CUT",
                                        "CLEAR",
                                        "FORMAT PAINTER",
                                        "UNDO",
                                        "REPLACE",
                                        "DATE",
                                        "TIME",
                                        "PICTURE",
                                        "SYMBOL",
                                        "FILE",
                                        "INCREASE FONT SIZE",
                                        "DECREASE FONT SIZE",
                                        "BOLD",
                                        "ITALIC",
                                        "UNDERLINE",
                                        "BULLETS",
                                        "DECREASE INDENT",
                                        "INCREASE INDENT",
                                        "ALIGN LEFT",
                                        "ALIGN CENTER",
                                        "ALIGN RIGHT",
                                        "FONT COLOR",
                                        "HTML PREVIEW",
                                        "HEADERFOOTER",
                                        "PASTE"};

const char *const kDocumentItems[] = {"MNUFILECLOSE",
                                      "MNUFILESAVE",
                                      "MNUFILESAVEAS",
                                      "MNUFILEPRINT",
                                      "MNUFILEPRINTPREVIEW",
                                      "MNUFILEPAGESETUP",
                                      "MNUEDITTOP",
                                      "MNUEDITUNDO",
                                      "MNUEDITCUT",
                                      "MNUEDITCOPY",
                                      "MNUEDITPASTE",
                                      "MNUEDITDELETE",
                                      "MNUEDITSELECTALL",
                                      "MNUEDITFMTPAINTER",
                                      "MNUEDITSPELLCHECKER",
                                      "MNUEDITFIND",
                                      "MNUEDITFINDNEXT",
                                      "MNUEDITREPLACE",
                                      "MNUEDITGOTO",
                                      "MNUVIEWHTMLPREVIEW",
                                      "MNUVIEWHEADERFOOTER",
                                      "MNUVIEWPROPERTIES",
                                      "MNUINSERTTOP",
                                      "MNUFORMATTOP",
                                      "MNUWINDOWCASCADE",
                                      "MNUWINDOWTILEHORIZONTAL",
                                      "MNUWINDOWTILEVERTICAL",
                                      "MNUWINDOWARRANGEICONS",
                                      "MNUWINDOWCLOSEALL",
                                      "MNUWINDOWNEXT",
                                      "MNUWINDOWPREVIOUS"};

// The commands that change a document: disabled while the active document is read-only.
const char *const kEditingButtons[] = {"CUT",
                                       "CLEAR",
                                       "PASTE",
                                       "UNDO",
                                       "FORMAT PAINTER",
                                       "REPLACE",
                                       "SPELL CHECKER",
                                       "DATE",
                                       "TIME",
                                       "PICTURE",
                                       "SYMBOL",
                                       "FILE",
                                       "INCREASE FONT SIZE",
                                       "DECREASE FONT SIZE",
                                       "BOLD",
                                       "ITALIC",
                                       "UNDERLINE",
                                       "BULLETS",
                                       "DECREASE INDENT",
                                       "INCREASE INDENT",
                                       "ALIGN LEFT",
                                       "ALIGN CENTER",
                                       "ALIGN RIGHT",
                                       "FONT COLOR"};
const char *const kEditingItems[] = {"MNUEDITUNDO",         "MNUEDITCUT",        "MNUEDITPASTE",
                                     "MNUEDITDELETE",       "MNUEDITFMTPAINTER", "MNUEDITREPLACE",
                                     "MNUEDITSPELLCHECKER", "MNUINSERTTOP",      "MNUFORMATTOP"};

const char *const kPressButtons[] = {"ALIGN LEFT", "ALIGN CENTER", "ALIGN RIGHT", "BOLD",
                                     "ITALIC",     "UNDERLINE",    "BULLETS"};
} // namespace

void clsMain::MNUINITIALIZE()
{
    // Menus are built with the window; the recent files items stay hidden until filled.
    recentMenuSync();
}

void clsMain::MNUENABLED()
{
    AppState &st = AppState::instance();
    if (st.DocCount < 1) {
        st.DocCount = 0;
        st.DocumentsOpen = false;
        QAction *painter = m_main.menuItem(QStringLiteral("MNUEDITFMTPAINTER"));
        if (painter && painter->isChecked()) {
            painter->setChecked(false);
            if (QAction *b = m_main.button(QStringLiteral("FORMAT PAINTER")))
                b->setChecked(false);
        }
        st.PainterActive = false;
        if (QAction *b = m_main.button(QStringLiteral("SAVE")))
            b->setEnabled(false);
        m_main.setPanelText(frmMain::PanelModified, QString());
        m_main.setPanelText(frmMain::PanelLineCol, QString());
        m_main.setPanelText(frmMain::PanelReadWrite, QString());
    } else {
        st.DocumentsOpen = true;
    }
    const bool open = st.DocumentsOpen;
    for (const char *key : kDocumentButtons)
        if (QAction *b = m_main.button(QString::fromLatin1(key)))
            b->setEnabled(open);
    for (const char *name : kDocumentItems)
        if (QAction *a = m_main.menuItem(QString::fromLatin1(name)))
            a->setEnabled(open);
    // A read-only document: nothing that would change it is offered.
    const bool editable = open && activeDocEditable();
    if (open && !editable) {
        for (const char *key : kEditingButtons)
            if (QAction *b = m_main.button(QString::fromLatin1(key)))
                b->setEnabled(false);
        for (const char *name : kEditingItems)
            if (QAction *a = m_main.menuItem(QString::fromLatin1(name)))
                a->setEnabled(false);
    }
    for (QComboBox *box : {m_main.fontNameBox(), m_main.fontSizeBox(), m_main.fontStyleBox()})
        if (box)
            box->setEnabled(editable);
    if (!open) {
        if (QAction *reopen = m_main.menuItem(QStringLiteral("MNUFILEREOPEN")))
            reopen->setEnabled(false);
        for (const char *key : kPressButtons)
            if (QAction *b = m_main.button(QString::fromLatin1(key)))
                b->setChecked(false);
    } else if (frmDocRTF *doc = ActiveDoc()) {
        // Save follows the document's modified state; the edit commands its text, selection
        // and undo history.
        doc->SAVESTATUS(doc->isModified());
        doc->TEXTSELECT();
    }
    // Paste follows the clipboard.
    PASTEUPDATE();
}

void clsMain::TOOLBARSINIT()
{
    const bool standard = readFlag(QStringLiteral("Standard Toolbar"), QStringLiteral("True"));
    const bool formatting = readFlag(QStringLiteral("Formatting Toolbar"), QStringLiteral("True"));
    const bool ruler = readFlag(QStringLiteral("Ruler"), QStringLiteral("1"));
    const bool status = readFlag(QStringLiteral("Status Bar"), QStringLiteral("1"));
    auto check = [this](const char *name, bool on) {
        if (QAction *a = m_main.menuItem(QString::fromLatin1(name)))
            a->setChecked(on);
    };
    check("MNUVIEWSTDBARSUBSH", standard);
    check("MNUVIEWFMTBARSUBSH", formatting);
    check("MNUVIEWRULER", ruler);
    check("MNUVIEWSTATUSBAR", status);
    for (frmDocRTF *doc : m_main.documents())
        doc->PICRULER->setVisible(ruler);
    if (m_main.standardToolbar())
        m_main.standardToolbar()->setVisible(standard);
    if (m_main.formattingToolbar())
        m_main.formattingToolbar()->setVisible(formatting);
    if (QStatusBar *bar = m_main.findChild<QStatusBar *>(QStringLiteral("SBMAIN")))
        bar->setVisible(status);
    TOOLBARSUPDATE();
}

void clsMain::TOOLBARSUPDATE()
{
    // The main window's layout relays the strips; the documents follow their new size.
    if (frmDocRTF *doc = ActiveDoc())
        doc->RESIZEDOC();
}

void clsMain::TOOLBARSBUTTONSUPDATE()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return;
    RichTextBox *rtf = doc->RTF1;
    auto press = [this](const char *key, bool on) {
        if (QAction *b = m_main.button(QString::fromLatin1(key)))
            b->setChecked(on);
    };
    const auto alignment = rtf->SelAlignment();
    press("ALIGN LEFT", alignment && *alignment == RichTextBox::AlignLeft);
    press("ALIGN RIGHT", alignment && *alignment == RichTextBox::AlignRight);
    press("ALIGN CENTER", alignment && *alignment == RichTextBox::AlignCenter);
    press("BOLD", rtf->SelBold().value_or(false));
    press("ITALIC", rtf->SelItalic().value_or(false));
    press("UNDERLINE", rtf->SelUnderline().value_or(false));
    press("BULLETS", rtf->SelBullet().value_or(false));
    FONTBOXESUPDATE();
    doc->TEXTSELECT();
}

void clsMain::STATUSBAR()
{
    QAction *item = m_main.menuItem(QStringLiteral("MNUVIEWSTATUSBAR"));
    QStatusBar *bar = m_main.findChild<QStatusBar *>(QStringLiteral("SBMAIN"));
    if (!item || !bar)
        return;
    bar->setVisible(item->isChecked());
    writeFlag(QStringLiteral("Status Bar"), item->isChecked());
    if (QAction *ruler = m_main.menuItem(QStringLiteral("MNUVIEWRULER")))
        writeFlag(QStringLiteral("Ruler"), ruler->isChecked());
    TOOLBARSUPDATE();
}

void clsMain::VIEWSTANDARDTOOLBAR()
{
    QAction *item = m_main.menuItem(QStringLiteral("MNUVIEWSTDBARSUBSH"));
    if (!item || !m_main.standardToolbar())
        return;
    m_main.standardToolbar()->setVisible(item->isChecked());
    writeFlag(QStringLiteral("Standard Toolbar"), item->isChecked());
    if (QStatusBar *bar = m_main.findChild<QStatusBar *>(QStringLiteral("SBMAIN")))
        writeFlag(QStringLiteral("Status Bar"), !bar->isHidden());
    if (QAction *ruler = m_main.menuItem(QStringLiteral("MNUVIEWRULER")))
        writeFlag(QStringLiteral("Ruler"), ruler->isChecked());
    TOOLBARSUPDATE();
}

void clsMain::VIEWFORMATTINGTOOLBAR()
{
    QAction *item = m_main.menuItem(QStringLiteral("MNUVIEWFMTBARSUBSH"));
    if (!item || !m_main.formattingToolbar())
        return;
    m_main.formattingToolbar()->setVisible(item->isChecked());
    writeFlag(QStringLiteral("Formatting Toolbar"), item->isChecked());
    if (QStatusBar *bar = m_main.findChild<QStatusBar *>(QStringLiteral("SBMAIN")))
        writeFlag(QStringLiteral("Status Bar"), !bar->isHidden());
    if (QAction *ruler = m_main.menuItem(QStringLiteral("MNUVIEWRULER")))
        writeFlag(QStringLiteral("Ruler"), ruler->isChecked());
    TOOLBARSUPDATE();
}
