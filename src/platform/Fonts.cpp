#include "platform/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

struct Substitution
{
    const char *name;
    QStringList families;
};

const QList<Substitution> &table()
{
    const QStringList mono{QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono"),
                           QStringLiteral("Monospace")};
    const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")};
    const QStringList serif{QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    static const QList<Substitution> substitutions = {
        // Bitmap system fonts become the monospace family.
        {"Fixedsys", mono},
        {"Terminal", mono},
        {"System", mono},
        {"Courier", mono},
        // Metric-compatible families keep Windows documents' line breaks and page counts.
        {"Times New Roman", serif},
        {"Times", serif},
        {"Arial", sans},
        {"Helvetica", sans},
        {"MS Sans Serif", sans},
        {"Microsoft Sans Serif", sans},
        {"Tahoma", {QStringLiteral("DejaVu Sans")}},
        {"Verdana", {QStringLiteral("DejaVu Sans")}},
        {"Courier New", {QStringLiteral("Liberation Mono"), QStringLiteral("DejaVu Sans Mono")}},
        {"Calibri", {QStringLiteral("Carlito"), QStringLiteral("Liberation Sans")}},
        {"Cambria", {QStringLiteral("Caladea"), QStringLiteral("Liberation Serif")}},
        // The symbol font: Standard Symbols PS has the same characters at the same codes.
        {"Symbol",
         {QStringLiteral("Standard Symbols PS"), QStringLiteral("OpenSymbol"),
          QStringLiteral("DejaVu Sans")}},
    };
    return substitutions;
}

QString withoutFoundry(QString family)
{
    if (const qsizetype bracket = family.indexOf(QLatin1String(" ["));
        bracket > 0 && family.endsWith(QLatin1Char(']')))
        family.truncate(bracket);
    return family.trimmed();
}

// The installed family spelled like `name` in any letter case; empty when none is.
QString installed(const QString &name)
{
    const QString wanted = withoutFoundry(name);
    const QStringList families = QFontDatabase::families();
    for (const QString &family : families)
        if (withoutFoundry(family).compare(wanted, Qt::CaseInsensitive) == 0)
            return withoutFoundry(family);
    return QString();
}

} // namespace

void Fonts::installSubstitutions()
{
    // The font system compares substitution names without regard to case, so "FIXEDSYS" and
    // "TIMES NEW ROMAN" find their entries too.
    for (const Substitution &s : table())
        QFont::insertSubstitutions(QString::fromLatin1(s.name), s.families);
}

QString Fonts::installedFamily(const QString &name)
{
    if (name.trimmed().isEmpty())
        return QString();
    if (QString own = installed(name); !own.isEmpty())
        return own;
    const QStringList substitutes = QFont::substitutes(withoutFoundry(name));
    for (const QString &s : substitutes)
        if (QString family = installed(s); !family.isEmpty())
            return family;
    return QString();
}
