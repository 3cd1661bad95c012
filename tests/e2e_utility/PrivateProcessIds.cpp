#include "PrivateProcessIds.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

const char kMark[] = "ZORVANE_PRIVATE_PIDS";

// unshare's arguments for a new namespace whose first process is a shell that
// waits for the command (and collects any orphan meanwhile).
std::vector<std::string> unshareCommand()
{
    return {"unshare", "--pid", "--fork", "--mount-proc", "--kill-child", "/bin/sh", "-c",
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
    ::setenv(kMark, "1", 1);
    std::vector<char *> argv;
    for (std::string &a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    ::execvp(argv[0], argv.data());
    ::unsetenv(kMark); // unshare is missing after all: run here
}
