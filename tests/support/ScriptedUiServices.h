#pragma once

#include <QList>
#include <QQueue>
#include <functional>

#include "platform/UiServices.h"

// A UiServices that answers from a script and records every request, so tests can check the
// exact text, buttons, icon and title a user would have seen. Installs itself while alive.
class ScriptedUiServices : public UiServices
{
public:
    struct Message
    {
        QString text;
        int style = 0;
        QString title;
    };

    ScriptedUiServices();
    ~ScriptedUiServices() override;

    // Answers for the next message boxes, in order; when none is queued the default button
    // (Yes / OK, or No when the second button is the default) is pressed.
    QQueue<int> messageAnswers;
    // Answers for the next file dialogs; an empty result is a cancel.
    QQueue<FileDialogResult> fileAnswers;
    QQueue<QString> folderAnswers;
    QQueue<std::optional<QColor>> colorAnswers;
    bool printAnswer = true;
    // Runs when a program dialog is shown modally: set its controls, return its result.
    std::function<int(QWidget *)> dialogHandler;

    QList<Message> messages;
    QList<FileDialogRequest> openRequests;
    QList<FileDialogRequest> saveRequests;
    QStringList openedUrls;
    QList<QWidget *> dialogsShown;
    int beeps = 0;
    int printDialogs = 0;

    int messageBox(const QString &text, int style, const QString &title) override;
    void beep() override { ++beeps; }
    FileDialogResult openFiles(const FileDialogRequest &request) override;
    FileDialogResult saveFile(const FileDialogRequest &request) override;
    QString chooseFolder(const QString &title, const QString &start) override;
    std::optional<QColor> chooseColor(const QColor &initial) override;
    bool printDialog(QPrinter *printer) override;
    int execDialog(QWidget *dialog) override;
    bool openUrl(const QString &url) override;
};
