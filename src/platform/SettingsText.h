#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include "platform/SettingsStore.h"

// A readable text form of settings values, in UTF-8:
//
//   Pamphlexa Settings Export 1
//
//   [HKCU\SOFTWARE\Qor Software Development\Pamphlexa\frmMain\Window]
//   "Left"="1200"
//   @="the key's unnamed value"
//   "EDITFLAGS"=dword:00010000
//   "Path"=expand:"%HOME%\\docs"
//
// Names and texts are quoted; inside quotes \\ \" \n \r \t and \uXXXX (other control
// characters) are escapes. Lines starting with ";" are comments.
namespace SettingsText {

inline constexpr char Header[] = "Pamphlexa Settings Export 1";

// The values as text, grouped by root and key in the order given; with the header line when
// `withHeader` is set.
QByteArray format(const QList<SettingsStore::Value> &values, bool withHeader = true);

struct ParseResult
{
    QList<SettingsStore::Value> values;
    bool ok = false;
    int errorLine = 0; // 1-based line of the first error
    QString error;     // what is wrong there
};

// Reads the text back; stops at the first malformed line.
ParseResult parse(const QByteArray &text);

} // namespace SettingsText
