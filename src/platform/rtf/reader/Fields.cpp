// Fields.
#include "platform/rtf/reader/Fields.h"

#include "platform/rtf/KeptContent.h"
#include "platform/rtf/reader/Keywords.h"

#include <QAtomicInt>

#include <algorithm>

namespace RtfRead {

namespace {

enum Dest : quint8 { Instruction };

enum Group : quint8 { FieldGroup, InstructionGroup };

enum Word : quint16 { FieldWord, FldInst, FldRslt };

constexpr qsizetype MaxInstruction = 4096;
constexpr size_t MaxChains = 100000;

// Field numbers unique in the program, so fields pasted between documents stay apart.
QAtomicInt g_fieldSerial;

// The instruction's words: quoted arguments as one, switches as they are.
QStringList instructionWords(const QString &instruction)
{
    QStringList words;
    QString current;
    bool quoted = false, any = false;
    for (QChar c : instruction) {
        if (c == u'"') {
            quoted = !quoted;
            any = true;
        } else if (!quoted && c.isSpace()) {
            if (any)
                words << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        words << current;
    return words;
}

} // namespace

QString hyperlinkAddress(const QString &instruction)
{
    const QStringList words = instructionWords(instruction);
    if (words.isEmpty() || words.first().compare(QLatin1String("HYPERLINK"), Qt::CaseInsensitive))
        return {};
    QString address, place;
    for (qsizetype i = 1; i < words.size(); ++i) {
        const QString &w = words[i];
        if (w.compare(QLatin1String("\\l"), Qt::CaseInsensitive) == 0 && i + 1 < words.size()) {
            place = words[++i];
        } else if ((w.compare(QLatin1String("\\o"), Qt::CaseInsensitive) == 0 ||
                    w.compare(QLatin1String("\\t"), Qt::CaseInsensitive) == 0) &&
                   i + 1 < words.size()) {
            ++i; // a tip or a target window
        } else if (!w.startsWith(u'\\') && address.isEmpty()) {
            address = w;
        }
    }
    if (!place.isEmpty())
        address += u'#' + place;
    return address;
}

void addFieldWords(KeywordTable &table)
{
    addWords(table, Kind::Fields,
             {{"field", FieldWord}, {"fldinst", FldInst}, {"fldrslt", FldRslt}});
}

void FieldsHandler::word(quint16 code, bool, int)
{
    State &s = m_reader.state();
    switch (Word(code)) {
    case FieldWord:
        if (!m_reader.wordOpensGroup() || s.dest != Kind::Body)
            return; // not a field of the text: its group is read as it comes
        s.group = Kind::Fields;
        s.groupCode = FieldGroup;
        s.opener = true;
        if (m_fields.size() < 64)
            m_fields.push_back({{},
                                {},
                                s.start,
                                -1,
                                m_reader.shownCount(),
                                m_reader.groupDepth(),
                                m_reader.document().blockCount(),
                                m_reader.blockPending()});
        return;
    case FldInst:
        // Only a group right inside the field's group is its instruction or its result: the
        // field is written back around them.
        if (!s.inGroup(Kind::Fields, FieldGroup) || m_fields.empty() ||
            m_reader.groupDepth() != m_fields.back().depth + 1) {
            m_reader.skipGroup();
            return;
        }
        s.dest = Kind::Fields;
        s.destCode = Instruction;
        s.group = Kind::Fields;
        s.groupCode = InstructionGroup;
        s.opener = true;
        return;
    case FldRslt:
        if (m_fields.empty() || !s.inGroup(Kind::Fields, FieldGroup) ||
            m_reader.groupDepth() != m_fields.back().depth + 1)
            return;
        m_reader.flushBytes(true);
        m_reader.ensureBlock();
        m_fields.back().resultAt = m_reader.nextPosition();
        // The result's text carries its field (and the fields around it); a result without
        // an instruction read before it is only text.
        if (!m_fields.back().head.isEmpty())
            s.chr.fieldChain = chainFor(s.chr.fieldChain, m_fields.back());
        return;
    }
}

int FieldsHandler::chainFor(int outer, const Field &field, bool computed)
{
    if (m_chains.size() >= MaxChains)
        return outer;
    Chain chain;
    if (outer > 0 && size_t(outer) <= m_chains.size())
        chain = m_chains[size_t(outer - 1)];
    // A result the reader made up is shown, not written: its number says so.
    chain.stack << (computed ? "e" : "") +
                       QByteArray::number(g_fieldSerial.fetchAndAddRelaxed(1) + 1) + ' ' +
                       field.head;
    const QString link = hyperlinkAddress(field.instruction.trimmed());
    if (!link.isEmpty())
        chain.link = link;
    m_chains.push_back(std::move(chain));
    return int(m_chains.size());
}

void FieldsHandler::applyChain(int chain, QTextCharFormat &format, bool plainLook) const
{
    if (chain <= 0 || size_t(chain) > m_chains.size())
        return;
    const Chain &c = m_chains[size_t(chain - 1)];
    format.setProperty(KeptContent::FieldStack, QVariant::fromValue(c.stack));
    if (c.link.isEmpty())
        return;
    format.setAnchor(true);
    format.setAnchorHref(c.link);
    if (plainLook) {
        format.setForeground(QColor(0, 0, 255));
        format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        format.setProperty(KeptContent::LinkLook, true);
    }
}

void FieldsHandler::text(quint8, const char *p, qsizetype n)
{
    if (m_fields.empty() || m_fields.back().instruction.size() >= MaxInstruction)
        return;
    QString t;
    m_reader.currentCodePage().decode(QByteArrayView(p, std::min<qsizetype>(n, MaxInstruction)), t);
    m_fields.back().instruction.append(t);
}

void FieldsHandler::byte(quint8, char b)
{
    if (!m_fields.empty() && m_fields.back().instruction.size() < MaxInstruction)
        m_fields.back().instruction.append(m_reader.currentCodePage().decodeByte(b));
}

void FieldsHandler::character(quint8, char16_t ch)
{
    if (!m_fields.empty() && m_fields.back().instruction.size() < MaxInstruction)
        m_fields.back().instruction.append(QChar(ch));
}

void FieldsHandler::groupEnded(quint8 group, State &)
{
    if (group == InstructionGroup) {
        // The field as read up to its result, written back around the result; not when the
        // field's group showed text of its own before it, which would then show twice.
        if (!m_fields.empty() && m_reader.shownCount() == m_fields.back().shownAtStart)
            m_fields.back().head = m_reader.dataSince(m_fields.back().start).toByteArray();
        return;
    }
    finishField();
}

void FieldsHandler::finishField()
{
    if (m_fields.empty())
        return;
    const Field field = m_fields.back();
    m_fields.pop_back();
    m_reader.flushBytes(true); // text of a double-byte page waits there
    const bool markRead = m_reader.document().blockCount() != field.blocksAtStart ||
                          m_reader.blockPending() != field.pendingAtStart;
    // Only a paragraph the result began is made here: the table depth follows the paragraph
    // properties when text or a mark comes, not the group around the field as it closes (a
    // result ending in a cell would otherwise end the table before the cell's mark).
    if (m_reader.blockPending())
        m_reader.ensureBlock();
    const int resultEnd = m_reader.nextPosition();
    if (field.resultAt >= 0 && resultEnd > field.resultAt)
        return;
    // Content of the field's own group (outside its instruction), text or a paragraph mark,
    // was shown already: the field is not kept as well, which would show it twice after a save.
    if (m_reader.shownCount() != field.shownAtStart || markRead)
        return;
    const QString inst = field.instruction.trimmed();
    if (!inst.startsWith(QLatin1String("EQ "), Qt::CaseInsensitive)) {
        // No result to show: the whole field is kept where it stands.
        const QByteArray rtf = m_reader.dataSince(field.start).toByteArray();
        if (!rtf.isEmpty())
            m_reader.insertObject(KeptContent::objectFormat(
                m_reader.charFormat(textProps(m_reader.state().chr)), rtf));
        return;
    }
    // An equation field written without its result: show the text it lays out, as its
    // result.
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
    CharProps &chr = m_reader.state().chr;
    const int outer = chr.fieldChain;
    chr.fieldChain = chainFor(outer, field, true);
    for (QChar c : text)
        m_reader.addChar(c.unicode());
    chr.fieldChain = outer;
}

} // namespace RtfRead
