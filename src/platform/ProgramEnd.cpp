#include "platform/ProgramEnd.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

std::function<void()> g_replacement;

} // namespace

void endProgramNow()
{
    if (g_replacement) {
        g_replacement();
        return;
    }
    // Leaving through the event loop would close the windows and run their
    // handlers; _Exit skips them (and every static destructor) on purpose.
    std::fflush(nullptr);
    std::_Exit(0);
}

void setEndProgramNow(std::function<void()> replacement) { g_replacement = std::move(replacement); }

} // namespace platform
