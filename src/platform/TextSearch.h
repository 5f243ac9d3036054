#pragma once

#include <QString>
#include <QTextBlock>
#include <array>
#include <atomic>
#include <vector>

class QTextDocument;

// Finds a text that holds no paragraph or line break in a document, front to back, one
// paragraph at a time, reading the text where the document keeps it: a paragraph is copied only
// when its text lies in more than one piece, never the whole text, and nothing is laid out.
// Positions given are document positions; hits are reported as the control's text positions,
// where every paragraph break counts two ("\r\n"). Successive calls that move forward go on
// from the paragraph already read; the document must not change between calls.
class TextSearch
{
public:
    TextSearch(const QTextDocument &doc, const QString &text, Qt::CaseSensitivity cs);

    // The first hit starting at or after document position `from` and ending at or before
    // document position `limit`: its text position, or -1.
    qsizetype next(int from, int limit);

    // A flag another thread may raise to end a search early (between paragraphs), with -1.
    void setStopFlag(const std::atomic<bool> *stop) { m_stop = stop; }

    // The last hit's document position, and the characters either side of it (a paragraph
    // separator at a break, a null character at either end of the document).
    int hitPosition() const { return m_hit; }
    QChar before() const { return m_before; }
    QChar after() const { return m_after; }

private:
    qsizetype indexIn(QStringView within, qsizetype from) const;
    void seek(int position);
    void readParagraph(const QChar *store);
    void skip(int count);

    const QTextDocument &m_doc;
    bool m_foldCase;
    std::vector<char16_t> m_text; // case folded when the case does not matter
    std::array<unsigned char, 256> m_skip{};
    QTextBlock m_block; // the paragraph read
    int m_blockStart = 0;
    qsizetype m_textStart = 0;    // its text position
    QStringView m_para;           // its text: in the document's store or in m_copy
    std::vector<char16_t> m_copy; // a paragraph whose text lies in several pieces
    unsigned m_piece = 0;         // where the next paragraph's text starts: a piece of the
    int m_offset = 0;             // document's text and how far into it
    const std::atomic<bool> *m_stop = nullptr;
    int m_hit = -1;
    QChar m_before;
    QChar m_after;
};
