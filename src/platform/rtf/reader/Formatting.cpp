// Character and paragraph formatting words, breaks and special characters.
#include "platform/rtf/reader/Formatting.h"

#include "platform/rtf/reader/KeptGroups.h"
#include "platform/rtf/reader/Keywords.h"

#include <QTextOption>

#include <algorithm>

namespace RtfRead {

namespace {

enum Word : quint16 {
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
    Fs,
    Cf,
    Cb,
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
    PageBb,
    RtlPar,
    LtrPar,
    // breaks and characters
    Par,
    Sect,
    Page,
    Line,
    Char, // a special character; the character is the word's code minus CharBase
    U,
    Uc,
    Upr,
    Ud,
};

constexpr quint16 CharBase = 0x100;
constexpr quint16 special(char16_t ch)
{
    return quint16(CharBase + (ch - 0x2000 + 0x80));
}
constexpr char16_t specialChar(quint16 code)
{
    return char16_t(code - CharBase - 0x80 + 0x2000);
}

class FormattingHandler : public Handler
{
public:
    using Handler::Handler;
    void word(quint16 code, bool hasParam, int param) override;
};

void FormattingHandler::word(quint16 code, bool hasParam, int param)
{
    State &s = m_reader.state();
    CharProps &c = s.chr;
    ParaProps &p = s.para;
    const int on = hasParam ? param : 1; // toggles: \b and \b1 on, \b0 off
    if (code >= CharBase) {
        m_reader.addChar(code == CharBase ? u'\t' : specialChar(code));
        return;
    }
    switch (Word(code)) {
    // --- character formatting ---
    case Plain:
        c = CharProps();
        return;
    case B:
        c.bold = on != 0;
        return;
    case I:
        c.italic = on != 0;
        return;
    case Ul:
        c.underline = on ? QTextCharFormat::SingleUnderline : 0;
        return;
    case UlDotted:
        c.underline = on ? QTextCharFormat::DotLine : 0;
        return;
    case UlDash:
        c.underline = on ? QTextCharFormat::DashUnderline : 0;
        return;
    case UlDashDot:
        c.underline = on ? QTextCharFormat::DashDotLine : 0;
        return;
    case UlDashDotDot:
        c.underline = on ? QTextCharFormat::DashDotDotLine : 0;
        return;
    case UlWave:
        c.underline = on ? QTextCharFormat::WaveUnderline : 0;
        return;
    case UlNone:
        c.underline = 0;
        return;
    case Strike:
        c.strike = on != 0;
        return;
    case Fs:
        c.halfPoints = hasParam && param > 0 ? std::min(param, 3276) : 24;
        return;
    case Cf:
        c.color = std::max(0, param);
        return;
    case Cb:
        c.highlight = std::max(0, param);
        return;
    case Super:
        c.vertical = on ? 1 : 0;
        c.offsetHalfPoints = 0;
        return;
    case Sub:
        c.vertical = on ? -1 : 0;
        c.offsetHalfPoints = 0;
        return;
    case NoSuperSub:
        c.vertical = 0;
        c.offsetHalfPoints = 0;
        return;
    case Up:
        c.offsetHalfPoints = std::clamp(hasParam ? param : 6, -3276, 3276);
        return;
    case Dn:
        c.offsetHalfPoints = -std::clamp(hasParam ? param : 6, -3276, 3276);
        return;
    case Caps:
        c.caps = on != 0;
        return;
    case Scaps:
        c.smallCaps = on != 0;
        return;
    case V:
        c.hidden = on != 0;
        return;
    case Dbch:
        c.dbch = true;
        return;
    case Loch:
        c.dbch = false;
        return;
    // Associated properties count for double-byte text when given in its mode (after
    // \rtlch they are right-to-left text's, which is not told apart here). The font stays
    // \f's: writers give \af for other kinds of text than the one that follows.
    case Af:
        return;
    case Afs:
        if (c.dbch)
            c.assocHalfPoints = hasParam && param > 0 ? std::min(param, 3276) : 0;
        return;
    case Ab:
        if (c.dbch)
            c.assocBold = on != 0;
        return;
    case Ai:
        if (c.dbch)
            c.assocItalic = on != 0;
        return;

    // --- paragraph formatting ---
    case Pard:
        p = ParaProps();
        return;
    case Ql:
        p.align = 0;
        return;
    case Qr:
        p.align = 1;
        return;
    case Qc:
        p.align = 2;
        return;
    case Qj:
        p.align = 3;
        return;
    case Li:
        p.li = std::clamp(param, -31680, 31680);
        return;
    case Ri:
        p.ri = std::clamp(param, -31680, 31680);
        return;
    case Fi:
        p.fi = std::clamp(param, -31680, 31680);
        return;
    case Sb:
        p.sb = std::clamp(param, 0, 31680);
        return;
    case Sa:
        p.sa = std::clamp(param, 0, 31680);
        return;
    case Tx:
        if (p.tabs.size() < MaxTabs) {
            p.tabs.append(std::clamp(param, 0, 31680));
            p.tabKinds.append(p.nextTabKind);
        }
        p.nextTabKind = 0;
        return;
    case Tqr:
        p.nextTabKind = QTextOption::RightTab;
        return;
    case Tqc:
        p.nextTabKind = QTextOption::CenterTab;
        return;
    case Tqdec:
        p.nextTabKind = QTextOption::DelimiterTab;
        return;
    case PageBb:
        p.pageBreakBefore = on != 0;
        return;
    case RtlPar:
        p.direction = 1;
        return;
    case LtrPar:
        p.direction = -1;
        return;

    // --- breaks and special characters ---
    case Par:
        if (s.dest == Kind::Body)
            m_reader.endParagraph();
        return;
    case Sect:
        if (s.dest == Kind::Body) {
            m_reader.endParagraph();
            m_reader.kept().sectionBreak();
        }
        return;
    case Page:
        if (s.dest == Kind::Body)
            m_reader.pageBreak();
        return;
    case Line:
        m_reader.addChar(QChar::LineSeparator);
        return;
    case U: {
        int v = param;
        if (v < 0)
            v += 65536;
        if (v < 0 || v > 0xFFFF)
            v = 0xFFFD;
        // Control characters are not text, nor is the mark that stands for a picture.
        if ((v >= 0x20 || v == '\t') && v != QChar::ObjectReplacementCharacter)
            m_reader.addChar(char16_t(v));
        m_reader.skipFallback();
        return;
    }
    case Uc:
        s.uc = std::clamp(param, 0, 16);
        return;
    case Upr:
        s.dest = Kind::Discard;
        return;
    case Ud:
        s.dest = Kind::Body;
        return;
    case Char:
        return;
    }
}

} // namespace

std::unique_ptr<Handler> makeFormattingHandler(Reader &reader)
{
    return std::make_unique<FormattingHandler>(reader);
}

void addFormattingWords(KeywordTable &table)
{
    addWords(table, Kind::Formatting,
             {{"plain", Plain},
              {"b", B},
              {"i", I},
              {"ul", Ul},
              {"ulw", Ul},
              {"uldb", Ul},
              {"ulth", Ul},
              {"uld", UlDotted},
              {"ulthd", UlDotted},
              {"uldash", UlDash},
              {"ulthdash", UlDash},
              {"ulldash", UlDash},
              {"ulthldash", UlDash},
              {"uldashd", UlDashDot},
              {"ulthdashd", UlDashDot},
              {"uldashdd", UlDashDotDot},
              {"ulthdashdd", UlDashDotDot},
              {"ulwave", UlWave},
              {"ulhwave", UlWave},
              {"ululdbwave", UlWave},
              {"ulnone", UlNone},
              {"strike", Strike},
              {"striked", Strike},
              {"fs", Fs},
              {"cf", Cf},
              {"cb", Cb},
              {"chcbpat", Cb},
              {"highlight", Cb},
              {"super", Super},
              {"sub", Sub},
              {"nosupersub", NoSuperSub},
              {"up", Up},
              {"dn", Dn},
              {"caps", Caps},
              {"scaps", Scaps},
              {"v", V},
              {"dbch", Dbch},
              {"loch", Loch},
              {"hich", Loch},
              {"af", Af},
              {"afs", Afs},
              {"ab", Ab},
              {"ai", Ai},
              {"pard", Pard},
              {"ql", Ql},
              {"qr", Qr},
              {"qc", Qc},
              {"qj", Qj},
              {"qd", Qj},
              {"li", Li},
              {"ri", Ri},
              {"fi", Fi},
              {"sb", Sb},
              {"sa", Sa},
              {"tx", Tx},
              {"tb", Tx},
              {"tqr", Tqr},
              {"tqc", Tqc},
              {"tqdec", Tqdec},
              {"pagebb", PageBb},
              {"par", Par},
              {"sect", Sect},
              {"rtlpar", RtlPar},
              {"ltrpar", LtrPar},
              {"column", Par},
              {"page", Page},
              {"line", Line},
              {"tab", CharBase},
              {"emdash", special(0x2014)},
              {"endash", special(0x2013)},
              {"bullet", special(0x2022)},
              {"lquote", special(0x2018)},
              {"rquote", special(0x2019)},
              {"ldblquote", special(0x201C)},
              {"rdblquote", special(0x201D)},
              {"emspace", special(0x2003)},
              {"enspace", special(0x2002)},
              {"qmspace", special(0x2005)},
              {"zwj", special(0x200D)},
              {"zwnj", special(0x200C)},
              {"ltrmark", special(0x200E)},
              {"rtlmark", special(0x200F)},
              {"u", U},
              {"uc", Uc},
              {"upr", Upr},
              {"ud", Ud}});
}

} // namespace RtfRead
