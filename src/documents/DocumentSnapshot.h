#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTextDocument>
#include <memory>

class QTextBlock;
class QTextCursor;
class QTextList;

// Copies a document a slice at a time while it stays open for editing, so that copying even a
// very large document never holds up typing. Each step copies whole paragraphs for a given
// time; edits made between steps are carried into the part already copied. Once complete, the
// copy equals the document as it is at that moment and can be handed to another thread.
class DocumentSnapshot : public QObject
{
public:
    explicit DocumentSnapshot(QTextDocument &source);
    ~DocumentSnapshot() override;

    // Copies the next paragraphs until about budgetMicros have passed (at least one slice).
    // True when the copy is complete.
    bool step(qint64 budgetMicros);
    // Copies everything that is left at once.
    void finish() { step(-1); }
    bool isComplete() const;
    // False when the source went away or its changes could not be followed.
    bool isValid() const { return m_valid; }
    // How far the copy has come, 0 to 1.
    double progress() const;

    // The finished copy, owned by the caller, with no thread affinity (it can be read on any
    // one thread). nullptr unless complete and valid.
    std::unique_ptr<QTextDocument> take();

private:
    void onSourceChange(int position, int removed, int added);
    // Replaces the copy's [copyFrom, copyTo) with the source's [from, to).
    bool copyRange(int from, int to, int copyFrom, int copyTo);
    // The start of the top-level paragraph or table holding position.
    int unitStart(int position) const;
    // The end (one past the paragraph mark) of the top-level paragraph or table holding position.
    int unitEnd(int position) const;
    int sourceEnd() const;
    // Removes the copy's empty paragraph at position; false when there is none.
    static bool removeEmptyParagraph(QTextCursor &cc, int position);
    // Gives the copy's paragraph c the format and list of the source's paragraph s.
    void copyParagraphFormat(const QTextBlock &s, const QTextBlock &c);
    // The copy's list standing for the source's list (made, holding at's paragraph, the first
    // time).
    QTextList *copyListFor(QTextList *list, QTextCursor &at);
    void copyDocumentProperties();

    QPointer<QTextDocument> m_source;
    std::unique_ptr<QTextDocument> m_copy;
    // The source's [0, m_copied) is in the copy, at the same positions.
    int m_copied = 0;
    // The end of the source has been copied.
    bool m_done = false;
    bool m_valid = true;
    // The source's length when last seen, to tell how much an edit added or removed.
    int m_sourceCount = 0;
    // Source list (by object index) → the copy's list, so a list copied in several slices
    // stays one list.
    struct ListCopy
    {
        QPointer<QTextList> source;
        QPointer<QTextList> copy;
    };
    QHash<int, ListCopy> m_lists;
    // Paragraphs per slice, adapted to the time budget.
    int m_sliceBlocks = 64;
};
