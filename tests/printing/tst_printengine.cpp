// The print engine: page layout, page ranges, selections and the header and footer.
#include <QtTest>

#include "PrintFixture.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"

class tst_PrintEngine : public QObject
{
    Q_OBJECT
    std::unique_ptr<PrintFixture> f;
    RichTextBox box;

    clsPrinting &engine() { return clsPrinting::instance(); }
    // Pages of box's text with the stored margins, as printing and the preview count them.
    int countPages()
    {
        clsPrinting &e = engine();
        e.INITIALIZEPATH(nullptr, &box);
        e.GETMARGINS();
        int pages = 0;
        e.PAGECOUNT(nullptr, 1, e.Margins[0], e.Margins[2], e.Margins[1], e.Margins[3], pages);
        return pages;
    }
    // The paragraph (from 0) each page of RTF2 starts in.
    QList<int> pageParagraphs()
    {
        const QString text = engine().RTF2()->Text();
        QList<int> result;
        for (int start : engine().pageStarts())
            result.append(static_cast<int>(text.left(start).count(QStringLiteral("\r\n"))));
        return result;
    }
    // The preview's picture of a page is what drawPage prints.
    void previewIsThePrint(int page, int start)
    {
        QImage preview;
        QVERIFY(engine().PAGESEL(page, preview));
        QImage printed(preview.size(), QImage::Format_RGB32);
        printed.fill(Qt::white);
        QPainter painter(&printed);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(engine().PreviewDpi / 1440.0, engine().PreviewDpi / 1440.0);
        engine().drawPage(painter, page, start, -1);
        painter.end();
        QCOMPARE(preview, printed);
    }

private slots:
    void init()
    {
        f = std::make_unique<PrintFixture>();
        box.setText(QString());
    }
    void cleanup() { f.reset(); }

    void pageCount_data()
    {
        QTest::addColumn<QStringList>("paragraphs");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QList<int>>("starts"); // paragraph each page starts with
        QTest::newRow("empty document") << QStringList() << 1 << QList<int>{0};
        QTest::newRow("page breaks")
            << QStringList{"A", "B", "\f", "C", "\f", "D"} << 3 << QList<int>{0, 2, 3};
        QTest::newRow("lines fill pages") << lines(120) << 3 << QList<int>{0, 45, 90};
    }
    void pageCount()
    {
        QFETCH(QStringList, paragraphs);
        QFETCH(int, pages);
        QFETCH(QList<int>, starts);
        box.setTextRTF(rtfOf(paragraphs));
        QCOMPARE(countPages(), pages);
        QCOMPARE(engine().CMD1.ToPage, pages);
        QCOMPARE(engine().CMD1.Max, pages);
        QCOMPARE(pageParagraphs(), starts);
    }

    // Margins are honoured to the twip: the text rectangle, and the lines a page holds follow
    // the height left between the top and bottom margins.
    void marginsShapeThePage_data()
    {
        QTest::addColumn<double>("top");
        QTest::addColumn<double>("bottom");
        QTest::newRow("tenths") << 1.5 << 0.7;
        QTest::newRow("narrow") << 0.5 << 0.5;
    }
    void marginsShapeThePage()
    {
        QFETCH(double, top);
        QFETCH(double, bottom);
        box.setTextRTF(rtfOf(lines(300)));
        PrintFixture::setMargins(1, 1, 1, 1);
        countPages();
        const int perPageAt1 = pageParagraphs().value(1);
        PrintFixture::setMargins(1.5, 0.7, top, bottom);
        const int pages = countPages();
        const QRect rect = engine().TextRect;
        QCOMPARE(rect, QRect(2160, qRound(top * 1440), 12240 - 2160 - 1008,
                             15840 - qRound(top * 1440) - qRound(bottom * 1440)));
        QCOMPARE(engine().PageRect, QRect(0, 0, 12240, 15840));
        // Every full page holds the same number of one-line paragraphs, in proportion to the
        // text height (within the one line a page cannot split).
        const QList<int> starts = pageParagraphs();
        QCOMPARE(starts.size(), pages);
        const int perPage = starts.value(1);
        for (int i = 1; i < starts.size(); ++i)
            QCOMPARE(starts[i] - starts[i - 1], perPage);
        const double expected = perPageAt1 * rect.height() / double(15840 - 2880);
        QVERIFY2(qAbs(perPage - expected) <= 1.0, qPrintable(QString::number(perPage)));
    }

    void printsChosenPages_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<QStringList>("printed");
        QTest::addColumn<QStringList>("notPrinted");
        QTest::newRow("all pages") << 0 << 0 << QStringList{"P1", "P5"} << QStringList{};
        QTest::newRow("pages 3 to 4")
            << 3 << 4 << QStringList{"P3", "P4"} << QStringList{"P2", "P5"};
    }
    void printsChosenPages()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(QStringList, printed);
        QFETCH(QStringList, notPrinted);
        box.setTextRTF(rtfOf({"P1", "\f", "P2", "\f", "P3", "\f", "P4", "\f", "P5"}));
        f->ui.fromPage = from;
        f->ui.toPage = to;
        QVERIFY(engine().PRINTDOCUMENT(nullptr, &box, false));
        const int expected = from > 0 ? to - from + 1 : 5;
        QCOMPARE(f->ui.printDialogs, 1);
        QCOMPARE(engine().PrintedPages, expected);
        QCOMPARE(f->pdfPages(), expected);
        const QString range = engine().RTF3()->Text();
        for (const QString &p : printed)
            QVERIFY2(range.contains(p), qPrintable(range));
        for (const QString &p : notPrinted)
            QVERIFY2(!range.contains(p), qPrintable(range));
    }

    void selectionPrintsOnlyTheSelection()
    {
        box.setTextRTF(rtfOf({"First", "Second", "Third"}));
        box.setSelStart(box.Text().indexOf(QStringLiteral("Second")));
        box.setSelLength(6);
        QVERIFY(engine().PRINTDOCUMENT(nullptr, &box, false));
        QCOMPARE(engine().CMD1.Flags, clsPrinting::FlagsSelection);
        QCOMPARE(f->ui.rangeSeen, QPrinter::Selection);
        QCOMPARE(engine().RTF2()->Text().trimmed(), QStringLiteral("Second"));
        QCOMPARE(engine().PrintedPages, 1);
    }

    void nothingPrinted_data()
    {
        QTest::addColumn<bool>("answer");
        QTest::addColumn<double>("margin");
        QTest::addColumn<int>("dialogs");
        QTest::newRow("dialog cancelled") << false << 1.0 << 1;
        QTest::newRow("margin beyond 16-bit twips") << true << 23.0 << 0;
    }
    void nothingPrinted()
    {
        QFETCH(bool, answer);
        QFETCH(double, margin);
        QFETCH(int, dialogs);
        box.setTextRTF(rtfOf({"Text"}));
        f->ui.printAnswer = answer;
        PrintFixture::setMargins(margin, 1, 1, 1);
        QVERIFY(!engine().PRINTDOCUMENT(nullptr, &box, false));
        QCOMPARE(f->ui.printDialogs, dialogs);
        QVERIFY(!QFile::exists(f->pdf));
        QVERIFY(f->ui.messages.isEmpty());
    }

    // The preview's toolbar prints every page once, without the dialog; the preview and the
    // print see the same pages, and the preview's picture of a page is what drawPage prints.
    void previewShowsWhatPrints()
    {
        box.setTextRTF(rtfOf(lines(130)));
        const int pages = countPages();
        const QList<int> starts = engine().pageStarts();
        QCOMPARE(starts.size(), pages);
        engine().printer().setCopies(3);
        QVERIFY(engine().PRINTDOCUMENT(nullptr, engine().RTF3(), true));
        QCOMPARE(f->ui.printDialogs, 0);
        QCOMPARE(engine().PrintedPages, pages);
        QCOMPARE(engine().printer().Copies(), 1);
        QCOMPARE(f->pdfPages(), pages);

        for (int page : {1, pages})
            previewIsThePrint(page, starts[page - 1]);
        // The footer of page 3 carries its own number, and the page begins where it should.
        TextRecorder recorder;
        QPainter painter(&recorder);
        engine().drawPage(painter, 3, starts[2], -1);
        painter.end();
        QVERIFY(recorder.strings().contains(QStringLiteral("3")));
        const int firstLine = pageParagraphs()[2] + 1;
        QVERIFY(recorder.strings()
                    .join(QLatin1Char('|'))
                    .contains(QStringLiteral("Line %1").arg(firstLine)));
    }

    // A table's rows flow over pages: a page ends between lines of all cells, so every cell's
    // text is drawn once, on one page, inside the text rectangle, and the preview is the print.
    void tableRowsFlowOverPages()
    {
        QString rows;
        for (int n = 1; n <= 40; ++n)
            rows +=
                QStringLiteral("\\trowd\\clbrdrb\\brdrs\\cellx3000\\cellx6000\\intbl Row %1\\cell "
                               "a%1\\par b%1\\par c%1\\cell\\row ")
                    .arg(n);
        box.setTextRTF(QStringLiteral("{\\rtf1\\ansi\\fs24 Before\\par ") + rows +
                       QStringLiteral("\\pard After\\par}"));
        const int pages = countPages();
        QVERIFY(pages >= 3);
        const QList<int> starts = engine().pageStarts();
        QStringList drawn;
        for (int page = 1; page <= pages; ++page) {
            TextRecorder recorder;
            QPainter painter(&recorder);
            engine().drawPage(painter, page, starts[page - 1], -1);
            painter.end();
            for (const TextRecorder::Item &item : recorder.texts) {
                if (item.at.y() < engine().TextRect.top() ||
                    item.at.y() > engine().TextRect.bottom())
                    continue; // header and footer
                drawn.append(item.text);
            }
            previewIsThePrint(page, starts[page - 1]);
        }
        QStringList expected{"Before"};
        for (int n = 1; n <= 40; ++n)
            expected << QStringLiteral("Row %1").arg(n) << QStringLiteral("a%1").arg(n)
                     << QStringLiteral("b%1").arg(n) << QStringLiteral("c%1").arg(n);
        expected << "After";
        QCOMPARE(drawn, expected);
    }

    void headerAndFooterFields_data()
    {
        QTest::addColumn<QStringList>("settings"); // key|value name|value
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<int>("rules");
        const QString company = clsLibrary::instance().GETCOMPANYNAME();
        QTest::newRow("fresh store")
            << QStringList{}
            << QStringList{"06/12/2026", "3:04:05", "Pamphlexa Report.", "7", company, "Untitled"}
            << QStringList{} << 2;
        QTest::newRow("own texts")
            << QStringList{"Header|txtTitle|Quarterly", "Footer|txtField1|Acme",
                           "Footer|txtField2|notes.rtf"}
            << QStringList{"Quarterly", "Acme", "notes.rtf"} << QStringList{"Untitled"} << 2;
        QTest::newRow("no header")
            << QStringList{"Header|Checked|0"} << QStringList{"7", "Untitled"}
            << QStringList{"06/12/2026", "3:04:05", "Pamphlexa Report."} << 1;
        QTest::newRow("items off; only 1 counts as checked")
            << QStringList{"Header|chkDate|0", "Header|chkHLine|2", "Footer|chkPgNo|-1",
                           "Footer|chkField2|x"}
            << QStringList{"3:04:05", "Pamphlexa Report."}
            << QStringList{"06/12/2026", "7", "Untitled"} << 1;
    }
    void headerAndFooterFields()
    {
        QFETCH(QStringList, settings);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        QFETCH(int, rules);
        for (const QString &s : settings) {
            const QStringList p = s.split(QLatin1Char('|'));
            clsLibrary::instance().REGSTRWRITE(
                clsLibrary::HKEY_CURRENT_USER,
                Identity::appKey() + QStringLiteral("\\frmPPrev\\Items\\") + p[0], p[1], p[2]);
        }
        TextRecorder recorder;
        QPainter painter(&recorder);
        clsLibrary::instance().PAGEHEADERFOOTERINFOPREVIEW(painter, QStringLiteral("7"), 2160, 1440,
                                                           1008, 1728);
        painter.end();
        const QStringList drawn = recorder.strings();
        for (const QString &s : shown)
            QVERIFY2(drawn.contains(s), qPrintable(s + " not in " + drawn.join('|')));
        for (const QString &s : hidden)
            QVERIFY2(!drawn.contains(s), qPrintable(s));
        QCOMPARE(recorder.lines, rules);
        // The page number is centred on the paper, 360 twips below the bottom margin's edge.
        for (const TextRecorder::Item &item : recorder.texts) {
            if (item.text == QLatin1String("7")) {
                QCOMPARE(qRound(item.at.x()), (12240 - 170) / 2);
                QVERIFY(item.at.y() > 15840 - 1728 + 360 && item.at.y() < 15840 - 1728 + 600);
            }
        }
    }
};

QTEST_MAIN(tst_PrintEngine)
#include "tst_printengine.moc"
