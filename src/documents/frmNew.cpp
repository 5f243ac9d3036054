#include "documents/frmNew.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMap>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/AppPaths.h"
#include "platform/Icons.h"
#include "platform/RichTextBox.h"

frmNew::frmNew(clsMain &cmd, bool defaultMode, QWidget *parent)
    : QDialog(parent), m_cmd(cmd), m_defaultMode(defaultMode)
{
    setObjectName(QStringLiteral("frmNew"));
    setWindowTitle(QStringLiteral("New"));
    LBLNEW = new QLabel(this);
    LBLNEW->setObjectName(QStringLiteral("LBLNEW"));
    LVWNEW = new QListWidget(this);
    LVWNEW->setObjectName(QStringLiteral("LVWNEW"));
    LVWNEW->setViewMode(QListView::IconMode);
    LVWNEW->setResizeMode(QListView::Adjust);
    LVWNEW->setMovement(QListView::Static);
    LVWNEW->setIconSize(QSize(32, 32));
    LVWNEW->setGridSize(QSize(96, 64));
    LVWNEW->setContextMenuPolicy(Qt::CustomContextMenu);
    LBLNEW->setBuddy(LVWNEW);
    LBLSEL = new QLabel(QStringLiteral("Selected template:"), this);
    LBLSEL->setObjectName(QStringLiteral("LBLSEL"));
    TXTSEL = new QLineEdit(this);
    TXTSEL->setObjectName(QStringLiteral("TXTSEL"));
    TXTSEL->setReadOnly(true);
    BTNNEW = new QPushButton(QStringLiteral("&Create"), this);
    BTNNEW->setObjectName(QStringLiteral("BTNNEW"));
    BTNOK = new QPushButton(QStringLiteral("OK"), this);
    BTNOK->setObjectName(QStringLiteral("BTNOK"));
    BTNCANCEL = new QPushButton(QStringLiteral("Cancel"), this);
    BTNCANCEL->setObjectName(QStringLiteral("BTNCANCEL"));
    POPUP = new QMenu(QStringLiteral("&New Document"), this);
    POPUP->setObjectName(QStringLiteral("MNUNEWTOP"));
    MNUNEWOPEN = POPUP->addAction(Icons::image(QStringLiteral("NEW")), QStringLiteral("&New"));
    MNUNEWOPEN->setObjectName(QStringLiteral("MNUNEWOPEN"));
    MNUNEWOPEN->setStatusTip(QStringLiteral("Create a new document from the selected template"));
    POPUP->addSeparator()->setObjectName(QStringLiteral("MNUNEWSEP"));
    MNUNEWPROPS = POPUP->addAction(Icons::image(QStringLiteral("PROPERTIES")),
                                   QStringLiteral("&Properties..."));
    MNUNEWPROPS->setObjectName(QStringLiteral("MNUNEWPROPS"));
    MNUNEWPROPS->setStatusTip(QStringLiteral("Display the properties of the selected template"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LBLNEW);
    layout->addWidget(LVWNEW, 1);
    auto *sel = new QHBoxLayout;
    sel->addWidget(LBLSEL);
    sel->addWidget(TXTSEL, 1);
    layout->addLayout(sel);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BTNNEW);
    buttons->addWidget(BTNOK);
    buttons->addWidget(BTNCANCEL);
    layout->addLayout(buttons);
    resize(420, 320);

    clsLibrary::instance().FORMLOAD(Identity::AppTitle, this, true);
    clsLibrary::instance().DESCRIBEMENU(AppState::instance().MainWindow.data(), POPUP);
    fill();

    connect(LVWNEW, &QListWidget::itemClicked, this, &frmNew::onItemClicked);
    connect(LVWNEW, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem *item) { onItemClicked(item); });
    connect(LVWNEW, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(LVWNEW, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (QListWidgetItem *item = LVWNEW->itemAt(pos)) {
            LVWNEW->setCurrentItem(item); // the menu's commands act on the current template
            POPUP->popup(LVWNEW->viewport()->mapToGlobal(pos));
        }
    });
    connect(BTNNEW, &QPushButton::clicked, this, &frmNew::onCreate);
    connect(BTNOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(BTNCANCEL, &QPushButton::clicked, this, &QDialog::reject);
    connect(MNUNEWOPEN, &QAction::triggered, this, &frmNew::createFromSelected);
    connect(MNUNEWPROPS, &QAction::triggered, this, &frmNew::showTemplateProperties);
}

// The properties of the template under the pointer; its text is read into a scratch control so
// the dialog can count its words, lines and pages.
void frmNew::showTemplateProperties()
{
    const QListWidgetItem *item = LVWNEW->currentItem();
    if (!item)
        return;
    const QString path = item->data(Qt::UserRole + 1).toString();
    RichTextBox scratch;
    const bool read = scratch.LoadFile(path);
    clsLibrary::instance().GETPROPERTIES(this, path, nullptr, QStringLiteral("TEMPLATE"),
                                         QFileInfo(path).fileName(), QString(),
                                         read ? &scratch : nullptr);
}

frmNew::~frmNew()
{
    clsLibrary::instance().FORMSAVE(Identity::AppTitle, this, true);
}

QString frmNew::currentDefaultName() const
{
    const QString path = clsLibrary::instance().REGSTRREAD(
        clsLibrary::HKEY_CURRENT_USER, Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
        QStringLiteral("Template"), AppPaths::programFolder() + QStringLiteral("/Normal.rtt"));
    const QString file = QFileInfo(path).fileName();
    return file.left(file.indexOf(QLatin1Char('.')) < 0 ? file.size()
                                                        : file.indexOf(QLatin1Char('.')));
}

namespace {

// The name a template is listed by: its file name up to the first ".".
QString templateName(const QString &file)
{
    const int dot = file.indexOf(QLatin1Char('.'));
    return dot < 0 ? file : file.left(dot);
}

} // namespace

QList<frmNew::Template> frmNew::templates()
{
    // The shipped templates, then the user's own; a user's template replaces a shipped one of
    // the same name (the user saved a changed copy of it).
    QMap<QString, Template> byName;
    for (const QString &path : {AppPaths::programFolder(), AppPaths::userTemplatesFolder()}) {
        const QDir folder(path);
        for (const QString &file : folder.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase)) {
            if (!file.toUpper().endsWith(QLatin1String("RTT")))
                continue;
            const QString name = templateName(file);
            byName.insert(name.toCaseFolded(), {name, folder.filePath(file)});
        }
    }
    return byName.values();
}

void frmNew::fill()
{
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    int n = 0;
    for (const Template &t : templates()) {
        auto *item = new QListWidgetItem(icon, t.name, LVWNEW);
        item->setData(Qt::UserRole, QStringLiteral("FILE") + QString::number(++n));
        item->setData(Qt::UserRole + 1, t.path);
    }
    if (m_defaultMode) {
        const QString current = currentDefaultName();
        LBLNEW->setText(
            QStringLiteral("&Select a template to be used as default record. Current default is ") +
            current + QLatin1Char('.'));
        selectTemplate(current);
    } else {
        LBLNEW->setText(QStringLiteral("&Select a template below to create a new document."));
    }
    const bool any = LVWNEW->count() > 0;
    BTNOK->setEnabled(any);
    BTNNEW->setEnabled(any && !m_defaultMode);
}

QStringList frmNew::templateNames() const
{
    QStringList out;
    for (int i = 0; i < LVWNEW->count(); ++i)
        out.append(LVWNEW->item(i)->text());
    return out;
}

bool frmNew::selectTemplate(const QString &name)
{
    for (int i = 0; i < LVWNEW->count(); ++i) {
        if (LVWNEW->item(i)->text().compare(name, Qt::CaseInsensitive) == 0) {
            LVWNEW->setCurrentRow(i);
            onItemClicked(LVWNEW->item(i));
            return true;
        }
    }
    return false;
}

void frmNew::onItemClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    TXTSEL->setText(item->text());
    if (m_defaultMode) {
        const bool differs = item->text().compare(currentDefaultName(), Qt::CaseInsensitive) != 0;
        BTNNEW->setEnabled(differs);
        BTNOK->setEnabled(differs);
    }
}

void frmNew::onCreate()
{
    if (m_defaultMode) {
        AppState::instance().TemplateSelected = TXTSEL->text();
        return;
    }
    createFromSelected();
}

void frmNew::createFromSelected()
{
    const QListWidgetItem *item = LVWNEW->currentItem();
    if (!item || TXTSEL->text().isEmpty())
        return;
    const QString path = item->data(Qt::UserRole + 1).toString();
    frmDocRTF *doc = m_cmd.FILENEW();
    if (!doc)
        return;
    AppState::instance().SuppressModified = true;
    doc->RTF1->LoadFile(path);
    AppState::instance().SuppressModified = false;
    doc->markUnchanged();
}
