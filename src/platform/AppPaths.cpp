#include "platform/AppPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString &overridden()
{
    static QString path;
    return path;
}

QString stripSlash(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}
} // namespace

QString AppPaths::programFolder()
{
    if (!overridden().isEmpty())
        return stripSlash(overridden());
    // Installed: <prefix>/bin/pamphlexa with data in <prefix>/share/pamphlexa.
    const QString appDir = QCoreApplication::applicationDirPath();
    const QString installed = QDir(appDir).absoluteFilePath(QStringLiteral("../share/pamphlexa"));
    if (QFileInfo(installed).isDir())
        return stripSlash(QDir::cleanPath(installed));
    const QString build = QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR);
    if (QFileInfo(build).isDir())
        return stripSlash(build);
    return stripSlash(appDir);
}

void AppPaths::setProgramFolder(const QString &path)
{
    overridden() = path;
}

QString AppPaths::homeFolder()
{
    return stripSlash(QDir::homePath());
}

QString AppPaths::desktopFolder()
{
    return stripSlash(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

namespace {
QString g_documentsOverride;
}

void AppPaths::setDocumentsFolder(const QString &path)
{
    g_documentsOverride = path;
}

QString AppPaths::documentsFolder()
{
    if (!g_documentsOverride.isEmpty())
        return g_documentsOverride;
    const QString documents =
        stripSlash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : homeFolder();
}

QString AppPaths::picturesFolder()
{
    const QString pictures =
        stripSlash(QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    return !pictures.isEmpty() && QFileInfo(pictures).isDir() ? pictures : homeFolder();
}
