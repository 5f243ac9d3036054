#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "platform/AppPaths.h"
#include "platform/SettingsStore.h"

// Gives a test a fresh settings store, program folder and user folders ($XDG_DATA_HOME and
// $XDG_STATE_HOME, so added words, user templates and recovery copies) in a temporary folder,
// and restores the defaults when it goes.
class TempSettings
{
public:
    TempSettings() : m_data(saved("XDG_DATA_HOME")), m_state(saved("XDG_STATE_HOME"))
    {
        SettingsStore::setDefaultPath(m_dir.filePath(QStringLiteral("settings.sqlite")));
        AppPaths::setProgramFolder(programFolder());
        QDir().mkpath(programFolder());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("data"))));
        qputenv("XDG_STATE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("state"))));
        AppPaths::setDocumentsFolder(documentsFolder());
        QDir().mkpath(documentsFolder());
    }
    ~TempSettings()
    {
        SettingsStore::setDefaultPath(QString());
        AppPaths::setProgramFolder(QString());
        restore("XDG_DATA_HOME", m_data);
        restore("XDG_STATE_HOME", m_state);
        AppPaths::setDocumentsFolder(QString());
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString storePath() const { return SettingsStore::defaultPath(); }
    QString programFolder() const { return m_dir.filePath(QStringLiteral("program")); }
    // The user's documents folder while the test runs.
    QString documentsFolder() const { return m_dir.filePath(QStringLiteral("home/Documents")); }

private:
    // An unset variable is remembered as a null value.
    static QByteArray saved(const char *name)
    {
        return qEnvironmentVariableIsSet(name) ? qgetenv(name) : QByteArray();
    }
    static void restore(const char *name, const QByteArray &value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QTemporaryDir m_dir;
    QByteArray m_data;
    QByteArray m_state;
};
