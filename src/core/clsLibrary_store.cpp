#include "core/clsLibrary.h"

#include <QWidget>

QString clsLibrary::REGSTRREAD(int root, const QString &keyPath, const QString &valueName,
                               const QString &def) const
{
    const auto v = SettingsStore::instance().readString(static_cast<SettingsStore::Root>(root),
                                                        keyPath, valueName);
    return v ? *v : def;
}

bool clsLibrary::REGSTRWRITE(int root, const QString &keyPath, const QString &valueName,
                             const QString &text) const
{
    return SettingsStore::instance().writeString(static_cast<SettingsStore::Root>(root), keyPath,
                                                 valueName, text);
}

void clsLibrary::REGDWORDREAD(int root, const QString &keyPath, const QString &valueName,
                              qint32 number) const
{
    SettingsStore::instance().writeDword(static_cast<SettingsStore::Root>(root), keyPath, valueName,
                                         number);
}

void clsLibrary::FORMLOAD(const QString &, QWidget *, bool) const {}
void clsLibrary::FORMSAVE(const QString &, QWidget *, bool) const {}

QString clsLibrary::GETAPPNUMBER() const
{
    return QString::number(PAMPHLEXA_VERSION_MAJOR) + QLatin1Char('.') +
           QString::number(PAMPHLEXA_VERSION_MINOR);
}

QString clsLibrary::GETCAPTION(const QString &text) const { return text; }
QString clsLibrary::GETCOMPANYNAME() const { return {}; }
QString clsLibrary::GETCOMPANYREG() const { return {}; }
