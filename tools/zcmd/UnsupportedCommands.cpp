#include "zcmd/UnsupportedCommands.h"

#include "zcmd/InternalCommands.h"
#include "zcmd/Output.h"
#include "zcmd/Text.h"

#include <string>

namespace zcmd {

namespace {

// Windows programs whose Linux namesakes mean something else.
const char *const kForeignPrograms[] = {
    "at",   "edit",  "expand",  "find",  "format",   "hostname", "label",   "more", "net",
    "ping", "print", "replace", "route", "shutdown", "sort",     "timeout", "tree",
};

} // namespace

bool UnsupportedCommands::refuses(std::string_view programName)
{
    std::string name = text::baseName(text::unquote(programName));
    if (text::iendsWith(name, ".exe") || text::iendsWith(name, ".com"))
        name.resize(name.size() - 4);
    else if (name.find('.') != std::string::npos)
        return false; // "dir.bat" names a file of that name
    if (InternalCommands::isName(name))
        return true;
    for (const char *foreign : kForeignPrograms)
        if (text::iequals(name, foreign))
            return true;
    return false;
}

int UnsupportedCommands::refuse(std::string_view name)
{
    Output::errLine("'" + std::string(name) + "' is not supported by zcmd");
    return kStatus;
}

} // namespace zcmd
