#include "documents/DocumentSnapshot.h"

#include <QAbstractTextDocumentLayout>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QUrl>
#include <algorithm>

// How the copy is built. The source is cut into units: a top-level paragraph with its mark, or
// a table together with the paragraph before it (which ends with the table's start). Units
// are copied in order with QTextDocumentFragment, which copies text, character formats,
// pictures and tables. Two things a fragment does not carry are set afterwards for every
// copied paragraph: its own format (a fragment's lists are new lists each time, so a list
// copied in two slices would become two lists) and the picture resources its characters name.
//
// An edit of the source between slices is reported as (position, removed, added). The source
// before the edit's position is unchanged, so the copy's positions agree with the source's up
// to there; the edited units are copied again over the copy's old ones. An edit reaching past
// what was copied so far simply cuts the copy back to where the edit starts.

namespace {
// The character where a table or other frame begins (what QTextDocument keeps there).
constexpr char16_t FrameStart = 0xFDD0;

// The outermost frame other than the root that holds position, or nullptr.
QTextFrame *outerFrame(const QTextDocument &doc, int position)
{
    QTextFrame *frame = doc.rootFrame();
    QTextFrame *outer = nullptr;
    for (;;) {
        QTextFrame *child = nullptr;
        for (QTextFrame *f : frame->childFrames()) {
            if (f->firstPosition() <= position && position <= f->lastPosition()) {
                child = f;
                break;
            }
        }
        if (!child)
            return outer;
        if (!outer)
            return child;
        frame = child;
    }
}
} // namespace

DocumentSnapshot::DocumentSnapshot(QTextDocument &source)
    : m_source(&source), m_copy(std::make_unique<QTextDocument>())
{
    m_copy->setUndoRedoEnabled(false);
    // A document reports its changes only once it has a layout (a document on screen has).
    source.documentLayout();
    connect(&source, &QTextDocument::contentsChange, this, &DocumentSnapshot::onSourceChange);
    m_sourceCount = source.characterCount();
}

DocumentSnapshot::~DocumentSnapshot() = default;

int DocumentSnapshot::sourceEnd() const
{
    return m_source->characterCount() - 1;
}

bool DocumentSnapshot::isComplete() const
{
    return m_valid && m_done;
}

double DocumentSnapshot::progress() const
{
    if (!m_source || m_done)
        return 1.0;
    const int end = sourceEnd();
    return end > 0 ? double(m_copied) / end : 1.0;
}

int DocumentSnapshot::unitStart(int position) const
{
    const QTextDocument &src = *m_source;
    if (QTextFrame *frame = outerFrame(src, position))
        return src.findBlock(frame->firstPosition() - 1).position();
    return src.findBlock(position).position();
}

int DocumentSnapshot::unitEnd(int position) const
{
    const QTextDocument &src = *m_source;
    const int end = sourceEnd();
    if (position >= end)
        return end;
    if (QTextFrame *frame = outerFrame(src, position))
        return std::min(end, frame->lastPosition() + 1);
    const QTextBlock block = src.findBlock(position);
    const int blockEnd = block.position() + block.length();
    // A paragraph that ends where a table begins goes with the table.
    if (src.characterAt(blockEnd - 1) == QChar(FrameStart))
        return unitEnd(blockEnd);
    return std::min(end, blockEnd);
}

bool DocumentSnapshot::step(qint64 budgetMicros)
{
    if (!m_source)
        m_valid = false;
    if (!m_valid || m_done)
        return isComplete();
    QElapsedTimer clock;
    clock.start();
    do {
        // The next slice: whole units, about m_sliceBlocks paragraphs.
        const int from = m_copied;
        const QTextBlock first = m_source->findBlock(from);
        const QTextBlock last = m_source->findBlockByNumber(first.blockNumber() + m_sliceBlocks);
        const int to = last.isValid() ? unitEnd(last.position()) : sourceEnd();
        QElapsedTimer slice;
        slice.start();
        if (!copyRange(from, to, from, from)) {
            m_valid = false;
            break;
        }
        m_copied = to;
        m_done = to >= sourceEnd();
        // Slices of about a tenth of the budget keep each step close to it.
        if (budgetMicros > 0) {
            const qint64 took = std::max<qint64>(1, slice.nsecsElapsed() / 1000);
            if (took * 10 < budgetMicros)
                m_sliceBlocks = std::min(m_sliceBlocks * 2, 1 << 16);
            else if (took * 5 > budgetMicros)
                m_sliceBlocks = std::max(m_sliceBlocks / 2, 1);
        }
    } while (!m_done && (budgetMicros < 0 || clock.nsecsElapsed() / 1000 < budgetMicros));
    if (isComplete())
        copyDocumentProperties();
    return isComplete();
}

bool DocumentSnapshot::copyRange(int from, int to, int copyFrom, int copyTo)
{
    QTextDocument &src = *m_source;
    QTextDocument &copy = *m_copy;
    QTextCursor cc(&copy);
    if (copyTo > copyFrom) {
        cc.setPosition(copyFrom);
        cc.setPosition(copyTo, QTextCursor::KeepAnchor);
        cc.removeSelectedText();
    }
    const int copyEnd = copy.characterCount() - 1;
    // At the end, the copy's last paragraph is empty and takes the units; in the middle, an
    // empty paragraph is made for them in front of the paragraph that follows, and removed
    // afterwards.
    const bool atEnd = copyFrom >= copyEnd;
    cc.setPosition(copyFrom);
    if (!atEnd)
        cc.insertBlock(cc.blockFormat(), cc.blockCharFormat());
    cc.setPosition(copyFrom);
    cc.setBlockFormat(QTextBlockFormat());
    cc.setBlockCharFormat(QTextCharFormat());
    // Text of a list item inserted into a paragraph outside any list gets a paragraph of its
    // own in front: start the units in a list paragraph to keep them where they belong.
    const QTextBlock head = src.findBlock(from);
    if (QTextList *list = head.textList(); list && head.length() > 1)
        copyListFor(list, cc)->add(cc.block());
    if (to > from) {
        QTextCursor sc(&src);
        sc.setPosition(from);
        sc.setPosition(to, QTextCursor::KeepAnchor);
        cc.insertFragment(QTextDocumentFragment(sc));
        // A fragment that starts with the text of a list item (other than at the start of its
        // document) starts with an extra empty list paragraph: remove it.
        if (from > 0 && head.textList() && head.length() > 1 && !removeEmptyParagraph(cc, copyFrom))
            return false;
    }
    const int inserted = to - from;
    if (!atEnd) {
        // The paragraph made for the units is left empty behind them: join it to the next.
        if (!removeEmptyParagraph(cc, copyFrom + inserted))
            return false;
    } else {
        // The copy's last paragraph waits empty for the next slice.
        QTextCursor tail(&copy);
        tail.movePosition(QTextCursor::End);
        if (to < sourceEnd() && tail.block().length() == 1) {
            tail.setBlockFormat(QTextBlockFormat());
            tail.setBlockCharFormat(QTextCharFormat());
        }
    }
    if (copy.characterCount() - 1 - copyEnd != inserted)
        return false;

    // Paragraph formats and lists of the copied paragraphs, and of the one after them when it
    // was copied before (the join above may have given it another's format).
    const bool followerCopied = !atEnd || to >= sourceEnd();
    const int fixTo = followerCopied ? std::min(to, sourceEnd()) : to - 1;
    QTextBlock s = src.findBlock(from);
    QTextBlock c = copy.findBlock(copyFrom);
    for (; s.isValid() && s.position() <= fixTo; s = s.next(), c = c.next()) {
        if (!c.isValid() || c.position() - copyFrom != s.position() - from ||
            c.length() != s.length())
            return false;
        copyParagraphFormat(s, c);
        // Pictures name resources of their document.
        for (auto it = s.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) {
                const QUrl name(f.toImageFormat().name());
                QVariant image = src.resource(QTextDocument::ImageResource, name);
                // Pixmaps belong to the interface thread; the copy is read on another.
                if (image.typeId() == QMetaType::QPixmap)
                    image = image.value<QPixmap>().toImage();
                copy.addResource(QTextDocument::ImageResource, name, image);
            }
        }
    }
    return true;
}

bool DocumentSnapshot::removeEmptyParagraph(QTextCursor &cc, int position)
{
    // Selected and removed rather than deleted: its mark may carry a format that QTextCursor
    // refuses to delete.
    cc.setPosition(position);
    if (!cc.atBlockStart() || cc.block().length() != 1)
        return false;
    cc.setPosition(position + 1, QTextCursor::KeepAnchor);
    cc.removeSelectedText();
    return true;
}

void DocumentSnapshot::copyParagraphFormat(const QTextBlock &s, const QTextBlock &c)
{
    QTextCursor at(c);
    QTextBlockFormat want = s.blockFormat();
    want.clearProperty(QTextFormat::ObjectIndex);
    QTextBlockFormat have = c.blockFormat();
    have.clearProperty(QTextFormat::ObjectIndex);
    if (have != want)
        at.setBlockFormat(want); // this also takes the paragraph out of its list
    // The character format of a paragraph is that of the mark before it, which may be the end
    // of a table or a cell: those keep the copy's own table (setBlockCharFormat keeps it too).
    QTextCharFormat mark = s.charFormat();
    mark.clearProperty(QTextFormat::ObjectIndex);
    QTextCharFormat markHave = c.charFormat();
    markHave.clearProperty(QTextFormat::ObjectIndex);
    if (markHave != mark)
        at.setBlockCharFormat(mark);
    QTextList *list = s.textList();
    if (!list) {
        if (QTextList *stray = c.textList())
            stray->remove(c);
        return;
    }
    QTextList *copyList = copyListFor(list, at);
    if (c.textList() != copyList)
        copyList->add(c);
}

QTextList *DocumentSnapshot::copyListFor(QTextList *list, QTextCursor &at)
{
    ListCopy &mapped = m_lists[list->objectIndex()];
    if (!mapped.copy || mapped.source != list) {
        mapped.source = list;
        mapped.copy = at.currentList() ? at.currentList() : at.createList(list->format());
    }
    if (mapped.copy->format() != list->format())
        mapped.copy->setFormat(list->format());
    return mapped.copy;
}

void DocumentSnapshot::onSourceChange(int position, int removed, int added)
{
    Q_UNUSED(removed);
    if (!m_source || !m_valid)
        return;
    const int count = m_source->characterCount();
    const int delta = count - m_sourceCount;
    m_sourceCount = count;
    if (!m_done && position >= m_copied)
        return;
    // Qt may report a range running past the end; the length change is what counts.
    const int newEnd = std::min(position + added, sourceEnd());
    const int oldEnd = newEnd - delta;
    const int start = unitStart(std::min(position, sourceEnd()));
    if (!m_done && oldEnd >= m_copied) {
        // The edit reaches past the copied part: cut the copy back to its start.
        QTextCursor cc(m_copy.get());
        cc.setPosition(start);
        cc.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        cc.removeSelectedText();
        cc.setBlockFormat(QTextBlockFormat());
        cc.setBlockCharFormat(QTextCharFormat());
        m_copied = start;
        return;
    }
    const int liveEnd = unitEnd(newEnd);
    const int copyTo = liveEnd - delta;
    if (!copyRange(start, liveEnd, start, copyTo)) {
        m_valid = false;
        return;
    }
    if (!m_done)
        m_copied += delta;
}

void DocumentSnapshot::copyDocumentProperties()
{
    const QTextDocument &src = *m_source;
    QTextDocument &copy = *m_copy;
    copy.setDefaultFont(src.defaultFont());
    copy.setDefaultTextOption(src.defaultTextOption());
    copy.setDocumentMargin(src.documentMargin());
    copy.setIndentWidth(src.indentWidth());
    copy.setMetaInformation(QTextDocument::DocumentTitle,
                            src.metaInformation(QTextDocument::DocumentTitle));
    copy.setMetaInformation(QTextDocument::DocumentUrl,
                            src.metaInformation(QTextDocument::DocumentUrl));
    copy.rootFrame()->setFrameFormat(src.rootFrame()->frameFormat());
    for (const QByteArray &name : src.dynamicPropertyNames())
        copy.setProperty(name.constData(), src.property(name.constData()));
}

std::unique_ptr<QTextDocument> DocumentSnapshot::take()
{
    if (!isComplete())
        return nullptr;
    disconnect(m_source, nullptr, this, nullptr);
    m_valid = false;
    m_copy->moveToThread(nullptr);
    return std::move(m_copy);
}
