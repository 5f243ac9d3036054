#include "editing/frmFonts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "editing/FormatLists.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {

const QString SampleText = QStringLiteral("ABC xyz 0123");
constexpr int RaisedTwips = 55;

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

RichTextBox *sample(const char *name, QWidget *parent)
{
    auto *s = named(new RichTextBox(parent), name);
    s->setFont(QStringLiteral("Tahoma"), 8.5);
    s->setText(SampleText);
    s->setReadOnly(true);
    s->setFocusPolicy(Qt::NoFocus);
    s->setLineWrapMode(QTextEdit::NoWrap);
    s->setFixedHeight(70);
    return s;
}

} // namespace

frmFonts::frmFonts(RichTextBox *rtf, QWidget *parent) : QDialog(parent), m_rtf(rtf)
{
    setObjectName(QStringLiteral("frmFonts"));
    setWindowTitle(QStringLiteral("Fonts"));
    setModal(true);
    const clsLibrary &lib = clsLibrary::instance();

    Frame2 = named(new QGroupBox(QStringLiteral("Fonts"), this), "Frame2");
    CBOFNTNM = named(new QComboBox(Frame2), "CBOFNTNM");
    CBOFNTSZ = named(new QComboBox(Frame2), "CBOFNTSZ");
    auto *nameLabel = new QLabel(QStringLiteral("Na&me:"), Frame2);
    auto *sizeLabel = new QLabel(QStringLiteral("Si&ze:"), Frame2);
    nameLabel->setBuddy(CBOFNTNM);
    sizeLabel->setBuddy(CBOFNTSZ);
    auto *fontGrid = new QGridLayout(Frame2);
    fontGrid->addWidget(nameLabel, 0, 0);
    fontGrid->addWidget(CBOFNTNM, 0, 1);
    fontGrid->addWidget(sizeLabel, 1, 0);
    fontGrid->addWidget(CBOFNTSZ, 1, 1);
    fontGrid->setColumnStretch(1, 1);

    Frame1 = named(new QGroupBox(QStringLiteral("Format"), this), "Frame1");
    CHKBOLD = named(new QCheckBox(QStringLiteral("&Bold"), Frame1), "CHKBOLD");
    CHKITALIC = named(new QCheckBox(QStringLiteral("&Italic"), Frame1), "CHKITALIC");
    CHKUNDERLINE = named(new QCheckBox(QStringLiteral("&Underline"), Frame1), "CHKUNDERLINE");
    CHKSTRIKETHROUGH =
        named(new QCheckBox(QStringLiteral("Stri&kethrough"), Frame1), "CHKSTRIKETHROUGH");
    CHKBULLETS = named(new QCheckBox(QStringLiteral("Bull&ets"), Frame1), "CHKBULLETS");
    auto *formatBox = new QVBoxLayout(Frame1);
    for (QCheckBox *c : {CHKBOLD, CHKITALIC, CHKUNDERLINE, CHKSTRIKETHROUGH, CHKBULLETS})
        formatBox->addWidget(c);

    FRAMCASE = named(new QGroupBox(QStringLiteral("Case (selection only)"), this), "FRAMCASE");
    OPTCASENONE = named(new QRadioButton(QStringLiteral("&None"), FRAMCASE), "OPTCASENONE");
    OPTCASEUPPER = named(new QRadioButton(QStringLiteral("U&ppercase"), FRAMCASE), "OPTCASEUPPER");
    OPTCASELOWER = named(new QRadioButton(QStringLiteral("&Lowercase"), FRAMCASE), "OPTCASELOWER");
    OPTCASECAPS = named(new QRadioButton(QStringLiteral("&Capitalize"), FRAMCASE), "OPTCASECAPS");
    OPTCASESMALLCAPS =
        named(new QRadioButton(QStringLiteral("Small Capitals"), FRAMCASE), "OPTCASESMALLCAPS");
    auto *caseBox = new QVBoxLayout(FRAMCASE);
    for (QRadioButton *o : {OPTCASENONE, OPTCASEUPPER, OPTCASELOWER, OPTCASECAPS, OPTCASESMALLCAPS})
        caseBox->addWidget(o);
    OPTCASENONE->setChecked(true);

    FRAMSCRIPT =
        named(new QGroupBox(QStringLiteral("Script (selection only)"), this), "FRAMSCRIPT");
    OPTSUPERSCRIPT =
        named(new QRadioButton(QStringLiteral("Supersc&ript"), FRAMSCRIPT), "OPTSUPERSCRIPT");
    OPTNORMALSCRIPT =
        named(new QRadioButton(QStringLiteral("Norm&alscript"), FRAMSCRIPT), "OPTNORMALSCRIPT");
    OPTSUBSCRIPT =
        named(new QRadioButton(QStringLiteral("Sub&script"), FRAMSCRIPT), "OPTSUBSCRIPT");
    auto *scriptBox = new QVBoxLayout(FRAMSCRIPT);
    for (QRadioButton *o : {OPTSUPERSCRIPT, OPTNORMALSCRIPT, OPTSUBSCRIPT})
        scriptBox->addWidget(o);

    Frame3 = named(new QGroupBox(QStringLiteral("Color"), this), "Frame3");
    CPPALLETE = named(new QPushButton(QStringLiteral("Fon&t Color:"), Frame3), "CPPALLETE");
    CPPALLETE->setLayoutDirection(Qt::RightToLeft); // the swatch after the caption
    CPPALLETE->setAutoDefault(false);
    auto *colorBox = new QVBoxLayout(Frame3);
    colorBox->addWidget(CPPALLETE);

    TXTSAMPLE = sample("TXTSAMPLE", this);
    // The second sample is a scratch copy the dialog keeps in step; it is not shown.
    TXTSAMPLE2 = sample("TXTSAMPLE2", this);
    TXTSAMPLE2->hide();

    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    BTNOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(Frame2, 0, 0, 1, 2);
    grid->addWidget(Frame1, 1, 0);
    grid->addWidget(FRAMCASE, 1, 1);
    grid->addWidget(FRAMSCRIPT, 2, 0);
    grid->addWidget(Frame3, 2, 1);
    grid->addWidget(TXTSAMPLE, 3, 0, 1, 2);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNCANCEL);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 4, 1);

    // Load: both lists, the selection's attributes, then the sample.
    CBOFNTNM->addItems(FormatLists::screenFonts());
    CBOFNTSZ->addItems(FormatLists::sizes());
    lib.COMBOINIT(CBOFNTNM, 15);
    lib.COMBOINIT(CBOFNTSZ, 15);
    loadSelection();
    LABELUPDATE();

    auto update = [this] { LABELUPDATE(); };
    connect(CBOFNTNM, &QComboBox::activated, this, update);
    connect(CBOFNTSZ, &QComboBox::activated, this, update);
    for (QCheckBox *c : {CHKBOLD, CHKITALIC, CHKUNDERLINE, CHKSTRIKETHROUGH, CHKBULLETS})
        connect(c, &QCheckBox::clicked, this, update);
    for (QRadioButton *o : {OPTCASENONE, OPTCASEUPPER, OPTCASELOWER, OPTCASECAPS, OPTCASESMALLCAPS,
                            OPTSUPERSCRIPT, OPTNORMALSCRIPT, OPTSUBSCRIPT})
        connect(o, &QRadioButton::clicked, this, update);
    connect(CPPALLETE, &QPushButton::clicked, this, &frmFonts::chooseColor);
    connect(BTNOK, &QPushButton::clicked, this, &frmFonts::ok);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    lib.FORMLOAD(Identity::AppTitle, this, false);
}

frmFonts::~frmFonts()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmFonts::loadSelection()
{
    if (!m_rtf)
        return;
    FormatLists::setListText(CBOFNTNM, m_rtf->SelFontName().value_or(QString()));
    // The size as it is, so a size between the list's entries survives OK.
    const std::optional<double> size = m_rtf->SelFontSize();
    FormatLists::setListText(CBOFNTSZ, size && *size > 0 ? QString::number(*size) : QString());
    CHKBOLD->setChecked(m_rtf->SelBold().value_or(false));
    CHKITALIC->setChecked(m_rtf->SelItalic().value_or(false));
    CHKUNDERLINE->setChecked(m_rtf->SelUnderline().value_or(false));
    CHKSTRIKETHROUGH->setChecked(m_rtf->SelStrikeThru().value_or(false));
    CHKBULLETS->setChecked(m_rtf->SelBullet().value_or(false));
    const int offset = m_rtf->SelCharOffset().value_or(0);
    (offset < 0 ? OPTSUBSCRIPT : offset > 0 ? OPTSUPERSCRIPT : OPTNORMALSCRIPT)->setChecked(true);
    m_color = m_rtf->SelColor();
    showColor();
}

FormatText::Case frmFonts::caseChoice() const
{
    if (OPTCASEUPPER->isChecked())
        return FormatText::Case::Upper;
    if (OPTCASELOWER->isChecked())
        return FormatText::Case::Lower;
    if (OPTCASECAPS->isChecked())
        return FormatText::Case::Capitalize;
    return FormatText::Case::None;
}

int frmFonts::charOffset() const
{
    return OPTSUPERSCRIPT->isChecked() ? RaisedTwips : OPTSUBSCRIPT->isChecked() ? -RaisedTwips : 0;
}

void frmFonts::LABELUPDATE()
{
    for (RichTextBox *s : {TXTSAMPLE, TXTSAMPLE2}) {
        s->setText(FormatText::convertCase(SampleText, caseChoice()));
        s->selectAll();
        const QString name = FormatLists::listText(CBOFNTNM);
        if (!name.isEmpty())
            s->setSelFontName(name);
        const double size = FormatLists::listText(CBOFNTSZ).toDouble();
        if (size > 0)
            s->setSelFontSize(size);
        s->setSelBold(CHKBOLD->isChecked());
        s->setSelItalic(CHKITALIC->isChecked());
        s->setSelUnderline(CHKUNDERLINE->isChecked());
        s->setSelStrikeThru(CHKSTRIKETHROUGH->isChecked());
        s->setSelBullet(CHKBULLETS->isChecked());
        s->setSelCharOffset(charOffset());
        if (m_color)
            s->setSelColor(*m_color);
        if (OPTCASESMALLCAPS->isChecked())
            FormatText::smallCapitals(*s);
        QTextCursor c = s->textCursor();
        c.clearSelection();
        s->setTextCursor(c);
    }
}

void frmFonts::chooseColor()
{
    const std::optional<QColor> chosen =
        UiServices::instance().chooseColor(m_color.value_or(QColor(Qt::black)));
    if (!chosen || !chosen->isValid())
        return;
    m_color = chosen;
    showColor();
    LABELUPDATE();
}

void frmFonts::showColor()
{
    QPixmap swatch(24, 12);
    swatch.fill(m_color.value_or(QColor(Qt::transparent)));
    if (!m_color) {
        QPainter p(&swatch);
        p.setPen(Qt::gray);
        p.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    }
    CPPALLETE->setIcon(QIcon(swatch));
}

void frmFonts::ok()
{
    if (m_rtf && !m_rtf->isReadOnly()) {
        // Everything the dialog sets is one step for Undo.
        QTextCursor group = m_rtf->textCursor();
        group.beginEditBlock();
        // The name and size the sample shows; a box the selection left empty changes nothing.
        const QString name = FormatLists::listText(CBOFNTNM);
        if (!name.isEmpty())
            m_rtf->setSelFontName(name);
        const double size = FormatLists::listText(CBOFNTSZ).toDouble();
        if (size > 0)
            m_rtf->setSelFontSize(size);
        m_rtf->setSelBold(CHKBOLD->isChecked());
        m_rtf->setSelItalic(CHKITALIC->isChecked());
        m_rtf->setSelUnderline(CHKUNDERLINE->isChecked());
        m_rtf->setSelStrikeThru(CHKSTRIKETHROUGH->isChecked());
        m_rtf->setSelBullet(CHKBULLETS->isChecked());
        m_rtf->setSelCharOffset(charOffset());
        if (m_color)
            m_rtf->setSelColor(*m_color);
        if (OPTCASESMALLCAPS->isChecked())
            FormatText::smallCapitals(*m_rtf);
        else
            FormatText::changeSelCase(*m_rtf, caseChoice());
        group.endEditBlock();
    }
    accept();
}
