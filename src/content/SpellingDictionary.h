#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// The spelling checker's word list as loaded for the program run: words grouped in buckets by
// their phonetic key, the words the user added since the last save, and the flags the checker
// keeps. One instance serves the whole run (program()); it is loaded once and shared by every
// check after that.
class SpellingDictionary
{
public:
    // Words sharing one phonetic key, in the order they were added (file order, then additions).
    struct Bucket
    {
        QStringList words;
        // For lookups: the words starting with a capital as they are, the others case-folded.
        QSet<QString> exact;
        QSet<QString> folded;
    };

    enum class SaveResult { Saved, NothingToSave, NotFound, Failed };

    // The dictionary of the program run.
    static SpellingDictionary &program();
    // Forgets the program's dictionary, as at the start of a run (tests).
    static void resetProgram();

    // The file: "Words.dic" in the program's folder.
    static QString filePath();

    // Loads the file unless it is loaded already. A missing or unreadable file sets notFound();
    // what was read before an error stays loaded.
    void ensureLoaded();
    // Loads words from a list in memory (adds to what is there) and marks the dictionary loaded.
    void loadWords(const QStringList &words);
    bool isLoaded() const { return m_loaded; }
    bool notFound() const { return m_notFound; }
    bool isDirty() const { return m_dirty; }
    const QStringList &addedWords() const { return m_added; }
    qsizetype wordCount() const { return m_count; }

    // Whether the dictionary knows the (trimmed) word: a dictionary word starting with a capital
    // matches exactly, any other matches ignoring case.
    bool contains(const QString &word) const;
    // The bucket for word's phonetic key, or nullptr when there is none.
    const Bucket *bucketFor(const QString &word) const;

    // Accepts word for the rest of the run without writing it to the file.
    void ignoreAll(const QString &word);
    // Adds word in lower case to the dictionary and to the words to save, unless its bucket
    // already holds exactly that spelling. True when it was added.
    bool addWord(const QString &word);
    // Appends the added words to the file in lower case, CR LF after each, and clears the dirty
    // flag. The file is only appended to, so its existing words survive any failure; on a
    // failure the words stay queued for the next save.
    SaveResult save();

private:
    void insert(const QString &word);

    QHash<QString, Bucket> m_buckets;
    QStringList m_added;
    qsizetype m_count = 0;
    bool m_loaded = false;
    bool m_notFound = false;
    bool m_dirty = false;
};
