// The spelling commands of the command object.

#include <QAction>
#include <QMenu>

#include "content/SpellingCommands.h"
#include "content/SpellingDictionary.h"
#include "content/SpellingHighlighter.h"
#include "content/clsSpelling.h"
#include "core/AppState.h"
#include "core/clsLibrary.h"
#include "core/clsMain.h"
#include "core/frmMain.h"
#include "documents/frmDocRTF.h"
#include "platform/RichTextBox.h"

namespace {

// At most this many suggestions in the context menu.
constexpr int MenuSuggestions = 5;

} // namespace

void clsMain::EDITSPELLCHECKER()
{
    frmDocRTF *doc = ActiveDoc();
    if (!doc)
        return;
    SpellingCommands::setStatusHandler([](const QString &text) {
        if (frmMain *main = AppState::instance().MainWindow.data())
            clsLibrary::instance().STATUSBARCAPTION(main, text, 0);
    });
    SpellingCommands::EDITSPELLCHECK(doc->RTF1);
}

void clsMain::SAVEDICT()
{
    SpellingCommands::SAVEDICT();
}

void clsMain::SPELLSTARTUP()
{
    SpellingCommands::STARTUP();
}

void clsMain::SPELLATTACH(RichTextBox *box)
{
    if (box && !SpellingHighlighter::of(box))
        new SpellingHighlighter(box);
}

void clsMain::SPELLPOPUP(QMenu *menu, const QPoint &globalPos)
{
    if (!menu)
        return;
    for (QAction *a : menu->actions())
        if (a->objectName().startsWith(QLatin1String("MNUSPELL"))) {
            menu->removeAction(a);
            delete a;
        }
    frmDocRTF *doc = ActiveDoc();
    SpellingHighlighter *highlighter = doc ? SpellingHighlighter::of(doc->RTF1) : nullptr;
    if (!highlighter || !highlighter->isEnabled())
        return;
    RichTextBox *box = doc->RTF1;
    highlighter->refresh();
    // The word under the pointer, or at the caret when the menu came from the keyboard.
    const QPoint at = box->viewport()->mapFromGlobal(globalPos);
    const int docPos = box->viewport()->rect().contains(at) ? box->cursorForPosition(at).position()
                                                            : box->textCursor().position();
    const auto misspelt = highlighter->misspeltAt(box->fromDocPosition(docPos));
    if (!misspelt)
        return;

    QAction *first = menu->actions().value(0);
    auto add = [menu, first](const QString &name, const QString &caption) {
        auto *a = new QAction(caption, menu);
        a->setObjectName(name);
        menu->insertAction(first, a);
        return a;
    };
    const clsSpelling::Suggestions s =
        clsSpelling::suggest(misspelt->word, SpellingDictionary::program());
    for (int i = 0; i < s.items.size() && i < MenuSuggestions; ++i) {
        const QString item = s.items[i];
        QAction *a = add(QStringLiteral("MNUSPELLSUGGEST%1").arg(i),
                         QString(item).replace(u'&', QLatin1String("&&")));
        a->setEnabled(s.enabled);
        QObject::connect(a, &QAction::triggered, box, [box, m = *misspelt, item] {
            box->setSelStart(m.start);
            box->setSelLength(m.length);
            box->setSelText(item);
        });
    }
    QObject::connect(add(QStringLiteral("MNUSPELLIGNOREALL"), QStringLiteral("Ig&nore All")),
                     &QAction::triggered, box, [word = misspelt->word] {
                         SpellingDictionary::program().ignoreAll(word);
                         SpellingHighlighter::refreshAll();
                     });
    QObject::connect(add(QStringLiteral("MNUSPELLADD"), QStringLiteral("&Add")),
                     &QAction::triggered, box, [word = misspelt->word] {
                         SpellingDictionary::program().addWord(word);
                         SpellingHighlighter::refreshAll();
                     });
    add(QStringLiteral("MNUSPELLSEP"), QString())->setSeparator(true);
}

void clsMain::SPELLPREFERENCES()
{
    SpellingDictionary::program().reloadLanguage();
    SpellingHighlighter::refreshAll();
}
