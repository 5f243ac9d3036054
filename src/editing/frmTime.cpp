#include "editing/frmTime.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/Clock.h"
#include "platform/RichTextBox.h"

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

QString settingsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmTime\\Settings");
}

QString readSetting(const char *name, const QString &def)
{
    return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, settingsKey(),
                                             QLatin1String(name), def);
}

void writeSetting(const char *name, const QString &text)
{
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, settingsKey(),
                                       QLatin1String(name), text);
}

// "Type": "True" (or the default "1") is am/pm.
bool storedAmPm()
{
    const QString type = readSetting("Type", QStringLiteral("1")).trimmed();
    return type.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
           type == QLatin1String("1") || type == QLatin1String("-1");
}

} // namespace

QStringList frmTime::TIMEFORMATS(const QTime &time, bool amPm)
{
    const int h = time.hour();
    const QString mm = QStringLiteral("%1").arg(time.minute(), 2, 10, QLatin1Char('0'));
    const QString ss = QStringLiteral("%1").arg(time.second(), 2, 10, QLatin1Char('0'));
    if (!amPm) {
        const QString hour = QString::number(h);
        return {hour + u':' + mm + u':' + ss, hour + u':' + mm, hour};
    }
    // The hour from 12:00 to 12:59 keeps "am", and midnight shows hour 0.
    const QString hour = QString::number(h > 12 ? h - 12 : h);
    const QString suffix = h > 12 ? QStringLiteral(" pm") : QStringLiteral(" am");
    return {hour + u':' + mm + u':' + ss + suffix, hour + u':' + mm + suffix, hour + suffix,
            hour + u':' + mm + u':' + ss,          hour + u':' + mm,          hour};
}

frmTime::frmTime(RichTextBox *target, QWidget *parent) : QDialog(parent), m_target(target)
{
    setObjectName(QStringLiteral("frmTime"));
    setWindowTitle(QStringLiteral("Time"));
    setModal(true);

    FRAMTYPE = named(new QGroupBox(QStringLiteral("Types"), this), "FRAMTYPE");
    OPT24H = named(new QRadioButton(QStringLiteral("24 &hour"), FRAMTYPE), "OPT24H");
    OPTAMPM = named(new QRadioButton(QStringLiteral("&Am/Pm"), FRAMTYPE), "OPTAMPM");
    auto *types = new QVBoxLayout(FRAMTYPE);
    types->addWidget(OPT24H);
    types->addWidget(OPTAMPM);
    FRAMFMT = named(new QGroupBox(QStringLiteral("Formats"), this), "FRAMFMT");
    LSTFORMATS = named(new QListWidget(FRAMFMT), "LSTFORMATS");
    auto *formats = new QVBoxLayout(FRAMFMT);
    formats->addWidget(LSTFORMATS);
    BTNUPDATE = named(new QPushButton(QStringLiteral("&Update"), this), "BTNUPDATE");
    BTNINSERT = named(new QPushButton(QStringLiteral("&Insert"), this), "BTNINSERT");
    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    for (QPushButton *b : {BTNUPDATE, BTNINSERT, BTNCANCEL})
        b->setAutoDefault(false);
    BTNOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(FRAMTYPE, 0, 0);
    grid->addWidget(FRAMFMT, 1, 0);
    auto *buttons = new QVBoxLayout;
    for (QPushButton *b : {BTNOK, BTNCANCEL, BTNUPDATE, BTNINSERT})
        buttons->addWidget(b);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 1, 2, 1);

    connect(OPT24H, &QRadioButton::clicked, this, [this] { typeChosen(false); });
    connect(OPTAMPM, &QRadioButton::clicked, this, [this] { typeChosen(true); });
    connect(LSTFORMATS, &QListWidget::currentRowChanged, this, &frmTime::entryChosen);
    connect(LSTFORMATS, &QListWidget::itemDoubleClicked, this, [this] {
        insertChosen();
        accept();
    });
    connect(BTNUPDATE, &QPushButton::clicked, this, [this] {
        (storedAmPm() ? OPTAMPM : OPT24H)->setChecked(true);
        buildList();
    });
    connect(BTNINSERT, &QPushButton::clicked, this, &frmTime::insertChosen);
    connect(BTNOK, &QPushButton::clicked, this, [this] {
        insertChosen();
        accept();
    });
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
    (storedAmPm() ? OPTAMPM : OPT24H)->setChecked(true);
    buildList("Selected");
}

frmTime::~frmTime()
{
    writeSetting("Type", OPTAMPM->isChecked() ? QStringLiteral("True") : QStringLiteral("False"));
    writeSetting("Selected", QString::number(LSTFORMATS->currentRow()));
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmTime::buildList(const char *key)
{
    // Nothing is chosen until an entry is selected.
    BTNINSERT->setEnabled(false);
    BTNOK->setEnabled(false);
    {
        const QSignalBlocker block(LSTFORMATS);
        LSTFORMATS->clear();
        LSTFORMATS->addItems(TIMEFORMATS(Clock::instance().now().time(), OPTAMPM->isChecked()));
    }
    bool ok = false;
    const int stored = readSetting(key, QStringLiteral("0")).trimmed().toInt(&ok);
    // A stored entry the list does not have leaves the list without a selection.
    if (ok && stored >= 0 && stored < LSTFORMATS->count())
        LSTFORMATS->setCurrentRow(stored);
}

void frmTime::typeChosen(bool amPm)
{
    writeSetting("Type", amPm ? QStringLiteral("True") : QStringLiteral("False"));
    buildList();
}

void frmTime::entryChosen(int row)
{
    if (row < 0)
        return;
    writeSetting("SelectedFMT", QString::number(row));
    BTNINSERT->setEnabled(true);
    BTNOK->setEnabled(true);
}

void frmTime::insertChosen()
{
    const QListWidgetItem *item = LSTFORMATS->currentItem();
    if (item && m_target)
        m_target->setSelText(item->text());
}
