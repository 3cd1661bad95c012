#pragma once
#include <cstdint>
#include <string>

#include "zcmd/LineParser.h"
#include "zcmd/LineRunner.h"
#include "zcmd/Session.h"

namespace zcmd {

// Runs a batch file line by line, reading each line from disk when it is
// reached (see BatchFileReader): each line is percent-expanded, lines are
// joined while a block is open or a line ends in a caret, "@" and ECHO OFF
// keep a line from being echoed, labels are skipped, GOTO jumps to the next
// label of that name after the current line (wrapping round to the top), and
// a batch file named without CALL takes over from the running one.
class BatchRunner {
public:
    explicit BatchRunner(LineRunner &interpreter)
        : interpreter_(interpreter)
    {}

    // Runs the file to its end; returns the error level it leaves.
    int runFile(const std::string &path, BatchArguments arguments);
    // "call :label": runs the running file from the next label of that name.
    int runLabel(const BatchFrame &current, const std::string &label, BatchArguments arguments);

private:
    int run(BatchFrame &frame);
    // Reads, expands and parses the next whole command line of the frame;
    // false at the end of the file or when the file has gone.
    bool readCommand(BatchFrame &frame, LineParser::Result &parsed);
    LineRunner &interpreter_;
};

} // namespace zcmd
