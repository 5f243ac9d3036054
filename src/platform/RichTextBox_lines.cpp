// Display lines and the background layout of the rich text control.
//
// Each block's number of display lines is kept in the document's block map
// (QTextBlock::setLineCount), which sums them in O(log n): the first line of a block is
// QTextBlock::firstLineNumber() and the block holding a line is findBlockByLineNumber(). Blocks
// 0 .. m_countedBlocks - 1 hold the counts of the current layout; the rest hold counts of an
// earlier layout (or 1) until they are counted, which happens as the background layout reaches
// them or when a query needs them.
#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimer>
#include <algorithm>

#include "platform/BackgroundLayout.h"
#include "platform/LongDocumentLayout.h"
#include "platform/PictureFit.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/KeptContent.h"

namespace {

// Display lines of a block in its current layout (hidden blocks show none).
int displayLines(const QTextBlock &b)
{
    if (!b.isVisible())
        return 0;
    const QTextLayout *layout = b.layout();
    return std::max(1, layout ? layout->lineCount() : 1);
}

// Paragraphs past the layout's progress that the status bar's line waits for.
constexpr int NearBlocks = 128;

} // namespace

// What the line counts depend on besides the content.
QString RichTextBox::lineKey() const
{
    const QTextDocument *doc = document();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(lineWrapMode())
        .arg(lineWrapColumnOrWidth())
        .arg(doc->pageSize().width())
        .arg(doc->defaultFont().toString());
}

LongDocumentLayout *RichTextBox::longLayout() const
{
    return qobject_cast<LongDocumentLayout *>(document()->documentLayout());
}

// Blocks 0 .. countedBlocks() - 1 hold the line counts of the current layout.
int RichTextBox::countedBlocks() const
{
    if (const LongDocumentLayout *layout = longLayout())
        return layout->firstUnlaidBlock();
    return m_countedBlocks;
}

// The block's lines in the current layout, laid out if it has none (a paragraph the long-document
// layout only measured); with Qt's layout only when `layOut`, as that lays out all before it.
const QTextLayout *RichTextBox::blockLines(const QTextBlock &block, bool layOut) const
{
    if (longLayout() || (layOut && !BackgroundLayout::isLaidOut(block)))
        document()->documentLayout()->blockBoundingRect(block);
    return block.layout();
}

void RichTextBox::linesChanging(int from, int added) const
{
    // The long-document layout keeps the counts itself.
    if (longLayout())
        return;
    const QTextDocument *doc = document();
    const int first = doc->findBlock(from).blockNumber();
    const int last = doc->findBlock(from + added).blockNumber();
    const int delta = doc->blockCount() - m_blockCount;
    m_blockCount = doc->blockCount();
    if (m_recountFrom >= 0) {
        // Two changes before the layout caught up: count again from the first.
        m_countedBlocks = std::min({m_countedBlocks, m_recountFrom, first});
        m_recountFrom = -1;
        return;
    }
    if (m_countedBlocks <= first)
        return;
    // Blocks after the change keep their counts; those in it are counted once laid out.
    if (m_countedBlocks > last - delta) {
        m_countedBlocks += delta;
        m_recountFrom = first;
        m_recountTo = last;
    } else {
        m_countedBlocks = first;
    }
}

void RichTextBox::linesChanged() const
{
    if (m_recountFrom < 0 || longLayout())
        return;
    const QTextDocument *doc = document();
    const int to = std::min(m_recountTo, m_countedBlocks - 1);
    QTextBlock b = doc->findBlockByNumber(m_recountFrom);
    for (int n = m_recountFrom; b.isValid() && n <= to; ++n, b = b.next()) {
        if (!BackgroundLayout::isLaidOut(b)) {
            m_countedBlocks = n;
            break;
        }
        b.setLineCount(displayLines(b));
    }
    m_recountFrom = -1;
}

// Brings the line counts of blocks 0 .. block up to the current layout; with layOut, lays out
// that far first when the background layout has not got there yet.
void RichTextBox::countLines(int block, bool layOut) const
{
    watchDocument();
    QTextDocument *doc = document();
    block = std::clamp(block, 0, doc->blockCount() - 1);
    if (LongDocumentLayout *layout = longLayout()) {
        if (layOut)
            layout->layOutBlocks(layout->firstUnlaidBlock(), block);
        return;
    }
    if (const QString key = lineKey(); key != m_lineKey) {
        m_lineKey = key;
        m_countedBlocks = 0;
    }
    if (m_countedBlocks > block)
        return;
    const QTextBlock target = doc->findBlockByNumber(block);
    if (layOut && !BackgroundLayout::isLaidOut(target))
        doc->documentLayout()->blockBoundingRect(target);
    // A control that cannot lay out yet (it has no width before it is first shown) counts one
    // line per paragraph; its width changes when it is shown, and the counting starts over.
    const bool unlaid = layOut && !BackgroundLayout::isLaidOut(target);
    for (QTextBlock b = doc->findBlockByNumber(m_countedBlocks);
         b.isValid() && m_countedBlocks <= block && (unlaid || BackgroundLayout::isLaidOut(b));
         b = b.next()) {
        b.setLineCount(displayLines(b));
        ++m_countedBlocks;
    }
}

int RichTextBox::GetLineFromChar(int pos) const
{
    const int docPos = toDocPosition(pos);
    const QTextBlock b = document()->findBlock(docPos);
    countLines(b.blockNumber());
    int inBlock = 0;
    if (const QTextLayout *layout = blockLines(b, true); layout && layout->lineCount() > 0) {
        const QTextLine l = layout->lineForTextPosition(docPos - b.position());
        inBlock = l.isValid() ? l.lineNumber() : layout->lineCount() - 1;
    }
    return b.firstLineNumber() + inBlock;
}

std::pair<int, int> RichTextBox::lineAndColumn(int pos) const
{
    const int docPos = toDocPosition(pos);
    const QTextBlock b = document()->findBlock(docPos);
    // A caret a few paragraphs past the layout's progress (the first screen before it is
    // painted) waits for them: a bounded wait, and exact near the top.
    const bool near = b.blockNumber() - countedBlocks() < NearBlocks;
    countLines(b.blockNumber(), near);
    int inBlock = 0;
    int lineStart = 0;
    if (const QTextLayout *layout = blockLines(b, false); layout && layout->lineCount() > 0) {
        QTextLine l = layout->lineForTextPosition(docPos - b.position());
        if (!l.isValid())
            l = layout->lineAt(layout->lineCount() - 1);
        inBlock = l.lineNumber();
        lineStart = l.textStart();
    }
    return {b.firstLineNumber() + inBlock + 1, pos + 1 - fromDocPosition(b.position() + lineStart)};
}

int RichTextBox::GetLineIndex(int line) const
{
    if (line < 0)
        return -1;
    const QTextDocument *doc = document();
    for (;;) {
        const QTextBlock b = doc->findBlockByLineNumber(line);
        const int counted = countedBlocks();
        if (!b.isValid() || b.blockNumber() >= counted) {
            // Counts past the counted blocks may be out of date: count to the block found (or
            // to the end) and look again.
            if (counted >= doc->blockCount())
                return -1;
            countLines(b.isValid() ? b.blockNumber() : doc->blockCount() - 1);
            if (countedBlocks() == counted)
                return -1;
            continue;
        }
        const QTextLayout *layout = blockLines(b, true);
        const int inBlock = line - b.firstLineNumber();
        if (inBlock < 0 || inBlock >= b.lineCount())
            return -1;
        int start = 0;
        if (layout && inBlock < layout->lineCount())
            start = layout->lineAt(inBlock).textStart();
        return fromDocPosition(b.position() + start);
    }
}

int RichTextBox::GetLineCount() const
{
    countLines(document()->blockCount() - 1);
    return document()->lineCount();
}

// ---------------------------------------------------------------------------------------------
// Background layout

void RichTextBox::chooseLayout()
{
    chooseLayoutFor(document());
}

int RichTextBox::longestParagraph(const QTextDocument &doc)
{
    int longest = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        longest = std::max(longest, b.length() - 1);
    return longest;
}

bool RichTextBox::needsLongLayout(const QTextDocument &doc)
{
    const bool isLong =
        doc.characterCount() > LongDocumentCharacters || doc.blockCount() > LongDocumentParagraphs;
    return isLong && LongDocumentLayout::suits(doc);
}

void RichTextBox::chooseLayoutFor(QTextDocument *doc)
{
    const bool wanted = needsLongLayout(*doc);
    // Not documentLayout(): for a document without a layout yet (one just read) that makes Qt's,
    // which goes over every paragraph, and replacing it goes over them all again.
    const auto *existing =
        doc->findChild<QAbstractTextDocumentLayout *>(QString(), Qt::FindDirectChildrenOnly);
    const bool current = qobject_cast<const LongDocumentLayout *>(existing) != nullptr;
    LongDocumentLayout::FirstEstimate estimate = std::exchange(m_freshEstimate, {});
    if (wanted == current)
        return;
    if (wanted) {
        auto *layout = new LongDocumentLayout(doc, std::move(estimate));
        connect(layout, &LongDocumentLayout::heightChanged, this, &RichTextBox::keepView);
        doc->setDocumentLayout(layout);
    } else {
        // Back to Qt's layout, which the document makes when asked for one.
        doc->setDocumentLayout(nullptr);
        doc->documentLayout();
    }
    // A new layout draws notes' marks and fits wide pictures as the old one did.
    KeptContent::installHandler(*doc);
    PictureFit::install(*doc);
    m_countedBlocks = 0;
    m_recountFrom = -1;
    m_background->attach(doc);
    if (!isVisible())
        m_background->stop();
}

// A paragraph wholly above the view changed height: scroll by as much, so the view keeps showing
// the same text while the paragraphs above it are laid out.
void RichTextBox::keepView(qreal top, int oldHeight, int newHeight)
{
    if (top + oldHeight > verticalScrollBar()->value() || m_bulkDepth > 0)
        return;
    if (m_scrollCarry == 0)
        QTimer::singleShot(0, this, [this] {
            verticalScrollBar()->setValue(verticalScrollBar()->value() + m_scrollCarry);
            m_scrollCarry = 0;
        });
    m_scrollCarry += newHeight - oldHeight;
}

bool RichTextBox::isLayoutPending() const
{
    return m_background->isPending();
}

int RichTextBox::layoutProgress() const
{
    return m_background->percent();
}

void RichTextBox::stopBackgroundLayout()
{
    m_background->stop();
}

void RichTextBox::resumeBackgroundLayout()
{
    if (isVisible())
        m_background->resume();
}

void RichTextBox::finishLayout()
{
    m_background->finish();
}

std::pair<int, int> RichTextBox::visibleBlocks() const
{
    const QRect view = viewport()->rect();
    const QTextDocument *doc = document();
    const int first = doc->findBlock(cursorForPosition(view.topLeft()).position()).blockNumber();
    const int last = doc->findBlock(cursorForPosition(view.bottomRight()).position()).blockNumber();
    return {first, std::max(first, last)};
}

void RichTextBox::showEvent(QShowEvent *event)
{
    QTextEdit::showEvent(event);
    resumeBackgroundLayout();
}

void RichTextBox::hideEvent(QHideEvent *event)
{
    QTextEdit::hideEvent(event);
    // A hidden control is laid out only as far as questions about it need.
    m_background->stop();
}

namespace {
// Below this many characters Qt lays out a change faster than the layout starts over.
constexpr int BulkCharacters = 100'000;
} // namespace

// A change of [docFrom, docTo) is laid out again from the top when it is large and starting over
// costs less: that lays out from the top to the view at once, where Qt lays out the change.
bool RichTextBox::isLargeChange(int docFrom, int docTo) const
{
    const int length = docTo - docFrom;
    if (length < BulkCharacters || m_bulkDepth > 0)
        return false;
    return length > cursorForPosition(QPoint(0, 0)).position();
}

RichTextBox::BulkChange::BulkChange(RichTextBox &box, View view) : m_box(box), m_view(view)
{
    if (m_box.m_bulkDepth++ > 0)
        return;
    QTextDocument *doc = m_box.document();
    if (m_view == KeepView) {
        // Where the view is, so it can show the same text afterwards.
        m_topPosition = m_box.cursorForPosition(QPoint(0, 0)).position();
        const QTextBlock top = doc->findBlock(m_topPosition);
        const QRectF topRect = doc->documentLayout()->blockBoundingRect(top);
        m_topOffset = m_box.verticalScrollBar()->value() - static_cast<int>(topRect.top());
    }
    // Emptied while the layout still follows, so it has nothing left to lay out of the old
    // content when the new content is in.
    if (m_view == NewContent)
        doc->clear();
    m_undoSteps = doc->availableUndoSteps();
    doc->setLayoutEnabled(false);
}

RichTextBox::BulkChange::~BulkChange()
{
    if (--m_box.m_bulkDepth > 0)
        return;
    QTextDocument *doc = m_box.document();
    // A file read with a paragraph too long to lay out is not kept (before any layout).
    if (m_view == NewContent && m_box.m_loadingFile && !m_box.m_paragraphsChecked) {
        if (const int longest = longestParagraph(*doc); longest > LongestParagraph) {
            m_box.m_refusedParagraph = longest;
            doc->clear();
        }
    }
    m_box.chooseLayout();
    // New content is shown from its start; the caret goes there before the layout comes back
    // on, so no old caret position far down asks for the layout of everything before it.
    if (m_view == NewContent)
        m_box.setTextCursor(QTextCursor(doc));
    // Laid out again from the top: the part up to the view at once, the rest in the background.
    doc->setLayoutEnabled(true);
    m_box.m_countedBlocks = 0;
    m_box.m_recountFrom = -1;
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const QTextBlock top = doc->findBlock(std::min(m_topPosition, doc->characterCount() - 1));
    const bool keep = m_view == KeepView && top.isValid();
    const QRectF rect = keep ? layout->blockBoundingRect(top) : QRectF();
    // The view's scroll range follows the layout's size when told of it: now, so the caret can
    // be scrolled to before the events queued meanwhile are handled.
    emit layout->documentSizeChanged(QSizeF());
    if (keep)
        m_box.verticalScrollBar()->setValue(static_cast<int>(rect.top()) + m_topOffset);
    m_box.resumeBackgroundLayout();
    // A new undo step from this change (and none of the steps undone before it stays).
    if (doc->isUndoRedoEnabled() && doc->availableUndoSteps() > m_undoSteps) {
        const int step = doc->availableUndoSteps();
        std::erase_if(m_box.m_bulkSteps, [step](int s) { return s >= step; });
        m_box.m_bulkSteps.push_back(step);
    }
    m_box.emitSelChangeIfMoved();
}
