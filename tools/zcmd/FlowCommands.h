#pragma once
#include <string_view>

namespace zcmd {

class Interpreter;

// EXIT (and EXIT /B), GOTO, CALL, SHIFT and REM.
class FlowCommands {
public:
    static int exit(Interpreter &interpreter, std::string_view arguments);
    static int gotoLabel(Interpreter &interpreter, std::string_view arguments);
    // Expands its text a second time; sets the error level itself: what a
    // called label or batch file leaves, 0 after a command that set none,
    // 1 for "call" alone or a missing label.
    static int call(Interpreter &interpreter, std::string_view arguments);
    static int shift(Interpreter &interpreter, std::string_view arguments);
    static int rem(Interpreter &interpreter, std::string_view arguments);
};

} // namespace zcmd
