// Feeds arbitrary bytes to the word list reader, whole and in uneven blocks, and checks that
// both give the same words and that every word is a non-empty, bounded line.
#include <QByteArrayView>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "content/WordList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList words = WordList::parse(bytes);

    // The same bytes in blocks of a size taken from the input must give the same words.
    const qsizetype step = size > 0 ? 1 + data[0] % 7 : 1;
    WordList::Reader reader;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        reader.feed(bytes.sliced(at, std::min(step, bytes.size() - at)));
    reader.finish();
    if (reader.words() != words)
        abort();

    for (const QString &w : words) {
        if (w.isEmpty() || w.size() > WordList::MaxWordBytes || w.contains(QLatin1Char('\r')) ||
            w.contains(QLatin1Char('\n')))
            abort();
        (void)WordList::phoneticKey(w);
        (void)WordList::encodeLine(w);
    }
    return 0;
}
