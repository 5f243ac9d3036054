#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The About box: title, version, registered owner and organisation, legal notice and logo.
class frmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit frmAbout(QWidget *parent = nullptr);

    QLabel *LBLTITLE = nullptr;
    QLabel *LBLVERSNO = nullptr;
    QLabel *LBLREGNAME = nullptr;
    QLabel *LBLREGCO = nullptr;
    QLabel *LBLCOPYRIGHT = nullptr;
    QLabel *LBLWRITTEN = nullptr;
    QLabel *LBWARNING = nullptr;
    QLabel *IMGLOGO = nullptr;
    QPushButton *BTNCLOSE = nullptr;

signals:
    // The logo was clicked: the maker's web site should open.
    void logoClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
