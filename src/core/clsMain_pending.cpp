// Commands whose subsystems (editing, pictures, content, printing, preferences) are built on
// their own: each has its menu item and button already, and a body that does the least the
// program needs until its subsystem defines it in its own folder.

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "content/SpellingCommands.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QComboBox>

namespace {
RichTextBox *activeText(const clsMain &c)
{
    frmDocRTF *doc = c.ActiveDoc();
    return doc ? doc->RTF1 : nullptr;
}
} // namespace

void clsMain::PASTEUPDATE()
{
    RichTextBox *rtf = activeText(*this);
    const bool can = rtf && !rtf->isReadOnly() && rtf->CanPaste();
    if (QAction *a = m_main.menuItem(QStringLiteral("MNUEDITPASTE")))
        a->setEnabled(can);
    if (QAction *b = m_main.button(QStringLiteral("PASTE")))
        b->setEnabled(can);
}

void clsMain::EDITUNDO()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->Undo();
}

void clsMain::EDITCUT()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->Cut();
    PASTEUPDATE();
}

void clsMain::EDITCOPY()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->Copy();
    PASTEUPDATE();
}

void clsMain::EDITPASTE()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->Paste();
    PASTEUPDATE();
}

void clsMain::EDITDELETE()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->Delete();
}

void clsMain::EDITSELECTALL()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->selectAll();
}

void clsMain::FORMATPAINTERMENU()
{}
void clsMain::FORMATPAINTERTOOLBAR()
{}
void clsMain::EDITFIND()
{}
void clsMain::EDITFINDNEXT()
{}
void clsMain::EDITREPLACE()
{}
void clsMain::EDITGOTO()
{}
void clsMain::VIEWHTMLPREVIEW()
{}
void clsMain::VIEWHEADERFOOTER()
{}
void clsMain::PROPERTIES()
{}
void clsMain::INSERTDATE()
{}
void clsMain::INSERTTIME()
{}
void clsMain::INSERTPROFILEFIELD(const QString &)
{}
void clsMain::INSERTHTMLCODE()
{}
void clsMain::INSERTPICTURE()
{}
void clsMain::INSERTSYMBOL()
{}
void clsMain::INSERTFILE()
{}
void clsMain::FORMATPARAGRAPH()
{}
void clsMain::FORMATTABS()
{}
void clsMain::FORMATFONTS()
{}
void clsMain::PRINTDOCUMENT()
{}
void clsMain::PRINTPREVIEW()
{}
void clsMain::FILEPAGESETUP()
{}

void clsMain::FILEPREFERENCES()
{
    clsLibrary::instance().STATUSBARCAPTION(&m_main, QStringLiteral("Obtaining settings..."), 11);
    clsLibrary::instance().STATUSBARCAPTION(&m_main, QString(), 0);
}

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
    RichTextBox *rtf = activeText(*this);
    QComboBox *box = m_main.fontNameBox();
    if (rtf && box && !box->currentText().isEmpty())
        rtf->setSelFontName(box->currentText());
}

void clsMain::FONTSIZEUPDATE()
{
    RichTextBox *rtf = activeText(*this);
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
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelBold(!rtf->SelBold().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTITALIC()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelItalic(!rtf->SelItalic().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTUNDERLINE()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelUnderline(!rtf->SelUnderline().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTBULLETS()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelBullet(!rtf->SelBullet().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNLEFT()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelAlignment(RichTextBox::AlignLeft);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNCENTER()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelAlignment(RichTextBox::AlignCenter);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNRIGHT()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelAlignment(RichTextBox::AlignRight);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FORMATINDENTINCREASE()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelIndent(rtf->SelIndent().value_or(0) + 720);
}

void clsMain::FORMATINDENTDECREASE()
{
    if (RichTextBox *rtf = activeText(*this))
        rtf->setSelIndent(std::max(0, rtf->SelIndent().value_or(0) - 720));
}

void clsMain::MYPROFILEUPDATE()
{}
void clsMain::DOCUMENTDIALOGSUNLOAD()
{
    SpellingCommands::UNLOAD();
}
void clsMain::STARTUPDIALOGSUNLOAD()
{}
