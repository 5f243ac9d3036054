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
#include "support/TestFiles.h"

// The spelling engine without its dialog: the word list file, word boundaries, judging, the
// ranking of suggestions, the language of the list and the user's own list.
class tst_Spelling : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;

    QString shipped() const { return m_settings->programFolder() + QStringLiteral("/Words.dic"); }
    QString user() const { return AppPaths::userWordList(); }
    static void setPref(const QString &name, const QString &value)
    {
        QVERIFY(clsLibrary::instance().REGSTRWRITE(
            clsLibrary::HKEY_CURRENT_USER, Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
            name, value));
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
            << QByteArray("caf\xe9\r\nna\xc3\xafve\r\n") << QStringList{"café", "naïve"};
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
            << "“Well,” (she) said: \"yes\"; no! [maybe]—fine."
            << QStringList{"1:Well", "9:she", "14:said", "21:yes", "27:no", "32:maybe", "39:fine"};
        QTest::newRow("apostrophes")
            << "don't parish's o'clock can’t 'tis dogs' end'"
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
        QTest::newRow("soft hyphen inside") << "hy\u00adphen" << QStringList{"0:hyphen"};
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
        QCOMPARE(SpellingWords::next(u"hello world", 2)->text, QStringLiteral("llo"));
    }

    // A capitalised entry matches only its own spelling, any other entry in any case; a listed
    // word with a common prefix or suffix is known; words ignored or added during the run are
    // known at once (an ignored capitalised word only as typed). The preferences (N numbers,
    // C capitals, S special characters) accept words without looking them up.
    void judging_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("checks");
        QTest::addColumn<bool>("correct");
        const struct
        {
            const char *word, *checks;
            bool correct;
        } rows[] = {{"London", "", true},     {"london", "", false},   {"LONDON", "", false},
                    {"pArIs", "", true},      {"don’t", "", true},     {"café", "", true},
                    {"NATO", "C", true},      {"NaTO", "C", false},    {"B2B", "N", true},
                    {"B0B", "N", false},      {"B0B", "S", true},      {"zébra", "S", false},
                    {"dont't", "S", false},   {"welcomers", "", true}, {"unwelcome", "", true},
                    {"arguement", "", false}, {"Zork", "", true},      {"zork", "", false},
                    {"QUUX", "", true},       {"bLoRp", "", true}};
        for (const auto &r : rows)
            QTest::addRow("%s %s", r.word, r.checks)
                << QString::fromUtf8(r.word) << QString::fromLatin1(r.checks) << r.correct;
    }
    void judging()
    {
        QFETCH(QString, word);
        QFETCH(QString, checks);
        QFETCH(bool, correct);
        SpellingDictionary d;
        d.loadWords({"London", "paris", "don't", "café", "zebra", "welcome", "argue"});
        const quint64 generation = d.generation();
        d.ignoreAll(QStringLiteral("Zork"));
        d.ignoreAll(QStringLiteral("quux"));
        QVERIFY(d.addWord(QStringLiteral("Blorp")) && d.isDirty());
        QVERIFY(d.generation() != generation);
        const clsSpelling::Checks c{checks.contains(u'N'), checks.contains(u'C'),
                                    checks.contains(u'S')};
        QCOMPARE(clsSpelling::judge(word, c, d), correct);
        // Ignored words are never offered as suggestions; added ones are.
        QCOMPARE(d.suggestions(u"quuxx", 5), QStringList());
        QCOMPARE(d.suggestions(u"blorpp", 5), QStringList{"blorp"});
    }

    // The preferences are read for each search: a change between two searches counts.
    void preferencesReadForEachSearch()
    {
        SpellingDictionary d;
        d.loadWords({"apple"});
        QVERIFY(!clsSpelling::nextMisspelt(u"apple NATO", 0, d));
        setPref(QStringLiteral("Capitals Check"), QStringLiteral("False"));
        QCOMPARE(clsSpelling::nextMisspelt(u"apple NATO", 0, d)->start, 6);
    }

    // Misspellings of every kind, each with the word meant, which must come first from the
    // shipped list, capitalised as typed.
    void ranking_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("meant");
        const QString pairs = QStringLiteral(
            "recieve:receive teh:the definately:definitely acommodate:accommodate wich:which "
            "occured:occurred neccessary:necessary rythm:rhythm adn:and fotograph:photograph "
            "dont:don't wendsday:Wednesday Reciept:Receipt RECIEVE:RECEIVE");
        for (const QString &pair : pairs.split(u' '))
            QTest::newRow(qPrintable(pair)) << pair.section(u':', 0, 0) << pair.section(u':', 1);
    }
    void ranking()
    {
        QFETCH(QString, typed);
        QFETCH(QString, meant);
        const SpellingDictionary *list = shippedList();
        if (!list)
            QSKIP("the build has not generated the word lists");
        const clsSpelling::Suggestions s = clsSpelling::suggest(typed, *list);
        QVERIFY2(s.items.size() <= clsSpelling::MaxSuggestions, qPrintable(s.items.join(u' ')));
        QCOMPARE(s.items.value(0), meant);
        QCOMPARE(s.replacement, meant);
    }

    // The generated list: CR LF lines, common words first, frequency classes that add up.
    void shippedListFile()
    {
        const SpellingDictionary *list = shippedList();
        if (!list)
            QSKIP("the build has not generated the word lists");
        const QByteArray bytes =
            readFile(QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR "/en_GB/Words.dic"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(bytes.count("\n"), bytes.count("\r\n"));
        QVERIFY(list->wordCount() > 100000);
        qsizetype classes = 0;
        for (const QByteArray &line :
             readFile(QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR "/en_GB/Words.frq")).split('\n'))
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
        QTest::newRow("other English") << "" << QByteArray("en_AU.UTF-8") << "en_GB";
        QTest::newRow("preference wins") << "en_US" << QByteArray("en_GB.UTF-8") << "en_US";
    }
    void language()
    {
        QFETCH(QString, preference);
        QFETCH(QByteArray, locale);
        QFETCH(QString, language);
        const QByteArray old[] = {qgetenv("LANG"), qgetenv("LC_ALL"), qgetenv("LC_MESSAGES")};
        qunsetenv("LC_ALL");
        qunsetenv("LC_MESSAGES");
        qputenv("LANG", locale);
        setPref(QStringLiteral("Spelling Language"), preference);
        const QString got = SpellingDictionary::language();
        qputenv("LANG", old[0]);
        qputenv("LC_ALL", old[1]);
        qputenv("LC_MESSAGES", old[2]);
        QCOMPARE(got, language);
        // The list of that language is the one loaded, and a change of language reloads.
        writeFile(m_settings->programFolder() + QStringLiteral("/en_GB/Words.dic"), "colour\r\n");
        writeFile(m_settings->programFolder() + QStringLiteral("/en_US/Words.dic"), "color\r\n");
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
        QTest::newRow("Windows-1252 and UTF-8") << QByteArray("") << QStringList{"Cafés", "αβ"}
                                                << QByteArray("caf\xe9s\r\n\xce\xb1\xce\xb2\r\n");
    }
    void userList()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, added);
        QFETCH(QByteArray, after);
        const QByteArray shippedBytes("apple\r\nBath\r\n");
        writeFile(shipped(), shippedBytes);
        if (before != "<none>")
            writeFile(user(), before);
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
        QCOMPARE(readFile(user()), after);
        QCOMPARE(readFile(shipped()), shippedBytes);
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
        QVERIFY(ui.messages[0].text.contains(user()));
        QVERIFY(QDir().rmdir(user()));
        QVERIFY(engine.SAVEDICT());
        QCOMPARE(readFile(user()), QByteArray("zebra\r\n"));
    }
};

QTEST_MAIN(tst_Spelling)
#include "tst_spelling.moc"
