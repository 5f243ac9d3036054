// Insert Picture and Insert File.

#include <QFileInfo>
#include <QImageReader>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "pictures/PicBrowse.h"
#include "pictures/PictureBox.h"
#include "pictures/clsPicPCX.h"
#include "pictures/clsPicTGA.h"
#include "pictures/frmPic.h"
#include "platform/AppPaths.h"
#include "platform/RichTextBox.h"
#include "platform/SafeFile.h"
#include "platform/UiServices.h"

namespace {

QString itemsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmMain\\Items");
}

// The Insert File dialog's types, in the order the stored filter index counts them.
QStringList insertFileFilters()
{
    static const char *const types[] = {
        "Rich Text Document (*.rtf)",
        "Rich Text Template (*.rtt)",
        "Text Document (*.txt)",
        "Dial-Up Networking Script (*.scp)",
        "Configuration Settings (*.ini)",
        "Setup Information (*.inf)",
        "Info Document (*.nfo)",
        "Diz Document (*.diz)",
        "Internet Shortcut (*.url)",
        "Internet Page (*.htm;*.asp;*.html;*.css)",
        "Windows or OS/2 BITmap (*.bmp)",
        "Windows or OS/2 DIB (*.dib)",
        "Paintbrush (*.pcx)",
        "Compuserve graphics Interchange (*.gif)",
        "JPEG - JIFF Compliant (*.jpg;*.jif;*.jpeg)",
        "Truvision Targa (*.tga)",
        "Windows Meta File (*.wmf)",
        "Windows Enhanced Meta File (*.emf)",
        "Icon (*.ico)",
        "Cursor (*.cur)",
    };
    QStringList out;
    // The file dialog separates the patterns of one type with blanks.
    for (const char *t : types)
        out.append(QString::fromLatin1(t).replace(QLatin1Char(';'), QLatin1Char(' ')));
    out.append(QStringLiteral("All Files (*)"));
    return out;
}

// The picture of a PCX or Targa file, rendered by the reader into a picture box at its own size
// (an empty picture when the reader does not take the file).
template <typename Reader> QImage renderWithReader(const QString &path)
{
    Reader reader;
    reader.AUTOSCALE(1);
    // A picture the reader cannot decode must not bring back the previous one.
    AppState::instance().CurrentBitmap = QImage();
    PictureBox box;
    box.setBorderStyle(0);
    if constexpr (std::is_same_v<Reader, clsPicPCX>) {
        reader.SCALEMODE(1);
        reader.LOADPCX(path);
        if (reader.ISPCX() != 1 || AppState::instance().CurrentBitmap.isNull())
            return QImage();
        box.setSizeTwips(reader.PCXWIDTH(), reader.PCXHEIGHT());
        reader.DRAWPCX(&box);
    } else {
        reader.LOADTGA(path);
        if (reader.ISTGA() != 1 || AppState::instance().CurrentBitmap.isNull())
            return QImage();
        box.setSizeTwips(reader.TGAWIDTH(), reader.TGAHEIGHT());
        reader.DRAWTGA(&box);
    }
    return box.picture();
}

// An icon or cursor: its largest image, rendered onto white.
QImage renderIcon(const QString &path)
{
    if (!SafeFile::isOrdinaryOrMissing(path))
        return QImage();
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    QImage best;
    for (int i = 0; i < std::max(1, reader.imageCount()); ++i) {
        if (i > 0 && !reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (image.width() * image.height() > best.width() * best.height())
            best = image;
    }
    return PicBrowse::flatten(best);
}

} // namespace

void clsMain::INSERTPICTURE()
{
    const clsLibrary &lib = clsLibrary::instance();
    lib.STATUSBARCAPTION(&m_main, QStringLiteral("Searching for pictures..."), 11);
    frmPic *browser = frmPic::SHOW(m_main);
    // The browser keeps its own text while the thumbnails of its page are being read.
    lib.STATUSBARCAPTION(
        &m_main, browser->pageBusy() ? QStringLiteral("Creating thumbnail images...") : QString(),
        0);
}

void clsMain::INSERTFILE()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return;
    const clsLibrary &lib = clsLibrary::instance();
    FileDialogRequest request;
    request.title = QStringLiteral("File");
    request.filters = insertFileFilters();
    request.folder =
        lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, itemsKey(),
                       QStringLiteral("CMD Insert File Folder"), AppPaths::documentsFolder());
    bool ok = false;
    const int index = lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, itemsKey(),
                                     QStringLiteral("CMD Insert File Filter"), QStringLiteral("1"))
                          .toInt(&ok);
    request.filterIndex = ok && index >= 1 && index <= request.filters.size() ? index : 1;
    const FileDialogResult result = UiServices::instance().openFiles(request);
    if (result.files.isEmpty())
        return;
    const QString path = result.files.first();
    lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, itemsKey(),
                    QStringLiteral("CMD Insert File Folder"), lib.GETFOLDERPATH(path));
    lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, itemsKey(),
                    QStringLiteral("CMD Insert File Filter"), QString::number(result.filterIndex));

    QImage picture;
    switch (PicBrowse::insertKind(QFileInfo(path).fileName())) {
    case PicBrowse::InsertKind::Document:
        INSERTDOC(path);
        doc->DOCCHK();
        return;
    case PicBrowse::InsertKind::Picture: {
        const PicBrowse::Picture read = PicBrowse::readPicture(path);
        if (read.status == PicBrowse::LoadStatus::Invalid) {
            lib.MESSAGEBOX(15, path);
            return;
        }
        picture = read.image;
        break;
    }
    case PicBrowse::InsertKind::Pcx:
        picture = renderWithReader<clsPicPCX>(path);
        break;
    case PicBrowse::InsertKind::Tga:
        picture = renderWithReader<clsPicTGA>(path);
        break;
    case PicBrowse::InsertKind::Icon:
        picture = renderIcon(path);
        break;
    }
    PicBrowse::pastePicture(doc->RTF1, picture);
    doc->DOCCHK();
}
