// The recent files list of the File menu and File > ReOpen.

#include <QAction>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/RecentFilesList.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {
QString listKey()
{
    return Identity::appKey() + QStringLiteral("\\frmMain\\Recent Files List");
}
QString valueName(int k)
{
    return QStringLiteral("File ") + QString::number(k);
}
} // namespace

void clsMain::recentMenuSync()
{
    for (int k = 0; k < RecentFilesList::MaxEntries; ++k) {
        QAction *item = m_main.menuItem(QStringLiteral("MNUFILERECENTLIST(") + QString::number(k) +
                                        QLatin1Char(')'));
        if (!item)
            continue;
        const QString caption = m_recent->caption(k);
        // The path is shown as written: its own "&" are not mnemonics.
        QString shown =
            caption.left(3) + caption.mid(3).replace(QLatin1Char('&'), QStringLiteral("&&"));
        item->setText(shown);
        item->setData(caption);
        item->setVisible(!caption.isEmpty());
    }
    // The separator below the list only stands when there is a list.
    if (QAction *sep = m_main.menuItem(QStringLiteral("MNUFILESEP5")))
        sep->setVisible(m_recent->count() > 0);
}

void clsMain::recentListWrite()
{
    const clsLibrary &lib = clsLibrary::instance();
    const QStringList captions = m_recent->captions();
    for (int k = 0; k < RecentFilesList::MaxEntries; ++k)
        lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, listKey(), valueName(k), captions[k]);
}

void clsMain::RECENTLISTREAD()
{
    const clsLibrary &lib = clsLibrary::instance();
    QStringList captions;
    for (int k = 0; k < RecentFilesList::MaxEntries; ++k)
        captions.append(
            lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, listKey(), valueName(k), QString()));
    m_recent->setCaptions(captions);
    recentMenuSync();
}

void clsMain::FILERECENTFILESLISTADD(const QString &path)
{
    m_recent->add(path);
    recentMenuSync();
    recentListWrite();
}

void clsMain::FILERECENTFILESLISTOPEN(int k)
{
    // Another running copy may have changed the list.
    RECENTLISTREAD();
    const QString path = m_recent->path(k);
    if (path.isEmpty())
        return;
    if (clsLibrary::instance().FILEEXISTS(path)) {
        FILEOPENONE(path);
        return;
    }
    clsLibrary::instance().MESSAGEBOX(25, path);
    m_recent->remove(k);
    recentMenuSync();
    recentListWrite();
}

void clsMain::FILERECENTFILESLIST_CLEAR()
{
    m_recent->clear();
    recentMenuSync();
    recentListWrite();
}

void clsMain::FILEREOPEN()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return;
    const clsLibrary &lib = clsLibrary::instance();
    const QString caption = doc->Caption();
    if (!lib.FILEEXISTS(caption)) {
        lib.MESSAGEBOX(19, caption);
        return;
    }
    if (doc->isModified()) {
        qint16 answer = 0;
        lib.MESSAGEBOXFCN(5, caption, QString(), QString(), QString(), answer);
        if (answer != MsgResult::Yes)
            return;
    }
    if (loadIntoDocument(doc, caption))
        TOOLBARSBUTTONSUPDATE();
}
