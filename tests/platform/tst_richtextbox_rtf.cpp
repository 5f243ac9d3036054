#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

#include "platform/RichTextBox.h"

namespace {

QString corpusFolder()
{
    const QString shared = qEnvironmentVariable("PAMPHLEXA_SHARED");
    if (shared.isEmpty() || !QDir(shared + "/corpus/rtf").exists())
        return {};
    return shared + "/corpus/rtf";
}

void select(RichTextBox &box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

} // namespace

class TestRichTextBoxRtf : public QObject
{
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void documentRoundTrip();
    void selectionAsRtf();
    void corpusPositionModel_data();
    void corpusPositionModel();
};

void TestRichTextBoxRtf::documentRoundTrip()
{
    // What the control's properties set comes back through TextRTF.
    RichTextBox a;
    a.setFont("DejaVu Sans", 10);
    a.setText(QString::fromUtf8("bold words\r\nindented\tand tabbed \u00e9"));
    select(a, 0, 4);
    a.setSelBold(true);
    a.setSelFontSize(14);
    a.setSelColor(QColor(0x12, 0x34, 0x56));
    select(a, 12, 5);
    a.setSelIndent(1440);
    a.setSelHangingIndent(360);
    a.setSelRightIndent(720);
    a.setSelTabCount(2);
    a.setSelTabs(1, 2000);
    a.setSelAlignment(RichTextBox::AlignCenter);
    a.setSelCharOffset(60);
    select(a, 0, 0);
    a.setSelBullet(true);
    a.setSelStart(3);
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    a.insertPicture(image);

    RichTextBox b;
    b.setTextRTF(a.TextRTF());
    QCOMPARE(b.Text(), a.Text());
    select(b, 0, 5);
    QCOMPARE(b.SelBold(), std::optional<bool>(true));
    QCOMPARE(b.SelFontSize(), std::optional<double>(14));
    QCOMPARE(b.SelColor(), std::optional<QColor>(QColor(0x12, 0x34, 0x56)));
    select(b, 5, 2);
    QCOMPARE(b.SelBold(), std::optional<bool>(false));
    select(b, 13, 5);
    QCOMPARE(b.SelIndent(), std::optional<int>(1440));
    QCOMPARE(b.SelHangingIndent(), std::optional<int>(360));
    QCOMPARE(b.SelRightIndent(), std::optional<int>(720));
    QCOMPARE(b.SelTabCount(), std::optional<int>(2));
    QCOMPARE(b.SelTabs(0), std::optional<int>(720));
    QCOMPARE(b.SelTabs(1), std::optional<int>(2000));
    QCOMPARE(b.SelAlignment(), std::optional<int>(RichTextBox::AlignCenter));
    QCOMPARE(b.SelCharOffset(), std::optional<int>(60));
    b.setSelStart(0);
    QCOMPARE(b.SelBullet(), std::optional<bool>(true));
    QCOMPARE(b.SelIndent(), std::optional<int>(360));
    QCOMPARE(b.SelHangingIndent(), std::optional<int>(0));
    QVERIFY(!b.CanUndo());
    // The picture copies as a picture.
    select(b, 3, 1);
    b.Copy();
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasImage());
}

void TestRichTextBoxRtf::selectionAsRtf()
{
    // SelRTF carries the selection's formatting and paragraphs; setSelRTF puts them over a
    // selection as one undo step; a copy offers RTF, and pasting it keeps the formatting.
    RichTextBox a;
    a.setText("plain BOLD\r\nNEXT plain");
    select(a, 6, 10);
    a.setSelBold(true);
    RichTextBox target;
    target.setText("[start]");
    select(target, 1, 5);
    target.setSelRTF(a.SelRTF());
    QCOMPARE(target.Text(), QString("[BOLD\r\nNEXT]"));
    select(target, 1, 10);
    QCOMPARE(target.SelBold(), std::optional<bool>(true));
    select(target, 11, 1);
    QCOMPARE(target.SelBold(), std::optional<bool>(false));
    target.Undo();
    QCOMPARE(target.Text(), QString("[start]"));

    select(a, 6, 4);
    a.Copy();
    select(target, 1, 0);
    target.Paste();
    QCOMPARE(target.Text(), QString("[BOLDstart]"));
    select(target, 1, 4);
    QCOMPARE(target.SelBold(), std::optional<bool>(true));
    select(target, 5, 1);
    QCOMPARE(target.SelBold(), std::optional<bool>(false));
}

void TestRichTextBoxRtf::corpusPositionModel_data()
{
    QTest::addColumn<QString>("path");
    const QString folder = corpusFolder();
    if (folder.isEmpty())
        QSKIP("PAMPHLEXA_SHARED does not point at the shared sample files");
    for (const QFileInfo &fi : QDir(folder).entryInfoList({"*.rtf"}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(fi.fileName())) << fi.filePath();
}

void TestRichTextBoxRtf::corpusPositionModel()
{
    QFETCH(QString, path);
    RichTextBox box;
    box.setFont("DejaVu Sans", 10);
    box.setRightMargin(5000);
    QVERIFY(box.LoadFile(path));
    const QString text = box.Text();
    QTextDocument *doc = box.document();
    QCOMPARE(box.fromDocPosition(doc->characterCount() - 1), int(text.size()));

    // Every paragraph sits in Text where its position says, with its own text.
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const int start = box.fromDocPosition(b.position());
        QCOMPARE(box.toDocPosition(start), b.position());
        QString own = b.text();
        own.replace(QChar::LineSeparator, u'\v');
        QCOMPARE(text.mid(start, own.size()), own);
        if (b.next().isValid())
            QCOMPARE(text.mid(start + own.size(), 2), QString("\r\n"));
    }
    box.setSelStart(0);
    box.setSelLength(int(text.size()));
    QCOMPARE(box.SelText(), text);

    // Display lines agree with the layout.
    doc->documentLayout()->documentSize();
    int lines = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        lines += b.isVisible() ? std::max(1, b.layout()->lineCount()) : 0;
    QCOMPARE(box.GetLineCount(), lines);
    QCOMPARE(box.GetLineFromChar(int(text.size())), lines - 1);
}

QTEST_MAIN(TestRichTextBoxRtf)
#include "tst_richtextbox_rtf.moc"
