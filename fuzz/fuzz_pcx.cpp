// Drives the PCX decoder and the bitmap builder with arbitrary bytes.
#include <cstddef>
#include <cstdint>

#include "pictures/DibImage.h"
#include "pictures/PictureDecode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A smaller limit keeps the run fast; the limit logic is the same at any value.
    constexpr qsizetype limit = 2 * 1024 * 1024;
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    PictureDecode::PcxResult result = PictureDecode::decodePcx(bytes, limit);
    PictureDecode::isValidPcx(result.header);
    if (result.status == PictureDecode::Status::Ok) {
        const QImage image = DibImage::fromPicture(std::move(result.picture), limit);
        if (!image.isNull())
            (void)image.pixel(image.width() - 1, image.height() - 1);
    }
    return 0;
}
