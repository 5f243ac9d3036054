// The document builder: text runs and paragraphs go into the document through one cursor.
//
// A paragraph mark does not insert the next block at once: the block is inserted when its
// first content arrives, with the paragraph formatting in force then. Runs of text with the
// same formatting are inserted at once, with cached formats.
#include "platform/rtf/reader/Reader.h"

#include "platform/rtf/KeptContent.h"
#include "platform/rtf/TextFormats.h"
#include "platform/rtf/reader/Fields.h"
#include "platform/rtf/reader/Fonts.h"
#include "platform/rtf/reader/KeptGroups.h"
#include "platform/rtf/reader/Lists.h"
#include "platform/rtf/reader/Tables.h"

#include <QTextDocument>
#include <QTextFrame>

#include <algorithm>

using namespace TextFormats;

namespace RtfRead {

CharProps textProps(const CharProps &c)
{
    CharProps t = c;
    if (c.dbch) {
        if (c.assocHalfPoints > 0)
            t.halfPoints = c.assocHalfPoints;
        if (c.assocBold >= 0)
            t.bold = c.assocBold;
        if (c.assocItalic >= 0)
            t.italic = c.assocItalic;
    }
    t.dbch = false;
    t.assocBold = t.assocItalic = -1;
    t.assocHalfPoints = 0;
    return t;
}

size_t CharPropsHash::operator()(const CharProps &p) const
{
    size_t h = size_t(p.font) * 1000003u;
    h ^= size_t(p.halfPoints) * 7919u + size_t(p.color) * 104729u +
         size_t(p.highlight) * 15485863u + size_t(p.offsetHalfPoints) * 31u;
    h ^= size_t(p.underline) << 3 ^ size_t(p.vertical + 1) << 7 ^ size_t(p.bold) << 10 ^
         size_t(p.italic) << 11 ^ size_t(p.strike) << 12 ^ size_t(p.caps) << 13 ^
         size_t(p.smallCaps) << 14 ^ size_t(p.hidden) << 15;
    h ^= size_t(p.fieldChain) * 2654435761u;
    return h;
}

void ByteText::decodeInto(QString &out, bool final)
{
    if (bytes.isEmpty())
        return;
    qsizetype n = bytes.size();
    if (page->isDoubleByte() && !final) {
        // Keep a trailing lead byte until its second byte arrives.
        qsizetype i = 0;
        qsizetype complete = 0;
        while (i < n) {
            if (page->isLeadByte(static_cast<unsigned char>(bytes[i]))) {
                if (i + 1 >= n)
                    break;
                i += 2;
            } else {
                ++i;
            }
            complete = i;
        }
        page->decode(QByteArrayView(bytes).first(complete), out);
        bytes.remove(0, complete);
        return;
    }
    page->decode(bytes, out);
    bytes.clear();
}

void Reader::finish()
{
    // Truncated input: close what is open.
    flushBytes(true);
    if (m_tableDepth > 0 && !m_stack.empty()) {
        // What is still open ends here, the last paragraph with it.
        state().para.itap = 0;
        tables().syncDepth(0);
    }
    // The final paragraph mark ends the last paragraph; it does not start another, unless
    // it is to break the paragraph the text goes into.
    if (!m_blockPending || m_keepFinalMark) {
        ensureBlock();
        finishBlock();
    }
    flushRun();
    if (nextPosition() == 0) {
        // Groups after a lone paragraph mark, with nothing after them, would stand before all
        // content, where the unknown ones are the header's: they are kept there, as they are
        // when what is written is read again.
        std::erase_if(m_anchors, [this](const auto &anchor) {
            if (anchor.second)
                kept().keepInHeader(anchor.first.property(KeptContent::KeptRtf).toByteArray());
            return anchor.second;
        });
    }
    if (!m_anchors.empty())
        placeAnchors();
    kept().finish();
}

const RtfEncoding::CodePage &Reader::currentCodePage()
{
    const CharProps props = textProps(state().chr);
    const int font = props.font < 0 ? fonts().defaultFont() : props.font;
    if (font != m_cpFont || !m_cpPage) {
        m_cpFont = font;
        const int cp = fonts().codePage(font);
        m_cpPage = &RtfEncoding::CodePage::get(cp ? cp : fonts().documentCodePage());
    }
    return *m_cpPage;
}

void Reader::addBytes(const char *p, qsizetype n)
{
    // Control characters other than tab are not text: bytes of nothing else add nothing, nor
    // do they start the body or a paragraph.
    while (n > 0 && static_cast<unsigned char>(*p) < 0x20 && *p != '\t') {
        ++p;
        --n;
    }
    if (n == 0)
        return;
    beginContent(textProps(state().chr));
    const RtfEncoding::CodePage &page = currentCodePage();
    if (m_bytes.page != &page) {
        flushBytes(true);
        m_bytes.page = &page;
    }
    qsizetype from = 0;
    if (!page.isDoubleByte()) {
        // Whole characters already: straight into the run, in one pass.
        if (!m_run.isEmpty() && QChar::isHighSurrogate(m_run.back().unicode()))
            m_run.back() = QChar(0xFFFD);
        const qsizetype start = m_run.size();
        m_run.resize(start + n);
        char16_t *const first = reinterpret_cast<char16_t *>(m_run.data()) + start;
        char16_t *out = first;
        for (qsizetype i = 0; i < n; ++i) {
            const char b = p[i];
            if (static_cast<unsigned char>(b) < 0x20 && b != '\t')
                continue;
            *out++ = page.decodeByte(b).unicode();
        }
        if (out - first != n)
            m_run.truncate(start + (out - first));
        m_blockHasContent = true;
        return;
    }
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        if (b < 0x20 && b != '\t') {
            m_bytes.bytes.append(p + from, i - from);
            from = i + 1;
        }
    }
    m_bytes.bytes.append(p + from, n - from);
    m_blockHasContent = true;
}

void Reader::addChar(char16_t ch)
{
    if (m_stack.empty())
        return;
    State &s = state();
    if (s.dest != Kind::Body) {
        if (s.dest != Kind::Discard)
            handler(s.dest).character(s.destCode, ch);
        return;
    }
    beginContent(textProps(s.chr));
    flushBytes(true);
    // A lone surrogate cannot stand in the text.
    if (!m_run.isEmpty() && QChar::isHighSurrogate(m_run.back().unicode()) &&
        !QChar::isLowSurrogate(ch))
        m_run.back() = QChar(0xFFFD);
    if (QChar::isLowSurrogate(ch) &&
        (m_run.isEmpty() || !QChar::isHighSurrogate(m_run.back().unicode())))
        ch = 0xFFFD;
    m_run.append(QChar(ch));
    m_blockHasContent = true;
}

void Reader::syncTables()
{
    if (state().para.itap != m_tableDepth)
        tables().syncDepth(state().para.itap);
}

Reader::Place Reader::leavePlace()
{
    flushBytes(true);
    if (!m_blockPending && m_blockHasContent) {
        finishBlock();
        m_blockPending = true;
    }
    flushRun();
    Place place{m_cursor, m_nextPageBreak};
    return place;
}

QTextDocumentFragment Reader::takeParagraph()
{
    flushBytes(true);
    flushRun();
    QTextCursor c = m_cursor;
    c.movePosition(QTextCursor::StartOfBlock, QTextCursor::KeepAnchor);
    const QTextDocumentFragment taken = c.selection();
    c.removeSelectedText();
    m_blockHasContent = false;
    // The paragraph's own block goes too, unless the frame needs it.
    const QTextFrame *frame = c.currentFrame();
    if (c.position() > frame->firstPosition() && !m_blockPending) {
        c.deletePreviousChar();
        m_cursor = c;
        m_blockPending = true;
    }
    return taken;
}

void Reader::enterFreshBlock(const QTextCursor &cursor)
{
    flushBytes(true);
    flushRun();
    m_cursor = cursor;
    m_blockPending = false;
    m_blockPlain = false;
    m_blockHasContent = false;
    m_blockFormatGiven = false;
    m_nextPageBreak = false;
}

void Reader::beginContent(const CharProps &props)
{
    ++m_shown;
    if (state().para.itap != m_tableDepth)
        tables().syncDepth(state().para.itap);
    if (m_blockPending) {
        const ParaProps &p = state().para;
        if (!m_run.isEmpty() && m_bytes.bytes.isEmpty() && !m_nextPageBreak && p.ls <= 0 &&
            p.pnKind == ListKind::None && m_blockPlain && p.sameBlockFormat(m_givenPara)) {
            // The new block has the previous one's formatting: its mark goes in with the end
            // of the previous paragraph, saving an insertion. (The mark's own character
            // formatting only shows in an empty paragraph, and this one has text.)
            if (QChar::isHighSurrogate(m_run.back().unicode()))
                m_run.back() = QChar(0xFFFD);
            m_run.append(QChar::ParagraphSeparator);
            m_blockPending = false;
        } else {
            ensureBlock();
        }
    }
    if (!m_anchors.empty())
        placeAnchors();
    if (!m_runPropsSet || !(props == m_runProps)) {
        flushBytes(true);
        flushRun();
        m_runProps = props;
        m_runPropsSet = true;
    }
}

void Reader::flushBytes(bool final)
{
    if (m_bytes.bytes.isEmpty())
        return;
    if (!m_run.isEmpty() && QChar::isHighSurrogate(m_run.back().unicode()))
        m_run.back() = QChar(0xFFFD);
    m_bytes.decodeInto(m_run, final);
}

void Reader::flushRun()
{
    if (m_run.isEmpty())
        return;
    if (QChar::isHighSurrogate(m_run.back().unicode()))
        m_run.back() = QChar(0xFFFD);
    if (m_runProps.hidden)
        insertHidden();
    else
        m_cursor.insertText(m_run, charFormat(m_runProps));
    m_run.resize(0); // keeps the buffer for the next run
}

void Reader::insertHidden()
{
    // Hidden text is kept, not shown: each stretch between paragraph marks becomes one object
    // holding it (a paragraph mark in hidden text still breaks the paragraph). A stretch right
    // after another hidden object of the same field joins it, whatever its own formatting:
    // the writer writes one object as one run, so the document reads back with the same
    // objects. The hidden text keeps the formatting of its first run.
    const QTextCharFormat format = charFormat(m_runProps);
    qsizetype from = 0;
    while (from <= m_run.size()) {
        qsizetype end = m_run.indexOf(QChar::ParagraphSeparator, from);
        if (end < 0)
            end = m_run.size();
        if (end > from && !appendToHidden(format, QStringView(m_run).mid(from, end - from)))
            m_cursor.insertText(QString(QChar::ObjectReplacementCharacter),
                                KeptContent::hiddenTextFormat(format, m_run.mid(from, end - from)));
        if (end < m_run.size())
            m_cursor.insertText(QString(QChar::ParagraphSeparator), format);
        from = end + 1;
    }
}

bool Reader::appendToHidden(const QTextCharFormat &format, QStringView text)
{
    if (m_cursor.atBlockStart() || m_cursor.hasSelection())
        return false;
    QTextCharFormat previous = m_cursor.charFormat(); // the character before the cursor
    if (!previous.hasProperty(KeptContent::HiddenText) ||
        previous.property(KeptContent::FieldStack) != format.property(KeptContent::FieldStack) ||
        m_cursor.document()->characterAt(m_cursor.position() - 1) !=
            QChar::ObjectReplacementCharacter)
        return false;
    previous.setProperty(KeptContent::HiddenText,
                         previous.stringProperty(KeptContent::HiddenText).append(text));
    m_cursor.movePosition(QTextCursor::PreviousCharacter);
    m_cursor.movePosition(QTextCursor::NextCharacter, QTextCursor::KeepAnchor);
    m_cursor.setCharFormat(previous);
    m_cursor.clearSelection();
    return true;
}

void Reader::insertAnchor(const QTextCharFormat &format, bool headerWhenFirst)
{
    if (m_blockPending && !m_stack.empty()) {
        m_anchors.emplace_back(format, headerWhenFirst);
        ++m_shown; // counted where it was read
    } else
        insertObject(format);
}

void Reader::placeAnchors()
{
    flushBytes(true);
    flushRun();
    for (const auto &anchor : m_anchors)
        m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), anchor.first);
    m_anchors.clear();
    m_blockHasContent = true;
}

void Reader::insertObject(const QTextCharFormat &format)
{
    flushBytes(true);
    flushRun();
    ensureBlock();
    m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
    setBlockHasContent();
}

QTextCharFormat Reader::charFormat(const CharProps &p)
{
    auto it = m_formats.find(p);
    if (it != m_formats.end())
        return it->second;
    QTextCharFormat f;
    const QString family = fonts().family(p.font < 0 ? fonts().defaultFont() : p.font);
    if (!family.isEmpty())
        f.setFontFamilies({family});
    f.setFontPointSize(p.halfPoints / 2.0);
    if (p.bold)
        f.setFontWeight(QFont::Bold);
    if (p.italic)
        f.setFontItalic(true);
    if (p.underline)
        f.setUnderlineStyle(QTextCharFormat::UnderlineStyle(p.underline));
    if (p.strike)
        f.setFontStrikeOut(true);
    if (p.hidden)
        f.setProperty(Hidden, true);
    if (p.fieldChain > 0)
        fields().applyChain(p.fieldChain, f, p.color == 0 && p.underline == 0);
    if (p.caps)
        f.setFontCapitalization(QFont::AllUppercase);
    else if (p.smallCaps)
        f.setFontCapitalization(QFont::SmallCaps);
    if (p.color > 0) {
        if (const QColor c = fonts().color(p.color); c.isValid())
            f.setForeground(c);
    }
    if (p.highlight > 0) {
        if (const QColor c = fonts().color(p.highlight); c.isValid())
            f.setBackground(c);
    }
    if (p.offsetHalfPoints != 0) {
        f.setProperty(CharOffsetTwips, p.offsetHalfPoints * 10);
        f.setVerticalAlignment(p.offsetHalfPoints > 0 ? QTextCharFormat::AlignSuperScript
                                                      : QTextCharFormat::AlignSubScript);
        // The raise comes from the baseline offset alone; the alignment only sets the size.
        f.setSuperScriptBaseline(0);
        f.setSubScriptBaseline(0);
        f.setBaselineOffset(100.0 * p.offsetHalfPoints / std::max(1, p.halfPoints));
    } else if (p.vertical > 0) {
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    } else if (p.vertical < 0) {
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    }
    m_formats.emplace(p, f);
    return f;
}

QTextBlockFormat Reader::blockFormat(const ParaProps &p)
{
    if (m_lastBlockFormatSet && p.sameBlockFormat(m_lastPara))
        return m_lastBlockFormat;
    QTextBlockFormat f;
    static constexpr Qt::Alignment aligns[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                               Qt::AlignJustify};
    f.setAlignment(aligns[std::clamp(p.align, 0, 3)]);
    if (p.li) {
        f.setLeftMargin(p.li * PixelsPerTwip);
        f.setProperty(LeftIndentTwips, p.li);
    }
    if (p.ri) {
        f.setRightMargin(p.ri * PixelsPerTwip);
        f.setProperty(RightIndentTwips, p.ri);
    }
    if (p.fi) {
        f.setTextIndent(p.fi * PixelsPerTwip);
        f.setProperty(FirstIndentTwips, p.fi);
    }
    if (p.sb) {
        f.setTopMargin(p.sb * PixelsPerTwip);
        f.setProperty(SpaceBeforeTwips, p.sb);
    }
    if (p.sa) {
        f.setBottomMargin(p.sa * PixelsPerTwip);
        f.setProperty(SpaceAfterTwips, p.sa);
    }
    if (!p.tabs.isEmpty()) {
        QList<QTextOption::Tab> tabs;
        for (qsizetype i = 0; i < p.tabs.size(); ++i)
            tabs.append(QTextOption::Tab(p.tabs[i] * PixelsPerTwip,
                                         QTextOption::TabType(p.tabKinds.value(i))));
        f.setTabPositions(tabs);
        f.setProperty(TabStopsTwips, QVariant::fromValue(p.tabs));
    }
    if (p.pageBreakBefore)
        f.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    // \ql and \qr are the start and end of the line, which Qt's left and right are too where
    // the alignment is not absolute.
    if (p.direction != 0)
        f.setLayoutDirection(p.direction > 0 ? Qt::RightToLeft : Qt::LeftToRight);
    m_lastPara = p;
    m_lastBlockFormat = f;
    m_lastBlockFormatSet = true;
    return f;
}

void Reader::finishBlock()
{
    flushBytes(true);
    if (m_stack.empty()) {
        flushRun();
        return;
    }
    ParaProps p = state().para;
    if (m_nextPageBreak)
        p.pageBreakBefore = true;
    const bool listed = p.ls > 0 || p.pnKind != ListKind::None;
    // The block got the formatting in force when it began; most paragraphs keep it.
    if (listed || !m_blockFormatGiven || !p.sameBlockFormat(m_givenPara)) {
        QTextBlockFormat format = blockFormat(p);
        if (listed) {
            // A list paragraph's indents are its own, even when zero.
            format.setProperty(LeftIndentTwips, p.li);
            format.setProperty(FirstIndentTwips, p.fi);
            format.setTextIndent(firstLinePixels(p.fi, true));
        }
        flushRun();
        m_cursor.setBlockFormat(format);
        m_blockPlain = false;
    }
    lists().applyList(p);
}

void Reader::endParagraph()
{
    ensureBlock(); // an empty paragraph
    finishBlock();
    m_nextPageBreak = false;
    m_blockPending = true;
    m_blockHasContent = false;
}

void Reader::ensureBlock()
{
    if (m_stack.empty())
        return;
    if (state().para.itap != m_tableDepth)
        tables().syncDepth(state().para.itap);
    if (!m_blockPending) {
        if (!m_anchors.empty())
            placeAnchors();
        return;
    }
    // What is still in the run is the end of the previous paragraph.
    flushBytes(true);
    flushRun();
    m_blockPending = false;
    m_givenPara = state().para;
    m_givenPara.pageBreakBefore = false;
    m_blockFormatGiven = true;
    m_blockPlain = true;
    m_cursor.insertBlock(blockFormat(m_givenPara), charFormat(textProps(state().chr)));
    if (!m_anchors.empty())
        placeAnchors();
}

void Reader::pageBreak()
{
    if (m_blockHasContent)
        endParagraph();
    m_nextPageBreak = true;
}

} // namespace RtfRead
