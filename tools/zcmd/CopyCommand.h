#pragma once
#include <string_view>

namespace zcmd {

struct Session;

// COPY, with Windows file names (see PathResolver) and the interpreter's messages.
class CopyCommand {
public:
    static int run(Session &session, std::string_view arguments);
};

} // namespace zcmd
