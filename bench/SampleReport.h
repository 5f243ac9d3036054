#pragma once

#include <QByteArray>
#include <functional>

// The generated document the benchmarks read: a long report with fonts, sizes, colours, bold
// and italic runs, alignment, indents, tabs, bullets, accented and Greek letters, the same at
// every run.
namespace SampleReport {

struct Options
{
    bool cyrillic = false; // also words in a Cyrillic (charset 204) font
    // Called at the start of each paragraph's text with its number, to add words of its own.
    std::function<void(QByteArray &out, int paragraph)> lead;
};

inline QByteArray generate(int paragraphs, qsizetype reserve, const Options &options = {})
{
    QByteArray out;
    out.reserve(reserve);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\froman\\fcharset0 Times New "
           "Roman;}{\\f1\\fswiss\\fcharset0 Arial;}{\\f2\\fmodern\\fcharset0 Courier New;}"
           "{\\f3\\fnil\\fcharset2 Symbol;}{\\f4\\fswiss\\fcharset204 Arial Cyr;}}\r\n"
           "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128"
           "\\blue0;}\r\n\\uc1\\pard\\f0\\fs24 ";
    const char *words[] = {"pamphlet", "the",       "committee", "meeting", "Tuesday",
                           "caf\\'e9", "agenda",    "of",        "and",     "notice",
                           "members",  "treasurer", "report",    "will",    "be"};
    unsigned seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7FFF;
    };
    for (int p = 0; p < paragraphs; ++p) {
        switch (p % 10) {
        case 0:
            out += "\\pard\\qc\\sb120\\sa60 ";
            break;
        case 3:
            out += "\\pard\\li720\\ri360\\fi-360\\tx1440\\tx2880 ";
            break;
        case 5:
            out += "\\pard{\\pntext\\f3\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf3{\\pntxtb\\'b7}}"
                   "\\fi-360\\li720 ";
            break;
        case 7:
            out += "\\pard\\qj ";
            break;
        case 8:
            out += "\\pard ";
            break;
        default:
            break;
        }
        if (options.lead)
            options.lead(out, p);
        int length = 0;
        while (length < 150) {
            const unsigned r = next();
            static const char *const opens[] = {"{\\b ", "{\\i ", "{\\cf1 ", "{\\f1\\fs20 ",
                                                "{\\ul\\cf2 "};
            out += r % 12 < 5 ? opens[r % 12] : "{";
            for (int w = 0; w < 3; ++w) {
                const char *word = words[next() % 15];
                out += word;
                out += ' ';
                length += int(qstrlen(word)) + 1;
            }
            if (r % 17 == 0)
                out += "\\u945?\\u946? ";
            if (options.cyrillic && r % 19 == 0)
                out += "{\\f4 \\'cf\\'f0\\'e8} ";
            if (r % 23 == 0)
                out += "\\tab ";
            out += "}";
        }
        out += "\\par\r\n";
    }
    out += "}";
    return out;
}

} // namespace SampleReport
