#include "platform/AppPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString ProgramName = QStringLiteral("pamphlexa");

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

// The path with links resolved when it exists, else cleaned.
QString canonical(const QString &path)
{
    const QString c = QFileInfo(path).canonicalFilePath();
    return c.isEmpty() ? QDir::cleanPath(QDir(path).absolutePath()) : c;
}

bool isInside(const QString &path, const QString &folder)
{
    if (path.isEmpty() || folder.isEmpty())
        return false;
    const QString p = canonical(path);
    const QString f = stripSlash(canonical(folder));
    return p == f || p.startsWith(f == QLatin1String("/") ? f : f + QLatin1Char('/'));
}

// An XDG base folder: the variable when it holds an absolute path, else the default under home.
QString xdgFolder(const char *variable, const QString &underHome)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return stripSlash(QDir::cleanPath(value));
    return stripSlash(QDir::homePath()) + QLatin1Char('/') + underHome;
}

} // namespace

AppPaths::ProgramFolder AppPaths::resolveProgramFolder(const QString &executableFolder,
                                                       const QString &buildFolder,
                                                       const QString &buildDataFolder,
                                                       const QString &overridePath)
{
    if (!overridePath.isEmpty())
        return {stripSlash(QDir::cleanPath(overridePath)), Source::Overridden};
    // <prefix>/bin/pamphlexa reads <prefix>/share/pamphlexa.
    const QString installed =
        stripSlash(QDir::cleanPath(executableFolder + QStringLiteral("/../share/") + ProgramName));
    if (QFileInfo(installed).isDir())
        return {installed, Source::Installed};
    if (!buildDataFolder.isEmpty() && isInside(executableFolder, buildFolder))
        return {stripSlash(QDir::cleanPath(buildDataFolder)), Source::Build};
    return {installed, Source::Installed};
}

AppPaths::ProgramFolder AppPaths::locateProgramFolder()
{
    QString over = overridden();
    if (over.isEmpty())
        over = qEnvironmentVariable("PAMPHLEXA_PROGRAM_FOLDER");
    if (!over.isEmpty())
        return resolveProgramFolder(QString(), QString(), QString(), over);
    // The executable does not move during a run: work the answer out once. The kernel names
    // it, so this works before the application object exists.
    static const ProgramFolder found = resolveProgramFolder(
        QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath(),
        QStringLiteral(PAMPHLEXA_BUILD_DIR), QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR), QString());
    return found;
}

QString AppPaths::programFolder()
{
    return locateProgramFolder().path;
}

void AppPaths::setProgramFolder(const QString &path)
{
    overridden() = path;
}

QString AppPaths::shippedWordList()
{
    return programFolder() + QStringLiteral("/Words.dic");
}

QString AppPaths::manualFile()
{
    return programFolder() + QStringLiteral("/help/index.html");
}

QString AppPaths::userDataFolder()
{
    return xdgFolder("XDG_DATA_HOME", QStringLiteral(".local/share")) + QLatin1Char('/') +
           ProgramName;
}

QString AppPaths::userWordList()
{
    return userDataFolder() + QStringLiteral("/Words.dic");
}

QString AppPaths::userTemplatesFolder()
{
    return userDataFolder() + QStringLiteral("/templates");
}

QString AppPaths::recoveryFolder()
{
    return xdgFolder("XDG_STATE_HOME", QStringLiteral(".local/state")) + QLatin1Char('/') +
           ProgramName + QStringLiteral("/recovery");
}

bool AppPaths::ensureFolder(const QString &folder)
{
    return !folder.isEmpty() && QDir().mkpath(folder) && QFileInfo(folder).isDir();
}

QString AppPaths::writablePath(const QString &path)
{
    const QFileInfo info(path);
    const QString program = programFolder();
    if (path.isEmpty() || program.isEmpty() || canonical(info.absolutePath()) != canonical(program))
        return path;
    const bool isTemplate = info.fileName().toUpper().endsWith(QLatin1String(".RTT"));
    const QString folder = isTemplate ? userTemplatesFolder() : userDataFolder();
    return folder + QLatin1Char('/') + info.fileName();
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
