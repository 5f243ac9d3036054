// Format commands: the toolbar boxes, character formatting, alignment, indents and the formatting
// dialogs.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QComboBox>

#include <algorithm>

void clsMain::FORMATPAINTERMENU()
{}

void clsMain::FORMATPAINTERTOOLBAR()
{}

void clsMain::FORMATPARAGRAPH()
{}

void clsMain::FORMATTABS()
{}

void clsMain::FORMATFONTS()
{}

void clsMain::MDICOMBOSINITIALIZE()
{
    // The size and style lists are short; the font names come with the formatting commands.
    if (QComboBox *size = m_main.fontSizeBox(); size && size->count() == 0) {
        QStringList sizes;
        for (int i = 1; i <= 16; ++i)
            sizes.append(QString::number(i));
        for (int s : {18, 20, 22, 24,  26,  28,  32,  36,  40,  48,  54,  60,
                      72, 84, 96, 110, 120, 150, 180, 210, 250, 300, 350, 400})
            sizes.append(QString::number(s));
        size->addItems(sizes);
    }
    if (QComboBox *style = m_main.fontStyleBox(); style && style->count() == 0)
        style->addItems({QStringLiteral("Normal Text"), QStringLiteral("Web Address"),
                         QStringLiteral("Bold Text"), QStringLiteral("Underline Text"),
                         QStringLiteral("Main Heading"), QStringLiteral("Sub Heading 1"),
                         QStringLiteral("Sub Heading 2"), QStringLiteral("Sub Heading 3"),
                         QStringLiteral("Bullets"), QStringLiteral("Italic Text"),
                         QStringLiteral("Unformatted")});
}

void clsMain::FONTNAMEUPDATE()
{
    RichTextBox *rtf = ActiveText();
    QComboBox *box = m_main.fontNameBox();
    if (rtf && box && !box->currentText().isEmpty())
        rtf->setSelFontName(box->currentText());
}

void clsMain::FONTSIZEUPDATE()
{
    RichTextBox *rtf = ActiveText();
    QComboBox *box = m_main.fontSizeBox();
    if (rtf && box && box->currentText().toDouble() > 0)
        rtf->setSelFontSize(box->currentText().toDouble());
}

void clsMain::FONTSTYLEUPDATE()
{}

void clsMain::FONTSIZEINCR()
{}

void clsMain::FONTSIZEDECR()
{}

void clsMain::FONTCOLOR()
{}

void clsMain::FONTBOLD()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelBold(!rtf->SelBold().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTITALIC()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelItalic(!rtf->SelItalic().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTUNDERLINE()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelUnderline(!rtf->SelUnderline().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTBULLETS()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelBullet(!rtf->SelBullet().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNLEFT()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelAlignment(RichTextBox::AlignLeft);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNCENTER()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelAlignment(RichTextBox::AlignCenter);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNRIGHT()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelAlignment(RichTextBox::AlignRight);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FORMATINDENTINCREASE()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelIndent(rtf->SelIndent().value_or(0) + 720);
}

void clsMain::FORMATINDENTDECREASE()
{
    if (RichTextBox *rtf = ActiveText())
        rtf->setSelIndent(std::max(0, rtf->SelIndent().value_or(0) - 720));
}
