// Destinations not shown.
#include "platform/rtf/reader/KeptGroups.h"

#include "platform/rtf/reader/Keywords.h"

namespace RtfRead {

namespace {

enum Word : quint16 { SkipDest, ChFtn };

} // namespace

void addKeptWords(KeywordTable &table)
{
    for (const char *w : {"stylesheet",
                          "info",
                          "header",
                          "headerl",
                          "headerr",
                          "headerf",
                          "footer",
                          "footerl",
                          "footerr",
                          "footerf",
                          "footnote",
                          "annotation",
                          "atnid",
                          "atnauthor",
                          "atndate",
                          "atnref",
                          "atntime",
                          "atnicn",
                          "xe",
                          "tc",
                          "txe",
                          "ftnsep",
                          "ftnsepc",
                          "ftncn",
                          "aftnsep",
                          "aftnsepc",
                          "aftncn",
                          "filetbl",
                          "revtbl",
                          "rsidtbl",
                          "template",
                          "do",
                          "fldtype",
                          "datafield",
                          "bkmkstart",
                          "bkmkend",
                          "comment",
                          "pgdsctbl",
                          "private",
                          "listpicture",
                          "themedata",
                          "colorschememapping",
                          "mmathPr",
                          "datastore",
                          "latentstyles",
                          "pnseclvl",
                          "generator",
                          "xmlnstbl",
                          "userprops",
                          "docvar",
                          "objdata",
                          "objclass",
                          "objname",
                          "blipuid",
                          "picprop",
                          "pntxta",
                          "pntxtb",
                          "fontemb",
                          "fontfile",
                          "falt",
                          "panose",
                          "keycode",
                          "nesttableprops",
                          "nonesttables",
                          "listname",
                          "leveltext",
                          "levelnumbers",
                          "shptxt",
                          "author",
                          "operator",
                          "title",
                          "subject",
                          "keywords",
                          "doccomm",
                          "creatim",
                          "revtim",
                          "printim",
                          "buptim",
                          "hlinkbase",
                          "mhtmltag",
                          "htmltag",
                          "wgrffmtfilter",
                          "formfield",
                          "ffname",
                          "ffdeftext",
                          "ffstattext",
                          "ffhelptext",
                          "ffentrymcr",
                          "ffexitmcr",
                          "ffformat",
                          "ffl",
                          "mmath",
                          "oleclsid",
                          "passwordhash",
                          "pxe",
                          "atrfstart",
                          "atrfend",
                          "protusertbl",
                          "defchp",
                          "defpap",
                          "listoverridetable_",
                          "rsidroot",
                          "fchars",
                          "lchars",
                          "writereservation",
                          "writereservhash",
                          "background",
                          "xform",
                          "bookmark",
                          "lfolevel"})
        table[w] = Keyword{Kind::Kept, SkipDest};
    addWords(table, Kind::Kept, {{"chftn", ChFtn}});
}

void KeptGroupsHandler::word(quint16 code, bool, int)
{
    switch (Word(code)) {
    case SkipDest:
        // Only as a group's first word is it a destination.
        if (m_reader.wordOpensGroup())
            m_reader.skipGroup();
        return;
    case ChFtn:
        // The footnote's reference mark; the footnote itself is not part of the body.
        if (m_reader.state().dest == Kind::Body) {
            const QString number = QString::number(++m_footnotes);
            for (QChar ch : number)
                m_reader.addChar(ch.unicode());
        }
        return;
    }
}

void KeptGroupsHandler::unknownDestination(std::string_view)
{
    m_reader.skipGroup();
}

} // namespace RtfRead
