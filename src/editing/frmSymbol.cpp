#include "editing/frmSymbol.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "editing/FormatLists.h"
#include "platform/Fonts.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/RtfEncoding.h"

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QString settingsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmSymbol\\Items");
}

constexpr int FirstCode = 33;
constexpr int LastCode = 255;
constexpr int GridPoints = 14;
constexpr int KeyRole = Qt::UserRole;

} // namespace

QString frmSymbol::itemKey(int code)
{
    return QStringLiteral("TIMEMS") + QString::number(code);
}

QChar frmSymbol::characterOf(int code)
{
    if (code < FirstCode || code > LastCode)
        return {};
    const char byte = char(code);
    const QString text = RtfEncoding::fromWindows1252(QByteArrayView(&byte, 1));
    // DEL and the five codes Windows-1252 leaves undefined are control characters.
    if (text.size() != 1 || text.at(0).category() == QChar::Other_Control)
        return {};
    return text.at(0);
}

frmSymbol::frmSymbol(RichTextBox *target, const Pressed &pressed, QWidget *parent)
    : QDialog(parent), m_target(target), m_pressed(pressed)
{
    setObjectName(QStringLiteral("frmSymbol"));
    setWindowTitle(QStringLiteral("Symbol"));
    setModal(true);

    LBLFNTNM = named(new QLabel(QStringLiteral("&Font list:"), this), "LBLFNTNM");
    CBOFNTNM = named(new QComboBox(this), "CBOFNTNM");
    LBLFNTNM->setBuddy(CBOFNTNM);
    FRAMSYMBOL = named(new QGroupBox(QStringLiteral("Symbols"), this), "FRAMSYMBOL");
    LVWSYMBOLS = named(new QListWidget(FRAMSYMBOL), "LVWSYMBOLS");
    LVWSYMBOLS->setViewMode(QListView::IconMode);
    LVWSYMBOLS->setMovement(QListView::Static);
    LVWSYMBOLS->setResizeMode(QListView::Adjust);
    LVWSYMBOLS->setUniformItemSizes(true);
    LVWSYMBOLS->setGridSize(QSize(34, 34));
    LVWSYMBOLS->setMinimumSize(16 * 34 + 24, 8 * 34);
    auto *symbols = new QVBoxLayout(FRAMSYMBOL);
    symbols->addWidget(LVWSYMBOLS);
    LBLSAMPLE = named(new QLabel(QStringLiteral("Sample"), this), "LBLSAMPLE");
    PICRTF = named(new QGroupBox(this), "PICRTF");
    RTFSELECTED = named(new RichTextBox(PICRTF), "RTFSELECTED");
    RTFSELECTED->setFixedHeight(64);
    auto *preview = new QVBoxLayout(PICRTF);
    preview->addWidget(RTFSELECTED);
    BTNCLEAR = named(new QPushButton(QStringLiteral("&Clear"), this), "BTNCLEAR");
    BTNINSERT = named(new QPushButton(QStringLiteral("&Insert"), this), "BTNINSERT");
    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    for (QPushButton *b : {BTNCLEAR, BTNINSERT, BTNCANCEL})
        b->setAutoDefault(false);
    BTNOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    auto *font = new QHBoxLayout;
    font->addWidget(LBLFNTNM);
    font->addWidget(CBOFNTNM, 1);
    grid->addLayout(font, 0, 0);
    grid->addWidget(FRAMSYMBOL, 1, 0);
    grid->addWidget(LBLSAMPLE, 2, 0);
    grid->addWidget(PICRTF, 3, 0);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {BTNOK, BTNCANCEL, BTNINSERT, BTNCLEAR})
        buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 1, 4, 1);

    const clsLibrary &lib = clsLibrary::instance();
    lib.COMBOINIT(CBOFNTNM, 15);
    lib.FORMLOAD(Identity::AppTitle, this, false);

    // The preview takes the document's selection formatting.
    if (m_target) {
        m_base.alignment = m_target->SelAlignment();
        m_base.bullet = m_target->SelBullet();
        m_base.hangingIndent = m_target->SelHangingIndent();
        m_base.indent = m_target->SelIndent();
        m_base.charOffset = m_target->SelCharOffset();
        m_base.size = m_target->SelFontSize();
        m_base.color = m_target->SelColor();
    }

    // The screen fonts but the first, as every font list of the program shows them.
    CBOFNTNM->addItems(FormatLists::screenFonts());
    const QString stored = lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, settingsKey(),
                                          QStringLiteral("Font Name"), QStringLiteral("SYMBOL"));
    int index = CBOFNTNM->findText(stored, Qt::MatchFixedString);
    if (index < 0) // a font this desktop lacks: the family it is drawn with instead
        index = CBOFNTNM->findText(Fonts::installedFamily(stored), Qt::MatchFixedString);
    CBOFNTNM->setCurrentIndex(index >= 0 ? index : 0);

    applyBaseFormat();
    fillGrid();
    previewChanged();

    connect(CBOFNTNM, &QComboBox::currentIndexChanged, this, &frmSymbol::fontChosen);
    connect(LVWSYMBOLS, &QListWidget::itemClicked, this, &frmSymbol::itemClicked);
    connect(RTFSELECTED, &QTextEdit::textChanged, this, &frmSymbol::previewChanged);
    connect(BTNCLEAR, &QPushButton::clicked, this, &frmSymbol::clearPreview);
    connect(BTNINSERT, &QPushButton::clicked, this, &frmSymbol::insertPreview);
    connect(BTNOK, &QPushButton::clicked, this, [this] {
        insertPreview();
        accept();
    });
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);
}

frmSymbol::~frmSymbol()
{
    const clsLibrary &lib = clsLibrary::instance();
    lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, settingsKey(), QStringLiteral("Font Name"),
                    CBOFNTNM->currentText());
    lib.FORMSAVE(Identity::AppTitle, this, false);
}

void frmSymbol::applyBaseFormat()
{
    RichTextBox *p = RTFSELECTED;
    if (m_base.alignment)
        p->setSelAlignment(*m_base.alignment);
    if (m_base.bullet)
        p->setSelBullet(*m_base.bullet);
    if (m_base.indent)
        p->setSelIndent(*m_base.indent);
    if (m_base.hangingIndent)
        p->setSelHangingIndent(*m_base.hangingIndent);
    if (m_base.charOffset)
        p->setSelCharOffset(*m_base.charOffset);
    if (m_base.size)
        p->setSelFontSize(*m_base.size);
    if (m_base.color)
        p->setSelColor(*m_base.color);
    // Bold, italic and underline follow the formatting toolbar.
    p->setSelBold(m_pressed.bold);
    p->setSelItalic(m_pressed.italic);
    p->setSelUnderline(m_pressed.underline);
    if (!CBOFNTNM->currentText().isEmpty())
        p->setSelFontName(CBOFNTNM->currentText());
}

void frmSymbol::fillGrid()
{
    LVWSYMBOLS->clear();
    LVWSYMBOLS->setFont(QFont(CBOFNTNM->currentText(), GridPoints));
    for (int code = FirstCode; code <= LastCode; ++code) {
        const QChar ch = characterOf(code);
        if (ch.isNull())
            continue;
        auto *item = new QListWidgetItem(QString(ch), LVWSYMBOLS);
        item->setData(KeyRole, itemKey(code));
        item->setTextAlignment(Qt::AlignCenter);
    }
}

void frmSymbol::fontChosen()
{
    fillGrid();
}

void frmSymbol::itemClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    // The character goes in at the preview's caret, in the font the grid shows.
    QTextCharFormat format = RTFSELECTED->currentCharFormat();
    format.setFontFamilies(QStringList{CBOFNTNM->currentText()});
    QTextCursor cursor = RTFSELECTED->textCursor();
    cursor.insertText(item->text(), format);
    RTFSELECTED->setTextCursor(cursor);
}

void frmSymbol::previewChanged()
{
    const bool any = !RTFSELECTED->Text().isEmpty();
    for (QPushButton *b : {BTNCLEAR, BTNINSERT, BTNOK})
        b->setEnabled(any);
}

void frmSymbol::clearPreview()
{
    RTFSELECTED->setText(QString());
    applyBaseFormat();
}

void frmSymbol::insertPreview()
{
    const QString text = RTFSELECTED->Text();
    if (text.isEmpty() || !m_target)
        return;
    RTFSELECTED->setSelStart(0);
    RTFSELECTED->setSelLength(int(text.size()));
    m_target->setSelRTF(RTFSELECTED->SelRTF());
}
