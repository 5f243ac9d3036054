#include "content/SpellingDictionary.h"

#include <QFile>

#include "content/WordList.h"
#include "platform/AppPaths.h"

namespace {

bool startsWithCapital(const QString &word)
{
    return !word.isEmpty() && word[0].isUpper();
}

} // namespace

SpellingDictionary &SpellingDictionary::program()
{
    static SpellingDictionary dictionary;
    return dictionary;
}

void SpellingDictionary::resetProgram()
{
    program() = SpellingDictionary();
}

QString SpellingDictionary::filePath()
{
    return AppPaths::programFolder() + QStringLiteral("/Words.dic");
}

void SpellingDictionary::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    QFile file(filePath());
    if (!file.exists() || !file.open(QIODevice::ReadOnly)) {
        m_notFound = true;
        return;
    }
    WordList::Reader reader;
    QByteArray block(WordList::BlockSize, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(block.data(), block.size());
        if (got <= 0)
            break; // end of file, or a read error: keep what was read
        reader.feed(QByteArrayView(block.constData(), got));
        for (const QString &w : reader.words())
            insert(w);
        reader.takeWords();
    }
    reader.finish();
    for (const QString &w : reader.words())
        insert(w);
}

void SpellingDictionary::loadWords(const QStringList &words)
{
    m_loaded = true;
    for (const QString &w : words)
        insert(w);
}

void SpellingDictionary::insert(const QString &word)
{
    const QString key = WordList::phoneticKey(word);
    if (key.isEmpty())
        return;
    Bucket &bucket = m_buckets[key];
    bucket.words.append(word);
    if (startsWithCapital(word))
        bucket.exact.insert(word);
    else
        bucket.folded.insert(word.toCaseFolded());
    ++m_count;
}

const SpellingDictionary::Bucket *SpellingDictionary::bucketFor(const QString &word) const
{
    const auto it = m_buckets.constFind(WordList::phoneticKey(word));
    return it == m_buckets.cend() ? nullptr : &it.value();
}

bool SpellingDictionary::contains(const QString &word) const
{
    const QString w = word.trimmed();
    const Bucket *bucket = bucketFor(w);
    if (!bucket)
        return false;
    return bucket->exact.contains(w) || bucket->folded.contains(w.toCaseFolded());
}

void SpellingDictionary::ignoreAll(const QString &word)
{
    const QString w = word.trimmed();
    if (!w.isEmpty())
        insert(w);
}

bool SpellingDictionary::addWord(const QString &word)
{
    const QString w = word.trimmed().toLower();
    if (w.isEmpty())
        return false;
    if (const Bucket *bucket = bucketFor(w); bucket && bucket->words.contains(w))
        return false;
    insert(w);
    m_added.append(w);
    m_dirty = true;
    return true;
}

SpellingDictionary::SaveResult SpellingDictionary::save()
{
    if (!m_dirty)
        return SaveResult::NothingToSave;
    if (m_notFound) {
        m_dirty = false;
        return SaveResult::NotFound;
    }
    QFile file(filePath());
    if (!file.open(QIODevice::ReadWrite))
        return SaveResult::Failed;
    const qint64 oldSize = file.size();
    QByteArray data;
    if (oldSize > 0) {
        // A last line without its line end must not run into the first added word.
        char last = 0;
        if (!file.seek(oldSize - 1) || !file.getChar(&last))
            return SaveResult::Failed;
        if (last != '\n' && last != '\r')
            data.append("\r\n");
    }
    for (const QString &w : std::as_const(m_added))
        data.append(WordList::encodeLine(w.toLower()));
    const bool written = file.seek(oldSize) && file.write(data) == data.size() && file.flush();
    if (!written) {
        // Take back a partly written tail so the list ends with whole lines as before.
        file.resize(oldSize);
        return SaveResult::Failed;
    }
    file.close();
    m_added.clear();
    m_dirty = false;
    return SaveResult::Saved;
}
