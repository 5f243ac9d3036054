#include "pictures/frmPicRename.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "pictures/PicFileOps.h"

frmPicRename::frmPicRename(const QString &path, QWidget *parent)
    : QDialog(parent), m_path(path), m_name(QFileInfo(path).fileName())
{
    setObjectName(QStringLiteral("frmPicRename"));
    setWindowTitle(QStringLiteral("Rename File - (") + m_name + QStringLiteral(")."));
    setModal(true);

    TXTRENAME = new QLineEdit(m_name, this);
    TXTRENAME->setObjectName(QStringLiteral("TXTRENAME"));
    TXTRENAME->setMinimumWidth(260);
    // The part before the extension is selected, ready to be typed over.
    const qsizetype dot = m_name.lastIndexOf(QLatin1Char('.'));
    TXTRENAME->setSelection(0, int(dot > 0 ? dot : m_name.size()));
    BTNOK = new QPushButton(QStringLiteral("OK"), this);
    BTNOK->setObjectName(QStringLiteral("BTNOK"));
    BTNOK->setDefault(true);
    BTNOK->setEnabled(false);
    BTNCANCEL = new QPushButton(QStringLiteral("Cancel"), this);
    BTNCANCEL->setObjectName(QStringLiteral("BTNCANCEL"));

    auto *row = new QHBoxLayout(this);
    row->addWidget(TXTRENAME, 1, Qt::AlignTop);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNCANCEL);
    buttons->addStretch(1);
    row->addLayout(buttons);

    connect(TXTRENAME, &QLineEdit::textChanged, this,
            [this](const QString &text) { BTNOK->setEnabled(text != m_name); });
    connect(BTNOK, &QPushButton::clicked, this, &frmPicRename::ok);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
}

frmPicRename::~frmPicRename()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

void frmPicRename::ok()
{
    if (PicFileOps::renameTo(m_path, TXTRENAME->text()))
        accept();
}
