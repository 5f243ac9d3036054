// List paragraphs, their markers, the list and override tables.
#include "platform/rtf/writer/Writer.h"

#include "platform/rtf/RtfEncoding.h"
#include "platform/rtf/TextFormats.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

using namespace TextFormats;

namespace RtfWrite {

namespace {

// Marker text as written inside a group: escaped, characters outside Windows-1252 as \uN.
QByteArray markerBytes(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const int b = RtfEncoding::toWindows1252(c.unicode());
        if (c == u'\\' || c == u'{' || c == u'}' || c == u';')
            out.append("\\'").append(QByteArray::number(c.unicode(), 16));
        else if (b >= 0x20 && b < 0x80)
            out.append(char(b));
        else if (b >= 0x80)
            out.append("\\'").append(QByteArray::number(b, 16));
        else
            out.append("\\u").append(QByteArray::number(qint16(c.unicode()))).append('?');
    }
    return out;
}

// The marker of a bullet: the symbol font's bullet, or a white bullet or a small square.
QByteArray bulletMarker(QTextListFormat::Style style, int symbolFont)
{
    if (style == QTextListFormat::ListCircle)
        return "\\u9702 ?";
    if (style == QTextListFormat::ListSquare)
        return "\\u9642 ?";
    return "\\f" + QByteArray::number(symbolFont) + "\\'b7";
}

int listStart(const QTextList &list)
{
    return list.format().hasProperty(ListStart) ? list.format().intProperty(ListStart) : 1;
}

} // namespace

// Bullets need the symbol font in the table before any paragraph refers to it.
void Writer::useSymbolFontForLists()
{
    for (QTextBlock b = m_doc.findBlock(m_from); b.isValid() && b.position() <= m_to;
         b = b.next()) {
        if (b.textList()) {
            m_symbolFont = fontIndex(QStringLiteral("Symbol"));
            break;
        }
    }
}

int Writer::listIndex(const QTextList *list)
{
    const qsizetype i = m_lists.indexOf(list);
    if (i >= 0)
        return int(i) + 1;
    m_lists.append(list);
    return int(m_lists.size());
}

// A list paragraph: its list, and the usual hanging indent when its own indents do not
// place it.
void Writer::listParagraph(const QTextBlock &block, ParaState &p)
{
    p.list = block.textList();
    if (!p.list)
        return;
    p.level = 0;
    const QTextBlockFormat f = block.blockFormat();
    if (p.li == 0 && p.fi == 0 && !f.hasProperty(LeftIndentTwips) &&
        !f.hasProperty(FirstIndentTwips)) {
        // A list the paragraph's indents do not place: the usual hanging bullet.
        p.li = 360 * std::max(1, p.list->format().indent() + f.indent());
        p.fi = -360;
    }
}

// \pard's list words: the older \pn form and \ls/\ilvl.
void Writer::writeListProps(const ParaState &p)
{
    if (!p.list)
        return;
    // The older form, for readers that know no list table. It comes before \ls: some
    // readers take a \pn after it for a list of its own.
    const QTextListFormat::Style style = p.list->format().style();
    m_body.append("{\\*\\pn");
    switch (style) {
    case QTextListFormat::ListDecimal:
        m_body.append("\\pnlvlbody\\pndec");
        break;
    case QTextListFormat::ListLowerAlpha:
        m_body.append("\\pnlvlbody\\pnlcltr");
        break;
    case QTextListFormat::ListUpperAlpha:
        m_body.append("\\pnlvlbody\\pnucltr");
        break;
    case QTextListFormat::ListLowerRoman:
        m_body.append("\\pnlvlbody\\pnlcrm");
        break;
    case QTextListFormat::ListUpperRoman:
        m_body.append("\\pnlvlbody\\pnucrm");
        break;
    default:
        m_body.append("\\pnlvlblt\\pnf" + QByteArray::number(m_symbolFont) +
                      "\\pnindent0{\\pntxtb\\'b7}");
        break;
    }
    if (style < QTextListFormat::ListSquare) {
        m_body.append("\\pnstart" + QByteArray::number(listStart(*p.list)) + "\\pnindent0");
        const QString before = p.list->format().numberPrefix();
        const QString after = p.list->format().numberSuffix();
        if (!before.isEmpty())
            m_body.append("{\\pntxtb " + markerBytes(before) + "}");
        if (!after.isEmpty())
            m_body.append("{\\pntxta " + markerBytes(after) + "}");
    }
    m_body.append('}');
    m_delimit = false;
    const int ls = listIndex(p.list);
    word("ls", ls);
    word("ilvl", std::clamp(p.list->format().intProperty(ListLevel), 0, 8));
}

void Writer::writeListMarker(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return;
    const QTextListFormat::Style style = list->format().style();
    const bool bullet = style == QTextListFormat::ListDisc ||
                        style == QTextListFormat::ListCircle ||
                        style == QTextListFormat::ListSquare;
    QByteArray marker;
    if (bullet) {
        marker = bulletMarker(style, m_symbolFont) + "\\tab}";
    } else {
        QString text = list->itemText(block);
        QByteArray saved;
        std::swap(saved, m_body);
        const bool delimit = m_delimit;
        m_delimit = true;
        writeText(text);
        std::swap(saved, m_body);
        m_delimit = delimit;
        marker = saved + "\\tab}";
    }
    m_body.append("{\\listtext").append(marker);
    m_body.append("{\\pntext").append(marker);
    m_delimit = false;
}

// The list table and the override table, when there are lists.
QByteArray Writer::listTables()
{
    QByteArray h;
    if (m_lists.isEmpty())
        return h;
    h.append("{\\*\\listtable");
    for (qsizetype i = 0; i < m_lists.size(); ++i) {
        const QByteArray id = QByteArray::number(i + 1);
        const QTextListFormat::Style style = m_lists[i]->format().style();
        int nfc = 23;
        switch (style) {
        case QTextListFormat::ListDecimal:
            nfc = 0;
            break;
        case QTextListFormat::ListUpperRoman:
            nfc = 1;
            break;
        case QTextListFormat::ListLowerRoman:
            nfc = 2;
            break;
        case QTextListFormat::ListUpperAlpha:
            nfc = 3;
            break;
        case QTextListFormat::ListLowerAlpha:
            nfc = 4;
            break;
        default:
            break;
        }
        const QByteArray n = QByteArray::number(nfc);
        // The list's own level and the ones above it, all alike.
        const int depth = std::clamp(m_lists[i]->format().intProperty(ListLevel), 0, 8);
        h.append("{\\list\\listtemplateid" + id + (depth == 0 ? "\\listsimple" : ""));
        for (int level = 0; level <= depth; ++level) {
            h.append("{\\listlevel\\levelnfc" + n + "\\levelnfcn" + n +
                     "\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat" +
                     QByteArray::number(level == depth ? listStart(*m_lists[i]) : 1));
            if (nfc == 23 && style == QTextListFormat::ListDisc) {
                h.append("{\\leveltext\\'01\\'b7;}{\\levelnumbers;}\\f" +
                         QByteArray::number(m_symbolFont));
            } else if (nfc == 23) {
                h.append("{\\leveltext\\'01" + bulletMarker(style, m_symbolFont) +
                         ";}{\\levelnumbers;}");
            } else {
                const QString before = m_lists[i]->format().numberPrefix();
                const QString after = m_lists[i]->format().numberSuffix();
                auto hexByte = [](qsizetype v) {
                    return "\\'" + QByteArray::number(int(v), 16).rightJustified(2, '0');
                };
                h.append("{\\leveltext" + hexByte(before.size() + after.size() + 1) +
                         markerBytes(before) + hexByte(level) + markerBytes(after) +
                         ";}{\\levelnumbers" + hexByte(before.size() + 1) + ";}");
            }
            // The list's own level takes the indents of its first item, so readers that
            // indent list paragraphs from their level agree with the paragraphs.
            int li = 720 * (level + 1), fi = -360;
            if (level == depth && m_lists[i]->count() > 0) {
                const QTextBlockFormat f = m_lists[i]->item(0).blockFormat();
                if (f.hasProperty(LeftIndentTwips) || f.hasProperty(FirstIndentTwips)) {
                    const ParaState first = paraState(f);
                    li = first.li;
                    fi = first.fi;
                }
            }
            h.append("\\fi" + QByteArray::number(fi) + "\\li" + QByteArray::number(li) + "}");
        }
        h.append("{\\listname ;}\\listid" + id + "}");
    }
    h.append("}\r\n{\\*\\listoverridetable");
    for (qsizetype i = 0; i < m_lists.size(); ++i) {
        const QByteArray id = QByteArray::number(i + 1);
        h.append("{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + "}");
    }
    h.append("}\r\n");
    return h;
}

} // namespace RtfWrite
