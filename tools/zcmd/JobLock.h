#pragma once
#include <string>

namespace zcmd {

// One job at a time in a working folder. When the current folder holds the
// program's lock file (a regular file of this user, put there by the program),
// running a batch file takes an exclusive flock on it for the rest of this
// process. The descriptor is inherited by the programs the script runs and
// waits for (pscp, plink), so the lock lasts while any of them still works,
// also when this process or the window was killed; the programs `start`
// launches never get it (they close every descriptor they were not given).
// Without the file nothing is locked: batch files run anywhere else as before.
class JobLock {
public:
    static constexpr const char *kFileName = "Zorvane.lock";

    enum class Result { Taken, NoLockFile, Busy, Refused };

    // Takes the lock unless this process holds it already. Busy: another job holds it. Refused: the file is not
    // a regular file of this user alone, or cannot be opened.
    static Result take();
};

} // namespace zcmd
