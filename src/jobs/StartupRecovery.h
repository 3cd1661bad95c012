#pragma once
#include <QStringList>
#include <optional>

namespace jobs {

// What a start finds left by a job that did not reach its verdict, settled
// while no job runs in the working folder: a backup set aside is put back
// (BackupRecovery), left-over name staging goes, and what the user must know
// comes back as notices. Nothing is touched while another job's processes
// hold the job lock: the caller tries again once it is free.
class StartupRecovery {
public:
    // nullopt: a job runs in the folder now (its processes hold the lock) and
    // nothing was touched. Otherwise what was found, to tell the user.
    static std::optional<QStringList> tryNow();

    // What a window started while a job runs elsewhere in the folder says.
    static QString runningElsewhereText();
};

} // namespace jobs
