#include "platform/rtf/RtfReader.h"

#include "platform/rtf/RtfEncoding.h"
#include "platform/rtf/RtfPicture.h"
#include "platform/rtf/TextFormats.h"

#include <QAtomicInt>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextList>
#include <QUrl>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <vector>

using namespace TextFormats;

namespace {

// Group nesting beyond this is counted, not stored: deeper braces cannot change anything a
// real document needs, and the stack stays small whatever the input.
constexpr int MaxDepth = 10000;
constexpr int MaxTabs = 64;
constexpr int MaxBulletRun = 64;
constexpr int MaxWordLength = 32;

enum class Dest : quint8 {
    Body,       // text goes into the document
    Discard,    // text is dropped, control words still count (pictures inside are kept)
    FontTable,  // font names
    ColorTable, // colours separated by ';'
    Pict,       // picture data
    ShapeName,  // \sn of a shape property
    ListLevel,  // a level of \listtable
    Marker,     // the text of a list level or \pn marker
    FieldInst,  // a field's instruction
};

enum class Kw : quint16 {
    Unknown,
    // destinations skipped with their whole group
    SkipDest,
    // destinations handled
    Rtf,
    FontTbl,
    ColorTbl,
    Pict,
    ShpPict,
    NonShpPict,
    Shp,
    ShpInst,
    ShpRslt,
    Sp,
    Sn,
    Sv,
    Object,
    Result,
    Field,
    FldInst,
    FldRslt,
    PnText,
    Pn,
    ListText,
    ListTable,
    List,
    ListLevel,
    ListOverrideTable,
    ListOverride,
    Upr,
    Ud,
    Do,
    DpTxbxText,
    ChFtn,
    PnTxtA,
    PnTxtB,
    LevelText,
    Nothing,
    // character formatting
    Plain,
    B,
    I,
    Ul,
    UlDotted,
    UlDash,
    UlDashDot,
    UlDashDotDot,
    UlWave,
    UlNone,
    Strike,
    F,
    Fs,
    Cf,
    Cb,
    Highlight,
    Super,
    Sub,
    NoSuperSub,
    Up,
    Dn,
    Caps,
    Scaps,
    V,
    Dbch,
    Loch,
    Af,
    Afs,
    Ab,
    Ai,
    // paragraph formatting
    Pard,
    Ql,
    Qr,
    Qc,
    Qj,
    Li,
    Ri,
    Fi,
    Sb,
    Sa,
    Tx,
    Tqr,
    Tqc,
    Tqdec,
    Ls,
    Ilvl,
    PageBb,
    Intbl,
    // special characters and breaks
    Par,
    Sect,
    Page,
    Line,
    Tab,
    Cell,
    Row,
    Column,
    EmDash,
    EnDash,
    Bullet,
    LQuote,
    RQuote,
    LDblQuote,
    RDblQuote,
    EmSpace,
    EnSpace,
    QmSpace,
    Zwj,
    Zwnj,
    LtrMark,
    RtlMark,
    U,
    Uc,
    Bin,
    // document
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    // tables
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    // pictures
    PngBlip,
    JpegBlip,
    WMetafile,
    EmfBlip,
    DiBitmap,
    WBitmap,
    MacPict,
    PmMetafile,
    PicW,
    PicH,
    PicWGoal,
    PicHGoal,
    PicScaleX,
    PicScaleY,
    WbmBitsPixel,
    WbmPlanes,
    WbmWidthBytes,
    // lists
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
};

// Control words are short: a byte-wise hash inline beats the library's general one.
struct WordHash
{
    size_t operator()(std::string_view w) const noexcept
    {
        size_t h = 2166136261u;
        for (char c : w)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }
};
using KeywordTable = std::unordered_map<std::string_view, Kw, WordHash>;

const KeywordTable &keywords()
{
    static const KeywordTable table = [] {
        KeywordTable t;
        for (const char *w : {"stylesheet",
                              "info",
                              "header",
                              "headerl",
                              "headerr",
                              "headerf",
                              "footer",
                              "footerl",
                              "footerr",
                              "footerf",
                              "footnote",
                              "annotation",
                              "atnid",
                              "atnauthor",
                              "atndate",
                              "atnref",
                              "atntime",
                              "atnicn",
                              "xe",
                              "tc",
                              "txe",
                              "ftnsep",
                              "ftnsepc",
                              "ftncn",
                              "aftnsep",
                              "aftnsepc",
                              "aftncn",
                              "filetbl",
                              "revtbl",
                              "rsidtbl",
                              "template",
                              "do",
                              "fldtype",
                              "datafield",
                              "bkmkstart",
                              "bkmkend",
                              "comment",
                              "pgdsctbl",
                              "private",
                              "listpicture",
                              "themedata",
                              "colorschememapping",
                              "mmathPr",
                              "datastore",
                              "latentstyles",
                              "pnseclvl",
                              "generator",
                              "xmlnstbl",
                              "userprops",
                              "docvar",
                              "objdata",
                              "objclass",
                              "objname",
                              "blipuid",
                              "picprop",
                              "pntxta",
                              "pntxtb",
                              "fontemb",
                              "fontfile",
                              "falt",
                              "panose",
                              "keycode",
                              "nesttableprops",
                              "nonesttables",
                              "listname",
                              "leveltext",
                              "levelnumbers",
                              "shptxt",
                              "author",
                              "operator",
                              "title",
                              "subject",
                              "keywords",
                              "doccomm",
                              "creatim",
                              "revtim",
                              "printim",
                              "buptim",
                              "hlinkbase",
                              "mhtmltag",
                              "htmltag",
                              "wgrffmtfilter",
                              "formfield",
                              "ffname",
                              "ffdeftext",
                              "ffstattext",
                              "ffhelptext",
                              "ffentrymcr",
                              "ffexitmcr",
                              "ffformat",
                              "ffl",
                              "mmath",
                              "oleclsid",
                              "passwordhash",
                              "pxe",
                              "atrfstart",
                              "atrfend",
                              "protusertbl",
                              "defchp",
                              "defpap",
                              "listoverridetable_",
                              "rsidroot",
                              "fchars",
                              "lchars",
                              "writereservation",
                              "writereservhash",
                              "background",
                              "xform",
                              "bookmark",
                              "lfolevel"})
            t.emplace(w, Kw::SkipDest);
        const std::pair<const char *, Kw> pairs[] = {
            {"rtf", Kw::Rtf},
            {"fonttbl", Kw::FontTbl},
            {"colortbl", Kw::ColorTbl},
            {"pict", Kw::Pict},
            {"shppict", Kw::ShpPict},
            {"nonshppict", Kw::NonShpPict},
            {"shp", Kw::Shp},
            {"shpgrp", Kw::Shp},
            {"shpinst", Kw::ShpInst},
            {"shprslt", Kw::ShpRslt},
            {"sp", Kw::Sp},
            {"sn", Kw::Sn},
            {"sv", Kw::Sv},
            {"object", Kw::Object},
            {"result", Kw::Result},
            {"field", Kw::Field},
            {"fldinst", Kw::FldInst},
            {"fldrslt", Kw::FldRslt},
            {"pntext", Kw::PnText},
            {"pn", Kw::Pn},
            {"listtext", Kw::ListText},
            {"listtable", Kw::ListTable},
            {"list", Kw::List},
            {"listlevel", Kw::ListLevel},
            {"listoverridetable", Kw::ListOverrideTable},
            {"listoverride", Kw::ListOverride},
            {"upr", Kw::Upr},
            {"ud", Kw::Ud},
            {"do", Kw::Do},
            {"dptxbxtext", Kw::DpTxbxText},
            {"chftn", Kw::ChFtn},
            {"pntxta", Kw::PnTxtA},
            {"pntxtb", Kw::PnTxtB},
            {"leveltext", Kw::LevelText},
            {"nesttableprops", Kw::Nothing},
            {"plain", Kw::Plain},
            {"b", Kw::B},
            {"i", Kw::I},
            {"ul", Kw::Ul},
            {"ulw", Kw::Ul},
            {"uldb", Kw::Ul},
            {"ulth", Kw::Ul},
            {"uld", Kw::UlDotted},
            {"ulthd", Kw::UlDotted},
            {"uldash", Kw::UlDash},
            {"ulthdash", Kw::UlDash},
            {"ulldash", Kw::UlDash},
            {"ulthldash", Kw::UlDash},
            {"uldashd", Kw::UlDashDot},
            {"ulthdashd", Kw::UlDashDot},
            {"uldashdd", Kw::UlDashDotDot},
            {"ulthdashdd", Kw::UlDashDotDot},
            {"ulwave", Kw::UlWave},
            {"ulhwave", Kw::UlWave},
            {"ululdbwave", Kw::UlWave},
            {"ulnone", Kw::UlNone},
            {"strike", Kw::Strike},
            {"striked", Kw::Strike},
            {"f", Kw::F},
            {"fs", Kw::Fs},
            {"cf", Kw::Cf},
            {"cb", Kw::Cb},
            {"chcbpat", Kw::Cb},
            {"highlight", Kw::Highlight},
            {"super", Kw::Super},
            {"sub", Kw::Sub},
            {"nosupersub", Kw::NoSuperSub},
            {"up", Kw::Up},
            {"dn", Kw::Dn},
            {"caps", Kw::Caps},
            {"scaps", Kw::Scaps},
            {"v", Kw::V},
            {"dbch", Kw::Dbch},
            {"loch", Kw::Loch},
            {"hich", Kw::Loch},
            {"af", Kw::Af},
            {"afs", Kw::Afs},
            {"ab", Kw::Ab},
            {"ai", Kw::Ai},
            {"pard", Kw::Pard},
            {"ql", Kw::Ql},
            {"qr", Kw::Qr},
            {"qc", Kw::Qc},
            {"qj", Kw::Qj},
            {"qd", Kw::Qj},
            {"li", Kw::Li},
            {"ri", Kw::Ri},
            {"fi", Kw::Fi},
            {"sb", Kw::Sb},
            {"sa", Kw::Sa},
            {"tx", Kw::Tx},
            {"tb", Kw::Tx},
            {"tqr", Kw::Tqr},
            {"tqc", Kw::Tqc},
            {"tqdec", Kw::Tqdec},
            {"ls", Kw::Ls},
            {"ilvl", Kw::Ilvl},
            {"pagebb", Kw::PageBb},
            {"intbl", Kw::Intbl},
            {"par", Kw::Par},
            {"sect", Kw::Sect},
            {"page", Kw::Page},
            {"line", Kw::Line},
            {"tab", Kw::Tab},
            {"cell", Kw::Cell},
            {"nestcell", Kw::Cell},
            {"row", Kw::Row},
            {"nestrow", Kw::Row},
            {"column", Kw::Column},
            {"emdash", Kw::EmDash},
            {"endash", Kw::EnDash},
            {"bullet", Kw::Bullet},
            {"lquote", Kw::LQuote},
            {"rquote", Kw::RQuote},
            {"ldblquote", Kw::LDblQuote},
            {"rdblquote", Kw::RDblQuote},
            {"emspace", Kw::EmSpace},
            {"enspace", Kw::EnSpace},
            {"qmspace", Kw::QmSpace},
            {"zwj", Kw::Zwj},
            {"zwnj", Kw::Zwnj},
            {"ltrmark", Kw::LtrMark},
            {"rtlmark", Kw::RtlMark},
            {"u", Kw::U},
            {"uc", Kw::Uc},
            {"bin", Kw::Bin},
            {"ansi", Kw::Ansi},
            {"mac", Kw::Mac},
            {"pc", Kw::Pc},
            {"pca", Kw::Pca},
            {"ansicpg", Kw::AnsiCpg},
            {"deff", Kw::Deff},
            {"fcharset", Kw::FCharset},
            {"cpg", Kw::Cpg},
            {"red", Kw::Red},
            {"green", Kw::Green},
            {"blue", Kw::Blue},
            {"pngblip", Kw::PngBlip},
            {"jpegblip", Kw::JpegBlip},
            {"wmetafile", Kw::WMetafile},
            {"emfblip", Kw::EmfBlip},
            {"dibitmap", Kw::DiBitmap},
            {"wbitmap", Kw::WBitmap},
            {"macpict", Kw::MacPict},
            {"pmmetafile", Kw::PmMetafile},
            {"picw", Kw::PicW},
            {"pich", Kw::PicH},
            {"picwgoal", Kw::PicWGoal},
            {"pichgoal", Kw::PicHGoal},
            {"picscalex", Kw::PicScaleX},
            {"picscaley", Kw::PicScaleY},
            {"wbmbitspixel", Kw::WbmBitsPixel},
            {"wbmplanes", Kw::WbmPlanes},
            {"wbmwidthbytes", Kw::WbmWidthBytes},
            {"listid", Kw::ListId},
            {"levelnfc", Kw::LevelNfc},
            {"levelstartat", Kw::LevelStartAt},
            {"levelnfcn", Kw::LevelNfc},
            {"pnlvlblt", Kw::PnLvlBlt},
            {"pnlvlbody", Kw::PnLvlBody},
            {"pnlvlcont", Kw::PnLvlCont},
            {"pnlvl", Kw::PnLvl},
            {"pndec", Kw::PnDec},
            {"pnucltr", Kw::PnUcLtr},
            {"pnlcltr", Kw::PnLcLtr},
            {"pnucrm", Kw::PnUcRm},
            {"pnlcrm", Kw::PnLcRm},
        };
        for (const auto &[w, k] : pairs)
            t[w] = k;
        return t;
    }();
    return table;
}

// List marker kinds, shared by \pn paragraphs and \listtable levels.
enum class ListKind : quint8 {
    None,
    Bullet,
    Decimal,
    UpperAlpha,
    LowerAlpha,
    UpperRoman,
    LowerRoman
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

struct CharProps
{
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    int color = 0;
    int highlight = 0;
    int offsetHalfPoints = 0; // \up (positive) and \dn (negative)
    quint8 underline = 0;     // QTextCharFormat::UnderlineStyle
    qint8 vertical = 0;       // 1 superscript, -1 subscript
    bool bold = false, italic = false, strike = false, caps = false, smallCaps = false;
    bool hidden = false;
    // \dbch text takes the associated properties (\afs, \ab, \ai) given in that mode.
    bool dbch = false;
    qint8 assocBold = -1, assocItalic = -1;
    int assocHalfPoints = 0;

    bool operator==(const CharProps &) const = default;
};

// The properties the text itself gets.
CharProps textProps(const CharProps &c)
{
    CharProps t = c;
    if (c.dbch) {
        if (c.assocHalfPoints > 0)
            t.halfPoints = c.assocHalfPoints;
        if (c.assocBold >= 0)
            t.bold = c.assocBold;
        if (c.assocItalic >= 0)
            t.italic = c.assocItalic;
    }
    t.dbch = false;
    t.assocBold = t.assocItalic = -1;
    t.assocHalfPoints = 0;
    return t;
}

struct CharPropsHash
{
    size_t operator()(const CharProps &p) const
    {
        size_t h = size_t(p.font) * 1000003u;
        h ^= size_t(p.halfPoints) * 7919u + size_t(p.color) * 104729u +
             size_t(p.highlight) * 15485863u + size_t(p.offsetHalfPoints) * 31u;
        h ^= size_t(p.underline) << 3 ^ size_t(p.vertical + 1) << 7 ^ size_t(p.bold) << 10 ^
             size_t(p.italic) << 11 ^ size_t(p.strike) << 12 ^ size_t(p.caps) << 13 ^
             size_t(p.smallCaps) << 14 ^ size_t(p.hidden) << 15;
        return h;
    }
};

struct ParaProps
{
    int align = 0; // 0 left, 1 right, 2 centre, 3 justify
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    QList<int> tabs;        // twips
    QList<quint8> tabKinds; // QTextOption::TabType
    quint8 nextTabKind = 0;
    int ls = 0, ilvl = 0;
    ListKind pnKind = ListKind::None;
    int pnLevel = 0;
    QString pnBefore, pnAfter;
    bool pageBreakBefore = false;

    bool sameBlockFormat(const ParaProps &o) const
    {
        return align == o.align && li == o.li && ri == o.ri && fi == o.fi && sb == o.sb &&
               sa == o.sa && tabs == o.tabs && tabKinds == o.tabKinds &&
               pageBreakBefore == o.pageBreakBefore;
    }
};

// Groups whose end completes something (a list definition, an override, a \pn).
enum class Group : quint8 {
    None,
    Field,
    Pict,
    List,
    ListLevel,
    ListOverride,
    Pn,
    PnBefore,
    PnAfter,
    LevelText
};

struct State
{
    Dest dest = Dest::Body;
    Group group = Group::None; // inherited by nested groups
    bool opener = false;       // this group started `group`
    bool inShapeValue = false;
    int uc = 1;
    CharProps chr;
    ParaProps para;
};

struct Font
{
    QString name;
    int charset = -1;
    int codePage = 0;
};

struct ListLevelDef
{
    ListKind kind = ListKind::Bullet;
    QTextListFormat::Style bullet = QTextListFormat::ListDisc;
    bool bulletGiven = false; // the level's text names its bullet
    int start = 1;
    QString prefix, suffix = QStringLiteral(".");
};

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

// Pending 8-bit text: bytes wait here until a whole character (of a double-byte code page)
// is there, then decode at once.
struct ByteText
{
    QByteArray bytes;
    const RtfEncoding::CodePage *page = nullptr;

    void decodeInto(QString &out, bool final)
    {
        if (bytes.isEmpty())
            return;
        qsizetype n = bytes.size();
        if (page->isDoubleByte() && !final) {
            // Keep a trailing lead byte until its second byte arrives.
            qsizetype i = 0;
            qsizetype complete = 0;
            while (i < n) {
                if (page->isLeadByte(static_cast<unsigned char>(bytes[i]))) {
                    if (i + 1 >= n)
                        break;
                    i += 2;
                } else {
                    ++i;
                }
                complete = i;
            }
            page->decode(QByteArrayView(bytes).first(complete), out);
            bytes.remove(0, complete);
            return;
        }
        page->decode(bytes, out);
        bytes.clear();
    }
};

class Reader
{
public:
    Reader(QByteArrayView data, QTextDocument &document, bool keepFinalMark)
        : m_data(data.data()), m_size(data.size()), m_doc(document), m_cursor(&document),
          m_keepFinalMark(keepFinalMark)
    {}

    void run();

private:
    // --- tokenizer ---
    void parseControl();
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(char c);
    void text(const char *p, qsizetype n);
    void skipGroup();
    void pushGroup();
    void popGroup();

    State &state() { return m_stack.back(); }

    // --- body ---
    void addBytes(const char *p, qsizetype n);
    void addChar(char16_t ch);
    void beginContent(const CharProps &props);
    void flushBytes(bool final);
    void flushRun();
    void endParagraph();
    void ensureBlock();
    void finishBlock();
    void pageBreak();
    QTextCharFormat charFormat(const CharProps &props);
    QTextBlockFormat blockFormat(const ParaProps &props);
    const RtfEncoding::CodePage &currentCodePage();
    void finishFontEntry();
    void flushFontName();
    void finishPicture();
    void finishField();
    void applyList();

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QTextDocument &m_doc;
    QTextCursor m_cursor;
    bool m_keepFinalMark;

    std::vector<State> m_stack;
    int m_overflowDepth = 0;
    bool m_done = false;
    bool m_ignorable = false; // a \* came before this group's first control word
    bool m_fresh = false;     // nothing but "{" (and "\*") read in this group yet
    int m_ucSkip = 0;         // fallback characters still to skip after \u

    // document
    int m_docCodePage = 1252;
    int m_deff = 0;
    std::unordered_map<int, Font> m_fonts;
    int m_fontDef = -1;
    QByteArray m_fontNameBytes; // a font name's bytes not yet decoded
    QString m_fontName;
    std::vector<QColor> m_colors;
    QColor m_colorDef;
    bool m_colorSet = false;
    int m_cpFont = -2;
    const RtfEncoding::CodePage *m_cpPage = nullptr;

    // lists
    std::unordered_map<int, std::vector<ListLevelDef>> m_lists; // \listid -> levels
    std::unordered_map<int, int> m_overrides;                   // \ls -> \listid
    int m_listDefId = 0;
    std::vector<ListLevelDef> m_listDefLevels;
    ListLevelDef m_levelDef;
    QString m_marker; // \leveltext, \pntxtb or \pntxta being read
    struct Field
    {
        QString instruction;
        int resultAt = -1;
    };
    std::vector<Field> m_fields; // open \field groups
    int m_footnotes = 0;
    int m_overrideListId = 0, m_overrideLs = 0;
    std::unordered_map<qint64, QTextList *> m_textLists;
    std::unordered_map<qint64, QTextList *> m_pnLists;     // numbered \pn paragraphs
    std::unordered_map<qint64, QTextList *> m_bulletLists; // the current run of bullets

    // current run and paragraph
    ByteText m_bytes;
    QString m_run;
    CharProps m_runProps;
    bool m_runPropsSet = false;
    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> m_formats;
    bool m_blockHasContent = false;
    // A paragraph mark was read; its new block is inserted when something goes into it, with
    // the paragraph formatting in force then, which is usually the block's final formatting.
    bool m_blockPending = false;
    // The current block's formatting is exactly that of m_givenPara, with no list: a block
    // inserted as a paragraph mark inside a run copies it.
    bool m_blockPlain = false;
    bool m_nextPageBreak = false;
    ParaProps m_lastPara;
    ParaProps m_givenPara; // the formatting the current block was inserted with
    bool m_blockFormatGiven = false;
    QTextBlockFormat m_lastBlockFormat;
    bool m_lastBlockFormatSet = false;

    // pictures and shapes
    RtfPicture::Source m_pict;
    int m_pictHigh = -1;
    bool m_shapePicture = false;
    QByteArray m_shapePropName;
};

// A symbol font's name is written in plain characters, not in its glyph numbers.
int nameCodePage(int codePage)
{
    return codePage == RtfEncoding::SymbolCodePage ? 1252 : codePage;
}

inline bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
inline int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The bytes that end a stretch of plain text.
constexpr std::array<bool, 256> TextEnds = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'{', '}', '\\', '\r', '\n'})
        t[c] = true;
    return t;
}();

inline bool endsText(char c)
{
    return TextEnds[static_cast<unsigned char>(c)];
}

void Reader::run()
{
    m_cursor.beginEditBlock();
    // Skip leading white space up to the root group.
    while (m_pos < m_size && m_data[m_pos] != '{')
        ++m_pos;
    while (m_pos < m_size && !m_done) {
        const char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            pushGroup();
            break;
        case '}':
            ++m_pos;
            popGroup();
            break;
        case '\\':
            parseControl();
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default: {
            qsizetype end = m_pos + 1;
            while (end < m_size && !endsText(m_data[end]))
                ++end;
            text(m_data + m_pos, end - m_pos);
            m_pos = end;
            break;
        }
        }
    }
    // Truncated input: close what is open.
    flushBytes(true);
    // The final paragraph mark ends the last paragraph; it does not start another, unless
    // it is to break the paragraph the text goes into.
    if (!m_blockPending || m_keepFinalMark) {
        ensureBlock();
        finishBlock();
    }
    flushRun();
    m_cursor.endEditBlock();
}

void Reader::pushGroup()
{
    m_ucSkip = 0;
    if (m_stack.size() >= size_t(MaxDepth)) {
        // Too deep to keep: the group shares its parent's state, but destinations to skip
        // are still skipped.
        ++m_overflowDepth;
        m_fresh = true;
        m_ignorable = false;
        if (m_pos + 1 < m_size && m_data[m_pos] == '\\' && m_data[m_pos + 1] == '*') {
            m_pos += 2;
            m_ignorable = true;
        }
        return;
    }
    if (m_stack.empty())
        m_stack.emplace_back();
    else
        m_stack.push_back(m_stack.back());
    m_stack.back().opener = false;
    m_ignorable = false;
    m_fresh = true;
    // Peek for "\*" right after the brace.
    if (m_pos + 1 < m_size && m_data[m_pos] == '\\' && m_data[m_pos + 1] == '*') {
        m_pos += 2;
        m_ignorable = true;
    }
}

void Reader::popGroup()
{
    m_ucSkip = 0;
    m_ignorable = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() <= 1) {
        // The root group's closing brace: whatever follows is not part of the document.
        m_done = true;
        return;
    }
    // Most groups only scope formatting: drop them without copying their state.
    const Dest closingDest = m_stack.back().dest;
    const bool opener = m_stack.back().opener;
    const Group group = m_stack.back().group;
    ParaProps pn;
    if (opener && group == Group::Pn)
        pn = std::move(m_stack.back().para);
    m_stack.pop_back();
    if (closingDest == Dest::FontTable)
        finishFontEntry();
    if (!opener)
        return;
    switch (group) {
    case Group::Pict:
        finishPicture();
        break;
    case Group::ListLevel:
        if (m_listDefLevels.size() < 9)
            m_listDefLevels.push_back(m_levelDef);
        break;
    case Group::List:
        if (m_lists.size() < 100000)
            m_lists[m_listDefId] = m_listDefLevels;
        break;
    case Group::ListOverride:
        if (m_overrideLs > 0 && m_overrides.size() < 100000)
            m_overrides[m_overrideLs] = m_overrideListId;
        break;
    case Group::Pn:
        // A \pn group's settings belong to the paragraph around it.
        state().para.pnKind = pn.pnKind;
        state().para.pnLevel = pn.pnLevel;
        state().para.pnBefore = pn.pnBefore;
        state().para.pnAfter = pn.pnAfter;
        break;
    case Group::Field:
        finishField();
        break;
    case Group::PnBefore:
        state().para.pnBefore = m_marker;
        break;
    case Group::PnAfter:
        state().para.pnAfter = m_marker;
        break;
    case Group::LevelText: {
        // The first character is the length; characters below 10 stand for level numbers.
        QString t = m_marker.mid(1);
        if (t.endsWith(u';'))
            t.chop(1);
        if (m_levelDef.kind == ListKind::Bullet) {
            if (const auto style = bulletStyle(t)) {
                m_levelDef.bullet = *style;
                m_levelDef.bulletGiven = true;
            }
        } else {
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
        break;
    }
    default:
        break;
    }
}

void Reader::skipGroup()
{
    // Called right after the control word that opened a group to be skipped: scan to its
    // closing brace, stepping over escaped braces and \bin data.
    int depth = 1;
    while (m_pos < m_size) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++depth;
            ++m_pos;
        } else if (c == '}') {
            ++m_pos;
            if (--depth == 0)
                break;
        } else if (c == '\\') {
            ++m_pos;
            if (m_pos >= m_size)
                break;
            if (!isLetter(m_data[m_pos])) {
                ++m_pos;
                continue;
            }
            const qsizetype start = m_pos;
            while (m_pos < m_size && isLetter(m_data[m_pos]))
                ++m_pos;
            const bool isBin = m_pos - start == 3 && std::string_view(m_data + start, 3) == "bin";
            qint64 param = 0;
            bool neg = false;
            if (m_pos < m_size && m_data[m_pos] == '-') {
                neg = true;
                ++m_pos;
            }
            while (m_pos < m_size && isDigit(m_data[m_pos])) {
                param = std::min<qint64>(param * 10 + (m_data[m_pos] - '0'), qint64(1) << 40);
                ++m_pos;
            }
            if (m_pos < m_size && m_data[m_pos] == ' ')
                ++m_pos;
            if (isBin && !neg)
                m_pos += std::min<qint64>(param, m_size - m_pos);
        } else {
            ++m_pos;
        }
    }
    // The group was pushed; drop it without looking at it.
    if (m_overflowDepth > 0)
        --m_overflowDepth;
    else if (!m_stack.empty())
        m_stack.pop_back();
    m_ucSkip = 0;
    if (m_stack.empty())
        m_done = true;
}

void Reader::parseControl()
{
    ++m_pos; // the backslash
    if (m_pos >= m_size)
        return;
    const char c = m_data[m_pos];
    if (!isLetter(c)) {
        ++m_pos;
        if (c == '\'') {
            int value = -1;
            if (m_pos + 1 < m_size) {
                const int hi = hexValue(m_data[m_pos]);
                const int lo = hexValue(m_data[m_pos + 1]);
                if (hi >= 0 && lo >= 0)
                    value = hi * 16 + lo;
            }
            if (value < 0)
                return;
            m_pos += 2;
            if (m_ucSkip > 0) {
                --m_ucSkip;
                return;
            }
            const char byte = char(value);
            Dest d = m_stack.empty() ? Dest::Discard : state().dest;
            if (d == Dest::Body)
                addBytes(&byte, 1);
            else if (d == Dest::FontTable && m_fontNameBytes.size() < 1024)
                m_fontNameBytes.append(byte); // a ';' written as \'3b is part of the name
            // (names are cut at 256 characters when decoded)
            else if (d == Dest::Marker && m_marker.size() < 64)
                m_marker.append(value < 0x20 ? QChar(value) : currentCodePage().decodeByte(byte));
            return;
        }
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        controlSymbol(c);
        return;
    }
    const qsizetype start = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    // Over-long words are nobody's control word: keep reading them, but as unknown.
    std::string_view word(m_data + start, size_t(m_pos - start));
    if (word.size() > size_t(MaxWordLength))
        word = std::string_view("?");
    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (m_pos < m_size && m_data[m_pos] == '-' && m_pos + 1 < m_size &&
        isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        hasParam = true;
        value = std::min<qint64>(value * 10 + (m_data[m_pos] - '0'), qint64(1) << 40);
        ++m_pos;
    }
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;
    value = std::min<qint64>(value, 0x7FFFFFFF);
    const int param = int(negative ? -value : value);

    if (word == "bin") {
        // Binary data follows the delimiter; it belongs to a picture or is dropped.
        const qint64 n = hasParam && param > 0 ? std::min<qint64>(param, m_size - m_pos) : 0;
        if (m_ucSkip > 0) {
            --m_ucSkip;
        } else if (!m_stack.empty() && state().dest == Dest::Pict) {
            m_pict.data.append(m_data + m_pos, n);
        }
        m_pos += n;
        return;
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    controlWord(word, hasParam, param);
}

void Reader::controlSymbol(char c)
{
    if (m_stack.empty())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        text(&c, 1);
        break;
    case '~':
        addChar(0x00A0);
        break;
    case '-':
        addChar(0x00AD);
        break;
    case '_':
        addChar(0x2011);
        break;
    case '\t':
        addChar('\t');
        break;
    case '\r':
    case '\n':
        if (state().dest == Dest::Body)
            endParagraph();
        break;
    case '*':
        // A \* not right after a brace: treat the next control word as ignorable anyway.
        m_ignorable = true;
        break;
    default:
        break;
    }
}

void Reader::text(const char *p, qsizetype n)
{
    m_fresh = false;
    if (m_stack.empty())
        return;
    if (m_ucSkip > 0) {
        const qsizetype skip = std::min<qsizetype>(m_ucSkip, n);
        m_ucSkip -= int(skip);
        p += skip;
        n -= skip;
        if (n == 0)
            return;
    }
    State &s = state();
    switch (s.dest) {
    case Dest::Body:
        addBytes(p, n);
        break;
    case Dest::FontTable:
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] == ';')
                finishFontEntry();
            else if (m_fontNameBytes.size() < 1024)
                m_fontNameBytes.append(p[i]);
        }
        break;
    case Dest::ColorTable:
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] != ';')
                continue;
            m_colors.push_back(m_colorSet ? m_colorDef : QColor());
            m_colorDef = QColor(0, 0, 0);
            m_colorSet = false;
        }
        break;
    case Dest::Pict:
        for (qsizetype i = 0; i < n; ++i) {
            const int v = hexValue(p[i]);
            if (v < 0)
                continue;
            if (m_pictHigh < 0) {
                m_pictHigh = v;
            } else {
                m_pict.data.append(char(m_pictHigh * 16 + v));
                m_pictHigh = -1;
            }
        }
        break;
    case Dest::Marker:
        if (m_marker.size() < 64) {
            QString t;
            currentCodePage().decode(QByteArrayView(p, std::min<qsizetype>(n, 64)), t);
            m_marker.append(t);
        }
        break;
    case Dest::FieldInst:
        if (!m_fields.empty() && m_fields.back().instruction.size() < 4096) {
            QString t;
            currentCodePage().decode(QByteArrayView(p, std::min<qsizetype>(n, 4096)), t);
            m_fields.back().instruction.append(t);
        }
        break;
    case Dest::ShapeName:
        if (m_shapePropName.size() < 64)
            m_shapePropName.append(p, std::min<qsizetype>(n, 64));
        break;
    default:
        break;
    }
}

const RtfEncoding::CodePage &Reader::currentCodePage()
{
    const CharProps props = textProps(state().chr);
    const int font = props.font < 0 ? m_deff : props.font;
    if (font != m_cpFont || !m_cpPage) {
        m_cpFont = font;
        int cp = 0;
        auto it = m_fonts.find(font);
        if (it != m_fonts.end())
            cp = it->second.codePage;
        m_cpPage = &RtfEncoding::CodePage::get(cp ? cp : m_docCodePage);
    }
    return *m_cpPage;
}

void Reader::addBytes(const char *p, qsizetype n)
{
    beginContent(textProps(state().chr));
    const RtfEncoding::CodePage &page = currentCodePage();
    if (m_bytes.page != &page) {
        flushBytes(true);
        m_bytes.page = &page;
    }
    // Control characters other than tab are not text.
    qsizetype from = 0;
    if (!page.isDoubleByte()) {
        // Whole characters already: straight into the run, in one pass.
        if (!m_run.isEmpty() && QChar::isHighSurrogate(m_run.back().unicode()))
            m_run.back() = QChar(0xFFFD);
        const qsizetype start = m_run.size();
        m_run.resize(start + n);
        char16_t *const first = reinterpret_cast<char16_t *>(m_run.data()) + start;
        char16_t *out = first;
        for (qsizetype i = 0; i < n; ++i) {
            const char b = p[i];
            if (static_cast<unsigned char>(b) < 0x20 && b != '\t')
                continue;
            *out++ = page.decodeByte(b).unicode();
        }
        if (out - first != n)
            m_run.truncate(start + (out - first));
        m_blockHasContent = true;
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        if (b < 0x20 && b != '\t') {
            m_bytes.bytes.append(p + from, i - from);
            from = i + 1;
        }
    }
    m_bytes.bytes.append(p + from, n - from);
    m_blockHasContent = true;
}

void Reader::addChar(char16_t ch)
{
    if (m_stack.empty())
        return;
    State &s = state();
    if (s.dest == Dest::FontTable) {
        // A character in a font name: decode what came before it, then append.
        flushFontName();
        if (m_fontName.size() < 256)
            m_fontName.append(QChar(ch));
        return;
    }
    if (s.dest == Dest::Marker && m_marker.size() < 64)
        m_marker.append(QChar(ch));
    if (s.dest != Dest::Body)
        return;
    beginContent(textProps(s.chr));
    flushBytes(true);
    // A lone surrogate cannot stand in the text.
    if (!m_run.isEmpty() && QChar::isHighSurrogate(m_run.back().unicode()) &&
        !QChar::isLowSurrogate(ch))
        m_run.back() = QChar(0xFFFD);
    if (QChar::isLowSurrogate(ch) &&
        (m_run.isEmpty() || !QChar::isHighSurrogate(m_run.back().unicode())))
        ch = 0xFFFD;
    m_run.append(QChar(ch));
    m_blockHasContent = true;
}

void Reader::beginContent(const CharProps &props)
{
    if (m_blockPending) {
        const ParaProps &p = state().para;
        if (!m_run.isEmpty() && m_bytes.bytes.isEmpty() && !m_nextPageBreak && p.ls <= 0 &&
            p.pnKind == ListKind::None && m_blockPlain && p.sameBlockFormat(m_givenPara)) {
            // The new block has the previous one's formatting: its mark goes in with the end
            // of the previous paragraph, saving an insertion. (The mark's own character
            // formatting only shows in an empty paragraph, and this one has text.)
            if (QChar::isHighSurrogate(m_run.back().unicode()))
                m_run.back() = QChar(0xFFFD);
            m_run.append(QChar::ParagraphSeparator);
            m_blockPending = false;
        } else {
            ensureBlock();
        }
    }
    if (!m_runPropsSet || !(props == m_runProps)) {
        flushBytes(true);
        flushRun();
        m_runProps = props;
        m_runPropsSet = true;
    }
}

void Reader::flushBytes(bool final)
{
    if (m_bytes.bytes.isEmpty())
        return;
    if (!m_run.isEmpty() && QChar::isHighSurrogate(m_run.back().unicode()))
        m_run.back() = QChar(0xFFFD);
    m_bytes.decodeInto(m_run, final);
}

void Reader::flushRun()
{
    if (m_run.isEmpty())
        return;
    if (QChar::isHighSurrogate(m_run.back().unicode()))
        m_run.back() = QChar(0xFFFD);
    m_cursor.insertText(m_run, charFormat(m_runProps));
    m_run.resize(0); // keeps the buffer for the next run
}

QTextCharFormat Reader::charFormat(const CharProps &p)
{
    auto it = m_formats.find(p);
    if (it != m_formats.end())
        return it->second;
    QTextCharFormat f;
    const int fontIndex = p.font < 0 ? m_deff : p.font;
    auto font = m_fonts.find(fontIndex);
    if (font != m_fonts.end() && !font->second.name.isEmpty())
        f.setFontFamilies({font->second.name});
    f.setFontPointSize(p.halfPoints / 2.0);
    if (p.bold)
        f.setFontWeight(QFont::Bold);
    if (p.italic)
        f.setFontItalic(true);
    if (p.underline)
        f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(p.underline));
    if (p.strike)
        f.setFontStrikeOut(true);
    if (p.hidden)
        f.setProperty(Hidden, true);
    if (p.caps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (p.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (p.color > 0 && size_t(p.color) < m_colors.size() && m_colors[size_t(p.color)].isValid())
        f.setForeground(m_colors[size_t(p.color)]);
    if (p.highlight > 0 && size_t(p.highlight) < m_colors.size() &&
        m_colors[size_t(p.highlight)].isValid())
        f.setBackground(m_colors[size_t(p.highlight)]);
    if (p.offsetHalfPoints != 0) {
        f.setProperty(CharOffsetTwips, p.offsetHalfPoints * 10);
        f.setVerticalAlignment(p.offsetHalfPoints > 0 ? QTextCharFormat::AlignSuperScript
                                                      : QTextCharFormat::AlignSubScript);
        // The raise comes from the baseline offset alone; the alignment only sets the size.
        f.setSuperScriptBaseline(0);
        f.setSubScriptBaseline(0);
        f.setBaselineOffset(100.0 * p.offsetHalfPoints / std::max(1, p.halfPoints));
    } else if (p.vertical > 0) {
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    } else if (p.vertical < 0) {
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    }
    m_formats.emplace(p, f);
    return f;
}

QTextBlockFormat Reader::blockFormat(const ParaProps &p)
{
    if (m_lastBlockFormatSet && p.sameBlockFormat(m_lastPara))
        return m_lastBlockFormat;
    QTextBlockFormat f;
    static constexpr Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                               Qt::AlignJustify};
    f.setAlignment(aligns[std::clamp(p.align, 0, 3)]);
    if (p.li) {
        f.setLeftMargin(p.li * PixelsPerTwip);
        f.setProperty(LeftIndentTwips, p.li);
    }
    if (p.ri) {
        f.setRightMargin(p.ri * PixelsPerTwip);
        f.setProperty(RightIndentTwips, p.ri);
    }
    if (p.fi) {
        f.setTextIndent(p.fi * PixelsPerTwip);
        f.setProperty(FirstIndentTwips, p.fi);
    }
    if (p.sb) {
        f.setTopMargin(p.sb * PixelsPerTwip);
        f.setProperty(SpaceBeforeTwips, p.sb);
    }
    if (p.sa) {
        f.setBottomMargin(p.sa * PixelsPerTwip);
        f.setProperty(SpaceAfterTwips, p.sa);
    }
    if (!p.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (qsizetype i = 0; i < p.tabs.size(); ++i)
            tabs.append(QTextOption::Tab(p.tabs[i] * PixelsPerTwip,
                                         QTextOption::TabType(p.tabKinds.value(i))));
        f.setTabPositions(tabs);
        f.setProperty(TabStopsTwips, QVariant::fromValue(p.tabs));
    }
    if (p.pageBreakBefore)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    m_lastPara = p;
    m_lastBlockFormat = f;
    m_lastBlockFormatSet = true;
    return f;
}

void Reader::applyList()
{
    const ParaProps &p = state().para;
    ListKind kind = ListKind::None;
    int level = 0;
    qint64 base = 0; // which list: the \listid (through \ls), or the \pn marker kind
    bool fromPn = false;
    std::vector<ListLevelDef> levelDefs;
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
    // Each block added to a QTextList touches every block already in it, so bullet lists,
    // whose items need not know each other, are kept short; numbered lists cannot be.
    auto &lists = kind == ListKind::Bullet ? m_bulletLists : fromPn ? m_pnLists : m_textLists;
    const qint64 key = (base * 16 + level) * 2 + (fromPn ? 1 : 0);
    if (!fromPn) {
        // An item restarts the numbering of the levels below it.
        for (int l = level + 1; l <= 8; ++l)
            m_textLists.erase((base * 16 + l) * 2);
    }
    auto it = lists.find(key);
    if (it != lists.end() && (kind != ListKind::Bullet || it->second->count() < MaxBulletRun)) {
        it->second->add(m_cursor.block());
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
    } else if (defined) {
        format.setNumberPrefix(levelDefs[size_t(level)].prefix);
        format.setNumberSuffix(levelDefs[size_t(level)].suffix);
        if (levelDefs[size_t(level)].start != 1)
            format.setProperty(ListStart, levelDefs[size_t(level)].start);
    }
    format.setIndent(0); // the paragraph's own indents place it, as they do in the file
    format.setProperty(ListLevel, level);
    QTextList *list = m_cursor.createList(format);
    lists.emplace(key, list);
}

void Reader::finishBlock()
{
    flushBytes(true);
    if (m_stack.empty()) {
        flushRun();
        return;
    }
    ParaProps p = state().para;
    if (m_nextPageBreak)
        p.pageBreakBefore = true;
    const bool listed = p.ls > 0 || p.pnKind != ListKind::None;
    // The block got the formatting in force when it began; most paragraphs keep it.
    if (listed || !m_blockFormatGiven || !p.sameBlockFormat(m_givenPara)) {
        QTextBlockFormat format = blockFormat(p);
        if (listed) {
            // A list paragraph's indents are its own, even when zero.
            format.setProperty(LeftIndentTwips, p.li);
            format.setProperty(FirstIndentTwips, p.fi);
            format.setTextIndent(firstLinePixels(p.fi, true));
        }
        flushRun();
        m_cursor.setBlockFormat(format);
        m_blockPlain = false;
    }
    applyList();
}

void Reader::endParagraph()
{
    ensureBlock(); // an empty paragraph
    finishBlock();
    m_nextPageBreak = false;
    m_blockPending = true;
    m_blockHasContent = false;
}

void Reader::ensureBlock()
{
    if (!m_blockPending || m_stack.empty())
        return;
    // What is still in the run is the end of the previous paragraph.
    flushBytes(true);
    flushRun();
    m_blockPending = false;
    m_givenPara = state().para;
    m_givenPara.pageBreakBefore = false;
    m_blockFormatGiven = true;
    m_blockPlain = true;
    m_cursor.insertBlock(blockFormat(m_givenPara), charFormat(textProps(state().chr)));
}

void Reader::pageBreak()
{
    if (m_blockHasContent)
        endParagraph();
    m_nextPageBreak = true;
}

void Reader::finishFontEntry()
{
    if (m_fontDef >= 0) {
        Font &font = m_fonts[m_fontDef];
        if (font.name.isEmpty()) {
            flushFontName();
            font.name = m_fontName.trimmed();
        }
    }
    m_fontNameBytes.clear();
    m_fontName.clear();
    m_fontDef = -1;
}

void Reader::flushFontName()
{
    if (m_fontNameBytes.isEmpty())
        return;
    auto it = m_fonts.find(m_fontDef);
    const int cp = it != m_fonts.end() && it->second.codePage ? it->second.codePage : m_docCodePage;
    QString decoded;
    RtfEncoding::CodePage::get(nameCodePage(cp)).decode(m_fontNameBytes, decoded);
    m_fontNameBytes.clear();
    m_fontName.append(decoded.left(256 - std::min<qsizetype>(256, m_fontName.size())));
}

void Reader::finishPicture()
{
    // A picture given for a shape property other than the shape's own picture is a fill or
    // a texture: not shown.
    if (!m_stack.empty() && state().inShapeValue && m_shapePropName != "pib") {
        m_pict = {};
        return;
    }
    if (m_stack.empty() || m_pict.kind.isEmpty()) {
        m_pict = {};
        return;
    }
    if (state().inShapeValue)
        m_shapePicture = true;
    const RtfPicture::Decoded d = RtfPicture::decode(m_pict);
    m_pict = {};

    static QAtomicInt counter;
    const QString name = QStringLiteral("rtfpicture:%1").arg(counter.fetchAndAddRelaxed(1) + 1);
    m_doc.addResource(QTextDocument::ImageResource, QUrl(name), d.image);
    QTextImageFormat f;
    f.merge(charFormat(textProps(state().chr)));
    f.setName(name);
    f.setWidth(d.widthTwips * PixelsPerTwip);
    f.setHeight(d.heightTwips * PixelsPerTwip);
    f.setProperty(PictureData, d.data);
    f.setProperty(PictureKind, d.kind);
    f.setProperty(PictureWidthTwips, d.widthTwips);
    f.setProperty(PictureHeightTwips, d.heightTwips);
    flushBytes(true);
    flushRun();
    ensureBlock();
    m_cursor.insertImage(f);
    m_blockHasContent = true;
}

void Reader::finishField()
{
    if (m_fields.empty())
        return;
    const Field field = m_fields.back();
    m_fields.pop_back();
    // An equation field written without its result: show the text it lays out.
    ensureBlock();
    const int resultEnd = m_cursor.position() + int(m_run.size());
    const bool hasResult = field.resultAt >= 0 && resultEnd > field.resultAt;
    const QString inst = field.instruction.trimmed();
    if (hasResult || !inst.startsWith(QLatin1String("EQ "), Qt::CaseInsensitive))
        return;
    const qsizetype open = inst.indexOf(u'(');
    const qsizetype close = inst.lastIndexOf(u')');
    if (open < 0 || close <= open)
        return;
    QString text;
    const QString args = inst.mid(open + 1, close - open - 1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QChar c = args.at(i);
        if (c == u'\\') { // a switch such as \s or \do5
            while (i + 1 < args.size() && args.at(i + 1).isLetterOrNumber())
                ++i;
            continue;
        }
        if (c != u'(' && c != u')')
            text.append(c);
    }
    for (QChar c : text)
        addChar(c.unicode());
}

void Reader::controlWord(std::string_view word, bool hasParam, int param)
{
    if (m_stack.empty())
        return;
    const bool ignorable = m_ignorable;
    const bool fresh = m_fresh;
    m_ignorable = false;
    m_fresh = false;
    auto found = keywords().find(word);
    const Kw kw = found == keywords().end() ? Kw::Unknown : found->second;
    State &s = state();
    CharProps &c = s.chr;
    ParaProps &p = s.para;
    const int on = hasParam ? param : 1; // toggles: \b and \b1 on, \b0 off

    switch (kw) {
    case Kw::Unknown:
        if (ignorable)
            skipGroup();
        return;
    case Kw::SkipDest:
        // Only as a group's first word is it a destination.
        if (fresh)
            skipGroup();
        return;

    // --- destinations ---
    case Kw::Rtf:
        return;
    case Kw::FontTbl:
        s.dest = Dest::FontTable;
        return;
    case Kw::ColorTbl:
        s.dest = Dest::ColorTable;
        m_colorDef = QColor(0, 0, 0);
        m_colorSet = false;
        return;
    case Kw::Pict:
        if (s.dest == Dest::FontTable || s.dest == Dest::ColorTable) {
            skipGroup();
            return;
        }
        s.dest = Dest::Pict;
        s.group = Group::Pict;
        s.opener = true;
        m_pict = {};
        m_pictHigh = -1;
        return;
    case Kw::ShpPict:
        s.dest = Dest::Discard;
        return;
    case Kw::NonShpPict:
        skipGroup();
        return;
    case Kw::Shp:
        if (s.dest != Dest::Discard)
            m_shapePicture = false;
        s.dest = Dest::Discard;
        return;
    case Kw::ShpInst:
        s.dest = Dest::Discard;
        return;
    case Kw::ShpRslt:
        if (m_shapePicture)
            skipGroup();
        else
            s.dest = Dest::Discard;
        return;
    case Kw::Sp:
        s.dest = Dest::Discard;
        return;
    case Kw::Sn:
        s.dest = Dest::ShapeName;
        m_shapePropName.clear();
        return;
    case Kw::Sv:
        s.dest = Dest::Discard;
        s.inShapeValue = true;
        return;
    case Kw::Object:
        s.dest = Dest::Discard;
        return;
    case Kw::Result:
        return; // inside an object: pictures only, as the group is discarded
    case Kw::Field:
        s.group = Group::Field;
        s.opener = true;
        if (m_fields.size() < 64)
            m_fields.push_back({});
        return;
    case Kw::FldInst:
        if (s.group != Group::Field || m_fields.empty()) {
            skipGroup();
            return;
        }
        s.dest = Dest::FieldInst;
        return;
    case Kw::FldRslt:
        ensureBlock();
        if (!m_fields.empty())
            m_fields.back().resultAt = m_cursor.position() + int(m_run.size());
        return;
    case Kw::PnText:
    case Kw::ListText:
        // The marker a writer computed; lists draw their own.
        skipGroup();
        return;
    case Kw::Pn:
        if (s.dest == Dest::Body) {
            s.dest = Dest::Discard;
            s.group = Group::Pn;
            s.opener = true;
            p.pnKind = ListKind::Decimal;
            p.pnLevel = 0;
        } else {
            skipGroup();
        }
        return;
    case Kw::ListTable:
    case Kw::ListOverrideTable:
        s.dest = Dest::Discard;
        return;
    case Kw::List:
        s.dest = Dest::Discard;
        s.group = Group::List;
        s.opener = true;
        m_listDefId = 0;
        m_listDefLevels.clear();
        return;
    case Kw::ListLevel:
        s.dest = Dest::ListLevel;
        s.group = Group::ListLevel;
        s.opener = true;
        m_levelDef = {};
        return;
    case Kw::ListOverride:
        s.dest = Dest::Discard;
        s.group = Group::ListOverride;
        s.opener = true;
        m_overrideListId = m_overrideLs = 0;
        return;
    case Kw::Upr:
        s.dest = Dest::Discard;
        return;
    case Kw::Do:
        s.dest = Dest::Discard;
        return;
    case Kw::DpTxbxText:
        // A text box of an old-style drawing object: its text stands where it is anchored.
        s.dest = Dest::Body;
        return;
    case Kw::Nothing:
        return;
    case Kw::ChFtn:
        // The footnote's reference mark; the footnote itself is not part of the body.
        if (s.dest == Dest::Body) {
            const QString number = QString::number(++m_footnotes);
            for (QChar ch : number)
                addChar(ch.unicode());
        }
        return;
    case Kw::PnTxtA:
    case Kw::PnTxtB:
        if (s.group != Group::Pn) {
            skipGroup();
            return;
        }
        s.dest = Dest::Marker;
        s.group = kw == Kw::PnTxtA ? Group::PnAfter : Group::PnBefore;
        s.opener = true;
        m_marker.clear();
        return;
    case Kw::LevelText:
        if (s.group != Group::ListLevel) {
            skipGroup();
            return;
        }
        s.dest = Dest::Marker;
        s.group = Group::LevelText;
        s.opener = true;
        m_marker.clear();
        return;
    case Kw::Ud:
        s.dest = Dest::Body;
        return;

    // --- character formatting ---
    case Kw::Plain: {
        const int font = -1;
        c = CharProps();
        c.font = font;
        return;
    }
    case Kw::B:
        c.bold = on != 0;
        return;
    case Kw::I:
        c.italic = on != 0;
        return;
    case Kw::Ul:
        c.underline = on ? QTextCharFormat::SingleUnderline : 0;
        return;
    case Kw::UlDotted:
        c.underline = on ? QTextCharFormat::DotLine : 0;
        return;
    case Kw::UlDash:
        c.underline = on ? QTextCharFormat::DashUnderline : 0;
        return;
    case Kw::UlDashDot:
        c.underline = on ? QTextCharFormat::DashDotLine : 0;
        return;
    case Kw::UlDashDotDot:
        c.underline = on ? QTextCharFormat::DashDotDotLine : 0;
        return;
    case Kw::UlWave:
        c.underline = on ? QTextCharFormat::WaveUnderline : 0;
        return;
    case Kw::UlNone:
        c.underline = 0;
        return;
    case Kw::Strike:
        c.strike = on != 0;
        return;
    case Kw::F:
        if (s.dest == Dest::FontTable) {
            finishFontEntry();
            m_fontDef = std::max(0, param);
            m_fonts[m_fontDef] = Font();
        } else if (hasParam) {
            c.font = std::max(0, param);
        }
        return;
    case Kw::Fs:
        c.halfPoints = hasParam && param > 0 ? std::min(param, 3276) : 24;
        return;
    case Kw::Cf:
        c.color = std::max(0, param);
        return;
    case Kw::Cb:
    case Kw::Highlight:
        c.highlight = std::max(0, param);
        return;
    case Kw::Super:
        c.vertical = on ? 1 : 0;
        c.offsetHalfPoints = 0;
        return;
    case Kw::Sub:
        c.vertical = on ? -1 : 0;
        c.offsetHalfPoints = 0;
        return;
    case Kw::NoSuperSub:
        c.vertical = 0;
        c.offsetHalfPoints = 0;
        return;
    case Kw::Up:
        c.offsetHalfPoints = std::clamp(hasParam ? param : 6, -3276, 3276);
        return;
    case Kw::Dn:
        c.offsetHalfPoints = -std::clamp(hasParam ? param : 6, -3276, 3276);
        return;
    case Kw::Caps:
        c.caps = on != 0;
        return;
    case Kw::Scaps:
        c.smallCaps = on != 0;
        return;
    case Kw::V:
        c.hidden = on != 0;
        return;
    case Kw::Dbch:
        c.dbch = true;
        return;
    case Kw::Loch:
        c.dbch = false;
        return;
    // Associated properties count for double-byte text when given in its mode (after
    // \rtlch they are right-to-left text's, which is not told apart here). The font stays
    // \f's: writers give \af for other kinds of text than the one that follows.
    case Kw::Af:
        return;
    case Kw::Afs:
        if (c.dbch)
            c.assocHalfPoints = hasParam && param > 0 ? std::min(param, 3276) : 0;
        return;
    case Kw::Ab:
        if (c.dbch)
            c.assocBold = on != 0;
        return;
    case Kw::Ai:
        if (c.dbch)
            c.assocItalic = on != 0;
        return;

    // --- paragraph formatting ---
    case Kw::Pard: {
        p = ParaProps();
        return;
    }
    case Kw::Ql:
        p.align = 0;
        return;
    case Kw::Qr:
        p.align = 1;
        return;
    case Kw::Qc:
        p.align = 2;
        return;
    case Kw::Qj:
        p.align = 3;
        return;
    case Kw::Li:
        p.li = std::clamp(param, -31680, 31680);
        return;
    case Kw::Ri:
        p.ri = std::clamp(param, -31680, 31680);
        return;
    case Kw::Fi:
        p.fi = std::clamp(param, -31680, 31680);
        return;
    case Kw::Sb:
        p.sb = std::clamp(param, 0, 31680);
        return;
    case Kw::Sa:
        p.sa = std::clamp(param, 0, 31680);
        return;
    case Kw::Tx:
        if (p.tabs.size() < MaxTabs) {
            p.tabs.append(std::clamp(param, 0, 31680));
            p.tabKinds.append(p.nextTabKind);
        }
        p.nextTabKind = 0;
        return;
    case Kw::Tqr:
        p.nextTabKind = QTextOption::RightTab;
        return;
    case Kw::Tqc:
        p.nextTabKind = QTextOption::CenterTab;
        return;
    case Kw::Tqdec:
        p.nextTabKind = QTextOption::DelimiterTab;
        return;
    case Kw::Ls:
        if (s.group == Group::ListOverride)
            m_overrideLs = param;
        else
            p.ls = std::max(0, param);
        return;
    case Kw::Ilvl:
        p.ilvl = param;
        return;
    case Kw::PageBb:
        p.pageBreakBefore = on != 0;
        return;
    case Kw::Intbl:
        return;

    // --- breaks and special characters ---
    case Kw::Par:
    case Kw::Sect:
    case Kw::Column:
        if (s.dest == Dest::Body)
            endParagraph();
        return;
    case Kw::Cell:
        if (s.dest == Dest::Body)
            endParagraph();
        return;
    case Kw::Row:
        if (s.dest == Dest::Body && m_blockHasContent)
            endParagraph();
        return;
    case Kw::Page:
        if (s.dest == Dest::Body)
            pageBreak();
        return;
    case Kw::Line:
        addChar(QChar::LineSeparator);
        return;
    case Kw::Tab:
        addChar('\t');
        return;
    case Kw::EmDash:
        addChar(0x2014);
        return;
    case Kw::EnDash:
        addChar(0x2013);
        return;
    case Kw::Bullet:
        addChar(0x2022);
        return;
    case Kw::LQuote:
        addChar(0x2018);
        return;
    case Kw::RQuote:
        addChar(0x2019);
        return;
    case Kw::LDblQuote:
        addChar(0x201C);
        return;
    case Kw::RDblQuote:
        addChar(0x201D);
        return;
    case Kw::EmSpace:
        addChar(0x2003);
        return;
    case Kw::EnSpace:
        addChar(0x2002);
        return;
    case Kw::QmSpace:
        addChar(0x2005);
        return;
    case Kw::Zwj:
        addChar(0x200D);
        return;
    case Kw::Zwnj:
        addChar(0x200C);
        return;
    case Kw::LtrMark:
        addChar(0x200E);
        return;
    case Kw::RtlMark:
        addChar(0x200F);
        return;
    case Kw::U: {
        int v = param;
        if (v < 0)
            v += 65536;
        if (v < 0 || v > 0xFFFF)
            v = 0xFFFD;
        // Control characters are not text, nor is the mark that stands for a picture.
        if ((v >= 0x20 || v == '\t') && v != QChar::ObjectReplacementCharacter)
            addChar(char16_t(v));
        m_ucSkip = state().uc;
        return;
    }
    case Kw::Uc:
        s.uc = std::clamp(param, 0, 16);
        return;
    case Kw::Bin:
        return; // handled by the tokenizer

    // --- document ---
    case Kw::Ansi:
        m_docCodePage = 1252;
        return;
    case Kw::Mac:
        m_docCodePage = 10000;
        return;
    case Kw::Pc:
        m_docCodePage = 437;
        return;
    case Kw::Pca:
        m_docCodePage = 850;
        return;
    case Kw::AnsiCpg:
        // 0 and unknown pages leave the default; the decoder falls back to Windows-1252.
        if (param > 0)
            m_docCodePage = param;
        m_cpPage = nullptr;
        return;
    case Kw::Deff:
        m_deff = std::max(0, param);
        return;

    // --- font and colour tables ---
    case Kw::FCharset:
        if (s.dest == Dest::FontTable && m_fontDef >= 0) {
            Font &f = m_fonts[m_fontDef];
            f.charset = param;
            if (!f.codePage || f.charset >= 0)
                f.codePage = RtfEncoding::codePageForCharset(param);
        }
        return;
    case Kw::Cpg:
        if (s.dest == Dest::FontTable && m_fontDef >= 0 && param > 0)
            m_fonts[m_fontDef].codePage = param;
        return;
    case Kw::Red:
        m_colorDef.setRed(std::clamp(param, 0, 255));
        m_colorSet = true;
        return;
    case Kw::Green:
        m_colorDef.setGreen(std::clamp(param, 0, 255));
        m_colorSet = true;
        return;
    case Kw::Blue:
        m_colorDef.setBlue(std::clamp(param, 0, 255));
        m_colorSet = true;
        return;

    // --- pictures ---
    case Kw::PngBlip:
        m_pict.kind = "png";
        return;
    case Kw::JpegBlip:
        m_pict.kind = "jpeg";
        return;
    case Kw::WMetafile:
        m_pict.kind = "wmf";
        return;
    case Kw::EmfBlip:
        m_pict.kind = "emf";
        return;
    case Kw::DiBitmap:
        m_pict.kind = "dib";
        return;
    case Kw::WBitmap:
        m_pict.kind = "wbitmap";
        return;
    case Kw::MacPict:
        m_pict.kind = "pict";
        return;
    case Kw::PmMetafile:
        m_pict.kind = "pmm";
        return;
    case Kw::PicW:
        m_pict.picw = param;
        return;
    case Kw::PicH:
        m_pict.pich = param;
        return;
    case Kw::PicWGoal:
        m_pict.goalw = param;
        return;
    case Kw::PicHGoal:
        m_pict.goalh = param;
        return;
    case Kw::PicScaleX:
        m_pict.scalex = param;
        return;
    case Kw::PicScaleY:
        m_pict.scaley = param;
        return;
    case Kw::WbmBitsPixel:
        m_pict.wbmBitsPixel = std::clamp(param, 1, 32);
        return;
    case Kw::WbmPlanes:
        m_pict.wbmPlanes = std::clamp(param, 1, 4);
        return;
    case Kw::WbmWidthBytes:
        m_pict.wbmWidthBytes = std::clamp(param, 0, 1 << 20);
        return;

    // --- lists ---
    case Kw::ListId:
        if (s.group == Group::List)
            m_listDefId = param;
        else if (s.group == Group::ListOverride)
            m_overrideListId = param;
        return;
    case Kw::LevelStartAt:
        if (s.dest == Dest::ListLevel)
            m_levelDef.start = std::clamp(param, 0, 32767);
        return;
    case Kw::LevelNfc:
        if (s.dest == Dest::ListLevel)
            m_levelDef.kind = kindFromNfc(param);
        return;
    case Kw::PnLvlBlt:
        p.pnKind = ListKind::Bullet;
        return;
    case Kw::PnLvlBody:
        if (p.pnKind == ListKind::Bullet || p.pnKind == ListKind::None)
            p.pnKind = ListKind::Decimal;
        return;
    case Kw::PnLvlCont:
        return;
    case Kw::PnLvl:
        p.pnLevel = std::clamp(param - 1, 0, 8);
        if (p.pnKind == ListKind::None)
            p.pnKind = ListKind::Decimal;
        return;
    case Kw::PnDec:
        p.pnKind = ListKind::Decimal;
        return;
    case Kw::PnUcLtr:
        p.pnKind = ListKind::UpperAlpha;
        return;
    case Kw::PnLcLtr:
        p.pnKind = ListKind::LowerAlpha;
        return;
    case Kw::PnUcRm:
        p.pnKind = ListKind::UpperRoman;
        return;
    case Kw::PnLcRm:
        p.pnKind = ListKind::LowerRoman;
        return;
    }
}

} // namespace

bool Rtf::isRtf(QByteArrayView data)
{
    qsizetype i = 0;
    // A UTF-8 byte order mark in front is tolerated, as is white space.
    if (data.size() >= 3 && data.first(3) == QByteArrayView("\xEF\xBB\xBF"))
        i = 3;
    while (i < data.size() &&
           (data[i] == ' ' || data[i] == '\t' || data[i] == '\r' || data[i] == '\n'))
        ++i;
    return data.sliced(i).startsWith("{\\rtf");
}

bool Rtf::read(QByteArrayView data, QTextDocument &document)
{
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    if (!isRtf(data)) {
        document.setUndoRedoEnabled(undo);
        return false;
    }
    Reader reader(data, document, false);
    reader.run();
    document.setUndoRedoEnabled(undo);
    return true;
}

bool Rtf::insert(QByteArrayView data, QTextCursor &cursor, FinalMark finalMark)
{
    if (!isRtf(data) || !cursor.document())
        return false;
    QTextDocument scratch;
    scratch.setUndoRedoEnabled(false);
    Reader reader(data, scratch, finalMark == FinalMark::Breaks);
    reader.run();
    // Pictures travel as resources of the document that shows them.
    QTextDocument *target = cursor.document();
    for (QTextBlock b = scratch.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.isImageFormat())
                continue;
            const QString name = f.toImageFormat().name();
            target->addResource(QTextDocument::ImageResource, QUrl(name),
                                scratch.resource(QTextDocument::ImageResource, QUrl(name)));
        }
    }
    cursor.insertFragment(QTextDocumentFragment(&scratch));
    return true;
}
