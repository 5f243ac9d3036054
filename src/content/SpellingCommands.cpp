#include "content/SpellingCommands.h"

#include <QObject>
#include <memory>

#include "content/SpellingDictionary.h"
#include "content/clsSpelling.h"
#include "content/frmSpelling.h"
#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/RichTextBox.h"

namespace SpellingCommands {

namespace {

std::function<void(const QString &)> &statusHandler()
{
    static std::function<void(const QString &)> handler;
    return handler;
}

void status(const QString &text)
{
    if (statusHandler())
        statusHandler()(text);
}

bool spellCheckLoad()
{
    const QString text = clsLibrary::instance()
                             .REGSTRREAD(clsLibrary::HKEY_CURRENT_USER,
                                         Identity::appKey() + QStringLiteral("\\frmPrefs\\Items"),
                                         QStringLiteral("Spell Check Load"), QStringLiteral("True"))
                             .trimmed();
    return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
           text == QLatin1String("1") || text == QLatin1String("-1");
}

} // namespace

void setStatusHandler(std::function<void(const QString &)> handler)
{
    statusHandler() = std::move(handler);
}

clsSpelling &engine()
{
    static std::unique_ptr<clsSpelling> instance;
    if (!instance) {
        instance = std::make_unique<clsSpelling>();
        QObject::connect(instance.get(), &clsSpelling::Status, [](const QString &t) { status(t); });
    }
    return *instance;
}

void EDITSPELLCHECK(RichTextBox *active)
{
    if (!active)
        return;
    clsSpelling &spelling = engine();
    if (spellCheckLoad())
        spelling.STARTUP();
    spelling.TEXTBOX(active);
    status(QStringLiteral("Checking spelling..."));
    spelling.SPELLCHECK(active->SelStart() - active->SelLength() - 1 > 0);
    status(QString());
}

void STARTUP()
{
    engine().STARTUP();
    status(QString());
}

bool SAVEDICT()
{
    if (SpellingDictionary::program().isDirty())
        status(QStringLiteral("Updating Dictionary Files..."));
    const bool saved = engine().SAVEDICT();
    status(QString());
    return saved;
}

void UNLOAD()
{
    delete engine().dialog();
}

} // namespace SpellingCommands
