#pragma once

#include "platform/rtf/KeptContent.h"
#include "platform/rtf/reader/Reader.h"

#include <QColor>

namespace RtfRead {

// The font table (names, charsets, code pages), the colour table and the document's code
// page and default font.
class FontsHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;
    void text(quint8 dest, const char *p, qsizetype n) override;
    void byte(quint8 dest, char b) override;
    void character(quint8 dest, char16_t ch) override;
    void destinationEnded(quint8 dest) override;

    int defaultFont() const { return m_deff; }
    int documentCodePage() const { return m_docCodePage; }
    // The code page a font's text is in; 0 when the font gives none.
    int codePage(int font) const;
    QString family(int font) const;
    // The colour table's entry; invalid for "automatic" and entries the table lacks.
    QColor color(int index) const;
    // The tables as read, for the writer to keep their numbers.
    std::vector<KeptContent::Font> fontTable() const;
    QList<QColor> colorTable() const; // from the second entry on

private:
    struct Font
    {
        QString name;
        int charset = -1;
        int codePage = 0;
    };
    void finishFontEntry();
    void flushFontName();

    int m_docCodePage = 1252;
    int m_deff = 0;
    std::unordered_map<int, Font> m_fonts;
    int m_fontDef = -1;
    QByteArray m_fontNameBytes; // a font name's bytes not yet decoded
    QString m_fontName;
    std::vector<QColor> m_colors;
    QColor m_colorDef;
    bool m_colorSet = false;
};

} // namespace RtfRead
