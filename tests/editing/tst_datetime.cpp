#include <QCalendarWidget>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QtTest>
#include <memory>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "editing/frmDate.h"
#include "editing/frmTime.h"
#include "platform/Clock.h"
#include "platform/RichTextBox.h"
#include "support/ScriptedUiServices.h"
#include "support/TempSettings.h"

// The Date and Time dialogs against a fixed clock and a fresh store: the texts they offer, what
// they insert and what they remember.
class tst_DateTime : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<FixedClock> m_clock;
    std::unique_ptr<RichTextBox> m_box;

    static QString store(const QString &form, const QString &name)
    {
        return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER,
                                                 Identity::appKey() + u'\\' + form + "\\Settings",
                                                 name, QStringLiteral("<none>"));
    }
    static void setStore(const QString &form, const QString &name, const QString &value)
    {
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER,
                                           Identity::appKey() + u'\\' + form + "\\Settings", name,
                                           value);
    }
    template <typename T> static T *child(QWidget *w, const char *name)
    {
        return w->findChild<T *>(QLatin1String(name));
    }
    static QStringList entries(QListWidget *list)
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

private slots:
    void init()
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
        m_settings = std::make_unique<TempSettings>();
        m_clock = std::make_unique<FixedClock>(QDateTime(QDate(2001, 2, 3), QTime(13, 5, 7)));
        Clock::setInstance(m_clock.get());
        m_box = std::make_unique<RichTextBox>();
        m_box->setText(QStringLiteral("Due: "));
        m_box->setSelStart(5);
    }
    void cleanup()
    {
        m_box.reset();
        Clock::setInstance(nullptr);
        m_clock.reset();
        m_settings.reset();
        QLocale::setDefault(QLocale::c());
    }

    void dateFormats_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("expected");
        const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
        const QLocale de(QLocale::German, QLocale::Germany);
        QTest::newRow("full names") << uk << "DDDD D MMMM YYYY"
                                    << "Saturday 3 February 2001";
        QTest::newRow("no leading zeros") << uk << "M/D/YYYY"
                                          << "2/3/2001";
        QTest::newRow("locale separator") << de << "D/M/YY"
                                          << "3.2.01";
        QTest::newRow("locale names") << de << "DDDD D MMMM"
                                      << "Samstag 3 Februar";
    }
    void dateFormats()
    {
        QFETCH(QLocale, locale);
        QFETCH(QString, format);
        QFETCH(QString, expected);
        QVERIFY(frmDate::FORMATS().contains(format));
        QCOMPARE(frmDate::FORMATDATE(QDate(2001, 2, 3), format, locale), expected);
    }

    void dateDialogListsStoredFormatAndInserts()
    {
        setStore(QStringLiteral("frmDate"), QStringLiteral("Format"), QStringLiteral("18"));
        {
            frmDate dlg(m_box.get());
            auto *list = child<QListWidget>(&dlg, "LSTDATE");
            QCOMPARE(list->count(), 49);
            QCOMPARE(list->item(0)->text(), QStringLiteral("Saturday 3 February 2001"));
            QCOMPARE(list->currentItem()->text(), QStringLiteral("03/02/2001"));
            QCOMPARE(child<QSpinBox>(&dlg, "UDCMONTH")->text(), QStringLiteral("February"));
            QCOMPARE(child<QSpinBox>(&dlg, "UDCYEAR")->value(), 2001);

            // A click on a day refills the list for that day.
            child<QCalendarWidget>(&dlg, "PICCLNDR")->setSelectedDate(QDate(2001, 2, 14));
            QCOMPARE(list->currentItem()->text(), QStringLiteral("14/02/2001"));
            child<QPushButton>(&dlg, "BTNINSERT")->click();
            QCOMPARE(m_box->Text(), QStringLiteral("Due: 14/02/2001"));

            // Another entry is remembered at once; OK inserts it and closes.
            list->setCurrentRow(9);
            QCOMPARE(store(QStringLiteral("frmDate"), QStringLiteral("Format")),
                     QStringLiteral("9"));
            child<QPushButton>(&dlg, "BTNOK")->click();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(m_box->Text(), QStringLiteral("Due: 14/02/200114 February 2001"));
        }
        QCOMPARE(store(QStringLiteral("frmDate"), QStringLiteral("Format")), QStringLiteral("9"));
    }

    void monthSpinCarriesAndKeepsDayInMonth()
    {
        m_clock->set(QDateTime(QDate(2001, 12, 31), QTime(9, 0)));
        frmDate dlg(m_box.get());
        auto *month = child<QSpinBox>(&dlg, "UDCMONTH");
        month->stepBy(1);
        QCOMPARE(dlg.chosenDate(), QDate(2002, 1, 31));
        QCOMPARE(child<QSpinBox>(&dlg, "UDCYEAR")->value(), 2002);
        month->stepBy(1); // February 2002 has 28 days
        QCOMPARE(dlg.chosenDate(), QDate(2002, 2, 28));
        month->stepBy(-2);
        QCOMPARE(dlg.chosenDate(), QDate(2001, 12, 28));
        child<QSpinBox>(&dlg, "UDCYEAR")->setValue(2004);
        QCOMPARE(dlg.chosenDate(), QDate(2004, 12, 28));
        QCOMPARE(child<QListWidget>(&dlg, "LSTDATE")->item(0)->text(),
                 QStringLiteral("Tuesday 28 December 2004"));
    }

    void timeFormats_data()
    {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<bool>("amPm");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("noon hour keeps am")
            << QTime(12, 5, 9) << true
            << QStringList{"12:05:09 am", "12:05 am", "12 am", "12:05:09", "12:05", "12"};
        QTest::newRow("midnight is hour 0")
            << QTime(0, 5, 0) << true
            << QStringList{"0:05:00 am", "0:05 am", "0 am", "0:05:00", "0:05", "0"};
        QTest::newRow("24 hour") << QTime(23, 59, 1) << false
                                 << QStringList{"23:59:01", "23:59", "23"};
    }
    void timeFormats()
    {
        QFETCH(QTime, time);
        QFETCH(bool, amPm);
        QFETCH(QStringList, expected);
        QCOMPARE(frmTime::TIMEFORMATS(time, amPm), expected);
    }

    void timeDialogTypeAndStoredEntry()
    {
        // Entry 4 exists only in the am/pm list. The dialog opens on "Selected" (the entry it
        // was left on), a change of type selects "SelectedFMT" (the last entry chosen).
        setStore(QStringLiteral("frmTime"), QStringLiteral("Type"), QStringLiteral("False"));
        setStore(QStringLiteral("frmTime"), QStringLiteral("Selected"), QStringLiteral("4"));
        setStore(QStringLiteral("frmTime"), QStringLiteral("SelectedFMT"), QStringLiteral("4"));
        {
            frmTime dlg(m_box.get());
            auto *list = child<QListWidget>(&dlg, "LSTFORMATS");
            auto *insert = child<QPushButton>(&dlg, "BTNINSERT");
            auto *ok = child<QPushButton>(&dlg, "BTNOK");
            QCOMPARE(entries(list), (QStringList{"13:05:07", "13:05", "13"}));
            QCOMPARE(list->currentRow(), -1);
            QVERIFY(!insert->isEnabled() && !ok->isEnabled());

            child<QRadioButton>(&dlg, "OPTAMPM")->click();
            QCOMPARE(store(QStringLiteral("frmTime"), QStringLiteral("Type")),
                     QStringLiteral("True"));
            QCOMPARE(list->currentItem()->text(), QStringLiteral("1:05"));
            QVERIFY(insert->isEnabled() && ok->isEnabled());

            // Update takes the clock again.
            m_clock->set(QDateTime(QDate(2001, 2, 3), QTime(14, 30, 0)));
            child<QPushButton>(&dlg, "BTNUPDATE")->click();
            list->setCurrentRow(1);
            QCOMPARE(store(QStringLiteral("frmTime"), QStringLiteral("SelectedFMT")),
                     QStringLiteral("1"));
            ok->click();
            QCOMPARE(dlg.result(), int(QDialog::Accepted));
            QCOMPARE(m_box->Text(), QStringLiteral("Due: 2:30 pm"));
        }
        QCOMPARE(store(QStringLiteral("frmTime"), QStringLiteral("Selected")), QStringLiteral("1"));
        setStore(QStringLiteral("frmTime"), QStringLiteral("SelectedFMT"), QStringLiteral("5"));
        frmTime again(m_box.get());
        QCOMPARE(child<QListWidget>(&again, "LSTFORMATS")->currentRow(), 1);
    }
};

QTEST_MAIN(tst_DateTime)
#include "tst_datetime.moc"
