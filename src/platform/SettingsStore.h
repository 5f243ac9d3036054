#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The per-user hierarchical key/value store behind the program's settings: three roots, key
// paths separated by "\", named values that are strings or one 32-bit number type. Names compare
// case-insensitively. Backed by one SQLite database file; each operation is its own transaction,
// so two running copies share the file safely (last writer wins).
class SettingsStore
{
public:
    enum Root { CurrentUser = 0, LocalMachine = 1, ClassesRoot = 2 };

    // The program's store (defaultPath()).
    static SettingsStore &instance();
    // The database file in the user's configuration folder, unless overridden.
    static QString defaultPath();
    // Points the program's store at another file (tests, tools); empty restores the default.
    static void setDefaultPath(const QString &path);

    explicit SettingsStore(QString path);
    ~SettingsStore();
    SettingsStore(const SettingsStore &) = delete;
    SettingsStore &operator=(const SettingsStore &) = delete;

    QString path() const { return m_path; }

    // The value as stored, when it is a string; nullopt when the key or value is missing or the
    // value is not a string.
    std::optional<QString> readString(Root root, const QString &key, const QString &name) const;
    bool writeString(Root root, const QString &key, const QString &name, const QString &text);
    bool writeDword(Root root, const QString &key, const QString &name, qint32 number);

private:
    QString m_path;
};
