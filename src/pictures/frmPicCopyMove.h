#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// Copy To / Move To: asks for the folder a picture file goes to and copies or moves it there.
// Modal; accepted once the file was copied or moved.
class frmPicCopyMove : public QDialog
{
    Q_OBJECT
public:
    // For the file at path; move selects "Move To", else "Copy To".
    frmPicCopyMove(const QString &path, bool move, QWidget *parent = nullptr);
    ~frmPicCopyMove() override;

    QLabel *LBLCPYTO = nullptr;
    QLineEdit *TXTCOPY = nullptr;
    QToolButton *CBOFOLDERBRWS = nullptr;
    QPushButton *BTNOK = nullptr;
    QPushButton *BTNCANCEL = nullptr;

private:
    void browse();
    void ok();

    QString m_path;
    bool m_move;
};
