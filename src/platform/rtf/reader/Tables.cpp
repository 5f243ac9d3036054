// Tables: each cell is read as paragraphs in reading order.
#include "platform/rtf/reader/Tables.h"

#include "platform/rtf/reader/Keywords.h"

namespace RtfRead {

namespace {

enum Word : quint16 { Cell, Row, Intbl, NestTableProps };

} // namespace

void addTableWords(KeywordTable &table)
{
    addWords(table, Kind::Tables,
             {{"cell", Cell},
              {"nestcell", Cell},
              {"row", Row},
              {"nestrow", Row},
              {"intbl", Intbl},
              {"nesttableprops", NestTableProps}});
}

void TablesHandler::word(quint16 code, bool, int)
{
    const State &s = m_reader.state();
    switch (Word(code)) {
    case Cell:
        if (s.dest == Kind::Body)
            m_reader.endParagraph();
        return;
    case Row:
        if (s.dest == Kind::Body && m_reader.blockHasContent())
            m_reader.endParagraph();
        return;
    case Intbl:
    case NestTableProps:
        return;
    }
}

} // namespace RtfRead
