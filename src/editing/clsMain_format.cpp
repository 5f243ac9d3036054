// Format commands: the toolbar boxes, character formatting, alignment, indents, the format
// painter and the formatting dialogs.

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "editing/FormatLists.h"
#include "editing/FormatText.h"
#include "editing/frmFonts.h"
#include "editing/frmParagrph.h"
#include "editing/frmTabs.h"
#include "platform/RichTextBox.h"
#include "platform/ScreenMetrics.h"
#include "platform/UiServices.h"

#include <QAction>
#include <QComboBox>
#include <QPainter>
#include <QPixmap>
#include <QTextCursor>

#include <algorithm>
#include <cmath>

namespace {

constexpr int IndentStepTwips = 720;

// The active document's text when it may be changed; formatting leaves a read-only file alone.
RichTextBox *editable(RichTextBox *rtf)
{
    return rtf && !rtf->isReadOnly() ? rtf : nullptr;
}

// The pointer a document shows while the format painter is armed: a brush beside the arrow.
QCursor painterCursor()
{
    QPixmap pm(24, 24);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    const QPointF arrow[] = {{1, 1}, {1, 13}, {4, 10}, {7, 15}, {9, 14}, {6, 9}, {10, 9}};
    p.drawPolygon(arrow, 7);
    p.setBrush(QColor(200, 120, 40));
    p.drawRect(QRectF(13, 8, 4, 9));
    p.setBrush(QColor(60, 60, 60));
    p.drawRect(QRectF(12, 17, 6, 5));
    return QCursor(pm, 1, 1);
}

} // namespace

// --- The three lists of the formatting toolbar -------------------------------------------------

void clsMain::MDICOMBOSINITIALIZE()
{
    const clsLibrary &lib = clsLibrary::instance();
    QComboBox *style = m_main.fontStyleBox();
    QComboBox *name = m_main.fontNameBox();
    QComboBox *size = m_main.fontSizeBox();
    for (QComboBox *box : {style, name, size})
        lib.COMBOINIT(box, 15);
    if (name && name->count() == 0) {
        // The box keeps its width instead of measuring every name when it is first shown, which
        // would cost start-up time on a desktop with many fonts.
        name->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        name->setMinimumContentsLength(16);
        name->addItems(FormatLists::screenFonts());
    }
    if (size && size->count() == 0)
        size->addItems(FormatLists::sizes());
    if (style && style->count() == 0)
        style->addItems(FormatLists::styleNames());
}

void clsMain::FONTNAMEUPDATE()
{
    RichTextBox *rtf = editable(ActiveText());
    const QString name = FormatLists::listText(m_main.fontNameBox());
    if (rtf && !name.isEmpty()) {
        rtf->setSelFontName(name);
        // Typing goes on in the document once a name is picked.
        rtf->setFocus();
    }
}

void clsMain::FONTSIZEUPDATE()
{
    RichTextBox *rtf = ActiveText();
    const double size = FormatLists::listText(m_main.fontSizeBox()).toDouble();
    if (editable(rtf) && size > 0) {
        rtf->setSelFontSize(size);
        rtf->setFocus();
    }
    // The step buttons stop at the ends of the list.
    const bool canEdit = rtf && !rtf->isReadOnly();
    if (QAction *dec = m_main.button(QStringLiteral("DECREASE FONT SIZE")))
        dec->setEnabled(size < 2 ? false : canEdit);
    if (QAction *inc = m_main.button(QStringLiteral("INCREASE FONT SIZE")))
        inc->setEnabled(size > 350 ? false : canEdit);
}

void clsMain::FONTSIZEINCR()
{
    QComboBox *box = m_main.fontSizeBox();
    const QString next = FormatLists::sizeStep(FormatLists::listText(box), +1);
    if (next.isEmpty() || !ActiveText())
        return;
    FormatLists::setListText(box, next);
    FONTSIZEUPDATE();
}

void clsMain::FONTSIZEDECR()
{
    QComboBox *box = m_main.fontSizeBox();
    const QString previous = FormatLists::sizeStep(FormatLists::listText(box), -1);
    if (previous.isEmpty() || !ActiveText())
        return;
    FormatLists::setListText(box, previous);
    FONTSIZEUPDATE();
}

void clsMain::FONTSTYLEUPDATE()
{
    RichTextBox *rtf = editable(ActiveText());
    const auto style = FormatLists::style(FormatLists::listText(m_main.fontStyleBox()));
    if (!rtf || !style)
        return;
    QTextCursor group = rtf->textCursor();
    group.beginEditBlock();
    if (style->bold)
        rtf->setSelBold(*style->bold);
    if (style->italic)
        rtf->setSelItalic(*style->italic);
    if (style->underline)
        rtf->setSelUnderline(*style->underline);
    if (style->strikeThru)
        rtf->setSelStrikeThru(*style->strikeThru);
    if (style->bullet)
        rtf->setSelBullet(*style->bullet);
    if (style->size > 0) {
        FormatLists::setListText(m_main.fontSizeBox(), QString::number(style->size));
        FONTSIZEUPDATE();
        rtf->setSelFontSize(style->size);
    }
    group.endEditBlock();
    rtf->setFocus();
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTBOXESUPDATE()
{
    RichTextBox *rtf = ActiveText();
    if (!rtf)
        return;
    // Showing the selection's values selects the entries without applying them again.
    const std::optional<double> size = rtf->SelFontSize();
    if (size && *size > 0) {
        QComboBox *box = m_main.fontSizeBox();
        FormatLists::setListText(box, FormatLists::sizeText(*size));
        const double shown = FormatLists::listText(box).toDouble();
        const bool canEdit = !rtf->isReadOnly();
        if (QAction *dec = m_main.button(QStringLiteral("DECREASE FONT SIZE")))
            dec->setEnabled(shown >= 2 && canEdit);
        if (QAction *inc = m_main.button(QStringLiteral("INCREASE FONT SIZE")))
            inc->setEnabled(shown <= 350 && canEdit);
    }
    const std::optional<QString> name = rtf->SelFontName();
    if (name && !name->isEmpty())
        FormatLists::setFontText(m_main.fontNameBox(), *name);
    // Decrease Indent as a document's activation sets it: only for an indent that shows.
    if (QAction *dec = m_main.button(QStringLiteral("DECREASE INDENT"))) {
        const std::optional<int> indent = rtf->SelIndent();
        dec->setEnabled(!rtf->isReadOnly() && (!indent || std::round(*indent / 144.0) > 0));
    }
}

void clsMain::FONTCOLOR()
{
    RichTextBox *rtf = editable(ActiveText());
    if (!rtf)
        return;
    const std::optional<QColor> chosen =
        UiServices::instance().chooseColor(rtf->SelColor().value_or(QColor(Qt::black)));
    if (chosen && chosen->isValid())
        rtf->setSelColor(*chosen);
}

// --- Character and paragraph buttons ---------------------------------------------------------

void clsMain::FONTBOLD()
{
    if (RichTextBox *rtf = editable(ActiveText()))
        rtf->setSelBold(!rtf->SelBold().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTITALIC()
{
    if (RichTextBox *rtf = editable(ActiveText()))
        rtf->setSelItalic(!rtf->SelItalic().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTUNDERLINE()
{
    if (RichTextBox *rtf = editable(ActiveText()))
        rtf->setSelUnderline(!rtf->SelUnderline().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FONTBULLETS()
{
    if (RichTextBox *rtf = editable(ActiveText()))
        rtf->setSelBullet(!rtf->SelBullet().value_or(false));
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNLEFT()
{
    if (RichTextBox *rtf = editable(ActiveText()))
        rtf->setSelAlignment(RichTextBox::AlignLeft);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNCENTER()
{
    if (RichTextBox *rtf = editable(ActiveText()))
        rtf->setSelAlignment(RichTextBox::AlignCenter);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::ALIGNRIGHT()
{
    if (RichTextBox *rtf = editable(ActiveText()))
        rtf->setSelAlignment(RichTextBox::AlignRight);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FORMATINDENTINCREASE()
{
    frmDocRTF *doc = ActiveDoc();
    RichTextBox *rtf = doc ? editable(doc->RTF1) : nullptr;
    if (!rtf)
        return;
    // Indenting stops 2000 twips short of the text's width.
    const int limit = rtf->width() * ScreenMetrics::instance().twipsPerPixelX() - 2000;
    if (const auto indent = rtf->SelIndent(); indent && *indent < limit) {
        QTextCursor group = rtf->textCursor();
        group.beginEditBlock();
        if (*indent < 0)
            rtf->setSelIndent(0);
        rtf->setSelIndent(std::max(0, *indent) + IndentStepTwips);
        group.endEditBlock();
    }
    if (QAction *dec = m_main.button(QStringLiteral("DECREASE INDENT")))
        dec->setEnabled(rtf->SelIndent().value_or(0) > 400);
    doc->DOCCHK();
}

void clsMain::FORMATINDENTDECREASE()
{
    frmDocRTF *doc = ActiveDoc();
    RichTextBox *rtf = doc ? editable(doc->RTF1) : nullptr;
    if (!rtf)
        return;
    // Paragraphs of different indents all go back to the margin.
    const int indent = rtf->SelIndent().value_or(0);
    rtf->setSelIndent(indent > 721 ? indent - IndentStepTwips : 0);
    if (QAction *dec = m_main.button(QStringLiteral("DECREASE INDENT")))
        dec->setEnabled(rtf->SelIndent().value_or(0) > 400);
    doc->DOCCHK();
}

// --- Small capitals and the format painter ---------------------------------------------------

void clsMain::FORMATSMALLCAPITALS()
{
    RichTextBox *rtf = editable(ActiveText());
    if (!rtf)
        return;
    const clsLibrary &lib = clsLibrary::instance();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Reformatting selected text"), 11);
    FormatText::smallCapitals(*rtf);
    lib.STATUSBARCAPTION(&m_main, QString(), 0);
}

namespace {
// Arms or disarms the painter for the active document and shows the state on the toolbar
// button and the Edit menu item.
void togglePainter(frmMain &main, frmDocRTF *doc)
{
    AppState &st = AppState::instance();
    if (!doc)
        return;
    const bool arm = !st.PainterActive;
    st.EditKeyDown = false;
    if (arm) {
        st.Painter = FormatText::capture(*doc->RTF1);
        st.PainterActive = true;
        doc->RTF1->viewport()->setCursor(painterCursor());
    } else {
        st.PainterActive = false;
        // Every document may still show the painter's pointer.
        for (frmDocRTF *d : main.documents())
            d->RTF1->viewport()->setCursor(Qt::IBeamCursor);
    }
    if (QAction *button = main.button(QStringLiteral("FORMAT PAINTER"))) {
        button->setCheckable(true);
        button->setChecked(arm);
    }
    if (QAction *item = main.menuItem(QStringLiteral("MNUEDITFMTPAINTER"))) {
        item->setCheckable(true);
        item->setChecked(arm);
    }
    // No key is held: the clipboard commands work at once (the flag is the key handlers').
    st.EditKeyDown = false;
}
} // namespace

void clsMain::FORMATPAINTERMENU()
{
    togglePainter(m_main, ActiveDoc());
}

void clsMain::FORMATPAINTERTOOLBAR()
{
    togglePainter(m_main, ActiveDoc());
}

void clsMain::FORMATPAINTERAPPLY()
{
    AppState &st = AppState::instance();
    frmDocRTF *doc = ActiveDoc();
    RichTextBox *rtf = doc ? editable(doc->RTF1) : nullptr;
    if (!st.PainterActive || !rtf)
        return;
    // The painter stays armed: it paints every selection until it is switched off.
    rtf->viewport()->setCursor(painterCursor());
    st.EditKeyDown = false;
    FormatText::apply(*rtf, st.Painter);
    TOOLBARSBUTTONSUPDATE();
}

// --- Dialogs ---------------------------------------------------------------------------------

void clsMain::FORMATPARAGRAPH()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc || !editable(doc->RTF1))
        return;
    const clsLibrary &lib = clsLibrary::instance();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Obtaining settings..."), 11);
    frmParagrph dialog(doc->RTF1, frmParagrph::printableWidth(), &m_main);
    lib.STATUSBARCAPTION(&m_main, QString(), 0);
    QObject::connect(&dialog, &frmParagrph::applied, doc, [doc] { doc->DOCCHK(); });
    UiServices::instance().execDialog(&dialog);
    TOOLBARSBUTTONSUPDATE();
}

void clsMain::FORMATTABS()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc || !editable(doc->RTF1))
        return;
    const clsLibrary &lib = clsLibrary::instance();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Obtaining settings..."), 11);
    frmTabs dialog(doc->RTF1, &m_main);
    lib.STATUSBARCAPTION(&m_main, QString(), 0);
    QObject::connect(&dialog, &frmTabs::applied, doc, [doc] { doc->DOCCHK(); });
    UiServices::instance().execDialog(&dialog);
}

void clsMain::FORMATFONTS()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc || !editable(doc->RTF1))
        return;
    const clsLibrary &lib = clsLibrary::instance();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Obtaining settings..."), 11);
    frmFonts dialog(doc->RTF1, &m_main);
    lib.STATUSBARCAPTION(&m_main, QString(), 0);
    UiServices::instance().execDialog(&dialog);
    TOOLBARSBUTTONSUPDATE();
}
