#pragma once

#include <QString>
#include <QStringList>

// The Find dialog's three history lists (find text, replacement, line number) and the settings
// they live in between runs. A list holds the newest entry first, has no length limit and
// compares entries exactly.
namespace FindHistory {

// The settings key of the dialog's values, under the application key.
QString settingsKey();

// Reads a value of the dialog's key; def when it is missing.
QString read(const QString &name, const QString &def = QString());
// Writes a value of the dialog's key.
void write(const QString &name, const QString &value);

// Moves the entry equal to text to the top, or puts text at the top when there is none.
void use(QStringList &list, const QString &text);
// Puts text at the top unless an equal entry exists anywhere in the list.
void offer(QStringList &list, const QString &text);

// Reads the list stored under prefix ("Find", "Replace", "Go"): prefix + " Total" entries,
// prefix + " " + i from the top.
QStringList load(const QString &prefix);
// Stores the list: every entry when keepEmpty, else only the non-empty ones (each under its
// index in the list), then the total. With keep false only a total of 0 is written.
void save(const QString &prefix, const QStringList &list, bool keep, bool keepEmpty);

// The running count as the dialog's status bar shows it: "Currently: 1 find", "... 2 finds".
QString countText(int count);

} // namespace FindHistory
