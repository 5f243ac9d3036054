#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QPrinter;
class QWidget;

// Message-box style codes as the catalogue composes them: buttons + icon + default button.
namespace MsgStyle {
enum : int {
    OkOnly = 0,
    YesNoCancel = 3,
    YesNo = 4,
    Critical = 16,
    Question = 32,
    Exclamation = 48,
    Information = 64,
    DefaultButton2 = 256,
};
}

// Button codes a message box hands back.
namespace MsgResult {
enum : int {
    Ok = 1,
    Cancel = 2,
    Yes = 6,
    No = 7,
};
}

// One file dialog request: filters are "Description (*.ext *.ext2)" entries, filterIndex is
// 1-based as the program stores it.
struct FileDialogRequest
{
    QString title;
    QString folder;
    QString fileName;
    QStringList filters;
    int filterIndex = 1;
    bool multiSelect = false;
};

struct FileDialogResult
{
    QStringList files;   // empty when the user cancelled
    int filterIndex = 1; // the filter the user ended on, 1-based
    QString folder;      // the folder the user ended in
};

// Every modal interaction with the user goes through this seam, so tests can answer from a
// script and record what a user would have seen.
class UiServices
{
public:
    virtual ~UiServices() = default;

    // Shows a modal message box; style as in MsgStyle. Returns a MsgResult code.
    virtual int messageBox(const QString &text, int style, const QString &title) = 0;
    virtual void beep() = 0;

    virtual FileDialogResult openFiles(const FileDialogRequest &request) = 0;
    virtual FileDialogResult saveFile(const FileDialogRequest &request) = 0;
    virtual QString chooseFolder(const QString &title, const QString &start) = 0;
    virtual std::optional<QColor> chooseColor(const QColor &initial) = 0;
    // Lets the user set up the printer; false when cancelled.
    virtual bool printDialog(QPrinter *printer) = 0;
    // Shows a program dialog modally; returns its result code.
    virtual int execDialog(QWidget *dialog) = 0;
    // Opens a file or web address with the desktop's default program.
    virtual bool openUrl(const QString &url) = 0;

    // The instance the program uses; the Qt implementation unless a test installed another.
    static UiServices &instance();
    // Installs a replacement (not owned); nullptr restores the Qt implementation.
    static void setInstance(UiServices *services);
};

// The real dialogs.
class QtUiServices : public UiServices
{
public:
    int messageBox(const QString &text, int style, const QString &title) override;
    void beep() override;
    FileDialogResult openFiles(const FileDialogRequest &request) override;
    FileDialogResult saveFile(const FileDialogRequest &request) override;
    QString chooseFolder(const QString &title, const QString &start) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    bool printDialog(QPrinter *printer) override;
    int execDialog(QWidget *dialog) override;
    bool openUrl(const QString &url) override;
};
