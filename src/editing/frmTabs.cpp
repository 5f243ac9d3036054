#include "editing/frmTabs.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTextCursor>
#include <cmath>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "editing/FormatLists.h"
#include "editing/FormatSpin.h"
#include "platform/RichTextBox.h"

namespace {
template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}
} // namespace

frmTabs::frmTabs(RichTextBox *rtf, QWidget *parent) : QDialog(parent), m_rtf(rtf)
{
    setObjectName(QStringLiteral("frmTabs"));
    setWindowTitle(QStringLiteral("Tabs"));
    setModal(true);

    FRAMTABS = named(new QGroupBox(QStringLiteral("Tabs"), this), "FRAMTABS");
    LBLSEL = named(new QLabel(QStringLiteral("&Selected:"), FRAMTABS), "LBLSEL");
    LSTTABS = named(new QListWidget(FRAMTABS), "LSTTABS");
    LBLSEL->setBuddy(LSTTABS);
    LBLDESC = named(new QLabel(QStringLiteral("&New:"), FRAMTABS), "LBLDESC");
    UDNTAB = named(new FormatSpin(0, 22, 0.25, 2, FRAMTABS), "UDNTAB");
    LBLDESC->setBuddy(UDNTAB);
    LSTTABS2 = named(new QListWidget(this), "LSTTABS2");
    LSTTABS2->hide();
    BTNADD = named(new QPushButton(QStringLiteral("&Add"), FRAMTABS), "BTNADD");
    BTNCLEAR = named(new QPushButton(QStringLiteral("Cl&ear"), FRAMTABS), "BTNCLEAR");
    BTNCLEARALL = named(new QPushButton(QStringLiteral("&Clear All"), FRAMTABS), "BTNCLEARALL");
    BTNRESET = named(new QPushButton(QStringLiteral("&Reset"), FRAMTABS), "BTNRESET");
    for (QPushButton *b : {BTNADD, BTNCLEAR, BTNCLEARALL, BTNRESET})
        b->setAutoDefault(false);
    auto *grid = new QGridLayout(FRAMTABS);
    grid->addWidget(LBLSEL, 0, 0);
    grid->addWidget(LSTTABS, 1, 0, 5, 1);
    grid->addWidget(LBLDESC, 0, 1);
    grid->addWidget(UDNTAB, 1, 1);
    grid->addWidget(BTNADD, 2, 1);
    grid->addWidget(BTNCLEAR, 3, 1);
    grid->addWidget(BTNCLEARALL, 4, 1);
    grid->addWidget(BTNRESET, 5, 1);

    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    BTNOK->setDefault(true);
    auto *main = new QGridLayout(this);
    main->addWidget(FRAMTABS, 0, 0);
    main->setContentsMargins(11, 11, BTNOK->sizeHint().width() + 20, 11);

    load();

    connect(UDNTAB, &FormatSpin::valueTextChanged, this, [this] {
        BTNADD->setEnabled(UDNTAB->value().value_or(0.0) != 0.0);
        BTNOK->setEnabled(true);
    });
    connect(LSTTABS, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
        UDNTAB->setValueText(item->text().trimmed());
        BTNCLEAR->setEnabled(true);
        BTNOK->setEnabled(true);
    });
    connect(BTNADD, &QPushButton::clicked, this, &frmTabs::add);
    connect(BTNCLEAR, &QPushButton::clicked, this, &frmTabs::clearOne);
    connect(BTNCLEARALL, &QPushButton::clicked, this, &frmTabs::clearAll);
    connect(BTNRESET, &QPushButton::clicked, this, &frmTabs::reset);
    connect(BTNOK, &QPushButton::clicked, this, &frmTabs::ok);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
    clsLibrary::instance().RESIZEBTNSOKCANCEL(this);
}

frmTabs::~frmTabs()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmTabs::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    clsLibrary::instance().RESIZEBTNSOKCANCEL(this);
}

QStringList frmTabs::tabs() const
{
    QStringList out;
    for (int i = 0; i < LSTTABS->count(); ++i)
        out << LSTTABS->item(i)->text();
    return out;
}

void frmTabs::setList(const QStringList &tabs)
{
    LSTTABS->clear();
    LSTTABS->addItems(tabs);
}

void frmTabs::load()
{
    BTNADD->setEnabled(false);
    BTNOK->setEnabled(false);
    QStringList stops;
    if (m_rtf) {
        const int count = m_rtf->SelTabCount().value_or(0);
        for (int i = 0; i < count; ++i)
            if (const auto twips = m_rtf->SelTabs(i))
                stops << FormatLists::tabText(*twips / 1440.0);
    }
    setList(stops);
    BTNCLEARALL->setEnabled(LSTTABS->count() > 0);
    BTNCLEAR->setEnabled(false);
    UDNTAB->setValueText(QString());
}

void frmTabs::add()
{
    // The new list is built in the work list, then shown.
    QStringList stops = tabs();
    if (const auto inches = UDNTAB->value())
        FormatLists::insertTab(stops, *inches);
    LSTTABS2->clear();
    LSTTABS2->addItems(stops);
    setList(stops);
    LSTTABS2->clear();
    UDNTAB->setValueText(QStringLiteral("0"));
    BTNCLEARALL->setEnabled(true);
    BTNCLEAR->setEnabled(false);
    BTNADD->setEnabled(false);
    BTNOK->setEnabled(true);
}

void frmTabs::clearOne()
{
    if (QListWidgetItem *item = LSTTABS->currentItem())
        delete LSTTABS->takeItem(LSTTABS->row(item));
    BTNCLEAR->setEnabled(false);
    BTNCLEARALL->setEnabled(LSTTABS->count() > 0);
    UDNTAB->setValueText(QString());
    BTNOK->setEnabled(true);
}

void frmTabs::clearAll()
{
    LSTTABS->clear();
    UDNTAB->setValueText(QString());
    BTNCLEAR->setEnabled(false);
    BTNCLEARALL->setEnabled(false);
    BTNOK->setEnabled(true);
}

void frmTabs::reset()
{
    setList(FormatLists::defaultTabs());
    UDNTAB->setValueText(QString());
    BTNADD->setEnabled(false);
    BTNCLEAR->setEnabled(false);
    BTNCLEARALL->setEnabled(true);
    BTNOK->setEnabled(true);
}

void frmTabs::ok()
{
    if (m_rtf && !m_rtf->isReadOnly()) {
        const QStringList stops = tabs();
        QTextCursor group = m_rtf->textCursor();
        group.beginEditBlock();
        m_rtf->setSelTabCount(static_cast<int>(stops.size()));
        for (int i = 0; i < stops.size(); ++i)
            m_rtf->setSelTabs(i, static_cast<int>(std::lround(stops[i].toDouble() * 1440.0)));
        group.endEditBlock();
        emit applied();
    }
    accept();
}
