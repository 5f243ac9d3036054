// Tables: row definitions, cells and rows; the QTextTable made when a table ends.
#include "platform/rtf/reader/Tables.h"

#include "platform/rtf/TextFormats.h"
#include "platform/rtf/reader/Fonts.h"
#include "platform/rtf/reader/Keywords.h"
#include "platform/rtf/reader/Lists.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <algorithm>
#include <charconv>
#include <unordered_map>

using namespace TextFormats;

namespace RtfRead {

namespace {

// Word's limits: tables nest at most this deep, and a row has at most 63 cells.
constexpr int MaxTableDepth = 16;
constexpr int MaxCells = 63;
// A grid wider than a row can be (rows that share no cell edges) falls back to one column
// per cell.
constexpr int MaxColumns = 63;
// Cells of one QTextTable (rows times columns, before merging); longer tables are split.
constexpr int MaxSlots = 100000;
constexpr int DefaultCellTwips = 1440;
// The widest a cell's right edge is taken to be.
constexpr int MaxEdgeTwips = 63360;

enum Group : quint8 { NestTableProps };

enum Word : quint16 {
    CellWord,
    NestCellWord,
    RowWord,
    NestRowWord,
    Intbl,
    Itap,
    NestTablePropsWord,
    Trowd,
    TrLeft,
    TrGaph,
    TrQl,
    TrQc,
    TrQr,
    TrPadd, // + side (top, left, bottom, right)
    TrPaddUnit = TrPadd + 4,
    TrBrdr = TrPaddUnit + 4, // + side (top, left, bottom, right, inside h, inside v)
    CellX = TrBrdr + 6,
    ClMgf,
    ClMrg,
    ClVmgf,
    ClVmrg,
    ClVertAlT,
    ClVertAlC,
    ClVertAlB,
    ClBrdr, // + side (top, left, bottom, right)
    ClCbPat = ClBrdr + 4,
    ClCfPat,
    ClShdng,
    ClPad,                 // + side
    ClPadUnit = ClPad + 4, // + side
    BrdrW = ClPadUnit + 4,
    BrdrCf,
    BrdrNone,
    ParaBorder, // a paragraph's border: the border words after it are not a table's
    // Border styles, and row and cell words kept as read: the base plus the word's index
    BorderStyleBase = 1000,
    RowExtraBase = 2000,
    CellExtraBase = 3000,
};

// Border styles: the RTF word, and how it shows.
struct BorderStyle
{
    const char *word;
    QTextFrameFormat::BorderStyle style;
};
constexpr BorderStyle BorderStyles[] = {
    {"brdrs", QTextFrameFormat::BorderStyle_Solid},
    {"brdrth", QTextFrameFormat::BorderStyle_Solid},
    {"brdrsh", QTextFrameFormat::BorderStyle_Solid},
    {"brdrhair", QTextFrameFormat::BorderStyle_Solid},
    {"brdrframe", QTextFrameFormat::BorderStyle_Solid},
    {"brdrtriple", QTextFrameFormat::BorderStyle_Double},
    {"brdrdb", QTextFrameFormat::BorderStyle_Double},
    {"brdrdot", QTextFrameFormat::BorderStyle_Dotted},
    {"brdrdash", QTextFrameFormat::BorderStyle_Dashed},
    {"brdrdashsm", QTextFrameFormat::BorderStyle_Dashed},
    {"brdrdashd", QTextFrameFormat::BorderStyle_DotDash},
    {"brdrdashdd", QTextFrameFormat::BorderStyle_DotDotDash},
    {"brdrdashdotstr", QTextFrameFormat::BorderStyle_DotDash},
    {"brdrinset", QTextFrameFormat::BorderStyle_Inset},
    {"brdroutset", QTextFrameFormat::BorderStyle_Outset},
    {"brdremboss", QTextFrameFormat::BorderStyle_Ridge},
    {"brdrengrave", QTextFrameFormat::BorderStyle_Groove},
    {"brdrwavy", QTextFrameFormat::BorderStyle_Solid},
    {"brdrwavydb", QTextFrameFormat::BorderStyle_Double},
    {"brdrtnthsg", QTextFrameFormat::BorderStyle_Double},
    {"brdrthtnsg", QTextFrameFormat::BorderStyle_Double},
    {"brdrtnthtnsg", QTextFrameFormat::BorderStyle_Double},
    {"brdrtnthmg", QTextFrameFormat::BorderStyle_Double},
    {"brdrthtnmg", QTextFrameFormat::BorderStyle_Double},
    {"brdrtnthtnmg", QTextFrameFormat::BorderStyle_Double},
    {"brdrtnthlg", QTextFrameFormat::BorderStyle_Double},
    {"brdrthtnlg", QTextFrameFormat::BorderStyle_Double},
    {"brdrtnthtnlg", QTextFrameFormat::BorderStyle_Double},
};

// Row and cell words kept as read, without being shown.
constexpr const char *RowExtraWords[] = {
    "trrh",           "trhdr",          "trkeep",       "trkeepfollow", "trautofit",
    "trftsWidth",     "trwWidth",       "trftsWidthA",  "trwWidthA",    "trftsWidthB",
    "trwWidthB",      "tblind",         "tblindtype",   "trspdl",       "trspdt",
    "trspdb",         "trspdr",         "trspdfl",      "trspdft",      "trspdfb",
    "trspdfr",        "tbllkhdrrows",   "tbllklastrow", "tbllkhdrcols", "tbllklastcol",
    "tbllknorowband", "tbllknocolband", "tbllkborder",  "tbllkshading", "tbllkfont",
    "tbllkcolor",     "tbllkbestfit",   "tabsnoovrlp",  "tphcol",       "tphmrg",
    "tphpg",          "tposnegx",       "tposnegy",     "tposx",        "tposxc",
    "tposxi",         "tposxl",         "tposxo",       "tposxr",       "tposy",
    "tposyb",         "tposyc",         "tposyil",      "tposyin",      "tposyout",
    "tposyt",         "tpvmrg",         "tpvpara",      "tpvpg",        "tdfrmtxtBottom",
    "tdfrmtxtLeft",   "tdfrmtxtRight",  "tdfrmtxtTop",  "rtlrow",       "ltrrow"};
constexpr const char *CellExtraWords[] = {
    "clftsWidth", "clwWidth",    "clNoWrap",    "clFitText",   "clhidemark",   "cltxlrtb",
    "cltxtbrl",   "cltxbtlr",    "cltxlrtbv",   "cltxtbrlv",   "clshdrawnil",  "clbghoriz",
    "clbgvert",   "clbgfdiag",   "clbgbdiag",   "clbgcross",   "clbgdcross",   "clbgdkhor",
    "clbgdkvert", "clbgdkfdiag", "clbgdkbdiag", "clbgdkcross", "clbgdkdcross", "clspl",
    "clspt",      "clspb",       "clspr",       "clspfl",      "clspft",       "clspfb",
    "clspfr",     "clvmgf_",     "cldglu",      "cldgll"};

QTextFrameFormat::BorderStyle shownStyle(const QByteArray &word)
{
    for (const BorderStyle &s : BorderStyles) {
        if (word == s.word)
            return s.style;
    }
    return QTextFrameFormat::BorderStyle_Solid;
}

} // namespace

struct TablesHandler::OpenTable
{
    std::unique_ptr<QTextDocument> doc;
    Reader::Place outer;
    ListsHandler::Runs outerLists;
    std::vector<Row> rows;
    std::vector<CellRange> cells; // of the row being read
    int cellFirst = 0;            // the block the next cell starts with
};

void addTableWords(KeywordTable &table)
{
    addWords(table, Kind::Tables,
             {{"cell", CellWord},
              {"nestcell", NestCellWord},
              {"row", RowWord},
              {"nestrow", NestRowWord},
              {"intbl", Intbl},
              {"itap", Itap},
              {"nesttableprops", NestTablePropsWord},
              {"trowd", Trowd},
              {"trleft", TrLeft},
              {"trgaph", TrGaph},
              {"trql", TrQl},
              {"trqc", TrQc},
              {"trqr", TrQr},
              {"trpaddt", TrPadd + 0},
              {"trpaddl", TrPadd + 1},
              {"trpaddb", TrPadd + 2},
              {"trpaddr", TrPadd + 3},
              {"trpaddft", TrPaddUnit + 0},
              {"trpaddfl", TrPaddUnit + 1},
              {"trpaddfb", TrPaddUnit + 2},
              {"trpaddfr", TrPaddUnit + 3},
              {"cellx", CellX},
              {"clmgf", ClMgf},
              {"clmrg", ClMrg},
              {"clvmgf", ClVmgf},
              {"clvmrg", ClVmrg},
              {"clvertalt", ClVertAlT},
              {"clvertalc", ClVertAlC},
              {"clvertalb", ClVertAlB},
              {"clcbpat", ClCbPat},
              {"clcfpat", ClCfPat},
              {"clshdng", ClShdng},
              // Word's cell padding words name top and left the wrong way round; other
              // readers and writers follow Word.
              {"clpadl", ClPad + 0},
              {"clpadt", ClPad + 1},
              {"clpadb", ClPad + 2},
              {"clpadr", ClPad + 3},
              {"clpadfl", ClPadUnit + 0},
              {"clpadft", ClPadUnit + 1},
              {"clpadfb", ClPadUnit + 2},
              {"clpadfr", ClPadUnit + 3},
              {"brdrw", BrdrW},
              {"brdrcf", BrdrCf},
              {"brdrnone", BrdrNone},
              {"brdrnil", BrdrNone},
              {"brdrtbl", BrdrNone},
              {"brdrt", ParaBorder},
              {"brdrb", ParaBorder},
              {"brdrl", ParaBorder},
              {"brdrr", ParaBorder},
              {"brdrbtw", ParaBorder},
              {"brdrbar", ParaBorder},
              {"box", ParaBorder},
              {"chbrdr", ParaBorder}});
    addWords(table, Kind::Tables,
             {{"trbrdrt", TrBrdr + 0},
              {"trbrdrl", TrBrdr + 1},
              {"trbrdrb", TrBrdr + 2},
              {"trbrdrr", TrBrdr + 3},
              {"trbrdrh", TrBrdr + 4},
              {"trbrdrv", TrBrdr + 5},
              {"clbrdrt", ClBrdr + 0},
              {"clbrdrl", ClBrdr + 1},
              {"clbrdrb", ClBrdr + 2},
              {"clbrdrr", ClBrdr + 3}});
    for (quint16 i = 0; i < std::size(BorderStyles); ++i)
        table[BorderStyles[i].word] = Keyword{Kind::Tables, quint16(BorderStyleBase + i)};
    for (quint16 i = 0; i < std::size(RowExtraWords); ++i)
        table[RowExtraWords[i]] = Keyword{Kind::Tables, quint16(RowExtraBase + i)};
    for (quint16 i = 0; i < std::size(CellExtraWords); ++i)
        table[CellExtraWords[i]] = Keyword{Kind::Tables, quint16(CellExtraBase + i)};
}

TablesHandler::TablesHandler(Reader &reader) : Handler(reader)
{}

TablesHandler::~TablesHandler() = default;

TablesHandler::RowDef &TablesHandler::rowDef(int depth)
{
    const size_t i = size_t(std::clamp(depth, 1, MaxTableDepth) - 1);
    if (m_rowDefs.size() <= i)
        m_rowDefs.resize(i + 1);
    return m_rowDefs[i];
}

TablesHandler::Border *TablesHandler::borderTarget()
{
    if (m_target == Target::Cell)
        return &m_cell.borders[size_t(m_targetSide)];
    if (m_target == Target::Row)
        return &rowDef(m_defDepth).borders[size_t(m_targetSide)];
    return nullptr;
}

void TablesHandler::addExtra(QByteArray &to, const char *word, bool hasParam, int param)
{
    if (to.size() > 4096)
        return;
    to.append('\\').append(word);
    if (hasParam) {
        char digits[16];
        const auto r = std::to_chars(digits, digits + sizeof digits, param);
        to.append(digits, r.ptr - digits);
    }
}

void TablesHandler::word(quint16 code, bool hasParam, int param)
{
    State &s = m_reader.state();
    if (code >= CellExtraBase) {
        addExtra(m_cell.extra, CellExtraWords[code - CellExtraBase], hasParam, param);
        return;
    }
    if (code >= RowExtraBase) {
        addExtra(rowDef(m_defDepth).extra, RowExtraWords[code - RowExtraBase], hasParam, param);
        return;
    }
    if (code >= BorderStyleBase) {
        if (Border *b = borderTarget())
            b->style = BorderStyles[code - BorderStyleBase].word;
        return;
    }
    if (code >= TrPadd && code < TrPadd + 4) {
        rowDef(m_defDepth).padding[code - TrPadd] = std::clamp(param, 0, 31680);
        return;
    }
    if (code >= TrPaddUnit && code < TrPaddUnit + 4) {
        rowDef(m_defDepth).paddingUnit[code - TrPaddUnit] = param;
        return;
    }
    if (code >= TrBrdr && code < TrBrdr + 6) {
        m_target = Target::Row;
        m_targetSide = code - TrBrdr;
        rowDef(m_defDepth).hasBorder[size_t(m_targetSide)] = true;
        rowDef(m_defDepth).borders[size_t(m_targetSide)] = {"brdrs", 0, 0};
        return;
    }
    if (code >= ClBrdr && code < ClBrdr + 4) {
        m_target = Target::Cell;
        m_targetSide = code - ClBrdr;
        m_cell.hasBorder[size_t(m_targetSide)] = true;
        m_cell.borders[size_t(m_targetSide)] = {"brdrs", 0, 0};
        return;
    }
    if (code >= ClPad && code < ClPad + 4) {
        m_cell.padding[size_t(code - ClPad)] = std::clamp(param, 0, 31680);
        return;
    }
    if (code >= ClPadUnit && code < ClPadUnit + 4) {
        m_cell.paddingUnit[size_t(code - ClPadUnit)] = param;
        return;
    }
    switch (Word(code)) {
    case CellWord:
    case NestCellWord:
        if (s.dest == Kind::Body)
            endCell(code == CellWord ? 1 : std::clamp(s.para.itap, 2, MaxTableDepth));
        return;
    case RowWord:
    case NestRowWord:
        if (s.dest == Kind::Body)
            endRow(code == RowWord ? 1 : std::clamp(s.para.itap, 2, MaxTableDepth));
        return;
    case Intbl:
        s.para.itap = std::max(s.para.itap, 1);
        return;
    case Itap:
        s.para.itap = std::clamp(param, 0, MaxTableDepth);
        return;
    case NestTablePropsWord:
        s.group = Kind::Tables;
        s.groupCode = NestTableProps;
        return;
    case Trowd:
        m_defDepth =
            s.inGroup(Kind::Tables, NestTableProps) ? std::clamp(s.para.itap, 2, MaxTableDepth) : 1;
        rowDef(m_defDepth) = RowDef();
        m_cell = CellDef();
        m_target = Target::None;
        return;
    case TrLeft:
        rowDef(m_defDepth).left = std::clamp(param, -31680, 31680);
        return;
    case TrGaph:
        rowDef(m_defDepth).gap = std::clamp(param, 0, 31680);
        return;
    case TrQl:
    case TrQc:
    case TrQr:
        rowDef(m_defDepth).align = code - TrQl;
        return;
    case CellX: {
        RowDef &def = rowDef(m_defDepth);
        m_cell.right = std::clamp(param, -31680, MaxEdgeTwips);
        if (def.cells.size() < size_t(MaxCells))
            def.cells.push_back(std::move(m_cell));
        m_cell = CellDef();
        m_target = Target::None;
        return;
    }
    case ClMgf:
        m_cell.mergeFirst = true;
        return;
    case ClMrg:
        m_cell.merge = true;
        return;
    case ClVmgf:
        m_cell.vMergeFirst = true;
        return;
    case ClVmrg:
        m_cell.vMerge = true;
        return;
    case ClVertAlT:
    case ClVertAlC:
    case ClVertAlB:
        m_cell.vAlign = code - ClVertAlT;
        return;
    case ClCbPat:
        m_cell.background = std::max(0, param);
        return;
    case ClCfPat:
        m_cell.pattern = std::max(0, param);
        return;
    case ClShdng:
        m_cell.shading = std::clamp(param, 0, 10000);
        return;
    case BrdrW:
        if (Border *b = borderTarget())
            b->width = std::clamp(param, 0, 255);
        return;
    case BrdrCf:
        if (Border *b = borderTarget())
            b->color = std::max(0, param);
        return;
    case BrdrNone:
        if (Border *b = borderTarget())
            b->style.clear();
        return;
    case ParaBorder:
        m_target = Target::None;
        return;
    default:
        return;
    }
}

void TablesHandler::syncDepth(int depth)
{
    if (m_closing)
        return;
    depth = std::clamp(depth, 0, MaxTableDepth);
    while (int(m_open.size()) > depth)
        closeTable();
    while (int(m_open.size()) < depth)
        openTable();
}

void TablesHandler::openTable()
{
    auto open = std::make_unique<OpenTable>();
    open->outer = m_reader.leavePlace();
    open->outerLists = m_reader.lists().suspendRuns();
    open->doc = std::make_unique<QTextDocument>();
    open->doc->setUndoRedoEnabled(false);
    m_reader.enterFreshBlock(QTextCursor(open->doc.get()));
    m_open.push_back(std::move(open));
    m_reader.setTableDepth(int(m_open.size()));
}

bool TablesHandler::cellInProgress() const
{
    // Paragraphs after the last \cell: any content, or any block with text.
    if (m_reader.blockHasContent())
        return true;
    m_reader.flushRun();
    const OpenTable &t = *m_open.back();
    const QTextBlock current = m_reader.cursor().block();
    const QTextBlock first = t.doc->findBlockByNumber(t.cellFirst);
    for (QTextBlock b = first; b.isValid() && b.blockNumber() <= current.blockNumber();
         b = b.next()) {
        if (b.length() > 1)
            return true;
    }
    // A table nested in the cell, even one of empty cells.
    if (first.isValid()) {
        for (const QTextFrame *frame : t.doc->rootFrame()->childFrames()) {
            if (frame->firstPosition() > first.position())
                return true;
        }
    }
    return false;
}

void TablesHandler::endCell(int depth)
{
    m_reader.state().para.itap = depth;
    if (int(m_open.size()) < depth && m_reader.blockHasContent()) {
        // A cell mark ends a paragraph not marked as in a table: the paragraph is the cell's.
        const QTextDocumentFragment paragraph = m_reader.takeParagraph();
        syncDepth(depth);
        m_reader.cursor().insertFragment(paragraph);
        m_reader.setBlockHasContent();
    }
    m_reader.syncTables();
    m_reader.endParagraph();
    m_reader.flushRun(); // the cursor's block is then the cell's last
    OpenTable &t = *m_open.back();
    const int last = m_reader.cursor().blockNumber();
    if (t.cells.size() >= size_t(MaxCells))
        t.cells.back().last = last; // one cell too many: its paragraphs join the last cell
    else
        t.cells.push_back({t.cellFirst, last});
    t.cellFirst = last + 1;
}

void TablesHandler::endRow(int depth)
{
    if (int(m_open.size()) < depth)
        return;
    if (int(m_open.size()) > depth) {
        m_reader.state().para.itap = depth;
        syncDepth(depth);
    }
    if (cellInProgress())
        endCell(depth); // the row's last paragraphs had no \cell
    OpenTable &t = *m_open.back();
    if (t.cells.empty())
        return;
    t.rows.push_back({rowDef(depth), std::move(t.cells)});
    t.cells.clear();
}

void TablesHandler::closeTable()
{
    OpenTable &t = *m_open.back();
    m_reader.flushBytes(true);
    m_closing = true;
    if (cellInProgress()) {
        // A table cut short: its last paragraphs make a cell, its last cells a row.
        if (m_reader.blockHasContent())
            m_reader.endParagraph();
        m_reader.flushRun();
        const int last = m_reader.cursor().blockNumber();
        if (t.cells.size() < size_t(MaxCells))
            t.cells.push_back({t.cellFirst, last});
    }
    if (!t.cells.empty()) {
        t.rows.push_back({rowDef(int(m_open.size())), std::move(t.cells)});
        t.cells.clear();
    }
    m_reader.flushRun();
    m_closing = false;
    std::unique_ptr<OpenTable> open = std::move(m_open.back());
    m_open.pop_back();
    m_reader.setTableDepth(int(m_open.size()));
    m_reader.lists().resumeRuns(std::move(open->outerLists));
    QTextCursor cursor = open->outer.cursor;
    build(*open, cursor, open->outer.pageBreak);
    m_reader.enterFreshBlock(cursor);
}

namespace {

// Copies paragraphs (with the tables inside them) from a table's own document into a cell.
class Copier
{
public:
    explicit Copier(const QTextDocument &src) : m_src(src) {}

    // Copies the blocks [first, last] of `base` (a frame of the source) to the cursor, the
    // first into the cursor's (empty) block.
    void copy(QTextBlock first, int lastPosition, const QTextFrame *base, QTextCursor &dst)
    {
        bool intoCurrent = true;
        std::unordered_map<const QTextList *, QTextList *> lists;
        for (QTextBlock b = first; b.isValid() && b.position() <= lastPosition;) {
            const QTextFrame *frame = frameOf(b);
            if (frame != base) {
                while (frame && frame->parentFrame() != base)
                    frame = frame->parentFrame();
                if (!frame)
                    break;
                if (const auto *table = qobject_cast<const QTextTable *>(frame))
                    copyTable(*table, dst);
                b = m_src.findBlock(frame->lastPosition() + 1);
                intoCurrent = true;
                continue;
            }
            // Formats may name objects (lists, the table of a cell) of the source document.
            QTextBlockFormat format = b.blockFormat();
            format.setObjectIndex(-1);
            QTextCharFormat charFormat = b.charFormat();
            charFormat.setObjectIndex(-1);
            if (intoCurrent) {
                // A cell's first block keeps the cell's format as its character format.
                dst.setBlockFormat(format);
                dst.mergeBlockCharFormat(charFormat);
            } else {
                dst.insertBlock(format, charFormat);
            }
            intoCurrent = false;
            if (const QTextList *list = b.textList()) {
                auto it = lists.find(list);
                if (it == lists.end())
                    lists.emplace(list, dst.createList(list->format()));
                else
                    it->second->add(dst.block());
            }
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                const QTextCharFormat cf = fragment.charFormat();
                if (cf.isImageFormat()) {
                    for (int i = 0; i < fragment.length(); ++i)
                        dst.insertImage(cf.toImageFormat());
                } else {
                    dst.insertText(fragment.text(), cf);
                }
            }
            b = b.next();
        }
    }

private:
    const QTextFrame *frameOf(const QTextBlock &b) const { return QTextCursor(b).currentFrame(); }

    void copyTable(const QTextTable &table, QTextCursor &dst)
    {
        QTextTable *made = dst.insertTable(table.rows(), table.columns(), table.format());
        for (int r = 0; r < table.rows(); ++r) {
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                if (cell.row() == r && cell.column() == c &&
                    (cell.rowSpan() > 1 || cell.columnSpan() > 1))
                    made->mergeCells(r, c, cell.rowSpan(), cell.columnSpan());
            }
        }
        for (int r = 0; r < table.rows(); ++r) {
            for (int c = 0; c < table.columns(); ++c) {
                const QTextTableCell cell = table.cellAt(r, c);
                if (cell.row() != r || cell.column() != c)
                    continue;
                QTextTableCell target = made->cellAt(r, c);
                target.setFormat(cell.format());
                QTextCursor into = target.firstCursorPosition();
                copy(m_src.findBlock(cell.firstPosition()), cell.lastPosition(), &table, into);
            }
        }
        dst.setPosition(made->lastPosition() + 1);
    }

    const QTextDocument &m_src;
};

QColor colorOr(const QColor &c, const QColor &fallback)
{
    return c.isValid() ? c : fallback;
}

} // namespace

void TablesHandler::build(OpenTable &t, QTextCursor &cursor, bool pageBreak)
{
    if (t.rows.empty())
        return;
    FontsHandler &fonts = m_reader.fonts();

    // Each row's cells as [left, right) edges in twips.
    struct Placed
    {
        int left, right;
        const CellDef *def;
        CellRange range;
    };
    static const CellDef plainCell;
    std::vector<std::vector<Placed>> placed(t.rows.size());
    std::vector<int> edges;
    for (size_t r = 0; r < t.rows.size(); ++r) {
        const Row &row = t.rows[r];
        int left = row.def.left;
        edges.push_back(left);
        std::vector<int> rights(row.cells.size());
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const int right =
                i < row.def.cells.size() ? row.def.cells[i].right : left + DefaultCellTwips;
            left = rights[i] = std::max(right, left + 1);
        }
        // Cells made a twip wide past the widest edge come back inside it, so that the
        // table reads back with the same grid.
        for (size_t i = rights.size(); i-- > 0;)
            rights[i] =
                std::min(rights[i], i + 1 < rights.size() ? rights[i + 1] - 1 : MaxEdgeTwips);
        left = row.def.left;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            const CellDef *def = i < row.def.cells.size() ? &row.def.cells[i] : &plainCell;
            placed[r].push_back({left, rights[i], def, row.cells[i]});
            edges.push_back(rights[i]);
            left = rights[i];
        }
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    if (edges.size() > size_t(MaxColumns) + 1) {
        // Rows that share no edges: one column per cell, as wide as the widest row's cells.
        size_t widest = 0;
        for (size_t r = 0; r < placed.size(); ++r) {
            if (placed[r].size() > placed[widest].size())
                widest = r;
        }
        edges.clear();
        edges.push_back(placed[widest].front().left);
        for (const Placed &p : placed[widest])
            edges.push_back(p.right);
        for (auto &row : placed) {
            for (size_t i = 0; i < row.size(); ++i) {
                row[i].left = edges[i];
                row[i].right = i + 1 == row.size() ? edges.back() : edges[i + 1];
            }
        }
    }
    auto column = [&edges](int x) {
        return int(std::lower_bound(edges.begin(), edges.end(), x) - edges.begin());
    };
    const int columns = int(edges.size()) - 1;

    QList<int> widthsTwips;
    QList<QTextLength> widths;
    for (int c = 0; c < columns; ++c) {
        widthsTwips.append(edges[size_t(c) + 1] - edges[size_t(c)]);
        widths.append(QTextLength(QTextLength::FixedLength, widthsTwips.back() * PixelsPerTwip));
    }

    // The cells of the QTextTable: spans, merges and fillers.
    struct Spec
    {
        int row, column, rowSpan, columnSpan;
        const CellDef *def;
        std::vector<CellRange> ranges;
        bool filler;
    };
    std::vector<Spec> specs;
    std::vector<int> vertical(size_t(columns), -1); // by first column: the cell merging down
    for (size_t r = 0; r < placed.size(); ++r) {
        int at = 0;
        int previous = -1; // this row's last real cell
        std::vector<bool> continued(size_t(columns), false);
        for (const Placed &p : placed[r]) {
            const int first = column(p.left);
            const int last = std::max(first + 1, column(p.right));
            if (first > at)
                specs.push_back({int(r), at, 1, first - at, nullptr, {}, true});
            at = std::max(at, last);
            if (p.def->merge && previous >= 0 && specs[size_t(previous)].row == int(r)) {
                Spec &into = specs[size_t(previous)];
                into.columnSpan = last - into.column;
                into.ranges.push_back(p.range);
                continue;
            }
            const int v = vertical[size_t(first)];
            if (p.def->vMerge && v >= 0 && specs[size_t(v)].column == first &&
                specs[size_t(v)].columnSpan == last - first &&
                specs[size_t(v)].row + specs[size_t(v)].rowSpan == int(r)) {
                specs[size_t(v)].rowSpan += 1;
                specs[size_t(v)].ranges.push_back(p.range);
                continued[size_t(first)] = true;
                continue;
            }
            specs.push_back({int(r), first, 1, last - first, p.def, {p.range}, false});
            previous = int(specs.size()) - 1;
            if (p.def->vMergeFirst) {
                vertical[size_t(first)] = previous;
                continued[size_t(first)] = true;
            }
        }
        if (at < columns)
            specs.push_back({int(r), at, 1, columns - at, nullptr, {}, true});
        for (int c = 0; c < columns; ++c) {
            if (!continued[size_t(c)])
                vertical[size_t(c)] = -1;
        }
    }

    // Row properties, kept for writing.
    QVariantList rowProps;
    for (const Row &row : t.rows) {
        QVariantMap m;
        m.insert(QStringLiteral("left"), row.def.left);
        m.insert(QStringLiteral("gap"), row.def.gap);
        m.insert(QStringLiteral("align"), row.def.align);
        QList<int> padding;
        for (int side = 0; side < 4; ++side)
            padding.append(row.def.paddingUnit[size_t(side)] == 3 ? row.def.padding[size_t(side)]
                                                                  : -1);
        m.insert(QStringLiteral("padding"), QVariant::fromValue(padding));
        QVariantList borders;
        for (int side = 0; side < 6; ++side) {
            const Border &b = row.def.borders[size_t(side)];
            borders.append(row.def.hasBorder[size_t(side)] && !b.style.isEmpty()
                               ? QVariant(QVariantList{b.style, b.width,
                                                       colorOr(fonts.color(b.color), Qt::black)})
                               : QVariant());
        }
        m.insert(QStringLiteral("borders"), borders);
        m.insert(QStringLiteral("extra"), row.def.extra);
        rowProps.append(m);
    }

    const RowDef &first = t.rows.front().def;
    QTextTableFormat tf;
    tf.setBorder(0);
    tf.setBorderCollapse(true);
    tf.setCellSpacing(0);
    tf.setCellPadding(0);
    tf.setMargin(0);
    tf.setLeftMargin(std::max(0, edges.front()) * PixelsPerTwip);
    static constexpr Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight};
    tf.setAlignment(aligns[std::clamp(first.align, 0, 2)]);
    tf.setColumnWidthConstraints(widths);
    tf.setProperty(TableColumnsTwips, QVariant::fromValue(widthsTwips));
    tf.setProperty(TableLeftTwips, edges.front());
    if (pageBreak)
        tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);

    // The table is made in a document of its own, then inserted whole.
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    QTextCursor made(&doc);
    // Each merge outside an edit block rescans all the document's frames.
    made.beginEditBlock();
    // Long tables are cut into tables of at most MaxSlots cells before merging.
    const int rowsPerTable = std::max(1, MaxSlots / std::max(1, columns));
    Copier copier(*t.doc);
    size_t spec = 0;
    for (int firstRow = 0; firstRow < int(t.rows.size()); firstRow += rowsPerTable) {
        int rows = std::min(rowsPerTable, int(t.rows.size()) - firstRow);
        // A cell merged down past the cut ends at it.
        QTextTableFormat format = tf;
        format.setProperty(TableRows, rowProps.mid(firstRow, rows));
        if (firstRow > 0)
            format.clearProperty(QTextFormat::PageBreakPolicy);
        QTextTable *table = made.insertTable(rows, columns, format);
        const size_t firstSpec = spec;
        for (; spec < specs.size() && specs[spec].row < firstRow + rows; ++spec) {
            Spec &s = specs[spec];
            s.rowSpan = std::min(s.rowSpan, firstRow + rows - s.row);
            if (s.rowSpan > 1 || s.columnSpan > 1)
                table->mergeCells(s.row - firstRow, s.column, s.rowSpan, s.columnSpan);
        }
        for (size_t i = firstSpec; i < spec; ++i) {
            const Spec &s = specs[i];
            const Row &row = t.rows[size_t(s.row)];
            QTextTableCellFormat cf;
            if (s.filler) {
                cf.setProperty(CellFiller, true);
                table->cellAt(s.row - firstRow, s.column).setFormat(cf);
                continue;
            }
            const CellDef &d = *s.def;
            // Padding: the row's gap at the sides, the row's padding, the cell's own.
            std::array<int, 4> pad{0, 0, 0, 0};
            if (row.def.gap >= 0)
                pad[1] = pad[3] = row.def.gap;
            QList<int> own{-1, -1, -1, -1};
            for (size_t side = 0; side < 4; ++side) {
                if (row.def.paddingUnit[side] == 3 && row.def.padding[side] >= 0)
                    pad[side] = row.def.padding[side];
                if (d.paddingUnit[side] == 3 && d.padding[side] >= 0)
                    pad[side] = own[qsizetype(side)] = d.padding[side];
            }
            cf.setTopPadding(pad[0] * PixelsPerTwip);
            cf.setLeftPadding(pad[1] * PixelsPerTwip);
            cf.setBottomPadding(pad[2] * PixelsPerTwip);
            cf.setRightPadding(pad[3] * PixelsPerTwip);
            if (own != QList<int>{-1, -1, -1, -1})
                cf.setProperty(CellPaddingTwips, QVariant::fromValue(own));
            // Borders: the cell's own, else the row's outer or inside borders.
            const bool top = s.row == 0, bottom = s.row + s.rowSpan == int(t.rows.size());
            const bool leftmost = s.column == 0, rightmost = s.column + s.columnSpan == columns;
            const int rowSides[] = {top ? 0 : 4, leftmost ? 1 : 5, bottom ? 2 : 4,
                                    rightmost ? 3 : 5};
            QVariantList kept;
            for (int side = 0; side < 4; ++side) {
                const Border *b = nullptr;
                if (d.hasBorder[size_t(side)]) {
                    b = &d.borders[size_t(side)];
                    kept.append(
                        b->style.isEmpty()
                            ? QVariant()
                            : QVariant(QVariantList{b->style, b->width,
                                                    colorOr(fonts.color(b->color), Qt::black)}));
                } else {
                    kept.append(QVariant());
                    if (row.def.hasBorder[size_t(rowSides[side])])
                        b = &row.def.borders[size_t(rowSides[side])];
                }
                qreal width = 0;
                QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
                QColor color = Qt::black;
                if (b && !b->style.isEmpty()) {
                    width = std::max(1, b->width) * (b->style == "brdrth" ? 2 : 1) * PixelsPerTwip;
                    style = shownStyle(b->style);
                    color = colorOr(fonts.color(b->color), Qt::black);
                }
                switch (side) {
                case 0:
                    cf.setTopBorder(width);
                    cf.setTopBorderStyle(style);
                    cf.setTopBorderBrush(color);
                    break;
                case 1:
                    cf.setLeftBorder(width);
                    cf.setLeftBorderStyle(style);
                    cf.setLeftBorderBrush(color);
                    break;
                case 2:
                    cf.setBottomBorder(width);
                    cf.setBottomBorderStyle(style);
                    cf.setBottomBorderBrush(color);
                    break;
                default:
                    cf.setRightBorder(width);
                    cf.setRightBorderStyle(style);
                    cf.setRightBorderBrush(color);
                    break;
                }
            }
            cf.setProperty(CellBorders, kept);
            // Shading: the pattern colour over the background, in the proportion given.
            const QColor background = d.background > 0 ? fonts.color(d.background) : QColor();
            if (d.shading > 0 || d.pattern >= 0) {
                const QColor pattern =
                    colorOr(d.pattern > 0 ? fonts.color(d.pattern) : QColor(), Qt::black);
                const QColor under = colorOr(background, Qt::white);
                const double k = d.shading / 10000.0;
                if (d.shading > 0 || background.isValid())
                    cf.setBackground(
                        QColor::fromRgbF(float(under.redF() * (1 - k) + pattern.redF() * k),
                                         float(under.greenF() * (1 - k) + pattern.greenF() * k),
                                         float(under.blueF() * (1 - k) + pattern.blueF() * k)));
                cf.setProperty(CellShading,
                               QVariantList{d.shading,
                                            d.pattern > 0 ? fonts.color(d.pattern) : QColor(),
                                            background});
            } else if (background.isValid()) {
                cf.setBackground(background);
            }
            static constexpr QTextCharFormat::VerticalAlignment valign[] = {
                QTextCharFormat::AlignTop, QTextCharFormat::AlignMiddle,
                QTextCharFormat::AlignBottom};
            cf.setVerticalAlignment(valign[std::clamp(d.vAlign, 0, 2)]);
            if (!d.extra.isEmpty())
                cf.setProperty(CellExtra, d.extra);
            QTextTableCell cell = table->cellAt(s.row - firstRow, s.column);
            cell.setFormat(cf);
            QTextCursor into = cell.firstCursorPosition();
            for (size_t k = 0; k < s.ranges.size(); ++k) {
                const CellRange &range = s.ranges[k];
                const QTextBlock firstBlock = t.doc->findBlockByNumber(range.first);
                const QTextBlock lastBlock = t.doc->findBlockByNumber(range.last);
                if (!firstBlock.isValid() || !lastBlock.isValid())
                    continue;
                // Paragraphs of cells merged into this one follow its own, when they have any.
                if (k > 0) {
                    if (range.first == range.last && firstBlock.length() <= 1)
                        continue;
                    into.insertBlock();
                }
                copier.copy(firstBlock, lastBlock.position(), t.doc->rootFrame(), into);
            }
        }
        made.setPosition(table->lastPosition() + 1);
    }
    // Into the document at once: a laid-out document lays the table out once, and a table
    // inserted in pieces inside an edit block may lose its place among the frames.
    made.endEditBlock();
    QTextCursor all(&doc);
    all.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.insertFragment(QTextDocumentFragment(all));
}

} // namespace RtfRead
