// Feeds arbitrary bytes to the profile file reader and checks that every field is a bounded
// single line, that box 20 stays empty, and that what the writer makes of the fields reads back
// as the same fields. The bytes also go through the HTML code helpers.
#include <QByteArrayView>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "content/HtmlCode.h"
#include "content/Profile.h"
#include "core/clsLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const Profile::Fields fields = Profile::parse(bytes);
    if (!fields[20].isEmpty())
        abort();
    for (const QString &f : fields)
        if (f.size() > Profile::MaxFieldChars || f.contains(QLatin1Char('\n')) ||
            f.contains(QLatin1Char('\r')))
            abort();
    if (Profile::parse(Profile::serialize(fields)) != fields)
        abort();
    for (const QString &item : Profile::menuItems())
        if (Profile::itemAvailable(fields, item) && Profile::insertText(fields, item).isEmpty())
            abort();

    const QString text = QString::fromLatin1(bytes.first(std::min<qsizetype>(bytes.size(), 64)));
    const clsLibrary &lib = clsLibrary::instance();
    bool ok = false;
    (void)lib.HEX2STR(text).toUInt(&ok);
    if (!ok)
        abort();
    for (int c : HtmlCode::components(text))
        if (c < 0 || c > 255)
            abort();
    const QString web = lib.HTMLFORMATCHECK(text);
    if (lib.HTMLFORMATCHECK(web) != web)
        abort();
    return 0;
}
