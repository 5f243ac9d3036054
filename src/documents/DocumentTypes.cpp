#include "documents/DocumentTypes.h"

#include <QRegularExpression>
#include <array>

namespace {
struct SaveType
{
    const char *extension;
    const char *description;
};

constexpr std::array<SaveType, 12> kSaveTypes{{
    {".RTF", "Rich Text Document (*.rtf)"},
    {".RTT", "Rich Text Template (*.rtt)"},
    {".TXT", "Text Document (*.txt)"},
    {".SCP", "Dial-Up Networking Script (*.scp)"},
    {".INI", "Configuration Settings (*.ini)"},
    {".INF", "Setup Information (*.inf)"},
    {".NFO", "Info Document (*.nfo)"},
    {".DIZ", "Diz Document (*.diz)"},
    {".URL", "Internet Shortcut (*.url)"},
    {".HTM", "Internet Page (*.htm)"},
    {".ASP", "Active Server Page (*.asp)"},
    {".CSS", "Cascading Style Sheet (*.css)"},
}};

// The file dialog wants the patterns of a filter inside parentheses, separated by blanks.
QString dialogFilter(const QString &description, const QString &patterns)
{
    QString p = patterns;
    p.replace(QLatin1Char(';'), QLatin1Char(' '));
    const int open = description.indexOf(QLatin1Char('('));
    if (open >= 0)
        return description.left(open) + QLatin1Char('(') + p + QLatin1Char(')');
    return description + QStringLiteral(" (") + p + QLatin1Char(')');
}

QString patternOf(const char *description)
{
    const QString d = QString::fromLatin1(description);
    const int open = d.indexOf(QLatin1Char('('));
    return d.mid(open + 1, d.size() - open - 2);
}
} // namespace

bool DocumentTypes::isRichText(const QString &name)
{
    const QString tail = name.right(3).toUpper();
    return tail == QLatin1String("RTF") || tail == QLatin1String("RTT");
}

QString DocumentTypes::saveExtension(int filterIndex)
{
    if (filterIndex < 1 || filterIndex > static_cast<int>(kSaveTypes.size()))
        return {};
    return QString::fromLatin1(kSaveTypes[filterIndex - 1].extension);
}

bool DocumentTypes::saveIndexIsRichText(int filterIndex)
{
    return filterIndex == 1 || filterIndex == 2;
}

QString DocumentTypes::saveAsName(const QString &typed, int filterIndex)
{
    const QString ext = saveExtension(filterIndex);
    const QString upper = typed.toUpper();
    if (!ext.isEmpty() && upper.endsWith(ext))
        return typed;
    // A name that brings its own three-letter extension (or ".html") keeps it.
    const QString fileName = typed.mid(typed.lastIndexOf(QLatin1Char('/')) + 1);
    static const QRegularExpression ownExtension(QStringLiteral("\\.[^./]{3}$"));
    if (ownExtension.match(fileName).hasMatch() || upper.endsWith(QLatin1String(".HTML")))
        return typed;
    return typed + ext;
}

QStringList DocumentTypes::openFilters()
{
    QStringList out;
    for (int i = 0; i < 9; ++i)
        out.append(QString::fromLatin1(kSaveTypes[i].description));
    out.append(dialogFilter(QStringLiteral("Internet Page (*.htm;*.asp;*.html;*.css)"),
                            QStringLiteral("*.htm;*.asp;*.html;*.css")));
    out.append(dialogFilter(QStringLiteral("All Formats"),
                            QStringLiteral("*.rtt;*.rtf;*.txt;*.scp;*.ini;*.inf;*.nfo;*.diz;*.url;"
                                           "*.asp;*.htm;*.html;*.css")));
    out.append(QStringLiteral("All Files (*)"));
    return out;
}

QStringList DocumentTypes::saveFilters()
{
    QStringList out;
    for (const SaveType &t : kSaveTypes)
        out.append(dialogFilter(QString::fromLatin1(t.description), patternOf(t.description)));
    return out;
}

QString DocumentTypes::folderOf(const QString &path)
{
    const int slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}
