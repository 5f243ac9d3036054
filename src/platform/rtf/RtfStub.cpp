// Placeholder bodies until the reader, writer and codec land.
#include <QTextCursor>
#include <QTextDocument>

#include "platform/rtf/PlainTextCodec.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

bool Rtf::isRtf(QByteArrayView data) { return data.trimmed().startsWith("{\\rtf"); }
bool Rtf::read(QByteArrayView, QTextDocument &document)
{
    document.clear();
    return false;
}
bool Rtf::insert(QByteArrayView, QTextCursor &) { return false; }
QByteArray Rtf::write(const QTextDocument &document, int, int)
{
    return "{\\rtf1\\ansi " + document.toPlainText().toLatin1() + "}";
}
PlainText::Decoded PlainText::decode(const QByteArray &bytes) { return {QString::fromUtf8(bytes)}; }
QByteArray PlainText::encode(const QString &text, Encoding, LineEnding) { return text.toUtf8(); }
