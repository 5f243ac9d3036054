#pragma once

#include <QString>
#include <QStringView>
#include <optional>

// Where the words of a text are for the spelling checker. A word is a run of letters and digits
// (with the marks that combine with them); an apostrophe between a letter or digit and a letter
// stays inside ("don't", "parish's", "o'clock", also typed as U+2019), and so do ".", ",", ":"
// and "/" between two digits ("3.5", "1,000", "10:30"). Everything else is a boundary, so the
// punctuation around a word (quotes, brackets, commas, full stops, colons, dashes) is not judged
// and a hyphenated word is judged part by part. Pieces that hold no letter, and pieces that
// start with a number (their value is not zero, as "2nd" or "3.5"), are not words. E-mail
// addresses and web addresses (the whole piece between two spaces) are skipped.
namespace SpellingWords {

struct Word
{
    int start = 0;  // offset of the word's first character in the text
    int length = 0; // characters of the text that the word covers
    QString text;   // the word as judged: apostrophes as "'", soft hyphens left out
};

// The first word that starts at or after `from`; nullopt at the end of the text. A word that
// `from` cuts is judged from `from` on, as a word of its own.
std::optional<Word> next(QStringView text, int from);

// Whether a piece of text between two blanks is an e-mail address ("name@host.org") or a web
// address ("https://...", "www.example.org", "mailto:..."), brackets and quotes around it aside.
bool isAddress(QStringView piece);

} // namespace SpellingWords
