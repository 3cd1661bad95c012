#include "zcmd/FileCommands.h"

#include "zcmd/CommandWords.h"
#include "zcmd/ConsoleCommands.h"
#include "zcmd/FileNamePattern.h"
#include "zcmd/Interpreter.h"
#include "zcmd/Output.h"
#include "zcmd/PathResolver.h"
#include "zcmd/ScriptLimits.h"
#include "zcmd/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zcmd {

namespace {

const char kIncorrect[] = "The syntax of the command is incorrect.";
const char kFileNotFound[] = "The system cannot find the file specified.";
const char kPathNotFound[] = "The system cannot find the path specified.";
const char kAccessDenied[] = "Access is denied.";

// What Windows says of a name that is not there: the path where its folder
// is missing, the file otherwise.
const char *notFound(std::string_view windowsPath)
{
    return PathResolver::folderMissing(windowsPath) ? kPathNotFound : kFileNotFound;
}

// Splits words into switches and operands; false (message written) for a switch not in `allowed`.
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

// How MOVE and COPY treat a target file that exists. A batch file
// replaces it; a typed command asks first. COPYCMD may hold /Y or /-Y to
// change that default, and the command's own /Y or /-Y decides over both.
enum class Overwrite { Ask, Always };

Overwrite overwriteRule(const Interpreter &interpreter, const std::vector<std::string> &switches)
{
    Overwrite rule = interpreter.session().batch ? Overwrite::Always : Overwrite::Ask;
    if (const std::string *copyCmd = interpreter.session().variables.find("COPYCMD")) {
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

// Asks whether `destination` may be replaced: Yes, No, or All (this one and
// every later one). Other answers ask again; no answer left is No.
bool mayOverwrite(Overwrite &rule, const std::string &destination)
{
    struct stat st;
    if (rule == Overwrite::Always || ::stat(destination.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
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
    struct stat st;
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
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

bool makeDirectories(const std::string &path)
{
    std::string partial;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        partial = path.substr(0, slash);
        if (!partial.empty() && ::mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    return PathResolver::isDirectory(path);
}

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

bool FileCommands::removeTree(const std::string &path)
{
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0)
        return false;
    if (!S_ISDIR(st.st_mode))
        return ::unlink(path.c_str()) == 0;
    bool ok = true;
    for (const std::string &entry : PathResolver::list(path))
        ok = removeTree(joinPath(path, entry)) && ok;
    return ::rmdir(path.c_str()) == 0 && ok;
}

int FileCommands::removeDirectory(Interpreter &, std::string_view arguments)
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
    int code = 0;
    for (const std::string &operand : operands) {
        std::string path = PathResolver::resolve(operand);
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0) {
            Output::errLine(notFound(operand));
            code = 2;
            continue;
        }
        if (S_ISLNK(st.st_mode) && PathResolver::isDirectory(path)) {
            // A link to a folder goes by itself; what it points to stays.
            if (::unlink(path.c_str()) != 0) {
                Output::errLine(kAccessDenied);
                code = 5;
            }
            continue;
        }
        if (!S_ISDIR(st.st_mode)) {
            Output::errLine("The directory name is invalid.");
            code = 267;
            continue;
        }
        if (!tree) {
            if (::rmdir(path.c_str()) != 0) {
                Output::errLine(errno == ENOTEMPTY || errno == EEXIST
                                    ? "The directory is not empty."
                                    : kAccessDenied);
                code = errno == ENOTEMPTY || errno == EEXIST ? 145 : 5;
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

int FileCommands::deleteFiles(Interpreter &, std::string_view arguments)
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
                if (::unlink(path.c_str()) != 0) {
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

// MOVE source[,source...] target: a source may hold wildcards. With
// several files each one's full name is shown as it goes, and they may
// only go into a folder.
int FileCommands::move(Interpreter &interpreter, std::string_view arguments)
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
            struct stat st;
            if (::lstat(path.c_str(), &st) == 0)
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
    Overwrite rule = overwriteRule(interpreter, switches);
    for (const std::string &source : sources) {
        struct stat st;
        if (::lstat(source.c_str(), &st) != 0)
            continue;
        std::string destination = intoFolder ? joinPath(target, text::baseName(source)) : target;
        if (several)
            Output::outLine(PathResolver::absolute(source));
        if (!S_ISDIR(st.st_mode) && !mayOverwrite(rule, destination))
            continue;
        if (::rename(source.c_str(), destination.c_str()) != 0) {
            Output::errLine(errno == EXDEV
                                ? "The system cannot move the file to a different disk drive."
                                : (errno == ENOENT ? kPathNotFound : kAccessDenied));
            code = 1;
            continue;
        }
        ++moved;
        folders = S_ISDIR(st.st_mode);
    }
    if (moved > 0 || code == 0)
        Output::outLine("        " + std::to_string(moved)
                        + (folders && moved == 1 ? " dir(s) moved." : " file(s) moved."));
    return code;
}

namespace {

// The file's bytes into `destination`, which is made or emptied first.
bool copyBytes(const std::string &source, const std::string &destination)
{
    int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return false;
    struct stat st;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    int out =
        ::open(destination.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    bool ok = true;
    char buffer[65536];
    while (ok) {
        ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        for (ssize_t done = 0; ok && done < n;) {
            ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            ok = w > 0;
            done += w > 0 ? w : 0;
        }
    }
    ::close(in);
    return ::close(out) == 0 && ok;
}

bool sameFile(const std::string &a, const std::string &b)
{
    struct stat sa, sb;
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
}

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
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        Output::errLine(PathResolver::isDirectory(parentOf(PathResolver::absolute(target)))
                            ? kAccessDenied
                            : kPathNotFound);
        showCopied(0);
        return 1;
    }
    bool ok = true;
    auto put = [&](const char *bytes, size_t size) {
        for (size_t done = 0; ok && done < size;) {
            ssize_t w = ::write(out, bytes + done, size - done);
            if (w < 0 && errno == EINTR)
                continue;
            ok = w > 0;
            done += w > 0 ? static_cast<size_t>(w) : 0;
        }
    };
    for (const auto &[path, shown] : sources) {
        Output::outLine(shown);
        int in = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st;
        if (in < 0 || ::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
            if (in >= 0)
                ::close(in);
            continue; // only files are joined
        }
        char buffer[65536];
        for (bool more = true; more && ok;) {
            ssize_t n = ::read(in, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
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
        ::close(in);
    }
    if (!binary)
        put("\x1a", 1);
    if (!(::close(out) == 0 && ok)) {
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
int FileCommands::copy(Interpreter &interpreter, std::string_view arguments)
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
        int fd = PathResolver::isDirectory(target)
                     ? -1
                     : ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0) {
            Output::errLine(kAccessDenied);
            showCopied(0);
            return 1;
        }
        ::close(fd);
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
    Overwrite rule = overwriteRule(interpreter, switches);
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
            Output::errLine(PathResolver::isDirectory(parentOf(PathResolver::absolute(destination)))
                                ? kAccessDenied
                                : kPathNotFound);
            code = 1;
            continue;
        }
        ++count;
    }
    showCopied(count);
    return code;
}

int FileCommands::rename(Interpreter &, std::string_view arguments)
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
            struct stat st;
            if (name.empty() || (::lstat(target.c_str(), &st) == 0 && !sameFile(source, target))) {
                Output::errLine("A duplicate file name exists, or the file\r\ncannot be found.");
                code = 1;
            } else if (::rename(source.c_str(), target.c_str()) != 0) {
                Output::errLine(kAccessDenied);
                code = 1;
            }
        }
        return code;
    }
    std::string source = PathResolver::resolve(operands[0]);
    struct stat st;
    if (::lstat(source.c_str(), &st) != 0) {
        Output::errLine(notFound(operands[0]));
        return 1;
    }
    std::string target = joinPath(parentOf(source), mask);
    if (::lstat(target.c_str(), &st) == 0 && target != source) {
        Output::errLine("A duplicate file name exists, or the file\r\ncannot be found.");
        return 1;
    }
    if (::rename(source.c_str(), target.c_str()) != 0) {
        Output::errLine(kAccessDenied);
        return 1;
    }
    return 0;
}

int FileCommands::makeDirectory(Interpreter &, std::string_view arguments)
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
        if (!makeDirectories(path)) {
            Output::errLine(errno == EACCES || errno == EPERM || errno == EROFS ? kAccessDenied
                                                                                : kPathNotFound);
            code = 1;
        }
    }
    return code;
}

int FileCommands::changeDirectory(Interpreter &, std::string_view arguments)
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
    if (::chdir(path.c_str()) != 0) {
        Output::errLine(kAccessDenied);
        return 1;
    }
    return 0;
}

int FileCommands::pushFolder(Interpreter &interpreter, std::string_view arguments)
{
    std::string_view rest = text::trimBlanks(text::skipDelimiters(text::trimBlanks(arguments)));
    if (rest.empty())
        return 0;
    std::vector<std::string> &stack = interpreter.session().pushedFolders;
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
    if (::chdir(path.c_str()) != 0) {
        Output::errLine(kAccessDenied);
        return 1;
    }
    stack.push_back(from);
    return 0;
}

int FileCommands::popFolder(Interpreter &interpreter, std::string_view)
{
    std::vector<std::string> &stack = interpreter.session().pushedFolders;
    if (stack.empty())
        return 0;
    const std::string folder = stack.back();
    stack.pop_back();
    // A kept folder that has gone since leaves the current one as it is.
    const bool back = ::chdir(folder.c_str()) == 0;
    static_cast<void>(back);
    return 0;
}

// TYPE file...: with several files, or a name with wildcards, each file's
// name goes to the error output before its text, and a name that fails
// is named again after its message.
int FileCommands::type(Interpreter &, std::string_view arguments)
{
    std::vector<std::string> operands = CommandWords::split(arguments);
    if (operands.empty()) {
        Output::errLine(kIncorrect);
        return 1;
    }
    const bool several = operands.size() > 1;
    int code = 0;
    for (const std::string &operand : operands) {
        const std::string written = text::unquote(operand);
        // The null device reads as empty ("type nul >file" makes an empty file).
        if (PathResolver::isNullDevice(written))
            continue;
        const bool wildcards = PathResolver::hasWildcards(written);
        std::vector<std::string> matches = PathResolver::expand(operand);
        bool failed = matches.empty();
        if (failed)
            Output::errLine(notFound(operand));
        for (const std::string &file : matches) {
            if (PathResolver::isDirectory(file)) {
                Output::errLine(kAccessDenied);
                failed = true;
                continue;
            }
            int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) {
                Output::errLine(kAccessDenied);
                failed = true;
                continue;
            }
            if (several || wildcards) {
                // The name as written, its last part replaced by the file's own name.
                const size_t folderEnd = written.find_last_of("/\\");
                const std::string shown =
                    (folderEnd == std::string::npos ? std::string()
                                                    : written.substr(0, folderEnd + 1))
                    + text::baseName(file);
                Output::err("\r\n" + shown + "\r\n\r\n\r\n");
            }
            char buffer[65536];
            ssize_t n;
            while ((n = ::read(fd, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR))
                if (n > 0)
                    Output::out(std::string_view(buffer, static_cast<size_t>(n)));
            ::close(fd);
        }
        if (failed) {
            code = 1;
            if (several)
                Output::errLine("Error occurred while processing: " + written + ".");
        }
    }
    return code;
}

} // namespace zcmd
