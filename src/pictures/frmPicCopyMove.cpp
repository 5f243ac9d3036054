#include "pictures/frmPicCopyMove.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "pictures/PicFileOps.h"
#include "platform/UiServices.h"

frmPicCopyMove::frmPicCopyMove(const QString &path, bool move, QWidget *parent)
    : QDialog(parent), m_path(path), m_move(move)
{
    setObjectName(QStringLiteral("frmPicCopyMove"));
    setWindowTitle(move ? QStringLiteral("Move To") : QStringLiteral("Copy To"));
    setModal(true);

    LBLCPYTO = new QLabel(QStringLiteral("&To:"), this);
    LBLCPYTO->setObjectName(QStringLiteral("LBLCPYTO"));
    TXTCOPY = new QLineEdit(this);
    TXTCOPY->setObjectName(QStringLiteral("TXTCOPY"));
    TXTCOPY->setMinimumWidth(260);
    LBLCPYTO->setBuddy(TXTCOPY);
    CBOFOLDERBRWS = new QToolButton(this);
    CBOFOLDERBRWS->setObjectName(QStringLiteral("CBOFOLDERBRWS"));
    CBOFOLDERBRWS->setText(QStringLiteral("..."));
    CBOFOLDERBRWS->setToolTip(QStringLiteral("Browse for Folder"));
    BTNOK = new QPushButton(QStringLiteral("OK"), this);
    BTNOK->setObjectName(QStringLiteral("BTNOK"));
    BTNOK->setDefault(true);
    BTNOK->setEnabled(false);
    BTNCANCEL = new QPushButton(QStringLiteral("Cancel"), this);
    BTNCANCEL->setObjectName(QStringLiteral("BTNCANCEL"));

    auto *grid = new QGridLayout(this);
    grid->addWidget(LBLCPYTO, 0, 0, 1, 2);
    grid->addWidget(TXTCOPY, 1, 0);
    grid->addWidget(CBOFOLDERBRWS, 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNCANCEL);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 3, 1);
    grid->setRowStretch(2, 1);

    connect(TXTCOPY, &QLineEdit::textChanged, this,
            [this](const QString &text) { BTNOK->setEnabled(!text.isEmpty()); });
    connect(CBOFOLDERBRWS, &QToolButton::clicked, this, &frmPicCopyMove::browse);
    connect(BTNOK, &QPushButton::clicked, this, &frmPicCopyMove::ok);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
}

frmPicCopyMove::~frmPicCopyMove()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmPicCopyMove::browse()
{
    const QString start =
        TXTCOPY->text().isEmpty() ? QFileInfo(m_path).absolutePath() : TXTCOPY->text();
    const QString folder =
        UiServices::instance().chooseFolder(QStringLiteral("Browse for Folder"), start);
    if (!folder.isEmpty())
        TXTCOPY->setText(folder);
}

void frmPicCopyMove::ok()
{
    if (PicFileOps::copyTo(m_path, TXTCOPY->text(), m_move))
        accept();
}
