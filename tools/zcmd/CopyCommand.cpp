#include "zcmd/CopyCommand.h"

#include "zcmd/FileCommandSupport.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/Session.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace zcmd {

using namespace filecommands;

namespace {

// The file's bytes into `destination`, which is made or emptied first.
bool copyBytes(const std::string &source, const std::string &destination)
{
    System &system = System::current();
    const int in = system.openFile(source, OpenMode::Read);
    if (in < 0)
        return false;
    const FileStatus file = system.handleStatus(in);
    if (file.kind != FileKind::File) {
        system.closeHandle(in);
        return false;
    }
    const int out = system.openFile(destination, OpenMode::Write, file.permissions);
    if (out < 0) {
        system.closeHandle(in);
        return false;
    }
    bool ok = true;
    char buffer[65536];
    while (ok) {
        const long n = system.readHandle(in, buffer, sizeof buffer);
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        ok = system.writeAll(out, buffer, static_cast<size_t>(n));
    }
    system.closeHandle(in);
    return system.closeHandle(out) == 0 && ok;
}

void showCopied(int count)
{
    Output::outLine("        " + std::to_string(count) + " file(s) copied.");
}

// COPY a+b[+...] target, or wildcards into one file: the files one after
// the other into the target, each one's name shown as written. As text
// (the default when joining) each source ends at its first Ctrl+Z and the
// target gets one at its end; /B joins the bytes as they are. Appending to
// the first source (no target, or a target among the sources) is not
// supported here.
int combine(const std::string &written, const std::string &targetWritten, bool binary)
{
    std::vector<std::pair<std::string, std::string>> sources; // path, name as shown
    size_t start = 0;
    while (start <= written.size()) {
        size_t plus = written.find('+', start);
        std::string part = written.substr(start, plus == std::string::npos ? plus : plus - start);
        const size_t folderEnd = part.find_last_of("/\\");
        const std::string shownFolder =
            folderEnd == std::string::npos ? std::string() : part.substr(0, folderEnd + 1);
        if (!part.empty())
            for (const std::string &match : PathResolver::expand(part))
                if (!PathResolver::isDirectory(match))
                    sources.emplace_back(match, shownFolder + text::baseName(match));
        if (plus == std::string::npos)
            break;
        start = plus + 1;
    }
    if (sources.empty()) {
        Output::errLine(kFileNotFound);
        showCopied(0);
        return 1;
    }
    const std::string target = PathResolver::resolve(targetWritten);
    const bool appends = targetWritten.empty() || PathResolver::isDirectory(target)
                         || std::any_of(sources.begin(), sources.end(), [&](const auto &source) {
                                return sameFile(source.first, target);
                            });
    if (appends) {
        Output::errLine("'copy' onto one of its own sources is not supported by zcmd");
        return 1;
    }
    System &system = System::current();
    const int out = system.openFile(target, OpenMode::Write);
    if (out < 0) {
        Output::errLine(writeFailure(target));
        showCopied(0);
        return 1;
    }
    bool ok = true;
    auto put = [&](const char *bytes, size_t size) { ok = ok && system.writeAll(out, bytes, size); };
    for (const auto &[path, shown] : sources) {
        Output::outLine(shown);
        const int in = system.openFile(path, OpenMode::Read);
        if (in < 0)
            continue;
        if (system.handleStatus(in).kind != FileKind::File) {
            system.closeHandle(in);
            continue; // only files are joined
        }
        char buffer[65536];
        for (bool more = true; more && ok;) {
            const long n = system.readHandle(in, buffer, sizeof buffer);
            if (n <= 0)
                break;
            size_t size = static_cast<size_t>(n);
            if (!binary) {
                const void *eof = std::memchr(buffer, '\x1a', size);
                if (eof) {
                    size = static_cast<size_t>(static_cast<const char *>(eof) - buffer);
                    more = false;
                }
            }
            put(buffer, size);
        }
        system.closeHandle(in);
    }
    if (!binary)
        put("\x1a", 1);
    if (!(system.closeHandle(out) == 0 && ok)) {
        Output::errLine(kAccessDenied);
        showCopied(0);
        return 1;
    }
    showCopied(1);
    return 0;
}

} // namespace

// COPY source [target]: a source with wildcards, or a folder, copies each
// file in it and shows each one's name as written; the count of files
// copied ends every COPY. Sources joined with "+", or wildcards into one
// file, are joined (see combine).
int CopyCommand::run(Session &session, std::string_view arguments)
{
    std::vector<std::string> switches, operands;
    if (!parseWords(arguments, "ABDLNVYZ", switches, operands))
        return 1;
    // "a + b" written with blanks is the one source "a+b".
    std::vector<std::string> words;
    for (const std::string &operand : operands) {
        const bool joins = !words.empty() && (words.back().back() == '+' || operand.front() == '+');
        if (joins)
            words.back() += operand;
        else
            words.push_back(operand);
    }
    operands = words;
    if (operands.empty() || operands.size() > 2) {
        Output::errLine(kIncorrect);
        return 1;
    }
    const std::string written = text::unquote(operands[0]);
    if (written.find('+') != std::string::npos)
        return combine(written, operands.size() == 2 ? text::unquote(operands[1]) : std::string(),
                       hasSwitch(switches, 'B'));
    if (PathResolver::isNullDevice(written)) {
        // The null device copies as an empty file ("copy nul empty.txt").
        const std::string target = PathResolver::resolve(operands.size() == 2 ? operands[1] : ".");
        const int fd = PathResolver::isDirectory(target)
                           ? -1
                           : System::current().openFile(target, OpenMode::Write);
        if (fd < 0) {
            Output::errLine(kAccessDenied);
            showCopied(0);
            return 1;
        }
        System::current().closeHandle(fd);
        showCopied(1);
        return 0;
    }
    std::string pattern = written;
    const std::string resolvedSource = PathResolver::resolve(written);
    if (!PathResolver::hasWildcards(written) && PathResolver::isDirectory(resolvedSource))
        pattern = written + (written.back() == '\\' || written.back() == '/' ? "*" : "\\*");
    const bool listed = pattern != written || PathResolver::hasWildcards(written);
    std::vector<std::string> sources;
    for (const std::string &match : PathResolver::expand(pattern))
        if (!PathResolver::isDirectory(match))
            sources.push_back(match);
    if (sources.empty()) {
        Output::errLine(notFound(pattern));
        showCopied(0);
        return 1;
    }
    const std::string target = PathResolver::resolve(operands.size() == 2 ? operands[1] : ".");
    const bool intoFolder = PathResolver::isDirectory(target);
    // Wildcards into one file join the files they name, even just one.
    if (listed && !intoFolder)
        return combine(pattern, text::unquote(operands[1]), hasSwitch(switches, 'B'));
    const size_t folderEnd = pattern.find_last_of("/\\");
    const std::string shownFolder =
        folderEnd == std::string::npos ? std::string() : pattern.substr(0, folderEnd + 1);
    int count = 0;
    int code = 0;
    Overwrite rule = overwriteRule(session, switches);
    for (const std::string &source : sources) {
        const std::string destination =
            intoFolder ? joinPath(target, text::baseName(source)) : target;
        if (listed)
            Output::outLine(shownFolder + text::baseName(source));
        if (sameFile(source, destination)) {
            Output::errLine("The file cannot be copied onto itself.");
            code = 1;
            continue;
        }
        if (!mayOverwrite(rule, destination))
            continue;
        if (!copyBytes(source, destination)) {
            Output::errLine(writeFailure(destination));
            code = 1;
            continue;
        }
        ++count;
    }
    showCopied(count);
    return code;
}

} // namespace zcmd
