// Profile fields and HTML colour codes, and the HTML preview.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

void clsMain::INSERTPROFILEFIELD(const QString &)
{}

void clsMain::INSERTHTMLCODE()
{}

void clsMain::VIEWHTMLPREVIEW()
{}

void clsMain::MYPROFILEUPDATE()
{}
