#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <functional>

class QIODevice;

// Reading and writing the user's files without ever blocking on something that is not a file
// and without losing what was there:
// - reads look at the name first (stat) and only open ordinary files, without waiting (a pipe,
//   socket, device or folder is refused before anything is opened);
// - writes go to a temporary file beside the target that takes the target's owner, group,
//   mode, extended attributes and access lists, and is renamed over it once complete, so a
//   failed or killed save leaves the old file whole. A file with more than one hard link is
//   written in place instead, so every name sees the new content; a copy of the old content
//   is made beside it first and removed when the save is complete;
// - names that do not survive the trip to the file system unchanged are refused.
namespace SafeFile {

// Why an operation failed.
enum class Problem {
    None,
    // Nothing of that name.
    Missing,
    // A folder, pipe, socket or device: not an ordinary file.
    NotRegular,
    // The name holds characters that stand for bytes the file system name really has (it was
    // not valid UTF-8), so it cannot be used to reach that file.
    BadName,
    // The file exists but may not be read.
    Unreadable,
    // The file may not be written: no write permission bit is set, or the account lacks access.
    ReadOnlyFile,
    // The folder does not let a new file be made in it.
    FolderNotWritable,
    // The disk or the account's quota is full.
    DiskFull,
    // Anything else the system reported (see Result::systemError).
    Other,
};

// What identifies one version of a file on disk: it changes when another program replaces or
// rewrites the file.
struct Stamp
{
    bool exists = false;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;

    bool operator==(const Stamp &other) const = default;
};

struct Result
{
    Problem problem = Problem::None;
    // The errno behind the problem, 0 when none.
    int systemError = 0;
    // The file as it is after a successful read or write.
    Stamp stamp;
    // For NotRegular: "folder", "pipe", "socket" or "device".
    QString kind;

    bool ok() const { return problem == Problem::None; }
    // The system's description of systemError.
    QString systemText() const;
};

// The stamp of the file a path names now (exists false when there is none).
Stamp stampOf(const QString &path);

// True when the path names an ordinary file or names nothing yet, so a read or write of it
// cannot block; false for folders, pipes, sockets and devices.
bool isOrdinaryOrMissing(const QString &path);

// False when the name, as given, cannot stand for the file it came from: it holds U+FFFD (the
// mark for bytes that were not valid UTF-8) and no file of that exact name exists.
bool isRepresentable(const QString &path);

// Reads an ordinary file: all of it, or its first maxBytes bytes when maxBytes is not negative.
// On failure data is left empty. When `cancel` is given the file is read a few megabytes at a
// time, and the read is given up (Problem::Other, ECANCELED) once the flag is raised.
Result read(const QString &path, QByteArray &data, qint64 maxBytes = -1,
            const std::atomic<bool> *cancel = nullptr);

// Replaces (or creates) the file with data as described above. Symbolic links are followed: the
// file they point to is written and the link stays.
Result write(const QString &path, const QByteArray &data);

// Writes what a producer gives, as it gives it, to the device it is handed (writes to it are
// not buffered); the producer returns false when a write to the device failed (or it could not
// produce the content). The same guarantees and problems as the write above: a producer that
// fails leaves the old file as it was. The producer may be called a second time, from the
// start, when the file turns out to need writing in place after all.
using Producer = std::function<bool(QIODevice &out)>;
Result write(const QString &path, const Producer &produce);

// The name of the copy of the old content an in-place write keeps beside a file while it
// writes ("NAME~"; "NAME~2", "NAME~3" ... when that is taken by another file).
QString backupNameFor(const QString &path, int attempt);

} // namespace SafeFile
