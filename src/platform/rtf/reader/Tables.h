#pragma once

#include "platform/rtf/reader/Reader.h"

#include <QColor>

#include <array>
#include <memory>
#include <vector>

class QTextTable;

namespace RtfRead {

// Tables: row definitions (\trowd ... \cellx), cells (\cell, \nestcell) and rows (\row,
// \nestrow) become QTextTables, nested ones inside the cells of their table.
//
// A table's cells are read, in reading order, into a document of the table's own, each cell
// a range of its paragraphs. When the table ends (a paragraph of a smaller depth, or the end
// of the document) every row's definition is known, so the grid of columns is the union of
// all rows' cell edges: the QTextTable is made then, at the place the table stands, and the
// cells' paragraphs are copied into it.
class TablesHandler : public Handler
{
public:
    explicit TablesHandler(Reader &reader);
    ~TablesHandler() override;

    void word(quint16 code, bool hasParam, int param) override;

    // Opens or closes tables until `depth` are open.
    void syncDepth(int depth);

    struct Border
    {
        QByteArray style; // the RTF word, "brdrs"; empty: no border
        int width = 0;    // twips
        int color = 0;    // colour table index
    };
    struct CellDef
    {
        int right = 0; // \cellx
        bool mergeFirst = false, merge = false, vMergeFirst = false, vMerge = false;
        int vAlign = 0; // 0 top, 1 centre, 2 bottom
        std::array<Border, 4> borders;
        std::array<bool, 4> hasBorder{};
        int background = -1, pattern = -1, shading = 0;
        std::array<int, 4> padding{-1, -1, -1, -1}; // top, left, bottom, right
        std::array<int, 4> paddingUnit{};
        QByteArray extra;
    };
    struct RowDef
    {
        int left = 0;
        int gap = -1;
        int align = 0; // 0 left, 1 centre, 2 right
        std::array<int, 4> padding{-1, -1, -1, -1};
        std::array<int, 4> paddingUnit{};
        std::array<Border, 6> borders;
        std::array<bool, 6> hasBorder{};
        QByteArray extra;
        std::vector<CellDef> cells;
    };

private:
    struct CellRange
    {
        int first = 0, last = 0; // block numbers in the table's document
    };
    struct Row
    {
        RowDef def;
        std::vector<CellRange> cells;
    };
    struct OpenTable;

    void openTable();
    void closeTable();
    bool cellInProgress() const;
    void endCell(int depth);
    void endRow(int depth);
    RowDef &rowDef(int depth);
    Border *borderTarget();
    void addExtra(QByteArray &to, const char *word, bool hasParam, int param);
    void build(OpenTable &open, QTextCursor &cursor, bool pageBreak);

    std::vector<std::unique_ptr<OpenTable>> m_open;
    std::vector<RowDef> m_rowDefs; // the definition in force at each depth
    int m_defDepth = 1;            // the depth \trowd and the cell words apply to
    CellDef m_cell;                // the cell being defined, up to its \cellx
    enum class Target : quint8 { None, Cell, Row };
    Target m_target = Target::None;
    int m_targetSide = 0;
    bool m_closing = false;
};

} // namespace RtfRead
