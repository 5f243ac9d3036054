// The picture browser and Insert File: which files the browser lists and how it pages them,
// the thumbnails it reads, and what an insertion puts into the document.
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QTabBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QtTest>

#include "core/MainWindowFixture.h"
#include "pictures/PicBrowse.h"
#include "pictures/PicBrowseLoader.h"
#include "pictures/PictureFiles.h"
#include "pictures/frmPic.h"
#include "platform/rtf/TextFormats.h"
#include "support/TestFiles.h"

namespace {

// A picture of the given size; BMP bytes whatever the name says (the loader looks at the
// content), JPEG for .jpg/.jpeg names.
void writePicture(const QString &path, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(200, 40, 40));
    const bool jpeg = path.endsWith(QLatin1String("jpg"), Qt::CaseInsensitive) ||
                      path.endsWith(QLatin1String("jpeg"), Qt::CaseInsensitive);
    QVERIFY(image.save(path, jpeg ? "JPG" : "BMP"));
}

// An 8-bit uncompressed PCX of w x h.
QByteArray pcxFile(int w, int h)
{
    auto pcx = PictureFiles::Pcx::sized(8, 1, w, h, w);
    return pcx.file(QByteArray(w * h, '\x05'));
}

// The pictures of a document: their sizes in pixels and in twips.
struct DocPicture
{
    QSize pixels;
    QSize twips;
};
QList<DocPicture> picturesIn(const RichTextBox &rtf)
{
    QList<DocPicture> out;
    for (QTextBlock b = rtf.document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QTextImageFormat img = f.toImageFormat();
            out.append({QSize(int(img.width()), int(img.height())),
                        QSize(img.property(TextFormats::PictureWidthTwips).toInt(),
                              img.property(TextFormats::PictureHeightTwips).toInt())});
        }
    return out;
}

} // namespace

class tst_PicBrowse : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_fx = std::make_unique<MainWindowFixture>();
        m_fx->start();
        QGuiApplication::clipboard()->clear();
    }
    void cleanup()
    {
        frmPic::UNLOAD();
        m_fx.reset();
    }
    void listsPictureFilesOnly()
    {
        const QString dir = folder(QStringLiteral("mixed"));
        for (const char *name : {"a.gif", "B.JPG", "c.png", "d.txt", ".hidden.gif", "e.jpeg",
                                 "f.pcx", "g.TGA", "h.wmf", "i.Cur"})
            writeFile(dir + QLatin1Char('/') + QLatin1String(name), "x");
        QDir().mkpath(dir + QStringLiteral("/folder.jpg"));
        QCOMPARE(PicBrowse::listPictures(dir),
                 QStringList({"a.gif", "B.JPG", "e.jpeg", "f.pcx", "g.TGA", "h.wmf", "i.Cur"}));
        QVERIFY(PicBrowse::listPictures(dir + QStringLiteral("/missing")).isEmpty());
    }
    void pagesOfNine_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("onLastPage");
        QTest::addColumn<QString>("caption");
        QTest::newRow("one") << 1 << 1 << 1 << "Picture - 1 File";
        QTest::newRow("ten") << 10 << 2 << 1 << "Picture - 10 Files";
        QTest::newRow("hundreds") << 200 << 23 << 2 << "Picture - 200 Files";
    }
    void pagesOfNine()
    {
        QFETCH(int, files);
        QFETCH(int, pages);
        QFETCH(int, onLastPage);
        QFETCH(QString, caption);
        const QString dir = folder(QStringLiteral("pics"));
        for (int i = 0; i < files; ++i)
            writePicture(QStringLiteral("%1/p%2.bmp").arg(dir).arg(i, 3, 10, QLatin1Char('0')),
                         QSize(8 + i % 5, 6));
        frmPic *browser = openBrowser(dir);
        QVERIFY(browser);
        QCOMPARE(browser->windowTitle(), caption);
        QCOMPARE(browser->TABPG->count(), pages);
        QCOMPARE(browser->TABPG->tabToolTip(pages - 1), QStringLiteral("VIEW PAGE %1").arg(pages));
        // Every thumbnail of the folder is read in the background, the page shown first.
        QCOMPARE(browser->loader().readCount(), files);
        // "Creating thumbnail images..." is gone once the page's thumbnails are in.
        QCOMPARE(m_fx->main().panel(frmMain::PanelDescription)->text(), QString());

        browser->showPage(pages);
        int shown = 0;
        for (int slot = 0; slot < frmPic::Slots; ++slot) {
            if (browser->SHPHL[slot]->isHidden())
                continue;
            ++shown;
            QVERIFY(!browser->IMGSEL[slot]->pixmap().isNull());
            QCOMPARE(browser->LBLH[slot]->toolTip(),
                     browser->files()[(pages - 1) * frmPic::Slots + slot]);
        }
        QCOMPARE(shown, onLastPage);
        QVERIFY(m_fx->ui.messages.isEmpty());

        browser->BTNCANCEL->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmPic::loaded());
        QCOMPARE(m_fx->store(QStringLiteral("\\frmPic\\Items"), QStringLiteral("Folder")), dir);
    }
    void thumbnailTooltip_data()
    {
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("tooltip");
        QTest::newRow("small file")
            << QSize(40, 30) << qint64(512) << "Height:30.0 Width:40 Size:.5KB";
        QTest::newRow("large file")
            << QSize(640, 480) << qint64(1536 * 1024) << "Height:480.0 Width:640 Size:1536.0KB";
    }
    void thumbnailTooltip()
    {
        QFETCH(QSize, pixels);
        QFETCH(qint64, bytes);
        QFETCH(QString, tooltip);
        QCOMPARE(PicBrowse::thumbTooltip(pixels * 15, bytes), tooltip);
    }
    void badPicturesAreReported()
    {
        const QString dir = folder(QStringLiteral("bad"));
        writeFile(dir + QStringLiteral("/broken.jpg"), "not a picture at all");
        PictureFiles::Tga tga;
        tga.depth = 16;
        tga.width = tga.height = 2;
        writeFile(dir + QStringLiteral("/deep.tga"), tga.file(QByteArray(8, '\0')));
        writePicture(dir + QStringLiteral("/good.bmp"), QSize(4, 4));
        frmPic *browser = openBrowser(dir);
        QVERIFY(browser);
        QCOMPARE(m_fx->ui.messages.size(), 2);
        // Thumbnails are read in the background: the two reports may come in either order.
        auto messages = m_fx->ui.messages;
        if (!messages[0].text.contains(QLatin1String("broken.jpg")))
            std::swap(messages[0], messages[1]);
        QVERIFY(messages[0].text.startsWith(QDir(dir).filePath(QStringLiteral("broken.jpg"))));
        QVERIFY(messages[1].text.contains(QLatin1String("TGA 16")));
        // Each problem is told once per visit of the folder, not each time its page is shown.
        browser->showPage(1);
        browser->showPage(1);
        QCOMPARE(m_fx->ui.messages.size(), 2);
        // The unreadable pictures leave empty thumbnails; the good one shows.
        QVERIFY(browser->IMGSEL[0]->pixmap().isNull());
        QVERIFY(browser->IMGSEL[1]->pixmap().isNull());
        QVERIFY(!browser->IMGSEL[2]->pixmap().isNull());
    }
    void folderThatIsNoFolderChangesNothing()
    {
        const QString dir = folder(QStringLiteral("one"));
        writePicture(dir + QStringLiteral("/a.bmp"), QSize(4, 4));
        frmPic *browser = openBrowser(dir);
        QVERIFY(browser);
        for (const QString &path :
             {QString(), dir + QStringLiteral("/a.bmp"), dir + QStringLiteral("/gone")}) {
            browser->changeFolder(path);
            QCOMPARE(browser->folder(), dir);
            QCOMPARE(browser->files(), QStringList{QStringLiteral("a.bmp")});
        }
    }
    void changingFolderDropsOldThumbnails()
    {
        const QString big = folder(QStringLiteral("big"));
        for (int i = 0; i < 120; ++i)
            writePicture(QStringLiteral("%1/p%2.bmp").arg(big).arg(i, 3, 10, QLatin1Char('0')),
                         QSize(300, 200));
        const QString small = folder(QStringLiteral("small"));
        writePicture(small + QStringLiteral("/only.bmp"), QSize(5, 5));
        m_fx->setStore(QStringLiteral("\\frmPic\\Items"), QStringLiteral("Folder"), big);
        m_fx->cmd().INSERTPICTURE();
        frmPic *browser = frmPic::loaded();
        QVERIFY(browser);
        // The window is not held up: the browser is there before the thumbnails are.
        QVERIFY(browser->loader().readCount() < 120);
        browser->changeFolder(small);
        QVERIFY(browser->loader().waitIdle(20000));
        QCOMPARE(browser->loader().readCount(), 1);
        QVERIFY(browser->loader().thumbnail(0));
        QCOMPARE(browser->loader().thumbnail(0)->pixels, QSize(5, 5));
        QCOMPARE(browser->SHPHL[1]->isHidden(), true);
    }
    void insertFromBrowser()
    {
        const QString dir = folder(QStringLiteral("insert"));
        writePicture(dir + QStringLiteral("/a.bmp"), QSize(40, 30));
        writeFile(dir + QStringLiteral("/b.pcx"), pcxFile(300, 200));
        frmPic *browser = openBrowser(dir);
        QVERIFY(browser);
        QVERIFY(!browser->BTNOK->isEnabled());
        QVERIFY(!browser->BTNINSERT->isEnabled());
        RichTextBox *rtf = m_fx->active()->RTF1;

        // The thumbnail is small, the inserted picture full size.
        QVERIFY(browser->IMGSEL[1]->pixmap().width() <= frmPic::ThumbPixels);
        browser->selectSlot(1);
        QVERIFY(browser->BTNINSERT->isEnabled());
        browser->BTNINSERT->click();
        QCOMPARE(picturesIn(*rtf).size(), 1);
        QCOMPARE(picturesIn(*rtf)[0].pixels, QSize(300, 200));
        QCOMPARE(picturesIn(*rtf)[0].twips, QSize(4500, 3000));
        // The clipboard keeps the picture after the paste.
        QCOMPARE(QGuiApplication::clipboard()->image().size(), QSize(300, 200));

        browser->selectSlot(0);
        browser->BTNOK->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!frmPic::loaded());
        QCOMPARE(picturesIn(*rtf).size(), 2);
        QCOMPARE(picturesIn(*rtf)[1].pixels, QSize(40, 30));
    }
    void insertFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("picture");
        QTest::newRow("jpeg ends in PEG") << "photo.jpeg" << true;
        QTest::newRow("pcx by the program's reader") << "paint.pcx" << true;
        QTest::newRow("html ends in TML") << "page.html" << false;
    }
    void insertFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, picture);
        const QString dir = folder(QStringLiteral("files"));
        const QString path = dir + QLatin1Char('/') + name;
        if (name.endsWith(QLatin1String("pcx")))
            writeFile(path, pcxFile(24, 16));
        else if (picture)
            writePicture(path, QSize(24, 16));
        else
            writeFile(path, "inserted text");
        FileDialogResult answer;
        answer.files = QStringList{path};
        answer.filterIndex = 21;
        m_fx->ui.fileAnswers.enqueue(answer);
        RichTextBox *rtf = m_fx->active()->RTF1;

        m_fx->cmd().INSERTFILE();
        QCOMPARE(m_fx->ui.openRequests.size(), 1);
        QCOMPARE(m_fx->store(QStringLiteral("\\frmMain\\Items"),
                             QStringLiteral("CMD Insert File Folder")),
                 dir + QLatin1Char('/'));
        const QList<DocPicture> pictures = picturesIn(*rtf);
        if (picture) {
            QCOMPARE(pictures.size(), 1);
            QCOMPARE(pictures[0].pixels, QSize(24, 16));
            QCOMPARE(pictures[0].twips, QSize(360, 240));
        } else {
            QVERIFY(pictures.isEmpty());
            QVERIFY(rtf->Text().contains(QLatin1String("inserted text")));
        }
        QVERIFY(m_fx->ui.messages.isEmpty());
    }

private:
    frmPic *openBrowser(const QString &folder);
    QString folder(const QString &name);

    std::unique_ptr<MainWindowFixture> m_fx;
};

QString tst_PicBrowse::folder(const QString &name)
{
    const QString path = m_fx->settings.path(name);
    QDir().mkpath(path);
    return path;
}

frmPic *tst_PicBrowse::openBrowser(const QString &path)
{
    m_fx->setStore(QStringLiteral("\\frmPic\\Items"), QStringLiteral("Folder"), path);
    m_fx->cmd().INSERTPICTURE();
    frmPic *browser = frmPic::loaded();
    if (browser)
        browser->loader().waitIdle(20000);
    return browser;
}

QTEST_MAIN(tst_PicBrowse)
#include "tst_picbrowse.moc"
