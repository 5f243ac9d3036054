// Fuzzes the reader of the settings export text (pamphlexa-settings import).

#include <cstddef>
#include <cstdint>

#include "platform/SettingsText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const SettingsText::ParseResult parsed = SettingsText::parse(text);
    if (parsed.ok) {
        // What was read formats and reads back to the same values.
        const SettingsText::ParseResult again =
            SettingsText::parse(SettingsText::format(parsed.values));
        if (!again.ok || again.values.size() != parsed.values.size())
            __builtin_trap();
        for (qsizetype i = 0; i < parsed.values.size(); ++i) {
            const auto &a = parsed.values.at(i);
            const auto &b = again.values.at(i);
            if (a.root != b.root || a.key != b.key || a.name != b.name || a.type != b.type ||
                a.text != b.text || a.number != b.number)
                __builtin_trap();
        }
    }
    return 0;
}
