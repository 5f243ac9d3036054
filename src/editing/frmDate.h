#pragma once

#include <QDate>
#include <QDialog>
#include <QLocale>
#include <QPointer>
#include <QSpinBox>
#include <QStringList>

class QCalendarWidget;
class QFrame;
class QListWidget;
class QPushButton;
class RichTextBox;

// A spin box that shows month names (1 January to 12 December); stepping past either end wraps
// round and carries into the year.
class MonthSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    explicit MonthSpinBox(QWidget *parent = nullptr);
    void stepBy(int steps) override;

signals:
    // Stepping wrapped round by this many years.
    void yearCarry(int years);

protected:
    QString textFromValue(int value) const override;
    int valueFromText(const QString &text) const override;
    QValidator::State validate(QString &text, int &pos) const override;
};

// The Date dialog: a month calendar and the chosen date in every date format; inserts the chosen
// format at the caret of a document. Modal.
class frmDate : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog for the document text target: today's month, year and day from the clock,
    // the stored format chosen, the placement restored.
    explicit frmDate(RichTextBox *target, QWidget *parent = nullptr);
    // Unloads the dialog, storing the chosen format and the placement.
    ~frmDate() override;

    // The 49 formats of the list, in list order ("DDDD D MMMM YYYY", ...).
    static const QStringList &FORMATS();
    // The date in one of those formats: D, DD, DDD, DDDD day; M, MM, MMM, MMMM month; YY, YYYY
    // year; "/" the locale's date separator; anything else stands for itself.
    static QString FORMATDATE(const QDate &date, const QString &format,
                              const QLocale &locale = QLocale());
    // The date separator of the locale's short date format ("/" when it has none).
    static QString DATESEPARATOR(const QLocale &locale = QLocale());

    QDate chosenDate() const { return m_date; }
    // Chooses a day (the calendar shows its month) and refills the list.
    void chooseDate(const QDate &date);

private:
    void monthOrYearChanged();
    void refillList();
    void listClicked(int row);
    void insertChosen();

    QPointer<RichTextBox> m_target;
    QDate m_date;

    MonthSpinBox *UDCMONTH;
    QSpinBox *UDCYEAR;
    QCalendarWidget *PICCLNDR;
    QFrame *LNDATE;
    QListWidget *LSTDATE;
    QFrame *TXTSEP1;
    QPushButton *BTNINSERT;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;
};
