#include "pictures/PictureConvert.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageWriter>

#include "pictures/DibImage.h"
#include "pictures/PictureDecode.h"
#include "pictures/PictureReader.h"
#include "platform/rtf/DocumentConvert.h"

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
    QByteArray none;
    if (const SafeFile::Result check = SafeFile::read(path, none, 0); !check.ok()) {
        setError(error, QStringLiteral("%1: %2").arg(path, DocumentConvert::problemText(check)));
        return {};
    }
    const PictureReader::FileBytes mapped(path);
    const QByteArrayView file = mapped.bytes();
    if (file.isEmpty()) {
        setError(error, QStringLiteral("%1: cannot read the file").arg(path));
        return {};
    }
    const bool pcx = QFileInfo(path).suffix().toUpper() == QLatin1String("PCX");
    // The same validity test the picture browser applies (ISPCX, ISTGA): a picture it would
    // refuse is refused here too.
    const bool valid = pcx ? PictureDecode::isValidPcx(PictureDecode::readPcxHeader(file))
                           : PictureDecode::isValidTga(PictureDecode::readTgaHeader(file));
    if (!valid) {
        setError(error, QStringLiteral("%1: not a valid %2 picture")
                            .arg(path, pcx ? QStringLiteral("PCX") : QStringLiteral("Targa")));
        return {};
    }
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
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(image)) {
        setError(error, QStringLiteral("%1: %2").arg(out, writer.errorString()));
        return false;
    }
    QString writeError;
    if (!DocumentConvert::writeFileAtomically(out, png, &writeError)) {
        setError(error, writeError);
        return false;
    }
    return true;
}
