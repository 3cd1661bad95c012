#include "zcmd/WatchedRun.h"

#include "zcmd/Output.h"
#include "zcmd/Text.h"
#include "zcmd/TransferProbe.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace zcmd {

bool WatchedRun::deviceGone_ = false;

namespace {

std::int64_t steadyMs()
{
    timespec t{};
    ::clock_gettime(CLOCK_MONOTONIC, &t);
    return std::int64_t(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

constexpr int kLookEveryMs = 1000;

// Waits up to `ms` for the process to end (its pidfd turns readable), or
// sleeps that long where there is none.
void waitAWhile(int exitFd, int ms)
{
    if (exitFd >= 0) {
        pollfd p{exitFd, POLLIN, 0};
        ::poll(&p, 1, ms);
        return;
    }
    timespec t{ms / 1000, (ms % 1000) * 1000000L};
    while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

} // namespace

bool WatchedRun::deviceGone()
{
    return deviceGone_;
}

int WatchedRun::runAndWait(const LaunchRequest &request)
{
    const StallLimits limits = StallLimits::fromEnvironment();
    pid_t pid = ::fork();
    if (pid < 0) {
        Output::errLine("Not enough memory resources are available to process this command.");
        return -1;
    }
    if (pid == 0)
        ProgramLauncher::execInPlace(request);
    const std::string name = text::toUpper(text::baseName(request.path));
    const bool mayBeQuiet = name.rfind("PLINK", 0) == 0;
    TransferProbe probe(pid);
    std::int64_t last = steadyMs();
    StallWatch watch(limits, deviceGone_, last);
    for (;;) {
        int status = 0;
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) {
            if (watch.everMoved())
                deviceGone_ = false;
            return ProgramLauncher::statusToExitCode(status);
        }
        if (r < 0 && errno != EINTR)
            return 1;
        waitAWhile(probe.exitDescriptor(), kLookEveryMs);
        const std::int64_t now = steadyMs();
        const bool moved = probe.moved(now - last);
        last = now;
        const StallWatch::Say say = watch.sample(now, moved);
        if (moved)
            deviceGone_ = false;
        // Without a look at its sockets a quiet command cannot be told from
        // a cut link: plink is then left to itself. A copy always moves
        // bytes through the process while the link lives.
        if (!probe.seesSockets() && mayBeQuiet)
            continue;
        switch (say) {
        case StallWatch::Say::Nothing: break;
        case StallWatch::Say::Quiet:
            Output::errLine("\r\n" + StallWatch::quietText(watch.quietSeconds(now),
                                                           watch.stopSeconds()));
            break;
        case StallWatch::Say::Back: Output::errLine("\r\n" + StallWatch::backText()); break;
        case StallWatch::Say::Stop: {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            Output::errLine("\r\n" + StallWatch::stopText(watch.quietSeconds(now)));
            deviceGone_ = true;
            return 1;
        }
        }
    }
}

} // namespace zcmd
