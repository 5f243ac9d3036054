#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// The word list file "Words.dic": one word per line, lines ended by CR LF, 8-bit text.
namespace WordList {

// The file is read in blocks of this many bytes; a line cut by a block's end is joined to the
// start of the next block, so every word is loaded whole.
inline constexpr qsizetype BlockSize = 65536;
// A line longer than this many bytes is not a word and is skipped (keeps a damaged file from
// making one huge entry).
inline constexpr qsizetype MaxWordBytes = 1024;

// Splits a word list into lines, block by block. Line ends are CR LF; a lone CR or LF also ends a
// line, so lists edited with other line ends still load. Empty and blank lines are skipped, and
// spaces and tabs around a word are dropped. Each line is UTF-8 when it is valid UTF-8, otherwise
// Windows-1252.
class Reader
{
public:
    // Takes the next block of the file.
    void feed(QByteArrayView block);
    // Ends the file: the last line needs no line end.
    void finish();
    // The words read so far, in file order.
    const QStringList &words() const { return m_words; }
    QStringList takeWords() { return std::move(m_words); }

private:
    void endLine();

    QByteArray m_line;
    bool m_overlong = false;
    QStringList m_words;
};

// Every word of a whole file, in file order.
QStringList parse(QByteArrayView bytes);

// Calls sink(QStringView word) for every word of a whole file, in file order, as parse() reads
// them; the view is valid only during the call. Faster than parse() for a long list.
void scan(QByteArrayView bytes, void (*sink)(void *context, QStringView word), void *context);
template <typename F> void forEachWord(QByteArrayView bytes, F &&f)
{
    scan(
        bytes, [](void *c, QStringView w) { (*static_cast<F *>(c))(w); }, &f);
}

// One word as a line of the file, CR LF included: Windows-1252 when the code page has every
// character of the word, otherwise UTF-8.
QByteArray encodeLine(QStringView word);

} // namespace WordList
