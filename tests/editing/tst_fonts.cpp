#include <QtTest>
#include <QtWidgets>

#include "core/MainWindowFixture.h"
#include "editing/FormatLists.h"
#include "editing/frmFonts.h"

// The font dialog over the first document's selection, scripted through the dialog seam.
namespace {
RichTextBox *selected(MainWindowFixture &f, const QString &text, int start, int length)
{
    RichTextBox *rtf = f.active()->RTF1;
    rtf->setText(text);
    rtf->setSelStart(start);
    rtf->setSelLength(length);
    return rtf;
}

// Opens Format > Font, lets `script` set the controls, then presses `button`.
frmFonts *runDialog(MainWindowFixture &f, const std::function<void(frmFonts *)> &script,
                    bool ok = true)
{
    frmFonts *seen = nullptr;
    f.ui.dialogHandler = [&](QWidget *w) {
        auto *d = qobject_cast<frmFonts *>(w);
        if (!d)
            return int(QDialog::Rejected);
        seen = d;
        script(d);
        (ok ? d->BTNOK : d->BTNCANCEL)->click();
        return d->result();
    };
    f.main().menuItem(QStringLiteral("MNUFORMATFONTS"))->trigger();
    return seen;
}
} // namespace

class tst_Fonts : public QObject
{
    Q_OBJECT
private slots:
    void caseOptions_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("sample");
        QTest::newRow("capitalize") << "OPTCASECAPS"
                                    << "say hello WORLD now"
                                    << "say Hello World now";
        QTest::newRow("none") << "OPTCASENONE"
                              << "say hello WORLD now"
                              << "say hello WORLD now";
        QTest::newRow("apostrophe") << "OPTCASECAPS"
                                    << "say it's o'neil now"
                                    << "say It's O'neil now";
    }
    void caseOptions()
    {
        QFETCH(QString, option);
        QFETCH(QString, text);
        QFETCH(QString, sample);
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = selected(f, text, 4, text.size() - 8);
        QString shown;
        runDialog(f, [&](frmFonts *d) {
            d->findChild<QRadioButton *>(option)->click();
            shown = d->TXTSAMPLE->Text();
        });
        QCOMPARE(rtf->Text(), sample);
        // The selection stays on the changed words.
        QCOMPARE(rtf->SelStart(), 4);
        QCOMPARE(rtf->SelLength(), text.size() - 8);
        // The sample shows the option on its own text.
        QCOMPARE(shown, option == QLatin1String("OPTCASECAPS") ? "Abc Xyz 0123" : "ABC xyz 0123");
    }
    void loadShowsSelection()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = selected(f, QStringLiteral("one two"), 0, 3);
        rtf->setSelFontName(QStringLiteral("Liberation Serif"));
        rtf->setSelFontSize(8.5);
        rtf->setSelItalic(true);
        rtf->setSelCharOffset(-55);
        rtf->setSelColor(QColor(0, 128, 0));
        runDialog(
            f,
            [](frmFonts *d) {
                QCOMPARE(FormatLists::listText(d->CBOFNTNM), QStringLiteral("Liberation Serif"));
                QCOMPARE(FormatLists::listText(d->CBOFNTSZ), QStringLiteral("8.5"));
                QVERIFY(d->CHKITALIC->isChecked());
                QVERIFY(!d->CHKBOLD->isChecked());
                QVERIFY(d->OPTSUBSCRIPT->isChecked());
                QCOMPARE(d->pickedColor(), std::optional<QColor>(QColor(0, 128, 0)));
                // The sample shows the same attributes.
                d->TXTSAMPLE->selectAll();
                QCOMPARE(d->TXTSAMPLE->SelFontName(),
                         std::optional<QString>(QStringLiteral("Liberation Serif")));
                QCOMPARE(d->TXTSAMPLE->SelItalic(), std::optional<bool>(true));
                QCOMPARE(d->TXTSAMPLE->SelCharOffset(), std::optional<int>(-55));
            },
            false);
    }
    void mixedBoldLoadsClearAndTurnsOff()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = selected(f, QStringLiteral("bold plain"), 0, 4);
        rtf->setSelBold(true);
        rtf->selectAll();
        bool boldTicked = true;
        runDialog(f, [&](frmFonts *d) { boldTicked = d->CHKBOLD->isChecked(); });
        QVERIFY(!boldTicked);
        QCOMPARE(rtf->SelBold(), std::optional<bool>(false));
    }
    void okAppliesEveryAttribute()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = selected(f, QStringLiteral("some words here"), 5, 5);
        f.ui.colorAnswers.enqueue(QColor(10, 20, 30));
        runDialog(f, [](frmFonts *d) {
            FormatLists::setListText(d->CBOFNTNM, QStringLiteral("DejaVu Serif"));
            FormatLists::setListText(d->CBOFNTSZ, QStringLiteral("24"));
            for (QCheckBox *c : {d->CHKBOLD, d->CHKUNDERLINE, d->CHKSTRIKETHROUGH, d->CHKBULLETS})
                c->click();
            d->OPTSUPERSCRIPT->click();
            d->CPPALLETE->click();
        });
        QCOMPARE(rtf->SelFontName(), std::optional<QString>(QStringLiteral("DejaVu Serif")));
        QCOMPARE(rtf->SelFontSize(), std::optional<double>(24));
        QCOMPARE(rtf->SelBold(), std::optional<bool>(true));
        QCOMPARE(rtf->SelItalic(), std::optional<bool>(false));
        QCOMPARE(rtf->SelUnderline(), std::optional<bool>(true));
        QCOMPARE(rtf->SelStrikeThru(), std::optional<bool>(true));
        QCOMPARE(rtf->SelBullet(), std::optional<bool>(true));
        QCOMPARE(rtf->SelCharOffset(), std::optional<int>(55));
        QCOMPARE(rtf->SelColor(), std::optional<QColor>(QColor(10, 20, 30)));
        // One Undo takes it all back.
        rtf->Undo();
        rtf->setSelStart(5);
        rtf->setSelLength(5);
        QCOMPARE(rtf->SelBold(), std::optional<bool>(false));
        QCOMPARE(rtf->SelBullet(), std::optional<bool>(false));
    }
    void cancelChangesNothing()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = selected(f, QStringLiteral("keep me as I am"), 0, 7);
        f.active()->markUnchanged();
        const QString before = rtf->TextRTF();
        f.ui.colorAnswers.enqueue(QColor(255, 0, 0));
        frmFonts *shown = runDialog(
            f,
            [](frmFonts *d) {
                d->CHKBOLD->click();
                d->OPTCASEUPPER->click();
                d->CPPALLETE->click();
            },
            false);
        QVERIFY(shown);
        QCOMPARE(rtf->TextRTF(), before);
        QVERIFY(!f.active()->isModified());
    }
};

QTEST_MAIN(tst_Fonts)
#include "tst_fonts.moc"
