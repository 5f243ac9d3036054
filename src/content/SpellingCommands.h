#pragma once

#include <QString>
#include <functional>

class RichTextBox;
class clsSpelling;

// The spelling commands the main window calls.
namespace SpellingCommands {

// Where the commands' status bar texts go; an empty text asks for the usual description back.
void setStatusHandler(std::function<void(const QString &)> handler);

// The program's spelling engine, created on first use.
clsSpelling &engine();

// Edit > Spell Checker: checks the active document's text control from the caret (or from the
// start when the caret is near the start), showing the spelling dialog for each unknown word.
void EDITSPELLCHECK(RichTextBox *active);
// Loads the dictionary now (start-up, when the preferences ask for loading at start-up).
void STARTUP();
// Saves the words the user added to the dictionary (the program is closing); false when they
// could not be written, after telling the user.
bool SAVEDICT();
// Unloads the spelling dialog if it is loaded.
void UNLOAD();

} // namespace SpellingCommands
