#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <memory>
#include <vector>

class SpellingSuggest;

// The spelling checker's word list as loaded for the program run: the shipped list of the
// user's language (read-only), then the user's own list of added words, then the words added
// and ignored during the run. One instance serves the whole run (program()); it is loaded once
// and shared by every check after that.
//
// Words are kept in one block of characters with an open-addressing hash table over their
// case-folded spellings, so a lookup costs the same whatever the size of the list.
class SpellingDictionary
{
public:
    enum class SaveResult { Saved, NothingToSave, Failed };

    // How common a word is: the size class of the list it came from (10 the most common words of
    // English, 20, 35, 40, 50, ... rarer), or Unranked when the list says nothing.
    static constexpr int Unranked = 60;

    SpellingDictionary();
    ~SpellingDictionary();
    SpellingDictionary(SpellingDictionary &&other) noexcept;
    SpellingDictionary &operator=(SpellingDictionary &&other) noexcept;

    // The dictionary of the program run.
    static SpellingDictionary &program();
    // Forgets the program's dictionary, as at the start of a run (tests).
    static void resetProgram();

    // The language of the shipped list: "en_GB" or "en_US", from the preference "Spelling
    // Language" when it names one, else from the locale (LC_ALL, LC_MESSAGES, LANG).
    static QString language();
    static QString languageFromLocale();
    // The shipped list: "<language>/Words.dic" in the program's folder, or "Words.dic" there
    // when the language has no list of its own.
    static QString shippedPath();
    // The user's list of added words: "Words.dic" in the user's data folder.
    static QString userPath();

    // Loads the shipped list and the user's list unless loaded already. A missing or unreadable
    // shipped list sets notFound(); what was read before an error stays loaded.
    void ensureLoaded();
    // When the language has changed since loading, loads the other shipped list, keeping the
    // user's list and the words added or ignored during the run. True when it reloaded.
    bool reloadLanguage();
    // Loads a word list file (instead of the shipped one), with the frequency classes of a
    // Words.frq beside it when there is one: false when it cannot be read.
    bool loadFile(const QString &path);
    // Adds words from a list in memory and marks the dictionary loaded.
    void loadWords(const QStringList &words, int rank = Unranked);
    bool isLoaded() const { return m_loaded; }
    bool notFound() const { return m_notFound; }
    bool isDirty() const { return m_dirty; }
    const QStringList &addedWords() const { return m_added; }
    qsizetype wordCount() const { return qsizetype(m_entries.size()); }
    // Changes each time a word is added or ignored or the list is reloaded.
    quint64 generation() const { return m_generation; }

    // Whether the dictionary knows the word: a dictionary word starting with a capital matches
    // exactly, any other matches ignoring case.
    bool contains(QStringView word) const;
    // Whether word is a word of the list with a common prefix or suffix that the list leaves
    // out ("relicensing", "welcomers", "copyrightable"): only words of seven letters or more
    // made of a lower-case list word of five letters or more.
    bool containsDerived(QStringView word) const;
    // The dictionary's spelling of word when it has one equal to it ignoring case (a name typed
    // in lower case); the first such word in list order.
    QString spellingIgnoringCase(QStringView word) const;
    // Up to max words close to word, best first (see SpellingSuggest).
    QStringList suggestions(QStringView word, int max) const;

    // Accepts word for the rest of the run without writing it to the file.
    void ignoreAll(const QString &word);
    // Adds word in lower case to the dictionary and to the words to save, unless the dictionary
    // already holds exactly that spelling. True when it was added.
    bool addWord(const QString &word);
    // Appends the added words to the user's list (created when missing) in lower case, CR LF
    // after each, and clears the dirty flag. The file is only appended to, so its existing words
    // survive any failure; on a failure the words stay queued for the next save.
    SaveResult save();

    // The words as stored, for the suggestion index.
    int entryCount() const { return int(m_entries.size()); }
    QStringView entry(int index) const
    {
        const Entry &e = m_entries[size_t(index)];
        return QStringView(m_chars.data() + e.offset, e.length);
    }
    int entryRank(int index) const { return m_entries[size_t(index)].rank; }
    bool entryIsCapital(int index) const { return m_entries[size_t(index)].flags & Capital; }
    bool entryIsRunOnly(int index) const { return m_entries[size_t(index)].flags & RunOnly; }

    // The case-folded form of a character as lookups compare it.
    static char16_t fold(char16_t c);

private:
    enum Flag : quint8 { Capital = 1, RunOnly = 2 };
    struct Entry
    {
        quint32 offset;
        quint16 length;
        quint8 rank;
        quint8 flags;
    };

    // Adds a word unless the same spelling is there; returns its index.
    int insert(QStringView word, int rank, quint8 flags);
    int findExact(QStringView word, quint32 hash) const;
    void grow();
    bool loadList(const QString &path, bool ranked);
    void clearWords();

    std::vector<char16_t> m_chars;
    std::vector<Entry> m_entries;
    std::vector<quint32> m_hashes; // folded hash of each entry
    std::vector<quint32> m_table;  // entry index + 1, 0 for a free slot
    mutable std::unique_ptr<SpellingSuggest> m_suggest;
    QStringList m_added;
    QStringList m_ignored;
    QString m_language;
    quint64 m_generation = 0;
    bool m_loaded = false;
    bool m_notFound = false;
    bool m_dirty = false;
};
