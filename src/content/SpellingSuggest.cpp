#include "content/SpellingSuggest.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "content/SpellingDictionary.h"

namespace {

quint64 mix(quint64 h)
{
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// The key of s without the character at skip (-1: none).
quint64 keyOf(const char16_t *s, int n, int skip)
{
    quint64 h = 1469598103934665603ULL;
    for (int i = 0; i < n; ++i) {
        if (i == skip)
            continue;
        h ^= s[i];
        h *= 1099511628211ULL;
    }
    return mix(h ^ quint64(n - (skip >= 0 ? 1 : 0)));
}

// Keyboard neighbours on a QWERTY layout.
struct Keyboard
{
    std::array<std::array<bool, 26>, 26> near{};
    Keyboard()
    {
        const char *rows[3] = {"qwertyuiop", "asdfghjkl", "zxcvbnm"};
        auto link = [this](char a, char b) {
            near[size_t(a - 'a')][size_t(b - 'a')] = near[size_t(b - 'a')][size_t(a - 'a')] = true;
        };
        for (int r = 0; r < 3; ++r) {
            const int len = int(strlen(rows[r]));
            for (int c = 0; c < len; ++c) {
                if (c + 1 < len)
                    link(rows[r][c], rows[r][c + 1]);
                if (r < 2) {
                    const int below = int(strlen(rows[r + 1]));
                    if (c < below)
                        link(rows[r][c], rows[r + 1][c]);
                    if (c - 1 >= 0 && c - 1 < below)
                        link(rows[r][c], rows[r + 1][c - 1]);
                }
            }
        }
    }
};

bool isVowel(char16_t c)
{
    return c == u'a' || c == u'e' || c == u'i' || c == u'o' || c == u'u' || c == u'y';
}

bool nearKeys(char16_t a, char16_t b)
{
    static const Keyboard keyboard;
    if (a < u'a' || a > u'z' || b < u'a' || b > u'z')
        return false;
    return keyboard.near[size_t(a - u'a')][size_t(b - u'a')];
}

bool soundAlike(char16_t a, char16_t b)
{
    static const char16_t pairs[][2] = {{u'c', u'k'}, {u'c', u's'}, {u's', u'z'}, {u'k', u'q'},
                                        {u'g', u'j'}, {u'm', u'n'}, {u'f', u'v'}, {u'd', u't'}};
    for (const auto &p : pairs)
        if ((a == p[0] && b == p[1]) || (a == p[1] && b == p[0]))
            return true;
    return false;
}

// Letters a plain ASCII letter may stand for, to compare accented words ("cafe", "café").
char16_t base(char16_t c)
{
    if (c < 0xC0)
        return c;
    const QString d = QString(QChar(c)).normalized(QString::NormalizationForm_D);
    return d.isEmpty() ? c : char16_t(d[0].unicode());
}

constexpr int Edit = 10;

int substitution(char16_t a, char16_t b)
{
    if (a == b)
        return 0;
    if (base(a) == base(b))
        return 2;
    if ((isVowel(a) && isVowel(b)) || soundAlike(a, b))
        return 6;
    if (nearKeys(a, b))
        return 7;
    return Edit;
}

// Spellings that sound alike, one written with a letter more than the other.
struct Digraph
{
    char16_t one;
    char16_t two[2];
};
constexpr Digraph Digraphs[] = {{u'f', {u'p', u'h'}}, {u'k', {u'c', u'k'}}, {u'k', {u'c', u'h'}},
                                {u's', {u's', u'c'}}, {u'j', {u'd', u'g'}}, {u'x', {u'k', u's'}},
                                {u'w', {u'w', u'h'}}, {u'r', {u'w', u'r'}}, {u'n', {u'k', u'n'}},
                                {u'f', {u'g', u'h'}}, {u's', {u'c', u'e'}}, {u'c', {u'c', u'h'}}};

// Whether a word starting with b may be meant by a typed word starting with a: the same letter,
// or letters and spellings that sound alike ("fone" for "phone").
bool sameStart(char16_t a, char16_t b)
{
    if (a == b || soundAlike(a, b) || (isVowel(a) && isVowel(b)))
        return true;
    for (const Digraph &g : Digraphs)
        if ((a == g.one && b == g.two[0]) || (b == g.one && a == g.two[0]))
            return true;
    return false;
}

} // namespace

int SpellingSuggest::cost(QStringView typedView, QStringView wordView, int limit)
{
    const int n = int(typedView.size());
    const int m = int(wordView.size());
    if (n > MaxLength || m > MaxLength)
        return limit + 1;
    const auto *a = reinterpret_cast<const char16_t *>(typedView.data());
    const auto *b = reinterpret_cast<const char16_t *>(wordView.data());
    int d[MaxLength + 1][MaxLength + 1];
    // Typed has an extra a[i-1].
    auto extra = [&](int i) {
        const char16_t c = a[i - 1];
        if ((i >= 2 && a[i - 2] == c) || (i < n && a[i] == c))
            return 4;
        if (c == u'\'')
            return 3;
        if (c == u'e' && i == n) // a silent e too many at the end
            return 6;
        if ((i >= 2 && nearKeys(a[i - 2], c)) || (i < n && nearKeys(a[i], c)))
            return 7;
        if (isVowel(c))
            return 8;
        return Edit;
    };
    // Typed lacks b[j-1].
    auto missing = [&](int j) {
        const char16_t c = b[j - 1];
        if ((j >= 2 && b[j - 2] == c) || (j < m && b[j] == c))
            return 4;
        if (c == u'\'')
            return 3;
        if (c == u'e') // the letter most often left out
            return 6;
        if (isVowel(c))
            return 8;
        return Edit;
    };
    d[0][0] = 0;
    for (int i = 1; i <= n; ++i)
        d[i][0] = d[i - 1][0] + extra(i);
    for (int j = 1; j <= m; ++j)
        d[0][j] = d[0][j - 1] + missing(j);
    for (int i = 1; i <= n; ++i) {
        int rowMin = d[i][0];
        for (int j = 1; j <= m; ++j) {
            int v = std::min({d[i - 1][j] + extra(i), d[i][j - 1] + missing(j),
                              d[i - 1][j - 1] + substitution(a[i - 1], b[j - 1])});
            if (i >= 2 && j >= 2 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1] &&
                a[i - 1] != a[i - 2])
                v = std::min(v, d[i - 2][j - 2] + 5);
            // One letter typed for the word's two sounds alike more often than the other way.
            for (const Digraph &g : Digraphs) {
                if (j >= 2 && a[i - 1] == g.one && b[j - 2] == g.two[0] && b[j - 1] == g.two[1])
                    v = std::min(v, d[i - 1][j - 2] + 5);
                if (i >= 2 && b[j - 1] == g.one && a[i - 2] == g.two[0] && a[i - 1] == g.two[1])
                    v = std::min(v, d[i - 2][j - 1] + 7);
            }
            d[i][j] = v;
            rowMin = std::min(rowMin, v);
        }
        if (rowMin > limit)
            return limit + 1;
    }
    return d[n][m];
}

SpellingSuggest::SpellingSuggest(const SpellingDictionary &dictionary)
{
    m_indexed = dictionary.entryCount();
    std::vector<std::pair<quint64, quint32>> pairs;
    pairs.reserve(size_t(m_indexed) * 10);
    char16_t folded[MaxLength];
    for (int e = 0; e < m_indexed; ++e) {
        const QStringView w = dictionary.entry(e);
        if (dictionary.entryIsRunOnly(e) || w.size() > MaxLength)
            continue;
        const int n = int(w.size());
        for (int i = 0; i < n; ++i)
            folded[i] = SpellingDictionary::fold(w[i].unicode());
        pairs.emplace_back(keyOf(folded, n, -1), quint32(e));
        for (int i = 0; i < n; ++i)
            if (i == 0 || folded[i] != folded[i - 1]) // a doubled letter gives one key
                pairs.emplace_back(keyOf(folded, n, i), quint32(e));
    }
    // Entries sorted by bucket (the key's top bits) with a counting sort.
    m_bits = 10;
    while (m_bits < 24 && (size_t(1) << m_bits) < pairs.size())
        ++m_bits;
    const int shift = 64 - m_bits;
    m_directory.assign((size_t(1) << m_bits) + 1, 0);
    for (const auto &p : pairs)
        ++m_directory[size_t(p.first >> shift) + 1];
    for (size_t i = 1; i < m_directory.size(); ++i)
        m_directory[i] += m_directory[i - 1];
    m_check.resize(pairs.size());
    m_ids.resize(pairs.size());
    std::vector<quint32> fill(m_directory.begin(), m_directory.end() - 1);
    for (const auto &p : pairs) {
        const quint32 at = fill[size_t(p.first >> shift)]++;
        m_check[at] = quint32(p.first);
        m_ids[at] = p.second;
    }
}

bool SpellingSuggest::isStale(const SpellingDictionary &dictionary) const
{
    return dictionary.entryCount() - m_indexed > 2000;
}

void SpellingSuggest::lookup(quint64 key)
{
    const size_t bucket = size_t(key >> (64 - m_bits));
    const auto check = quint32(key);
    for (quint32 i = m_directory[bucket], end = m_directory[bucket + 1]; i < end; ++i) {
        if (m_check[i] != check)
            continue;
        const quint32 id = m_ids[i];
        if (m_stamp[id] != m_query) {
            m_stamp[id] = m_query;
            m_found.push_back(int(id));
        }
    }
}

// Looks up s and every string one deletion away from it.
void SpellingSuggest::collect(const char16_t *s, int n)
{
    lookup(keyOf(s, n, -1));
    for (int i = 0; i < n; ++i)
        if (i == 0 || s[i] != s[i - 1])
            lookup(keyOf(s, n, i));
}

QStringList SpellingSuggest::suggest(const SpellingDictionary &dictionary, QStringView word,
                                     int max)
{
    const int n = int(word.size());
    if (n == 0 || n > MaxLength || max <= 0)
        return {};
    char16_t q[MaxLength];
    for (int i = 0; i < n; ++i)
        q[i] = SpellingDictionary::fold(word[i].unicode());
    const QStringView typed(q, n);

    if (m_stamp.size() < size_t(dictionary.entryCount()))
        m_stamp.resize(size_t(dictionary.entryCount()), 0);
    if (++m_query == 0) {
        std::fill(m_stamp.begin(), m_stamp.end(), 0);
        m_query = 1;
    }
    m_found.clear();

    // Strings one edit away from the typed word, each looked up with its deletions.
    static const char16_t alphabet[] = u"abcdefghijklmnopqrstuvwxyz'";
    const int letters = int(std::size(alphabet)) - 1;
    char16_t buf[MaxLength + 1];
    collect(q, n);
    for (int i = 0; i < n; ++i) {
        // Deletion.
        int k = 0;
        for (int j = 0; j < n; ++j)
            if (j != i)
                buf[k++] = q[j];
        collect(buf, n - 1);
        // Transposition.
        if (i + 1 < n && q[i] != q[i + 1]) {
            std::copy(q, q + n, buf);
            std::swap(buf[i], buf[i + 1]);
            collect(buf, n);
        }
        // Substitution.
        std::copy(q, q + n, buf);
        for (int l = 0; l < letters; ++l) {
            if (alphabet[l] == q[i])
                continue;
            buf[i] = alphabet[l];
            collect(buf, n);
        }
    }
    // Insertion.
    if (n < MaxLength) {
        for (int i = 0; i <= n; ++i) {
            std::copy(q, q + i, buf);
            std::copy(q + i, q + n, buf + i + 1);
            for (int l = 0; l < letters; ++l) {
                buf[i] = alphabet[l];
                collect(buf, n + 1);
            }
        }
    }
    // Words added since the index was made.
    for (int e = m_indexed; e < dictionary.entryCount(); ++e)
        if (m_stamp[size_t(e)] != m_query) {
            m_stamp[size_t(e)] = m_query;
            m_found.push_back(e);
        }

    struct Scored
    {
        int score;
        int cost;
        int id;
    };
    std::vector<Scored> scored;
    const int limit = n <= 3 ? 16 : 26;
    char16_t folded[MaxLength];
    const bool typedHasApostrophe = typed.contains(u'\'');
    for (const int id : m_found) {
        if (dictionary.entryIsRunOnly(id))
            continue;
        const QStringView w = dictionary.entry(id);
        if (w.size() > MaxLength)
            continue;
        for (qsizetype i = 0; i < w.size(); ++i)
            folded[i] = SpellingDictionary::fold(w[i].unicode());
        const QStringView f(folded, w.size());
        const int c = cost(typed, f, limit);
        if (c > limit || c == 0)
            continue;
        int score = c;
        const int rank = dictionary.entryRank(id);
        score += rank <= 10   ? 0
                 : rank <= 20 ? 1
                 : rank <= 35 ? 3
                 : rank <= 40 ? 4
                 : rank <= 50 ? 5
                              : 6;
        const bool swappedStart = n > 1 && f.size() > 1 && typed[0] == f[1] && typed[1] == f[0];
        if (!swappedStart && !sameStart(typed[0].unicode(), f[0].unicode()))
            score += 4;
        if (dictionary.entryIsCapital(id) && !word.front().isUpper())
            score += 3;
        if (!typedHasApostrophe && f.contains(u'\''))
            score += 4;
        scored.push_back({score, c, id});
    }
    std::sort(scored.begin(), scored.end(), [&](const Scored &x, const Scored &y) {
        if (x.score != y.score)
            return x.score < y.score;
        if (x.cost != y.cost)
            return x.cost < y.cost;
        return x.id < y.id;
    });
    QStringList result;
    for (const Scored &s : scored) {
        const QString w = dictionary.entry(s.id).toString();
        if (!result.contains(w))
            result.append(w);
        if (result.size() >= max)
            break;
    }
    return result;
}
