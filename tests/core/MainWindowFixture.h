#pragma once

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "core/modMain.h"
#include "documents/PageMetrics.h"
#include "documents/RecentFilesList.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"
#include "platform/ScreenMetrics.h"
#include "support/ScriptedUiServices.h"
#include "support/TempSettings.h"

// A running program for one test: a fresh store and program folder, scripted dialogs, and the
// main window started as the start-up routine starts it.
class MainWindowFixture
{
public:
    MainWindowFixture()
    {
        AppState::reset();
        // A Letter page whatever printers the machine has: 8.5 inches.
        PageMetrics::setPageWidthTwips(12240);
    }
    ~MainWindowFixture() { stop(); }

    frmMain &start(const QString &commandLine = QString())
    {
        m_main.reset(modMain::Start(commandLine));
        return *m_main;
    }
    frmMain &startWith(const QStringList &files)
    {
        m_main.reset(modMain::Start(files));
        return *m_main;
    }
    // Closes the main window as the user would; true when it closed.
    bool close() { return m_main->close(); }
    void stop()
    {
        m_main.reset();
        AppState::reset();
    }

    frmMain &main() { return *m_main; }
    clsMain &cmd() { return m_main->cmd(); }
    frmDocRTF *active() { return m_main->activeDocument(); }

    // A file in the temporary folder with the given content.
    QString file(const QString &name, const QByteArray &content)
    {
        const QString path = settings.path(name);
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(content);
        return path;
    }

    QString read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    QString store(const QString &key, const QString &name,
                  const QString &def = QStringLiteral("<none>"))
    {
        return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER,
                                                 Identity::appKey() + key, name, def);
    }
    void setStore(const QString &key, const QString &name, const QString &value)
    {
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, Identity::appKey() + key,
                                           name, value);
    }

    TempSettings settings;
    ScriptedUiServices ui;

private:
    std::unique_ptr<frmMain> m_main;
};
