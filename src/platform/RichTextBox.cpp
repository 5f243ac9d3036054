#include "platform/RichTextBox.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QEventLoop>
#include <QGuiApplication>
#include <QIODevice>
#include <QImage>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStringMatcher>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <future>
#include <limits>
#include <optional>
#include <system_error>

#include "platform/BackgroundLayout.h"
#include "platform/ListMarkers.h"
#include "platform/LongDocumentLayout.h"
#include "platform/PictureFit.h"
#include "platform/ScreenMetrics.h"
#include "platform/TextSearch.h"
#include "platform/UiServices.h"
#include "platform/rtf/KeptContent.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"
#include "platform/rtf/TextFormats.h"

namespace {

constexpr QChar kTextSoftBreak = u'\v';
constexpr QChar kFrameStart = QChar(0xfdd0);
constexpr QChar kFrameEnd = QChar(0xfdd1);
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");
constexpr int kDefaultTabTwips = 720;
// Find reads this many characters from its start on its own, and reads what is left of a long
// range in two halves side by side.
constexpr int kSearchAloneChars = 1 << 18;
constexpr int kSearchSideBySideChars = 1 << 20;
// The indent a bulleted paragraph without indents gets, and the property that remembers it.
constexpr int kBulletIndentTwips = 360;
constexpr int kBulletShiftProperty = QTextFormat::UserProperty + 100;
// Pictures get names unique in the program, so content moved between documents never clashes.
int g_pictureSerial = 0;

bool isBlockSeparator(QChar c)
{
    return c == QChar::ParagraphSeparator || c == kFrameStart || c == kFrameEnd;
}

// The document's raw text (block separators, U+2028, U+FFFC) as the control shows it.
QString toControlText(QStringView raw)
{
    qsizetype breaks = 0;
    for (QChar c : raw)
        breaks += isBlockSeparator(c) ? 1 : 0;
    QString out(raw.size() + breaks, Qt::Uninitialized);
    QChar *d = out.data();
    for (QChar c : raw) {
        if (isBlockSeparator(c)) {
            *d++ = u'\r';
            *d++ = u'\n';
        } else if (c == QChar::LineSeparator) {
            *d++ = kTextSoftBreak;
        } else {
            *d++ = c;
        }
    }
    return out;
}

// Plain text handed to the control, as QTextCursor::insertText expects it: one "\n" per
// paragraph break, U+2028 per soft break, and no characters that only the document may place
// (object replacements, frame markers).
QString toDocumentText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += u'\n';
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n' || c == QChar::ParagraphSeparator) {
            out += u'\n';
        } else if (c == kTextSoftBreak) {
            out += QChar::LineSeparator;
        } else if (c != QChar::ObjectReplacementCharacter && c != kFrameStart && c != kFrameEnd) {
            out += c;
        }
    }
    return out;
}

// Inserts decoded plain text at the end of the document in `format`, a piece at a time, as
// the control's own text (see toDocumentText). Returns the length of the longest paragraph;
// nothing more is inserted once a paragraph is longer than RichTextBox::LongestParagraph, as
// the content will not be kept. Stops early when cancelled.
int readPlainText(QTextDocument &doc, PlainText::PieceDecoder &decoder,
                  const QTextCharFormat &format, Rtf::ReadControl &control)
{
    QTextCursor c(&doc);
    c.movePosition(QTextCursor::End);
    c.setBlockCharFormat(format);
    qsizetype longest = 0, paragraph = 0;
    QString piece;
    while (!control.cancel && decoder.next(piece)) {
        const QString text = toDocumentText(piece);
        for (QChar ch : text) {
            if (ch == u'\n') {
                longest = std::max(longest, paragraph);
                paragraph = 0;
            } else {
                ++paragraph;
            }
        }
        longest = std::max(longest, paragraph);
        if (longest <= RichTextBox::LongestParagraph)
            c.insertText(text, format);
        control.done = decoder.bytesDone();
    }
    return static_cast<int>(std::min<qsizetype>(longest, std::numeric_limits<int>::max()));
}

// Plain text for other programs (clipboard, text files): "\n" ends each line, pictures are
// left out.
QString toExternalText(QStringView raw)
{
    QString out;
    out.reserve(raw.size());
    for (QChar c : raw) {
        if (isBlockSeparator(c) || c == QChar::LineSeparator)
            out += u'\n';
        else if (c == QChar::Nbsp)
            out += u' ';
        else if (c != QChar::ObjectReplacementCharacter)
            out += c;
    }
    return out;
}

// RTF held in a QString as bytes; a character beyond Latin-1 becomes a Unicode escape.
QByteArray rtfBytes(const QString &rtf)
{
    QByteArray bytes;
    bytes.reserve(rtf.size());
    for (QChar c : rtf) {
        if (c.unicode() <= 0xff)
            bytes += static_cast<char>(c.unicode());
        else
            bytes += "\\u" + QByteArray::number(static_cast<qint16>(c.unicode())) + '?';
    }
    return bytes;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

int twipsProperty(const QTextFormat &f, int property, qreal pixels)
{
    return f.hasProperty(property)
               ? f.intProperty(property)
               : static_cast<int>(std::lround(pixels / TextFormats::PixelsPerTwip));
}

int leftTwips(const QTextBlockFormat &f)
{
    return twipsProperty(f, TextFormats::LeftIndentTwips, f.leftMargin());
}
int firstTwips(const QTextBlockFormat &f)
{
    return twipsProperty(f, TextFormats::FirstIndentTwips, f.textIndent());
}
int rightTwips(const QTextBlockFormat &f)
{
    return twipsProperty(f, TextFormats::RightIndentTwips, f.rightMargin());
}

void setLeftTwips(QTextBlockFormat &f, int twips)
{
    f.setLeftMargin(twips * TextFormats::PixelsPerTwip);
    f.setProperty(TextFormats::LeftIndentTwips, twips);
}
void setFirstTwips(QTextBlockFormat &f, int twips)
{
    // A block format with an object index belongs to a list.
    f.setTextIndent(TextFormats::firstLinePixels(twips, f.objectIndex() >= 0));
    f.setProperty(TextFormats::FirstIndentTwips, twips);
}
void setRightTwips(QTextBlockFormat &f, int twips)
{
    f.setRightMargin(twips * TextFormats::PixelsPerTwip);
    f.setProperty(TextFormats::RightIndentTwips, twips);
}

QList<int> tabsTwips(const QTextBlockFormat &f)
{
    if (f.hasProperty(TextFormats::TabStopsTwips))
        return f.property(TextFormats::TabStopsTwips).value<QList<int>>();
    QList<int> out;
    for (const QTextOption::Tab &t : f.tabPositions())
        out << static_cast<int>(std::lround(t.position / TextFormats::PixelsPerTwip));
    return out;
}

// Sets the stops (kept in the given order in twips; the layout gets them sorted), keeping the
// kind of each stop that stays where it was.
void setTabsTwips(QTextBlockFormat &f, const QList<int> &twips)
{
    const QList<int> old = tabsTwips(f);
    const QList<QTextOption::Tab> oldTabs = f.tabPositions();
    QList<QTextOption::Tab> tabs;
    for (int t : twips) {
        QTextOption::TabType type = QTextOption::LeftTab;
        const qsizetype at = old.indexOf(t);
        if (at >= 0 && at < oldTabs.size())
            type = oldTabs[at].type;
        tabs << QTextOption::Tab(t * TextFormats::PixelsPerTwip, type);
    }
    std::sort(tabs.begin(), tabs.end(), [](const QTextOption::Tab &a, const QTextOption::Tab &b) {
        return a.position < b.position;
    });
    f.setTabPositions(tabs);
    f.setProperty(TextFormats::TabStopsTwips, QVariant::fromValue(twips));
}

bool isBulletStyle(QTextListFormat::Style s)
{
    return s == QTextListFormat::ListDisc || s == QTextListFormat::ListCircle ||
           s == QTextListFormat::ListSquare;
}

QTextCharFormat charOffsetFormat(int twips, double points)
{
    QTextCharFormat f;
    f.setProperty(TextFormats::CharOffsetTwips, twips);
    if (twips == 0) {
        f.setVerticalAlignment(QTextCharFormat::AlignNormal);
        f.setBaselineOffset(0);
        return f;
    }
    f.setVerticalAlignment(twips > 0 ? QTextCharFormat::AlignSuperScript
                                     : QTextCharFormat::AlignSubScript);
    // The raise comes from the baseline offset alone; the alignment only sets the smaller size.
    f.setSuperScriptBaseline(0);
    f.setSubScriptBaseline(0);
    const double size = points > 0 ? points : 12.0;
    f.setBaselineOffset(twips / (size * 20.0) * 100.0);
    return f;
}

// All values equal: that value; otherwise (or with none) nullopt.
template <typename T, typename Container, typename Get>
std::optional<T> common(const Container &items, Get get)
{
    std::optional<T> value;
    for (const auto &item : items) {
        T v = get(item);
        if (!value)
            value = v;
        else if (!(*value == v))
            return std::nullopt;
    }
    return value;
}

// The paragraphs a selection covers: a selection that ends at the very start of a paragraph
// does not cover it.
std::vector<QTextBlock> selectedBlocks(const QTextCursor &c)
{
    const QTextDocument *doc = c.document();
    const int s = c.selectionStart();
    const int e = c.selectionEnd();
    QTextBlock last = doc->findBlock(e);
    if (e > s && last.position() == e && last.previous().isValid())
        last = last.previous();
    std::vector<QTextBlock> out;
    for (QTextBlock b = doc->findBlock(s); b.isValid(); b = b.next()) {
        out.push_back(b);
        if (b == last)
            break;
    }
    return out;
}

struct FragmentRange
{
    int start;
    int end;
    int formatIndex;
};

// The character-format runs of [s, e).
std::vector<FragmentRange> fragmentsIn(const QTextDocument *doc, int s, int e)
{
    std::vector<FragmentRange> out;
    for (QTextBlock b = doc->findBlock(s); b.isValid() && b.position() < e; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            const int fs = f.position();
            const int fe = fs + f.length();
            if (fe <= s)
                continue;
            if (fs >= e)
                break;
            out.push_back({std::max(fs, s), std::min(fe, e), f.charFormatIndex()});
        }
    }
    return out;
}

} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QTextEdit(parent), m_background(new BackgroundLayout(this))
{
    setAcceptRichText(true);
    setTabStopDistance(kDefaultTabTwips * TextFormats::PixelsPerTwip);
    setLineWrapMode(QTextEdit::NoWrap);
    viewport()->setMouseTracking(true); // link addresses show while the pointer is over them
    // Text typed after a kept object (a note's mark, a bookmark) is ordinary text: it does
    // not take the object's properties along.
    connect(this, &QTextEdit::currentCharFormatChanged, this, [this](const QTextCharFormat &f) {
        if (f.isImageFormat() || KeptContent::isKeptObject(f))
            return;
        if (!f.hasProperty(KeptContent::KeptRtf) && !f.hasProperty(KeptContent::KeptShown) &&
            !f.hasProperty(KeptContent::HiddenText) && !f.hasProperty(TextFormats::Hidden))
            return;
        QTextCharFormat plain = f;
        plain.clearProperty(KeptContent::KeptRtf);
        plain.clearProperty(KeptContent::KeptShown);
        plain.clearProperty(KeptContent::HiddenText);
        plain.clearProperty(TextFormats::Hidden);
        setCurrentCharFormat(plain);
    });
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::Change);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::emitSelChangeIfMoved);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::emitSelChangeIfMoved);
    connect(m_background, &BackgroundLayout::progress, this, [this](int percent) {
        // Count the lines of what was laid out as it goes, so queries never walk far.
        countLines(m_background->frontierBlock() - 1);
        emit LayoutProgress(percent);
    });
    connect(m_background, &BackgroundLayout::finished, this, &RichTextBox::LayoutFinished);
    watchDocument();
}

RichTextBox::~RichTextBox() = default;

void RichTextBox::emitSelChangeIfMoved()
{
    // A large change reports the selection once, at its end.
    if (m_bulkDepth > 0)
        return;
    const QTextCursor c = textCursor();
    if (c.anchor() == m_lastAnchor && c.position() == m_lastPosition)
        return;
    m_lastAnchor = c.anchor();
    m_lastPosition = c.position();
    emit SelChange();
}

// Keeps the caches of Text() and of the display lines in step with the document's content.
void RichTextBox::watchDocument() const
{
    const QTextDocument *doc = document();
    if (m_watched == doc)
        return;
    m_watched = doc;
    KeptContent::installHandler(*document()); // notes show their marks
    PictureFit::install(*document());         // wide pictures fit the text's width
    m_textValid = false;
    ++m_revision;
    m_countedBlocks = 0;
    m_recountFrom = -1;
    m_blockCount = doc->blockCount();
    // Paragraphs run left to right unless their format says otherwise, as in RTF; this also
    // spares the layout a scan of every paragraph for its direction on each change.
    if (doc->defaultTextOption().textDirection() == Qt::LayoutDirectionAuto) {
        QTextOption option = doc->defaultTextOption();
        option.setTextDirection(Qt::LeftToRight);
        const_cast<QTextDocument *>(doc)->setDefaultTextOption(option);
    }
    connect(doc, &QTextDocument::contentsChange, this, [this, doc](int from, int, int added) {
        if (doc != m_watched)
            return;
        m_textValid = false;
        m_textCache = QString(); // a stale copy of a long text is not kept
        ++m_revision;
        linesChanging(from, added);
        // A table in a long document: back to Qt's layout, once this change is through.
        if (qobject_cast<LongDocumentLayout *>(doc->documentLayout()) &&
            !LongDocumentLayout::suits(*doc))
            QTimer::singleShot(0, this, &RichTextBox::chooseLayout);
    });
    connect(doc, &QTextDocument::contentsChanged, this, [this, doc] {
        if (doc == m_watched)
            linesChanged();
    });
    // A new undo step replaces the steps that were undone.
    connect(doc, &QTextDocument::undoCommandAdded, this, [this, doc] {
        const int step = doc->availableUndoSteps();
        std::erase_if(m_bulkSteps, [step](int s) { return s >= step; });
    });
    m_background->attach(const_cast<QTextDocument *>(doc));
    if (!isVisible())
        m_background->stop();
}

// ---------------------------------------------------------------------------------------------
// Whole content

QString RichTextBox::TextRTF() const
{
    return QString::fromLatin1(TextRTFBytes());
}

void RichTextBox::setTextRTF(const QString &rtf)
{
    const QByteArray bytes = rtfBytes(rtf);
    if (Rtf::isRtf(bytes))
        loadRtf(bytes);
    else
        setText(rtf);
}

QByteArray RichTextBox::TextRTFBytes() const
{
    return Rtf::write(*document());
}

void RichTextBox::setTextRTFBytes(const QByteArray &data)
{
    if (Rtf::isRtf(data))
        loadRtf(data);
    else
        loadPlainText(PlainText::decode(data));
}

void RichTextBox::resetHistory()
{
    m_bulkSteps.clear();
    document()->clearUndoRedoStacks();
    document()->setModified(false);
}

namespace {

// While a file is read in the background: user input goes nowhere but to the read-cancel
// widget (Escape cancels), and no window closes.
class ReadInputBlocker : public QObject
{
public:
    ReadInputBlocker(QWidget *allowed, std::function<void()> cancel)
        : m_allowed(allowed), m_cancel(std::move(cancel))
    {
        qApp->installEventFilter(this);
    }
    ~ReadInputBlocker() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *target, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::KeyPress:
            if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
                m_cancel();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::DragEnter:
        case QEvent::Drop:
        case QEvent::TouchBegin:
            return !(m_allowed && target->isWidgetType() &&
                     (target == m_allowed.data() ||
                      m_allowed->isAncestorOf(static_cast<QWidget *>(target))));
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
        }
    }

private:
    QPointer<QWidget> m_allowed;
    std::function<void()> m_cancel;
};

} // namespace

void RichTextBox::cancelRead()
{
    if (m_readCancel)
        *m_readCancel = true;
}

std::unique_ptr<QTextDocument> RichTextBox::readInBackground(qsizetype size, const QFont &font,
                                                             const BackgroundRead &read)
{
    // The new document starts with this font and this one's settings (tab stops, direction,
    // margins).
    const QTextDocument *own = document();
    auto fresh = std::make_unique<QTextDocument>();
    fresh->setDefaultFont(font);
    fresh->setDefaultTextOption(own->defaultTextOption());
    fresh->setDocumentMargin(own->documentMargin());
    fresh->setIndentWidth(own->indentWidth());
    fresh->setUseDesignMetrics(own->useDesignMetrics());
    fresh->setUndoRedoEnabled(false);
    Rtf::ReadControl control;
    std::atomic<bool> finished{false};
    int longest = 0;
    // The long-document layout's first estimate of every paragraph's height is made by the
    // worker, not on the GUI thread when the document is shown. The font's metrics it needs are
    // taken here while the worker reads (loading the font can take a while).
    std::promise<LongDocumentLayout::FirstEstimate> basis;
    std::future<LongDocumentLayout::FirstEstimate> basisTaken = basis.get_future();
    LongDocumentLayout::FirstEstimate estimate;
    QTextDocument *doc = fresh.get();
    QThread *home = thread();
    std::unique_ptr<QThread> worker(QThread::create([&] {
        if (!control.cancel)
            longest = read(*doc, control);
        if (!control.cancel && longest >= 0 && longest <= LongestParagraph &&
            needsLongLayout(*doc)) {
            estimate = basisTaken.get();
            LongDocumentLayout::estimate(*doc, estimate);
        }
        doc->moveToThread(home);
        finished = true;
    }));
    // The document and the objects it makes belong to the reading thread while it reads.
    doc->moveToThread(worker.get());
    m_readCancel = &control.cancel;
    {
        ReadInputBlocker blocker(m_readCancelWidget, [this] { cancelRead(); });
        emit ReadProgress(0);
        worker->start();
        basis.set_value(LongDocumentLayout::basisFor(font));
        QEventLoop loop;
        QTimer poll;
        connect(&poll, &QTimer::timeout, &loop, [&] {
            if (finished || control.cancel)
                loop.quit();
            else
                emit ReadProgress(
                    static_cast<int>(control.done * 100 / std::max<qsizetype>(1, size)));
        });
        if (!finished && !control.cancel) {
            poll.start(20);
            loop.exec();
        }
        worker->wait();
    }
    m_readCancel = nullptr;
    if (control.cancel) {
        m_readCancelled = true;
        return nullptr;
    }
    // The file could not be read after all, or has a paragraph too long to lay out: the
    // content stays as it was.
    if (longest < 0)
        return nullptr;
    if (longest > LongestParagraph) {
        m_refusedParagraph = longest;
        return nullptr;
    }
    fresh->setUndoRedoEnabled(true);
    m_freshEstimate = std::move(estimate);
    return fresh;
}

void RichTextBox::adoptRead(std::unique_ptr<QTextDocument> read)
{
    m_paragraphsChecked = true;
    {
        BulkChange bulk(*this, BulkChange::NewContent);
        adoptDocument(read.release());
    }
    m_paragraphsChecked = false;
    resetHistory();
    setTextCursor(QTextCursor(document()));
}

void RichTextBox::adoptDocument(QTextDocument *fresh)
{
    QPointer<QTextDocument> old = document();
    fresh->setParent(this);
    // Laid out when the bulk change ends, as content read into the control's own document is.
    fresh->setLayoutEnabled(false);
    // Its own layout before the view sees it, so a long document never gets Qt's (which goes
    // over every paragraph when told of the page size).
    chooseLayoutFor(fresh);
    setDocument(fresh);
    if (old && old != fresh)
        old->deleteLater();
    watchDocument();
    emit DocumentReplaced();
}

void RichTextBox::loadRtf(QByteArrayView data)
{
    QTextDocument *doc = document();
    {
        BulkChange bulk(*this, BulkChange::NewContent);
        doc->setUndoRedoEnabled(false);
        Rtf::read(data, *doc);
        doc->setUndoRedoEnabled(true);
    }
    resetHistory();
    setTextCursor(QTextCursor(doc));
}

void RichTextBox::loadPlainText(const PlainText::Decoded &decoded)
{
    m_encoding = decoded.encoding;
    m_lineEnding = decoded.lineEnding;
    setText(decoded.text);
}

std::pair<QFont, QTextCharFormat> RichTextBox::plainTextFormat() const
{
    QTextCharFormat format;
    QFont font = document()->defaultFont();
    if (!m_plainTextFont.isEmpty()) {
        format.setFontFamilies(QStringList{m_plainTextFont});
        font.setFamilies(QStringList{m_plainTextFont});
    }
    if (m_plainTextPoints > 0) {
        format.setFontPointSize(m_plainTextPoints);
        font.setPointSizeF(m_plainTextPoints);
    }
    return {font, format};
}

void RichTextBox::loadPlainFile(QByteArrayView data)
{
    const auto [font, format] = plainTextFormat();
    PlainText::PieceDecoder decoder(data);
    QTextDocument *doc = document();
    {
        BulkChange bulk(*this, BulkChange::NewContent);
        doc->setUndoRedoEnabled(false);
        KeptContent::setStore(*doc, {}); // plain text keeps nothing of an earlier RTF document
        doc->setDefaultFont(font);
        Rtf::ReadControl control;
        if (const int longest = readPlainText(*doc, decoder, format, control);
            longest > LongestParagraph) {
            m_refusedParagraph = longest;
            doc->clear();
        }
        doc->setUndoRedoEnabled(true);
    }
    m_encoding = decoder.encoding();
    m_lineEnding = decoder.lineEnding();
    resetHistory();
    setTextCursor(QTextCursor(doc));
}

SafeFile::Result RichTextBox::loadFileInBackground(const QString &path, qint64 size, bool rtfHead)
{
    // Plain references, not a structured binding: the worker's lambda below uses both, and
    // clang 14 (the fuzz build's compiler) cannot capture a structured binding.
    const std::pair<QFont, QTextCharFormat> plain = plainTextFormat();
    const QFont &font = plain.first;
    const QTextCharFormat &format = plain.second;
    SafeFile::Result read;
    read.problem = SafeFile::Problem::Other; // until the worker has read the file
    bool rtf = false;
    PlainText::Encoding encoding = PlainText::Encoding::Utf8;
    PlainText::LineEnding lineEnding = PlainText::LineEnding::Lf;
    // The worker reads the file's bytes (the file as it is then: the stamp is that read's) and
    // frees them as soon as the document holds their content. The document's font is known
    // before it reads (RTF leaves the default font as it is), as the layout's first estimate
    // needs it; a file that turned from RTF to text in between gets the text font all the same.
    const QFont start = rtfHead ? document()->defaultFont() : font;
    std::unique_ptr<QTextDocument> fresh =
        readInBackground(size, start, [&](QTextDocument &doc, Rtf::ReadControl &control) {
            QByteArray data;
            read = SafeFile::read(path, data, -1, &control.cancel);
            if (!read.ok())
                return -1;
            rtf = Rtf::isRtf(data);
            if (rtf) {
                Rtf::read(data, doc, &control);
                data = QByteArray();
                return longestParagraph(doc);
            }
            doc.setDefaultFont(font);
            PlainText::PieceDecoder decoder(data);
            const int longest = readPlainText(doc, decoder, format, control);
            encoding = decoder.encoding();
            lineEnding = decoder.lineEnding();
            return longest;
        });
    if (!fresh)
        return m_readCancelled || m_refusedParagraph > 0 ? SafeFile::Result{} : read;
    m_readAsPlainText = !rtf;
    m_encoding = encoding;
    m_lineEnding = lineEnding;
    adoptRead(std::move(fresh));
    return read;
}

QString RichTextBox::Text() const
{
    watchDocument();
    const QTextDocument *doc = document();
    const qsizetype expected = doc->characterCount() - 1 + doc->blockCount() - 1;
    if (!m_textValid || m_textCache.size() != expected) {
        m_textCache = toControlText(doc->toRawText());
        m_textValid = true;
    }
    return m_textCache;
}

void RichTextBox::setText(const QString &text)
{
    QTextDocument *doc = document();
    {
        BulkChange bulk(*this, BulkChange::NewContent);
        doc->setUndoRedoEnabled(false);
        doc->clear();
        KeptContent::setStore(*doc, {}); // plain text keeps nothing of an earlier RTF document
        QTextCursor c(doc);
        c.insertText(toDocumentText(text));
        doc->setUndoRedoEnabled(true);
    }
    resetHistory();
    setTextCursor(QTextCursor(doc));
}

// ---------------------------------------------------------------------------------------------
// Positions

int RichTextBox::toDocPosition(int textPos) const
{
    const QTextDocument *doc = document();
    if (textPos <= 0)
        return 0;
    const int last = doc->characterCount() - 1;
    // Text positions run ahead of document positions by the block number n of the block wanted
    // (the last whose position + n <= textPos). The block at textPos - hi for an upper bound hi
    // is at or before it, the block at textPos - lo for a lower bound lo at or after it: a few
    // such steps close in quickly (by the paragraphs' length each), a binary search ends it.
    int hi = doc->findBlock(std::min(textPos, last)).blockNumber();
    int lo = doc->findBlock(std::max(0, textPos - hi)).blockNumber();
    for (int step = 0; step < 3 && lo < hi; ++step) {
        hi = doc->findBlock(std::min(textPos - lo, last)).blockNumber();
        if (lo < hi)
            lo = doc->findBlock(std::max(0, textPos - hi)).blockNumber();
    }
    while (lo < hi) {
        const int mid = lo + (hi - lo + 1) / 2;
        if (doc->findBlockByNumber(mid).position() + mid <= textPos)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock b = doc->findBlockByNumber(lo);
    const int offset = textPos - (b.position() + lo);
    return b.position() + std::min(offset, b.length() - 1);
}

int RichTextBox::fromDocPosition(int docPos) const
{
    const QTextDocument *doc = document();
    docPos = std::clamp(docPos, 0, doc->characterCount() - 1);
    return docPos + doc->findBlock(docPos).blockNumber();
}

// ---------------------------------------------------------------------------------------------
// Selection

namespace {

// The document range of a selection. A selection across table cells is a rectangle of cells;
// its range runs from the first cell's start to the last cell's end.
std::pair<int, int> selectedRange(const QTextCursor &c)
{
    if (c.hasComplexSelection()) {
        if (const QTextTable *table = c.currentTable()) {
            int row = 0, rows = 0, column = 0, columns = 0;
            c.selectedTableCells(&row, &rows, &column, &columns);
            if (rows > 0 && columns > 0)
                return {table->cellAt(row, column).firstPosition(),
                        table->cellAt(row + rows - 1, column + columns - 1).lastPosition()};
        }
    }
    return {c.selectionStart(), c.selectionEnd()};
}

} // namespace

QTextCursor RichTextBox::selectionCursor() const
{
    return textCursor();
}

int RichTextBox::SelStart() const
{
    return fromDocPosition(selectedRange(textCursor()).first);
}

void RichTextBox::setSelStart(int pos)
{
    QTextCursor c = textCursor();
    c.setPosition(toDocPosition(pos));
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    const auto [start, end] = selectedRange(textCursor());
    return fromDocPosition(end) - fromDocPosition(start);
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = selectedRange(c).first;
    const int end = toDocPosition(fromDocPosition(start) + std::max(0, length));
    c.setPosition(start);
    c.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const
{
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return {};
    // selectedText() runs the cells of a selection across table cells together; the text
    // of its range keeps them apart, as Text shows them.
    if (c.hasComplexSelection())
        return Text().mid(SelStart(), SelLength());
    // selectedText() maps every block boundary to U+2029, as toControlText expects.
    return toControlText(c.selectedText());
}

void RichTextBox::setSelText(const QString &text)
{
    if (m_locked)
        return;
    QTextCursor c = textCursor();
    std::optional<BulkChange> bulk;
    if (isLargeChange(c.selectionStart(), c.selectionEnd() + static_cast<int>(text.size())))
        bulk.emplace(*this);
    c.beginEditBlock();
    if (c.hasComplexSelection()) {
        // Text over a selection of cells empties them and goes into the first.
        const int first = selectedRange(c).first;
        c.removeSelectedText();
        c.setPosition(first);
    }
    c.insertText(toDocumentText(text));
    c.endEditBlock();
    setTextCursor(c);
}

QString RichTextBox::SelRTF() const
{
    const QTextCursor c = textCursor();
    return QString::fromLatin1(Rtf::write(*document(), c.selectionStart(), c.selectionEnd()));
}

void RichTextBox::setSelRTF(const QString &rtf)
{
    if (m_locked)
        return;
    const QByteArray bytes = rtfBytes(rtf);
    if (!Rtf::isRtf(bytes)) {
        setSelText(rtf);
        return;
    }
    QTextCursor c = textCursor();
    c.beginEditBlock();
    Rtf::insert(bytes, c, Rtf::FinalMark::EndsContent);
    c.endEditBlock();
    setTextCursor(c);
}

// ---------------------------------------------------------------------------------------------
// Character formatting

namespace {

// The character formats a property reads: the typing format without a selection, else every
// distinct format of the selected text (pictures count only when nothing else is selected).
std::vector<QTextCharFormat> collectCharFormats(const QTextCursor &c)
{
    if (!c.hasSelection())
        return {c.charFormat()};
    const QTextDocument *doc = c.document();
    const QList<QTextFormat> all = doc->allFormats();
    std::vector<int> text;
    std::vector<int> pictures;
    std::vector<bool> seen(all.size() + 1, false);
    const int s = c.selectionStart();
    const int e = c.selectionEnd();
    for (QTextBlock b = doc->findBlock(s); b.isValid() && b.position() < e; b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.position() + f.length() <= s)
                continue;
            if (f.position() >= e)
                break;
            const int index = f.charFormatIndex();
            if (index < 0 || index >= all.size() || seen[index])
                continue;
            seen[index] = true;
            (all[index].isImageFormat() ? pictures : text).push_back(index);
        }
    }
    const std::vector<int> &chosen = text.empty() ? pictures : text;
    std::vector<QTextCharFormat> out;
    for (int i : chosen)
        out.push_back(all.value(i).toCharFormat());
    if (out.empty()) {
        // Only paragraph breaks are selected: the format at the start.
        QTextCursor at(c.document()->findBlock(c.selectionStart()));
        at.setPosition(c.selectionStart());
        out.push_back(at.charFormat());
    }
    return out;
}

bool isBold(const QTextCharFormat &f)
{
    return f.fontWeight() >= QFont::DemiBold;
}
bool isUnderlined(const QTextCharFormat &f)
{
    return f.hasProperty(QTextFormat::TextUnderlineStyle)
               ? f.underlineStyle() != QTextCharFormat::NoUnderline
               : f.fontUnderline();
}

} // namespace

// The selection's formats are read by several properties in a row (a toolbar refresh): keep
// them until the selection or the content changes.
std::vector<QTextCharFormat> RichTextBox::selectedCharFormats() const
{
    watchDocument();
    const QTextCursor c = textCursor();
    if (!c.hasSelection())
        return collectCharFormats(c);
    if (m_formatsRevision != m_revision || m_formatsStart != c.selectionStart() ||
        m_formatsEnd != c.selectionEnd()) {
        m_formats = collectCharFormats(c);
        m_formatsRevision = m_revision;
        m_formatsStart = c.selectionStart();
        m_formatsEnd = c.selectionEnd();
    }
    return m_formats;
}

void RichTextBox::mergeSelCharFormat(const QTextCharFormat &format)
{
    if (m_locked)
        return;
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        mergeCurrentCharFormat(format);
        return;
    }
    std::optional<BulkChange> bulk;
    if (isLargeChange(c.selectionStart(), c.selectionEnd()))
        bulk.emplace(*this);
    c.beginEditBlock();
    c.mergeCharFormat(format);
    c.endEditBlock();
}

std::optional<bool> RichTextBox::SelBold() const
{
    return common<bool>(selectedCharFormats(), isBold);
}

void RichTextBox::setSelBold(bool on)
{
    QTextCharFormat f;
    f.setFontWeight(on ? QFont::Bold : QFont::Normal);
    mergeSelCharFormat(f);
}

std::optional<bool> RichTextBox::SelItalic() const
{
    return common<bool>(selectedCharFormats(),
                        [](const QTextCharFormat &f) { return f.fontItalic(); });
}

void RichTextBox::setSelItalic(bool on)
{
    QTextCharFormat f;
    f.setFontItalic(on);
    mergeSelCharFormat(f);
}

std::optional<bool> RichTextBox::SelUnderline() const
{
    return common<bool>(selectedCharFormats(), isUnderlined);
}

void RichTextBox::setSelUnderline(bool on)
{
    QTextCharFormat f;
    f.setFontUnderline(on);
    mergeSelCharFormat(f);
}

std::optional<bool> RichTextBox::SelStrikeThru() const
{
    return common<bool>(selectedCharFormats(),
                        [](const QTextCharFormat &f) { return f.fontStrikeOut(); });
}

void RichTextBox::setSelStrikeThru(bool on)
{
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    mergeSelCharFormat(f);
}

std::optional<QString> RichTextBox::SelFontName() const
{
    const QString fallback = document()->defaultFont().family();
    return common<QString>(selectedCharFormats(), [&](const QTextCharFormat &f) {
        const QStringList families = f.property(QTextFormat::FontFamilies).toStringList();
        if (!families.isEmpty() && !families.first().isEmpty())
            return families.first();
        const QString family = f.stringProperty(QTextFormat::FontFamily);
        return family.isEmpty() ? fallback : family;
    });
}

void RichTextBox::setSelFontName(const QString &name)
{
    if (name.isEmpty())
        return;
    QTextCharFormat f;
    f.setFontFamilies(QStringList{name});
    mergeSelCharFormat(f);
}

std::optional<double> RichTextBox::SelFontSize() const
{
    const double fallback = document()->defaultFont().pointSizeF();
    return common<double>(selectedCharFormats(), [&](const QTextCharFormat &f) {
        return f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : fallback;
    });
}

void RichTextBox::setSelFontSize(double points)
{
    if (!(points > 0))
        return;
    QTextCharFormat f;
    f.setFontPointSize(points);
    mergeSelCharFormat(f);
}

std::optional<QColor> RichTextBox::SelColor() const
{
    const QColor fallback = palette().color(QPalette::Text);
    return common<QColor>(selectedCharFormats(), [&](const QTextCharFormat &f) {
        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
            return f.foreground().color();
        return fallback;
    });
}

void RichTextBox::setSelColor(const QColor &color)
{
    if (!color.isValid())
        return;
    QTextCharFormat f;
    f.setForeground(color);
    mergeSelCharFormat(f);
}

std::optional<int> RichTextBox::SelCharOffset() const
{
    return common<int>(selectedCharFormats(), [](const QTextCharFormat &f) {
        return f.intProperty(TextFormats::CharOffsetTwips);
    });
}

void RichTextBox::setSelCharOffset(int twips)
{
    if (m_locked)
        return;
    const double fallback = document()->defaultFont().pointSizeF();
    auto sizeOf = [&](const QTextCharFormat &f) {
        return f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : fallback;
    };
    QTextCursor c = textCursor();
    if (!c.hasSelection()) {
        mergeCurrentCharFormat(charOffsetFormat(twips, sizeOf(c.charFormat())));
        return;
    }
    // The offset is kept as a share of each run's own size.
    const QList<QTextFormat> all = document()->allFormats();
    const std::vector<FragmentRange> runs =
        fragmentsIn(document(), c.selectionStart(), c.selectionEnd());
    std::optional<BulkChange> bulk;
    if (isLargeChange(c.selectionStart(), c.selectionEnd()))
        bulk.emplace(*this);
    c.beginEditBlock();
    for (const FragmentRange &r : runs) {
        QTextCursor run(document());
        run.setPosition(r.start);
        run.setPosition(r.end, QTextCursor::KeepAnchor);
        run.mergeCharFormat(
            charOffsetFormat(twips, sizeOf(all.value(r.formatIndex).toCharFormat())));
    }
    c.endEditBlock();
}

// ---------------------------------------------------------------------------------------------
// Paragraph formatting

template <typename F> void RichTextBox::changeBlocks(F change)
{
    if (m_locked)
        return;
    QTextCursor c = textCursor();
    std::optional<BulkChange> bulk;
    if (isLargeChange(c.selectionStart(), c.selectionEnd()))
        bulk.emplace(*this);
    c.beginEditBlock();
    for (const QTextBlock &b : selectedBlocks(c)) {
        QTextBlockFormat f = b.blockFormat();
        change(f);
        QTextCursor(b).setBlockFormat(f);
    }
    c.endEditBlock();
}

namespace {
template <typename T, typename Get> std::optional<T> commonBlock(const QTextCursor &c, Get get)
{
    return common<T>(selectedBlocks(c), get);
}
} // namespace

std::optional<bool> RichTextBox::SelBullet() const
{
    return commonBlock<bool>(textCursor(), [](const QTextBlock &b) {
        const QTextList *list = b.textList();
        return list && isBulletStyle(list->format().style());
    });
}

void RichTextBox::setSelBullet(bool on)
{
    if (m_locked)
        return;
    // Lists carry no indent of their own (the paragraph's indents place the text, as in RTF);
    // the marker is drawn before the first line, so a paragraph without indents moves in to
    // make room for it, and moves back when the bullet goes.
    QTextCursor c = textCursor();
    const std::vector<QTextBlock> blocks = selectedBlocks(c);
    std::optional<BulkChange> bulk;
    if (isLargeChange(c.selectionStart(), c.selectionEnd()))
        bulk.emplace(*this);
    c.beginEditBlock();
    if (on) {
        // Continue the bullet list just before the selection, else start one.
        QTextList *list = blocks.front().previous().textList();
        if (list && !isBulletStyle(list->format().style()))
            list = nullptr;
        for (const QTextBlock &b : blocks) {
            QTextList *current = b.textList();
            if (current && isBulletStyle(current->format().style()))
                continue;
            if (current)
                current->remove(b);
            QTextBlockFormat f = b.blockFormat();
            f.setIndent(0);
            if (leftTwips(f) == 0 && firstTwips(f) == 0) {
                setLeftTwips(f, kBulletIndentTwips);
                f.setProperty(kBulletShiftProperty, kBulletIndentTwips);
            }
            QTextCursor(b).setBlockFormat(f);
            if (list) {
                list->add(b);
            } else {
                QTextListFormat lf;
                lf.setStyle(QTextListFormat::ListDisc);
                lf.setIndent(0);
                QTextCursor(b).createList(lf);
                list = b.textList();
            }
            QTextBlockFormat item = b.blockFormat();
            setFirstTwips(item, firstTwips(item));
            QTextCursor(b).setBlockFormat(item);
        }
    } else {
        for (const QTextBlock &b : blocks) {
            QTextList *list = b.textList();
            if (!list)
                continue;
            const int indent = b.blockFormat().indent();
            list->remove(b);
            QTextBlockFormat f = b.blockFormat();
            f.setIndent(indent);
            if (f.hasProperty(kBulletShiftProperty)) {
                setLeftTwips(f, leftTwips(f) - f.intProperty(kBulletShiftProperty));
                f.clearProperty(kBulletShiftProperty);
            }
            setFirstTwips(f, firstTwips(f));
            QTextCursor(b).setBlockFormat(f);
        }
    }
    c.endEditBlock();
}

std::optional<int> RichTextBox::SelAlignment() const
{
    // The alignment as the paragraph shows it: Qt's left and right (as RTF's \ql and \qr)
    // are the start and end of the line, which a right-to-left paragraph has on the other side.
    return commonBlock<int>(textCursor(), [](const QTextBlock &b) {
        const Qt::Alignment a = b.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignHCenter)
            return static_cast<int>(AlignCenter);
        bool right = (a & Qt::AlignRight) || (a & Qt::AlignTrailing);
        if (!(a & Qt::AlignAbsolute) && b.textDirection() == Qt::RightToLeft)
            right = !right;
        return static_cast<int>(right ? AlignRight : AlignLeft);
    });
}

void RichTextBox::setSelAlignment(int alignment)
{
    if (alignment != AlignLeft && alignment != AlignRight && alignment != AlignCenter)
        return;
    QTextCursor c = textCursor();
    c.beginEditBlock();
    for (const QTextBlock &b : selectedBlocks(c)) {
        QTextBlockFormat f = b.blockFormat();
        if (alignment == AlignCenter) {
            f.setAlignment(Qt::AlignHCenter);
        } else {
            // Left and right as shown: a right-to-left paragraph starts at the right.
            const bool rtl = b.textDirection() == Qt::RightToLeft;
            f.setAlignment((alignment == AlignRight) != rtl ? Qt::AlignRight : Qt::AlignLeft);
        }
        QTextCursor(b).setBlockFormat(f);
    }
    c.endEditBlock();
}

std::optional<int> RichTextBox::SelIndent() const
{
    return commonBlock<int>(textCursor(), [](const QTextBlock &b) {
        const QTextBlockFormat f = b.blockFormat();
        return leftTwips(f) + firstTwips(f);
    });
}

void RichTextBox::setSelIndent(int twips)
{
    // The first line moves to `twips`; the other lines keep their place relative to it.
    changeBlocks([twips](QTextBlockFormat &f) {
        const int first = firstTwips(f);
        setLeftTwips(f, twips - first);
        setFirstTwips(f, first);
    });
}

std::optional<int> RichTextBox::SelHangingIndent() const
{
    return commonBlock<int>(textCursor(),
                            [](const QTextBlock &b) { return -firstTwips(b.blockFormat()); });
}

void RichTextBox::setSelHangingIndent(int twips)
{
    // The first line stays; the other lines move to `twips` from it.
    changeBlocks([twips](QTextBlockFormat &f) {
        const int firstLine = leftTwips(f) + firstTwips(f);
        setLeftTwips(f, firstLine + twips);
        setFirstTwips(f, -twips);
    });
}

std::optional<int> RichTextBox::SelRightIndent() const
{
    return commonBlock<int>(textCursor(),
                            [](const QTextBlock &b) { return rightTwips(b.blockFormat()); });
}

void RichTextBox::setSelRightIndent(int twips)
{
    changeBlocks([twips](QTextBlockFormat &f) { setRightTwips(f, twips); });
}

std::optional<int> RichTextBox::SelTabCount() const
{
    const std::optional<QList<int>> tabs = commonBlock<QList<int>>(
        textCursor(), [](const QTextBlock &b) { return tabsTwips(b.blockFormat()); });
    if (!tabs)
        return std::nullopt;
    return static_cast<int>(tabs->size());
}

void RichTextBox::setSelTabCount(int count)
{
    count = std::max(0, count);
    changeBlocks([count](QTextBlockFormat &f) {
        QList<int> tabs = tabsTwips(f);
        if (tabs.size() > count)
            tabs.resize(count);
        while (tabs.size() < count)
            tabs << (tabs.isEmpty() ? kDefaultTabTwips : tabs.last() + kDefaultTabTwips);
        setTabsTwips(f, tabs);
    });
}

std::optional<int> RichTextBox::SelTabs(int index) const
{
    return commonBlock<std::optional<int>>(textCursor(),
                                           [index](const QTextBlock &b) {
                                               const QList<int> tabs = tabsTwips(b.blockFormat());
                                               return index >= 0 && index < tabs.size()
                                                          ? std::optional<int>(tabs[index])
                                                          : std::nullopt;
                                           })
        .value_or(std::nullopt);
}

void RichTextBox::setSelTabs(int index, int twips)
{
    if (index < 0)
        return;
    changeBlocks([index, twips](QTextBlockFormat &f) {
        QList<int> tabs = tabsTwips(f);
        while (tabs.size() <= index)
            tabs << (tabs.isEmpty() ? kDefaultTabTwips : tabs.last() + kDefaultTabTwips);
        tabs[index] = twips;
        setTabsTwips(f, tabs);
    });
}

// ---------------------------------------------------------------------------------------------
// Control

QFont RichTextBox::Font() const
{
    return document()->defaultFont();
}

void RichTextBox::setFont(const QString &name, double points)
{
    QFont f = document()->defaultFont();
    if (!name.isEmpty())
        f.setFamilies(QStringList{name});
    if (points > 0)
        f.setPointSizeF(points);
    document()->setDefaultFont(f);
    resumeBackgroundLayout();
}

void RichTextBox::setPlainTextFont(const QString &name, double points)
{
    m_plainTextFont = name;
    m_plainTextPoints = points;
}

void RichTextBox::setLocked(bool on)
{
    m_locked = on;
    setReadOnly(on);
}

void RichTextBox::setRightMargin(int twips)
{
    m_rightMargin = twips;
    if (twips >= NoWrap) {
        setLineWrapMode(QTextEdit::NoWrap);
    } else {
        const int tpp = std::max(1, ScreenMetrics::instance().twipsPerPixelX());
        setLineWrapMode(QTextEdit::FixedPixelWidth);
        setLineWrapColumnOrWidth(std::max(1, twips / tpp));
    }
    resumeBackgroundLayout();
}

void RichTextBox::setTextEncoding(PlainText::Encoding encoding, PlainText::LineEnding lineEnding)
{
    m_encoding = encoding;
    m_lineEnding = lineEnding;
}

// ---------------------------------------------------------------------------------------------
// Find

int RichTextBox::Find(const QString &text, int start, int end, int options)
{
    if (text.isEmpty())
        return -1;
    const QTextDocument *doc = document();
    const qsizetype size = doc->characterCount() - 1 + doc->blockCount() - 1; // Text().size()
    start = std::max(0, start);
    const qsizetype limit = end < 0 ? size : std::min<qsizetype>(end, size);
    if (start >= size || start + text.size() > limit)
        return -1;
    const Qt::CaseSensitivity cs =
        (options & rtfMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool wholeWord = options & rtfWholeWord;
    const auto select = [&](qsizetype at) {
        const int hit = static_cast<int>(at);
        if (!(options & rtfNoHighlight)) {
            QTextCursor c = textCursor();
            c.setPosition(toDocPosition(hit));
            c.setPosition(toDocPosition(hit + static_cast<int>(text.size())),
                          QTextCursor::KeepAnchor);
            setTextCursor(c);
        }
        return hit;
    };
    const auto spansParagraphs = [](QChar c) {
        return c == u'\r' || c == u'\n' || c == kTextSoftBreak || c == QChar::LineSeparator ||
               isBlockSeparator(c);
    };
    if (std::any_of(text.begin(), text.end(), spansParagraphs)) {
        // Breaks exist only in the control's text; search all of it.
        const QString all = Text();
        const QStringView within = QStringView(all).first(limit);
        for (qsizetype i = within.indexOf(text, start, cs); i >= 0;
             i = within.indexOf(text, i + 1, cs)) {
            const qsizetype after = i + text.size();
            if (!wholeWord ||
                ((i == 0 || !isWordChar(all[i - 1]) || !isWordChar(text.front())) &&
                 (after >= size || !isWordChar(all[after]) || !isWordChar(text.back()))))
                return select(i);
        }
        return -1;
    }
    // Anything else lies within one paragraph: search paragraph by paragraph from the start,
    // so a search costs no copy of the whole text. A break is no word character.
    const int docLimit = end < 0 ? doc->characterCount() - 1 : toDocPosition(limit);
    // The first hit in [from, to) that is a whole word when one is asked for.
    const auto firstHit = [&](int from, int to, const std::atomic<bool> *stop) -> qsizetype {
        TextSearch search(*doc, text, cs);
        search.setStopFlag(stop);
        for (qsizetype hit = search.next(from, to); hit >= 0;
             hit = search.next(search.hitPosition() + 1, to)) {
            if (!wholeWord || ((!isWordChar(search.before()) || !isWordChar(text.front())) &&
                               (!isWordChar(search.after()) || !isWordChar(text.back()))))
                return hit;
        }
        return -1;
    };
    // The search reads the text near `start` first; when that holds no hit and much is left,
    // the two halves of the rest are read side by side, the second on another thread, which
    // stops as soon as the first half has a hit. Nothing changes the document meanwhile.
    const int docStart = toDocPosition(start);
    const int m = static_cast<int>(text.size());
    const int nearEnd = docStart + std::min(docLimit - docStart, kSearchAloneChars);
    qsizetype hit = firstHit(docStart, std::min(docLimit, nearEnd + m - 1), nullptr);
    if (hit < 0 && nearEnd < docLimit) {
        const int middle = nearEnd + (docLimit - nearEnd) / 2;
        std::atomic<bool> found{false}; // raised to stop the second half
        std::future<qsizetype> later;
        if (docLimit - nearEnd >= kSearchSideBySideChars && QThread::idealThreadCount() > 1) {
            try {
                later = std::async(std::launch::async, firstHit, middle, docLimit, &found);
            } catch (const std::system_error &) {
                // No thread to be had: this one reads it all.
            }
        }
        if (later.valid()) {
            hit = firstHit(nearEnd, std::min(docLimit, middle + m - 1), nullptr);
            found = hit >= 0;
            const qsizetype second = later.get();
            if (hit < 0)
                hit = second;
        } else {
            hit = firstHit(nearEnd, docLimit, nullptr);
        }
    }
    return hit >= 0 ? select(hit) : -1;
}

// ---------------------------------------------------------------------------------------------
// Files

bool RichTextBox::LoadFile(const QString &path, SafeFile::Result *result)
{
    // Only the head of a large file is read here; the worker reads all of it.
    QByteArray data;
    SafeFile::Result read = SafeFile::read(path, data, m_backgroundReadBytes);
    if (!read.ok()) {
        if (result)
            *result = read;
        return false;
    }
    m_refusedParagraph = 0;
    m_readCancelled = false;
    m_loadingFile = true;
    if (data.size() >= m_backgroundReadBytes) {
        const bool rtfHead = Rtf::isRtf(data);
        data = QByteArray();
        read = loadFileInBackground(path, read.stamp.size, rtfHead);
        m_loadingFile = false;
        if (result)
            *result = read;
        return read.ok() && m_refusedParagraph == 0 && !m_readCancelled;
    }
    if (result)
        *result = read;
    m_readAsPlainText = !Rtf::isRtf(data);
    if (!m_readAsPlainText) {
        loadRtf(data);
        if (!m_readCancelled) {
            m_encoding = PlainText::Encoding::Utf8;
            m_lineEnding = PlainText::LineEnding::Lf;
        }
    } else {
        loadPlainFile(data);
    }
    m_loadingFile = false;
    return m_refusedParagraph == 0 && !m_readCancelled;
}

namespace {

// The document's text as a text file, written to out some 64 K characters at a time: the same
// bytes as encoding its whole raw text at once.
bool writePlainText(const QTextDocument &doc, PlainText::Encoding encoding,
                    PlainText::LineEnding lineEnding, QIODevice &out)
{
    QString raw;
    const int end = doc.characterCount() - 1; // the raw text stops before the last separator
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        raw += b.text();
        const int separator = b.position() + b.length() - 1;
        if (separator < end)
            raw += doc.characterAt(separator);
        if (raw.size() < 65536 && b.next().isValid())
            continue;
        const QByteArray bytes = PlainText::encode(toExternalText(raw), encoding, lineEnding);
        if (out.write(bytes) != bytes.size())
            return false;
        raw.resize(0);
        if (encoding == PlainText::Encoding::Utf8Bom)
            encoding = PlainText::Encoding::Utf8; // the mark starts the file only
    }
    return true;
}

} // namespace

bool RichTextBox::SaveFile(const QString &path, int type, SafeFile::Result *result)
{
    // The file is written as its content is made, never held whole in memory.
    const SafeFile::Result written = SafeFile::write(path, [this, type](QIODevice &out) {
        return type == rtfText ? writePlainText(*document(), m_encoding, m_lineEnding, out)
                               : Rtf::write(*document(), out);
    });
    if (result)
        *result = written;
    return written.ok();
}

// ---------------------------------------------------------------------------------------------
// Edit commands

void RichTextBox::Copy()
{
    copy();
}
void RichTextBox::Cut()
{
    cut();
}
void RichTextBox::Paste()
{
    paste();
}

void RichTextBox::Delete()
{
    if (m_locked)
        return;
    QTextCursor c = textCursor();
    c.deleteChar();
    setTextCursor(c);
}

void RichTextBox::Undo()
{
    if (m_locked)
        return;
    // Undoing a large change is as large a change.
    std::optional<BulkChange> bulk;
    if (std::find(m_bulkSteps.begin(), m_bulkSteps.end(), document()->availableUndoSteps()) !=
        m_bulkSteps.end())
        bulk.emplace(*this);
    undo();
    // The undone text is drawn at once, also where the layout kept no dirty region.
    viewport()->update();
}

void RichTextBox::Redo()
{
    if (m_locked)
        return;
    std::optional<BulkChange> bulk;
    if (std::find(m_bulkSteps.begin(), m_bulkSteps.end(), document()->availableUndoSteps() + 1) !=
        m_bulkSteps.end())
        bulk.emplace(*this);
    redo();
}
bool RichTextBox::CanUndo() const
{
    return document()->isUndoAvailable();
}
bool RichTextBox::CanPaste() const
{
    return canPaste();
}

void RichTextBox::insertPicture(const QImage &image)
{
    if (image.isNull() || m_locked)
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");

    QTextDocument *doc = document();
    QString name;
    do {
        name = QStringLiteral("pamphlexa-picture:%1").arg(++g_pictureSerial);
    } while (doc->resource(QTextDocument::ImageResource, QUrl(name)).isValid());
    doc->addResource(QTextDocument::ImageResource, QUrl(name), image);

    QTextImageFormat f;
    f.setName(name);
    f.setWidth(image.width());
    f.setHeight(image.height());
    f.setProperty(TextFormats::PictureData, png);
    f.setProperty(TextFormats::PictureKind, QStringLiteral("png"));
    f.setProperty(TextFormats::PictureWidthTwips,
                  static_cast<int>(std::lround(image.width() / TextFormats::PixelsPerTwip)));
    f.setProperty(TextFormats::PictureHeightTwips,
                  static_cast<int>(std::lround(image.height() / TextFormats::PixelsPerTwip)));
    QTextCursor c = textCursor();
    c.beginEditBlock();
    c.insertImage(f);
    c.endEditBlock();
    setTextCursor(c);
}

// ---------------------------------------------------------------------------------------------
// Events

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    event->ignore();
    emit KeyDown(event);
    if (event->isAccepted())
        return;
    event->accept();
    // The classic editing keys, whatever the platform's key bindings say.
    const Qt::KeyboardModifiers mods =
        event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (event->key() == Qt::Key_Insert && mods == Qt::ControlModifier) {
        copy();
        return;
    }
    if (event->key() == Qt::Key_Insert && mods == Qt::ShiftModifier) {
        if (!isReadOnly())
            paste();
        return;
    }
    if (event->key() == Qt::Key_Delete && mods == Qt::ShiftModifier) {
        if (!isReadOnly())
            cut();
        return;
    }
    if ((event->key() == Qt::Key_Backspace && mods == Qt::AltModifier) ||
        event->matches(QKeySequence::Undo)) {
        if (!isReadOnly())
            Undo();
        return;
    }
    if (event->matches(QKeySequence::Redo)) {
        if (!isReadOnly())
            Redo();
        return;
    }
    const bool undecided = directionUndecided();
    QTextEdit::keyPressEvent(event);
    if (undecided && !event->text().isEmpty())
        takeTypedDirection();
}

void RichTextBox::inputMethodEvent(QInputMethodEvent *event)
{
    const bool undecided = directionUndecided();
    QTextEdit::inputMethodEvent(event);
    if (undecided && !event->commitString().isEmpty())
        takeTypedDirection();
}

namespace {

// The direction of the first letter of a strong direction, or Auto when there is none.
Qt::LayoutDirection firstStrongDirection(QStringView text)
{
    for (const QChar c : text) {
        switch (c.direction()) {
        case QChar::DirL:
            return Qt::LeftToRight;
        case QChar::DirR:
        case QChar::DirAL:
            return Qt::RightToLeft;
        default:
            break;
        }
    }
    return Qt::LayoutDirectionAuto;
}

} // namespace

bool RichTextBox::directionUndecided() const
{
    // Paragraphs run left to right unless their format says otherwise (as in RTF); one whose
    // first letter is typed in a right-to-left script runs right to left, as one read with
    // \rtlpar does: it shows at the right, Align Right is down, and it is saved so.
    const QTextCursor c = textCursor();
    return !c.hasSelection() && c.blockFormat().layoutDirection() == Qt::LayoutDirectionAuto &&
           firstStrongDirection(c.block().text()) == Qt::LayoutDirectionAuto;
}

void RichTextBox::takeTypedDirection()
{
    QTextCursor c = textCursor();
    if (c.blockFormat().layoutDirection() != Qt::LayoutDirectionAuto ||
        firstStrongDirection(c.block().text()) != Qt::RightToLeft)
        return;
    QTextBlockFormat f;
    f.setLayoutDirection(Qt::RightToLeft);
    c.joinPreviousEditBlock(); // undone with the typing
    c.mergeBlockFormat(f);
    c.endEditBlock();
}

void RichTextBox::keyReleaseEvent(QKeyEvent *event)
{
    event->ignore();
    emit KeyUp(event);
    if (event->isAccepted())
        return;
    event->accept();
    QTextEdit::keyReleaseEvent(event);
}

void RichTextBox::paintEvent(QPaintEvent *event)
{
    QTextEdit::paintEvent(event);
    // The numbers of lists that start at another number than 1, which the layout leaves out.
    QPainter painter(viewport());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    painter.translate(-scroll);
    ListMarkers::draw(&painter, *document(), QRectF(event->rect().translated(scroll)), palette());
}

QString RichTextBox::LinkAt(const QPoint &viewportPos) const
{
    return anchorAt(viewportPos);
}

void RichTextBox::mousePressEvent(QMouseEvent *event)
{
    // Ctrl+click on a link follows it on release, leaving the caret where it was.
    m_pressedLink.clear();
    if (event->button() == Qt::LeftButton && (event->modifiers() & Qt::ControlModifier)) {
        m_pressedLink = LinkAt(event->position().toPoint());
        if (!m_pressedLink.isEmpty()) {
            event->accept();
            return;
        }
    }
    QTextEdit::mousePressEvent(event);
}

void RichTextBox::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    // A link offers itself to Ctrl+click with the pointing hand.
    const bool onLink = (event->modifiers() & Qt::ControlModifier) &&
                        !LinkAt(event->position().toPoint()).isEmpty();
    viewport()->setCursor(onLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
    emit MouseMove(event);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_pressedLink.isEmpty()) {
        const QString link = std::exchange(m_pressedLink, QString());
        if (event->button() == Qt::LeftButton && LinkAt(event->position().toPoint()) == link)
            followLink(link);
        emit MouseUp(event);
        return;
    }
    QTextEdit::mouseReleaseEvent(event);
    emit MouseUp(event);
}

void RichTextBox::followLink(const QString &link)
{
    if (link.startsWith(u'#')) {
        // A link inside the document: to its bookmark, when the document has it.
        const int at = KeptContent::bookmarkPosition(*document(), link.mid(1));
        if (at >= 0) {
            QTextCursor c = textCursor();
            c.setPosition(at);
            setTextCursor(c);
            ensureCursorVisible();
        }
        return;
    }
    UiServices::instance().openUrl(link);
}

// ---------------------------------------------------------------------------------------------
// Clipboard

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    if (!source)
        return false;
    return source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlt) || source->hasImage() ||
           source->hasText() || source->hasHtml();
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    if (!source || isReadOnly())
        return;
    for (const QString &mime : {kRtfMime, kRtfMimeAlt}) {
        if (!source->hasFormat(mime))
            continue;
        const QByteArray rtf = source->data(mime);
        if (!Rtf::isRtf(rtf))
            continue;
        QTextCursor c = textCursor();
        c.beginEditBlock();
        const bool ok = Rtf::insert(rtf, c, Rtf::FinalMark::EndsContent);
        c.endEditBlock();
        if (ok) {
            setTextCursor(c);
            ensureCursorVisible();
            return;
        }
    }
    if (source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        if (!image.isNull()) {
            insertPicture(image);
            ensureCursorVisible();
            return;
        }
    }
    QString text;
    if (source->hasText())
        text = source->text();
    else if (source->hasHtml())
        text = QTextDocumentFragment::fromHtml(source->html()).toPlainText();
    if (text.isEmpty())
        return;
    setSelText(text);
    ensureCursorVisible();
}

QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    const QTextCursor c = textCursor();
    auto *mime = new QMimeData;
    if (!c.hasSelection())
        return mime;
    mime->setText(toExternalText(c.selectedText()));
    mime->setHtml(c.selection().toHtml());
    const QByteArray rtf = Rtf::write(*document(), c.selectionStart(), c.selectionEnd());
    mime->setData(kRtfMime, rtf);
    mime->setData(kRtfMimeAlt, rtf);
    if (c.selectionEnd() - c.selectionStart() == 1) {
        QTextCursor one = c;
        one.setPosition(c.selectionEnd());
        const QTextCharFormat f = one.charFormat();
        if (f.isImageFormat()) {
            const QVariant image =
                document()->resource(QTextDocument::ImageResource, QUrl(f.toImageFormat().name()));
            if (image.canConvert<QImage>())
                mime->setImageData(image);
        }
    }
    return mime;
}
