#pragma once

#include <QTextFormat>

// How RTF content is represented in a QTextDocument. The RTF reader builds documents this way,
// the writer reads them back this way, and RichTextBox's properties read and set them this way.
//
// Characters
//   bold/italic/underline/strike: QTextCharFormat's own properties.
//   font: setFontFamilies({name}); size: setFontPointSize (points).
//   colour: foreground brush; highlight: background brush.
//   vertical offset (\up/\dn, SelCharOffset): CharOffsetTwips (positive raises), rendered with
//     setVerticalAlignment(AlignSuperScript/AlignSubScript) and setBaselineOffset (percent of
//     the font size); \super/\sub without an amount keep offset 0 and the alignment only.
//   caps/small caps: setFontCapitalization.
//   hidden text (\v): not shown, so not text of the document: an object character holding it
//     (KeptContent::HiddenText) whose format has Hidden = true. Hidden on ordinary text (typed
//     after such an object) means nothing.
//   fields, notes, bookmarks and other content kept though not shown: KeptContent.h.
// Paragraphs
//   alignment: Qt::AlignLeft / AlignRight / AlignHCenter / AlignJustify (\ql \qr \qc \qj).
//   direction: a right-to-left paragraph (\rtlpar) has layoutDirection RightToLeft, \ltrpar
//     LeftToRight; without either the text decides. Its Qt::AlignLeft is \ql, the start of the
//     line, which such a paragraph shows at the right.
//   \li: leftMargin, \ri: rightMargin, \fi: textIndent — all in document pixels at 96 dpi
//     (twips / 15), with the exact twips kept in LeftIndentTwips, RightIndentTwips and
//     FirstIndentTwips so values survive the round trip without rounding.
//   tab stops: QTextBlockFormat::setTabPositions (pixels), exact twips in TabStopsTwips
//     (QList<int> in a QVariant).
//   spacing: topMargin / bottomMargin (pixels), exact twips in SpaceBeforeTwips/SpaceAfterTwips.
//   bullets and numbering: a QTextList (ListDisc for bullets, ListDecimal/LowerAlpha/... for
//     numbered lists); the marker text is never part of the paragraph text. Each level of an
//     RTF list is a QTextList of its own whose format has ListLevel (\ilvl), the text around
//     the number as numberPrefix/numberSuffix, and indent 0 (the paragraph's indents place it).
//     A list that does not start at 1 has ListStart, and its paragraphs' block formats have
//     QTextFormat::ListStyle = ListStyleUndefined: the layout leaves their numbers to
//     platform/ListMarkers. A list item's paragraph mark has the format of its first
//     character, which the layout draws the marker in.
// Pictures
//   a QTextImageFormat whose name is a document resource (QTextDocument::ImageResource holding
//     a QImage); width()/height() are the display size in pixels at 96 dpi. The encoded bytes
//     as read are kept in PictureData and their kind ("png", "jpeg", "wmf", "emf", "dib")
//     in PictureKind, so the writer can write JPEG as JPEG and keep metafiles it cannot draw.
// Tables
//   a QTextTable whose columns are the grid of all its rows' cell edges: a cell wider than one
//     grid column spans several (setColumnWidthConstraints holds the widths in pixels,
//     TableColumnsTwips the exact twips, TableLeftTwips the left edge, \trleft). Merged cells
//     are spanning cells; where a row is narrower than the grid a filler cell (CellFiller)
//     takes the rest, and is not written. Each row's own properties are in TableRows; each
//     cell's borders, shading and padding are QTextTableCellFormat's own, with the exact RTF
//     values in CellBorders, CellShading and CellPaddingTwips. Words the reader keeps without
//     showing them are in the rows' "extra" and in CellExtra, written back as read.
namespace TextFormats {
enum Property : int {
    CharOffsetTwips = QTextFormat::UserProperty + 1,
    Hidden, // on a hidden text object: the text it holds is hidden text (\v)
    LeftIndentTwips = QTextFormat::UserProperty + 10,
    RightIndentTwips,
    FirstIndentTwips,
    TabStopsTwips,
    SpaceBeforeTwips,
    SpaceAfterTwips,
    PictureData = QTextFormat::UserProperty + 20,
    PictureKind,
    PictureWidthTwips,
    PictureHeightTwips,
    ListLevel = QTextFormat::UserProperty + 30, // on a QTextListFormat: its depth, 0 outermost
    ListStart, // on a QTextListFormat: the number of its first item, when not 1
    // on a QTextTableFormat
    TableColumnsTwips = QTextFormat::UserProperty + 60, // QList<int>: grid column widths
    TableLeftTwips,                                     // int: the left edge of the grid
    // QVariantList, one QVariantMap per row: "left", "gap", "align" (0 left, 1 centre,
    // 2 right), "padding" (QList<int> top, left, bottom, right; -1 not given), "borders"
    // (QVariantList of six borders: top, left, bottom, right, inside horizontal, inside
    // vertical) and "extra" (QByteArray: row words kept as read)
    TableRows,
    // on a QTextTableCellFormat
    // QVariantList of four borders (top, left, bottom, right); each a QVariantList of the
    // RTF style word (QByteArray, "brdrs"), width in twips and QColor, or invalid for none
    CellBorders = QTextFormat::UserProperty + 70,
    CellShading,      // QVariantList: shading in hundredths of a percent, pattern QColor
    CellPaddingTwips, // QList<int>: top, left, bottom, right; -1 not given
    CellExtra,        // QByteArray: cell words kept as read
    CellFiller,       // bool: fills the grid where a row is narrower; not written
};

// Pixels of the document's layout per twip (96 dpi).
constexpr double PixelsPerTwip = 1.0 / 15.0;

// Where the layout starts a paragraph's first line. A list item's marker is drawn just before
// its first line, so an item with a hanging first line starts that line at the left indent
// and its marker fills the hanging part, as word processors show it. The twips stay in
// FirstIndentTwips.
constexpr double firstLinePixels(int firstIndentTwips, bool listItem)
{
    return listItem && firstIndentTwips < 0 ? 0.0 : firstIndentTwips * PixelsPerTwip;
}
} // namespace TextFormats
