// Unloading of the dialogs that belong to documents or stay loaded from start-up.

#include "content/SpellingCommands.h"
#include "content/frmHTMLCode.h"
#include "core/clsMain.h"

void clsMain::DOCUMENTDIALOGSUNLOAD()
{
    SpellingCommands::UNLOAD();
    frmHTMLCode::UNLOAD();
}

void clsMain::STARTUPDIALOGSUNLOAD()
{}
