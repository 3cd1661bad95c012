#include "zcmd/FolderCommands.h"

#include "zcmd/CommandWords.h"
#include "zcmd/FileCommandSupport.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <cerrno>
#include <vector>

namespace zcmd {

using namespace filecommands;

namespace {

// Makes the folder and those above it; 0, or the error that stopped it.
int makeDirectories(const std::string &path)
{
    System &system = System::current();
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = path.find('/', start);
        const std::string partial = path.substr(0, slash);
        const int error = partial.empty() ? 0 : system.makeFolder(partial);
        if (error != 0 && error != EEXIST)
            return error;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return PathResolver::isDirectory(path) ? 0 : EEXIST;
}

} // namespace

int FolderCommands::makeDirectory(Session &, std::string_view arguments)
{
    std::vector<std::string> operands = CommandWords::split(arguments);
    if (operands.empty()) {
        Output::errLine(kIncorrect);
        return 1;
    }
    int code = 0;
    for (const std::string &operand : operands) {
        std::string path = PathResolver::resolve(operand);
        if (PathResolver::exists(path)) {
            Output::errLine("A subdirectory or file " + text::unquote(operand)
                            + " already exists.");
            code = 1;
            continue;
        }
        if (const int error = makeDirectories(path)) {
            Output::errLine(error == EACCES || error == EPERM || error == EROFS ? kAccessDenied
                                                                                : kPathNotFound);
            code = 1;
        }
    }
    return code;
}

int FolderCommands::changeDirectory(Session &, std::string_view arguments)
{
    std::string_view rest = text::trimBlanks(arguments);
    if (!rest.empty() && text::isDelimiter(rest.front()))
        rest = text::trimBlanks(text::skipDelimiters(rest));
    if (text::istartsWith(rest, "/d") && (rest.size() == 2 || text::isBlank(rest[2])))
        rest = text::trimBlanks(rest.substr(2));
    if (rest.empty()) {
        Output::outLine(PathResolver::absolute("."));
        return 0;
    }
    std::string path = PathResolver::resolve(rest);
    if (!PathResolver::exists(path)) {
        Output::errLine(kPathNotFound);
        return 1;
    }
    if (!PathResolver::isDirectory(path)) {
        Output::errLine("The directory name is invalid.");
        return 1;
    }
    if (System::current().changeFolder(path) != 0) {
        Output::errLine(kAccessDenied);
        return 1;
    }
    return 0;
}

int FolderCommands::pushFolder(Session &session, std::string_view arguments)
{
    std::string_view rest = text::trimBlanks(text::skipDelimiters(text::trimBlanks(arguments)));
    if (rest.empty())
        return 0;
    std::vector<std::string> &stack = session.pushedFolders;
    if (stack.size() >= ScriptLimits::kMaxPushedFolders) {
        Output::errLine("Not enough memory resources are available to process this command.");
        return 1;
    }
    const std::string from = PathResolver::absolute(".");
    const std::string path = PathResolver::resolve(rest);
    if (!PathResolver::isDirectory(path)) {
        Output::errLine(PathResolver::exists(path) ? "The directory name is invalid."
                                                   : kPathNotFound);
        return 1;
    }
    if (System::current().changeFolder(path) != 0) {
        Output::errLine(kAccessDenied);
        return 1;
    }
    stack.push_back(from);
    return 0;
}

int FolderCommands::popFolder(Session &session, std::string_view)
{
    std::vector<std::string> &stack = session.pushedFolders;
    if (stack.empty())
        return 0;
    const std::string folder = stack.back();
    stack.pop_back();
    // A kept folder that has gone since leaves the current one as it is.
    System::current().changeFolder(folder);
    return 0;
}

} // namespace zcmd
