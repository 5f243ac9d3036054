#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>
#include <QtTest>
#include <functional>

#include "chrome/frmPrefs.h"
#include "core/MainWindowFixture.h"

// The Preferences dialog as File > Preferences shows it: what it loads, what OK stores and
// applies, and that Cancel keeps everything.
class tst_Prefs : public QObject
{
    Q_OBJECT
private slots:
    void cleanStoreDefaults()
    {
        MainWindowFixture f;
        f.start();
        QVERIFY(withDialog(f, [&](frmPrefs &d) {
            for (QCheckBox *c : {d.CHKCUSTNOS, d.CHKCUSTUCASE, d.CHKCUSTCHARS})
                QVERIFY(c->isChecked());
            // "Spell Check Load" defaults to "True": the dictionary waits for its first use.
            QVERIFY(d.OPTFIRSTUSE->isChecked());
            QVERIFY(d.OPTWRAPRUL->isChecked());
            QCOMPARE(d.CBOFNTNMTXT->currentText(), QStringLiteral("FIXEDSYS"));
            QCOMPARE(d.CBOFNTSZTXT->currentText(), QStringLiteral("9"));
            QCOMPARE(d.TXTBTN->text(), f.settings.programFolder() + QStringLiteral("/Normal.rtt"));
            QCOMPARE(d.UDNRECOVERY->value(), 120);
            QVERIFY(!d.BTNOK->isEnabled());
            // Each tab shows its own frame.
            d.selectTab(QStringLiteral("fonts"));
            QCOMPARE(d.currentTab(), QStringLiteral("FONTS"));
            QVERIFY(d.FRAMFONTS->isVisibleTo(&d));
            QVERIFY(!d.FRAMSPELLING->isVisibleTo(&d));
        }));
        // The status bar's working text is gone once the dialog is up.
        QCOMPARE(f.main().panel(frmMain::PanelDescription)->text(), QString());
    }
    void storedWrapSelectsOption_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("option");
        QTest::newRow("no wrap") << "1"
                                 << "OPTWRAPNO";
        QTest::newRow("window") << "2"
                                << "OPTWRAPWIN";
        QTest::newRow("unknown value is ruler") << "7"
                                                << "OPTWRAPRUL";
    }
    void storedWrapSelectsOption()
    {
        QFETCH(QString, stored);
        QFETCH(QString, option);
        MainWindowFixture f;
        f.setStore(QStringLiteral("\\frmMain\\Items"), QStringLiteral("Wrap Text"), stored);
        f.start();
        QVERIFY(withDialog(f, [&](frmPrefs &d) {
            auto *chosen = d.findChild<QRadioButton *>(option);
            QVERIFY(chosen);
            QVERIFY(chosen->isChecked());
        }));
    }
    void okStoresAndAppliesEverything()
    {
        MainWindowFixture f;
        f.start();
        frmDocRTF *first = f.active();
        f.cmd().WINDOWNEWWINDOW();
        QVERIFY(f.active() != first);
        QVERIFY(first->RTF1->RightMargin() != RichTextBox::NoWrap);
        const QString folder = f.settings.path(QStringLiteral("profile"));
        QDir().mkpath(folder);
        const QString tmpl = f.file(QStringLiteral("Letter.rtt"), "{\\rtf1 Dear}");
        f.ui.folderAnswers.enqueue(folder);
        f.ui.fileAnswers.enqueue(FileDialogResult{{tmpl}, 1, f.settings.path(QString())});

        QVERIFY(withDialog(f, [&](frmPrefs &d) {
            d.CHKCUSTNOS->click();
            QVERIFY(d.BTNOK->isEnabled());
            d.OPTSTARTUP->click();
            d.OPTWRAPNO->click();
            d.BTNFOLDER->click();
            d.BTNTEMPLATE->click();
            QCOMPARE(d.TXTBTN->text(), tmpl);
            d.CBOFNTNM->setCurrentText(QStringLiteral("DejaVu Sans"));
            d.CBOFNTSZ->setCurrentText(QStringLiteral("14"));
            QCOMPARE(d.LBLRTFPREV->font().pointSize(), 14);
            d.CBOFNTNMTXT->setCurrentText(QStringLiteral("Liberation Mono"));
            d.CBOFNTSZTXT->setCurrentText(QStringLiteral("11"));
            d.UDNRECOVERY->setValue(30);
            d.BTNOK->click();
        }));

        const QList<std::pair<const char *, QString>> expected{
            {"Number Check", QStringLiteral("0")},
            {"Capitals Check", QStringLiteral("1")},
            {"Character Check", QStringLiteral("1")},
            {"Spell Check Load", QStringLiteral("False")},
            {"Template", tmpl},
            {"Files Location", folder + QLatin1Char('/')},
            {"Font Name", QStringLiteral("DejaVu Sans")},
            {"Font Size", QStringLiteral("14")},
            {"Text Font Name", QStringLiteral("Liberation Mono")},
            {"Text Font Size", QStringLiteral("11")},
            {"Recovery Seconds", QStringLiteral("30")}};
        for (const auto &[name, value] : expected)
            QCOMPARE(prefs(f, name), value);
        QCOMPARE(f.store(QStringLiteral("\\frmMain\\Items"), QStringLiteral("Wrap Text")),
                 QStringLiteral("1"));
        // Every open document stops wrapping at once.
        for (frmDocRTF *doc : f.main().documents())
            QCOMPARE(doc->RTF1->RightMargin(), RichTextBox::NoWrap);
        // A new document starts from the chosen template.
        f.cmd().WINDOWNEWWINDOW();
        QCOMPARE(f.active()->RTF1->Text(), QStringLiteral("Dear"));
    }
    void templateBrowseTakesOnlyTemplates_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("taken");
        QTest::newRow("capital extension") << "MEMO.RTT" << true;
        QTest::newRow("document") << "Memo.rtf" << false;
        QTest::newRow("missing template") << "" << false;
    }
    void templateBrowseTakesOnlyTemplates()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, taken);
        MainWindowFixture f;
        f.start();
        const QString path = chosen.isEmpty() ? f.settings.path(QStringLiteral("Gone.rtt"))
                                              : f.file(chosen, "{\\rtf1 x}");
        f.ui.fileAnswers.enqueue(FileDialogResult{{path}, 1, f.settings.path(QString())});
        QVERIFY(withDialog(f, [&](frmPrefs &d) {
            const QString before = d.TXTBTN->text();
            d.BTNTEMPLATE->click();
            QCOMPARE(d.TXTBTN->text(), taken ? path : before);
            QCOMPARE(d.BTNOK->isEnabled(), taken);
        }));
        QCOMPARE(f.ui.openRequests.size(), 1);
    }
    void cancelStoresNothing()
    {
        MainWindowFixture f;
        f.start();
        QVERIFY(withDialog(f, [&](frmPrefs &d) {
            d.CHKCUSTCHARS->click();
            d.OPTWRAPWIN->click();
            d.CBOFNTNMTXT->setCurrentText(QStringLiteral("DejaVu Sans"));
            d.BTNCANCEL->click();
        }));
        for (const char *name :
             {"Character Check", "Text Font Name", "Template", "Spell Check Load"})
            QCOMPARE(prefs(f, name), QStringLiteral("<none>"));
        QCOMPARE(f.store(QStringLiteral("\\frmMain\\Items"), QStringLiteral("Wrap Text")),
                 QStringLiteral("<none>"));
    }

private:
    // Opens the dialog through the menu item and runs `work` on it while it is shown; the
    // dialog's result is what its buttons left.
    static bool withDialog(MainWindowFixture &f, const std::function<void(frmPrefs &)> &work)
    {
        bool shown = false;
        f.ui.dialogHandler = [&](QWidget *w) {
            auto *dialog = qobject_cast<frmPrefs *>(w);
            if (!dialog)
                return int(QDialog::Rejected);
            shown = true;
            work(*dialog);
            return dialog->result();
        };
        f.main().menuItem(QStringLiteral("MNUFILEPREFERENCES"))->trigger();
        return shown;
    }
    static QString prefs(MainWindowFixture &f, const char *name)
    {
        return f.store(QStringLiteral("\\frmPrefs\\Items"), QString::fromLatin1(name));
    }
};

QTEST_MAIN(tst_Prefs)
#include "tst_prefs.moc"
