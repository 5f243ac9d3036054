#pragma once

#include <QDialog>
#include <QPointer>
#include <QStringList>
#include <QTime>

class QGroupBox;
class QListWidget;
class QPushButton;
class QRadioButton;
class RichTextBox;

// The Time dialog: the current time in 24-hour or am/pm formats; inserts the chosen format at
// the caret of a document. Modal.
class frmTime : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog for the document text target: the stored type and format, the list built
    // from the clock, the placement restored.
    explicit frmTime(RichTextBox *target, QWidget *parent = nullptr);
    // Unloads the dialog, storing the type, the chosen entry and the placement.
    ~frmTime() override;

    // The time in each format of a type, in list order. Am/pm: "h:mm:ss am", "h:mm am", "h am",
    // "h:mm:ss", "h:mm", "h", where h is the hour less 12 after 12:59 and the suffix is "pm"
    // from 13:00; 24 hour: "H:mm:ss", "H:mm", "H".
    static QStringList TIMEFORMATS(const QTime &time, bool amPm);

private:
    // Rebuilds the list from the clock and selects the stored entry when it exists.
    // Refills the list and selects the entry stored under key: "Selected" (the entry the dialog
    // was left on) when it loads, "SelectedFMT" (the last entry chosen) on Update.
    void buildList(const char *key = "SelectedFMT");
    void typeChosen(bool amPm);
    void entryChosen(int row);
    void insertChosen();

    QPointer<RichTextBox> m_target;

    QGroupBox *FRAMTYPE;
    QRadioButton *OPT24H;
    QRadioButton *OPTAMPM;
    QGroupBox *FRAMFMT;
    QListWidget *LSTFORMATS;
    QPushButton *BTNUPDATE;
    QPushButton *BTNINSERT;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;
};
