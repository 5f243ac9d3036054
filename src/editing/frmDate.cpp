#include "editing/frmDate.h"

#include <QCalendarWidget>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

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
    return Identity::appKey() + QStringLiteral("\\frmDate\\Settings");
}

constexpr int FirstYear = 100;
constexpr int LastYear = 9999;

} // namespace

// --- Month spin box ------------------------------------------------------------------------------

MonthSpinBox::MonthSpinBox(QWidget *parent) : QSpinBox(parent)
{
    setRange(1, 12);
}

void MonthSpinBox::stepBy(int steps)
{
    const int zeroBased = value() - 1 + steps;
    const int years = zeroBased >= 0 ? zeroBased / 12 : -((11 - zeroBased) / 12);
    if (years != 0)
        emit yearCarry(years);
    setValue(zeroBased - years * 12 + 1);
}

QString MonthSpinBox::textFromValue(int value) const
{
    return locale().monthName(value, QLocale::LongFormat);
}

int MonthSpinBox::valueFromText(const QString &text) const
{
    const QString typed = text.trimmed();
    for (int m = 1; m <= 12; ++m)
        if (!typed.isEmpty() &&
            locale().monthName(m, QLocale::LongFormat).startsWith(typed, Qt::CaseInsensitive))
            return m;
    return value();
}

QValidator::State MonthSpinBox::validate(QString &text, int &) const
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return QValidator::Intermediate;
    for (int m = 1; m <= 12; ++m) {
        const QString name = locale().monthName(m, QLocale::LongFormat);
        if (name.compare(typed, Qt::CaseInsensitive) == 0)
            return QValidator::Acceptable;
        if (name.startsWith(typed, Qt::CaseInsensitive))
            return QValidator::Intermediate;
    }
    return QValidator::Invalid;
}

// --- Formats ------------------------------------------------------------------------------------

const QStringList &frmDate::FORMATS()
{
    static const QStringList formats = {
        QStringLiteral("DDDD D MMMM YYYY"),
        QStringLiteral("DDDD D MMMM YY"),
        QStringLiteral("DDDD D MMMM"),
        QStringLiteral("DDD D MMM YYYY"),
        QStringLiteral("DDD D MMM YY"),
        QStringLiteral("DDD D MMM"),
        QStringLiteral("DDD D MMMM YYYY"),
        QStringLiteral("DDD D MMMM YY"),
        QStringLiteral("DDD D MMMM"),
        QStringLiteral("D MMMM YYYY"),
        QStringLiteral("D MMMM YY"),
        QStringLiteral("D MMMM"),
        QStringLiteral("MMMM YYYY"),
        QStringLiteral("MMMM YY"),
        QStringLiteral("MMMM"),
        QStringLiteral("MMM YYYY"),
        QStringLiteral("MMM YY"),
        QStringLiteral("DD MM YYYY"),
        QStringLiteral("DD/MM/YYYY"),
        QStringLiteral("DD,MM,YYYY"),
        QStringLiteral("DD-MM-YYYY"),
        QStringLiteral("DD MM YY"),
        QStringLiteral("DD/MM/YY"),
        QStringLiteral("DD,MM,YY"),
        QStringLiteral("DD-MM-YY"),
        QStringLiteral("D M YYYY"),
        QStringLiteral("D/M/YYYY"),
        QStringLiteral("D,M,YYYY"),
        QStringLiteral("D-M-YYYY"),
        QStringLiteral("D M YY"),
        QStringLiteral("D/M/YY"),
        QStringLiteral("D,M,YY"),
        QStringLiteral("D-M-YY"),
        QStringLiteral("MM DD YYYY"),
        QStringLiteral("MM/DD/YYYY"),
        QStringLiteral("MM,DD,YYYY"),
        QStringLiteral("MM-DD-YYYY"),
        QStringLiteral("MM DD YY"),
        QStringLiteral("MM/DD/YY"),
        QStringLiteral("MM,DD,YY"),
        QStringLiteral("MM-DD-YY"),
        QStringLiteral("M D YYYY"),
        QStringLiteral("M/D/YYYY"),
        QStringLiteral("M,D,YYYY"),
        QStringLiteral("M-D-YYYY"),
        QStringLiteral("M D YY"),
        QStringLiteral("M/D/YY"),
        QStringLiteral("M,D,YY"),
        QStringLiteral("M-D-YY"),
    };
    return formats;
}

QString frmDate::DATESEPARATOR(const QLocale &locale)
{
    const QString shortFormat = locale.dateFormat(QLocale::ShortFormat);
    for (QChar c : shortFormat)
        if (!c.isLetterOrNumber() && !c.isSpace() && c != u'\'')
            return QString(c);
    return QStringLiteral("/");
}

QString frmDate::FORMATDATE(const QDate &date, const QString &format, const QLocale &locale)
{
    if (!date.isValid())
        return {};
    const QString separator = DATESEPARATOR(locale);
    auto twoDigits = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i).toUpper();
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run).toUpper() == c)
            ++run;
        if (c == u'D') {
            if (run == 1)
                out += QString::number(date.day());
            else if (run == 2)
                out += twoDigits(date.day());
            else
                out += locale.dayName(date.dayOfWeek(),
                                      run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (c == u'M') {
            if (run == 1)
                out += QString::number(date.month());
            else if (run == 2)
                out += twoDigits(date.month());
            else
                out += locale.monthName(date.month(),
                                        run == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (c == u'Y') {
            const int year = date.year();
            out += run <= 2 ? twoDigits(((year % 100) + 100) % 100)
                            : QStringLiteral("%1").arg(year, 4, 10, QLatin1Char('0'));
        } else if (c == u'/') {
            for (qsizetype k = 0; k < run; ++k)
                out += separator;
        } else {
            out += format.mid(i, run);
        }
        i += run;
    }
    return out;
}

// --- The dialog ---------------------------------------------------------------------------------

frmDate::frmDate(RichTextBox *target, QWidget *parent) : QDialog(parent), m_target(target)
{
    setObjectName(QStringLiteral("frmDate"));
    setWindowTitle(QStringLiteral("Date"));
    setModal(true);

    UDCMONTH = named(new MonthSpinBox(this), "UDCMONTH");
    UDCMONTH->setWrapping(true);
    UDCYEAR = named(new QSpinBox(this), "UDCYEAR");
    UDCYEAR->setRange(FirstYear, LastYear);
    UDCYEAR->setGroupSeparatorShown(false);
    PICCLNDR = named(new QCalendarWidget(this), "PICCLNDR");
    PICCLNDR->setFirstDayOfWeek(Qt::Monday);
    PICCLNDR->setNavigationBarVisible(false);
    PICCLNDR->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    PICCLNDR->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    PICCLNDR->setDateRange(QDate(FirstYear, 1, 1), QDate(LastYear, 12, 31));
    LNDATE = named(new QFrame(this), "LNDATE");
    LNDATE->setFrameShape(QFrame::VLine);
    LNDATE->setFrameShadow(QFrame::Sunken);
    LSTDATE = named(new QListWidget(this), "LSTDATE");
    LSTDATE->setMinimumWidth(220);
    BTNINSERT = named(new QPushButton(QStringLiteral("&Insert"), this), "BTNINSERT");
    TXTSEP1 = named(new QFrame(this), "TXTSEP1");
    TXTSEP1->setFrameShape(QFrame::HLine);
    TXTSEP1->setFrameShadow(QFrame::Sunken);
    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    BTNINSERT->setAutoDefault(false);
    BTNCANCEL->setAutoDefault(false);
    BTNOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    auto *spins = new QHBoxLayout;
    spins->addWidget(UDCMONTH, 1);
    spins->addWidget(UDCYEAR);
    grid->addLayout(spins, 0, 0);
    grid->addWidget(PICCLNDR, 1, 0);
    grid->addWidget(LNDATE, 0, 1, 2, 1);
    grid->addWidget(LSTDATE, 0, 2, 2, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNCANCEL);
    buttons->addWidget(TXTSEP1);
    buttons->addWidget(BTNINSERT);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 3, 2, 1);

    connect(UDCMONTH, &MonthSpinBox::yearCarry, this, [this](int years) {
        const QSignalBlocker block(UDCYEAR);
        UDCYEAR->setValue(UDCYEAR->value() + years);
    });
    connect(UDCMONTH, &QSpinBox::valueChanged, this, &frmDate::monthOrYearChanged);
    connect(UDCYEAR, &QSpinBox::valueChanged, this, &frmDate::monthOrYearChanged);
    connect(PICCLNDR, &QCalendarWidget::selectionChanged, this,
            [this] { chooseDate(PICCLNDR->selectedDate()); });
    connect(PICCLNDR, &QCalendarWidget::currentPageChanged, this, [this](int year, int month) {
        if (year != m_date.year() || month != m_date.month())
            chooseDate(
                QDate(year, month, std::min(m_date.day(), QDate(year, month, 1).daysInMonth())));
    });
    connect(PICCLNDR, &QCalendarWidget::activated, this, [this](QDate date) {
        chooseDate(date);
        insertChosen();
        accept();
    });
    connect(LSTDATE, &QListWidget::currentRowChanged, this, &frmDate::listClicked);
    connect(LSTDATE, &QListWidget::itemDoubleClicked, this, [this] {
        insertChosen();
        accept();
    });
    connect(BTNINSERT, &QPushButton::clicked, this, &frmDate::insertChosen);
    connect(BTNOK, &QPushButton::clicked, this, [this] {
        insertChosen();
        accept();
    });
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
    chooseDate(Clock::instance().now().date());
}

frmDate::~frmDate()
{
    if (LSTDATE->currentRow() >= 0)
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, settingsKey(),
                                           QStringLiteral("Format"),
                                           QString::number(LSTDATE->currentRow()));
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmDate::chooseDate(const QDate &date)
{
    if (!date.isValid())
        return;
    m_date = std::clamp(date, QDate(FirstYear, 1, 1), QDate(LastYear, 12, 31));
    {
        const QSignalBlocker blockMonth(UDCMONTH);
        const QSignalBlocker blockYear(UDCYEAR);
        const QSignalBlocker blockCalendar(PICCLNDR);
        UDCMONTH->setValue(m_date.month());
        UDCYEAR->setValue(m_date.year());
        PICCLNDR->setCurrentPage(m_date.year(), m_date.month());
        PICCLNDR->setSelectedDate(m_date);
    }
    refillList();
}

void frmDate::monthOrYearChanged()
{
    const int year = UDCYEAR->value();
    const int month = UDCMONTH->value();
    chooseDate(QDate(year, month, std::min(m_date.day(), QDate(year, month, 1).daysInMonth())));
}

void frmDate::refillList()
{
    const QSignalBlocker block(LSTDATE);
    LSTDATE->clear();
    for (const QString &format : FORMATS())
        LSTDATE->addItem(FORMATDATE(m_date, format));
    bool ok = false;
    const int stored = clsLibrary::instance()
                           .REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, settingsKey(),
                                       QStringLiteral("Format"), QStringLiteral("0"))
                           .trimmed()
                           .toInt(&ok);
    if (ok && stored >= 0 && stored < LSTDATE->count())
        LSTDATE->setCurrentRow(stored);
}

void frmDate::listClicked(int row)
{
    if (row >= 0)
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, settingsKey(),
                                           QStringLiteral("Format"), QString::number(row));
}

void frmDate::insertChosen()
{
    const QListWidgetItem *item = LSTDATE->currentItem();
    if (item && m_target)
        m_target->setSelText(item->text());
}
