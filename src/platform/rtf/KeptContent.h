#pragma once

#include <QByteArray>
#include <QColor>
#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTextFormat>
#include <QTextObjectInterface>

#include <vector>

class QTextDocument;

// What an RTF document holds that the control does not show, kept so that a save writes it
// back: document-wide groups in a store attached to the QTextDocument, and content anchored in
// the text as inline objects that travel with the text they stand in.
//
// Document-wide (Store, one per document, set by the reader, read by the writer):
//   the font and colour tables as numbered in the file (kept groups refer to those numbers, so
//   the writer keeps them), the document's code page, the style sheet, the \info group and its
//   summary, other groups of the header (\*\generator, \*\rsidtbl, ...), and the document and
//   first section formatting (page size, margins, orientation, \sectd ..., headers and
//   footers of the first section).
// Anchored (an object character U+FFFC whose format has objectType() KeptObject):
//   footnotes and endnotes (shown as their reference mark), bookmark starts and ends,
//   annotations, fields that show no result, `\*` destinations the reader does not know, all
//   as their RTF bytes; and hidden text (\v), as its text with the object's formatting. An edit
//   elsewhere keeps them; deleting the object's character deletes what it stands for. Copy and
//   paste carry them with the text.
// Sections after the first: the first block of each has SectionRtf, the section's formatting
//   and headers and footers as read; the paragraph before it ends with \sect.
namespace KeptContent {

enum : int {
    // objectType() of the inline object standing for kept content.
    KeptObject = QTextFormat::UserObject + 7,
};

enum Property : int {
    KeptRtf = QTextFormat::UserProperty + 40, // QByteArray: written back as it is
    KeptShown,                                // QString: what the object shows (a note's mark)
    HiddenText, // QString: hidden text, written back as \v text with the object's format
    SectionRtf, // QByteArray on a block: the section that starts there, as read
    FieldStack, // QByteArrayList on text: the fields the text is the result of, outermost
                // first, each "<number> {\field...{\*\fldinst ...}" (the field's RTF up to
                // its result; the number keeps neighbouring fields apart; "e<number>": the
                // result was made by the reader and is not written)
    LinkLook,   // bool on a link's text: its colour and underline are the look of a link,
                // given by the reader, not the file's
};

// The document summary of the \info group, as the Properties dialog shows it.
struct Summary
{
    QString title, subject, author, company, keywords, comment, operatorName, category, manager;
    QDateTime created, revised, printed;

    bool isEmpty() const;
};

struct Font
{
    int number = 0;
    QString name;
    int charset = -1; // -1 when the file gives none
};

struct Store
{
    int codePage = 1252;  // \ansicpg
    int defaultFont = -1; // \deff, -1 when the file gives none
    std::vector<Font> fonts;
    QList<QColor> colors;  // entries from the second on (the first is "automatic")
    QByteArray styleSheet; // "{\stylesheet ...}"
    QByteArray info;       // "{\info ...}"
    Summary summary;
    QByteArray header;   // other groups of the header, in their order
    QByteArray sections; // document and first-section formatting words and groups

    // True when the document has nothing kept that a save must write.
    bool isEmpty() const;
};

// The store of a document, or nullptr when it has none (not read from RTF, or plain text).
const Store *store(const QTextDocument &document);
// Attaches a store to the document, replacing any; an empty store removes it.
void setStore(QTextDocument &document, Store store);

// Parses an "{\info ...}" group (its bytes as read, in the document's code page).
Summary parseInfo(QByteArrayView group, int codePage);

// An inline object's format standing for kept content.
QTextCharFormat objectFormat(const QTextCharFormat &base, const QByteArray &rtf,
                             const QString &shown = QString());
QTextCharFormat hiddenTextFormat(const QTextCharFormat &base, const QString &text);
bool isKeptObject(const QTextFormat &format);

// Where the bookmark of that name starts, as a document position; -1 when there is none.
int bookmarkPosition(const QTextDocument &document, const QString &name);

// Makes the document's layout size and draw kept objects (a note's mark; nothing for the
// rest). Without it they take no room. Call again after the document's layout changes.
void installHandler(QTextDocument &document);

} // namespace KeptContent
