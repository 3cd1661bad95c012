#include "zcmd/FileCommandSupport.h"

#include "zcmd/CommandWords.h"
#include "zcmd/ConsoleCommands.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <algorithm>

namespace zcmd::filecommands {

const char *notFound(std::string_view windowsPath)
{
    return PathResolver::folderMissing(windowsPath) ? kPathNotFound : kFileNotFound;
}

bool parseWords(std::string_view arguments, std::string_view allowed,
                std::vector<std::string> &switches, std::vector<std::string> &operands)
{
    switches = CommandWords::switches(CommandWords::split(arguments), operands);
    for (const std::string &s : switches) {
        std::string_view name = s;
        if (!name.empty() && name.front() == '-')
            name.remove_prefix(1);
        size_t colon = name.find(':');
        std::string_view key = name.substr(0, colon);
        bool known = key.size() == 1 && allowed.find(key.front()) != std::string_view::npos;
        if (!known) {
            Output::errLine("Invalid switch - \"" + s + "\".");
            return false;
        }
    }
    return true;
}

bool hasSwitch(const std::vector<std::string> &switches, char name)
{
    return std::any_of(switches.begin(), switches.end(),
                       [&](const std::string &s) { return !s.empty() && s.front() == name; });
}

Overwrite overwriteRule(const Session &session, const std::vector<std::string> &switches)
{
    Overwrite rule = session.batch ? Overwrite::Always : Overwrite::Ask;
    if (const std::string *copyCmd = session.variables.find("COPYCMD")) {
        for (const std::string &word : CommandWords::split(*copyCmd)) {
            if (text::iequals(word, "/Y"))
                rule = Overwrite::Always;
            else if (text::iequals(word, "/-Y"))
                rule = Overwrite::Ask;
        }
    }
    for (const std::string &s : switches) {
        if (text::iequals(s, "Y"))
            rule = Overwrite::Always;
        else if (text::iequals(s, "-Y"))
            rule = Overwrite::Ask;
    }
    return rule;
}

bool mayOverwrite(Overwrite &rule, const std::string &destination)
{
    if (rule == Overwrite::Always)
        return true;
    const FileStatus target = System::current().statusOf(destination);
    if (!target.exists() || target.kind == FileKind::Folder)
        return true;
    while (true) {
        Output::out("Overwrite " + PathResolver::absolute(destination) + "? (Yes/No/All): ");
        std::optional<std::string> answer = ConsoleCommands::readLine(1024);
        if (!answer) {
            Output::out("\r\n");
            return false;
        }
        std::string_view word = text::trimBlanks(*answer);
        const char first = word.empty() ? '\0' : text::upper(word.front());
        if (first == 'Y')
            return true;
        if (first == 'N')
            return false;
        if (first == 'A') {
            rule = Overwrite::Always;
            return true;
        }
    }
}

bool isDirectoryNoFollow(const std::string &path)
{
    return System::current().linkStatusOf(path).kind == FileKind::Folder;
}

bool exists(const std::string &path) { return System::current().linkStatusOf(path).exists(); }

bool sameFile(const std::string &a, const std::string &b)
{
    System &system = System::current();
    return system.statusOf(a).sameFileAs(system.statusOf(b));
}

std::string parentOf(const std::string &path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string joinPath(const std::string &folder, const std::string &name)
{
    if (folder.empty() || folder == ".")
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

const char *writeFailure(const std::string &path)
{
    return PathResolver::isDirectory(parentOf(PathResolver::absolute(path))) ? kAccessDenied
                                                                              : kPathNotFound;
}

} // namespace zcmd::filecommands
