#pragma once

#include <QColor>
#include <QString>
#include <QTextEdit>
#include <QVector>
#include <optional>

class QTextCursor;

// The rich text control every document window, scratch buffer and sample uses.
//
// Positions are offsets into Text(), where every paragraph break is "\r\n" and so counts two;
// SelStart, SelLength, Find, the line queries and Text all agree on them. Lengths, indents, tabs
// and offsets are in twips. A property over a selection whose characters or paragraphs differ
// reads as std::nullopt (the control's "null").
class RichTextBox : public QTextEdit
{
    Q_OBJECT
public:
    static constexpr int NoWrap = 999999;

    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };
    enum FileType { rtfRTF = 0, rtfText = 1 };
    enum FindOption { rtfWholeWord = 2, rtfMatchCase = 4 };

    explicit RichTextBox(QWidget *parent = nullptr);
    ~RichTextBox() override;

    // --- Whole content ---
    // The document as RTF. Setting it with text that is not RTF loads it as plain text.
    QString TextRTF() const;
    void setTextRTF(const QString &rtf);
    QByteArray TextRTFBytes() const;
    void setTextRTFBytes(const QByteArray &data);
    // The plain text with "\r\n" paragraph breaks.
    QString Text() const;
    void setText(const QString &text);

    // --- Selection ---
    int SelStart() const;
    void setSelStart(int pos);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    void setSelText(const QString &text);
    // The selection as a complete RTF document; setting it replaces the selection.
    QString SelRTF() const;
    void setSelRTF(const QString &rtf);

    // --- Character formatting of the selection ---
    std::optional<bool> SelBold() const;
    void setSelBold(bool on);
    std::optional<bool> SelItalic() const;
    void setSelItalic(bool on);
    std::optional<bool> SelUnderline() const;
    void setSelUnderline(bool on);
    std::optional<bool> SelStrikeThru() const;
    void setSelStrikeThru(bool on);
    std::optional<QString> SelFontName() const;
    void setSelFontName(const QString &name);
    std::optional<double> SelFontSize() const; // points
    void setSelFontSize(double points);
    std::optional<QColor> SelColor() const;
    void setSelColor(const QColor &color);
    std::optional<int> SelCharOffset() const; // twips, positive raises
    void setSelCharOffset(int twips);

    // --- Paragraph formatting of the selection ---
    std::optional<bool> SelBullet() const;
    void setSelBullet(bool on);
    std::optional<int> SelAlignment() const;
    void setSelAlignment(int alignment);
    std::optional<int> SelIndent() const;        // left edge of the first line, twips
    void setSelIndent(int twips);
    std::optional<int> SelHangingIndent() const; // other lines relative to the first, twips
    void setSelHangingIndent(int twips);
    std::optional<int> SelRightIndent() const;
    void setSelRightIndent(int twips);
    std::optional<int> SelTabCount() const;
    void setSelTabCount(int count);
    std::optional<int> SelTabs(int index) const;
    void setSelTabs(int index, int twips);

    // --- Control ---
    // The control's default font, applied to text without its own font.
    QFont Font() const;
    void setFont(const QString &name, double points);
    // Right edge of the text in twips: NoWrap for none, else the line width.
    int RightMargin() const { return m_rightMargin; }
    void setRightMargin(int twips);
    // The modified flag as the program keeps it ("1" modified).
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Finds text between start and end (-1: to the end); options: rtfWholeWord | rtfMatchCase.
    // Selects the hit and returns its position, or -1.
    int Find(const QString &text, int start = 0, int end = -1, int options = 0);

    // Replaces the content with the file, read as RTF (as plain text when it is not RTF).
    // False when the file cannot be read.
    bool LoadFile(const QString &path);
    // Writes the content atomically: type rtfRTF or rtfText. False when writing failed; the
    // existing file is then left as it was.
    bool SaveFile(const QString &path, int type = rtfRTF);

    // --- Display lines (as laid out with the current wrap) ---
    int GetLineFromChar(int pos) const;
    int GetLineIndex(int line) const; // first character of a display line, -1 past the end
    int GetLineCount() const;

    // --- Edit commands ---
    void Copy();
    void Cut();
    void Paste();
    void Delete();
    void Undo();
    bool CanUndo() const;
    bool CanPaste() const;

    // Converts between Text() positions and QTextDocument positions.
    int toDocPosition(int textPos) const;
    int fromDocPosition(int docPos) const;

signals:
    // Content changed (the program's Change event).
    void Change();
    // Selection or caret moved.
    void SelChange();
    void KeyDown(QKeyEvent *event);
    void KeyUp(QKeyEvent *event);
    void MouseMove(QMouseEvent *event);
    void MouseUp(QMouseEvent *event);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    QTextCursor selectionCursor() const;

    int m_rightMargin = NoWrap;
    QString m_tag = QStringLiteral("0");
};
