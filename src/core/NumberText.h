#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Reading and writing numbers held as text: settings values, text boxes, message counts.
// Numbers are always written with "." as the decimal point, whatever the desktop's locale.
namespace NumberText {

// The value of the number at the start of text, read as a BASIC Val() reads it: blanks, tabs and
// line feeds are skipped wherever they are, then an optional sign, digits with at most one ".",
// and an optional exponent ("E" or "D", optional sign, digits). Reading stops at the first other
// character; no number at all gives 0, and so does a number too large for a double.
double val(QStringView text);

// The value of text when the whole text (leading and trailing blanks aside) is one number in the
// grammar above; nullopt otherwise (empty, stray characters, too large).
std::optional<double> parse(QStringView text);

// value with `decimals` digits after the point and at least one before it, no digit grouping,
// rounded half away from zero at the fifteenth significant digit, so 2.345 gives "2.35". A value
// that rounds to zero has no sign. nullopt for infinities and NaN.
std::optional<QString> formatFixed(double value, int decimals);

} // namespace NumberText
