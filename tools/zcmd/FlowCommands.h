#pragma once
#include <string_view>

namespace zcmd {

class Interpreter;

// EXIT (and EXIT /B), GOTO, CALL and REM.
class FlowCommands {
public:
    static int exit(Interpreter &interpreter, std::string_view arguments);
    static int gotoLabel(Interpreter &interpreter, std::string_view arguments);
    static int call(Interpreter &interpreter, std::string_view arguments);
    static int rem(Interpreter &interpreter, std::string_view arguments);
};

} // namespace zcmd
