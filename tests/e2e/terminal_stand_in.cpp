// Test stand-in for the terminal window that the SSH first-run job opens (named
// by ZORVANE_TERMINAL). It runs the given command line in a pseudo-terminal, as
// a terminal emulator does, and plays the person in front of it: it answers
// pscp's "Store key in cache?" question (and "Update cached key?" for a key
// that changed) with "y" (or the --key-answer given) and
// presses a key at "Press any key to continue". Everything the command writes goes to the log file,
// followed by one line "[terminal stand-in: exit N]" (N is 128 + the signal for
// a command ended by a signal, "timeout" when it was ended after the time limit).
//
//   terminal_stand_in --log FILE [--timeout SECONDS] [--key-answer y|n] PROGRAM [ARGUMENT...]
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Prompt {
    const char *text;
    std::string answer;
};

void writeAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        data += n;
        size -= size_t(n);
    }
}

double now()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

int usage()
{
    std::fprintf(stderr,
                 "usage: terminal_stand_in --log FILE [--timeout SECONDS] [--key-answer y|n] "
                 "PROGRAM [ARGUMENT...]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    const char *logPath = nullptr;
    double limit = 120;
    std::string keyAnswer = "y";
    int i = 1;
    for (; i + 1 < argc && argv[i][0] == '-' && argv[i][1] == '-'; i += 2) {
        if (std::strcmp(argv[i], "--log") == 0)
            logPath = argv[i + 1];
        else if (std::strcmp(argv[i], "--timeout") == 0)
            limit = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--key-answer") == 0)
            keyAnswer = argv[i + 1];
        else
            return usage();
    }
    if (!logPath || i >= argc || limit <= 0)
        return usage();
    const int log = ::open(logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    if (log < 0) {
        std::perror(logPath);
        return 1;
    }

    // What a person types when the window shows these texts.
    const Prompt prompts[] = {
        {"Store key in cache?", keyAnswer + "\n"},
        {"Update cached key?", keyAnswer + "\n"},
        {"Press any key to continue", "\n"},
    };

    int master = -1;
    const pid_t child = ::forkpty(&master, nullptr, nullptr, nullptr);
    if (child < 0) {
        std::perror("forkpty");
        return 1;
    }
    if (child == 0) {
        ::execvp(argv[i], argv + i);
        std::fprintf(stderr, "terminal stand-in: cannot run %s: %s\n", argv[i],
                     std::strerror(errno));
        ::_exit(127);
    }

    std::string screen;    // everything shown so far
    size_t answeredTo = 0; // prompts before this offset have been answered
    const double deadline = now() + limit;
    bool timedOut = false;
    int status = 0;
    bool exited = false;
    while (true) {
        pollfd p{master, POLLIN, 0};
        const int left = int((deadline - now()) * 1000);
        if (left <= 0) {
            timedOut = true;
            ::kill(child, SIGKILL);
            break;
        }
        const int ready = ::poll(&p, 1, left < 200 ? left : 200);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready > 0) {
            char buffer[4096];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0 && !(n < 0 && errno == EINTR))
                break; // EIO: every holder of the terminal has gone
            if (n > 0) {
                writeAll(log, buffer, size_t(n));
                screen.append(buffer, size_t(n));
                for (const Prompt &prompt : prompts) {
                    const size_t at = screen.find(prompt.text, answeredTo);
                    if (at != std::string::npos) {
                        writeAll(master, prompt.answer.data(), prompt.answer.size());
                        answeredTo = at + std::strlen(prompt.text);
                    }
                }
            }
        } else if (::waitpid(child, &status, WNOHANG) == child) {
            // The command has ended and the terminal is quiet: nothing more comes.
            exited = true;
            break;
        }
    }
    if (!exited)
        ::waitpid(child, &status, 0);
    ::close(master);

    std::string last = "\n[terminal stand-in: exit ";
    if (timedOut)
        last += "timeout";
    else if (WIFSIGNALED(status))
        last += std::to_string(128 + WTERMSIG(status));
    else
        last += std::to_string(WEXITSTATUS(status));
    last += "]\n";
    writeAll(log, last.data(), last.size());
    ::close(log);
    return timedOut ? 124 : 0;
}
