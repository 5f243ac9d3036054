#include "platform/LongDocumentLayout.h"

#include <QElapsedTimer>
#include <QFontMetricsF>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextObjectInterface>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Lines of a paragraph that does not wrap are laid out this wide (within Qt's fixed-point range).
constexpr qreal NoWrapWidth = 16'000'000;
// A change to this many paragraphs or fewer is laid out at once (typing, a paste); more wait
// until they are shown or the background layout reaches them.
constexpr int ImmediateBlocks = 64;

// Pictures (image formats naming a document resource), drawn at the format's size.
class ImageHandler : public QObject, public QTextObjectInterface
{
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)
public:
    explicit ImageHandler(QObject *parent) : QObject(parent) {}

    static QImage image(QTextDocument *doc, const QTextImageFormat &format)
    {
        const QVariant v = doc->resource(QTextDocument::ImageResource, QUrl(format.name()));
        if (v.canConvert<QImage>() && v.typeId() == QMetaType::QImage)
            return v.value<QImage>();
        if (v.typeId() == QMetaType::QPixmap)
            return v.value<QPixmap>().toImage();
        return {};
    }

    QSizeF intrinsicSize(QTextDocument *doc, int, const QTextFormat &format) override
    {
        const QTextImageFormat f = format.toImageFormat();
        const bool hasWidth = f.hasProperty(QTextFormat::ImageWidth);
        const bool hasHeight = f.hasProperty(QTextFormat::ImageHeight);
        if (hasWidth && hasHeight)
            return {f.width(), f.height()};
        const QSizeF natural = image(doc, f).size();
        if (hasWidth && natural.width() > 0)
            return {f.width(), natural.height() * f.width() / natural.width()};
        if (hasHeight && natural.height() > 0)
            return {natural.width() * f.height() / natural.height(), f.height()};
        return natural;
    }

    void drawObject(QPainter *painter, const QRectF &rect, QTextDocument *doc, int,
                    const QTextFormat &format) override
    {
        const QImage img = image(doc, format.toImageFormat());
        if (!img.isNull())
            painter->drawImage(rect, img);
    }
};

qreal deviceScale(const QPaintDevice *device)
{
    return device ? device->logicalDpiY() / 96.0 : 1.0;
}

// The height of a paragraph not laid out yet: lines of average characters at the document's
// font (one line when there is no width to wrap at), none for a hidden one (length -1).
class HeightEstimate
{
public:
    explicit HeightEstimate(const LongDocumentLayout::FirstEstimate &basis)
        : m_lineHeight(basis.lineHeight)
    {
        const qreal width = basis.pageWidth > 0 ? basis.pageWidth - 2 * basis.margin : 0;
        m_perLine = width > 0 ? std::max(1.0, width / basis.averageCharWidth) : 1e9;
    }
    int operator()(int length) const
    {
        return length < 0
                   ? 0
                   : m_lineHeight * std::max(1, static_cast<int>(std::ceil(length / m_perLine)));
    }

private:
    int m_lineHeight;
    qreal m_perLine;
};

template <int ChunkSize> std::vector<qint64> chunkSumsOf(const std::vector<int> &heights)
{
    const std::size_t n = heights.size();
    std::vector<qint64> sums((n + ChunkSize - 1) / ChunkSize, 0);
    for (std::size_t k = 0; k < n; ++k)
        sums[k / ChunkSize] += heights[k];
    return sums;
}

} // namespace

LongDocumentLayout::LongDocumentLayout(QTextDocument *document) : LongDocumentLayout(document, {})
{}

LongDocumentLayout::LongDocumentLayout(QTextDocument *document, FirstEstimate estimate)
    : QAbstractTextDocumentLayout(document)
{
    registerHandler(QTextFormat::ImageObject, new ImageHandler(this));
    m_pageWidth = document->pageSize().width();
    if (static_cast<int>(estimate.heights.size()) == document->blockCount() &&
        estimate.font == document->defaultFont() && estimate.pageWidth == m_pageWidth &&
        estimate.margin == document->documentMargin()) {
        m_height = std::move(estimate.heights);
        m_chunkSum = std::move(estimate.chunkSums);
        m_linesAnywhere = false; // nothing has been laid out yet
    }
    resetAll();
}

LongDocumentLayout::FirstEstimate LongDocumentLayout::basisFor(const QFont &font)
{
    const QFontMetricsF metrics(font);
    FirstEstimate basis;
    basis.font = font;
    basis.lineHeight = static_cast<int>(std::ceil(metrics.lineSpacing()));
    basis.averageCharWidth = metrics.averageCharWidth();
    return basis;
}

void LongDocumentLayout::estimate(const QTextDocument &document, FirstEstimate &estimate)
{
    estimate.pageWidth = document.pageSize().width();
    estimate.margin = document.documentMargin();
    const HeightEstimate height(estimate);
    const int n = document.blockCount();
    estimate.heights.clear();
    estimate.heights.reserve(static_cast<std::size_t>(n));
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next())
        estimate.heights.push_back(height(b.isVisible() ? b.length() : -1));
    estimate.chunkSums = chunkSumsOf<ChunkSize>(estimate.heights);
}

bool LongDocumentLayout::suits(const QTextDocument &document)
{
    return document.rootFrame()->childFrames().isEmpty();
}

// --- Heights ----------------------------------------------------------------------------------

void LongDocumentLayout::resetAll() const
{
    const QTextDocument *doc = document();
    const int n = doc->blockCount();
    const bool keep = static_cast<int>(m_height.size()) == n;
    m_height.resize(n);
    m_state.assign(n, Estimated);
    m_unlaid = n;
    m_scanFrom = 0;
    m_widest = 0;
    m_hasAlignment = false;
    // Every paragraph is laid out again; until then its last height (or an estimate) stands.
    // Only the paragraphs laid out since the last time hold lines to drop: when they are known
    // and the heights are kept, no other paragraph is visited (a long document is reset several
    // times as it is shown).
    const bool clear = m_linesAnywhere;
    if (!clear)
        for (int index : m_withLines)
            if (index < n)
                doc->findBlockByNumber(index).clearLayout();
    m_withLines.clear();
    m_linesAnywhere = false;
    std::optional<HeightEstimate> estimate;
    if (!keep) {
        FirstEstimate basis = basisFor(doc->defaultFont());
        basis.pageWidth = m_pageWidth;
        basis.margin = doc->documentMargin();
        estimate.emplace(basis);
    }
    int i = 0;
    for (QTextBlock b = doc->begin(); (clear || !keep) && b.isValid() && i < n; b = b.next(), ++i) {
        if (clear)
            b.clearLayout();
        if (!keep)
            m_height[i] = (*estimate)(b.isVisible() ? b.length() : -1);
    }
    // Kept heights keep their sums.
    if (!keep)
        m_chunkSum = chunkSumsOf<ChunkSize>(m_height);
}

void LongDocumentLayout::setHeight(int index, int height) const
{
    const int delta = height - m_height[index];
    if (delta == 0)
        return;
    const qreal y = yOf(index);
    const int old = m_height[index];
    m_height[index] = height;
    m_chunkSum[index / ChunkSize] += delta;
    // The new size is reported before a view reacts to the change of height.
    reportSize();
    emit const_cast<LongDocumentLayout *>(this)->heightChanged(y, old, height);
}

qreal LongDocumentLayout::yOf(int index) const
{
    qint64 y = 0;
    const int chunk = index / ChunkSize;
    for (int k = 0; k < chunk; ++k)
        y += m_chunkSum[k];
    for (int i = chunk * ChunkSize; i < index; ++i)
        y += m_height[i];
    return document()->documentMargin() + static_cast<qreal>(y);
}

int LongDocumentLayout::indexAtY(qreal y) const
{
    const int n = static_cast<int>(m_height.size());
    qint64 left = static_cast<qint64>(std::floor(y - document()->documentMargin()));
    if (left < 0 || n == 0)
        return 0;
    int k = 0;
    const int chunks = static_cast<int>(m_chunkSum.size());
    while (k < chunks - 1 && left >= m_chunkSum[k]) {
        left -= m_chunkSum[k];
        ++k;
    }
    int i = k * ChunkSize;
    for (; i < n - 1; ++i) {
        if (left < m_height[i])
            break;
        left -= m_height[i];
    }
    return i;
}

bool LongDocumentLayout::hasLines(int index, const QTextBlock &block) const
{
    if (m_state[index] != Measured)
        return false;
    return !block.isVisible() || block.layout()->lineCount() > 0;
}

bool LongDocumentLayout::isMeasured(int index) const
{
    return index >= 0 && index < static_cast<int>(m_state.size()) && m_state[index] == Measured;
}

// --- Laying out a paragraph -------------------------------------------------------------------

int LongDocumentLayout::gapBefore(const QTextBlock &block) const
{
    const QTextBlock previous = block.previous();
    if (!previous.isValid())
        return 0;
    const qreal margin =
        std::max(block.blockFormat().topMargin(), previous.blockFormat().bottomMargin());
    return static_cast<int>(std::ceil(margin * deviceScale(paintDevice())));
}

qreal LongDocumentLayout::lineWidthLimit() const
{
    return m_pageWidth > 0 ? m_pageWidth - document()->documentMargin() : NoWrapWidth;
}

int LongDocumentLayout::layOut(const QTextBlock &block, bool keepLines) const
{
    const int index = block.blockNumber();
    const QTextDocument *doc = document();
    if (!block.isVisible()) {
        if (m_state[index] == Estimated)
            --m_unlaid;
        m_state[index] = Measured;
        const int before = m_height[index];
        setHeight(index, 0);
        QTextBlock(block).setLineCount(0);
        return -before;
    }
    const QTextBlockFormat format = block.blockFormat();
    const qreal scale = deviceScale(paintDevice());
    const qreal margin = doc->documentMargin();
    const Qt::LayoutDirection dir = block.textDirection();

    QTextOption option = doc->defaultTextOption();
    option.setTextDirection(dir);
    option.setTabs(format.tabPositions());
    Qt::Alignment align = option.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        align = format.alignment();
    option.setAlignment(QStyle::visualAlignment(dir, align));
    const bool noWrap = m_pageWidth <= 0;
    if (format.nonBreakableLines() || m_pageWidth < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    if (!(option.alignment() & Qt::AlignLeft))
        m_hasAlignment = true;

    qreal indent = format.indent();
    if (const auto *list = qobject_cast<const QTextList *>(doc->objectForFormat(format)))
        indent += list->format().indent();
    indent *= doc->indentWidth() * scale;
    const qreal left = margin + format.leftMargin() + (dir == Qt::RightToLeft ? 0 : indent);
    const qreal right = (noWrap ? margin + NoWrapWidth : lineWidthLimit()) - format.rightMargin() -
                        (dir == Qt::RightToLeft ? indent : 0);

    const int gap = gapBefore(block);
    // Measuring alone uses a layout of its own, so paragraphs far from the view hold no lines.
    std::optional<QTextLayout> scratch;
    if (!keepLines)
        scratch.emplace(block);
    if (keepLines && !m_linesAnywhere) {
        if (m_withLines.size() < 1024)
            m_withLines.push_back(index);
        else
            m_linesAnywhere = true;
    }
    QTextLayout *layout = keepLines ? block.layout() : &*scratch;
    layout->setTextOption(option);
    layout->setPosition(QPointF(margin, yOf(index) + gap));
    layout->beginLayout();
    qreal y = 0;
    qreal bottom = 0;
    bool first = true;
    for (;;) {
        QTextLine line = layout->createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        qreal l = left;
        qreal r = right;
        if (first) {
            if (dir == Qt::LeftToRight)
                l += format.textIndent();
            else
                r -= format.textIndent();
            first = false;
        }
        line.setLineWidth(std::max<qreal>(0, r - l));
        const qreal raw = std::ceil(line.ascent() + line.descent() + line.leading());
        const qreal lineHeight = format.lineHeight(raw, scale);
        const qreal lineBottom = format.lineHeight(line.height(), scale);
        qreal adjust = 0;
        if (format.lineHeightType() == QTextBlockFormat::FixedHeight)
            adjust = line.ascent() + std::max<qreal>(line.leading(), 0) - lineHeight * 4 / 5;
        else if (format.lineHeightType() == QTextBlockFormat::MinimumHeight)
            adjust = line.height() - lineHeight;
        line.setPosition(QPointF(l - margin, y - adjust));
        bottom = y + lineBottom;
        y += lineHeight;
        m_widest = std::max(m_widest, l + line.naturalTextWidth() + format.rightMargin());
    }
    layout->endLayout();
    y = std::max(y, bottom);
    // The display lines of the paragraph, summed by the document for line numbers.
    QTextBlock(block).setLineCount(std::max(1, layout->lineCount()));

    if (m_state[index] == Estimated)
        --m_unlaid;
    m_state[index] = Measured;
    const int before = m_height[index];
    setHeight(index, gap + static_cast<int>(std::ceil(y)));
    return m_height[index] - before;
}

void LongDocumentLayout::layOutBlocks(int first, int last) const
{
    const int n = static_cast<int>(m_height.size());
    first = std::max(first, 0);
    last = std::min(last, n - 1);
    if (first > last)
        return;
    int i = first;
    for (QTextBlock b = document()->findBlockByNumber(first); b.isValid() && i <= last;
         b = b.next(), ++i)
        if (m_state[i] == Estimated)
            layOut(b, false);
}

int LongDocumentLayout::firstUnlaidBlock() const
{
    const int n = static_cast<int>(m_state.size());
    while (m_scanFrom < n && m_state[m_scanFrom] == Measured)
        ++m_scanFrom;
    return m_scanFrom;
}

int LongDocumentLayout::percent() const
{
    const qint64 n = std::max<qint64>(1, static_cast<qint64>(m_state.size()));
    return static_cast<int>((n - m_unlaid) * 100 / n);
}

bool LongDocumentLayout::layoutSome(qint64 nanoseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (m_unlaid > 0 && clock.nsecsElapsed() < nanoseconds) {
        int i = firstUnlaidBlock();
        QTextBlock b = document()->findBlockByNumber(i);
        // Blocks in a row until the time is up (checked every few blocks).
        for (int k = 0; b.isValid() && (k % 8 != 0 || clock.nsecsElapsed() < nanoseconds);
             b = b.next(), ++i, ++k) {
            if (m_state[i] == Estimated)
                layOut(b, false);
            m_scanFrom = i + 1;
        }
    }
    return m_unlaid > 0;
}

// --- The document changing --------------------------------------------------------------------

void LongDocumentLayout::documentChanged(int from, int charsRemoved, int charsAdded)
{
    const QTextDocument *doc = document();
    const int n = doc->blockCount();
    const qreal pageWidth = doc->pageSize().width();
    const bool whole = from == 0 && charsRemoved == 0 && charsAdded >= doc->characterCount();
    if (whole || pageWidth != m_pageWidth || m_height.empty()) {
        // A new width, new content or a change of the document's defaults: everything again.
        m_pageWidth = pageWidth;
        resetAll();
        emit update(QRectF(0, 0, 1e9, 1e9));
        reportSize();
        return;
    }
    // Paragraph numbers shift with an edit: any paragraph may hold lines now.
    m_linesAnywhere = true;
    const int old = static_cast<int>(m_height.size());
    const int delta = n - old;
    const int first = doc->findBlock(from).isValid() ? doc->findBlock(from).blockNumber() : n - 1;
    const QTextBlock end = doc->findBlock(from + charsAdded);
    const int last = std::max(first, end.isValid() ? end.blockNumber() : n - 1);
    const int oldLast = last - delta;
    if (oldLast < first - 1 || oldLast >= old) {
        resetAll();
        emit update(QRectF(0, 0, 1e9, 1e9));
        reportSize();
        return;
    }
    // Blocks first .. oldLast become first .. last: they keep their old heights (or take the
    // first's) as estimates until laid out again.
    int wasUnlaid = 0;
    for (int i = first; i <= oldLast; ++i)
        wasUnlaid += m_state[i] == Estimated ? 1 : 0;
    const int keepHeight = first <= oldLast ? m_height[first] : 0;
    if (delta > 0) {
        m_height.insert(m_height.begin() + oldLast + 1, delta, keepHeight);
        m_state.insert(m_state.begin() + oldLast + 1, delta, Estimated);
    } else if (delta < 0) {
        m_height.erase(m_height.begin() + last + 1, m_height.begin() + oldLast + 1);
        m_state.erase(m_state.begin() + last + 1, m_state.begin() + oldLast + 1);
    }
    for (int i = first; i <= last; ++i)
        m_state[i] = Estimated;
    m_unlaid += (last - first + 1) - wasUnlaid;
    // The next paragraph's spacing depends on this one's.
    if (last + 1 < n && m_state[last + 1] == Measured) {
        m_state[last + 1] = Estimated;
        ++m_unlaid;
    }
    m_scanFrom = std::min(m_scanFrom, first);
    if (delta != 0)
        m_chunkSum = chunkSumsOf<ChunkSize>(m_height);
    QTextBlock b = doc->findBlockByNumber(first);
    for (int i = first; b.isValid() && i <= last; b = b.next(), ++i)
        b.clearLayout();
    if (last - first < ImmediateBlocks) {
        QTextBlock c = doc->findBlockByNumber(first);
        for (int i = first; c.isValid() && i <= last + 1; c = c.next(), ++i)
            if (m_state[i] == Estimated)
                layOut(c, true);
    }
    emit update(QRectF(0, yOf(first), 1e9, 1e9));
    reportSize();
}

void LongDocumentLayout::reportSize() const
{
    if (m_sizeReportPending)
        return;
    m_sizeReportPending = true;
    QTimer::singleShot(0, this, [this] {
        m_sizeReportPending = false;
        const QSizeF size = documentSize();
        if (size != m_reportedSize) {
            m_reportedSize = size;
            emit const_cast<LongDocumentLayout *>(this)->documentSizeChanged(size);
        }
    });
}

// --- Geometry ---------------------------------------------------------------------------------

QSizeF LongDocumentLayout::documentSize() const
{
    const qreal margin = document()->documentMargin();
    qint64 total = 0;
    for (qint64 s : m_chunkSum)
        total += s;
    const qreal width = m_pageWidth > 0 ? m_pageWidth : m_widest + margin;
    return {width, static_cast<qreal>(total) + 2 * margin};
}

QRectF LongDocumentLayout::frameBoundingRect(QTextFrame *frame) const
{
    if (frame != document()->rootFrame())
        return {};
    return {QPointF(0, 0), documentSize()};
}

QRectF LongDocumentLayout::blockBoundingRect(const QTextBlock &block) const
{
    if (!block.isValid() || !block.isVisible() || m_height.empty())
        return {};
    const int index = block.blockNumber();
    if (!hasLines(index, block))
        layOut(block, true);
    QTextLayout *layout = block.layout();
    layout->setPosition(QPointF(document()->documentMargin(), yOf(index) + gapBefore(block)));
    QRectF rect = layout->boundingRect();
    rect.moveTopLeft(layout->position());
    return rect;
}

int LongDocumentLayout::hitTest(const QPointF &point, Qt::HitTestAccuracy accuracy) const
{
    const QTextDocument *doc = document();
    if (m_height.empty())
        return 0;
    const int index = indexAtY(point.y());
    const QTextBlock block = doc->findBlockByNumber(index);
    const QRectF rect = blockBoundingRect(block);
    const QTextLayout *layout = block.layout();
    if (!layout || layout->lineCount() == 0)
        return accuracy == Qt::ExactHit ? -1 : block.position();
    const QPointF local = point - rect.topLeft();
    int lineIndex = 0;
    while (lineIndex < layout->lineCount() - 1 &&
           local.y() >= layout->lineAt(lineIndex).y() + layout->lineAt(lineIndex).height())
        ++lineIndex;
    const QTextLine line = layout->lineAt(lineIndex);
    if (accuracy == Qt::ExactHit &&
        (local.y() < line.y() || local.y() > line.y() + line.height() || local.x() < line.x() ||
         local.x() > line.x() + line.naturalTextWidth()))
        return -1;
    // Past the last line of the last paragraph: the end of the text.
    if (local.y() > line.y() + line.height() && !block.next().isValid())
        return block.position() + block.length() - 1;
    return block.position() + line.xToCursor(local.x());
}

// --- Drawing ----------------------------------------------------------------------------------

void LongDocumentLayout::draw(QPainter *painter, const PaintContext &context)
{
    if (m_height.empty())
        return;
    const QRectF clip =
        context.clip.isValid() ? context.clip : QRectF(QPointF(0, 0), documentSize());
    int index = indexAtY(clip.top());
    qreal y = yOf(index);
    for (QTextBlock b = document()->findBlockByNumber(index); b.isValid(); b = b.next(), ++index) {
        if (y > clip.bottom())
            break;
        if (!hasLines(index, b))
            layOut(b, true);
        if (b.isVisible()) {
            b.layout()->setPosition(QPointF(document()->documentMargin(), y + gapBefore(b)));
            drawBlock(painter, context, b, b.layout()->position());
        }
        y += m_height[index];
    }
}

void LongDocumentLayout::drawBlock(QPainter *painter, const PaintContext &context,
                                   const QTextBlock &block, const QPointF &origin) const
{
    QTextLayout *layout = block.layout();
    QRectF rect = layout->boundingRect();
    rect.moveTopLeft(origin);
    const QTextBlockFormat format = block.blockFormat();
    if (const QBrush bg = format.background(); bg.style() != Qt::NoBrush) {
        QRectF area = rect;
        if (m_pageWidth <= 0)
            area.setRight(std::max(area.right(), m_widest));
        painter->fillRect(area, bg);
    }

    const int start = block.position();
    const int length = block.length();
    QList<QTextLayout::FormatRange> selections;
    const QTextCharFormat *markerSelection = nullptr;
    for (const Selection &s : context.selections) {
        const int from = s.cursor.selectionStart() - start;
        const int to = s.cursor.selectionEnd() - start;
        if (from < length && to > 0 && to > from) {
            selections.append({from, to - from, s.format});
        } else if (!s.cursor.hasSelection() &&
                   s.format.hasProperty(QTextFormat::FullWidthSelection) &&
                   block.contains(s.cursor.position())) {
            const QTextLine line = layout->lineForTextPosition(s.cursor.position() - start);
            int n = line.textLength();
            if (line.textStart() + n == length - 1)
                ++n;
            selections.append({line.textStart(), n, s.format});
        }
        if (from < 0 && to >= 1)
            markerSelection = &s.format;
    }

    if (const auto *list = qobject_cast<const QTextList *>(document()->objectForFormat(format)))
        if (list->format().style() != QTextListFormat::ListStyleUndefined)
            drawListMarker(painter, context, block, origin, markerSelection);

    const QPen pen = painter->pen();
    painter->setPen(context.palette.color(QPalette::Text));
    layout->draw(painter, QPointF(0, 0), selections, context.clip);
    const int cursor = context.cursorPosition;
    if (cursor >= start && cursor < start + length)
        layout->drawCursor(painter, QPointF(0, 0), cursor - start, m_cursorWidth);
    painter->setPen(pen);
}

void LongDocumentLayout::drawListMarker(QPainter *painter, const PaintContext &context,
                                        const QTextBlock &block, const QPointF &origin,
                                        const QTextCharFormat *selection) const
{
    const QTextLayout *layout = block.layout();
    if (layout->lineCount() == 0)
        return;
    const auto *list =
        qobject_cast<const QTextList *>(document()->objectForFormat(block.blockFormat()));
    int style = list->format().style();
    if (block.blockFormat().hasProperty(QTextFormat::ListStyle))
        style = block.blockFormat().intProperty(QTextFormat::ListStyle);
    const QTextCharFormat charFormat = QTextCursor(block).charFormat();
    const QFont font = paintDevice() ? QFont(charFormat.font(), paintDevice()) : charFormat.font();
    const QFontMetricsF metrics(font);
    const Qt::LayoutDirection dir = block.textDirection();
    const QRectF firstLine = layout->lineAt(0).naturalTextRect();
    QPointF pos = (origin + firstLine.topLeft()).toPoint();
    if (dir == Qt::RightToLeft)
        pos.rx() += firstLine.width();

    QString text;
    QSizeF size;
    switch (style) {
    case QTextListFormat::ListDisc:
    case QTextListFormat::ListCircle:
    case QTextListFormat::ListSquare:
        size = QSizeF(std::floor(metrics.lineSpacing() / 3), std::floor(metrics.lineSpacing() / 3));
        break;
    case QTextListFormat::ListDecimal:
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        text = list->itemText(block);
        size = QSizeF(metrics.horizontalAdvance(text), metrics.height());
        break;
    default:
        return;
    }
    QRectF r(pos, size);
    const qreal space = metrics.horizontalAdvance(QLatin1Char(' '));
    r.translate(dir == Qt::LeftToRight ? -space - size.width() : space,
                metrics.height() / 2 - size.height() / 2);

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    QBrush fg = charFormat.foreground();
    if (fg.style() == Qt::NoBrush)
        fg = context.palette.text();
    if (selection) {
        painter->fillRect(r, selection->background());
        fg = selection->foreground();
    }
    painter->setPen(QPen(fg, 0));
    switch (style) {
    case QTextListFormat::ListDisc:
        painter->setBrush(fg);
        painter->drawEllipse(r);
        break;
    case QTextListFormat::ListCircle:
        painter->setBrush(Qt::NoBrush);
        painter->drawEllipse(r);
        break;
    case QTextListFormat::ListSquare:
        painter->fillRect(r, fg);
        break;
    default:
        painter->setFont(font);
        painter->drawText(r, Qt::AlignLeft | Qt::AlignVCenter, text);
        break;
    }
    painter->restore();
}

#include "LongDocumentLayout.moc"
