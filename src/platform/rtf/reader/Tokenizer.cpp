// The tokenizer: one pass over the bytes, a stack of group states, and the dispatch of control
// words, text and group ends to the handlers.
#include "platform/rtf/reader/Reader.h"

#include "platform/rtf/reader/Fields.h"
#include "platform/rtf/reader/Fonts.h"
#include "platform/rtf/reader/Formatting.h"
#include "platform/rtf/reader/KeptGroups.h"
#include "platform/rtf/reader/Keywords.h"
#include "platform/rtf/reader/Lists.h"
#include "platform/rtf/reader/Pictures.h"
#include "platform/rtf/reader/Tables.h"

#include <algorithm>

namespace RtfRead {

namespace {

inline bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The bytes that end a stretch of plain text.
constexpr std::array<bool, 256> TextEnds = [] {
    std::array<bool, 256> t{};
    for (unsigned char c : {'{', '}', '\\', '\r', '\n'})
        t[c] = true;
    return t;
}();

inline bool endsText(char c)
{
    return TextEnds[static_cast<unsigned char>(c)];
}

// Words the tokenizer itself takes (\rtf, \bin): nothing more to do.
class TokenizerWords : public Handler
{
public:
    using Handler::Handler;
    void word(quint16, bool, int) override {}
};

} // namespace

void Handler::text(quint8, const char *, qsizetype)
{}
void Handler::byte(quint8, char)
{}
void Handler::character(quint8, char16_t)
{}
void Handler::destinationEnded(quint8)
{}
void Handler::groupEnded(quint8, State &)
{}

Reader::Reader(QByteArrayView data, QTextDocument &document, bool keepFinalMark)
    : m_data(data.data()), m_size(data.size()), m_doc(document), m_cursor(&document),
      m_keepFinalMark(keepFinalMark)
{
    auto fonts = std::make_unique<FontsHandler>(*this);
    auto lists = std::make_unique<ListsHandler>(*this);
    auto pictures = std::make_unique<PicturesHandler>(*this);
    auto fields = std::make_unique<FieldsHandler>(*this);
    auto tables = std::make_unique<TablesHandler>(*this);
    auto kept = std::make_unique<KeptGroupsHandler>(*this);
    m_fonts = fonts.get();
    m_lists = lists.get();
    m_pictures = pictures.get();
    m_fields = fields.get();
    m_tables = tables.get();
    m_kept = kept.get();
    m_handlers[size_t(Kind::Tokenizer)] = std::make_unique<TokenizerWords>(*this);
    m_handlers[size_t(Kind::Formatting)] = makeFormattingHandler(*this);
    m_handlers[size_t(Kind::Fonts)] = std::move(fonts);
    m_handlers[size_t(Kind::Lists)] = std::move(lists);
    m_handlers[size_t(Kind::Pictures)] = std::move(pictures);
    m_handlers[size_t(Kind::Fields)] = std::move(fields);
    m_handlers[size_t(Kind::Tables)] = std::move(tables);
    m_handlers[size_t(Kind::Kept)] = std::move(kept);
}

Reader::~Reader() = default;

void Reader::run(Rtf::ReadControl *control)
{
    constexpr qsizetype reportEvery = 64 * 1024;
    qsizetype nextReport = reportEvery;
    QTextCursor edit(&m_doc);
    edit.beginEditBlock();
    // Skip leading white space up to the root group.
    while (m_pos < m_size && m_data[m_pos] != '{')
        ++m_pos;
    while (m_pos < m_size && !m_done) {
        if (control && m_pos >= nextReport) {
            control->done = m_pos;
            if (control->cancel)
                break;
            nextReport = m_pos + reportEvery;
        }
        const char c = m_data[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            pushGroup();
            break;
        case '}':
            ++m_pos;
            popGroup();
            break;
        case '\\':
            parseControl();
            break;
        case '\r':
        case '\n':
            ++m_pos;
            break;
        default: {
            qsizetype end = m_pos + 1;
            while (end < m_size && !endsText(m_data[end]))
                ++end;
            text(m_data + m_pos, end - m_pos);
            m_pos = end;
            break;
        }
        }
    }
    finish();
    edit.endEditBlock();
}

void Reader::pushGroup()
{
    m_ucSkip = 0;
    if (m_stack.size() >= size_t(MaxDepth)) {
        // Too deep to keep: the group shares its parent's state, but destinations to skip
        // are still skipped.
        ++m_overflowDepth;
        m_fresh = true;
        m_ignorable = false;
        if (m_pos + 1 < m_size && m_data[m_pos] == '\\' && m_data[m_pos + 1] == '*') {
            m_pos += 2;
            m_ignorable = true;
        }
        return;
    }
    if (m_stack.empty())
        m_stack.emplace_back();
    else
        m_stack.push_back(m_stack.back());
    m_stack.back().opener = false;
    m_stack.back().start = m_pos - 1;
    m_ignorable = false;
    m_fresh = true;
    // Peek for "\*" right after the brace.
    if (m_pos + 1 < m_size && m_data[m_pos] == '\\' && m_data[m_pos + 1] == '*') {
        m_pos += 2;
        m_ignorable = true;
    }
}

void Reader::popGroup()
{
    m_ucSkip = 0;
    m_ignorable = false;
    // The group around has content now: a word after this group does not open it.
    m_fresh = false;
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (m_stack.size() <= 1) {
        // The root group's closing brace: whatever follows is not part of the document.
        m_done = true;
        return;
    }
    // Most groups only scope formatting: drop them without copying their state.
    const Kind dest = m_stack.back().dest;
    const quint8 destCode = m_stack.back().destCode;
    if (!m_stack.back().opener) {
        m_stack.pop_back();
        if (dest != Kind::Body && dest != Kind::Discard)
            handler(dest).destinationEnded(destCode);
        return;
    }
    State closing = std::move(m_stack.back());
    m_stack.pop_back();
    if (dest != Kind::Body && dest != Kind::Discard)
        handler(dest).destinationEnded(destCode);
    if (closing.group != Kind::Body && closing.group != Kind::Discard)
        handler(closing.group).groupEnded(closing.groupCode, closing);
}

QByteArrayView Reader::skipGroup()
{
    // Called right after the control word that opened a group to be skipped: scan to its
    // closing brace, stepping over escaped braces and \bin data.
    const qsizetype from = m_pos;
    int depth = 1;
    m_skipCut = -1;
    while (m_pos < m_size) {
        const char c = m_data[m_pos];
        if (c == '{') {
            ++depth;
            ++m_pos;
        } else if (c == '}') {
            ++m_pos;
            if (--depth == 0)
                break;
        } else if (c == '\\') {
            const qsizetype word = m_pos++;
            if (m_pos >= m_size) {
                m_skipCut = word;
                break;
            }
            if (!isLetter(m_data[m_pos])) {
                ++m_pos;
                continue;
            }
            const qsizetype start = m_pos;
            while (m_pos < m_size && isLetter(m_data[m_pos]))
                ++m_pos;
            const bool isBin = m_pos - start == 3 && std::string_view(m_data + start, 3) == "bin";
            qint64 param = 0;
            bool neg = false;
            if (m_pos < m_size && m_data[m_pos] == '-') {
                neg = true;
                ++m_pos;
            }
            while (m_pos < m_size && isDigit(m_data[m_pos])) {
                param = std::min<qint64>(param * 10 + (m_data[m_pos] - '0'), qint64(1) << 40);
                ++m_pos;
            }
            if (m_pos < m_size && m_data[m_pos] == ' ')
                ++m_pos;
            if (isBin && !neg) {
                if (param > m_size - m_pos)
                    m_skipCut = word;
                m_pos += std::min<qint64>(param, m_size - m_pos);
            }
        } else {
            ++m_pos;
        }
    }
    // The group was pushed; drop it without looking at it.
    if (m_overflowDepth > 0)
        --m_overflowDepth;
    else if (!m_stack.empty())
        m_stack.pop_back();
    m_ucSkip = 0;
    if (m_stack.empty())
        m_done = true;
    m_skipOpen = depth;
    return QByteArrayView(m_data + from, m_pos - from);
}

QByteArray Reader::keepGroup()
{
    const qsizetype start = m_overflowDepth > 0 || m_stack.empty() ? -1 : state().start;
    skipGroup();
    if (start < 0)
        return {};
    if (m_skipOpen == 0)
        return QByteArray(m_data + start, m_pos - start);
    // The data ended inside the group: what is kept is closed here, without a backslash or
    // binary data left open that would take the closing braces (and what is written after
    // the group) as its own.
    const qsizetype end = m_skipCut >= 0 ? m_skipCut : m_pos;
    return QByteArray(m_data + start, end - start) + QByteArray(m_skipOpen, '}');
}

QByteArrayView Reader::dataSince(qsizetype from) const
{
    from = std::clamp<qsizetype>(from, 0, m_pos);
    return QByteArrayView(m_data + from, m_pos - from);
}

void Reader::parseControl()
{
    ++m_pos; // the backslash
    if (m_pos >= m_size)
        return;
    const char c = m_data[m_pos];
    if (!isLetter(c)) {
        ++m_pos;
        if (c != '*')
            m_fresh = false; // a character: a word after it does not open the group
        if (c == '\'') {
            int value = -1;
            if (m_pos + 1 < m_size) {
                const int hi = RtfEncoding::hexDigitValue(m_data[m_pos]);
                const int lo = RtfEncoding::hexDigitValue(m_data[m_pos + 1]);
                if (hi >= 0 && lo >= 0)
                    value = hi * 16 + lo;
            }
            if (value < 0)
                return;
            m_pos += 2;
            if (m_ucSkip > 0) {
                --m_ucSkip;
                return;
            }
            if (m_stack.empty())
                return;
            const char byte = char(value);
            const State &s = state();
            if (s.dest == Kind::Body)
                addBytes(&byte, 1);
            else if (s.dest != Kind::Discard)
                handler(s.dest).byte(s.destCode, byte);
            return;
        }
        if (m_ucSkip > 0) {
            --m_ucSkip;
            return;
        }
        controlSymbol(c);
        return;
    }
    const qsizetype start = m_pos;
    while (m_pos < m_size && isLetter(m_data[m_pos]))
        ++m_pos;
    // Over-long words are nobody's control word: keep reading them, but as unknown.
    std::string_view word(m_data + start, size_t(m_pos - start));
    if (word.size() > size_t(MaxWordLength))
        word = std::string_view("?");
    bool hasParam = false;
    bool negative = false;
    qint64 value = 0;
    if (m_pos < m_size && m_data[m_pos] == '-' && m_pos + 1 < m_size &&
        isDigit(m_data[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    while (m_pos < m_size && isDigit(m_data[m_pos])) {
        hasParam = true;
        value = std::min<qint64>(value * 10 + (m_data[m_pos] - '0'), qint64(1) << 40);
        ++m_pos;
    }
    if (m_pos < m_size && m_data[m_pos] == ' ')
        ++m_pos;
    value = std::min<qint64>(value, 0x7FFFFFFF);
    const int param = int(negative ? -value : value);

    if (word == "bin") {
        // Binary data follows the delimiter; it belongs to a picture or is dropped.
        const qint64 n = hasParam && param > 0 ? std::min<qint64>(param, m_size - m_pos) : 0;
        if (m_ucSkip > 0)
            --m_ucSkip;
        else if (!m_stack.empty())
            pictures().binaryData(QByteArrayView(m_data + m_pos, n));
        m_pos += n;
        return;
    }
    if (m_ucSkip > 0) {
        --m_ucSkip;
        return;
    }
    controlWord(word, hasParam, param);
}

void Reader::controlSymbol(char c)
{
    if (m_stack.empty())
        return;
    switch (c) {
    case '\\':
    case '{':
    case '}':
        text(&c, 1);
        break;
    case '~':
        addChar(0x00A0);
        break;
    case '-':
        addChar(0x00AD);
        break;
    case '_':
        addChar(0x2011);
        break;
    case '\t':
        addChar('\t');
        break;
    case '\r':
    case '\n':
        if (state().dest == Kind::Body)
            endParagraph();
        break;
    case '*':
        // A \* not right after a brace: treat the next control word as ignorable anyway.
        m_ignorable = true;
        break;
    default:
        break;
    }
}

void Reader::text(const char *p, qsizetype n)
{
    m_fresh = false;
    if (m_stack.empty())
        return;
    if (m_ucSkip > 0) {
        const qsizetype skip = std::min<qsizetype>(m_ucSkip, n);
        m_ucSkip -= int(skip);
        p += skip;
        n -= skip;
        if (n == 0)
            return;
    }
    const State &s = state();
    if (s.dest == Kind::Body)
        addBytes(p, n);
    else if (s.dest != Kind::Discard)
        handler(s.dest).text(s.destCode, p, n);
}

void Reader::controlWord(std::string_view word, bool hasParam, int param)
{
    if (m_stack.empty())
        return;
    const bool ignorable = m_ignorable;
    m_wordOpensGroup = m_fresh;
    m_ignorable = false;
    m_fresh = false;
    const Keyword *kw = findKeyword(word);
    if (!kw) {
        if (ignorable && m_wordOpensGroup)
            kept().unknownDestination(word);
        else if (ignorable)
            skipGroup(); // a "\*" after text: the rest of the group is neither shown nor kept
        return;
    }
    handler(kw->kind).word(kw->code, hasParam, param);
}

} // namespace RtfRead
