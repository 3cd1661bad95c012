#pragma once
#include <string>
#include <vector>

namespace iphuc {

// One command of an iphuc command file.
struct Command {
    enum class Kind { EnterRecovery, WaitFor, SendCommand, EnterDfu, Exit };
    Kind kind;
    std::string argument; // the mode of WaitFor, the text of SendCommand
    int line;             // 1-based line in the file
};

// Reads a command file: one command per line, blank lines and lines starting
// with "#" ignored. Returns false with *error naming the file and line of the
// first line that is not a command.
bool parseCommandFile(const std::string &text, const std::string &fileName,
                      std::vector<Command> *commands, std::string *error);

} // namespace iphuc
