#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QtTest>
#include <functional>

#include "chrome/FileProperties.h"
#include "chrome/frmProps.h"
#include "core/MainWindowFixture.h"

// The file properties dialog and what it shows: size texts, letter case, attributes, the tabs
// of each kind of file, and a file that cannot be read.
class tst_Props : public QObject
{
    Q_OBJECT
private slots:
    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("just under 1 KB") << qint64(1023) << "1,023 Bytes";
        QTest::newRow("20 KB") << qint64(20480) << "20.0KB (20,480 Bytes)";
        QTest::newRow("1.5 GB") << qint64(1610612736) << "1.5GB (1,610,612,736 Bytes)";
    }
    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(FileProperties::sizeText(bytes), text);
    }
    void pathHelpers()
    {
        QTemporaryDir dir;
        QDir(dir.path()).mkpath(QStringLiteral("Mixed Case/Inner"));
        QFile(dir.filePath(QStringLiteral("Mixed Case/Inner/Letter.RTF")))
            .open(QIODevice::WriteOnly);
        const QString base = QDir(dir.path()).canonicalPath();
        // Components found on disk take their stored case; the rest stays as given.
        QCOMPARE(frmProps::PROPERCASEPATH(base + QStringLiteral("/mixed case/INNER/letter.rtf")),
                 base + QStringLiteral("/Mixed Case/Inner/Letter.RTF"));
        QCOMPARE(frmProps::PROPERCASEPATH(base + QStringLiteral("/mixed case/gone/x.rtf")),
                 base + QStringLiteral("/Mixed Case/gone/x.rtf"));
        QCOMPARE(
            FileProperties::locationText(base + QStringLiteral("/mixed case/inner/letter.rtf")),
            base + QStringLiteral("/Mixed Case/Inner"));
        // A file in the root folder keeps the separator as its location.
        QCOMPARE(FileProperties::locationText(QStringLiteral("/letter.rtf")), QStringLiteral("/"));
    }
    void generalTab_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QStringList>("tabs");
        const QStringList general{QStringLiteral("GENERAL")};
        QTest::newRow("document") << "Letter.rtf"
                                  << "DOCUMENT" << false
                                  << (general + QStringList{QStringLiteral("DOCUMENT")});
        QTest::newRow("read-only template")
            << "Memo.rtt"
            << "TEMPLATE" << true << (general + QStringList{QStringLiteral("DOCUMENT")});
        QTest::newRow("hidden picture")
            << ".photo.png"
            << "PICTURE" << false << (general + QStringList{QStringLiteral("PICTURE")});
    }
    void generalTab()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, readOnly);
        QFETCH(QStringList, tabs);
        TempSettings settings;
        ScriptedUiServices ui;
        const QString path = settings.path(name);
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(QByteArray(1536, '\x01'));
        }
        if (readOnly)
            QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
        QVERIFY(show(ui, path, kind, nullptr, [&](frmProps &d) {
            QCOMPARE(d.tabKeys(), tabs);
            QCOMPARE(d.TXTFILENAME->text(), name);
            QCOMPARE(d.TXTLOCATION->text(), frmProps::PROPERCASEPATH(settings.path(QString())));
            QCOMPARE(d.TXTSIZE->text(), QStringLiteral("1.50KB (1,536 Bytes)"));
            QVERIFY(!d.TXTMODIFIED->text().isEmpty());
            QVERIFY(!d.TXTTYPE->text().isEmpty());
            QCOMPARE(d.CHKATTR[0]->isChecked(), readOnly);
            QCOMPARE(d.CHKATTR[1]->isChecked(), name.startsWith(QLatin1Char('.')));
            QVERIFY(!d.CHKATTR[2]->isChecked());
        }));
        QCOMPARE(frmProps::ATTRREADONLY(path), readOnly);
        QVERIFY(ui.messages.isEmpty());
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    }
    void missingFileIsReported()
    {
        TempSettings settings;
        ScriptedUiServices ui;
        QVERIFY(show(ui, settings.path(QStringLiteral("gone.rtf")), QStringLiteral("DOCUMENT"),
                     nullptr, [&](frmProps &d) {
                         QCOMPARE(d.TXTFILENAME->text(), QStringLiteral("gone.rtf"));
                         QVERIFY(d.TXTSIZE->text().isEmpty());
                         QVERIFY(d.TXTLOCATION->text().isEmpty());
                     }));
        QCOMPARE(ui.messages.size(), 1);
        QVERIFY(ui.messages[0].text.contains(QLatin1String("gone.rtf")));
    }
    void documentTabCounts()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        // An untitled document has only the General tab and no file to complain about.
        bool untitledShown = false;
        auto untitled = [](frmProps &d) {
            QCOMPARE(d.tabKeys(), QStringList{QStringLiteral("GENERAL")});
            QCOMPARE(d.TXTFILENAME->text(), QStringLiteral("Document 1"));
        };
        f.ui.dialogHandler = [&](QWidget *w) -> int {
            if (auto *d = qobject_cast<frmProps *>(w)) {
                untitledShown = true;
                untitled(*d);
            }
            return QDialog::Accepted;
        };
        m.menuItem(QStringLiteral("MNUVIEWPROPERTIES"))->trigger();
        QVERIFY(untitledShown);
        QVERIFY(f.ui.messages.isEmpty());

        // A saved document: counts of its text; a long one fills several pages.
        QString body;
        for (int i = 0; i < 150; ++i)
            body += QStringLiteral("Line number ") + QString::number(i) + QStringLiteral("\\par ");
        const QString path =
            f.file(QStringLiteral("Long.rtf"),
                   (QStringLiteral(
                        "{\\rtf1 {\\info{\\title Parish news}{\\author Ann Lee}{\\company St Mary}"
                        "{\\keywords fete}{\\creatim\\yr2020\\mo6\\dy1}}") +
                    body + QLatin1Char('}'))
                       .toUtf8());
        frmDocRTF *doc = f.cmd().FILEOPENONE(path);
        QVERIFY(doc);
        QVERIFY(show(f.ui, path, QStringLiteral("DOCUMENT"), doc->RTF1, [&](frmProps &d) {
            QCOMPARE(d.TXTDOCPATH->text(), path);
            // The document's own summary, as the file gives it.
            QCOMPARE(d.TXTTITLE->text(), QStringLiteral("Parish news"));
            QCOMPARE(d.TXTAUTHOR->text(), QStringLiteral("Ann Lee"));
            QCOMPARE(d.TXTCOMPANY->text(), QStringLiteral("St Mary"));
            QCOMPARE(d.TXTKEYWORDS->text(), QStringLiteral("fete"));
            QVERIFY(d.TXTSUBJECT->text().isEmpty());
            QVERIFY(d.TXTCREATED->text().contains(QStringLiteral("2020")));
            QCOMPARE(d.TXTWORDS->text(), QStringLiteral("450"));
            QCOMPARE(d.TXTDOCLEN->text(), QString::number(doc->RTF1->Text().size()));
            QVERIFY(d.TXTDOCLINES->text().toInt() >= 150);
            QVERIFY(d.TXTDOCPAGES->text().toInt() >= 3);
        }));
    }
    void pictureTab()
    {
        TempSettings settings;
        ScriptedUiServices ui;
        QImage image(7, 5, QImage::Format_Indexed8);
        image.setColorCount(256);
        for (int i = 0; i < 256; ++i)
            image.setColor(i, qRgb(i, i, i));
        image.fill(3);
        const QString path = settings.path(QStringLiteral("Grey.png"));
        QVERIFY(image.save(path, "PNG"));
        QVERIFY(show(ui, path, QStringLiteral("PICTURE"), nullptr, [&](frmProps &d) {
            QCOMPARE(d.TXTPICTYPE->text(), QStringLiteral("PNG"));
            QCOMPARE(d.TXTPICWIDTH->text(), QStringLiteral("7 pixels"));
            QCOMPARE(d.TXTPICHEIGHT->text(), QStringLiteral("5 pixels"));
            QCOMPARE(d.TXTPICPIXELDEPTH->text(), QStringLiteral("256 colors (8 bit)"));
        }));
    }

private:
    // Shows the properties of path through GETPROPERTIES and runs `look` on the dialog.
    static bool show(ScriptedUiServices &ui, const QString &path, const QString &kind,
                     QWidget *source, const std::function<void(frmProps &)> &look)
    {
        bool shown = false;
        ui.dialogHandler = [&](QWidget *w) {
            if (auto *d = qobject_cast<frmProps *>(w)) {
                shown = true;
                look(*d);
            }
            return int(QDialog::Accepted);
        };
        clsLibrary::instance().GETPROPERTIES(nullptr, path, nullptr, kind, QString(), QString(),
                                             source);
        return shown;
    }
};

QTEST_MAIN(tst_Props)
#include "tst_props.moc"
