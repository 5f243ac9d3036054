#include "platform/rtf/PlainTextCodec.h"

#include "platform/rtf/RtfEncoding.h"

#include <QStringDecoder>
#include <QStringEncoder>

PlainText::Decoded PlainText::decode(const QByteArray &bytes)
{
    Decoded d;
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF")) {
        d.encoding = Encoding::Utf8Bom;
        body = body.sliced(3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (utf8.hasError()) {
        // Not UTF-8: the bytes are Windows-1252 (a BOM would have said otherwise).
        d.encoding = Encoding::Windows1252;
        text = RtfEncoding::fromWindows1252(bytes);
    } else if (d.encoding != Encoding::Utf8Bom) {
        d.encoding = Encoding::Utf8;
    }

    // The line-ending style is the one used most; every style becomes "\n" in the text.
    qsizetype crlf = 0, lf = 0, cr = 0;
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == u'\r') {
            if (i + 1 < n && text.at(i + 1) == u'\n') {
                ++crlf;
                ++i;
            } else {
                ++cr;
            }
            out.append(u'\n');
        } else {
            if (c == u'\n')
                ++lf;
            out.append(c);
        }
    }
    if (crlf >= lf && crlf >= cr && crlf > 0)
        d.lineEnding = LineEnding::CrLf;
    else if (cr > lf)
        d.lineEnding = LineEnding::Cr;
    else
        d.lineEnding = LineEnding::Lf;
    d.text = out;
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
