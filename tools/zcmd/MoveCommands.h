#pragma once
#include <string>
#include <string_view>

namespace zcmd {

struct Session;

// MOVE and REN/RENAME, with Windows file names (see PathResolver) and the
// interpreter's messages.
class MoveCommands {
public:
    static int move(Session &session, std::string_view arguments);
    static int rename(Session &session, std::string_view arguments);
};

} // namespace zcmd
