// Character and paragraph formatting.
#include "platform/rtf/writer/Writer.h"

#include "platform/rtf/KeptContent.h"
#include "platform/rtf/RtfEncoding.h"
#include "platform/rtf/TextFormats.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <cmath>

using namespace TextFormats;

namespace RtfWrite {

bool isSymbolFont(const QString &name)
{
    return name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0 ||
           name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive) ||
           name.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("Marlett"), Qt::CaseInsensitive) == 0;
}

int twips(const QTextFormat &f, int twipsProperty, qreal pixels)
{
    const int fromPixels = int(std::lround(pixels / PixelsPerTwip));
    if (f.hasProperty(twipsProperty)) {
        const int exact = f.intProperty(twipsProperty);
        if (std::abs(exact - fromPixels) <= 8)
            return exact;
    }
    return fromPixels;
}

CharState Writer::charState(const QTextCharFormat &f)
{
    CharState s;
    QString family;
    const QVariant families = f.property(QTextFormat::FontFamilies);
    if (families.isValid() && !families.toStringList().isEmpty())
        family = families.toStringList().first();
    if (family.isEmpty())
        family = f.stringProperty(QTextFormat::FontFamily);
    s.font = family.isEmpty() ? m_defaultFontNumber : fontIndex(family);
    const qreal pt = f.fontPointSize();
    s.halfPoints = pt > 0 ? std::clamp(int(std::lround(pt * 2)), 1, 3276) : m_defaultHalfPoints;
    s.bold = f.fontWeight() >= QFont::DemiBold;
    s.italic = f.fontItalic();
    s.strike = f.fontStrikeOut();
    s.hidden = f.boolProperty(Hidden) && KeptContent::isKeptObject(f);
    // The look the reader gave a link is not the text's own formatting.
    const bool linkLook = f.boolProperty(KeptContent::LinkLook);
    switch (f.underlineStyle()) {
    case QTextCharFormat::SingleUnderline:
        s.underline = 1;
        break;
    case QTextCharFormat::DashUnderline:
        s.underline = 2;
        break;
    case QTextCharFormat::DotLine:
        s.underline = 3;
        break;
    case QTextCharFormat::DashDotLine:
        s.underline = 4;
        break;
    case QTextCharFormat::DashDotDotLine:
        s.underline = 5;
        break;
    case QTextCharFormat::WaveUnderline:
        s.underline = 6;
        break;
    default:
        s.underline = 0;
        break;
    }
    if (linkLook && s.underline == 1)
        s.underline = 0;
    if (f.fontCapitalization() == QFont::AllUppercase)
        s.caps = 1;
    else if (f.fontCapitalization() == QFont::SmallCaps)
        s.caps = 2;
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush &&
        !(linkLook && f.foreground().color() == QColor(0, 0, 255)))
        s.color = colorIndex(f.foreground().color());
    if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
        s.highlight = colorIndex(f.background().color());
    if (f.hasProperty(CharOffsetTwips) && f.intProperty(CharOffsetTwips) != 0) {
        s.offsetHalfPoints = f.intProperty(CharOffsetTwips) / 10;
    } else if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) {
        s.vertical = 1;
    } else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) {
        s.vertical = -1;
    }

    return s;
}

void Writer::writeCharFormat(const QTextCharFormat &f, int formatIndex)
{
    // Documents use few formats: each is worked out once.
    CharState s;
    if (formatIndex >= 0) {
        auto it = m_charStates.constFind(formatIndex);
        if (it == m_charStates.constEnd())
            it = m_charStates.insert(formatIndex, charState(f));
        s = *it;
    } else {
        s = charState(f);
    }
    writeCharState(s);
}

// Writes the control words that take the text from the current character state to s.
void Writer::writeCharState(const CharState &s)
{
    CharState &c = m_char;
    if (s.font != c.font)
        word("f", s.font);
    if (s.halfPoints != c.halfPoints)
        word("fs", s.halfPoints);
    if (s.bold != c.bold)
        s.bold ? word("b") : word("b", 0);
    if (s.italic != c.italic)
        s.italic ? word("i") : word("i", 0);
    if (s.underline != c.underline) {
        static const char *const kinds[] = {"ulnone",  "ul",       "uldash", "uld",
                                            "uldashd", "uldashdd", "ulwave"};
        word(kinds[s.underline]);
    }
    if (s.strike != c.strike)
        s.strike ? word("strike") : word("strike", 0);
    if (s.hidden != c.hidden)
        s.hidden ? word("v") : word("v", 0);
    if (s.caps != c.caps) {
        if (c.caps == 1)
            word("caps", 0);
        if (c.caps == 2)
            word("scaps", 0);
        if (s.caps == 1)
            word("caps");
        if (s.caps == 2)
            word("scaps");
    }
    if (s.color != c.color)
        word("cf", s.color);
    if (s.highlight != c.highlight)
        word("highlight", s.highlight);
    if (s.offsetHalfPoints != c.offsetHalfPoints || s.vertical != c.vertical) {
        if (s.offsetHalfPoints > 0)
            word("up", s.offsetHalfPoints);
        else if (s.offsetHalfPoints < 0)
            word("dn", -s.offsetHalfPoints);
        else if (s.vertical > 0)
            word("super");
        else if (s.vertical < 0)
            word("sub");
        else
            word("nosupersub");
        if (c.offsetHalfPoints != 0 && s.offsetHalfPoints == 0 && s.vertical == 0) {
            if (c.offsetHalfPoints > 0)
                word("up", 0);
            else
                word("dn", 0);
        }
    }
    const bool rtl = c.rtl;
    c = s;
    c.rtl = rtl; // set by the text written, not by the format
    const qsizetype slot = m_fontSlot.value(s.font, -1);
    const Font *font = slot >= 0 ? &m_fonts[slot] : nullptr;
    m_symbolRun = font && (font->charset == 2 || isSymbolFont(font->name));
    // 8-bit text is read in the font's charset, or the document's code page for a font that
    // names none.
    int page = m_codePage;
    if (font && font->charset >= 0) {
        page = RtfEncoding::codePageForCharset(font->charset);
        if (page == 0)
            page = m_codePage;
    }
    m_bytesRun = page == 1252;
}

ParaState Writer::paraState(const QTextBlockFormat &f)
{
    ParaState p;
    const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
    if (a & Qt::AlignJustify)
        p.align = 3;
    else if (a & Qt::AlignHCenter)
        p.align = 2;
    else if (a & Qt::AlignRight)
        p.align = 1;
    p.li = twips(f, LeftIndentTwips, f.leftMargin());
    p.ri = twips(f, RightIndentTwips, f.rightMargin());
    // A list item's first line may be laid out at the left indent (see firstLinePixels).
    p.fi = twips(f, FirstIndentTwips, f.textIndent());
    if (f.hasProperty(FirstIndentTwips) && f.objectIndex() >= 0 &&
        std::abs(firstLinePixels(f.intProperty(FirstIndentTwips), true) - f.textIndent()) < 0.5)
        p.fi = f.intProperty(FirstIndentTwips);
    p.sb = twips(f, SpaceBeforeTwips, f.topMargin());
    p.sa = twips(f, SpaceAfterTwips, f.bottomMargin());
    const QList<QTextOption::Tab> tabs = f.tabPositions();
    const QList<int> exact = f.property(TabStopsTwips).value<QList<int>>();
    for (qsizetype i = 0; i < tabs.size(); ++i) {
        const int fromPixels = int(std::lround(tabs[i].position / PixelsPerTwip));
        const bool useExact = exact.size() == tabs.size() && std::abs(exact[i] - fromPixels) <= 8;
        p.tabs.append(useExact ? exact[i] : fromPixels);
        p.tabKinds.append(tabs[i].type);
    }
    p.pageBreakBefore = f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore;
    p.rtl = f.layoutDirection() == Qt::RightToLeft;
    return p;
}

void Writer::writeParagraphProps(const QTextBlock &block)
{
    const int index = block.blockFormatIndex();
    auto cached = m_paraStates.constFind(index);
    if (cached == m_paraStates.constEnd())
        cached = m_paraStates.insert(index, paraState(block.blockFormat()));
    ParaState p = *cached;
    // A paragraph whose direction its text decides is right-to-left when it shows so.
    if (block.blockFormat().layoutDirection() == Qt::LayoutDirectionAuto)
        p.rtl = block.textDirection() == Qt::RightToLeft;
    listParagraph(block, p);
    p.depth = m_depth;
    if (m_paraWritten && p == m_para && !p.list)
        return;
    m_paraWritten = true;
    m_para = p;
    ++m_paragraphsWritten;
    word("pard");
    if (p.depth > 0)
        word("intbl");
    if (p.depth > 1)
        word("itap", p.depth);
    if (p.rtl)
        word("rtlpar");
    writeListProps(p);
    static const char *const aligns[] = {"ql", "qr", "qc", "qj"};
    if (p.align)
        word(aligns[p.align]);
    if (p.fi)
        word("fi", p.fi);
    if (p.li)
        word("li", p.li);
    if (p.ri)
        word("ri", p.ri);
    if (p.sb)
        word("sb", p.sb);
    if (p.sa)
        word("sa", p.sa);
    for (qsizetype i = 0; i < p.tabs.size(); ++i) {
        if (p.tabKinds[i] == QTextOption::RightTab)
            word("tqr");
        else if (p.tabKinds[i] == QTextOption::CenterTab)
            word("tqc");
        else if (p.tabKinds[i] == QTextOption::DelimiterTab)
            word("tqdec");
        word("tx", p.tabs[i]);
    }
    if (p.pageBreakBefore)
        word("pagebb");
}

} // namespace RtfWrite
