#include "chrome/modAssociate.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/AppPaths.h"
#include "platform/SettingsStore.h"

namespace {

QString executable()
{
    return QCoreApplication::applicationFilePath();
}

// The program's file name without extension ("pamphlexa").
QString programName()
{
    const QString name = QFileInfo(executable()).completeBaseName();
    return name.isEmpty() ? Identity::AppTitle.toLower() : name;
}

// "<program> %1", the path quoted when it holds a blank.
QString openCommand()
{
    const QString exe = executable();
    return (exe.contains(QLatin1Char(' ')) ? QLatin1Char('"') + exe + QLatin1Char('"') : exe) +
           QStringLiteral(" %1");
}

// Writes a string value through the store's writer unless it already holds that text.
int storeString(int root, const QString &key, const QString &name, const QString &text)
{
    const auto current =
        SettingsStore::instance().readString(static_cast<SettingsStore::Root>(root), key, name);
    if (current && *current == text)
        return 0;
    return clsLibrary::instance().REGSTRWRITE(root, key, name, text) ? 1 : 0;
}

int storeNumber(int root, const QString &key, const QString &name, qint32 number)
{
    const auto current =
        SettingsStore::instance().read(static_cast<SettingsStore::Root>(root), key, name);
    if (current && current->type == SettingsStore::Type::Dword && current->number == number)
        return 0;
    clsLibrary::instance().REGDWORDREAD(root, key, name, number);
    return 1;
}

// Writes the file atomically unless it already holds exactly this content.
bool writeIfDifferent(const QString &path, const QByteArray &content)
{
    {
        QFile current(path);
        if (current.size() == content.size() && current.open(QIODevice::ReadOnly) &&
            current.readAll() == content)
            return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(content);
    return file.commit();
}

QString xmlEscaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// A desktop entry's Exec argument: quoted, with the characters that are special inside quotes
// escaped, then escaped again as a desktop entry string value.
QString execArgument(const QString &path)
{
    QString quoted;
    for (const QChar c : path) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    quoted = QLatin1Char('"') + quoted + QLatin1Char('"');
    quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    // A literal "%" is written twice: the desktop expands %-codes in Exec.
    quoted.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return quoted;
}

// Icons the desktop's theme has for the program's icon indexes.
QString iconName(const QString &iconIndex)
{
    return iconIndex.trimmed() == QLatin1String("3") ? QStringLiteral("x-office-document-template")
                                                     : QStringLiteral("x-office-document");
}

void startUpdater(const char *program, const QString &folder)
{
    const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(program));
    if (!tool.isEmpty())
        QProcess::startDetached(tool, {folder});
}

} // namespace

bool modAssociate::installedDesktopFiles()
{
    // <prefix>/share/pamphlexa is the program folder; the desktop files sit beside it.
    const QString share = AppPaths::programFolder() + QStringLiteral("/../");
    return QFileInfo::exists(share + QStringLiteral("applications/") + ApplicationId +
                             QStringLiteral(".desktop")) &&
           QFileInfo::exists(share + QStringLiteral("mime/packages/") + ApplicationId +
                             QStringLiteral(".xml"));
}

QString modAssociate::dataHome()
{
    if (qEnvironmentVariable("PAMPHLEXA_REGISTER_TYPES").trimmed() == QLatin1String("0") ||
        installedDesktopFiles())
        return QString();
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return QDir::cleanPath(xdg);
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : home + QStringLiteral("/.local/share");
}

QString modAssociate::mimeTypeFor(const QString &extension)
{
    const QString ext = extension.toLower();
    if (ext == QLatin1String("rtf"))
        return QStringLiteral("application/rtf");
    return QStringLiteral("application/x-") + Identity::AppTitle.toLower() + QLatin1Char('-') + ext;
}

QByteArray modAssociate::mimePackage(const QString &extension, const QString &description,
                                     const QString &iconIndex)
{
    const QString type = mimeTypeFor(extension);
    QString xml;
    xml += QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<mime-info "
                          "xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n");
    xml += QStringLiteral("  <mime-type type=\"%1\">\n").arg(type);
    xml += QStringLiteral("    <comment>%1</comment>\n")
               .arg(xmlEscaped(description + QStringLiteral(" Document")));
    if (type != QLatin1String("application/rtf"))
        xml += QStringLiteral("    <sub-class-of type=\"application/rtf\"/>\n");
    xml += QStringLiteral("    <generic-icon name=\"%1\"/>\n").arg(iconName(iconIndex));
    xml += QStringLiteral("    <glob pattern=\"*.%1\"/>\n").arg(xmlEscaped(extension.toLower()));
    xml += QStringLiteral("  </mime-type>\n</mime-info>\n");
    return xml.toUtf8();
}

QByteArray modAssociate::desktopEntry(const QStringList &mimeTypes)
{
    QString entry;
    entry += QStringLiteral("[Desktop Entry]\n");
    entry += QStringLiteral("Type=Application\n");
    entry += QStringLiteral("Version=1.0\n");
    entry += QStringLiteral("Name=") + Identity::AppTitle + QLatin1Char('\n');
    entry += QStringLiteral("GenericName=Word Processor\n");
    entry += QStringLiteral("Comment=Write bulletins, letters and other short documents in Rich "
                            "Text Format\n");
    entry += QStringLiteral("Exec=") + execArgument(executable()) + QStringLiteral(" %f\n");
    entry += QStringLiteral("Icon=x-office-document\n");
    entry += QStringLiteral("Terminal=false\n");
    entry += QStringLiteral("Categories=Office;WordProcessor;\n");
    entry += QStringLiteral("MimeType=") + mimeTypes.join(QLatin1Char(';')) + QStringLiteral(";\n");
    return entry.toUtf8();
}

modAssociate::Outcome modAssociate::ASSOCIATE(const QString &extension, const QString &description,
                                              const QString &iconIndex)
{
    Outcome out;
    if (extension.isEmpty() || description.isEmpty())
        return out;
    const int classes = clsLibrary::HKEY_CLASSES_ROOT;
    const QString className = description + QStringLiteral(".Document");
    const QString typeName = description + QStringLiteral(" Document");
    const QString command = openCommand();
    const QString icon = executable() + QLatin1Char(',') + iconIndex;
    const QString commandKey = className + QStringLiteral("\\shell\\open\\command");
    {
        // One transaction for the first start; later starts only read.
        SettingsStore::Batch batch(SettingsStore::instance());
        out.storeWrites += storeString(classes, QLatin1Char('.') + extension, QString(), className);
        // The command key is created by writing its value.
        out.storeWrites += storeString(classes, className, QString(), typeName);
        out.storeWrites += storeString(classes, commandKey, QString(), command);
        out.storeWrites += storeNumber(classes, className, QStringLiteral("EDITFLAGS"), 0);
        out.storeWrites +=
            storeString(classes, className + QStringLiteral("\\DefaultIcon"), QString(), icon);
        out.storeWrites += storeString(
            clsLibrary::HKEY_CURRENT_USER,
            QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.") +
                extension,
            QStringLiteral("Application"), programName());
        out.storeWrites += storeString(classes,
                                       QStringLiteral("Applications\\") + programName() +
                                           QStringLiteral("\\shell\\open\\command"),
                                       QString(), command);
    }
    const QString home = dataHome();
    if (home.isEmpty())
        return out;
    const QString package = home + QStringLiteral("/mime/packages/") +
                            Identity::AppTitle.toLower() + QLatin1Char('-') + extension.toLower() +
                            QStringLiteral(".xml");
    if (writeIfDifferent(package, mimePackage(extension, description, iconIndex)))
        out.filesWritten.append(package);
    return out;
}

modAssociate::Outcome modAssociate::REGISTERTYPES(bool runUpdaters)
{
    Outcome out;
    out += ASSOCIATE(QStringLiteral("rtf"), QStringLiteral("Rich Text"), QStringLiteral("2"));
    out +=
        ASSOCIATE(QStringLiteral("rtt"), QStringLiteral("Rich Text Template"), QStringLiteral("3"));
    const QString home = dataHome();
    if (home.isEmpty())
        return out;
    const bool mimeChanged = !out.filesWritten.isEmpty();
    const QString entry = home + QStringLiteral("/applications/") + Identity::AppTitle.toLower() +
                          QStringLiteral(".desktop");
    const bool entryChanged = writeIfDifferent(
        entry,
        desktopEntry({mimeTypeFor(QStringLiteral("rtf")), mimeTypeFor(QStringLiteral("rtt"))}));
    if (entryChanged)
        out.filesWritten.append(entry);
    if (runUpdaters) {
        if (mimeChanged)
            startUpdater("update-mime-database", home + QStringLiteral("/mime"));
        if (entryChanged)
            startUpdater("update-desktop-database", home + QStringLiteral("/applications"));
    }
    return out;
}
