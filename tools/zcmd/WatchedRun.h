#pragma once
#include "zcmd/ProgramLauncher.h"
#include "zcmd/StallWatch.h"

namespace zcmd {

// Runs a PuTTY tool (pscp, plink) the way ProgramLauncher::runAndWait runs a
// program, under a watchdog: while the link to the device shows no sign of
// life (System::probeLink), the step says so on its output every few seconds,
// and at the limit it is ended and fails with that cause named. A link that
// comes back in time lets the step go on. The first step stopped shortens
// the limit of the steps after it in this run (StallLimits::afterStopSeconds)
// until one of them shows life again.
class WatchedRun {
public:
    // The program's exit status; 1 when it was stopped or a signal ended it;
    // -1 (message written) when it could not be started.
    static int runAndWait(const LaunchRequest &request);

    // Whether a step of this run was stopped and none showed life since.
    static bool deviceGone();

private:
    static bool deviceGone_;
};

} // namespace zcmd
