#pragma once

#include <QAbstractTextDocumentLayout>
#include <QFont>
#include <QTextBlock>
#include <cstdint>
#include <vector>

class QTextDocument;

// The layout of a long document (one without tables or other frames) in a text view: it lays
// out only the paragraphs it shows or is asked about, and gives every other paragraph the height
// it had when last laid out (or one estimated from its length), so opening, jumping to the end,
// typing anywhere and reformatting everything cost what the screen shows, not what the document
// holds. The rest is laid out in the background (layoutSome) until every height is exact.
//
// Each paragraph's number of display lines is kept in the document's block map
// (QTextBlock::setLineCount, summed by QTextBlock::firstLineNumber): exact once measured, the
// count of an earlier layout (or 1) before. Paragraphs measured in the background keep no lines
// (they are laid out again when shown), so a long document holds lines only for what was seen.
//
// Paragraphs are laid out as Qt's own document layout lays them out (indents, first-line
// indent, alignment, tab stops, direction, line height, spacing before and after, list
// markers), so the two show the same lines. Vertical positions come from a running sum of the
// paragraph heights kept in chunks, so finding the paragraph at a height or the height of a
// paragraph takes O(sqrt n) without walking the document.
class LongDocumentLayout : public QAbstractTextDocumentLayout
{
    Q_OBJECT
    // Read by QTextEdit to choose the page width without wrapping.
    Q_PROPERTY(bool contentHasAlignment READ contentHasAlignment)
    Q_PROPERTY(int cursorWidth READ cursorWidth WRITE setCursorWidth)
public:
    // The first estimate of every paragraph's height for a document never laid out (one just
    // read). The font's metrics are taken on the GUI thread (basisFor), the paragraphs are
    // visited by the thread that read the document (estimate), and the layout made for it takes
    // the heights as they are when the document's font, page width and margin are still those
    // they were estimated for: the GUI thread then visits no paragraph.
    struct FirstEstimate
    {
        QFont font;
        int lineHeight = 0;
        qreal averageCharWidth = 0;
        qreal pageWidth = -1;
        qreal margin = 0;
        std::vector<int> heights;
        std::vector<qint64> chunkSums;
    };
    static FirstEstimate basisFor(const QFont &font);
    // O(n); any thread may make it for a document it owns.
    static void estimate(const QTextDocument &document, FirstEstimate &estimate);

    explicit LongDocumentLayout(QTextDocument *document);
    LongDocumentLayout(QTextDocument *document, FirstEstimate estimate);

    // Whether the document can be laid out this way: it has no tables or other frames.
    static bool suits(const QTextDocument &document);

    void draw(QPainter *painter, const PaintContext &context) override;
    int hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const override;
    int pageCount() const override { return 1; }
    QSizeF documentSize() const override;
    QRectF frameBoundingRect(QTextFrame *frame) const override;
    QRectF blockBoundingRect(const QTextBlock &block) const override;

    // Lays out paragraphs not laid out yet, from the top, for about `nanoseconds`; false once
    // every paragraph is laid out.
    bool layoutSome(qint64 nanoseconds);
    bool isComplete() const { return m_unlaid == 0; }
    // Paragraphs laid out, per cent.
    int percent() const;
    // The first paragraph not laid out (the block count when all are).
    int firstUnlaidBlock() const;
    // Whether a block's height and line count are those of the current layout.
    bool isMeasured(int index) const;
    // Measures blocks first .. last now.
    void layOutBlocks(int first, int last) const;

    bool contentHasAlignment() const { return m_hasAlignment; }
    int cursorWidth() const { return m_cursorWidth; }
    void setCursorWidth(int width) { m_cursorWidth = width; }

signals:
    // The paragraph whose slot starts at `top` changed height (from an estimate, or after an
    // edit): a view showing text below it moves by as much to keep showing the same text.
    void heightChanged(qreal top, int oldHeight, int newHeight);

protected:
    void documentChanged(int from, int charsRemoved, int charsAdded) override;

private:
    enum : std::uint8_t { Estimated = 0, Measured = 1 };

    void resetAll() const;
    bool hasLines(int index, const QTextBlock &block) const;
    // Lays out one block and records its height and its number of lines (in the document's
    // block map, QTextBlock::setLineCount); the block keeps its lines with keepLines, else it is
    // only measured. Returns the change of height.
    int layOut(const QTextBlock &block, bool keepLines) const;
    void setHeight(int index, int height) const;
    qreal yOf(int index) const; // top of the block's slot (before its spacing)
    int indexAtY(qreal y) const;
    int gapBefore(const QTextBlock &block) const;
    qreal lineWidthLimit() const;
    void drawBlock(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                   const QPointF &origin) const;
    void drawListMarker(QPainter *painter, const PaintContext &context, const QTextBlock &block,
                        const QPointF &origin, const QTextCharFormat *selection) const;
    void reportSize() const;

    static constexpr int ChunkSize = 256;
    // Per block: the height of its slot in pixels (spacing before it plus its lines) and whether
    // that height is exact; per chunk of ChunkSize blocks, the sum of their heights.
    mutable std::vector<int> m_height;
    mutable std::vector<std::uint8_t> m_state;
    mutable std::vector<qint64> m_chunkSum;
    mutable int m_unlaid = 0;
    mutable int m_scanFrom = 0;
    mutable qreal m_widest = 0;
    mutable bool m_hasAlignment = false;
    // The paragraphs that may hold lines: any (m_linesAnywhere) or the ones listed.
    mutable bool m_linesAnywhere = true;
    mutable std::vector<int> m_withLines;

    mutable bool m_sizeReportPending = false;
    mutable QSizeF m_reportedSize;
    qreal m_pageWidth = -1;
    int m_cursorWidth = 1;
};
