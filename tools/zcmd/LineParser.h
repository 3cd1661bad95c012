#pragma once
#include <string>
#include <string_view>

#include "zcmd/Ast.h"

namespace zcmd {

// Turns one percent-expanded line into commands: the caret escape, double
// quotes that protect special characters, "&", "&&", "||", "|", blocks in
// parentheses (which may span lines), IF with ELSE (an ELSE right after a
// closing parenthesis pairs with the nearest IF still open), redirections
// (also before a command or block), "@", labels and REM. A caret at the end
// of a line joins the next line to it, whose first character is then taken
// literally.
class LineParser {
public:
    enum class Status {
        Complete,
        NeedsMoreInput, // a block is open or the text ends in a caret: append "\n" and the next line
        SyntaxError,
    };

    struct Result {
        Status status = Status::Complete;
        NodePtr tree;       // null for an empty line, a label or a line that begins with a remark
        bool quiet = false; // the line began with "@"
        std::string error;  // the interpreter's message for a syntax error (may be empty)
        // A line that is only a remark: its text from "rem" on, shown when command echo is on.
        std::string remark;
    };

    // `text` holds one or more lines joined by "\n"; `moreLinesFollow` says
    // whether the caller could append another.
    static Result parse(std::string_view text, bool moreLinesFollow);

    // Blocks and IF commands nest at most this deep.
    static constexpr int kMaxNesting = 64;
};

} // namespace zcmd
