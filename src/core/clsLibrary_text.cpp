#include "core/clsLibrary.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>
#include <cmath>

#include "core/Identity.h"
#include "core/NumberText.h"
#include "platform/AppPaths.h"
#include "platform/ScreenMetrics.h"
#include "platform/UiServices.h"

namespace {

const QChar Separator = QLatin1Char('/');

QString formatted(const QString &text, int decimals)
{
    const auto value = NumberText::parse(text);
    if (!value)
        return {};
    return NumberText::formatFixed(*value, decimals).value_or(QString());
}

int twipsToPixels(int twips, int twipsPerPixel)
{
    return static_cast<int>(std::lround(double(twips) / std::max(1, twipsPerPixel)));
}

// Places `button` (found by name among the form's children) with its top `topTwips` below the
// form's top and its right edge 135 twips in from the form's inner right edge.
QWidget *placeTopRight(QWidget *form, const char *name, int topTwips)
{
    auto *button = form->findChild<QWidget *>(QLatin1String(name));
    if (!button)
        return nullptr;
    const ScreenMetrics &m = ScreenMetrics::instance();
    const int left = form->width() - twipsToPixels(135, m.twipsPerPixelX()) - button->width();
    const int top = twipsToPixels(topTwips, m.twipsPerPixelY());
    QPoint pos(left, top);
    if (button->parentWidget() && button->parentWidget() != form)
        pos = button->parentWidget()->mapFrom(form, pos);
    button->move(pos);
    return button;
}

constexpr int ButtonTopTwips = 165;
// Space between OK and Cancel when they stand one above the other.
constexpr int ButtonGapTwips = 90;

} // namespace

// --- Text helpers --------------------------------------------------------------------------------

QString clsLibrary::FILECHK(const QString &name) const
{
    return name.isEmpty() ? QStringLiteral("Untitled") : name;
}

QString clsLibrary::FILENAMELENCHK(const QString &path) const
{
    // The file-system root "/" already ends in a separator; an empty path stays empty rather than
    // turning into the root.
    if (path.isEmpty() || path.endsWith(Separator))
        return path;
    return path + Separator;
}

bool clsLibrary::CHARCHECK(const QString &text, const QString &ch) const
{
    return ch.isEmpty() || !text.contains(ch);
}

QString clsLibrary::TOKENLEFT(const QString &text, const QString &delimiter) const
{
    if (delimiter.isEmpty())
        return {};
    const qsizetype at = text.indexOf(delimiter);
    return at < 0 ? QString() : text.left(at);
}

double clsLibrary::PIECE(const QString &text, const QString &delimiter, int n) const
{
    if (n < 1)
        return 0;
    qsizetype start = 0;
    for (int field = 1; field < n; ++field) {
        const qsizetype at = delimiter.isEmpty() ? -1 : text.indexOf(delimiter, start);
        if (at < 0)
            return 0; // fewer than n fields
        start = at + delimiter.size();
    }
    const qsizetype end = delimiter.isEmpty() ? -1 : text.indexOf(delimiter, start);
    if (end < 0) // the last field: all of it must be a number
        return NumberText::parse(QStringView(text).mid(start)).value_or(0);
    return NumberText::val(QStringView(text).mid(start, end - start));
}

qint32 clsLibrary::WORDCOUNT(const QString &text) const
{
    // A word broken with a hyphen at a line end joins up again; line breaks separate words like
    // blanks. Words are then the runs of characters between blanks.
    QString t = text;
    t.replace(QStringLiteral("-\r\n"), QString());
    t.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    qint32 words = 0;
    bool inWord = false;
    for (const QChar c : std::as_const(t)) {
        const bool blank = c == QLatin1Char(' ');
        if (!blank && !inWord)
            ++words;
        inWord = !blank;
    }
    return words;
}

QString clsLibrary::CURRENCYFMT(const QString &text) const
{
    return formatted(text, 2);
}

QString clsLibrary::TEXTJUSTIFY(const QString &text) const
{
    return formatted(text, 1);
}

QString clsLibrary::TEXTJUSTIFYCURRENCY(const QString &text) const
{
    return formatted(text, 2);
}

int clsLibrary::TXTCURRENCYLOCK(QWidget *, int keyCode) const
{
    const bool digit = keyCode >= '0' && keyCode <= '9';
    return digit || keyCode == 8 || keyCode == '.' ? keyCode : 0;
}

// --- File and folder helpers ---------------------------------------------------------------------

bool clsLibrary::FILEEXISTS(const QString &path) const
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool clsLibrary::FOLDEREXIST(const QString &path) const
{
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).isDir())
        return true;
    QDir().mkpath(path);
    return false;
}

bool clsLibrary::OVERWRITECHK(const QString &path) const
{
    if (!QFileInfo::exists(path))
        return true;
    qint16 answer = 0;
    MESSAGEBOXFCN(3, path, QString(), QString(), QString(), answer);
    return answer == MsgResult::Yes;
}

QString clsLibrary::GETWINDOWSDIR() const
{
    return AppPaths::homeFolder();
}

QString clsLibrary::GETDESKTOPDIR() const
{
    const QString desktop = AppPaths::desktopFolder();
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return FILENAMELENCHK(desktop);
    return FILENAMELENCHK(AppPaths::programFolder());
}

QString clsLibrary::GETFOLDERPATH(const QString &path) const
{
    const qsizetype at = path.lastIndexOf(Separator);
    return at < 0 ? QString() : path.left(at + 1);
}

QString clsLibrary::FILESLOCATION() const
{
    const QString key = Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
    const QString name = QStringLiteral("Files Location");
    // The user's data folder stands where the program's own folder would: the program folder
    // holds shipped files only, and the profile kept here is written to.
    const QString own = AppPaths::userDataFolder();
    const QString stored = FILENAMELENCHK(REGSTRREAD(HKEY_CURRENT_USER, key, name, QString()));
    // A folder that has gone (a removed drive, a deleted folder) is not recreated: the user's
    // data folder takes its place, and is remembered.
    if (!stored.isEmpty() && QFileInfo(stored).isDir())
        return stored;
    AppPaths::ensureFolder(own);
    const QString fallback = FILENAMELENCHK(own);
    REGSTRWRITE(HKEY_CURRENT_USER, key, name, fallback);
    return fallback;
}

// --- Dialog layout helpers -----------------------------------------------------------------------

void clsLibrary::RESIZEBTNCLOSE(QWidget *form) const
{
    if (form)
        placeTopRight(form, "BTNCLOSE", ButtonTopTwips);
}

void clsLibrary::RESIZEBTNSOKCANCEL(QWidget *form) const
{
    if (!form)
        return;
    const ScreenMetrics &m = ScreenMetrics::instance();
    int cancelTop = ButtonTopTwips;
    if (QWidget *ok = placeTopRight(form, "BTNOK", ButtonTopTwips))
        cancelTop += ok->height() * m.twipsPerPixelY() + ButtonGapTwips;
    placeTopRight(form, "BTNCANCEL", cancelTop);
}

void clsLibrary::COMBOINIT(QComboBox *combo, int visibleItems, bool) const
{
    if (!combo || visibleItems < 1)
        return;
    // The drop-down list shows `visibleItems` rows before it scrolls; the two extra item heights
    // of the design cover the closed box and the list's border, which Qt sizes itself. Styles
    // that open a non-editable list as a menu over the box ignore the row count, so the list is
    // asked to drop down below the box instead.
    combo->setMaxVisibleItems(visibleItems);
    const QString dropDown = QStringLiteral("QComboBox { combobox-popup: 0; }");
    if (!combo->styleSheet().contains(dropDown))
        combo->setStyleSheet(combo->styleSheet() + dropDown);
}
