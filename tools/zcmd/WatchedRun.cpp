#include "zcmd/WatchedRun.h"

#include "zcmd/Output.h"
#include "zcmd/Text.h"
#include "zcmd/system/System.h"

namespace zcmd {

bool WatchedRun::deviceGone_ = false;

namespace {

constexpr int kLookEveryMs = 1000;

} // namespace

bool WatchedRun::deviceGone()
{
    return deviceGone_;
}

int WatchedRun::runAndWait(const LaunchRequest &request)
{
    const StallLimits limits = StallLimits::fromEnvironment();
    System &system = System::current();
    const ProcessId pid = system.startChild(request, &ProgramLauncher::execInPlace);
    if (pid < 0) {
        Output::errLine("Not enough memory resources are available to process this command.");
        return -1;
    }
    const std::string name = text::toUpper(text::baseName(request.path));
    const bool mayBeQuiet = name.rfind("PLINK", 0) == 0;
    const std::unique_ptr<LinkProbe> probe = system.probeLink(pid);
    std::int64_t last = system.steadyMs();
    StallWatch watch(limits, deviceGone_, last);
    for (;;) {
        bool lost = false;
        if (const std::optional<int> code = system.exitedYet(pid, lost)) {
            if (watch.everMoved())
                deviceGone_ = false;
            return *code;
        }
        if (lost)
            return 1;
        probe->waitAWhile(kLookEveryMs);
        const std::int64_t now = system.steadyMs();
        const bool moved = probe->moved(now - last);
        last = now;
        const StallWatch::Say say = watch.sample(now, moved);
        if (moved)
            deviceGone_ = false;
        // Without a look at its sockets a quiet command cannot be told from
        // a cut link: plink is then left to itself. A copy always moves
        // bytes through the process while the link lives.
        if (!probe->seesSockets() && mayBeQuiet)
            continue;
        switch (say) {
        case StallWatch::Say::Nothing: break;
        case StallWatch::Say::Quiet:
            Output::errLine("\r\n" + StallWatch::quietText(watch.quietSeconds(now),
                                                           watch.stopSeconds()));
            break;
        case StallWatch::Say::Back: Output::errLine("\r\n" + StallWatch::backText()); break;
        case StallWatch::Say::Stop: {
            system.endProcess(pid, true);
            system.waitForExit(pid);
            Output::errLine("\r\n" + StallWatch::stopText(watch.quietSeconds(now)));
            deviceGone_ = true;
            return 1;
        }
        }
    }
}

} // namespace zcmd
