#include "chrome/MainToolbars.h"
#include "chrome/StatusDescriptions.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QToolBar>
#include <functional>

#include "core/AppState.h"
#include "core/clsMain.h"
#include "core/frmMain.h"

namespace {

// A small drawn glyph for buttons without a stock icon.
QIcon glyphIcon(const QString &glyph, const QFont &base, bool bold = false, bool italic = false,
                bool underline = false)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont f = base;
    f.setPixelSize(glyph.size() > 2 ? 8 : 13);
    f.setBold(bold || glyph.size() <= 2);
    f.setItalic(italic);
    f.setUnderline(underline);
    p.setFont(f);
    p.setPen(QColor(40, 40, 60));
    p.drawText(pm.rect(), Qt::AlignCenter, glyph);
    return QIcon(pm);
}

QIcon alignIcon(int which)
{
    QPixmap pm(20, 20);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(QColor(40, 40, 60));
    const int widths[] = {14, 9, 14, 9};
    for (int i = 0; i < 4; ++i) {
        const int w = widths[i];
        const int x = which == 0 ? 3 : which == 1 ? 17 - w : 10 - w / 2;
        p.drawLine(x, 4 + i * 4, x + w, 4 + i * 4);
    }
    return QIcon(pm);
}

struct Button
{
    const char *key;
    const char *tip;
    std::function<QIcon()> icon;
    std::function<void()> run;
};

void addButtons(frmMain &form, QToolBar *bar, const std::vector<Button> &buttons,
                const std::vector<const char *> &separatorsAfter)
{
    for (const Button &b : buttons) {
        auto *a = bar->addAction(b.icon(), QString::fromLatin1(b.tip));
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
    QStyle *st = QApplication::style();
    const QFont base = QApplication::font();
    auto stock = [st](QStyle::StandardPixmap sp) {
        return [st, sp] { return st->standardIcon(sp); };
    };
    auto glyph = [base](const char *g, bool b = false, bool i = false, bool u = false) {
        return [=] { return glyphIcon(QString::fromUtf8(g), base, b, i, u); };
    };

    auto *tbStd = new QToolBar(QStringLiteral("Standard"), &form);
    tbStd->setObjectName(QStringLiteral("TBSTD"));
    tbStd->setIconSize(QSize(20, 20));
    tbStd->setMovable(false);
    addButtons(
        form, tbStd,
        {
            {"NEW", "New", stock(QStyle::SP_FileIcon), [&c] { c.WINDOWNEWWINDOW(); }},
            {"OPEN", "Open", stock(QStyle::SP_DialogOpenButton), [&c] { c.FILEOPENDOCUMENT(); }},
            {"SAVE", "Save", stock(QStyle::SP_DialogSaveButton),
             [&c] {
                 AppState::instance().SaveMode = QStringLiteral("SAVE");
                 c.FILESAVEDOC();
             }},
            {"SAVE AS", "Save As", glyph("As"),
             [&c] {
                 AppState::instance().SaveMode = QStringLiteral("SAVEAS");
                 c.FILESAVEAS();
             }},
            {"PRINT", "Print", glyph("Pr"), [&c] { c.PRINTDOCUMENT(); }},
            {"PRINT PREVIEW", "Print Preview", glyph("\u25A1"), [&c] { c.PRINTPREVIEW(); }},
            {"HTML PREVIEW", "HTML Preview", glyph("</>"), [&c] { c.VIEWHTMLPREVIEW(); }},
            {"HEADERFOOTER", "Header/Footer", glyph("H/F"), [&c] { c.VIEWHEADERFOOTER(); }},
            {"SPELL CHECKER", "Spell Checker", glyph("ABC"), [&c] { c.EDITSPELLCHECKER(); }},
            {"UNDO", "Undo", stock(QStyle::SP_ArrowBack), [&c] { c.EDITUNDO(); }},
            {"CUT", "Cut", glyph("\u2702"), [&c] { c.EDITCUT(); }},
            {"COPY", "Copy", glyph("Cp"), [&c] { c.EDITCOPY(); }},
            {"CLEAR", "Clear", stock(QStyle::SP_DialogDiscardButton), [&c] { c.EDITDELETE(); }},
            {"PASTE", "Paste", glyph("Ps"), [&c] { c.EDITPASTE(); }},
            {"FORMAT PAINTER", "Format Painter", glyph("\u270E"),
             [&c] { c.FORMATPAINTERTOOLBAR(); }},
            {"SELECT ALL", "Select All", glyph("All"), [&c] { c.EDITSELECTALL(); }},
            {"FIND", "Find", glyph("\u2315"), [&c] { c.EDITFIND(); }},
            {"REPLACE", "Replace", glyph("ab\u2192"), [&c] { c.EDITREPLACE(); }},
            {"DATE", "Date", glyph("Dt"), [&c] { c.INSERTDATE(); }},
            {"TIME", "Time", glyph("Tm"), [&c] { c.INSERTTIME(); }},
            {"FILE", "Insert File", stock(QStyle::SP_FileLinkIcon), [&c] { c.INSERTFILE(); }},
            {"PICTURE", "Picture", glyph("\u25A3"), [&c] { c.INSERTPICTURE(); }},
            {"SYMBOL", "Symbol", glyph("\u03A9"), [&c] { c.INSERTSYMBOL(); }},
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
    addButtons(
        form, fmt,
        {
            {"INCREASE FONT SIZE", "Increase Font Size", glyph("A+"), [&c] { c.FONTSIZEINCR(); }},
            {"DECREASE FONT SIZE", "Decrease Font Size", glyph("A-"), [&c] { c.FONTSIZEDECR(); }},
            {"FONT COLOR", "Font Color", glyph("A"), [&c] { c.FONTCOLOR(); }},
            {"BOLD", "Bold", glyph("B", true), [&c] { c.FONTBOLD(); }},
            {"ITALIC", "Italic", glyph("I", false, true), [&c] { c.FONTITALIC(); }},
            {"UNDERLINE", "Underline", glyph("U", false, false, true), [&c] { c.FONTUNDERLINE(); }},
            {"BULLETS", "Bullets", glyph("\u2022"), [&c] { c.FONTBULLETS(); }},
            {"INCREASE INDENT", "Increase Indent", glyph("\u21E5"),
             [&c] { c.FORMATINDENTINCREASE(); }},
            {"DECREASE INDENT", "Decrease Indent", glyph("\u21E4"),
             [&c] { c.FORMATINDENTDECREASE(); }},
            {"ALIGN LEFT", "Align Left", [] { return alignIcon(0); }, [&c] { c.ALIGNLEFT(); }},
            {"ALIGN CENTER", "Align Center", [] { return alignIcon(2); },
             [&c] { c.ALIGNCENTER(); }},
            {"ALIGN RIGHT", "Align Right", [] { return alignIcon(1); }, [&c] { c.ALIGNRIGHT(); }},
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
