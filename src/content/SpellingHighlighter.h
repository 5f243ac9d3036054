#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <optional>

class RichTextBox;

// Checking as you type: underlines the words of a text control that the dictionary does not
// know with a red wavy line. The underlines are the control's extra selections, drawn over the
// text: the document, its formatting, its modified flag and its undo history are not touched.
// Only the paragraphs on screen are checked, after each change, scroll or resize, so a long
// document costs no more than a short one. The word being typed (the caret at its end, just
// after an edit there) is left alone until the caret leaves it.
class SpellingHighlighter : public QObject
{
    Q_OBJECT
public:
    // Attaches to box (the highlighter is its child); on when the preference says so.
    explicit SpellingHighlighter(RichTextBox *box);
    ~SpellingHighlighter() override;

    // The highlighter of box, or nullptr.
    static SpellingHighlighter *of(RichTextBox *box);
    // Whether the preference "Check As You Type" is on (the default).
    static bool preferenceOn();
    // After the dictionary or the preferences changed: every highlighter checks again, and is
    // switched on or off by the preference.
    static void refreshAll();

    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // Checks the text on screen now instead of at the next turn of the event loop.
    void refresh();

    // An underlined word: its place in the control's Text() and its text.
    struct Misspelt
    {
        int start = 0;
        int length = 0;
        QString word;
    };
    // The underlined word at a position of the control's Text(), if any.
    std::optional<Misspelt> misspeltAt(int textPos) const;
    // Every underlined word, in text order.
    QList<Misspelt> underlined() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void schedule();
    void check();

    QPointer<RichTextBox> m_box;
    QTimer m_timer;
    bool m_enabled = false;
    int m_lastEdit = -1; // document position just after the last edit, while typing there
};
