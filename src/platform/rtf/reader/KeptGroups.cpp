// Content kept though not shown.
#include "platform/rtf/reader/KeptGroups.h"

#include "platform/rtf/reader/Fonts.h"
#include "platform/rtf/reader/Keywords.h"

#include <QTextBlock>
#include <QTextDocument>

namespace RtfRead {

namespace {

enum Word : quint16 {
    Info,         // \info: the store
    StyleSheet,   // the store
    HeaderGroup,  // a group of the document's header: the store
    SectionGroup, // headers and footers: their section
    BodyGroup,    // notes, bookmarks, annotations: objects in the text
    ChFtn,        // a note's reference mark
    ChAtn,        // an annotation's reference mark
    Skipped,      // what this reader shows otherwise: not kept
    SectionWord,  // document and section formatting; the word is SectionWord + its index
};

// Formatting of the document and of sections, kept as written.
constexpr const char *SectionWords[] = {
    // page
    "paperw", "paperh", "psz", "margl", "margr", "margt", "margb", "facingp", "gutter", "ogutter",
    "rtlgutter", "gutterprl", "margmirror", "landscape", "pgnstart", "widowctrl", "twoonone",
    "bookfold", "bookfoldrev", "bookfoldsheets", "deftab", "hyphhotz", "hyphconsec", "hyphcaps",
    "hyphauto", "linestart", "fracwidth", "titlepg", "viewkind", "viewscale", "viewzk", "formshade",
    "fet", "endnotes", "enddoc", "ftntj", "ftnbj", "aendnotes", "aenddoc", "aftnbj", "aftntj",
    "ftnstart", "aftnstart", "ftnrstpg", "ftnrestart", "ftnrstcont", "aftnrestart", "aftnrstcont",
    "ftnnar", "ftnnalc", "ftnnauc", "ftnnrlc", "ftnnruc", "ftnnchi", "aftnnar", "aftnnalc",
    "aftnnauc", "aftnnrlc", "aftnnruc", "aftnnchi", "rtldoc", "ltrdoc", "doctemp", "makebackup",
    "defformat", "psover",
    // sections
    "sectd", "sbknone", "sbkcol", "sbkpage", "sbkeven", "sbkodd", "cols", "colsx", "colno", "colsr",
    "colw", "linebetcol", "pgwsxn", "pghsxn", "marglsxn", "margrsxn", "margtsxn", "margbsxn",
    "guttersxn", "margmirsxn", "lndscpsxn", "headery", "footery", "pgnstarts", "pgncont",
    "pgnrestart", "pgndec", "pgnucrm", "pgnlcrm", "pgnucltr", "pgnlcltr", "pgnx", "pgny", "vertalt",
    "vertalc", "vertalj", "vertalb", "endnhere", "binfsxn", "binsxn", "linemod", "linex",
    "linestarts", "linerestart", "lineppage", "linecont", "stextflow", "rtlsect", "ltrsect",
    "sectunlocked", "sectlinegrid", "sectdefaultcl", "sectexpand", "sectspecifycl", "sectspecifyl",
    "sectspecifygenN", "pgbrdrhead", "pgbrdrfoot", "pgbrdrt", "pgbrdrb", "pgbrdrl", "pgbrdrr",
    "pgbrdropt", "pgbrdrsnap", "sftnbj", "sftntj", "saftnbj", "saftntj", "sftnstart", "sftnrstpg",
    "sftnrestart", "sftnrstcont", "sftnnar", "sftnnalc", "sftnnauc", "sftnnrlc", "sftnnruc",
    "saftnnar", "saftnnalc", "saftnnauc", "saftnnrlc", "saftnnruc"};

} // namespace

void addKeptWords(KeywordTable &table)
{
    static constexpr const char *info[] = {"info"};
    static constexpr const char *styleSheet[] = {"stylesheet"};
    static constexpr const char *header[] = {
        "filetbl",          "revtbl",          "rsidtbl",      "template",
        "pgdsctbl",         "private",         "themedata",    "colorschememapping",
        "mmathPr",          "datastore",       "generator",    "xmlnstbl",
        "userprops",        "docvar",          "protusertbl",  "defchp",
        "defpap",           "rsidroot",        "fchars",       "lchars",
        "writereservation", "writereservhash", "passwordhash", "wgrffmtfilter",
        "background",       "ftnsep",          "ftnsepc",      "ftncn",
        "aftnsep",          "aftnsepc",        "aftncn",       "listoverridetable_"};
    static constexpr const char *section[] = {"header",  "headerl", "headerr", "headerf", "footer",
                                              "footerl", "footerr", "footerf", "pnseclvl"};
    static constexpr const char *body[] = {
        "footnote", "annotation", "atnid", "atnauthor", "atndate", "atnref", "atntime", "atnicn",
        "atnparent", "xe", "tc", "txe", "bkmkstart", "bkmkend", "atrfstart", "atrfend", "pxe",
        "formfield", "bookmark", "mmath", "htmltag", "mhtmltag",
        // destinations that belong inside other groups, kept where they stray into the text
        "fldtype", "datafield", "comment", "listpicture", "objdata", "objclass", "objname",
        "blipuid", "picprop", "pntxta", "pntxtb", "fontemb", "fontfile", "falt", "panose",
        "keycode", "nesttableprops", "listname", "leveltext", "levelnumbers", "shptxt", "author",
        "operator", "title", "subject", "keywords", "doccomm", "creatim", "revtim", "printim",
        "buptim", "hlinkbase", "ffname", "ffdeftext", "ffstattext", "ffhelptext", "ffentrymcr",
        "ffexitmcr", "ffformat", "ffl", "oleclsid", "latentstyles", "xform", "lfolevel"};
    auto add = [&table](const auto &words, Word code) {
        for (const char *w : words)
            table[w] = Keyword{Kind::Kept, code};
    };
    add(info, Info);
    add(styleSheet, StyleSheet);
    add(header, HeaderGroup);
    add(section, SectionGroup);
    add(body, BodyGroup);
    // The text of nested tables for readers without them; the writer writes it again.
    table["nonesttables"] = Keyword{Kind::Kept, Skipped};
    addWords(table, Kind::Kept, {{"chftn", ChFtn}, {"chatn", ChAtn}});
    for (size_t i = 0; i < std::size(SectionWords); ++i)
        table[SectionWords[i]] = Keyword{Kind::Kept, quint16(SectionWord + i)};
}

void KeptGroupsHandler::word(quint16 code, bool hasParam, int param)
{
    const bool inBody = m_reader.state().dest == Kind::Body;
    if (code >= SectionWord) {
        // Formatting of the document or of the current section, kept as written.
        if (!inBody || size_t(code - SectionWord) >= std::size(SectionWords))
            return;
        m_section += '\\';
        m_section += SectionWords[code - SectionWord];
        if (hasParam)
            m_section += QByteArray::number(param);
        m_section += ' ';
        return;
    }
    switch (Word(code)) {
    case ChFtn:
        // The note's reference mark shows the note's number; the note follows it.
        if (inBody) {
            const QString number = QString::number(++m_footnotes);
            m_reader.insertObject(KeptContent::objectFormat(
                m_reader.charFormat(textProps(m_reader.state().chr)), "{\\chftn}", number));
            m_noteMark = m_reader.nextPosition() - 1;
        }
        return;
    case ChAtn:
        if (inBody)
            keepInBody("{\\chatn}");
        return;
    default:
        break;
    }
    // The rest are destinations only as a group's first word.
    if (!m_reader.wordOpensGroup())
        return;
    if (!inBody || code == Skipped) {
        m_reader.skipGroup();
        return;
    }
    const QByteArray rtf = m_reader.keepGroup();
    switch (Word(code)) {
    case Info:
        m_store.info = rtf;
        return;
    case StyleSheet:
        m_store.styleSheet = rtf;
        return;
    case HeaderGroup:
        if (inText())
            keepInBody(rtf, QString(), true);
        else
            keepInHeader(rtf);
        return;
    case SectionGroup:
        m_section += rtf;
        return;
    default:
        keepInBody(rtf);
        return;
    }
}

void KeptGroupsHandler::unknownDestination(std::string_view)
{
    if (m_reader.state().dest != Kind::Body) {
        m_reader.skipGroup();
        return;
    }
    const QByteArray rtf = m_reader.keepGroup();
    if (inText())
        keepInBody(rtf, QString(), true);
    else
        keepInHeader(rtf);
}

// Whether a group read now stands in the text rather than in the header: the text has begun, or
// the group is in a table's cell (which only the text has).
bool KeptGroupsHandler::inText() const
{
    return m_reader.bodyStarted() || m_reader.state().para.itap > 0;
}

void KeptGroupsHandler::keepInHeader(const QByteArray &rtf)
{
    m_store.header += rtf;
}

void KeptGroupsHandler::keepInBody(const QByteArray &rtf, const QString &shown,
                                   bool headerWhenFirst)
{
    // A malformed group may close the document's own group as well: nothing is left to keep
    // it in.
    if (rtf.isEmpty() || !m_reader.hasState())
        return;
    QTextCursor &cursor = m_reader.cursor();
    m_reader.flushBytes(true);
    if (m_noteMark >= 0 && m_noteMark == m_reader.nextPosition() - 1 &&
        rtf.startsWith("{\\footnote")) {
        // The note goes with its reference mark: deleting the mark deletes the note.
        m_reader.flushRun();
        QTextCursor mark(cursor);
        mark.setPosition(m_noteMark);
        mark.setPosition(m_noteMark + 1, QTextCursor::KeepAnchor);
        QTextCharFormat f = mark.charFormat();
        if (KeptContent::isKeptObject(f)) {
            f.setProperty(KeptContent::KeptRtf,
                          f.property(KeptContent::KeptRtf).toByteArray() + rtf);
            mark.setCharFormat(f);
            m_noteMark = -1;
            return;
        }
    }
    const QTextCharFormat f =
        KeptContent::objectFormat(m_reader.charFormat(textProps(m_reader.state().chr)), rtf, shown);
    if (shown.isEmpty())
        m_reader.insertAnchor(f, headerWhenFirst);
    else
        m_reader.insertObject(f);
}

void KeptGroupsHandler::sectionBreak()
{
    if (m_sectionStart < 0)
        m_store.sections = m_section;
    else
        m_sections.emplace_back(m_sectionStart, m_section);
    m_section.clear();
    // The paragraph the \sect ended is waiting for the next: the section starts after its
    // mark.
    m_sectionStart = m_reader.nextPosition() + 1;
}

void KeptGroupsHandler::finish()
{
    if (m_sectionStart < 0)
        m_store.sections = m_section;
    else
        m_sections.emplace_back(m_sectionStart, m_section);
    QTextDocument &doc = m_reader.document();
    for (const auto &[at, rtf] : m_sections) {
        const QTextBlock block = doc.findBlock(at);
        if (!block.isValid() || block.position() != at)
            continue; // a section with nothing in it
        QTextBlockFormat f;
        f.setProperty(KeptContent::SectionRtf, rtf);
        QTextCursor(block).mergeBlockFormat(f);
    }
    const FontsHandler &fonts = m_reader.fonts();
    m_store.codePage = fonts.documentCodePage();
    m_store.defaultFont = fonts.defaultFont();
    m_store.fonts = fonts.fontTable();
    m_store.colors = fonts.colorTable();
    if (!m_store.info.isEmpty())
        m_store.summary = KeptContent::parseInfo(m_store.info, m_store.codePage);
    KeptContent::setStore(doc, std::move(m_store));
}

} // namespace RtfRead
