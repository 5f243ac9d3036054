#include "platform/TextSearch.h"

#include <QTextDocument>
#include <QtGui/private/qtextdocument_p.h>
#include <algorithm>
#include <memory>

namespace {

// Every UTF-16 unit's case folding, looked up once.
const char16_t *foldTable()
{
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (char32_t c = 0; c < 0x10000; ++c)
            t[c] = static_cast<char16_t>(QChar::toCaseFolded(c));
        return t;
    }();
    return table.get();
}

// The case folding of s[i], where a low surrogate after a high one folds with it (as the
// string comparisons that ignore case do).
inline char16_t folded(const char16_t *s, qsizetype i, const char16_t *table)
{
    const char16_t c = s[i];
    if (QChar::isLowSurrogate(c) && i > 0 && QChar::isHighSurrogate(s[i - 1]))
        return QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(s[i - 1], c)));
    return table[c];
}

// Horspool's search for `text` (folded if Fold) in s[from, n).
template <bool Fold>
qsizetype horspool(const char16_t *s, qsizetype from, qsizetype n,
                   const std::vector<char16_t> &text, const std::array<unsigned char, 256> &skip)
{
    const char16_t *table = Fold ? foldTable() : nullptr;
    const qsizetype m = static_cast<qsizetype>(text.size());
    const char16_t last = text.back();
    const auto at = [&](qsizetype i) { return Fold ? folded(s, i, table) : s[i]; };
    for (qsizetype pos = from; pos + m <= n;) {
        const char16_t c = at(pos + m - 1);
        if (c == last) {
            qsizetype j = m - 2;
            while (j >= 0 && at(pos + j) == text[j])
                --j;
            if (j < 0)
                return pos;
        }
        pos += skip[c & 0xff];
    }
    return -1;
}

} // namespace

TextSearch::TextSearch(const QTextDocument &doc, const QString &text, Qt::CaseSensitivity cs)
    : m_doc(doc), m_foldCase(cs == Qt::CaseInsensitive)
{
    const auto *s = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype m = text.size();
    m_text.resize(m);
    for (qsizetype i = 0; i < m; ++i)
        m_text[i] = m_foldCase ? folded(s, i, foldTable()) : s[i];
    // How far the search may move on when the text's last character is compared with a
    // character c: to align c with its last place in the text before the end.
    m_skip.fill(static_cast<unsigned char>(std::min<qsizetype>(m, 255)));
    for (qsizetype i = 0; i + 1 < m; ++i)
        m_skip[m_text[i] & 0xff] = static_cast<unsigned char>(std::min<qsizetype>(m - 1 - i, 255));
}

qsizetype TextSearch::indexIn(QStringView within, qsizetype from) const
{
    const auto *s = reinterpret_cast<const char16_t *>(within.utf16());
    return m_foldCase ? horspool<true>(s, from, within.size(), m_text, m_skip)
                      : horspool<false>(s, from, within.size(), m_text, m_skip);
}

// Reads the paragraph that holds document position `position`, or none past the end.
void TextSearch::seek(int position)
{
    m_block = m_doc.findBlock(position);
    m_para = {};
    if (!m_block.isValid())
        return;
    m_blockStart = m_block.position();
    m_textStart = m_blockStart + m_block.blockNumber();
    const auto &pieces = QTextDocumentPrivate::get(&m_doc)->fragmentMap();
    m_piece = pieces.findNode(m_blockStart);
    m_offset = m_blockStart - static_cast<int>(pieces.position(m_piece));
    readParagraph(QTextDocumentPrivate::get(&m_doc)->buffer().constData());
}

// Reads m_block's text, which starts at the reading position, and moves that past its break.
void TextSearch::readParagraph(const QChar *store)
{
    const auto &pieces = QTextDocumentPrivate::get(&m_doc)->fragmentMap();
    int need = m_block.length() - 1;
    if (!m_piece || need <= 0) {
        m_para = {};
        skip(need + 1);
        return;
    }
    const QTextFragmentData *piece = pieces.fragment(m_piece);
    if (need <= static_cast<int>(piece->size_array[0]) - m_offset) {
        m_para = QStringView(store + piece->stringPosition + m_offset, need);
        skip(need + 1);
        return;
    }
    m_copy.clear();
    while (need > 0 && m_piece) {
        piece = pieces.fragment(m_piece);
        const int take = std::min(need, static_cast<int>(piece->size_array[0]) - m_offset);
        const auto *from = reinterpret_cast<const char16_t *>(store + piece->stringPosition);
        m_copy.insert(m_copy.end(), from + m_offset, from + m_offset + take);
        need -= take;
        skip(take);
    }
    m_para = QStringView(m_copy.data(), static_cast<qsizetype>(m_copy.size()));
    skip(1);
}

// Moves the reading position `count` characters on.
void TextSearch::skip(int count)
{
    const auto &pieces = QTextDocumentPrivate::get(&m_doc)->fragmentMap();
    while (m_piece) {
        const int left = static_cast<int>(pieces.size(m_piece)) - m_offset;
        if (count < left) {
            m_offset += count;
            return;
        }
        count -= left;
        m_piece = pieces.next(m_piece);
        m_offset = 0;
    }
}

qsizetype TextSearch::next(int from, int limit)
{
    if (m_text.empty())
        return -1;
    from = std::max(from, 0);
    limit = std::min(limit, m_doc.characterCount() - 1);
    const qsizetype m = static_cast<qsizetype>(m_text.size());
    if (!m_block.isValid() || from < m_blockStart || from >= m_blockStart + m_block.length()) {
        seek(from);
        if (!m_block.isValid())
            return -1;
    }
    const QChar *store = QTextDocumentPrivate::get(&m_doc)->buffer().constData();
    // A break is no part of a hit, so each paragraph is searched on its own.
    while (m_block.isValid() && m_blockStart + m <= limit) {
        const QStringView within =
            m_para.first(std::min<qsizetype>(m_para.size(), qsizetype(limit) - m_blockStart));
        const qsizetype i = indexIn(within, std::max(0, from - m_blockStart));
        if (i >= 0) {
            m_hit = m_blockStart + static_cast<int>(i);
            const bool last = !m_block.next().isValid();
            m_before = i > 0              ? m_para[i - 1]
                       : m_blockStart > 0 ? QChar::ParagraphSeparator
                                          : QChar();
            m_after = i + m < m_para.size() ? m_para[i + m]
                      : last                ? QChar()
                                            : QChar::ParagraphSeparator;
            return m_textStart + i;
        }
        if (m_stop && m_stop->load(std::memory_order_relaxed))
            return -1;
        // The next paragraph starts after this one's break, which counts two in the text.
        m_blockStart += m_block.length();
        m_textStart += m_block.length() + 1;
        m_block = m_block.next();
        if (m_block.isValid())
            readParagraph(store);
        else
            m_para = {};
    }
    return -1;
}
