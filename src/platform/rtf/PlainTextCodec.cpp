#include "platform/rtf/PlainTextCodec.h"

#include "platform/rtf/RtfEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

PlainText::PieceDecoder::PieceDecoder(QByteArrayView bytes) : m_body(bytes)
{
    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    if (bom && bytes.sliced(3).isValidUtf8()) {
        m_encoding = Encoding::Utf8Bom;
        m_body = bytes.sliced(3);
        m_skipped = 3;
    } else if (!bom && bytes.isValidUtf8()) {
        m_encoding = Encoding::Utf8;
    } else {
        // Not UTF-8: the bytes are Windows-1252 (a BOM would have said otherwise).
        m_encoding = Encoding::Windows1252;
    }
}

bool PlainText::PieceDecoder::next(QString &text, qsizetype bytes)
{
    const qsizetype size = m_body.size();
    if (m_pos >= size) {
        text.clear();
        return false;
    }
    qsizetype end = std::min(size, m_pos + std::max<qsizetype>(1, bytes));
    if (m_encoding != Encoding::Windows1252) {
        // Not inside a character: continuation bytes belong to the piece before them.
        while (end < size && (static_cast<uchar>(m_body[end]) & 0xC0) == 0x80)
            ++end;
    }
    if (end < size && m_body[end - 1] == '\r' && m_body[end] == '\n')
        ++end;
    const QByteArrayView piece = m_body.sliced(m_pos, end - m_pos);
    QString decoded;
    if (m_encoding == Encoding::Windows1252) {
        decoded = RtfEncoding::fromWindows1252(piece);
    } else {
        // A BOM left at the very start stays skipped, as a decoder of the whole text skips it;
        // later pieces keep a U+FEFF they start with.
        QStringDecoder utf8(QStringDecoder::Utf8,
                            m_pos == 0 ? QStringDecoder::Flag::Stateless
                                       : QStringDecoder::Flag::Stateless |
                                             QStringDecoder::Flag::ConvertInitialBom);
        decoded = utf8.decode(piece);
    }
    m_pos = end;

    // Every line-ending style becomes "\n" in the text.
    text.resize(decoded.size());
    QChar *out = text.data();
    const QChar *in = decoded.constData();
    const qsizetype n = decoded.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = in[i];
        if (c == u'\r') {
            if (i + 1 < n && in[i + 1] == u'\n') {
                ++m_crlf;
                ++i;
            } else {
                ++m_cr;
            }
            *out++ = u'\n';
        } else {
            if (c == u'\n')
                ++m_lf;
            *out++ = c;
        }
    }
    text.truncate(out - text.constData());
    return true;
}

PlainText::LineEnding PlainText::PieceDecoder::lineEnding() const
{
    if (m_crlf >= m_lf && m_crlf >= m_cr && m_crlf > 0)
        return LineEnding::CrLf;
    if (m_cr > m_lf)
        return LineEnding::Cr;
    return LineEnding::Lf;
}

PlainText::Decoded PlainText::decode(const QByteArray &bytes)
{
    Decoded d;
    PieceDecoder decoder(bytes);
    QString piece;
    while (decoder.next(piece))
        d.text += piece;
    d.encoding = decoder.encoding();
    d.lineEnding = decoder.lineEnding();
    return d;
}

QByteArray PlainText::encode(const QString &text, Encoding encoding, LineEnding lineEnding)
{
    QString body = text;
    // Paragraph and line separators a rich document may hold are line breaks in a text file.
    body.replace(QChar::ParagraphSeparator, u'\n');
    body.replace(QChar::LineSeparator, u'\n');
    if (lineEnding == LineEnding::CrLf)
        body.replace(u'\n', QStringLiteral("\r\n"));
    else if (lineEnding == LineEnding::Cr)
        body.replace(u'\n', u'\r');

    QByteArray out;
    switch (encoding) {
    case Encoding::Utf8Bom:
        out = "\xEF\xBB\xBF";
        out.append(body.toUtf8());
        break;
    case Encoding::Utf8:
        out = body.toUtf8();
        break;
    case Encoding::Windows1252:
        out.reserve(body.size());
        for (QChar c : body) {
            const int b = RtfEncoding::toWindows1252(c.unicode());
            if (QChar::isLowSurrogate(c.unicode()))
                continue; // the high half already stood for the character
            out.append(b >= 0 ? char(b) : '?');
        }
        break;
    }
    return out;
}
