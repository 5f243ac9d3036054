#include "core/clsLibrary.h"

clsLibrary &clsLibrary::instance()
{
    static clsLibrary library;
    return library;
}
