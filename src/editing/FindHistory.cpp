#include "editing/FindHistory.h"

#include "core/Identity.h"
#include "core/clsLibrary.h"

namespace FindHistory {

QString settingsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmFind\\Items");
}

QString read(const QString &name, const QString &def)
{
    return clsLibrary::instance().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, settingsKey(), name,
                                             def);
}

void write(const QString &name, const QString &value)
{
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, settingsKey(), name, value);
}

void use(QStringList &list, const QString &text)
{
    const qsizetype at = list.indexOf(text);
    if (at >= 0)
        list.removeAt(at);
    list.prepend(text);
}

void offer(QStringList &list, const QString &text)
{
    if (!list.contains(text))
        list.prepend(text);
}

QStringList load(const QString &prefix)
{
    bool ok = false;
    const int total = read(prefix + QStringLiteral(" Total"), QStringLiteral("0")).toInt(&ok);
    QStringList list;
    if (!ok)
        return list;
    // The store only holds what the dialog wrote, but a hand-edited total must not make the
    // dialog read (and keep) millions of empty entries.
    constexpr int MaxStored = 10000;
    for (int i = 0; i < std::min(total, MaxStored); ++i)
        list.append(read(prefix + QLatin1Char(' ') + QString::number(i)));
    return list;
}

void save(const QString &prefix, const QStringList &list, bool keep, bool keepEmpty)
{
    if (!keep) {
        write(prefix + QStringLiteral(" Total"), QStringLiteral("0"));
        return;
    }
    for (qsizetype i = 0; i < list.size(); ++i)
        if (keepEmpty || !list[i].isEmpty())
            write(prefix + QLatin1Char(' ') + QString::number(i), list[i]);
    write(prefix + QStringLiteral(" Total"), QString::number(list.size()));
}

QString countText(int count)
{
    return QStringLiteral("Currently: ") + QString::number(count) +
           (count == 1 ? QStringLiteral(" find") : QStringLiteral(" finds"));
}

} // namespace FindHistory
