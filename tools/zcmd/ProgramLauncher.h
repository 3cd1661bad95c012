#pragma once
#include <string>

#include "zcmd/system/System.h"

namespace zcmd {

// Starts programs for the interpreter.
//
// A program run by a script line shares the script's standard handles and
// the script waits for it. SIGPIPE stays ignored in it, as in the
// interpreter: on Windows a program whose reader has gone gets a write
// error, it is not ended, and a job goes on after the program reading its
// output was closed.
//
// A program run by "start" is detached: a session of its own, standard
// handles on the null device (so that whoever reads the script's output sees
// its end), the default signal handling, and it outlives the script.
class ProgramLauncher {
public:
    // The program's exit status; 1 when a signal ended it, as a forced end
    // gives on Windows; -1 (message written) when it could not be started.
    static int runAndWait(const LaunchRequest &request);
    // Replaces the current process by the program (in the child made for it).
    [[noreturn]] static void execInPlace(const LaunchRequest &request);

    using StartOptions = DetachedStart; // "start /b" shares the output; "start /wait" waits
    // Returns false with `error` set when the program could not be started;
    // with `wait`, `exitCode` receives its exit status.
    static bool startDetached(const LaunchRequest &request, const StartOptions &options,
                              int &exitCode, std::string &error);

    static std::string describeExecError(int error, const std::string &path);
};

} // namespace zcmd
