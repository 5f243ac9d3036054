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

QString AppPaths::recoveryFolder()
{
    // XDG: a relative $XDG_STATE_HOME is invalid and ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return stripSlash(state) + QStringLiteral("/pamphlexa/recovery");
}

QString AppPaths::homeFolder()
{
    return stripSlash(QDir::homePath());
}

QString AppPaths::desktopFolder()
{
    return stripSlash(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}
