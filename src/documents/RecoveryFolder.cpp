#include "documents/RecoveryFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMap>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <cstdio>
#include <cstring>
#include <unistd.h>

#include "platform/rtf/RtfReader.h"

namespace {
constexpr int InfoFormat = 1;
const QString SessionPrefix = QStringLiteral("session-");

// "doc-12.rtf", "doc-12.json" and a write's unfinished "doc-12.rtf.AbC123".
const QRegularExpression &entryName()
{
    static const QRegularExpression re(QStringLiteral("^doc-(\\d+)\\.(rtf|json)(\\..+)?$"));
    return re;
}

std::unique_ptr<QLockFile> lockFor(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(folder + QStringLiteral(".lock"));
    // Only a process that is gone makes a lock stale, however old the lock is.
    lock->setStaleLockTime(0);
    return lock;
}

// Writes data to a new file beside target, on disk before it returns; the file's path, or
// empty on failure.
QString writeTemporary(const QString &target, const QByteArray &data, QString *error)
{
    QTemporaryFile file(target + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(false);
    if (!file.open()) {
        if (error)
            *error = file.errorString();
        return QString();
    }
    const bool ok = file.write(data) == data.size() && file.flush() && ::fsync(file.handle()) == 0;
    if (!ok) {
        if (error)
            *error = file.errorString();
        file.remove();
        return QString();
    }
    file.close();
    return file.fileName();
}

bool replace(const QString &from, const QString &to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool readAll(const QString &path, QByteArray &data)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    data = f.readAll();
    return f.error() == QFileDevice::NoError;
}

// A copy is whole when it is RTF and its last group is closed.
bool isWholeCopy(const QByteArray &rtf)
{
    return Rtf::isRtf(rtf) && rtf.trimmed().endsWith('}');
}
} // namespace

// --- RecoveryInfo -----------------------------------------------------------------------------

QByteArray RecoveryInfo::toJson() const
{
    QJsonObject o;
    o.insert(QStringLiteral("format"), InfoFormat);
    o.insert(QStringLiteral("caption"), caption);
    o.insert(QStringLiteral("path"), path);
    o.insert(QStringLiteral("type"), type);
    o.insert(QStringLiteral("written"), written.toUTC().toString(Qt::ISODateWithMs));
    return QJsonDocument(o).toJson();
}

std::optional<RecoveryInfo> RecoveryInfo::fromJson(QByteArrayView data)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(data.toByteArray(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return std::nullopt;
    const QJsonObject o = doc.object();
    RecoveryInfo info;
    info.caption = o.value(QStringLiteral("caption")).toString();
    info.path = o.value(QStringLiteral("path")).toString();
    info.type = o.value(QStringLiteral("type")).toString();
    info.written =
        QDateTime::fromString(o.value(QStringLiteral("written")).toString(), Qt::ISODateWithMs);
    if (o.value(QStringLiteral("format")).toInt() != InfoFormat || info.caption.isEmpty() ||
        !o.value(QStringLiteral("path")).isString() ||
        (info.type != QLatin1String("rtf") && info.type != QLatin1String("text")))
        return std::nullopt;
    return info;
}

// --- RecoveryFolder ---------------------------------------------------------------------------

RecoveryFolder::RecoveryFolder(QString root) : m_root(std::move(root))
{}

RecoveryFolder::~RecoveryFolder() = default;

QString RecoveryFolder::sessionFolder() const
{
    const QMutexLocker locker(&m_mutex);
    return m_session;
}

QString RecoveryFolder::damagedFolder() const
{
    return m_root + QStringLiteral("/damaged");
}

QString RecoveryFolder::entryPath(int id, const char *suffix) const
{
    return m_session + QStringLiteral("/doc-") + QString::number(id) + QLatin1Char('.') +
           QLatin1String(suffix);
}

QString RecoveryFolder::copyPath(int id) const
{
    const QMutexLocker locker(&m_mutex);
    return m_session.isEmpty() ? QString() : entryPath(id, "rtf");
}

bool RecoveryFolder::ensureSession(QString *error)
{
    if (!m_session.isEmpty())
        return true;
    // The copies are the user's documents: only the user may read them.
    if (!QDir().mkpath(m_root)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be created.").arg(m_root);
        return false;
    }
    QFile::setPermissions(m_root,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    for (int attempt = 0; attempt < 5; ++attempt) {
        const QString folder = m_root + QLatin1Char('/') + SessionPrefix +
                               QString::number(QCoreApplication::applicationPid()) +
                               QLatin1Char('-') +
                               QString::number(QRandomGenerator::global()->generate(), 16);
        auto lock = lockFor(folder);
        if (!lock->tryLock(0))
            continue;
        if (!QDir().mkdir(folder))
            continue;
        m_lock = std::move(lock);
        m_session = folder;
        return true;
    }
    if (error)
        *error = QStringLiteral("No session folder can be made in %1.").arg(m_root);
    return false;
}

bool RecoveryFolder::write(int id, quint64 generation, const RecoveryInfo &info,
                           const QByteArray &rtf, QString *error)
{
    QString infoTarget, copyTarget;
    {
        const QMutexLocker locker(&m_mutex);
        if (m_generations.value(id) != generation)
            return false;
        if (!ensureSession(error))
            return false;
        infoTarget = entryPath(id, "json");
        copyTarget = entryPath(id, "rtf");
    }
    // The slow part, writing and syncing, happens outside the lock.
    const QString infoTemp = writeTemporary(infoTarget, info.toJson(), error);
    const QString copyTemp =
        infoTemp.isEmpty() ? QString() : writeTemporary(copyTarget, rtf, error);
    if (copyTemp.isEmpty()) {
        QFile::remove(infoTemp);
        return false;
    }
    const QMutexLocker locker(&m_mutex);
    if (m_generations.value(id) != generation) {
        QFile::remove(infoTemp);
        QFile::remove(copyTemp);
        return false;
    }
    // The info goes first: an info without its copy holds nothing to lose.
    if (!replace(infoTemp, infoTarget) || !replace(copyTemp, copyTarget)) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(infoTemp);
        QFile::remove(copyTemp);
        return false;
    }
    return true;
}

void RecoveryFolder::remove(int id)
{
    const QMutexLocker locker(&m_mutex);
    ++m_generations[id];
    if (m_session.isEmpty())
        return;
    QFile::remove(entryPath(id, "rtf"));
    QFile::remove(entryPath(id, "json"));
}

quint64 RecoveryFolder::generation(int id) const
{
    const QMutexLocker locker(&m_mutex);
    return m_generations.value(id);
}

void RecoveryFolder::endSession()
{
    const QMutexLocker locker(&m_mutex);
    if (m_session.isEmpty())
        return;
    QDir(m_session).removeRecursively();
    m_lock.reset(); // removes the lock file
    m_session.clear();
}

QString RecoveryFolder::putAside(const QString &session, const QString &file)
{
    QDir().mkpath(damagedFolder());
    const QString base = damagedFolder() + QLatin1Char('/') + QFileInfo(session).fileName() +
                         QLatin1Char('-') + QFileInfo(file).fileName();
    QString target = base;
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = base + QLatin1Char('-') + QString::number(n);
    return QFile::rename(file, target) ? target : file;
}

RecoveryFolder::Leftovers RecoveryFolder::claimLeftovers()
{
    Leftovers found;
    const QString own = sessionFolder();
    const QFileInfoList sessions =
        QDir(m_root).entryInfoList({SessionPrefix + QLatin1Char('*')}, QDir::Dirs, QDir::Name);
    for (const QFileInfo &session : sessions) {
        const QString folder = session.absoluteFilePath();
        if (folder == own)
            continue;
        auto lock = lockFor(folder);
        if (!lock->tryLock(0))
            continue; // a running copy of the program, or one we may not touch
        // Each document's files by number: its copy, its info, unfinished writes.
        struct Files
        {
            QString copy, info;
            QStringList unfinished;
        };
        QMap<int, Files> byId;
        for (const QFileInfo &f : QDir(folder).entryInfoList(QDir::Files)) {
            const auto m = entryName().match(f.fileName());
            if (!m.hasMatch())
                continue;
            Files &files = byId[m.captured(1).toInt()];
            if (!m.captured(3).isEmpty())
                files.unfinished.append(f.absoluteFilePath());
            else if (m.captured(2) == QLatin1String("rtf"))
                files.copy = f.absoluteFilePath();
            else
                files.info = f.absoluteFilePath();
        }
        for (const Files &files : std::as_const(byId)) {
            QByteArray rtf, json;
            const bool hasCopy = !files.copy.isEmpty() && readAll(files.copy, rtf);
            std::optional<RecoveryInfo> info;
            if (!files.info.isEmpty() && readAll(files.info, json))
                info = RecoveryInfo::fromJson(json);
            if (hasCopy && info && isWholeCopy(rtf)) {
                found.documents.append({files.copy, files.info, *info});
                for (const QString &u : files.unfinished)
                    QFile::remove(u); // the complete copy is newer than what they hold
                continue;
            }
            if (files.copy.isEmpty() && files.unfinished.isEmpty() && info) {
                QFile::remove(files.info); // the copy was never written: nothing is lost
                continue;
            }
            for (const QString &f : QStringList{files.copy, files.info} + files.unfinished)
                if (!f.isEmpty())
                    found.damaged.append(putAside(folder, f));
        }
        if (QDir(folder).isEmpty()) {
            QDir().rmdir(folder);
            continue; // the lock goes with it
        }
        m_claimed.push_back({folder, std::move(lock)});
    }
    return found;
}

bool RecoveryFolder::adopt(const RecoveredDocument &document, int id)
{
    const QMutexLocker locker(&m_mutex);
    if (!ensureSession(nullptr))
        return false;
    ++m_generations[id];
    return replace(document.infoPath, entryPath(id, "json")) &&
           replace(document.copyPath, entryPath(id, "rtf"));
}

void RecoveryFolder::releaseLeftovers()
{
    for (Claimed &c : m_claimed)
        QDir().rmdir(c.folder); // only when everything was adopted
    m_claimed.clear();
}

void RecoveryFolder::discardLeftovers()
{
    for (Claimed &c : m_claimed)
        QDir(c.folder).removeRecursively();
    m_claimed.clear();
}
