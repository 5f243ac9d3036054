// The word list reader on arbitrary bytes: the whole file and the same bytes fed in small blocks
// give the same words, every word is non-empty, bounded and free of line ends; the words load
// into a dictionary that finds each of them and suggests for a changed one, and they tokenise.
#include <QStringList>

#include "content/SpellingDictionary.h"
#include "content/SpellingWords.h"
#include "content/WordList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QStringList words = WordList::parse(bytes);

    WordList::Reader reader;
    const qsizetype step = size ? qsizetype(data[0] % 7) + 1 : 1;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        reader.feed(bytes.sliced(at, std::min(step, bytes.size() - at)));
    reader.finish();
    if (reader.words() != words)
        __builtin_trap();

    SpellingDictionary dictionary;
    dictionary.loadWords(words);
    for (const QString &w : words) {
        if (w.isEmpty() || w.size() > WordList::MaxWordBytes || w.contains(QLatin1Char('\r')) ||
            w.contains(QLatin1Char('\n')))
            __builtin_trap();
        if (!dictionary.contains(w))
            __builtin_trap();
        (void)WordList::encodeLine(w);
    }
    if (!words.isEmpty())
        (void)dictionary.suggestions(words.front() + QLatin1Char('x'), 10);
    // The same bytes as a text to find words in.
    const QString text = QString::fromUtf8(bytes);
    int from = 0;
    while (const auto w = SpellingWords::next(text, from)) {
        if (w->start < from || w->length <= 0 || w->start + w->length > text.size())
            __builtin_trap();
        from = w->start + w->length;
    }
    return 0;
}
