// Profile fields and HTML colour codes, and the HTML preview.

#include <QAction>
#include <QDialog>
#include <QUrl>

#include "content/Profile.h"
#include "content/frmHTMLCode.h"
#include "content/frmProfile.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

void clsMain::INSERTPROFILEFIELD(const QString &item)
{
    if (item.compare(QLatin1String("MNUINSERTPSUBSETTINGS"), Qt::CaseInsensitive) == 0) {
        const clsLibrary &lib = clsLibrary::instance();
        lib.STATUSBARCAPTION(&m_main, QStringLiteral("Obtaining personal details..."), 0);
        bool saved = false;
        {
            frmProfile dialog(Profile::filePath(), &m_main);
            saved = UiServices::instance().execDialog(&dialog) == QDialog::Accepted;
        }
        if (saved && ActiveDoc())
            MYPROFILEUPDATE();
        lib.STATUSBARCAPTION(&m_main, QString(), 0);
        return;
    }
    RichTextBox *text = ActiveText();
    if (!text)
        return;
    // The values are those the profile dialog would show: the file as it is now.
    const QString value = Profile::insertText(Profile::load(Profile::filePath()), item);
    if (!value.isEmpty())
        text->setSelText(value);
}

void clsMain::MYPROFILEUPDATE()
{
    const Profile::Fields fields = Profile::load(Profile::filePath());
    for (const QString &item : Profile::menuItems())
        if (QAction *action = m_main.menuItem(item))
            action->setEnabled(Profile::itemAvailable(fields, item));
}

void clsMain::INSERTHTMLCODE()
{
    frmHTMLCode::SHOW(&m_main, [this] { return ActiveText(); });
}

void clsMain::VIEWHTMLPREVIEW()
{
    // The document's file as it was last saved; a document that has never been saved has no
    // file to show.
    frmDocRTF *doc = ActiveDoc();
    if (!doc || doc->isUntitled())
        return;
    INTERNETACCESS(QUrl::fromLocalFile(doc->Caption()).toString());
}
