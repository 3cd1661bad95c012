// Stand-ins, for the interpreter's fuzzing target, for the two places where
// zcmd reaches other processes: starting a program and ending one by name or
// id. A fuzzed script could otherwise run anything or end any process of the
// machine. They keep the interpreter's side of the bargain (a started
// program "succeeds" at once, nothing of that name runs) and start or end
// nothing.
#include "zcmd/ProcessKiller.h"
#include "zcmd/ProgramLauncher.h"

#include <cstdlib>
#include <unistd.h>

namespace zcmd {

bool ProcessKiller::imageMatches(std::string_view, std::string_view, bool) { return false; }

std::vector<RunningProcess> ProcessKiller::findByImage(std::string_view) { return {}; }

bool ProcessKiller::isOwnProcess(pid_t) { return false; }

int ProgramLauncher::runAndWait(const LaunchRequest &) { return 0; }

void ProgramLauncher::execInPlace(const LaunchRequest &) { ::_exit(0); }

bool ProgramLauncher::startDetached(const LaunchRequest &, const StartOptions &, int &exitCode,
                                    std::string &)
{
    exitCode = 0;
    return true;
}

std::string ProgramLauncher::describeExecError(int, const std::string &)
{
    return "The system cannot execute the specified program.";
}

} // namespace zcmd
