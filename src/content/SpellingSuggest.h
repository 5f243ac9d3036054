#pragma once

#include <QStringList>
#include <QStringView>
#include <vector>

class SpellingDictionary;

// Ranked suggestions for a misspelt word from the whole dictionary.
//
// Candidates: every word within two edits (deletion, insertion, substitution, transposition of
// neighbours) of the typed word, found through a symmetric-delete index: each dictionary word is
// filed under itself and under each string one deletion away from it. A candidate two edits away
// shares one of those keys with a string one edit away from the typed word, so the query makes
// the few hundred strings one edit away and looks up each of them and its deletions. That costs
// a few thousand hash lookups whatever the size of the list, where a BK-tree would compute the
// edit distance to a tenth of the list or more for a radius of two.
//
// Ranking: a weighted edit distance (cost()) plus a penalty for rarer words, names and
// possessives, and for a changed first letter.
class SpellingSuggest
{
public:
    // Indexes the words of dictionary present now; words added later are searched one by one.
    explicit SpellingSuggest(const SpellingDictionary &dictionary);

    // Whether so many words were added since the index was made that it should be made again.
    bool isStale(const SpellingDictionary &dictionary) const;
    // Up to max words of dictionary close to word, best first, as the dictionary spells them.
    QStringList suggest(const SpellingDictionary &dictionary, QStringView word, int max);

    // The weighted edit distance from typed to word, both case-folded, in tenths of an ordinary
    // edit: a doubled or undoubled letter, a missing apostrophe, a neighbouring key, a vowel for
    // a vowel, two letters swapped and spellings that sound alike ("ph" for "f") cost less.
    // Stops early and returns a value above limit when the distance exceeds it.
    static int cost(QStringView typed, QStringView word, int limit = 1000);

    // Words longer than this are neither indexed nor corrected.
    static constexpr int MaxLength = 40;

private:
    void lookup(quint64 key);
    void collect(const char16_t *s, int n);

    std::vector<quint32> m_directory; // first entry of each bucket of key's top bits
    std::vector<quint32> m_check;     // the key's low 32 bits, to tell keys of one bucket apart
    std::vector<quint32> m_ids;       // the word of each entry
    int m_bits = 0;
    int m_indexed = 0; // words [0, m_indexed) of the dictionary are in the index
    // Query state: which words were already found for the current query.
    std::vector<quint32> m_stamp;
    quint32 m_query = 0;
    std::vector<int> m_found;
};
