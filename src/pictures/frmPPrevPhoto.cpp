#include "pictures/frmPPrevPhoto.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "core/clsLibrary.h"
#include "platform/ScreenMetrics.h"

frmPPrevPhoto::frmPPrevPhoto(const QImage &image, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPPrevPhoto"));
    setWindowTitle(QStringLiteral("Picture Preview"));
    setModal(true);

    // The picture box takes the window's width and the height above the panel (the layout
    // keeps it so on every resize).
    PICPREVIEW = new QScrollArea(this);
    PICPREVIEW->setObjectName(QStringLiteral("PICPREVIEW"));
    PICPREVIEW->setAlignment(Qt::AlignCenter);
    picture = new QLabel;
    picture->setPixmap(QPixmap::fromImage(image));
    PICPREVIEW->setWidget(picture);
    PANEL = new QWidget(this);
    PANEL->setObjectName(QStringLiteral("PANEL"));
    BTNCLOSE = new QPushButton(QStringLiteral("&Close"), PANEL);
    BTNCLOSE->setObjectName(QStringLiteral("BTNCLOSE"));
    BTNCLOSE->setDefault(true);
    auto *panelRow = new QHBoxLayout(PANEL);
    panelRow->addStretch(1);
    panelRow->addWidget(BTNCLOSE);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(PICPREVIEW, 1);
    column->addWidget(PANEL);
    connect(BTNCLOSE, &QPushButton::clicked, this, &QDialog::accept);

    // Large enough for the picture, within three quarters of the screen, the first time; then
    // the size the user left it at.
    const QSize screen = ScreenMetrics::instance().screenPixels();
    const QSize want = image.size() + QSize(24, 64);
    resize(std::clamp(want.width(), 240, std::max(240, screen.width() * 3 / 4)),
           std::clamp(want.height(), 180, std::max(180, screen.height() * 3 / 4)));
    clsLibrary::instance().FORMLOAD(QStringLiteral("GLOBAL"), this, true);
}

frmPPrevPhoto::~frmPPrevPhoto()
{
    clsLibrary::instance().FORMSAVE(QStringLiteral("GLOBAL"), this, true);
}
