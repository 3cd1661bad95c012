#include "zcmd/ProgramFinder.h"

#include "zcmd/PathResolver.h"
#include "zcmd/Text.h"
#include "zcmd/Variables.h"
#include "zcmd/system/System.h"

#include <vector>

namespace zcmd {

namespace {

std::string join(const std::string &folder, const std::string &name)
{
    if (folder.empty() || folder == ".")
        return name;
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return out;
}

std::string lowerExtension(std::string_view name)
{
    size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || dot == 0)
        return std::string();
    return lowered(name.substr(dot + 1));
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
    return System::current().statusOf(path).kind == FileKind::File;
}

bool ProgramFinder::isExecutableFile(const std::string &path)
{
    return isRegularFile(path) && System::current().isExecutable(path);
}

std::vector<std::string> ProgramFinder::searchExtensions(const Variables &variables)
{
    std::vector<std::string> out;
    if (const std::string *setting = variables.find("PATHEXT")) {
        size_t start = 0;
        while (start <= setting->size()) {
            size_t end = setting->find(';', start);
            std::string ext(text::trimBlanks(std::string_view(*setting).substr(
                start, end == std::string::npos ? std::string::npos : end - start)));
            if (ext.size() > 1 && ext.front() == '.')
                out.push_back(lowered(ext));
            if (end == std::string::npos)
                break;
            start = end + 1;
        }
    }
    if (out.empty())
        out = {".com", ".exe", ".bat", ".cmd"};
    return out;
}

std::optional<FoundProgram> ProgramFinder::findIn(const std::string &folder, std::string_view name)
{
    return findIn(folder, name, {".com", ".exe", ".bat", ".cmd"});
}

std::optional<FoundProgram> ProgramFinder::findIn(const std::string &folder, std::string_view name,
                                                  const std::vector<std::string> &extensions)
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
    for (const std::string &extension : extensions) {
        std::optional<FoundProgram> f;
        if (extension == ".com" || extension == ".exe")
            f = executable(base + extension);
        else if (extension == ".bat" || extension == ".cmd")
            f = batch(base + extension);
        if (f)
            return f; // other kinds of file (.vbs, .js...) cannot run here
    }
    return executable(base);
}

std::optional<FoundProgram> ProgramFinder::find(std::string_view name, const Variables &variables)
{
    const std::vector<std::string> extensions = searchExtensions(variables);
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
        return findIn(folder, base, extensions);
    }
    if (auto f = findIn(".", native, extensions))
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
            if (auto f = findIn(folder, native, extensions))
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
