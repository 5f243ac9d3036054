// libFuzzer target: the RTF reader on arbitrary bytes, then the writer on what it read, and
// the reader again on what the writer wrote.
#include <QGuiApplication>
#include <QTextCursor>
#include <QTextDocument>

#include "platform/rtf/PlainTextCodec.h"
#include "platform/rtf/RtfReader.h"
#include "platform/rtf/RtfWriter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Documents need fonts, so a GUI application, on the offscreen platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // Image decoders complain about the broken pictures the fuzzer makes; keep quiet.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QTextDocument document;
    if (!Rtf::read(bytes, document)) {
        // Not RTF: the plain-text codec gets it instead.
        const PlainText::Decoded d = PlainText::decode(bytes.toByteArray());
        PlainText::encode(d.text, d.encoding, d.lineEnding);
        // Decoded in small pieces, as a large file is read, it must give the same text: no
        // character or CR LF pair split between pieces.
        PlainText::PieceDecoder pieces(bytes);
        QString text, piece;
        while (pieces.next(piece, 1 + qsizetype(size % 7)))
            text += piece;
        if (text != d.text || pieces.lineEnding() != d.lineEnding)
            abort();
        return 0;
    }
    const QByteArray written = Rtf::write(document);
    QTextDocument again;
    if (!Rtf::read(written, again))
        abort(); // the writer must write RTF
    if (again.toPlainText() != document.toPlainText())
        abort(); // and what it writes must read back as the same text
    // A part of the document, pasted into another.
    const int end = document.characterCount() - 1;
    if (end > 2) {
        const QByteArray part = Rtf::write(document, 1, end - 1);
        QTextCursor cursor(&again);
        Rtf::insert(part, cursor, size % 2 ? Rtf::FinalMark::Breaks : Rtf::FinalMark::EndsContent);
    }
    return 0;
}
