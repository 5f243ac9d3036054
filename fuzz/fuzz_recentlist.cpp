// The recent files list read from the settings store: eight stored captions of any content,
// then the list's own operations on them. Nothing may read out of bounds or keep more than eight.
#include <QStringList>
#include <cstddef>
#include <cstdint>

#include "documents/DocumentTypes.h"
#include "documents/RecentFilesList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QStringList parts = text.split(QLatin1Char('\n'));
    RecentFilesList list;
    list.setCaptions(parts.mid(0, 8));
    if (list.count() > RecentFilesList::MaxEntries)
        __builtin_trap();
    for (const QString &p : parts.mid(8))
        list.add(p);
    if (list.count() > RecentFilesList::MaxEntries)
        __builtin_trap();
    if (!parts.isEmpty()) {
        list.remove(static_cast<int>(parts.first().size()) % 10 - 1);
        const int filter = static_cast<int>(parts.last().size()) % 14;
        (void)DocumentTypes::saveAsName(parts.last(), filter);
        (void)DocumentTypes::isRichText(parts.last());
    }
    (void)list.captions();
    return 0;
}
