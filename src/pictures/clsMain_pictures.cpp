// Insert Picture and Insert File.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

void clsMain::INSERTPICTURE()
{}

void clsMain::INSERTFILE()
{}
