#pragma once

#include <QByteArray>
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
} // namespace PlainText
