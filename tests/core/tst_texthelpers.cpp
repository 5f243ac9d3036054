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
    // The path and token helpers: each row names the helper, its arguments and the result
    // ("true"/"false" for CHARCHECK).
    void textHelpers_data()
    {
        QTest::addColumn<QString>("helper");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("argument");
        QTest::addColumn<QString>("expected");
        const QStringList rows[] = {
            {"FILECHK", "", "", "Untitled"},
            {"FILENAMELENCHK", "/", "", "/"},
            {"FILENAMELENCHK", "/home/ann/Documents", "", "/home/ann/Documents/"},
            {"FILENAMELENCHK", "/tmp/a\\", "", "/tmp/a\\/"},
            {"GETFOLDERPATH", "/home/ann/a.rtf", "", "/home/ann/"},
            {"GETFOLDERPATH", "a.rtf", "", ""},
            {"CHARCHECK", "a.b.c", ".", "false"},
            {"CHARCHECK", "abc", "B", "true"},
            {"CHARCHECK", "abc", "", "true"},
            {"TOKENLEFT", "a=b=c", "=", "a"},
            {"TOKENLEFT", "whole text", "=", ""},
        };
        for (const QStringList &r : rows)
            QTest::addRow("%s(%s, %s)", qPrintable(r[0]), qPrintable(r[1]), qPrintable(r[2]))
                << r[0] << r[1] << r[2] << r[3];
    }
    void textHelpers()
    {
        QFETCH(QString, helper);
        QFETCH(QString, text);
        QFETCH(QString, argument);
        QFETCH(QString, expected);
        QString result;
        if (helper == QLatin1String("FILECHK"))
            result = lib().FILECHK(text);
        else if (helper == QLatin1String("FILENAMELENCHK"))
            result = lib().FILENAMELENCHK(text);
        else if (helper == QLatin1String("GETFOLDERPATH"))
            result = lib().GETFOLDERPATH(text);
        else if (helper == QLatin1String("CHARCHECK"))
            result =
                lib().CHARCHECK(text, argument) ? QStringLiteral("true") : QStringLiteral("false");
        else
            result = lib().TOKENLEFT(text, argument);
        QCOMPARE(result, expected);
    }
    void piece_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("n");
        QTest::addColumn<double>("expected");
        QTest::newRow("middle") << "10,20,30" << 2 << 20.0;
        QTest::newRow("negative with exponent") << "-3e2,x" << 1 << -300.0;
        QTest::newRow("middle reads its leading number") << "10,12abc,30" << 2 << 12.0;
        QTest::newRow("middle not numeric") << "10,abc,30" << 2 << 0.0;
        QTest::newRow("last not numeric") << "10,20,12abc" << 3 << 0.0;
        QTest::newRow("beyond the last") << "1,2" << 3 << 0.0;
        QTest::newRow("huge exponent") << "1e99999,2" << 1 << 0.0;
    }
    void piece()
    {
        QFETCH(QString, text);
        QFETCH(int, n);
        QFETCH(double, expected);
        QCOMPARE(lib().PIECE(text, QStringLiteral(","), n), expected);
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
        QTest::newRow("comma is not a decimal point") << "1,5" << none;
        QTest::newRow("no leading digit") << ".75" << QStringList{"0.75", "0.8", "0.75"};
        QTest::newRow("half away from zero") << "2.345" << QStringList{"2.35", "2.3", "2.35"};
        QTest::newRow("carry") << "9.995" << QStringList{"10.00", "10.0", "10.00"};
        QTest::newRow("no grouping, blanks, exponent")
            << " 1.234567e6 " << QStringList{"1234567.00", "1234567.0", "1234567.00"};
        QTest::newRow("tiny negative loses its sign")
            << "-0.001" << QStringList{"0.00", "0.0", "0.00"};
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
    void currencyLock()
    {
        for (int key : std::initializer_list<int>{'0', '9', 8, 46})
            QCOMPARE(lib().TXTCURRENCYLOCK(nullptr, key), key);
        for (int key : std::initializer_list<int>{'a', '-', ',', '/', ':', 13, 32})
            QCOMPARE(lib().TXTCURRENCYLOCK(nullptr, key), 0);
    }

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
    void windowsAndDesktopFolders()
    {
        TempSettings settings;
        const QString windows = lib().GETWINDOWSDIR();
        QCOMPARE(windows, QDir::homePath());
        QVERIFY(!windows.endsWith(QLatin1Char('/')) || windows == QStringLiteral("/"));

        const QString desktop = lib().GETDESKTOPDIR();
        QVERIFY(desktop.endsWith(QLatin1Char('/')));
        QVERIFY(QFileInfo(desktop).isDir());
        const QString xdg = AppPaths::desktopFolder();
        const QString expected =
            !xdg.isEmpty() && QFileInfo(xdg).isDir() ? xdg : settings.programFolder();
        QCOMPARE(QDir(desktop).canonicalPath(), QDir(expected).canonicalPath());
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

    // Close, or OK above Cancel, stand at the form's top right (135 twips in, 165 down, Cancel 90
    // twips below OK); a form without them is left alone.
    void buttonLayout_data()
    {
        QTest::addColumn<int>("twipsPerPixel");
        QTest::addColumn<bool>("okCancel");
        QTest::addColumn<QPoint>("first");
        QTest::newRow("Close at 96 dpi") << 15 << false << QPoint(400 - 9 - 75, 11);
        QTest::newRow("OK/Cancel at 96 dpi") << 15 << true << QPoint(400 - 9 - 75, 11);
    }
    void buttonLayout()
    {
        QFETCH(int, twipsPerPixel);
        QFETCH(bool, okCancel);
        QFETCH(QPoint, first);
        MetricsScope metrics(twipsPerPixel);
        QWidget form;
        form.resize(400, 300);
        auto *other = new QPushButton(&form);
        other->move(3, 4);
        auto *button = new QPushButton(&form);
        button->setObjectName(okCancel ? QStringLiteral("BTNOK") : QStringLiteral("BTNCLOSE"));
        button->setGeometry(0, 200, 75, 25);
        auto *cancel = new QPushButton(&form);
        cancel->setObjectName(QStringLiteral("BTNCANCEL"));
        cancel->setGeometry(100, 200, 75, 25);
        if (okCancel)
            lib().RESIZEBTNSOKCANCEL(&form);
        else
            lib().RESIZEBTNCLOSE(&form);
        lib().RESIZEBTNCLOSE(nullptr);
        lib().RESIZEBTNSOKCANCEL(nullptr);
        QCOMPARE(button->geometry(), QRect(first, QSize(75, 25)));
        QCOMPARE(cancel->pos(), okCancel ? first + QPoint(0, 25 + 6) : QPoint(100, 200));
        QCOMPARE(other->pos(), QPoint(3, 4));
    }
    void comboInit_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("expectedRows");
        QTest::newRow("list, many items") << false << 60 << 15;
        QTest::newRow("editable, many items") << true << 60 << 15;
    }
    void comboInit()
    {
        QFETCH(bool, editable);
        QFETCH(int, items);
        QFETCH(int, expectedRows);
        QWidget form;
        auto *combo = new QComboBox(&form);
        combo->setEditable(editable);
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
