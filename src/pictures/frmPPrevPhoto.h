#pragma once

#include <QDialog>
#include <QImage>

class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

// Picture Preview: the selected picture at its own size, scrolled when it is larger than the
// window. Modal.
class frmPPrevPhoto : public QDialog
{
    Q_OBJECT
public:
    explicit frmPPrevPhoto(const QImage &picture, QWidget *parent = nullptr);
    ~frmPPrevPhoto() override;

    QScrollArea *PICPREVIEW = nullptr;
    QLabel *picture = nullptr;
    QWidget *PANEL = nullptr;
    QPushButton *BTNCLOSE = nullptr;
};
