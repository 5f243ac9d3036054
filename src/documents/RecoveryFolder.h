#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class QLockFile;

// What is kept beside a recovery copy so that the document can be restored as it was.
struct RecoveryInfo
{
    QString caption;   // the window's caption ("Document 3" or the file's full path)
    QString path;      // the document's file, empty when it has none
    QString type;      // "rtf" or "text": how the document's file is written
    QDateTime written; // when the copy was taken

    QByteArray toJson() const;
    // Reads what toJson wrote; nothing when the data is not such a record.
    static std::optional<RecoveryInfo> fromJson(QByteArrayView data);
};

// A recovery copy that a run which did not end cleanly left behind.
struct RecoveredDocument
{
    QString copyPath; // the RTF copy
    QString infoPath; // its RecoveryInfo
    RecoveryInfo info;
};

// The recovery folder: each run keeps its copies in a session folder of its own, locked by a
// lock file beside it that names the run's process. A run that ends cleanly removes its
// session; a session whose process is gone (the lock is stale) or whose lock was released
// belongs to a run that did not end cleanly, and the next run offers its copies back. A
// session locked by a running copy of the program is never touched.
//
// Copies are written and removed from any thread; the session, its lock and the files of other
// runs are handled on one thread (the interface thread).
class RecoveryFolder
{
public:
    explicit RecoveryFolder(QString root);
    // Releases the locks; the files stay (a run that has not ended cleanly).
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder &) = delete;
    RecoveryFolder &operator=(const RecoveryFolder &) = delete;

    QString root() const { return m_root; }
    // This run's session folder; empty until the first copy is written.
    QString sessionFolder() const;
    // Where copies that cannot be read are put aside.
    QString damagedFolder() const;

    // --- This run's copies --------------------------------------------------------------------
    // Writes the copy of document id atomically (its info first, then the RTF), unless the copy
    // was removed since generation(id) returned `generation`. False (with a reason, unless the
    // copy was merely out of date) when nothing was written.
    bool write(int id, quint64 generation, const RecoveryInfo &info, const QByteArray &rtf,
               QString *error = nullptr);
    // Removes the copy of document id; a write of an older generation still under way is then
    // dropped instead of replacing it.
    void remove(int id);
    quint64 generation(int id) const;
    // The RTF copy of document id (whether or not it exists).
    QString copyPath(int id) const;
    // A clean end of the run: removes the session folder and its lock.
    void endSession();

    // --- Copies of runs that did not end cleanly ---------------------------------------------
    struct Leftovers
    {
        QList<RecoveredDocument> documents;
        // Copies that could not be read, as put aside in damagedFolder().
        QStringList damaged;
    };
    // Takes the sessions of runs that are gone (locking them until released) and reads their
    // copies. Copies that cannot be read are moved aside, never deleted.
    Leftovers claimLeftovers();
    // Moves a leftover copy into this run's session as the copy of document id.
    bool adopt(const RecoveredDocument &document, int id);
    // Lets the claimed sessions go: what was not adopted stays for the next run.
    void releaseLeftovers();
    // Deletes the claimed sessions with what is left in them.
    void discardLeftovers();

private:
    bool ensureSession(QString *error);
    QString entryPath(int id, const char *suffix) const;
    QString putAside(const QString &session, const QString &file);

    QString m_root;
    mutable QMutex m_mutex;
    QString m_session;
    std::unique_ptr<QLockFile> m_lock;
    QHash<int, quint64> m_generations;
    struct Claimed
    {
        QString folder;
        std::unique_ptr<QLockFile> lock;
    };
    std::vector<Claimed> m_claimed;
};
