#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "zcmd/BatchArguments.h"
#include "zcmd/Text.h"
#include "zcmd/Variables.h"

namespace zcmd {

// How far a command asks the interpreter to stop.
enum class Flow {
    Continue,
    LeaveBatch,   // "exit /b", "goto :eof", the end of a called label
    LeaveProgram, // "exit"
};

// The batch file being run: where it lies, the byte offset of its next line
// (the file is read afresh from disk for every line) and its parameters.
struct BatchFrame {
    std::string path;
    std::uint64_t offset = 0;
    BatchArguments arguments;
    // What each SETLOCAL of this file or called label saved, innermost
    // last: ENDLOCAL, or the end of the file or label, puts it back.
    struct LocalScope {
        Variables variables;
        std::string folder;
        size_t textSize = 0;
        bool delayedExpansion = false;
    };
    std::vector<LocalScope> localScopes;
};

// Everything the interpreter keeps between commands.
struct Session {
    Variables variables;
    int errorLevel = 0;
    bool echoOn = true;
    // The folders PUSHD kept, the last one last; bounded like SETLOCAL.
    std::vector<std::string> pushedFolders;
    // SETLOCAL ENABLEDELAYEDEXPANSION: !NAME! is expanded as each command runs.
    bool delayedExpansion = false;
    Flow flow = Flow::Continue;
    int exitCode = 0;

    // The label a GOTO asked for, looked up once the current line is done.
    std::optional<std::string> pendingGoto;
    // A batch file named without "call" inside a batch file replaces it
    // once the rest of the current line or block has run.
    struct Chain {
        std::string path;
        std::string calledAs;
        std::string argumentText;
    };
    std::optional<Chain> pendingChain;

    BatchFrame *batch = nullptr;  // null on a command line
    size_t savedVariableText = 0; // held by every SETLOCAL that has not ended
    int callDepth = 0;            // inside "call": a named batch file returns
    int batchNesting = 0;         // batch files and called labels running inside one another
    // Batch lines that may still be run; 0 for no limit. The program never
    // sets one; a harness that runs arbitrary scripts in-process does.
    std::uint64_t lineBudget = 0;
    // A side of a pipe runs in a process of its own, which costs as much time
    // as many lines: it takes that many from the budget.
    static constexpr std::uint64_t kPipeSideLines = 20;
    // Takes `lines` from the budget; false once it is spent, and the whole
    // program is then left.
    bool spendBudget(std::uint64_t lines)
    {
        if (lineBudget == 0)
            return !budgetSpent;
        if (lines < lineBudget) {
            lineBudget -= lines;
            return true;
        }
        lineBudget = 0;
        budgetSpent = true;
        flow = Flow::LeaveProgram;
        return false;
    }
    bool budgetSpent = false;
    // Passwords handed to PuTTY's tools privately: kept out of the
    // environment of every program started afterwards.
    std::vector<std::string> secrets;
    // Variables (upper-cased names) that a line gave pscp or plink after
    // "-pw": kept out of every started program's environment.
    std::vector<std::string> secretNames;
    std::string interpreterPath; // this program, for "start" of a batch file

    // A ".cmd" script: SET and its kin clear the error level when they succeed.
    bool inCmdScript() const { return batch && text::iendsWith(batch->path, ".cmd"); }
};

} // namespace zcmd
