#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class QStatusBar;
class RichTextBox;
class frmMain;

// The Find dialog: find, replace and go to line on the active document, modeless and owned
// by the main window. Each of its three boxes keeps a history that lasts between runs when
// "Save searches" is ticked. The search state it works with (count, options, start) is the
// program's, shared by every document.
class frmFind : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog: placement, check boxes, histories and last texts from the settings
    // store, and the active document's selection as the text to find.
    explicit frmFind(frmMain &main);
    ~frmFind() override;

    // The loaded dialog, loading it (without showing it) when it is not loaded.
    static frmFind *LOAD(frmMain &main);
    // The loaded dialog, or nullptr.
    static frmFind *loaded();
    // Unloads the dialog when it is loaded, storing its settings.
    static void UNLOAD();

    // Find Next: the next hit of the find text in the active document.
    void FINDNEXT();
    // Replace: replaces the current hit and selects the next one.
    void REPLACEONE();
    // Replace All: replaces every hit in the active document.
    void REPLACEALL();
    // Go to: puts the caret at the start of the line number in the line box.
    void GOTOLINE();
    // F3: searches the active document again for the last text searched from the dialog.
    void FINDAGAIN();
    // Puts text at the top of the find history (unless it is there) and into the find box.
    void TAKESELECTION(const QString &text);
    // Starts counting again and makes the next search start at the top of the document.
    void RESET();
    // The option bits of the two check boxes.
    int options() const;
    // The count text of the status bar.
    QString statusText() const;

    QLabel *LBLFIND;
    QComboBox *CBOFIND;
    QLabel *LBLREPLACE;
    QComboBox *CBOREPLACE;
    QLabel *LBLGOTO;
    QComboBox *CBOGOTO;
    QCheckBox *CHKCASE;
    QCheckBox *CHKWORD;
    QCheckBox *CHKFINDSAVE;
    QPushButton *BTNFIND;
    QPushButton *BTNREPLACE;
    QPushButton *BTNREPLACEALL;
    QPushButton *BTNGOTO;
    QPushButton *BTNCLOSE;
    QStatusBar *SBSTATUS;
    QFrame *TXTSEP1;

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    RichTextBox *activeText() const;
    void buildControls();
    void updateButtons();
    void showCount(int count);
    // Moves text to the top of the box's history (or inserts it there) and shows it.
    void useEntry(QComboBox *box, const QString &text);
    // Refills the box's list without the change events a user edit would raise.
    void setHistory(QComboBox *box, const QStringList &list, const QString &text);
    void comboInit();
    // Writes "Last Find" and "Last Replace" and brings both histories up to date.
    void rememberReplace(const QString &find, const QString &replacement);
    // The message after replacing, then a reset.
    void replaceSummary(const QString &find, const QString &replacement);
    void unloadForm();

    frmMain &m_main;
    QLabel *m_count = nullptr;
    bool m_filling = false;
    bool m_unloaded = false;
};
