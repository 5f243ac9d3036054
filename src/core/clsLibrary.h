#pragma once

#include <QByteArray>
#include <QString>

#include "platform/SettingsStore.h"

class PictureBox;
class QColor;
class QPainter;
class QComboBox;
class QMenu;
class QRect;
class QTimer;
class QWidget;

// The utility object: the one door to the settings store, the message catalogue, the text and
// file helpers and the bitmap builder. One instance, owned by the main window; its operations
// are defined in the folders that own them.
class clsLibrary
{
public:
    // Settings roots as the callers pass them.
    enum Root { HKEY_CURRENT_USER = 0, HKEY_LOCAL_MACHINE = 1, HKEY_CLASSES_ROOT = 2 };

    // --- Settings store (core/clsLibrary_store.cpp) -------------------------------------------
    // Returns the stored string, or def when the key or value is missing, not a string, or 255
    // characters or longer. Never creates anything.
    QString REGSTRREAD(int root, const QString &keyPath, const QString &valueName,
                       const QString &def) const;
    // Stores a string value, creating the key path; true when stored.
    bool REGSTRWRITE(int root, const QString &keyPath, const QString &valueName,
                     const QString &text) const;
    // Stores a 32-bit number value, creating the key path.
    void REGDWORDREAD(int root, const QString &keyPath, const QString &valueName,
                      qint32 number) const;
    // Restores a window's placement from "<key>\<window name>\Window" (the company key when
    // title is "GLOBAL", else the application key).
    void FORMLOAD(const QString &title, QWidget *window, bool restoreSize) const;
    // Saves a window's placement.
    void FORMSAVE(const QString &title, QWidget *window, bool saveSize) const;
    // Around a dialog of the platform (the print dialog): while installed, a dialog window
    // that opens is centred over the main window. Calls nest; each load needs its unload.
    void HOOKFRMLOAD() const;
    void HOOKFRMUNLOAD() const;
    // Tells the user, once, when the settings store could not be used (the program runs on its
    // defaults) or a damaged store was put aside, and where it went.
    void reportStoreNotice() const;
    // The program's version, "major.minor".
    QString GETAPPNUMBER() const;
    // A caption cut to 32 characters plus "..." with every "&" removed.
    QString GETCAPTION(const QString &text) const;
    // The account's full name.
    QString GETCOMPANYNAME() const;
    // The registered organisation from the store, empty by default.
    QString GETCOMPANYREG() const;

    // --- Message catalogue (core/clsLibrary_messages.cpp) --------------------------------------
    // Shows notice `id` composed with s1..s4.
    void MESSAGEBOX(qint16 id, const QString &s1 = {}, const QString &s2 = {},
                    const QString &s3 = {}, const QString &s4 = {}) const;
    // Asks question `id`; result receives the pressed button (6 Yes, 7 No, 2 Cancel).
    void MESSAGEBOXFCN(qint16 id, const QString &s1, const QString &s2, const QString &s3,
                       const QString &s4, qint16 &result) const;

    // --- Text helpers (core/clsLibrary_text.cpp) -----------------------------------------------
    // name, or "Untitled" when it is empty.
    QString FILECHK(const QString &name) const;
    // path with a "/" added unless it is empty or already ends in "/".
    QString FILENAMELENCHK(const QString &path) const;
    // False when ch occurs in text, True otherwise.
    bool CHARCHECK(const QString &text, const QString &ch) const;
    // The part of text before the first delimiter; "" when there is none.
    QString TOKENLEFT(const QString &text, const QString &delimiter) const;
    // The number in field n (from 1) of text split at delimiter; 0 when there is none.
    double PIECE(const QString &text, const QString &delimiter, int n) const;
    // The number of words, hyphenated line ends joined up.
    qint32 WORDCOUNT(const QString &text) const;
    // text as a number with two decimals ("##0.00"); "" when it is not a number.
    QString CURRENCYFMT(const QString &text) const;
    // text as a number with one decimal ("0.0"); "" when it is not a number.
    QString TEXTJUSTIFY(const QString &text) const;
    // text as a number with two decimals ("0.00"); "" when it is not a number.
    QString TEXTJUSTIFYCURRENCY(const QString &text) const;
    // Key filter of a number box: digits, backspace and "." pass, any other key becomes 0.
    int TXTCURRENCYLOCK(QWidget *textBox, int keyCode) const;

    // --- File and folder helpers (core/clsLibrary_text.cpp) ------------------------------------
    // Whether path names an existing file.
    bool FILEEXISTS(const QString &path) const;
    // Whether the folder exists; a missing folder is created and false returned.
    bool FOLDEREXIST(const QString &path) const;
    // True when path is free or the user agrees to overwrite it (question 3).
    bool OVERWRITECHK(const QString &path) const;
    // The home folder, without a trailing separator.
    QString GETWINDOWSDIR() const;
    // The desktop folder, else the program folder; with a trailing separator.
    QString GETDESKTOPDIR() const;
    // path up to and including its last "/"; "" when it has none.
    QString GETFOLDERPATH(const QString &path) const;
    // The user's documents folder ("Files Location"), with a trailing separator; falls back to
    // (and remembers) the program folder when the folder is gone.
    QString FILESLOCATION() const;

    // --- Dialog layout helpers (core/clsLibrary_text.cpp) --------------------------------------
    // Puts the form's BTNCLOSE in its top right corner.
    void RESIZEBTNCLOSE(QWidget *form) const;
    // Puts the form's BTNOK in its top right corner and BTNCANCEL under it.
    void RESIZEBTNSOKCANCEL(QWidget *form) const;
    // Lets the combo box's drop-down list show visibleItems rows before it scrolls.
    void COMBOINIT(QComboBox *combo, int visibleItems, bool flag = false) const;

    // --- Status bar (chrome/clsLibrary_status.cpp) ---------------------------------------------
    // Shows text + "." in panel 1 of the form's status bar SBMAIN (empty clears it) and sets the
    // form's mouse pointer: 11 hourglass, 0 default.
    void STATUSBARCAPTION(QWidget *form, const QString &text, int pointer) const;
    // Puts the description of the menu item or toolbar button with this caption into panel 1 of
    // the form's status bar; an empty caption clears the panel.
    void STATUSTEXTDESC(QWidget *form, const QString &caption) const;
    // Shows each item's description in panel 1 of the form's status bar while the item is
    // highlighted (its status tip when it has one), and clears it when the menu closes.
    void DESCRIBEMENU(QWidget *form, QMenu *menu) const;
    // Pointer tracking for an ordinary window's status bar: once the pointer is outside area
    // (form coordinates), clears panel 1, stops the timer and returns 1; otherwise returns 0.
    int MOUSEMOVE(QWidget *form, QTimer *timer, const QRect &area) const;
    // The same for the main window (its timers TMR1 and tmr2).
    int MOUSEMOVEMDI(QWidget *form, QTimer *timer, const QRect &area) const;

    // --- File properties (chrome/clsLibrary_props.cpp) -----------------------------------------
    // Shows the properties dialog for a file modally over owner. kind is "DOCUMENT", "TEMPLATE",
    // "PICTURE" or "UNTITLED"; picture is the PictureBox holding a picture, source the
    // RichTextBox holding a document.
    void GETPROPERTIES(QWidget *owner, const QString &path, QWidget *picture, const QString &kind,
                       const QString &title, const QString &extra, QWidget *source) const;

    // --- HTML helpers (content/clsLibrary_html.cpp) --------------------------------------------
    // A web address with "http://" put in front unless it is empty or starts with "http://" or
    // "ftp://" (any letter case).
    QString HTMLFORMATCHECK(const QString &text) const;
    // The colour as an HTML code: "#" and red, green and blue as two upper-case hex digits each.
    QString GETHEXVAL(const QColor &color) const;
    // The hexadecimal number at the start of text as decimal text; "0" when there is none.
    QString HEX2STR(const QString &hex) const;

    // --- Bitmap builder (pictures/clsLibrary_bitmap.cpp) ---------------------------------------
    // Colour tables of the 1-, 4- and 8-bit descriptions: black and white, or palette triples
    // (red, green, blue; 16 or 256 of them, missing ones black).
    void INITCOLORTBL1() const;
    void INITCOLORTBL4(const QByteArray &palette) const;
    void INITCOLORTBL8(const QByteArray &palette) const;
    // Build the current bitmap from a pixel buffer (rows padded to 4 bytes; bottom row first
    // unless topDown). CREATEBMP24 takes blue, green, red, 0 pixels and builds a 32-bit bitmap.
    // False, leaving the current bitmap as it was, when the size is not positive or too large.
    bool CREATEBMP1(const QByteArray &pixels, qint32 width, qint32 height, bool topDown) const;
    bool CREATEBMP4(const QByteArray &pixels, qint32 width, qint32 height, bool topDown) const;
    bool CREATEBMP8(const QByteArray &pixels, qint32 width, qint32 height, bool topDown) const;
    bool CREATEBMP16(const QByteArray &pixels, qint32 width, qint32 height, bool topDown) const;
    bool CREATEBMP24(QByteArray pixels, qint32 width, qint32 height, bool topDown) const;
    // Paints the current bitmap into a picture box: at its own size when autoScale is 1,
    // otherwise stretched over the box.
    void DRAWBITMAP(qint32 width, qint32 height, PictureBox *box, quint8 autoScale) const;
    // Recognises the GIF, JPEG, PNG or BMP file named by ImageFileName and fills ImageKind,
    // ImageWidth, ImageHeight and ImageBitDepth.
    void GETIMAGEFILEINFO() const;
    // The name of a colour depth ("256 colors (8 bit)"), empty for depths without one.
    QString GETCOLORDEPTH(const QString &depth) const;

    // --- Picture file operations (pictures/PicFileOps.cpp) -------------------------------------
    // Move a file to the trash, move it (replacing the target) or rename it (never replacing a
    // file); a failure is reported to the user and leaves the files as they were. True when done.
    bool FILEDELETE(const QString &path) const;
    bool FILEMOVE(const QString &source, const QString &target) const;
    bool FILERENAME(const QString &source, const QString &target) const;

    // --- Page setup and printing (printing/clsLibrary_printing.cpp) ---------------------------
    // File > Page Setup: the page setup dialog on its "Page" tab, modally.
    void PAGESETUPPAGESHOW() const;
    // View > Header/Footer: the page setup dialog on its "Header/Footer" tab, modally.
    void PAGESETUPHEADFOOTSHOW() const;
    // Printer pixels as inches, horizontally or vertically.
    double SHOWUNITS(qint32 pixels, bool horizontal) const;
    // Draws the header and footer of the current printer page; margins in twips.
    void PAGEHEADERFOOTERINFO(const QString &page, qint16 left, qint16 top, qint16 right,
                              qint16 bottom) const;
    // The same drawing on a page picture (painter in twips from the printable area's top left).
    void PAGEHEADERFOOTERINFOPREVIEW(QPainter &picture, const QString &page, qint16 left,
                                     qint16 top, qint16 right, qint16 bottom) const;

    // The instance the program uses.
    static clsLibrary &instance();
};
