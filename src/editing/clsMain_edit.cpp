// Edit menu commands: undo, clipboard, select all, find, replace and go to, and the document's
// context menu.
//
// The clipboard commands call the control's own operations directly. A key held down in the
// document (EditKeyDown, UndoKeyDown) means the control is already handling that keystroke
// itself, so the menu command that shares its shortcut does nothing.

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QMimeData>

#include "core/AppState.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "editing/FindHistory.h"
#include "editing/frmFind.h"
#include "editing/frmPopup.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {

bool clipboardHasContent()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return false;
    return (data->hasText() && !data->text().isEmpty()) || data->hasImage();
}

// Shows the Find dialog modeless (loading it first when needed).
frmFind *showFind(frmMain &main)
{
    frmFind *dialog = frmFind::LOAD(main);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

} // namespace

void clsMain::PASTEUPDATE()
{
    const bool can = clipboardHasContent() && AppState::instance().DocCount >= 1 &&
                     (!ActiveDoc() || activeDocEditable());
    if (frmPopup *popup = frmPopup::loaded())
        if (QAction *a = popup->item(QStringLiteral("MNUPASTE")))
            a->setEnabled(can);
    if (QAction *a = m_main.menuItem(QStringLiteral("MNUEDITPASTE")))
        a->setEnabled(can);
    if (QAction *b = m_main.button(QStringLiteral("PASTE")))
        b->setEnabled(can);
}

void clsMain::EDITUNDO()
{
    if (AppState::instance().UndoKeyDown)
        return;
    if (RichTextBox *rtf = ActiveText())
        rtf->Undo();
}

void clsMain::EDITCUT()
{
    if (AppState::instance().EditKeyDown)
        return;
    if (RichTextBox *rtf = ActiveText())
        rtf->Cut();
    PASTEUPDATE();
}

void clsMain::EDITCOPY()
{
    if (AppState::instance().EditKeyDown)
        return;
    if (RichTextBox *rtf = ActiveText())
        rtf->Copy();
    PASTEUPDATE();
}

void clsMain::EDITPASTE()
{
    if (AppState::instance().EditKeyDown)
        return;
    if (RichTextBox *rtf = ActiveText())
        rtf->Paste();
    PASTEUPDATE();
}

void clsMain::EDITDELETE()
{
    if (AppState::instance().EditKeyDown)
        return;
    if (RichTextBox *rtf = ActiveText())
        rtf->Delete();
}

void clsMain::EDITSELECTALL()
{
    // The whole text, without scrolling to its end.
    if (RichTextBox *rtf = ActiveText())
        rtf->selectAll();
}

void clsMain::EDITFIND()
{
    frmFind *dialog = showFind(m_main);
    if (!dialog->isVisible())
        return;
    dialog->CBOFIND->setFocus();
    if (RichTextBox *rtf = ActiveText()) {
        const QString selection = rtf->SelText();
        if (!selection.isEmpty())
            dialog->TAKESELECTION(selection);
    }
}

void clsMain::EDITREPLACE()
{
    frmFind *dialog = showFind(m_main);
    if (!dialog->isVisible())
        return;
    RichTextBox *rtf = ActiveText();
    const QString selection = rtf ? rtf->SelText() : QString();
    if (selection.isEmpty()) {
        dialog->CBOFIND->setFocus();
        return;
    }
    dialog->TAKESELECTION(selection);
    dialog->CBOREPLACE->setFocus();
}

void clsMain::EDITGOTO()
{
    AppState &st = AppState::instance();
    st.GoToMode = true;
    frmFind *dialog = showFind(m_main);
    dialog->CBOGOTO->setFocus();
    st.GoToMode = false;
}

void clsMain::EDITFINDNEXT()
{
    if (FindHistory::read(QStringLiteral("Last Find")).isEmpty()) {
        UiServices::instance().beep();
        return;
    }
    frmFind::LOAD(m_main)->FINDAGAIN();
}

void clsMain::EDITCONTEXTMENU(const QPoint &globalPos)
{
    if (!ActiveDoc())
        return;
    frmPopup &popup = frmPopup::instance(m_main);
    PASTEUPDATE();
    // A read-only document offers nothing that would change it.
    for (const char *name : {"MNUUNDO", "MNUCUT", "MNUDELETE", "MNUFORMATPAINTER", "MNUREPLACE"})
        if (QAction *a = popup.item(QString::fromLatin1(name)))
            a->setEnabled(activeDocEditable());
    SPELLPOPUP(popup.menu(QStringLiteral("MNUPOPUP")), globalPos);
    popup.POPUPDOCUMENT(globalPos);
}
