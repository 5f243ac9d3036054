// Font and colour tables; the document's code page.
#include "platform/rtf/reader/Fonts.h"

#include "platform/rtf/reader/Keywords.h"

#include <algorithm>

namespace RtfRead {

namespace {

enum Dest : quint8 { FontTable, ColorTable };

enum Word : quint16 {
    FontTbl,
    ColorTbl,
    F,
    FCharset,
    Cpg,
    Red,
    Green,
    Blue,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff
};

// A symbol font's name is written in plain characters, not in its glyph numbers.
int nameCodePage(int codePage)
{
    return codePage == RtfEncoding::SymbolCodePage ? 1252 : codePage;
}

} // namespace

void addFontWords(KeywordTable &table)
{
    addWords(table, Kind::Fonts,
             {{"fonttbl", FontTbl},
              {"colortbl", ColorTbl},
              {"f", F},
              {"fcharset", FCharset},
              {"cpg", Cpg},
              {"red", Red},
              {"green", Green},
              {"blue", Blue},
              {"ansi", Ansi},
              {"mac", Mac},
              {"pc", Pc},
              {"pca", Pca},
              {"ansicpg", AnsiCpg},
              {"deff", Deff}});
}

void FontsHandler::word(quint16 code, bool hasParam, int param)
{
    State &s = m_reader.state();
    switch (Word(code)) {
    case FontTbl:
        s.dest = Kind::Fonts;
        s.destCode = FontTable;
        return;
    case ColorTbl:
        s.dest = Kind::Fonts;
        s.destCode = ColorTable;
        m_colorDef = QColor(0, 0, 0);
        m_colorSet = false;
        return;
    case F:
        if (s.inDest(Kind::Fonts, FontTable)) {
            finishFontEntry();
            m_fontDef = std::max(0, param);
            m_fonts[m_fontDef] = Font();
        } else if (hasParam) {
            s.chr.font = std::max(0, param);
        }
        return;
    case FCharset:
        if (s.inDest(Kind::Fonts, FontTable) && m_fontDef >= 0) {
            Font &f = m_fonts[m_fontDef];
            f.charset = param;
            if (!f.codePage || f.charset >= 0)
                f.codePage = RtfEncoding::codePageForCharset(param);
        }
        return;
    case Cpg:
        if (s.inDest(Kind::Fonts, FontTable) && m_fontDef >= 0 && param > 0)
            m_fonts[m_fontDef].codePage = param;
        return;
    case Red:
        m_colorDef.setRed(std::clamp(param, 0, 255));
        m_colorSet = true;
        return;
    case Green:
        m_colorDef.setGreen(std::clamp(param, 0, 255));
        m_colorSet = true;
        return;
    case Blue:
        m_colorDef.setBlue(std::clamp(param, 0, 255));
        m_colorSet = true;
        return;
    case Ansi:
        m_docCodePage = 1252;
        return;
    case Mac:
        m_docCodePage = 10000;
        return;
    case Pc:
        m_docCodePage = 437;
        return;
    case Pca:
        m_docCodePage = 850;
        return;
    case AnsiCpg:
        // 0 and unknown pages leave the default; the decoder falls back to Windows-1252.
        if (param > 0)
            m_docCodePage = param;
        m_reader.codePagesChanged();
        return;
    case Deff:
        m_deff = std::max(0, param);
        return;
    }
}

void FontsHandler::text(quint8 dest, const char *p, qsizetype n)
{
    if (dest == FontTable) {
        for (qsizetype i = 0; i < n; ++i) {
            if (p[i] == ';')
                finishFontEntry();
            else if (m_fontNameBytes.size() < 1024)
                m_fontNameBytes.append(p[i]);
        }
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        if (p[i] != ';')
            continue;
        m_colors.push_back(m_colorSet ? m_colorDef : QColor());
        m_colorDef = QColor(0, 0, 0);
        m_colorSet = false;
    }
}

void FontsHandler::byte(quint8 dest, char b)
{
    // A ';' written as \'3b is part of the name (names are cut at 256 characters when decoded).
    if (dest == FontTable && m_fontNameBytes.size() < 1024)
        m_fontNameBytes.append(b);
}

void FontsHandler::character(quint8 dest, char16_t ch)
{
    if (dest != FontTable)
        return;
    // A character in a font name: decode what came before it, then append.
    flushFontName();
    if (m_fontName.size() < 256)
        m_fontName.append(QChar(ch));
}

void FontsHandler::destinationEnded(quint8 dest)
{
    if (dest == FontTable)
        finishFontEntry();
}

int FontsHandler::codePage(int font) const
{
    const auto it = m_fonts.find(font);
    return it != m_fonts.end() ? it->second.codePage : 0;
}

QString FontsHandler::family(int font) const
{
    const auto it = m_fonts.find(font);
    return it != m_fonts.end() ? it->second.name : QString();
}

QColor FontsHandler::color(int index) const
{
    return index >= 0 && size_t(index) < m_colors.size() ? m_colors[size_t(index)] : QColor();
}

std::vector<KeptContent::Font> FontsHandler::fontTable() const
{
    std::vector<KeptContent::Font> table;
    table.reserve(m_fonts.size());
    for (const auto &[number, font] : m_fonts)
        table.push_back({number, font.name, font.charset});
    std::sort(
        table.begin(), table.end(),
        [](const KeptContent::Font &a, const KeptContent::Font &b) { return a.number < b.number; });
    return table;
}

QList<QColor> FontsHandler::colorTable() const
{
    QList<QColor> table;
    for (size_t i = 1; i < m_colors.size(); ++i)
        table.append(m_colors[i]);
    return table;
}

void FontsHandler::finishFontEntry()
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

void FontsHandler::flushFontName()
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

} // namespace RtfRead
