#include "platform/SettingsStore.h"

// Placeholder until the SQLite backing lands: nothing is kept.

namespace {
QString &overridePath()
{
    static QString p;
    return p;
}
} // namespace

SettingsStore &SettingsStore::instance()
{
    static SettingsStore store(defaultPath());
    return store;
}

QString SettingsStore::defaultPath() { return overridePath(); }

void SettingsStore::setDefaultPath(const QString &path) { overridePath() = path; }

SettingsStore::SettingsStore(QString path) : m_path(std::move(path)) {}
SettingsStore::~SettingsStore() = default;

std::optional<QString> SettingsStore::readString(Root, const QString &, const QString &) const
{
    return std::nullopt;
}

bool SettingsStore::writeString(Root, const QString &, const QString &, const QString &) { return false; }

bool SettingsStore::writeDword(Root, const QString &, const QString &, qint32) { return false; }
