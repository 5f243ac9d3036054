#include "pictures/PicBrowse.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageReader>
#include <QPainter>

#include "core/NumberText.h"
#include "pictures/DibImage.h"
#include "pictures/PictureDecode.h"
#include "pictures/PictureReader.h"
#include "platform/RichTextBox.h"
#include "platform/SafeFile.h"

namespace PicBrowse {

namespace {

QString lastThree(const QString &fileName)
{
    return fileName.right(3).toUpper();
}

// A number with the pattern "###.0": one decimal, no leading zero before the point.
QString hashPointZero(double value)
{
    QString text = NumberText::formatFixed(value, 1).value_or(QStringLiteral("0.0"));
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    else if (text.startsWith(QLatin1String("-0.")))
        text.remove(1, 1);
    return text;
}

QImage fitted(const QImage &image, QSize fit)
{
    if (!fit.isValid() || image.isNull())
        return image;
    if (image.width() <= fit.width() && image.height() <= fit.height())
        return image;
    return image.scaled(fit, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

Picture fromDib(PictureDecode::DibPicture dib, QSize fit)
{
    Picture p;
    p.pixels = QSize(dib.width, dib.height);
    const QImage image = DibImage::fromPicture(std::move(dib));
    if (image.isNull())
        return p;
    p.status = LoadStatus::Ok;
    p.image = flatten(fitted(image, fit));
    return p;
}

Picture readPcx(const QString &path, QSize fit)
{
    const PictureReader::FileBytes file(path);
    PictureDecode::PcxResult result = PictureDecode::decodePcx(file.bytes());
    if (!PictureDecode::isValidPcx(result.header) || !result.sizeValid)
        return {};
    if (result.status != PictureDecode::Status::Ok) {
        Picture p;
        p.pixels = QSize(result.width, result.height);
        return p;
    }
    return fromDib(std::move(result.picture), fit);
}

Picture readTga(const QString &path, QSize fit)
{
    const PictureReader::FileBytes file(path);
    const PictureDecode::TgaHeader header = PictureDecode::readTgaHeader(file.head(18));
    Picture p;
    p.pixels = QSize(header.width, header.height);
    if (header.pixelDepth == 16) {
        p.status = LoadStatus::Tga16;
        return p;
    }
    if (!PictureDecode::isValidTga(header) || file.bytes().isEmpty())
        return p;
    PictureDecode::TgaResult result = PictureDecode::decodeTga(file.bytes());
    if (result.status != PictureDecode::Status::Ok)
        return p;
    return fromDib(std::move(result.picture), fit);
}

Picture readOther(const QString &path, QSize fit)
{
    Picture p;
    // A pipe or device named like a picture is passed over: opening it could wait for ever.
    if (!SafeFile::isOrdinaryOrMissing(path))
        return p;
    QImageReader reader(path);
    // Extensions such as .dib, .jif and .cur do not name a format: look at the content.
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (size.isValid()) {
        p.pixels = size;
        if (fit.isValid() && (size.width() > fit.width() || size.height() > fit.height()) &&
            reader.supportsOption(QImageIOHandler::ScaledSize))
            reader.setScaledSize(size.scaled(fit, Qt::KeepAspectRatio));
    }
    QImage image;
    if (!reader.read(&image)) {
        // A file that cannot be opened is passed over; one that opens but is not a picture the
        // loader knows is an invalid picture.
        const auto error = reader.error();
        if (error == QImageReader::UnsupportedFormatError ||
            error == QImageReader::InvalidDataError)
            p.status = LoadStatus::Invalid;
        return p;
    }
    if (!p.pixels.isValid())
        p.pixels = image.size();
    p.status = LoadStatus::Ok;
    p.image = flatten(fitted(image, fit));
    return p;
}

} // namespace

QStringList pictureNameFilters()
{
    return {QStringLiteral("*.gif"),  QStringLiteral("*.dib"), QStringLiteral("*.bmp"),
            QStringLiteral("*.jpeg"), QStringLiteral("*.jif"), QStringLiteral("*.jpg"),
            QStringLiteral("*.ico"),  QStringLiteral("*.cur"), QStringLiteral("*.emf"),
            QStringLiteral("*.wmf"),  QStringLiteral("*.pcx"), QStringLiteral("*.tga")};
}

QStringList listPictures(const QString &folder)
{
    if (folder.isEmpty())
        return {};
    const QDir dir(folder);
    // Without QDir::CaseSensitive the patterns match names in any case, as "PHOTO.JPG".
    return dir.entryList(pictureNameFilters(), QDir::Files | QDir::Readable,
                         QDir::Name | QDir::IgnoreCase);
}

int pageCount(int files)
{
    return std::max(1, (files + SlotsPerPage - 1) / SlotsPerPage);
}

QString caption(int files)
{
    return QStringLiteral("Picture - ") + QString::number(files) +
           (files == 1 ? QStringLiteral(" File") : QStringLiteral(" Files"));
}

QString thumbTooltip(QSize twips, qint64 fileBytes)
{
    const double h = twips.height() / 15.0;
    const double w = twips.width() / 15.0;
    return QStringLiteral("Height:") + hashPointZero(h) + QStringLiteral(" Width:") +
           QString::number(qRound(w)) + QStringLiteral(" Size:") +
           hashPointZero(double(fileBytes) / 1024.0) + QStringLiteral("KB");
}

InsertKind insertKind(const QString &fileName)
{
    const QString end = lastThree(fileName);
    static const QStringList pictures = {
        QStringLiteral("BMP"), QStringLiteral("DIB"), QStringLiteral("GIF"), QStringLiteral("JPG"),
        QStringLiteral("PEG"), QStringLiteral("JIF"), QStringLiteral("EMF"), QStringLiteral("WMF")};
    if (pictures.contains(end))
        return InsertKind::Picture;
    if (end == QLatin1String("PCX"))
        return InsertKind::Pcx;
    if (end == QLatin1String("TGA"))
        return InsertKind::Tga;
    if (end == QLatin1String("ICO") || end == QLatin1String("CUR"))
        return InsertKind::Icon;
    return InsertKind::Document;
}

Picture readPicture(const QString &path, QSize fit)
{
    Picture p;
    switch (insertKind(path)) {
    case InsertKind::Pcx:
        p = readPcx(path, fit);
        break;
    case InsertKind::Tga:
        p = readTga(path, fit);
        break;
    default:
        p = readOther(path, fit);
        break;
    }
    p.fileBytes = QFileInfo(path).size();
    return p;
}

QImage flatten(const QImage &image)
{
    if (image.isNull())
        return image;
    if (!image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_RGB32);
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(Qt::white);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    painter.end();
    return out;
}

bool pastePicture(RichTextBox *target, const QImage &image)
{
    if (!target || image.isNull())
        return false;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setImage(flatten(image));
    target->Paste();
    return true;
}

} // namespace PicBrowse
