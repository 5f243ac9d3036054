#include "platform/UiServices.h"

#include <QApplication>
#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QUrl>

namespace {
UiServices *g_installed = nullptr;

QString joinFilters(const QStringList &filters)
{
    return filters.join(QStringLiteral(";;"));
}

int filterIndexOf(const QStringList &filters, const QString &selected)
{
    const int i = filters.indexOf(selected);
    return i < 0 ? 1 : i + 1;
}
} // namespace

UiServices &UiServices::instance()
{
    static QtUiServices real;
    return g_installed ? *g_installed : real;
}

void UiServices::setInstance(UiServices *services)
{
    g_installed = services;
}

int QtUiServices::messageBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(QApplication::activeWindow());
    // Catalogue texts break lines with CR LF and may quote what the user typed: show them as
    // plain text with ordinary line breaks.
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setWindowTitle(title);
    switch (style & 0xF0) {
    case MsgStyle::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MsgStyle::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MsgStyle::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MsgStyle::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }
    QList<QPair<QMessageBox::StandardButton, int>> buttons;
    switch (style & 0x0F) {
    case MsgStyle::YesNoCancel:
        buttons = {{QMessageBox::Yes, MsgResult::Yes},
                   {QMessageBox::No, MsgResult::No},
                   {QMessageBox::Cancel, MsgResult::Cancel}};
        break;
    case MsgStyle::YesNo:
        buttons = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}};
        break;
    default:
        buttons = {{QMessageBox::Ok, MsgResult::Ok}};
        break;
    }
    for (const auto &b : buttons)
        box.addButton(b.first);
    const int defaultIndex = (style & MsgStyle::DefaultButton2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[defaultIndex].first);
    if (buttons.size() > 1 && (style & 0x0F) == MsgStyle::YesNoCancel)
        box.setEscapeButton(QMessageBox::Cancel);
    box.exec();
    const auto pressed = box.standardButton(box.clickedButton());
    for (const auto &b : buttons)
        if (b.first == pressed)
            return b.second;
    return (style & 0x0F) == MsgStyle::YesNoCancel ? MsgResult::Cancel : buttons.last().second;
}

void QtUiServices::beep()
{
    QApplication::beep();
}

namespace {
// Shows a file dialog set up from the request and reports what the user chose.
FileDialogResult runFileDialog(QFileDialog &dialog, const FileDialogRequest &request)
{
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (request.filterIndex >= 1 && request.filterIndex <= request.filters.size())
        dialog.selectNameFilter(request.filters[request.filterIndex - 1]);
    FileDialogResult result;
    result.filterIndex = request.filterIndex;
    if (dialog.exec() == QDialog::Accepted) {
        result.files = dialog.selectedFiles();
        result.filterIndex = filterIndexOf(request.filters, dialog.selectedNameFilter());
        result.folder = dialog.directory().absolutePath();
    }
    return result;
}
} // namespace

FileDialogResult QtUiServices::openFiles(const FileDialogRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder,
                       joinFilters(request.filters));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles
                                           : QFileDialog::ExistingFile);
    return runFileDialog(dialog, request);
}

FileDialogResult QtUiServices::saveFile(const FileDialogRequest &request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder,
                       joinFilters(request.filters));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks its own overwrite question after choosing the extension.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return runFileDialog(dialog, request);
}

QString QtUiServices::chooseFolder(const QString &title, const QString &start)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, start);
}

std::optional<QColor> QtUiServices::chooseColor(const QColor &initial)
{
    const QColor c = QColorDialog::getColor(initial, QApplication::activeWindow());
    if (!c.isValid())
        return std::nullopt;
    return c;
}

bool QtUiServices::printDialog(QPrinter *printer)
{
    QPrintDialog dialog(printer, QApplication::activeWindow());
    // The selection choice and the page range the caller set on the printer.
    dialog.setOption(QAbstractPrintDialog::PrintSelection,
                     printer->printRange() == QPrinter::Selection);
    if (printer->toPage() > 0)
        dialog.setMinMax(1, printer->toPage());
    return dialog.exec() == QDialog::Accepted;
}

int QtUiServices::execDialog(QWidget *dialog)
{
    if (auto *d = qobject_cast<QDialog *>(dialog))
        return d->exec();
    dialog->show();
    return 0;
}

bool QtUiServices::openUrl(const QString &url)
{
    const QUrl u = QUrl::fromUserInput(url, QString(), QUrl::AssumeLocalFile);
    return QDesktopServices::openUrl(u);
}
