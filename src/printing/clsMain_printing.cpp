// Page setup, headers and footers, printing and print preview.

#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "platform/RichTextBox.h"
#include "printing/clsPrinting.h"

void clsMain::PRINTDOCUMENT()
{
    if (RichTextBox *text = ActiveText())
        clsPrinting::instance().PRINTDOCUMENT(&main(), text, false);
}

void clsMain::PRINTPREVIEW()
{
    if (RichTextBox *text = ActiveText())
        clsPrinting::instance().PRINTPREVIEW(&main(), text);
}

void clsMain::FILEPAGESETUP()
{
    clsLibrary::instance().PAGESETUPPAGESHOW();
}

void clsMain::VIEWHEADERFOOTER()
{
    clsLibrary::instance().PAGESETUPHEADFOOTSHOW();
}
