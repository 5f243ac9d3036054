#pragma once

#include <QString>
#include <QTextBlock>
#include <array>
#include <vector>

class QTextDocument;

// Finds a text that holds no paragraph or line break in a document, front to back, one
// paragraph's text at a time (never the whole text, and nothing is laid out). Positions given
// are document positions; hits are reported as the control's text positions, where every
// paragraph break counts two ("\r\n"). Successive calls that move forward go on from the
// paragraph already read.
class TextSearch
{
public:
    TextSearch(const QTextDocument &doc, const QString &text, Qt::CaseSensitivity cs);

    // The first hit starting at or after document position `from` and ending at or before
    // document position `limit`: its text position, or -1.
    qsizetype next(int from, int limit);

    // The last hit's document position, and the characters either side of it (a paragraph
    // separator at a break, a null character at either end of the document).
    int hitPosition() const { return m_hit; }
    QChar before() const { return m_before; }
    QChar after() const { return m_after; }

private:
    qsizetype indexIn(QStringView within, qsizetype from) const;
    void moveTo(const QTextBlock &block);

    const QTextDocument &m_doc;
    bool m_foldCase;
    std::vector<char16_t> m_text; // case folded when the case does not matter
    std::array<unsigned char, 256> m_skip{};
    QTextBlock m_block; // the paragraph read
    int m_blockStart = 0;
    qsizetype m_textStart = 0; // its text position
    QString m_para;
    int m_hit = -1;
    QChar m_before;
    QChar m_after;
};
