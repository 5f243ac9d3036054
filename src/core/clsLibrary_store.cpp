#include "core/clsLibrary.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <optional>
#include <pwd.h>
#include <unistd.h>
#include <vector>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/frmMain.h"
#include "platform/ScreenMetrics.h"

// Window placements are kept in twips. "Left" and "Top" are the position of the window's outer
// top-left corner (QWidget::pos(), frame included, what move() sets); "Width" and "Height" are
// the size of its client area (QWidget::size(), what resize() sets). The window manager's frame
// is unknown until a window is mapped, so sizes without it restore exactly, run after run.

namespace {

QString windowKey(const QString &title, const QWidget *window)
{
    const QString base = title.compare(QLatin1String("GLOBAL"), Qt::CaseInsensitive) == 0
                             ? Identity::companyKey()
                             : Identity::appKey();
    QString name = window->objectName();
    if (name.isEmpty())
        name = QString::fromLatin1(window->metaObject()->className());
    return base + QLatin1Char('\\') + name + QStringLiteral("\\Window");
}

// "0" normal, "1" minimised, "2" maximised.
int stateCode(const QWidget *window)
{
    if (window->isMinimized())
        return 1;
    if (window->isMaximized())
        return 2;
    return 0;
}

void applyState(QWidget *window, int code)
{
    const Qt::WindowStates others =
        window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
    switch (code) {
    case 1:
        window->setWindowState(others | Qt::WindowMinimized);
        break;
    case 2:
        window->setWindowState(others | Qt::WindowMaximized);
        break;
    default:
        window->setWindowState(others);
        break;
    }
}

int twipsToPixels(int twips, int tpp)
{
    return int(std::lround(double(twips) / tpp));
}

// Half of `twice`, rounded to an integer with halves going to the even neighbour.
int halfToEven(int twice)
{
    const int q = twice >= 0 ? twice / 2 : -((-twice + 1) / 2); // floor
    if (twice % 2 == 0)
        return q;
    return (q % 2 == 0) ? q : q + 1;
}

class PlacementReader
{
public:
    PlacementReader(const clsLibrary &lib, QString key) : m_lib(lib), m_key(std::move(key)) {}
    // The stored number, or `current` when the value is missing or not a number.
    int read(const char *name, int current) const { return stored(name).value_or(current); }
    // The stored number, if there is one.
    std::optional<int> stored(const char *name) const
    {
        const QString text =
            m_lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, m_key, QLatin1String(name), QString());
        bool ok = false;
        const int v = text.trimmed().toInt(&ok);
        return ok ? std::optional<int>(v) : std::nullopt;
    }

private:
    const clsLibrary &m_lib;
    QString m_key;
};

// The top-left corner that centres the window over its owner: the window it belongs to, else
// the main window, else the screen.
QPoint centredOverOwner(const QWidget *window)
{
    const QWidget *owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    if (!owner)
        owner = AppState::instance().MainWindow.data();
    QRect over;
    if (owner && owner != window && owner->isVisible() && !owner->isMinimized())
        over = owner->frameGeometry();
    else
        over = QRect(QPoint(0, 0), ScreenMetrics::instance().screenPixels());
    // A window not shown yet and never sized takes the size its layout asks for when shown.
    const QSize size = window->isVisible()                     ? window->frameGeometry().size()
                       : window->testAttribute(Qt::WA_Resized) ? window->size()
                                                               : window->sizeHint();
    return over.topLeft() +
           QPoint((over.width() - size.width()) / 2, (over.height() - size.height()) / 2);
}

// The window hook: centres each dialog window as it is first shown over the main window.
class DialogHook : public QObject
{
public:
    int users = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto *dialog = qobject_cast<QDialog *>(watched);
            if (dialog && dialog->isWindow() && !dialog->property("pamphlexaHooked").toBool()) {
                dialog->setProperty("pamphlexaHooked", true);
                dialog->move(centredOverOwner(dialog));
            }
        }
        return false;
    }
};

QPointer<DialogHook> g_dialogHook;

// Size (when asked) and position of the normal state, with the centring corrections.
void placeNormal(const PlacementReader &reader, QWidget *window, bool restoreSize)
{
    const ScreenMetrics &metrics = ScreenMetrics::instance();
    const int tx = metrics.twipsPerPixelX();
    const int ty = metrics.twipsPerPixelY();
    const int screenWidth = metrics.screenWidthTwips();
    const int screenHeight = metrics.screenHeightTwips();
    if (restoreSize) {
        // A stored size larger than the screen (or not positive) is brought within it.
        const int height = std::clamp(reader.read("Height", window->height() * ty), ty,
                                      std::max(ty, screenHeight));
        const int width =
            std::clamp(reader.read("Width", window->width() * tx), tx, std::max(tx, screenWidth));
        window->resize(std::max(1, twipsToPixels(width, tx)),
                       std::max(1, twipsToPixels(height, ty)));
    }
    const int width = window->width() * tx;
    const int height = window->height() * ty;
    const int centreLeft = halfToEven(screenWidth - width);
    const int centreTop = halfToEven(screenHeight - height);

    // A window with no stored place opens centred over the window it belongs to (the main
    // window for dialogs), or on the screen when that is not showing. Stored values may be
    // anything up to the largest number: compare without overflow.
    const QPoint centred = centredOverOwner(window);
    qint64 left = reader.read("Left", centred.x() * tx);
    qint64 top = reader.read("Top", centred.y() * ty);
    if (left < 0)
        left = centreLeft;
    if (top < 0)
        top = centreTop;
    if (left + width > screenWidth)
        left = centreLeft;
    if (top + height > screenHeight)
        top = centreTop;
    window->move(twipsToPixels(int(left), tx), twipsToPixels(int(top), ty));
}

} // namespace

QString clsLibrary::REGSTRREAD(int root, const QString &keyPath, const QString &valueName,
                               const QString &def) const
{
    const auto v = SettingsStore::instance().readString(static_cast<SettingsStore::Root>(root),
                                                        keyPath, valueName);
    if (!v || SettingsStore::characterCount(*v) > SettingsStore::MaxReadCharacters)
        return def;
    return *v;
}

bool clsLibrary::REGSTRWRITE(int root, const QString &keyPath, const QString &valueName,
                             const QString &text) const
{
    return SettingsStore::instance().writeString(static_cast<SettingsStore::Root>(root), keyPath,
                                                 valueName, text);
}

void clsLibrary::REGDWORDREAD(int root, const QString &keyPath, const QString &valueName,
                              qint32 number) const
{
    SettingsStore::instance().writeDword(static_cast<SettingsStore::Root>(root), keyPath, valueName,
                                         number);
}

void clsLibrary::FORMLOAD(const QString &title, QWidget *window, bool restoreSize) const
{
    if (!window)
        return;
    const PlacementReader reader(*this, windowKey(title, window));
    if (restoreSize) {
        const int current = stateCode(window);
        int state = reader.read("Window State", current);
        if (state < 0 || state > 2)
            state = current;
        if (state != 0) {
            // Only the state shows; the stored normal placement becomes the one the window
            // takes when the user restores it.
            applyState(window, 0);
            placeNormal(reader, window, true);
            applyState(window, state);
            return;
        }
        applyState(window, 0);
    }
    placeNormal(reader, window, restoreSize);
}

void clsLibrary::FORMSAVE(const QString &title, QWidget *window, bool saveSize) const
{
    if (!window)
        return;
    const QString key = windowKey(title, window);
    const ScreenMetrics &metrics = ScreenMetrics::instance();
    const int tx = metrics.twipsPerPixelX();
    const int ty = metrics.twipsPerPixelY();
    auto write = [&](const char *name, int value) {
        REGSTRWRITE(HKEY_CURRENT_USER, key, QLatin1String(name), QString::number(value));
    };
    SettingsStore::Batch batch(SettingsStore::instance());
    if (!saveSize) {
        write("Left", window->x() * tx);
        write("Top", window->y() * ty);
        return;
    }
    switch (stateCode(window)) {
    case 0:
        write("Window State", 0);
        write("Left", window->x() * tx);
        write("Top", window->y() * ty);
        write("Width", window->width() * tx);
        write("Height", window->height() * ty);
        break;
    case 2:
        write("Window State", 2);
        break;
    default:
        break; // minimised: the stored placement stays as it was
    }
}

QString clsLibrary::GETAPPNUMBER() const
{
    return QString::number(PAMPHLEXA_VERSION_MAJOR) + QLatin1Char('.') +
           QString::number(PAMPHLEXA_VERSION_MINOR);
}

QString clsLibrary::GETCAPTION(const QString &text) const
{
    QString caption = text.size() > 32 ? text.left(32) + QStringLiteral("...") : text;
    caption.remove(QLatin1Char('&'));
    return caption;
}

QString clsLibrary::GETCOMPANYNAME() const
{
    // The account's full name: the first comma-separated field of the passwd GECOS entry,
    // else the login name.
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0)
        size = 16384;
    std::vector<char> buffer(static_cast<size_t>(size));
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return qEnvironmentVariable("USER");
    const QString gecos = QString::fromLocal8Bit(found->pw_gecos ? found->pw_gecos : "");
    const QString fullName = gecos.section(QLatin1Char(','), 0, 0).trimmed();
    return fullName.isEmpty() ? QString::fromLocal8Bit(found->pw_name) : fullName;
}

QString clsLibrary::GETCOMPANYREG() const
{
    return REGSTRREAD(HKEY_CURRENT_USER,
                      QStringLiteral("SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION"),
                      QStringLiteral("RegisteredOrganization"), QString());
}

void clsLibrary::reportStoreNotice() const
{
    const SettingsStore::Notice notice = SettingsStore::instance().takeNotice();
    if (notice.kind == SettingsStore::Notice::NotOrdinaryFile)
        MESSAGEBOX(49, notice.file);
    else if (notice.kind == SettingsStore::Notice::DamagedSetAside)
        MESSAGEBOX(50, notice.file);
}

void clsLibrary::HOOKFRMLOAD() const
{
    if (!qApp)
        return;
    if (!g_dialogHook) {
        g_dialogHook = new DialogHook;
        g_dialogHook->setParent(qApp);
        qApp->installEventFilter(g_dialogHook);
    }
    ++g_dialogHook->users;
}

void clsLibrary::HOOKFRMUNLOAD() const
{
    if (g_dialogHook && --g_dialogHook->users <= 0)
        delete g_dialogHook;
}
