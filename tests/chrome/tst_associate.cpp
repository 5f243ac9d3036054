#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

#include "chrome/modAssociate.h"
#include "core/clsLibrary.h"
#include "support/TempSettings.h"
#include "support/TestFiles.h"

// Registering the rich text types: the store entries and the desktop files are written on the
// first start, left alone on the next ones, and put back when something changed them. Every
// case works in a temporary data folder and settings store.
class tst_Associate : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        qunsetenv("PAMPHLEXA_REGISTER_TYPES");
    }
    void cleanup()
    {
        qunsetenv("PAMPHLEXA_REGISTER_TYPES");
        m_settings.reset();
    }
    void firstStartWritesEverything()
    {
        const QStringList files{file(QStringLiteral("mime/packages/pamphlexa-rtf.xml")),
                                file(QStringLiteral("mime/packages/pamphlexa-rtt.xml")),
                                file(QStringLiteral("applications/pamphlexa.desktop"))};
        const modAssociate::Outcome first = modAssociate::REGISTERTYPES(false);
        QCOMPARE(first.filesWritten, files);
        // Seven entries per type (the command key is created by its value); the program's own
        // command entry is the same for both.
        QCOMPARE(first.storeWrites, 13);
        const QDateTime written = QFileInfo(files.last()).lastModified();
        // The next start finds everything in place and writes nothing.
        const modAssociate::Outcome second = modAssociate::REGISTERTYPES(false);
        QVERIFY(second.filesWritten.isEmpty());
        QCOMPARE(second.storeWrites, 0);
        QCOMPARE(QFileInfo(files.last()).lastModified(), written);
    }
    void storeEntries_data()
    {
        const QString exe = QCoreApplication::applicationFilePath();
        QTest::addColumn<int>("root");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("data");
        const int classes = clsLibrary::HKEY_CLASSES_ROOT;
        QTest::newRow("open command") << classes << "Rich Text.Document\\shell\\open\\command"
                                      << "" << exe + " %1";
    }
    void storeEntries()
    {
        QFETCH(int, root);
        QFETCH(QString, key);
        QFETCH(QString, name);
        QFETCH(QString, data);
        modAssociate::REGISTERTYPES(false);
        QCOMPARE(clsLibrary::instance().REGSTRREAD(root, key, name, QStringLiteral("<none>")),
                 data);
        const auto flags = SettingsStore::instance().read(SettingsStore::ClassesRoot,
                                                          QStringLiteral("Rich Text.Document"),
                                                          QStringLiteral("EDITFLAGS"));
        QVERIFY(flags && flags->type == SettingsStore::Type::Dword);
        QCOMPARE(flags->number, 0);
    }
    void desktopFiles()
    {
        // What the desktop needs to offer this program for both types.
        modAssociate::REGISTERTYPES(false);
        const QString entry =
            QString::fromUtf8(readFile(file(QStringLiteral("applications/pamphlexa.desktop"))));
        QVERIFY(entry.contains(
            QLatin1String("\nMimeType=application/rtf;application/x-pamphlexa-rtt;\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=\"") +
                               QCoreApplication::applicationFilePath() +
                               QStringLiteral("\" %f\n")));
        const QString rtt =
            QString::fromUtf8(readFile(file(QStringLiteral("mime/packages/pamphlexa-rtt.xml"))));
        QVERIFY(rtt.contains(QLatin1String("<sub-class-of type=\"application/rtf\"/>")));
        QVERIFY(rtt.contains(QLatin1String("<glob pattern=\"*.rtt\"/>")));
    }
    void changedFileIsPutBack()
    {
        modAssociate::REGISTERTYPES(false);
        const QString entry = file(QStringLiteral("applications/pamphlexa.desktop"));
        const QByteArray original = readFile(entry);
        {
            QFile f(entry);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write("[Desktop Entry]\nName=Something else\n");
        }
        QFile::remove(file(QStringLiteral("mime/packages/pamphlexa-rtf.xml")));
        const modAssociate::Outcome again = modAssociate::REGISTERTYPES(false);
        QCOMPARE(again.filesWritten,
                 (QStringList{file(QStringLiteral("mime/packages/pamphlexa-rtf.xml")), entry}));
        QCOMPARE(readFile(entry), original);
    }
    void userFoldersLeftAlone_data()
    {
        QTest::addColumn<bool>("switchedOff");
        QTest::newRow("switched off") << true;
        QTest::newRow("installed with desktop files") << false;
    }
    void userFoldersLeftAlone()
    {
        QFETCH(bool, switchedOff);
        if (switchedOff) {
            qputenv("PAMPHLEXA_REGISTER_TYPES", "0");
        } else {
            // <prefix>/share/pamphlexa with the installed entry and package beside it.
            const QString share = m_settings->programFolder() + QStringLiteral("/../");
            for (const QString &f : {QStringLiteral("applications/org.pamphlexa.Pamphlexa.desktop"),
                                     QStringLiteral("mime/packages/org.pamphlexa.Pamphlexa.xml")}) {
                QVERIFY(QDir().mkpath(QFileInfo(share + f).absolutePath()));
                QVERIFY(QFile(share + f).open(QIODevice::WriteOnly));
            }
        }
        QVERIFY(modAssociate::dataHome().isEmpty());
        const modAssociate::Outcome out = modAssociate::REGISTERTYPES(false);
        QVERIFY(out.filesWritten.isEmpty());
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("applications"))));
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("mime"))));
        // The store's own entries are still kept.
        QCOMPARE(out.storeWrites, 13);
    }

private:
    // A file under the temporary $XDG_DATA_HOME that TempSettings gives each case.
    static QString file(const QString &relative)
    {
        return qEnvironmentVariable("XDG_DATA_HOME") + QLatin1Char('/') + relative;
    }

    std::unique_ptr<TempSettings> m_settings;
};

QTEST_MAIN(tst_Associate)
#include "tst_associate.moc"
