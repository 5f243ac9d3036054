#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Plain-text files: UTF-8 when the bytes are valid UTF-8 (a BOM is honoured), otherwise
// Windows-1252; saved back in the encoding and line-ending style they were read with.
namespace PlainText {
enum class Encoding { Utf8, Utf8Bom, Windows1252 };
enum class LineEnding { CrLf, Lf, Cr };

struct Decoded
{
    QString text; // paragraphs separated by "\n"
    Encoding encoding = Encoding::Utf8;
    LineEnding lineEnding = LineEnding::Lf;
};

Decoded decode(const QByteArray &bytes);
// text uses "\n" between paragraphs.
QByteArray encode(const QString &text, Encoding encoding, LineEnding lineEnding);

// Decodes bytes a piece at a time, as decode() does all at once (decode goes through it): the
// encoding is decided from all the bytes first, then each piece ends on a whole character and
// never between the CR and LF of one line end. The line-ending style is the one used most in
// the pieces decoded so far.
class PieceDecoder
{
public:
    explicit PieceDecoder(QByteArrayView bytes);
    // The next piece's text (about `bytes` bytes of the input), "\n" ending each line; false
    // when everything has been decoded.
    bool next(QString &text, qsizetype bytes = 1 << 20);
    qsizetype bytesDone() const { return m_pos + m_skipped; }
    Encoding encoding() const { return m_encoding; }
    LineEnding lineEnding() const;

private:
    QByteArrayView m_body; // the bytes decoded (after a UTF-8 BOM)
    qsizetype m_skipped = 0;
    qsizetype m_pos = 0;
    Encoding m_encoding = Encoding::Utf8;
    qsizetype m_crlf = 0, m_lf = 0, m_cr = 0;
};
} // namespace PlainText
