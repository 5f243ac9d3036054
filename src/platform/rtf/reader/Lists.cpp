// Lists: \listtable and \listoverridetable, \ls/\ilvl paragraphs and the older \pn.
#include "platform/rtf/reader/Lists.h"

#include "platform/rtf/TextFormats.h"
#include "platform/rtf/reader/Keywords.h"

#include <QTextList>

#include <algorithm>
#include <optional>

using namespace TextFormats;

namespace RtfRead {

namespace {

constexpr int MaxBulletRun = 64;

enum Dest : quint8 { LevelDest, Marker };

enum Group : quint8 {
    ListGroup,
    LevelGroup,
    OverrideGroup,
    PnGroup,
    PnBeforeGroup,
    PnAfterGroup,
    LevelTextGroup
};

enum Word : quint16 {
    PnText,
    PnWord,
    ListTable,
    ListWord,
    ListLevelWord,
    ListOverrideWord,
    PnTxtA,
    PnTxtB,
    LevelTextWord,
    Ls,
    Ilvl,
    ListId,
    LevelNfc,
    LevelStartAt,
    PnLvlBlt,
    PnLvlBody,
    PnLvlCont,
    PnLvl,
    PnDec,
    PnUcLtr,
    PnLcLtr,
    PnUcRm,
    PnLcRm,
    PnStart
};

QTextListFormat::Style listStyle(ListKind kind)
{
    switch (kind) {
    case ListKind::Decimal:
        return QTextListFormat::ListDecimal;
    case ListKind::UpperAlpha:
        return QTextListFormat::ListUpperAlpha;
    case ListKind::LowerAlpha:
        return QTextListFormat::ListLowerAlpha;
    case ListKind::UpperRoman:
        return QTextListFormat::ListUpperRoman;
    case ListKind::LowerRoman:
        return QTextListFormat::ListLowerRoman;
    default:
        return QTextListFormat::ListDisc;
    }
}

ListKind kindFromNfc(int nfc)
{
    switch (nfc) {
    case 0:
        return ListKind::Decimal;
    case 1:
        return ListKind::UpperRoman;
    case 2:
        return ListKind::LowerRoman;
    case 3:
        return ListKind::UpperAlpha;
    case 4:
        return ListKind::LowerAlpha;
    case 23:
        return ListKind::Bullet;
    case 255:
        return ListKind::None;
    default:
        return ListKind::Decimal;
    }
}

// The bullet a marker character draws.
std::optional<QTextListFormat::Style> bulletStyle(QStringView marker)
{
    for (QChar c : marker) {
        switch (c.unicode()) {
        case 'o':
        case 0x25E6: // white bullet
        case 0x2043: // hyphen bullet, which lists draw as a circle
        case 0x25CB:
        case 0xF06F:
            return QTextListFormat::ListCircle;
        case 0x25AA: // black small square
        case 0x25A0:
        case 0xF0A7: // Wingdings square
        case 0xF06E:
        case 0x00A7:
            return QTextListFormat::ListSquare;
        default:
            if (c.unicode() > ' ')
                return QTextListFormat::ListDisc;
        }
    }
    return std::nullopt; // nothing visible
}

} // namespace

void addListWords(KeywordTable &table)
{
    addWords(table, Kind::Lists,
             {{"pntext", PnText},
              {"listtext", PnText},
              {"pn", PnWord},
              {"listtable", ListTable},
              {"listoverridetable", ListTable},
              {"list", ListWord},
              {"listlevel", ListLevelWord},
              {"listoverride", ListOverrideWord},
              {"pntxta", PnTxtA},
              {"pntxtb", PnTxtB},
              {"leveltext", LevelTextWord},
              {"ls", Ls},
              {"ilvl", Ilvl},
              {"listid", ListId},
              {"levelnfc", LevelNfc},
              {"levelnfcn", LevelNfc},
              {"levelstartat", LevelStartAt},
              {"pnlvlblt", PnLvlBlt},
              {"pnlvlbody", PnLvlBody},
              {"pnlvlcont", PnLvlCont},
              {"pnlvl", PnLvl},
              {"pndec", PnDec},
              {"pnucltr", PnUcLtr},
              {"pnlcltr", PnLcLtr},
              {"pnucrm", PnUcRm},
              {"pnlcrm", PnLcRm},
              {"pnstart", PnStart}});
}

void ListsHandler::word(quint16 code, bool, int param)
{
    State &s = m_reader.state();
    ParaProps &p = s.para;
    auto open = [&s](Kind dest, quint8 destCode, Group group) {
        s.dest = dest;
        s.destCode = destCode;
        s.group = Kind::Lists;
        s.groupCode = group;
        s.opener = true;
    };
    switch (Word(code)) {
    case PnText:
        // The marker a writer computed; lists draw their own.
        m_reader.skipGroup();
        return;
    case PnWord:
        if (s.dest == Kind::Body) {
            open(Kind::Discard, 0, PnGroup);
            p.pnKind = ListKind::Decimal;
            p.pnLevel = 0;
            p.pnStart = 1;
        } else {
            m_reader.skipGroup();
        }
        return;
    case ListTable:
        s.dest = Kind::Discard;
        return;
    case ListWord:
        open(Kind::Discard, 0, ListGroup);
        m_listDefId = 0;
        m_listDefLevels.clear();
        return;
    case ListLevelWord:
        open(Kind::Lists, LevelDest, LevelGroup);
        m_levelDef = {};
        return;
    case ListOverrideWord:
        open(Kind::Discard, 0, OverrideGroup);
        m_overrideListId = m_overrideLs = 0;
        return;
    case PnTxtA:
    case PnTxtB:
        if (!s.inGroup(Kind::Lists, PnGroup)) {
            m_reader.skipGroup();
            return;
        }
        open(Kind::Lists, Marker, code == PnTxtA ? PnAfterGroup : PnBeforeGroup);
        m_marker.clear();
        return;
    case LevelTextWord:
        if (!s.inGroup(Kind::Lists, LevelGroup)) {
            m_reader.skipGroup();
            return;
        }
        open(Kind::Lists, Marker, LevelTextGroup);
        m_marker.clear();
        return;
    case Ls:
        if (s.inGroup(Kind::Lists, OverrideGroup))
            m_overrideLs = param;
        else
            p.ls = std::max(0, param);
        return;
    case Ilvl:
        p.ilvl = param;
        return;
    case ListId:
        if (s.inGroup(Kind::Lists, ListGroup))
            m_listDefId = param;
        else if (s.inGroup(Kind::Lists, OverrideGroup))
            m_overrideListId = param;
        return;
    case LevelStartAt:
        if (s.inDest(Kind::Lists, LevelDest))
            m_levelDef.start = std::clamp(param, 0, 32767);
        return;
    case LevelNfc:
        if (s.inDest(Kind::Lists, LevelDest))
            m_levelDef.kind = kindFromNfc(param);
        return;
    case PnLvlBlt:
        p.pnKind = ListKind::Bullet;
        return;
    case PnLvlBody:
        if (p.pnKind == ListKind::Bullet || p.pnKind == ListKind::None)
            p.pnKind = ListKind::Decimal;
        return;
    case PnLvlCont:
        return;
    case PnLvl:
        p.pnLevel = std::clamp(param - 1, 0, 8);
        if (p.pnKind == ListKind::None)
            p.pnKind = ListKind::Decimal;
        return;
    case PnDec:
        p.pnKind = ListKind::Decimal;
        return;
    case PnUcLtr:
        p.pnKind = ListKind::UpperAlpha;
        return;
    case PnLcLtr:
        p.pnKind = ListKind::LowerAlpha;
        return;
    case PnUcRm:
        p.pnKind = ListKind::UpperRoman;
        return;
    case PnLcRm:
        p.pnKind = ListKind::LowerRoman;
        return;
    case PnStart:
        p.pnStart = std::clamp(param, 0, 32767);
        return;
    }
}

void ListsHandler::text(quint8 dest, const char *p, qsizetype n)
{
    if (dest != Marker || m_marker.size() >= 64)
        return;
    QString t;
    m_reader.currentCodePage().decode(QByteArrayView(p, std::min<qsizetype>(n, 64)), t);
    m_marker.append(t);
}

void ListsHandler::byte(quint8 dest, char b)
{
    // Characters below 10 in a level's text stand for level numbers.
    if (dest == Marker && m_marker.size() < 64)
        m_marker.append(static_cast<unsigned char>(b) < 0x20
                            ? QChar(static_cast<unsigned char>(b))
                            : m_reader.currentCodePage().decodeByte(b));
}

void ListsHandler::character(quint8 dest, char16_t ch)
{
    if (dest == Marker && m_marker.size() < 64)
        m_marker.append(QChar(ch));
}

void ListsHandler::groupEnded(quint8 group, State &closing)
{
    State &s = m_reader.state();
    switch (Group(group)) {
    case LevelGroup:
        if (m_listDefLevels.size() < 9)
            m_listDefLevels.push_back(m_levelDef);
        break;
    case ListGroup:
        if (m_lists.size() < 100000)
            m_lists[m_listDefId] = m_listDefLevels;
        break;
    case OverrideGroup:
        if (m_overrideLs > 0 && m_overrides.size() < 100000)
            m_overrides[m_overrideLs] = m_overrideListId;
        break;
    case PnGroup:
        // A \pn group's settings belong to the paragraph around it.
        s.para.pnKind = closing.para.pnKind;
        s.para.pnLevel = closing.para.pnLevel;
        s.para.pnBefore = closing.para.pnBefore;
        s.para.pnAfter = closing.para.pnAfter;
        s.para.pnStart = closing.para.pnStart;
        break;
    case PnBeforeGroup:
        s.para.pnBefore = m_marker;
        break;
    case PnAfterGroup:
        s.para.pnAfter = m_marker;
        break;
    case LevelTextGroup:
        levelTextEnded();
        break;
    }
}

void ListsHandler::levelTextEnded()
{
    // The first character is the length; characters below 10 stand for level numbers.
    QString t = m_marker.mid(1);
    if (t.endsWith(u';'))
        t.chop(1);
    if (m_levelDef.kind == ListKind::Bullet) {
        if (const auto style = bulletStyle(t)) {
            m_levelDef.bullet = *style;
            m_levelDef.bulletGiven = true;
        }
        return;
    }
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t.at(i).unicode() < 10) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first >= 0) {
        m_levelDef.prefix = t.left(first);
        m_levelDef.suffix = t.mid(last + 1);
    } else if (!t.isEmpty()) {
        // A numbered level that shows no number is a bullet.
        m_levelDef.kind = ListKind::Bullet;
        m_levelDef.bullet = bulletStyle(t).value_or(QTextListFormat::ListDisc);
        m_levelDef.bulletGiven = true;
    }
}

ListsHandler::Runs ListsHandler::suspendRuns()
{
    Runs runs{std::move(m_textLists), std::move(m_pnLists), std::move(m_bulletLists)};
    m_textLists.clear();
    m_pnLists.clear();
    m_bulletLists.clear();
    return runs;
}

void ListsHandler::resumeRuns(Runs runs)
{
    m_textLists = std::move(runs.text);
    m_pnLists = std::move(runs.pn);
    m_bulletLists = std::move(runs.bullets);
    // A numbered list that went on in the other document goes on here in a list of its own.
    for (auto *lists : {&m_textLists, &m_pnLists}) {
        for (auto it = lists->begin(); it != lists->end();) {
            if (!it->second) {
                it = lists->erase(it);
                continue;
            }
            const QTextListFormat f = it->second->format();
            const int start = f.hasProperty(ListStart) ? f.intProperty(ListStart) : 1;
            const auto next = m_nextNumber.find(it->first);
            if (next != m_nextNumber.end() && next->second != start + it->second->count())
                it = lists->erase(it);
            else
                ++it;
        }
    }
}

void ListsHandler::applyList(const ParaProps &p)
{
    ListKind kind = ListKind::None;
    int level = 0;
    qint64 base = 0; // which list: the \listid (through \ls), or the \pn marker kind
    bool fromPn = false;
    std::vector<LevelDef> levelDefs;
    if (p.ls > 0) {
        // A list the tables do not define is no list (its \pn, if any, is ignored too).
        level = std::clamp(p.ilvl, 0, 8);
        auto ov = m_overrides.find(p.ls);
        if (ov != m_overrides.end()) {
            kind = ListKind::Bullet;
            auto list = m_lists.find(ov->second);
            if (list != m_lists.end())
                levelDefs = list->second;
            if (size_t(level) < levelDefs.size())
                kind = levelDefs[size_t(level)].kind;
            // Overrides of one list continue its numbering.
            base = qint64(ov->second);
        }
    } else if (p.pnKind != ListKind::None) {
        // Numbering of the older form runs on through the document, as other readers do.
        kind = p.pnKind;
        level = std::clamp(p.pnLevel, 0, 8);
        base = qint64(kind);
        fromPn = true;
    }
    if (kind == ListKind::None) {
        // Bullets carry no numbering: a run of them ends here.
        m_bulletLists.clear();
        return;
    }
    QTextCursor &cursor = m_reader.cursor();
    // Each block added to a QTextList touches every block already in it, so bullet lists,
    // whose items need not know each other, are kept short; numbered lists cannot be.
    auto &lists = kind == ListKind::Bullet ? m_bulletLists : fromPn ? m_pnLists : m_textLists;
    const qint64 key = (base * 16 + level) * 2 + (fromPn ? 1 : 0);
    if (!fromPn) {
        // An item restarts the numbering of the levels below it.
        for (int l = level + 1; l <= 8; ++l) {
            m_textLists.erase((base * 16 + l) * 2);
            m_nextNumber.erase((base * 16 + l) * 2);
        }
    }
    // The layout draws the marker in the paragraph mark's font: the mark takes the font of
    // the item's first character, so the first item's marker (whose mark was never read)
    // looks like the others'.
    if (cursor.block().length() > 1) {
        // (setPosition: moving by a character would lay out the paragraph's text to find
        // where the character ends, a tenth of the whole reading time)
        QTextCursor first(cursor.block());
        first.setPosition(cursor.block().position() + 1);
        const QTextCharFormat text = first.charFormat();
        if (!text.isImageFormat() && text.objectType() == QTextFormat::NoObject &&
            cursor.blockCharFormat() != text)
            cursor.setBlockCharFormat(text);
    }
    auto it = lists.find(key);
    if (it != lists.end() && it->second &&
        (kind != ListKind::Bullet || it->second->count() < MaxBulletRun)) {
        if (kind != ListKind::Bullet)
            ++m_nextNumber[key];
        it->second->add(cursor.block());
        markStarted(*it->second, cursor);
        return;
    }
    lists.erase(key);
    QTextListFormat format;
    format.setStyle(listStyle(kind));
    const bool defined = level < int(levelDefs.size());
    if (kind == ListKind::Bullet) {
        // Levels that do not name their bullet get the usual bullets of their depth.
        static constexpr QTextListFormat::Style byDepth[] = {
            QTextListFormat::ListDisc, QTextListFormat::ListCircle, QTextListFormat::ListSquare};
        format.setStyle(defined && levelDefs[size_t(level)].bulletGiven
                            ? levelDefs[size_t(level)].bullet
                            : byDepth[level % 3]);
    } else if (fromPn) {
        format.setNumberPrefix(p.pnBefore);
        format.setNumberSuffix(p.pnAfter);
        if (p.pnStart != 1)
            format.setProperty(ListStart, p.pnStart);
    } else if (defined) {
        format.setNumberPrefix(levelDefs[size_t(level)].prefix);
        format.setNumberSuffix(levelDefs[size_t(level)].suffix);
        if (levelDefs[size_t(level)].start != 1)
            format.setProperty(ListStart, levelDefs[size_t(level)].start);
    }
    if (kind != ListKind::Bullet) {
        const auto next = m_nextNumber.find(key);
        const int start = next != m_nextNumber.end()      ? next->second
                          : format.hasProperty(ListStart) ? format.intProperty(ListStart)
                                                          : 1;
        if (start != 1)
            format.setProperty(ListStart, start);
        m_nextNumber[key] = start + 1;
    }
    format.setIndent(0); // the paragraph's own indents place it, as they do in the file
    format.setProperty(ListLevel, level);
    QTextList *list = cursor.createList(format);
    lists.emplace(key, list);
    markStarted(*list, cursor);
}

void ListsHandler::markStarted(const QTextList &list, QTextCursor &cursor)
{
    // The layout numbers every list from 1: the paragraphs of a list that starts elsewhere
    // leave their numbers to the control (platform/ListMarkers).
    if (!list.format().hasProperty(ListStart))
        return;
    QTextBlockFormat f;
    f.setProperty(QTextFormat::ListStyle, int(QTextListFormat::ListStyleUndefined));
    cursor.mergeBlockFormat(f);
}

} // namespace RtfRead
