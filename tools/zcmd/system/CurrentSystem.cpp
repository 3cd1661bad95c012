// Which system is in use: the real one, or a stand-in put in its place.
#include "zcmd/system/PosixSystem.h"

namespace zcmd {

namespace {

System &realSystem()
{
    static PosixSystem real;
    return real;
}

System *g_replacement = nullptr;

} // namespace

System &System::current() { return g_replacement ? *g_replacement : realSystem(); }

System *System::replace(System *replacement)
{
    System *was = &current();
    g_replacement = replacement;
    return was == &realSystem() ? nullptr : was;
}

} // namespace zcmd
