#pragma once

#include <QString>

class QPainter;
class QPalette;
class QRectF;
class QTextBlock;
class QTextDocument;

// Numbers of lists that do not start at 1 (TextFormats::ListStart). The text layout numbers
// every list from 1, so such a list's paragraphs carry a marker style of their own that the
// layout does not draw (TextFormats::startedListItem), and these functions draw their numbers
// where the layout would have drawn them, in the same font.
namespace ListMarkers {

// The marker text of a list paragraph: prefix, number in the list's style counted from its
// start, suffix. Empty for paragraphs outside numbered lists.
QString itemText(const QTextBlock &block);

// Draws the numbers of the started lists' paragraphs of the document inside clip (document
// coordinates, as the layout's own drawing takes them).
void draw(QPainter *painter, const QTextDocument &document, const QRectF &clip,
          const QPalette &palette);

} // namespace ListMarkers
