#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <memory>
#include <utility>

class frmMain;
class frmDocRTF;
class RichTextBox;
class QMenu;
class RecentFilesList;

// The command object: every menu item, toolbar button and context-menu item calls one of these
// operations. Each finds the active document window and works on it; the work itself lives in
// the classes of the subsystem that owns the command, and the definitions are split across the
// folders that own them.
class clsMain
{
public:
    explicit clsMain(frmMain &main);
    ~clsMain();
    clsMain(const clsMain &) = delete;
    clsMain &operator=(const clsMain &) = delete;

    // The active document window, or nullptr when none is open.
    frmDocRTF *ActiveDoc() const;
    // The active document's text, or nullptr when none is open.
    RichTextBox *ActiveText() const;

    // --- Start-up, shutdown, Window and Help menus (core/clsMain.cpp) -------------------------
    // Sets up menus, placement, toolbars, the first document and the recent files list.
    void PROGRAMLOAD();
    // Stores the placement and View values and unloads the windows.
    void PROGRAMUNLOAD();
    // Window > New Window: a new document, from the default template when one is set.
    void WINDOWNEWWINDOW();
    // Arranges the document windows: 0 cascade, 1 tile horizontal, 2 tile vertical, 3 icons.
    void WINDOWARRANGE(int how);
    // Closes the active document, then every other one, each with its unsaved-changes prompt.
    void WINDOWCLOSEALL();
    // Help > Help Topics: opens the help file when there is one.
    void HELPTOPICS();
    // Help > Qor Online and the About box's logo: the maker's web site.
    void HELPONLINE();
    // Help > About.
    void HELPABOUT();
    // File > Close: closes the active document window.
    void FILECLOSE();
    // File > Exit: closes the main window.
    void FILEEXIT();
    // Opens a file or web address in the desktop's default program.
    void INTERNETACCESS(const QString &address);

    // --- Documents (documents/clsMain_files.cpp) ----------------------------------------------
    // A new empty document window; nullptr when the 100 slots of the run are used up.
    frmDocRTF *FILENEW();
    // File > New: the template dialog.
    void FILENEWSHOW();
    // File > Open: opens every chosen file in a window of its own.
    void FILEOPENDOCUMENT();
    // Number of files in the open dialog's result.
    int FILESSELECTEDCOUNT(const QStringList &selection) const;
    // The full path of the index-th (0-based) file of the open dialog's result.
    QString FILEOPENGETFROMLIST(const QStringList &selection, int index) const;
    // Opens one file in a new document window and puts it at the top of the recent list; a file
    // already open only has its window activated. A file that cannot be read gets a message and
    // no window (nullptr).
    frmDocRTF *FILEOPENONE(const QString &path);
    // Replaces a document's content with the file, names the document after it and notes the
    // version read. False, with a message and the document unchanged, when it cannot be read.
    bool loadIntoDocument(frmDocRTF *doc, const QString &path);
    // The window holding the file, or nullptr.
    frmDocRTF *documentForFile(const QString &path) const;
    // True when the active document may be changed by commands (it exists and is not read-only).
    bool activeDocEditable() const;
    // Saves the active document according to the save mode; true when it was written.
    bool FILESAVEDOC();
    // Save As dialog; names the document and saves it. True when it was written.
    bool FILESAVEAS();
    // Inserts a whole document at the caret of the active document.
    void INSERTDOC(const QString &path);
    // Gives a document the plain-text font when its name is not a rich text type.
    void TEXTFONTAPPLY(frmDocRTF *doc, const QString &name);
    // Makes the ruler's labels and markers visible.
    void SETRULER();
    // View > Ruler: shows or hides every document's ruler and stores the choice.
    void RULERBAR();

    // --- Recent files (documents/clsMain_recent.cpp) ------------------------------------------
    // Puts the path at the top of the recent files list.
    void FILERECENTFILESLISTADD(const QString &path);
    // Opens the document of recent item k (0 to 7).
    void FILERECENTFILESLISTOPEN(int k);
    // Empties the recent files list.
    void FILERECENTFILESLIST_CLEAR();
    // Reloads the active document from its file.
    void FILEREOPEN();
    // The list (most recent first) as the menu shows it.
    const RecentFilesList &recentFiles() const { return *m_recent; }
    // Reads the list from the store into the menu.
    void RECENTLISTREAD();

    // --- Menus, toolbars and status bar (chrome/clsMain_chrome.cpp) ----------------------------
    // Prepares the menus.
    void MNUINITIALIZE();
    // Enables the document commands when at least one document is open.
    void MNUENABLED();
    // Applies the stored View values at start-up.
    void TOOLBARSINIT();
    // Relays the toolbars and the document area after a strip was shown or hidden.
    void TOOLBARSUPDATE();
    // Brings the toolbar buttons up to date with the active document.
    void TOOLBARSBUTTONSUPDATE();
    // View > Status Bar.
    void STATUSBAR();
    // View > Standard Toolbar / Formatting Toolbar.
    void VIEWSTANDARDTOOLBAR();
    void VIEWFORMATTINGTOOLBAR();

    // --- Edit menu (editing/clsMain_edit.cpp) -----------------------------------------------
    void PASTEUPDATE();
    void EDITUNDO();
    void EDITCUT();
    void EDITCOPY();
    void EDITPASTE();
    void EDITDELETE();
    void EDITSELECTALL();
    void EDITFIND();
    void EDITFINDNEXT();
    void EDITREPLACE();
    void EDITGOTO();
    // Shows the document's context menu at a screen position (right button, context-menu key).
    void EDITCONTEXTMENU(const QPoint &globalPos);

    // --- Format menu and formatting toolbar (editing/clsMain_format.cpp) -----------------------
    void FORMATPAINTERMENU();
    void FORMATPAINTERTOOLBAR();
    void FORMATPARAGRAPH();
    void FORMATTABS();
    void FORMATFONTS();
    void MDICOMBOSINITIALIZE();
    void FONTNAMEUPDATE();
    void FONTSIZEUPDATE();
    void FONTSTYLEUPDATE();
    void FONTSIZEINCR();
    void FONTSIZEDECR();
    void FONTCOLOR();
    void FONTBOLD();
    void FONTITALIC();
    void FONTUNDERLINE();
    void FONTBULLETS();
    void ALIGNLEFT();
    void ALIGNCENTER();
    void ALIGNRIGHT();
    void FORMATINDENTINCREASE();
    void FORMATINDENTDECREASE();
    // Small capitals over the selection (the font dialog's case option).
    void FORMATSMALLCAPITALS();
    // Left-button release in a document while the format painter is armed.
    void FORMATPAINTERAPPLY();
    // Shows the selection's font name and size in the formatting toolbar's boxes.
    void FONTBOXESUPDATE();

    // --- Insert date, time, symbol (editing/clsMain_insert.cpp) ------------------------------
    void INSERTDATE();
    void INSERTTIME();
    void INSERTSYMBOL();

    // --- Profile fields and HTML (content/clsMain_content.cpp) -------------------------------
    void INSERTPROFILEFIELD(const QString &item);
    void INSERTHTMLCODE();
    void VIEWHTMLPREVIEW();
    void MYPROFILEUPDATE();

    // --- Pictures and other files (pictures/clsMain_pictures.cpp) ----------------------------
    void INSERTPICTURE();
    void INSERTFILE();

    // --- Page setup and printing (printing/clsMain_printing.cpp) -----------------------------
    void PRINTDOCUMENT();
    void PRINTPREVIEW();
    void FILEPAGESETUP();
    void VIEWHEADERFOOTER();

    // --- Preferences and properties (chrome/clsMain_prefs.cpp) -------------------------------
    void FILEPREFERENCES();
    void PROPERTIES();

    // --- Spelling (content/clsMain_spelling.cpp) ---------------------------------------------
    void EDITSPELLCHECKER();
    // Saves the user's dictionary (main window closing).
    void SAVEDICT();
    // Loads the dictionary at start-up when the preferences ask for it.
    void SPELLSTARTUP();
    // Starts checking as you type in a document's text control.
    void SPELLATTACH(RichTextBox *box);
    // Puts the suggestions, Ignore All and Add for the underlined word at globalPos (or at the
    // caret) at the top of the document's context menu; takes away those of the last time.
    void SPELLPOPUP(QMenu *menu, const QPoint &globalPos);
    // The spelling preferences changed: the word list's language, checking as you type.
    void SPELLPREFERENCES();

    // --- Dialog unloading (core/clsMain_dialogs.cpp) -----------------------------------------
    // Unloads the dialogs that work on a document (the last document closed).
    void DOCUMENTDIALOGSUNLOAD();
    // Unloads the dialogs loaded at start-up without being shown.
    void STARTUPDIALOGSUNLOAD();

    frmMain &main() const { return m_main; }

private:
    // The plain-text font setting: family and points.
    std::pair<QString, double> textFont() const;
    void recentMenuSync();
    void recentListWrite();

    frmMain &m_main;
    std::unique_ptr<RecentFilesList> m_recent;
    // The save filter index and name chosen in the last Save As of this run.
    int m_saveFilterIndex = 0;
    QString m_saveAsName;
};
