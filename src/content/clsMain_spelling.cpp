// The spelling commands of the command object.

#include "content/SpellingCommands.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"

void clsMain::EDITSPELLCHECKER()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return;
    SpellingCommands::setStatusHandler([](const QString &text) {
        if (frmMain *main = AppState::instance().MainWindow.data())
            clsLibrary::instance().STATUSBARCAPTION(main, text, 0);
    });
    SpellingCommands::EDITSPELLCHECK(doc->RTF1);
}

void clsMain::SAVEDICT()
{
    SpellingCommands::SAVEDICT();
}

void clsMain::SPELLSTARTUP()
{
    SpellingCommands::STARTUP();
}
