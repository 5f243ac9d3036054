#include "core/AppState.h"

namespace {
AppState &storage()
{
    static AppState state;
    return state;
}
} // namespace

AppState &AppState::instance()
{
    return storage();
}

void AppState::reset()
{
    storage() = AppState();
}
