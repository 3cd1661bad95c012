#pragma once
#include <QtGlobal>

namespace platform {

// Ends another process. A process that leads its own process group (as every
// command the runner starts does) is ended together with its whole group, so
// that a cancelled command leaves none of its children behind: first a polite
// SIGTERM, then, after a short grace, SIGKILL.
class ProcessTerminator {
public:
    static constexpr int kGraceMs = 1000;
    static constexpr int kKillWaitMs = 2000;

    // True when the process (and its group) is gone afterwards, also when it was
    // gone before. False for an id that names no process we may signal.
    static bool end(qint64 pid, int graceMs = kGraceMs);

    // True when no process with this id runs any more (an ended process whose
    // parent has not yet collected it counts as gone).
    static bool isGone(qint64 pid);

    // The processes of this process group that still run.
    static int liveGroupMembers(qint64 pgid);
};

} // namespace platform
