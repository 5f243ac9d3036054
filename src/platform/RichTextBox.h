#pragma once

#include <QColor>
#include <QPointer>
#include <QString>
#include <QTextEdit>
#include <QTextFormat>
#include <QVector>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/LongDocumentLayout.h"
#include "platform/SafeFile.h"
#include "platform/rtf/PlainTextCodec.h"

class BackgroundLayout;
class QImage;
class QTextBlock;
class QTextLayout;
class QTextCursor;
class QTextBlockFormat;
namespace Rtf {
struct ReadControl;
}

// The rich text control every document window, scratch buffer and sample uses.
//
// Positions are offsets into Text(), where every paragraph break is "\r\n" and so counts two;
// SelStart, SelLength, Find, the line queries and Text all agree on them. A soft line break
// (U+2028 in the document) reads as "\v" and a picture as U+FFFC, one position each. A position
// between the "\r" and the "\n" of a break means the end of that paragraph. Lengths, indents,
// tabs and offsets are in twips. A property over a selection whose characters or paragraphs
// differ reads as std::nullopt (the control's "null"); with nothing selected, character
// properties read the format that typing would use and paragraph properties the caret's
// paragraph. Setting a property is one undo step; it applies to the selection, or with nothing
// selected to the typing format (characters) or the caret's paragraph (paragraphs). A locked
// control (a read-only document) ignores every change of text or format made through these
// members, as well as typing, pasting and dropping; loading a whole content (LoadFile, setText,
// setTextRTF) still works.
class RichTextBox : public QTextEdit
{
    Q_OBJECT
public:
    static constexpr int NoWrap = 999999;

    enum Alignment { AlignLeft = 0, AlignRight = 1, AlignCenter = 2 };
    enum FileType { rtfRTF = 0, rtfText = 1 };
    // rtfNoHighlight: find without selecting the hit.
    enum FindOption { rtfWholeWord = 2, rtfMatchCase = 4, rtfNoHighlight = 8 };

    explicit RichTextBox(QWidget *parent = nullptr);
    ~RichTextBox() override;

    // --- Whole content ---
    // The document as RTF. Setting it with text that is not RTF loads it as plain text.
    QString TextRTF() const;
    void setTextRTF(const QString &rtf);
    QByteArray TextRTFBytes() const;
    void setTextRTFBytes(const QByteArray &data);
    // The plain text with "\r\n" paragraph breaks, "\v" soft line breaks, U+FFFC pictures.
    QString Text() const;
    // Replaces the content with plain text in the control's font: "\r\n", "\r" and "\n" break
    // paragraphs, "\v" breaks a line.
    void setText(const QString &text);

    // --- Selection ---
    int SelStart() const;
    void setSelStart(int pos);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    // Replaces the selection with plain text (breaks as for setText) in the typing format; the
    // caret ends after it.
    void setSelText(const QString &text);
    // The selection as a complete RTF document; setting it replaces the selection with the
    // document's content (the break ending its last paragraph adds no paragraph), one undo step.
    // Text that is not RTF is inserted as plain text.
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
    // AlignLeft, AlignRight or AlignCenter; justified paragraphs read as AlignLeft.
    std::optional<int> SelAlignment() const;
    void setSelAlignment(int alignment);
    std::optional<int> SelIndent() const; // left edge of the first line, twips
    void setSelIndent(int twips);
    std::optional<int> SelHangingIndent() const; // other lines relative to the first, twips
    void setSelHangingIndent(int twips);
    std::optional<int> SelRightIndent() const;
    void setSelRightIndent(int twips);
    // Tab stops in twips, in the order they were set. Setting the count truncates the stops or
    // extends them every 720 twips after the last one; setting stop `index` at or past the count
    // extends the count first.
    std::optional<int> SelTabCount() const;
    void setSelTabCount(int count);
    std::optional<int> SelTabs(int index) const;
    void setSelTabs(int index, int twips);

    // --- Control ---
    // The control's default font, applied to text without its own font.
    QFont Font() const;
    void setFont(const QString &name, double points);
    using QTextEdit::setFont;
    // Right edge of the text in twips: NoWrap for none, else the line width.
    int RightMargin() const { return m_rightMargin; }
    void setRightMargin(int twips);
    // Locks the content against every change but a whole new content (a read-only document).
    void setLocked(bool on);
    bool isLocked() const { return m_locked; }
    // The modified flag as the program keeps it ("1" modified).
    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }

    // Finds text between start and end (-1: to the end); options: rtfWholeWord | rtfMatchCase.
    // Selects the hit and returns its position, or -1.
    int Find(const QString &text, int start = 0, int end = -1, int options = 0);

    // Replaces the content with the file, read as RTF (as plain text when it is not RTF: UTF-8
    // or Windows-1252, whose encoding and line endings are remembered for SaveFile). False when
    // the file cannot be read (or is not an ordinary file); the content is then unchanged.
    // Clears the undo history. `result`, when given, says why a read failed and which version
    // of the file was read.
    bool LoadFile(const QString &path, SafeFile::Result *result = nullptr);
    // Writes the content safely (SafeFile::write): type rtfRTF or rtfText (in the remembered
    // encoding and line endings, UTF-8 with "\n" for content not loaded from a text file; soft
    // line breaks end lines, pictures are left out). False when writing failed; the existing
    // file is then left as it was. `result`, when given, says why and what was written.
    bool SaveFile(const QString &path, int type = rtfRTF, SafeFile::Result *result = nullptr);
    // A plain-text file read by LoadFile gets this font, as the document's default font and
    // the text's own (no name and no size: neither changes).
    void setPlainTextFont(const QString &name, double points);
    // After LoadFile: whether the file was read as plain text rather than RTF.
    bool wasReadAsPlainText() const { return m_readAsPlainText; }
    PlainText::Encoding TextEncoding() const { return m_encoding; }
    PlainText::LineEnding TextLineEnding() const { return m_lineEnding; }
    void setTextEncoding(PlainText::Encoding encoding, PlainText::LineEnding lineEnding);

    // --- Display lines (as laid out with the current wrap) ---
    // O(log n) once the blocks involved are laid out; a line past the background layout's
    // progress lays out that far first.
    int GetLineFromChar(int pos) const;
    int GetLineIndex(int line) const; // first character of a display line, -1 past the end
    int GetLineCount() const;
    // The line and column (both from 1) of a position for the status bar, without waiting for
    // the layout: past the background layout's progress, paragraphs not laid out yet count the
    // lines they had when last laid out (one when never) until the layout gets there.
    std::pair<int, int> lineAndColumn(int pos) const;

    // --- Background layout ---
    // A long document is laid out from the top in slices between events while the control is
    // shown: the first screen at once, the rest without holding up input.
    bool isLayoutPending() const;
    int layoutProgress() const; // percent laid out
    // Stops laying out in the background (what is shown is still laid out) until the content
    // or the wrap changes or resumeBackgroundLayout().
    void stopBackgroundLayout();
    void resumeBackgroundLayout();
    // Lays out the rest at once.
    void finishLayout();
    // The first and last block numbers the view shows: work that looks at the text (checking
    // spelling as one types) looks there, not at the whole document.
    std::pair<int, int> visibleBlocks() const;

    // Documents with more characters (or paragraphs) than these, and no tables, are laid out by
    // the long-document layout, which lays out only what it shows; shorter ones by Qt's.
    static constexpr int LongDocumentCharacters = 200'000;
    static constexpr int LongDocumentParagraphs = 2'000;
    // Picks the layout for the content (after loading and other large changes).
    void chooseLayout();

    // Files with a paragraph longer than this are not loaded: the text layout breaks a paragraph
    // into lines in one call, which for millions of characters holds the program up for minutes.
    static constexpr int LongestParagraph = 100'000;
    // After LoadFile refused a file it read: the length of its longest paragraph (else 0).
    int refusedParagraphLength() const { return m_refusedParagraph; }

    // A file (RTF or plain text) of at least this many bytes is read in a worker thread into a
    // new document, which then replaces the control's (DocumentReplaced). Meanwhile the event loop
    // runs: ReadProgress reports the progress, user input goes only to the read-cancel widget
    // (Escape cancels too), and windows do not close.
    static constexpr qsizetype BackgroundReadBytes = 1 << 20;
    void setBackgroundReadBytes(qsizetype bytes) { m_backgroundReadBytes = bytes; }
    void setReadCancelWidget(QWidget *widget) { m_readCancelWidget = widget; }
    // Stops the background read; LoadFile then returns false and the content stays as it was.
    void cancelRead();
    bool wasReadCancelled() const { return m_readCancelled; }

    // True when a change of document positions [docFrom, docTo) is large enough for BulkChange.
    bool isLargeChange(int docFrom, int docTo) const;
    // Makes one large change (loading, replacing all, formatting many paragraphs) with the
    // layout switched off, then lays out again from the top: the part up to the view at once,
    // the rest in the background. Qt would otherwise lay out the whole changed range in one go.
    class BulkChange
    {
    public:
        // KeepView shows the same text afterwards; NewContent starts at the top.
        enum View { KeepView, NewContent };
        explicit BulkChange(RichTextBox &box, View view = KeepView);
        ~BulkChange();
        BulkChange(const BulkChange &) = delete;
        BulkChange &operator=(const BulkChange &) = delete;

    private:
        RichTextBox &m_box;
        View m_view;
        int m_topPosition = 0;
        int m_topOffset = 0;
        int m_undoSteps = 0;
    };

    // --- Edit commands ---
    // Copy and Cut put plain text, HTML and RTF ("text/rtf", "application/rtf") on the
    // clipboard, and the image when the selection is one picture. Paste takes RTF first, then
    // an image (inserted as a picture), then plain text (or the text of HTML).
    void Copy();
    void Cut();
    void Paste();
    // As the Delete key: removes the selection, or with none the character after the caret.
    void Delete();
    void Undo();
    void Redo();
    bool CanUndo() const;
    // Forgets the undo history and counts the content as unmodified (after the program's own
    // changes, such as a load and the font it gets, which are nothing the user can undo).
    void resetHistory();
    bool CanPaste() const;

    // Inserts a picture at the caret (replacing the selection), shown at its pixel size.
    void insertPicture(const QImage &image);

    // The address of the link under a point of the viewport; empty where there is none.
    // Ctrl+click on a link opens it with the desktop's program for it (UiServices::openUrl).
    QString LinkAt(const QPoint &viewportPos) const;

    // Converts between Text() positions and QTextDocument positions.
    int toDocPosition(int textPos) const;
    int fromDocPosition(int docPos) const;

signals:
    // Content changed (text or formatting), not emitted for selection moves.
    void Change();
    // Selection or caret moved.
    void SelChange();
    // Key events reach the handlers before the control, ignored: a handler that consumes the
    // key calls event->accept(), and the control then does not process it.
    void KeyDown(QKeyEvent *event);
    void KeyUp(QKeyEvent *event);
    // Emitted after the control has handled the mouse event (the selection is current).
    void MouseMove(QMouseEvent *event);
    void MouseUp(QMouseEvent *event);
    // The background layout's progress, about every tenth of a second, and its end.
    void LayoutProgress(int percent);
    void LayoutFinished();
    void ReadProgress(int percent); // a background read's progress, once at its start too
    void DocumentReplaced();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    QTextCursor selectionCursor() const;
    void loadPlainText(const PlainText::Decoded &decoded);
    void loadRtf(QByteArrayView data);
    void loadPlainFile(QByteArrayView data);
    // The font and character format a plain-text file is read in (setPlainTextFont).
    std::pair<QFont, QTextCharFormat> plainTextFormat() const;
    // Reads the whole file in the worker and adopts it; the problem, or the stamp of the file
    // as the worker read it.
    SafeFile::Result loadFileInBackground(const QString &path, qint64 size, bool rtfHead);
    using BackgroundRead = std::function<int(QTextDocument &, Rtf::ReadControl &)>;
    std::unique_ptr<QTextDocument> readInBackground(qsizetype size, const QFont &font,
                                                    const BackgroundRead &read);
    void adoptRead(std::unique_ptr<QTextDocument> read);
    void adoptDocument(QTextDocument *fresh);
    void chooseLayoutFor(QTextDocument *doc);
    // Whether a document gets the long-document layout: long enough, and no tables.
    static bool needsLongLayout(const QTextDocument &doc);
    static int longestParagraph(const QTextDocument &doc);
    void mergeSelCharFormat(const QTextCharFormat &format);
    template <typename F> void changeBlocks(F change);
    void watchDocument() const;
    QString lineKey() const;
    void linesChanging(int from, int added) const;
    void linesChanged() const;
    void countLines(int block, bool layOut = true) const;
    LongDocumentLayout *longLayout() const;
    int countedBlocks() const;
    const QTextLayout *blockLines(const QTextBlock &block, bool layOut) const;
    void keepView(qreal top, int oldHeight, int newHeight);
    void emitSelChangeIfMoved();
    bool directionUndecided() const;
    void takeTypedDirection();
    void followLink(const QString &link);
    std::vector<QTextCharFormat> selectedCharFormats() const;

    int m_rightMargin = NoWrap;
    QString m_tag = QStringLiteral("0");
    bool m_locked = false;
    PlainText::Encoding m_encoding = PlainText::Encoding::Utf8;
    PlainText::LineEnding m_lineEnding = PlainText::LineEnding::Lf;
    int m_lastAnchor = -1;
    int m_lastPosition = -1;
    QString m_pressedLink; // the link a Ctrl+click went down on

    // Text() of the current content, rebuilt after a change.
    mutable const QTextDocument *m_watched = nullptr;
    mutable QString m_textCache;
    mutable bool m_textValid = false;
    // Counts content changes; the selection's character formats are kept for one revision.
    mutable quint64 m_revision = 0;
    mutable quint64 m_formatsRevision = ~quint64(0);
    mutable int m_formatsStart = -1;
    mutable int m_formatsEnd = -1;
    mutable std::vector<QTextCharFormat> m_formats;
    // Display lines (RichTextBox_lines.cpp): blocks before m_countedBlocks hold the line counts
    // of the layout described by m_lineKey; m_recountFrom..m_recountTo changed and are counted
    // again once laid out.
    BackgroundLayout *m_background = nullptr;
    mutable int m_countedBlocks = 0;
    mutable int m_recountFrom = -1;
    mutable int m_recountTo = -1;
    mutable int m_blockCount = 1;
    mutable QString m_lineKey;
    int m_bulkDepth = 0;
    bool m_loadingFile = false;
    int m_refusedParagraph = 0;
    bool m_paragraphsChecked = false; // the content being loaded was checked while read
    bool m_readAsPlainText = false;
    QString m_plainTextFont;
    double m_plainTextPoints = 0;
    qsizetype m_backgroundReadBytes = BackgroundReadBytes;
    QPointer<QWidget> m_readCancelWidget;
    std::atomic<bool> *m_readCancel = nullptr;
    // A document just read in the background: the long-document layout's first estimate of its
    // paragraphs' heights, taken by chooseLayoutFor.
    LongDocumentLayout::FirstEstimate m_freshEstimate;
    bool m_readCancelled = false;
    // Scrolling owed to paragraphs above the view that changed height, applied once the view
    // knows the new size.
    int m_scrollCarry = 0;
    // Undo stack positions just after each large change, so undoing or redoing it is one too.
    mutable std::vector<int> m_bulkSteps;
};
