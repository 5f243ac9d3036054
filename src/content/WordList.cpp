#include "content/WordList.h"

#include <QStringDecoder>

#include "platform/rtf/RtfEncoding.h"

namespace WordList {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// The line without the blanks around it.
QByteArrayView trimmed(QByteArrayView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && isBlank(line[begin]))
        ++begin;
    while (end > begin && isBlank(line[end - 1]))
        --end;
    return line.sliced(begin, end - begin);
}

// Decodes one trimmed line into out: plain ASCII directly, else UTF-8 when valid, else
// Windows-1252.
void decodeLine(QByteArrayView bytes, QString &out)
{
    bool ascii = true;
    for (const char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        out.resize(bytes.size());
        QChar *d = out.data();
        for (qsizetype i = 0; i < bytes.size(); ++i)
            d[i] = QLatin1Char(bytes[i]);
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    out = utf8.decode(bytes);
    if (utf8.hasError())
        out = RtfEncoding::fromWindows1252(bytes);
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
        const QByteArrayView line = trimmed(m_line);
        if (!line.isEmpty()) {
            QString word;
            decodeLine(line, word);
            m_words.append(word);
        }
    }
    m_line.clear();
    m_overlong = false;
}

QStringList parse(QByteArrayView bytes)
{
    QStringList words;
    forEachWord(bytes, [&words](QStringView w) { words.append(w.toString()); });
    return words;
}

void scan(QByteArrayView bytes, void (*sink)(void *, QStringView), void *context)
{
    QString word;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i <= n; ++i) {
        if (i < n && bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (i - start <= MaxWordBytes) {
            const QByteArrayView line = trimmed(bytes.sliced(start, i - start));
            if (!line.isEmpty()) {
                decodeLine(line, word);
                sink(context, word);
            }
        }
        start = i + 1;
    }
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

} // namespace WordList
