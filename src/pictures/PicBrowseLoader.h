#pragma once

#include <QHash>
#include <QObject>
#include <QSize>
#include <QStringList>
#include <QThreadPool>
#include <memory>

#include "pictures/PicBrowse.h"

// Reads the thumbnails of a folder's pictures on worker threads, so a folder of hundreds of
// pictures never holds up the window. The page asked for comes first, then (for folders of up to
// MaxPrefetch pictures) the rest, so turning pages finds them ready. Changing the folder cancels
// the work not yet started; results of an older folder are dropped.
class PicBrowseLoader : public QObject
{
    Q_OBJECT
public:
    // Folders with more pictures only read the pages asked for.
    static constexpr int MaxPrefetch = 1024;

    explicit PicBrowseLoader(QSize thumbSize, QObject *parent = nullptr);
    // Cancels what is queued and waits for the pictures being read.
    ~PicBrowseLoader() override;

    // Starts on a new list of files (names in folder); forgets every thumbnail read so far.
    void setFiles(const QString &folder, const QStringList &names);
    // Reads files first..first+count-1 before any other.
    void request(int first, int count);
    // Stops all work not yet started.
    void cancel();

    // The thumbnail of file `index`, or nullptr while it is not read yet.
    const PicBrowse::Picture *thumbnail(int index) const;
    // Number of thumbnails read for the current list.
    int readCount() const { return int(m_done.size()); }
    // True when nothing is queued or being read.
    bool isIdle() const;
    // Waits (processing events) until idle or the time is up; true when idle (tests, tools).
    bool waitIdle(int milliseconds);

signals:
    // Thumbnail `index` of the current list is ready.
    void thumbnailReady(int index);
    // Every queued thumbnail of the current list is read.
    void idle();

private:
    struct Queue;
    void startWorkers();
    void deliver(quint64 generation, int index, PicBrowse::Picture picture);

    QSize m_thumbSize;
    QThreadPool m_pool;
    std::shared_ptr<Queue> m_queue;
    QHash<int, PicBrowse::Picture> m_done;
    int m_count = 0;
    int m_lastFirst = 0;
    int m_lastCount = 0;
};
