#pragma once

#include <QVector>
#include <QWidget>

#include "platform/SafeFile.h"

class QLabel;
class QKeyEvent;
class QMouseEvent;
class RichTextBox;
class frmMain;

// The ruler strip above a document's text: an inch scale drawn to the ruler width.
class RulerStrip : public QWidget
{
    Q_OBJECT
public:
    explicit RulerStrip(QWidget *parent = nullptr);
    // Width of the scale in twips (the printable width in wrap-to-ruler mode).
    void setScaleTwips(int twips);
    int scaleTwips() const { return m_scaleTwips; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_scaleTwips = 0;
};

// One document window: the rich text control RTF1, the hidden scratch control RTF2 and the
// ruler. Its modified flag is RTF1's tag ("1" modified); its tag is the document's slot number.
class frmDocRTF : public QWidget
{
    Q_OBJECT
public:
    frmDocRTF(frmMain &main, int slotTag, QWidget *parent = nullptr);
    ~frmDocRTF() override;

    RichTextBox *RTF1 = nullptr;
    RichTextBox *RTF2 = nullptr;
    RulerStrip *PICRULER = nullptr;
    QLabel *LBLRULER = nullptr;
    QLabel *LBLRULER2 = nullptr;
    QLabel *LBLFSTLINE = nullptr;
    QLabel *LBLHANGIND = nullptr;
    QLabel *LBLLEFTIND = nullptr;
    QLabel *LBLRIGHTIND = nullptr;

    // "Document " + n for a document without a file, else its full path.
    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    // A document restored from a recovery copy: its window shows " (Recovered)" after the
    // caption until it is saved.
    bool isRecovered() const { return m_recovered; }
    void setRecovered(bool recovered);
    // The slot number (1 to 100).
    int Tag() const { return m_tag; }
    // True when the content changed since the last load or save.
    bool isModified() const;
    // Marks the document unchanged and shows it.
    void markUnchanged();
    // True when the caption does not name a file yet.
    bool isUntitled() const;
    // The ruler's width in twips as MARGINCHK last computed it.
    int rulerWidth() const { return m_rulerWidth; }

    // Applies the wrap mode, refreshes the window and updates the toolbar buttons.
    void MARGINCHK();
    // Shows or hides the ruler, updates the line and column display and the buttons.
    void DOCCHK();
    // Enables ReOpen for a document with a file and shows the modified state.
    void SAVESTAT();
    // Enables Save and the "SAVE" button and shows "Modified" when modified is true.
    void SAVESTATUS(bool modified);
    // Lays out the ruler and the text to fill the window.
    void RESIZEDOC();
    // Enables the buttons that need text or a selection.
    void TEXTSELECT();

    // The window became the active document.
    void Activate();
    // The unsaved-changes prompt; true when the window may close.
    bool QueryUnload();
    // Closes the window without asking again (after QueryUnload agreed).
    void closeAfterQuery();
    // True when the document came from a read-only file.
    bool isReadOnlyFile() const { return m_readOnly; }
    // True when commands may change the document: the one check every editing command and its
    // menu item and button follow.
    bool isEditable() const { return !m_readOnly; }

    // The version of the file the document was last read from or saved to (`path`), so that a
    // change made by another program can be noticed.
    void setDiskStamp(const QString &path, const SafeFile::Stamp &stamp);
    // True when the file named by the caption is no longer the version last read or saved here.
    bool changedOnDisk() const;
    // Says once per change on disk that the file changed; when the document is unmodified, offers
    // to load the new version. Called when the window becomes active.
    void checkDiskChange();
    // Whether the user agreed to lose formatting when saving as `path` (asked once per name).
    bool plainTextAgreed(const QString &path) const;
    void setPlainTextAgreed(const QString &path) { m_plainTextAgreed = path; }
    // True once the window has closed (it is deleted a moment later).
    bool isClosed() const { return m_closed; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    // Drags the ruler's indent markers.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void onChange();
    void onSelChange();
    void onKeyDown(QKeyEvent *event);
    void onKeyUp(QKeyEvent *event);
    void onMouseUp(QMouseEvent *event);
    bool handleKey(QKeyEvent *event);
    void placeMarkers();
    void dragMarker(QLabel *marker, int pointerX);
    void dropMarker(QLabel *marker);
    void unloadDocument();

    frmMain &m_main;
    QString m_caption;
    bool m_recovered = false;
    int m_tag = 0;
    int m_rulerWidth = 0;
    bool m_readOnly = false;
    QString m_stampPath;
    SafeFile::Stamp m_diskStamp;
    // The version on disk the user was last told about.
    SafeFile::Stamp m_toldStamp;
    bool m_checkingDisk = false;
    QString m_plainTextAgreed;
    bool m_queried = false;
    bool m_counted = true;
    bool m_closed = false;
    QVector<int> m_tabs;
    // The ruler marker being dragged and where it stood when the drag began.
    QLabel *m_dragMarker = nullptr;
    int m_dragStartX = 0;
};
