// Insert menu commands for dates, times and symbols.

#include <QAction>

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "editing/frmDate.h"
#include "editing/frmSymbol.h"
#include "editing/frmTime.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

void clsMain::INSERTDATE()
{
    RichTextBox *text = ActiveText();
    if (!text)
        return;
    frmDate dialog(text, &m_main);
    UiServices::instance().execDialog(&dialog);
}

void clsMain::INSERTTIME()
{
    RichTextBox *text = ActiveText();
    if (!text)
        return;
    frmTime dialog(text, &m_main);
    UiServices::instance().execDialog(&dialog);
}

void clsMain::INSERTSYMBOL()
{
    RichTextBox *text = ActiveText();
    if (!text)
        return;
    auto pressed = [this](const char *key) {
        const QAction *button = m_main.button(QString::fromLatin1(key));
        return button && button->isChecked();
    };
    frmSymbol dialog(text, {pressed("BOLD"), pressed("ITALIC"), pressed("UNDERLINE")}, &m_main);
    UiServices::instance().execDialog(&dialog);
}
