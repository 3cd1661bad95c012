// The real system's processes: starting, waiting, ending and finding them.
#include "zcmd/system/PosixSystem.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

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

// A program that aborted (a failed assertion in pscp) ends with 3, as an
// aborted program does on Windows, so a script can tell it from an error the
// program reported; any other signal is a plain failure.
int exitCodeOf(int status)
{
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGABRT ? 3 : 1;
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

[[noreturn]] void reportAndLeave(int report, int error)
{
    (void)!::write(report, &error, sizeof error);
    ::_exit(127);
}

std::string readSmallFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string procFile(ProcessId pid, const char *name)
{
    return readSmallFile("/proc/" + std::to_string(pid) + "/" + name);
}

bool hasEnded(ProcessId pid)
{
    const std::string stat = procFile(pid, "stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos || close + 2 >= stat.size())
        return true;
    const char state = stat[close + 2];
    return state == 'Z' || state == 'X' || state == 'x';
}

std::string baseName(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string executableName(ProcessId pid)
{
    char buffer[4096];
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n <= 0)
        return std::string();
    std::string target(buffer, static_cast<size_t>(n));
    const std::string deleted = " (deleted)";
    if (target.size() > deleted.size()
        && target.compare(target.size() - deleted.size(), deleted.size(), deleted) == 0)
        target.resize(target.size() - deleted.size());
    return baseName(target);
}

// Whose the process is: the real user on the "Uid:" line of its status.
// The owner of /proc/PID is the effective user, which is root for a
// set-uid-root program whoever started it.
bool ownedByUs(ProcessId pid)
{
    const std::string status = procFile(pid, "status");
    size_t at = status.rfind("\nUid:");
    if (at == std::string::npos)
        return false;
    at += 5;
    while (at < status.size() && (status[at] == '\t' || status[at] == ' '))
        ++at;
    size_t end = at;
    while (end < status.size() && status[end] >= '0' && status[end] <= '9')
        ++end;
    if (end == at || end - at > 10)
        return false;
    return std::stoul(status.substr(at, end - at)) == static_cast<unsigned long>(::geteuid());
}

} // namespace

ProcessId PosixSystem::forkProcess() { return ::fork(); }

ProcessId PosixSystem::startChild(const LaunchRequest &request,
                                  void (*becomeProgram)(const LaunchRequest &))
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        becomeProgram(request);
        ::_exit(1);
    }
    return pid;
}

int PosixSystem::replaceProcess(const LaunchRequest &request)
{
    std::vector<char *> argv = pointers(request.arguments);
    std::vector<char *> envp = pointers(request.environment);
    keepAcrossExec(request.inherited);
    ::execve(request.path.c_str(), argv.data(), envp.data());
    return errno;
}

void PosixSystem::exitProcess(int code) { ::_exit(code); }

std::optional<int> PosixSystem::waitForExit(ProcessId child)
{
    int status = 0;
    if (waitFor(child, status) < 0)
        return std::nullopt;
    return exitCodeOf(status);
}

std::optional<int> PosixSystem::exitedYet(ProcessId child, bool &lost)
{
    int status = 0;
    const pid_t r = ::waitpid(child, &status, WNOHANG);
    lost = r < 0 && errno != EINTR;
    if (r == child)
        return exitCodeOf(status);
    return std::nullopt;
}

DetachedOutcome PosixSystem::startDetached(const LaunchRequest &request,
                                           const DetachedStart &options)
{
    DetachedOutcome outcome;
    // The child reports a failed exec through this pipe; a successful exec
    // closes it (close-on-exec), so an empty read means the program runs.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return outcome;
    std::vector<char *> argv = pointers(request.arguments);
    std::vector<char *> envp = pointers(request.environment);
    const pid_t pid = ::fork();
    if (pid < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return outcome;
    }
    if (pid == 0) {
        ::close(report[0]);
        ::setsid();
        if (!options.wait) {
            // A second fork: the program is nobody's child here and outlives the script.
            const pid_t grandchild = ::fork();
            if (grandchild != 0)
                ::_exit(grandchild < 0 ? 1 : 0);
        }
        if (!options.shareOutput) {
            const int nul = ::open(kNullDevice, O_RDWR);
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
        if (!options.folder.empty() && ::chdir(options.folder.c_str()) != 0)
            reportAndLeave(report[1], errno);
        ::execve(request.path.c_str(), argv.data(), envp.data());
        reportAndLeave(report[1], errno);
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
        outcome.result = DetachedOutcome::Result::ProgramFailed;
        outcome.error = childError;
        return outcome;
    }
    outcome.result = DetachedOutcome::Result::Started;
    if (options.wait) {
        waitFor(pid, status);
        outcome.exitCode = exitCodeOf(status);
    }
    return outcome;
}

int PosixSystem::endProcess(ProcessId process, bool force)
{
    return ::kill(process, force ? SIGKILL : SIGTERM) == 0 ? 0 : errno;
}

bool PosixSystem::processExists(ProcessId process) { return ::kill(process, 0) == 0; }

ProcessId PosixSystem::ownProcessId() { return ::getpid(); }

std::vector<ProcessId> PosixSystem::processIds()
{
    std::vector<ProcessId> ids;
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return ids;
    while (dirent *entry = ::readdir(proc)) {
        const std::string name(entry->d_name);
        if (!name.empty() && name.size() < 10
            && name.find_first_not_of("0123456789") == std::string::npos)
            ids.push_back(static_cast<ProcessId>(std::stol(name)));
    }
    ::closedir(proc);
    return ids;
}

ProcessInfo PosixSystem::processInfo(ProcessId process)
{
    ProcessInfo info;
    info.ownedByUs = ownedByUs(process);
    info.ended = hasEnded(process);
    info.executableName = executableName(process);
    info.commandName = procFile(process, "comm");
    while (!info.commandName.empty()
           && (info.commandName.back() == '\n' || info.commandName.back() == '\r'))
        info.commandName.pop_back();
    return info;
}

std::string PosixSystem::ownProgramPath()
{
    char buffer[4096];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

void PosixSystem::ignoreBrokenPipe() { ::signal(SIGPIPE, SIG_IGN); }

char **PosixSystem::environment() { return environ; }

const char *PosixSystem::environmentValue(const char *name) { return std::getenv(name); }

std::string PosixSystem::handlePath(int handle) { return "/dev/fd/" + std::to_string(handle); }

std::int64_t PosixSystem::steadyMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

} // namespace zcmd
