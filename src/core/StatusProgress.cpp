#include "core/StatusProgress.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

namespace {
constexpr int ShowAfterMs = 500;
}

StatusProgress &StatusProgress::of(QMainWindow &window)
{
    QStatusBar *bar = window.statusBar();
    if (auto *existing = bar->findChild<StatusProgress *>(QStringLiteral("StatusProgress")))
        return *existing;
    auto *panel = new StatusProgress(bar);
    // Left of the permanent panels, right of the description (the status bar's one normal widget).
    bar->insertPermanentWidget(1, panel);
    panel->hide();
    return *panel;
}

StatusProgress::StatusProgress(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("StatusProgress"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(4);
    LBLWORK = new QLabel(this);
    LBLWORK->setObjectName(QStringLiteral("LBLWORK"));
    PRGWORK = new QProgressBar(this);
    PRGWORK->setObjectName(QStringLiteral("PRGWORK"));
    PRGWORK->setRange(0, 100);
    PRGWORK->setMaximumWidth(120);
    PRGWORK->setMaximumHeight(16);
    BTNWORKCANCEL = new QToolButton(this);
    BTNWORKCANCEL->setObjectName(QStringLiteral("BTNWORKCANCEL"));
    BTNWORKCANCEL->setText(QStringLiteral("Cancel"));
    BTNWORKCANCEL->setAutoRaise(true);
    row->addWidget(LBLWORK);
    row->addWidget(PRGWORK);
    row->addWidget(BTNWORKCANCEL);
    connect(BTNWORKCANCEL, &QToolButton::clicked, this, [this] {
        if (m_work.isEmpty())
            return;
        // The cancel handler may end this or other work: take it out first.
        const std::function<void()> cancel = m_work.last().cancel;
        m_work.removeLast();
        refresh();
        if (cancel)
            cancel();
    });
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, &StatusProgress::refresh);
}

StatusProgress::Work *StatusProgress::find(QObject *owner)
{
    for (Work &w : m_work)
        if (w.owner == owner)
            return &w;
    return nullptr;
}

void StatusProgress::begin(QObject *owner, const QString &text, std::function<void()> cancel)
{
    if (Work *w = find(owner)) {
        w->text = text;
        w->cancel = std::move(cancel);
    } else {
        Work work;
        work.owner = owner;
        work.text = text;
        work.cancel = std::move(cancel);
        work.since.start();
        m_work.append(work);
    }
    refresh();
}

void StatusProgress::setPercent(QObject *owner, int percent)
{
    if (Work *w = find(owner)) {
        w->percent = percent;
        refresh();
    }
}

void StatusProgress::end(QObject *owner)
{
    m_work.removeIf([owner](const Work &w) { return w.owner == owner || w.owner.isNull(); });
    refresh();
}

void StatusProgress::refresh()
{
    m_work.removeIf([](const Work &w) { return w.owner.isNull(); });
    if (m_work.isEmpty()) {
        m_delay.stop();
        hide();
        return;
    }
    const Work &w = m_work.last();
    const qint64 waited = w.since.elapsed();
    if (waited < ShowAfterMs && !isVisible()) {
        m_delay.start(static_cast<int>(ShowAfterMs - waited));
        return;
    }
    LBLWORK->setText(w.text);
    PRGWORK->setValue(w.percent);
    BTNWORKCANCEL->setEnabled(static_cast<bool>(w.cancel));
    show();
}
