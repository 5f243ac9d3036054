#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <array>

// The stored list of HTML colour codes ("#" and six hexadecimal digits: red, green, blue).
namespace HtmlCode {

// A stored count larger than this is taken as this many: the count comes from a settings store
// anyone can edit, and each code is one read of the store.
constexpr int MaxCodes = 1000;

// The codes in list order: the count "VALTOTAL" of "\frmHTMLCode\Items Total", then value "0" to
// count - 1 of "\frmHTMLCode\Items" ("0" when a value is missing). A count that is not a number
// or is negative gives no codes.
QStringList load();
// Stores the count and each code under its index, in one transaction; true when stored. Values
// past the new count stay in the store and are not read again.
bool save(const QStringList &codes);

// Red, green and blue of a code: characters 2-3, 4-5 and 6-7 read as hexadecimal (0 where they
// are not).
std::array<int, 3> components(const QString &code);
QColor color(const QString &code);

} // namespace HtmlCode
