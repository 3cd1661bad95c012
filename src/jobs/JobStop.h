#pragma once
#include "jobs/JobTable.h"

#include <QString>
#include <optional>

namespace jobs {

// Stopping a job that runs through the window's runner, when the window is
// closed during it: the question to ask, then the stop itself. The job's
// whole process tree (the interpreter and the tools it waits for) is ended
// and waited for; once the job lock is free again, what a stopped backup set
// aside is put back, as a start would.
class JobStop {
public:
    // The job whose script the runner's command names, if any.
    static std::optional<Job> jobOfCommand(const QString &runnerCommand);
    // The question asked before stopping it (Yes stops it).
    static QString question(std::optional<Job> job);

    enum class Result {
        Stopped, // the tree has ended and the folder is settled
        Unsettled, // the tree has ended, but the folder could not be settled yet
        Alive,   // the tree could not be ended
    };
    // `pid` is the runner's interpreter, which leads the job's process group.
    static Result stop(qint64 pid, std::optional<Job> job);

    // What a stopped backup set aside is put back, as a start would, and its
    // unfinished mark goes; false when that cannot be done yet.
    static bool settleStoppedBackup();
    // The newest backup back in place where the stopped restore sent an older
    // one; false when that cannot be done yet.
    static bool settleStoppedRestore();

    // How long the job lock may take to come free after the tree has ended.
    static constexpr int kLockWaitMs = 5000;
};

} // namespace jobs
