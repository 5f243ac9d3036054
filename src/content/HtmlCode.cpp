#include "content/HtmlCode.h"

#include <algorithm>

#include "core/Identity.h"
#include "core/clsLibrary.h"
#include "platform/SettingsStore.h"

namespace HtmlCode {

namespace {
QString totalKey()
{
    return Identity::appKey() + QStringLiteral("\\frmHTMLCode\\Items Total");
}
QString itemsKey()
{
    return Identity::appKey() + QStringLiteral("\\frmHTMLCode\\Items");
}
const QString kTotal = QStringLiteral("VALTOTAL");
} // namespace

QStringList load()
{
    const clsLibrary &lib = clsLibrary::instance();
    bool ok = false;
    const int total =
        lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, totalKey(), kTotal, QStringLiteral("0"))
            .trimmed()
            .toInt(&ok);
    QStringList codes;
    if (!ok || total <= 0)
        return codes;
    const int n = std::min(total, MaxCodes);
    codes.reserve(n);
    for (int i = 0; i < n; ++i)
        codes << lib.REGSTRREAD(clsLibrary::HKEY_CURRENT_USER, itemsKey(), QString::number(i),
                                QStringLiteral("0"));
    return codes;
}

bool save(const QStringList &codes)
{
    const clsLibrary &lib = clsLibrary::instance();
    SettingsStore::Batch batch(SettingsStore::instance());
    bool stored = lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, totalKey(), kTotal,
                                  QString::number(codes.size()));
    for (int i = 0; i < codes.size(); ++i)
        stored = lib.REGSTRWRITE(clsLibrary::HKEY_CURRENT_USER, itemsKey(), QString::number(i),
                                 codes.at(i)) &&
                 stored;
    return batch.commit() && stored;
}

std::array<int, 3> components(const QString &code)
{
    const clsLibrary &lib = clsLibrary::instance();
    std::array<int, 3> rgb{};
    for (int k = 0; k < 3; ++k)
        rgb[size_t(k)] = lib.HEX2STR(code.mid(1 + 2 * k, 2)).toInt();
    return rgb;
}

QColor color(const QString &code)
{
    const auto rgb = components(code);
    return QColor(rgb[0], rgb[1], rgb[2]);
}

} // namespace HtmlCode
