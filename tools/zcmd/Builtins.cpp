#include "zcmd/Builtins.h"

#include "zcmd/CommandWords.h"
#include "zcmd/ConsoleCommands.h"
#include "zcmd/FileCommands.h"
#include "zcmd/FlowCommands.h"
#include "zcmd/SetCommand.h"
#include "zcmd/StartCommand.h"
#include "zcmd/TaskKillCommand.h"
#include "zcmd/Text.h"

namespace zcmd {

namespace {

struct Entry {
    const char *name;
    BuiltinHandler handler;
};

const Entry kBuiltins[] = {
    {"echo", &ConsoleCommands::echo},     {"cls", &ConsoleCommands::cls},
    {"title", &ConsoleCommands::title},   {"color", &ConsoleCommands::color},
    {"pause", &ConsoleCommands::pause},   {"set", &SetCommand::run},
    {"exit", &FlowCommands::exit},        {"goto", &FlowCommands::gotoLabel},
    {"call", &FlowCommands::call},        {"rem", &FlowCommands::rem},
    {"rmdir", &FileCommands::removeDirectory}, {"rd", &FileCommands::removeDirectory},
    {"del", &FileCommands::deleteFiles},  {"erase", &FileCommands::deleteFiles},
    {"move", &FileCommands::move},        {"ren", &FileCommands::rename},
    {"rename", &FileCommands::rename},    {"mkdir", &FileCommands::makeDirectory},
    {"md", &FileCommands::makeDirectory}, {"cd", &FileCommands::changeDirectory},
    {"chdir", &FileCommands::changeDirectory}, {"type", &FileCommands::type},
    {"start", &StartCommand::run},
};

bool endsName(char c)
{
    return text::isDelimiter(c) || c == '/' || c == '(' || c == '.' || c == ':' || c == '\\' || c == '[' ||
           c == ']' || c == '+';
}

} // namespace

std::optional<Builtins::Match> Builtins::match(std::string_view text)
{
    size_t wordEnd = CommandWords::firstWordEnd(text);
    std::string word = text::unquote(text.substr(0, wordEnd));
    if (text::iequals(word, "taskkill") || text::iequals(word, "taskkill.exe"))
        return Match{&TaskKillCommand::run, text.substr(wordEnd), true};

    for (const Entry &entry : kBuiltins) {
        std::string_view name(entry.name);
        if (!text::istartsWith(text, name))
            continue;
        if (text.size() == name.size() || endsName(text[name.size()]))
            return Match{entry.handler, text.substr(name.size()), false};
    }
    return std::nullopt;
}

} // namespace zcmd
