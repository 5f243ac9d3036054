#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/AppPaths.h"
#include "support/TempSettings.h"

// Where the program finds its shipped data, and where the user's own files go.
class tst_AppPaths : public QObject
{
    Q_OBJECT
private slots:
    void programFolder_data()
    {
        // Folders are relative to a temporary root; "-" for none. The executable is in "exe".
        QTest::addColumn<QString>("exe");
        QTest::addColumn<QString>("build");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QString>("overridePath");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("source");
        const int installed = int(AppPaths::Source::Installed);
        const int build = int(AppPaths::Source::Build);
        const int overridden = int(AppPaths::Source::Overridden);
        QTest::newRow("installed") << "usr/bin"
                                   << "b" << QStringList{"usr/share/pamphlexa", "b/share"} << ""
                                   << "usr/share/pamphlexa" << installed;
        QTest::newRow("run from the build") << "b/app"
                                            << "b" << QStringList{"b/share"} << ""
                                            << "b/share" << build;
        QTest::newRow("staged install inside the build")
            << "b/stage/bin"
            << "b" << QStringList{"b/share", "b/stage/share/pamphlexa"} << ""
            << "b/stage/share/pamphlexa" << installed;
        // A copy outside the build whose data is missing stays with its own (missing) folder.
        QTest::newRow("installed without data never reads the build")
            << "opt/bin"
            << "b" << QStringList{"b/share"} << ""
            << "opt/share/pamphlexa" << installed;
        QTest::newRow("build folder with a similar name") << "b2/app"
                                                          << "b" << QStringList{"b/share"} << ""
                                                          << "b2/share/pamphlexa" << installed;
        QTest::newRow("overridden") << "usr/bin"
                                    << "b" << QStringList{"usr/share/pamphlexa"} << "mine/"
                                    << "mine" << overridden;
    }
    void programFolder()
    {
        QFETCH(QString, exe);
        QFETCH(QString, build);
        QFETCH(QStringList, folders);
        QFETCH(QString, overridePath);
        QFETCH(QString, expected);
        QFETCH(int, source);
        QTemporaryDir root;
        const QDir r(root.path());
        for (const QString &f : folders + QStringList{exe})
            QVERIFY(r.mkpath(f));
        const AppPaths::ProgramFolder found = AppPaths::resolveProgramFolder(
            r.filePath(exe), r.filePath(build), r.filePath(build + QStringLiteral("/share")),
            overridePath.isEmpty() ? QString() : r.filePath(overridePath));
        QCOMPARE(found.path, r.filePath(expected));
        QCOMPARE(int(found.source), source);
    }
    void programFolderOfThisBuild()
    {
        // This test runs inside the build: its data folder is the build's, unless overridden by a
        // call or by the environment.
        QCOMPARE(int(AppPaths::locateProgramFolder().source), int(AppPaths::Source::Build));
        QCOMPARE(AppPaths::programFolder(), QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR));
        qputenv("PAMPHLEXA_PROGRAM_FOLDER", "/from/environment");
        QCOMPARE(AppPaths::programFolder(), QStringLiteral("/from/environment"));
        AppPaths::setProgramFolder(QStringLiteral("/from/call/"));
        QCOMPARE(AppPaths::programFolder(), QStringLiteral("/from/call"));
        AppPaths::setProgramFolder(QString());
        qunsetenv("PAMPHLEXA_PROGRAM_FOLDER");
        QCOMPARE(AppPaths::programFolder(), QStringLiteral(PAMPHLEXA_BUILD_DATA_DIR));
    }
    void userFolders_data()
    {
        QTest::addColumn<QByteArray>("dataHome");
        QTest::addColumn<QByteArray>("stateHome");
        QTest::addColumn<QString>("data");
        QTest::addColumn<QString>("recovery");
        QTest::newRow("XDG folders")
            << QByteArray("/x/data/") << QByteArray("/x/state") << "/x/data/pamphlexa"
            << "/x/state/pamphlexa/recovery";
        const QString home = QDir::homePath();
        QTest::newRow("defaults") << QByteArray() << QByteArray()
                                  << home + "/.local/share/pamphlexa"
                                  << home + "/.local/state/pamphlexa/recovery";
    }
    void userFolders()
    {
        QFETCH(QByteArray, dataHome);
        QFETCH(QByteArray, stateHome);
        QFETCH(QString, data);
        QFETCH(QString, recovery);
        TempSettings settings; // puts the variables back afterwards
        for (const auto &[name, value] :
             {std::pair{"XDG_DATA_HOME", dataHome}, std::pair{"XDG_STATE_HOME", stateHome}}) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
        QCOMPARE(AppPaths::userDataFolder(), data);
        QCOMPARE(AppPaths::userWordList(), data + QStringLiteral("/Words.dic"));
        QCOMPARE(AppPaths::userTemplatesFolder(), data + QStringLiteral("/templates"));
        QCOMPARE(AppPaths::recoveryFolder(), recovery);
    }
    void writablePath_data()
    {
        QTest::addColumn<QString>("path");     // "@p" is the program folder
        QTest::addColumn<QString>("expected"); // "@d" the user's data folder
        QTest::newRow("template") << "@p/Normal.rtt"
                                  << "@d/templates/Normal.rtt";
        QTest::newRow("template in capitals") << "@p/FAX.RTT"
                                              << "@d/templates/FAX.RTT";
        QTest::newRow("program folder spelt another way") << "@p/./x/../Memo.rtt"
                                                          << "@d/templates/Memo.rtt";
        QTest::newRow("below the program folder") << "@p/help/index.html"
                                                  << "@p/help/index.html";
    }
    void writablePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, expected);
        TempSettings settings;
        QVERIFY(QDir().mkpath(settings.programFolder() + QStringLiteral("/x")));
        const auto expand = [&](QString p) {
            return p.replace(QStringLiteral("@p"), settings.programFolder())
                .replace(QStringLiteral("@d"), AppPaths::userDataFolder());
        };
        QCOMPARE(AppPaths::writablePath(expand(path)), expand(expected));
    }
};

QTEST_MAIN(tst_AppPaths)
#include "tst_apppaths.moc"
