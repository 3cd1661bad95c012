#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace zcmd {

class Variables;

struct FoundProgram {
    enum class Kind { Executable, Batch };
    std::string path;
    Kind kind = Kind::Executable;
};

// Finds the program a command names, as Windows does: the current folder
// before the folders of PATH, names matched without regard to case, and the
// extensions .com, .exe, .bat and .cmd tried in that order. Programs here
// carry no extension, so "x.exe" and "x.com" also find an executable "x", and
// a bare "x" finds an executable "x" after the extensions. Files that cannot
// run here (a ".exe" without execute permission) are passed over.
class ProgramFinder {
public:
    static std::optional<FoundProgram> find(std::string_view name, const Variables &variables);
    // As find(); where nothing else answers to "cmd" or "cmd.exe", the
    // interpreter itself (`interpreterPath`) does, as the Windows one does.
    static std::optional<FoundProgram> findCommand(std::string_view name,
                                                   const Variables &variables,
                                                   const std::string &interpreterPath);
    static std::optional<FoundProgram> findIn(const std::string &folder, std::string_view name);
    static bool isExecutableFile(const std::string &path);
    static bool isRegularFile(const std::string &path);
};

} // namespace zcmd
