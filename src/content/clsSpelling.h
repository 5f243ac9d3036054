#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

#include "content/SpellingWords.h"

class RichTextBox;
class SpellingDictionary;
class frmSpelling;

// The spelling checker: finds the next word of a text control that the program's dictionary
// does not know, selects it, fills the spelling dialog with suggestions and carries out the
// dialog's Change, Ignore, Ignore All and Add commands.
class clsSpelling : public QObject
{
    Q_OBJECT
public:
    // The preferences that accept a word without looking it up.
    struct Checks
    {
        bool numbers = true;    // "Number Check": a digit 1 to 9 in the word
        bool capitals = true;   // "Capitals Check": only the capitals A to Z
        bool characters = true; // "Character Check": a character that is not a letter
        // The current values under "\frmPrefs\Items"; missing or unreadable values read as on,
        // as the preferences dialog shows them on a clean store.
        static Checks read();
    };

    // What the dialog shows for one misspelt word.
    struct Suggestions
    {
        QString word;        // the unknown word
        QStringList items;   // the list's lines
        bool enabled = true; // false for "No Suggestions" and "Dictionary not found"
        int selected = -1;   // the preselected line, or -1
        QString replacement; // the replacement text
    };

    // A word found in a text (see SpellingWords).
    using Word = SpellingWords::Word;
    // At most this many suggestions are listed.
    static constexpr int MaxSuggestions = 10;

    explicit clsSpelling(QObject *parent = nullptr);
    ~clsSpelling() override;

    // Loads the dictionary unless it is loaded already, saying so on the status bar.
    void STARTUP();
    // Sets the text control to check.
    void TEXTBOX(RichTextBox *box);
    // Checks the control from its selection's end (fromCurrent) or from the start of its text.
    void SPELLCHECK(bool fromCurrent);
    // Replaces the selected word by the dialog's replacement and goes on.
    void CHGWORD();
    // Leaves the selected word and goes on.
    void IGNOREWORD();
    // Accepts the dialog's word for the rest of the run and goes on.
    void IGNOREALL();
    // Adds the dialog's word to the dictionary (saved later) and goes on.
    void ADDTODICT();
    // Appends the words added since the last save to the word list file; false (after telling
    // the user) when the file could not be written.
    bool SAVEDICT();

    RichTextBox *textBox() const;
    // The dialog while a check is running, else nullptr.
    frmSpelling *dialog() const;

    // Whether word is correct under the given preferences and dictionary.
    static bool judge(QStringView word, const Checks &checks, const SpellingDictionary &dictionary);
    // The dialog's contents for a misspelt word: the dictionary's words closest to it, best
    // first and selected, capitalised as the word is.
    static Suggestions suggest(const QString &word, const SpellingDictionary &dictionary);
    // The first word from `from` that judge() rejects, under the preferences as they are now.
    static std::optional<Word> nextMisspelt(QStringView text, int from,
                                            const SpellingDictionary &dictionary);

signals:
    // Before the dialog's word is added; setting cancel makes Add do nothing.
    void BeforeAdd(const QString &word, bool &cancel);
    // Before the selected word is replaced; setting cancel makes Change do nothing.
    void BeforeChange(const QString &word, const QString &replacement, bool &cancel);
    // The dictionary was saved.
    void Saved();
    // Checking reached the end of the text.
    void Finished();
    // A status bar text while working; empty to restore the usual description.
    void Status(const QString &text);

private:
    void findNext();
    void finish();
    void closeDialog();

    QPointer<RichTextBox> m_box;
    QPointer<frmSpelling> m_dialog;
    bool m_running = false;
};
