#include "content/clsSpelling.h"

#include "content/SpellingDictionary.h"
#include "content/SpellingHighlighter.h"
#include "content/frmSpelling.h"
#include "core/Identity.h"
#include "core/NumberText.h"
#include "core/clsLibrary.h"
#include "platform/RichTextBox.h"
#include "platform/UiServices.h"

namespace {

// A boolean text as the preferences store it: "True"/"False" in any case or a number, non-zero
// being true. Anything else reads as the default.
bool readFlag(const QString &name, bool def)
{
    const QString text = clsLibrary::instance()
                             .REGSTRREAD(clsLibrary::HKEY_CURRENT_USER,
                                         Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
                                         name, def ? QStringLiteral("1") : QStringLiteral("0"))
                             .trimmed();
    if (text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const auto n = NumberText::parse(text))
        return *n != 0;
    return def;
}

bool hasDigitOneToNine(QStringView word)
{
    for (const QChar c : word)
        if (c >= QLatin1Char('1') && c <= QLatin1Char('9'))
            return true;
    return false;
}

bool onlyCapitals(QStringView word)
{
    if (word.isEmpty())
        return false;
    for (const QChar c : word)
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            return false;
    return true;
}

// A character that is neither a letter (of any alphabet) nor an apostrophe inside the word.
bool hasSpecial(QStringView word)
{
    for (const QChar c : word)
        if (c.unicode() > 32 && !c.isLetter() && !c.isMark() && c != u'\'')
            return true;
    return false;
}

QString capitalised(const QString &word)
{
    if (word.isEmpty())
        return word;
    return word.at(0).toUpper() + word.mid(1);
}

bool allCapitals(const QString &word)
{
    int letters = 0;
    for (const QChar c : word) {
        if (c.isLower())
            return false;
        letters += c.isUpper() ? 1 : 0;
    }
    return letters > 1;
}

} // namespace

clsSpelling::Checks clsSpelling::Checks::read()
{
    Checks c;
    c.numbers = readFlag(QStringLiteral("Number Check"), true);
    c.capitals = readFlag(QStringLiteral("Capitals Check"), true);
    c.characters = readFlag(QStringLiteral("Character Check"), true);
    return c;
}

clsSpelling::clsSpelling(QObject *parent) : QObject(parent)
{}

clsSpelling::~clsSpelling()
{
    delete m_dialog.data();
}

RichTextBox *clsSpelling::textBox() const
{
    return m_box;
}

frmSpelling *clsSpelling::dialog() const
{
    return m_dialog;
}

void clsSpelling::STARTUP()
{
    emit Status(QStringLiteral("Loading dictionary files..."));
    SpellingDictionary::program().ensureLoaded();
}

void clsSpelling::TEXTBOX(RichTextBox *box)
{
    m_box = box;
}

void clsSpelling::SPELLCHECK(bool fromCurrent)
{
    SpellingDictionary::program().ensureLoaded();
    if (!m_box)
        return;
    if (!fromCurrent) {
        m_box->setSelStart(0);
        m_box->setSelLength(0);
    }
    findNext();
    if (!m_dialog || m_running)
        return;
    // A misspelt word was found: the dialog stays up while the user works through the text.
    m_running = true;
    UiServices::instance().execDialog(m_dialog);
    m_running = false;
    delete m_dialog.data();
}

void clsSpelling::CHGWORD()
{
    if (!m_box || !m_dialog)
        return;
    const QString replacement = m_dialog->replacement();
    bool cancel = false;
    emit BeforeChange(m_box->SelText(), replacement, cancel);
    if (cancel)
        return;
    m_box->setSelText(replacement);
    findNext();
}

void clsSpelling::IGNOREWORD()
{
    findNext();
}

void clsSpelling::IGNOREALL()
{
    if (m_dialog)
        SpellingDictionary::program().ignoreAll(m_dialog->unknownWord());
    SpellingHighlighter::refreshAll();
    findNext();
}

void clsSpelling::ADDTODICT()
{
    const QString word = m_dialog ? m_dialog->unknownWord() : QString();
    bool cancel = false;
    emit BeforeAdd(word, cancel);
    if (cancel)
        return;
    SpellingDictionary::program().addWord(word);
    SpellingHighlighter::refreshAll();
    findNext();
}

bool clsSpelling::SAVEDICT()
{
    if (SpellingDictionary::program().save() == SpellingDictionary::SaveResult::Failed) {
        clsLibrary::instance().MESSAGEBOX(10, SpellingDictionary::userPath());
        return false;
    }
    emit Saved();
    return true;
}

bool clsSpelling::judge(QStringView word, const Checks &checks,
                        const SpellingDictionary &dictionary)
{
    const QStringView w = word.trimmed();
    if (checks.numbers && hasDigitOneToNine(w))
        return true;
    if (checks.capitals && onlyCapitals(w))
        return true;
    if (checks.characters && hasSpecial(w))
        return true;
    return dictionary.contains(w) || dictionary.containsDerived(w);
}

clsSpelling::Suggestions clsSpelling::suggest(const QString &word,
                                              const SpellingDictionary &dictionary)
{
    Suggestions s;
    s.word = word;
    s.replacement = word;
    if (dictionary.notFound()) {
        s.items = {QStringLiteral("Dictionary not found")};
        s.enabled = false;
        return s;
    }
    // The word is in the list with other capitals (a name typed in lower case).
    if (const QString listed = dictionary.spellingIgnoringCase(word); !listed.isEmpty()) {
        s.items = {listed};
        s.selected = 0;
        s.replacement = listed;
        return s;
    }
    const bool capital = !word.isEmpty() && word[0].unicode() < 91;
    const bool capitals = allCapitals(word);
    for (const QString &candidate : dictionary.suggestions(word, MaxSuggestions)) {
        const QString shown = capitals  ? candidate.toUpper()
                              : capital ? capitalised(candidate)
                                        : candidate;
        if (!s.items.contains(shown))
            s.items.append(shown);
    }
    if (s.items.isEmpty()) {
        s.items = {QStringLiteral("No Suggestions")};
        s.enabled = false;
        return s;
    }
    s.selected = 0;
    s.replacement = s.items[0];
    return s;
}

std::optional<clsSpelling::Word> clsSpelling::nextMisspelt(QStringView text, int from,
                                                           const SpellingDictionary &dictionary)
{
    // Nothing can change the preferences while one search runs: read them once for it.
    const Checks checks = Checks::read();
    for (auto w = SpellingWords::next(text, from); w;
         w = SpellingWords::next(text, w->start + w->length))
        if (!judge(w->text, checks, dictionary))
            return w;
    return std::nullopt;
}

void clsSpelling::findNext()
{
    if (!m_box) {
        closeDialog();
        return;
    }
    const SpellingDictionary &dictionary = SpellingDictionary::program();
    const auto found =
        nextMisspelt(m_box->Text(), m_box->SelStart() + m_box->SelLength(), dictionary);
    if (!found) {
        finish();
        return;
    }
    m_box->setSelStart(found->start);
    m_box->setSelLength(found->length);
    if (!m_dialog)
        m_dialog = new frmSpelling(this, m_box->window());
    m_dialog->showSuggestions(suggest(found->text, dictionary));
}

void clsSpelling::finish()
{
    emit Finished();
    closeDialog();
    clsLibrary::instance().MESSAGEBOX(1);
}

void clsSpelling::closeDialog()
{
    if (!m_dialog)
        return;
    if (m_running)
        m_dialog->done(0); // ends the modal run; SPELLCHECK unloads it
    else
        delete m_dialog.data();
}
