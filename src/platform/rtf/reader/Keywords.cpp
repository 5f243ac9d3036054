#include "platform/rtf/reader/Keywords.h"

namespace RtfRead {

const Keyword *findKeyword(std::string_view word)
{
    static const KeywordTable table = [] {
        KeywordTable t;
        addKeptWords(t);
        addWords(t, Kind::Tokenizer, {{"rtf", 0}, {"bin", 0}});
        addFontWords(t);
        addPictureWords(t);
        addFieldWords(t);
        addListWords(t);
        addFormattingWords(t);
        addTableWords(t);
        return t;
    }();
    const auto it = table.find(word);
    return it == table.end() ? nullptr : &it->second;
}

} // namespace RtfRead
