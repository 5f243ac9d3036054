#include "content/frmProfile.h"

#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Identity.h"
#include "core/clsLibrary.h"

namespace {

// The boxes of each group with their labels; a box without a label continues the one above it
// (the second home address line). Box 20 is not shown.
struct Row
{
    int box;
    const char *label;
};

constexpr Row kPersonal[] = {{0, "&Surname:"},   {1, "&First names:"},  {2, "&Date of birth:"},
                             {3, "&Job title:"}, {4, "&Mobile phone:"}, {5, "&Pager:"}};
constexpr Row kHome[] = {{6, "&Address:"},         {7, nullptr},
                         {8, "&City / state:"},    {9, "&Postcode / zip:"},
                         {10, "C&ountry:"},        {11, "Phone &number:"},
                         {12, "&Fax number:"},     {21, "&Email Address:"},
                         {23, "&Website Address:"}};
constexpr Row kWork[] = {
    {13, "Co&mpany:"},        {14, "&Address:"},       {15, "&City / state:"},
    {16, "&Postcode / zip:"}, {17, "C&ountry:"},       {18, "Phone &number:"},
    {19, "&Fax number:"},     {22, "&Email Address:"}, {24, "&Website Address:"}};

// The web address boxes, normalised when they lose the focus.
constexpr int kWebBoxes[] = {23, 24};

} // namespace

frmProfile::frmProfile(const QString &path, QWidget *parent) : QDialog(parent), m_path(path)
{
    setObjectName(QStringLiteral("frmProfile"));
    setWindowTitle(QStringLiteral("My Profile"));
    setModal(true);

    for (int k = 0; k < Profile::FieldCount; ++k) {
        TXTDETAILS[size_t(k)] = new QLineEdit(this);
        TXTDETAILS[size_t(k)]->setObjectName(QStringLiteral("TXTDETAILS_%1").arg(k));
        TXTDETAILS[size_t(k)]->setMaxLength(int(Profile::MaxFieldChars));
    }
    TXTDETAILS[20]->hide();

    auto group = [this](const QString &title, const char *name, auto &rows) {
        auto *box = new QGroupBox(title, this);
        box->setObjectName(QLatin1String(name));
        auto *form = new QFormLayout(box);
        for (const Row &r : rows) {
            QLineEdit *edit = TXTDETAILS[size_t(r.box)];
            edit->setParent(box);
            if (r.label)
                form->addRow(QString::fromUtf8(r.label), edit);
            else
                form->addRow(QString(), edit);
        }
        return box;
    };
    QGroupBox *personal = group(QStringLiteral("Personal"), "FRAMPERSONAL", kPersonal);
    QGroupBox *home = group(QStringLiteral("Home"), "FRAMHOME", kHome);
    QGroupBox *work = group(QStringLiteral("Work"), "FRAMWORK", kWork);

    BTNOK = new QPushButton(QStringLiteral("OK"), this);
    BTNOK->setObjectName(QStringLiteral("BTNOK"));
    BTNCANCEL = new QPushButton(QStringLiteral("Cancel"), this);
    BTNCANCEL->setObjectName(QStringLiteral("BTNCANCEL"));
    BTNOK->setDefault(true);

    auto *grid = new QGridLayout(this);
    grid->addWidget(personal, 0, 0);
    grid->addWidget(home, 1, 0);
    grid->addWidget(work, 0, 1, 2, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNCANCEL);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 2, 1);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, false);
    const Profile::Fields values = Profile::load(m_path);
    for (int k = 0; k < Profile::FieldCount; ++k)
        TXTDETAILS[size_t(k)]->setText(values[size_t(k)]);

    // Nothing to save until a detail changes.
    BTNOK->setEnabled(false);
    for (QLineEdit *edit : TXTDETAILS)
        connect(edit, &QLineEdit::textChanged, this, [this] { BTNOK->setEnabled(true); });
    for (int k : kWebBoxes)
        TXTDETAILS[size_t(k)]->installEventFilter(this);
    connect(BTNOK, &QPushButton::clicked, this, &frmProfile::save);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);
}

frmProfile::~frmProfile()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, false);
}

Profile::Fields frmProfile::fields() const
{
    Profile::Fields values;
    for (int k = 0; k < Profile::FieldCount; ++k)
        values[size_t(k)] = TXTDETAILS[size_t(k)]->text();
    return values;
}

bool frmProfile::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut)
        if (auto *edit = qobject_cast<QLineEdit *>(watched)) {
            const QString normal = clsLibrary::instance().HTMLFORMATCHECK(edit->text());
            if (normal != edit->text())
                edit->setText(normal);
        }
    return QDialog::eventFilter(watched, event);
}

void frmProfile::save()
{
    if (!Profile::save(m_path, fields())) {
        // Message 10: the file could not be written (a read-only file or folder, a full disk).
        clsLibrary::instance().MESSAGEBOX(10, m_path);
        return;
    }
    accept();
}
