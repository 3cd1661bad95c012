#pragma once
#include <string_view>

namespace zcmd {

struct Session;

// EXIT (and EXIT /B), GOTO, SHIFT and REM (CALL: see CallCommand).
class FlowCommands {
public:
    static int exit(Session &session, std::string_view arguments);
    static int gotoLabel(Session &session, std::string_view arguments);
    static int shift(Session &session, std::string_view arguments);
    static int rem(Session &session, std::string_view arguments);
};

} // namespace zcmd
