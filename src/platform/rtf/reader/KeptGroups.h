#pragma once

#include "platform/rtf/reader/Reader.h"

#include <string_view>

namespace RtfRead {

// Destinations that are not shown: skipped with their whole group. The footnote reference
// mark shows the footnote's number.
class KeptGroupsHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;

    // A \* destination no handler knows, just opened by `word`.
    void unknownDestination(std::string_view word);

private:
    int m_footnotes = 0;
};

} // namespace RtfRead
