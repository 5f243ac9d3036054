// Fields.
#include "platform/rtf/reader/Fields.h"

#include "platform/rtf/reader/Keywords.h"

#include <algorithm>

namespace RtfRead {

namespace {

enum Dest : quint8 { Instruction };

enum Group : quint8 { FieldGroup };

enum Word : quint16 { FieldWord, FldInst, FldRslt };

} // namespace

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
        s.group = Kind::Fields;
        s.groupCode = FieldGroup;
        s.opener = true;
        if (m_fields.size() < 64)
            m_fields.push_back({});
        return;
    case FldInst:
        if (!s.inGroup(Kind::Fields, FieldGroup) || m_fields.empty()) {
            m_reader.skipGroup();
            return;
        }
        s.dest = Kind::Fields;
        s.destCode = Instruction;
        return;
    case FldRslt:
        m_reader.ensureBlock();
        if (!m_fields.empty())
            m_fields.back().resultAt = m_reader.nextPosition();
        return;
    }
}

void FieldsHandler::text(quint8, const char *p, qsizetype n)
{
    if (m_fields.empty() || m_fields.back().instruction.size() >= 4096)
        return;
    QString t;
    m_reader.currentCodePage().decode(QByteArrayView(p, std::min<qsizetype>(n, 4096)), t);
    m_fields.back().instruction.append(t);
}

void FieldsHandler::groupEnded(quint8, State &)
{
    finishField();
}

void FieldsHandler::finishField()
{
    if (m_fields.empty())
        return;
    const Field field = m_fields.back();
    m_fields.pop_back();
    // An equation field written without its result: show the text it lays out.
    m_reader.ensureBlock();
    const int resultEnd = m_reader.nextPosition();
    const bool hasResult = field.resultAt >= 0 && resultEnd > field.resultAt;
    const QString inst = field.instruction.trimmed();
    if (hasResult || !inst.startsWith(QLatin1String("EQ "), Qt::CaseInsensitive))
        return;
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
    for (QChar c : text)
        m_reader.addChar(c.unicode());
}

} // namespace RtfRead
