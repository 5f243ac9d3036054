#include "editing/frmParagrph.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTextCursor>
#include <QVBoxLayout>
#include <cmath>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "documents/PageMetrics.h"
#include "editing/FormatSpin.h"
#include "platform/RichTextBox.h"

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

double marginInches(const QString &name)
{
    const QString text = clsLibrary::instance().REGSTRREAD(
        clsLibrary::HKEY_CURRENT_USER, Identity::companyKey() + QStringLiteral("\\frmPPrev\\Items"),
        name, QStringLiteral("1"));
    bool ok = false;
    const double inches = text.trimmed().toDouble(&ok);
    return ok ? inches : 1.0;
}

// Inches to twips, the inches first rounded to one decimal as the fields show them.
int twipsOf(double inches)
{
    return static_cast<int>(std::lround(std::round(inches * 10.0) / 10.0 * 1440.0));
}

} // namespace

double frmParagrph::printableWidth()
{
    // The page width is taken in whole inches, halves going to the even number.
    const double page = std::nearbyint(PageMetrics::pageWidthTwips() / 1440.0);
    return page - marginInches(QStringLiteral("Page Margin 0")) -
           marginInches(QStringLiteral("Page Margin 1"));
}

frmParagrph::frmParagrph(RichTextBox *rtf, double printableInches, QWidget *parent)
    : QDialog(parent), m_rtf(rtf), m_printable(printableInches)
{
    setObjectName(QStringLiteral("frmParagrph"));
    setWindowTitle(QStringLiteral("Paragraph"));
    setModal(true);

    FRAMALIGN = named(new QGroupBox(QStringLiteral("Alignment"), this), "FRAMALIGN");
    auto *alignBox = new QHBoxLayout(FRAMALIGN);
    const QString captions[] = {QStringLiteral("&Left"), QStringLiteral("&Right"),
                                QStringLiteral("C&enter")};
    for (int i = 0; i < 3; ++i) {
        OPTALIGN[i] = new QRadioButton(captions[i], FRAMALIGN);
        OPTALIGN[i]->setObjectName(QStringLiteral("OPTALIGN") + QString::number(i));
        alignBox->addWidget(OPTALIGN[i]);
    }

    FRAMINDENT = named(new QGroupBox(QStringLiteral("Indentation"), this), "FRAMINDENT");
    LBLFIRSTLINE = named(new QLabel(QStringLiteral("&First Line:"), FRAMINDENT), "LBLFIRSTLINE");
    UDNFLINE = named(new FormatSpin(-22, 22, 0.1, 1, FRAMINDENT), "UDNFLINE");
    LBLLEFT = named(new QLabel(QStringLiteral("Lef&t Indent:"), FRAMINDENT), "LBLLEFT");
    UDNLEFT = named(new FormatSpin(-22, 22, 0.1, 1, FRAMINDENT), "UDNLEFT");
    LBLRIGHT = named(new QLabel(QStringLiteral("Rig&ht Indent:"), FRAMINDENT), "LBLRIGHT");
    UDNRIGHT = named(new FormatSpin(-22, 44, 0.1, 1, FRAMINDENT), "UDNRIGHT");
    auto *indentGrid = new QGridLayout(FRAMINDENT);
    const std::array<std::pair<QLabel *, FormatSpin *>, 3> rows = {
        {{LBLFIRSTLINE, UDNFLINE}, {LBLLEFT, UDNLEFT}, {LBLRIGHT, UDNRIGHT}}};
    for (int i = 0; i < 3; ++i) {
        rows[i].first->setBuddy(rows[i].second);
        LBLINCHES[i] = new QLabel(QStringLiteral("inches."), FRAMINDENT);
        LBLINCHES[i]->setObjectName(QStringLiteral("LBLINCHES") + QString::number(i));
        indentGrid->addWidget(rows[i].first, i, 0);
        indentGrid->addWidget(rows[i].second, i, 1);
        indentGrid->addWidget(LBLINCHES[i], i, 2);
    }

    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    BTNOK->setDefault(true);

    auto *main = new QVBoxLayout(this);
    main->addWidget(FRAMALIGN);
    main->addWidget(FRAMINDENT);
    // Room on the right for the buttons, which RESIZEBTNSOKCANCEL places.
    main->setContentsMargins(11, 11, BTNOK->sizeHint().width() + 20, 11);

    load();

    auto changed = [this] { BTNOK->setEnabled(true); };
    for (QRadioButton *o : OPTALIGN)
        connect(o, &QRadioButton::toggled, this, changed);
    for (FormatSpin *s : {UDNFLINE, UDNLEFT, UDNRIGHT})
        connect(s, &FormatSpin::valueTextChanged, this, changed);
    connect(BTNOK, &QPushButton::clicked, this, &frmParagrph::ok);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
    clsLibrary::instance().RESIZEBTNSOKCANCEL(this);
}

frmParagrph::~frmParagrph()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmParagrph::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    clsLibrary::instance().RESIZEBTNSOKCANCEL(this);
}

void frmParagrph::load()
{
    const clsLibrary &lib = clsLibrary::instance();
    if (m_rtf) {
        if (const auto alignment = m_rtf->SelAlignment();
            alignment && *alignment >= 0 && *alignment < 3)
            OPTALIGN[*alignment]->setChecked(true);
        // A field whose value differs between the paragraphs stays empty.
        const auto first = m_rtf->SelIndent();
        const auto hanging = m_rtf->SelHangingIndent();
        const auto right = m_rtf->SelRightIndent();
        if (first)
            UDNFLINE->setValueText(lib.TEXTJUSTIFY(QString::number(*first / 1440.0)));
        if (first && hanging)
            UDNLEFT->setValueText(lib.TEXTJUSTIFY(
                QString::number(*hanging / 1440.0 + UDNFLINE->value().value_or(0.0))));
        if (right)
            UDNRIGHT->setValueText(
                lib.TEXTJUSTIFY(QString::number(std::round(*right / 144.0) / 10.0 + m_printable)));
    }
    BTNOK->setEnabled(false);
}

void frmParagrph::ok()
{
    if (m_rtf && !m_rtf->isReadOnly()) {
        QTextCursor group = m_rtf->textCursor();
        group.beginEditBlock();
        for (int i = 0; i < 3; ++i)
            if (OPTALIGN[i]->isChecked())
                m_rtf->setSelAlignment(i);
        // An empty field leaves its indent as it is.
        if (const auto first = UDNFLINE->value())
            m_rtf->setSelIndent(twipsOf(*first));
        if (const auto left = UDNLEFT->value())
            if (const auto first = m_rtf->SelIndent())
                m_rtf->setSelHangingIndent(static_cast<int>(std::lround(*left * 1440.0)) - *first);
        if (const auto right = UDNRIGHT->value())
            m_rtf->setSelRightIndent(twipsOf(*right - m_printable));
        group.endEditBlock();
        emit applied();
    }
    accept();
}
