#include "content/frmSpelling.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

frmSpelling::frmSpelling(clsSpelling *engine, QWidget *parent) : QDialog(parent), m_engine(engine)
{
    setObjectName(QStringLiteral("frmSpelling"));
    setWindowTitle(QStringLiteral("Spell Checker"));
    setModal(true);

    LBLUNKNOWN = named(new QLabel(QStringLiteral("&Unknown word:"), this), "LBLUNKNOWN");
    TXTUNKNOWN = named(new QLineEdit(this), "TXTUNKNOWN");
    TXTUNKNOWN->setReadOnly(true);
    LBLUNKNOWN->setBuddy(TXTUNKNOWN);
    LBLREPLACE = named(new QLabel(QStringLiteral("Replace &with:"), this), "LBLREPLACE");
    TXTREPLACE = named(new QLineEdit(this), "TXTREPLACE");
    LBLREPLACE->setBuddy(TXTREPLACE);
    LBLSUGGESTIONS = named(new QLabel(QStringLiteral("&Suggestions:"), this), "LBLSUGGESTIONS");
    LSTSUGGESTIONS = named(new QListWidget(this), "LSTSUGGESTIONS");
    LBLSUGGESTIONS->setBuddy(LSTSUGGESTIONS);

    BTNREPLACE = named(new QPushButton(QStringLiteral("&Replace"), this), "BTNREPLACE");
    BTNIGNORE = named(new QPushButton(QStringLiteral("&Ignore"), this), "BTNIGNORE");
    BTNIGNOREALL = named(new QPushButton(QStringLiteral("Ig&nore All"), this), "BTNIGNOREALL");
    BTNADD = named(new QPushButton(QStringLiteral("&Add"), this), "BTNADD");
    BTNCLOSE = named(new QPushButton(QStringLiteral("&Close"), this), "BTNCLOSE");
    for (QPushButton *b : {BTNREPLACE, BTNIGNORE, BTNIGNOREALL, BTNADD, BTNCLOSE})
        b->setAutoDefault(false);
    BTNIGNORE->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(LBLUNKNOWN, 0, 0);
    grid->addWidget(TXTUNKNOWN, 1, 0);
    grid->addWidget(LBLREPLACE, 2, 0);
    grid->addWidget(TXTREPLACE, 3, 0);
    grid->addWidget(LBLSUGGESTIONS, 4, 0);
    grid->addWidget(LSTSUGGESTIONS, 5, 0, 2, 1);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {BTNREPLACE, BTNIGNORE, BTNIGNOREALL, BTNADD})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(BTNCLOSE);
    grid->addLayout(buttons, 0, 1, 7, 1);
    grid->setRowStretch(6, 1);

    connect(BTNREPLACE, &QPushButton::clicked, this,
            [this] { busy([this] { m_engine->CHGWORD(); }); });
    connect(BTNIGNORE, &QPushButton::clicked, this, [this] { m_engine->IGNOREWORD(); });
    connect(BTNIGNOREALL, &QPushButton::clicked, this, [this] { m_engine->IGNOREALL(); });
    connect(BTNADD, &QPushButton::clicked, this,
            [this] { busy([this] { m_engine->ADDTODICT(); }); });
    connect(BTNCLOSE, &QPushButton::clicked, this, &QDialog::reject);
    connect(LSTSUGGESTIONS, &QListWidget::currentRowChanged, this, &frmSpelling::suggestionChosen);
    connect(LSTSUGGESTIONS, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { suggestionChosen(LSTSUGGESTIONS->row(item)); });
    connect(LSTSUGGESTIONS, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        suggestionChosen(LSTSUGGESTIONS->row(item));
        busy([this] { m_engine->CHGWORD(); });
    });

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
}

frmSpelling::~frmSpelling()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmSpelling::showSuggestions(const clsSpelling::Suggestions &suggestions)
{
    TXTUNKNOWN->setText(suggestions.word);
    {
        const QSignalBlocker block(LSTSUGGESTIONS);
        LSTSUGGESTIONS->clear();
        LSTSUGGESTIONS->addItems(suggestions.items);
        LSTSUGGESTIONS->setCurrentRow(suggestions.selected);
        if (suggestions.selected < 0)
            LSTSUGGESTIONS->clearSelection();
    }
    LSTSUGGESTIONS->setEnabled(suggestions.enabled);
    TXTREPLACE->setText(suggestions.replacement);
}

QString frmSpelling::unknownWord() const
{
    return TXTUNKNOWN->text();
}

QString frmSpelling::replacement() const
{
    return TXTREPLACE->text();
}

template <typename F> void frmSpelling::busy(F command)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    command();
    QApplication::restoreOverrideCursor();
}

void frmSpelling::suggestionChosen(int row)
{
    if (row < 0 || !LSTSUGGESTIONS->isEnabled())
        return;
    if (const QListWidgetItem *item = LSTSUGGESTIONS->item(row))
        TXTREPLACE->setText(item->text());
}
