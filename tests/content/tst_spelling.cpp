#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>
#include <memory>

#include "content/SpellingDictionary.h"
#include "content/SpellingWords.h"
#include "content/WordList.h"
#include "content/clsSpelling.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "support/ScriptedUiServices.h"
#include "support/TempSettings.h"

// The spelling engine without its dialog: the word list file, word boundaries, judging,
// suggestions and their ranking, the language of the list and the user's own list.
class tst_Spelling : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;

    QString shipped() const { return m_settings->programFolder() + QStringLiteral("/Words.dic"); }
    QString user() const { return AppPaths::userWordList(); }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    static QByteArray read(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static void setPref(const QString &name, const QString &value)
    {
        QVERIFY(clsLibrary::instance().REGSTRWRITE(
            clsLibrary::HKEY_CURRENT_USER, Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
            name, value));
    }
    static SpellingDictionary dictionaryOf(const QStringList &words)
    {
        SpellingDictionary d;
        d.loadWords(words);
        return d;
    }
    // The list the build generates, or nullptr (the test then skips).
    static const SpellingDictionary *shippedList()
    {
        static const std::unique_ptr<SpellingDictionary> list = [] {
            auto d = std::make_unique<SpellingDictionary>();
            return d->loadFile(QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR "/en_GB/Words.dic"))
                       ? std::move(d)
                       : nullptr;
        }();
        return list.get();
    }

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

    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("words");
        QTest::newRow("CR LF, last line without")
            << QByteArray("one\r\ntwo\r\nthree") << QStringList{"one", "two", "three"};
        QTest::newRow("blank lines and blanks skipped, LF only")
            << QByteArray("\r\n one\t\n\n  \ntwo  ") << QStringList{"one", "two"};
        QTest::newRow("Windows-1252 and UTF-8 lines")
            << QByteArray("caf\xe9\r\nna\xc3\xafve\r\n")
            << QStringList{QString::fromUtf8("caf\xc3\xa9"), QString::fromUtf8("na\xc3\xafve")};
        QTest::newRow("overlong line skipped")
            << (QByteArray("a\r\n") + QByteArray(WordList::MaxWordBytes + 1, 'x') + "\r\nb")
            << QStringList{"a", "b"};
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, words);
        QCOMPARE(WordList::parse(bytes), words);
        WordList::Reader reader; // the same bytes fed across block boundaries
        for (qsizetype at = 0; at < bytes.size(); at += 3)
            reader.feed(
                QByteArrayView(bytes).sliced(at, std::min<qsizetype>(3, bytes.size() - at)));
        reader.finish();
        QCOMPARE(reader.words(), words);
    }

    // Punctuation around a word is not judged, apostrophes inside are, hyphenated words are
    // judged part by part, numbers and addresses are skipped.
    void wordBoundaries_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words"); // "start:text" of each word
        QTest::newRow("punctuation")
            << QString::fromUtf8("\xe2\x80\x9cWell,\xe2\x80\x9d (she) said: "
                                 "\"yes\"; no! [maybe]\xe2\x80\x94"
                                 "fine.")
            << QStringList{"1:Well", "9:she", "14:said", "21:yes", "27:no", "32:maybe", "39:fine"};
        QTest::newRow("apostrophes")
            << QString::fromUtf8("don't parish's o'clock can\xe2\x80\x99t 'tis dogs' end'")
            << QStringList{"0:don't", "6:parish's", "15:o'clock", "23:can't",
                           "30:tis",  "34:dogs",    "40:end"};
        QTest::newRow("hyphens and slashes")
            << "well-known self-\r\nmade and/or"
            << QStringList{"0:well", "5:known", "11:self", "18:made", "23:and", "27:or"};
        QTest::newRow("numbers") << "12 apples, 3.5 kg, 1,000 men at 10:30, 2nd B2B 0ops 1990s"
                                 << QStringList{"3:apples", "15:kg",  "25:men",
                                                "29:at",    "43:B2B", "47:0ops"};
        QTest::newRow("addresses")
            << "Mail jo.smith@example.org or see <https://example.org/a-b> and www.x.org now"
            << QStringList{"0:Mail", "26:or", "29:see", "59:and", "73:now"};
        QTest::newRow("abbreviation")
            << "e.g. U.S.A." << QStringList{"0:e", "2:g", "5:U", "7:S", "9:A"};
        QTest::newRow("soft hyphen inside") << QString::fromUtf8("hy\xc2\xad"
                                                                 "phen")
                                            << QStringList{"0:hyphen"};
    }
    void wordBoundaries()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QStringList found;
        for (auto w = SpellingWords::next(text, 0); w;
             w = SpellingWords::next(text, w->start + w->length))
            found << QString::number(w->start) + u':' + w->text;
        QCOMPARE(found, words);
        // A check started inside a word judges the rest of it as a word of its own.
        const auto rest = SpellingWords::next(QStringLiteral("hello world"), 2);
        QCOMPARE(rest->text, QStringLiteral("llo"));
    }

    // A capitalised entry matches only its own spelling; any other entry matches in any case.
    // The three preferences accept words without looking them up.
    void judging_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("checks"); // N numbers, C capitals, S special characters
        QTest::addColumn<bool>("correct");
        QTest::newRow("London") << "London"
                                << "" << true;
        QTest::newRow("london") << "london"
                                << "" << false;
        QTest::newRow("LONDON") << "LONDON"
                                << "" << false;
        QTest::newRow("paris any case") << "pArIs"
                                        << "" << true;
        QTest::newRow("typographic apostrophe")
            << QString::fromUtf8("don\xe2\x80\x99t") << "" << true;
        QTest::newRow("no lookup for capitals") << "NATO"
                                                << "C" << true;
        QTest::newRow("capitals with a small letter") << "NaTO"
                                                      << "C" << false;
        QTest::newRow("no lookup for digits 1 to 9") << "B2B"
                                                     << "N" << true;
        QTest::newRow("0 is no digit for numbers") << "B0B"
                                                   << "N" << false;
        QTest::newRow("0 is a special character") << "B0B"
                                                  << "S" << true;
        QTest::newRow("accented letters are letters") << QString::fromUtf8("z\xc3\xa9"
                                                                           "bra")
                                                      << "S" << false;
        QTest::newRow("an apostrophe is not special") << "dont't"
                                                      << "S" << false;
        QTest::newRow("accented word in the list")
            << QString::fromUtf8("caf\xc3\xa9") << "" << true;
    }
    void judging()
    {
        QFETCH(QString, word);
        QFETCH(QString, checks);
        QFETCH(bool, correct);
        const SpellingDictionary d =
            dictionaryOf({"London", "paris", "don't", QString::fromUtf8("caf\xc3\xa9"), "zebra"});
        const clsSpelling::Checks c{checks.contains(u'N'), checks.contains(u'C'),
                                    checks.contains(u'S')};
        QCOMPARE(clsSpelling::judge(word, c, d), correct);
    }

    // The preferences are read for each search: a change between two searches counts.
    void preferencesReadForEachSearch()
    {
        const SpellingDictionary d = dictionaryOf({"apple"});
        const QString text = QStringLiteral("apple NATO");
        QVERIFY(!clsSpelling::nextMisspelt(text, 0, d));
        setPref(QStringLiteral("Capitals Check"), QStringLiteral("False"));
        const auto w = clsSpelling::nextMisspelt(text, 0, d);
        QVERIFY(w);
        QCOMPARE(w->start, 6);
        QCOMPARE(w->text, QStringLiteral("NATO"));
    }

    // What the dialog shows: the best suggestion first and selected, capitalised as typed.
    void suggestions_data()
    {
        QTest::addColumn<QStringList>("dictionary"); // empty: no list at all
        QTest::addColumn<QString>("word");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<bool>("enabled");
        const QStringList words{"speed", "spell", "spill", "sport", "hello", "London"};
        QTest::newRow("ranked") << words << "spel" << QStringList{"spell", "spill", "speed"}
                                << true;
        QTest::newRow("capitalised")
            << words << "Spel" << QStringList{"Spell", "Spill", "Speed"} << true;
        QTest::newRow("all capitals")
            << words << "SPEL" << QStringList{"SPELL", "SPILL", "SPEED"} << true;
        QTest::newRow("name typed in lower case")
            << words << "london" << QStringList{"London"} << true;
        QTest::newRow("nothing close")
            << words << "zebra" << QStringList{"No Suggestions"} << false;
        QTest::newRow("no list") << QStringList{} << "spel" << QStringList{"Dictionary not found"}
                                 << false;
    }
    void suggestions()
    {
        QFETCH(QStringList, dictionary);
        QFETCH(QString, word);
        QFETCH(QStringList, items);
        QFETCH(bool, enabled);
        SpellingDictionary d;
        if (dictionary.isEmpty())
            d.ensureLoaded(); // no list in the program folder
        else
            d.loadWords(dictionary);
        const clsSpelling::Suggestions s = clsSpelling::suggest(word, d);
        QCOMPARE(s.items, items);
        QCOMPARE(s.enabled, enabled);
        QCOMPARE(s.selected, enabled ? 0 : -1);
        QCOMPARE(s.replacement, enabled ? items[0] : word);
    }

    // Misspellings of every kind, each with the word meant, which must come first from the
    // shipped list.
    void ranking_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("meant");
        const char *const pairs[][2] = {
            {"recieve", "receive"},
            {"teh", "the"},
            {"definately", "definitely"},
            {"seperate", "separate"},
            {"acommodate", "accommodate"},
            {"wich", "which"},
            {"occured", "occurred"},
            {"untill", "until"},
            {"tommorow", "tomorrow"},
            {"goverment", "government"},
            {"beleive", "believe"},
            {"neccessary", "necessary"},
            {"embarass", "embarrass"},
            {"knowlege", "knowledge"},
            {"rythm", "rhythm"},
            {"wierd", "weird"},
            {"adn", "and"},
            {"becuase", "because"},
            {"freind", "friend"},
            {"libary", "library"},
            {"peice", "piece"},
            {"thier", "their"},
            {"fotograph", "photograph"},
            {"dont", "don't"},
            {"scool", "school"},
            {"yesturday", "yesterday"},
            {"agian", "again"},
            {"wendsday", "Wednesday"},
            {"suprised", "surprised"},
            {"Reciept", "Receipt"},
            {"RECIEVE", "RECEIVE"},
        };
        for (const auto &p : pairs)
            QTest::newRow(p[0]) << QString::fromLatin1(p[0]) << QString::fromLatin1(p[1]);
    }
    void ranking()
    {
        QFETCH(QString, typed);
        QFETCH(QString, meant);
        const SpellingDictionary *list = shippedList();
        if (!list)
            QSKIP("the build has not generated the word lists");
        const clsSpelling::Suggestions s = clsSpelling::suggest(typed, *list);
        QVERIFY2(!s.items.isEmpty() && s.items.size() <= clsSpelling::MaxSuggestions,
                 qPrintable(s.items.join(u' ')));
        QCOMPARE(s.items.first(), meant);
    }

    // The generated list: CR LF lines, common words first, frequency classes that add up.
    void shippedListFile()
    {
        const SpellingDictionary *list = shippedList();
        if (!list)
            QSKIP("the build has not generated the word lists");
        const QByteArray bytes = read(QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR "/en_GB/Words.dic"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
        QVERIFY(list->wordCount() > 100000);
        qsizetype classes = 0;
        for (const QByteArray &line :
             read(QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR "/en_GB/Words.frq")).split('\n'))
            classes += line.simplified().split(' ').value(1).toLongLong();
        QCOMPARE(classes, list->wordCount());
        for (const char *w : {"the", "colour", "organise", "organize", "parish's", "London", "I"})
            QVERIFY2(list->contains(QString::fromLatin1(w)), w);
        QVERIFY(!list->contains(u"color"));
    }

    // British or American from the preference, else from the locale.
    void language_data()
    {
        QTest::addColumn<QString>("preference");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("American locale") << "" << QByteArray("en_US.UTF-8") << "en_US";
        QTest::newRow("British locale") << "" << QByteArray("en_GB.UTF-8") << "en_GB";
        QTest::newRow("other English") << "" << QByteArray("en_AU.UTF-8") << "en_GB";
        QTest::newRow("not English") << "" << QByteArray("C.UTF-8") << "en_GB";
        QTest::newRow("preference wins") << "en_US" << QByteArray("en_GB.UTF-8") << "en_US";
        QTest::newRow("unknown preference") << "fr_FR" << QByteArray("en_US") << "en_US";
    }
    void language()
    {
        QFETCH(QString, preference);
        QFETCH(QByteArray, locale);
        QFETCH(QString, language);
        const QByteArray old = qgetenv("LANG");
        const QByteArray oldAll = qgetenv("LC_ALL");
        const QByteArray oldMessages = qgetenv("LC_MESSAGES");
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", locale);
        setPref(QStringLiteral("Spelling Language"), preference);
        const QString got = SpellingDictionary::language();
        qputenv("LANG", old);
        qputenv("LC_ALL", oldAll);
        qputenv("LC_MESSAGES", oldMessages);
        QCOMPARE(got, language);
        // The list of that language is the one loaded, and a change of language reloads.
        write(m_settings->programFolder() + QStringLiteral("/en_GB/Words.dic"), "colour\r\n");
        write(m_settings->programFolder() + QStringLiteral("/en_US/Words.dic"), "color\r\n");
        setPref(QStringLiteral("Spelling Language"), QStringLiteral("en_US"));
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        d.ignoreAll(QStringLiteral("zork"));
        QVERIFY(d.contains(u"color") && !d.contains(u"colour"));
        setPref(QStringLiteral("Spelling Language"), QStringLiteral("en_GB"));
        QVERIFY(d.reloadLanguage());
        QVERIFY(!d.contains(u"color") && d.contains(u"colour") && d.contains(u"zork"));
    }

    // Added words go to the user's own list, once each, lower case, after what is there; they
    // are there after a restart. Ignored words are not saved; the shipped list is never written.
    void userList_data()
    {
        QTest::addColumn<QByteArray>("before"); // "<none>": no user list yet
        QTest::addColumn<QStringList>("added");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new list") << QByteArray("<none>") << QStringList{"Zebra", "yak", "zebra"}
                                  << QByteArray("zebra\r\nyak\r\n");
        QTest::newRow("appended, last line without CR LF")
            << QByteArray("gnu") << QStringList{"yak"} << QByteArray("gnu\r\nyak\r\n");
        QTest::newRow("in the shipped list already")
            << QByteArray("gnu\r\n") << QStringList{"Apple"} << QByteArray("gnu\r\n");
        QTest::newRow("capitalised entry differs")
            << QByteArray("") << QStringList{"Bath"} << QByteArray("bath\r\n");
        QTest::newRow("Windows-1252 and UTF-8")
            << QByteArray("")
            << QStringList{QString::fromUtf8("Caf\xc3\xa9s"), QString::fromUtf8("\xce\xb1\xce\xb2")}
            << QByteArray("caf\xe9s\r\n\xce\xb1\xce\xb2\r\n");
    }
    void userList()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, added);
        QFETCH(QByteArray, after);
        const QByteArray shippedBytes("apple\r\nBath\r\n");
        write(shipped(), shippedBytes);
        if (before != "<none>")
            write(user(), before);
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        d.ignoreAll(QStringLiteral("ignored"));
        for (const QString &w : added)
            d.addWord(w);
        ScriptedUiServices ui;
        clsSpelling engine;
        QSignalSpy saved(&engine, &clsSpelling::Saved);
        QVERIFY(engine.SAVEDICT());
        QVERIFY(engine.SAVEDICT()); // nothing more to write
        QCOMPARE(saved.size(), 2);
        QCOMPARE(read(user()), after);
        QCOMPARE(read(shipped()), shippedBytes);
        QVERIFY(ui.messages.isEmpty());
        // A restart: the added words are known, the ignored one is not.
        SpellingDictionary::resetProgram();
        SpellingDictionary::program().ensureLoaded();
        for (const QString &w : added)
            QVERIFY(SpellingDictionary::program().contains(w.toLower()));
        QVERIFY(!SpellingDictionary::program().contains(u"ignored"));
    }

    // The user's list cannot be written: the user is told, the words stay queued; without a
    // shipped list the additions are still kept.
    void userListFails()
    {
        SpellingDictionary &d = SpellingDictionary::program();
        d.ensureLoaded();
        QVERIFY(d.notFound());
        d.addWord(QStringLiteral("zebra"));
        QVERIFY(QDir().mkpath(user())); // a folder where the file goes: nothing can be written
        ScriptedUiServices ui;
        clsSpelling engine;
        QVERIFY(!engine.SAVEDICT());
        QCOMPARE(ui.messages.size(), 1);
        QCOMPARE(ui.messages[0].title, QStringLiteral("Save"));
        QVERIFY(ui.messages[0].text.contains(user()));
        QVERIFY(d.isDirty());
        QVERIFY(QDir().rmdir(user()));
        QVERIFY(engine.SAVEDICT());
        QCOMPARE(read(user()), QByteArray("zebra\r\n"));
    }

    // Ignore All and Add take effect at once for the rest of the run.
    void additionsJudged_data()
    {
        QTest::addColumn<QString>("added");
        QTest::addColumn<bool>("ignoreAll");
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("known");
        QTest::newRow("ignore all capitalised is exact") << "Zork" << true << "zork" << false;
        QTest::newRow("ignore all lower case any case") << "zork" << true << "ZORK" << true;
        QTest::newRow("added in any case") << "Zork" << false << "ZoRk" << true;
    }
    void additionsJudged()
    {
        QFETCH(QString, added);
        QFETCH(bool, ignoreAll);
        QFETCH(QString, word);
        QFETCH(bool, known);
        SpellingDictionary d = dictionaryOf({"apple"});
        const quint64 generation = d.generation();
        if (ignoreAll)
            d.ignoreAll(added);
        else
            QVERIFY(d.addWord(added));
        QCOMPARE(d.contains(word), known);
        QCOMPARE(d.isDirty(), !ignoreAll);
        QVERIFY(d.generation() != generation);
        QVERIFY(!d.suggestions(u"zorkk", 5).contains(added) || !ignoreAll);
    }
};

QTEST_MAIN(tst_Spelling)
#include "tst_spelling.moc"
