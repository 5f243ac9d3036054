// Drives the GIF/JPEG/PNG/BMP header examination with arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "pictures/ImageFileInfo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ImageFileInfo::Info info;
    ImageFileInfo::examine(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)),
                           info);
    return 0;
}
