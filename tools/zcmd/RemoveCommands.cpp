#include "zcmd/RemoveCommands.h"

#include "zcmd/ConsoleCommands.h"
#include "zcmd/FileCommandSupport.h"
#include "zcmd/FileNamePattern.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <cerrno>
#include <vector>

namespace zcmd {

using namespace filecommands;

namespace {

void collectFolders(const std::string &folder, std::vector<std::string> &out)
{
    out.push_back(folder);
    for (const std::string &entry : PathResolver::list(folder)) {
        std::string path = joinPath(folder, entry);
        if (isDirectoryNoFollow(path))
            collectFolders(path, out);
    }
}

} // namespace

bool RemoveCommands::removeTree(const std::string &path)
{
    System &system = System::current();
    const FileStatus entry = system.linkStatusOf(path);
    if (!entry.exists())
        return false;
    if (entry.kind != FileKind::Folder)
        return system.removeFile(path) == 0;
    bool ok = true;
    for (const std::string &name : PathResolver::list(path))
        ok = removeTree(joinPath(path, name)) && ok;
    return system.removeFolder(path) == 0 && ok;
}

int RemoveCommands::removeDirectory(Session &, std::string_view arguments)
{
    std::vector<std::string> switches, operands;
    if (!parseWords(arguments, "SQ", switches, operands))
        return 1;
    if (operands.empty()) {
        Output::errLine(kIncorrect);
        return 1;
    }
    const bool tree = hasSwitch(switches, 'S');
    const bool quiet = hasSwitch(switches, 'Q');
    System &system = System::current();
    int code = 0;
    for (const std::string &operand : operands) {
        std::string path = PathResolver::resolve(operand);
        const FileStatus entry = system.linkStatusOf(path);
        if (!entry.exists()) {
            Output::errLine(notFound(operand));
            code = 2;
            continue;
        }
        if (entry.kind == FileKind::Link && PathResolver::isDirectory(path)) {
            // A link to a folder goes by itself; what it points to stays.
            if (system.removeFile(path) != 0) {
                Output::errLine(kAccessDenied);
                code = 5;
            }
            continue;
        }
        if (entry.kind != FileKind::Folder) {
            Output::errLine("The directory name is invalid.");
            code = 267;
            continue;
        }
        if (!tree) {
            if (const int error = system.removeFolder(path)) {
                const bool notEmpty = error == ENOTEMPTY || error == EEXIST;
                Output::errLine(notEmpty ? "The directory is not empty." : kAccessDenied);
                code = notEmpty ? 145 : 5;
            }
            continue;
        }
        if (!quiet && !ConsoleCommands::confirm(text::unquote(operand) + ", Are you sure (Y/N)? "))
            continue;
        if (!removeTree(path)) {
            Output::errLine(kAccessDenied);
            code = 5;
        }
    }
    return code;
}

int RemoveCommands::deleteFiles(Session &, std::string_view arguments)
{
    std::vector<std::string> switches, operands;
    if (!parseWords(arguments, "PFSQA", switches, operands))
        return 1;
    if (operands.empty()) {
        Output::errLine(kIncorrect);
        return 1;
    }
    const bool quiet = hasSwitch(switches, 'Q');
    const bool subfolders = hasSwitch(switches, 'S');
    for (const std::string &operand : operands) {
        std::string native = PathResolver::toNative(operand);
        std::string folder, pattern;
        std::string resolved = PathResolver::resolve(operand);
        if (!PathResolver::hasWildcards(native) && isDirectoryNoFollow(resolved)) {
            folder = resolved;
            pattern = "*";
        } else {
            size_t slash = native.rfind('/');
            folder = slash == std::string::npos
                         ? std::string(".")
                         : PathResolver::resolve(native.substr(0, slash + 1));
            pattern = slash == std::string::npos ? native : native.substr(slash + 1);
        }
        if (!quiet && (pattern == "*" || pattern == "*.*")
            && !ConsoleCommands::confirm(PathResolver::absolute(joinPath(folder, "*"))
                                         + ", Are you sure (Y/N)? "))
            continue;
        std::vector<std::string> folders;
        if (subfolders)
            collectFolders(folder, folders);
        else
            folders.push_back(folder);
        bool any = false;
        for (const std::string &dir : folders) {
            for (const std::string &entry : PathResolver::list(dir)) {
                std::string path = joinPath(dir, entry);
                if (!FileNamePattern::matches(pattern, entry) || isDirectoryNoFollow(path))
                    continue;
                any = true;
                if (System::current().removeFile(path) != 0) {
                    Output::errLine(PathResolver::absolute(path));
                    Output::errLine(kAccessDenied);
                } else if (subfolders) {
                    Output::outLine("Deleted file - " + PathResolver::absolute(path));
                }
            }
        }
        // A name in a folder that does not exist: the path is what is missing.
        if (!any)
            Output::errLine(PathResolver::isDirectory(folder)
                                ? "Could Not Find " + PathResolver::absolute(resolved)
                                : std::string(kPathNotFound));
    }
    return 0; // as on Windows, DEL reports problems but leaves the error level alone
}

} // namespace zcmd
