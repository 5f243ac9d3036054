#include "support/ScriptedUiServices.h"

#include <QDialog>

ScriptedUiServices::ScriptedUiServices()
{
    UiServices::setInstance(this);
}

ScriptedUiServices::~ScriptedUiServices()
{
    UiServices::setInstance(nullptr);
}

int ScriptedUiServices::messageBox(const QString &text, int style, const QString &title)
{
    messages.append({text, style, title});
    if (!messageAnswers.isEmpty())
        return messageAnswers.dequeue();
    switch (style & 0x0F) {
    case MsgStyle::YesNoCancel:
    case MsgStyle::YesNo:
        return (style & MsgStyle::DefaultButton2) ? MsgResult::No : MsgResult::Yes;
    default:
        return MsgResult::Ok;
    }
}

FileDialogResult ScriptedUiServices::openFiles(const FileDialogRequest &request)
{
    openRequests.append(request);
    return fileAnswers.isEmpty() ? FileDialogResult{{}, request.filterIndex, request.folder}
                                 : fileAnswers.dequeue();
}

FileDialogResult ScriptedUiServices::saveFile(const FileDialogRequest &request)
{
    saveRequests.append(request);
    return fileAnswers.isEmpty() ? FileDialogResult{{}, request.filterIndex, request.folder}
                                 : fileAnswers.dequeue();
}

QString ScriptedUiServices::chooseFolder(const QString &, const QString &)
{
    return folderAnswers.isEmpty() ? QString() : folderAnswers.dequeue();
}

std::optional<QColor> ScriptedUiServices::chooseColor(const QColor &)
{
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.dequeue();
}

bool ScriptedUiServices::printDialog(QPrinter *)
{
    ++printDialogs;
    return printAnswer;
}

int ScriptedUiServices::execDialog(QWidget *dialog)
{
    dialogsShown.append(dialog);
    if (dialogHandler)
        return dialogHandler(dialog);
    return QDialog::Rejected;
}

bool ScriptedUiServices::openUrl(const QString &url)
{
    openedUrls.append(url);
    return true;
}
