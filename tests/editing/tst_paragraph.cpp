#include <QtTest>
#include <QtWidgets>

#include "core/MainWindowFixture.h"
#include "editing/FormatSpin.h"
#include "editing/frmParagrph.h"
#include "editing/frmTabs.h"

// The paragraph and tab dialogs over the first document's selection, scripted through the
// dialog seam. The fixture's page is 8.5 inches wide with the default 1-inch margins, so the
// paragraph dialog's printable width is 8 - 2 = 6 inches.
namespace {
RichTextBox *paragraphs(MainWindowFixture &f)
{
    RichTextBox *rtf = f.active()->RTF1;
    rtf->setText(QStringLiteral("first paragraph\r\nsecond paragraph\r\nthird"));
    rtf->setSelStart(0);
    rtf->setSelLength(20);
    return rtf;
}

template <typename Dialog>
void run(MainWindowFixture &f, const char *menuItem, const std::function<void(Dialog *)> &script,
         bool ok = true)
{
    f.ui.dialogHandler = [&](QWidget *w) {
        auto *d = qobject_cast<Dialog *>(w);
        if (!d)
            return int(QDialog::Rejected);
        script(d);
        if (ok && d->BTNOK->isEnabled())
            d->BTNOK->click();
        else
            d->BTNCANCEL->click();
        return d->result();
    };
    f.main().menuItem(QString::fromLatin1(menuItem))->trigger();
}
} // namespace

class tst_Paragraph : public QObject
{
    Q_OBJECT
private slots:
    void paragraphLoadsInches()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = paragraphs(f);
        rtf->setSelAlignment(RichTextBox::AlignCenter);
        rtf->setSelIndent(720);
        rtf->setSelHangingIndent(360);
        rtf->setSelRightIndent(1440);
        run<frmParagrph>(
            f, "MNUFORMATPARAGRAPH",
            [](frmParagrph *d) {
                QVERIFY(d->OPTALIGN[2]->isChecked());
                QCOMPARE(d->UDNFLINE->valueText(), QStringLiteral("0.5"));
                QCOMPARE(d->UDNLEFT->valueText(), QStringLiteral("0.8"));
                QCOMPARE(d->UDNRIGHT->valueText(), QStringLiteral("7.0"));
                QVERIFY(!d->BTNOK->isEnabled());
                d->UDNFLINE->stepBy(1);
                QCOMPARE(d->UDNFLINE->valueText(), QStringLiteral("0.6"));
                QVERIFY(d->BTNOK->isEnabled());
            },
            false);
    }
    void paragraphOkWritesTwips()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = paragraphs(f);
        run<frmParagrph>(f, "MNUFORMATPARAGRAPH", [](frmParagrph *d) {
            d->OPTALIGN[1]->click();
            d->UDNFLINE->setValueText(QStringLiteral("1.0"));
            d->UDNLEFT->setValueText(QStringLiteral("1.5"));
            d->UDNRIGHT->setValueText(QStringLiteral("6.5"));
        });
        QCOMPARE(rtf->SelAlignment(), std::optional<int>(RichTextBox::AlignRight));
        QCOMPARE(rtf->SelIndent(), std::optional<int>(1440));
        QCOMPARE(rtf->SelHangingIndent(), std::optional<int>(720));
        QCOMPARE(rtf->SelRightIndent(), std::optional<int>(720));
        QVERIFY(f.active()->isModified());
        // Only the selected paragraphs changed.
        rtf->setSelStart(rtf->Text().size() - 1);
        QCOMPARE(rtf->SelIndent(), std::optional<int>(0));
        QCOMPARE(rtf->SelAlignment(), std::optional<int>(RichTextBox::AlignLeft));
    }
    void tabs_data()
    {
        QTest::addColumn<QList<int>>("before");
        // Actions: "reset", "clearall", "add:<inches>", "clear:<row>".
        QTest::addColumn<QStringList>("actions");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QList<int>>("after");
        QList<int> defaults;
        for (int i = 1; i <= 14; ++i)
            defaults << i * 720;
        QTest::newRow("reset") << QList<int>{1000} << QStringList{"reset"}
                               << QStringList{"0.5", "1.0", "1.5", "2.0", "2.5", "3.0", "3.5",
                                              "4.0", "4.5", "5.0", "5.5", "6.0", "6.5", "7.0"}
                               << defaults;
        QTest::newRow("clear all")
            << defaults << QStringList{"clearall"} << QStringList{} << QList<int>{};
        QTest::newRow("add between")
            << QList<int>{1440, 2880} << QStringList{"add:1.5"} << QStringList{"1.0", "1.5", "2.0"}
            << QList<int>{1440, 2160, 2880};
        QTest::newRow("add existing") << QList<int>{1440, 2880} << QStringList{"add:2.0"}
                                      << QStringList{"1.0", "2.0"} << QList<int>{1440, 2880};
        QTest::newRow("clear one") << QList<int>{720, 1440, 2160} << QStringList{"clear:1"}
                                   << QStringList{"0.5", "1.5"} << QList<int>{720, 2160};
        QTest::newRow("odd twips round") << QList<int>{1000} << QStringList{"add:2"}
                                         << QStringList{"0.69", "2.0"} << QList<int>{994, 2880};
    }
    void tabs()
    {
        QFETCH(QList<int>, before);
        QFETCH(QStringList, actions);
        QFETCH(QStringList, shown);
        QFETCH(QList<int>, after);
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = paragraphs(f);
        rtf->setSelTabCount(static_cast<int>(before.size()));
        for (int i = 0; i < before.size(); ++i)
            rtf->setSelTabs(i, before[i]);
        QStringList seen;
        run<frmTabs>(f, "MNUFORMATTABS", [&](frmTabs *d) {
            for (const QString &a : actions) {
                const QString arg = a.section(QLatin1Char(':'), 1);
                if (a == QLatin1String("reset")) {
                    d->BTNRESET->click();
                } else if (a == QLatin1String("clearall")) {
                    d->BTNCLEARALL->click();
                } else if (a.startsWith(QLatin1String("add:"))) {
                    d->UDNTAB->setValueText(arg);
                    d->BTNADD->click();
                } else if (a.startsWith(QLatin1String("clear:"))) {
                    QListWidgetItem *item = d->LSTTABS->item(arg.toInt());
                    d->LSTTABS->setCurrentItem(item);
                    emit d->LSTTABS->itemClicked(item);
                    d->BTNCLEAR->click();
                }
            }
            seen = d->tabs();
        });
        QCOMPARE(seen, shown);
        QList<int> got;
        for (int i = 0; i < rtf->SelTabCount().value_or(-1); ++i)
            got << rtf->SelTabs(i).value_or(-1);
        QCOMPARE(got, after);
    }
    void tabButtons()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = paragraphs(f);
        rtf->setSelTabCount(0);
        run<frmTabs>(
            f, "MNUFORMATTABS",
            [](frmTabs *d) {
                QVERIFY(!d->BTNOK->isEnabled());
                QVERIFY(!d->BTNADD->isEnabled());
                QVERIFY(!d->BTNCLEARALL->isEnabled());
                d->UDNTAB->setValueText(QStringLiteral("0"));
                QVERIFY(!d->BTNADD->isEnabled());
                d->UDNTAB->setValueText(QStringLiteral("1.2"));
                QVERIFY(d->BTNADD->isEnabled());
                d->BTNADD->click();
                QCOMPARE(d->UDNTAB->valueText(), QStringLiteral("0"));
                QVERIFY(!d->BTNADD->isEnabled());
                QVERIFY(d->BTNCLEARALL->isEnabled());
                emit d->LSTTABS->itemClicked(d->LSTTABS->item(0));
                QCOMPARE(d->UDNTAB->valueText(), QStringLiteral("1.2"));
                QVERIFY(d->BTNCLEAR->isEnabled());
            },
            false);
        QCOMPARE(rtf->SelTabCount(), std::optional<int>(0));
    }
    void rulerMarkers_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::addColumn<int>("pixels");
        // Expected first-line indent, hanging indent and right indent after the drop.
        QTest::addColumn<QList<int>>("indents");
        // 48 pixels are 720 twips at 15 twips a pixel; the paragraph starts at 720, 0, 0.
        QTest::newRow("first line alone") << "LBLFSTLINE" << 48 << QList<int>{1440, -720, 0};
        QTest::newRow("hanging") << "LBLHANGIND" << 48 << QList<int>{720, 720, 0};
        QTest::newRow("left carries both") << "LBLLEFTIND" << -48 << QList<int>{0, 0, 0};
        QTest::newRow("right") << "LBLRIGHTIND" << -48 << QList<int>{720, 0, 720};
        QTest::newRow("snaps to sixteenths") << "LBLFSTLINE" << 7 << QList<int>{810, -90, 0};
    }
    void rulerMarkers()
    {
        QFETCH(QString, marker);
        QFETCH(int, pixels);
        QFETCH(QList<int>, indents);
        FixedScreenMetrics metrics(QSize(800, 800), 15);
        ScreenMetrics::setInstance(&metrics);
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = paragraphs(f);
        rtf->setSelIndent(720);
        f.active()->MARGINCHK();
        auto *label = f.active()->PICRULER->findChild<QLabel *>(marker);
        QVERIFY(label);
        const QPointF middle(label->width() / 2.0, label->height() / 2.0);
        auto send = [&](QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
            QMouseEvent e(type, at, label->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
            QCoreApplication::sendEvent(label, &e);
        };
        send(QEvent::MouseButtonPress, middle, Qt::LeftButton);
        send(QEvent::MouseMove, middle + QPointF(pixels, 0), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, middle, Qt::NoButton);
        ScreenMetrics::setInstance(nullptr);
        QCOMPARE(rtf->SelIndent().value_or(-1), indents[0]);
        QCOMPARE(rtf->SelHangingIndent().value_or(-1), indents[1]);
        QCOMPARE(rtf->SelRightIndent().value_or(-1), indents[2]);
        QVERIFY(f.active()->isModified());
    }
};

QTEST_MAIN(tst_Paragraph)
#include "tst_paragraph.moc"
