#pragma once

#include <QString>

#include "core/AppState.h"

class RichTextBox;

// Changes to the selected text of a rich text control that keep every character's own format:
// case changes, small capitals and the format painter's copy and paste of attributes.
namespace FormatText {

enum class Case { None, Upper, Lower, Capitalize };

// Each word's first letter in upper case, its other letters in lower case. A word is a run of
// letters, digits and apostrophes.
QString properCase(const QString &text);
// text in the given case (None returns it unchanged).
QString convertCase(const QString &text, Case mode);

// Puts the selected text into the given case, character by character, so each keeps its font,
// size and colour; the selection stays as it was. One undo step.
void changeSelCase(RichTextBox &rtf, Case mode);

// Small capitals: each selected lower-case letter becomes its capital set smaller than the
// capitals around it; spaces, breaks and other characters stay as they are. One undo step.
void smallCapitals(RichTextBox &rtf);
// The size in points a small capital gets beside capitals of `points`.
double smallCapitalSize(double points);

// The selection's painter attributes (mixed ones without a value).
AppState::PainterFormat capture(const RichTextBox &rtf);
// Sets every attribute that has a value on the selection. One undo step.
void apply(RichTextBox &rtf, const AppState::PainterFormat &format);

} // namespace FormatText
