#pragma once

#include <QColor>
#include <QImage>
#include <QPointer>
#include <QSize>
#include <QString>
#include <array>
#include <optional>

#include "core/BitmapInfo.h"

class frmDocRTF;
class frmMain;
class QWidget;

// Program-wide state, one instance owned by the start-up module. Everything the windows and
// commands share across the run lives here rather than in scattered globals.
struct AppState
{
    static constexpr int MaxDocuments = 100;

    // Document windows created this run; slot k holds "Document " + (k + 1).
    std::array<QPointer<frmDocRTF>, MaxDocuments> DocWindows{};
    // True once slot k was handed out; never reset during a run.
    std::array<bool, MaxDocuments> DocSlotUsed{};
    int DocCount = 0;
    // While true, content changes do not mark a document modified.
    bool SuppressModified = false;
    QString CommandLinePath;
    // "2" (maximised) or "0": the state given to the next document window.
    QString NewWindowState = QStringLiteral("2");
    QString DocumentWord;
    // True while at least one document is open; the enabled state of the document commands.
    bool DocumentsOpen = false;
    // How the next FILESAVEDOC / FILESAVEAS saves: "SAVE", "SAVEAS", "SAVESELAS", "SAVESELECTION".
    QString SaveMode = QStringLiteral("SAVE");
    // The active document was opened from a read-only file.
    bool DocReadOnly = false;
    // The template chosen in the template dialog's default-template mode (read by preferences).
    QString TemplateSelected;
    // The main window, while it exists.
    QPointer<frmMain> MainWindow;

    // Editing flags.
    bool EditKeyDown = false;
    bool UndoKeyDown = false;
    bool PainterActive = false;

    // Find, replace and go to: the search state shared by every document.
    qint32 FindCount = 0;   // hits (or replacements) since the last reset
    qint32 FindOptions = 0; // RichTextBox::Find option bits: 2 whole word, 4 match case
    qint32 FindStart = 0;   // where the next search starts (see frmFind)
    qint32 ReplaceCount = 0;
    bool GoToMode = false;   // true only while EDITGOTO opens the dialog
    bool SearchDone = false; // a search ran from the dialog

    // Character formatting: what the armed format painter copies. An attribute without a value
    // was mixed in the copied selection and is left as it is where the painter applies.
    struct PainterFormat
    {
        std::optional<bool> Underline, Bullet, Bold, Italic, StrikeThru;
        std::optional<int> CharOffset;
        std::optional<QColor> Color;
        std::optional<QString> FontName;
        std::optional<double> FontSize;
    };
    PainterFormat Painter;

    // Pictures: size in twips of the picture last decoded, and the bitmap last built.
    QSize ImageSizeTwips;
    QImage CurrentBitmap;
    // The bitmap descriptions per depth; each colour table keeps its contents until the next
    // colour-table operation of its depth.
    BitmapInfo<2> BitmapInfo1;
    BitmapInfo<16> BitmapInfo4;
    BitmapInfo<256> BitmapInfo8;
    BitmapInfo<0> BitmapInfo16;
    BitmapInfo<0> BitmapInfo32;

    // Picture file information (filled by clsLibrary::GETIMAGEFILEINFO).
    QString ImageFileName;
    qint32 ImageWidth = 0;
    qint32 ImageHeight = 0;
    qint32 ImageBitDepth = 0;
    qint32 ImageKind = 0;

    // Printing: the file name last chosen in the main window's open or save dialog (the
    // footer's field 2 defaults to it), and the paper size and orientation codes last confirmed
    // in the page setup this run, as text ("" until then).
    QString DialogFileName;
    QString PrintOrientation;
    QString PrintPaperSize;

    // --- File properties (chrome): the request of the properties dialog while it is open ------
    struct PropertiesRequest
    {
        QPointer<QWidget> owner;   // the dialog is modal over it
        QString path;              // the file to describe
        QPointer<QWidget> picture; // the PictureBox holding the loaded image (pictures only)
        QString kind;              // "DOCUMENT", "TEMPLATE", "PICTURE" or "UNTITLED"
        QString title;             // passed through for the dialog's caption
        QString extra;
        QPointer<QWidget> source; // the RichTextBox holding the document (documents only)
    };
    PropertiesRequest Properties;

    // The one instance.
    static AppState &instance();
    // Clears everything back to a fresh run (tests).
    static void reset();
};
