#pragma once

#include <QDialog>

#include "content/clsSpelling.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// The spelling dialog: shows a misspelt word with suggestions and hands the user's choice to
// the spelling engine, which selects the words and fills the dialog. Modal.
class frmSpelling : public QDialog
{
    Q_OBJECT
public:
    // Loads the dialog for engine; its placement is restored from the settings store.
    explicit frmSpelling(clsSpelling *engine, QWidget *parent = nullptr);
    // Unloads the dialog, saving its placement.
    ~frmSpelling() override;

    // Shows the engine's word, suggestions and replacement.
    void showSuggestions(const clsSpelling::Suggestions &suggestions);
    // The word in the word box.
    QString unknownWord() const;
    // The replacement text.
    QString replacement() const;

private:
    // Runs one engine command with the busy mouse pointer.
    template <typename F> void busy(F command);
    void suggestionChosen(int row);

    clsSpelling *m_engine;
    QLabel *LBLUNKNOWN;
    QLineEdit *TXTUNKNOWN;
    QLabel *LBLREPLACE;
    QLineEdit *TXTREPLACE;
    QLabel *LBLSUGGESTIONS;
    QListWidget *LSTSUGGESTIONS;
    QPushButton *BTNREPLACE;
    QPushButton *BTNIGNORE;
    QPushButton *BTNIGNOREALL;
    QPushButton *BTNADD;
    QPushButton *BTNCLOSE;
};
