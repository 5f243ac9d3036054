// Copy, move, rename and delete of picture files in a temporary folder: name clashes, failures
// that must lose nothing, the trash, and the browser's dialogs driving them.
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "chrome/frmProps.h"
#include "core/MainWindowFixture.h"
#include "pictures/PicBrowseLoader.h"
#include "pictures/PicFileOps.h"
#include "pictures/frmPic.h"
#include "pictures/frmPicCopyMove.h"
#include "pictures/frmPicRename.h"
#include "support/TestFiles.h"

class tst_PicFileOps : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_fx = std::make_unique<MainWindowFixture>();
        m_fx->start();
    }
    void cleanup()
    {
        frmPic::UNLOAD();
        m_fx.reset();
    }
    void copyOrMoveOntoExistingFile_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<bool>("clash");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<bool>("sourceStays");
        QTest::newRow("copy, free name") << false << false << 0 << QByteArray("new") << true;
        QTest::newRow("move, overwrite yes") << true << true << 6 << QByteArray("new") << false;
        QTest::newRow("move, overwrite no") << true << true << 7 << QByteArray("old") << true;
    }
    void copyOrMoveOntoExistingFile()
    {
        QFETCH(bool, move);
        QFETCH(bool, clash);
        QFETCH(int, answer);
        QFETCH(QByteArray, target);
        QFETCH(bool, sourceStays);
        const QString from = dir(QStringLiteral("from")) + QStringLiteral("/a.gif");
        const QString to = dir(QStringLiteral("to"));
        writeFile(from, "new");
        if (clash)
            writeFile(to + QStringLiteral("/a.gif"), "old");
        if (answer)
            m_fx->ui.messageAnswers.enqueue(answer);

        PicFileOps::copyTo(from, to, move);
        QCOMPARE(readFile(to + QStringLiteral("/a.gif")), target);
        QCOMPARE(QFile::exists(from), sourceStays);
        QCOMPARE(m_fx->ui.messages.size(), clash ? 1 : 0);
        if (clash)
            QVERIFY(m_fx->ui.messages[0].text.contains(to + QStringLiteral("/a.gif")));
        // Nothing is left behind but the files themselves.
        QCOMPARE(QDir(to).entryList(QDir::Files | QDir::Hidden), QStringList{"a.gif"});
    }
    void failuresLoseNothing_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("target");
        QTest::newRow("move onto itself") << "move"
                                          << "same";
        QTest::newRow("copy to missing folder") << "copy"
                                                << "missing";
        QTest::newRow("move out of read-only folder") << "moveout"
                                                      << "readonly";
    }
    void failuresLoseNothing()
    {
        QFETCH(QString, operation);
        QFETCH(QString, target);
        const QString src = dir(QStringLiteral("src"));
        const QString file = src + QStringLiteral("/p.bmp");
        writeFile(file, "picture");
        QString folder = target == QLatin1String("same") ? src : dir(QStringLiteral("ro"));
        if (target == QLatin1String("missing"))
            folder = m_fx->settings.path(QStringLiteral("nowhere"));
        const QString locked = operation == QLatin1String("moveout") ? src : folder;
        if (target == QLatin1String("readonly")) {
            QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
            writeFile(locked + QStringLiteral("/probe"), "x");
            if (QFile::exists(locked + QStringLiteral("/probe"))) {
                QFile::setPermissions(locked,
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("This account can write to read-only folders");
            }
        }
        const bool move = operation != QLatin1String("copy");
        const bool done = PicFileOps::copyTo(file, folder, move);
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        QVERIFY(!done);
        QCOMPARE(readFile(file), QByteArray("picture"));
        if (target != QLatin1String("same"))
            QVERIFY(!QFile::exists(folder + QStringLiteral("/p.bmp")));
        QCOMPARE(m_fx->ui.messages.size(), 1);
        QVERIFY(m_fx->ui.messages[0].text.startsWith(QStringLiteral("Cannot ") +
                                                     (move ? "move" : "copy") + " p.bmp: "));
        QCOMPARE(QDir(src).entryList(QDir::Files | QDir::Hidden), QStringList{"p.bmp"});
    }
    void renameKeepsType_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::addColumn<bool>("error");
        QTest::newRow("type added") << "b"
                                    << "b.gif" << false;
        QTest::newRow("other type gets old one") << "b.png"
                                                 << "b.png.gif" << false;
        QTest::newRow("existing name refused") << "taken.gif"
                                               << "a.gif" << true;
        QTest::newRow("folder separator refused") << "sub/b.gif"
                                                  << "a.gif" << true;
    }
    void renameKeepsType()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        QFETCH(bool, error);
        const QString d = dir(QStringLiteral("ren"));
        writeFile(d + QStringLiteral("/a.gif"), "A");
        writeFile(d + QStringLiteral("/taken.gif"), "T");
        QCOMPARE(PicFileOps::renameTo(d + QStringLiteral("/a.gif"), typed), !error);
        QCOMPARE(readFile(d + QLatin1Char('/') + result), QByteArray("A"));
        QCOMPARE(readFile(d + QStringLiteral("/taken.gif")), QByteArray("T"));
        QCOMPARE(m_fx->ui.messages.size(), error ? 1 : 0);
    }
    void deleteGoesToTrash_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << 6;
        QTest::newRow("no") << 7;
    }
    void deleteGoesToTrash()
    {
        QFETCH(int, answer);
        const QString d = dir(QStringLiteral("del"));
        const QString file = d + QStringLiteral("/old photo.jpg");
        writeFile(file, "photo");
        m_fx->ui.messageAnswers.enqueue(answer);
        QCOMPARE(PicFileOps::deleteAsk(file), answer == 6);
        QCOMPARE(m_fx->ui.messages.size(), 1);
        QVERIFY(m_fx->ui.messages[0].text.contains(QLatin1String("'old photo.jpg'")));
        QCOMPARE(QFile::exists(file), answer != 6);
        if (answer != 6)
            return;
        // freedesktop Trash: the file under files/, its origin in info/<name>.trashinfo.
        // The fixture's temporary data folder holds the trash, never the user's.
        const QDir trash(qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash"));
        const QStringList trashed =
            QDir(trash.filePath(QStringLiteral("files"))).entryList(QDir::Files);
        QVERIFY(trashed.size() >= 1);
        const QString name = trashed.last();
        QCOMPARE(readFile(trash.filePath(QStringLiteral("files/") + name)), QByteArray("photo"));
        const QByteArray info =
            readFile(trash.filePath(QStringLiteral("info/") + name + QStringLiteral(".trashinfo")));
        QVERIFY(info.startsWith("[Trash Info]"));
        QVERIFY2(info.contains("Path=" + QUrl::toPercentEncoding(file, "/")), info.constData());
    }
    void browserDialogs()
    {
        const QString d = dir(QStringLiteral("pics"));
        const QString other = dir(QStringLiteral("other"));
        for (const char *name : {"a.bmp", "b.bmp", "c.bmp"}) {
            QImage image(4, 4, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QVERIFY(image.save(d + QLatin1Char('/') + QLatin1String(name), "BMP"));
        }
        m_fx->setStore(QStringLiteral("\\frmPic\\Items"), QStringLiteral("Folder"), d);
        m_fx->cmd().INSERTPICTURE();
        frmPic *browser = frmPic::loaded();
        QVERIFY(browser);

        // Move To: OK only with a folder; the moved file leaves the browser's list.
        QStringList captions;
        m_fx->ui.dialogHandler = [&](QWidget *w) {
            auto *dialog = qobject_cast<frmPicCopyMove *>(w);
            if (!dialog)
                return 0;
            captions << dialog->windowTitle();
            if (dialog->BTNOK->isEnabled())
                return 0;
            dialog->TXTCOPY->setText(other);
            dialog->BTNOK->click();
            return dialog->result();
        };
        browser->selectSlot(1);
        browser->MNUPICMOVE->trigger();
        QCOMPARE(captions, QStringList{"Move To"});
        QVERIFY(QFile::exists(other + QStringLiteral("/b.bmp")));
        QCOMPARE(browser->files(), QStringList({"a.bmp", "c.bmp"}));
        QCOMPARE(browser->windowTitle(), QStringLiteral("Picture - 2 Files"));

        // Rename: the caption names the file, the name before its type is selected, OK waits for
        // a change.
        m_fx->ui.dialogHandler = [&](QWidget *w) {
            auto *dialog = qobject_cast<frmPicRename *>(w);
            if (!dialog)
                return 0;
            captions << dialog->windowTitle() << dialog->TXTRENAME->selectedText();
            if (dialog->BTNOK->isEnabled())
                return 0;
            dialog->TXTRENAME->setText(QStringLiteral("z"));
            dialog->BTNOK->click();
            return dialog->result();
        };
        browser->selectSlot(0);
        browser->MNUPICRENAME->trigger();
        QCOMPARE(captions.mid(1), QStringList({"Rename File - (a.bmp).", "a"}));
        QCOMPARE(browser->files(), QStringList({"c.bmp", "z.bmp"}));

        // Properties describe the selected picture, not the active document.
        QString pictureType;
        m_fx->ui.dialogHandler = [&](QWidget *w) {
            if (auto *props = qobject_cast<frmProps *>(w))
                pictureType = props->TXTPICTYPE->text();
            return 0;
        };
        browser->selectSlot(1);
        browser->MNUPICPROPS->trigger();
        QCOMPARE(pictureType, QStringLiteral("BMP"));
        QVERIFY(browser->loader().waitIdle(20000));
    }

private:
    QString dir(const QString &name);

    std::unique_ptr<MainWindowFixture> m_fx;
};

QString tst_PicFileOps::dir(const QString &name)
{
    const QString path = m_fx->settings.path(name);
    QDir().mkpath(path);
    return path;
}

QTEST_MAIN(tst_PicFileOps)
#include "tst_picfileops.moc"
