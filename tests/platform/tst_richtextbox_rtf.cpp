#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QRegularExpression>
#include <QTemporaryDir>
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

    void textRtfRoundTrip();
    void selRtfCopiesFormatting();
    void setSelRtfIsOneUndoStep();
    void pasteRtfFromClipboard();
    void pictureThroughRtf();
    void fileRoundTrip_data();
    void fileRoundTrip();
    void corpusPositionModel_data();
    void corpusPositionModel();
};

void TestRichTextBoxRtf::textRtfRoundTrip()
{
    RichTextBox a;
    a.setFont("DejaVu Sans", 10);
    a.setText("bold words\r\nindented\tand tabbed");
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

    const QString rtf = a.TextRTF();
    QVERIFY(rtf.startsWith("{\\rtf"));
    RichTextBox b;
    b.setTextRTF(rtf);
    QCOMPARE(b.Text(), a.Text());
    select(b, 0, 4);
    QCOMPARE(b.SelBold(), std::optional<bool>(true));
    QCOMPARE(b.SelFontSize(), std::optional<double>(14));
    QCOMPARE(b.SelColor(), std::optional<QColor>(QColor(0x12, 0x34, 0x56)));
    select(b, 4, 2);
    QCOMPARE(b.SelBold(), std::optional<bool>(false));
    select(b, 12, 5);
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
}

void TestRichTextBoxRtf::selRtfCopiesFormatting()
{
    RichTextBox a;
    a.setText("plain BOLD plain");
    select(a, 6, 4);
    a.setSelBold(true);
    const QString part = a.SelRTF();
    QVERIFY(part.startsWith("{\\rtf"));

    RichTextBox scratch;
    scratch.setTextRTF(part);
    QCOMPARE(scratch.Text(), QString("BOLD"));
    select(scratch, 0, 4);
    QCOMPARE(scratch.SelBold(), std::optional<bool>(true));

    // Putting it back over the selection keeps its place and formatting.
    RichTextBox target;
    target.setText("[]");
    target.setSelStart(1);
    target.setSelRTF(scratch.TextRTF());
    QCOMPARE(target.Text(), QString("[BOLD]"));
    select(target, 1, 4);
    QCOMPARE(target.SelBold(), std::optional<bool>(true));
}

void TestRichTextBoxRtf::setSelRtfIsOneUndoStep()
{
    RichTextBox source;
    source.setText("one\r\ntwo");
    source.setSelStart(0);
    source.setSelLength(8);
    source.setSelItalic(true);
    const QString rtf = source.TextRTF();

    RichTextBox box;
    box.setText("start end");
    select(box, 6, 3);
    box.setSelRTF(rtf);
    QCOMPARE(box.Text(), QString("start one\r\ntwo"));
    box.Undo();
    QCOMPARE(box.Text(), QString("start end"));
}

void TestRichTextBoxRtf::pasteRtfFromClipboard()
{
    RichTextBox a;
    a.setText("x underlined y");
    select(a, 2, 10);
    a.setSelUnderline(true);
    a.Copy();
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasFormat("text/rtf"));

    RichTextBox b;
    b.setText("<>");
    b.setSelStart(1);
    QVERIFY(b.CanPaste());
    b.Paste();
    QCOMPARE(b.Text(), QString("<underlined>"));
    select(b, 1, 10);
    QCOMPARE(b.SelUnderline(), std::optional<bool>(true));
    select(b, 0, 1);
    QCOMPARE(b.SelUnderline(), std::optional<bool>(false));
}

void TestRichTextBoxRtf::pictureThroughRtf()
{
    RichTextBox a;
    a.setText("ab\r\ncd");
    a.setSelStart(5);
    QImage image(16, 12, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    a.insertPicture(image);
    const QString expected = QString("ab\r\nc") + QChar::ObjectReplacementCharacter + "d";
    QCOMPARE(a.Text(), expected);

    RichTextBox b;
    b.setTextRTF(a.TextRTF());
    QCOMPARE(b.Text(), expected);
    QCOMPARE(b.Find("d"), 6);
    select(b, 5, 1);
    b.Copy();
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasImage());
}

void TestRichTextBoxRtf::fileRoundTrip_data()
{
    QTest::addColumn<int>("type");
    QTest::newRow("rtf") << int(RichTextBox::rtfRTF);
    QTest::newRow("text") << int(RichTextBox::rtfText);
}

void TestRichTextBoxRtf::fileRoundTrip()
{
    QFETCH(int, type);
    QTemporaryDir dir;
    const QString path = dir.filePath("doc");
    RichTextBox a;
    a.setText(QString::fromUtf8("first\r\nsecond \u00e9"));
    select(a, 0, 5);
    a.setSelBold(true);
    QVERIFY(a.SaveFile(path, type));

    RichTextBox b;
    QVERIFY(b.LoadFile(path));
    QCOMPARE(b.Text(), a.Text());
    select(b, 0, 5);
    QCOMPARE(b.SelBold(), std::optional<bool>(type == RichTextBox::rtfRTF));
    if (type == RichTextBox::rtfText) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("first\nsecond \xc3\xa9"));
    }
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

    // Find agrees with Text on a word from the middle.
    const QStringList words = text.split(QRegularExpression("\\W+"), Qt::SkipEmptyParts);
    if (!words.isEmpty()) {
        const QString word = words.at(words.size() / 2);
        const int expected = int(text.indexOf(word, 0, Qt::CaseInsensitive));
        QCOMPARE(box.Find(word), expected);
        QCOMPARE(box.SelText().compare(word, Qt::CaseInsensitive), 0);
    }

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
