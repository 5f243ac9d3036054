#include "core/modMain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "chrome/modAssociate.h"
#include "core/AppState.h"
#include "core/CommandLine.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/DocumentFiles.h"
#include "documents/Recovery.h"
#include "documents/frmDocRTF.h"
#include "platform/Fonts.h"
#include "platform/Icons.h"
#include "platform/RichTextBox.h"

namespace {

// The start-up benchmark asks the program to quit as soon as the main window is first shown
// and to report how long that took. A message shown at start-up (a file that cannot be opened)
// is left for the user to answer first.
class ShownProbe : public QObject
{
public:
    explicit ShownProbe(const QElapsedTimer &clock) : m_clock(clock) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && !m_done) {
            if (auto *w = qobject_cast<QWindow *>(watched); w && w->isExposed() && isMain(w)) {
                m_done = true;
                std::printf("startup-ms %.2f\n", static_cast<double>(m_clock.nsecsElapsed()) / 1e6);
                std::fflush(stdout);
                QTimer::singleShot(0, qApp, [] { quitWhenAnswered(); });
            }
        }
        return false;
    }

private:
    static bool isMain(const QWindow *w)
    {
        for (const QWidget *top : QApplication::topLevelWidgets())
            if (top->windowHandle() == w)
                return qobject_cast<const frmMain *>(top) != nullptr;
        return false;
    }
    static void quitWhenAnswered()
    {
        if (QApplication::activeModalWidget())
            QTimer::singleShot(50, qApp, [] { quitWhenAnswered(); });
        else
            QCoreApplication::exit(0);
    }

    const QElapsedTimer &m_clock;
    bool m_done = false;
};

} // namespace

void modMain::OpenCommandLineFile(frmMain &main, const QString &path)
{
    AppState &st = AppState::instance();
    frmDocRTF *doc = main.activeDocument();
    if (!doc)
        return;
    st.CommandLinePath = path;
    // A file that cannot be read leaves the first document empty and out of the recent list.
    const QString full = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(full) && !DocumentFiles::confirmLargeFile(full))
        return;
    // A large file is read in the background: the window shows its progress and Cancel.
    if (QFileInfo(full).size() >= RichTextBox::BackgroundReadBytes)
        main.show();
    if (main.cmd().loadIntoDocument(doc, full))
        main.cmd().FILERECENTFILESLISTADD(full);
}

frmMain *modMain::Start(const QString &commandLine)
{
#if defined(__GLIBC__)
    // Blocks of 256 KB and more (a long document's text, a file's bytes while it is read, the
    // pieces of a save) get their own mapping and go back to the system when freed. Left to
    // itself, glibc raises that threshold each time such a block is freed and keeps the memory
    // in the heap, which after opening a large document is about a tenth of its peak.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
    AppState &st = AppState::instance();
    Icons::install();
    Fonts::installSubstitutions();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    st.SuppressModified = true;
    auto *main = new frmMain;
    auto *recovery = new Recovery(*main);
    main->Load();
    if (commandLine.isEmpty())
        st.CommandLinePath.clear();
    else
        OpenCommandLineFile(*main, commandLine);
    // Main registers the rich text types with the desktop once the window is shown.
    main->show();
    clsLibrary::instance().reportStoreNotice();
    main->cmd().STARTUPDIALOGSUNLOAD();
    main->cmd().FONTNAMEUPDATE();
    main->cmd().FONTSIZEUPDATE();
    st.SuppressModified = false;
    if (frmDocRTF *doc = main->activeDocument()) {
        // The start-up's own formatting is nothing the user can undo.
        doc->RTF1->resetHistory();
        doc->RTF1->setTag(QStringLiteral("0"));
        doc->SAVESTATUS(false);
        doc->Activate();
    }
    QApplication::restoreOverrideCursor();
    // Documents a run that did not end cleanly left behind are offered back.
    recovery->restoreAtStartup();
    return main;
}

frmMain *modMain::Start(const QStringList &files)
{
    frmMain *main = Start(files.value(0));
    for (qsizetype i = 1; i < files.size(); ++i)
        main->cmd().FILEOPENONE(QFileInfo(files[i]).absoluteFilePath());
    return main;
}

QStringList modMain::CommandLineFiles(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return {};
    const QString whole = arguments.join(QLatin1Char(' '));
    if (arguments.size() == 1 || QFileInfo::exists(whole) ||
        std::none_of(arguments.begin(), arguments.end(),
                     [](const QString &a) { return QFileInfo(a).isFile(); }))
        return {whole};
    return arguments;
}

int modMain::Main(int argc, char **argv)
{
    QElapsedTimer clock;
    clock.start();
    const CommandLine::Program program{
        QStringLiteral("pamphlexa"),
        {QStringLiteral("[OPTION]... [--] [FILE]...")},
        QStringLiteral(
            "Starts Pamphlexa, a word processor for bulletins, letters and other short\n"
            "documents in Rich Text Format, and opens FILE in its first document window.\n"
            "Everything after the options is one file name, blanks included; when no file has\n"
            "that name, each argument is a file name and each file opens in a window of its\n"
            "own. \"--\" ends the options, for a file name that starts with \"-\"."),
        QStringLiteral("      --            take what follows as the file name\n"),
        QStringLiteral(
            "The toolkit's own options (-platform NAME, -style NAME, -reverse, ...) are "
            "accepted too.\nSettings: ~/.config/pamphlexa/settings.sqlite; added words and "
            "your own templates:\n~/.local/share/pamphlexa.")};
    if (const auto status = CommandLine::handleInfoOptions(program, argc, argv))
        return *status;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("pamphlexa"));
    // Wayland desktops match the window to the installed desktop entry by this name.
    QGuiApplication::setDesktopFileName(modAssociate::ApplicationId);
    // No display name: the platform would append it to every window title, and the main
    // window's title is exactly the application title (plus the maximised document's caption).
    QApplication::setOrganizationName(QStringLiteral("pamphlexa"));
    // Ties the windows to the desktop entry (its icon and name in docks and task lists).
    QGuiApplication::setDesktopFileName(QStringLiteral("org.pamphlexa.Pamphlexa"));

    // The whole argument text is one document path, spaces included, unless it names nothing
    // and the arguments name files of their own. The toolkit has taken its own options out; an
    // option before the path is one nobody knows.
    QStringList args = QApplication::arguments();
    args.removeFirst();
    if (!args.isEmpty() && args.first() == QLatin1String("--"))
        args.removeFirst();
    else if (!args.isEmpty() && args.first().size() > 1 && args.first().startsWith(u'-'))
        return CommandLine::usageError(
            program, QStringLiteral("unrecognized option '%1'").arg(args.first()));
    const QStringList files = CommandLineFiles(args);

    ShownProbe probe(clock);
    const bool probing = qEnvironmentVariableIntValue("PAMPHLEXA_EXIT_AFTER_SHOW") == 1;
    if (probing)
        app.installEventFilter(&probe);

    frmMain *main = modMain::Start(files);
    // The rich text types are registered with the desktop at every start, once the window is on
    // its way: nothing is written when the entries are already in place (a fraction of a
    // millisecond), and the first start's writes do not hold up the window.
    QTimer::singleShot(0, qApp, [] { modAssociate::REGISTERTYPES(); });
    main->setAttribute(Qt::WA_DeleteOnClose);
    const int rc = QApplication::exec();
    if (probing)
        delete main;
    return rc;
}
