#include "content/SpellingDictionary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "content/SpellingSuggest.h"
#include "content/WordList.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/AppPaths.h"

namespace {

constexpr quint32 HashSeed = 2166136261u;

quint32 foldedHash(QStringView word)
{
    quint32 h = HashSeed;
    for (const QChar c : word) {
        h ^= SpellingDictionary::fold(c.unicode());
        h *= 16777619u;
    }
    return h;
}

bool foldedEqual(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (SpellingDictionary::fold(a[i].unicode()) != SpellingDictionary::fold(b[i].unicode()))
            return false;
    return true;
}

QString localeLanguage(const QByteArray &value)
{
    // British spellings everywhere English is not written the American way.
    if (value.startsWith("en_US") || value.startsWith("en_PH"))
        return QStringLiteral("en_US");
    return QStringLiteral("en_GB");
}

} // namespace

SpellingDictionary::SpellingDictionary() = default;
SpellingDictionary::~SpellingDictionary() = default;
SpellingDictionary::SpellingDictionary(SpellingDictionary &&other) noexcept = default;
SpellingDictionary &SpellingDictionary::operator=(SpellingDictionary &&other) noexcept = default;

char16_t SpellingDictionary::fold(char16_t c)
{
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    if (c == 0x2019 || c == 0x02BC)
        return u'\'';
    return QChar::toCaseFolded(c);
}

SpellingDictionary &SpellingDictionary::program()
{
    static SpellingDictionary dictionary;
    return dictionary;
}

void SpellingDictionary::resetProgram()
{
    program() = SpellingDictionary();
}

QString SpellingDictionary::languageFromLocale()
{
    for (const char *name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QByteArray value = qgetenv(name);
        if (!value.isEmpty())
            return localeLanguage(value);
    }
    return localeLanguage(QByteArray());
}

QString SpellingDictionary::language()
{
    const QString chosen = clsLibrary::instance()
                               .REGSTRREAD(clsLibrary::HKEY_CURRENT_USER,
                                           Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
                                           QStringLiteral("Spelling Language"), QString())
                               .trimmed();
    if (chosen == QLatin1String("en_GB") || chosen == QLatin1String("en_US"))
        return chosen;
    return languageFromLocale();
}

QString SpellingDictionary::shippedPath()
{
    const QString folder = AppPaths::programFolder();
    const QString own = folder + u'/' + language() + QStringLiteral("/Words.dic");
    if (QFileInfo::exists(own))
        return own;
    return AppPaths::shippedWordList();
}

QString SpellingDictionary::userPath()
{
    return AppPaths::userWordList();
}

void SpellingDictionary::ensureLoaded()
{
    if (m_loaded)
        return;
    m_loaded = true;
    m_language = language();
    m_notFound = !loadList(shippedPath(), true);
    // The user's own words count as common: they are the words this user writes.
    if (QFileInfo::exists(userPath()))
        loadList(userPath(), false);
    ++m_generation;
}

bool SpellingDictionary::reloadLanguage()
{
    if (!m_loaded || language() == m_language)
        return false;
    const QStringList added = m_added;
    const QStringList ignored = m_ignored;
    const bool dirty = m_dirty;
    clearWords();
    m_loaded = false;
    ensureLoaded();
    for (const QString &w : added)
        insert(w, 20, 0);
    for (const QString &w : ignored)
        insert(w, Unranked, RunOnly);
    m_added = added;
    m_ignored = ignored;
    m_dirty = dirty;
    return true;
}

bool SpellingDictionary::loadFile(const QString &path)
{
    m_loaded = true;
    m_notFound = !loadList(path, true);
    ++m_generation;
    return !m_notFound;
}

bool SpellingDictionary::loadList(const QString &path, bool ranked)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A read error keeps what was read before it.
    const QByteArray bytes = file.readAll();
    // The frequency classes beside a shipped list: "SIZE COUNT" lines, in file order.
    std::vector<std::pair<int, qsizetype>> classes;
    if (ranked) {
        QFile frq(QFileInfo(path).path() + QStringLiteral("/Words.frq"));
        if (frq.open(QIODevice::ReadOnly)) {
            for (const QByteArray &line : frq.readAll().split('\n')) {
                const QList<QByteArray> parts = line.simplified().split(' ');
                if (parts.size() == 2)
                    classes.emplace_back(std::clamp(parts[0].toInt(), 0, 255),
                                         parts[1].toLongLong());
            }
        }
    }
    m_chars.reserve(m_chars.size() + size_t(bytes.size()));
    m_entries.reserve(m_entries.size() + size_t(bytes.size() / 8));
    size_t cls = 0;
    qsizetype left = classes.empty() ? -1 : classes[0].second;
    const int userRank = 20;
    WordList::forEachWord(bytes, [&](QStringView w) {
        while (left == 0 && cls + 1 < classes.size())
            left = classes[++cls].second;
        const int rank = !ranked ? userRank : left > 0 ? classes[cls].first : Unranked;
        if (left > 0)
            --left;
        insert(w, rank, 0);
    });
    return true;
}

void SpellingDictionary::loadWords(const QStringList &words, int rank)
{
    m_loaded = true;
    for (const QString &w : words)
        insert(w, rank, 0);
    ++m_generation;
}

void SpellingDictionary::clearWords()
{
    m_chars.clear();
    m_entries.clear();
    m_hashes.clear();
    m_table.clear();
    m_suggest.reset();
    ++m_generation;
}

int SpellingDictionary::findExact(QStringView word, quint32 hash) const
{
    if (m_table.empty())
        return -1;
    const size_t mask = m_table.size() - 1;
    for (size_t slot = hash & mask; m_table[slot]; slot = (slot + 1) & mask) {
        const int e = int(m_table[slot] - 1);
        if (m_hashes[size_t(e)] == hash && entry(e) == word)
            return e;
    }
    return -1;
}

void SpellingDictionary::grow()
{
    const size_t size = std::max<size_t>(1024, m_table.size() * 2);
    m_table.assign(size, 0);
    const size_t mask = size - 1;
    for (size_t e = 0; e < m_entries.size(); ++e) {
        size_t slot = m_hashes[e] & mask;
        while (m_table[slot])
            slot = (slot + 1) & mask;
        m_table[slot] = quint32(e + 1);
    }
}

int SpellingDictionary::insert(QStringView word, int rank, quint8 flags)
{
    if (word.isEmpty() || word.size() > 0xFFFF)
        return -1;
    const quint32 hash = foldedHash(word);
    if (const int found = findExact(word, hash); found >= 0) {
        Entry &e = m_entries[size_t(found)];
        e.rank = quint8(std::min<int>(e.rank, rank));
        e.flags &= quint8(flags | Capital); // a listed word is no longer for this run only
        return found;
    }
    if ((m_entries.size() + 1) * 2 > m_table.size())
        grow();
    if (word.front().isUpper())
        flags |= Capital;
    const auto offset = quint32(m_chars.size());
    m_chars.insert(m_chars.end(), reinterpret_cast<const char16_t *>(word.data()),
                   reinterpret_cast<const char16_t *>(word.data()) + word.size());
    m_entries.push_back(
        Entry{offset, quint16(word.size()), quint8(std::clamp(rank, 0, 255)), flags});
    m_hashes.push_back(hash);
    const size_t mask = m_table.size() - 1;
    size_t slot = hash & mask;
    while (m_table[slot])
        slot = (slot + 1) & mask;
    m_table[slot] = quint32(m_entries.size());
    return int(m_entries.size() - 1);
}

bool SpellingDictionary::contains(QStringView word) const
{
    if (word.isEmpty() || m_table.empty())
        return false;
    const quint32 hash = foldedHash(word);
    const size_t mask = m_table.size() - 1;
    for (size_t slot = hash & mask; m_table[slot]; slot = (slot + 1) & mask) {
        const int e = int(m_table[slot] - 1);
        if (m_hashes[size_t(e)] != hash)
            continue;
        if (entryIsCapital(e) ? entry(e) == word : foldedEqual(entry(e), word))
            return true;
    }
    return false;
}

bool SpellingDictionary::containsDerived(QStringView word) const
{
    constexpr qsizetype MinWord = 7;
    constexpr qsizetype MinStem = 5;
    if (word.size() < MinWord)
        return false;
    QString w;
    w.reserve(word.size());
    for (const QChar c : word)
        w += QChar(fold(c.unicode()));
    auto known = [this](const QString &stem) {
        return stem.size() >= MinStem && !stem.contains(u'\'') && contains(stem);
    };
    static const char *const prefixes[] = {"un",    "re",    "non", "sub",  "over",
                                           "under", "mis",   "pre", "co",   "anti",
                                           "multi", "inter", "out", "semi", "counter"};
    for (const char *p : prefixes) {
        const QLatin1String prefix(p);
        if (w.startsWith(prefix) && known(w.mid(prefix.size())))
            return true;
    }
    // A suffix, what the stem gets back, the letter the stem must end with, its least length
    // ("welcome" + "rs", "license" - "e" + "ors", "copyright" + "able"). Suffixes that typing
    // slips imitate stay out: "-ment" ("arguement"), "-able" for an e ("noticable").
    struct Suffix
    {
        const char *suffix;
        const char *restore;
        char16_t last;
        qsizetype minStem;
    };
    static const Suffix suffixes[] = {{"rs", "", u'e', 7}, {"r", "", u'e', 7}, {"ors", "e", 0, 5},
                                      {"or", "e", 0, 5},   {"able", "", 0, 5}, {"less", "", 0, 5},
                                      {"ness", "", 0, 5},  {"ers", "", 0, 5},  {"er", "", 0, 5}};
    for (const Suffix &sfx : suffixes) {
        const QLatin1String suffix(sfx.suffix);
        if (!w.endsWith(suffix))
            continue;
        const QString stem = w.left(w.size() - suffix.size()) + QLatin1String(sfx.restore);
        if (stem.size() >= sfx.minStem && (!sfx.last || stem.endsWith(QChar(sfx.last))) &&
            !stem.endsWith(u'y') && known(stem))
            return true;
    }
    return false;
}

QString SpellingDictionary::spellingIgnoringCase(QStringView word) const
{
    if (word.isEmpty() || m_table.empty())
        return {};
    const quint32 hash = foldedHash(word);
    const size_t mask = m_table.size() - 1;
    int best = -1;
    for (size_t slot = hash & mask; m_table[slot]; slot = (slot + 1) & mask) {
        const int e = int(m_table[slot] - 1);
        if (m_hashes[size_t(e)] == hash && !entryIsRunOnly(e) && foldedEqual(entry(e), word) &&
            (best < 0 || e < best))
            best = e;
    }
    return best < 0 ? QString() : entry(best).toString();
}

QStringList SpellingDictionary::suggestions(QStringView word, int max) const
{
    if (!m_suggest || m_suggest->isStale(*this))
        m_suggest = std::make_unique<SpellingSuggest>(*this);
    return m_suggest->suggest(*this, word.trimmed(), max);
}

void SpellingDictionary::ignoreAll(const QString &word)
{
    const QString w = word.trimmed();
    if (w.isEmpty())
        return;
    insert(w, Unranked, RunOnly);
    m_ignored.append(w);
    ++m_generation;
}

bool SpellingDictionary::addWord(const QString &word)
{
    const QString w = word.trimmed().toLower();
    if (w.isEmpty())
        return false;
    if (const int found = findExact(w, foldedHash(w)); found >= 0 && !entryIsRunOnly(found))
        return false;
    insert(w, 20, 0);
    m_added.append(w);
    m_dirty = true;
    ++m_generation;
    return true;
}

SpellingDictionary::SaveResult SpellingDictionary::save()
{
    if (!m_dirty)
        return SaveResult::NothingToSave;
    const QString path = userPath();
    AppPaths::ensureFolder(QFileInfo(path).path());
    QFile file(path);
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
