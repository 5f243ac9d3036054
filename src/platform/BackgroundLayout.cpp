#include "platform/BackgroundLayout.h"

#include "platform/LongDocumentLayout.h"

#include <QAbstractEventDispatcher>
#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTimerEvent>

namespace {
// Work done per slice before the events queued meanwhile are handled.
constexpr qint64 SliceNanoseconds = 6'000'000;
constexpr qint64 ProgressNanoseconds = 100'000'000;
// Qt's document layout runs its lazy layout on a timer of this interval (its other timer, which
// reports size changes, runs at 0).
constexpr int QtLayoutTimerInterval = 10;

// The last block the layout shows (hidden blocks have no lines even when laid out).
QTextBlock lastVisibleBlock(const QTextDocument &doc)
{
    QTextBlock b = doc.lastBlock();
    while (b.isValid() && !b.isVisible())
        b = b.previous();
    return b;
}
} // namespace

BackgroundLayout::BackgroundLayout(QObject *parent) : QObject(parent)
{
    m_ticker.setInterval(0);
    connect(&m_ticker, &QTimer::timeout, this, &BackgroundLayout::slice);
}

void BackgroundLayout::attach(QTextDocument *document)
{
    if (m_layout) {
        m_layout->removeEventFilter(this);
        disconnect(m_layout, nullptr, this, nullptr);
    }
    m_document = document;
    m_layout = document ? document->documentLayout() : nullptr;
    m_long = qobject_cast<LongDocumentLayout *>(m_layout);
    m_stopped = false;
    if (m_long)
        // Every change leaves the changed paragraphs to be laid out again.
        connect(m_long, &QAbstractTextDocumentLayout::update, this, &BackgroundLayout::start);
    else if (m_layout)
        m_layout->installEventFilter(this);
    start();
}

bool BackgroundLayout::isLaidOut(const QTextBlock &block)
{
    if (!block.isVisible())
        return true;
    const QTextLayout *layout = block.layout();
    return layout && layout->lineCount() > 0;
}

bool BackgroundLayout::isPending() const
{
    if (!m_document || !m_layout)
        return false;
    if (m_long)
        return !m_long->isComplete();
    const QTextBlock last = lastVisibleBlock(*m_document);
    return last.isValid() && !isLaidOut(last);
}

int BackgroundLayout::frontierBlock() const
{
    if (!m_document)
        return 0;
    if (m_long)
        return m_long->firstUnlaidBlock();
    if (!isPending())
        return m_document->blockCount();
    // The laid-out blocks are a prefix: find where it ends.
    int lo = 0;
    int hi = m_document->blockCount() - 1;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (isLaidOut(m_document->findBlockByNumber(mid)))
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

int BackgroundLayout::percent() const
{
    if (!m_document || !isPending())
        return 100;
    if (m_long)
        return m_long->percent();
    const qint64 length = std::max(1, m_document->characterCount());
    const QTextBlock frontier = m_document->findBlockByNumber(frontierBlock());
    return static_cast<int>(frontier.isValid() ? frontier.position() * 100 / length : 100);
}

void BackgroundLayout::stop()
{
    m_stopped = true;
    m_ticker.stop();
    m_running = false;
}

void BackgroundLayout::resume()
{
    m_stopped = false;
    start();
}

void BackgroundLayout::finish()
{
    if (m_long)
        m_long->layOutBlocks(0, m_document->blockCount() - 1);
    else if (m_layout && isPending())
        m_layout->documentSize();
    if (m_running) {
        m_ticker.stop();
        m_running = false;
        emit progress(100);
        emit finished();
    }
}

void BackgroundLayout::start()
{
    if (m_running || m_stopped || !isPending())
        return;
    m_running = true;
    m_sinceProgress.start();
    m_ticker.start();
}

void BackgroundLayout::slice()
{
    if (!m_layout || !m_document) {
        m_ticker.stop();
        m_running = false;
        return;
    }
    QElapsedTimer clock;
    clock.start();
    if (m_long)
        m_long->layoutSome(SliceNanoseconds);
    // Each step asks for the bounds of the first block not laid out, which lays out from the
    // frontier to a little past it (Qt's layout stops at its next check point).
    while (!m_long && isPending() && clock.nsecsElapsed() < SliceNanoseconds) {
        const QTextBlock next = m_document->findBlockByNumber(frontierBlock());
        if (!next.isValid())
            break;
        m_layout->blockBoundingRect(next);
    }
    if (!isPending()) {
        m_ticker.stop();
        m_running = false;
        emit progress(100);
        emit finished();
        return;
    }
    if (m_sinceProgress.nsecsElapsed() >= ProgressNanoseconds) {
        m_sinceProgress.restart();
        emit progress(percent());
    }
}

bool BackgroundLayout::isLayoutTimer(int timerId) const
{
    const auto *dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher || !m_layout)
        return false;
    const auto timers = dispatcher->registeredTimers(m_layout);
    for (const auto &t : timers)
        if (t.timerId == timerId)
            return t.interval == QtLayoutTimerInterval;
    return false;
}

bool BackgroundLayout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_layout && event->type() == QEvent::Timer &&
        isLayoutTimer(static_cast<QTimerEvent *>(event)->timerId())) {
        // The layout has work left (it starts over after a change of width or content): do it
        // here in slices, or not at all while stopped.
        start();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
