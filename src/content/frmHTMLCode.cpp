#include "content/frmHTMLCode.h"

#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QVBoxLayout>

#include "content/HtmlCode.h"
#include "content/frmHTMLCodeAdd.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QPointer<frmHTMLCode> &theWindow()
{
    static QPointer<frmHTMLCode> window;
    return window;
}

} // namespace

frmHTMLCode::frmHTMLCode(ActiveText activeText, QWidget *parent)
    : QDialog(parent), m_activeText(std::move(activeText))
{
    setObjectName(QStringLiteral("frmHTMLCode"));
    setWindowTitle(QStringLiteral("HTML Color Code"));
    setModal(false);

    FRAMHTML = named(new QGroupBox(QStringLiteral("Colors"), this), "FRAMHTML");
    LSTPREVIOUS = named(new QListWidget(FRAMHTML), "LSTPREVIOUS");
    auto *listLayout = new QVBoxLayout(FRAMHTML);
    listLayout->addWidget(LSTPREVIOUS);

    FRAMSAMPLE = named(new QGroupBox(QStringLiteral("Sample"), this), "FRAMSAMPLE");
    PICCOLOR = named(new QFrame(FRAMSAMPLE), "PICCOLOR");
    PICCOLOR->setFrameShape(QFrame::Box);
    PICCOLOR->setMinimumSize(64, 40);
    PICCOLOR->setAutoFillBackground(true);
    LBLREDDESC = named(new QLabel(QStringLiteral("Red:"), FRAMSAMPLE), "LBLREDDESC");
    LBLRED = named(new QLabel(FRAMSAMPLE), "LBLRED");
    LBLGREENDESC = named(new QLabel(QStringLiteral("Green:"), FRAMSAMPLE), "LBLGREENDESC");
    LBLGREEN = named(new QLabel(FRAMSAMPLE), "LBLGREEN");
    LBLBLUEDESC = named(new QLabel(QStringLiteral("Blue:"), FRAMSAMPLE), "LBLBLUEDESC");
    LBLBLUE = named(new QLabel(FRAMSAMPLE), "LBLBLUE");
    auto *sample = new QGridLayout(FRAMSAMPLE);
    sample->addWidget(PICCOLOR, 0, 0, 1, 2);
    sample->addWidget(LBLREDDESC, 1, 0);
    sample->addWidget(LBLRED, 1, 1);
    sample->addWidget(LBLGREENDESC, 2, 0);
    sample->addWidget(LBLGREEN, 2, 1);
    sample->addWidget(LBLBLUEDESC, 3, 0);
    sample->addWidget(LBLBLUE, 3, 1);

    BTNADD = named(new QPushButton(QStringLiteral("&Add..."), this), "BTNADD");
    Command1 = named(new QPushButton(QStringLiteral("&from code..."), this), "Command1");
    BTNMODIFY = named(new QPushButton(QStringLiteral("&Modify..."), this), "BTNMODIFY");
    BTNCLEAR = named(new QPushButton(QStringLiteral("Cl&ear"), this), "BTNCLEAR");
    BTNCLEARALL = named(new QPushButton(QStringLiteral("Clea&r All"), this), "BTNCLEARALL");
    BTNINSERT = named(new QPushButton(QStringLiteral("&Insert"), this), "BTNINSERT");
    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNSAVEANDCLOSE =
        named(new QPushButton(QStringLiteral("&Save && Close"), this), "BTNSAVEANDCLOSE");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    for (QPushButton *b : {BTNADD, Command1, BTNMODIFY, BTNCLEAR, BTNCLEARALL, BTNINSERT, BTNOK,
                           BTNSAVEANDCLOSE, BTNCANCEL})
        b->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(FRAMHTML, 0, 0, 2, 1);
    grid->addWidget(FRAMSAMPLE, 0, 1);
    auto *edit = new QVBoxLayout;
    for (QPushButton *b : {BTNADD, Command1, BTNMODIFY, BTNCLEAR, BTNCLEARALL})
        edit->addWidget(b);
    edit->addStretch(1);
    grid->addLayout(edit, 1, 1);
    auto *close = new QVBoxLayout;
    for (QPushButton *b : {BTNOK, BTNINSERT, BTNSAVEANDCLOSE, BTNCANCEL})
        close->addWidget(b);
    close->addStretch(1);
    grid->addLayout(close, 0, 2, 2, 1);

    connect(LSTPREVIOUS, &QListWidget::itemSelectionChanged, this, &frmHTMLCode::selectionChanged);
    connect(LSTPREVIOUS, &QListWidget::itemDoubleClicked, this, &frmHTMLCode::saveAndClose);
    connect(BTNADD, &QPushButton::clicked, this, &frmHTMLCode::addFromColorDialog);
    connect(Command1, &QPushButton::clicked, this, &frmHTMLCode::addFromCode);
    connect(BTNMODIFY, &QPushButton::clicked, this, &frmHTMLCode::modifySelected);
    connect(BTNCLEAR, &QPushButton::clicked, this, &frmHTMLCode::clearSelected);
    connect(BTNCLEARALL, &QPushButton::clicked, this, &frmHTMLCode::clearAll);
    connect(BTNINSERT, &QPushButton::clicked, this, &frmHTMLCode::insertSelected);
    connect(BTNOK, &QPushButton::clicked, this, &frmHTMLCode::saveAndClose);
    // The caption promises a save; closing without one is what Cancel is for.
    connect(BTNSAVEANDCLOSE, &QPushButton::clicked, this, &frmHTMLCode::saveAndClose);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    // Closing in any way unloads the window.
    connect(this, &QDialog::finished, this, &QObject::deleteLater);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
    RichTextBox *text = m_activeText ? m_activeText() : nullptr;
    m_documentColor = text ? text->SelColor().value_or(QColor(Qt::black)) : QColor(Qt::black);
    setSample(m_documentColor);
    LSTPREVIOUS->addItems(HtmlCode::load());
    selectionChanged();
}

frmHTMLCode::~frmHTMLCode()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

frmHTMLCode *frmHTMLCode::SHOW(QWidget *owner, ActiveText activeText)
{
    QPointer<frmHTMLCode> &window = theWindow();
    if (!window)
        window = new frmHTMLCode(std::move(activeText), owner);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void frmHTMLCode::UNLOAD()
{
    delete theWindow().data();
}

frmHTMLCode *frmHTMLCode::loaded()
{
    return theWindow();
}

QStringList frmHTMLCode::codes() const
{
    QStringList list;
    for (int i = 0; i < LSTPREVIOUS->count(); ++i)
        list << LSTPREVIOUS->item(i)->text();
    return list;
}

void frmHTMLCode::selectionChanged()
{
    const QListWidgetItem *item = LSTPREVIOUS->currentItem();
    const bool selected = item && item->isSelected();
    if (selected) {
        showComponents(item->text());
    } else {
        for (QLabel *l : {LBLRED, LBLGREEN, LBLBLUE})
            l->clear();
        setSample(m_documentColor);
    }
    for (QPushButton *b : {BTNMODIFY, BTNCLEAR, BTNINSERT})
        b->setEnabled(selected);
    BTNCLEARALL->setEnabled(LSTPREVIOUS->count() > 0);
    BTNOK->setEnabled(selected || m_changed);
}

void frmHTMLCode::showComponents(const QString &code)
{
    const clsLibrary &lib = clsLibrary::instance();
    LBLRED->setText(lib.HEX2STR(code.mid(1, 2)));
    LBLGREEN->setText(lib.HEX2STR(code.mid(3, 2)));
    LBLBLUE->setText(lib.HEX2STR(code.mid(5, 2)));
    setSample(HtmlCode::color(code));
}

void frmHTMLCode::setSample(const QColor &color)
{
    m_sample = color;
    QPalette p = PICCOLOR->palette();
    p.setColor(QPalette::Window, color);
    PICCOLOR->setPalette(p);
}

void frmHTMLCode::appendCode(const QString &code)
{
    LSTPREVIOUS->addItem(code);
    m_changed = true;
    LSTPREVIOUS->setCurrentRow(LSTPREVIOUS->count() - 1);
    selectionChanged();
}

void frmHTMLCode::listChanged()
{
    m_changed = true;
    selectionChanged();
}

void frmHTMLCode::addFromColorDialog()
{
    const std::optional<QColor> chosen = UiServices::instance().chooseColor(m_sample);
    if (chosen && chosen->isValid())
        appendCode(clsLibrary::instance().GETHEXVAL(*chosen).left(7));
}

void frmHTMLCode::addFromCode()
{
    frmHTMLCodeAdd add(this);
    if (UiServices::instance().execDialog(&add) == QDialog::Accepted)
        appendCode(add.code());
}

void frmHTMLCode::modifySelected()
{
    QListWidgetItem *item = LSTPREVIOUS->currentItem();
    if (!item || !item->isSelected())
        return;
    const std::optional<QColor> chosen =
        UiServices::instance().chooseColor(HtmlCode::color(item->text()));
    if (!chosen || !chosen->isValid())
        return;
    item->setText(clsLibrary::instance().GETHEXVAL(*chosen).left(7));
    listChanged();
}

void frmHTMLCode::clearSelected()
{
    QListWidgetItem *item = LSTPREVIOUS->currentItem();
    if (!item || !item->isSelected())
        return;
    delete LSTPREVIOUS->takeItem(LSTPREVIOUS->row(item));
    LSTPREVIOUS->clearSelection();
    listChanged();
}

void frmHTMLCode::clearAll()
{
    LSTPREVIOUS->clear();
    listChanged();
}

void frmHTMLCode::insertSelected()
{
    const QListWidgetItem *item = LSTPREVIOUS->currentItem();
    if (!item || !item->isSelected())
        return;
    const QString code = item->text();
    HtmlCode::save(codes());
    QApplication::clipboard()->setText(code);
    if (RichTextBox *text = m_activeText ? m_activeText() : nullptr)
        text->setSelText(code);
}

void frmHTMLCode::saveAndClose()
{
    HtmlCode::save(codes());
    accept();
}
