#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zcmd {

class Variables;

struct FoundProgram {
    enum class Kind { Executable, Batch };
    std::string path;
    Kind kind = Kind::Executable;
};

// Finds the program a command names, as Windows does: the current folder
// before the folders of PATH, names matched without regard to case, and the
// extensions of PATHEXT tried in its order (.com, .exe, .bat and .cmd where
// it is not set; extensions of other kinds of file are passed over). Programs here
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
    // `extensions` in lower case with their dots, in the order they are tried.
    static std::optional<FoundProgram> findIn(const std::string &folder, std::string_view name,
                                              const std::vector<std::string> &extensions);
    // The extensions a name without one is tried with: PATHEXT's, or the fixed four.
    static std::vector<std::string> searchExtensions(const Variables &variables);
    static bool isExecutableFile(const std::string &path);
    static bool isRegularFile(const std::string &path);
};

} // namespace zcmd
