#include "zcmd/MoveCommands.h"

#include "zcmd/FileCommandSupport.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <algorithm>
#include <cerrno>
#include <vector>

namespace zcmd {

using namespace filecommands;

namespace {

// The new name REN gives `name` under a target with wildcards, left to
// right: "?" takes the name's next character, "*" at the end the rest of
// the name, "*" before a character the name up to the last occurrence of
// that character, "." moves past the name's next dot, any other character
// stands for itself in place of one of the name's. Dots that would end the
// new name are dropped, as Windows drops them.
std::string renamedByMask(const std::string &name, const std::string &mask)
{
    std::string out;
    size_t at = 0;
    for (size_t m = 0; m < mask.size(); ++m) {
        const char c = mask[m];
        if (c == '*') {
            if (m + 1 == mask.size()) {
                out += name.substr(std::min(at, name.size()));
                at = name.size();
                break;
            }
            const char next = mask[m + 1];
            size_t last = next == '?' || next == '*' ? std::string::npos : name.rfind(next);
            if (last == std::string::npos || last < at)
                last = name.size();
            out += name.substr(at, last - at);
            at = last;
        } else if (c == '?') {
            if (at < name.size() && name[at] != '.')
                out += name[at++];
        } else if (c == '.') {
            while (at < name.size() && name[at] != '.')
                ++at;
            if (at < name.size())
                ++at;
            out += '.';
        } else {
            out += c;
            if (at < name.size() && name[at] != '.')
                ++at;
        }
    }
    while (!out.empty() && out.back() == '.')
        out.pop_back();
    return out;
}

} // namespace

// MOVE source[,source...] target: a source may hold wildcards. With
// several files each one's full name is shown as it goes, and they may
// only go into a folder.
int MoveCommands::move(Session &session, std::string_view arguments)
{
    std::vector<std::string> switches, operands;
    if (!parseWords(arguments, "Y", switches, operands))
        return 1;
    if (operands.size() < 2) {
        Output::errLine(kIncorrect);
        return 1;
    }
    const std::string target = PathResolver::resolve(operands.back());
    operands.pop_back();
    std::vector<std::string> sources;
    bool several = operands.size() > 1;
    for (const std::string &operand : operands) {
        std::vector<std::string> matches = PathResolver::expand(operand);
        several = several || PathResolver::hasWildcards(operand);
        if (matches.empty() && !PathResolver::hasWildcards(operand)) {
            // A dangling link names nothing that exists, yet it can be moved.
            std::string path = PathResolver::resolve(operand);
            if (exists(path))
                matches.push_back(path);
        }
        if (matches.empty()) {
            Output::errLine(notFound(operand));
            return 1;
        }
        sources.insert(sources.end(), matches.begin(), matches.end());
    }
    const bool intoFolder = PathResolver::isDirectory(target);
    if (sources.size() > 1 && !intoFolder) {
        Output::errLine("Cannot move multiple files to a single file.");
        return 1;
    }
    int moved = 0;
    bool folders = false;
    int code = 0;
    Overwrite rule = overwriteRule(session, switches);
    System &system = System::current();
    for (const std::string &source : sources) {
        const FileStatus entry = system.linkStatusOf(source);
        if (!entry.exists())
            continue;
        std::string destination = intoFolder ? joinPath(target, text::baseName(source)) : target;
        if (several)
            Output::outLine(PathResolver::absolute(source));
        const bool folder = entry.kind == FileKind::Folder;
        if (!folder && !mayOverwrite(rule, destination))
            continue;
        if (const int error = system.renameEntry(source, destination)) {
            Output::errLine(error == EXDEV
                                ? "The system cannot move the file to a different disk drive."
                                : (error == ENOENT ? kPathNotFound : kAccessDenied));
            code = 1;
            continue;
        }
        ++moved;
        folders = folder;
    }
    if (moved > 0 || code == 0)
        Output::outLine("        " + std::to_string(moved)
                        + (folders && moved == 1 ? " dir(s) moved." : " file(s) moved."));
    return code;
}

int MoveCommands::rename(Session &, std::string_view arguments)
{
    std::vector<std::string> switches, operands;
    if (!parseWords(arguments, "", switches, operands))
        return 1;
    if (operands.size() != 2 || operands[1].find_first_of("/\\") != std::string::npos) {
        Output::errLine(kIncorrect);
        return 1;
    }
    const std::string mask = text::unquote(operands[1]);
    if (PathResolver::hasWildcards(operands[0]) || PathResolver::hasWildcards(mask)) {
        std::vector<std::string> sources = PathResolver::expand(operands[0]);
        if (sources.empty()) {
            Output::errLine(notFound(operands[0]));
            return 1;
        }
        int code = 0;
        for (const std::string &source : sources) {
            std::string name = renamedByMask(text::baseName(source), mask);
            std::string target = joinPath(parentOf(source), name);
            if (name.empty() || (exists(target) && !sameFile(source, target))) {
                Output::errLine("A duplicate file name exists, or the file\r\ncannot be found.");
                code = 1;
            } else if (System::current().renameEntry(source, target) != 0) {
                Output::errLine(kAccessDenied);
                code = 1;
            }
        }
        return code;
    }
    std::string source = PathResolver::resolve(operands[0]);
    if (!exists(source)) {
        Output::errLine(notFound(operands[0]));
        return 1;
    }
    std::string target = joinPath(parentOf(source), mask);
    if (exists(target) && target != source) {
        Output::errLine("A duplicate file name exists, or the file\r\ncannot be found.");
        return 1;
    }
    if (System::current().renameEntry(source, target) != 0) {
        Output::errLine(kAccessDenied);
        return 1;
    }
    return 0;
}

} // namespace zcmd
