#pragma once
#include <string_view>

namespace zcmd {

struct Session;

// TASKKILL [/F] [/T] /IM image | /PID id ...: ends processes by image name or
// id. /F ends them by force (SIGKILL), otherwise they are asked to end
// (SIGTERM). Status 0 when all went well, 128 when an image or id matched
// nothing, 1 for other failures.
class TaskKillCommand {
public:
    static int run(Session &session, std::string_view arguments);
};

} // namespace zcmd
