#include "core/NumberText.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Exponents beyond this overflow or underflow a double whatever the mantissa; clamping keeps the
// text handed to the converter short.
constexpr int ExponentLimit = 100000;

struct Scan
{
    QByteArray number;             // normalised: sign, digits, ".", "e", exponent
    qsizetype end = 0;             // index just past the last character that belongs to the number
    bool hasDigits = false;        // at least one mantissa digit
    bool danglingExponent = false; // an exponent marker without digits
};

// Reads a number from the start of text. With skipBlanks, blanks inside the number are ignored
// as Val() ignores them; otherwise the first blank ends it.
Scan scanNumber(QStringView text, bool skipBlanks)
{
    Scan s;
    qsizetype i = 0;
    const qsizetype n = text.size();
    auto skip = [&] {
        while (skipBlanks && i < n && isBlank(text[i]))
            ++i;
    };
    skip();
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        if (text[i] == QLatin1Char('-'))
            s.number.append('-');
        ++i;
    }
    bool seenPoint = false;
    for (;;) {
        skip();
        if (i >= n)
            break;
        const QChar c = text[i];
        if (isDigit(c)) {
            s.number.append(static_cast<char>(c.unicode()));
            s.hasDigits = true;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            s.number.append('.');
            seenPoint = true;
        } else {
            break;
        }
        ++i;
    }
    s.end = i;
    if (!s.hasDigits || i >= n)
        return s;
    const QChar marker = text[i].toUpper();
    if (marker != QLatin1Char('E') && marker != QLatin1Char('D'))
        return s;
    ++i;
    skip();
    bool negative = false;
    if (i < n && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    int exponent = 0;
    bool expDigits = false;
    for (;;) {
        skip();
        if (i >= n || !isDigit(text[i]))
            break;
        exponent = std::min(ExponentLimit, exponent * 10 + (text[i].unicode() - '0'));
        expDigits = true;
        ++i;
    }
    if (!expDigits) {
        s.danglingExponent = true;
        return s;
    }
    s.number.append('e');
    s.number.append(QByteArray::number(negative ? -exponent : exponent));
    s.end = i;
    return s;
}

std::optional<double> toFinite(const QByteArray &number)
{
    bool ok = false;
    const double v = number.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

double NumberText::val(QStringView text)
{
    const Scan s = scanNumber(text, true);
    if (!s.hasDigits)
        return 0;
    return toFinite(s.number).value_or(0);
}

std::optional<double> NumberText::parse(QStringView text)
{
    const QStringView t = text.trimmed();
    const Scan s = scanNumber(t, false);
    if (!s.hasDigits || s.danglingExponent || s.end != t.size())
        return std::nullopt;
    return toFinite(s.number);
}

std::optional<QString> NumberText::formatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return std::nullopt;
    decimals = std::clamp(decimals, 0, 15);
    // Fifteen significant digits, as "d.dddddddddddddde[+-]x".
    const QString sci = QString::number(std::fabs(value), 'e', 14);
    const qsizetype e = sci.indexOf(QLatin1Char('e'));
    QByteArray digits = sci.left(e).remove(QLatin1Char('.')).toLatin1();
    qsizetype intDigits = sci.mid(e + 1).toInt() + 1;
    if (intDigits <= 0) {
        digits.prepend(QByteArray(1 - intDigits, '0'));
        intDigits = 1;
    }
    const qsizetype keep = intDigits + decimals;
    if (digits.size() < keep)
        digits.append(QByteArray(keep - digits.size(), '0'));
    const bool roundUp = digits.size() > keep && digits[keep] >= '5';
    digits.truncate(keep);
    if (roundUp) {
        qsizetype k = keep - 1;
        while (k >= 0 && digits[k] == '9')
            digits[k--] = '0';
        if (k >= 0) {
            ++digits[k];
        } else {
            digits.prepend('1');
            ++intDigits;
        }
    }
    QByteArray whole = digits.left(intDigits);
    qsizetype lead = 0;
    while (lead < whole.size() - 1 && whole[lead] == '0')
        ++lead;
    whole.remove(0, lead);
    const QByteArray fraction = digits.mid(intDigits);
    const bool zero = digits.count('0') == digits.size();
    QString out;
    if (value < 0 && !zero)
        out += QLatin1Char('-');
    out += QString::fromLatin1(whole);
    if (decimals > 0)
        out += QLatin1Char('.') + QString::fromLatin1(fraction);
    return out;
}
