#include "core/clsLibrary.h"

#include "platform/UiServices.h"

void clsLibrary::MESSAGEBOX(qint16 id, const QString &s1, const QString &, const QString &,
                            const QString &) const
{
    UiServices::instance().messageBox(QString::number(id) + QLatin1Char(' ') + s1, 0, QString());
}

void clsLibrary::MESSAGEBOXFCN(qint16 id, const QString &s1, const QString &, const QString &,
                               const QString &, qint16 &result) const
{
    result = static_cast<qint16>(
        UiServices::instance().messageBox(QString::number(id) + QLatin1Char(' ') + s1, 0, QString()));
}
