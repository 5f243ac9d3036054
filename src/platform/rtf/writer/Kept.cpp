// Fields, content kept though not shown, sections and the document's store.
#include "platform/rtf/writer/Writer.h"

#include "platform/rtf/KeptContent.h"

#include <QTextBlock>
#include <QTextDocument>

#include <limits>

namespace RtfWrite {

namespace {

// Text inside an instruction: escaped, characters beyond ASCII as \uN.
QByteArray instructionText(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}')
            out.append('\\').append(char(u));
        else if (u == '"')
            out.append("\\'22");
        else if (u >= 0x20 && u < 0x80)
            out.append(char(u));
        else if (u >= 0x80)
            out.append("\\u" + QByteArray::number(u > 32767 ? int(u) - 65536 : int(u)) + "?");
    }
    return out;
}

} // namespace

void Writer::useStoredTables()
{
    m_store = KeptContent::store(m_doc);
    if (!m_store)
        return;
    if (m_store->codePage > 0)
        m_codePage = m_store->codePage;
    for (const KeptContent::Font &f : m_store->fonts) {
        if (m_fontSlot.contains(f.number))
            continue;
        m_fontSlot.insert(f.number, m_fonts.size());
        m_fonts.append({f.number, f.name, f.charset});
        if (!m_fontIndex.contains(f.name))
            m_fontIndex.insert(f.name, f.number);
        if (f.number < std::numeric_limits<int>::max())
            m_nextFont = std::max(m_nextFont, f.number + 1);
    }
    if (m_store->defaultFont >= 0)
        m_defaultFontNumber = m_store->defaultFont;
    for (const QColor &c : m_store->colors) {
        if (!c.isValid()) {
            m_colors.append(AutoColor);
            continue;
        }
        const QRgb rgb = c.rgb() & 0xFFFFFF;
        m_colors.append(rgb);
        if (!m_colorIndex.contains(rgb))
            m_colorIndex.insert(rgb, int(m_colors.size()));
    }
}

QByteArray Writer::storedHeader() const
{
    return m_store && m_whole ? m_store->styleSheet : QByteArray();
}

QByteArray Writer::storedSections() const
{
    if (!m_store || !m_whole)
        return {};
    return m_store->header + m_store->info + m_store->sections;
}

void Writer::writeKeptObject(const QTextCharFormat &f)
{
    if (m_silent > 0)
        return;
    if (f.hasProperty(KeptContent::HiddenText)) {
        writeText(f.stringProperty(KeptContent::HiddenText)); // after \v, from its format
        return;
    }
    const QByteArray rtf = f.property(KeptContent::KeptRtf).toByteArray();
    if (rtf.isEmpty())
        return;
    m_body.append(rtf);
    m_delimit = !rtf.endsWith('}') && !rtf.endsWith(' ');
}

QByteArrayList Writer::fieldStack(const QTextCharFormat &f, int formatIndex)
{
    if (formatIndex < 0)
        return {};
    auto cached = m_fieldStacks.constFind(formatIndex);
    if (cached != m_fieldStacks.constEnd())
        return *cached;
    QByteArrayList stack = f.property(KeptContent::FieldStack).value<QByteArrayList>();
    if (stack.isEmpty() && f.isAnchor() && !f.anchorHref().isEmpty()) {
        // A link that came without its field: written as one.
        const QString href = f.anchorHref();
        const QByteArray target = href.startsWith(u'#')
                                      ? "\\\\l \"" + instructionText(href.mid(1)) + '"'
                                      : '"' + instructionText(href) + '"';
        stack << "link " + instructionText(href) + " {\\field{\\*\\fldinst HYPERLINK " + target +
                     "}";
    }
    m_fieldStacks.insert(formatIndex, stack);
    return stack;
}

QByteArrayList Writer::firstFieldStack(const QTextBlock &block)
{
    for (auto it = block.begin(); !it.atEnd(); ++it)
        return fieldStack(it.fragment().charFormat(), it.fragment().charFormatIndex());
    return {};
}

void Writer::syncFields(const QByteArrayList &stack, bool open)
{
    qsizetype common = 0;
    while (common < m_openFields.size() && common < stack.size() &&
           m_openFields[common] == stack[common])
        ++common;
    bool paragraphInside = false;
    while (m_openFields.size() > common) {
        if (m_openFields.last().startsWith('e'))
            --m_silent; // closed when it opened
        else
            m_body.append("}}");
        m_delimit = false;
        m_char = m_fieldOuter.back().chr;
        paragraphInside |= m_fieldOuter.back().paragraphs != m_paragraphsWritten;
        m_fieldOuter.pop_back();
        m_openFields.removeLast();
    }
    if (paragraphInside && m_block.isValid()) {
        // The paragraph's formatting was written inside the field and ended with it.
        m_paraWritten = false;
        writeParagraphProps(m_block);
    }
    for (qsizetype i = common; open && i < stack.size(); ++i) {
        const QByteArray &entry = stack[i];
        const qsizetype space = entry.indexOf(' ');
        if (space < 0)
            continue;
        m_fieldOuter.push_back({m_char, m_paragraphsWritten});
        m_body.append(QByteArrayView(entry).sliced(space + 1));
        if (entry.startsWith('e')) {
            // The result the reader made up: the field is written as it was read, without it.
            m_body.append("{\\fldrslt }}");
            ++m_silent;
        } else {
            m_body.append("{\\fldrslt ");
        }
        m_delimit = false;
        m_openFields.append(entry);
    }
}

void Writer::writeSectionStart(const QTextBlock &block)
{
    if (block.position() <= m_from)
        return;
    const QVariant section = block.blockFormat().property(KeptContent::SectionRtf);
    if (!section.isValid())
        return;
    const QByteArray rtf = section.toByteArray();
    if (m_delimit && !rtf.isEmpty() && rtf[0] != '\\' && rtf[0] != '{')
        m_body.append(' ');
    m_body.append(rtf);
    m_delimit = !rtf.isEmpty() && !rtf.endsWith('}') && !rtf.endsWith(' ');
    m_paraWritten = false;
}

} // namespace RtfWrite
