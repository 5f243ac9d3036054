#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>

class QLabel;
class QMainWindow;
class QProgressBar;
class QToolButton;

// Long work on a document (reading a big file, laying it out) on the status bar: what is being
// done, a progress bar and a Cancel button. It shows only once the work has taken half a second,
// so quick work never flickers on the bar. Several documents may be working at once: the most
// recent work is shown, and the next when it ends.
class StatusProgress : public QWidget
{
    Q_OBJECT
public:
    // The main window's panel (in its status bar SBMAIN), made when first asked for.
    static StatusProgress &of(QMainWindow &window);

    // Starts (or renames) the work of `owner`; `cancel` runs when the user presses Cancel.
    void begin(QObject *owner, const QString &text, std::function<void()> cancel);
    void setPercent(QObject *owner, int percent);
    void end(QObject *owner);
    // True while the panel shows work.
    bool isShowing() const { return isVisible(); }

    QLabel *LBLWORK = nullptr;
    QProgressBar *PRGWORK = nullptr;
    QToolButton *BTNWORKCANCEL = nullptr;

private:
    explicit StatusProgress(QWidget *parent);
    struct Work
    {
        QPointer<QObject> owner;
        QString text;
        int percent = 0;
        std::function<void()> cancel;
        QElapsedTimer since;
    };
    Work *find(QObject *owner);
    void refresh();

    QList<Work> m_work;
    QTimer m_delay;
};
