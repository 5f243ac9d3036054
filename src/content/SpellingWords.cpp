#include "content/SpellingWords.h"

#include "core/NumberText.h"

namespace SpellingWords {

namespace {

bool isBlank(QChar c)
{
    // Spaces, line breaks, the picture character and the paragraph and line separators.
    return c.unicode() <= 32 || c.isSpace() || c.unicode() == 0xFFFC;
}

bool isApostrophe(QChar c)
{
    return c == u'\'' || c.unicode() == 0x2019 || c.unicode() == 0x02BC;
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c.unicode() == 0x00AD;
}

bool isDigitJoiner(QChar c)
{
    return c == u'.' || c == u',' || c == u':' || c == u'/';
}

bool startsWithInsensitive(QStringView text, const char *prefix)
{
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

} // namespace

bool isAddress(QStringView piece)
{
    // Brackets, quotes and stops around an address are not part of it.
    while (!piece.isEmpty() && !isWordChar(piece.front()))
        piece = piece.sliced(1);
    if (piece.contains(u"://") || startsWithInsensitive(piece, "www.") ||
        startsWithInsensitive(piece, "mailto:"))
        return true;
    const qsizetype at = piece.indexOf(u'@');
    if (at <= 0 || !isWordChar(piece[at - 1]))
        return false;
    const qsizetype dot = piece.indexOf(u'.', at + 1);
    return dot > at + 1 && dot + 1 < piece.size() && isWordChar(piece[dot + 1]);
}

std::optional<Word> next(QStringView text, int from)
{
    const int n = int(text.size());
    int i = std::max(0, from);
    int pieceEnd = -1; // the end of the last piece found not to be an address
    while (i < n) {
        while (i < n && !isWordChar(text[i]))
            ++i;
        if (i >= n)
            break;
        if (i >= pieceEnd) {
            // The piece between blanks around the word, for addresses.
            int pieceStart = i;
            while (pieceStart > 0 && !isBlank(text[pieceStart - 1]))
                --pieceStart;
            pieceEnd = i;
            while (pieceEnd < n && !isBlank(text[pieceEnd]))
                ++pieceEnd;
            if (isAddress(text.sliced(pieceStart, pieceEnd - pieceStart))) {
                i = pieceEnd;
                continue;
            }
        }
        const int start = i;
        bool letter = false;
        QString word;
        while (i < n) {
            const QChar c = text[i];
            if (isWordChar(c)) {
                letter = letter || c.isLetter();
                if (c.unicode() != 0x00AD)
                    word += c;
                ++i;
                continue;
            }
            const bool between = i > start && i + 1 < n;
            if (between && isApostrophe(c) && text[i - 1].isLetterOrNumber() &&
                text[i + 1].isLetter()) {
                word += u'\'';
                ++i;
                continue;
            }
            if (between && isDigitJoiner(c) && text[i - 1].isDigit() && text[i + 1].isDigit()) {
                word += c;
                ++i;
                continue;
            }
            break;
        }
        if (!letter)
            continue;
        if (text[start].isDigit() && NumberText::val(word) != 0)
            continue;
        return Word{start, i - start, word};
    }
    return std::nullopt;
}

} // namespace SpellingWords
