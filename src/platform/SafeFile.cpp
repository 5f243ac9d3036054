#include "platform/SafeFile.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace SafeFile {

namespace {

constexpr QChar ReplacementMark(0xFFFD);

Result failure(Problem problem, int error = 0)
{
    Result r;
    r.problem = problem;
    r.systemError = error;
    return r;
}

Stamp stampFrom(const struct stat &st)
{
    Stamp s;
    s.exists = true;
    s.device = quint64(st.st_dev);
    s.inode = quint64(st.st_ino);
    s.size = qint64(st.st_size);
    s.modifiedNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return s;
}

QString kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("pipe");
    if (S_ISSOCK(mode))
        return QStringLiteral("socket");
    return QStringLiteral("device");
}

Result notRegular(mode_t mode)
{
    Result r = failure(Problem::NotRegular);
    r.kind = kindOf(mode);
    return r;
}

// The problem an errno stands for when writing.
Result writeFailure(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return failure(Problem::DiskFull, error);
    case EACCES:
    case EPERM:
    case EROFS:
        return failure(Problem::FolderNotWritable, error);
    default:
        return failure(Problem::Other, error);
    }
}

bool writeAll(int fd, const char *data, qint64 size, qint64 offset, int &error)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(std::min<qint64>(size - done, 1 << 20)),
                                   off_t(offset + done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        done += n;
    }
    return true;
}

// The open file as a device a producer writes to, from its start; it remembers the first
// error.
class FileOutput : public QIODevice
{
public:
    explicit FileOutput(int fd) : m_fd(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    qint64 written() const { return m_at; }
    int error() const { return m_error; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_error != 0 || !writeAll(m_fd, data, size, m_at, m_error))
            return -1;
        m_at += size;
        return size;
    }

private:
    int m_fd;
    qint64 m_at = 0;
    int m_error = 0;
};

// Gives the file what the producer writes; the errno of the failure, or 0.
int produceInto(int fd, const Producer &produce, qint64 &written)
{
    FileOutput out(fd);
    const bool ok = produce(out);
    written = out.written();
    if (ok)
        return 0;
    return out.error() != 0 ? out.error() : EIO;
}

// A read that may be given up reads at most this much at a time, so it notices soon enough.
constexpr qint64 kReadPiece = 4 << 20;

// Reads an open file from its start to its end, or its first maxBytes when that is not
// negative; gives up with ECANCELED once `cancel` is raised.
bool readAll(int fd, qint64 sizeHint, QByteArray &data, int &error, qint64 maxBytes = -1,
             const std::atomic<bool> *cancel = nullptr)
{
    data.clear();
    qint64 have = 0;
    qint64 capacity = std::max<qint64>(sizeHint, 0) + 1;
    if (maxBytes >= 0)
        capacity = std::min(capacity, maxBytes);
    data.resize(qsizetype(capacity));
    for (;;) {
        if (have == capacity) {
            if (maxBytes >= 0 && have >= maxBytes)
                break;
            capacity = maxBytes >= 0 ? std::min(capacity * 2, maxBytes) : capacity * 2;
            data.resize(qsizetype(capacity));
        }
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            error = ECANCELED;
            data.clear();
            return false;
        }
        const qint64 want = cancel ? std::min(capacity - have, kReadPiece) : capacity - have;
        const ssize_t n = ::pread(fd, data.data() + have, size_t(want), off_t(have));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            data.clear();
            return false;
        }
        if (n == 0)
            break;
        have += n;
    }
    data.resize(qsizetype(have));
    return true;
}

void syncFolder(const QByteArray &folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// The file a path finally names, following symbolic links (also dangling ones, whose target is
// then created).
QByteArray resolveLinks(const QByteArray &path)
{
    QByteArray current = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (::lstat(current.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.constData(), target, sizeof target - 1);
        if (n <= 0)
            return current;
        const QByteArray link(target, n);
        current = link.startsWith('/') ? link : folderOf(current) + '/' + link;
    }
    return current;
}

// Copies the extended attributes (access lists among them) of the file at `from` to the open
// file. False when one that carries permissions (user attributes, access lists) could not be
// copied.
bool copyAttributes(const QByteArray &from, int toFd)
{
    const ssize_t listSize = ::listxattr(from.constData(), nullptr, 0);
    if (listSize <= 0)
        return true;
    QByteArray names(listSize, '\0');
    const ssize_t got = ::listxattr(from.constData(), names.data(), size_t(names.size()));
    if (got <= 0)
        return true;
    bool ok = true;
    for (qsizetype at = 0; at < got;) {
        const char *name = names.constData() + at;
        at += qsizetype(std::strlen(name)) + 1;
        const ssize_t valueSize = ::getxattr(from.constData(), name, nullptr, 0);
        if (valueSize < 0)
            continue;
        QByteArray value(valueSize, '\0');
        const ssize_t n = ::getxattr(from.constData(), name, value.data(), size_t(value.size()));
        if (n < 0)
            continue;
        if (::fsetxattr(toFd, name, value.constData(), size_t(n), 0) != 0) {
            const bool carriesAccess = std::strncmp(name, "user.", 5) == 0 ||
                                       std::strncmp(name, "system.posix_acl", 16) == 0;
            if (carriesAccess)
                ok = false;
        }
    }
    return ok;
}

// Writes the file where it is, after copying its old content to a file beside it, so that
// every hard link sees the new content and the old content survives a failure.
Result writeInPlace(const QByteArray &target, const Producer &produce)
{
    const int fd = ::open(target.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == EACCES || errno == EPERM || errno == EROFS
                   ? failure(Problem::ReadOnlyFile, errno)
                   : failure(Problem::Other, errno);
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular(st.st_mode);
    }
    int error = 0;
    QByteArray old;
    if (!readAll(fd, st.st_size, old, error)) {
        ::close(fd);
        return failure(Problem::Unreadable, error);
    }
    // The safe copy of the old content.
    QByteArray backup;
    int bfd = -1;
    const QString targetName = QFile::decodeName(target);
    for (int attempt = 1; attempt < 100 && bfd < 0; ++attempt) {
        backup = QFile::encodeName(backupNameFor(targetName, attempt));
        bfd = ::open(backup.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (bfd < 0 && errno != EEXIST) {
            const int e = errno;
            ::close(fd);
            return writeFailure(e);
        }
    }
    if (bfd < 0) {
        ::close(fd);
        return failure(Problem::Other, EEXIST);
    }
    if (!writeAll(bfd, old.constData(), old.size(), 0, error) || ::fsync(bfd) != 0) {
        if (error == 0)
            error = errno;
        ::close(bfd);
        ::unlink(backup.constData());
        ::close(fd);
        return writeFailure(error);
    }
    ::close(bfd);
    syncFolder(folderOf(target));

    qint64 written = 0;
    error = produceInto(fd, produce, written);
    if (error == 0 && (::ftruncate(fd, off_t(written)) != 0 || ::fsync(fd) != 0))
        error = errno;
    if (error != 0) {
        // Put the old content back; the copy stays when even that fails.
        int restoreError = 0;
        if (writeAll(fd, old.constData(), old.size(), 0, restoreError) &&
            ::ftruncate(fd, off_t(old.size())) == 0 && ::fsync(fd) == 0)
            ::unlink(backup.constData());
        ::close(fd);
        return writeFailure(error);
    }
    Result r;
    if (::fstat(fd, &st) == 0)
        r.stamp = stampFrom(st);
    ::close(fd);
    ::unlink(backup.constData());
    syncFolder(folderOf(target));
    return r;
}

} // namespace

QString Result::systemText() const
{
    return systemError ? QString::fromLocal8Bit(std::strerror(systemError)) : QString();
}

Stamp stampOf(const QString &path)
{
    struct stat st;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0)
        return {};
    return stampFrom(st);
}

bool isOrdinaryOrMissing(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT || errno == ENOTDIR;
    return S_ISREG(st.st_mode);
}

bool isRepresentable(const QString &path)
{
    if (QFile::decodeName(QFile::encodeName(path)) != path)
        return false;
    return !path.contains(ReplacementMark) || QFileInfo::exists(path);
}

QString backupNameFor(const QString &path, int attempt)
{
    return path + QLatin1Char('~') + (attempt > 1 ? QString::number(attempt) : QString());
}

Result read(const QString &path, QByteArray &data, qint64 maxBytes, const std::atomic<bool> *cancel)
{
    data.clear();
    if (path.isEmpty())
        return failure(Problem::Missing, ENOENT);
    if (!isRepresentable(path))
        return failure(Problem::BadName);
    const QByteArray name = QFile::encodeName(path);
    struct stat st;
    if (::stat(name.constData(), &st) != 0) {
        const int e = errno;
        if (e == ENOENT || e == ENOTDIR)
            return failure(Problem::Missing, e);
        return failure(e == EACCES ? Problem::Unreadable : Problem::Other, e);
    }
    // Folders, pipes, sockets and devices are refused before they are opened: opening a pipe
    // waits for a writer and a device may do something when opened.
    if (!S_ISREG(st.st_mode))
        return notRegular(st.st_mode);
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int e = errno;
        if (e == ENOENT)
            return failure(Problem::Missing, e);
        return failure(e == EACCES || e == EPERM ? Problem::Unreadable : Problem::Other, e);
    }
    // The name may have been given to something else since it was looked at.
    struct stat opened;
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        ::close(fd);
        return notRegular(opened.st_mode);
    }
    int error = 0;
    if (!readAll(fd, opened.st_size, data, error, maxBytes, cancel)) {
        ::close(fd);
        return failure(error == EISDIR      ? Problem::NotRegular
                       : error == ECANCELED ? Problem::Other
                                            : Problem::Unreadable,
                       error);
    }
    ::close(fd);
    Result r;
    r.stamp = stampFrom(opened);
    return r;
}

Result write(const QString &path, const QByteArray &data)
{
    return write(path, [&data](QIODevice &out) { return out.write(data) == data.size(); });
}

Result write(const QString &path, const Producer &produce)
{
    if (path.isEmpty())
        return failure(Problem::Missing, ENOENT);
    if (!isRepresentable(path))
        return failure(Problem::BadName);
    const QByteArray target = resolveLinks(QFile::encodeName(path));
    struct stat st;
    bool exists = ::stat(target.constData(), &st) == 0;
    if (!exists && errno != ENOENT)
        return errno == ENOTDIR ? failure(Problem::Missing, errno) : writeFailure(errno);
    if (exists) {
        if (!S_ISREG(st.st_mode))
            return notRegular(st.st_mode);
        // The permission bits decide, also for the superuser, who may write anything.
        if ((st.st_mode & 0222) == 0 || ::access(target.constData(), W_OK) != 0)
            return failure(Problem::ReadOnlyFile, EACCES);
        if (st.st_nlink > 1)
            return writeInPlace(target, produce);
    }
    const QByteArray folder = folderOf(target);
    struct stat folderStat;
    if (::stat(folder.constData(), &folderStat) != 0)
        return failure(Problem::Missing, errno);

    QByteArray temp;
    int fd = -1;
    const QByteArray base = target.mid(target.lastIndexOf('/') + 1);
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = folder + "/." + base + ".pamphlexa-" +
               QByteArray::number(QRandomGenerator::global()->generate() % 1000000000u, 36);
        // A new file takes the folder's defaults (umask, default access list); a replacement
        // starts private and takes the old file's permissions below.
        fd =
            ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
        if (fd < 0 && errno != EEXIST)
            return writeFailure(errno);
    }
    if (fd < 0)
        return failure(Problem::Other, EEXIST);
    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temp.constData());
        return writeFailure(error);
    };
    qint64 written = 0;
    int error = produceInto(fd, produce, written);
    if (error != 0)
        return abandon(error);
    if (exists) {
        // Owner and group where the account may give them; when it may not, the file is
        // written in place so that it keeps them.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0 || !copyAttributes(target, fd) ||
            ::fchmod(fd, st.st_mode & 07777) != 0) {
            ::close(fd);
            ::unlink(temp.constData());
            return writeInPlace(target, produce);
        }
    }
    if (::fsync(fd) != 0)
        return abandon(errno);
    if (::close(fd) != 0) {
        error = errno;
        ::unlink(temp.constData());
        return writeFailure(error);
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        error = errno;
        ::unlink(temp.constData());
        return writeFailure(error);
    }
    syncFolder(folder);
    Result r;
    if (::stat(target.constData(), &st) == 0)
        r.stamp = stampFrom(st);
    return r;
}

} // namespace SafeFile
