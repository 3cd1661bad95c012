#pragma once
#include <optional>
#include <string>
#include <vector>

#include "zcmd/Session.h"

namespace zcmd {

class Interpreter;

// Runs a batch file line by line: each line is percent-expanded when it is
// reached, lines are joined while a block is open or a line ends in a caret,
// "@" and ECHO OFF keep a line from being echoed, labels are skipped, GOTO
// jumps (searching forward, then from the top), and a batch file named
// without CALL takes over from the running one.
class BatchRunner {
public:
    explicit BatchRunner(Interpreter &interpreter) : interpreter_(interpreter) {}

    // Runs the file to its end; returns the error level it leaves.
    int runFile(const std::string &path, BatchArguments arguments);
    // "call :label": runs the running file's lines from the label.
    int runLabel(const BatchFrame &current, const std::string &label, BatchArguments arguments);

    // Lines split at LF (CR stays until expansion is done; Ctrl-Z also ends a line).
    static bool load(const std::string &path, std::vector<std::string> &lines);
    static std::vector<std::string> splitLines(const std::string &content);
    // The index of the label line, searching from `from` to the end, then from the top.
    static std::optional<size_t> findLabel(const std::vector<std::string> &lines, std::string_view label,
                                           size_t from);

private:
    int run(BatchFrame &frame, size_t firstLine);
    Interpreter &interpreter_;
};

} // namespace zcmd
