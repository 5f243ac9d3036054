#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabBar;
class QToolButton;
class clsMain;

// The Preferences dialog: word wrapping, the template for new documents, the profile folder,
// when the dictionary loads, which words spelling ignores, and the fonts of new documents and of
// text files. It stores the values under "\frmPrefs\Items" (wrapping under "\frmMain\Items") on
// OK and re-applies wrapping to the open documents.
class frmPrefs : public QDialog
{
    Q_OBJECT
public:
    explicit frmPrefs(clsMain &cmd, QWidget *parent = nullptr);
    ~frmPrefs() override;

    // Shows the frame of the tab with this key ("GENERAL", "SPELLING", "FONTS", any case).
    void selectTab(const QString &key);
    // The key of the tab shown.
    QString currentTab() const;

    QTabBar *TABSTRIP1 = nullptr;
    QFrame *FRAMDOCUMENTS = nullptr;
    QFrame *FRAMSPELLING = nullptr;
    QFrame *FRAMFONTS = nullptr;

    QLabel *LBLWRAP = nullptr;
    QRadioButton *OPTWRAPNO = nullptr;
    QRadioButton *OPTWRAPWIN = nullptr;
    QRadioButton *OPTWRAPRUL = nullptr;
    QLabel *LBLNEW = nullptr;
    QLabel *LBLNEWDEFFLDR = nullptr;
    // The template box with its browse button.
    QLineEdit *TXTBTN = nullptr;
    QToolButton *BTNTEMPLATE = nullptr;
    QLabel *LBLFOLDER = nullptr;
    QLabel *LBLFLDLCN = nullptr;
    // The profile folder box with its folder browse button.
    QLineEdit *CBOFOLDERBRWS = nullptr;
    QToolButton *BTNFOLDER = nullptr;
    // How often changed documents get a recovery copy ("Recovery Seconds", 0 for never).
    QLabel *LBLRECOVERY = nullptr;
    QSpinBox *UDNRECOVERY = nullptr;

    QLabel *LBLDIC = nullptr;
    QRadioButton *OPTSTARTUP = nullptr;
    QRadioButton *OPTFIRSTUSE = nullptr;
    QLabel *LBLCUST = nullptr;
    QCheckBox *CHKCUSTNOS = nullptr;
    QCheckBox *CHKCUSTUCASE = nullptr;
    QCheckBox *CHKCUSTCHARS = nullptr;
    // Checking as you type, and the word list's language ("" automatic, "en_GB", "en_US").
    QCheckBox *CHKSPELLTYPING = nullptr;
    QLabel *LBLSPELLLANG = nullptr;
    QComboBox *CBOSPELLLANG = nullptr;

    QLabel *LBLRTFFNT = nullptr;
    QComboBox *CBOFNTNM = nullptr;
    QComboBox *CBOFNTSZ = nullptr;
    QLabel *LBLRTFPREV = nullptr;
    QLabel *LBLTXTFNT = nullptr;
    QComboBox *CBOFNTNMTXT = nullptr;
    QComboBox *CBOFNTSZTXT = nullptr;
    QLabel *LBLTXTPREV = nullptr;

    QPushButton *BTNOK = nullptr;
    QPushButton *BTNCANCEL = nullptr;

    // The sizes offered in the size boxes.
    static const QStringList &fontSizes();

private:
    void loadValues();
    void changed();
    void updatePreview(QLabel *preview, QComboBox *name, QComboBox *size);
    void browseTemplate();
    void browseFolder();
    void okClicked();
    void cancelClicked();

    clsMain &m_cmd;
};
