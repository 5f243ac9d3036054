#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// Rename File: a new name for a picture file, which keeps its type. Modal; accepted once the
// file was renamed.
class frmPicRename : public QDialog
{
    Q_OBJECT
public:
    explicit frmPicRename(const QString &path, QWidget *parent = nullptr);
    ~frmPicRename() override;

    QLineEdit *TXTRENAME = nullptr;
    QPushButton *BTNOK = nullptr;
    QPushButton *BTNCANCEL = nullptr;

private:
    void ok();

    QString m_path;
    QString m_name;
};
