#include <QClipboard>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <functional>
#include <tuple>
#include <utility>

#include "platform/RichTextBox.h"
#include "platform/rtf/TextFormats.h"

namespace {

// Builds content from a compact description: "|" breaks the paragraph, "~" breaks the line,
// "#" is a picture, anything else is text.
void build(RichTextBox &box, const QString &shape)
{
    box.setText(QString());
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (QChar ch : shape) {
        if (ch == u'#')
            box.insertPicture(image);
        else
            box.textCursor().insertText(ch == u'|'   ? QString(QChar::ParagraphSeparator)
                                        : ch == u'~' ? QString(QChar::LineSeparator)
                                                     : QString(ch));
    }
}

// The same description as Text() shows it.
QString expectedText(QString shape)
{
    return shape.replace(u'|', QStringLiteral("\r\n"))
        .replace(u'~', u'\v')
        .replace(u'#', QChar::ObjectReplacementCharacter);
}

void select(RichTextBox &box, int start, int length)
{
    box.setSelStart(start);
    box.setSelLength(length);
}

// Drops reach the control through these; tests call them directly.
class DropBox : public RichTextBox
{
public:
    using RichTextBox::canInsertFromMimeData;
    using RichTextBox::insertFromMimeData;
};

} // namespace

class TestRichTextBox : public QObject
{
    Q_OBJECT

private slots:
    void init() { QGuiApplication::clipboard()->clear(); }

    void positionModel_data();
    void positionModel();
    void setTextBreaks_data();
    void setTextBreaks();

    void mixedSelection();
    void typingFormat();
    void formatsFollowChangesUnderSameSelection();
    void propertyIsOneUndoStep();
    void indentsInTwips_data();
    void indentsInTwips();
    void charOffset_data();
    void charOffset();
    void tabs();
    void bullets();
    void alignment_data();
    void alignment();
    void paragraphEndingAtBlockStart();

    void files();

    void copyOffersRtfTextAndHtml();
    void dropPrefersRtfThenImageThenText_data();
    void dropPrefersRtfThenImageThenText();
    void changeAndSelChange();
    void keyDownConsumed();
};

void TestRichTextBox::positionModel_data()
{
    QTest::addColumn<QString>("shape");
    QTest::newRow("paragraphs") << "ab|cd|ef";
    QTest::newRow("empty paragraphs") << "||a||";
    QTest::newRow("soft breaks") << "ab~cd|e~~f";
    QTest::newRow("pictures") << "a#b|#|##c";
    QTest::newRow("everything") << "#~|x#y~z||#";
}

void TestRichTextBox::positionModel()
{
    QFETCH(QString, shape);
    RichTextBox box;
    build(box, shape);
    const QString text = expectedText(shape);
    QCOMPARE(box.Text(), text);

    for (int p = 0; p <= text.size(); ++p) {
        const bool insideBreak = p > 0 && text[p - 1] == u'\r';
        const int expected = insideBreak ? p - 1 : p;
        box.setSelStart(p);
        QCOMPARE(box.SelStart(), expected);
        QCOMPARE(box.SelLength(), 0);
        QCOMPARE(box.fromDocPosition(box.toDocPosition(p)), expected);
    }
    // Every selection between two positions outside a break reads back as that slice of Text.
    for (int a = 0; a <= text.size(); ++a) {
        if (a > 0 && text[a - 1] == u'\r')
            continue;
        for (int b = a; b <= text.size(); ++b) {
            if (b > 0 && text[b - 1] == u'\r')
                continue;
            select(box, a, b - a);
            QCOMPARE(box.SelStart(), a);
            QCOMPARE(box.SelLength(), b - a);
            QCOMPARE(box.SelText(), text.mid(a, b - a));
        }
    }
    // Past the end clamps to the end.
    box.setSelStart(text.size() + 10);
    QCOMPARE(box.SelStart(), int(text.size()));
    box.setSelStart(-5);
    QCOMPARE(box.SelStart(), 0);
}

void TestRichTextBox::setTextBreaks_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("text");
    QTest::newRow("lf") << "a\nb\n"
                        << "a\r\nb\r\n";
    QTest::newRow("cr") << "a\rb"
                        << "a\r\nb";
    QTest::newRow("soft break") << "a\vb"
                                << "a\vb";
    QTest::newRow("object character dropped") << QString("a") + QChar(0xfffc) + "b"
                                              << "ab";
}

void TestRichTextBox::setTextBreaks()
{
    QFETCH(QString, input);
    QFETCH(QString, text);
    RichTextBox box;
    box.setTextRTF(input); // text that is no RTF is set as text
    QCOMPARE(box.Text(), text);
    QVERIFY(!box.CanUndo());
    box.setSelRTF("x");
    QCOMPARE(box.Text(), "x" + text);
}

void TestRichTextBox::mixedSelection()
{
    // Each property set on "second" only reads null over both paragraphs, never over one or at
    // the caret.
    using Set = std::function<void(RichTextBox &)>;
    using IsNull = std::function<bool(const RichTextBox &)>;
    const QList<std::tuple<const char *, Set, IsNull>> properties{
        {"bold", [](RichTextBox &b) { b.setSelBold(true); },
         [](const RichTextBox &b) { return !b.SelBold(); }},
        {"italic", [](RichTextBox &b) { b.setSelItalic(true); },
         [](const RichTextBox &b) { return !b.SelItalic(); }},
        {"underline", [](RichTextBox &b) { b.setSelUnderline(true); },
         [](const RichTextBox &b) { return !b.SelUnderline(); }},
        {"strike", [](RichTextBox &b) { b.setSelStrikeThru(true); },
         [](const RichTextBox &b) { return !b.SelStrikeThru(); }},
        {"font", [](RichTextBox &b) { b.setSelFontName("DejaVu Serif"); },
         [](const RichTextBox &b) { return !b.SelFontName(); }},
        {"size", [](RichTextBox &b) { b.setSelFontSize(17); },
         [](const RichTextBox &b) { return !b.SelFontSize(); }},
        {"color", [](RichTextBox &b) { b.setSelColor(Qt::red); },
         [](const RichTextBox &b) { return !b.SelColor(); }},
        {"offset", [](RichTextBox &b) { b.setSelCharOffset(55); },
         [](const RichTextBox &b) { return !b.SelCharOffset(); }},
        {"alignment", [](RichTextBox &b) { b.setSelAlignment(RichTextBox::AlignCenter); },
         [](const RichTextBox &b) { return !b.SelAlignment(); }},
        {"indent", [](RichTextBox &b) { b.setSelIndent(720); },
         [](const RichTextBox &b) { return !b.SelIndent(); }},
        {"hanging", [](RichTextBox &b) { b.setSelHangingIndent(360); },
         [](const RichTextBox &b) { return !b.SelHangingIndent(); }},
        {"right", [](RichTextBox &b) { b.setSelRightIndent(1440); },
         [](const RichTextBox &b) { return !b.SelRightIndent(); }},
        {"bullet", [](RichTextBox &b) { b.setSelBullet(true); },
         [](const RichTextBox &b) { return !b.SelBullet(); }},
        {"tabs", [](RichTextBox &b) { b.setSelTabCount(2); },
         [](const RichTextBox &b) { return !b.SelTabCount(); }},
    };
    for (const auto &[name, set, isNull] : properties) {
        RichTextBox box;
        box.setFont("DejaVu Sans", 10);
        box.setText("first\r\nsecond");
        select(box, 7, 6);
        set(box);
        QVERIFY2(!isNull(box), name);
        select(box, 0, 13);
        QVERIFY2(isNull(box), name);
        select(box, 0, 5);
        QVERIFY2(!isNull(box), name);
        select(box, 9, 0);
        QVERIFY2(!isNull(box), name);
    }
}

void TestRichTextBox::typingFormat()
{
    RichTextBox box;
    box.setFont("DejaVu Sans", 10);
    box.setText("plain");
    box.setSelStart(5);
    box.setSelBold(true);
    box.setSelFontSize(20);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelFontSize(), std::optional<double>(20));
    // Only the typing format changed: the text itself is untouched.
    select(box, 0, 5);
    QCOMPARE(box.SelBold(), std::optional<bool>(false));
    QCOMPARE(box.SelFontSize(), std::optional<double>(10));
}

void TestRichTextBox::formatsFollowChangesUnderSameSelection()
{
    RichTextBox box;
    box.setText("abcdef");
    select(box, 1, 3);
    QCOMPARE(box.SelBold(), std::optional<bool>(false));
    // Changed behind the control's back, the selection itself unchanged.
    QTextCursor other(box.document());
    other.setPosition(2);
    other.setPosition(3, QTextCursor::KeepAnchor);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    other.mergeCharFormat(bold);
    QCOMPARE(box.SelBold(), std::nullopt);
    box.setSelBold(true);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
}

void TestRichTextBox::propertyIsOneUndoStep()
{
    RichTextBox box;
    box.setText("a\r\nb\r\nc");
    select(box, 0, 7);
    box.setSelIndent(1440);
    box.setSelBold(true);
    QCOMPARE(box.SelIndent(), std::optional<int>(1440));
    box.Undo();
    QCOMPARE(box.SelBold(), std::optional<bool>(false));
    QCOMPARE(box.SelIndent(), std::optional<int>(1440));
    box.Undo();
    QCOMPARE(box.SelIndent(), std::optional<int>(0));
    QVERIFY(!box.CanUndo());
}

void TestRichTextBox::indentsInTwips_data()
{
    QTest::addColumn<int>("indent");
    QTest::addColumn<int>("hanging");
    QTest::addColumn<int>("right");
    QTest::newRow("zero") << 0 << 0 << 0;
    QTest::newRow("hanging") << 360 << 360 << 1440;
    QTest::newRow("negative") << -200 << 100 << -50;
}

void TestRichTextBox::indentsInTwips()
{
    QFETCH(int, indent);
    QFETCH(int, hanging);
    QFETCH(int, right);
    RichTextBox box;
    box.setText("para one\r\npara two");
    select(box, 0, 18);
    box.setSelHangingIndent(hanging);
    box.setSelIndent(indent);
    box.setSelRightIndent(right);
    QCOMPARE(box.SelIndent(), std::optional<int>(indent));
    QCOMPARE(box.SelHangingIndent(), std::optional<int>(hanging));
    QCOMPARE(box.SelRightIndent(), std::optional<int>(right));
    // The document holds what the RTF writer reads: \li, \fi and \ri in twips.
    const QTextBlockFormat f = box.document()->lastBlock().blockFormat();
    QCOMPARE(f.intProperty(TextFormats::LeftIndentTwips), indent + hanging);
    QCOMPARE(f.intProperty(TextFormats::FirstIndentTwips), -hanging);
    QCOMPARE(f.intProperty(TextFormats::RightIndentTwips), right);
    // Moving the first line keeps the others where they are relative to it, and back.
    box.setSelIndent(indent + 100);
    QCOMPARE(box.SelHangingIndent(), std::optional<int>(hanging));
    box.setSelHangingIndent(hanging + 50);
    QCOMPARE(box.SelIndent(), std::optional<int>(indent + 100));
}

void TestRichTextBox::charOffset_data()
{
    QTest::addColumn<int>("twips");
    QTest::addColumn<int>("alignment");
    QTest::newRow("raised") << 55 << int(QTextCharFormat::AlignSuperScript);
    QTest::newRow("lowered") << -55 << int(QTextCharFormat::AlignSubScript);
    QTest::newRow("normal") << 0 << int(QTextCharFormat::AlignNormal);
}

void TestRichTextBox::charOffset()
{
    QFETCH(int, twips);
    QFETCH(int, alignment);
    RichTextBox box;
    box.setText("x2");
    select(box, 1, 1);
    box.setSelCharOffset(120);
    box.setSelCharOffset(twips);
    QCOMPARE(box.SelCharOffset(), std::optional<int>(twips));
    QTextCursor c(box.document());
    c.setPosition(2);
    const QTextCharFormat f = c.charFormat();
    QCOMPARE(f.intProperty(TextFormats::CharOffsetTwips), twips);
    QCOMPARE(int(f.verticalAlignment()), alignment);
    QCOMPARE(f.baselineOffset() > 0, twips > 0);
    QCOMPARE(f.baselineOffset() < 0, twips < 0);
    select(box, 0, 1);
    QCOMPARE(box.SelCharOffset(), std::optional<int>(0));
}

void TestRichTextBox::tabs()
{
    RichTextBox box;
    box.setText("a\tb\r\nc\td");
    select(box, 0, 8);
    // A count extends the stops every 720 twips; the tabs dialog then sets each in its order.
    box.setSelTabCount(3);
    QCOMPARE(box.SelTabs(2), std::optional<int>(2160));
    QCOMPARE(box.SelTabs(3), std::nullopt);
    const QList<int> stops{1500, 1000, 2999};
    for (int i = 0; i < stops.size(); ++i)
        box.setSelTabs(i, stops[i]);
    const QTextBlockFormat f = box.document()->firstBlock().blockFormat();
    QCOMPARE(f.property(TextFormats::TabStopsTwips).value<QList<int>>(), stops);
    QCOMPARE(f.tabPositions().first().position, 1000 / 15.0); // laid out in order
    box.setSelTabCount(1);
    QCOMPARE(box.SelTabs(0), std::optional<int>(1500));
    // A stop set past the end of one paragraph's stops: the two paragraphs differ.
    select(box, 0, 0);
    box.setSelTabs(2, 4000);
    QCOMPARE(box.SelTabCount(), std::optional<int>(3));
    select(box, 0, 8);
    QCOMPARE(box.SelTabCount(), std::nullopt);
    QCOMPARE(box.SelTabs(0), std::optional<int>(1500));
}

void TestRichTextBox::bullets()
{
    RichTextBox box;
    box.setText("a\r\nb\r\nc");
    select(box, 0, 4);
    box.setSelBullet(true);
    QTextList *list = box.document()->firstBlock().textList();
    QVERIFY(list);
    QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(list->count(), 2);
    QCOMPARE(box.Text(), QString("a\r\nb\r\nc")); // the marker is not text
    // A paragraph without indents moves in to make room for the marker, and back without it.
    QCOMPARE(box.SelIndent(), std::optional<int>(360));
    // A bullet after a bulleted paragraph continues its list and keeps its own indent.
    select(box, 6, 0);
    box.setSelIndent(720);
    box.setSelBullet(true);
    QCOMPARE(list->count(), 3);
    QCOMPARE(box.SelIndent(), std::optional<int>(720));
    select(box, 3, 1);
    box.setSelBullet(false);
    QCOMPARE(box.SelIndent(), std::optional<int>(0));
    select(box, 0, 7);
    QCOMPARE(box.SelBullet(), std::nullopt);
    // A numbered paragraph is not a bullet until made one.
    QTextCursor(box.document()->findBlockByNumber(1)).createList(QTextListFormat::ListDecimal);
    select(box, 3, 0);
    QCOMPARE(box.SelBullet(), std::optional<bool>(false));
    box.setSelBullet(true);
    QCOMPARE(box.SelBullet(), std::optional<bool>(true));
}

void TestRichTextBox::alignment_data()
{
    QTest::addColumn<int>("qtAlignment");
    QTest::addColumn<int>("expected");
    QTest::newRow("left") << int(Qt::AlignLeft) << 0;
    QTest::newRow("right") << int(Qt::AlignRight) << 1;
    QTest::newRow("centre") << int(Qt::AlignHCenter) << 2;
    QTest::newRow("justified reads left") << int(Qt::AlignJustify) << 0;
    QTest::newRow("absolute right") << int(Qt::AlignRight | Qt::AlignAbsolute) << 1;
}

void TestRichTextBox::alignment()
{
    QFETCH(int, qtAlignment);
    QFETCH(int, expected);
    RichTextBox box;
    box.setText("text");
    QTextBlockFormat f;
    f.setAlignment(Qt::Alignment(qtAlignment));
    QTextCursor(box.document()->firstBlock()).mergeBlockFormat(f);
    QCOMPARE(box.SelAlignment(), std::optional<int>(expected));
    box.setSelAlignment(expected);
    QCOMPARE(box.SelAlignment(), std::optional<int>(expected));
    box.setSelAlignment(7); // not an alignment: ignored
    QCOMPARE(box.SelAlignment(), std::optional<int>(expected));
}

void TestRichTextBox::paragraphEndingAtBlockStart()
{
    // Selecting a whole paragraph with its break formats that paragraph only.
    RichTextBox box;
    box.setText("one\r\ntwo");
    select(box, 0, 5);
    box.setSelAlignment(RichTextBox::AlignCenter);
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignCenter));
    box.setSelStart(6);
    QCOMPARE(box.SelAlignment(), std::optional<int>(RichTextBox::AlignLeft));
}

void TestRichTextBox::files()
{
    // A Windows-1252 file with CRLF comes back byte for byte.
    QTemporaryDir dir;
    const auto write = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    const QByteArray bytes("caf\xe9 \x99\r\nline two\r\n");
    QVERIFY(write("in.txt", bytes));
    RichTextBox box;
    QVERIFY(box.LoadFile(dir.filePath("in.txt")));
    QCOMPARE(box.Text(), QString::fromUtf8("café ™\r\nline two\r\n"));
    QVERIFY(box.SaveFile(dir.filePath("out.txt"), RichTextBox::rtfText));
    QFile g(dir.filePath("out.txt"));
    QVERIFY(g.open(QIODevice::ReadOnly));
    QCOMPARE(g.readAll(), bytes);
    // So does a long UTF-8 one with a byte order mark, saved in pieces.
    QByteArray longText("\xEF\xBB\xBF");
    for (int i = 0; i < 4000; ++i)
        longText += "line " + QByteArray::number(i) + " caf\xC3\xA9 \xE2\x80\x94 {x}\tend\n";
    QVERIFY(write("out.txt", longText));
    QVERIFY(box.LoadFile(dir.filePath("out.txt")));
    QVERIFY(box.SaveFile(dir.filePath("out.txt"), RichTextBox::rtfText));
    QFile saved(dir.filePath("out.txt"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readAll(), longText);

    // A file read in the background reads as a direct read does, and starts a fresh history.
    QVERIFY(write("doc.rtf", "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs24 {\\b bold} plain\\par"
                             "\\qc\\li720 centred \\u945?\\tab x\\par}"));
    QVERIFY(box.LoadFile(dir.filePath("doc.rtf")));
    RichTextBox background;
    background.setBackgroundReadBytes(0);
    QVERIFY(background.LoadFile(dir.filePath("doc.rtf")));
    QCOMPARE(background.TextRTF(), box.TextRTF());
    QVERIFY(!background.CanUndo() && !background.document()->isModified());
    background.setSelText("typed ");
    QVERIFY(background.Text().startsWith("typed bold"));
    background.Undo();
    QCOMPARE(background.Text(), box.Text());
    // So does a text file, with its encoding and line endings.
    for (const QByteArray &text : {bytes, QByteArray("\xef\xbb\xbfone\rtwo\r\r")}) {
        QVERIFY(write("t.txt", text));
        QVERIFY(box.LoadFile(dir.filePath("t.txt")) && background.LoadFile(dir.filePath("t.txt")));
        QCOMPARE(background.Text(), box.Text());
        QCOMPARE(background.TextEncoding(), box.TextEncoding());
        QCOMPARE(background.TextLineEnding(), box.TextLineEnding());
        QCOMPARE(background.TextRTF(), box.TextRTF());
    }

    // The worker reads the file as it is when it gets to it, and the stamp is of that read; a
    // file gone by then is reported and the content stays.
    box.setBackgroundReadBytes(0);
    QByteArray later;
    auto meanwhile = connect(&box, &RichTextBox::ReadProgress, &box, [&] {
        if (later.isNull())
            return;
        const QByteArray bytes = std::exchange(later, QByteArray());
        QVERIFY(bytes.isEmpty() ? QFile::remove(dir.filePath("t.txt")) : write("t.txt", bytes));
    });
    later = "changed meanwhile\r";
    SafeFile::Result read;
    QVERIFY(box.LoadFile(dir.filePath("t.txt"), &read) && box.wasReadAsPlainText());
    QCOMPARE(box.Text(), QString("changed meanwhile\r\n"));
    QCOMPARE(read.stamp, SafeFile::stampOf(dir.filePath("t.txt")));
    later = "";
    QVERIFY(!box.LoadFile(dir.filePath("t.txt"), &read) && !box.wasReadCancelled());
    QCOMPARE(read.problem, SafeFile::Problem::Missing);
    QCOMPARE(box.Text(), QString("changed meanwhile\r\n"));
    disconnect(meanwhile);

    // Cancelled, or a file that cannot be read, leaves the content; one that cannot be
    // written, the disk.
    box.setText("keep me");
    connect(&box, &RichTextBox::ReadProgress, &box, &RichTextBox::cancelRead);
    QVERIFY(!box.LoadFile(dir.filePath("doc.rtf")) && box.wasReadCancelled());
    QVERIFY(!box.LoadFile(dir.filePath("in.txt")) && box.wasReadCancelled());
    QCOMPARE(box.TextLineEnding(), PlainText::LineEnding::Cr);
    QVERIFY(!box.LoadFile(dir.filePath("missing.rtf")));
    QVERIFY(!box.LoadFile(dir.path())); // a folder
    QCOMPARE(box.Text(), QString("keep me"));
    QVERIFY(!box.SaveFile(dir.filePath("no/such/folder/x.rtf")));
    QVERIFY(!box.SaveFile(dir.path())); // a folder is not replaced
    QVERIFY(QFileInfo(dir.path()).isDir());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files),
             QStringList({"doc.rtf", "in.txt", "out.txt"}));
}

void TestRichTextBox::copyOffersRtfTextAndHtml()
{
    RichTextBox box;
    box.setText("one\r\ntwo three");
    select(box, 2, 6);
    box.Copy();
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    QVERIFY(mime);
    QCOMPARE(mime->text(), QString("e\ntwo"));
    QVERIFY(mime->hasHtml());
    QVERIFY(mime->data("text/rtf").startsWith("{\\rtf"));
    QCOMPARE(mime->data("application/rtf"), mime->data("text/rtf"));
    box.Cut();
    QCOMPARE(box.Text(), QString("on three"));
    QCOMPARE(box.SelStart(), 2);
}

void TestRichTextBox::dropPrefersRtfThenImageThenText_data()
{
    QTest::addColumn<QStringList>("kinds");
    QTest::addColumn<QString>("text");
    const QString picture(QChar::ObjectReplacementCharacter);
    QTest::newRow("rtf over all") << QStringList{"rtf", "image", "text", "html"} << "[rich]";
    QTest::newRow("image over text") << QStringList{"image", "text", "html"} << "[" + picture + "]";
    QTest::newRow("text over html") << QStringList{"text", "html"} << "[plain]";
    QTest::newRow("html alone as text") << QStringList{"html"} << "[web\r\npage]";
    QTest::newRow("nothing usable") << QStringList{} << "[]";
}

void TestRichTextBox::dropPrefersRtfThenImageThenText()
{
    QFETCH(QStringList, kinds);
    QFETCH(QString, text);
    RichTextBox source;
    source.setText("rich");
    QMimeData mime;
    if (kinds.contains("rtf"))
        mime.setData("application/rtf", source.TextRTF().toLatin1());
    if (kinds.contains("image")) {
        QImage image(5, 5, QImage::Format_RGB32);
        image.fill(Qt::yellow);
        mime.setImageData(image);
    }
    if (kinds.contains("text"))
        mime.setText("plain");
    if (kinds.contains("html"))
        mime.setHtml("<p>web</p><p>page</p>");
    mime.setData("application/x-unrelated", "x");

    DropBox box;
    box.setText("[]");
    box.setSelStart(1);
    QCOMPARE(box.canInsertFromMimeData(&mime), !kinds.isEmpty());
    box.insertFromMimeData(&mime);
    QCOMPARE(box.Text(), text);
    if (kinds.value(0) == "image") {
        // A picture keeps its PNG bytes and size for the RTF writer, and shows as a resource.
        QTextCursor c(box.document());
        c.setPosition(2);
        const QTextImageFormat f = c.charFormat().toImageFormat();
        QCOMPARE(QSizeF(f.width(), f.height()), QSizeF(5, 5));
        QCOMPARE(f.property(TextFormats::PictureKind).toString(), QString("png"));
        QCOMPARE(QImage::fromData(f.property(TextFormats::PictureData).toByteArray()).size(),
                 QSize(5, 5));
        QVERIFY(box.document()->resource(QTextDocument::ImageResource, QUrl(f.name())).isValid());
    }
}

void TestRichTextBox::changeAndSelChange()
{
    RichTextBox box;
    box.setText("some text");
    QSignalSpy change(&box, &RichTextBox::Change);
    QSignalSpy sel(&box, &RichTextBox::SelChange);
    select(box, 2, 3);
    box.setSelStart(0);
    QCOMPARE(change.count(), 0);
    QVERIFY(sel.count() >= 2);
    sel.clear();
    box.setSelStart(0); // no move
    QCOMPARE(sel.count(), 0);
    // Replacing the selection with text that breaks: one change, the caret after it, one undo.
    select(box, 5, 4);
    box.setSelText("2\r\nzwei");
    QCOMPARE(change.count(), 1);
    QCOMPARE(box.Text(), QString("some 2\r\nzwei"));
    QCOMPARE(box.SelStart(), 12);
    box.Undo();
    box.setSelStart(0);
    box.setSelText("x");
    QCOMPARE(change.count(), 3);
    select(box, 0, 4);
    change.clear();
    box.setSelBold(true);
    QCOMPARE(change.count(), 1);
    change.clear();
    box.setSelStart(0);
    box.setSelItalic(true); // typing format only
    QCOMPARE(change.count(), 0);
    box.Delete();
    QCOMPARE(change.count(), 1);
    QCOMPARE(box.Text(), QString("some text"));
}

void TestRichTextBox::keyDownConsumed()
{
    // A handler that accepts the key stops it; one that leaves it lets the control type it.
    for (const bool consume : {true, false}) {
        RichTextBox box;
        int downs = 0;
        int ups = 0;
        connect(&box, &RichTextBox::KeyDown, &box, [&](QKeyEvent *e) {
            ++downs;
            QVERIFY(!e->isAccepted());
            if (consume)
                e->accept();
        });
        connect(&box, &RichTextBox::KeyUp, &box, [&](QKeyEvent *) { ++ups; });
        QTest::keyClick(&box, Qt::Key_Q);
        QCOMPARE(box.Text(), QString(consume ? "" : "q"));
        QCOMPARE(downs + ups, 2);
    }
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
