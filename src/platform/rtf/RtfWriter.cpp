#include "platform/rtf/RtfWriter.h"

#include "platform/rtf/RtfEncoding.h"
#include "platform/rtf/TextFormats.h"

#include <QBuffer>
#include <QHash>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>

#include <charconv>
#include <cmath>

using namespace TextFormats;

namespace {

// Character formatting as the writer tracks it between runs.
struct CharState
{
    int font = 0;
    int halfPoints = 24;
    int color = 0;
    int highlight = 0;
    int offsetHalfPoints = 0;
    int vertical = 0;
    int underline = 0;
    int caps = 0; // 1 all capitals, 2 small capitals
    bool bold = false, italic = false, strike = false, hidden = false;
};

struct ParaState
{
    int align = 0;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    QList<int> tabs;
    QList<int> tabKinds;
    bool pageBreakBefore = false;
    const QTextList *list = nullptr;
    int level = 0;

    bool operator==(const ParaState &) const = default;
};

// Marker text as written inside a group: escaped, characters outside Windows-1252 as \uN.
QByteArray markerBytes(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const int b = RtfEncoding::toWindows1252(c.unicode());
        if (c == u'\\' || c == u'{' || c == u'}' || c == u';')
            out.append("\\'").append(QByteArray::number(c.unicode(), 16));
        else if (b >= 0x20 && b < 0x80)
            out.append(char(b));
        else if (b >= 0x80)
            out.append("\\'").append(QByteArray::number(b, 16));
        else
            out.append("\\u").append(QByteArray::number(qint16(c.unicode()))).append('?');
    }
    return out;
}

// The marker of a bullet: the symbol font's bullet, or a white bullet or a small square.
QByteArray bulletMarker(QTextListFormat::Style style, int symbolFont)
{
    if (style == QTextListFormat::ListCircle)
        return "\\u9702 ?";
    if (style == QTextListFormat::ListSquare)
        return "\\u9642 ?";
    return "\\f" + QByteArray::number(symbolFont) + "\\'b7";
}

int listStart(const QTextList &list)
{
    return list.format().hasProperty(ListStart) ? list.format().intProperty(ListStart) : 1;
}

bool isSymbolFont(const QString &name)
{
    return name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0 ||
           name.startsWith(QLatin1String("Wingdings"), Qt::CaseInsensitive) ||
           name.compare(QLatin1String("Webdings"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("Marlett"), Qt::CaseInsensitive) == 0;
}

// A length kept in exact twips beside its pixel value: the twips win while they still agree
// with the pixels (the control may have changed only the pixel value).
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

class Writer
{
public:
    Writer(const QTextDocument &doc, int from, int to) : m_doc(doc), m_from(from), m_to(to)
    {
        m_defaultFont = doc.defaultFont().family();
        if (m_defaultFont.isEmpty())
            m_defaultFont = QStringLiteral("Times New Roman");
        fontIndex(m_defaultFont);
        const qreal pt = doc.defaultFont().pointSizeF();
        m_defaultHalfPoints = pt > 0 ? int(std::lround(pt * 2)) : 24;
    }

    QByteArray run();

private:
    void writeBlock(const QTextBlock &block, bool last, bool whole);
    void writeParagraphProps(const QTextBlock &block);
    void writeListMarker(const QTextBlock &block);
    void writeCharFormat(const QTextCharFormat &f, int formatIndex = -1);
    void writeCharState(const CharState &s);
    CharState charState(const QTextCharFormat &f);
    ParaState paraState(const QTextBlockFormat &f);
    void writeText(QStringView text);
    void writePicture(const QTextImageFormat &f);
    void word(const char *w);
    void word(const char *w, int param);
    int fontIndex(const QString &name);
    int colorIndex(const QColor &c);
    int listIndex(const QTextList *list);
    QByteArray header();

    const QTextDocument &m_doc;
    int m_from, m_to;
    QByteArray m_body;
    bool m_delimit = false; // the last thing written was a control word
    QString m_defaultFont;
    int m_defaultHalfPoints = 24;
    QStringList m_fonts;
    QHash<QString, int> m_fontIndex;
    QList<QRgb> m_colors;
    QHash<QRgb, int> m_colorIndex;
    QList<const QTextList *> m_lists;
    CharState m_char;
    QHash<int, CharState> m_charStates; // by the document's format index
    QHash<int, ParaState> m_paraStates;
    ParaState m_para;
    bool m_paraWritten = false;
    int m_symbolFont = -1;
    bool m_symbolRun = false; // the current font is a symbol font
};

void Writer::word(const char *w)
{
    m_body.append('\\').append(w);
    m_delimit = true;
}

void Writer::word(const char *w, int param)
{
    char digits[16];
    const auto result = std::to_chars(digits, digits + sizeof digits, param);
    m_body.append('\\').append(w).append(digits, result.ptr - digits);
    m_delimit = true;
}

int Writer::fontIndex(const QString &name)
{
    auto it = m_fontIndex.constFind(name);
    if (it != m_fontIndex.constEnd())
        return *it;
    const int index = int(m_fonts.size());
    m_fonts.append(name);
    m_fontIndex.insert(name, index);
    return index;
}

int Writer::colorIndex(const QColor &c)
{
    const QRgb rgb = c.rgb() & 0xFFFFFF;
    auto it = m_colorIndex.constFind(rgb);
    if (it != m_colorIndex.constEnd())
        return *it;
    m_colors.append(rgb);
    const int index = int(m_colors.size()); // index 0 is "automatic"
    m_colorIndex.insert(rgb, index);
    return index;
}

int Writer::listIndex(const QTextList *list)
{
    const qsizetype i = m_lists.indexOf(list);
    if (i >= 0)
        return int(i) + 1;
    m_lists.append(list);
    return int(m_lists.size());
}

void Writer::writeText(QStringView text)
{
    static const char hex[] = "0123456789abcdef";
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t ch = text[i].unicode();
        if (m_symbolRun && ch >= 0x20 && ch != 0x2028 && ch != 0x2029 &&
            ch != QChar::ObjectReplacementCharacter) {
            // A symbol font's bytes are glyph numbers (U+F020-U+F0FF as read); any other
            // character in it is written as itself.
            if (ch >= 0xF020 && ch <= 0xF0FF) {
                const int glyph = ch - 0xF000;
                m_body.append("\\'").append(hex[glyph >> 4]).append(hex[glyph & 15]);
                m_delimit = false;
            } else {
                word("u", ch > 32767 ? int(ch) - 65536 : int(ch));
                m_body.append(" ?");
                m_delimit = false;
            }
            continue;
        }
        switch (ch) {
        case '\\':
            m_body.append("\\\\");
            m_delimit = false;
            continue;
        case '{':
            m_body.append("\\{");
            m_delimit = false;
            continue;
        case '}':
            m_body.append("\\}");
            m_delimit = false;
            continue;
        case '\t':
            word("tab");
            continue;
        case 0x2028:
            word("line");
            continue;
        case 0x2029:
            word("par");
            continue;
        case 0x00A0:
            m_body.append("\\~");
            m_delimit = false;
            continue;
        case 0x00AD:
            m_body.append("\\-");
            m_delimit = false;
            continue;
        case 0x2011:
            m_body.append("\\_");
            m_delimit = false;
            continue;
        case QChar::ObjectReplacementCharacter:
            continue; // pictures are written by format
        default:
            break;
        }
        if (ch < 0x20)
            continue;
        if (ch < 0x80) {
            if (m_delimit && (ch == ' ' || ch == '-' || (ch >= '0' && ch <= '9') ||
                              (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z')))
                m_body.append(' ');
            // The run of plain characters from here, copied at once.
            qsizetype end = i + 1;
            while (end < n) {
                const char16_t c = text[end].unicode();
                if (c < 0x20 || c >= 0x80 || c == '\\' || c == '{' || c == '}')
                    break;
                ++end;
            }
            const qsizetype at = m_body.size();
            m_body.resize(at + (end - i));
            char *out = m_body.data() + at;
            for (qsizetype k = i; k < end; ++k)
                *out++ = char(text[k].unicode());
            i = end - 1;
            m_delimit = false;
            continue;
        }
        const int byte = RtfEncoding::toWindows1252(ch);
        if (byte >= 0) {
            m_body.append("\\'").append(hex[byte >> 4]).append(hex[byte & 15]);
            m_delimit = false;
            continue;
        }
        // Outside Windows-1252: Unicode with a '?' for readers that know no better. Characters
        // beyond the first plane arrive here as their two surrogates, written one by one.
        word("u", ch > 32767 ? int(ch) - 65536 : int(ch));
        m_body.append(" ?");
        m_delimit = false;
    }
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
    s.font = family.isEmpty() ? 0 : fontIndex(family);
    const qreal pt = f.fontPointSize();
    s.halfPoints = pt > 0 ? std::clamp(int(std::lround(pt * 2)), 1, 3276) : m_defaultHalfPoints;
    s.bold = f.fontWeight() >= QFont::DemiBold;
    s.italic = f.fontItalic();
    s.strike = f.fontStrikeOut();
    s.hidden = f.boolProperty(Hidden);
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
    if (f.fontCapitalization() == QFont::AllUppercase)
        s.caps = 1;
    else if (f.fontCapitalization() == QFont::SmallCaps)
        s.caps = 2;
    if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
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
    c = s;
    m_symbolRun = isSymbolFont(m_fonts.value(s.font));
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
    return p;
}

void Writer::writeParagraphProps(const QTextBlock &block)
{
    const int index = block.blockFormatIndex();
    auto cached = m_paraStates.constFind(index);
    if (cached == m_paraStates.constEnd())
        cached = m_paraStates.insert(index, paraState(block.blockFormat()));
    ParaState p = *cached;
    p.list = block.textList();
    if (p.list) {
        p.level = 0;
        const QTextBlockFormat f = block.blockFormat();
        if (p.li == 0 && p.fi == 0 && !f.hasProperty(LeftIndentTwips) &&
            !f.hasProperty(FirstIndentTwips)) {
            // A list the paragraph's indents do not place: the usual hanging bullet.
            p.li = 360 * std::max(1, p.list->format().indent() + f.indent());
            p.fi = -360;
        }
    }
    if (m_paraWritten && p == m_para && !p.list)
        return;
    m_paraWritten = true;
    m_para = p;
    word("pard");
    if (p.list) {
        // The older form, for readers that know no list table. It comes before \ls: some
        // readers take a \pn after it for a list of its own.
        const QTextListFormat::Style style = p.list->format().style();
        m_body.append("{\\*\\pn");
        switch (style) {
        case QTextListFormat::ListDecimal:
            m_body.append("\\pnlvlbody\\pndec");
            break;
        case QTextListFormat::ListLowerAlpha:
            m_body.append("\\pnlvlbody\\pnlcltr");
            break;
        case QTextListFormat::ListUpperAlpha:
            m_body.append("\\pnlvlbody\\pnucltr");
            break;
        case QTextListFormat::ListLowerRoman:
            m_body.append("\\pnlvlbody\\pnlcrm");
            break;
        case QTextListFormat::ListUpperRoman:
            m_body.append("\\pnlvlbody\\pnucrm");
            break;
        default:
            m_body.append("\\pnlvlblt\\pnf" + QByteArray::number(m_symbolFont) +
                          "\\pnindent0{\\pntxtb\\'b7}");
            break;
        }
        if (style < QTextListFormat::ListSquare) {
            m_body.append("\\pnstart" + QByteArray::number(listStart(*p.list)) + "\\pnindent0");
            const QString before = p.list->format().numberPrefix();
            const QString after = p.list->format().numberSuffix();
            if (!before.isEmpty())
                m_body.append("{\\pntxtb " + markerBytes(before) + "}");
            if (!after.isEmpty())
                m_body.append("{\\pntxta " + markerBytes(after) + "}");
        }
        m_body.append('}');
        m_delimit = false;
    }
    if (p.list) {
        const int ls = listIndex(p.list);
        word("ls", ls);
        word("ilvl", std::clamp(p.list->format().intProperty(ListLevel), 0, 8));
    }
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

void Writer::writeListMarker(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return;
    const QTextListFormat::Style style = list->format().style();
    const bool bullet = style == QTextListFormat::ListDisc ||
                        style == QTextListFormat::ListCircle ||
                        style == QTextListFormat::ListSquare;
    QByteArray marker;
    if (bullet) {
        marker = bulletMarker(style, m_symbolFont) + "\\tab}";
    } else {
        QString text = list->itemText(block);
        QByteArray saved;
        std::swap(saved, m_body);
        const bool delimit = m_delimit;
        m_delimit = true;
        writeText(text);
        std::swap(saved, m_body);
        m_delimit = delimit;
        marker = saved + "\\tab}";
    }
    m_body.append("{\\listtext").append(marker);
    m_body.append("{\\pntext").append(marker);
    m_delimit = false;
}

void Writer::writePicture(const QTextImageFormat &f)
{
    QByteArray data = f.property(PictureData).toByteArray();
    QString kind = f.property(PictureKind).toString();
    const QImage image =
        m_doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>();
    if (data.isEmpty() ||
        (kind != "png" && kind != "jpeg" && kind != "wmf" && kind != "emf" && kind != "pict")) {
        if (image.isNull())
            return;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        kind = QStringLiteral("png");
    }
    // Display size in twips: the exact value read, unless the picture was resized since.
    auto displayTwips = [&f](int property, qreal pixels, int natural) {
        if (pixels <= 0)
            return natural;
        const int fromPixels = int(std::lround(pixels / PixelsPerTwip));
        if (f.hasProperty(property) && std::abs(f.intProperty(property) - fromPixels) <= 8)
            return f.intProperty(property);
        return fromPixels;
    };
    const int naturalW = image.isNull() ? 1440 : image.width() * 15;
    const int naturalH = image.isNull() ? 1440 : image.height() * 15;
    const int goalw = displayTwips(PictureWidthTwips, f.width(), naturalW);
    const int goalh = displayTwips(PictureHeightTwips, f.height(), naturalH);
    m_body.append("{\\pict");
    const bool metafile = kind == "wmf" || kind == "emf" || kind == "pict";
    if (kind == "png")
        m_body.append("\\pngblip");
    else if (kind == "jpeg")
        m_body.append("\\jpegblip");
    else if (kind == "wmf")
        m_body.append("\\wmetafile8");
    else if (kind == "emf")
        m_body.append("\\emfblip");
    else
        m_body.append("\\macpict");
    const int picw = metafile ? int(qint64(goalw) * 2540 / 1440) : image.width();
    const int pich = metafile ? int(qint64(goalh) * 2540 / 1440) : image.height();
    m_body.append("\\picw" + QByteArray::number(picw) + "\\pich" + QByteArray::number(pich) +
                  "\\picwgoal" + QByteArray::number(goalw) + "\\pichgoal" +
                  QByteArray::number(goalh) + "\r\n");
    static const char hex[] = "0123456789abcdef";
    const qsizetype start = m_body.size();
    m_body.resize(start + data.size() * 2 + data.size() / 64 * 2);
    char *out = m_body.data() + start;
    for (qsizetype i = 0; i < data.size(); ++i) {
        const auto b = static_cast<unsigned char>(data[i]);
        *out++ = hex[b >> 4];
        *out++ = hex[b & 15];
        if (i % 64 == 63) {
            *out++ = '\r';
            *out++ = '\n';
        }
    }
    m_body.resize(out - m_body.data());
    m_body.append('}');
    m_delimit = false;
}

void Writer::writeBlock(const QTextBlock &block, bool last, bool whole)
{
    writeParagraphProps(block);
    if (block.textList())
        writeListMarker(block);
    const int blockStart = block.position();
    const int blockEnd = blockStart + block.length() - 1; // the paragraph separator
    bool wroteText = false;
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const int fs = frag.position();
        const int fe = fs + frag.length();
        const int s = std::max(fs, m_from);
        const int e = std::min(fe, m_to);
        if (s >= e)
            continue;
        const QTextCharFormat cf = frag.charFormat();
        writeCharFormat(cf, frag.charFormatIndex());
        wroteText = true;
        if (cf.isImageFormat()) {
            for (int i = s; i < e; ++i)
                writePicture(cf.toImageFormat());
            continue;
        }
        writeText(QStringView(frag.text()).sliced(s - fs, e - s));
    }
    if (!wroteText)
        writeCharFormat(block.charFormat()); // an empty paragraph keeps its size
    Q_UNUSED(last);
    if (whole || blockEnd < m_to) {
        // The mark goes on the baseline: a raised or lowered mark makes some readers join the
        // paragraph with the next one.
        if (m_char.vertical != 0 || m_char.offsetHalfPoints != 0) {
            CharState onBaseline = m_char;
            onBaseline.vertical = 0;
            onBaseline.offsetHalfPoints = 0;
            writeCharState(onBaseline);
        }
        word("par");
        m_body.append("\r\n");
        m_delimit = false;
    }
}

QByteArray Writer::header()
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033";
    h.append("{\\fonttbl");
    for (qsizetype i = 0; i < m_fonts.size(); ++i) {
        const QString &name = m_fonts[i];
        h.append("{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" +
                 (isSymbolFont(name) ? "2 " : "0 "));
        for (QChar c : name) {
            const int b = RtfEncoding::toWindows1252(c.unicode());
            if (c == '\\' || c == '{' || c == '}' || c == ';')
                continue;
            if (b >= 0x20 && b < 0x80)
                h.append(char(b));
            else if (b >= 0x80)
                h.append("\\'" + QByteArray::number(b, 16));
            else
                h.append("\\u" +
                         QByteArray::number(int(c.unicode()) > 32767 ? int(c.unicode()) - 65536
                                                                     : int(c.unicode())) +
                         "?");
        }
        h.append(";}");
    }
    h.append("}\r\n");
    if (!m_colors.isEmpty()) {
        h.append("{\\colortbl ;");
        for (QRgb rgb : m_colors)
            h.append("\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                     QByteArray::number(qGreen(rgb)) + "\\blue" + QByteArray::number(qBlue(rgb)) +
                     ";");
        h.append("}\r\n");
    }
    if (!m_lists.isEmpty()) {
        h.append("{\\*\\listtable");
        for (qsizetype i = 0; i < m_lists.size(); ++i) {
            const QByteArray id = QByteArray::number(i + 1);
            const QTextListFormat::Style style = m_lists[i]->format().style();
            int nfc = 23;
            switch (style) {
            case QTextListFormat::ListDecimal:
                nfc = 0;
                break;
            case QTextListFormat::ListUpperRoman:
                nfc = 1;
                break;
            case QTextListFormat::ListLowerRoman:
                nfc = 2;
                break;
            case QTextListFormat::ListUpperAlpha:
                nfc = 3;
                break;
            case QTextListFormat::ListLowerAlpha:
                nfc = 4;
                break;
            default:
                break;
            }
            const QByteArray n = QByteArray::number(nfc);
            // The list's own level and the ones above it, all alike.
            const int depth = std::clamp(m_lists[i]->format().intProperty(ListLevel), 0, 8);
            h.append("{\\list\\listtemplateid" + id + (depth == 0 ? "\\listsimple" : ""));
            for (int level = 0; level <= depth; ++level) {
                h.append("{\\listlevel\\levelnfc" + n + "\\levelnfcn" + n +
                         "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" +
                         QByteArray::number(level == depth ? listStart(*m_lists[i]) : 1));
                if (nfc == 23 && style == QTextListFormat::ListDisc) {
                    h.append("{\\leveltext\\'01\\'b7;}{\\levelnumbers;}\\f" +
                             QByteArray::number(m_symbolFont));
                } else if (nfc == 23) {
                    h.append("{\\leveltext\\'01" + bulletMarker(style, m_symbolFont) +
                             ";}{\\levelnumbers;}");
                } else {
                    const QString before = m_lists[i]->format().numberPrefix();
                    const QString after = m_lists[i]->format().numberSuffix();
                    auto hexByte = [](qsizetype v) {
                        return "\\'" + QByteArray::number(int(v), 16).rightJustified(2, '0');
                    };
                    h.append("{\\leveltext" + hexByte(before.size() + after.size() + 1) +
                             markerBytes(before) + hexByte(level) + markerBytes(after) +
                             ";}{\\levelnumbers" + hexByte(before.size() + 1) + ";}");
                }
                // The list's own level takes the indents of its first item, so readers that
                // indent list paragraphs from their level agree with the paragraphs.
                int li = 720 * (level + 1), fi = -360;
                if (level == depth && m_lists[i]->count() > 0) {
                    const QTextBlockFormat f = m_lists[i]->item(0).blockFormat();
                    if (f.hasProperty(LeftIndentTwips) || f.hasProperty(FirstIndentTwips)) {
                        const ParaState first = paraState(f);
                        li = first.li;
                        fi = first.fi;
                    }
                }
                h.append("\\fi" + QByteArray::number(fi) + "\\li" + QByteArray::number(li) + "}");
            }
            h.append("{\\listname ;}\\listid" + id + "}");
        }
        h.append("}\r\n{\\*\\listoverridetable");
        for (qsizetype i = 0; i < m_lists.size(); ++i) {
            const QByteArray id = QByteArray::number(i + 1);
            h.append("{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + "}");
        }
        h.append("}\r\n");
    }
    h.append("\\uc1 ");
    return h;
}

QByteArray Writer::run()
{
    const int end = m_doc.characterCount() - 1;
    const bool whole = m_from <= 0 && (m_to < 0 || m_to >= end);
    if (m_from < 0)
        m_from = 0;
    if (m_to < 0 || m_to > end)
        m_to = end;
    m_body.reserve(m_doc.characterCount() * 2 + 1024);

    // Bullets need the symbol font in the table before any paragraph refers to it.
    for (QTextBlock b = m_doc.findBlock(m_from); b.isValid() && b.position() <= m_to;
         b = b.next()) {
        if (b.textList()) {
            m_symbolFont = fontIndex(QStringLiteral("Symbol"));
            break;
        }
    }
    m_char.font = 0;
    m_char.halfPoints = 24;
    QTextBlock block = m_doc.findBlock(m_from);
    while (block.isValid()) {
        const QTextBlock next = block.next();
        const bool last =
            !next.isValid() || next.position() > m_to || (!whole && next.position() == m_to);
        writeBlock(block, last, whole);
        if (last)
            break;
        block = next;
    }
    QByteArray out = header();
    out.reserve(out.size() + m_body.size() + 4);
    out.append(m_body);
    out.append("}\r\n");
    return out;
}

} // namespace

QByteArray Rtf::write(const QTextDocument &document, int from, int to)
{
    Writer writer(document, from, to);
    return writer.run();
}
