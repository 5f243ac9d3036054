#include "platform/RichTextBox.h"

#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

// First cut of the control: plain-text content only. The RTF reader and writer, formatting
// properties and display-line queries come with the full control.

RichTextBox::RichTextBox(QWidget *parent) : QTextEdit(parent)
{
    setAcceptRichText(true);
    connect(this, &QTextEdit::textChanged, this, &RichTextBox::Change);
    connect(this, &QTextEdit::selectionChanged, this, &RichTextBox::SelChange);
    connect(this, &QTextEdit::cursorPositionChanged, this, &RichTextBox::SelChange);
}

RichTextBox::~RichTextBox() = default;

QString RichTextBox::TextRTF() const { return Text(); }
void RichTextBox::setTextRTF(const QString &rtf) { setText(rtf); }
QByteArray RichTextBox::TextRTFBytes() const { return TextRTF().toUtf8(); }
void RichTextBox::setTextRTFBytes(const QByteArray &data) { setTextRTF(QString::fromUtf8(data)); }

QString RichTextBox::Text() const
{
    QString out;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        if (b != document()->begin())
            out += QStringLiteral("\r\n");
        out += b.text();
    }
    return out;
}

void RichTextBox::setText(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    setPlainText(t);
}

int RichTextBox::toDocPosition(int textPos) const
{
    int text = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const int len = b.length() - 1;
        if (textPos <= text + len)
            return b.position() + std::max(0, textPos - text);
        text += len + 2;
        if (textPos < text)
            return b.position() + len;
    }
    return document()->characterCount() - 1;
}

int RichTextBox::fromDocPosition(int docPos) const
{
    const QTextBlock b = document()->findBlock(docPos);
    return b.position() + b.blockNumber() + (docPos - b.position());
}

QTextCursor RichTextBox::selectionCursor() const { return textCursor(); }

int RichTextBox::SelStart() const { return fromDocPosition(textCursor().selectionStart()); }

void RichTextBox::setSelStart(int pos)
{
    QTextCursor c = textCursor();
    c.setPosition(toDocPosition(std::max(0, pos)));
    setTextCursor(c);
}

int RichTextBox::SelLength() const
{
    const QTextCursor c = textCursor();
    return fromDocPosition(c.selectionEnd()) - fromDocPosition(c.selectionStart());
}

void RichTextBox::setSelLength(int length)
{
    QTextCursor c = textCursor();
    const int start = SelStart();
    c.setPosition(toDocPosition(start));
    c.setPosition(toDocPosition(start + std::max(0, length)), QTextCursor::KeepAnchor);
    setTextCursor(c);
}

QString RichTextBox::SelText() const
{
    return textCursor().selectedText().replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
}

void RichTextBox::setSelText(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    textCursor().insertText(t);
}

QString RichTextBox::SelRTF() const { return SelText(); }
void RichTextBox::setSelRTF(const QString &rtf) { setSelText(rtf); }

std::optional<bool> RichTextBox::SelBold() const { return textCursor().charFormat().fontWeight() >= QFont::Bold; }
void RichTextBox::setSelBold(bool on) { setFontWeight(on ? QFont::Bold : QFont::Normal); }
std::optional<bool> RichTextBox::SelItalic() const { return textCursor().charFormat().fontItalic(); }
void RichTextBox::setSelItalic(bool on) { setFontItalic(on); }
std::optional<bool> RichTextBox::SelUnderline() const { return textCursor().charFormat().fontUnderline(); }
void RichTextBox::setSelUnderline(bool on) { setFontUnderline(on); }
std::optional<bool> RichTextBox::SelStrikeThru() const { return textCursor().charFormat().fontStrikeOut(); }
void RichTextBox::setSelStrikeThru(bool on)
{
    QTextCharFormat f;
    f.setFontStrikeOut(on);
    mergeCurrentCharFormat(f);
}
std::optional<QString> RichTextBox::SelFontName() const { return textCursor().charFormat().font().family(); }
void RichTextBox::setSelFontName(const QString &name) { setFontFamily(name); }
std::optional<double> RichTextBox::SelFontSize() const { return textCursor().charFormat().font().pointSizeF(); }
void RichTextBox::setSelFontSize(double points) { setFontPointSize(points); }
std::optional<QColor> RichTextBox::SelColor() const { return textCursor().charFormat().foreground().color(); }
void RichTextBox::setSelColor(const QColor &color) { setTextColor(color); }
std::optional<int> RichTextBox::SelCharOffset() const { return 0; }
void RichTextBox::setSelCharOffset(int) {}
std::optional<bool> RichTextBox::SelBullet() const { return textCursor().currentList() != nullptr; }
void RichTextBox::setSelBullet(bool) {}
std::optional<int> RichTextBox::SelAlignment() const { return AlignLeft; }
void RichTextBox::setSelAlignment(int) {}
std::optional<int> RichTextBox::SelIndent() const { return 0; }
void RichTextBox::setSelIndent(int) {}
std::optional<int> RichTextBox::SelHangingIndent() const { return 0; }
void RichTextBox::setSelHangingIndent(int) {}
std::optional<int> RichTextBox::SelRightIndent() const { return 0; }
void RichTextBox::setSelRightIndent(int) {}
std::optional<int> RichTextBox::SelTabCount() const { return 0; }
void RichTextBox::setSelTabCount(int) {}
std::optional<int> RichTextBox::SelTabs(int) const { return std::nullopt; }
void RichTextBox::setSelTabs(int, int) {}

QFont RichTextBox::Font() const { return document()->defaultFont(); }

void RichTextBox::setFont(const QString &name, double points)
{
    QFont f(name);
    f.setPointSizeF(points);
    document()->setDefaultFont(f);
}

void RichTextBox::setRightMargin(int twips)
{
    m_rightMargin = twips;
    if (twips >= NoWrap) {
        setLineWrapMode(QTextEdit::NoWrap);
    } else {
        setLineWrapMode(QTextEdit::FixedPixelWidth);
        setLineWrapColumnOrWidth(std::max(1, twips / 15));
    }
}

int RichTextBox::Find(const QString &text, int start, int end, int options)
{
    if (text.isEmpty())
        return -1;
    const QString all = Text();
    const Qt::CaseSensitivity cs = (options & rtfMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const int limit = end < 0 ? all.size() : std::min<int>(end, all.size());
    for (int i = all.indexOf(text, std::max(0, start), cs); i >= 0 && i + text.size() <= limit;
         i = all.indexOf(text, i + 1, cs)) {
        if (options & rtfWholeWord) {
            const bool leftOk = i == 0 || !all[i - 1].isLetterOrNumber();
            const bool rightOk = i + text.size() >= all.size() || !all[i + text.size()].isLetterOrNumber();
            if (!leftOk || !rightOk)
                continue;
        }
        setSelStart(i);
        setSelLength(text.size());
        return i;
    }
    return -1;
}

bool RichTextBox::LoadFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    setTextRTFBytes(f.readAll());
    return true;
}

bool RichTextBox::SaveFile(const QString &path, int type)
{
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    const QByteArray data = type == rtfText ? Text().toUtf8() : TextRTFBytes();
    if (f.write(data) != data.size())
        return false;
    return f.commit();
}

int RichTextBox::GetLineFromChar(int pos) const
{
    return document()->findBlock(toDocPosition(pos)).blockNumber();
}

int RichTextBox::GetLineIndex(int line) const
{
    const QTextBlock b = document()->findBlockByNumber(line);
    return b.isValid() ? fromDocPosition(b.position()) : -1;
}

int RichTextBox::GetLineCount() const { return document()->blockCount(); }

void RichTextBox::Copy() { copy(); }
void RichTextBox::Cut() { cut(); }
void RichTextBox::Paste() { paste(); }
void RichTextBox::Delete() { textCursor().removeSelectedText(); }
void RichTextBox::Undo() { undo(); }
bool RichTextBox::CanUndo() const { return document()->isUndoAvailable(); }
bool RichTextBox::CanPaste() const { return canPaste(); }

void RichTextBox::keyPressEvent(QKeyEvent *event)
{
    emit KeyDown(event);
    if (!event->isAccepted())
        return;
    QTextEdit::keyPressEvent(event);
}

void RichTextBox::keyReleaseEvent(QKeyEvent *event)
{
    QTextEdit::keyReleaseEvent(event);
    emit KeyUp(event);
}

void RichTextBox::mouseMoveEvent(QMouseEvent *event)
{
    QTextEdit::mouseMoveEvent(event);
    emit MouseMove(event);
}

void RichTextBox::mouseReleaseEvent(QMouseEvent *event)
{
    QTextEdit::mouseReleaseEvent(event);
    emit MouseUp(event);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    return QTextEdit::canInsertFromMimeData(source);
}

void RichTextBox::insertFromMimeData(const QMimeData *source) { QTextEdit::insertFromMimeData(source); }

QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    return QTextEdit::createMimeDataFromSelection();
}
