#include "pictures/PicFileOps.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/clsLibrary.h"
#include "platform/UiServices.h"

namespace PicFileOps {

namespace {

Result failed(const QString &reason)
{
    return {false, reason};
}

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Checks shared by copy and move before anything is touched.
Result checkTransfer(const QString &source, const QString &target)
{
    const QFileInfo from(source);
    if (!from.exists() || !from.isFile())
        return failed(QStringLiteral("The file cannot be found."));
    if (sameFile(source, target))
        return failed(QStringLiteral("The source and destination file names are the same."));
    const QFileInfo to(target);
    if (!to.dir().exists())
        return failed(QStringLiteral("The folder '") + QDir::toNativeSeparators(to.absolutePath()) +
                      QStringLiteral("' does not exist."));
    if (to.isDir())
        return failed(QStringLiteral("A folder with that name already exists."));
    return {true, {}};
}

// What the desktop's file operations say when one fails.
void report(const QString &verb, const QString &title, const QString &path, const Result &r)
{
    UiServices::instance().messageBox(QStringLiteral("Cannot ") + verb + QLatin1Char(' ') +
                                          QFileInfo(path).fileName() + QStringLiteral(": ") +
                                          r.reason,
                                      MsgStyle::OkOnly + MsgStyle::Critical, title);
}

// Makes a folder (only the user may enter it) unless it is there; false when it is not a folder
// afterwards.
bool ensureFolder(const QString &path)
{
    const QByteArray p = QFile::encodeName(path);
    if (::mkdir(p.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat st;
    return ::lstat(p.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool deviceOf(const QString &path, dev_t &device)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    device = st.st_dev;
    return true;
}

// The top folder of the file system holding path (its mount point).
QString topFolderOf(const QString &path, dev_t device)
{
    QString top = QFileInfo(path).absolutePath();
    for (;;) {
        const QString parent = QFileInfo(top).absolutePath();
        dev_t d = 0;
        if (parent == top || !deviceOf(parent, d) || d != device)
            return top;
        top = parent;
    }
}

bool usableTrash(const QString &trash)
{
    return ensureFolder(trash) && ensureFolder(trash + QStringLiteral("/files")) &&
           ensureFolder(trash + QStringLiteral("/info"));
}

// The trash a file goes to (freedesktop Trash): the user's own trash when the file is on the
// file system of the user's data folder, else the trash at the top of the file's file system
// (".Trash/<uid>" when the administrator made ".Trash", else ".Trash-<uid>"). Empty, with a
// reason, when there is none: the file is then never deleted for good instead.
QString trashFor(const QString &source, QString *reason)
{
    dev_t fileDevice = 0;
    if (!deviceOf(source, fileDevice)) {
        *reason = systemReason(errno);
        return {};
    }
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    dev_t homeDevice = 0;
    if (!data.isEmpty() && QDir().mkpath(data) && deviceOf(data, homeDevice) &&
        homeDevice == fileDevice) {
        const QString home = data + QStringLiteral("/Trash");
        if (usableTrash(home))
            return home;
    } else {
        const QString top = topFolderOf(source, fileDevice);
        const QString uid = QString::number(::getuid());
        struct stat st;
        const QString shared = top + QStringLiteral("/.Trash");
        // The shared trash counts only when it is a real sticky folder, not a link.
        if (::lstat(QFile::encodeName(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
            (st.st_mode & S_ISVTX) && usableTrash(shared + QLatin1Char('/') + uid))
            return shared + QLatin1Char('/') + uid;
        const QString own = top + QStringLiteral("/.Trash-") + uid;
        if (usableTrash(own) && ::lstat(QFile::encodeName(own).constData(), &st) == 0 &&
            st.st_uid == ::getuid())
            return own;
    }
    *reason = QStringLiteral("There is no trash folder for it.");
    return {};
}

} // namespace

Result copyFile(const QString &source, const QString &target)
{
    if (Result check = checkTransfer(source, target); !check.ok)
        return check;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return failed(in.errorString());
    // Written beside the target and renamed over it only when complete: a failure (full disk,
    // read-only folder) leaves an existing target as it was.
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly))
        return failed(out.errorString());
    QByteArray block;
    for (;;) {
        block = in.read(1 << 20);
        if (block.isEmpty())
            break;
        if (out.write(block) != block.size()) {
            out.cancelWriting();
            return failed(out.errorString());
        }
    }
    if (in.error() != QFileDevice::NoError) {
        out.cancelWriting();
        return failed(in.errorString());
    }
    if (!out.commit())
        return failed(out.errorString());
    QFile::setPermissions(target, in.permissions());
    return {true, {}};
}

Result moveFile(const QString &source, const QString &target)
{
    if (Result check = checkTransfer(source, target); !check.ok)
        return check;
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    // Within one file system the move is one step that replaces the target.
    if (std::rename(from.constData(), to.constData()) == 0)
        return {true, {}};
    const int error = errno;
    if (error != EXDEV)
        return failed(systemReason(error));
    // Across file systems: a complete copy first, then the source goes.
    if (Result copied = copyFile(source, target); !copied.ok)
        return copied;
    QFile original(source);
    if (!original.remove())
        return failed(QStringLiteral("The file was copied, but the original could not be "
                                     "removed: ") +
                      original.errorString());
    return {true, {}};
}

Result renameFile(const QString &source, const QString &target)
{
    const QFileInfo from(source);
    if (!from.exists())
        return failed(QStringLiteral("The file cannot be found."));
    if (QFileInfo::exists(target) && !sameFile(source, target))
        return failed(QStringLiteral("A file with the name you specified already exists. "
                                     "Specify a different file name."));
    QFile file(source);
    // QFile::rename never replaces an existing file.
    if (!file.rename(target))
        return failed(file.errorString());
    return {true, {}};
}

Result moveToTrash(const QString &path, QString *trashedAs)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return failed(QStringLiteral("The file cannot be found."));
    const QString source = info.absoluteFilePath();
    QString reason;
    const QString trash = trashFor(source, &reason);
    if (trash.isEmpty())
        return failed(QStringLiteral("The file could not be moved to the trash. ") + reason);
    // The info file is created first and exclusively: it reserves the name in the trash.
    const QString name = info.fileName();
    QString entry;
    QFile record;
    for (int n = 1; n < 10000 && entry.isEmpty(); ++n) {
        const QString candidate = n == 1 ? name : name + QLatin1Char('.') + QString::number(n);
        if (QFileInfo::exists(trash + QStringLiteral("/files/") + candidate))
            continue;
        record.setFileName(trash + QStringLiteral("/info/") + candidate +
                           QStringLiteral(".trashinfo"));
        if (record.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            entry = candidate;
        else if (!record.exists())
            return failed(record.errorString());
    }
    if (entry.isEmpty())
        return failed(QStringLiteral("The trash holds too many files of this name."));
    const QByteArray text =
        "[Trash Info]\nPath=" + QUrl::toPercentEncoding(QFile::encodeName(source), "/") +
        "\nDeletionDate=" +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-ddThh:mm:ss")).toLatin1() +
        "\n";
    const bool written = record.write(text) == text.size() && record.flush();
    record.close();
    const QString target = trash + QStringLiteral("/files/") + entry;
    if (!written || std::rename(QFile::encodeName(source).constData(),
                                QFile::encodeName(target).constData()) != 0) {
        const QString why = written ? systemReason(errno) : record.errorString();
        record.remove();
        return failed(QStringLiteral("The file could not be moved to the trash. ") + why);
    }
    if (trashedAs)
        *trashedAs = target;
    return {true, {}};
}

bool sameFile(const QString &a, const QString &b)
{
    std::error_code ec;
    const bool same = std::filesystem::equivalent(fsPath(a), fsPath(b), ec);
    return !ec && same;
}

QString renamedName(const QString &oldName, const QString &newName)
{
    const QString type = oldName.right(3);
    if (newName.right(3).compare(type, Qt::CaseInsensitive) != 0)
        return newName + QLatin1Char('.') + type;
    return newName;
}

bool copyTo(const QString &path, const QString &folder, bool move)
{
    const clsLibrary &lib = clsLibrary::instance();
    const QString target = lib.FILENAMELENCHK(folder) + QFileInfo(path).fileName();
    const QString verb = move ? QStringLiteral("move") : QStringLiteral("copy");
    const QString title =
        move ? QStringLiteral("Error Moving File") : QStringLiteral("Error Copying File");
    if (Result check = checkTransfer(path, target); !check.ok) {
        report(verb, title, path, check);
        return false;
    }
    if (QFileInfo::exists(target)) {
        qint16 answer = 0;
        lib.MESSAGEBOXFCN(3, target, QString(), QString(), QString(), answer);
        if (answer != MsgResult::Yes)
            return false;
    }
    if (move)
        return lib.FILEMOVE(path, target);
    const Result copied = copyFile(path, target);
    if (!copied.ok)
        report(verb, title, path, copied);
    return copied.ok;
}

bool renameTo(const QString &path, const QString &newName)
{
    const QFileInfo info(path);
    const QString name = renamedName(info.fileName(), newName);
    if (newName.trimmed().isEmpty() || name.contains(QLatin1Char('/')) ||
        name == QLatin1String(".") || name == QLatin1String("..")) {
        report(QStringLiteral("rename"), QStringLiteral("Error Renaming File"), path,
               failed(QStringLiteral("The name '") + newName +
                      QStringLiteral("' is not a valid file name.")));
        return false;
    }
    if (name == info.fileName())
        return true;
    return clsLibrary::instance().FILERENAME(path, info.dir().filePath(name));
}

bool deleteAsk(const QString &path)
{
    const clsLibrary &lib = clsLibrary::instance();
    qint16 answer = 0;
    lib.MESSAGEBOXFCN(2, QFileInfo(path).fileName(), QString(), QString(), QString(), answer);
    if (answer != MsgResult::Yes)
        return false;
    return lib.FILEDELETE(path);
}

} // namespace PicFileOps

bool clsLibrary::FILEDELETE(const QString &path) const
{
    const PicFileOps::Result r = PicFileOps::moveToTrash(path);
    if (!r.ok)
        PicFileOps::report(QStringLiteral("delete"), QStringLiteral("Error Deleting File"), path,
                           r);
    return r.ok;
}

bool clsLibrary::FILEMOVE(const QString &source, const QString &target) const
{
    const PicFileOps::Result r = PicFileOps::moveFile(source, target);
    if (!r.ok)
        PicFileOps::report(QStringLiteral("move"), QStringLiteral("Error Moving File"), source, r);
    return r.ok;
}

bool clsLibrary::FILERENAME(const QString &source, const QString &target) const
{
    const PicFileOps::Result r = PicFileOps::renameFile(source, target);
    if (!r.ok)
        PicFileOps::report(QStringLiteral("rename"), QStringLiteral("Error Renaming File"), source,
                           r);
    return r.ok;
}
