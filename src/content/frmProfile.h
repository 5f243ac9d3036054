#pragma once

#include <QDialog>
#include <array>

#include "content/Profile.h"

class QLineEdit;
class QPushButton;

// The personal profile dialog "My Profile": 25 detail boxes read from and written to the profile
// file. Modal.
class frmProfile : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog: restores its placement and reads the profile file at path (creating it
    // empty when it is missing).
    explicit frmProfile(const QString &path, QWidget *parent = nullptr);
    // Unloads the dialog, saving its placement.
    ~frmProfile() override;

    // The details as the boxes hold them.
    Profile::Fields fields() const;

    std::array<QLineEdit *, Profile::FieldCount> TXTDETAILS{};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Writes the file and closes; a file that cannot be written is reported and the dialog stays.
    void save();

    QString m_path;
    QPushButton *BTNOK;
    QPushButton *BTNCANCEL;
};
