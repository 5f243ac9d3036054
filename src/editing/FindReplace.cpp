#include "editing/FindReplace.h"

#include <QTextCursor>
#include <QTextDocument>
#include <optional>
#include <vector>

#include "platform/RichTextBox.h"
#include "platform/TextSearch.h"

namespace FindReplace {

namespace {

// The characters the control counts as part of a word for a whole-word search.
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c.isMark();
}

// Characters whose Text() form differs from what the document holds, or that a hit boundary
// could split (the two halves of a paragraph break).
bool hasBreakOrObject(const QString &text)
{
    for (QChar c : text)
        if (c == u'\r' || c == u'\n' || c == u'\v' || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator || c == QChar::ObjectReplacementCharacter ||
            c == QChar(0xfdd0) || c == QChar(0xfdd1))
            return true;
    return false;
}

// The control's Find from text position `start` (document position `from`), where the
// character just before `start` is `before` (which may differ from the text's when a
// replacement was made there). `text` holds no break.
qsizetype findFrom(TextSearch &search, const QString &text, int from, qsizetype start,
                   std::optional<QChar> before, int options)
{
    for (qsizetype i = search.next(from, INT_MAX); i >= 0;
         i = search.next(search.hitPosition() + 1, INT_MAX)) {
        if (!(options & RichTextBox::rtfWholeWord))
            return i;
        const bool leftOk =
            !isWordChar(text.front()) ||
            (i > start ? !isWordChar(search.before()) : !before || !isWordChar(*before));
        const bool rightOk = !isWordChar(text.back()) || !isWordChar(search.after());
        if (leftOk && rightOk)
            return i;
    }
    return -1;
}

} // namespace

int optionBits(bool wholeWord, bool matchCase)
{
    return (wholeWord ? RichTextBox::rtfWholeWord : 0) |
           (matchCase ? RichTextBox::rtfMatchCase : 0);
}

int replaceAllStepwise(RichTextBox &rtf, const QString &find, const QString &replacement,
                       int options)
{
    if (find.isEmpty())
        return 0;
    int count = 0;
    qint64 findStart = rtf.Find(find, 0, -1, options) + 1;
    const qint64 step = replacement.size();
    while (findStart > 0 && findStart < rtf.Text().size()) {
        rtf.setSelText(replacement);
        ++count;
        const qint64 from = findStart + step;
        findStart = from > INT_MAX ? -1 : rtf.Find(find, static_cast<int>(from), -1, options);
    }
    return count;
}

int replaceAll(RichTextBox &rtf, const QString &find, const QString &replacement, int options)
{
    if (find.isEmpty())
        return 0;
    if (hasBreakOrObject(find) || hasBreakOrObject(replacement))
        return replaceAllStepwise(rtf, find, replacement, options);

    // Work out every hit on the unchanged text, following the positions the text would have
    // after each replacement (findStart and the length are in those terms, `shift` converts
    // them back), then make all replacements in one edit. The hits are found in one pass.
    const QTextDocument *doc = rtf.document();
    const qint64 size = doc->characterCount() - 1 + doc->blockCount() - 1; // Text().size()
    const qint64 m = find.size();
    const qint64 k = replacement.size();
    const qint64 first = rtf.Find(find, 0, -1, options);
    if (first < 0)
        return 0;
    TextSearch search(*doc, find,
                      (options & RichTextBox::rtfMatchCase) ? Qt::CaseSensitive
                                                            : Qt::CaseInsensitive);
    int hitAt = rtf.toDocPosition(static_cast<int>(first)); // the hit's document position
    qint64 findStart = first + 1;
    qint64 length = size;
    qint64 shift = 0;
    qint64 hit = first;
    std::optional<QChar> leftOfHit;
    if (first > 0)
        leftOfHit = doc->characterAt(hitAt - 1);
    std::vector<int> hits; // document positions
    qint64 lastHit = first;
    while (findStart > 0 && findStart < length) {
        hits.push_back(hitAt);
        lastHit = hit;
        shift += k - m;
        length += k - m;
        const qint64 start = findStart + k - shift; // in the unchanged text
        // The character before the next search: the replacement's last one when the search
        // starts right after it, else unchanged text (the hit holds no break, so its end is
        // m document positions on).
        if (start >= size)
            break;
        std::optional<QChar> before;
        int from = hitAt + static_cast<int>(start - hit);
        if (start - 1 >= hit + m) {
            from = rtf.toDocPosition(static_cast<int>(start));
            before = doc->characterAt(hitAt + static_cast<int>(m));
        } else {
            before = k > 0 ? std::optional<QChar>(replacement.back()) : leftOfHit;
        }
        const qsizetype next = findFrom(search, find, from, start, before, options);
        if (next < 0)
            break;
        leftOfHit = next > start ? std::optional<QChar>(search.before()) : before;
        hit = next;
        hitAt = search.hitPosition();
        findStart = next + shift;
    }
    if (hits.empty())
        return 0;

    QTextCursor c(rtf.document());
    std::optional<RichTextBox::BulkChange> bulk;
    if (rtf.isLargeChange(hits.front(), hits.back() + static_cast<int>(m)))
        bulk.emplace(rtf);
    c.beginEditBlock();
    // From the end, so the positions of the hits not yet replaced stay as they were. A hit
    // holds no break, so it spans as many document positions as characters.
    for (auto it = hits.rbegin(); it != hits.rend(); ++it) {
        c.setPosition(*it);
        c.setPosition(*it + static_cast<int>(m), QTextCursor::KeepAnchor);
        c.insertText(replacement);
    }
    c.endEditBlock();
    // The caret goes after the last replacement; after a large change the view stays where it
    // was rather than waiting for the layout of everything up to there.
    rtf.setSelStart(static_cast<int>(lastHit + m + shift));
    return static_cast<int>(hits.size());
}

} // namespace FindReplace
