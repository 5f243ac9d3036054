#include "editing/FormatText.h"

#include <QTextCursor>
#include <QTextDocument>
#include <cmath>

#include "platform/RichTextBox.h"

namespace FormatText {

namespace {

bool inWord(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('\'') || c == QChar(0x2019);
}

// Replaces the character at `pos` with `replacement` (one character) in `format`.
void replaceAt(QTextCursor &c, int pos, QChar replacement, const QTextCharFormat &format)
{
    c.setPosition(pos);
    c.setPosition(pos + 1, QTextCursor::KeepAnchor);
    c.insertText(QString(replacement), format);
}

// The format of the character at `pos` (the cursor reads the format before its position).
QTextCharFormat formatAt(QTextDocument *doc, int pos)
{
    QTextCursor at(doc);
    at.setPosition(pos + 1);
    return at.charFormat();
}

// Runs `change(cursor, position, character)` over every character of the selection inside one
// undo step, then selects the same range again.
template <typename F> void eachSelected(RichTextBox &rtf, F change)
{
    QTextCursor sel = rtf.textCursor();
    if (!sel.hasSelection())
        return;
    const int anchor = sel.anchor();
    const int position = sel.position();
    const int start = sel.selectionStart();
    const int end = sel.selectionEnd();
    QTextDocument *doc = rtf.document();
    QTextCursor c(doc);
    c.beginEditBlock();
    for (int pos = start; pos < end; ++pos)
        change(c, pos, doc->characterAt(pos));
    c.endEditBlock();
    QTextCursor back(doc);
    back.setPosition(anchor);
    back.setPosition(position, QTextCursor::KeepAnchor);
    rtf.setTextCursor(back);
}

} // namespace

QString properCase(const QString &text)
{
    QString out = text;
    bool wordStart = true;
    for (QChar &c : out) {
        if (c.isLetter())
            c = wordStart ? c.toUpper() : c.toLower();
        wordStart = !inWord(c);
    }
    return out;
}

QString convertCase(const QString &text, Case mode)
{
    switch (mode) {
    case Case::Upper: {
        QString out = text;
        for (QChar &c : out)
            c = c.toUpper();
        return out;
    }
    case Case::Lower: {
        QString out = text;
        for (QChar &c : out)
            c = c.toLower();
        return out;
    }
    case Case::Capitalize:
        return properCase(text);
    case Case::None:
        break;
    }
    return text;
}

void changeSelCase(RichTextBox &rtf, Case mode)
{
    if (mode == Case::None)
        return;
    // The proper case of a character depends on the one before it, inside the selection too.
    const QTextCursor sel = rtf.textCursor();
    QString text;
    for (int pos = sel.selectionStart(); pos < sel.selectionEnd(); ++pos)
        text += rtf.document()->characterAt(pos);
    const QString converted = convertCase(text, mode);
    const int start = sel.selectionStart();
    QTextDocument *doc = rtf.document();
    eachSelected(rtf, [&](QTextCursor &c, int pos, QChar ch) {
        const QChar to = converted.at(pos - start);
        if (to != ch)
            replaceAt(c, pos, to, formatAt(doc, pos));
    });
}

double smallCapitalSize(double points)
{
    // Four fifths of the capitals' size, to the nearest half point.
    return std::max(1.0, std::round(points * 0.8 * 2.0) / 2.0);
}

void smallCapitals(RichTextBox &rtf)
{
    QTextDocument *doc = rtf.document();
    const double fallback = doc->defaultFont().pointSizeF();
    eachSelected(rtf, [&](QTextCursor &c, int pos, QChar ch) {
        if (!ch.isLower())
            return;
        QTextCharFormat f = formatAt(doc, pos);
        const double size =
            f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : fallback;
        f.setFontPointSize(smallCapitalSize(size > 0 ? size : 10.0));
        replaceAt(c, pos, ch.toUpper(), f);
    });
}

AppState::PainterFormat capture(const RichTextBox &rtf)
{
    AppState::PainterFormat f;
    f.Underline = rtf.SelUnderline();
    f.Bullet = rtf.SelBullet();
    f.Bold = rtf.SelBold();
    f.Italic = rtf.SelItalic();
    f.StrikeThru = rtf.SelStrikeThru();
    f.CharOffset = rtf.SelCharOffset();
    f.Color = rtf.SelColor();
    f.FontName = rtf.SelFontName();
    f.FontSize = rtf.SelFontSize();
    return f;
}

void apply(RichTextBox &rtf, const AppState::PainterFormat &f)
{
    QTextCursor group = rtf.textCursor();
    group.beginEditBlock();
    if (f.FontName)
        rtf.setSelFontName(*f.FontName);
    // The size goes before the offset, which is kept as a share of the size.
    if (f.FontSize)
        rtf.setSelFontSize(*f.FontSize);
    if (f.Bold)
        rtf.setSelBold(*f.Bold);
    if (f.Italic)
        rtf.setSelItalic(*f.Italic);
    if (f.Underline)
        rtf.setSelUnderline(*f.Underline);
    if (f.StrikeThru)
        rtf.setSelStrikeThru(*f.StrikeThru);
    if (f.Bullet)
        rtf.setSelBullet(*f.Bullet);
    if (f.CharOffset)
        rtf.setSelCharOffset(*f.CharOffset);
    if (f.Color)
        rtf.setSelColor(*f.Color);
    group.endEditBlock();
}

} // namespace FormatText
