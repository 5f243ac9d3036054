#include "chrome/MainToolbars.h"
#include "chrome/StatusDescriptions.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QToolBar>
#include <functional>

#include "core/AppState.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "platform/Icons.h"

namespace {

struct Button
{
    const char *key;
    const char *tip;
    std::function<void()> run;
};

void addButtons(frmMain &form, QToolBar *bar, const std::vector<Button> &buttons,
                const std::vector<const char *> &separatorsAfter)
{
    for (const Button &b : buttons) {
        auto *a =
            bar->addAction(Icons::image(QString::fromLatin1(b.key)), QString::fromLatin1(b.tip));
        a->setObjectName(QString::fromLatin1(b.key));
        a->setToolTip(QString::fromLatin1(b.tip));
        QObject::connect(a, &QAction::triggered, bar, [run = b.run] { run(); });
        form.registerButton(a->objectName(), a);
        for (const char *s : separatorsAfter)
            if (qstrcmp(s, b.key) == 0)
                bar->addSeparator();
    }
}

QComboBox *combo(const char *name, int width, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(QString::fromLatin1(name));
    c->setEditable(false);
    c->setMinimumWidth(width);
    c->setMaxVisibleItems(15);
    return c;
}

} // namespace

void MainToolbars::build(frmMain &form)
{
    clsMain &c = form.cmd();

    auto *tbStd = new QToolBar(QStringLiteral("Standard"), &form);
    tbStd->setObjectName(QStringLiteral("TBSTD"));
    tbStd->setIconSize(QSize(20, 20));
    tbStd->setMovable(false);
    addButtons(form, tbStd,
               {
                   {"NEW", "New", [&c] { c.WINDOWNEWWINDOW(); }},
                   {"OPEN", "Open", [&c] { c.FILEOPENDOCUMENT(); }},
                   {"SAVE", "Save",
                    [&c] {
                        AppState::instance().SaveMode = QStringLiteral("SAVE");
                        c.FILESAVEDOC();
                    }},
                   {"SAVE AS", "Save As",
                    [&c] {
                        AppState::instance().SaveMode = QStringLiteral("SAVEAS");
                        c.FILESAVEAS();
                    }},
                   {"PRINT", "Print", [&c] { c.PRINTDOCUMENT(); }},
                   {"PRINT PREVIEW", "Print Preview", [&c] { c.PRINTPREVIEW(); }},
                   {"HTML PREVIEW", "HTML Preview", [&c] { c.VIEWHTMLPREVIEW(); }},
                   {"HEADERFOOTER", "Header/Footer", [&c] { c.VIEWHEADERFOOTER(); }},
                   {"SPELL CHECKER", "Spell Checker", [&c] { c.EDITSPELLCHECKER(); }},
                   {"UNDO", "Undo", [&c] { c.EDITUNDO(); }},
                   {"CUT", "Cut", [&c] { c.EDITCUT(); }},
                   {"COPY", "Copy", [&c] { c.EDITCOPY(); }},
                   {"CLEAR", "Clear", [&c] { c.EDITDELETE(); }},
                   {"PASTE", "Paste", [&c] { c.EDITPASTE(); }},
                   {"FORMAT PAINTER", "Format Painter", [&c] { c.FORMATPAINTERTOOLBAR(); }},
                   {"SELECT ALL", "Select All", [&c] { c.EDITSELECTALL(); }},
                   {"FIND", "Find", [&c] { c.EDITFIND(); }},
                   {"REPLACE", "Replace", [&c] { c.EDITREPLACE(); }},
                   {"DATE", "Date", [&c] { c.INSERTDATE(); }},
                   {"TIME", "Time", [&c] { c.INSERTTIME(); }},
                   {"FILE", "Insert File", [&c] { c.INSERTFILE(); }},
                   {"PICTURE", "Picture", [&c] { c.INSERTPICTURE(); }},
                   {"SYMBOL", "Symbol", [&c] { c.INSERTSYMBOL(); }},
               },
               {"SAVE AS", "HEADERFOOTER", "SPELL CHECKER", "SELECT ALL", "REPLACE"});
    form.addToolBar(Qt::TopToolBarArea, tbStd);
    form.addToolBarBreak(Qt::TopToolBarArea);

    auto *fmt = new QToolBar(QStringLiteral("Formatting"), &form);
    fmt->setObjectName(QStringLiteral("TBFMT"));
    fmt->setIconSize(QSize(20, 20));
    fmt->setMovable(false);
    auto *style = combo("CBOFNTSTYL", 130, fmt);
    auto *name = combo("CBOFNTNM", 170, fmt);
    auto *size = combo("CBOFNTSZ", 55, fmt);
    fmt->addWidget(style);
    fmt->addWidget(name);
    fmt->addWidget(size);
    fmt->addSeparator();
    QObject::connect(style, &QComboBox::activated, fmt, [&c] { c.FONTSTYLEUPDATE(); });
    QObject::connect(name, &QComboBox::activated, fmt, [&c] { c.FONTNAMEUPDATE(); });
    QObject::connect(size, &QComboBox::activated, fmt, [&c] { c.FONTSIZEUPDATE(); });
    addButtons(form, fmt,
               {
                   {"INCREASE FONT SIZE", "Increase Font Size", [&c] { c.FONTSIZEINCR(); }},
                   {"DECREASE FONT SIZE", "Decrease Font Size", [&c] { c.FONTSIZEDECR(); }},
                   {"FONT COLOR", "Font Color", [&c] { c.FONTCOLOR(); }},
                   {"BOLD", "Bold", [&c] { c.FONTBOLD(); }},
                   {"ITALIC", "Italic", [&c] { c.FONTITALIC(); }},
                   {"UNDERLINE", "Underline", [&c] { c.FONTUNDERLINE(); }},
                   {"BULLETS", "Bullets", [&c] { c.FONTBULLETS(); }},
                   {"INCREASE INDENT", "Increase Indent", [&c] { c.FORMATINDENTINCREASE(); }},
                   {"DECREASE INDENT", "Decrease Indent", [&c] { c.FORMATINDENTDECREASE(); }},
                   {"ALIGN LEFT", "Align Left", [&c] { c.ALIGNLEFT(); }},
                   {"ALIGN CENTER", "Align Center", [&c] { c.ALIGNCENTER(); }},
                   {"ALIGN RIGHT", "Align Right", [&c] { c.ALIGNRIGHT(); }},
               },
               {"FONT COLOR", "UNDERLINE", "DECREASE INDENT"});
    for (const char *k : {"BOLD", "ITALIC", "UNDERLINE", "BULLETS", "ALIGN LEFT", "ALIGN CENTER",
                          "ALIGN RIGHT", "FORMAT PAINTER"})
        form.button(QString::fromLatin1(k))->setCheckable(true);
    form.addToolBar(Qt::TopToolBarArea, fmt);
    form.setToolbars(tbStd, fmt, name, size, style);
    // The menus are built first: descriptions cover both.
    StatusDescriptions::install(form);
}
