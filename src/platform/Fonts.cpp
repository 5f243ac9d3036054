#include "platform/Fonts.h"

#include <QFont>
#include <QStringList>

void Fonts::installSubstitutions()
{
    // Bitmap system fonts become the monospace family.
    for (const char *name :
         {"Fixedsys", "FIXEDSYS", "Terminal", "System", "MS Sans Serif", "Courier"})
        QFont::insertSubstitutions(QString::fromLatin1(name), {QStringLiteral("DejaVu Sans Mono"),
                                                               QStringLiteral("Liberation Mono"),
                                                               QStringLiteral("Monospace")});
    // Metric-compatible families keep Windows documents' line breaks and page counts.
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif")});
    QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"), {QStringLiteral("Liberation Mono")});
    QFont::insertSubstitutions(QStringLiteral("Symbol"),
                               {QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Serif")});
}
