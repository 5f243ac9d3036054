#pragma once

#include <QString>

class RichTextBox;

// The searching and replacing the Find dialog does on a document's text control. Positions
// are the control's Text() positions.
namespace FindReplace {

// The control's Find option bits for the dialog's two check boxes.
int optionBits(bool wholeWord, bool matchCase);

// Replace All: finds the first hit from the start of the text, then, while the position after
// that hit lies inside the text, replaces the hit and searches on from just after the
// replacement (after the first replacement one character further). Text a replacement
// inserted is never searched again. All replacements are one undo step. Returns the number of
// replacements; the caret ends after the last one, or the first hit stays selected when
// nothing was replaced.
int replaceAll(RichTextBox &rtf, const QString &find, const QString &replacement, int options);

// The same rule carried out one hit at a time with the control's Find and SelText (one undo
// step per replacement). replaceAll uses it for texts that contain paragraph or line breaks.
int replaceAllStepwise(RichTextBox &rtf, const QString &find, const QString &replacement,
                       int options);

} // namespace FindReplace
