#include "platform/Icons.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>

namespace {

// Image key -> icon name. Names without a freedesktop equivalent start with "pamphlexa-" and
// come from the bundled set only.
const QHash<QString, QString> &names()
{
    static const QHash<QString, QString> table = {
        {QStringLiteral("NEW"), QStringLiteral("document-new")},
        {QStringLiteral("OPEN"), QStringLiteral("document-open")},
        {QStringLiteral("CLOSE"), QStringLiteral("window-close")},
        {QStringLiteral("SAVE"), QStringLiteral("document-save")},
        {QStringLiteral("SAVE AS"), QStringLiteral("document-save-as")},
        {QStringLiteral("PRINT"), QStringLiteral("document-print")},
        {QStringLiteral("PRINT PREVIEW"), QStringLiteral("document-print-preview")},
        {QStringLiteral("PAGE SETUP"), QStringLiteral("document-page-setup")},
        {QStringLiteral("PREFERENCES"), QStringLiteral("preferences-system")},
        {QStringLiteral("EXIT"), QStringLiteral("application-exit")},
        {QStringLiteral("HTML PREVIEW"), QStringLiteral("text-html")},
        {QStringLiteral("HEADERFOOTER"), QStringLiteral("pamphlexa-header-footer")},
        {QStringLiteral("SPELL CHECKER"), QStringLiteral("tools-check-spelling")},
        {QStringLiteral("UNDO"), QStringLiteral("edit-undo")},
        {QStringLiteral("CUT"), QStringLiteral("edit-cut")},
        {QStringLiteral("COPY"), QStringLiteral("edit-copy")},
        {QStringLiteral("CLEAR"), QStringLiteral("edit-clear")},
        {QStringLiteral("PASTE"), QStringLiteral("edit-paste")},
        {QStringLiteral("FORMAT PAINTER"), QStringLiteral("pamphlexa-format-painter")},
        {QStringLiteral("SELECT ALL"), QStringLiteral("edit-select-all")},
        {QStringLiteral("FIND"), QStringLiteral("edit-find")},
        {QStringLiteral("FIND NEXT"), QStringLiteral("pamphlexa-find-next")},
        {QStringLiteral("REPLACE"), QStringLiteral("edit-find-replace")},
        {QStringLiteral("GO TO"), QStringLiteral("go-jump")},
        {QStringLiteral("DATE"), QStringLiteral("pamphlexa-insert-date")},
        {QStringLiteral("TIME"), QStringLiteral("pamphlexa-insert-time")},
        {QStringLiteral("FILE"), QStringLiteral("insert-text")},
        {QStringLiteral("PICTURE"), QStringLiteral("insert-image")},
        {QStringLiteral("SYMBOL"), QStringLiteral("pamphlexa-insert-symbol")},
        {QStringLiteral("HTML COLOR CODE"), QStringLiteral("pamphlexa-html-color")},
        {QStringLiteral("PROPERTIES"), QStringLiteral("document-properties")},
        {QStringLiteral("FULL NAME"), QStringLiteral("pamphlexa-full-name")},
        {QStringLiteral("JOB TITLE"), QStringLiteral("pamphlexa-job-title")},
        {QStringLiteral("INCREASE FONT SIZE"), QStringLiteral("format-font-size-more")},
        {QStringLiteral("DECREASE FONT SIZE"), QStringLiteral("format-font-size-less")},
        {QStringLiteral("FONT COLOR"), QStringLiteral("format-text-color")},
        {QStringLiteral("BOLD"), QStringLiteral("format-text-bold")},
        {QStringLiteral("ITALIC"), QStringLiteral("format-text-italic")},
        {QStringLiteral("UNDERLINE"), QStringLiteral("format-text-underline")},
        {QStringLiteral("BULLETS"), QStringLiteral("format-list-unordered")},
        {QStringLiteral("INCREASE INDENT"), QStringLiteral("format-indent-more")},
        {QStringLiteral("DECREASE INDENT"), QStringLiteral("format-indent-less")},
        {QStringLiteral("ALIGN LEFT"), QStringLiteral("format-justify-left")},
        {QStringLiteral("ALIGN CENTER"), QStringLiteral("format-justify-center")},
        {QStringLiteral("ALIGN RIGHT"), QStringLiteral("format-justify-right")},
        {QStringLiteral("CASCADE"), QStringLiteral("pamphlexa-window-cascade")},
        {QStringLiteral("TILE HORIZONTAL"), QStringLiteral("pamphlexa-window-tile-horizontal")},
        {QStringLiteral("TILE VERTICAL"), QStringLiteral("pamphlexa-window-tile-vertical")},
        {QStringLiteral("ARRANGE ICONS"), QStringLiteral("pamphlexa-window-arrange-icons")},
        {QStringLiteral("CLOSE ALL"), QStringLiteral("pamphlexa-window-close-all")},
        {QStringLiteral("HELP"), QStringLiteral("help-contents")},
        {QStringLiteral("ABOUT"), QStringLiteral("help-about")},
        {QStringLiteral("INSERT"), QStringLiteral("insert-image")},
        {QStringLiteral("INSERT AND CLOSE"), QStringLiteral("pamphlexa-insert-close")},
        {QStringLiteral("PICTURE PREVIEW"), QStringLiteral("pamphlexa-picture-preview")},
        {QStringLiteral("COPY TO"), QStringLiteral("pamphlexa-copy-to")},
        {QStringLiteral("MOVE TO"), QStringLiteral("pamphlexa-move-to")},
        {QStringLiteral("DELETE"), QStringLiteral("edit-delete")},
        {QStringLiteral("RENAME"), QStringLiteral("edit-rename")},
        {QStringLiteral("FIRST PAGE"), QStringLiteral("go-first")},
        {QStringLiteral("PREVIOUS PAGE"), QStringLiteral("go-previous")},
        {QStringLiteral("NEXT PAGE"), QStringLiteral("go-next")},
        {QStringLiteral("LAST PAGE"), QStringLiteral("go-last")},
        {QStringLiteral("ZOOM IN"), QStringLiteral("zoom-in")},
        {QStringLiteral("ZOOM OUT"), QStringLiteral("zoom-out")},
    };
    return table;
}

// Draws a disabled command faded and without colour, whatever the style or theme would
// generate, so that enabled and disabled buttons never look alike. With a tint, every opaque
// pixel takes the tint's colour (a desktop theme's one-colour "symbolic" icon on a dark palette).
class FadedWhenDisabled : public QIconEngine
{
public:
    explicit FadedWhenDisabled(QIcon icon, QColor tint = {}) : m_icon(std::move(icon)), m_tint(tint)
    {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap(rect.size(), mode, state, dpr));
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        if (mode != QIcon::Disabled && !m_tint.isValid())
            return m_icon.pixmap(size, scale, mode, state);
        QPixmap normal = m_icon.pixmap(size, scale, QIcon::Normal, state);
        if (m_tint.isValid()) {
            QPainter tinter(&normal);
            tinter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            tinter.fillRect(normal.rect(), m_tint);
            tinter.end();
            if (mode != QIcon::Disabled)
                return normal;
        }
        QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < image.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grey = qGray(line[x]);
                line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) * 2 / 5);
            }
        }
        return QPixmap::fromImage(image);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return m_icon.actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return m_icon.availableSizes(mode, state);
    }
    QString iconName() override { return m_icon.name(); }
    bool isNull() override { return m_icon.isNull(); }
    QString key() const override { return QStringLiteral("FadedWhenDisabled"); }
    QIconEngine *clone() const override { return new FadedWhenDisabled(m_icon, m_tint); }

private:
    QIcon m_icon;
    QColor m_tint;
};

// A desktop theme's full-colour action icons are drawn for light backgrounds (dark grey glyphs);
// on a dark palette its one-colour variant, drawn in the palette's text colour, stays legible.
// The bundled set is drawn for both and is used as it is.
QIcon themeIcon(const QString &name)
{
    const QPalette palette = QApplication::palette();
    const bool dark = palette.color(QPalette::Window).lightness() < 128;
    if (dark && QIcon::themeName() != QLatin1String("pamphlexa") &&
        !name.startsWith(QLatin1String("pamphlexa-"))) {
        const QIcon symbolic = QIcon::fromTheme(name + QLatin1String("-symbolic"));
        if (!symbolic.isNull())
            return QIcon(new FadedWhenDisabled(symbolic, palette.color(QPalette::ButtonText)));
    }
    return QIcon(new FadedWhenDisabled(QIcon::fromTheme(name)));
}

} // namespace

// The resources live in a static library: register them before the first lookup. (The macro
// must be used outside any namespace.)
static void initResources()
{
    Q_INIT_RESOURCE(icons);
}

void Icons::install()
{
    initResources();
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(QStringLiteral(":/icons"))) {
        paths.append(QStringLiteral(":/icons"));
        QIcon::setThemeSearchPaths(paths);
    }
    QIcon::setFallbackThemeName(QStringLiteral("pamphlexa"));
    // Without a desktop theme (a bare window manager) the bundled set is the theme.
    if (QIcon::themeName().isEmpty())
        QIcon::setThemeName(QStringLiteral("pamphlexa"));
    QApplication::setWindowIcon(application());
}

QIcon Icons::application()
{
    initResources();
    return QIcon(QStringLiteral(":/icons/org.pamphlexa.Pamphlexa.svg"));
}

QIcon Icons::image(const QString &key)
{
    const QString name = themeName(key);
    if (name.isEmpty())
        return {};
    return themeIcon(name);
}

QString Icons::themeName(const QString &key)
{
    return names().value(key);
}

QStringList Icons::keys()
{
    return names().keys();
}
