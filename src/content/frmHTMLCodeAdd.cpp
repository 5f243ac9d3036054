#include "content/frmHTMLCodeAdd.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}
} // namespace

frmHTMLCodeAdd::frmHTMLCodeAdd(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHTMLCodeAdd"));
    setWindowTitle(QStringLiteral("HTML code add"));
    setModal(true);

    LBLCODE = named(new QLabel(QStringLiteral("&HTML Code:"), this), "LBLCODE");
    LBLHASH = named(new QLabel(QStringLiteral("#"), this), "LBLHASH");
    TXTCODE = named(new QLineEdit(this), "TXTCODE");
    LBLCODE->setBuddy(TXTCODE);
    BTNOK = named(new QPushButton(QStringLiteral("OK"), this), "BTNOK");
    BTNCANCEL = named(new QPushButton(QStringLiteral("Cancel"), this), "BTNCANCEL");
    BTNOK->setDefault(true);
    BTNOK->setEnabled(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(LBLCODE, 0, 0, 1, 2);
    grid->addWidget(LBLHASH, 1, 0);
    grid->addWidget(TXTCODE, 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNCANCEL);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 3, 1);
    grid->setRowStretch(2, 1);

    // Only a full code of six characters can be confirmed; the characters are not checked.
    connect(TXTCODE, &QLineEdit::textChanged, this,
            [this](const QString &text) { BTNOK->setEnabled(text.size() == 6); });
    connect(BTNOK, &QPushButton::clicked, this, [this] {
        if (TXTCODE->text().size() == 6)
            accept();
    });
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);
}

QString frmHTMLCodeAdd::code() const
{
    return QLatin1Char('#') + TXTCODE->text();
}
