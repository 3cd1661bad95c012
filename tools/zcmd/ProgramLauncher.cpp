#include "zcmd/ProgramLauncher.h"

#include "zcmd/Output.h"
#include "zcmd/Text.h"

#include <cerrno>
#include <cstdlib>

namespace zcmd {

namespace {

const char kNoResources[] = "Not enough memory resources are available to process this command.";

} // namespace

std::string ProgramLauncher::describeExecError(int error, const std::string &path)
{
    switch (error) {
    case EACCES:
    case EPERM: return "Access is denied.";
    case ENOENT:
    case ENOTDIR: return "The system cannot find the file " + text::baseName(path) + ".";
    case ENOEXEC: return "The system cannot execute the specified program.";
    default: return "The system cannot execute the specified program.";
    }
}

void ProgramLauncher::execInPlace(const LaunchRequest &request)
{
    System &system = System::current();
    const int error = system.replaceProcess(request);
    Output::errLine(describeExecError(error, request.path));
    system.exitProcess(1);
    std::abort(); // not reached; the compiler cannot see through the virtual call
}

int ProgramLauncher::runAndWait(const LaunchRequest &request)
{
    System &system = System::current();
    const ProcessId pid = system.startChild(request, &execInPlace);
    if (pid < 0) {
        Output::errLine(kNoResources);
        return -1;
    }
    return system.waitForExit(pid).value_or(1);
}

bool ProgramLauncher::startDetached(const LaunchRequest &request, const StartOptions &options,
                                    int &exitCode, std::string &error)
{
    const DetachedOutcome outcome = System::current().startDetached(request, options);
    switch (outcome.result) {
    case DetachedOutcome::Result::Started: exitCode = outcome.exitCode; return true;
    case DetachedOutcome::Result::NoResources: error = kNoResources; return false;
    case DetachedOutcome::Result::ProgramFailed:
        error = describeExecError(outcome.error, request.path);
        return false;
    }
    return false;
}

} // namespace zcmd
