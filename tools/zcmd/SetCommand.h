#pragma once
#include <string_view>

namespace zcmd {

struct Session;
struct BatchFrame;
struct Session;

// SET: "set NAME=value" (the value is everything after "=", trailing blanks
// included; an empty value removes the variable), "set "NAME=value"" (the
// value ends at the last quote), "set /p NAME=prompt", "set /a expression"
// (see SetArithmetic), "set" and "set PREFIX" to list variables. PATH: "path" shows the search path, "path ;" clears
// it, "path folders" sets it.
class SetCommand {
public:
    static int run(Session &session, std::string_view arguments);
    static int path(Session &session, std::string_view arguments);
    // PROMPT text sets what command echo shows before each command (the
    // PROMPT variable); PROMPT alone goes back to the folder and '>'.
    static int prompt(Session &session, std::string_view arguments);
    // SETLOCAL saves the variables and the current folder (in a batch file
    // only, at most 32 deep in each file or called label); ENDLOCAL puts
    // the last saved back. With an argument SETLOCAL clears the error level.
    static int setLocal(Session &session, std::string_view arguments);
    static int endLocal(Session &session, std::string_view arguments);
    // Puts back what the outermost SETLOCAL of `frame` saved, if any.
    static void endAllLocals(Session &session, BatchFrame &frame);
};

} // namespace zcmd
