// What start-up reads from a recovery copy left by another run: the info kept beside the copy
// (JSON), then, when that is sound, the copy itself as RTF. Bytes of any content; nothing may
// crash, and an info that reads back must name a caption and a known type.
#include <QGuiApplication>
#include <QTextDocument>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "documents/RecoveryFolder.h"
#include "platform/rtf/RtfReader.h"

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The copy is read into a document, which needs fonts: a GUI application, offscreen.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    // The info and the copy, split at the first NUL.
    const qsizetype split = bytes.indexOf('\0');
    const QByteArray json = split < 0 ? bytes : bytes.left(split);
    const auto info = RecoveryInfo::fromJson(json);
    if (!info)
        return 0;
    if (info->caption.isEmpty() ||
        (info->type != QLatin1String("rtf") && info->type != QLatin1String("text")))
        __builtin_trap();
    if (!RecoveryInfo::fromJson(info->toJson()))
        __builtin_trap();
    if (split >= 0) {
        QTextDocument doc;
        Rtf::read(QByteArrayView(bytes).sliced(split + 1), doc);
    }
    return 0;
}
