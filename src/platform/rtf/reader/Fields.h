#pragma once

#include "platform/rtf/reader/Reader.h"

#include <QByteArrayList>

namespace RtfRead {

// \field groups: the result (\fldrslt) is read as body text whose format carries the field
// (KeptContent::FieldStack: the field's RTF up to its result, so the writer puts the result
// back inside it); a HYPERLINK field's result is a link. A field that shows no result is
// kept whole as an object, except an equation, which shows the text it lays out (written back
// without it, as read: other programs lay it out themselves).
class FieldsHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;
    void text(quint8 dest, const char *p, qsizetype n) override;
    void byte(quint8 dest, char b) override;
    void character(quint8 dest, char16_t ch) override;
    void groupEnded(quint8 group, State &closing) override;

    // Gives a result's format its fields: the chain's FieldStack, and for a link its address
    // (and, when the text has no colour or underline of its own, the look of a link).
    void applyChain(int chain, QTextCharFormat &format, bool plainLook) const;

private:
    struct Field
    {
        QString instruction;
        QByteArray head; // "{\field ... {\*\fldinst ...}" as read
        qsizetype start = 0;
        int resultAt = -1;
        quint64 shownAtStart = 0;    // the reader's shownCount() at the field's start
        size_t depth = 0;            // how many groups are open in the field's own group
        int blocksAtStart = 0;       // the document's paragraphs at the field's start
        bool pendingAtStart = false; // and whether a paragraph mark was waiting
    };
    struct Chain
    {
        QByteArrayList stack;
        QString link;
    };
    void finishField();
    int chainFor(int outer, const Field &field, bool computed = false);

    std::vector<Field> m_fields; // open \field groups
    std::vector<Chain> m_chains;
};

// The address a HYPERLINK field's instruction gives ("#name" for a place in the document);
// empty for other fields.
QString hyperlinkAddress(const QString &instruction);

} // namespace RtfRead
