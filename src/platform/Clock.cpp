#include "platform/Clock.h"

namespace {
Clock *g_installed = nullptr;
}

Clock &Clock::instance()
{
    static Clock real;
    return g_installed ? *g_installed : real;
}

void Clock::setInstance(Clock *clock)
{
    g_installed = clock;
}
