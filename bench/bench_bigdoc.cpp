// Big documents in a real document window (offscreen): how long until the first screen is
// painted after the program starts, until the background layout has finished, and how long each
// interaction takes on the document. scripts/bench-bigdoc runs it on generated documents of 1, 10
// and 50 MB, compares with LibreOffice, and runs the huge inputs under the watchdog.
//
//   bench_bigdoc generate MB FILE    writes a generated RTF document of about MB megabytes
//   bench_bigdoc huge KIND FILE      writes a huge input: line (5,000,000 characters without a
//                                    space), words (the same length in words), rtfline (a 5 MB
//                                    RTF paragraph), text300 (300 MB of plain text)
//   bench_bigdoc run FILE            opens FILE as the program does and measures (key value lines)
//   bench_bigdoc find FILE           only Find Next (five times) and Replace All, once laid out
//   bench_bigdoc watch FILE [SECONDS [yes|no]]  opens FILE and reports the longest time the
//                                    event loop was held up until the document is laid out; a
//                                    question about the file's size is answered yes or no
//   bench_bigdoc watchopen FILE [SECONDS [yes|no]]  the same, but FILE is opened by File > Open
//                                    once the program's window is up and idle; also says where
//                                    the longest hold-up was
//
// Times are wall clock in milliseconds; "first_screen_ms" counts from the process start. A timed
// step's line also gives the process's CPU milliseconds and its peak memory so far (MB), which
// tell real cost from time lost to other processes on a loaded machine. Run under callgrind
// (`valgrind --tool=callgrind --collect-atstart=no`), each step's instructions are dumped
// under its own name.
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <valgrind/callgrind.h>
#include <vector>

#include "SampleReport.h"
#include "core/AppState.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "core/modMain.h"
#include "documents/frmDocRTF.h"
#include "editing/frmFind.h"
#include "platform/Fonts.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {

// --- Documents ---------------------------------------------------------------------------

// A long report (SampleReport). "zephyr" appears 10,000 times (the Replace All target); the
// last paragraph holds "quetzal" (the Find Next target).
QByteArray generate(double megabytes)
{
    const int paragraphs = std::max(10, static_cast<int>(megabytes * 1048576.0 / 230.0));
    SampleReport::Options options;
    options.lead = [paragraphs](QByteArray &out, int p) {
        // Exactly 10,000 hits, spread evenly.
        for (qint64 k = (qint64(p) + 1) * 10000 / paragraphs - qint64(p) * 10000 / paragraphs;
             k > 0; --k)
            out += "zephyr ";
        if (p == paragraphs - 1)
            out += "quetzal ";
    };
    return SampleReport::generate(
        paragraphs, static_cast<qsizetype>(megabytes * 1.1 * 1048576.0) + 4096, options);
}

bool writeHuge(const QString &kind, const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const qint64 line = 5'000'000;
    if (kind == QLatin1String("line")) {
        QByteArray chunk(1 << 20, 'x');
        for (int i = 0; i < chunk.size(); ++i)
            chunk[i] = static_cast<char>('a' + i % 26);
        for (qint64 left = line; left > 0; left -= chunk.size())
            f.write(chunk.constData(), std::min<qint64>(left, chunk.size()));
        f.write("\n");
    } else if (kind == QLatin1String("words") || kind == QLatin1String("rtfline")) {
        const bool rtf = kind == QLatin1String("rtfline");
        if (rtf)
            f.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0\\fs24 ");
        const char *words[] = {"alpha ", "be ", "gamma ", "delta ", "epsilonic ", "zeta "};
        QByteArray chunk;
        for (int i = 0; chunk.size() < (1 << 20); ++i)
            chunk += words[i % 6];
        for (qint64 left = line; left > 0; left -= chunk.size())
            f.write(chunk.constData(), std::min<qint64>(left, chunk.size()));
        f.write(rtf ? "\\par}" : "\n");
    } else if (kind == QLatin1String("text300")) {
        QByteArray chunk;
        for (int i = 0; chunk.size() < (1 << 20); ++i)
            chunk += "Line " + QByteArray::number(i) +
                     " of a long plain text file, as a log or a data dump would have it.\n";
        for (qint64 left = 300LL << 20; left > 0; left -= chunk.size())
            f.write(chunk.constData(), std::min<qint64>(left, chunk.size()));
    } else {
        return false;
    }
    return f.error() == QFileDevice::NoError;
}

// --- Measuring ---------------------------------------------------------------------------

double msSince(const QElapsedTimer &t)
{
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}

// Milliseconds since this process started.
double msSinceProcessStart()
{
    std::ifstream stat("/proc/self/stat");
    std::string content((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 22 (start time in clock ticks since boot) follows the command name in parentheses.
    std::istringstream fields(content.substr(content.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        fields >> field;
    const double startMs = std::stod(field) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6 -
           startMs;
}

long peakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void report(const char *key, double value)
{
    std::printf("%s %.2f\n", key, value);
    std::fflush(stdout);
}

// CPU milliseconds the calling thread has used.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Notes the longest time between two runs of a 5 ms timer: how long the event loop was held up,
// and where (the phase the `where` function named before and after that gap, and when it ended).
class Watchdog : public QObject
{
public:
    explicit Watchdog(std::function<std::string()> where = {}) : m_where(std::move(where))
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            const std::string phase = m_where ? m_where() : std::string();
            const double gap = msSince(m_clock);
            const double cpu = threadCpuMs();
            if (m_first < 0) {
                m_first = gap;
            } else {
                if (gap > m_longest) {
                    m_longest = gap;
                    m_longestCpu = cpu - m_cpu;
                    m_longestAt = msSince(m_since);
                    m_longestWhere = m_phase == phase ? phase : m_phase + " -> " + phase;
                }
                m_mostCpu = std::max(m_mostCpu, cpu - m_cpu);
            }
            m_phase = phase;
            m_cpu = cpu;
            m_clock.restart();
        });
    }
    // The GUI thread's CPU time in the longest gap, and the most it spent in any gap: on a
    // loaded machine a gap can be long for want of a processor, not for work done.
    double longestCpu() const { return m_longestCpu; }
    double mostCpu() const { return m_mostCpu; }
    // Where the longest gap was: "PHASE from MS to MS" (milliseconds since start()).
    std::string longestWhere() const
    {
        char at[64];
        std::snprintf(at, sizeof at, " from %.0f to %.0f ms", m_longestAt - m_longest, m_longestAt);
        return (m_longestWhere.empty() ? std::string("-") : m_longestWhere) + at;
    }
    // The first gap (until the event loop first runs) is kept apart: at program start it is
    // the start-up before any window shows.
    double first() const { return std::max(0.0, m_first); }
    void start()
    {
        m_longest = 0;
        m_longestCpu = 0;
        m_mostCpu = 0;
        m_first = -1;
        m_cpu = threadCpuMs();
        m_longestWhere.clear();
        m_phase = m_where ? m_where() : std::string();
        m_clock.start();
        m_since.start();
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    QElapsedTimer m_since;
    double m_longest = 0;
    double m_first = -1;
    double m_longestAt = 0;
    double m_longestCpu = 0;
    double m_mostCpu = 0;
    double m_cpu = 0;
    std::function<std::string()> m_where;
    std::string m_phase;
    std::string m_longestWhere;
};

// Answers "save before closing?" with No, other Yes/No questions with `yes`, the rest OK.
class QuietUi : public UiServices
{
public:
    QStringList messages;
    bool yes = true;
    int messageBox(const QString &text, int style, const QString &) override
    {
        messages << text;
        if ((style & 7) == MsgStyle::YesNoCancel)
            return MsgResult::No;
        if ((style & 7) == MsgStyle::OkOnly)
            return MsgResult::Ok;
        return yes ? MsgResult::Yes : MsgResult::No;
    }
    void beep() override {}
    // The Open dialog picks this file (none when empty).
    QString openPath;
    FileDialogResult openFiles(const FileDialogRequest &) override
    {
        FileDialogResult result;
        if (!openPath.isEmpty())
            result.files << openPath;
        return result;
    }
    FileDialogResult saveFile(const FileDialogRequest &) override { return {}; }
    QString chooseFolder(const QString &, const QString &) override { return {}; }
    std::optional<QColor> chooseColor(const QColor &) override { return std::nullopt; }
    bool printDialog(QPrinter *) override { return false; }
    int execDialog(QWidget *) override { return 0; }
    bool openUrl(const QString &) override { return false; }
};

// Runs the event loop until `done` holds (checked every millisecond) or the time runs out.
bool waitFor(const std::function<bool()> &done, double timeoutMs = 600000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (msSince(t) > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// The events an interaction leaves behind (repaints, status bar) are part of it.
void settle()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void key(QWidget *target, int code, Qt::KeyboardModifiers mods = Qt::NoModifier,
         const QString &text = QString())
{
    QKeyEvent press(QEvent::KeyPress, code, mods, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, code, mods, text);
    QApplication::sendEvent(target, &release);
}

double cpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

double timed(const std::function<void()> &action)
{
    QElapsedTimer t;
    t.start();
    action();
    settle();
    return msSince(t);
}

// A step reported with its wall and CPU time, its peak memory so far, and (under callgrind)
// its instructions.
void step(const char *key, const std::function<void()> &action)
{
    CALLGRIND_ZERO_STATS;
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_TOGGLE_COLLECT;
    const double cpu = cpuMs();
    const double wall = timed(action);
    const double spent = cpuMs() - cpu;
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT(key);
    std::printf("%s %.2f cpu %.2f peak_mb %.1f\n", key, wall, spent, peakRssKb() / 1024.0);
    std::fflush(stdout);
}

// Counted paragraph by paragraph: the control's Text() would keep a copy of the whole text.
int countInDocument(RichTextBox *box, const QString &word)
{
    int n = 0;
    for (QTextBlock b = box->document()->begin(); b.isValid(); b = b.next())
        n += static_cast<int>(b.text().count(word));
    return n;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::min(v.size() - 1, static_cast<size_t>(p * (v.size() - 1) + 0.5))];
}

// 500 keystrokes where the caret is: letters, every fourth a Backspace.
void typing(RichTextBox *box, const char *where)
{
    std::vector<double> times;
    for (int i = 0; i < 500; ++i) {
        times.push_back(timed([&] {
            if (i % 4 == 3)
                key(box, Qt::Key_Backspace);
            else
                key(box, Qt::Key_A + i % 26, Qt::NoModifier, QString(QChar(u'a' + i % 26)));
        }));
    }
    report((std::string("key_") + where + "_median_ms").c_str(), percentile(times, 0.5));
    report((std::string("key_") + where + "_p99_ms").c_str(), percentile(times, 0.99));
    report((std::string("key_") + where + "_max_ms").c_str(), percentile(times, 1.0));
}

// Find Next of a word in the last paragraph from the top (`rounds` times), then Replace All
// of every "zephyr" and its undo.
void findSteps(frmMain &main, RichTextBox *box, int rounds)
{
    clsMain &cmd = main.cmd();
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER,
                                       Identity::appKey() + QStringLiteral("\\frmFind\\Items"),
                                       QStringLiteral("Last Find"), QStringLiteral("quetzal"));
    frmFind *find = frmFind::LOAD(main);
    for (int i = 0; i < rounds; ++i) {
        find->RESET();
        key(box, Qt::Key_Home, Qt::ControlModifier);
        settle();
        step("find_next_ms", [&] { cmd.EDITFINDNEXT(); });
        report("find_next_hit", box->SelStart() > 0 ? 1 : 0);
    }

    find->CBOFIND->setCurrentText(QStringLiteral("zephyr"));
    find->CBOREPLACE->setCurrentText(QStringLiteral("breeze"));
    step("replace_all_ms", [&] { find->REPLACEALL(); });
    report("replace_all_count", countInDocument(box, QStringLiteral("breeze")));
    report("replace_all_relaid_ms",
           timed([&] { waitFor([&] { return !box->isLayoutPending(); }); }));
    step("undo_replace_all_ms", [&] { box->Undo(); });
    report("undo_left", countInDocument(box, QStringLiteral("zephyr")));
}

void startProgram(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("pamphlexa"));
    QApplication::setOrganizationName(QStringLiteral("pamphlexa"));
    Fonts::installSubstitutions();
    Q_UNUSED(app);
}

// How long the start-up call took before it returned to the event loop, and its window.
double g_startCallMs = 0;
frmMain *g_main = nullptr;

// Opens the file as from the command line and waits for its first screen. Returns the window.
frmMain *openAndShow(const QString &path, Watchdog &watchdog, double timeoutMs)
{
    bool painted = false;
    double firstScreen = 0;
    struct PaintProbe : QObject
    {
        std::function<void()> onPaint;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint && onPaint)
                QTimer::singleShot(0, this, onPaint);
            return false;
        }
    } probe;
    // From here on the event loop's hold-ups count (a large file is read while it runs).
    watchdog.start();
    QElapsedTimer startCall;
    startCall.start();
    CALLGRIND_START_INSTRUMENTATION;
    CALLGRIND_TOGGLE_COLLECT;
    frmMain *main = modMain::Start(path);
    g_startCallMs = msSince(startCall);
    g_main = main;
    CALLGRIND_TOGGLE_COLLECT;
    CALLGRIND_DUMP_STATS_AT("start_call");
    frmDocRTF *doc = main->activeDocument();
    RichTextBox *box = doc ? doc->RTF1 : nullptr;
    // Nothing to show: the file was refused (or declined) and its window closed.
    if (!box || box->document()->characterCount() <= 1) {
        report("first_screen_ms", -1);
        return main;
    }
    probe.onPaint = [&] {
        if (!painted && box->document()->characterCount() > 1) {
            painted = true;
            firstScreen = msSinceProcessStart();
        }
    };
    box->viewport()->installEventFilter(&probe);
    box->viewport()->update();
    waitFor([&] { return painted; }, timeoutMs);
    box->viewport()->removeEventFilter(&probe);
    report("first_screen_ms", painted ? firstScreen : -1);
    return main;
}

int run(QApplication &app, const QString &path)
{
    startProgram(app);
    const double fileMb = static_cast<double>(QFile(path).size()) / 1048576.0;
    report("file_mb", fileMb);
    Watchdog watchdog;
    frmMain *main = openAndShow(path, watchdog, 600000);
    frmDocRTF *doc = main->activeDocument();
    RichTextBox *box = doc->RTF1;
    clsMain &cmd = main->cmd();
    QElapsedTimer sinceShown;
    sinceShown.start();
    step("first_paint_to_layout_done", [&] { waitFor([&] { return !box->isLayoutPending(); }); });
    report("layout_done_ms", msSinceProcessStart());
    report("start_call_ms", g_startCallMs);
    report("open_longest_stall_ms", watchdog.stop());
    report("startup_gap_ms", watchdog.first());
    report("peak_mb_after_open", peakRssKb() / 1024.0);
    report("blocks", box->document()->blockCount());

    box->setFocus();
    // Typing at the start, middle and end.
    key(box, Qt::Key_Home, Qt::ControlModifier);
    settle();
    step("typing_start_500_keys_ms", [&] { typing(box, "start"); });
    box->setSelStart(box->fromDocPosition(box->document()->characterCount() / 2));
    settle();
    step("typing_middle_500_keys_ms", [&] { typing(box, "middle"); });
    step("ctrl_end_ms", [&] { key(box, Qt::Key_End, Qt::ControlModifier); });
    step("typing_end_500_keys_ms", [&] { typing(box, "end"); });
    step("ctrl_home_ms", [&] { key(box, Qt::Key_Home, Qt::ControlModifier); });
    std::vector<double> pages;
    for (int i = 0; i < 20; ++i)
        pages.push_back(timed([&] { key(box, Qt::Key_PageDown); }));
    report("page_down_median_ms", percentile(pages, 0.5));
    report("page_down_max_ms", percentile(pages, 1.0));
    const QString lineCol = main->findChild<QLabel *>(QStringLiteral("SBMAIN.Panel3"))->text();
    std::printf("status_after_paging %s\n", qPrintable(lineCol));

    findSteps(*main, box, 1);
    waitFor([&] { return !box->isLayoutPending(); });

    // Select all and bold, then until laid out again.
    step("select_all_bold_ms", [&] {
        cmd.EDITSELECTALL();
        cmd.FONTBOLD();
    });
    step("bold_relaid_ms", [&] { waitFor([&] { return !box->isLayoutPending(); }); });
    box->setSelStart(0);
    settle();

    // Save (the document's caption is the file).
    AppState::instance().SaveMode = QStringLiteral("SAVE");
    step("save_ms", [&] { cmd.FILESAVEDOC(); });
    report("saved_mb", static_cast<double>(QFile(path).size()) / 1048576.0);

    // Wrap modes (none, window, ruler), then resizing the window.
    const QString items = Identity::appKey() + QStringLiteral("\\frmMain\\Items");
    for (const char *mode : {"1", "2", "3"}) {
        clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, items,
                                           QStringLiteral("Wrap Text"), QString::fromLatin1(mode));
        report((std::string("wrap_") + mode + "_ms").c_str(), timed([&] { doc->MARGINCHK(); }));
        report((std::string("wrap_") + mode + "_relaid_ms").c_str(),
               timed([&] { waitFor([&] { return !box->isLayoutPending(); }); }));
    }
    clsLibrary::instance().REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, items,
                                       QStringLiteral("Wrap Text"), QStringLiteral("2"));
    doc->MARGINCHK();
    waitFor([&] { return !box->isLayoutPending(); });
    watchdog.start();
    step("resize_ms", [&] { main->resize(main->width() - 120, main->height() - 60); });
    waitFor([&] { return !box->isLayoutPending(); });
    const double afterResize = watchdog.stop();
    report("resize_longest_stall_ms", std::max(afterResize, watchdog.first()));

    report("peak_mb", peakRssKb() / 1024.0);
    report("peak_over_file", peakRssKb() / 1024.0 / fileMb);

    // Closing (the changes are not saved).
    QPointer<frmDocRTF> closing = doc;
    step("close_ms", [&] {
        if (QWidget *frame = doc->parentWidget())
            frame->close();
    });
    report("closed", closing.isNull() || closing->isClosed() ? 1 : 0);
    delete main;
    return 0;
}

// Only the find steps, five rounds of Find Next, once the document is laid out (for profiling).
int findOnly(QApplication &app, const QString &path)
{
    startProgram(app);
    Watchdog watchdog;
    frmMain *main = openAndShow(path, watchdog, 600000);
    RichTextBox *box = main->activeDocument()->RTF1;
    waitFor([&] { return !box->isLayoutPending(); });
    watchdog.stop();
    findSteps(*main, box, 5);
    std::_Exit(0);
}

// The watchdog's longest hold-up: its length, where it fell and the GUI thread's CPU time.
void reportStalls(Watchdog &watchdog)
{
    report("longest_stall_ms", watchdog.stop());
    std::printf("longest_stall_where %s\n", watchdog.longestWhere().c_str());
    report("longest_stall_cpu_ms", watchdog.longestCpu());
    report("most_cpu_in_a_stall_ms", watchdog.mostCpu());
}

// What was opened, the messages shown, then the end of the run (a huge document takes long
// to free).
[[noreturn]] void reportOpenedAndExit(bool laidOut, const QElapsedTimer &since,
                                      const RichTextBox *box, const QuietUi &ui)
{
    report("laid_out", laidOut ? 1 : 0);
    report("elapsed_ms", msSince(since));
    report("characters", box ? box->document()->characterCount() : 0);
    report("peak_mb", peakRssKb() / 1024.0);
    for (const QString &m : std::as_const(ui.messages))
        std::printf("message %s\n", qPrintable(QString(m).replace(QLatin1Char('\n'), u' ')));
    std::fflush(stdout);
    std::_Exit(0);
}

// Opens a huge input and notes the longest hold-up of the event loop until it is laid out (or
// refused, or the time runs out).
int watch(QApplication &app, const QString &path, double seconds)
{
    startProgram(app);
    auto *ui = static_cast<QuietUi *>(&UiServices::instance());
    Watchdog watchdog([] {
        if (!g_main)
            return std::string("start call");
        frmDocRTF *doc = g_main->activeDocument();
        return doc && doc->RTF1->isLayoutPending() ? std::string("background layout")
                                                   : std::string("laid out");
    });
    QElapsedTimer t;
    t.start();
    frmMain *main = openAndShow(path, watchdog, seconds * 1000);
    frmDocRTF *doc = main->activeDocument();
    RichTextBox *box = doc ? doc->RTF1 : nullptr;
    const bool done = box && waitFor([&] { return !box->isLayoutPending(); }, seconds * 1000);
    report("start_call_ms", g_startCallMs);
    reportStalls(watchdog);
    report("startup_gap_ms", watchdog.first());
    reportOpenedAndExit(done, t, box, *ui);
}

// What the program is doing, for the watchdog: in the open command (head read, question,
// window, background read, handing the document over), then laying the document out.
std::string openingPhase(frmMain *main, const QString &path, bool returned)
{
    if (!returned)
        return "open command";
    frmDocRTF *doc = main ? main->activeDocument() : nullptr;
    if (!doc || doc->Caption() != path)
        return "not opened";
    return doc->RTF1->isLayoutPending() ? "background layout" : "laid out";
}

// Starts the program without a file and, once its window is up and idle, opens the file as
// File > Open does (the dialog and the question about its size answered by the seam); notes
// the longest hold-up of the event loop from the command until the document is laid out.
int watchOpen(QApplication &app, const QString &path, double seconds)
{
    startProgram(app);
    auto *ui = static_cast<QuietUi *>(&UiServices::instance());
    frmMain *main = modMain::Start(QString());
    QElapsedTimer idle;
    idle.start();
    waitFor([&] { return msSince(idle) > 1000; });
    const QString full = QFileInfo(path).absoluteFilePath();
    bool returned = false;
    Watchdog watchdog([&] { return openingPhase(main, full, returned); });
    ui->openPath = full;
    double commandMs = 0;
    QElapsedTimer t;
    // The command comes once the watchdog's timer has run: all of it counts as hold-ups.
    watchdog.start();
    QTimer::singleShot(50, main, [&] {
        t.start();
        main->cmd().FILEOPENDOCUMENT();
        commandMs = msSince(t);
        returned = true;
    });
    waitFor([&] { return returned; }, seconds * 1000);
    frmDocRTF *doc = main->activeDocument();
    RichTextBox *box = doc && doc->Caption() == full ? doc->RTF1 : nullptr;
    const bool done = box && waitFor([&] { return !box->isLayoutPending(); }, seconds * 1000);
    report("command_ms", commandMs);
    reportStalls(watchdog);
    reportOpenedAndExit(done, t, box, *ui);
}

} // namespace

int main(int argc, char **argv)
{
    const QStringList args = [&] {
        QStringList out;
        for (int i = 1; i < argc; ++i)
            out << QString::fromLocal8Bit(argv[i]);
        return out;
    }();
    if (args.size() >= 3 && args[0] == QLatin1String("generate")) {
        QFile f(args[2]);
        const QByteArray rtf = generate(args[1].toDouble());
        return f.open(QIODevice::WriteOnly) && f.write(rtf) == rtf.size() ? 0 : 1;
    }
    if (args.size() >= 3 && args[0] == QLatin1String("huge"))
        return writeHuge(args[1], args[2]) ? 0 : 1;
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: bench_bigdoc generate MB FILE | huge KIND FILE | run FILE | "
                             "find FILE | watch[open] FILE [SECONDS [yes|no]]\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QuietUi ui;
    UiServices::setInstance(&ui);
    if (args[0] == QLatin1String("run"))
        return run(app, args[1]);
    if (args[0] == QLatin1String("find"))
        return findOnly(app, args[1]);
    if (args[0] == QLatin1String("watch") || args[0] == QLatin1String("watchopen")) {
        ui.yes = args.size() <= 3 || args[3] != QLatin1String("no");
        const double seconds = args.size() > 2 ? args[2].toDouble() : 120;
        return args[0] == QLatin1String("watch") ? watch(app, args[1], seconds)
                                                 : watchOpen(app, args[1], seconds);
    }
    return 2;
}
