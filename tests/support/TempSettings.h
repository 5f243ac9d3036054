#pragma once

#include <QDir>
#include <QTemporaryDir>

#include "platform/AppPaths.h"
#include "platform/SettingsStore.h"

// Gives a test a fresh settings store and program folder in a temporary folder, and restores
// the defaults when it goes.
class TempSettings
{
public:
    TempSettings()
    {
        SettingsStore::setDefaultPath(m_dir.filePath(QStringLiteral("settings.sqlite")));
        AppPaths::setProgramFolder(m_dir.filePath(QStringLiteral("program")));
        QDir().mkpath(m_dir.filePath(QStringLiteral("program")));
        AppPaths::setDocumentsFolder(documentsFolder());
        QDir().mkpath(documentsFolder());
    }
    ~TempSettings()
    {
        SettingsStore::setDefaultPath(QString());
        AppPaths::setProgramFolder(QString());
        AppPaths::setDocumentsFolder(QString());
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString storePath() const { return SettingsStore::defaultPath(); }
    QString programFolder() const { return m_dir.filePath(QStringLiteral("program")); }
    // The user's documents folder while the test runs.
    QString documentsFolder() const { return m_dir.filePath(QStringLiteral("home/Documents")); }

private:
    QTemporaryDir m_dir;
};
