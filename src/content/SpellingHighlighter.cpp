#include "content/SpellingHighlighter.h"

#include <QEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

#include "content/SpellingDictionary.h"
#include "content/SpellingWords.h"
#include "content/clsSpelling.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/RichTextBox.h"

namespace {

// Marks the extra selections that are ours, so others' stay as they are.
constexpr int OwnProperty = QTextFormat::UserProperty + 0x5E1;
// The word as judged (apostrophes as "'", soft hyphens left out).
constexpr int WordProperty = OwnProperty + 1;
// Paragraphs longer than this are checked only around the part on screen.
constexpr int LongBlock = 4096;

QList<SpellingHighlighter *> &instances()
{
    static QList<SpellingHighlighter *> list;
    return list;
}

bool isOwn(const QTextEdit::ExtraSelection &s)
{
    return s.format.boolProperty(OwnProperty);
}

} // namespace

SpellingHighlighter::SpellingHighlighter(RichTextBox *box) : QObject(box), m_box(box)
{
    setObjectName(QStringLiteral("SpellingHighlighter"));
    instances().append(this);
    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &SpellingHighlighter::check);
    const auto followEdits = [this] {
        connect(m_box->document(), &QTextDocument::contentsChange, this,
                [this](int from, int, int added) {
                    m_lastEdit = from + added;
                    schedule();
                });
    };
    followEdits();
    connect(box, &RichTextBox::DocumentReplaced, this, followEdits);
    connect(box, &QTextEdit::cursorPositionChanged, this, &SpellingHighlighter::schedule);
    connect(box->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &SpellingHighlighter::schedule);
    connect(box->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &SpellingHighlighter::schedule);
    box->viewport()->installEventFilter(this);
    setEnabled(preferenceOn());
}

SpellingHighlighter::~SpellingHighlighter()
{
    instances().removeOne(this);
}

SpellingHighlighter *SpellingHighlighter::of(RichTextBox *box)
{
    return box ? box->findChild<SpellingHighlighter *>(QString(), Qt::FindDirectChildrenOnly)
               : nullptr;
}

bool SpellingHighlighter::preferenceOn()
{
    const QString text = clsLibrary::instance()
                             .REGSTRREAD(clsLibrary::HKEY_CURRENT_USER,
                                         Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
                                         QStringLiteral("Check As You Type"), QStringLiteral("1"))
                             .trimmed();
    return !(text == QLatin1String("0") ||
             text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0);
}

void SpellingHighlighter::refreshAll()
{
    const bool on = preferenceOn();
    for (SpellingHighlighter *h : std::as_const(instances())) {
        h->setEnabled(on);
        h->schedule();
    }
}

void SpellingHighlighter::setEnabled(bool on)
{
    m_enabled = on;
    schedule();
}

void SpellingHighlighter::refresh()
{
    m_timer.stop();
    check();
}

bool SpellingHighlighter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        schedule();
    return QObject::eventFilter(watched, event);
}

void SpellingHighlighter::schedule()
{
    if (!m_timer.isActive())
        m_timer.start();
}

void SpellingHighlighter::check()
{
    if (!m_box)
        return;
    QList<QTextEdit::ExtraSelection> selections = m_box->extraSelections();
    QList<std::pair<int, int>> old; // our underlines as they are
    for (const QTextEdit::ExtraSelection &s : std::as_const(selections))
        if (isOwn(s))
            old.append({s.cursor.selectionStart(), s.cursor.selectionEnd()});
    selections.removeIf(isOwn);
    const bool hadOwn = !old.isEmpty();
    SpellingDictionary &dictionary = SpellingDictionary::program();
    if (m_enabled)
        dictionary.ensureLoaded();
    if (!m_enabled || dictionary.notFound()) {
        if (hadOwn)
            m_box->setExtraSelections(selections);
        return;
    }

    const clsSpelling::Checks checks = clsSpelling::Checks::read();
    const QTextCursor caret = m_box->textCursor();
    const int typing = caret.hasSelection() || caret.position() != m_lastEdit ? -1 : m_lastEdit;
    const QRect view = m_box->viewport()->rect();
    const int first = m_box->cursorForPosition(view.topLeft()).position();
    const int last = m_box->cursorForPosition(view.bottomRight()).position();
    QTextCharFormat format;
    format.setUnderlineStyle(QTextCharFormat::SpellCheckUnderline);
    format.setUnderlineColor(Qt::red);
    format.setProperty(OwnProperty, true);
    QTextDocument *doc = m_box->document();
    QList<std::pair<int, int>> now;
    for (QTextBlock block = doc->findBlock(first); block.isValid() && block.position() <= last;
         block = block.next()) {
        const QString text = block.text();
        int from = 0;
        int to = int(text.size());
        if (to > LongBlock) {
            // Only around what is on screen, from and to a blank.
            from = std::clamp(first - block.position() - 100, 0, to);
            while (from > 0 && !text[from - 1].isSpace())
                --from;
            to = std::clamp(last - block.position() + 100, from, to);
            while (to < text.size() && !text[to].isSpace())
                ++to;
        }
        const QStringView part = QStringView(text).sliced(from, to - from);
        for (auto w = SpellingWords::next(part, 0); w;
             w = SpellingWords::next(part, w->start + w->length)) {
            const int start = block.position() + from + w->start;
            if (start + w->length == typing || clsSpelling::judge(w->text, checks, dictionary))
                continue;
            QTextEdit::ExtraSelection s;
            s.cursor = QTextCursor(doc);
            s.cursor.setPosition(start);
            s.cursor.setPosition(start + w->length, QTextCursor::KeepAnchor);
            s.format = format;
            s.format.setProperty(WordProperty, w->text);
            selections.append(s);
            now.append({start, start + w->length});
        }
    }
    if (now != old)
        m_box->setExtraSelections(selections);
}

std::optional<SpellingHighlighter::Misspelt> SpellingHighlighter::misspeltAt(int textPos) const
{
    for (const Misspelt &m : underlined())
        if (textPos >= m.start && textPos <= m.start + m.length)
            return m;
    return std::nullopt;
}

QList<SpellingHighlighter::Misspelt> SpellingHighlighter::underlined() const
{
    QList<Misspelt> list;
    if (!m_box)
        return list;
    for (const QTextEdit::ExtraSelection &s : m_box->extraSelections()) {
        if (!isOwn(s) || !s.cursor.hasSelection())
            continue;
        const int start = m_box->fromDocPosition(s.cursor.selectionStart());
        const int end = m_box->fromDocPosition(s.cursor.selectionEnd());
        list.append({start, end - start, s.format.stringProperty(WordProperty)});
    }
    std::sort(list.begin(), list.end(),
              [](const Misspelt &a, const Misspelt &b) { return a.start < b.start; });
    return list;
}
