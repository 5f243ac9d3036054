#pragma once

#include "platform/rtf/KeptContent.h"
#include "platform/rtf/reader/Reader.h"

#include <string_view>

namespace RtfRead {

// Content the control does not show, kept for the writer (KeptContent.h): document-wide groups
// (\info, the style sheet, other header groups) and the formatting of the sections (page size,
// margins, headers, footers) go into the document's store; notes, bookmarks, annotations and
// unknown destinations in the text become objects where they stand.
class KeptGroupsHandler : public Handler
{
public:
    using Handler::Handler;

    void word(quint16 code, bool hasParam, int param) override;

    // A \* destination no handler knows, just opened by `word`.
    void unknownDestination(std::string_view word);
    // A \sect in the body: the paragraph has ended; a new section begins after it.
    void sectionBreak();
    // The end of the data: the store and the sections go to the document.
    void finish();
    void keepInHeader(const QByteArray &rtf);

private:
    bool inText() const;
    void keepInBody(const QByteArray &rtf, const QString &shown = QString(),
                    bool headerWhenFirst = false);

    int m_footnotes = 0;
    int m_noteMark = -1; // where the last note's reference mark went, until its note comes
    KeptContent::Store m_store;
    QByteArray m_section;    // the current section's formatting as read
    int m_sectionStart = -1; // where the current section starts; -1 for the first
    std::vector<std::pair<int, QByteArray>> m_sections; // the later sections
};

} // namespace RtfRead
