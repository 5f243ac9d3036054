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
#include "support/ScriptedUiServices.h"
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
    void fileChk();
    void fileNameLenChk_data();
    void fileNameLenChk();
    void folderPath_data();
    void folderPath();
    void charCheck_data();
    void charCheck();
    void tokenLeft_data();
    void tokenLeft();
    void piece_data();
    void piece();
    void wordCount_data();
    void wordCount();
    void numberFormats_data();
    void numberFormats();
    void currencyLock_data();
    void currencyLock();

    void fileAndFolderExistence();
    void folderExistCreatesAMissingFolder();
    void overwriteCheck_data();
    void overwriteCheck();
    void windowsAndDesktopFolders();
    void filesLocation_data();
    void filesLocation();

    void closeButtonLayout_data();
    void closeButtonLayout();
    void okCancelLayout();
    void layoutWithoutButtonsIsHarmless();
    void comboInit_data();
    void comboInit();
};

void tst_TextHelpers::fileChk()
{
    QCOMPARE(lib().FILECHK(QString()), QStringLiteral("Untitled"));
    QCOMPARE(lib().FILECHK(QStringLiteral(" ")), QStringLiteral(" "));
    QCOMPARE(lib().FILECHK(QStringLiteral("Letter.rtf")), QStringLiteral("Letter.rtf"));
}

void tst_TextHelpers::fileNameLenChk_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file-system root unchanged") << "/"
                                                << "/";
    QTest::newRow("empty stays empty") << ""
                                       << "";
    QTest::newRow("folder gets a separator") << "/home/ann/Documents"
                                             << "/home/ann/Documents/";
    QTest::newRow("folder with separator unchanged") << "/home/ann/"
                                                     << "/home/ann/";
    QTest::newRow("short folder gets a separator") << "/a"
                                                   << "/a/";
    QTest::newRow("relative folder") << "docs"
                                     << "docs/";
    QTest::newRow("backslash is a name character") << "/tmp/a\\"
                                                   << "/tmp/a\\/";
}

void tst_TextHelpers::fileNameLenChk()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(lib().FILENAMELENCHK(path), expected);
}

void tst_TextHelpers::folderPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("expected");
    QTest::newRow("file in folder") << "/home/ann/a.rtf"
                                    << "/home/ann/";
    QTest::newRow("file in root") << "/a.rtf"
                                  << "/";
    QTest::newRow("folder with separator") << "/home/ann/"
                                           << "/home/ann/";
    QTest::newRow("no separator") << "a.rtf"
                                  << "";
    QTest::newRow("empty") << ""
                           << "";
}

void tst_TextHelpers::folderPath()
{
    QFETCH(QString, path);
    QFETCH(QString, expected);
    QCOMPARE(lib().GETFOLDERPATH(path), expected);
}

void tst_TextHelpers::charCheck_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ch");
    QTest::addColumn<bool>("expected");
    QTest::newRow("occurs once") << "word-wrap"
                                 << "-" << false;
    QTest::newRow("occurs often") << "a.b.c"
                                  << "." << false;
    QTest::newRow("at the start") << "?why"
                                  << "?" << false;
    QTest::newRow("does not occur") << "plain"
                                    << "-" << true;
    QTest::newRow("case matters") << "abc"
                                  << "B" << true;
    QTest::newRow("empty text") << ""
                                << "-" << true;
    QTest::newRow("empty character") << "abc"
                                     << "" << true;
}

void tst_TextHelpers::charCheck()
{
    QFETCH(QString, text);
    QFETCH(QString, ch);
    QFETCH(bool, expected);
    QCOMPARE(lib().CHARCHECK(text, ch), expected);
}

void tst_TextHelpers::tokenLeft_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QString>("expected");
    QTest::newRow("before the delimiter") << "Name=Ann"
                                          << "="
                                          << "Name";
    QTest::newRow("first occurrence") << "a=b=c"
                                      << "="
                                      << "a";
    QTest::newRow("delimiter first") << "=x"
                                     << "="
                                     << "";
    QTest::newRow("delimiter absent gives nothing") << "whole text"
                                                    << "="
                                                    << "";
    QTest::newRow("empty text") << ""
                                << "="
                                << "";
    QTest::newRow("empty delimiter") << "abc"
                                     << ""
                                     << "";
}

void tst_TextHelpers::tokenLeft()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(QString, expected);
    QCOMPARE(lib().TOKENLEFT(text, delimiter), expected);
}

void tst_TextHelpers::piece_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<int>("n");
    QTest::addColumn<double>("expected");
    QTest::newRow("first") << "10,20,30"
                           << "," << 1 << 10.0;
    QTest::newRow("middle") << "10,20,30"
                            << "," << 2 << 20.0;
    QTest::newRow("last") << "10,20,30"
                          << "," << 3 << 30.0;
    QTest::newRow("decimals") << "1.5;2.25"
                              << ";" << 2 << 2.25;
    QTest::newRow("negative with exponent") << "-3e2,x"
                                            << "," << 1 << -300.0;
    QTest::newRow("only field") << "7"
                                << "," << 1 << 7.0;
    QTest::newRow("last field with blanks") << "1, 30 "
                                            << "," << 2 << 30.0;
    QTest::newRow("middle field reads its leading number") << "10,12abc,30"
                                                           << "," << 2 << 12.0;
    QTest::newRow("middle field skips blanks") << "1 2 3,x"
                                               << "," << 1 << 123.0;
    QTest::newRow("middle field not numeric") << "10,abc,30"
                                              << "," << 2 << 0.0;
    QTest::newRow("last field not numeric") << "10,20,12abc"
                                            << "," << 3 << 0.0;
    QTest::newRow("last field inner blank") << "10,1 2"
                                            << "," << 2 << 0.0;
    QTest::newRow("empty middle field") << "5,,6"
                                        << "," << 2 << 0.0;
    QTest::newRow("empty last field") << "5,"
                                      << "," << 2 << 0.0;
    QTest::newRow("beyond the last field") << "1,2"
                                           << "," << 3 << 0.0;
    QTest::newRow("field 0") << "1,2"
                             << "," << 0 << 0.0;
    QTest::newRow("empty text") << ""
                                << "," << 1 << 0.0;
    QTest::newRow("huge exponent") << "1e99999,2"
                                   << "," << 1 << 0.0;
}

void tst_TextHelpers::piece()
{
    QFETCH(QString, text);
    QFETCH(QString, delimiter);
    QFETCH(int, n);
    QFETCH(double, expected);
    QCOMPARE(lib().PIECE(text, delimiter, n), expected);
}

void tst_TextHelpers::wordCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blanks only") << "    " << 0;
    QTest::newRow("line breaks only") << "\r\n\r\n" << 0;
    QTest::newRow("one word") << "word" << 1;
    QTest::newRow("two blanks and a line break") << "one  two\r\nthree" << 3;
    QTest::newRow("hyphenated across a line break") << "hyphen-\r\nated word" << 2;
    QTest::newRow("hyphen with blanks") << "a - b" << 3;
    QTest::newRow("leading and trailing blanks") << "  lead and trail  " << 3;
    QTest::newRow("blank lines between") << "a\r\n\r\n\r\nb" << 2;
    QTest::newRow("blanks around a break") << "one \r\n two" << 2;
    QTest::newRow("tab is not a separator") << "tab\tjoined" << 1;
    QTest::newRow("trailing hyphen break") << "end-\r\n" << 1;
}

void tst_TextHelpers::wordCount()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(lib().WORDCOUNT(text), expected);
}

void tst_TextHelpers::numberFormats_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("currency");    // CURRENCYFMT, "##0.00"
    QTest::addColumn<QString>("oneDecimal");  // TEXTJUSTIFY, "0.0"
    QTest::addColumn<QString>("twoDecimals"); // TEXTJUSTIFYCURRENCY, "0.00"
    QTest::newRow("empty") << ""
                           << ""
                           << ""
                           << "";
    QTest::newRow("not a number") << "abc"
                                  << ""
                                  << ""
                                  << "";
    QTest::newRow("trailing garbage") << "12abc"
                                      << ""
                                      << ""
                                      << "";
    QTest::newRow("point only") << "."
                                << ""
                                << ""
                                << "";
    QTest::newRow("integer") << "1"
                             << "1.00"
                             << "1.0"
                             << "1.00";
    QTest::newRow("fraction") << "0.5"
                              << "0.50"
                              << "0.5"
                              << "0.50";
    QTest::newRow("no leading digit") << ".75"
                                      << "0.75"
                                      << "0.8"
                                      << "0.75";
    QTest::newRow("half rounds away from zero") << "2.345"
                                                << "2.35"
                                                << "2.3"
                                                << "2.35";
    QTest::newRow("negative half") << "-0.25"
                                   << "-0.25"
                                   << "-0.3"
                                   << "-0.25";
    QTest::newRow("carry into new digit") << "9.995"
                                          << "10.00"
                                          << "10.0"
                                          << "10.00";
    QTest::newRow("no digit grouping") << "1234567"
                                       << "1234567.00"
                                       << "1234567.0"
                                       << "1234567.00";
    QTest::newRow("blanks around") << " 8.5 "
                                   << "8.50"
                                   << "8.5"
                                   << "8.50";
    QTest::newRow("exponent") << "1e3"
                              << "1000.00"
                              << "1000.0"
                              << "1000.00";
    QTest::newRow("tiny negative loses its sign") << "-0.001"
                                                  << "0.00"
                                                  << "0.0"
                                                  << "0.00";
    QTest::newRow("comma is not a decimal point") << "1,5"
                                                  << ""
                                                  << ""
                                                  << "";
    QTest::newRow("too large") << "1e400"
                               << ""
                               << ""
                               << "";
}

void tst_TextHelpers::numberFormats()
{
    QFETCH(QString, text);
    QFETCH(QString, currency);
    QFETCH(QString, oneDecimal);
    QFETCH(QString, twoDecimals);
    QCOMPARE(lib().CURRENCYFMT(text), currency);
    QCOMPARE(lib().TEXTJUSTIFY(text), oneDecimal);
    QCOMPARE(lib().TEXTJUSTIFYCURRENCY(text), twoDecimals);
}

void tst_TextHelpers::currencyLock_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expected");
    for (char c = '0'; c <= '9'; ++c)
        QTest::addRow("digit %c", c) << int(c) << int(c);
    QTest::newRow("backspace") << 8 << 8;
    QTest::newRow("decimal point") << 46 << 46;
    QTest::newRow("letter") << int('a') << 0;
    QTest::newRow("minus") << int('-') << 0;
    QTest::newRow("comma") << int(',') << 0;
    QTest::newRow("slash, below the digits") << int('/') << 0;
    QTest::newRow("colon, above the digits") << int(':') << 0;
    QTest::newRow("return") << 13 << 0;
    QTest::newRow("blank") << 32 << 0;
}

void tst_TextHelpers::currencyLock()
{
    QFETCH(int, key);
    QFETCH(int, expected);
    QCOMPARE(lib().TXTCURRENCYLOCK(nullptr, key), expected);
}

void tst_TextHelpers::fileAndFolderExistence()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("a.rtf"));
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QVERIFY(lib().FILEEXISTS(file));
    QVERIFY(!lib().FILEEXISTS(dir.path()));
    QVERIFY(!lib().FILEEXISTS(dir.filePath(QStringLiteral("missing.rtf"))));
    QVERIFY(!lib().FILEEXISTS(QString()));
    QVERIFY(lib().FOLDEREXIST(dir.path()));
    QVERIFY(lib().FOLDEREXIST(dir.path() + QLatin1Char('/')));
    QVERIFY(!lib().FOLDEREXIST(QString()));
}

void tst_TextHelpers::folderExistCreatesAMissingFolder()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("new/deeper"));
    QVERIFY(!lib().FOLDEREXIST(folder));
    QVERIFY(QFileInfo(folder).isDir());
    QVERIFY(lib().FOLDEREXIST(folder));
}

void tst_TextHelpers::overwriteCheck_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("expected");
    QTest::newRow("new file, no question") << false << 0 << true;
    QTest::newRow("existing, yes") << true << int(MsgResult::Yes) << true;
    QTest::newRow("existing, no") << true << int(MsgResult::No) << false;
}

void tst_TextHelpers::overwriteCheck()
{
    QFETCH(bool, exists);
    QFETCH(int, answer);
    QFETCH(bool, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Letter.rtf"));
    if (exists) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    ScriptedUiServices ui;
    ui.messageAnswers.enqueue(answer);
    QCOMPARE(lib().OVERWRITECHK(path), expected);
    if (!exists) {
        QVERIFY(ui.messages.isEmpty());
        return;
    }
    QCOMPARE(ui.messages.size(), 1);
    QCOMPARE(ui.messages.first().text, "The document '" + path +
                                           "' already exists.\r\nDo you really want to "
                                           "overwrite this ?");
    QCOMPARE(ui.messages.first().style, MsgStyle::YesNo + MsgStyle::Question);
    QCOMPARE(ui.messages.first().title, QStringLiteral("Save As"));
}

void tst_TextHelpers::windowsAndDesktopFolders()
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

void tst_TextHelpers::filesLocation_data()
{
    QTest::addColumn<QString>(
        "stored"); // "@none" for nothing stored, "@dir" for an existing folder
    QTest::addColumn<bool>("fallsBack");
    QTest::newRow("nothing stored") << "@none" << false;
    QTest::newRow("existing folder") << "@dir" << false;
    QTest::newRow("existing folder with separator") << "@dir/" << false;
    QTest::newRow("folder gone") << "@gone" << true;
    QTest::newRow("empty value") << "" << true;
}

void tst_TextHelpers::filesLocation()
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
        QVERIFY(lib().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, PrefsKey, FilesLocation, value));

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

void tst_TextHelpers::closeButtonLayout_data()
{
    QTest::addColumn<int>("twipsPerPixel");
    QTest::addColumn<QPoint>("expected");
    // Form 400 px wide, button 75 px: left = 400 - 135 twips - 75, top = 165 twips.
    QTest::newRow("96 dpi") << 15 << QPoint(400 - 9 - 75, 11);
    QTest::newRow("120 dpi") << 12 << QPoint(400 - 11 - 75, 14);
}

void tst_TextHelpers::closeButtonLayout()
{
    QFETCH(int, twipsPerPixel);
    QFETCH(QPoint, expected);
    MetricsScope metrics(twipsPerPixel);
    QWidget form;
    form.resize(400, 300);
    auto *close = new QPushButton(QStringLiteral("Close"), &form);
    close->setObjectName(QStringLiteral("BTNCLOSE"));
    close->setGeometry(0, 200, 75, 25);
    lib().RESIZEBTNCLOSE(&form);
    QCOMPARE(close->pos(), expected);
    QCOMPARE(close->size(), QSize(75, 25));
}

void tst_TextHelpers::okCancelLayout()
{
    MetricsScope metrics(15);
    QWidget form;
    form.resize(360, 200);
    auto *ok = new QPushButton(QStringLiteral("OK"), &form);
    ok->setObjectName(QStringLiteral("BTNOK"));
    ok->setGeometry(5, 150, 80, 25);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), &form);
    cancel->setObjectName(QStringLiteral("BTNCANCEL"));
    cancel->setGeometry(100, 150, 80, 25);
    lib().RESIZEBTNSOKCANCEL(&form);
    QCOMPARE(ok->pos(), QPoint(360 - 9 - 80, 11));
    // Cancel stands under OK, 90 twips below it, right edges aligned.
    QCOMPARE(cancel->pos(), QPoint(360 - 9 - 80, 11 + 25 + 6));
}

void tst_TextHelpers::layoutWithoutButtonsIsHarmless()
{
    QWidget form;
    auto *other = new QPushButton(&form);
    other->move(3, 4);
    lib().RESIZEBTNCLOSE(&form);
    lib().RESIZEBTNSOKCANCEL(&form);
    lib().RESIZEBTNCLOSE(nullptr);
    lib().RESIZEBTNSOKCANCEL(nullptr);
    QCOMPARE(other->pos(), QPoint(3, 4));
}

void tst_TextHelpers::comboInit_data()
{
    QTest::addColumn<bool>("editable");
    QTest::addColumn<int>("items");
    QTest::addColumn<int>("expectedRows");
    QTest::newRow("list, many items") << false << 60 << 15;
    QTest::newRow("list, few items") << false << 5 << 5;
    QTest::newRow("editable, many items") << true << 60 << 15;
}

void tst_TextHelpers::comboInit()
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

QTEST_MAIN(tst_TextHelpers)
#include "tst_texthelpers.moc"
