#include "pictures/PictureConvert.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include "pictures/DibImage.h"
#include "pictures/PictureDecode.h"
#include "pictures/PictureReader.h"

namespace {

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

QString statusText(PictureDecode::Status status)
{
    switch (status) {
    case PictureDecode::Status::Unsupported:
        return QStringLiteral("unsupported picture format");
    case PictureDecode::Status::SixteenBit:
        return QStringLiteral("16-bit Targa pictures are not supported");
    case PictureDecode::Status::BadSize:
        return QStringLiteral("invalid picture size");
    case PictureDecode::Status::TooLarge:
        return QStringLiteral("picture too large");
    case PictureDecode::Status::Ok:
        break;
    }
    return QString();
}

} // namespace

bool isPictureExtension(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toUpper();
    return suffix == QLatin1String("PCX") || suffix == QLatin1String("TGA");
}

QImage decodePictureFile(const QString &path, QString *error)
{
    if (!isPictureExtension(path)) {
        setError(error, QStringLiteral("%1: not a PCX or Targa file").arg(path));
        return {};
    }
    const PictureReader::FileBytes mapped(path);
    const QByteArrayView file = mapped.bytes();
    if (file.isEmpty()) {
        setError(error, QStringLiteral("%1: cannot read the file").arg(path));
        return {};
    }
    const bool pcx = QFileInfo(path).suffix().toUpper() == QLatin1String("PCX");
    PictureDecode::Status status;
    PictureDecode::DibPicture picture;
    if (pcx) {
        PictureDecode::PcxResult r = PictureDecode::decodePcx(file);
        status = r.status;
        picture = std::move(r.picture);
    } else {
        PictureDecode::TgaResult r = PictureDecode::decodeTga(file);
        status = r.status;
        picture = std::move(r.picture);
    }
    if (status != PictureDecode::Status::Ok) {
        setError(error, QStringLiteral("%1: %2").arg(path, statusText(status)));
        return {};
    }
    QImage image = DibImage::fromPicture(std::move(picture));
    if (image.isNull())
        setError(error, QStringLiteral("%1: picture too large").arg(path));
    return image;
}

bool convertPictureToPng(const QString &in, const QString &out, QString *error)
{
    const QImage image = decodePictureFile(in, error);
    if (image.isNull())
        return false;
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, QStringLiteral("%1: %2").arg(out, file.errorString()));
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image)) {
        file.cancelWriting();
        setError(error, QStringLiteral("%1: %2").arg(out, writer.errorString()));
        return false;
    }
    if (!file.commit()) {
        setError(error, QStringLiteral("%1: %2").arg(out, file.errorString()));
        return false;
    }
    return true;
}
