#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <memory>

class DocumentSnapshot;
class QTextDocument;
class RecoveryFolder;
class frmDocRTF;
class frmMain;

// Recovery copies of modified documents, so that a crash, a lost session or a power cut loses
// at most the last few minutes of work. Every document that has changes not yet in a copy for
// "Recovery Seconds" ("\frmPrefs\Items", default 120, 0 for never) is copied a slice at a time
// on the interface thread (typing is never held up) and written as RTF on a worker thread. A
// save, a close without saving and a clean exit remove the copies; at the next start, the
// copies of a run that did not end cleanly are offered back.
//
// One instance lives with the main window; the document windows and file commands report to
// it through the static functions, which do nothing when there is none.
class Recovery : public QObject
{
public:
    explicit Recovery(frmMain &main);
    ~Recovery() override;

    static Recovery *instance();

    // --- What the document windows report -----------------------------------------------------
    // A new document window.
    static void documentOpened(frmDocRTF *doc);
    // The document was saved or loaded: it has nothing to recover.
    static void documentUnchanged(frmDocRTF *doc);
    // The window closed (after a save, or without saving by the user's choice).
    static void documentClosed(frmDocRTF *doc);
    // The program is closing normally: removes this run's recovery folder.
    static void endSession();

    // At start-up: offers back the copies of a run that did not end cleanly, in one message,
    // and opens each document the user takes back in its own window.
    void restoreAtStartup();

    // Looks for documents whose copy is due (every second while any waits; tests call it).
    void check();
    // Completes the copies under way and waits for their writing.
    void flush();
    // The recovery copy of the document, when one is on disk.
    QString copyOf(const frmDocRTF *doc) const;
    // "Recovery Seconds": how long changes may wait for a copy; 0 when copies are off.
    static int intervalSeconds();

private:
    struct Record
    {
        QPointer<frmDocRTF> doc;
        QPointer<QTextDocument> text;
        QMetaObject::Connection watch;
        quint64 changes = 0;    // edits seen
        quint64 copied = 0;     // edits in the copy on disk
        quint64 taken = 0;      // edits in the copy being written
        bool hasCopy = false;   // a copy is on disk
        bool busy = false;      // being copied or written
        QDateTime waitingSince; // first seen with changes not in a copy
    };

    void watchText(int id);
    void dropCopy(int id);
    void startNextCopy();
    void stepCopy();
    void copyWritten(int id, quint64 generation, bool ok, const QString &error);
    int idOf(const frmDocRTF *doc) const;

    frmMain &m_main;
    std::unique_ptr<RecoveryFolder> m_folder;
    QHash<int, Record> m_records;
    int m_nextId = 1;
    QList<int> m_queue;
    int m_copying = 0;        // the document being copied, 0 for none
    quint64 m_generation = 0; // its copy's generation when the copying began
    std::unique_ptr<DocumentSnapshot> m_snapshot;
    QTimer m_poll;
    QThreadPool m_writer;
    bool m_failureShown = false;
};
