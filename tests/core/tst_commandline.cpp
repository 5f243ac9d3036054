#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// Every program answers --help and --version in the usual form and refuses an unknown option
// with its usage line and exit status 2. The programs run as the user runs them.
class tst_CommandLine : public QObject
{
    Q_OBJECT
private slots:
    void options_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("option");
        for (const QString &path : QStringLiteral(PAMPHLEXA_PROGRAMS).split(QLatin1Char('|'))) {
            const QString name = QFileInfo(path).fileName();
            for (const char *option : {"--help", "--version", "--no-such-option"})
                QTest::addRow("%s %s", qPrintable(name), option)
                    << path << QString::fromLatin1(option);
        }
    }
    void options()
    {
        QFETCH(QString, program);
        QFETCH(QString, option);
        const QString name = QFileInfo(program).fileName();
        // A private runtime folder keeps Qt's remarks about a missing one off standard error.
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(program, {option, QStringLiteral("ignored.rtf")});
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString err = QString::fromUtf8(p.readAllStandardError());
        if (option == QLatin1String("--no-such-option")) {
            QCOMPARE(p.exitCode(), 2);
            QVERIFY(out.isEmpty());
            const QStringList lines = err.split(QLatin1Char('\n'));
            QCOMPARE(lines.value(0),
                     name + QStringLiteral(": unrecognized option '--no-such-option'"));
            QVERIFY(lines.value(1).startsWith(QStringLiteral("Usage: ") + name + QLatin1Char(' ')));
            QCOMPARE(lines.value(2), QStringLiteral("Try '") + name +
                                         QStringLiteral(" --help' for more information."));
            return;
        }
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(err.isEmpty(), qPrintable(err));
        if (option == QLatin1String("--help")) {
            QVERIFY(out.startsWith(QStringLiteral("Usage: ") + name + QLatin1Char(' ')));
            QVERIFY(out.contains(QLatin1String("\n      --version  output version information")));
        } else {
            QCOMPARE(out.section(QLatin1Char('\n'), 0, 0),
                     name + QStringLiteral(" (Pamphlexa) %1.%2")
                                .arg(PAMPHLEXA_VERSION_MAJOR)
                                .arg(PAMPHLEXA_VERSION_MINOR));
        }
    }
};

QTEST_MAIN(tst_CommandLine)
#include "tst_commandline.moc"
