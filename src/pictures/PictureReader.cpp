#include "pictures/PictureReader.h"

#include "core/clsLibrary.h"
#include "platform/SafeFile.h"

namespace PictureReader {

FileBytes::FileBytes(const QString &path)
{
    // Read rather than mapped: a mapped file cut short by another program would crash the
    // reader. Only ordinary files are opened: a pipe named like a picture would never end.
    if (SafeFile::stampOf(path).size > MaxFileSize) {
        SafeFile::read(path, m_head, 128);
        return;
    }
    SafeFile::read(path, m_bytes);
    m_head = m_bytes.left(128);
}

bool buildCurrentBitmap(PictureDecode::DibPicture picture)
{
    const clsLibrary &lib = clsLibrary::instance();
    const qint32 w = picture.width;
    const qint32 h = picture.height;
    const bool topDown = picture.topDown;
    switch (picture.bitsPerPixel) {
    case 1:
        lib.INITCOLORTBL1();
        return lib.CREATEBMP1(picture.pixels, w, h, topDown);
    case 4:
        lib.INITCOLORTBL4(picture.palette);
        return lib.CREATEBMP4(picture.pixels, w, h, topDown);
    case 8:
        lib.INITCOLORTBL8(picture.palette);
        return lib.CREATEBMP8(picture.pixels, w, h, topDown);
    case 32:
        return lib.CREATEBMP24(std::move(picture.pixels), w, h, topDown);
    default:
        return false;
    }
}

} // namespace PictureReader
