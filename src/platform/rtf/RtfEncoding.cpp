#include "platform/rtf/RtfEncoding.h"

#include <QMutex>
#include <QStringDecoder>

#include <map>
#include <memory>

namespace {
// Windows-1252 bytes 0x80-0x9F; the five undefined bytes keep their C1 control values so that
// any byte sequence survives a round trip.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct PageInfo
{
    int number;
    const char *icuName;
    bool doubleByte;
};

constexpr PageInfo Pages[] = {
    {437, "ibm-437", false},          {850, "ibm-850", false},
    {852, "ibm-852", false},          {866, "ibm-866", false},
    {874, "windows-874", false},      {932, "windows-932", true},
    {936, "windows-936", true},       {949, "windows-949", true},
    {950, "windows-950", true},       {1250, "windows-1250", false},
    {1251, "windows-1251", false},    {1253, "windows-1253", false},
    {1254, "windows-1254", false},    {1255, "windows-1255", false},
    {1256, "windows-1256", false},    {1257, "windows-1257", false},
    {1258, "windows-1258", false},    {10000, "macintosh", false},
    {10001, "Shift_JIS", true},       {10006, "x-mac-greek", false},
    {10007, "x-mac-cyrillic", false}, {10029, "x-mac-ce", false},
    {10081, "x-mac-turkish", false},
};

// The character a converter made of one byte; U+FFFD for none, several, or a control
// character standing for an unmapped byte.
char16_t usable(const QString &s)
{
    return s.size() == 1 && s.at(0).unicode() >= 0x20 ? s.at(0).unicode() : char16_t(0xFFFD);
}

void fill1252(char16_t *table)
{
    for (int i = 0; i < 256; ++i)
        table[i] = char16_t(i);
    for (int i = 0; i < 32; ++i)
        table[0x80 + i] = Cp1252High[i];
}

void fillLeadBytes(int number, bool *lead)
{
    auto range = [lead](int from, int to) {
        for (int b = from; b <= to; ++b)
            lead[b] = true;
    };
    if (number == 932 || number == 10001) {
        range(0x81, 0x9F);
        range(0xE0, 0xFC);
    } else {
        range(0x81, 0xFE);
    }
}
} // namespace

int RtfEncoding::codePageForCharset(int charset)
{
    switch (charset) {
    case 0:
        return 1252;
    case 2:
        return SymbolCodePage;
    case 77:
        return 10000;
    case 78:
        return 10001;
    case 84:
        return 10006;
    case 85:
        return 10081;
    case 88:
        return 10029;
    case 89:
        return 10007;
    case 128:
        return 932;
    case 129:
        return 949;
    case 130:
        return 949; // Johab has no decoder here; Wansung is the closest
    case 134:
        return 936;
    case 136:
        return 950;
    case 161:
        return 1253;
    case 162:
        return 1254;
    case 163:
        return 1258;
    case 177:
        return 1255;
    case 178:
    case 179:
    case 180:
    case 181:
        return 1256;
    case 186:
        return 1257;
    case 204:
        return 1251;
    case 222:
        return 874;
    case 238:
        return 1250;
    case 254:
        return 437;
    case 255:
        return 850;
    default:
        return 0; // 1 (default) and unknown charsets: the document's code page
    }
}

const RtfEncoding::CodePage &RtfEncoding::CodePage::get(int number)
{
    static QMutex mutex;
    static std::map<int, std::unique_ptr<CodePage>> pages;
    QMutexLocker lock(&mutex);
    if (number == 0 || number == 65001)
        number = 1252;
    auto it = pages.find(number);
    if (it != pages.end())
        return *it->second;

    auto page = std::unique_ptr<CodePage>(new CodePage);
    page->m_number = number;
    fill1252(page->m_table);
    if (number == SymbolCodePage)
        for (int b = 0x20; b < 256; ++b)
            page->m_table[b] = char16_t(0xF000 + b);
    const PageInfo *info = nullptr;
    for (const PageInfo &p : Pages)
        if (p.number == number)
            info = &p;
    if (info) {
        page->m_icuName = info->icuName;
        page->m_doubleByte = info->doubleByte;
        if (page->m_doubleByte) {
            fillLeadBytes(number, page->m_lead);
            // Single bytes of a double-byte page (ASCII, half-width katakana) still come from
            // the table.
            QStringDecoder decoder(info->icuName);
            for (int b = 0x80; b < 256; ++b) {
                if (page->m_lead[b])
                    continue;
                const char byte = char(b);
                const QString s = decoder.decode(QByteArrayView(&byte, 1));
                decoder.resetState();
                page->m_table[b] = usable(s);
            }
        } else {
            QStringDecoder decoder(info->icuName);
            if (decoder.isValid()) {
                for (int b = 0x80; b < 256; ++b) {
                    const char byte = char(b);
                    const QString s = decoder.decode(QByteArrayView(&byte, 1));
                    decoder.resetState();
                    page->m_table[b] = usable(s);
                }
            }
        }
    }
    const CodePage &result = *page;
    pages.emplace(number, std::move(page));
    return result;
}

void RtfEncoding::CodePage::decode(QByteArrayView bytes, QString &out) const
{
    if (!m_doubleByte) {
        const qsizetype start = out.size();
        out.resize(start + bytes.size());
        char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + start;
        for (char c : bytes)
            *dst++ = m_table[static_cast<unsigned char>(c)];
        return;
    }
    // Runs of single bytes go through the table, pairs through the converter.
    qsizetype i = 0;
    const qsizetype n = bytes.size();
    while (i < n) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (!m_lead[b]) {
            out.append(QChar(m_table[b]));
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j + 1 < n && m_lead[static_cast<unsigned char>(bytes[j])])
            j += 2;
        if (j == i) { // a lead byte with nothing after it
            out.append(QChar(0xFFFD));
            ++i;
            continue;
        }
        QStringDecoder decoder(m_icuName.constData());
        QString pairs = decoder.decode(bytes.sliced(i, j - i));
        pairs.replace(QChar(0x1A), QChar(0xFFFD)); // the converter's mark of an unmapped pair
        out.append(pairs);
        i = j;
    }
}

QString RtfEncoding::fromWindows1252(QByteArrayView bytes)
{
    QString out;
    CodePage::get(1252).decode(bytes, out);
    return out;
}

int RtfEncoding::toWindows1252(char16_t ch)
{
    if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF))
        return ch;
    for (int i = 0; i < 32; ++i)
        if (Cp1252High[i] == ch)
            return 0x80 + i;
    return -1;
}
