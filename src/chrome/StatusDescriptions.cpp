#include "chrome/StatusDescriptions.h"

#include <QAction>
#include <QEvent>
#include <QHash>
#include <QMdiArea>
#include <QMenu>
#include <QRegularExpression>
#include <QTimer>
#include <QToolBar>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/frmMain.h"
#include "platform/Icons.h"

namespace {

// Caption (without "&" and "...", lower case) to phrase; %1 is the document noun, %2 the
// application title.
const QHash<QString, QString> &phrases()
{
    static const QHash<QString, QString> table = [] {
        QHash<QString, QString> t;
        auto add = [&t](const char *caption, const char *phrase) {
            t.insert(QString::fromLatin1(caption), QString::fromLatin1(phrase));
        };
        // File
        add("new", "Create a new %1");
        add("open", "Open an existing %1");
        add("reopen", "Reload the current %1 from its file");
        add("close", "Close the current %1");
        add("save", "Save the current %1");
        add("save as", "Save the current %1 under a new name");
        add("print", "Print the current %1");
        add("print preview", "Show how the current %1 will look when printed");
        add("page setup", "Change the paper, margins, header and footer of the printed %1");
        add("preferences", "Change settings that affect how %2 works");
        add("clear recent list", "Remove every %1 from the list of recently used files");
        add("exit", "Quit %2, asking to save each changed %1");
        // Edit
        add("undo", "Undo the last change to the %1");
        add("cut", "Remove the selection and put it on the clipboard");
        add("copy", "Copy the selection to the clipboard");
        add("paste", "Insert the clipboard's contents at the cursor");
        add("clear", "Delete the selection");
        add("select all", "Select the whole %1");
        add("format painter", "Copy the formatting of the selection onto other text");
        add("spell checker", "Check the spelling of the %1");
        add("find", "Find text in the %1");
        add("find next", "Find the next place the search text occurs");
        add("replace", "Replace text in the %1 with other text");
        add("go to", "Go to a line of the %1");
        // View
        add("standard toolbar", "Show or hide the standard toolbar");
        add("formatting toolbar", "Show or hide the formatting toolbar");
        add("ruler", "Show or hide the ruler");
        add("status bar", "Show or hide the status bar");
        add("html preview", "View the %1 in the default browser");
        add("header/footer", "Set up the header and footer printed on each page of the %1");
        add("headerfooter", "Set up the header and footer printed on each page of the %1");
        add("properties", "Display the properties of the current %1");
        // Insert
        add("date", "Insert a date into the %1");
        add("time", "Insert the time into the %1");
        add("profile", "Insert details from your personal profile");
        add("full name", "Insert your full name");
        add("date of birth", "Insert your date of birth");
        add("job title", "Insert your job title");
        add("mobile no", "Insert your mobile phone number");
        add("pager", "Insert your pager number");
        add("home", "Insert your home details");
        add("work", "Insert your work details");
        add("address", "Insert the address");
        add("phone", "Insert the phone number");
        add("fax", "Insert the fax number");
        add("e-mail", "Insert the e-mail address");
        add("web address", "Insert the web address");
        add("settings", "Change the details of your personal profile");
        add("html color code", "Insert an HTML colour code into the %1");
        add("picture", "Insert a picture into the %1");
        add("symbol", "Insert a symbol into the %1");
        add("file", "Insert the contents of a file into the %1");
        add("insert file", "Insert the contents of a file into the %1");
        // Format and the formatting toolbar
        add("paragraph", "Change the alignment and indents of the selected paragraphs");
        add("tabs", "Set the tab stops of the selected paragraphs");
        add("font", "Change the font of the selected text");
        add("increase font size", "Make the selected text larger");
        add("decrease font size", "Make the selected text smaller");
        add("font color", "Change the colour of the selected text");
        add("bold", "Make the selected text bold");
        add("italic", "Make the selected text italic");
        add("underline", "Underline the selected text");
        add("bullets", "Add or remove bullets on the selected paragraphs");
        add("increase indent", "Indent the selected paragraphs further");
        add("decrease indent", "Reduce the indent of the selected paragraphs");
        add("align left", "Align the selected paragraphs to the left");
        add("align center", "Centre the selected paragraphs");
        add("align right", "Align the selected paragraphs to the right");
        // Window
        add("new window", "Open a new %1 window");
        add("cascade", "Arrange the %1 windows so that they overlap");
        add("tile horizontal", "Arrange the %1 windows one above the other");
        add("tile vertical", "Arrange the %1 windows side by side");
        add("arrange icons", "Arrange the icons of minimised %1 windows");
        add("close all", "Close every open %1");
        add("next window", "Switch to the next %1 window");
        add("previous window", "Switch to the previous %1 window");
        // Help
        add("help topics", "Display help contents for %2");
        add("qor online", "Visit the web site of the makers of %2");
        add("about", "Display information about %2");
        // Print preview
        add("zoom in", "Zoom in to %1");
        add("zoom out", "Zoom out of %1");
        add("first page", "Show the first page of the %1");
        add("previous page", "Show the previous page of the %1");
        add("next page", "Show the next page of the %1");
        add("last page", "Show the last page of the %1");
        return t;
    }();
    return table;
}

QString normalised(const QString &caption)
{
    QString key = caption.section(QLatin1Char('\t'), 0, 0);
    key.remove(QLatin1Char('&'));
    key = key.trimmed();
    while (key.endsWith(QLatin1Char('.')))
        key.chop(1);
    return key.trimmed().toLower();
}

// Clears the description when the pointer moves over the document area's background.
class BackgroundWatch : public QObject
{
public:
    BackgroundWatch(frmMain &form, QObject *parent) : QObject(parent), m_form(form) {}

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::MouseMove)
            clsLibrary::instance().STATUSTEXTDESC(&m_form, QString());
        return false;
    }

private:
    frmMain &m_form;
};

// The toolbar icon each menu item shows beside its caption.
const std::pair<const char *, const char *> kMenuIcons[] = {
    {"MNUFILENEW", "NEW"},
    {"MNUFILEOPEN", "OPEN"},
    {"MNUFILESAVE", "SAVE"},
    {"MNUFILESAVEAS", "SAVE AS"},
    {"MNUFILEPRINT", "PRINT"},
    {"MNUFILEPRINTPREVIEW", "PRINT PREVIEW"},
    {"MNUEDITUNDO", "UNDO"},
    {"MNUEDITCUT", "CUT"},
    {"MNUEDITCOPY", "COPY"},
    {"MNUEDITPASTE", "PASTE"},
    {"MNUEDITDELETE", "CLEAR"},
    {"MNUEDITSELECTALL", "SELECT ALL"},
    {"MNUEDITFMTPAINTER", "FORMAT PAINTER"},
    {"MNUEDITFIND", "FIND"},
    {"MNUEDITREPLACE", "REPLACE"},
    {"MNUEDITSPELLCHECKER", "SPELL CHECKER"},
    {"MNUVIEWHTMLPREVIEW", "HTML PREVIEW"},
    {"MNUVIEWHEADERFOOTER", "HEADERFOOTER"},
    {"MNUINSERTDATE", "DATE"},
    {"MNUINSERTTIME", "TIME"},
    {"MNUINSERTPICTURE", "PICTURE"},
    {"MNUINSERTSYMBOL", "SYMBOL"},
    {"MNUINSERTFILE", "FILE"},
    {"MNUWINDOWNEWWINDOW", "NEW"},
    {"MNUFILECLOSE", "CLOSE"},
    {"MNUFILEPAGESETUP", "PAGE SETUP"},
    {"MNUFILEPREFERENCES", "PREFERENCES"},
    {"MNUEDITFINDNEXT", "FIND NEXT"},
    {"MNUEDITGOTO", "GO TO"},
    {"MNUVIEWPROPERTIES", "PROPERTIES"},
    {"MNUINSERTPSUBFULLNAME", "FULL NAME"},
    {"MNUINSERTPSUBJOBTITLE", "JOB TITLE"},
    {"MNUINSERTHTMLCODE", "HTML COLOR CODE"},
    {"MNUWINDOWCASCADE", "CASCADE"},
    {"MNUWINDOWTILEHORIZONTAL", "TILE HORIZONTAL"},
    {"MNUWINDOWTILEVERTICAL", "TILE VERTICAL"},
    {"MNUWINDOWARRANGEICONS", "ARRANGE ICONS"},
    {"MNUWINDOWCLOSEALL", "CLOSE ALL"},
    {"MNUHELPTOPICS", "HELP"},
    {"MNUHELPABOUT", "ABOUT"},
};

QTimer *makeTimer(frmMain &form, const char *name, QToolBar *bar)
{
    auto *timer = new QTimer(&form);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setInterval(StatusDescriptions::TimerInterval);
    QObject::connect(timer, &QTimer::timeout, &form, [&form, timer, bar] {
        if (!bar || !bar->isVisible()) {
            clsLibrary::instance().MOUSEMOVEMDI(&form, timer, QRect());
            return;
        }
        clsLibrary::instance().MOUSEMOVEMDI(&form, timer, bar->geometry());
    });
    return timer;
}

} // namespace

QString StatusDescriptions::describe(const QString &caption, const QString &noun,
                                     const QString &title)
{
    const QString key = normalised(caption);
    if (key.isEmpty())
        return QString();
    const auto it = phrases().constFind(key);
    if (it != phrases().constEnd()) {
        QString text = *it;
        return text.replace(QLatin1String("%1"), noun).replace(QLatin1String("%2"), title);
    }
    // Zoom levels of the preview: "200 %" zooms in to the document at that size.
    static const QRegularExpression zoom(QStringLiteral("^(\\d+)\\s*%$"));
    if (const auto m = zoom.match(key); m.hasMatch()) {
        const int level = m.captured(1).toInt();
        const QString at = QStringLiteral(" at ") + m.captured(1) + QStringLiteral(" %");
        if (level > 100)
            return QStringLiteral("Zoom in to ") + noun + at;
        if (level < 100)
            return QStringLiteral("Zoom out of ") + noun + at;
        return QStringLiteral("Show the ") + noun + at;
    }
    return clsLibrary::instance().GETCAPTION(caption.section(QLatin1Char('\t'), 0, 0)).trimmed();
}

void StatusDescriptions::install(frmMain &form)
{
    const clsLibrary &lib = clsLibrary::instance();
    QTimer *tmr1 = makeTimer(form, "TMR1", form.standardToolbar());
    QTimer *tmr2 = makeTimer(form, "tmr2", form.formattingToolbar());
    for (QToolBar *bar : {form.standardToolbar(), form.formattingToolbar()}) {
        if (!bar)
            continue;
        QTimer *timer = bar == form.standardToolbar() ? tmr1 : tmr2;
        for (QAction *a : bar->actions()) {
            if (a->isSeparator() || a->objectName().isEmpty())
                continue;
            QObject::connect(a, &QAction::hovered, &form, [&form, &lib, a, timer] {
                lib.STATUSTEXTDESC(&form, a->text());
                timer->start();
            });
        }
    }
    for (const auto &[item, key] : kMenuIcons) {
        QAction *a = form.menuItem(QString::fromLatin1(item));
        QAction *b = form.button(QString::fromLatin1(key));
        if (a && a->icon().isNull())
            a->setIcon(b ? b->icon() : Icons::image(QString::fromLatin1(key)));
    }
    if (QWidget *background = form.mdiArea() ? form.mdiArea()->viewport() : nullptr) {
        background->setMouseTracking(true);
        background->installEventFilter(new BackgroundWatch(form, background));
    }
    // Menu items describe themselves while highlighted; a closing menu takes its text along.
    const auto menus = form.findChildren<QMenu *>();
    for (QMenu *menu : menus)
        lib.DESCRIBEMENU(&form, menu);
}
