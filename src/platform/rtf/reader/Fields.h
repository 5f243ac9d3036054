#pragma once

#include "platform/rtf/reader/Reader.h"

namespace RtfRead {

// \field groups: the result (\fldrslt) is read as body text; the instruction is read aside.
class FieldsHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;
    void text(quint8 dest, const char *p, qsizetype n) override;
    void groupEnded(quint8 group, State &closing) override;

private:
    struct Field
    {
        QString instruction;
        int resultAt = -1;
    };
    void finishField();

    std::vector<Field> m_fields; // open \field groups
};

} // namespace RtfRead
