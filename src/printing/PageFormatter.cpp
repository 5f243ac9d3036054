#include "printing/PageFormatter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <algorithm>

#include "platform/ListMarkers.h"
#include "platform/PictureFit.h"
#include "platform/RichTextBox.h"
#include "platform/rtf/KeptContent.h"

PageFormatter::PageFormatter() = default;
PageFormatter::~PageFormatter() = default;

void PageFormatter::release()
{
    m_doc.reset();
    m_source = nullptr;
    m_revision = -1;
    m_width = -1;
    m_lines.clear();
}

void PageFormatter::prepare(const RichTextBox &box, double width)
{
    const QTextDocument *source = box.document();
    if (m_doc && m_source == source && m_revision == source->revision() && m_width == width)
        return;
    release();
    m_doc.reset(source->clone());
    KeptContent::installHandler(*m_doc); // notes print their marks
    PictureFit::install(*m_doc);         // wide pictures print within the page
    m_doc->setDocumentMargin(0);
    // Pages always wrap, whatever wrap mode the control shows its text in.
    QTextOption option = m_doc->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_doc->setDefaultTextOption(option);
    m_doc->setTextWidth(width);
    m_source = source;
    m_revision = source->revision();
    m_width = width;
    m_textLength = static_cast<int>(box.Text().size());
    // Counting the pages of an unpaginated document finishes its layout.
    m_doc->pageCount();

    // The root frame's paragraphs give their lines; a table (or any frame) gives the bands of
    // lines across its cells.
    QAbstractTextDocumentLayout *layout = m_doc->documentLayout();
    bool breakAfter = false;
    for (auto it = m_doc->rootFrame()->begin(); !it.atEnd(); ++it) {
        if (const QTextFrame *frame = it.currentFrame()) {
            const QTextFrameFormat format = frame->frameFormat();
            addFrameBands(*frame, breakAfter || (format.pageBreakPolicy() &
                                                 QTextFormat::PageBreak_AlwaysBefore));
            breakAfter = format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QTextLayout *tl = block.layout();
        const QTextBlockFormat format = block.blockFormat();
        const bool breakBefore =
            breakAfter || (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
        breakAfter = format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter;
        if (!tl || tl->lineCount() == 0) {
            // A block with no lines (hidden) still marks its position.
            const QRectF r = layout->blockBoundingRect(block);
            m_lines.push_back({r.top(), r.top(), block.position(), breakBefore});
            continue;
        }
        const QPointF origin = tl->position();
        for (int i = 0; i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            const double top = origin.y() + line.y();
            m_lines.push_back({top, top + line.height(), block.position() + line.textStart(),
                               breakBefore && i == 0});
        }
    }
}

void PageFormatter::addFrameBands(const QTextFrame &frame, bool breakBefore)
{
    // Every line of every cell (tables inside cells too), where the layout put it.
    QAbstractTextDocumentLayout *layout = m_doc->documentLayout();
    std::vector<Line> lines;
    for (QTextBlock b = m_doc->findBlock(frame.firstPosition());
         b.isValid() && b.position() <= frame.lastPosition(); b = b.next()) {
        const QTextLayout *tl = b.layout();
        const QRectF r = layout->blockBoundingRect(b);
        if (!tl || tl->lineCount() == 0) {
            lines.push_back({r.top(), r.top(), b.position(), false});
            continue;
        }
        const double origin = r.top() - tl->boundingRect().top();
        for (int i = 0; i < tl->lineCount(); ++i) {
            const QTextLine line = tl->lineAt(i);
            lines.push_back({origin + line.y(), origin + line.y() + line.height(),
                             b.position() + line.textStart(), false});
        }
    }
    if (lines.empty())
        return;
    // Lines side by side in a row overlap; overlapping lines make one band, which a page
    // takes whole, so a page ends between lines of every cell and a short row moves on whole.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line &a, const Line &b) { return a.top < b.top; });
    std::vector<Line> bands{lines.front()};
    for (size_t i = 1; i < lines.size(); ++i) {
        Line &band = bands.back();
        if (lines[i].top < band.bottom - 0.01) {
            band.bottom = std::max(band.bottom, lines[i].bottom);
            band.docPos = std::min(band.docPos, lines[i].docPos);
        } else {
            bands.push_back(lines[i]);
        }
    }
    // Bands meet, and the first and last reach the frame's edges, so borders and padding
    // between lines print with them; a band's position only grows, as pages are found by it.
    const QRectF rect = layout->frameBoundingRect(const_cast<QTextFrame *>(&frame));
    bands.front().top = std::min(bands.front().top, rect.top());
    bands.front().breakBefore = breakBefore;
    for (size_t i = 1; i < bands.size(); ++i) {
        bands[i].top = bands[i - 1].bottom;
        bands[i].docPos =
            std::min(std::max(bands[i].docPos, bands[i - 1].docPos + 1), frame.lastPosition());
    }
    bands.back().bottom = std::max(bands.back().bottom, rect.bottom());
    m_lines.insert(m_lines.end(), bands.begin(), bands.end());
}

size_t PageFormatter::lineAt(int docPos) const
{
    // The last line starting at or before the position.
    auto it = std::upper_bound(m_lines.begin(), m_lines.end(), docPos,
                               [](int pos, const Line &line) { return pos < line.docPos; });
    return it == m_lines.begin() ? 0 : static_cast<size_t>(it - m_lines.begin() - 1);
}

int PageFormatter::formatRange(const RichTextBox &box, const FormatRange &range, QPainter *painter)
{
    if (range.rc.width() <= 0 || range.rc.height() <= 0)
        return 0;
    const double width = range.rc.width() / TwipsPerLayoutPixel;
    const double height = range.rc.height() / TwipsPerLayoutPixel;
    prepare(box, width);
    const int end = range.cpMax < 0 ? m_textLength : std::min(range.cpMax, m_textLength);
    if (m_lines.empty())
        return end;

    const int startDoc = box.toDocPosition(std::max(0, range.cpMin));
    const int endDoc = box.toDocPosition(end);
    const size_t first = lineAt(startDoc);
    const double pageTop = m_lines[first].top;
    size_t next = first + 1;
    double pageBottom = m_lines[first].bottom;
    for (; next < m_lines.size(); ++next) {
        const Line &line = m_lines[next];
        if (line.docPos >= endDoc || line.breakBefore || line.bottom - pageTop > height)
            break;
        pageBottom = std::max(pageBottom, line.bottom);
    }
    const int result = next < m_lines.size() && m_lines[next].docPos < endDoc
                           ? box.fromDocPosition(m_lines[next].docPos)
                           : end;

    if (painter) {
        painter->save();
        painter->translate(range.rc.left(), range.rc.top());
        painter->scale(TwipsPerLayoutPixel, TwipsPerLayoutPixel);
        // Only the lines of this page show; list markers and overhanging indents may reach
        // left and right of the text rectangle.
        const double visible = std::min(pageBottom - pageTop, height);
        const QRectF clip(-range.rc.left() / TwipsPerLayoutPixel - 1, 0,
                          (range.rcPage.width() + range.rc.left()) / TwipsPerLayoutPixel + 2,
                          visible);
        painter->setClipRect(clip, Qt::IntersectClip);
        painter->translate(0, -pageTop);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = clip.translated(0, pageTop);
        context.palette.setColor(QPalette::Text, Qt::black);
        m_doc->documentLayout()->draw(painter, context);
        ListMarkers::draw(painter, *m_doc, context.clip, context.palette);
        painter->restore();
    }
    // A page whose first line lay before the request still moves on.
    return std::max(result, std::min(end, range.cpMin + 1));
}
