#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>

class LongDocumentLayout;
class QAbstractTextDocumentLayout;
class QTextBlock;
class QTextDocument;

// Lays out a document shown in a text view in slices of a few milliseconds between events, so a
// long document opens on its first screen at once and stays responsive while the rest is laid
// out. With the long-document layout it asks that layout for slices of work. With Qt's own
// document layout, which lays out lazily on its own timer in steps that grow to 200,000
// characters (a tenth of a second or more each), it takes that timer's work over: that layout
// lays out from the top and never leaves a gap (every block before its frontier has lines, every
// visible block after it has none).
//
// Either way a block whose layout has lines is laid out for the current width and formats.
class BackgroundLayout : public QObject
{
    Q_OBJECT
public:
    explicit BackgroundLayout(QObject *parent = nullptr);

    // Follows this document's layout (after the view created it); nullptr stops.
    void attach(QTextDocument *document);

    // True while part of the document waits to be laid out.
    bool isPending() const;
    // The share laid out, 0 to 100.
    int percent() const;
    // The first block not laid out yet (the block count when none).
    int frontierBlock() const;
    // Stops laying out in the background until resume(); what is shown is still laid out when
    // it is needed.
    void stop();
    void resume();
    bool isStopped() const { return m_stopped; }
    // Lays out everything now.
    void finish();

    // Whether a block is laid out for the current layout (hidden blocks count as laid out).
    static bool isLaidOut(const QTextBlock &block);

signals:
    // About every tenth of a second while laying out, and once with 100 at the end.
    void progress(int percent);
    void finished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void start();
    void slice();
    bool isLayoutTimer(int timerId) const;

    QPointer<QTextDocument> m_document;
    QPointer<QAbstractTextDocumentLayout> m_layout;
    // The layout when it is the long-document layout, which lays out in slices on request.
    QPointer<LongDocumentLayout> m_long;
    QTimer m_ticker;
    QElapsedTimer m_sinceProgress;
    bool m_running = false;
    bool m_stopped = false;
};
