#include "documents/Recovery.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextDocument>

#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/DocumentSnapshot.h"
#include "documents/DocumentTypes.h"
#include "documents/RecoveryFolder.h"
#include "documents/frmDocRTF.h"
#include "platform/AppPaths.h"
#include "platform/Clock.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"
#include "platform/rtf/RtfWriter.h"

namespace {
Recovery *g_instance = nullptr;

// Interface-thread time one step of copying may take: well inside a frame at 60 Hz.
constexpr qint64 StepBudgetMicros = 8000;
constexpr int DefaultSeconds = 120;

QString listed(const QStringList &lines)
{
    QString out;
    for (const QString &line : lines)
        out += QStringLiteral("\n    ") + line;
    return out;
}
} // namespace

Recovery::Recovery(frmMain &main)
    : QObject(&main), m_main(main),
      m_folder(std::make_unique<RecoveryFolder>(AppPaths::recoveryFolder()))
{
    g_instance = this;
    // One writer: copies reach the disk in the order they were taken.
    m_writer.setMaxThreadCount(1);
    m_poll.setInterval(1000);
    connect(&m_poll, &QTimer::timeout, this, &Recovery::check);
}

Recovery::~Recovery()
{
    if (g_instance == this)
        g_instance = nullptr;
    m_snapshot.reset();
    m_writer.waitForDone();
}

Recovery *Recovery::instance()
{
    return g_instance;
}

int Recovery::intervalSeconds()
{
    const QString text = clsLibrary::instance().REGSTRREAD(
        clsLibrary::HKEY_CURRENT_USER, Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
        QStringLiteral("Recovery Seconds"), QString::number(DefaultSeconds));
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    if (!ok)
        return DefaultSeconds;
    return std::clamp(seconds, 0, 24 * 3600);
}

int Recovery::idOf(const frmDocRTF *doc) const
{
    for (auto it = m_records.cbegin(); it != m_records.cend(); ++it)
        if (it->doc == doc)
            return it.key();
    return 0;
}

QString Recovery::copyOf(const frmDocRTF *doc) const
{
    const int id = idOf(doc);
    return id && m_records[id].hasCopy ? m_folder->copyPath(id) : QString();
}

// --- What the document windows report ---------------------------------------------------------

void Recovery::documentOpened(frmDocRTF *doc)
{
    Recovery *self = g_instance;
    if (!self || !doc || self->idOf(doc))
        return;
    const int id = self->m_nextId++;
    Record &record = self->m_records[id];
    record.doc = doc;
    self->watchText(id);
}

void Recovery::watchText(int id)
{
    Record &record = m_records[id];
    QObject::disconnect(record.watch);
    record.text = record.doc->RTF1->document();
    record.watch = connect(record.text, &QTextDocument::contentsChange, this, [this, id] {
        const auto it = m_records.find(id);
        if (it == m_records.end())
            return;
        ++it->changes;
        if (!m_poll.isActive())
            m_poll.start();
    });
}

void Recovery::documentUnchanged(frmDocRTF *doc)
{
    Recovery *self = g_instance;
    const int id = self ? self->idOf(doc) : 0;
    if (!id)
        return;
    self->dropCopy(id);
    Record &record = self->m_records[id];
    record.copied = record.changes;
    record.waitingSince = QDateTime();
}

void Recovery::documentClosed(frmDocRTF *doc)
{
    Recovery *self = g_instance;
    const int id = self ? self->idOf(doc) : 0;
    if (!id)
        return;
    self->dropCopy(id);
    QObject::disconnect(self->m_records[id].watch);
    self->m_records.remove(id);
}

void Recovery::endSession()
{
    Recovery *self = g_instance;
    if (!self)
        return;
    self->m_queue.clear();
    self->m_snapshot.reset();
    self->m_copying = 0;
    self->m_poll.stop();
    self->m_writer.waitForDone();
    self->m_folder->endSession();
}

void Recovery::dropCopy(int id)
{
    m_queue.removeAll(id);
    Record &record = m_records[id];
    if (m_copying == id) {
        m_snapshot.reset();
        m_copying = 0;
        record.busy = false;
        QTimer::singleShot(0, this, &Recovery::startNextCopy);
    }
    m_folder->remove(id);
    record.hasCopy = false;
}

// --- Taking copies ----------------------------------------------------------------------------

void Recovery::check()
{
    const int interval = intervalSeconds();
    const QDateTime now = Clock::instance().now();
    bool waiting = false;
    for (auto it = m_records.begin(); it != m_records.end(); ++it) {
        Record &record = *it;
        frmDocRTF *doc = record.doc;
        if (!doc || doc->isClosed())
            continue;
        if (record.text != doc->RTF1->document()) {
            watchText(it.key());
            ++record.changes;
        }
        if (!doc->isModified() || interval == 0) {
            if (record.hasCopy)
                dropCopy(it.key());
            record.waitingSince = QDateTime();
            continue;
        }
        if (record.busy || (record.hasCopy && record.copied == record.changes))
            continue;
        waiting = true;
        if (!record.waitingSince.isValid() || record.waitingSince > now)
            record.waitingSince = now;
        if (record.waitingSince.secsTo(now) >= interval && !m_queue.contains(it.key()))
            m_queue.append(it.key());
    }
    startNextCopy();
    if (waiting || m_copying)
        m_poll.start();
    else
        m_poll.stop();
}

void Recovery::startNextCopy()
{
    while (!m_copying && !m_queue.isEmpty()) {
        const int id = m_queue.takeFirst();
        const auto it = m_records.find(id);
        if (it == m_records.end() || !it->doc || it->doc->isClosed())
            continue;
        m_snapshot = std::make_unique<DocumentSnapshot>(*it->doc->RTF1->document());
        m_copying = id;
        it->busy = true;
        m_generation = m_folder->generation(id);
        QTimer::singleShot(0, this, &Recovery::stepCopy);
    }
}

void Recovery::stepCopy()
{
    if (!m_copying || !m_snapshot)
        return;
    const auto it = m_records.find(m_copying);
    if (it == m_records.end() || !it->doc || it->doc->isClosed()) {
        m_snapshot.reset();
        m_copying = 0;
        startNextCopy();
        return;
    }
    Record &record = *it;
    if (!m_snapshot->step(StepBudgetMicros)) {
        if (m_snapshot->isValid()) {
            QTimer::singleShot(0, this, &Recovery::stepCopy);
            return;
        }
        // The copy lost track of the document (it went away): try again at the next interval.
        m_snapshot.reset();
        m_copying = 0;
        record.busy = false;
        record.waitingSince = QDateTime();
        startNextCopy();
        return;
    }
    std::shared_ptr<QTextDocument> copy(m_snapshot->take().release());
    m_snapshot.reset();
    const int id = m_copying;
    m_copying = 0;
    frmDocRTF *doc = record.doc;
    RecoveryInfo info;
    info.caption = doc->Caption();
    info.path = doc->isUntitled() ? QString() : doc->Caption();
    info.type = DocumentTypes::isRichText(doc->Caption()) || doc->isUntitled()
                    ? QStringLiteral("rtf")
                    : QStringLiteral("text");
    info.written = Clock::instance().now();
    record.taken = record.changes;
    record.waitingSince = QDateTime();
    const quint64 generation = m_generation;
    RecoveryFolder *folder = m_folder.get();
    m_writer.start([this, folder, id, generation, info, copy]() mutable {
        const QByteArray rtf = Rtf::write(*copy);
        copy.reset();
        QString error;
        const bool ok = folder->write(id, generation, info, rtf, &error);
        QMetaObject::invokeMethod(
            this, [this, id, generation, ok, error] { copyWritten(id, generation, ok, error); },
            Qt::QueuedConnection);
    });
    startNextCopy();
}

void Recovery::copyWritten(int id, quint64 generation, bool ok, const QString &error)
{
    const auto it = m_records.find(id);
    if (it == m_records.end())
        return;
    Record &record = *it;
    if (generation != m_folder->generation(id))
        return; // removed meanwhile; a newer copy may be under way
    record.busy = false;
    if (ok) {
        record.hasCopy = true;
        record.copied = record.taken;
        return;
    }
    if (error.isEmpty() || m_failureShown)
        return;
    // Said once a run: the copies are a safety net, not something to nag about.
    m_failureShown = true;
    UiServices::instance().messageBox(
        QStringLiteral("A recovery copy of '%1' could not be written in %2: %3\n\nThe document "
                       "itself is unchanged; save it to keep your changes safe.")
            .arg(record.doc ? record.doc->Caption() : QString(), m_folder->root(), error),
        MsgStyle::OkOnly | MsgStyle::Exclamation, Identity::AppTitle);
}

void Recovery::flush()
{
    while (m_copying || !m_queue.isEmpty()) {
        if (m_copying) {
            m_snapshot->finish();
            stepCopy();
        } else {
            startNextCopy();
        }
    }
    m_writer.waitForDone();
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

// --- Start-up ---------------------------------------------------------------------------------

void Recovery::restoreAtStartup()
{
    const RecoveryFolder::Leftovers found = m_folder->claimLeftovers();
    if (found.documents.isEmpty() && found.damaged.isEmpty())
        return;
    QStringList captions;
    for (const RecoveredDocument &d : found.documents)
        captions.append(d.info.caption);
    QString text =
        QStringLiteral("%1 did not close normally the last time it ran.").arg(Identity::AppTitle);
    if (!found.documents.isEmpty())
        text += QStringLiteral(" These documents had changes that were not saved; copies of "
                               "them were kept:\n") +
                listed(captions);
    if (!found.damaged.isEmpty()) {
        QStringList names;
        for (const QString &f : found.damaged)
            names.append(f.section(QLatin1Char('/'), -1));
        text += QStringLiteral("\n\nThese copies could not be read and were put aside in %1:\n")
                    .arg(m_folder->damagedFolder()) +
                listed(names);
    }
    if (found.documents.isEmpty()) {
        UiServices::instance().messageBox(text, MsgStyle::OkOnly | MsgStyle::Exclamation,
                                          Identity::AppTitle);
        m_folder->releaseLeftovers();
        return;
    }
    text += QStringLiteral("\n\nDo you want to open them now?\nYes opens them, No deletes the "
                           "copies, Cancel keeps them for the next start.");
    const int answer = UiServices::instance().messageBox(
        text, MsgStyle::YesNoCancel | MsgStyle::Question, Identity::AppTitle);
    if (answer == MsgResult::No) {
        m_folder->discardLeftovers();
        return;
    }
    if (answer != MsgResult::Yes) {
        m_folder->releaseLeftovers();
        return;
    }
    // The empty document the program starts with only stands in the way now.
    frmDocRTF *first = m_main.activeDocument();
    const bool replaceFirst =
        first && first->isUntitled() && !first->isModified() && first->RTF1->document()->isEmpty();
    int restored = 0;
    for (const RecoveredDocument &d : found.documents) {
        QFile file(d.copyPath);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QByteArray rtf = file.readAll();
        frmDocRTF *doc = m_main.cmd().FILENEW();
        if (!doc)
            break; // the document limit; the rest stay for the next start
        AppState::instance().SuppressModified = true;
        doc->RTF1->setTextRTFBytes(rtf);
        AppState::instance().SuppressModified = false;
        doc->setCaption(d.info.caption);
        doc->setRecovered(true);
        doc->RTF1->setTag(QStringLiteral("1"));
        doc->RTF1->setSelStart(0);
        doc->Activate();
        ++restored;
        // The copy becomes this run's copy of the document until it is saved or closed.
        const int id = idOf(doc);
        if (id && m_folder->adopt(d, id)) {
            Record &record = m_records[id];
            record.hasCopy = true;
            record.copied = record.changes;
        }
    }
    m_folder->releaseLeftovers();
    if (replaceFirst && restored > 0)
        first->closeAfterQuery();
}
