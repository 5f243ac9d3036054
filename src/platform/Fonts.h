#pragma once

// Font names the program's documents and settings use that Linux lacks ("FIXEDSYS", "SYMBOL",
// the classic Windows families) are mapped to installed fonts here, in one place.
namespace Fonts {
void installSubstitutions();
}
