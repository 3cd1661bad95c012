#include "zcmd/ProgramLauncher.h"

#include "zcmd/Output.h"
#include "zcmd/Text.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zcmd {

namespace {

std::vector<char *> pointers(const std::vector<std::string> &strings)
{
    std::vector<char *> out;
    out.reserve(strings.size() + 1);
    for (const std::string &s : strings)
        out.push_back(const_cast<char *>(s.c_str()));
    out.push_back(nullptr);
    return out;
}

pid_t waitFor(pid_t pid, int &status)
{
    pid_t r;
    do {
        r = ::waitpid(pid, &status, 0);
    } while (r < 0 && errno == EINTR);
    return r;
}

// Closes every descriptor from `first` on except those in `keep`.
void closeDescriptorsFrom(int first, std::vector<int> keep)
{
    std::sort(keep.begin(), keep.end());
    bool closed = true;
    int from = first;
    for (int fd : keep) {
        if (fd < from)
            continue;
        if (fd > from
            && ::close_range(static_cast<unsigned>(from), static_cast<unsigned>(fd - 1), 0) != 0)
            closed = false;
        from = fd + 1;
    }
    if (closed && ::close_range(static_cast<unsigned>(from), ~0U, 0) == 0)
        return;
    long max = ::sysconf(_SC_OPEN_MAX);
    if (max < 0 || max > 65536)
        max = 65536;
    for (int fd = first; fd < max; ++fd)
        if (std::find(keep.begin(), keep.end(), fd) == keep.end())
            ::close(fd);
}

// The descriptors the program is meant to inherit survive its exec.
void keepAcrossExec(const std::vector<int> &inherited)
{
    for (int fd : inherited)
        ::fcntl(fd, F_SETFD, 0);
}

void restoreDefaultSignals()
{
    for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGTSTP, SIGTTIN, SIGTTOU})
        ::signal(sig, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
}

} // namespace

int ProgramLauncher::statusToExitCode(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return 1;
}

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
    std::vector<char *> argv = pointers(request.arguments);
    std::vector<char *> envp = pointers(request.environment);
    keepAcrossExec(request.inherited);
    ::execve(request.path.c_str(), argv.data(), envp.data());
    Output::errLine(describeExecError(errno, request.path));
    ::_exit(1);
}

int ProgramLauncher::runAndWait(const LaunchRequest &request)
{
    pid_t pid = ::fork();
    if (pid < 0) {
        Output::errLine("Not enough memory resources are available to process this command.");
        return -1;
    }
    if (pid == 0)
        execInPlace(request);
    int status = 0;
    if (waitFor(pid, status) < 0)
        return 1;
    return statusToExitCode(status);
}

bool ProgramLauncher::startDetached(const LaunchRequest &request, const StartOptions &options,
                                    int &exitCode, std::string &error)
{
    // The child reports a failed exec through this pipe; a successful exec
    // closes it (close-on-exec), so an empty read means the program runs.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        error = "Not enough memory resources are available to process this command.";
        return false;
    }
    std::vector<char *> argv = pointers(request.arguments);
    std::vector<char *> envp = pointers(request.environment);
    pid_t pid = ::fork();
    if (pid < 0) {
        ::close(report[0]);
        ::close(report[1]);
        error = "Not enough memory resources are available to process this command.";
        return false;
    }
    if (pid == 0) {
        ::close(report[0]);
        ::setsid();
        if (!options.wait) {
            // A second fork: the program is nobody's child here and outlives the script.
            pid_t grandchild = ::fork();
            if (grandchild != 0)
                ::_exit(grandchild < 0 ? 1 : 0);
        }
        if (!options.shareOutput) {
            int nul = ::open("/dev/null", O_RDWR);
            if (nul >= 0) {
                ::dup2(nul, 0);
                ::dup2(nul, 1);
                ::dup2(nul, 2);
            }
        }
        std::vector<int> keep = request.inherited;
        keep.push_back(report[1]);
        closeDescriptorsFrom(3, keep);
        keepAcrossExec(request.inherited);
        restoreDefaultSignals();
        if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0) {
            int e = errno;
            (void)!::write(report[1], &e, sizeof e);
            ::_exit(127);
        }
        ::execve(request.path.c_str(), argv.data(), envp.data());
        int e = errno;
        (void)!::write(report[1], &e, sizeof e);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    if (!options.wait)
        waitFor(pid, status); // the intermediate child ends at once
    int childError = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &childError, sizeof childError);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == static_cast<ssize_t>(sizeof childError)) {
        if (options.wait)
            waitFor(pid, status);
        error = describeExecError(childError, request.path);
        return false;
    }
    exitCode = 0;
    if (options.wait) {
        waitFor(pid, status);
        exitCode = statusToExitCode(status);
    }
    return true;
}

} // namespace zcmd
