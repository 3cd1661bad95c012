#include "zcmd/InternalCommands.h"

#include "zcmd/Text.h"

namespace zcmd {

namespace {

const char *const kNames[] = {
    "echo",  "cls",   "title", "color", "pause", "set",    "path",  "prompt", "setlocal",
    "endlocal", "exit", "goto", "call", "shift", "rem",    "rmdir", "rd",     "del",
    "erase", "move",  "copy",  "ren",   "rename", "mkdir", "md",    "cd",     "chdir",
    "pushd", "popd",  "type",  "start", "assoc", "break",  "date",  "dir",    "dpath",
    "for",   "ftype", "mklink", "time", "ver",   "verify", "vol",   "if",
};

bool endsName(char c)
{
    return text::isDelimiter(c) || c == '/' || c == '(' || c == '.' || c == ':' || c == '\\'
           || c == '[' || c == ']' || c == '+';
}

} // namespace

bool InternalCommands::isName(std::string_view word)
{
    for (const char *name : kNames)
        if (text::iequals(word, name))
            return true;
    return false;
}

bool InternalCommands::startsWith(std::string_view commandText, std::string_view name)
{
    return text::istartsWith(commandText, name)
           && (commandText.size() == name.size() || endsName(commandText[name.size()]));
}

std::string_view InternalCommands::leadingName(std::string_view commandText)
{
    for (const char *name : kNames)
        if (startsWith(commandText, name))
            return name;
    return std::string_view();
}

} // namespace zcmd
