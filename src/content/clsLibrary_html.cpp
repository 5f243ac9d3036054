// The web helpers of the utility object: address normalising and HTML colour codes.

#include "core/clsLibrary.h"

#include <QColor>

QString clsLibrary::HTMLFORMATCHECK(const QString &text) const
{
    if (text.isEmpty())
        return text;
    if (text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
        text.startsWith(QLatin1String("ftp://"), Qt::CaseInsensitive))
        return text;
    return QStringLiteral("http://") + text;
}

QString clsLibrary::GETHEXVAL(const QColor &color) const
{
    const QColor rgb = color.toRgb();
    return QStringLiteral("#%1%2%3")
        .arg(rgb.red(), 2, 16, QLatin1Char('0'))
        .arg(rgb.green(), 2, 16, QLatin1Char('0'))
        .arg(rgb.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

QString clsLibrary::HEX2STR(const QString &hex) const
{
    // The digits up to the first one that is not hexadecimal, as a number reader takes them;
    // eight digits at most, so the value stays within 32 bits.
    quint32 value = 0;
    int digits = 0;
    for (QChar c : hex) {
        const char16_t u = c.unicode();
        int d = -1;
        if (u >= u'0' && u <= u'9')
            d = u - u'0';
        else if (u >= u'a' && u <= u'f')
            d = u - u'a' + 10;
        else if (u >= u'A' && u <= u'F')
            d = u - u'A' + 10;
        if (d < 0 || digits == 8)
            break;
        value = value * 16 + quint32(d);
        ++digits;
    }
    return QString::number(value);
}
