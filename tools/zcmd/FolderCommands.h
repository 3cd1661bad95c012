#pragma once
#include <string_view>

namespace zcmd {

struct Session;

// MKDIR/MD, CD/CHDIR, PUSHD and POPD, with Windows file names (see
// PathResolver) and the interpreter's messages.
class FolderCommands {
public:
    static int makeDirectory(Session &session, std::string_view arguments);
    static int changeDirectory(Session &session, std::string_view arguments);
    // PUSHD folder: keeps the current folder on a stack and changes to the
    // folder; POPD changes back to the folder last kept.
    static int pushFolder(Session &session, std::string_view arguments);
    static int popFolder(Session &session, std::string_view arguments);
};

} // namespace zcmd
