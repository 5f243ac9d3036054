#include "core/MessageCatalogue.h"

#include "core/Identity.h"
#include "core/NumberText.h"
#include "platform/AppPaths.h"
#include "platform/UiServices.h"

namespace {

using MessageCatalogue::Kind;

enum class Title { Literal, Program, ProgramFolder };

// Texts are templates: {1} to {4} stand for s1 to s4, {s2} and {s3} for the plural "s" after the
// count in s2 or s3, {CRLF} for a line break and {title} for the program's title.
struct Entry
{
    Kind kind;
    qint16 id;
    const char *text;
    int style;
    Title titleKind;
    const char *title;
    bool beep;
};

constexpr int Info = MsgStyle::OkOnly + MsgStyle::Information;
constexpr int Warn = MsgStyle::OkOnly + MsgStyle::Exclamation;
constexpr int Stop = MsgStyle::OkOnly + MsgStyle::Critical;
constexpr int AskYesNo = MsgStyle::YesNo + MsgStyle::Question;
constexpr int AskYesNoCancel = MsgStyle::YesNoCancel + MsgStyle::Question;

// clang-format off
constexpr Entry Entries[] = {
    {Kind::Notice, 1, "Spell Checker has now finished checking your document.",
     Info, Title::Literal, "Spell Checker", false},
    {Kind::Notice, 3, "The text '{1}' has been found '{2}' time{s2}.",
     Info, Title::Literal, "Find", false},
    {Kind::Notice, 6, "The text '{1}' have all been replaced by '{2}' {3} time{s3}.",
     Info, Title::Literal, "Replace", false},
    // Go To with a line number of 0, or one that is empty or not a number.
    {Kind::Notice, 8, "Please enter a line number of 1 or more.",
     Warn, Title::Literal, "Go To", false},
    {Kind::Notice, 9, "The line number entered is larger than the current {1} lines available.",
     Warn, Title::Literal, "Go To", false},
    {Kind::Notice, 10, "There is a problem saving the document '{1}'. This is possibly a read-only document.",
     Warn, Title::Literal, "Save", false},
    {Kind::Notice, 12, "You cannot enter a value which leaves you with no room to print.",
     Warn, Title::Literal, "Page Setup", false},
    {Kind::Notice, 13, "There is no printer installed. You will not be able to use the printer functions.",
     Stop, Title::ProgramFolder, nullptr, true},
    {Kind::Notice, 14, "There are problems reading {1} so the details will be only partly available.",
     Warn, Title::Literal, "Properties", false},
    {Kind::Notice, 15, "{1} is either an invalid format or the document is corrupt. {CRLF} Try re-saving the image to a different name from within a paint package and trying again.",
     Stop, Title::Program, nullptr, true},
    {Kind::Notice, 19, "The document '{1}' cannot be reopened. The document may no longer exist.",
     Warn, Title::Literal, "ReOpen", false},
    {Kind::Notice, 22, "There is a problem with reading TGA 16 bit format, please try another format.",
     Warn, Title::Literal, "Picture", false},
    {Kind::Notice, 24, "You have reached the limit of documents that can be opened in a session, sorry.{CRLF}You could always close {title} and re-launch it.",
     Stop, Title::Program, nullptr, true},
    {Kind::Notice, 25, "The document {1} is no longer available and will now be removed from the list.",
     Warn, Title::Program, nullptr, false},
    // Opening and saving: why a file could not be read or written (the file is left as it was).
    {Kind::Notice, 40, "The document '{1}' cannot be opened. You may not have permission to read it, or it may be damaged on the disk.",
     Warn, Title::Literal, "Open", false},
    {Kind::Notice, 41, "'{1}' cannot be opened as a document because it is a {2}, not a file.",
     Warn, Title::Literal, "Open", false},
    {Kind::Notice, 42, "The name '{1}' contains characters that cannot be shown, so the file cannot be used under this name. Please rename the file and try again.",
     Warn, Title::Program, nullptr, false},
    {Kind::Notice, 43, "The document '{1}' cannot be found. It may have been moved, renamed or deleted.",
     Warn, Title::Literal, "Open", false},
    {Kind::Notice, 44, "There is a problem saving the document '{1}'. The folder it is in cannot be written to.",
     Warn, Title::Literal, "Save", false},
    {Kind::Notice, 45, "There is not enough room on the disk to save the document '{1}'. The copy on the disk has not been changed.",
     Warn, Title::Literal, "Save", false},
    {Kind::Notice, 46, "The document cannot be saved as '{1}' because that is a {2}, not a file.",
     Warn, Title::Literal, "Save", false},
    {Kind::Notice, 47, "There is a problem saving the document '{1}'. The system reports: {2}.",
     Warn, Title::Literal, "Save", false},
    {Kind::Notice, 48, "The document '{1}' has been changed by another program since it was opened here. Saving it will ask before replacing those changes.",
     Info, Title::Program, nullptr, false},
    {Kind::Notice, 49, "The settings file '{1}' is not an ordinary file, so your settings cannot be read or kept. {title} will use its default settings this time.",
     Warn, Title::Program, nullptr, false},
    {Kind::Notice, 61, "The document '{1}' has a paragraph of {2} characters, more than {title} can show in one paragraph ({3}). It has not been opened.",
     Warn, Title::Literal, "Open", false},
    {Kind::Notice, 50, "The settings file was damaged and has been put aside as '{1}'. {title} is using its default settings.",
     Warn, Title::Program, nullptr, false},
    {Kind::Notice, 51, "The document '{1}' is open in another window. Please close that window first, or choose another name.",
     Warn, Title::Literal, "Save As", false},

    {Kind::Question, 2, "Are you really sure you want to delete '{1}' to the Recycle Bin ?",
     AskYesNo + MsgStyle::DefaultButton2, Title::Literal, "Clear Picture", false},
    {Kind::Question, 3, "The document '{1}' already exists.{CRLF}Do you really want to overwrite this ?",
     AskYesNo, Title::Literal, "Save As", false},
    {Kind::Question, 5, "Continuing will loose any unsaved changes for the {1}{CRLF}Do you want to continue ?",
     AskYesNo, Title::Literal, "ReOpen", false},
    {Kind::Question, 6, "Do you wish to save '{1}' before you close ?",
     AskYesNoCancel, Title::Program, nullptr, false},
    {Kind::Question, 8, "You have unsaved work, do you want to save first ?",
     AskYesNoCancel, Title::Literal, "New", false},
    {Kind::Question, 40, "The document '{1}' has been changed by another program since it was opened or last saved here.{CRLF}Do you want to replace it with this version ?",
     AskYesNo + MsgStyle::DefaultButton2, Title::Literal, "Save", false},
    {Kind::Question, 41, "The document '{1}' has been changed by another program.{CRLF}Do you want to load the new version ?",
     AskYesNo, Title::Program, nullptr, false},
    {Kind::Question, 42, "'{1}' is a plain text document, which cannot hold formatting or pictures.{CRLF}Do you want to save it without them ?",
     AskYesNo, Title::Literal, "Save", false},
    {Kind::Question, 60, "The document '{1}' is {2} MB. Opening it needs about {3} MB of memory and can leave {title} slow for a long time.{CRLF}Do you want to open it anyway ?",
     MsgStyle::YesNo + MsgStyle::Exclamation + MsgStyle::DefaultButton2, Title::Literal, "Open", false},
};
// clang-format on

const Entry *find(Kind kind, qint16 id)
{
    for (const Entry &e : Entries)
        if (e.kind == kind && e.id == id)
            return &e;
    return nullptr;
}

// Puts the texts into a template. Inserted texts are never scanned again, so a "{1}" typed by
// the user stays as typed.
QString fill(const char *templ, const std::array<QString, 4> &texts)
{
    const QString t = QString::fromLatin1(templ);
    QString out;
    out.reserve(t.size() + 64);
    qsizetype i = 0;
    while (i < t.size()) {
        const qsizetype open = t.indexOf(QLatin1Char('{'), i);
        if (open < 0) {
            out += QStringView(t).mid(i);
            break;
        }
        out += QStringView(t).mid(i, open - i);
        const qsizetype close = t.indexOf(QLatin1Char('}'), open);
        if (close < 0) {
            out += QStringView(t).mid(open);
            break;
        }
        const QStringView token = QStringView(t).mid(open + 1, close - open - 1);
        if (token.size() == 1 && token[0] >= QLatin1Char('1') && token[0] <= QLatin1Char('4'))
            out += texts[token[0].unicode() - '1'];
        else if (token.size() == 2 && token[0] == QLatin1Char('s'))
            out += MessageCatalogue::takesPlural(texts[token[1].unicode() - '1'])
                       ? QStringLiteral("s")
                       : QString();
        else if (token == QLatin1String("CRLF"))
            out += QStringLiteral("\r\n");
        else if (token == QLatin1String("title"))
            out += Identity::AppTitle;
        i = close + 1;
    }
    return out;
}

} // namespace

bool MessageCatalogue::takesPlural(const QString &count)
{
    const auto n = NumberText::parse(count);
    return !(n && *n == 1.0);
}

MessageCatalogue::Message MessageCatalogue::compose(Kind kind, qint16 id,
                                                    const std::array<QString, 4> &texts)
{
    const Entry *e = find(kind, id);
    if (!e)
        return {};
    Message m;
    m.text = fill(e->text, texts);
    m.style = e->style;
    m.beep = e->beep;
    switch (e->titleKind) {
    case Title::Literal:
        m.title = QString::fromLatin1(e->title);
        break;
    case Title::Program:
        m.title = Identity::AppTitle;
        break;
    case Title::ProgramFolder:
        m.title = AppPaths::programFolder();
        break;
    }
    return m;
}
