#include "printing/PageFormatter.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
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

    QAbstractTextDocumentLayout *layout = m_doc->documentLayout();
    bool breakAfter = false;
    for (QTextBlock block = m_doc->begin(); block.isValid(); block = block.next()) {
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
