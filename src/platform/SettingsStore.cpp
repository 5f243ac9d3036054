#include "platform/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <sqlite3.h>
#include <sys/stat.h>

// The store is one table; `key_fold` and `name_fold` are the case-folded key path and value
// name that lookups use, `key_path` and `value_name` the spelling of the first write.
//
// Journal: write-ahead log with synchronous=NORMAL. Every write is its own transaction; a
// killed process loses nothing committed and never leaves a broken store, a power cut may lose
// the last writes but leaves a consistent one. Commits do not wait for the disk (only the
// occasional checkpoint does), so a dialog saving its history one value at a time stays quick
// and two running copies rarely wait for each other; readers never block the writer.

namespace {

constexpr int BusyTimeoutMs = 5000;
constexpr int ApplicationId = 0x50584c53; // "PXLS"

const char *const SchemaSql = "CREATE TABLE IF NOT EXISTS settings ("
                              " root INTEGER NOT NULL,"
                              " key_fold TEXT NOT NULL,"
                              " name_fold TEXT NOT NULL,"
                              " key_path TEXT NOT NULL,"
                              " value_name TEXT NOT NULL,"
                              " type INTEGER NOT NULL,"
                              " data,"
                              " PRIMARY KEY (root, key_fold, name_fold)"
                              ") WITHOUT ROWID";

QString &overridePath()
{
    static QString p;
    return p;
}

bool isDamage(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

QString fold(const QString &s)
{
    return s.toCaseFolded();
}

bool hasControlCharacters(const QString &s)
{
    for (const QChar c : s) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return true;
    }
    return false;
}

// A prepared statement that resets itself when it goes out of scope.
class Stmt
{
public:
    explicit Stmt(sqlite3_stmt *s) : m_s(s) {}
    ~Stmt()
    {
        if (m_s) {
            sqlite3_reset(m_s);
            sqlite3_clear_bindings(m_s);
        }
    }
    Stmt(const Stmt &) = delete;
    Stmt &operator=(const Stmt &) = delete;
    sqlite3_stmt *get() const { return m_s; }
    void bind(int i, int v) { sqlite3_bind_int(m_s, i, v); }
    void bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(m_s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    int step() { return sqlite3_step(m_s); }
    QString text(int col) const
    {
        const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_s, col));
        return p ? QString::fromUtf8(p, sqlite3_column_bytes(m_s, col)) : QString();
    }
    int integer(int col) const { return sqlite3_column_int(m_s, col); }

private:
    sqlite3_stmt *m_s;
};

} // namespace

struct SettingsStore::Impl
{
    QString path;
    sqlite3 *db = nullptr;
    bool readOnly = false;
    int batchDepth = 0;
    bool batchFailed = false;
    QString damaged;
    // The file the open connection was opened on, so that only that file is ever set aside.
    dev_t openedDevice = 0;
    ino_t openedInode = 0;
    Notice notice;
    bool noticeGiven = false;

    enum StatementId { Read, FindKey, FindPrefix, Upsert, ListRoot, ListKey, ListAll, Count };
    sqlite3_stmt *stmts[Count] = {};

    ~Impl() { close(); }

    void setNotice(Notice::Kind kind, const QString &file)
    {
        if (noticeGiven && notice.kind == Notice::None && kind == Notice::NotOrdinaryFile)
            return; // said once already
        notice.kind = kind;
        notice.file = file;
    }

    void close()
    {
        for (auto &s : stmts) {
            sqlite3_finalize(s);
            s = nullptr;
        }
        if (db) {
            if (!sqlite3_get_autocommit(db))
                sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(db);
            db = nullptr;
        }
    }

    // Opens the database when it is not open. Reads do not create a missing file.
    // Returns SQLITE_OK or the error that stopped it; damage has already been dealt with.
    int open(bool forWrite)
    {
        if (db)
            return SQLITE_OK;
        if (path.isEmpty())
            return SQLITE_CANTOPEN;
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
            // A pipe, socket, device or folder is never opened: opening a pipe would wait for
            // ever. The program runs on its defaults and says so once.
            if (!S_ISREG(st.st_mode)) {
                setNotice(Notice::NotOrdinaryFile, path);
                return SQLITE_CANTOPEN;
            }
        } else {
            if (!forWrite)
                return SQLITE_CANTOPEN;
            QDir().mkpath(QFileInfo(path).absolutePath());
        }
        int rc = openOnce();
        if (isDamage(rc)) {
            moveAside();
            rc = openOnce();
        }
        return rc;
    }

    int openOnce()
    {
        const int rc =
            openWith(QFile::encodeName(path), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        const int primary = rc & 0xff;
        if (rc == SQLITE_OK || !QFileInfo::exists(path) ||
            (primary != SQLITE_CANTOPEN && primary != SQLITE_READONLY && primary != SQLITE_IOERR))
            return rc;
        // A store in a folder the user may not write to: the write-ahead log needs files beside
        // the database. Read it as a file nobody changes instead.
        return openWith(QUrl::fromLocalFile(path).toEncoded() + "?immutable=1",
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_URI);
    }

    int openWith(const QByteArray &name, int flags)
    {
        int rc = sqlite3_open_v2(name.constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (rc == SQLITE_OK) {
            readOnly = sqlite3_db_readonly(db, "main") == 1;
            sqlite3_busy_timeout(db, BusyTimeoutMs);
            sqlite3_extended_result_codes(db, 1);
            struct stat st;
            if (::stat(QFile::encodeName(path).constData(), &st) == 0) {
                openedDevice = st.st_dev;
                openedInode = st.st_ino;
            }
            rc = checkAndPrepare();
        }
        if (rc != SQLITE_OK)
            close();
        return rc;
    }

    // The check of an existing store and the creation of a new one happen in one transaction,
    // so a copy starting at the same moment never sees a store half made (and never takes it
    // for damage); the journal mode is set after, as it cannot change inside a transaction.
    int checkAndPrepare()
    {
        int rc = exec(readOnly ? "BEGIN" : "BEGIN IMMEDIATE");
        if (rc != SQLITE_OK)
            return rc;
        rc = check();
        if (rc == SQLITE_OK)
            rc = prepareSchema();
        if (rc == SQLITE_OK)
            rc = exec("COMMIT");
        if (rc != SQLITE_OK) {
            exec("ROLLBACK");
            return rc;
        }
        if (!readOnly) {
            // Only once the file is known to be ours. Best effort: a store another copy holds
            // busy stays in its current mode.
            exec("PRAGMA journal_mode=WAL");
            exec("PRAGMA synchronous=NORMAL");
        }
        return SQLITE_OK;
    }

    // The first column of the first row of a query as a number.
    int queryInt(const char *sql, int &out)
    {
        sqlite3_stmt *s = nullptr;
        int rc = sqlite3_prepare_v2(db, sql, -1, &s, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(s);
            if (rc == SQLITE_ROW) {
                out = sqlite3_column_int(s, 0);
                rc = SQLITE_OK;
            }
        }
        sqlite3_finalize(s);
        return rc;
    }

    // quick_check; a file that is not a database or fails the check counts as damaged.
    int check()
    {
        sqlite3_stmt *s = nullptr;
        int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &s, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(s);
            if (rc == SQLITE_ROW) {
                const auto *r = reinterpret_cast<const char *>(sqlite3_column_text(s, 0));
                rc = (r && qstrcmp(r, "ok") == 0) ? SQLITE_OK : SQLITE_CORRUPT;
            }
        }
        sqlite3_finalize(s);
        return rc;
    }

    int prepareSchema()
    {
        // The file must be ours: an empty database becomes the store; one with tables and
        // without our application id belongs to another program and is never written to.
        int appId = 0;
        int tables = 0;
        int rc = queryInt("PRAGMA application_id", appId);
        if (rc == SQLITE_OK)
            rc = queryInt("SELECT count(*) FROM sqlite_master", tables);
        if (rc != SQLITE_OK)
            return rc;
        if (appId != ApplicationId && (appId != 0 || tables != 0))
            return SQLITE_NOTADB;
        if (readOnly) {
            if (appId == 0)
                return SQLITE_READONLY; // an empty file: nothing to read
        } else if (appId == 0) {
            const QByteArray create = QByteArray(SchemaSql) +
                                      ";PRAGMA application_id=" + QByteArray::number(ApplicationId);
            rc = exec(create.constData());
            if (rc != SQLITE_OK)
                return rc;
        }
        static const char *const sql[Count] = {
            "SELECT key_path, value_name, type, data FROM settings"
            " WHERE root=?1 AND key_fold=?2 AND name_fold=?3",
            "SELECT key_path FROM settings WHERE root=?1 AND key_fold=?2 LIMIT 1",
            "SELECT key_path FROM settings WHERE root=?1 AND"
            " (key_fold=?2 OR (key_fold>=?2||'\\' AND key_fold<?2||']')) LIMIT 1",
            "INSERT INTO settings(root, key_fold, name_fold, key_path, value_name, type, data)"
            " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7) ON CONFLICT(root, key_fold, name_fold)"
            " DO UPDATE SET type=excluded.type, data=excluded.data",
            "SELECT root, key_path, value_name, type, data FROM settings WHERE root=?1"
            " ORDER BY key_fold, name_fold",
            "SELECT root, key_path, value_name, type, data FROM settings WHERE root=?1 AND"
            " (key_fold=?2 OR (key_fold>=?2||'\\' AND key_fold<?2||']'))"
            " ORDER BY key_fold, name_fold",
            "SELECT root, key_path, value_name, type, data FROM settings"
            " ORDER BY root, key_fold, name_fold",
        };
        for (int i = 0; i < Count; ++i) {
            rc = sqlite3_prepare_v3(db, sql[i], -1, SQLITE_PREPARE_PERSISTENT, &stmts[i], nullptr);
            if (rc != SQLITE_OK) {
                // Our id without our table: a damaged store.
                return (rc & 0xff) == SQLITE_ERROR ? SQLITE_NOTADB : rc;
            }
        }
        return SQLITE_OK;
    }

    // Moves the damaged file (and any journal beside it) aside under a dated name.
    void moveAside()
    {
        close();
        // Another copy may have set the damaged file aside already and made a new store in its
        // place: that one is left alone.
        struct stat st;
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 ||
            (openedInode != 0 && (st.st_dev != openedDevice || st.st_ino != openedInode)))
            return;
        const QString stamp =
            QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        QString target = path + QStringLiteral(".damaged-") + stamp;
        for (int n = 2; QFileInfo::exists(target); ++n)
            target =
                path + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(n);
        if (!QFile::rename(path, target))
            return;
        damaged = target;
        setNotice(Notice::DamagedSetAside, target);
        for (const char *suffix : {"-journal", "-wal", "-shm"}) {
            const QString side = path + QLatin1String(suffix);
            if (QFileInfo::exists(side))
                QFile::rename(side, target + QLatin1String(suffix));
        }
    }

    // After an operation failed with rc: deals with damage; true when the caller may retry.
    bool recover(int rc)
    {
        if (!isDamage(rc))
            return false;
        if (batchDepth > 0)
            batchFailed = true;
        moveAside();
        return !damaged.isEmpty() && open(true) == SQLITE_OK;
    }

    Value rowValue(const Stmt &s, Root root, int first) const
    {
        Value v;
        v.root = root;
        v.key = s.text(first);
        v.name = s.text(first + 1);
        v.type = static_cast<Type>(s.integer(first + 2));
        if (v.type == Type::Dword)
            v.number = sqlite3_column_int(s.get(), first + 3);
        else
            v.text = s.text(first + 3);
        return v;
    }

    int readOnce(Root root, const QString &key, const QString &name, std::optional<Value> &out)
    {
        out.reset();
        int rc = open(false);
        if (rc != SQLITE_OK)
            return rc;
        Stmt s(stmts[Read]);
        s.bind(1, int(root));
        s.bind(2, fold(key));
        s.bind(3, fold(name));
        rc = s.step();
        if (rc == SQLITE_ROW) {
            out = rowValue(s, root, 0);
            return SQLITE_OK;
        }
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

    // The display spelling for a key path: an existing key's spelling for every leading part
    // the store already has, the caller's for the rest.
    QString displayKey(Root root, const QString &key, const QString &keyFold)
    {
        {
            Stmt s(stmts[FindKey]);
            s.bind(1, int(root));
            s.bind(2, keyFold);
            if (s.step() == SQLITE_ROW)
                return s.text(0);
        }
        const QStringList parts = key.split(QLatin1Char('\\'));
        const QStringList folded = keyFold.split(QLatin1Char('\\'));
        if (parts.size() != folded.size())
            return key;
        for (qsizetype n = parts.size() - 1; n > 0; --n) {
            Stmt s(stmts[FindPrefix]);
            s.bind(1, int(root));
            s.bind(2, folded.mid(0, n).join(QLatin1Char('\\')));
            if (s.step() == SQLITE_ROW) {
                const QStringList existing = s.text(0).split(QLatin1Char('\\'));
                if (existing.size() < n)
                    return key;
                return (existing.mid(0, n) + parts.mid(n)).join(QLatin1Char('\\'));
            }
        }
        return key;
    }

    int upsert(const Value &v)
    {
        const QString key = normalisedKey(v.key);
        const QString keyFold = fold(key);
        const QString display = displayKey(v.root, key, keyFold);
        Stmt s(stmts[Upsert]);
        s.bind(1, int(v.root));
        s.bind(2, keyFold);
        s.bind(3, fold(v.name));
        s.bind(4, display);
        s.bind(5, v.name);
        s.bind(6, int(v.type));
        if (v.type == Type::Dword)
            sqlite3_bind_int(s.get(), 7, v.number);
        else
            s.bind(7, v.text);
        const int rc = s.step();
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

    int exec(const char *sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr); }

    // Writes the values in one transaction (joining the open batch, if any).
    int writeOnce(const QList<Value> &values)
    {
        int rc = open(true);
        if (rc != SQLITE_OK)
            return rc;
        if (readOnly)
            return SQLITE_READONLY;
        const bool own = sqlite3_get_autocommit(db) != 0;
        if (own) {
            rc = exec("BEGIN IMMEDIATE");
            if (rc != SQLITE_OK) {
                if (batchDepth > 0)
                    batchFailed = true;
                return rc;
            }
        }
        for (const Value &v : values) {
            rc = upsert(v);
            if (rc != SQLITE_OK)
                break;
        }
        if (rc != SQLITE_OK) {
            exec("ROLLBACK"); // inside a batch this drops what the batch staged so far
            if (batchDepth > 0)
                batchFailed = true;
            return rc;
        }
        if (own && batchDepth == 0) {
            rc = exec("COMMIT");
            if (rc != SQLITE_OK)
                exec("ROLLBACK");
        }
        return rc;
    }

    bool write(const QList<Value> &values)
    {
        for (const Value &v : values) {
            if (hasControlCharacters(v.key) ||
                (v.type != Type::String && v.type != Type::ExpandString && v.type != Type::Dword))
                return false;
        }
        int rc = writeOnce(values);
        if (rc != SQLITE_OK && recover(rc))
            rc = writeOnce(values);
        return rc == SQLITE_OK;
    }

    int listOnce(StatementId id, Root root, const QString &keyFold, QList<Value> &out)
    {
        out.clear();
        int rc = open(false);
        if (rc != SQLITE_OK)
            return rc;
        Stmt s(stmts[id]);
        if (id != ListAll)
            s.bind(1, int(root));
        if (id == ListKey)
            s.bind(2, keyFold);
        while ((rc = s.step()) == SQLITE_ROW)
            out.append(rowValue(s, static_cast<Root>(s.integer(0)), 1));
        return rc == SQLITE_DONE ? SQLITE_OK : rc;
    }

    QList<Value> list(StatementId id, Root root, const QString &key)
    {
        QList<Value> out;
        const int rc = listOnce(id, root, fold(normalisedKey(key)), out);
        if (rc != SQLITE_OK) {
            recover(rc);
            out.clear();
        }
        return out;
    }
};

// --- Batch ------------------------------------------------------------------------------------

SettingsStore::Batch::Batch(SettingsStore &store) : m_store(store)
{
    if (m_store.m_d->batchDepth++ == 0)
        m_store.m_d->batchFailed = false;
}

SettingsStore::Batch::~Batch()
{
    commit();
}

bool SettingsStore::Batch::commit()
{
    Impl &d = *m_store.m_d;
    if (m_done)
        return !d.batchFailed;
    m_done = true;
    // A store reopened on another file while the batch lived has nothing of it left to commit.
    if (d.batchDepth == 0 || --d.batchDepth > 0)
        return !d.batchFailed;
    if (d.db && !sqlite3_get_autocommit(d.db)) {
        if (d.exec("COMMIT") != SQLITE_OK) {
            d.exec("ROLLBACK");
            d.batchFailed = true;
        }
    }
    return !d.batchFailed;
}

// --- SettingsStore ----------------------------------------------------------------------------

SettingsStore &SettingsStore::instance()
{
    static SettingsStore store(defaultPath());
    const QString wanted = defaultPath();
    if (store.m_d->path != wanted)
        store.reset(wanted);
    return store;
}

QString SettingsStore::defaultPath()
{
    if (!overridePath().isEmpty())
        return overridePath();
    // ~/.config/pamphlexa/settings.sqlite: the folder is named after the program, whatever
    // organisation name the running executable set (the settings tool finds the same file).
    // Worked out once: every read asks for it.
    static const QString path = [] {
        const QString config =
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        return config.isEmpty() ? QString() : config + QStringLiteral("/pamphlexa/settings.sqlite");
    }();
    return path;
}

void SettingsStore::setDefaultPath(const QString &path)
{
    overridePath() = path;
}

std::optional<SettingsStore::Root> SettingsStore::rootFromName(const QString &name)
{
    const QString n = name.toUpper();
    if (n == QLatin1String("HKCU") || n == QLatin1String("HKEY_CURRENT_USER"))
        return CurrentUser;
    if (n == QLatin1String("HKLM") || n == QLatin1String("HKEY_LOCAL_MACHINE"))
        return LocalMachine;
    if (n == QLatin1String("HKCR") || n == QLatin1String("HKEY_CLASSES_ROOT"))
        return ClassesRoot;
    return std::nullopt;
}

QString SettingsStore::rootName(Root root)
{
    switch (root) {
    case CurrentUser:
        return QStringLiteral("HKCU");
    case LocalMachine:
        return QStringLiteral("HKLM");
    case ClassesRoot:
        return QStringLiteral("HKCR");
    }
    return QStringLiteral("HKCU");
}

QString SettingsStore::normalisedKey(const QString &key)
{
    return key.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
}

qsizetype SettingsStore::characterCount(const QString &text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!(text.at(i).isLowSurrogate() && i > 0 && text.at(i - 1).isHighSurrogate()))
            ++n;
    }
    return n;
}

SettingsStore::SettingsStore(QString path) : m_d(std::make_unique<Impl>())
{
    m_d->path = std::move(path);
}

SettingsStore::~SettingsStore() = default;

void SettingsStore::reset(const QString &path)
{
    m_d->close();
    m_d->path = path;
    m_d->damaged.clear();
    m_d->notice = Notice();
    m_d->noticeGiven = false;
    m_d->openedDevice = 0;
    m_d->openedInode = 0;
    m_d->readOnly = false;
    m_d->batchDepth = 0;
    m_d->batchFailed = false;
}

QString SettingsStore::path() const
{
    return m_d->path;
}

QString SettingsStore::damagedFile() const
{
    return m_d->damaged;
}

SettingsStore::Notice SettingsStore::takeNotice()
{
    const Notice n = m_d->notice;
    if (n.kind != Notice::None)
        m_d->noticeGiven = true;
    m_d->notice = Notice();
    return n;
}

std::optional<SettingsStore::Value> SettingsStore::read(Root root, const QString &key,
                                                        const QString &name) const
{
    std::optional<Value> v;
    const int rc = m_d->readOnce(root, normalisedKey(key), name, v);
    if (rc != SQLITE_OK) {
        m_d->recover(rc);
        return std::nullopt;
    }
    return v;
}

std::optional<QString> SettingsStore::readString(Root root, const QString &key,
                                                 const QString &name) const
{
    const auto v = read(root, key, name);
    if (!v || (v->type != Type::String && v->type != Type::ExpandString))
        return std::nullopt;
    return v->text;
}

bool SettingsStore::writeString(Root root, const QString &key, const QString &name,
                                const QString &text)
{
    Value v;
    v.root = root;
    v.key = key;
    v.name = name;
    v.type = Type::String;
    v.text = text;
    return write(v);
}

bool SettingsStore::writeDword(Root root, const QString &key, const QString &name, qint32 number)
{
    Value v;
    v.root = root;
    v.key = key;
    v.name = name;
    v.type = Type::Dword;
    v.number = number;
    return write(v);
}

bool SettingsStore::write(const Value &value)
{
    return m_d->write({value});
}

bool SettingsStore::writeAll(const QList<Value> &values)
{
    if (values.isEmpty())
        return true;
    return m_d->write(values);
}

QList<SettingsStore::Value> SettingsStore::values(Root root, const QString &key) const
{
    const bool all = normalisedKey(key).isEmpty();
    return m_d->list(all ? Impl::ListRoot : Impl::ListKey, root, key);
}

QList<SettingsStore::Value> SettingsStore::allValues() const
{
    return m_d->list(Impl::ListAll, CurrentUser, QString());
}
