#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// The per-user hierarchical key/value store behind the program's settings: three roots, key
// paths separated by "\", named values that are strings or one 32-bit number type. Key paths and
// value names compare case-insensitively; the spelling of the first write is kept for display.
// Backed by one SQLite database file; each write is its own transaction, so two running copies
// share the file safely (last writer wins). A damaged file is moved aside and replaced by a
// fresh, empty store; a store that cannot be opened reads as empty and refuses writes. A path
// that is not an ordinary file is never opened.
class SettingsStore
{
public:
    enum Root { CurrentUser = 0, LocalMachine = 1, ClassesRoot = 2 };
    // Value types, numbered as the classic registry numbers them.
    enum class Type { String = 1, ExpandString = 2, Dword = 4 };

    // One stored value. `text` holds the data of string types, `number` that of Dword.
    struct Value
    {
        Root root = CurrentUser;
        QString key;
        QString name;
        Type type = Type::String;
        QString text;
        qint32 number = 0;
        bool operator==(const Value &) const = default;
    };

    // Groups the writes made while it lives into one transaction (one disk sync instead of one
    // per value), for callers that save many values at once. Batches nest; the outermost one
    // commits when it goes. Writes inside a batch return true once staged; commit() says
    // whether they were kept.
    class Batch
    {
    public:
        explicit Batch(SettingsStore &store);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;
        // Commits now (outermost batch only); true when everything staged so far was stored.
        bool commit();

    private:
        SettingsStore &m_store;
        bool m_done = false;
    };

    // The program's store; follows setDefaultPath() (it reopens when the path changed).
    static SettingsStore &instance();
    // The database file in the user's configuration folder, unless overridden.
    static QString defaultPath();
    // Points the program's store at another file (tests, tools); empty restores the default.
    static void setDefaultPath(const QString &path);

    // "HKCU", "HKLM", "HKCR" and the long forms ("HKEY_CURRENT_USER" ...), any letter case.
    static std::optional<Root> rootFromName(const QString &name);
    // The short name of a root ("HKCU").
    static QString rootName(Root root);
    // A key path with empty components dropped ("\A\\B\" gives "A\B").
    static QString normalisedKey(const QString &key);
    // The program reads strings into a buffer of 255 one-byte characters with the terminating
    // one: longer strings read as missing.
    static constexpr qsizetype MaxReadCharacters = 254;
    // Characters as a reader counts them (a surrogate pair counts once).
    static qsizetype characterCount(const QString &text);

    explicit SettingsStore(QString path);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString path() const;

    // The value as stored, when it is a string (plain or expandable, returned unexpanded);
    // nullopt when the key or value is missing or the value is not a string.
    std::optional<QString> readString(Root root, const QString &key, const QString &name) const;
    // The value with its type, or nullopt when missing.
    std::optional<Value> read(Root root, const QString &key, const QString &name) const;
    // Stores a string value, creating the key; true when stored.
    bool writeString(Root root, const QString &key, const QString &name, const QString &text);
    // Stores a 32-bit number value, creating the key; true when stored.
    bool writeDword(Root root, const QString &key, const QString &name, qint32 number);
    // Stores a value of any type; true when stored. Keys containing control characters are
    // refused.
    bool write(const Value &value);
    // Stores all values in one transaction: all or nothing.
    bool writeAll(const QList<Value> &values);

    // The values at or below `key` of `root` (the whole root when key is empty), ordered by key
    // and then name, in display spelling.
    QList<Value> values(Root root, const QString &key = {}) const;
    // Every value of every root, ordered by root, key and name.
    QList<Value> allValues() const;

    // Where the store moved its file after finding it damaged (empty when it did not).
    QString damagedFile() const;

    // Something about the store the user should be told, once.
    struct Notice
    {
        enum Kind {
            None,
            // The store's path names a pipe, socket, device or folder: it is not opened, reads
            // give the defaults and writes are refused. `file` is the store's path.
            NotOrdinaryFile,
            // A damaged store was moved aside to `file` and a fresh one took its place.
            DamagedSetAside,
        };
        Kind kind = None;
        QString file;
    };
    // The notice not yet taken (kind None when there is none); taking it clears it.
    Notice takeNotice();

private:
    struct Impl;
    std::unique_ptr<Impl> m_d;
    void reset(const QString &path);
};
