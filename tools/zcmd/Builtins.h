#pragma once
#include <optional>
#include <string_view>

namespace zcmd {

class Interpreter;

// A built-in command: gets the text after its name (the separating
// character included) and returns its status.
using BuiltinHandler = int (*)(Interpreter &interpreter, std::string_view arguments);

// The interpreter's built-in commands, found by name without regard to case.
// A name counts when a blank, a delimiter or one of / ( . : \ [ ] + follows
// it, so "echo." and "cd.." work as on Windows. "taskkill" and
// "taskkill.exe" are built in here because this system has no such program.
class Builtins {
public:
    struct Match {
        BuiltinHandler handler = nullptr;
        std::string_view arguments;
        bool alwaysSetsErrorLevel = false; // behaves as a program: success sets 0
    };
    static std::optional<Match> match(std::string_view commandText);
};

} // namespace zcmd
