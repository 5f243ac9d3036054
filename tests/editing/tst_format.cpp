#include <QtTest>
#include <QtWidgets>

#include "core/MainWindowFixture.h"
#include "editing/FormatLists.h"

// The formatting toolbar, the format painter, small capitals and the indent steps, driven
// through the main window's commands on its first document.
namespace {
// "Alpha beta" in the first document, all of it selected.
RichTextBox *selectedText(MainWindowFixture &f, const QString &text = QStringLiteral("Alpha beta"))
{
    RichTextBox *rtf = f.active()->RTF1;
    rtf->setText(text);
    rtf->selectAll();
    return rtf;
}
} // namespace

class tst_Format : public QObject
{
    Q_OBJECT
private slots:
    void sizeSteps_data()
    {
        QTest::addColumn<double>("size");
        QTest::addColumn<bool>("up");
        QTest::addColumn<double>("after");
        QTest::newRow("1 down stays") << 1.0 << false << 1.0;
        QTest::newRow("400 up stays") << 400.0 << true << 400.0;
        QTest::newRow("17 not an entry") << 17.0 << true << 17.0;
    }
    void sizeSteps()
    {
        QFETCH(double, size);
        QFETCH(bool, up);
        QFETCH(double, after);
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = selectedText(f);
        rtf->setSelFontSize(size);
        f.cmd().TOOLBARSBUTTONSUPDATE();
        QCOMPARE(FormatLists::listText(m.fontSizeBox()), QString::number(size));
        m.button(QString::fromLatin1(up ? "INCREASE FONT SIZE" : "DECREASE FONT SIZE"))->trigger();
        QCOMPARE(rtf->SelFontSize().value_or(-1), after);
        QCOMPARE(FormatLists::listText(m.fontSizeBox()), QString::number(after));
        QCOMPARE(m.button(QStringLiteral("DECREASE FONT SIZE"))->isEnabled(), after >= 2);
        QCOMPARE(m.button(QStringLiteral("INCREASE FONT SIZE"))->isEnabled(), after <= 350);
    }
    void mixedSizeLeavesBoxes()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = selectedText(f);
        rtf->setSelFontSize(12);
        rtf->setSelFontName(QStringLiteral("DejaVu Sans"));
        f.cmd().TOOLBARSBUTTONSUPDATE();
        rtf->setSelStart(0);
        rtf->setSelLength(2);
        rtf->setSelFontSize(20);
        rtf->setSelFontName(QStringLiteral("Liberation Mono"));
        f.cmd().TOOLBARSBUTTONSUPDATE();
        rtf->selectAll();
        f.cmd().TOOLBARSBUTTONSUPDATE();
        QCOMPARE(FormatLists::listText(m.fontSizeBox()), QStringLiteral("20"));
        QCOMPARE(FormatLists::listText(m.fontNameBox()), QStringLiteral("Liberation Mono"));
        // Stepping a mixed selection goes from the size shown and sets it on all of it.
        f.cmd().FONTSIZEINCR();
        QCOMPARE(rtf->SelFontSize().value_or(-1), 22.0);
    }
    void styles_data()
    {
        QTest::addColumn<QString>("style");
        // Expected bold, italic, underline, strike-through, bullet and size after the style, for a
        // selection that was bold, italic and struck through at 11 points.
        QTest::addColumn<QString>("expected");
        QTest::newRow("normal") << "Normal Text"
                                << "b0 i0 u0 s0 l0 11";
        QTest::newRow("main heading") << "Main Heading"
                                      << "b0 i0 u1 s0 l0 26";
        QTest::newRow("bullets") << "Bullets"
                                 << "b1 i1 u0 s1 l1 11";
    }
    void styles()
    {
        QFETCH(QString, style);
        QFETCH(QString, expected);
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = selectedText(f);
        rtf->setSelBold(true);
        rtf->setSelItalic(true);
        rtf->setSelStrikeThru(true);
        rtf->setSelFontSize(11);
        FormatLists::setListText(m.fontStyleBox(), style);
        f.cmd().FONTSTYLEUPDATE();
        auto flag = [](std::optional<bool> v) {
            return v ? QString::number(*v) : QStringLiteral("?");
        };
        const QString got =
            QStringLiteral("b%1 i%2 u%3 s%4 l%5 %6")
                .arg(flag(rtf->SelBold()), flag(rtf->SelItalic()), flag(rtf->SelUnderline()),
                     flag(rtf->SelStrikeThru()), flag(rtf->SelBullet()))
                .arg(rtf->SelFontSize().value_or(-1));
        QCOMPARE(got, expected);
        // The toolbar follows the selection.
        QCOMPARE(m.button(QStringLiteral("BOLD"))->isChecked(), *rtf->SelBold());
        QCOMPARE(FormatLists::listText(m.fontSizeBox()), expected.section(QLatin1Char(' '), -1));
    }
    void painterCopiesAttributes()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = selectedText(f, QStringLiteral("Source target other"));
        rtf->setSelStart(0);
        rtf->setSelLength(6);
        rtf->setSelBold(true);
        rtf->setSelStrikeThru(true);
        rtf->setSelColor(QColor(200, 0, 0));
        rtf->setSelFontSize(20);
        rtf->setSelFontName(QStringLiteral("DejaVu Sans Mono"));
        rtf->setSelCharOffset(55);
        m.button(QStringLiteral("FORMAT PAINTER"))->trigger();
        QVERIFY(m.button(QStringLiteral("FORMAT PAINTER"))->isChecked());
        QVERIFY(m.menuItem(QStringLiteral("MNUEDITFMTPAINTER"))->isChecked());

        // A left-button release over the text paints the selection.
        rtf->setSelStart(7);
        rtf->setSelLength(6);
        QMouseEvent up(QEvent::MouseButtonRelease, QPointF(5, 5),
                       rtf->viewport()->mapToGlobal(QPointF(5, 5)), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        emit rtf->MouseUp(&up);
        QCOMPARE(rtf->SelText(), QStringLiteral("target"));
        QCOMPARE(rtf->SelBold(), std::optional<bool>(true));
        QCOMPARE(rtf->SelStrikeThru(), std::optional<bool>(true));
        QCOMPARE(rtf->SelColor(), std::optional<QColor>(QColor(200, 0, 0)));
        QCOMPARE(rtf->SelFontSize(), std::optional<double>(20));
        QCOMPARE(rtf->SelFontName(), std::optional<QString>(QStringLiteral("DejaVu Sans Mono")));
        QCOMPARE(rtf->SelCharOffset(), std::optional<int>(55));
        QVERIFY(f.active()->isModified());

        // Switched off, the painter leaves the next selection alone.
        m.menuItem(QStringLiteral("MNUEDITFMTPAINTER"))->trigger();
        QVERIFY(!m.button(QStringLiteral("FORMAT PAINTER"))->isChecked());
        rtf->setSelStart(14);
        rtf->setSelLength(5);
        emit rtf->MouseUp(&up);
        QCOMPARE(rtf->SelBold(), std::optional<bool>(false));
    }
    void smallCapitals()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = selectedText(f, QStringLiteral("Hello World"));
        rtf->setSelFontSize(20);
        rtf->setSelBold(true);
        rtf->setSelStart(1);
        rtf->setSelLength(9);
        f.cmd().FORMATSMALLCAPITALS();
        QCOMPARE(rtf->Text(), QStringLiteral("HELLO WORLd"));
        QCOMPARE(rtf->SelStart(), 1);
        QCOMPARE(rtf->SelLength(), 9);
        QCOMPARE(rtf->SelBold(), std::optional<bool>(true));
        // Capitals keep their size; the new ones are smaller.
        const double expected[] = {20, 16, 16, 16, 16, 20, 20, 16, 16, 16, 20};
        for (int i = 0; i < 11; ++i) {
            rtf->setSelStart(i);
            rtf->setSelLength(1);
            QCOMPARE(rtf->SelFontSize().value_or(-1), expected[i]);
        }
    }
    void indentSteps_data()
    {
        QTest::addColumn<int>("indent");
        QTest::addColumn<bool>("increase");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("decreaseEnabled");
        QTest::newRow("721 down to 0") << 721 << false << 0 << false;
        QTest::newRow("722 down to 2") << 722 << false << 2 << false;
        QTest::newRow("negative up from 0") << -300 << true << 720 << true;
    }
    void indentSteps()
    {
        QFETCH(int, indent);
        QFETCH(bool, increase);
        QFETCH(int, after);
        QFETCH(bool, decreaseEnabled);
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = selectedText(f);
        rtf->setSelIndent(indent);
        f.cmd().TOOLBARSBUTTONSUPDATE();
        m.button(QString::fromLatin1(increase ? "INCREASE INDENT" : "DECREASE INDENT"))->trigger();
        QCOMPARE(rtf->SelIndent().value_or(-1), after);
        QCOMPARE(m.button(QStringLiteral("DECREASE INDENT"))->isEnabled(), decreaseEnabled);
    }
    void indentStopsShortOfTheWidth()
    {
        MainWindowFixture f;
        f.start();
        RichTextBox *rtf = selectedText(f);
        const int limit = rtf->width() * ScreenMetrics::instance().twipsPerPixelX() - 2000;
        QVERIFY(limit > 720);
        int last = -1;
        for (int i = 0; i < 200 && rtf->SelIndent().value_or(0) != last; ++i) {
            last = rtf->SelIndent().value_or(0);
            f.cmd().FORMATINDENTINCREASE();
        }
        QVERIFY(last >= limit);
        QVERIFY(last < limit + 720);
    }
    void colourFromPicker()
    {
        MainWindowFixture f;
        frmMain &m = f.start();
        RichTextBox *rtf = selectedText(f);
        f.ui.colorAnswers.enqueue(QColor(0, 0, 255));
        f.ui.colorAnswers.enqueue(std::nullopt);
        m.button(QStringLiteral("FONT COLOR"))->trigger();
        QCOMPARE(rtf->SelColor(), std::optional<QColor>(QColor(0, 0, 255)));
        // A cancelled picker keeps the colour.
        m.button(QStringLiteral("FONT COLOR"))->trigger();
        QCOMPARE(rtf->SelColor(), std::optional<QColor>(QColor(0, 0, 255)));
    }
};

QTEST_MAIN(tst_Format)
#include "tst_format.moc"
