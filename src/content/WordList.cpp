#include "content/WordList.h"

#include <QStringDecoder>

#include "platform/rtf/RtfEncoding.h"

namespace WordList {

namespace {

QString decodeLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return RtfEncoding::fromWindows1252(bytes);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

char classDigit(QChar upper)
{
    switch (upper.unicode()) {
    case 'B':
    case 'F':
    case 'P':
    case 'V':
        return '1';
    case 'C':
    case 'G':
    case 'J':
    case 'K':
    case 'Q':
    case 'S':
    case 'X':
    case 'Z':
        return '2';
    case 'D':
    case 'T':
        return '3';
    case 'L':
        return '4';
    case 'M':
    case 'N':
        return '5';
    case 'R':
        return '6';
    default:
        return '0';
    }
}

} // namespace

void Reader::feed(QByteArrayView block)
{
    qsizetype start = 0;
    for (qsizetype i = 0; i < block.size(); ++i) {
        const char c = block[i];
        if (c != '\r' && c != '\n')
            continue;
        const QByteArrayView piece = block.sliced(start, i - start);
        if (!m_overlong && m_line.size() + piece.size() <= MaxWordBytes)
            m_line.append(piece);
        else
            m_overlong = true;
        endLine();
        start = i + 1;
    }
    // The rest of the block has no line end yet: carry it into the next block.
    const QByteArrayView rest = block.sliced(start);
    if (m_overlong || m_line.size() + rest.size() > MaxWordBytes) {
        m_overlong = true;
        m_line.clear();
    } else {
        m_line.append(rest);
    }
}

void Reader::finish()
{
    endLine();
}

void Reader::endLine()
{
    if (!m_overlong) {
        qsizetype begin = 0;
        qsizetype end = m_line.size();
        while (begin < end && isBlank(m_line[begin]))
            ++begin;
        while (end > begin && isBlank(m_line[end - 1]))
            --end;
        if (end > begin)
            m_words.append(decodeLine(QByteArrayView(m_line).sliced(begin, end - begin)));
    }
    m_line.clear();
    m_overlong = false;
}

QStringList parse(QByteArrayView bytes)
{
    Reader reader;
    for (qsizetype at = 0; at < bytes.size(); at += BlockSize)
        reader.feed(bytes.sliced(at, std::min(BlockSize, bytes.size() - at)));
    reader.finish();
    return reader.takeWords();
}

QByteArray encodeLine(QStringView word)
{
    QByteArray line;
    line.reserve(word.size() + 2);
    bool fits = true;
    for (const QChar ch : word) {
        const int b = RtfEncoding::toWindows1252(ch.unicode());
        if (b < 0) {
            fits = false;
            break;
        }
        line.append(char(b));
    }
    if (!fits)
        line = word.toUtf8();
    line.append("\r\n");
    return line;
}

QString phoneticKey(QStringView word)
{
    if (word.isEmpty())
        return {};
    const QChar first = word[0].toUpper();
    QString key(first);
    key += QLatin1String("000");
    if (word.size() > 1) {
        const QChar second = word[1].toUpper();
        if (second != first)
            key[1] = QLatin1Char(classDigit(second));
    }
    return key;
}

} // namespace WordList
