#pragma once

#include <QByteArrayView>
#include <QString>

// Code pages as RTF names them: the \fcharset numbers of font tables, and decoding of the 8-bit
// text written in them (single-byte tables and the double-byte East Asian code pages).
namespace RtfEncoding {
// Symbol fonts (charset 2) have this code page: their bytes are glyph numbers, kept as
// U+F020-U+F0FF as other word processors keep them.
constexpr int SymbolCodePage = 42;

// The Windows code page of a font's \fcharset; 0 when the charset means "the document's".
int codePageForCharset(int charset);

// A decoder for one code page. Single-byte pages decode through a 256-entry table; for the
// double-byte pages, isLeadByte() tells which bytes need a second byte to make a character.
class CodePage
{
public:
    // Unknown or unsupported code pages fall back to Windows-1252.
    static const CodePage &get(int codePage);

    int number() const { return m_number; }
    bool isDoubleByte() const { return m_doubleByte; }
    bool isLeadByte(unsigned char byte) const { return m_doubleByte && m_lead[byte]; }
    // The character of a single byte (a lead byte of a double-byte page gives U+FFFD).
    QChar decodeByte(char byte) const
    {
        const auto b = static_cast<unsigned char>(byte);
        return m_lead[b] ? QChar(0xFFFD) : QChar(m_table[b]);
    }
    // Appends the characters of bytes; a double-byte page expects whole characters.
    void decode(QByteArrayView bytes, QString &out) const;

private:
    CodePage() = default;
    int m_number = 1252;
    bool m_doubleByte = false;
    QByteArray m_icuName;
    char16_t m_table[256] = {};
    bool m_lead[256] = {};
};

// The value of a hexadecimal digit ("\'e9", picture data); -1 for any other byte.
constexpr int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Windows-1252, also used for the plain-text files that are not UTF-8.
QString fromWindows1252(QByteArrayView bytes);
// The Windows-1252 byte of ch, or -1 when the code page has no such character.
int toWindows1252(char16_t ch);
} // namespace RtfEncoding
