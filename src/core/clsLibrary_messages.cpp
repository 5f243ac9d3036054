#include "core/clsLibrary.h"

#include "core/MessageCatalogue.h"
#include "platform/UiServices.h"

namespace {
int show(MessageCatalogue::Kind kind, qint16 id, const QString &s1, const QString &s2,
         const QString &s3, const QString &s4)
{
    const auto m = MessageCatalogue::compose(kind, id, {s1, s2, s3, s4});
    UiServices &ui = UiServices::instance();
    if (m.beep)
        ui.beep();
    return ui.messageBox(m.text, m.style, m.title);
}
} // namespace

void clsLibrary::MESSAGEBOX(qint16 id, const QString &s1, const QString &s2, const QString &s3,
                            const QString &s4) const
{
    show(MessageCatalogue::Kind::Notice, id, s1, s2, s3, s4);
}

void clsLibrary::MESSAGEBOXFCN(qint16 id, const QString &s1, const QString &s2, const QString &s3,
                               const QString &s4, qint16 &result) const
{
    result = static_cast<qint16>(show(MessageCatalogue::Kind::Question, id, s1, s2, s3, s4));
}
