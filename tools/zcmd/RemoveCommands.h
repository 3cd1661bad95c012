#pragma once
#include <string>
#include <string_view>

namespace zcmd {

struct Session;

// RMDIR/RD and DEL/ERASE, with Windows file names (see PathResolver) and
// the interpreter's messages.
class RemoveCommands {
public:
    static int removeDirectory(Session &session, std::string_view arguments);
    static int deleteFiles(Session &session, std::string_view arguments);

    // Removes a file, a link or a folder with everything in it; links are
    // removed, never followed.
    static bool removeTree(const std::string &path);
};

} // namespace zcmd
