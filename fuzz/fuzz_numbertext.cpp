// Numbers and words read from text the user typed or the settings store holds: the readers must
// never run past the text, and what the formatter writes must read back as the value it wrote.
#include <QString>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/NumberText.h"
#include "core/clsLibrary.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 1 << 16)
        return 0;
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const clsLibrary &lib = clsLibrary::instance();

    const double v = NumberText::val(text);
    if (!std::isfinite(v))
        std::abort();
    if (const auto parsed = NumberText::parse(text)) {
        for (int decimals = 0; decimals <= 3; ++decimals) {
            const auto shown = NumberText::formatFixed(*parsed, decimals);
            if (!shown)
                std::abort();
            const auto back = NumberText::parse(*shown);
            if (!back)
                std::abort();
            const double tolerance =
                0.5 * std::pow(10.0, -decimals) + std::fabs(*parsed) * 1e-13 + 1e-300;
            if (std::fabs(*back - *parsed) > tolerance)
                std::abort();
        }
    }
    lib.CURRENCYFMT(text);
    lib.TEXTJUSTIFY(text);
    const int n = size ? data[0] % 8 : 1;
    const double field = lib.PIECE(text, QStringLiteral(","), n);
    if (!std::isfinite(field))
        std::abort();
    const qint32 words = lib.WORDCOUNT(text);
    if (words < 0 || words > text.size())
        std::abort();
    lib.TOKENLEFT(text, QStringLiteral("="));
    return 0;
}
