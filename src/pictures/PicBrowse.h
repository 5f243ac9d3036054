#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

class RichTextBox;

// What the picture browser and Insert File share: which files are pictures, how a folder is
// paged, the texts the browser shows, reading a picture file (safe on any thread) and pasting a
// picture into a document.
namespace PicBrowse {

constexpr int SlotsPerPage = 9;

// The file patterns of the browser's file list.
QStringList pictureNameFilters();
// The picture files of a folder (names only), as a file list shows them: hidden files and
// folders left out, sorted by name ignoring case. Empty for a folder that cannot be read.
QStringList listPictures(const QString &folder);

// Pages of nine for a number of files: at least one.
int pageCount(int files);

// "Picture - " n " Files" (" File" for one).
QString caption(int files);
// The tooltip of a thumbnail: "Height:" h " Width:" w " Size:" s "KB" for a picture of the given
// size in twips and a file of the given length.
QString thumbTooltip(QSize twips, qint64 fileBytes);

// How a file is inserted, by the last three letters of its name.
enum class InsertKind { Document, Picture, Pcx, Tga, Icon };
InsertKind insertKind(const QString &fileName);

// The outcome of reading a picture file.
enum class LoadStatus {
    Ok,
    // The picture loader rejected the file (message 15).
    Invalid,
    // A 16-bit Targa file (message 22).
    Tga16,
    // Nothing to show and nothing to say: unreadable file, PCX or Targa header not valid or
    // a picture without a decoder.
    Empty,
};

struct Picture
{
    LoadStatus status = LoadStatus::Empty;
    // The picture on white, at full size or fitted into the size asked for.
    QImage image;
    // The picture's own size in pixels (also when it could not be decoded, if the header said).
    QSize pixels;
    qint64 fileBytes = 0;
};

// Reads a picture file: PCX and Targa with the program's own decoders, every other type with the
// platform's picture loader. With a valid `fit`, the image is scaled down (never up) to fit into
// it keeping its shape, and large JPEG pictures are decoded at a reduced scale directly. Uses no
// program-wide state, so thumbnails can be read on worker threads.
Picture readPicture(const QString &path, QSize fit = QSize());

// A picture as the clipboard carries it: transparent parts on white, no alpha.
QImage flatten(const QImage &image);

// Puts the picture on a cleared clipboard as a bitmap and pastes it into the control. False when
// there is no control or no picture.
bool pastePicture(RichTextBox *target, const QImage &image);

} // namespace PicBrowse
