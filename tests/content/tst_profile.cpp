#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "content/Profile.h"
#include "content/frmProfile.h"
#include "core/MainWindowFixture.h"

// The profile file format, the profile dialog and the Insert menu's profile items.
class tst_Profile : public QObject
{
    Q_OBJECT

private:
    using Expected = QMap<int, QString>; // box -> value; boxes not named are empty

    static Profile::Fields fieldsOf(const Expected &values)
    {
        Profile::Fields f;
        for (auto it = values.begin(); it != values.end(); ++it)
            f[size_t(it.key())] = it.value();
        return f;
    }
    static QByteArray records(int count)
    {
        QByteArray out;
        for (int k = 0; k < count; ++k)
            out += "\"r" + QByteArray::number(k) + "\"\r\n";
        return out;
    }
    // With no "Files Location" of the user's choosing: the user's data folder.
    static QString profilePath(MainWindowFixture &)
    {
        AppPaths::ensureFolder(AppPaths::userDataFolder());
        return AppPaths::userDataFolder() + QStringLiteral("/My Profile.mpd");
    }

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Expected>("expected");
        QTest::newRow("comma inside quotes")
            << QByteArray("\"Smith, J\"\r\n\"Anne\"\r\n") << Expected{{0, "Smith, J"}, {1, "Anne"}};
        QTest::newRow("unquoted lines, LF and CR ends")
            << QByteArray("  Smith  \nAnne\r\"x\"")
            << Expected{{0, "Smith"}, {1, "Anne"}, {2, "x"}};
        QTest::newRow("doubled quote, text after closing quote")
            << QByteArray("\"say \"\"hi\"\"\" junk, more\r\n") << Expected{{0, "say \"hi\""}};
        QTest::newRow("unterminated quote")
            << QByteArray("\"abc\r\n\"d\"\r\n") << Expected{{0, "abc"}, {1, "d"}};
        QTest::newRow("blank line is an empty record")
            << QByteArray("\"a\"\r\n\r\n\"c\"\r\n") << Expected{{0, "a"}, {2, "c"}};
        Expected all;
        for (int k = 0; k < 20; ++k)
            all[k] = QStringLiteral("r%1").arg(k);
        for (int k = 20; k < 24; ++k)
            all[k + 1] = QStringLiteral("r%1").arg(k);
        all[24] = QStringLiteral("r24"); // the last record wins over record 23
        QTest::newRow("record order, box 20 not stored") << records(25) << all;
        QTest::newRow("records past 25 ignored") << records(40) << all;
    }
    void parse()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(Expected, expected);
        const Profile::Fields fields = Profile::parse(bytes);
        for (int k = 0; k < Profile::FieldCount; ++k)
            QCOMPARE(fields[size_t(k)], expected.value(k));
    }

    void roundTrip_data()
    {
        QTest::addColumn<Expected>("values");
        QTest::newRow("punctuation") << Expected{
            {0, "Smith, Jones"}, {3, "\"Chief\" editor"}, {11, "  spaced  "}, {24, "http://x.org"}};
        QTest::newRow("beyond the code page")
            << Expected{{7, "\u0391\u03B8\u03AE\u03BD\u03B1"}, {8, "a\u2028b"}};
    }
    void roundTrip()
    {
        QFETCH(Expected, values);
        const Profile::Fields fields = fieldsOf(values);
        const QByteArray bytes = Profile::serialize(fields);
        QCOMPARE(bytes.count("\r\n"), 25);
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(Profile::parse(bytes), fields);
    }

    void menuItemsFollowTheProfile()
    {
        MainWindowFixture f;
        const Profile::Fields fields =
            fieldsOf({{11, "01234 567890"}, {6, "1 High St"}, {8, "Leeds"}, {10, "UK"}});
        QVERIFY(Profile::save(profilePath(f), fields));
        frmMain &m = f.start();
        for (const QString &item : Profile::menuItems()) {
            const bool expected = item == QLatin1String("MNUINSERTPSUBHOMESUBPHONE") ||
                                  item == QLatin1String("MNUINSERTPSUBHOMESUBADDRESS");
            QVERIFY2(m.menuItem(item)->isEnabled() == expected, qPrintable(item));
        }
        QVERIFY(m.menuItem(QStringLiteral("MNUINSERTPSUBSETTINGS"))->isEnabled());

        m.menuItem(QStringLiteral("MNUINSERTPSUBHOMESUBADDRESS"))->trigger();
        m.menuItem(QStringLiteral("MNUINSERTPSUBHOMESUBPHONE"))->trigger();
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("1 High St\r\nLeeds\r\nUK01234 567890"));
    }

    void dialogSavesAndUpdatesMenu()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        QCOMPARE(QFileInfo(profilePath(f)).size(), 0); // created empty at start-up
        QVERIFY(QFileInfo::exists(profilePath(f)));
        QVERIFY(!m.menuItem(QStringLiteral("MNUINSERTPSUBFULLNAME"))->isEnabled());
        QString statusWhileOpen;
        f.ui.dialogHandler = [&](QWidget *w) {
            auto *dlg = qobject_cast<frmProfile *>(w);
            if (!dlg)
                return 0;
            statusWhileOpen = m.panel(frmMain::PanelDescription)->text();
            auto *ok = dlg->findChild<QPushButton *>(QStringLiteral("BTNOK"));
            if (ok->isEnabled())
                return 0; // nothing changed yet: OK must wait
            dlg->TXTDETAILS[1]->setText(QStringLiteral("Anne"));
            dlg->TXTDETAILS[23]->setText(QStringLiteral("www.example.org"));
            QFocusEvent out(QEvent::FocusOut);
            QApplication::sendEvent(dlg->TXTDETAILS[23], &out);
            ok->click();
            return dlg->result();
        };
        m.menuItem(QStringLiteral("MNUINSERTPSUBSETTINGS"))->trigger();
        QVERIFY(statusWhileOpen.startsWith(QStringLiteral("Obtaining personal details...")));
        QVERIFY(m.panel(frmMain::PanelDescription)->text().isEmpty());
        const Profile::Fields saved = Profile::load(profilePath(f));
        QCOMPARE(saved[1], QStringLiteral("Anne"));
        QCOMPARE(saved[23], QStringLiteral("http://www.example.org"));
        QVERIFY(m.menuItem(QStringLiteral("MNUINSERTPSUBFULLNAME"))->isEnabled());
        QVERIFY(m.menuItem(QStringLiteral("MNUINSERTPSUBHOMESUBWEB"))->isEnabled());
        m.menuItem(QStringLiteral("MNUINSERTPSUBFULLNAME"))->trigger();
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("Anne"));
    }

    void unwritableFileKeepsDialogOpen()
    {
        MainWindowFixture f;
        f.start();
        const QString blocker = f.file(QStringLiteral("plain"), "x");
        frmProfile dlg(blocker + QStringLiteral("/My Profile.mpd"));
        dlg.TXTDETAILS[0]->setText(QStringLiteral("Smith"));
        dlg.findChild<QPushButton *>(QStringLiteral("BTNOK"))->click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QCOMPARE(f.ui.messages.size(), 1);
        QVERIFY(f.ui.messages[0].text.contains(QStringLiteral("My Profile.mpd")));
        QCOMPARE(dlg.TXTDETAILS[0]->text(), QStringLiteral("Smith"));
    }
};

QTEST_MAIN(tst_Profile)
#include "tst_profile.moc"
