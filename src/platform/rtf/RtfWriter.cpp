#include "platform/rtf/RtfWriter.h"

#include "platform/rtf/writer/Writer.h"

// The writer itself is in writer/ (Writer.h lists its pieces).

QByteArray Rtf::write(const QTextDocument &document, int from, int to)
{
    RtfWrite::Writer writer(document, from, to);
    return writer.run();
}

bool Rtf::write(const QTextDocument &document, QIODevice &out)
{
    RtfWrite::Writer writer(document, 0, -1);
    return writer.run(out);
}
