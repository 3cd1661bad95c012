#include "zcmd/Builtins.h"

#include "zcmd/CommandWords.h"
#include "zcmd/ConsoleCommands.h"
#include "zcmd/CopyCommand.h"
#include "zcmd/FlowCommands.h"
#include "zcmd/FolderCommands.h"
#include "zcmd/InternalCommands.h"
#include "zcmd/MoveCommands.h"
#include "zcmd/RemoveCommands.h"
#include "zcmd/SetCommand.h"
#include "zcmd/StartCommand.h"
#include "zcmd/TaskKillCommand.h"
#include "zcmd/Text.h"
#include "zcmd/TypeCommand.h"

namespace zcmd {

namespace {

struct Entry {
    const char *name;
    BuiltinHandler handler;
    ErrorLevelRule rule;
};

using R = ErrorLevelRule;

const Entry kBuiltins[] = {
    {"echo", &ConsoleCommands::echo, R::SetOnFailure},
    {"cls", &ConsoleCommands::cls, R::SetOnFailure},
    {"title", &ConsoleCommands::title, R::SetOnFailure},
    {"color", &ConsoleCommands::color, R::SetAlways},
    {"pause", &ConsoleCommands::pause, R::SetOnFailure},
    {"set", &SetCommand::run, R::SetLikeCmdScript},
    {"path", &SetCommand::path, R::SetLikeCmdScript},
    {"prompt", &SetCommand::prompt, R::SetOnFailure},
    {"setlocal", &SetCommand::setLocal, R::OwnRule},
    {"endlocal", &SetCommand::endLocal, R::SetOnFailure},
    {"exit", &FlowCommands::exit, R::OwnRule},
    {"goto", &FlowCommands::gotoLabel, R::SetOnFailure},
    {"call", nullptr, R::OwnRule}, // run by the interpreter (CallCommand)
    {"shift", &FlowCommands::shift, R::SetOnFailure},
    {"rem", &FlowCommands::rem, R::SetOnFailure},
    {"rmdir", &RemoveCommands::removeDirectory, R::Never},
    {"rd", &RemoveCommands::removeDirectory, R::Never},
    {"del", &RemoveCommands::deleteFiles, R::SetAlways},
    {"erase", &RemoveCommands::deleteFiles, R::SetAlways},
    {"move", &MoveCommands::move, R::SetAlways},
    {"copy", &CopyCommand::run, R::SetAlways},
    {"ren", &MoveCommands::rename, R::SetAlways},
    {"rename", &MoveCommands::rename, R::SetAlways},
    {"mkdir", &FolderCommands::makeDirectory, R::SetAlways},
    {"md", &FolderCommands::makeDirectory, R::SetAlways},
    {"cd", &FolderCommands::changeDirectory, R::SetAlways},
    {"chdir", &FolderCommands::changeDirectory, R::SetAlways},
    {"pushd", &FolderCommands::pushFolder, R::SetAlways},
    {"popd", &FolderCommands::popFolder, R::SetOnFailure},
    {"type", &TypeCommand::run, R::SetAlways},
    {"start", &StartCommand::run, R::SetOnFailure},
};

} // namespace

std::optional<Builtins::Match> Builtins::match(std::string_view text)
{
    size_t wordEnd = CommandWords::firstWordEnd(text);
    std::string word = text::unquote(text.substr(0, wordEnd));
    if (text::iequals(word, "taskkill") || text::iequals(word, "taskkill.exe"))
        return Match{&TaskKillCommand::run, false, text.substr(0, wordEnd), text.substr(wordEnd),
                     R::SetAlways};

    for (const Entry &entry : kBuiltins) {
        const std::string_view name(entry.name);
        if (InternalCommands::startsWith(text, name))
            return Match{entry.handler, entry.handler == nullptr, text.substr(0, name.size()),
                         text.substr(name.size()), entry.rule};
    }
    // An internal command zcmd does not implement: refused, never looked up as a program.
    const std::string_view other = InternalCommands::leadingName(text);
    if (other.empty() || text::iequals(other, "if"))
        return std::nullopt;
    return Match{nullptr, false, text.substr(0, other.size()), text.substr(other.size()),
                 R::SetAlways};
}

} // namespace zcmd
