// Edit menu commands: undo, clipboard, select all, find, replace and go to.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

#include <QAction>

void clsMain::PASTEUPDATE()
{
    RichTextBox *rtf = ActiveText();
    const bool can = rtf && !rtf->isReadOnly() && rtf->CanPaste();
    if (QAction *a = m_main.menuItem(QStringLiteral("MNUEDITPASTE")))
        a->setEnabled(can);
    if (QAction *b = m_main.button(QStringLiteral("PASTE")))
        b->setEnabled(can);
}

void clsMain::EDITUNDO()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->Undo();
}

void clsMain::EDITCUT()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->Cut();
    PASTEUPDATE();
}

void clsMain::EDITCOPY()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->Copy();
    PASTEUPDATE();
}

void clsMain::EDITPASTE()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->Paste();
    PASTEUPDATE();
}

void clsMain::EDITDELETE()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->Delete();
}

void clsMain::EDITSELECTALL()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->selectAll();
}

void clsMain::EDITFIND()
{}

void clsMain::EDITFINDNEXT()
{}

void clsMain::EDITREPLACE()
{}

void clsMain::EDITGOTO()
{}
