// Reading and writing the user's files: what a save keeps of the file it replaces, what it
// refuses without blocking, and that a save that fails or is killed half-way never loses the
// old content.
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "platform/SafeFile.h"
#include "support/TestFiles.h"

using SafeFile::Problem;

Q_DECLARE_METATYPE(SafeFile::Problem)

namespace {

struct stat statOf(const QString &path)
{
    struct stat st = {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st;
}

// An access list giving the account "nobody" read access: the xattr form the kernel keeps.
QByteArray accessList()
{
    QByteArray acl;
    auto u32 = [&](quint32 v) { acl.append(reinterpret_cast<const char *>(&v), 4); };
    auto entry = [&](quint16 tag, quint16 perm, quint32 id) {
        acl.append(reinterpret_cast<const char *>(&tag), 2);
        acl.append(reinterpret_cast<const char *>(&perm), 2);
        u32(id);
    };
    u32(2);
    entry(0x01, 6, 0xFFFFFFFF); // owner rw
    entry(0x02, 4, 65534);      // nobody r
    entry(0x04, 4, 0xFFFFFFFF); // group r
    entry(0x10, 4, 0xFFFFFFFF); // mask r
    entry(0x20, 0, 0xFFFFFFFF); // others none
    return acl;
}

QByteArray attribute(const QString &path, const char *name)
{
    char value[256];
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), name, value, sizeof value);
    return n < 0 ? QByteArray() : QByteArray(value, n);
}

// Files the temporary folder holds besides the ones named.
QStringList strays(const QTemporaryDir &dir, const QStringList &expected)
{
    QStringList out;
    for (const QString &name :
         QDir(dir.path())
             .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System))
        if (!expected.contains(name))
            out << name;
    return out;
}

enum class Fault { DiskFull, Killed, GivesUp };

// Writes `data` over `path`, in pieces as the RTF writer gives them, in a child process whose
// files may not grow past `limit` bytes: writing past it either fails (as on a full disk) or
// kills the child in the middle of the save. GivesUp: the producer fails half-way on its own.
int writeLimited(const QString &path, const QByteArray &data, qint64 limit, Fault fault)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, fault == Fault::Killed ? SIG_DFL : SIG_IGN);
        const struct rlimit rl = {rlim_t(limit), rlim_t(limit)};
        ::setrlimit(RLIMIT_FSIZE, &rl);
        const SafeFile::Result r = SafeFile::write(path, [&](QIODevice &out) {
            for (qsizetype at = 0; at < data.size(); at += 65536) {
                const QByteArray piece = data.mid(at, 65536);
                if ((fault == Fault::GivesUp && at >= data.size() / 2) ||
                    out.write(piece) != piece.size())
                    return false;
            }
            return true;
        });
        ::_exit(r.problem == Problem::DiskFull ? 10 : r.ok() ? 0 : 11);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

} // namespace

class tst_SafeFile : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void init()
    {
        // Names that are not UTF-8 are out of reach of the names Qt lists.
        ::unlink((QFile::encodeName(m_dir.path()) + "/caf\xff.rtf").constData());
        QDir dir(m_dir.path());
        for (const QString &name :
             dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System))
            QFile::remove(dir.filePath(name)) || QDir(dir.filePath(name)).removeRecursively();
    }

    void saveKeepsWhatTheFileWas_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("otherOwner");
        QTest::addColumn<bool>("attributes");
        QTest::newRow("private") << 0600 << false << false;
        QTest::newRow("set-group-id folder style") << 02770 << false << false;
        QTest::newRow("another owner and group") << 0644 << true << false;
        QTest::newRow("attributes and access list") << 0640 << false << true;
    }
    void saveKeepsWhatTheFileWas()
    {
        QFETCH(int, mode);
        QFETCH(bool, otherOwner);
        QFETCH(bool, attributes);
        const QString file = path(QStringLiteral("letter.rtf"));
        writeFile(file, "old");
        const QByteArray name = QFile::encodeName(file);
        QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
        if (otherOwner) {
            if (::geteuid() != 0)
                QSKIP("only the superuser can give a file to another owner");
            QCOMPARE(::chown(name.constData(), 65534, 65534), 0);
        }
        if (attributes) {
            if (::setxattr(name.constData(), "user.origin", "mail", 4, 0) != 0)
                QSKIP("the file system keeps no extended attributes");
            const QByteArray acl = accessList();
            QCOMPARE(::setxattr(name.constData(), "system.posix_acl_access", acl.constData(),
                                size_t(acl.size()), 0),
                     0);
        }
        const struct stat before = statOf(file);

        const SafeFile::Result r = SafeFile::write(file, "new content");
        QVERIFY(r.ok());
        QCOMPARE(readFile(file), QByteArray("new content"));
        const struct stat after = statOf(file);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(after.st_gid, before.st_gid);
        if (attributes) {
            QCOMPARE(attribute(file, "user.origin"), QByteArray("mail"));
            QCOMPARE(attribute(file, "system.posix_acl_access"), accessList());
        }
        QCOMPARE(r.stamp, SafeFile::stampOf(file));
        QCOMPARE(strays(m_dir, {"letter.rtf"}), QStringList());
    }

    void hardLinkedFileIsWrittenInPlace()
    {
        const QString first = path(QStringLiteral("a.rtf"));
        const QString second = path(QStringLiteral("b.rtf"));
        writeFile(first, "old");
        QVERIFY(QFile::link(first, path(QStringLiteral("link.rtf")))); // a symbolic link too
        QCOMPARE(
            ::link(QFile::encodeName(first).constData(), QFile::encodeName(second).constData()), 0);
        const ino_t inode = statOf(first).st_ino;
        QVERIFY(SafeFile::write(path(QStringLiteral("link.rtf")), "new content").ok());
        // Every name sees the edit; the symbolic link is still a link; no copy is left behind.
        QCOMPARE(readFile(second), QByteArray("new content"));
        QCOMPARE(statOf(first).st_ino, inode);
        QCOMPARE(statOf(first).st_nlink, nlink_t(2));
        QVERIFY(S_ISLNK(statOf(path(QStringLiteral("link.rtf"))).st_mode));
        QCOMPARE(strays(m_dir, {"a.rtf", "b.rtf", "link.rtf"}), QStringList());
        // A shorter content leaves nothing of the longer one.
        QVERIFY(SafeFile::write(first, "x").ok());
        QCOMPARE(readFile(second), QByteArray("x"));
    }

    void refusedWithoutBlocking_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<Problem>("problem");
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder" << Problem::NotRegular << "folder";
        QTest::newRow("pipe without a writer") << "pipe" << Problem::NotRegular << "pipe";
        QTest::newRow("socket") << "socket" << Problem::NotRegular << "socket";
        QTest::newRow("device") << "/dev/zero" << Problem::NotRegular << "device";
        QTest::newRow("missing") << "missing.rtf" << Problem::Missing << "";
        QTest::newRow("name from bytes that are not UTF-8")
            << QStringLiteral("caf\uFFFD.rtf") << Problem::BadName << "";
    }
    void refusedWithoutBlocking()
    {
        QFETCH(QString, name);
        QFETCH(Problem, problem);
        QFETCH(QString, kind);
        const QString target = name.startsWith(QLatin1Char('/')) ? name : path(name);
        const QByteArray encoded = QFile::encodeName(target);
        if (name == QLatin1String("folder"))
            QVERIFY(QDir().mkdir(target));
        if (name == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(encoded.constData(), 0644), 0);
        if (name == QLatin1String("socket")) {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, encoded.constData(), sizeof address.sun_path);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
        }
        // The file whose real name holds the byte that became U+FFFD is never reached.
        if (problem == Problem::BadName) {
            const QByteArray real = QFile::encodeName(m_dir.path()) + "/caf\xff.rtf";
            ::close(::open(real.constData(), O_WRONLY | O_CREAT, 0644));
        }

        QByteArray data = "untouched";
        const SafeFile::Result read = SafeFile::read(target, data);
        QCOMPARE(read.problem, problem);
        QCOMPARE(read.kind, kind);
        QVERIFY(data.isEmpty());
        QVERIFY(!SafeFile::isOrdinaryOrMissing(target) || problem != Problem::NotRegular);
        if (name == QLatin1String("/dev/zero"))
            return; // not for writing
        const SafeFile::Result written = SafeFile::write(target, "text");
        QCOMPARE(written.problem, problem == Problem::Missing ? Problem::None : problem);
        QCOMPARE(written.kind, kind);
    }

    void readOnlyFileAndFolder()
    {
        // The write permission bits decide, also for the superuser.
        const QString file = path(QStringLiteral("fixed.txt"));
        writeFile(file, "old");
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
        QCOMPARE(SafeFile::write(file, "new").problem, Problem::ReadOnlyFile);
        QCOMPARE(readFile(file), QByteArray("old"));
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        if (::geteuid() == 0)
            return; // the folder's bits do not apply to the superuser
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const SafeFile::Result r = SafeFile::write(file, "new");
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                QFileDevice::ExeOwner);
        QCOMPARE(r.problem, Problem::FolderNotWritable);
        QCOMPARE(readFile(file), QByteArray("old"));
    }

    void failedSaveKeepsTheOldContent_data()
    {
        QTest::addColumn<bool>("hardLinked");
        QTest::addColumn<Fault>("fault");
        QTest::newRow("replaced, disk full") << false << Fault::DiskFull;
        QTest::newRow("replaced, killed while writing") << false << Fault::Killed;
        QTest::newRow("in place, disk full") << true << Fault::DiskFull;
        QTest::newRow("in place, killed while writing") << true << Fault::Killed;
        QTest::newRow("replaced, content fails") << false << Fault::GivesUp;
        QTest::newRow("in place, content fails") << true << Fault::GivesUp;
    }
    void failedSaveKeepsTheOldContent()
    {
        QFETCH(bool, hardLinked);
        QFETCH(Fault, fault);
        const QString file = path(QStringLiteral("report.rtf"));
        const QByteArray old(100000, 'o');
        writeFile(file, old);
        if (hardLinked)
            QVERIFY(::link(QFile::encodeName(file).constData(),
                           QFile::encodeName(path(QStringLiteral("copy.rtf"))).constData()) == 0);
        // Room for the old content (and its copy), not for the new one.
        const int status = writeLimited(file, QByteArray(300000, 'n'), 200000, fault);
        QCOMPARE(status, fault == Fault::DiskFull ? 10 : fault == Fault::Killed ? -SIGXFSZ : 11);
        const QString backup = SafeFile::backupNameFor(file, 1);
        if (hardLinked && fault == Fault::Killed) {
            // Killed in the middle of writing in place: the old content waits beside the file.
            QCOMPARE(readFile(backup), old);
            return;
        }
        QCOMPARE(readFile(file), old);
        if (fault != Fault::Killed)
            QCOMPARE(strays(m_dir, {"report.rtf", "copy.rtf"}), QStringList());
    }

    void cleanupTestCase() { init(); }

    void stampFollowsTheFile()
    {
        const QString file = path(QStringLiteral("s.txt"));
        QVERIFY(!SafeFile::stampOf(file).exists);
        const SafeFile::Stamp first = SafeFile::write(file, "one").stamp;
        QVERIFY(first.exists);
        QByteArray data;
        QCOMPARE(SafeFile::read(file, data).stamp, first);
        QCOMPARE(data, QByteArray("one"));
        QVERIFY(SafeFile::write(file, "three").stamp != first);
        QCOMPARE(SafeFile::read(file, data, 2).problem, Problem::None);
        QCOMPARE(data, QByteArray("th"));
    }

    // A read that may be given up goes a few megabytes at a time and still reads everything;
    // given up, it leaves nothing behind.
    void readThatMayBeGivenUp()
    {
        const QString file = path(QStringLiteral("big.txt"));
        QByteArray content(9 << 20, 'x');
        for (qsizetype i = 0; i < content.size(); i += 4093)
            content[i] = char('a' + i % 26);
        QVERIFY(SafeFile::write(file, content).ok());
        std::atomic<bool> cancel{false};
        QByteArray data;
        QVERIFY(SafeFile::read(file, data, -1, &cancel).ok());
        QVERIFY(data == content);
        cancel = true;
        const SafeFile::Result given = SafeFile::read(file, data, -1, &cancel);
        QCOMPARE(given.problem, Problem::Other);
        QCOMPARE(given.systemError, ECANCELED);
        QVERIFY(data.isEmpty());
    }
};

QTEST_MAIN(tst_SafeFile)
#include "tst_safefile.moc"
