#pragma once

#include <QString>

// Font names the program's documents and settings use that Linux lacks ("FIXEDSYS", "SYMBOL",
// the classic Windows families) are mapped to installed fonts here, in one place: bitmap system
// fonts to a monospace family, the Windows families to the metric-compatible Liberation,
// Carlito and Caladea families, Symbol to a symbol font.
namespace Fonts {
// Registers the substitutions with the font system. Call once after the application exists.
void installSubstitutions();
// The installed family a font name is drawn with: the name's own family when it is installed
// (in any letter case, without a "[foundry]" suffix), else its first installed substitute;
// empty when there is neither.
QString installedFamily(const QString &name);
} // namespace Fonts
