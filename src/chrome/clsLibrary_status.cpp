#include <QAction>
#include <QCursor>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QWidget>

#include "chrome/StatusDescriptions.h"
#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"

namespace {

// Panel 1 of the form's status bar SBMAIN, or nullptr when the form has none.
QLabel *descriptionPanel(QWidget *form)
{
    if (!form)
        return nullptr;
    if (auto *bar = form->findChild<QStatusBar *>(QStringLiteral("SBMAIN")))
        return bar->findChild<QLabel *>(QStringLiteral("SBMAIN.Panel1"));
    return nullptr;
}

void setPanel(QLabel *panel, const QString &text)
{
    if (panel && panel->text() != text)
        panel->setText(text);
}

int pointerLeft(QWidget *form, QTimer *timer, const QRect &area)
{
    if (!form)
        return 1;
    if (area.isValid() && area.contains(form->mapFromGlobal(QCursor::pos())))
        return 0;
    setPanel(descriptionPanel(form), QString());
    if (timer)
        timer->stop();
    return 1;
}

} // namespace

void clsLibrary::STATUSBARCAPTION(QWidget *form, const QString &text, int pointer) const
{
    if (!form)
        return;
    setPanel(descriptionPanel(form), text.isEmpty() ? QString() : text + QLatin1Char('.'));
    if (pointer == 11)
        form->setCursor(Qt::WaitCursor);
    else
        form->unsetCursor();
}

void clsLibrary::STATUSTEXTDESC(QWidget *form, const QString &caption) const
{
    // The noun is always "document": the context word the picture browser sets tells the
    // properties dialog what it describes, not what the menus act on.
    const QString noun = QStringLiteral("document");
    setPanel(descriptionPanel(form),
             caption.isEmpty() ? QString()
                               : StatusDescriptions::describe(caption, noun, Identity::AppTitle));
}

int clsLibrary::MOUSEMOVE(QWidget *form, QTimer *timer, const QRect &area) const
{
    return pointerLeft(form, timer, area);
}

int clsLibrary::MOUSEMOVEMDI(QWidget *form, QTimer *timer, const QRect &area) const
{
    return pointerLeft(form, timer, area);
}

void clsLibrary::DESCRIBEMENU(QWidget *form, QMenu *menu) const
{
    if (!form || !menu)
        return;
    QObject::connect(menu, &QMenu::hovered, form, [this, form](QAction *a) {
        if (!a || a->isSeparator() || a->objectName().startsWith(QLatin1String("winFORM:")))
            STATUSTEXTDESC(form, QString());
        else if (!a->statusTip().isEmpty())
            setPanel(descriptionPanel(form), a->statusTip());
        else
            STATUSTEXTDESC(form, a->text());
    });
    QObject::connect(menu, &QMenu::aboutToHide, form,
                     [this, form] { STATUSTEXTDESC(form, QString()); });
}
