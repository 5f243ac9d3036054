#include <QDir>
#include <QFile>
#include <QtTest>
#include <memory>

#include "content/SpellingDictionary.h"
#include "content/WordList.h"
#include "content/clsSpelling.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "support/ScriptedUiServices.h"
#include "support/TempSettings.h"

// The spelling engine without its dialog: the word list reader, the phonetic key, judging,
// suggestions, finding words and saving the user's additions.
class tst_Spelling : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;

    QString dicPath() const { return m_settings->programFolder() + QStringLiteral("/Words.dic"); }
    void writeDic(const QByteArray &bytes)
    {
        QFile f(dicPath());
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    QByteArray readDic() const
    {
        QFile f(dicPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static SpellingDictionary dictionaryOf(const QStringList &words)
    {
        SpellingDictionary d;
        d.loadWords(words);
        return d;
    }
    static clsSpelling::Checks noChecks() { return {false, false, false}; }

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        SpellingDictionary::resetProgram();
    }
    void cleanup()
    {
        SpellingDictionary::resetProgram();
        m_settings.reset();
    }

    void phoneticKey_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("key");
        QTest::newRow("spell") << "spell"
                               << "S100";
        QTest::newRow("hello") << "hello"
                               << "H000";
        QTest::newRow("one letter") << "a"
                                    << "A000";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("second repeats first") << "Bbq"
                                              << "B000";
        QTest::newRow("second repeats first in other case") << "sS"
                                                            << "S000";
        QTest::newRow("class 2") << "axe"
                                 << "A200";
        QTest::newRow("class 3") << "atom"
                                 << "A300";
        QTest::newRow("class 4") << "old"
                                 << "O400";
        QTest::newRow("class 5") << "am"
                                 << "A500";
        QTest::newRow("class 6") << "army"
                                 << "A600";
        QTest::newRow("only two letters count") << "tree"
                                                << "T600";
        QTest::newRow("digit second") << "x1"
                                      << "X000";
        QTest::newRow("accented first") << QString::fromUtf8("\xc3\xa9lan")
                                        << QString::fromUtf8("\xc3\x89"
                                                             "400");
        QTest::newRow("punctuation first") << "'twas"
                                           << "'300";
    }
    void phoneticKey()
    {
        QFETCH(QString, word);
        QFETCH(QString, key);
        QCOMPARE(WordList::phoneticKey(word), key);
    }

    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("CR LF lines") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two"};
        QTest::newRow("last line without CR LF")
            << QByteArray("one\r\ntwo") << QStringList{"one", "two"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("blank lines skipped")
            << QByteArray("\r\none\r\n\r\n  \r\ntwo\r\n") << QStringList{"one", "two"};
        QTest::newRow("LF only") << QByteArray("one\ntwo\n") << QStringList{"one", "two"};
        QTest::newRow("blanks around words dropped")
            << QByteArray(" one\t\r\ntwo  ") << QStringList{"one", "two"};
        QTest::newRow("Windows-1252")
            << QByteArray("caf\xe9\r\n") << QStringList{QString::fromUtf8("caf\xc3\xa9")};
        QTest::newRow("UTF-8") << QByteArray("caf\xc3\xa9\r\n")
                               << QStringList{QString::fromUtf8("caf\xc3\xa9")};
        QTest::newRow("mixed lines")
            << QByteArray("caf\xe9\r\nna\xc3\xafve\r\n")
            << QStringList{QString::fromUtf8("caf\xc3\xa9"), QString::fromUtf8("na\xc3\xafve")};
        QTest::newRow("overlong line skipped")
            << (QByteArray("a\r\n") + QByteArray(WordList::MaxWordBytes + 1, 'x') + "\r\nb")
            << QStringList{"a", "b"};
        QTest::newRow("longest line kept")
            << QByteArray(WordList::MaxWordBytes, 'x')
            << QStringList{QString(WordList::MaxWordBytes, QLatin1Char('x'))};
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        QCOMPARE(WordList::parse(bytes), words);
    }

    // A 70,000-byte list: a word cut by the 65,536-byte block boundary, and a CR LF cut by it,
    // load whole, from memory and from the file.
    void blockBoundary_data()
    {
        QTest::addColumn<int>("cut"); // offset of the boundary inside "boundaryword\r\n"
        QTest::newRow("inside the word") << 5;
        QTest::newRow("between CR and LF") << 13;
        QTest::newRow("before CR") << 12;
        QTest::newRow("at the word's start") << 0;
    }
    void blockBoundary()
    {
        QFETCH(int, cut);
        const int target = int(WordList::BlockSize) - cut; // where "boundaryword" starts
        QByteArray bytes;
        QStringList expected;
        for (int i = 0; bytes.size() + 20 < target; ++i) {
            const QByteArray w = "w" + QByteArray::number(i);
            bytes += w + "\r\n";
            expected << QString::fromLatin1(w);
        }
        const QByteArray filler(target - bytes.size() - 2, 'f');
        bytes += filler + "\r\n";
        expected << QString::fromLatin1(filler);
        QCOMPARE(bytes.size(), WordList::BlockSize - cut);
        bytes += "boundaryword\r\n";
        expected << "boundaryword";
        while (bytes.size() < 70000) {
            bytes += "tail\r\n";
            expected << "tail";
        }
        QCOMPARE(WordList::parse(bytes), expected);

        writeDic(bytes);
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        QVERIFY(!d.notFound());
        QCOMPARE(d.wordCount(), expected.size());
        QVERIFY(d.contains(QStringLiteral("boundaryword")));
        QVERIFY(!d.contains(QStringLiteral("boundary")));
    }

    void loadFile_data()
    {
        QTest::addColumn<bool>("present");
        QTest::addColumn<bool>("notFound");
        QTest::newRow("present") << true << false;
        QTest::newRow("missing") << false << true;
    }
    void loadFile()
    {
        QFETCH(bool, present);
        QFETCH(bool, notFound);
        if (present)
            writeDic("apple\r\nbanana");
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        QVERIFY(d.isLoaded());
        QCOMPARE(d.notFound(), notFound);
        QCOMPARE(d.contains(QStringLiteral("banana")), present);
        // Loaded once per run: a changed file is not read again.
        writeDic("cherry\r\n");
        d.ensureLoaded();
        QVERIFY(!d.contains(QStringLiteral("cherry")));
    }

    // A capitalised entry matches only its own spelling; any other entry matches in any case.
    void matching_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("known");
        QTest::newRow("London") << "London" << true;
        QTest::newRow("london") << "london" << false;
        QTest::newRow("LONDON") << "LONDON" << false;
        QTest::newRow("paris") << "paris" << true;
        QTest::newRow("Paris") << "Paris" << true;
        QTest::newRow("PARIS") << "PARIS" << true;
        QTest::newRow("pArIs") << "pArIs" << true;
        QTest::newRow("other word same bucket") << "Pari" << false;
        QTest::newRow("no bucket") << "zebra" << false;
        QTest::newRow("blanks trimmed") << " paris " << true;
    }
    void matching()
    {
        QFETCH(QString, word);
        QFETCH(bool, known);
        const SpellingDictionary d = dictionaryOf({"London", "paris", "parish"});
        QCOMPARE(clsSpelling::judge(word, noChecks(), d), known);
    }

    void checks_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("numbers");
        QTest::addColumn<bool>("capitals");
        QTest::addColumn<bool>("characters");
        QTest::addColumn<bool>("correct");
        QTest::newRow("NATO capitals on") << "NATO" << false << true << false << true;
        QTest::newRow("NATO capitals off") << "NATO" << false << false << false << false;
        QTest::newRow("NaTO capitals on") << "NaTO" << false << true << false << false;
        QTest::newRow("B2B numbers on") << "B2B" << true << false << false << true;
        QTest::newRow("B2B numbers off") << "B2B" << false << false << false << false;
        QTest::newRow("B0B numbers on: 0 does not count")
            << "B0B" << true << false << false << false;
        QTest::newRow("B2B characters on") << "B2B" << false << false << true << true;
        QTest::newRow("hello, characters on") << "hellx," << false << false << true << true;
        QTest::newRow("hello, characters off") << "hellx," << false << false << false << false;
        QTest::newRow("accent characters on")
            << QString::fromUtf8("caf\xc3\xa9") << false << false << true << true;
        QTest::newRow("bracket is a letter") << "ab[c" << false << false << true << false;
        QTest::newRow("known word everything off") << "apple" << false << false << false << true;
    }
    void checks()
    {
        QFETCH(QString, word);
        QFETCH(bool, numbers);
        QFETCH(bool, capitals);
        QFETCH(bool, characters);
        QFETCH(bool, correct);
        const SpellingDictionary d = dictionaryOf({"apple"});
        QCOMPARE(clsSpelling::judge(word, {numbers, capitals, characters}, d), correct);
    }

    // The preferences as the preferences dialog stores them.
    void checkSettings_data()
    {
        QTest::addColumn<QString>("stored"); // "<none>" for a missing value
        QTest::addColumn<bool>("on");
        QTest::newRow("missing is on") << "<none>" << true;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("-1") << "-1" << true;
        QTest::newRow("True") << "True" << true;
        QTest::newRow("false") << "false" << false;
        QTest::newRow("garbage is on") << "maybe" << true;
    }
    void checkSettings()
    {
        QFETCH(QString, stored);
        QFETCH(bool, on);
        const QString key = Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
        for (const char *name : {"Number Check", "Capitals Check", "Character Check"}) {
            SpellingDictionary::resetProgram();
            if (stored != QLatin1String("<none>"))
                QVERIFY(clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, key,
                                                           QLatin1String(name), stored));
            const clsSpelling::Checks c = clsSpelling::Checks::read();
            const bool value = QLatin1String(name) == QLatin1String("Number Check") ? c.numbers
                               : QLatin1String(name) == QLatin1String("Capitals Check")
                                   ? c.capitals
                                   : c.characters;
            QCOMPARE(value, on);
            // The others keep their defaults.
            QCOMPARE(int(c.numbers) + int(c.capitals) + int(c.characters), on ? 3 : 2);
            clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, key,
                                               QLatin1String(name), QStringLiteral("1"));
        }
    }

    // The preferences are read before each word: a change between two searches counts.
    void settingsReadPerWord()
    {
        const SpellingDictionary d = dictionaryOf({"apple"});
        const QString key = Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
        const QString text = QStringLiteral("apple NATO");
        QVERIFY(!clsSpelling::nextMisspelt(text, 0, d));
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, key,
                                           QStringLiteral("Capitals Check"), QStringLiteral("0"));
        const auto w = clsSpelling::nextMisspelt(text, 0, d);
        QVERIFY(w);
        QCOMPARE(w->text, QStringLiteral("NATO"));
        QCOMPARE(w->start, 6);
    }

    void nextWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("word");
        QTest::newRow("first") << "  hello world" << 0 << 2 << "hello";
        QTest::newRow("from the middle of a word") << "hello world" << 2 << 2 << "llo";
        QTest::newRow("after a word") << "hello world" << 5 << 6 << "world";
        QTest::newRow("line breaks count two") << "one\r\ntwo" << 3 << 5 << "two";
        QTest::newRow("tab and soft break") << "\tone\vtwo" << 4 << 5 << "two";
        QTest::newRow("punctuation stays") << "(well), yes" << 0 << 0 << "(well),";
        QTest::newRow("numbers skipped") << "12 apples" << 0 << 3 << "apples";
        QTest::newRow("leading number skipped") << "2nd place" << 0 << 4 << "place";
        QTest::newRow("zero is not skipped") << "0ops" << 0 << 0 << "0ops";
        QTest::newRow("decimal skipped") << "3.5 kg" << 0 << 4 << "kg";
        QTest::newRow("abbreviation one word") << "U.S.A. now" << 0 << 0 << "U.S.A.";
        QTest::newRow("end") << "hello   " << 5 << -1 << "";
        QTest::newRow("only numbers") << "1 2 3" << 0 << -1 << "";
        QTest::newRow("empty") << "" << 0 << -1 << "";
        QTest::newRow("past the end") << "abc" << 10 << -1 << "";
    }
    void nextWord()
    {
        QFETCH(QString, text);
        QFETCH(int, from);
        QFETCH(int, start);
        QFETCH(QString, word);
        const auto w = clsSpelling::nextWord(text, from);
        QCOMPARE(w ? w->start : -1, start);
        QCOMPARE(w ? w->text : QString(), word);
    }

    void suggestions_data()
    {
        QTest::addColumn<QStringList>("dictionary"); // empty: no dictionary file
        QTest::addColumn<QString>("word");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("replacement");
        const QStringList words{"speed", "spell", "spill", "sport", "hello"};
        QTest::newRow("longest common prefix")
            << words << "spel" << QStringList{"speed", "spell", "spill", "sport"} << true << 1
            << "spell";
        QTest::newRow("tie goes to the earlier")
            << words << "spx" << QStringList{"speed", "spell", "spill", "sport"} << true << 0
            << "speed";
        QTest::newRow("capitalised")
            << words << "Spel" << QStringList{"Speed", "Spell", "Spill", "Sport"} << true << 1
            << "Spell";
        QTest::newRow("capitals lower-cased first")
            << words << "SPILX" << QStringList{"Speed", "Spell", "Spill", "Sport"} << true << 2
            << "Spill";
        QTest::newRow("no common prefix")
            << QStringList{"Hugo"} << "hugx" << QStringList{"Hugo"} << true << -1 << "hugx";
        QTest::newRow("one letter in common")
            << QStringList{"bfoo", "pear"} << "bpx" << QStringList{"bfoo"} << true << 0 << "bfoo";
        QTest::newRow("no bucket")
            << words << "zebra" << QStringList{"No Suggestions"} << false << -1 << "zebra";
        QTest::newRow("dictionary not found")
            << QStringList{} << "spel" << QStringList{"Dictionary not found"} << false << -1
            << "spel";
        QTest::newRow("name typed in lower case")
            << QStringList{"Lorry", "London", "Londoner"} << "london" << QStringList{"London"}
            << true << 0 << "London";
        QTest::newRow("proper noun prefix with case")
            << QStringList{"Hugo", "hug"} << "hugx" << QStringList{"Hugo", "hug"} << true << 1
            << "hug";
    }
    void suggestions()
    {
        QFETCH(QStringList, dictionary);
        QFETCH(QString, word);
        QFETCH(QStringList, items);
        QFETCH(bool, enabled);
        QFETCH(int, selected);
        QFETCH(QString, replacement);
        SpellingDictionary d;
        if (dictionary.isEmpty())
            d.ensureLoaded(); // no file in the program folder
        else
            d.loadWords(dictionary);
        const clsSpelling::Suggestions s = clsSpelling::suggest(word, d);
        QCOMPARE(s.word, word);
        QCOMPARE(s.items, items);
        QCOMPARE(s.enabled, enabled);
        QCOMPARE(s.selected, selected);
        QCOMPARE(s.replacement, replacement);
    }

    // Added words are written once each, in lower case, after the existing list; Ignore All
    // words never are.
    void save_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("appended") << QByteArray("apple\r\n") << QStringList{"Zebra", "yak"}
                                  << QByteArray("apple\r\nzebra\r\nyak\r\n");
        QTest::newRow("added twice written once")
            << QByteArray("apple\r\n") << QStringList{"zebra", "Zebra", "zebra"}
            << QByteArray("apple\r\nzebra\r\n");
        QTest::newRow("already in the list")
            << QByteArray("apple\r\n") << QStringList{"Apple"} << QByteArray("apple\r\n");
        QTest::newRow("last line without CR LF")
            << QByteArray("apple") << QStringList{"zebra"} << QByteArray("apple\r\nzebra\r\n");
        QTest::newRow("empty file")
            << QByteArray("") << QStringList{"zebra"} << QByteArray("zebra\r\n");
        QTest::newRow("capitalised entry differs")
            << QByteArray("Bath\r\n") << QStringList{"Bath"} << QByteArray("Bath\r\nbath\r\n");
        QTest::newRow("Windows-1252 word")
            << QByteArray("apple\r\n") << QStringList{QString::fromUtf8("Caf\xc3\xa9")}
            << QByteArray("apple\r\ncaf\xe9\r\n");
        QTest::newRow("outside the code page")
            << QByteArray("apple\r\n") << QStringList{QString::fromUtf8("\xce\xb1\xce\xb2")}
            << QByteArray("apple\r\n\xce\xb1\xce\xb2\r\n");
    }
    void save()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, added);
        QFETCH(QByteArray, after);
        writeDic(before);
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        d.ignoreAll(QStringLiteral("ignored"));
        for (const QString &w : added)
            d.addWord(w);
        ScriptedUiServices ui;
        clsSpelling engine;
        QSignalSpy saved(&engine, &clsSpelling::Saved);
        QVERIFY(engine.SAVEDICT());
        QCOMPARE(saved.size(), 1);
        QCOMPARE(readDic(), after);
        QVERIFY(!d.isDirty());
        // A second save has nothing to write.
        QVERIFY(engine.SAVEDICT());
        QCOMPARE(readDic(), after);
        QVERIFY(ui.messages.isEmpty());
        // What was written loads back as the same words.
        SpellingDictionary::resetProgram();
        SpellingDictionary::program().ensureLoaded();
        for (const QString &w : added)
            QVERIFY(SpellingDictionary::program().contains(w.toLower()));
    }

    void saveWithoutDictionary()
    {
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        QVERIFY(d.notFound());
        d.addWord(QStringLiteral("zebra"));
        ScriptedUiServices ui;
        clsSpelling engine;
        QVERIFY(engine.SAVEDICT());
        QVERIFY(!QFile::exists(dicPath()));
        QVERIFY(!d.isDirty());
    }

    // The file cannot be written: the user is told, the words stay queued for the next save.
    void saveFails()
    {
        writeDic("apple\r\n");
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        d.addWord(QStringLiteral("zebra"));
        QVERIFY(QFile::remove(dicPath()));
        QVERIFY(QDir().mkdir(dicPath())); // a folder where the file was: nothing can be written
        ScriptedUiServices ui;
        clsSpelling engine;
        QSignalSpy saved(&engine, &clsSpelling::Saved);
        QVERIFY(!engine.SAVEDICT());
        QCOMPARE(saved.size(), 0);
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Save"));
        QVERIFY(ui.messages[0].text.contains(dicPath()));
        QVERIFY(d.isDirty());
        QCOMPARE(d.addedWords(), QStringList{"zebra"});
        QVERIFY(QDir().rmdir(dicPath()));
        writeDic("apple\r\n");
        QVERIFY(engine.SAVEDICT());
        QCOMPARE(readDic(), QByteArray("apple\r\nzebra\r\n"));
    }

    // Ignore All and Add take effect at once for the rest of the run.
    void additionsJudged_data()
    {
        QTest::addColumn<QString>("added");
        QTest::addColumn<bool>("ignoreAll");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("known");
        QTest::newRow("ignore all as typed") << "Zork" << true << "Zork" << true;
        QTest::newRow("ignore all capitalised is exact") << "Zork" << true << "zork" << false;
        QTest::newRow("ignore all lower case any case") << "zork" << true << "ZORK" << true;
        QTest::newRow("add is lower case") << "Zork" << false << "zork" << true;
        QTest::newRow("added any case") << "Zork" << false << "ZoRk" << true;
    }
    void additionsJudged()
    {
        QFETCH(QString, added);
        QFETCH(bool, ignoreAll);
        QFETCH(QString, word);
        QFETCH(bool, known);
        SpellingDictionary d = dictionaryOf({"apple"});
        if (ignoreAll)
            d.ignoreAll(added);
        else
            QVERIFY(d.addWord(added));
        QCOMPARE(d.contains(word), known);
        QCOMPARE(d.isDirty(), !ignoreAll);
    }

    // The list that ships beside the program: whole CR LF lines, no duplicates, ordinary words.
    void shippedList()
    {
        QFile f(QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR "/Words.dic"));
        if (!f.open(QIODevice::ReadOnly))
            QSKIP("no word list in the build's data folder");
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
        const QStringList words = WordList::parse(bytes);
        QVERIFY(words.size() > 2000);
        QCOMPARE(QSet<QString>(words.begin(), words.end()).size(), words.size());
        const SpellingDictionary d = dictionaryOf(words);
        for (const char *w : {"the", "spelling", "document", "London", "Monday", "I"})
            QVERIFY2(d.contains(QLatin1String(w)), w);
    }
};

QTEST_MAIN(tst_Spelling)
#include "tst_spelling.moc"
