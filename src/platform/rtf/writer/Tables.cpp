// Tables: each row's definition (\trowd ... \cellx), its cells' paragraphs ending in \cell,
// then \row; tables inside cells end their cells with \nestcell and their rows with
// {\*\nesttableprops <definition> \nestrow}{\nonesttables\par}, as Word writes them.
#include "platform/rtf/writer/Writer.h"

#include "platform/rtf/TextFormats.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <cmath>

using namespace TextFormats;

namespace RtfWrite {

namespace {

// Text width the columns of a table made without widths share: 6.5 inches.
constexpr int DefaultTableTwips = 9360;

QByteArray number(int n)
{
    return QByteArray::number(n);
}

// The RTF style word of a border as the document shows it.
const char *styleWord(QTextFrameFormat::BorderStyle style)
{
    switch (style) {
    case QTextFrameFormat::BorderStyle_Double:
        return "brdrdb";
    case QTextFrameFormat::BorderStyle_Dotted:
        return "brdrdot";
    case QTextFrameFormat::BorderStyle_Dashed:
        return "brdrdash";
    case QTextFrameFormat::BorderStyle_DotDash:
        return "brdrdashd";
    case QTextFrameFormat::BorderStyle_DotDotDash:
        return "brdrdashdd";
    case QTextFrameFormat::BorderStyle_Inset:
        return "brdrinset";
    case QTextFrameFormat::BorderStyle_Outset:
        return "brdroutset";
    case QTextFrameFormat::BorderStyle_Ridge:
        return "brdremboss";
    case QTextFrameFormat::BorderStyle_Groove:
        return "brdrengrave";
    case QTextFrameFormat::BorderStyle_None:
        return nullptr;
    default:
        return "brdrs";
    }
}

// The grid's column widths in twips.
QList<int> columnTwips(const QTextTable &table)
{
    const QTextTableFormat f = table.format();
    const QList<int> exact = f.property(TableColumnsTwips).value<QList<int>>();
    const QList<QTextLength> lengths = f.columnWidthConstraints();
    QList<int> widths;
    int fixed = 0, variable = 0;
    for (int c = 0; c < table.columns(); ++c) {
        const QTextLength l = lengths.value(c);
        if (l.type() == QTextLength::FixedLength)
            fixed += int(std::lround(l.rawValue() / PixelsPerTwip));
        else if (l.type() == QTextLength::VariableLength)
            ++variable;
    }
    for (int c = 0; c < table.columns(); ++c) {
        const QTextLength l = lengths.value(c);
        int w = 0;
        if (l.type() == QTextLength::FixedLength) {
            w = int(std::lround(l.rawValue() / PixelsPerTwip));
            // The exact twips, while they agree with the pixels.
            if (exact.size() == table.columns() && std::abs(exact[c] - w) <= 8)
                w = exact[c];
        } else if (l.type() == QTextLength::PercentageLength) {
            w = int(std::lround(DefaultTableTwips * l.rawValue() / 100.0));
        } else {
            w = std::max(0, DefaultTableTwips - fixed) / std::max(1, variable);
        }
        widths.append(std::max(w, 1));
    }
    return widths;
}

bool isFiller(const QTextTableCell &cell)
{
    return cell.format().boolProperty(CellFiller);
}

} // namespace

QByteArray Writer::borderWords(const QVariant &border)
{
    const QVariantList b = border.toList();
    if (b.size() < 3 || b[0].toByteArray().isEmpty())
        return {};
    QByteArray out = "\\" + b[0].toByteArray() + "\\brdrw" + number(b[1].toInt());
    const QColor color = b[2].value<QColor>();
    if (color.isValid())
        out += "\\brdrcf" + number(colorIndex(color));
    return out;
}

bool Writer::rowHasTables(const QTextTable &table, int row) const
{
    for (const QTextFrame *child : table.childFrames()) {
        if (table.cellAt(child->firstPosition() - 1).row() == row)
            return true;
    }
    return false;
}

QByteArray Writer::rowDefinition(const QTextTable &table, int row, const QList<int> &widths,
                                 int left)
{
    const QTextTableFormat tf = table.format();
    const QVariantMap props = tf.property(TableRows).toList().value(row).toMap();
    // Where the row's first real cell starts.
    int rowLeft = left;
    int firstColumn = 0;
    while (firstColumn < table.columns() && isFiller(table.cellAt(row, firstColumn))) {
        const QTextTableCell filler = table.cellAt(row, firstColumn);
        for (int c = firstColumn; c < firstColumn + filler.columnSpan(); ++c)
            rowLeft += widths.value(c);
        firstColumn += filler.columnSpan();
    }

    QByteArray d = "\\trowd";
    const QTextTableCellFormat firstCell =
        table.cellAt(row, firstColumn).format().toTableCellFormat();
    const int gap = props.contains(QStringLiteral("gap"))
                        ? props.value(QStringLiteral("gap")).toInt()
                        : int(std::lround(firstCell.leftPadding() / PixelsPerTwip));
    if (gap >= 0)
        d += "\\trgaph" + number(gap);
    d += "\\trleft" + number(rowLeft);
    int align = props.value(QStringLiteral("align"), -1).toInt();
    if (align < 0) {
        const Qt::Alignment a = tf.alignment() & Qt::AlignHorizontal_Mask;
        align = a & Qt::AlignHCenter ? 1 : a & Qt::AlignRight ? 2 : 0;
    }
    if (align == 1)
        d += "\\trqc";
    else if (align == 2)
        d += "\\trqr";
    const QList<int> padding = props.value(QStringLiteral("padding")).value<QList<int>>();
    static const char *const padWords[] = {"t", "l", "b", "r"};
    for (qsizetype side = 0; side < padding.size() && side < 4; ++side) {
        if (padding[side] >= 0)
            d += QByteArray("\\trpadd") + padWords[side] + number(padding[side]) + "\\trpaddf" +
                 padWords[side] + "3";
    }
    const QVariantList rowBorders = props.value(QStringLiteral("borders")).toList();
    static const char *const rowSides[] = {"t", "l", "b", "r", "h", "v"};
    for (qsizetype side = 0; side < rowBorders.size() && side < 6; ++side) {
        const QByteArray words = borderWords(rowBorders[side]);
        if (!words.isEmpty())
            d += QByteArray("\\trbrdr") + rowSides[side] + words;
    }
    d += props.value(QStringLiteral("extra")).toByteArray();

    // A table made without the cells' own borders shows the table's border on every side.
    const qreal tableBorder = tf.border();
    int right = left;
    for (int c = 0; c < table.columns(); c += std::max(1, table.cellAt(row, c).columnSpan())) {
        const QTextTableCell cell = table.cellAt(row, c);
        for (int k = c; k < c + cell.columnSpan(); ++k)
            right += widths.value(k);
        if (isFiller(cell))
            continue;
        const QTextTableCellFormat f = cell.format().toTableCellFormat();
        if (cell.row() < row)
            d += "\\clvmrg";
        else if (cell.rowSpan() > 1)
            d += "\\clvmgf";
        if (f.verticalAlignment() == QTextCharFormat::AlignMiddle)
            d += "\\clvertalc";
        else if (f.verticalAlignment() == QTextCharFormat::AlignBottom)
            d += "\\clvertalb";
        static const char *const sides[] = {"t", "l", "b", "r"};
        if (f.hasProperty(CellBorders)) {
            const QVariantList borders = f.property(CellBorders).toList();
            for (qsizetype side = 0; side < borders.size() && side < 4; ++side) {
                const QByteArray words = borderWords(borders[side]);
                if (!words.isEmpty())
                    d += QByteArray("\\clbrdr") + sides[side] + words;
            }
        } else {
            const qreal widthsPx[] = {f.topBorder(), f.leftBorder(), f.bottomBorder(),
                                      f.rightBorder()};
            const QTextFrameFormat::BorderStyle styles[] = {f.topBorderStyle(), f.leftBorderStyle(),
                                                            f.bottomBorderStyle(),
                                                            f.rightBorderStyle()};
            const QBrush brushes[] = {f.topBorderBrush(), f.leftBorderBrush(),
                                      f.bottomBorderBrush(), f.rightBorderBrush()};
            for (int side = 0; side < 4; ++side) {
                static constexpr int ownProperty[] = {
                    QTextFormat::TableCellTopBorder, QTextFormat::TableCellLeftBorder,
                    QTextFormat::TableCellBottomBorder, QTextFormat::TableCellRightBorder};
                const bool own = f.hasProperty(ownProperty[side]);
                const qreal width = own ? widthsPx[side] : tableBorder;
                const char *style = own ? styleWord(styles[side]) : styleWord(tf.borderStyle());
                if (width <= 0 || !style)
                    continue;
                const QBrush brush = own ? brushes[side] : tf.borderBrush();
                QVariantList border{QByteArray(style), int(std::lround(width / PixelsPerTwip)),
                                    brush.style() != Qt::NoBrush ? brush.color()
                                                                 : QColor(Qt::black)};
                d += QByteArray("\\clbrdr") + sides[side] + borderWords(border);
            }
        }
        if (f.hasProperty(CellShading)) {
            const QVariantList shading = f.property(CellShading).toList();
            const QColor background = shading.value(2).value<QColor>();
            const QColor pattern = shading.value(1).value<QColor>();
            if (background.isValid())
                d += "\\clcbpat" + number(colorIndex(background));
            if (pattern.isValid())
                d += "\\clcfpat" + number(colorIndex(pattern));
            d += "\\clshdng" + number(shading.value(0).toInt());
        } else if (f.background().style() != Qt::NoBrush) {
            d += "\\clcbpat" + number(colorIndex(f.background().color()));
        }
        const QList<int> own = f.property(CellPaddingTwips).value<QList<int>>();
        // Word's cell padding words name top and left the wrong way round.
        static const char *const padSides[] = {"l", "t", "b", "r"};
        for (qsizetype side = 0; side < own.size() && side < 4; ++side) {
            if (own[side] >= 0)
                d += QByteArray("\\clpad") + padSides[side] + number(own[side]) + "\\clpadf" +
                     padSides[side] + "3";
        }
        d += f.property(CellExtra).toByteArray();
        d += "\\cellx" + number(right);
    }
    return d;
}

void Writer::writeTable(const QTextTable &table, int depth)
{
    const QList<int> widths = columnTwips(table);
    const QTextTableFormat tf = table.format();
    const int left = tf.hasProperty(TableLeftTwips)
                         ? tf.intProperty(TableLeftTwips)
                         : int(std::lround(tf.leftMargin() / PixelsPerTwip));
    const int outerDepth = m_depth;
    if (depth == 1 && !m_paraWritten) {
        // Some readers want a paragraph's properties before the first row.
        word("pard");
        m_body.append("\r\n");
        m_delimit = false;
    }
    for (int row = 0; row < table.rows(); ++row) {
        const QByteArray definition = rowDefinition(table, row, widths, left);
        if (depth == 1) {
            m_body.append(definition).append("\r\n");
            m_delimit = false;
        }
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(row, c);
            if (cell.column() != c || isFiller(cell))
                continue;
            const char *mark = depth == 1 ? "cell" : "nestcell";
            m_depth = depth;
            if (cell.row() != row) {
                // A cell merged into the one above: an empty paragraph.
                m_paraWritten = false;
                writeParagraphProps(table.document()->findBlock(cell.firstPosition()));
                word(mark);
                m_body.append("\r\n");
                m_delimit = false;
                continue;
            }
            for (auto it = cell.begin(); !it.atEnd(); ++it) {
                if (const auto *inner = qobject_cast<const QTextTable *>(it.currentFrame())) {
                    writeTable(*inner, depth + 1);
                    m_depth = depth;
                    continue;
                }
                const QTextBlock block = it.currentBlock();
                if (!block.isValid() || opensFrameBeforeTable(it))
                    continue;
                auto next = it;
                ++next;
                writeBlock(block, next.atEnd() ? mark : "par");
            }
        }
        m_depth = depth;
        if (depth == 1) {
            // The definition again at the row's end, when tables inside it gave theirs since.
            if (rowHasTables(table, row))
                m_body.append("{").append(definition).append("\\row}\r\n");
            else
                m_body.append("\\row\r\n");
        } else {
            m_body.append("{\\*\\nesttableprops")
                .append(definition)
                .append("\\nestrow}{\\nonesttables\\par}\r\n");
        }
        m_delimit = false;
        m_paraWritten = false; // each row's paragraphs say where they stand
    }
    m_depth = outerDepth;
    m_paraWritten = false; // the next paragraph says where it stands
}

} // namespace RtfWrite
