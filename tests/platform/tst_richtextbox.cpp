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
#include <unistd.h>

#include "platform/RichTextBox.h"
#include "platform/rtf/TextFormats.h"

namespace {

// Builds content from a compact description: "|" breaks the paragraph, "~" breaks the line,
// "#" is a picture, anything else is text.
void build(RichTextBox &box, const QString &shape)
{
    box.setText(QString());
    QTextCursor c(box.document());
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (QChar ch : shape) {
        if (ch == u'|') {
            c.insertBlock();
        } else if (ch == u'~') {
            c.insertText(QString(QChar::LineSeparator));
        } else if (ch == u'#') {
            box.setTextCursor(c);
            box.insertPicture(image);
            c = box.textCursor();
        } else {
            c.insertText(QString(ch));
        }
    }
}

QString expectedText(const QString &shape)
{
    QString out;
    for (QChar ch : shape) {
        if (ch == u'|')
            out += QStringLiteral("\r\n");
        else if (ch == u'~')
            out += u'\v';
        else if (ch == u'#')
            out += QChar::ObjectReplacementCharacter;
        else
            out += ch;
    }
    return out;
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
    void selTextReplaces();

    void mixedSelection_data();
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

    void textFileRoundTrip_data();
    void textFileRoundTrip();
    void loadMissingFileKeepsContent();
    void saveFailureKeepsOldFile();
    void rtfPropertyFallsBackToText();

    void pasteImage();
    void copyOffersRtfTextAndHtml();
    void pastePlainText();
    void dropPrefersRtfThenImageThenText_data();
    void dropPrefersRtfThenImageThenText();
    void tag();
    void changeAndSelChange();
    void keyDownConsumed_data();
    void keyDownConsumed();
};

void TestRichTextBox::positionModel_data()
{
    QTest::addColumn<QString>("shape");
    QTest::newRow("one paragraph") << "hello";
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
    QTest::newRow("crlf") << "a\r\nb"
                          << "a\r\nb";
    QTest::newRow("lf") << "a\nb\n"
                        << "a\r\nb\r\n";
    QTest::newRow("cr") << "a\rb"
                        << "a\r\nb";
    QTest::newRow("soft break") << "a\vb"
                                << "a\vb";
    QTest::newRow("object character dropped") << QString("a") + QChar(0xfffc) + "b"
                                              << "ab";
    QTest::newRow("empty") << ""
                           << "";
}

void TestRichTextBox::setTextBreaks()
{
    QFETCH(QString, input);
    QFETCH(QString, text);
    RichTextBox box;
    box.setText(input);
    QCOMPARE(box.Text(), text);
    QVERIFY(!box.CanUndo());
}

void TestRichTextBox::selTextReplaces()
{
    RichTextBox box;
    box.setText("one two three");
    select(box, 4, 3);
    QCOMPARE(box.SelText(), QString("two"));
    box.setSelText("2\r\nzwei");
    QCOMPARE(box.Text(), QString("one 2\r\nzwei three"));
    QCOMPARE(box.SelStart(), 11);
    QCOMPARE(box.SelLength(), 0);
    box.Undo();
    QCOMPARE(box.Text(), QString("one two three"));
}

void TestRichTextBox::mixedSelection_data()
{
    QTest::addColumn<QString>("property");
    QTest::newRow("bold") << "bold";
    QTest::newRow("italic") << "italic";
    QTest::newRow("underline") << "underline";
    QTest::newRow("strike") << "strike";
    QTest::newRow("font") << "font";
    QTest::newRow("size") << "size";
    QTest::newRow("color") << "color";
    QTest::newRow("offset") << "offset";
    QTest::newRow("alignment") << "alignment";
    QTest::newRow("indent") << "indent";
    QTest::newRow("hanging") << "hanging";
    QTest::newRow("right") << "right";
    QTest::newRow("bullet") << "bullet";
    QTest::newRow("tabs") << "tabs";
}

void TestRichTextBox::mixedSelection()
{
    QFETCH(QString, property);
    RichTextBox box;
    box.setFont("DejaVu Sans", 10);
    box.setText("first\r\nsecond");
    // Apply the property to "second" only, then read it over both paragraphs and over one.
    select(box, 7, 6);
    auto apply = [&] {
        if (property == "bold")
            box.setSelBold(true);
        else if (property == "italic")
            box.setSelItalic(true);
        else if (property == "underline")
            box.setSelUnderline(true);
        else if (property == "strike")
            box.setSelStrikeThru(true);
        else if (property == "font")
            box.setSelFontName("DejaVu Serif");
        else if (property == "size")
            box.setSelFontSize(17);
        else if (property == "color")
            box.setSelColor(Qt::red);
        else if (property == "offset")
            box.setSelCharOffset(55);
        else if (property == "alignment")
            box.setSelAlignment(RichTextBox::AlignCenter);
        else if (property == "indent")
            box.setSelIndent(720);
        else if (property == "hanging")
            box.setSelHangingIndent(360);
        else if (property == "right")
            box.setSelRightIndent(1440);
        else if (property == "bullet")
            box.setSelBullet(true);
        else if (property == "tabs")
            box.setSelTabCount(2);
    };
    auto isNull = [&]() -> std::optional<bool> {
        if (property == "bold")
            return !box.SelBold().has_value();
        if (property == "italic")
            return !box.SelItalic().has_value();
        if (property == "underline")
            return !box.SelUnderline().has_value();
        if (property == "strike")
            return !box.SelStrikeThru().has_value();
        if (property == "font")
            return !box.SelFontName().has_value();
        if (property == "size")
            return !box.SelFontSize().has_value();
        if (property == "color")
            return !box.SelColor().has_value();
        if (property == "offset")
            return !box.SelCharOffset().has_value();
        if (property == "alignment")
            return !box.SelAlignment().has_value();
        if (property == "indent")
            return !box.SelIndent().has_value();
        if (property == "hanging")
            return !box.SelHangingIndent().has_value();
        if (property == "right")
            return !box.SelRightIndent().has_value();
        if (property == "bullet")
            return !box.SelBullet().has_value();
        if (property == "tabs")
            return !box.SelTabCount().has_value();
        return std::nullopt;
    };
    apply();
    QCOMPARE(isNull(), std::optional<bool>(false));
    select(box, 0, 13);
    QCOMPARE(isNull(), std::optional<bool>(true));
    select(box, 0, 5);
    QCOMPARE(isNull(), std::optional<bool>(false));
    // The caret alone never reads null.
    select(box, 9, 0);
    QCOMPARE(isNull(), std::optional<bool>(false));
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
    box.setSelStart(5);
    box.setSelBold(true);
    box.setSelText("BOLD");
    select(box, 5, 4);
    QCOMPARE(box.SelBold(), std::optional<bool>(true));
    QCOMPARE(box.SelFontName(), std::optional<QString>("DejaVu Sans"));
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
    box.Undo();
    select(box, 1, 3);
    QCOMPARE(box.SelBold(), std::nullopt);
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
    QTest::newRow("half inch") << 720 << 0 << 0;
    QTest::newRow("hanging") << 360 << 360 << 1440;
    QTest::newRow("first line in") << 1440 << -720 << 0;
    QTest::newRow("odd twips") << 7 << 13 << 29;
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
    // The document holds what the RTF writer reads: \li, \fi and \ri in twips and pixels.
    const QTextBlockFormat f = box.document()->lastBlock().blockFormat();
    QCOMPARE(f.intProperty(TextFormats::LeftIndentTwips), indent + hanging);
    QCOMPARE(f.intProperty(TextFormats::FirstIndentTwips), -hanging);
    QCOMPARE(f.intProperty(TextFormats::RightIndentTwips), right);
    QCOMPARE(f.leftMargin(), (indent + hanging) / 15.0);
    QCOMPARE(f.textIndent(), -hanging / 15.0);
    QCOMPARE(f.rightMargin(), right / 15.0);
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
    QCOMPARE(box.SelTabCount(), std::optional<int>(0));
    box.setSelTabCount(3);
    QCOMPARE(box.SelTabCount(), std::optional<int>(3));
    QCOMPARE(box.SelTabs(0), std::optional<int>(720));
    QCOMPARE(box.SelTabs(2), std::optional<int>(2160));
    QCOMPARE(box.SelTabs(3), std::nullopt);
    // As the tabs dialog does: count, then every stop in order.
    const QList<int> stops{1000, 1500, 2999};
    box.setSelTabCount(int(stops.size()));
    for (int i = 0; i < stops.size(); ++i)
        box.setSelTabs(i, stops[i]);
    for (int i = 0; i < stops.size(); ++i)
        QCOMPARE(box.SelTabs(i), std::optional<int>(stops[i]));
    const QTextBlockFormat f = box.document()->firstBlock().blockFormat();
    QCOMPARE(f.property(TextFormats::TabStopsTwips).value<QList<int>>(), stops);
    QCOMPARE(f.tabPositions().size(), 3);
    QCOMPARE(f.tabPositions().at(2).position, 2999 / 15.0);
    box.setSelTabCount(1);
    QCOMPARE(box.SelTabCount(), std::optional<int>(1));
    QCOMPARE(box.SelTabs(0), std::optional<int>(1000));
    // A stop set past the end extends the list.
    select(box, 0, 0);
    box.setSelTabs(2, 4000);
    QCOMPARE(box.SelTabCount(), std::optional<int>(3));
    select(box, 0, 8);
    QCOMPARE(box.SelTabCount(), std::nullopt);
    QCOMPARE(box.SelTabs(0), std::optional<int>(1000));
    QCOMPARE(box.SelTabs(2), std::nullopt);
    box.setSelTabCount(0);
    QCOMPARE(box.SelTabCount(), std::optional<int>(0));
}

void TestRichTextBox::bullets()
{
    RichTextBox box;
    box.setText("a\r\nb\r\nc");
    select(box, 0, 4);
    box.setSelBullet(true);
    QCOMPARE(box.SelBullet(), std::optional<bool>(true));
    QTextList *list = box.document()->firstBlock().textList();
    QVERIFY(list);
    QCOMPARE(list->format().style(), QTextListFormat::ListDisc);
    QCOMPARE(list->count(), 2);
    QCOMPARE(box.Text(), QString("a\r\nb\r\nc")); // the marker is not text
    // A paragraph without indents moves in to make room for the marker.
    QCOMPARE(box.SelIndent(), std::optional<int>(360));
    QCOMPARE(box.SelHangingIndent(), std::optional<int>(0));
    // A bullet added after a bulleted paragraph continues its list.
    select(box, 6, 0);
    box.setSelIndent(720);
    box.setSelBullet(true);
    QCOMPARE(list->count(), 3);
    QCOMPARE(box.SelIndent(), std::optional<int>(720)); // its own indent stays
    select(box, 3, 1);
    box.setSelBullet(false);
    QCOMPARE(box.SelBullet(), std::optional<bool>(false));
    QCOMPARE(box.SelIndent(), std::optional<int>(0));
    QCOMPARE(box.document()->findBlockByNumber(1).blockFormat().indent(), 0);
    select(box, 0, 7);
    QCOMPARE(box.SelBullet(), std::nullopt);
    select(box, 6, 0);
    box.setSelBullet(false);
    QCOMPARE(box.SelIndent(), std::optional<int>(720));
    // A numbered paragraph is not a bullet.
    QTextCursor c(box.document()->findBlockByNumber(1));
    c.createList(QTextListFormat::ListDecimal);
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

void TestRichTextBox::textFileRoundTrip_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("windows-1252 crlf") << QByteArray("caf\xe9 \x99\r\nline two\r\n")
                                       << QString::fromUtf8("café ™\r\nline two\r\n");
    QTest::newRow("utf-8 lf") << QByteArray("gr\xc3\xbc\xc3\x9f\nzwei")
                              << QString::fromUtf8("grüß\r\nzwei");
    QTest::newRow("utf-8 bom crlf")
        << QByteArray("\xef\xbb\xbfone\r\ntwo") << QString("one\r\ntwo");
}

void TestRichTextBox::textFileRoundTrip()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QTemporaryDir dir;
    const QString in = dir.filePath("in.txt");
    const QString out = dir.filePath("out.txt");
    QFile f(in);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();

    RichTextBox box;
    QVERIFY(box.LoadFile(in));
    QCOMPARE(box.Text(), text);
    QVERIFY(box.SaveFile(out, RichTextBox::rtfText));
    QFile g(out);
    QVERIFY(g.open(QIODevice::ReadOnly));
    QCOMPARE(g.readAll(), bytes);
}

void TestRichTextBox::loadMissingFileKeepsContent()
{
    QTemporaryDir dir;
    RichTextBox box;
    box.setText("keep me");
    QVERIFY(!box.LoadFile(dir.filePath("missing.rtf")));
    QVERIFY(!box.LoadFile(dir.path())); // a folder
    QCOMPARE(box.Text(), QString("keep me"));
}

void TestRichTextBox::saveFailureKeepsOldFile()
{
    QTemporaryDir dir;
    RichTextBox box;
    box.setText("new content");
    QVERIFY(!box.SaveFile(dir.filePath("no/such/folder/x.rtf")));
    QVERIFY(!box.SaveFile(dir.path())); // a folder is not replaced
    QVERIFY(QFileInfo(dir.path()).isDir());

    const QString folder = dir.filePath("locked");
    QVERIFY(QDir().mkpath(folder));
    const QString target = folder + "/doc.txt";
    QFile f(target);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("old content");
    f.close();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QFile::setPermissions(target, QFile::ReadOwner);
    const bool enforced = ::access(folder.toLocal8Bit().constData(), W_OK) != 0;
    const bool saved = box.SaveFile(target, RichTextBox::rtfText);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    if (!enforced)
        QSKIP("file permissions are not enforced for this user");
    QVERIFY(!saved);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("old content"));
    QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{"doc.txt"});
}

void TestRichTextBox::rtfPropertyFallsBackToText()
{
    RichTextBox box;
    box.setTextRTF("just some words\r\nsecond line");
    QCOMPARE(box.Text(), QString("just some words\r\nsecond line"));
    box.setSelStart(5);
    box.setSelRTF("plain ");
    QCOMPARE(box.Text(), QString("just plain some words\r\nsecond line"));
}

void TestRichTextBox::pasteImage()
{
    RichTextBox box;
    box.setText("ab");
    box.setSelStart(1);
    QImage image(30, 20, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    QGuiApplication::clipboard()->setImage(image);
    QVERIFY(box.CanPaste());
    box.Paste();
    QCOMPARE(box.Text(), QString("a") + QChar::ObjectReplacementCharacter + "b");
    QCOMPARE(box.SelStart(), 2);
    QTextCursor c(box.document());
    c.setPosition(2);
    const QTextCharFormat f = c.charFormat();
    QVERIFY(f.isImageFormat());
    const QTextImageFormat img = f.toImageFormat();
    QCOMPARE(img.width(), 30.0);
    QCOMPARE(img.height(), 20.0);
    QCOMPARE(img.property(TextFormats::PictureKind).toString(), QString("png"));
    QImage decoded;
    QVERIFY(decoded.loadFromData(img.property(TextFormats::PictureData).toByteArray(), "PNG"));
    QCOMPARE(decoded.size(), QSize(30, 20));
    const QVariant resource =
        box.document()->resource(QTextDocument::ImageResource, QUrl(img.name()));
    QCOMPARE(resource.value<QImage>().size(), QSize(30, 20));
    box.Undo();
    QCOMPARE(box.Text(), QString("ab"));
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

void TestRichTextBox::pastePlainText()
{
    RichTextBox box;
    box.setText("[]");
    box.setSelStart(1);
    QGuiApplication::clipboard()->setText("x\r\ny\rz");
    box.Paste();
    QCOMPARE(box.Text(), QString("[x\r\ny\r\nz]"));
    QCOMPARE(box.SelStart(), 8);
    QGuiApplication::clipboard()->clear();
    QVERIFY(!box.CanPaste());
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
}

void TestRichTextBox::tag()
{
    RichTextBox box;
    QCOMPARE(box.Tag(), QString("0"));
    box.setTag("1");
    QCOMPARE(box.Tag(), QString("1"));
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
    box.setSelText("x");
    QCOMPARE(change.count(), 1);
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

void TestRichTextBox::keyDownConsumed_data()
{
    QTest::addColumn<bool>("consume");
    QTest::addColumn<QString>("text");
    QTest::newRow("consumed") << true << "";
    QTest::newRow("passed on") << false << "q";
}

void TestRichTextBox::keyDownConsumed()
{
    QFETCH(bool, consume);
    QFETCH(QString, text);
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
    QCOMPARE(box.Text(), text);
    QCOMPARE(downs, 1);
    QCOMPARE(ups, 1);
}

QTEST_MAIN(TestRichTextBox)
#include "tst_richtextbox.moc"
