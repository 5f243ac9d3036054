#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/SettingsStore.h"
#include "platform/SettingsText.h"
#include "support/TempSettings.h"

using Value = SettingsStore::Value;
using Type = SettingsStore::Type;

namespace {

Value stringValue(SettingsStore::Root root, const QString &key, const QString &name,
                  const QString &text, Type type = Type::String)
{
    Value v;
    v.root = root;
    v.key = key;
    v.name = name;
    v.type = type;
    v.text = text;
    return v;
}

Value dwordValue(SettingsStore::Root root, const QString &key, const QString &name, qint32 n)
{
    Value v;
    v.root = root;
    v.key = key;
    v.name = name;
    v.type = Type::Dword;
    v.number = n;
    return v;
}

// "ok" when SQLite's full integrity check passes on the file.
QString integrityCheck(const QString &path)
{
    sqlite3 *db = nullptr;
    QString result = QStringLiteral("cannot open");
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt *s = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &s, nullptr) == SQLITE_OK &&
            sqlite3_step(s) == SQLITE_ROW)
            result = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(s, 0)));
        else
            result = QString::fromUtf8(sqlite3_errmsg(db));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return result;
}

QString toolPath()
{
#ifdef PAMPHLEXA_SETTINGS_TOOL
    return QStringLiteral(PAMPHLEXA_SETTINGS_TOOL);
#else
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/pamphlexa-settings");
#endif
}

struct ToolResult
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

ToolResult runTool(const QStringList &args)
{
    QProcess p;
    p.start(toolPath(), args);
    ToolResult r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

class tst_SettingsStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    static SettingsStore &store() { return SettingsStore::instance(); }
    void requireTool()
    {
        if (!QFileInfo(toolPath()).isExecutable())
            QSKIP("pamphlexa-settings is not built");
    }

private slots:
    void init() { m_settings = std::make_unique<TempSettings>(); }
    void cleanup() { m_settings.reset(); }

    void namesIgnoreCase_data()
    {
        QTest::addColumn<QString>("writeKey");
        QTest::addColumn<QString>("writeName");
        QTest::addColumn<QString>("readKey");
        QTest::addColumn<QString>("readName");
        QTest::newRow("key in other capitals") << "A\\frmPPrev\\Items"
                                               << "Zoom"
                                               << "a\\FRMPPREV\\items"
                                               << "Zoom";
        QTest::newRow("non-ASCII letters") << "Ärger\\Œuvre"
                                           << "Größe"
                                           << "ärger\\œUVRE"
                                           << "GRÖßE";
    }
    void namesIgnoreCase()
    {
        QFETCH(QString, writeKey);
        QFETCH(QString, writeName);
        QFETCH(QString, readKey);
        QFETCH(QString, readName);
        QVERIFY(store().writeString(SettingsStore::CurrentUser, writeKey, writeName, "first"));
        QCOMPARE(store().readString(SettingsStore::CurrentUser, readKey, readName),
                 std::optional<QString>(QStringLiteral("first")));
        // Writing through the other spelling replaces the value and keeps the first spelling.
        QVERIFY(store().writeString(SettingsStore::CurrentUser, readKey, readName, "second"));
        const QList<Value> all = store().values(SettingsStore::CurrentUser);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all.first().key, SettingsStore::normalisedKey(writeKey));
        QCOMPARE(all.first().name, writeName);
        QCOMPARE(all.first().text, QStringLiteral("second"));
    }

    void newKeysTakeTheSpellingOfExistingParents()
    {
        QVERIFY(store().writeString(SettingsStore::CurrentUser,
                                    "SOFTWARE\\Qor\\GLOBAL\\frmPPrev\\Items", "Zoom", "50 %"));
        QVERIFY(store().writeString(SettingsStore::CurrentUser,
                                    "software\\QOR\\global\\FRMPPREV\\Window", "Left", "0"));
        QVERIFY(store().writeString(SettingsStore::CurrentUser, "software\\other", "x", "1"));
        QStringList keys;
        for (const Value &v : store().values(SettingsStore::CurrentUser))
            keys << v.key;
        QCOMPARE(keys, (QStringList{"SOFTWARE\\other", "SOFTWARE\\Qor\\GLOBAL\\frmPPrev\\Items",
                                    "SOFTWARE\\Qor\\GLOBAL\\frmPPrev\\Window"}));
    }

    void keysAreCreatedOnWrite_data()
    {
        QTest::addColumn<QString>("listed");
        QTest::addColumn<int>("count");
        QTest::newRow("the key itself") << "a\\b\\c" << 1;
        QTest::newRow("the whole root") << "" << 3;
        QTest::newRow("a sibling sharing a prefix") << "A\\B\\" + QString("C[") << 0;
        QTest::newRow("a name prefix is not a parent") << "A\\B\\" + QString("C\\X") << 0;
    }
    void keysAreCreatedOnWrite()
    {
        QFETCH(QString, listed);
        QFETCH(int, count);
        QVERIFY(!store().readString(SettingsStore::CurrentUser, "A\\B\\C", "n"));
        QVERIFY(!QFileInfo::exists(m_settings->storePath())); // reads create nothing
        QVERIFY(store().writeString(SettingsStore::CurrentUser, "A\\B\\C", "n", "1"));
        QVERIFY(store().writeString(SettingsStore::CurrentUser, "A\\B[", "n", "2"));
        QVERIFY(store().writeString(SettingsStore::CurrentUser, "Z", "n", "3"));
        QCOMPARE(store().values(SettingsStore::CurrentUser, listed).size(), count);
    }

    void rootsAndTypesAreKept()
    {
        QVERIFY(store().writeString(SettingsStore::CurrentUser, ".rtf", "EDITFLAGS", "user"));
        QVERIFY(!store().readString(SettingsStore::LocalMachine, ".rtf", "EDITFLAGS"));
        QVERIFY(store().writeDword(SettingsStore::ClassesRoot, ".rtf", "EDITFLAGS", 0x10000));
        const auto v = store().read(SettingsStore::ClassesRoot, ".RTF", "editflags");
        QVERIFY(v);
        QCOMPARE(v->type, Type::Dword);
        QCOMPARE(v->number, 0x10000);
        QVERIFY(!store().readString(SettingsStore::ClassesRoot, ".rtf", "EDITFLAGS"));
        QVERIFY(store().write(stringValue(SettingsStore::ClassesRoot, ".rtf", "EDITFLAGS", "%HOME%",
                                          Type::ExpandString)));
        QCOMPARE(store().readString(SettingsStore::ClassesRoot, ".rtf", "EDITFLAGS").value_or(""),
                 "%HOME%");
        QCOMPARE(store().readString(SettingsStore::CurrentUser, ".rtf", "EDITFLAGS").value_or(""),
                 "user");
    }

    void batchCommitsOnce()
    {
        {
            SettingsStore::Batch batch(store());
            for (int i = 0; i < 100; ++i)
                QVERIFY(store().writeString(SettingsStore::CurrentUser, "Items",
                                            QStringLiteral("Find %1").arg(i), QString::number(i)));
            {
                SettingsStore::Batch inner(store());
                QVERIFY(
                    store().writeString(SettingsStore::CurrentUser, "Items", "Find Total", "100"));
            }
            // Visible to this store at once; to other copies only after the commit.
            QCOMPARE(
                store().readString(SettingsStore::CurrentUser, "Items", "Find 99").value_or(""),
                "99");
            SettingsStore other(m_settings->storePath());
            QVERIFY(!other.readString(SettingsStore::CurrentUser, "Items", "Find 99"));
            QVERIFY(batch.commit());
        }
        SettingsStore other(m_settings->storePath());
        QCOMPARE(other.values(SettingsStore::CurrentUser, "Items").size(), 101);
    }

    void writeAllIsAllOrNothing()
    {
        const QList<Value> values{
            stringValue(SettingsStore::CurrentUser, "Good", "a", "1"),
            stringValue(SettingsStore::CurrentUser, QStringLiteral("Bad\nKey"), "b", "2")};
        QVERIFY(!store().writeAll(values));
        QVERIFY(store().allValues().isEmpty());
        QVERIFY(store().writeAll(values.mid(0, 1)));
        QCOMPARE(store().allValues().size(), 1);
    }

    void damagedStoreIsMovedAside_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("random bytes") << 0;
        QTest::newRow("truncated database") << 2;
        QTest::newRow("another program's database") << 3;
        QTest::newRow("empty file") << 4;
    }
    void damagedStoreIsMovedAside()
    {
        QFETCH(int, kind);
        const QString path = m_settings->storePath();
        QByteArray content;
        switch (kind) {
        case 0:
            for (int i = 0; i < 6000; ++i)
                content.append(char((i * 7919 + 13) & 0xff));
            break;
        case 2: {
            {
                SettingsStore full(path);
                SettingsStore::Batch batch(full);
                for (int i = 0; i < 500; ++i)
                    full.writeString(SettingsStore::CurrentUser,
                                     QStringLiteral("Key %1").arg(i % 20),
                                     QStringLiteral("Value %1").arg(i), QString(100, 'v'));
            }
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            content = f.readAll();
            content.truncate(content.size() / 2);
            break;
        }
        case 3: {
            sqlite3 *db = nullptr;
            QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
            QCOMPARE(sqlite3_exec(db, "CREATE TABLE settings(a, b)", nullptr, nullptr, nullptr),
                     SQLITE_OK);
            sqlite3_close(db);
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            content = f.readAll();
            break;
        }
        default:
            break;
        }
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(content);
        }
        // A fresh instance sees the file as it is now.
        SettingsStore::setDefaultPath(m_settings->path("elsewhere.sqlite"));
        SettingsStore::setDefaultPath(path);

        QVERIFY(!store().readString(SettingsStore::CurrentUser, "Key 1", "Value 1"));
        QVERIFY(store().writeString(SettingsStore::CurrentUser, "Key 1", "Value 1", "new"));
        QCOMPARE(store().readString(SettingsStore::CurrentUser, "Key 1", "Value 1").value_or(""),
                 "new");
        QCOMPARE(integrityCheck(path), QStringLiteral("ok"));
        if (kind == 4) {
            // An empty file is simply a new database.
            QVERIFY(store().damagedFile().isEmpty());
            return;
        }
        const QString aside = store().damagedFile();
        QVERIFY(aside.startsWith(path + QStringLiteral(".damaged-")));
        const SettingsStore::Notice notice = store().takeNotice();
        QCOMPARE(notice.kind, SettingsStore::Notice::DamagedSetAside);
        QCOMPARE(notice.file, aside);
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
    }

    void readOnlyFolderReadsAndRefusesWrites()
    {
        if (geteuid() == 0)
            QSKIP("permissions do not apply to root");
        QVERIFY(store().writeString(SettingsStore::CurrentUser, "K", "n", "kept"));
        SettingsStore::setDefaultPath(m_settings->path("other.sqlite"));
        const QString folder = QFileInfo(m_settings->storePath()).absolutePath();
        QFile::setPermissions(m_settings->path("settings.sqlite"),
                              QFile::ReadOwner | QFile::ReadUser);
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
        SettingsStore::setDefaultPath(m_settings->path("settings.sqlite"));
        QCOMPARE(store().readString(SettingsStore::CurrentUser, "K", "n").value_or(""), "kept");
        QVERIFY(!store().writeString(SettingsStore::CurrentUser, "K", "n", "changed"));
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void concurrentFirstWritersKeepTheStore()
    {
        // Several copies starting on a new store at the same moment: each creates or checks the
        // store while the others do; none may take another's half-made store for damage.
        requireTool();
        constexpr int Rounds = 40;
        constexpr int Writers = 3;
        for (int round = 0; round < Rounds; ++round) {
            const QString path =
                m_settings->path(QStringLiteral("round%1/settings.sqlite").arg(round));
            QList<std::shared_ptr<QProcess>> writers;
            for (int w = 0; w < Writers; ++w) {
                auto p = std::make_shared<QProcess>();
                p->start(toolPath(), {"--store", path, "set", "HKCU", "Start",
                                      QStringLiteral("Writer %1").arg(w), "here"});
                writers << p;
            }
            for (const auto &p : writers) {
                QVERIFY(p->waitForFinished(60000));
                QCOMPARE(p->exitCode(), 0);
            }
            const QStringList aside =
                QDir(QFileInfo(path).absolutePath()).entryList({QStringLiteral("*.damaged-*")});
            QVERIFY2(aside.isEmpty(), qPrintable(QStringLiteral("round %1").arg(round)));
            QCOMPARE(SettingsStore(path).values(SettingsStore::CurrentUser, "Start").size(),
                     Writers);
        }
    }

    void storeThatIsNotAFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("pipe") << "pipe";
        QTest::newRow("folder") << "folder";
    }
    void storeThatIsNotAFile()
    {
        QFETCH(QString, kind);
        const QString path = m_settings->storePath();
        if (kind == QLatin1String("pipe"))
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            QVERIFY(QDir().mkpath(path));
        // Never opened (a pipe would block the first read for ever): defaults, refused writes,
        // and one notice for the whole run.
        QVERIFY(!store().readString(SettingsStore::CurrentUser, "K", "n"));
        QVERIFY(!store().writeString(SettingsStore::CurrentUser, "K", "n", "x"));
        const SettingsStore::Notice notice = store().takeNotice();
        QCOMPARE(notice.kind, SettingsStore::Notice::NotOrdinaryFile);
        QCOMPARE(notice.file, path);
        QVERIFY(!store().readString(SettingsStore::CurrentUser, "K", "n"));
        QCOMPARE(store().takeNotice().kind, SettingsStore::Notice::None);
        QVERIFY(store().damagedFile().isEmpty());
    }

    void toolExportImportRoundTrip()
    {
        requireTool();
        const QList<Value> values{
            stringValue(SettingsStore::CurrentUser, "SOFTWARE\\Qor\\Pamphlexa\\frmFind\\Items",
                        "Last Find", "quote \" backslash \\ tab \t newline \n cr \r end"),
            stringValue(SettingsStore::CurrentUser, "SOFTWARE\\Qor\\Pamphlexa\\frmFind\\Items",
                        "Find 0", QString()),
            stringValue(SettingsStore::CurrentUser, "SOFTWARE\\Qor\\Pamphlexa\\frmFind\\Items",
                        "Name \"with\" = signs", QString(300, 'l')),
            stringValue(SettingsStore::CurrentUser, "Unicode\\Ärger", "€ and 😀",
                        QStringLiteral("bell \a del \x7f ünïcödé 😀")),
            stringValue(SettingsStore::ClassesRoot, ".rtf", "", "Pamphlexa.Document"),
            stringValue(SettingsStore::ClassesRoot, "Pamphlexa.Document\\DefaultIcon", "",
                        "%HOME%\\icon", Type::ExpandString),
            dwordValue(SettingsStore::ClassesRoot, "Pamphlexa.Document", "EDITFLAGS", -2),
            stringValue(SettingsStore::LocalMachine, "", "At the root", "r"),
        };
        QVERIFY(store().writeAll(values));
        const QString file = m_settings->path("export.txt");
        ToolResult r = runTool({"--store", m_settings->storePath(), "export", file});
        QCOMPARE(r.exitCode, 0);
        const QString copy = m_settings->path("copy.sqlite");
        r = runTool({"--store", copy, "import", file});
        QCOMPARE(r.exitCode, 0);
        SettingsStore imported(copy);
        QVERIFY(imported.allValues() == store().allValues());
        QCOMPARE(imported.allValues().size(), values.size());
        // The text form itself is stable.
        r = runTool({"--store", copy, "export"});
        QFile exported(file);
        QVERIFY(exported.open(QIODevice::ReadOnly));
        QCOMPARE(r.out, exported.readAll());
    }

    void toolCommands_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::newRow("get") << QStringList{"get", "HKCU", "app\\ITEMS", "last find"} << 0
                             << QByteArray("hello\n");
        QTest::newRow("get 255 characters gives the default")
            << QStringList{"get", "HKCU", "app\\Items", "Long", "short"} << 0
            << QByteArray("short\n");
        QTest::newRow("list a key") << QStringList{"list", "hkcr\\.RTF"} << 0
                                    << QByteArray("[HKCR\\.rtf]\n\"EDITFLAGS\"=dword:00000005\n");
        QTest::newRow("import a missing file")
            << QStringList{"import", "/nonexistent/file"} << 3 << QByteArray();
    }
    void toolCommands()
    {
        requireTool();
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QByteArray, out);
        QVERIFY(
            store().writeString(SettingsStore::CurrentUser, "App\\Items", "Last Find", "hello"));
        QVERIFY(store().writeString(SettingsStore::CurrentUser, "App\\Items", "Long",
                                    QString(255, 'x')));
        QVERIFY(store().writeDword(SettingsStore::ClassesRoot, ".rtf", "EDITFLAGS", 5));
        const ToolResult r = runTool(QStringList{"--store", m_settings->storePath()} + args);
        QCOMPARE(r.exitCode, exitCode);
        QCOMPARE(r.out, out);
    }

    void textForm_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("errorLine"); // 0: parses
        QTest::addColumn<int>("count");
        const QByteArray h = QByteArray(SettingsText::Header) + "\n";
        QTest::newRow("CRLF and BOM") << "\xef\xbb\xbf" + h + "[HKCU\\A]\r\n@=\"1\"\r\n" << 0 << 1;
        QTest::newRow("no header") << QByteArray("[HKCU\\A]\n") << 1 << 0;
        QTest::newRow("unclosed quote") << h + "[HKCU\\A]\n\"x\"=\"1\n" << 3 << 0;
    }
    void textForm()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, errorLine);
        QFETCH(int, count);
        const SettingsText::ParseResult r = SettingsText::parse(text);
        QCOMPARE(r.ok, errorLine == 0);
        QCOMPARE(r.errorLine, errorLine);
        QCOMPARE(r.values.size(), count);
    }
};

QTEST_MAIN(tst_SettingsStore)
#include "tst_settingsstore.moc"
