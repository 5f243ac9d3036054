#pragma once

// The RTF reader's inside: the tokenizer and document builder (class Reader) and the
// destination handlers, one per kind of content, that it hands control words to.
//
//   Tokenizer.cpp   bytes → groups, control words, text; the group stack
//   Builder.cpp     text runs, paragraphs and their formats, through one QTextCursor
//   Formatting.cpp  character and paragraph formatting words, special characters
//   Fonts.cpp       font and colour tables, the document's code page
//   Lists.cpp       \listtable, \listoverridetable, \pn; QTextLists for list paragraphs
//   Pictures.cpp    \pict and shapes
//   Fields.cpp      \field
//   Tables.cpp      \trowd ... \cell ... \row
//   KeptGroups.cpp  destinations not shown
//   Keywords.cpp    control word → (handler, code)

#include "platform/rtf/RtfEncoding.h"
#include "platform/rtf/RtfReader.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include <array>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

class QTextDocument;

namespace RtfRead {

// Group nesting beyond this is counted, not stored: deeper braces cannot change anything a
// real document needs, and the stack stays small whatever the input.
constexpr int MaxDepth = 10000;
constexpr int MaxTabs = 64;
constexpr int MaxWordLength = 32;

// Who handles a control word, a destination's text or the end of a group.
enum class Kind : quint8 {
    Body,       // as a destination: text goes into the document
    Discard,    // as a destination: text is dropped, control words still count
    Tokenizer,  // \rtf, \bin, \* handling
    Formatting, // character and paragraph formatting, special characters
    Fonts,      // font and colour tables, code pages
    Lists,
    Pictures,
    Fields,
    Tables,
    Kept,
    Count
};

// List marker kinds, shared by \pn paragraphs and \listtable levels.
enum class ListKind : quint8 {
    None,
    Bullet,
    Decimal,
    UpperAlpha,
    LowerAlpha,
    UpperRoman,
    LowerRoman
};

struct CharProps
{
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    int color = 0;
    int highlight = 0;
    int offsetHalfPoints = 0; // \up (positive) and \dn (negative)
    quint8 underline = 0;     // QTextCharFormat::UnderlineStyle
    qint8 vertical = 0;       // 1 superscript, -1 subscript
    bool bold = false, italic = false, strike = false, caps = false, smallCaps = false;
    bool hidden = false;
    // The fields (FieldsHandler::chain) this text is the result of; 0 for none.
    int fieldChain = 0;
    // \dbch text takes the associated properties (\afs, \ab, \ai) given in that mode.
    bool dbch = false;
    qint8 assocBold = -1, assocItalic = -1;
    int assocHalfPoints = 0;

    bool operator==(const CharProps &) const = default;
};

// The properties the text itself gets.
CharProps textProps(const CharProps &c);

struct CharPropsHash
{
    size_t operator()(const CharProps &p) const;
};

struct ParaProps
{
    int align = 0; // 0 left, 1 right, 2 centre, 3 justify
    int li = 0, ri = 0, fi = 0, sb = 0, sa = 0;
    QList<int> tabs;        // twips
    QList<quint8> tabKinds; // QTextOption::TabType
    quint8 nextTabKind = 0;
    int ls = 0, ilvl = 0;
    ListKind pnKind = ListKind::None;
    int pnLevel = 0;
    QString pnBefore, pnAfter;
    int pnStart = 1;
    bool pageBreakBefore = false;
    qint8 direction =
        0;        // 1 right-to-left (\rtlpar), -1 left-to-right (\ltrpar), 0 as the text goes
    int itap = 0; // table depth: 0 outside tables, 1 in a table, 2 in a table in a table...

    bool sameBlockFormat(const ParaProps &o) const
    {
        return align == o.align && li == o.li && ri == o.ri && fi == o.fi && sb == o.sb &&
               sa == o.sa && tabs == o.tabs && tabKinds == o.tabKinds &&
               pageBreakBefore == o.pageBreakBefore && direction == o.direction;
    }
};

// One group's state. Nested groups start as a copy of their parent's.
struct State
{
    // Where the group's text goes: the body, nowhere, or a handler's destination `destCode`.
    Kind dest = Kind::Body;
    quint8 destCode = 0;
    // A group whose end completes something (a list definition, a picture): the handler
    // that is told when it ends, and which of its groups. Inherited by nested groups.
    Kind group = Kind::Body;
    quint8 groupCode = 0;
    bool opener = false; // this group started `group`
    qsizetype start = 0; // where the group's "{" is in the data
    bool inShapeValue = false;
    int uc = 1;
    CharProps chr;
    ParaProps para;

    bool inDest(Kind kind, quint8 code) const { return dest == kind && destCode == code; }
    bool inGroup(Kind kind, quint8 code) const { return group == kind && groupCode == code; }
};

// Pending 8-bit text: bytes wait here until a whole character (of a double-byte code page)
// is there, then decode at once.
struct ByteText
{
    QByteArray bytes;
    const RtfEncoding::CodePage *page = nullptr;

    void decodeInto(QString &out, bool final);
};

class Reader;

// A kind of content: the control words that belong to it, the text of its destinations and
// the end of its groups.
class Handler
{
public:
    explicit Handler(Reader &reader) : m_reader(reader) {}
    virtual ~Handler() = default;
    Handler(const Handler &) = delete;
    Handler &operator=(const Handler &) = delete;

    // A control word of this kind; `code` is the handler's own, from the keyword table.
    virtual void word(quint16 code, bool hasParam, int param) = 0;
    // Text (one or more bytes) in one of this handler's destinations.
    virtual void text(quint8 dest, const char *p, qsizetype n);
    // A byte given as \'hh in one of this handler's destinations.
    virtual void byte(quint8 dest, char b);
    // A character given as \uN or a symbol (\~, \tab...) in one of this handler's destinations.
    virtual void character(quint8 dest, char16_t ch);
    // A group in one of this handler's destinations closed.
    virtual void destinationEnded(quint8 dest);
    // The group that opened `group` closed; `closing` is its state, already off the stack.
    virtual void groupEnded(quint8 group, State &closing);

protected:
    Reader &m_reader;
};

class FontsHandler;
class ListsHandler;
class PicturesHandler;
class FieldsHandler;
class TablesHandler;
class KeptGroupsHandler;

class Reader
{
public:
    Reader(QByteArrayView data, QTextDocument &document, bool keepFinalMark);
    ~Reader();

    // Reads all the data; `control`, when given, follows the progress and can stop the read.
    void run(Rtf::ReadControl *control = nullptr);

    // --- tokenizer (Tokenizer.cpp) ---
    State &state() { return m_stack.back(); }
    // How many groups are open.
    size_t groupDepth() const { return m_stack.size(); }
    bool hasState() const { return !m_stack.empty(); }
    // Skips the rest of the group just opened, to its closing brace, and drops the group.
    // Returns the bytes skipped (after the word that opened it, up to and with the brace).
    QByteArrayView skipGroup();
    // Skips the rest of the group just opened and returns all of it, braces included, as it
    // is in the data (empty for groups nested too deep to keep).
    QByteArray keepGroup();
    // The data from a position to where the reader is now.
    QByteArrayView dataSince(qsizetype from) const;
    // Starts skipping fallback characters after a \u.
    void skipFallback() { m_ucSkip = state().uc; }
    // The control word being handled is the first thing in its group (a destination).
    bool wordOpensGroup() const { return m_wordOpensGroup; }

    // --- document builder (Builder.cpp) ---
    QTextDocument &document() { return m_doc; }
    QTextCursor &cursor() { return m_cursor; }
    void addBytes(const char *p, qsizetype n);
    void addChar(char16_t ch);
    void flushBytes(bool final);
    void flushRun();
    void endParagraph();
    void ensureBlock();
    void pageBreak();
    // Where the next character goes (the cursor plus the run not yet inserted).
    int nextPosition() const { return m_cursor.position() + int(m_run.size()); }
    // A paragraph mark was read and the paragraph after it is not begun yet.
    bool blockPending() const { return m_blockPending; }
    bool blockHasContent() const { return m_blockHasContent; }
    // Whether anything went into the body yet (text, a paragraph, a picture).
    bool bodyStarted() const { return nextPosition() > 0 || m_blockHasContent || m_blockPending; }
    // Inserts one character standing for content that is not shown, with the format given.
    void insertObject(const QTextCharFormat &format);
    // The same for content that takes no room (a bookmark, a destination kept as read): read
    // between paragraphs, it waits for the next paragraph's content, so that it neither makes
    // a paragraph of its own nor gives one the formatting in force before the next \pard.
    // After the last paragraph it ends the last paragraph; a group that would then stand
    // before all content goes to the header when `headerWhenFirst` (as a group read there
    // does).
    void insertAnchor(const QTextCharFormat &format, bool headerWhenFirst = false);
    void setBlockHasContent()
    {
        m_blockHasContent = true;
        ++m_shown;
    }
    // Counts what went into the document: text runs, objects, pictures.
    quint64 shownCount() const { return m_shown; }
    QTextCharFormat charFormat(const CharProps &props);
    QTextBlockFormat blockFormat(const ParaProps &props);
    const RtfEncoding::CodePage &currentCodePage();
    // The document's code page or a font's changed.
    void codePagesChanged() { m_cpPage = nullptr; }

    // Where a table goes: after the paragraph in progress, and whether a page break was asked
    // for before it.
    struct Place
    {
        QTextCursor cursor;
        bool pageBreak = false;
    };
    // Ends the paragraph in progress, if it has content, so that what follows (a table)
    // stands after it; flushes pending text; returns where the builder was.
    Place leavePlace();
    // Goes on writing at the cursor's block, which is empty and formatted by what comes.
    void enterFreshBlock(const QTextCursor &cursor);
    // Takes the text of the paragraph in progress out of the document, as if it had not
    // begun (for a paragraph that turns out to be a table cell's).
    QTextDocumentFragment takeParagraph();
    int tableDepth() const { return m_tableDepth; }
    void setTableDepth(int depth) { m_tableDepth = depth; }
    // Makes the tables open match the current paragraph's depth.
    void syncTables();

    FontsHandler &fonts() { return *m_fonts; }
    ListsHandler &lists() { return *m_lists; }
    PicturesHandler &pictures() { return *m_pictures; }
    FieldsHandler &fields() { return *m_fields; }
    TablesHandler &tables() { return *m_tables; }
    KeptGroupsHandler &kept() { return *m_kept; }

private:
    void parseControl();
    void controlWord(std::string_view word, bool hasParam, int param);
    void controlSymbol(char c);
    void text(const char *p, qsizetype n);
    void pushGroup();
    void popGroup();
    Handler &handler(Kind kind) { return *m_handlers[size_t(kind)]; }

    void beginContent(const CharProps &props);
    void insertHidden();
    bool appendToHidden(const QTextCharFormat &format, QStringView text);
    void placeAnchors();
    void finishBlock();
    void finish();

    const char *m_data;
    qsizetype m_size;
    qsizetype m_pos = 0;
    QTextDocument &m_doc;
    QTextCursor m_cursor;
    bool m_keepFinalMark;

    std::vector<State> m_stack;
    int m_overflowDepth = 0;
    bool m_done = false;
    bool m_ignorable = false; // a \* came before this group's first control word
    bool m_fresh = false;     // nothing but "{" (and "\*") read in this group yet
    int m_ucSkip = 0;         // fallback characters still to skip after \u
    bool m_wordOpensGroup = false;
    // How the last skipGroup() ended: the groups still open when the data ran out, and where
    // a control word cut short by the end of the data began (-1: none).
    int m_skipOpen = 0;
    qsizetype m_skipCut = -1;

    std::array<std::unique_ptr<Handler>, size_t(Kind::Count)> m_handlers;
    FontsHandler *m_fonts = nullptr;
    ListsHandler *m_lists = nullptr;
    PicturesHandler *m_pictures = nullptr;
    FieldsHandler *m_fields = nullptr;
    TablesHandler *m_tables = nullptr;
    KeptGroupsHandler *m_kept = nullptr;

    int m_tableDepth = 0;
    int m_cpFont = -2;
    const RtfEncoding::CodePage *m_cpPage = nullptr;

    // current run and paragraph
    ByteText m_bytes;
    QString m_run;
    CharProps m_runProps;
    bool m_runPropsSet = false;
    std::unordered_map<CharProps, QTextCharFormat, CharPropsHash> m_formats;
    bool m_blockHasContent = false;
    quint64 m_shown = 0;
    // Waiting for the next paragraph's content; those kept in the header when nothing
    // precedes them are marked.
    std::vector<std::pair<QTextCharFormat, bool>> m_anchors;
    // A paragraph mark was read; its new block is inserted when something goes into it, with
    // the paragraph formatting in force then, which is usually the block's final formatting.
    bool m_blockPending = false;
    // The current block's formatting is exactly that of m_givenPara, with no list: a block
    // inserted as a paragraph mark inside a run copies it.
    bool m_blockPlain = false;
    bool m_nextPageBreak = false;
    ParaProps m_lastPara;
    ParaProps m_givenPara; // the formatting the current block was inserted with
    bool m_blockFormatGiven = false;
    QTextBlockFormat m_lastBlockFormat;
    bool m_lastBlockFormatSet = false;
};

} // namespace RtfRead
