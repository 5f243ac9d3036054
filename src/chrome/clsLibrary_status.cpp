#include "core/clsLibrary.h"

#include <QLabel>
#include <QStatusBar>
#include <QWidget>

void clsLibrary::STATUSBARCAPTION(QWidget *form, const QString &text, int pointer) const
{
    if (!form)
        return;
    if (auto *bar = form->findChild<QStatusBar *>(QStringLiteral("SBMAIN"))) {
        if (auto *panel = bar->findChild<QLabel *>(QStringLiteral("SBMAIN.Panel1"))) {
            const QString shown = text.isEmpty() ? QString() : text + QLatin1Char('.');
            if (panel->text() != shown)
                panel->setText(shown);
        }
    }
    if (pointer == 11)
        form->setCursor(Qt::WaitCursor);
    else
        form->unsetCursor();
}
