#pragma once
#include <string_view>

namespace zcmd {

// The names of the Windows interpreter's internal commands: those zcmd
// runs itself (Builtins) and those it refuses (DIR, FOR ...), IF included.
// A name counts at the start of a command when a blank, a delimiter or one
// of / ( . : \ [ ] + follows it, so "echo." and "cd.." work as on Windows.
class InternalCommands {
public:
    static bool isName(std::string_view word);
    // Whether `commandText` starts with `name` by that rule.
    static bool startsWith(std::string_view commandText, std::string_view name);
    // The internal name `commandText` starts with; empty when none.
    static std::string_view leadingName(std::string_view commandText);
};

} // namespace zcmd
