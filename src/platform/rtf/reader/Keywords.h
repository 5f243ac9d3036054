#pragma once

#include "platform/rtf/reader/Reader.h"

#include <initializer_list>
#include <string_view>
#include <unordered_map>

namespace RtfRead {

// A control word's handler and the handler's own code for it.
struct Keyword
{
    Kind kind = Kind::Tokenizer;
    quint16 code = 0;
};

// Control words are short: a byte-wise hash inline beats the library's general one.
struct WordHash
{
    size_t operator()(std::string_view w) const noexcept
    {
        size_t h = 2166136261u;
        for (char c : w)
            h = (h ^ static_cast<unsigned char>(c)) * 16777619u;
        return h;
    }
};
using KeywordTable = std::unordered_map<std::string_view, Keyword, WordHash>;

struct WordCode
{
    const char *word;
    quint16 code;
};

inline void addWords(KeywordTable &table, Kind kind, std::initializer_list<WordCode> words)
{
    for (const WordCode &w : words)
        table[w.word] = Keyword{kind, w.code};
}

// The handler of a control word, or nullptr for a word no one knows.
const Keyword *findKeyword(std::string_view word);

// Each handler adds its words (in Keywords.cpp's order: a later handler may claim a word).
void addFormattingWords(KeywordTable &table);
void addFontWords(KeywordTable &table);
void addListWords(KeywordTable &table);
void addPictureWords(KeywordTable &table);
void addFieldWords(KeywordTable &table);
void addTableWords(KeywordTable &table);
void addKeptWords(KeywordTable &table);

} // namespace RtfRead
