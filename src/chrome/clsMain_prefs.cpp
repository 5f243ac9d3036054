// Preferences and the file properties dialog.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

void clsMain::FILEPREFERENCES()
{
    clsLibrary::instance().STATUSBARCAPTION(&m_main, QStringLiteral("Obtaining settings..."), 11);
    clsLibrary::instance().STATUSBARCAPTION(&m_main, QString(), 0);
}

void clsMain::PROPERTIES()
{}
