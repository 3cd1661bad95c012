#pragma once
#include <string_view>

namespace zcmd {

class Interpreter;

// SET: "set NAME=value" (the value is everything after "=", trailing blanks
// included; an empty value removes the variable), "set "NAME=value"" (the
// value ends at the last quote), "set /p NAME=prompt", "set /a expression"
// (see SetArithmetic), "set" and "set PREFIX" to list variables. PATH: "path" shows the search path, "path ;" clears
// it, "path folders" sets it.
class SetCommand {
public:
    static int run(Interpreter &interpreter, std::string_view arguments);
    static int path(Interpreter &interpreter, std::string_view arguments);
};

} // namespace zcmd
