#include "editing/FormatLists.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QSet>
#include <cmath>

#include "platform/Fonts.h"

namespace FormatLists {

const QStringList &sizes()
{
    static const QStringList list = [] {
        QStringList out;
        for (int i = 1; i <= 16; ++i)
            out << QString::number(i);
        for (int s : {18, 20, 22, 24,  26,  28,  32,  36,  40,  48,  54,  60,
                      72, 84, 96, 110, 120, 150, 180, 210, 250, 300, 350, 400})
            out << QString::number(s);
        return out;
    }();
    return list;
}

QString sizeStep(const QString &text, int direction)
{
    const qsizetype at = sizes().indexOf(text.trimmed());
    if (at < 0)
        return {};
    const qsizetype next = at + (direction < 0 ? -1 : 1);
    return next >= 0 && next < sizes().size() ? sizes()[next] : QString();
}

QString sizeText(double points)
{
    // Whole points, halves rounded up; nothing for a size below half a point.
    const long whole = std::lround(points);
    return whole > 0 ? QString::number(whole) : QString();
}

const QStringList &styleNames()
{
    static const QStringList list = {
        QStringLiteral("Normal Text"),   QStringLiteral("Web Address"),
        QStringLiteral("Bold Text"),     QStringLiteral("Underline Text"),
        QStringLiteral("Main Heading"),  QStringLiteral("Sub Heading 1"),
        QStringLiteral("Sub Heading 2"), QStringLiteral("Sub Heading 3"),
        QStringLiteral("Bullets"),       QStringLiteral("Italic Text"),
        QStringLiteral("Unformatted")};
    return list;
}

std::optional<Style> style(const QString &name)
{
    // Bold, italic, underline, strike-through, bullet, size.
    auto plain = [](bool b, bool i, bool u, int size = 0) {
        return Style{b, i, u, false, false, size};
    };
    switch (styleNames().indexOf(name)) {
    case 0:
        return plain(false, false, false);
    case 1:
        return plain(false, true, true);
    case 2:
        return plain(true, false, false);
    case 3:
        return plain(false, false, true);
    case 4:
        return plain(false, false, true, 26);
    case 5:
        return plain(true, false, true, 14);
    case 6:
        return plain(true, true, true, 12);
    case 7:
        return plain(true, false, true, 10);
    case 8: {
        Style s;
        s.bullet = true;
        return s;
    }
    case 9:
        return plain(false, true, false);
    case 10:
        return Style{};
    default:
        return std::nullopt;
    }
}

QStringList screenFonts()
{
    QStringList out;
    QSet<QString> seen;
    const QStringList families = QFontDatabase::families();
    for (QString family : families) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        // "Family [foundry]" names one foundry's copy of a family several foundries provide.
        if (const qsizetype bracket = family.indexOf(QLatin1String(" ["));
            bracket > 0 && family.endsWith(QLatin1Char(']')))
            family.truncate(bracket);
        if (!seen.contains(family)) {
            seen.insert(family);
            out << family;
        }
    }
    if (!out.isEmpty())
        out.removeFirst();
    return out;
}

QString tabText(double inches)
{
    const double hundredths = std::round(inches * 100.0);
    const bool one = std::fmod(std::fabs(hundredths), 10.0) == 0.0;
    return QString::number(hundredths / 100.0, 'f', one ? 1 : 2);
}

const QStringList &defaultTabs()
{
    static const QStringList list = [] {
        QStringList out;
        for (int i = 1; i <= 14; ++i)
            out << tabText(i * 0.5);
        return out;
    }();
    return list;
}

bool insertTab(QStringList &tabs, double inches)
{
    const QString text = tabText(inches);
    const double value = text.toDouble();
    if (!(value > 0))
        return false;
    qsizetype at = 0;
    for (; at < tabs.size(); ++at) {
        const double existing = tabs[at].trimmed().toDouble();
        if (existing == value)
            return false;
        if (existing > value)
            break;
    }
    tabs.insert(at, text);
    return true;
}

void setListText(QComboBox *box, const QString &text)
{
    if (!box)
        return;
    const int at = text.isEmpty() ? -1 : box->findText(text, Qt::MatchFixedString);
    if (at >= 0) {
        if (box->currentIndex() != at)
            box->setCurrentIndex(at);
        box->setPlaceholderText(QString());
        return;
    }
    box->setCurrentIndex(-1);
    box->setPlaceholderText(text);
}

void setFontText(QComboBox *box, const QString &name)
{
    if (!box)
        return;
    if (!name.isEmpty() && box->findText(name, Qt::MatchFixedString) < 0) {
        const QString family = Fonts::installedFamily(name);
        if (!family.isEmpty()) {
            box->addItem(name);
            box->setItemData(box->count() - 1, QStringLiteral("Shown with ") + family,
                             Qt::ToolTipRole);
        }
    }
    setListText(box, name);
}

QString listText(const QComboBox *box)
{
    if (!box)
        return {};
    return box->currentIndex() >= 0 ? box->currentText() : box->placeholderText();
}

} // namespace FormatLists
