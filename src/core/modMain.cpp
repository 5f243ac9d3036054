#include "core/modMain.h"

#include <QApplication>

#include "core/Identity.h"
#include "core/frmMain.h"
#include "platform/Fonts.h"

int modMain::Main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pamphlexa"));
    QApplication::setApplicationDisplayName(Identity::AppTitle);
    QApplication::setOrganizationName(QStringLiteral("pamphlexa"));
    Fonts::installSubstitutions();
    frmMain window;
    window.show();
    return QApplication::exec();
}
