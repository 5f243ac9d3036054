#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// Asks for an HTML colour code typed as six characters after a fixed "#". Modal.
class frmHTMLCodeAdd : public QDialog
{
    Q_OBJECT
public:
    explicit frmHTMLCodeAdd(QWidget *parent = nullptr);

    // "#" and the typed characters.
    QString code() const;

private:
    QLabel *LBLCODE;
    QLabel *LBLHASH;
    QLineEdit *TXTCODE;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;
};
