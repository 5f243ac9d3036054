// The walk over the document: blocks, their text, the header.
#include "platform/rtf/writer/Writer.h"

#include "platform/rtf/KeptContent.h"
#include "platform/rtf/RtfEncoding.h"
#include "platform/rtf/TextFormats.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextTable>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

using namespace TextFormats;

namespace RtfWrite {

namespace {

// How much of the body is held before it goes to the temporary file, and the pieces it is
// copied to the output in.
constexpr qsizetype ChunkBytes = 64 * 1024;

// An unnamed file in the temporary folder (nothing is left behind, even by a crash), or -1.
int openSpill()
{
    const QByteArray folder = QFile::encodeName(QDir::tempPath());
    int fd = ::open(folder.constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0) {
        // A file system without unnamed files: a named one, removed at once.
        QByteArray name = folder + "/pamphlexa-body-XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0)
            ::unlink(name.constData());
    }
    return fd;
}

bool writeAllAt(int fd, const char *data, qsizetype size, qint64 offset)
{
    for (qsizetype done = 0; done < size;) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(size - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

Writer::Writer(const QTextDocument &doc, int from, int to) : m_doc(doc), m_from(from), m_to(to)
{
    m_defaultFont = doc.defaultFont().family();
    if (m_defaultFont.isEmpty())
        m_defaultFont = QStringLiteral("Times New Roman");
    // A document read from RTF keeps its font and colour numbers: what it keeps refers to them.
    useStoredTables();
    if (!m_fontSlot.contains(m_defaultFontNumber))
        m_defaultFontNumber = fontIndex(m_defaultFont);
    const qreal pt = doc.defaultFont().pointSizeF();
    m_defaultHalfPoints = pt > 0 ? int(std::lround(pt * 2)) : 24;
}

QByteArray Writer::run()
{
    m_body.reserve(m_doc.characterCount() * 2 + 1024);
    walk();
    QByteArray out = header();
    if (m_whole)
        out.append(storedSections());
    out.reserve(out.size() + m_body.size() + 4);
    out.append(m_body);
    out.append("}\r\n");
    return out;
}

bool Writer::run(QIODevice &out)
{
    m_spill = openSpill();
    m_spilling = m_spill >= 0;
    m_body.reserve(ChunkBytes * 2);
    walk();
    QByteArray head = header();
    if (m_whole)
        head.append(storedSections());
    bool ok = out.write(head) == head.size();
    head = QByteArray();
    if (m_spill >= 0) {
        QByteArray chunk(ChunkBytes, Qt::Uninitialized);
        for (qint64 at = 0; ok && at < m_spilled;) {
            const ssize_t n =
                ::pread(m_spill, chunk.data(), size_t(std::min<qint64>(ChunkBytes, m_spilled - at)),
                        off_t(at));
            if (n < 0 && errno == EINTR)
                continue;
            ok = n > 0 && out.write(chunk.constData(), n) == n;
            at += n;
        }
        ::close(m_spill);
        m_spill = -1;
    }
    m_body.append("}\r\n");
    return ok && out.write(m_body) == m_body.size();
}

void Writer::spillBody()
{
    if (!m_spilling || m_body.size() < ChunkBytes)
        return;
    if (!writeAllAt(m_spill, m_body.constData(), m_body.size(), m_spilled)) {
        // The temporary folder is full or failing: the rest of the body stays in memory.
        m_spilling = false;
        return;
    }
    m_spilled += m_body.size();
    m_body.resize(0);
}

void Writer::walk()
{
    const int end = m_doc.characterCount() - 1;
    const bool whole = m_from <= 0 && (m_to < 0 || m_to >= end);
    m_whole = whole;
    if (m_from < 0)
        m_from = 0;
    if (m_to < 0 || m_to > end)
        m_to = end;

    useSymbolFontForLists();
    m_char.font = m_defaultFontNumber;
    m_char.halfPoints = 24;
    bool started = false;
    const QTextFrame *root = m_doc.rootFrame();
    for (auto it = root->begin(); !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<const QTextTable *>(it.currentFrame())) {
            const int first = table->firstPosition() - 1, last = table->lastPosition();
            if (last < m_from || first > m_to || (!whole && first == m_to))
                continue;
            started = true;
            if (whole || (m_from <= first && m_to > last)) {
                writeTable(*table, 1);
                continue;
            }
            // Part of a table: its paragraphs in the range, as paragraphs.
            for (QTextBlock b = m_doc.findBlock(std::max(m_from, first + 1));
                 b.isValid() && b.position() <= std::min(last, m_to); b = b.next()) {
                if (b.position() == m_to && b.position() > m_from)
                    break;
                writeBlock(b, b.position() + b.length() - 1 < m_to ? "par" : nullptr);
            }
            continue;
        }
        const QTextBlock block = it.currentBlock();
        if (!block.isValid() || block.position() + block.length() - 1 < m_from)
            continue;
        if (started && (block.position() > m_to || (!whole && block.position() == m_to)))
            break;
        started = true;
        if (whole && opensFrameBeforeTable(it))
            continue;
        const int blockEnd = block.position() + block.length() - 1; // the paragraph separator
        writeBlock(block, whole || blockEnd < m_to ? "par" : nullptr);
    }
    syncFields({});
}

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
    const int number = m_nextFont;
    if (m_nextFont < std::numeric_limits<int>::max())
        ++m_nextFont; // (a file's font numbers can reach the end of the range)
    m_fontSlot.insert(number, m_fonts.size());
    m_fonts.append({number, name, -1});
    m_fontIndex.insert(name, number);
    return number;
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
        const int byte = m_bytesRun ? RtfEncoding::toWindows1252(ch) : -1;
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

bool Writer::opensFrameBeforeTable(QTextFrame::iterator it) const
{
    // A table at the very start of a document or cell has an empty paragraph before it,
    // which the document needs and the file did not have.
    const QTextBlock block = it.currentBlock();
    if (block.length() > 1 || block.textList())
        return false;
    const QTextFrame *frame = it.parentFrame();
    const int frameStart = frame->firstPosition();
    if (block.position() != frameStart)
        return false;
    ++it;
    return !it.atEnd() && qobject_cast<const QTextTable *>(it.currentFrame());
}

void Writer::writeBlock(const QTextBlock &block, const char *mark)
{
    m_block = block;
    writeSectionStart(block);
    writeParagraphProps(block);
    if (block.textList())
        writeListMarker(block);
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
        syncFields(fieldStack(cf, frag.charFormatIndex()));
        if (m_silent > 0)
            continue;
        writeCharFormat(cf, frag.charFormatIndex());
        wroteText = true;
        if (cf.isImageFormat()) {
            for (int i = s; i < e; ++i)
                writePicture(cf.toImageFormat());
            continue;
        }
        if (KeptContent::isKeptObject(cf)) {
            for (int i = s; i < e; ++i)
                writeKeptObject(cf);
            continue;
        }
        const QString fragText = frag.text();
        const QStringView text = QStringView(fragText).sliced(s - fs, e - s);
        // Right-to-left text is marked so, as word processors mark it.
        const bool rtl = text.isRightToLeft();
        if (rtl != m_char.rtl) {
            word(rtl ? "rtlch" : "ltrch");
            m_char.rtl = rtl;
        }
        writeText(text);
    }
    if (!wroteText)
        writeCharFormat(block.charFormat()); // an empty paragraph keeps its size
    // Fields the next paragraph does not continue end with this one; a cell ends them all.
    const QTextBlock next = block.next();
    const bool paragraphMark = mark && qstrcmp(mark, "par") == 0;
    syncFields(paragraphMark && next.isValid() && next.position() < m_to ? firstFieldStack(next)
                                                                         : QByteArrayList(),
               false);
    if (mark) {
        // The mark goes on the baseline: a raised or lowered mark makes some readers join the
        // paragraph with the next one.
        // A hidden mark would join the paragraph with the next in other readers.
        if (m_char.vertical != 0 || m_char.offsetHalfPoints != 0 || m_char.hidden) {
            CharState onBaseline = m_char;
            onBaseline.vertical = 0;
            onBaseline.offsetHalfPoints = 0;
            onBaseline.hidden = false;
            writeCharState(onBaseline);
        }
        // A paragraph that ends a section ends with the section.
        const bool sectionEnds = paragraphMark && next.isValid() &&
                                 next.blockFormat().hasProperty(KeptContent::SectionRtf);
        word(sectionEnds ? "sect" : mark);
        m_body.append("\r\n");
        m_delimit = false;
    }
    spillBody();
}

QByteArray Writer::header()
{
    QByteArray h = "{\\rtf1\\ansi\\ansicpg" + QByteArray::number(m_codePage) + "\\deff" +
                   QByteArray::number(m_defaultFontNumber) + "\\deflang1033";
    h.append("{\\fonttbl");
    for (const Font &font : std::as_const(m_fonts)) {
        const QString &name = font.name;
        // A font read without a charset keeps none unless the document's code page is the
        // charset's own: its 8-bit text is in the document's code page.
        const int charset = font.charset >= 0 ? font.charset : isSymbolFont(name) ? 2 : 0;
        h.append("{\\f" + QByteArray::number(font.number) + "\\fnil");
        if (font.charset >= 0 || m_codePage == 1252 || charset == 2)
            h.append("\\fcharset" + QByteArray::number(charset));
        h.append(' ');
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
        for (QRgb rgb : std::as_const(m_colors)) {
            if (rgb != AutoColor)
                h.append("\\red" + QByteArray::number(qRed(rgb)) + "\\green" +
                         QByteArray::number(qGreen(rgb)) + "\\blue" +
                         QByteArray::number(qBlue(rgb)));
            h.append(';');
        }
        h.append("}\r\n");
    }
    h.append(storedHeader());
    h.append(listTables());
    h.append("\\uc1 ");
    return h;
}

} // namespace RtfWrite
