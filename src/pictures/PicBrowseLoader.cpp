#include "pictures/PicBrowseLoader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <mutex>
#include <vector>

// The work shared with the worker threads; every field is guarded by the mutex.
struct PicBrowseLoader::Queue
{
    std::mutex mutex;
    // Bumped by every new list, so results of an older list are recognised.
    quint64 generation = 0;
    QString folder;
    QStringList names;
    // The files to read, in order; `next` is the first not yet handed out.
    std::vector<int> order;
    size_t next = 0;
    // Per file: handed to a worker (or read) for the current list.
    std::vector<char> taken;
    // Worker tasks alive, and pictures handed out whose result has not been delivered.
    int workers = 0;
    int inFlight = 0;

    bool exhausted() const
    {
        for (size_t i = next; i < order.size(); ++i)
            if (!taken[size_t(order[i])])
                return false;
        return true;
    }
};

PicBrowseLoader::PicBrowseLoader(QSize thumbSize, QObject *parent)
    : QObject(parent), m_thumbSize(thumbSize), m_queue(std::make_shared<Queue>())
{
    // The window's own thread needs the processor too: at most two readers.
    m_pool.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 2));
}

PicBrowseLoader::~PicBrowseLoader()
{
    cancel();
    m_pool.waitForDone();
}

void PicBrowseLoader::setFiles(const QString &folder, const QStringList &names)
{
    {
        std::lock_guard lock(m_queue->mutex);
        ++m_queue->generation;
        m_queue->folder = folder;
        m_queue->names = names;
        m_queue->taken.assign(size_t(names.size()), 0);
        m_queue->order.clear();
        m_queue->next = 0;
    }
    m_done.clear();
    m_count = int(names.size());
    m_lastFirst = m_lastCount = 0;
}

void PicBrowseLoader::request(int first, int count)
{
    first = std::clamp(first, 0, m_count);
    count = std::clamp(count, 0, m_count - first);
    m_lastFirst = first;
    m_lastCount = count;
    const bool prefetch = m_count <= MaxPrefetch;
    {
        std::lock_guard lock(m_queue->mutex);
        if (!prefetch) {
            // Keep only the pages around the one asked for; the others are read again when
            // they are shown.
            const int keepFrom = first - 2 * PicBrowse::SlotsPerPage;
            const int keepTo = first + count + 2 * PicBrowse::SlotsPerPage;
            for (auto it = m_done.begin(); it != m_done.end();) {
                if (it.key() < keepFrom || it.key() >= keepTo) {
                    m_queue->taken[size_t(it.key())] = 0;
                    it = m_done.erase(it);
                } else {
                    ++it;
                }
            }
        }
        std::vector<int> order;
        order.reserve(size_t(prefetch ? m_count : count));
        for (int i = first; i < first + count; ++i)
            order.push_back(i);
        if (prefetch) {
            for (int i = first + count; i < m_count; ++i)
                order.push_back(i);
            for (int i = 0; i < first; ++i)
                order.push_back(i);
        }
        m_queue->order = std::move(order);
        m_queue->next = 0;
    }
    startWorkers();
}

void PicBrowseLoader::cancel()
{
    std::lock_guard lock(m_queue->mutex);
    m_queue->order.clear();
    m_queue->next = 0;
}

const PicBrowse::Picture *PicBrowseLoader::thumbnail(int index) const
{
    const auto it = m_done.constFind(index);
    return it == m_done.constEnd() ? nullptr : &it.value();
}

bool PicBrowseLoader::isIdle() const
{
    std::lock_guard lock(m_queue->mutex);
    return m_queue->inFlight == 0 && m_queue->exhausted();
}

bool PicBrowseLoader::waitIdle(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (!isIdle()) {
        if (timer.elapsed() > milliseconds)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    QCoreApplication::processEvents();
    return true;
}

void PicBrowseLoader::startWorkers()
{
    std::shared_ptr<Queue> queue = m_queue;
    const QSize fit = m_thumbSize;
    std::lock_guard lock(queue->mutex);
    while (queue->workers < m_pool.maxThreadCount() && !queue->exhausted()) {
        ++queue->workers;
        m_pool.start([this, queue, fit] {
            for (;;) {
                int index = -1;
                quint64 generation = 0;
                QString path;
                {
                    std::lock_guard lock(queue->mutex);
                    while (queue->next < queue->order.size()) {
                        const int i = queue->order[queue->next++];
                        if (!queue->taken[size_t(i)]) {
                            index = i;
                            break;
                        }
                    }
                    if (index < 0) {
                        --queue->workers;
                        return;
                    }
                    queue->taken[size_t(index)] = 1;
                    ++queue->inFlight;
                    generation = queue->generation;
                    path = queue->folder + QLatin1Char('/') + queue->names[index];
                }
                PicBrowse::Picture picture = PicBrowse::readPicture(path, fit);
                // The loader outlives every task (its destructor waits for them), so the call
                // is always delivered or dropped with the loader's pending events.
                QMetaObject::invokeMethod(
                    this,
                    [this, generation, index, picture = std::move(picture)]() mutable {
                        deliver(generation, index, std::move(picture));
                    },
                    Qt::QueuedConnection);
            }
        });
    }
}

void PicBrowseLoader::deliver(quint64 generation, int index, PicBrowse::Picture picture)
{
    bool current = false;
    bool nowIdle = false;
    {
        std::lock_guard lock(m_queue->mutex);
        --m_queue->inFlight;
        current = generation == m_queue->generation;
        nowIdle = m_queue->inFlight == 0 && m_queue->exhausted();
    }
    if (current) {
        m_done.insert(index, std::move(picture));
        emit thumbnailReady(index);
    }
    if (nowIdle)
        emit idle();
}
