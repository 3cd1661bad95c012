#pragma once
#include <optional>
#include <string_view>

namespace zcmd {

struct Session;

// A built-in command: gets the session it acts on and the text after its
// name (the separating character included) and returns its status, which
// decides "&&" and "||".
using BuiltinHandler = int (*)(Session &session, std::string_view arguments);

// How a built-in command leaves the error level, as the Windows interpreter does.
enum class ErrorLevelRule {
    SetAlways,        // success sets 0, failure its status (CD, MD, MOVE, REN, DEL, TYPE, COLOR)
    SetOnFailure,     // success leaves it as it was (ECHO, CLS, TITLE, PAUSE, GOTO, SHIFT, START)
    Never,            // its status only decides "&&" and "||" (RD, RMDIR)
    SetLikeCmdScript, // SET: SetAlways in a ".cmd" script, SetOnFailure elsewhere
    OwnRule,          // the command sets it itself (CALL, EXIT)
};

// The interpreter's built-in commands, found by name without regard to case
// (see InternalCommands for when a name counts). "taskkill" and
// "taskkill.exe" are built in here because this system has no such program.
// The Windows interpreter's other internal commands (DIR, FOR ...) match
// without a handler: they are refused, never looked up as programs.
class Builtins {
public:
    struct Match {
        BuiltinHandler handler = nullptr; // null: CALL, or a name zcmd does not implement
        bool call = false;                // CALL, which the interpreter runs itself
        std::string_view name;            // the name as written
        std::string_view arguments;
        ErrorLevelRule rule = ErrorLevelRule::SetOnFailure;
    };
    static std::optional<Match> match(std::string_view commandText);
};

} // namespace zcmd
