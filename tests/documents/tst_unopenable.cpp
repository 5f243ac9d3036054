// Files that cannot be opened as documents: unreadable files, folders, pipes and names that
// are not valid UTF-8, through every road that opens a file. Each is refused at once with a
// message, gets no window holding its path and never enters the recent list; the converter
// follows the same rules.
#include <QProcess>
#include <QtTest>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/MainWindowFixture.h"

namespace {

// Makes the file unreadable for the rest of the test: the superuser, who reads anything, runs as
// the account "nobody" meanwhile.
class Unreadable
{
public:
    explicit Unreadable(const QString &path, const QString &folder)
    {
        ::chmod(QFile::encodeName(path).constData(), 0);
        if (::geteuid() == 0) {
            ::chmod(QFile::encodeName(folder).constData(), 0755);
            m_switched = ::seteuid(65534) == 0;
        }
    }
    ~Unreadable()
    {
        if (m_switched)
            (void)::seteuid(0);
    }

private:
    bool m_switched = false;
};

QString prepare(MainWindowFixture &f, const QString &kind)
{
    if (kind == QLatin1String("folder")) {
        const QString path = f.settings.path(QStringLiteral("letters.rtf"));
        QDir().mkpath(path);
        return path;
    }
    if (kind == QLatin1String("pipe")) {
        const QString path = f.settings.path(QStringLiteral("pipe.rtf"));
        ::mkfifo(QFile::encodeName(path).constData(), 0644);
        return path;
    }
    if (kind == QLatin1String("missing"))
        return f.settings.path(QStringLiteral("gone.rtf"));
    if (kind == QLatin1String("bad name")) {
        // The file on disk is named with the byte 0xFF; the name the program is given holds
        // U+FFFD in its place.
        const QByteArray real = QFile::encodeName(f.settings.path(QString())) + "/caf\xff.rtf";
        ::close(::open(real.constData(), O_WRONLY | O_CREAT, 0644));
        return f.settings.path(QStringLiteral("caf\uFFFD.rtf"));
    }
    return f.file(QStringLiteral("secret.rtf"), "{\\rtf1 secret}");
}

// Removes the file whose name is not UTF-8 (the temporary folder cannot: it only knows names as
// text).
struct RawNameCleanup
{
    QByteArray name;
    ~RawNameCleanup() { ::unlink(name.constData()); }
};

QString converter()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/../tools/pamphlexa-convert");
}

} // namespace

class tst_Unopenable : public QObject
{
    Q_OBJECT
private slots:
    void refusedWithAMessage_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("road");
        for (const char *kind : {"unreadable", "folder", "pipe", "missing", "bad name"}) {
            for (const char *road : {"open dialog", "command line", "recent list", "insert file"}) {
                const bool list = qstrcmp(road, "recent list") == 0;
                // A recent entry that is no longer a file is taken off the list (message 25).
                if (list && (qstrcmp(kind, "missing") == 0 || qstrcmp(kind, "bad name") == 0))
                    continue;
                QTest::addRow("%s by %s", kind, road)
                    << QString::fromLatin1(kind) << QString::fromLatin1(road);
            }
        }
    }
    void refusedWithAMessage()
    {
        QFETCH(QString, kind);
        QFETCH(QString, road);
        MainWindowFixture f;
        const QString path = prepare(f, kind);
        const RawNameCleanup cleanup{QFile::encodeName(f.settings.path(QString())) +
                                     "/caf\xff.rtf"};
        const bool commandLine = road == QLatin1String("command line");
        std::unique_ptr<Unreadable> locked;
        if (kind == QLatin1String("unreadable") && commandLine)
            locked = std::make_unique<Unreadable>(path, f.settings.path(QString()));
        frmMain &m = f.start(commandLine ? path : QString());
        if (road == QLatin1String("recent list"))
            f.cmd().FILERECENTFILESLISTADD(path);
        if (kind == QLatin1String("unreadable") && !commandLine)
            locked = std::make_unique<Unreadable>(path, f.settings.path(QString()));
        if (road == QLatin1String("open dialog")) {
            f.ui.fileAnswers.enqueue({{path}, 11, QString()});
            m.menuItem(QStringLiteral("MNUFILEOPEN"))->trigger();
        } else if (road == QLatin1String("recent list")) {
            m.menuItem(QStringLiteral("MNUFILERECENTLIST(0)"))->trigger();
        } else if (road == QLatin1String("insert file")) {
            f.ui.fileAnswers.enqueue({{path}, 1, QString()});
            f.cmd().INSERTFILE();
        }
        locked.reset();
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(path));
        // At most the empty first document, never a window named after the file.
        QCOMPARE(m.documents().size(), 1);
        QCOMPARE(f.active()->Caption(), QStringLiteral("Document 1"));
        QVERIFY(f.active()->RTF1->Text().isEmpty());
        QVERIFY(!f.active()->isModified());
        if (road != QLatin1String("recent list"))
            QCOMPARE(f.cmd().recentFiles().count(), 0);
    }

    void converterRefusesTheSame_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("asOutput");
        for (const char *kind : {"folder", "pipe", "missing", "bad name"})
            QTest::addRow("%s to read", kind) << QString::fromLatin1(kind) << false;
        for (const char *kind : {"folder", "pipe"})
            QTest::addRow("%s to write", kind) << QString::fromLatin1(kind) << true;
    }
    void converterRefusesTheSame()
    {
        QFETCH(QString, kind);
        QFETCH(bool, asOutput);
        if (!QFileInfo(converter()).isExecutable())
            QSKIP("pamphlexa-convert is not built");
        MainWindowFixture f;
        const QString special = prepare(f, kind);
        const RawNameCleanup cleanup{QFile::encodeName(f.settings.path(QString())) +
                                     "/caf\xff.rtf"};
        const QString plain = f.file(QStringLiteral("plain.txt"), "text");
        QProcess p;
        // The shell passes the name's bytes as they are (0xFF is not valid UTF-8).
        const QString in =
            kind == QLatin1String("bad name")
                ? QStringLiteral("\"$(printf '%1/caf\\377.rtf')\"").arg(f.settings.path(QString()))
                : QStringLiteral("\"$2\"");
        p.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 asOutput ? QStringLiteral("exec \"$0\" \"$1\" \"$2\"")
                          : QStringLiteral("exec \"$0\" %1 \"$1\"").arg(in),
                 converter(), plain, special});
        // A pipe would block a reader or writer for ever: refusing it must not wait for one.
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(!p.readAllStandardError().isEmpty());
        QCOMPARE(f.read(plain), QStringLiteral("text"));
    }
};

QTEST_MAIN(tst_Unopenable)
#include "tst_unopenable.moc"
