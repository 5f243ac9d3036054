#pragma once

#include "platform/rtf/reader/Reader.h"

namespace RtfRead {

// Table rows and cells.
class TablesHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;
};

} // namespace RtfRead
