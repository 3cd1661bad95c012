#include "zcmd/PathResolver.h"

#include "zcmd/FileNamePattern.h"
#include "zcmd/Text.h"

#include "zcmd/system/System.h"

#include <algorithm>

namespace zcmd {

std::string PathResolver::toNative(std::string_view windowsPath)
{
    std::string out = text::unquote(windowsPath);
    for (char &c : out)
        if (c == '\\')
            c = '/';
    return out;
}

std::vector<std::string> PathResolver::list(const std::string &folder)
{
    return System::current().listFolder(folder);
}

std::optional<std::string> PathResolver::findEntry(const std::string &folder, std::string_view name)
{
    std::string exact = (folder.empty() ? std::string() : folder + "/") + std::string(name);
    if (System::current().linkStatusOf(exact).exists())
        return std::string(name);
    for (const std::string &entry : list(folder))
        if (text::iequals(entry, name))
            return entry;
    return std::nullopt;
}

std::string PathResolver::resolve(std::string_view windowsPath)
{
    std::string path = toNative(windowsPath);
    if (path.empty())
        return path;
    const bool fromRoot = path.front() == '/';
    // "." and ".." go by the text, as on Windows: "missing\..\file" is "file".
    std::vector<std::string> parts;
    std::vector<bool> found; // whether each part exists as spelled in `parts`
    auto joined = [&]() {
        std::string out = fromRoot ? "/" : "";
        for (size_t k = 0; k < parts.size(); ++k)
            out += (k ? "/" : "") + parts[k];
        return out.empty() ? std::string(".") : out;
    };
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        std::string part =
            path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
                found.pop_back();
            } else if (!fromRoot) {
                parts.push_back(part);
                found.push_back(true);
            }
        } else if (!part.empty() && part != ".") {
            std::optional<std::string> entry;
            if (found.empty() || found.back())
                entry = findEntry(joined(), part);
            parts.push_back(entry ? *entry : part);
            found.push_back(entry.has_value());
        }
        if (slash == std::string::npos)
            break;
        start = slash + 1;
    }
    std::string out = joined();
    if (path.size() > 1 && path.back() == '/' && out.back() != '/')
        out += '/';
    return out;
}

bool PathResolver::hasWildcards(std::string_view path)
{
    return path.find_first_of("*?") != std::string_view::npos;
}

bool PathResolver::wildcardMatch(std::string_view pattern, std::string_view name)
{
    // "*.*" means every name, with or without a dot, as on Windows.
    if (pattern == "*.*")
        return true;
    size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size()
            && (pattern[p] == '?' || text::upper(pattern[p]) == text::upper(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

std::vector<std::string> PathResolver::expand(std::string_view windowsPath)
{
    std::string path = toNative(windowsPath);
    std::vector<std::string> out;
    if (!hasWildcards(path)) {
        std::string resolved = resolve(windowsPath);
        if (exists(resolved))
            out.push_back(resolved);
        return out;
    }
    size_t slash = path.rfind('/');
    std::string folder =
        slash == std::string::npos ? std::string() : resolve(path.substr(0, slash + 1));
    std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    std::vector<std::string> names = list(folder.empty() ? "." : folder);
    // In name order, as a Windows file system lists a folder.
    std::sort(names.begin(), names.end(), [](const std::string &a, const std::string &b) {
        return text::toUpper(a) < text::toUpper(b);
    });
    for (const std::string &entry : names)
        if (FileNamePattern::matches(pattern, entry))
            out.push_back(folder.empty() ? entry
                                         : (folder.back() == '/' ? folder : folder + "/") + entry);
    return out;
}

bool PathResolver::anyExists(std::string_view windowsPath)
{
    std::string path = toNative(windowsPath);
    const size_t lastSlash = path.rfind('/');
    const std::string last = lastSlash == std::string::npos ? path : path.substr(lastSlash + 1);
    // The null device is in every folder: "if exist folder\nul" tells
    // whether the folder exists, and "if exist nul" is always true.
    if (isNullDevice(last))
        return lastSlash == std::string::npos
               || isDirectory(resolve(path.substr(0, lastSlash + 1)));
    if (!expand(windowsPath).empty())
        return true;
    if (!hasWildcards(path)) {
        // Windows drops the dots and blanks that end a name: "name." is "name".
        size_t end = last.find_last_not_of(". ");
        if (end == std::string::npos || end + 1 == last.size())
            return false;
        std::string trimmed = path.substr(0, path.size() - (last.size() - end - 1));
        return exists(resolve(trimmed));
    }
    // A folder's listing also holds "." and "..", which wildcards may match.
    size_t slash = path.rfind('/');
    std::string folder =
        slash == std::string::npos ? std::string(".") : resolve(path.substr(0, slash + 1));
    std::string pattern = slash == std::string::npos ? path : path.substr(slash + 1);
    return isDirectory(folder)
           && (FileNamePattern::matches(pattern, ".") || FileNamePattern::matches(pattern, ".."));
}

bool PathResolver::folderMissing(std::string_view windowsPath)
{
    std::string path = toNative(windowsPath);
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return false;
    return !isDirectory(slash == 0 ? std::string("/") : resolve(path.substr(0, slash + 1)));
}

bool PathResolver::isNullDevice(std::string_view windowsPath)
{
    std::string name = text::unquote(windowsPath);
    return text::iequals(name, "NUL") || text::iequals(name, "NUL:");
}

bool PathResolver::exists(const std::string &path)
{
    // A dangling link exists too.
    return System::current().linkStatusOf(path).exists();
}

bool PathResolver::isDirectory(const std::string &path)
{
    return System::current().statusOf(path).kind == FileKind::Folder;
}

std::string PathResolver::absolute(const std::string &path)
{
    if (!path.empty() && path.front() == '/')
        return path;
    const std::string cwd = System::current().currentFolder();
    if (path.empty() || path == ".")
        return cwd;
    std::string rel = path.rfind("./", 0) == 0 ? path.substr(2) : path;
    return cwd == "/" ? "/" + rel : cwd + "/" + rel;
}

} // namespace zcmd
