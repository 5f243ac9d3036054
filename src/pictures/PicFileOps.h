#pragma once

#include <QString>

// The picture browser's file operations: copy, move, rename and delete to the trash. The plain
// operations never lose a file: a copy is written beside its target and renamed over it in one
// step, a move across file systems removes the source only once the copy is complete, and a
// failure leaves every file as it was. The commands ask the user what the browser asks (through
// the message catalogue) and report failures as the desktop's file operations would.
namespace PicFileOps {

struct Result
{
    bool ok = false;
    // Why it failed, for the user.
    QString reason;
};

// Copies source to target, replacing target if it exists.
Result copyFile(const QString &source, const QString &target);
// Moves source to target, replacing target if it exists.
Result moveFile(const QString &source, const QString &target);
// Renames source to target; never replaces an existing file.
Result renameFile(const QString &source, const QString &target);
// Moves the file to the desktop's trash (freedesktop Trash: files/ and info/*.trashinfo), the
// trash of its own file system when that is not the user's. Never deletes for good: without a
// usable trash it fails. The trashed file's path goes to `trashedAs` when given.
Result moveToTrash(const QString &path, QString *trashedAs = nullptr);

// True when both paths name the same existing file.
bool sameFile(const QString &a, const QString &b);
// The name a rename gives: when the last three letters of the new name differ (ignoring case)
// from the old name's, "." and the old name's last three letters are added, so the file keeps
// its type.
QString renamedName(const QString &oldName, const QString &newName);

// --- Commands of the picture browser's dialogs (they ask and report) ---
// Copies (or moves) the file into the folder, asking before overwriting a file there (question
// 3). True when the file was copied or moved.
bool copyTo(const QString &path, const QString &folder, bool move);
// Renames the file in its folder to newName (with its type kept as renamedName gives). True
// when renamed.
bool renameTo(const QString &path, const QString &newName);
// Asks (question 2) and moves the file to the trash. True when deleted.
bool deleteAsk(const QString &path);

} // namespace PicFileOps
