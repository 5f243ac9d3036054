// Unloading of the dialogs that belong to documents or stay loaded from start-up.

#include "content/SpellingCommands.h"
#include "content/frmHTMLCode.h"
#include "core/clsMain.h"
#include "editing/frmFind.h"
#include "pictures/frmPic.h"

void clsMain::DOCUMENTDIALOGSUNLOAD()
{
    SpellingCommands::UNLOAD();
    frmFind::UNLOAD();
    frmPic::UNLOAD();
    frmHTMLCode::UNLOAD();
}

void clsMain::STARTUPDIALOGSUNLOAD()
{
    frmFind::UNLOAD();
}
