#include "editing/frmPopup.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "platform/Icons.h"

namespace {
QPointer<frmPopup> g_popup;

// Each item and the key of the image it shows.
const char *const kIcons[][2] = {
    {"MNUUNDO", "UNDO"},
    {"MNUCUT", "CUT"},
    {"MNUCOPY", "COPY"},
    {"MNUPASTE", "PASTE"},
    {"MNUDELETE", "CLEAR"},
    {"MNUSELECTALL", "SELECT ALL"},
    {"MNUFORMATPAINTER", "FORMAT PAINTER"},
    {"MNUFIND", "FIND"},
    {"MNUREPLACE", "REPLACE"},
    {"MNUPROPERTIES", "PROPERTIES"},
};
} // namespace

frmPopup::frmPopup(frmMain &main) : QWidget(&main), m_main(main)
{
    setObjectName(QStringLiteral("frmPopup"));
    setWindowTitle(QStringLiteral("Popup Icon Menus"));
    hide();
    clsMain &c = main.cmd();

    QMenu *doc = addMenu("MNUPOPUP", QStringLiteral("&RTF Right Click"));
    connect(addItem(doc, "MNUUNDO", QStringLiteral("&Undo")), &QAction::triggered, this,
            [&c] { c.EDITUNDO(); });
    addSeparator(doc, "MNUSEP1");
    connect(addItem(doc, "MNUCUT", QStringLiteral("Cu&t")), &QAction::triggered, this,
            [&c] { c.EDITCUT(); });
    connect(addItem(doc, "MNUCOPY", QStringLiteral("&Copy")), &QAction::triggered, this,
            [&c] { c.EDITCOPY(); });
    connect(addItem(doc, "MNUPASTE", QStringLiteral("&Paste")), &QAction::triggered, this,
            [&c] { c.EDITPASTE(); });
    connect(addItem(doc, "MNUDELETE", QStringLiteral("Cl&ear")), &QAction::triggered, this,
            [&c] { c.EDITDELETE(); });
    addSeparator(doc, "MNUSEP2");
    connect(addItem(doc, "MNUSELECTALL", QStringLiteral("Select &All")), &QAction::triggered, this,
            [&c] { c.EDITSELECTALL(); });
    addSeparator(doc, "MNUSEP3");
    connect(addItem(doc, "MNUFORMATPAINTER", QStringLiteral("For&mat Painter")),
            &QAction::triggered, this, [&c] { c.FORMATPAINTERMENU(); });
    addSeparator(doc, "MNUSEP4");
    connect(addItem(doc, "MNUFIND", QStringLiteral("&Find...")), &QAction::triggered, this,
            [&c] { c.EDITFIND(); });
    connect(addItem(doc, "MNUREPLACE", QStringLiteral("&Replace...")), &QAction::triggered, this,
            [&c] { c.EDITREPLACE(); });
    addSeparator(doc, "MNUSEP5");
    connect(addItem(doc, "MNUPROPERTIES", QStringLiteral("Proper&ties...")), &QAction::triggered,
            this, [&c] { c.PROPERTIES(); });

    clsLibrary::instance().DESCRIBEMENU(&main, doc);
    // Each item is enabled exactly when the Edit menu's item of the same command is.
    for (const auto &[item, command] : {std::pair{"MNUUNDO", "MNUEDITUNDO"},
                                        {"MNUCUT", "MNUEDITCUT"},
                                        {"MNUCOPY", "MNUEDITCOPY"},
                                        {"MNUPASTE", "MNUEDITPASTE"},
                                        {"MNUDELETE", "MNUEDITDELETE"},
                                        {"MNUSELECTALL", "MNUEDITSELECTALL"},
                                        {"MNUFORMATPAINTER", "MNUEDITFMTPAINTER"},
                                        {"MNUFIND", "MNUEDITFIND"},
                                        {"MNUREPLACE", "MNUEDITREPLACE"}}) {
        QAction *a = this->item(QString::fromLatin1(item));
        QAction *source = main.menuItem(QString::fromLatin1(command));
        if (!a || !source)
            continue;
        a->setEnabled(source->isEnabled());
        connect(source, &QAction::enabledChanged, a, &QAction::setEnabled);
    }

    ICONMENUS();
}

frmPopup::~frmPopup() = default;

frmPopup &frmPopup::instance(frmMain &main)
{
    if (!g_popup || &g_popup->m_main != &main)
        g_popup = new frmPopup(main);
    return *g_popup;
}

frmPopup *frmPopup::loaded()
{
    return g_popup;
}

QMenu *frmPopup::addMenu(const char *name, const QString &caption)
{
    auto *m = new QMenu(caption, this);
    m->setObjectName(QString::fromLatin1(name));
    m_menus.insert(m->objectName(), m);
    return m;
}

QAction *frmPopup::addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    m_items.insert(a->objectName(), a);
    return a;
}

void frmPopup::addSeparator(QMenu *menu, const char *name)
{
    QAction *a = menu->addSeparator();
    a->setObjectName(QString::fromLatin1(name));
    m_items.insert(a->objectName(), a);
}

void frmPopup::ICONMENUS()
{
    for (const auto &pair : kIcons) {
        QAction *a = item(QString::fromLatin1(pair[0]));
        if (a)
            a->setIcon(Icons::image(QString::fromLatin1(pair[1])));
    }
}

void frmPopup::POPUPDOCUMENT(const QPoint &globalPos)
{
    if (QMenu *m = menu(QStringLiteral("MNUPOPUP")))
        m->popup(globalPos);
}

QAction *frmPopup::item(const QString &name) const
{
    return m_items.value(name);
}

QMenu *frmPopup::menu(const QString &name) const
{
    return m_menus.value(name);
}
