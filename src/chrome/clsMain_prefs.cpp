// Preferences and the file properties dialog.

#include <QFileInfo>

#include "chrome/frmPrefs.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

void clsMain::FILEPREFERENCES()
{
    const clsLibrary &lib = clsLibrary::instance();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Obtaining settings..."), 11);
    frmPrefs dialog(*this, &m_main);
    lib.STATUSBARCAPTION(&m_main, QString(), 0);
    UiServices::instance().execDialog(&dialog);
}

void clsMain::PROPERTIES()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return;
    const QString path = doc->Caption();
    QString kind = QStringLiteral("UNTITLED");
    if (!doc->isUntitled())
        kind = QFileInfo(path).suffix().compare(QLatin1String("RTT"), Qt::CaseInsensitive) == 0
                   ? QStringLiteral("TEMPLATE")
                   : QStringLiteral("DOCUMENT");
    clsLibrary::instance().GETPROPERTIES(&m_main, path, nullptr, kind, QFileInfo(path).fileName(),
                                         QString(), doc->RTF1);
}
