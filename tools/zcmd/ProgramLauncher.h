#pragma once
#include <string>
#include <vector>

namespace zcmd {

struct LaunchRequest {
    std::string path;                     // the file to run
    std::vector<std::string> arguments;   // argv, the program name first
    std::vector<std::string> environment; // "NAME=value"
    std::vector<int> inherited;           // descriptors the program keeps, open in the caller
};

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
    // Replaces the current process by the program (a child of a pipeline).
    [[noreturn]] static void execInPlace(const LaunchRequest &request);

    struct StartOptions {
        std::string folder;       // current folder of the program
        bool shareOutput = false; // "start /b": keep the script's handles
        bool wait = false;        // "start /wait"
    };
    // Returns false with `error` set when the program could not be started;
    // with `wait`, `exitCode` receives its exit status.
    static bool startDetached(const LaunchRequest &request, const StartOptions &options,
                              int &exitCode, std::string &error);

    static int statusToExitCode(int waitStatus);
    static std::string describeExecError(int error, const std::string &path);
};

} // namespace zcmd
