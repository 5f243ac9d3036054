#include "platform/ListMarkers.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QPainter>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>

#include "platform/rtf/TextFormats.h"

namespace ListMarkers {

namespace {

QString roman(int n, bool upper)
{
    static const std::pair<int, const char *> parts[] = {
        {1000, "m"}, {900, "cm"}, {500, "d"}, {400, "cd"}, {100, "c"}, {90, "xc"}, {50, "l"},
        {40, "xl"},  {10, "x"},   {9, "ix"},  {5, "v"},    {4, "iv"},  {1, "i"}};
    QString out;
    for (const auto &[value, text] : parts) {
        while (n >= value) {
            out += QLatin1String(text);
            n -= value;
        }
    }
    return upper ? out.toUpper() : out;
}

QString letters(int n, bool upper)
{
    QString out;
    while (n > 0) {
        --n;
        out.prepend(QChar((upper ? 'A' : 'a') + n % 26));
        n /= 26;
    }
    return out;
}

QString numberText(int n, QTextListFormat::Style style)
{
    switch (style) {
    case QTextListFormat::ListLowerAlpha:
    case QTextListFormat::ListUpperAlpha:
        if (n > 0)
            return letters(n, style == QTextListFormat::ListUpperAlpha);
        break;
    case QTextListFormat::ListLowerRoman:
    case QTextListFormat::ListUpperRoman:
        if (n > 0 && n < 5000)
            return roman(n, style == QTextListFormat::ListUpperRoman);
        break;
    default:
        break;
    }
    return QString::number(n);
}

bool drawnHere(const QTextBlock &block)
{
    const QTextBlockFormat f = block.blockFormat();
    return block.textList() && f.hasProperty(QTextFormat::ListStyle) &&
           f.intProperty(QTextFormat::ListStyle) == QTextListFormat::ListStyleUndefined;
}

} // namespace

QString itemText(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return {};
    const QTextListFormat format = list->format();
    const QTextListFormat::Style style = format.style();
    if (style != QTextListFormat::ListDecimal && style != QTextListFormat::ListLowerAlpha &&
        style != QTextListFormat::ListUpperAlpha && style != QTextListFormat::ListLowerRoman &&
        style != QTextListFormat::ListUpperRoman)
        return {};
    const int start =
        format.hasProperty(TextFormats::ListStart) ? format.intProperty(TextFormats::ListStart) : 1;
    return format.numberPrefix() + numberText(list->itemNumber(block) + start, style) +
           format.numberSuffix();
}

void draw(QPainter *painter, const QTextDocument &document, const QRectF &clip,
          const QPalette &palette)
{
    QAbstractTextDocumentLayout *layout = document.documentLayout();
    // The blocks the clip shows, from the first one it touches.
    const int first = layout->hitTest(clip.topLeft(), Qt::FuzzyHit);
    for (QTextBlock b = document.findBlock(std::max(0, first)); b.isValid(); b = b.next()) {
        const QRectF bounds = layout->blockBoundingRect(b);
        if (bounds.top() > clip.bottom())
            break;
        if (!drawnHere(b) || bounds.bottom() < clip.top())
            continue;
        const QTextLayout *tl = b.layout();
        if (!tl || tl->lineCount() == 0)
            continue;
        const QString text = itemText(b);
        if (text.isEmpty())
            continue;
        // As the layout places a list marker: left of the first line, one blank apart, in
        // the font of the paragraph's mark.
        const QTextCharFormat charFormat = b.charFormat();
        QFont font = charFormat.font();
        if (layout->paintDevice())
            font = QFont(font, layout->paintDevice());
        const QFontMetricsF metrics(font);
        const QPointF offset = bounds.topLeft() - tl->boundingRect().topLeft() - tl->position();
        const QRectF line = tl->lineAt(0).naturalTextRect();
        const Qt::LayoutDirection dir = b.textDirection();
        QPointF pos = (offset + tl->position() + line.topLeft()).toPoint();
        qreal x = pos.x() + metrics.horizontalAdvance(u' ');
        if (dir == Qt::RightToLeft)
            x += line.width();
        else
            x = pos.x() - metrics.horizontalAdvance(u' ') - metrics.horizontalAdvance(text);

        painter->save();
        QBrush fg = charFormat.foreground();
        if (fg.style() == Qt::NoBrush)
            fg = palette.text();
        painter->setPen(QPen(fg, 0));
        QTextLayout marker(text, font, layout->paintDevice());
        QTextOption option(Qt::AlignLeft | Qt::AlignAbsolute);
        option.setTextDirection(dir);
        marker.setTextOption(option);
        marker.beginLayout();
        QTextLine markerLine = marker.createLine();
        if (markerLine.isValid())
            markerLine.setLeadingIncluded(true);
        marker.endLayout();
        marker.draw(painter, QPointF(x, pos.y()));
        painter->restore();
    }
}

} // namespace ListMarkers
