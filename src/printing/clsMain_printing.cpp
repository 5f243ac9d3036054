// Page setup, headers and footers, printing and print preview.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

void clsMain::PRINTDOCUMENT()
{}

void clsMain::PRINTPREVIEW()
{}

void clsMain::FILEPAGESETUP()
{}

void clsMain::VIEWHEADERFOOTER()
{}
