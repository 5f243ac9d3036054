#pragma once

#include <QString>
#include <QtGlobal>
#include <array>

// The program's fixed messages: every notice and question the user sees, by number, with its
// text, buttons, icon and title. clsLibrary::MESSAGEBOX and MESSAGEBOXFCN show them.
namespace MessageCatalogue {

// Notices are shown with MESSAGEBOX and only closed; questions with MESSAGEBOXFCN and answered.
// The two have separate numbers: notice 3 and question 3 are different messages.
enum class Kind { Notice, Question };

// A message ready to show: text with "\r\n" line breaks, style as in MsgStyle, title, and
// whether a beep sounds before the box appears.
struct Message
{
    QString text;
    int style = 0;
    QString title;
    bool beep = false;
};

// The message `id` of `kind` with the texts s1..s4 put in. A number without a message gives an
// empty message (no text, OK button only, no icon, no title, no beep).
Message compose(Kind kind, qint16 id, const std::array<QString, 4> &texts);

// Whether a count, as text, takes the plural: everything but a number equal to 1. A count that is
// not a number ("", "many") takes the plural.
bool takesPlural(const QString &count);

} // namespace MessageCatalogue
