#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zcmd {

// File names as a Windows script writes them, on this file system: "\" is a
// folder separator, names match without regard to case, "." and ".." are
// taken by the text, "*" and "?" are wildcards and NUL is the null device.
class PathResolver {
public:
    // Quotes removed and backslashes turned into slashes.
    static std::string toNative(std::string_view windowsPath);
    // The existing path the name means, each part matched without regard to
    // case; parts that do not exist are kept as written.
    static std::string resolve(std::string_view windowsPath);
    // The entry of `folder` called `name`, the exact spelling first.
    static std::optional<std::string> findEntry(const std::string &folder, std::string_view name);
    // Every entry of `folder`, or nothing when it cannot be read.
    static std::vector<std::string> list(const std::string &folder);

    static bool hasWildcards(std::string_view path);
    static bool wildcardMatch(std::string_view pattern, std::string_view name);
    // The existing paths a name with wildcards in its last part stands for.
    static std::vector<std::string> expand(std::string_view windowsPath);
    // IF EXIST: a name that exists, or a name with wildcards that matches
    // something in its folder, "." and ".." included.
    static bool anyExists(std::string_view windowsPath);

    // True when the name's folder part names no folder that exists: the
    // path, not the file, is missing ("nofolder\x.txt").
    static bool folderMissing(std::string_view windowsPath);

    static bool isNullDevice(std::string_view windowsPath);
    static bool exists(const std::string &path);
    static bool isDirectory(const std::string &path);
    static std::string absolute(const std::string &path);
};

} // namespace zcmd
