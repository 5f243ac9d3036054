#include "printing/frmPSetup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cmath>

#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/frmMain.h"
#include "documents/PageMetrics.h"
#include "printing/PaperSizes.h"
#include "printing/PrintSettings.h"
#include "printing/SpinText.h"
#include "printing/clsPrinting.h"

namespace {
template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

PrinterDevice &printer()
{
    return clsPrinting::instance().printer();
}

// A number with two decimals and no leading zero before the point ("##.00").
QString inchesText(double value)
{
    QString text = QString::number(value, 'f', 2);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    return text;
}

// The whole number of a text as a number reads it ("" and words count as 0), as text.
QString numberText(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return QString::number(ok ? static_cast<int>(value) : 0);
}

double number(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? value : 0.0;
}

QFrame *line(QWidget *parent, const char *name)
{
    auto *frame = named(new QFrame(parent), name);
    frame->setFrameShape(QFrame::HLine);
    frame->setFrameShadow(QFrame::Plain);
    return frame;
}
} // namespace

frmPSetup::frmPSetup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPSetup"));
    setWindowTitle(QStringLiteral("Page Setup"));
    setModal(true);

    TABSTRIP1 = named(new QTabWidget(this), "TABSTRIP1");
    FRAMPAGE = named(new QWidget, "FRAMPAGE");
    FRAMHEADERFOOTER = named(new QWidget, "FRAMHEADERFOOTER");
    TABSTRIP1->addTab(FRAMPAGE, QStringLiteral("Page"));
    TABSTRIP1->addTab(FRAMHEADERFOOTER, QStringLiteral("Header/Footer"));
    // The tabs' keys, compared in capitals.
    FRAMPAGE->setProperty("Key", QStringLiteral("PAGE"));
    FRAMHEADERFOOTER->setProperty("Key", QStringLiteral("HEADERFOOTER"));
    buildPageTab(FRAMPAGE);
    buildHeaderFooterTab(FRAMHEADERFOOTER);

    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    BTNOK->setDefault(true);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, BTNOK->sizeHint().width() + 24, 8);
    outer->addWidget(TABSTRIP1);

    connect(BTNOK, &QPushButton::clicked, this, &frmPSetup::okClicked);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    load();
}

frmPSetup::~frmPSetup()
{
    unload();
}

void frmPSetup::buildPageTab(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    auto *lblPrinters = new QLabel(QStringLiteral("&Printer:"), page);
    CBOPRINTERS = named(new QComboBox(page), "CBOPRINTERS");
    lblPrinters->setBuddy(CBOPRINTERS);
    auto *lblPaper = new QLabel(QStringLiteral("Paper Si&ze:"), page);
    CBOPAPER = named(new QComboBox(page), "CBOPAPER");
    lblPaper->setBuddy(CBOPAPER);
    grid->addWidget(lblPrinters, 0, 0);
    grid->addWidget(CBOPRINTERS, 0, 1, 1, 3);
    grid->addWidget(lblPaper, 1, 0);
    grid->addWidget(CBOPAPER, 1, 1, 1, 3);

    auto *lblOrient = new QLabel(QStringLiteral("&Orientation:"), page);
    OPTORIENTPORT = named(new QRadioButton(QStringLiteral("Portr&ait"), page), "OPTORIENTPORT");
    OPTORIENTLAND = named(new QRadioButton(QStringLiteral("La&ndscape"), page), "OPTORIENTLAND");
    lblOrient->setBuddy(OPTORIENTPORT);
    grid->addWidget(lblOrient, 2, 0);
    grid->addWidget(OPTORIENTPORT, 2, 1);
    grid->addWidget(OPTORIENTLAND, 2, 2);

    struct Margin
    {
        SpinText *&box;
        const char *name;
        const char *label;
    };
    const Margin margins[] = {{UDNLEFT, "UDNLEFT", "&Left:"},
                              {UDNRIGHT, "UDNRIGHT", "&Right:"},
                              {UDNTOP, "UDNTOP", "&Top:"},
                              {UDNBOTTOM, "UDNBOTTOM", "&Bottom:"}};
    int row = 3;
    for (const Margin &m : margins) {
        auto *label = new QLabel(QString::fromLatin1(m.label), page);
        m.box = named(new SpinText(page), m.name);
        label->setBuddy(m.box);
        grid->addWidget(label, row, 0);
        grid->addWidget(m.box, row, 1);
        connect(m.box, &SpinText::Change, this, [this] {
            changed();
            if (!Resetting)
                drawSamplePage();
        });
        ++row;
    }
    BTNDEFAULTS = named(new QPushButton(QStringLiteral("&Defaults"), page), "BTNDEFAULTS");
    grid->addWidget(BTNDEFAULTS, row, 1);

    PICWINDOW = named(new QFrame(page), "PICWINDOW");
    PICWINDOW->setFixedSize(180, 180);
    PICWINDOW->setFrameShape(QFrame::StyledPanel);
    PICSHADOW = named(new QFrame(PICWINDOW), "PICSHADOW");
    PICSHADOW->setAutoFillBackground(true);
    PICSHADOW->setStyleSheet(QStringLiteral("background: #606060;"));
    PICPAPER = named(new QFrame(PICWINDOW), "PICPAPER");
    PICPAPER->setStyleSheet(QStringLiteral("#PICPAPER { background: white; border: 1px solid "
                                           "black; }"));
    SHPAREA = named(new QFrame(PICPAPER), "SHPAREA");
    SHPAREA->setStyleSheet(QStringLiteral("#SHPAREA { border: 1px dotted gray; }"));
    LBLWIDTH = named(new QLabel(page), "LBLWIDTH");
    LBLHEIGHT = named(new QLabel(page), "LBLHEIGHT");
    grid->addWidget(PICWINDOW, 2, 3, 5, 1, Qt::AlignCenter);
    grid->addWidget(LBLWIDTH, 7, 3);
    grid->addWidget(LBLHEIGHT, 8, 3);

    connect(CBOPRINTERS, &QComboBox::activated, this, [this](int index) {
        printer().selectDevice(CBOPRINTERS->itemText(index));
        changed();
        drawSamplePage();
    });
    connect(CBOPAPER, &QComboBox::activated, this, [this](int index) {
        const auto &papers = PaperSizes::all();
        if (index >= 0 && index < static_cast<int>(papers.size()))
            printer().setPaperSize(papers[static_cast<size_t>(index)].code);
        PaperChoice = QString::number(printer().PaperSize());
        changed();
        drawSamplePage();
    });
    connect(OPTORIENTPORT, &QRadioButton::clicked, this, [this] {
        printer().setOrientation(PrinterDevice::Portrait);
        OrientChoice = QStringLiteral("1");
        changed();
        drawSamplePage();
    });
    connect(OPTORIENTLAND, &QRadioButton::clicked, this, [this] {
        printer().setOrientation(PrinterDevice::Landscape);
        OrientChoice = QStringLiteral("2");
        changed();
        drawSamplePage();
    });
    connect(BTNDEFAULTS, &QPushButton::clicked, this, &frmPSetup::defaultsClicked);
}

void frmPSetup::buildHeaderFooterTab(QWidget *page)
{
    auto *box = new QVBoxLayout(page);
    auto *header = new QGroupBox(QStringLiteral("Header"), page);
    auto *footer = new QGroupBox(QStringLiteral("Footer"), page);
    box->addWidget(header);
    box->addWidget(footer);
    BTNDEFAULTSHF = named(new QPushButton(QStringLiteral("&Defaults"), page), "BTNDEFAULTSHF");
    box->addWidget(BTNDEFAULTSHF, 0, Qt::AlignLeft);

    auto *hl = new QGridLayout(header);
    CHKHEADER = named(new QCheckBox(QStringLiteral("&Header"), header), "CHKHEADER");
    CHKHEADTITLE = named(new QCheckBox(QStringLiteral("&Title"), header), "CHKHEADTITLE");
    CHKHEADDATE = named(new QCheckBox(QStringLiteral("&Date"), header), "CHKHEADDATE");
    CHKHEADTIME = named(new QCheckBox(QStringLiteral("&Time"), header), "CHKHEADTIME");
    CHKHEADLINE = named(new QCheckBox(QStringLiteral("&Line"), header), "CHKHEADLINE");
    hl->addWidget(CHKHEADER, 0, 0);
    hl->addWidget(CHKHEADTITLE, 0, 1);
    hl->addWidget(CHKHEADDATE, 0, 2);
    hl->addWidget(CHKHEADTIME, 0, 3);
    hl->addWidget(CHKHEADLINE, 0, 4);
    PICHEAD = named(new QFrame(header), "PICHEAD");
    PICHEAD->setAutoFillBackground(true);
    auto *hs = new QGridLayout(PICHEAD);
    TXTHEADDATE = named(new QLineEdit(QStringLiteral("12/12/2002"), PICHEAD), "TXTHEADDATE");
    TXTHEADTITLE = named(new QLineEdit(PICHEAD), "TXTHEADTITLE");
    TXTHEADTIME = named(new QLineEdit(QStringLiteral("12:00:00 pm"), PICHEAD), "TXTHEADTIME");
    TXTHEADDATE->setReadOnly(true);
    TXTHEADTIME->setReadOnly(true);
    LNHEADLINE = line(PICHEAD, "LNHEADLINE");
    hs->addWidget(TXTHEADDATE, 0, 0);
    hs->addWidget(TXTHEADTITLE, 0, 1);
    hs->addWidget(TXTHEADTIME, 0, 2);
    hs->addWidget(LNHEADLINE, 1, 0, 1, 3);
    hs->setColumnStretch(1, 1);
    hl->addWidget(PICHEAD, 1, 0, 1, 5);

    auto *fl = new QGridLayout(footer);
    CHKFOOTER = named(new QCheckBox(QStringLiteral("&Footer"), footer), "CHKFOOTER");
    CHKFOOTFIELD1 = named(new QCheckBox(QStringLiteral("&Field 1"), footer), "CHKFOOTFIELD1");
    CHKFOOTFIELD2 = named(new QCheckBox(QStringLiteral("&Field 2"), footer), "CHKFOOTFIELD2");
    CHKFOOTPGNO = named(new QCheckBox(QStringLiteral("&Page No"), footer), "CHKFOOTPGNO");
    CHKFOOTLINE = named(new QCheckBox(QStringLiteral("L&ine"), footer), "CHKFOOTLINE");
    fl->addWidget(CHKFOOTER, 0, 0);
    fl->addWidget(CHKFOOTFIELD1, 0, 1);
    fl->addWidget(CHKFOOTFIELD2, 0, 2);
    fl->addWidget(CHKFOOTPGNO, 0, 3);
    fl->addWidget(CHKFOOTLINE, 0, 4);
    PICFOOT = named(new QFrame(footer), "PICFOOT");
    PICFOOT->setAutoFillBackground(true);
    auto *fs = new QGridLayout(PICFOOT);
    LNFOOTLINE = line(PICFOOT, "LNFOOTLINE");
    TXTFOOTFIELD1 = named(new QLineEdit(PICFOOT), "TXTFOOTFIELD1");
    TXTFOOTPGNO = named(new QLineEdit(QStringLiteral("1"), PICFOOT), "TXTFOOTPGNO");
    TXTFOOTFIELD2 = named(new QLineEdit(PICFOOT), "TXTFOOTFIELD2");
    TXTFOOTPGNO->setReadOnly(true);
    TXTFOOTPGNO->setAlignment(Qt::AlignCenter);
    fs->addWidget(LNFOOTLINE, 0, 0, 1, 3);
    fs->addWidget(TXTFOOTFIELD1, 1, 0);
    fs->addWidget(TXTFOOTPGNO, 1, 1);
    fs->addWidget(TXTFOOTFIELD2, 1, 2);
    fl->addWidget(PICFOOT, 1, 0, 1, 5);

    connect(CHKHEADER, &QCheckBox::toggled, this, [this] {
        headerChecked();
        changed();
    });
    connect(CHKFOOTER, &QCheckBox::toggled, this, [this] {
        footerChecked();
        changed();
    });
    for (QCheckBox *item : {CHKHEADTITLE, CHKHEADDATE, CHKHEADTIME, CHKHEADLINE, CHKFOOTFIELD1,
                            CHKFOOTFIELD2, CHKFOOTPGNO, CHKFOOTLINE}) {
        connect(item, &QCheckBox::toggled, this, [this] {
            itemsShown();
            changed();
        });
    }
    connect(TXTHEADTITLE, &QLineEdit::textChanged, this, &frmPSetup::changed);
    connect(TXTFOOTFIELD1, &QLineEdit::textChanged, this, &frmPSetup::changed);
    connect(TXTFOOTFIELD2, &QLineEdit::textChanged, this, &frmPSetup::changed);
    connect(BTNDEFAULTSHF, &QPushButton::clicked, this, &frmPSetup::defaultsHeaderFooterClicked);
}

void frmPSetup::load()
{
    AppState &st = AppState::instance();
    const clsLibrary &lib = clsLibrary::instance();
    PrinterDevice &p = printer();
    Confirmed = false;

    CBOPRINTERS->addItems(PrinterDevice::deviceNames());
    CBOPRINTERS->setCurrentIndex(CBOPRINTERS->findText(p.DeviceName()));

    if (!st.PrintOrientation.isEmpty())
        p.setOrientation(static_cast<int>(number(st.PrintOrientation)));
    OPTORIENTPORT->setChecked(p.Orientation() == PrinterDevice::Portrait);
    OPTORIENTLAND->setChecked(p.Orientation() == PrinterDevice::Landscape);
    st.PrintOrientation = QString::number(p.Orientation());

    for (const PaperSizes::Paper &paper : PaperSizes::all())
        CBOPAPER->addItem(paper.name);
    if (!st.PrintPaperSize.isEmpty())
        p.setPaperSize(static_cast<int>(number(st.PrintPaperSize)));
    CBOPAPER->setCurrentIndex(PaperSizes::indexOfCode(p.PaperSize()));

    UDNLEFT->setText(lib.TEXTJUSTIFY(PrintSettings::marginText(PrintSettings::Left)));
    UDNRIGHT->setText(lib.TEXTJUSTIFY(PrintSettings::marginText(PrintSettings::Right)));
    UDNTOP->setText(lib.TEXTJUSTIFY(PrintSettings::marginText(PrintSettings::Top)));
    UDNBOTTOM->setText(lib.TEXTJUSTIFY(PrintSettings::marginText(PrintSettings::Bottom)));

    drawSamplePage();
    adjustSize();
    lib.RESIZEBTNSOKCANCEL(this);

    const HeaderFooterSettings hf = HeaderFooterSettings::read();
    CHKHEADER->setChecked(hf.header);
    CHKHEADTITLE->setChecked(hf.headTitle);
    CHKHEADLINE->setChecked(hf.headLine);
    CHKHEADDATE->setChecked(hf.headDate);
    CHKHEADTIME->setChecked(hf.headTime);
    TXTHEADTITLE->setText(hf.title);
    CHKFOOTER->setChecked(hf.footer);
    CHKFOOTFIELD1->setChecked(hf.field1);
    CHKFOOTFIELD2->setChecked(hf.field2);
    CHKFOOTLINE->setChecked(hf.footLine);
    CHKFOOTPGNO->setChecked(hf.pageNo);
    TXTFOOTFIELD1->setText(hf.field1Text);
    TXTFOOTFIELD2->setText(hf.field2Text);
    headerChecked();
    footerChecked();
    itemsShown();

    if (!st.PrintPaperSize.isEmpty())
        PaperChoice = numberText(st.PrintPaperSize);
    if (!st.PrintOrientation.isEmpty())
        OrientChoice = numberText(st.PrintOrientation);

    BTNOK->setEnabled(false);
    lib.STATUSBARCAPTION(st.MainWindow.data(), QString(), 0);
    lib.COMBOINIT(CBOPAPER, 15);
    lib.COMBOINIT(CBOPRINTERS, 15);
}

void frmPSetup::selectTab(int tab)
{
    TABSTRIP1->setCurrentIndex(tab == 2 ? 1 : 0);
}

void frmPSetup::changed()
{
    BTNOK->setEnabled(true);
}

void frmPSetup::headerChecked()
{
    const bool on = CHKHEADER->isChecked();
    for (QWidget *w : {static_cast<QWidget *>(CHKHEADTITLE), static_cast<QWidget *>(CHKHEADDATE),
                       static_cast<QWidget *>(CHKHEADTIME), static_cast<QWidget *>(CHKHEADLINE),
                       static_cast<QWidget *>(TXTHEADTITLE)})
        w->setEnabled(on);
    PICHEAD->setBackgroundRole(on ? QPalette::Base : QPalette::Button);
    for (QLineEdit *t : {TXTHEADTITLE, TXTHEADDATE, TXTHEADTIME})
        t->setBackgroundRole(on ? QPalette::Base : QPalette::Button);
}

void frmPSetup::footerChecked()
{
    const bool on = CHKFOOTER->isChecked();
    for (QWidget *w :
         {static_cast<QWidget *>(CHKFOOTFIELD1), static_cast<QWidget *>(CHKFOOTFIELD2),
          static_cast<QWidget *>(CHKFOOTPGNO), static_cast<QWidget *>(CHKFOOTLINE),
          static_cast<QWidget *>(TXTFOOTFIELD1), static_cast<QWidget *>(TXTFOOTFIELD2)})
        w->setEnabled(on);
    PICFOOT->setBackgroundRole(on ? QPalette::Base : QPalette::Button);
    for (QLineEdit *t : {TXTFOOTFIELD1, TXTFOOTPGNO, TXTFOOTFIELD2})
        t->setBackgroundRole(on ? QPalette::Base : QPalette::Button);
}

void frmPSetup::itemsShown()
{
    // Hidden rather than removed, so the sample strips keep their places.
    const auto show = [](QWidget *w, bool on) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
        w->setVisible(on);
    };
    show(TXTHEADTITLE, CHKHEADTITLE->isChecked());
    show(TXTHEADDATE, CHKHEADDATE->isChecked());
    show(TXTHEADTIME, CHKHEADTIME->isChecked());
    show(LNHEADLINE, CHKHEADLINE->isChecked());
    show(TXTFOOTFIELD1, CHKFOOTFIELD1->isChecked());
    show(TXTFOOTFIELD2, CHKFOOTFIELD2->isChecked());
    show(TXTFOOTPGNO, CHKFOOTPGNO->isChecked());
    show(LNFOOTLINE, CHKFOOTLINE->isChecked());
}

void frmPSetup::drawSamplePage()
{
    PrinterDevice &p = printer();
    const double widthIn = p.Width() / 1440.0;
    const double heightIn = p.Height() / 1440.0;
    if (widthIn <= 0 || heightIn <= 0)
        return;
    // The paper keeps its proportions; its longer side fills the window less a border.
    constexpr int Border = 16;
    const int extent = PICWINDOW->width() - 2 * Border;
    const double scale = extent / std::max(widthIn, heightIn); // pixels per inch
    const int w = static_cast<int>(std::lround(widthIn * scale));
    const int h = static_cast<int>(std::lround(heightIn * scale));
    const int x = (PICWINDOW->width() - w) / 2;
    const int y = (PICWINDOW->height() - h) / 2;
    PICPAPER->setGeometry(x, y, w, h);
    PICSHADOW->setGeometry(x + 4, y + 4, w, h); // 60 twips

    const double left = number(UDNLEFT->text()) * scale;
    const double right = number(UDNRIGHT->text()) * scale;
    const double top = number(UDNTOP->text()) * scale;
    const double bottom = number(UDNBOTTOM->text()) * scale;
    QRect area = SHPAREA->geometry();
    area.moveTo(static_cast<int>(std::lround(left)), static_cast<int>(std::lround(top)));
    const int areaW = static_cast<int>(std::lround(w - left - right));
    const int areaH = static_cast<int>(std::lround(h - top - bottom));
    if (areaW > 0)
        area.setWidth(areaW);
    if (areaH > 0)
        area.setHeight(areaH);
    SHPAREA->setGeometry(area);

    LBLHEIGHT->setText(QStringLiteral("Height: ") + inchesText(heightIn) + QLatin1Char('"'));
    LBLWIDTH->setText(QStringLiteral("Width: ") + inchesText(widthIn) + QLatin1Char('"'));
}

void frmPSetup::defaultsClicked()
{
    Resetting = true;
    for (SpinText *box : {UDNLEFT, UDNRIGHT, UDNTOP, UDNBOTTOM})
        box->setText(QStringLiteral("1.0"));
    Resetting = false;
    drawSamplePage();
}

void frmPSetup::defaultsHeaderFooterClicked()
{
    CHKHEADER->setChecked(true);
    CHKFOOTER->setChecked(true);
    TXTHEADTITLE->setText(PrintSettings::defaultTitle());
    TXTFOOTFIELD1->setText(PrintSettings::defaultField1());
    TXTFOOTFIELD2->setText(PrintSettings::defaultField2());
    for (QCheckBox *item : {CHKHEADTITLE, CHKHEADDATE, CHKHEADTIME, CHKHEADLINE, CHKFOOTFIELD1,
                            CHKFOOTFIELD2, CHKFOOTPGNO, CHKFOOTLINE})
        item->setChecked(true);
}

void frmPSetup::okClicked()
{
    Confirmed = true;
    PrintSettings::setMarginText(PrintSettings::Left, UDNLEFT->text());
    PrintSettings::setMarginText(PrintSettings::Right, UDNRIGHT->text());
    PrintSettings::setMarginText(PrintSettings::Top, UDNTOP->text());
    PrintSettings::setMarginText(PrintSettings::Bottom, UDNBOTTOM->text());
    HeaderFooterSettings hf;
    hf.header = CHKHEADER->isChecked();
    hf.headTitle = CHKHEADTITLE->isChecked();
    hf.headLine = CHKHEADLINE->isChecked();
    hf.headDate = CHKHEADDATE->isChecked();
    hf.headTime = CHKHEADTIME->isChecked();
    hf.title = TXTHEADTITLE->text();
    hf.footer = CHKFOOTER->isChecked();
    hf.field1 = CHKFOOTFIELD1->isChecked();
    hf.field2 = CHKFOOTFIELD2->isChecked();
    hf.footLine = CHKFOOTLINE->isChecked();
    hf.pageNo = CHKFOOTPGNO->isChecked();
    hf.field1Text = TXTFOOTFIELD1->text();
    hf.field2Text = TXTFOOTFIELD2->text();
    hf.write();
    AppState &st = AppState::instance();
    st.PrintOrientation = numberText(OrientChoice);
    st.PrintPaperSize = numberText(PaperChoice);
    accept();
}

void frmPSetup::done(int result)
{
    unload();
    QDialog::done(result);
}

void frmPSetup::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    if (Confirmed) {
        PrinterDevice &p = printer();
        p.setPaperSize(static_cast<int>(number(PaperChoice)));
        p.setOrientation(static_cast<int>(number(OrientChoice)));
        // Wrap-to-ruler follows the paper now chosen.
        PageMetrics::setPageWidthTwips(p.Width());
    }
    Confirmed = false;
}
