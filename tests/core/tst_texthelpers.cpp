#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/AppPaths.h"
#include "platform/ScreenMetrics.h"
#include "support/TempSettings.h"

namespace {
const QString PrefsKey = Identity::appKey() + QStringLiteral("\\frmPrefs\\Items");
const QString FilesLocation = QStringLiteral("Files Location");
clsLibrary &lib()
{
    return clsLibrary::instance();
}

// Restores the real screen metrics when a test ends.
struct MetricsScope
{
    FixedScreenMetrics metrics;
    explicit MetricsScope(int twipsPerPixel) : metrics(QSize(800, 600), twipsPerPixel)
    {
        ScreenMetrics::setInstance(&metrics);
    }
    ~MetricsScope() { ScreenMetrics::setInstance(nullptr); }
};
} // namespace

class tst_TextHelpers : public QObject
{
    Q_OBJECT

private slots:
    // The path helpers the program names files and folders with.
    void textHelpers_data()
    {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QStringList rows[] = {
            {"FILECHK", "", "Untitled"},
            {"FILENAMELENCHK", "/", "/"},
            {"FILENAMELENCHK", "/home/ann/Documents", "/home/ann/Documents/"},
            {"FILENAMELENCHK", "/tmp/a\\", "/tmp/a\\/"},
            {"GETFOLDERPATH", "/home/ann/a.rtf", "/home/ann/"},
            {"GETFOLDERPATH", "a.rtf", ""},
        };
        for (const QStringList &r : rows)
            QTest::addRow("%s(%s)", qPrintable(r[0]), qPrintable(r[1])) << r[0] << r[1] << r[2];
    }
    void textHelpers()
    {
        QFETCH(QString, helper);
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(helper == QLatin1String("FILECHK")          ? lib().FILECHK(text)
                 : helper == QLatin1String("FILENAMELENCHK") ? lib().FILENAMELENCHK(text)
                                                             : lib().GETFOLDERPATH(text),
                 expected);
    }
    void wordCount_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("expected");
        QTest::newRow("blanks and a line break") << "  one  two\r\nthree " << 3;
        QTest::newRow("hyphenated across a line break") << "hyphen-\r\nated word" << 2;
        QTest::newRow("hyphen with blanks") << "a - b" << 3;
        QTest::newRow("tab is not a separator") << "tab\tjoined" << 1;
        QTest::newRow("trailing hyphen break") << "end-\r\n" << 1;
    }
    void wordCount()
    {
        QFETCH(QString, text);
        QFETCH(int, expected);
        QCOMPARE(lib().WORDCOUNT(text), expected);
    }
    // CURRENCYFMT ("##0.00"), TEXTJUSTIFY ("0.0") and TEXTJUSTIFYCURRENCY ("0.00").
    void numberFormats_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");
        const QStringList none{"", "", ""};
        QTest::newRow("not a number") << "12abc" << none;
        QTest::newRow("half away from zero") << "2.345" << QStringList{"2.35", "2.3", "2.35"};
        QTest::newRow("carry") << "9.995" << QStringList{"10.00", "10.0", "10.00"};
        QTest::newRow("no grouping, blanks, exponent")
            << " 1.234567e6 " << QStringList{"1234567.00", "1234567.0", "1234567.00"};
    }
    void numberFormats()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        QCOMPARE(QStringList({lib().CURRENCYFMT(text), lib().TEXTJUSTIFY(text),
                              lib().TEXTJUSTIFYCURRENCY(text)}),
                 expected);
    }
    // Only digits, the decimal point and Backspace pass; every other key becomes 0.
    void fileAndFolderExistence()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.rtf"));
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        QVERIFY(lib().FILEEXISTS(file));
        QVERIFY(!lib().FILEEXISTS(dir.path()));
        QVERIFY(!lib().FILEEXISTS(dir.filePath(QStringLiteral("missing.rtf"))));
        QVERIFY(lib().FOLDEREXIST(dir.path() + QLatin1Char('/')));
        QVERIFY(!lib().FOLDEREXIST(QString()));
        // A missing folder is created and reported missing this once.
        const QString folder = dir.filePath(QStringLiteral("new/deeper"));
        QVERIFY(!lib().FOLDEREXIST(folder));
        QVERIFY(QFileInfo(folder).isDir());
        QVERIFY(lib().FOLDEREXIST(folder));
    }
    void filesLocation_data()
    {
        QTest::addColumn<QString>(
            "stored"); // "@none" for nothing stored, "@dir" for an existing folder
        QTest::addColumn<bool>("fallsBack");
        QTest::newRow("nothing stored") << "@none" << false;
        QTest::newRow("existing folder") << "@dir" << false;
        QTest::newRow("folder gone") << "@gone" << true;
        QTest::newRow("empty value") << "" << true;
    }
    void filesLocation()
    {
        QFETCH(QString, stored);
        QFETCH(bool, fallsBack);
        TempSettings settings;
        // With no folder of its own choosing, the user's data folder: never the program folder.
        const QString program = AppPaths::userDataFolder() + QLatin1Char('/');
        const QString docs = settings.path(QStringLiteral("Documents"));
        const QString gone = settings.path(QStringLiteral("Removed/Documents"));
        QVERIFY(QDir().mkpath(docs));

        QString value = stored;
        value.replace(QStringLiteral("@dir"), docs).replace(QStringLiteral("@gone"), gone);
        if (stored != QStringLiteral("@none"))
            QVERIFY(
                lib().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, PrefsKey, FilesLocation, value));

        const QString location = lib().FILESLOCATION();
        if (stored == QStringLiteral("@none")) {
            QCOMPARE(location, program);
        } else if (!fallsBack) {
            QCOMPARE(location, docs + QLatin1Char('/'));
            QCOMPARE(lib().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, PrefsKey, FilesLocation, "?"),
                     value);
        } else {
            QCOMPARE(location, program);
            QCOMPARE(lib().REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, PrefsKey, FilesLocation, "?"),
                     program);
            QVERIFY2(!QFileInfo::exists(gone), "a vanished folder is not recreated");
        }
    }

    // OK above Cancel stand at the form's top right (135 twips in, 165 down, Cancel 90 twips
    // below OK); other buttons are left alone.
    void buttonLayout()
    {
        MetricsScope metrics(15);
        QWidget form;
        form.resize(400, 300);
        auto *other = new QPushButton(&form);
        other->move(3, 4);
        auto *ok = new QPushButton(&form);
        ok->setObjectName(QStringLiteral("BTNOK"));
        ok->setGeometry(0, 200, 75, 25);
        auto *cancel = new QPushButton(&form);
        cancel->setObjectName(QStringLiteral("BTNCANCEL"));
        cancel->setGeometry(100, 200, 75, 25);
        lib().RESIZEBTNSOKCANCEL(&form);
        lib().RESIZEBTNSOKCANCEL(nullptr);
        QCOMPARE(ok->geometry(), QRect(400 - 9 - 75, 11, 75, 25));
        QCOMPARE(cancel->pos(), QPoint(400 - 9 - 75, 11 + 25 + 6));
        QCOMPARE(other->pos(), QPoint(3, 4));
    }
    // A long list drops down 15 rows and keeps its width.
    void comboInit()
    {
        const int items = 60, expectedRows = 15;
        QWidget form;
        auto *combo = new QComboBox(&form);
        for (int i = 0; i < items; ++i)
            combo->addItem(QStringLiteral("Item %1").arg(i));
        combo->setFixedWidth(140);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        lib().COMBOINIT(combo, 15);
        QCOMPARE(combo->maxVisibleItems(), 15);
        combo->showPopup();
        QAbstractItemView *view = combo->view();
        QTRY_VERIFY(view->isVisible());
        const int rowHeight = view->sizeHintForRow(0);
        QVERIFY(rowHeight > 0);
        QCOMPARE(qRound(double(view->viewport()->height()) / rowHeight), expectedRows);
        combo->hidePopup();
        QCOMPARE(combo->width(), 140);
    }
};

QTEST_MAIN(tst_TextHelpers)
#include "tst_texthelpers.moc"
