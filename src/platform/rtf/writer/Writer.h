#pragma once

// The RTF writer's inside: one Writer walks the document (Document.cpp) and writes each kind
// of content through its own piece.
//
//   Document.cpp    the walk over blocks, text escaping, the header's font and colour tables
//   Formatting.cpp  character and paragraph formatting
//   Lists.cpp       list paragraphs, their markers, the list and override tables
//   Pictures.cpp    pictures
//   Kept.cpp        fields, content kept though not shown, sections, the document's store
//   Tables.cpp      tables

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextBlock>
#include <QTextFormat>
#include <QTextFrame>

#include <vector>

class QIODevice;
class QTextDocument;
class QTextList;
class QTextTable;

namespace KeptContent {
struct Store;
}

namespace RtfWrite {

// Character formatting as the writer tracks it between runs.
struct CharState
{
    int font = 0;
    int halfPoints = 24;
    int color = 0;
    int highlight = 0;
    int offsetHalfPoints = 0;
    int vertical = 0;
    int underline = 0;
    int caps = 0; // 1 all capitals, 2 small capitals
    bool bold = false, italic = false, strike = false, hidden = false;
    bool rtl = false; // \rtlch: the run is right-to-left text
};

struct ParaState
{
    int align = 0;
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    QList<int> tabs;
    QList<int> tabKinds;
    bool pageBreakBefore = false;
    bool rtl = false; // \rtlpar
    const QTextList *list = nullptr;
    int level = 0;
    int depth = 0; // table depth

    bool operator==(const ParaState &) const = default;
};

bool isSymbolFont(const QString &name);

// A length kept in exact twips beside its pixel value: the twips win while they still agree
// with the pixels (the control may have changed only the pixel value).
int twips(const QTextFormat &f, int twipsProperty, qreal pixels);

class Writer
{
public:
    Writer(const QTextDocument &doc, int from, int to);

    QByteArray run();
    // Writes to out as it goes, holding little more than a chunk of the body at a time: the
    // body waits in an unnamed temporary file until the header (known only at the end) is
    // written. False when a write to out failed.
    bool run(QIODevice &out);

private:
    // Document.cpp
    void walk();
    // Moves the body written so far to the temporary file once it holds a chunk's worth.
    void spillBody();
    // Writes a paragraph, ended by the mark word ("par", "cell"...) when one is given.
    void writeBlock(const QTextBlock &block, const char *mark);
    bool opensFrameBeforeTable(QTextFrame::iterator it) const;
    void writeText(QStringView text);
    void word(const char *w);
    void word(const char *w, int param);
    int fontIndex(const QString &name);
    int colorIndex(const QColor &c);
    QByteArray header();

    // Formatting.cpp
    void writeParagraphProps(const QTextBlock &block);
    void writeCharFormat(const QTextCharFormat &f, int formatIndex = -1);
    void writeCharState(const CharState &s);
    CharState charState(const QTextCharFormat &f);
    ParaState paraState(const QTextBlockFormat &f);

    // Lists.cpp
    void useSymbolFontForLists();
    void listParagraph(const QTextBlock &block, ParaState &p);
    void writeListProps(const ParaState &p);
    void writeListMarker(const QTextBlock &block);
    int listIndex(const QTextList *list);
    QByteArray listTables();

    // Pictures.cpp
    void writePicture(const QTextImageFormat &f);

    // Kept.cpp
    void useStoredTables();
    QByteArray storedHeader() const;
    QByteArray storedSections() const;
    void writeKeptObject(const QTextCharFormat &f);
    // Closes and opens fields so that the text written next is inside the fields of stack;
    // with open false, only closes those not in stack.
    void syncFields(const QByteArrayList &stack, bool open = true);
    QByteArrayList fieldStack(const QTextCharFormat &f, int formatIndex);
    QByteArrayList firstFieldStack(const QTextBlock &block);
    void writeSectionStart(const QTextBlock &block);
    // Tables.cpp
    void writeTable(const QTextTable &table, int depth);
    QByteArray rowDefinition(const QTextTable &table, int row, const QList<int> &widths, int left);
    QByteArray borderWords(const QVariant &border);
    bool rowHasTables(const QTextTable &table, int row) const;

    const QTextDocument &m_doc;
    int m_from, m_to;
    QByteArray m_body;
    int m_spill = -1;     // the temporary file the body goes to, or -1: it stays in m_body
    qint64 m_spilled = 0; // bytes of the body in the temporary file
    bool m_spilling = false;
    bool m_delimit = false; // the last thing written was a control word
    QString m_defaultFont;
    int m_defaultFontNumber = 0; // \deff
    int m_defaultHalfPoints = 24;
    struct Font
    {
        int number;
        QString name;
        int charset; // -1: none written
    };
    QList<Font> m_fonts;
    QHash<QString, int> m_fontIndex;  // name -> number
    QHash<int, qsizetype> m_fontSlot; // number -> index in m_fonts
    int m_nextFont = 0;
    QList<QRgb> m_colors; // AutoColor for an "automatic" entry kept from the file
    QHash<QRgb, int> m_colorIndex;
    QList<const QTextList *> m_lists;
    CharState m_char;
    QHash<int, CharState> m_charStates; // by the document's format index
    QHash<int, ParaState> m_paraStates;
    ParaState m_para;
    bool m_paraWritten = false;
    int m_depth = 0; // table depth of the paragraphs being written
    int m_symbolFont = -1;
    bool m_symbolRun = false; // the current font is a symbol font
    // The current font's 8-bit text is Windows-1252, so characters of it may go as \'hh.
    bool m_bytesRun = true;

    const KeptContent::Store *m_store = nullptr; // what the document keeps, or none
    int m_codePage = 1252;                       // \ansicpg
    bool m_whole = false;                        // the whole document is written
    QByteArrayList m_openFields;                 // fields written around the text, outermost first
    struct FieldOuter
    {
        CharState chr;  // the formatting outside the field
        int paragraphs; // m_paragraphsWritten when it opened
    };
    std::vector<FieldOuter> m_fieldOuter;
    QHash<int, QByteArrayList> m_fieldStacks; // by the document's format index
    int m_silent = 0;                         // open fields whose result is not written
    QTextBlock m_block;                       // the block being written
    int m_paragraphsWritten = 0;              // paragraph formattings written so far
};

// An "automatic" entry of the colour table kept from the file.
constexpr QRgb AutoColor = 0xFFFFFFFFu;

} // namespace RtfWrite
