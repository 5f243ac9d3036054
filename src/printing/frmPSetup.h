#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class SpinText;

// The page setup dialog: printer, paper, orientation and margins on the "Page" tab, the header
// and footer record on the "Header/Footer" tab. It works on the program's current printer and
// stores its values when OK is pressed. Modal.
class frmPSetup : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog with the current printer and the stored values.
    explicit frmPSetup(QWidget *parent = nullptr);
    ~frmPSetup() override;

    // Shows tab 1 ("Page") or tab 2 ("Header/Footer").
    void selectTab(int tab);
    // Redraws the sample page from the printer's paper and the margin boxes.
    void drawSamplePage();

    // The paper size and orientation codes chosen while the dialog is open, as text.
    QString PaperChoice;
    QString OrientChoice;
    bool Confirmed = false;
    bool Resetting = false;

    void done(int result) override;

private:
    void buildPageTab(QWidget *page);
    void buildHeaderFooterTab(QWidget *page);
    void load();
    void changed();
    void headerChecked();
    void footerChecked();
    void itemsShown();
    void okClicked();
    void defaultsClicked();
    void defaultsHeaderFooterClicked();
    void unload();

    QTabWidget *TABSTRIP1;
    QWidget *FRAMPAGE;
    QWidget *FRAMHEADERFOOTER;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;
    QPushButton *BTNDEFAULTS;
    QComboBox *CBOPRINTERS;
    QComboBox *CBOPAPER;
    QRadioButton *OPTORIENTPORT;
    QRadioButton *OPTORIENTLAND;
    SpinText *UDNLEFT;
    SpinText *UDNRIGHT;
    SpinText *UDNTOP;
    SpinText *UDNBOTTOM;
    QFrame *PICWINDOW;
    QFrame *PICPAPER;
    QFrame *PICSHADOW;
    QFrame *SHPAREA;
    QLabel *LBLWIDTH;
    QLabel *LBLHEIGHT;
    QPushButton *BTNDEFAULTSHF;
    QCheckBox *CHKHEADER;
    QCheckBox *CHKHEADTITLE;
    QCheckBox *CHKHEADDATE;
    QCheckBox *CHKHEADTIME;
    QCheckBox *CHKHEADLINE;
    QCheckBox *CHKFOOTER;
    QCheckBox *CHKFOOTFIELD1;
    QCheckBox *CHKFOOTFIELD2;
    QCheckBox *CHKFOOTPGNO;
    QCheckBox *CHKFOOTLINE;
    QFrame *PICHEAD;
    QLineEdit *TXTHEADTITLE;
    QLineEdit *TXTHEADDATE;
    QLineEdit *TXTHEADTIME;
    QFrame *LNHEADLINE;
    QFrame *PICFOOT;
    QLineEdit *TXTFOOTFIELD1;
    QLineEdit *TXTFOOTPGNO;
    QLineEdit *TXTFOOTFIELD2;
    QFrame *LNFOOTLINE;
    bool m_unloaded = false;
};
