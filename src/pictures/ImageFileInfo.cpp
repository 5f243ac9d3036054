#include "pictures/ImageFileInfo.h"

#include <QByteArray>

namespace ImageFileInfo {

namespace {

// A 16-bit signed size: false when hi * 256 + lo does not fit.
bool size16(int hi, int lo, qint32 &out)
{
    const int v = hi * 256 + lo;
    if (v >= 32768)
        return false;
    out = v;
    return true;
}

bool isStartOfFrame(int marker)
{
    return (marker >= 0xC0 && marker <= 0xC3) || (marker >= 0xC5 && marker <= 0xC7) ||
           (marker >= 0xC9 && marker <= 0xCB) || (marker >= 0xCD && marker <= 0xCF);
}

} // namespace

void examine(QByteArrayView head, Info &info)
{
    // Work on exactly HeadSize bytes, zero beyond the file's end.
    QByteArray buffer(HeadSize, '\0');
    std::copy_n(head.data(), std::min(head.size(), HeadSize), buffer.data());
    const auto *b = reinterpret_cast<const uchar *>(buffer.constData());

    info.kind = Unknown;
    if (b[0] == 137 && b[1] == 'P' && b[2] == 'N') {
        info.kind = Png;
        switch (b[25]) {
        case 0:
            info.bitDepth = b[24];
            break;
        case 2:
            info.bitDepth = b[24] * 3;
            break;
        case 3:
            info.bitDepth = 8;
            break;
        case 4:
            info.bitDepth = b[24] * 2;
            break;
        case 6:
            info.bitDepth = b[24] * 4;
            break;
        default:
            info.kind = Unknown;
            break;
        }
        if (info.kind == Png) {
            if (!size16(b[18], b[19], info.width) || !size16(b[22], b[23], info.height))
                return;
        }
    }
    if (b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
        info.kind = Gif;
        if (!size16(b[7], b[6], info.width) || !size16(b[9], b[8], info.height))
            return;
        info.bitDepth = (b[10] & 7) + 1;
    }
    if (b[0] == 'B' && b[1] == 'M') {
        info.kind = Bmp;
        if (!size16(b[19], b[18], info.width) || !size16(b[23], b[22], info.height))
            return;
        info.bitDepth = b[28];
    }
    if (info.kind != Unknown)
        return;

    constexpr int scanEnd = 65525;
    int i = 0;
    while (i < scanEnd && !(b[i] == 0xFF && b[i + 1] == 0xD8 && b[i + 2] == 0xFF))
        ++i;
    if (i >= scanEnd)
        return;
    int j = i + 2;
    while (j < scanEnd) {
        if (b[j] == 0xFF && b[j + 1] != 0xFF) {
            const int m = j + 1;
            if (isStartOfFrame(b[m])) {
                info.kind = Jpeg;
                if (!size16(b[m + 4], b[m + 5], info.height) ||
                    !size16(b[m + 6], b[m + 7], info.width))
                    return;
                info.bitDepth = b[m + 8] * 8;
                return;
            }
            j += b[j + 2] * 256 + b[j + 3] + 1;
        } else {
            ++j;
        }
    }
}

} // namespace ImageFileInfo
