#pragma once
#include <QStringList>

namespace platform {

// Job scripts hold the device's password. A job that ends the program from
// outside leaves its script behind, because the exit clean-up never runs on
// that path. The next start of the program removes the scripts an earlier
// run left, each as soon as the interpreter running it has finished with it:
// zcmd holds a shared lock on a batch file while it runs it, and the removal
// waits for an exclusive one. A script written afresh meanwhile (a job of
// the new run) is left alone.
class LeftOverScripts {
public:
    // Names relative to the current folder. Returns at once; each removal
    // waits in the background.
    static void removeWhenFinished(const QStringList &names);
};

} // namespace platform
