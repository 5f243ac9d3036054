#pragma once

#include <QRect>
#include <memory>
#include <vector>

class QPainter;
class QTextDocument;
class QTextFrame;
class RichTextBox;

// A format-range request: where one page of text goes and which characters it may take.
// Rectangles are in twips in the target's coordinates; character positions are positions in
// the control's Text().
struct FormatRange
{
    QRect rc;     // text rectangle
    QRect rcPage; // whole printable page
    int cpMin = 0;
    int cpMax = -1; // -1: to the end of the text
};

// Lays a rich text control's content out page by page for a text rectangle, as a page
// formatter does: each request fills one page from its first character and answers where the
// next page starts, drawing the page when given a painter. Lines are never split across pages;
// a paragraph that asks for a page break before it starts a new page; a line taller than the
// page gets a page of its own. A table breaks across pages only between lines of all its cells
// (a row of one-line cells moves to the next page whole). The layout is made once per content
// and text width and kept until release(), so counting, locating and drawing pages all see the
// same line breaks.
class PageFormatter
{
public:
    PageFormatter();
    ~PageFormatter();
    PageFormatter(const PageFormatter &) = delete;
    PageFormatter &operator=(const PageFormatter &) = delete;

    // Formats the page of box that starts at range.cpMin. When painter is given the page is
    // drawn into range.rc (painter coordinates in twips). Returns the first character of the
    // next page, or a position at or after the end of the text (or cpMax) when everything
    // fitted; 0 when the text rectangle cannot hold anything.
    int formatRange(const RichTextBox &box, const FormatRange &range, QPainter *painter = nullptr);
    // Drops the cached layout (the request with no record).
    void release();

    // Twips per pixel of the layout: content is laid out at 96 pixels to the inch.
    static constexpr double TwipsPerLayoutPixel = 15.0;

private:
    struct Line
    {
        double top;
        double bottom;
        int docPos;
        bool breakBefore;
    };
    void prepare(const RichTextBox &box, double width);
    void addFrameBands(const QTextFrame &frame, bool breakBefore);
    size_t lineAt(int docPos) const;

    std::unique_ptr<QTextDocument> m_doc;
    const QTextDocument *m_source = nullptr;
    int m_revision = -1;
    double m_width = -1;
    int m_textLength = 0;
    std::vector<Line> m_lines;
};
