#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zcmd {

// Splits the argument text of a built-in command into words the way the
// Windows command interpreter does: words end at blanks, tabs, commas,
// semicolons and equal signs outside double quotes; quotes stay in the word.
class CommandWords {
public:
    static std::vector<std::string> split(std::string_view text);
    // Where the first word of the text ends (the command name of a command line).
    static size_t firstWordEnd(std::string_view text);
    // Splits switches written together ("/S/Q") and returns them upper-cased
    // without their slash; the remaining words are returned in `operands`.
    static std::vector<std::string> switches(const std::vector<std::string> &words,
                                             std::vector<std::string> &operands);
};

} // namespace zcmd
