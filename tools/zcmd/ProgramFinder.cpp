#include "zcmd/ProgramFinder.h"

#include "zcmd/PathResolver.h"
#include "zcmd/Text.h"
#include "zcmd/Variables.h"

#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace zcmd {

namespace {

std::string join(const std::string &folder, const std::string &name)
{
    if (folder.empty() || folder == ".")
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string lowerExtension(std::string_view name)
{
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return std::string();
    std::string ext(name.substr(dot + 1));
    for (char &c : ext)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext;
}

// The spelling of `name` in the listing, the exact one first.
std::optional<std::string> match(const std::vector<std::string> &entries, std::string_view name)
{
    for (const std::string &e : entries)
        if (e == name)
            return e;
    for (const std::string &e : entries)
        if (text::iequals(e, name))
            return e;
    return std::nullopt;
}

} // namespace

bool ProgramFinder::isRegularFile(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ProgramFinder::isExecutableFile(const std::string &path)
{
    return isRegularFile(path) && ::access(path.c_str(), X_OK) == 0;
}

std::optional<FoundProgram> ProgramFinder::findIn(const std::string &folder, std::string_view name)
{
    std::vector<std::string> entries = PathResolver::list(folder.empty() ? "." : folder);
    if (entries.empty())
        return std::nullopt;

    auto executable = [&](const std::string &wanted) -> std::optional<FoundProgram> {
        if (auto found = match(entries, wanted)) {
            std::string path = PathResolver::absolute(join(folder, *found));
            if (isExecutableFile(path))
                return FoundProgram{path, FoundProgram::Kind::Executable};
        }
        return std::nullopt;
    };
    auto batch = [&](const std::string &wanted) -> std::optional<FoundProgram> {
        if (auto found = match(entries, wanted)) {
            std::string path = PathResolver::absolute(join(folder, *found));
            if (isRegularFile(path))
                return FoundProgram{path, FoundProgram::Kind::Batch};
        }
        return std::nullopt;
    };

    const std::string base(name);
    const std::string ext = lowerExtension(name);
    if (ext == "bat" || ext == "cmd")
        return batch(base);
    if (ext == "exe" || ext == "com") {
        if (auto f = executable(base))
            return f;
        return executable(base.substr(0, base.size() - 4));
    }
    if (auto f = executable(base + ".com"))
        return f;
    if (auto f = executable(base + ".exe"))
        return f;
    if (auto f = batch(base + ".bat"))
        return f;
    if (auto f = batch(base + ".cmd"))
        return f;
    return executable(base);
}

std::optional<FoundProgram> ProgramFinder::find(std::string_view name, const Variables &variables)
{
    std::string native = PathResolver::toNative(name);
    if (native.empty())
        return std::nullopt;
    size_t slash = native.rfind('/');
    if (slash != std::string::npos) {
        std::string folder =
            slash == 0 ? std::string("/") : PathResolver::resolve(native.substr(0, slash));
        std::string base = native.substr(slash + 1);
        if (base.empty())
            return std::nullopt;
        return findIn(folder, base);
    }
    if (auto f = findIn(".", native))
        return f;
    const std::string *path = variables.find("PATH");
    if (!path)
        return std::nullopt;
    // Folders are separated by ";" as on Windows, or by ":" as in the
    // environment this program inherits; a folder may be quoted or relative.
    size_t start = 0;
    while (start <= path->size()) {
        size_t end = path->find_first_of(";:", start);
        std::string entry =
            path->substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::string folder = PathResolver::resolve(text::trimBlanks(entry));
        if (!text::trimBlanks(text::unquote(entry)).empty() && folder != ".")
            if (auto f = findIn(folder, native))
                return f;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return std::nullopt;
}

std::optional<FoundProgram> ProgramFinder::findCommand(std::string_view name,
                                                       const Variables &variables,
                                                       const std::string &interpreterPath)
{
    if (auto found = find(name, variables))
        return found;
    if (!interpreterPath.empty() && (text::iequals(name, "cmd") || text::iequals(name, "cmd.exe")))
        return FoundProgram{interpreterPath, FoundProgram::Kind::Executable};
    return std::nullopt;
}

} // namespace zcmd
