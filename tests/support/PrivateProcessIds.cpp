#include "support/PrivateProcessIds.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char kMark[] = "ZORVANE_PRIVATE_PIDS";
const char kBasePrefix[] = "pids-";

// unshare's arguments for a new namespace whose first process is a shell that
// waits for the command (and collects any orphan meanwhile).
std::vector<std::string> unshareCommand()
{
    return {"unshare",          "--pid", "--fork", "--mount-proc", "--kill-child", "/bin/sh", "-c",
            "\"$@\" & wait $!", "sh"};
}

bool run(std::vector<std::string> args)
{
    const pid_t pid = ::fork();
    if (pid < 0)
        return false;
    if (pid == 0) {
        std::vector<char *> argv;
        for (std::string &a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> ownCommandLine()
{
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i] == '\0') {
            args.push_back(all.substr(start, i - start));
            start = i + 1;
        }
    }
    char exe[4096];
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n > 0 && !args.empty())
        args.front().assign(exe, size_t(n));
    return args;
}

bool processMentions(const std::string &text)
{
    DIR *proc = ::opendir("/proc");
    if (!proc)
        return true; // cannot tell: assume in use
    bool found = false;
    while (dirent *entry = ::readdir(proc)) {
        const std::string pid = entry->d_name;
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream in("/proc/" + pid + "/cmdline", std::ios::binary);
        const std::string line((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
        if (line.find(text) != std::string::npos) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

// Device bases of programs that are gone: their devices ended with their
// namespace, only the folders are left.
void removeStaleBases(const std::string &base)
{
    DIR *dir = ::opendir(base.c_str());
    if (!dir)
        return;
    std::vector<std::string> stale;
    while (dirent *entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(kBasePrefix, 0) != 0)
            continue;
        const std::string pid = name.substr(sizeof kBasePrefix - 1);
        if (pid.empty() || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        if (::kill(pid_t(std::stol(pid)), 0) == 0 || errno != ESRCH)
            continue;
        stale.push_back(base + "/" + name);
    }
    ::closedir(dir);
    for (const std::string &path : stale)
        if (!processMentions(path + "/"))
            run({"rm", "-rf", "--one-file-system", path});
}

} // namespace

bool PrivateProcessIds::active() { return std::getenv(kMark) != nullptr && ::getpid() <= 3; }

void PrivateProcessIds::enter()
{
    if (std::getenv(kMark) || ::geteuid() != 0)
        return;
    std::vector<std::string> probe = unshareCommand();
    probe.push_back("true");
    if (!run(probe))
        return;
    std::vector<std::string> args = unshareCommand();
    for (const std::string &a : ownCommandLine())
        args.push_back(a);

    const char *given = std::getenv("ZORVANE_DEVICE_BASE");
    const std::string base = given && *given ? given : "/var/lib/zorvane-device";
    removeStaleBases(base);
    // unshare keeps this process's id: the base is named after it.
    const std::string own = base + "/" + kBasePrefix + std::to_string(::getpid());
    const std::string previous = given ? given : "";
    ::setenv("ZORVANE_DEVICE_BASE", own.c_str(), 1);
    ::setenv(kMark, "1", 1);
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    // unshare is missing after all: run here, as started.
    ::unsetenv(kMark);
    if (given)
        ::setenv("ZORVANE_DEVICE_BASE", previous.c_str(), 1);
    else
        ::unsetenv("ZORVANE_DEVICE_BASE");
}
