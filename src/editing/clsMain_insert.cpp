// Insert menu commands for dates, times and symbols.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

void clsMain::INSERTDATE()
{}

void clsMain::INSERTTIME()
{}

void clsMain::INSERTSYMBOL()
{}
