#include "jobs/StartupRecovery.h"
#include "jobs/BackupNames.h"
#include "jobs/BackupRecovery.h"
#include "jobs/Generations.h"
#include "jobs/JobOutcome.h"
#include "jobs/JobTable.h"
#include "jobs/NameStaging.h"
#include "platform/JobLock.h"
#include "platform/Platform.h"
#include "platform/RunningScripts.h"

namespace jobs {

namespace {

QString interruptedBackupNotice(bool wasAside, bool wasDiscarded, BackupRecovery::Result result)
{
    platform::FileSystem &files = platform::Platform::files();
    if (result == BackupRecovery::Result::Failed)
        return QStringLiteral(
                   "The last backup did not finish, and Zorvane could not put your previous "
                   "backup back in place: it lies whole in the folder \"PreviousBackup\" in "
                   "Zorvane's working folder \"%1\". Do not delete it: Zorvane tries again each "
                   "time it starts, and a new backup puts it back before it copies anything.")
            .arg(platform::Platform::app().workFolder());
    if (wasAside)
        return QStringLiteral("The last backup did not finish. Your previous backup has been put "
                              "back in place, unchanged. Run the backup again for a newer one.");
    if (wasDiscarded)
        return QStringLiteral("The last backup was cut off as it finished; the new backup had "
                              "been checked complete and is in place.");
    if (files.exists(kIncompleteMark))
        return QStringLiteral("The last backup did not finish. There was no earlier backup; what "
                              "arrived is kept, marked incomplete, and cannot be restored. Run "
                              "the backup again.");
    return QStringLiteral("The last backup did not finish. Run the backup again.");
}

} // namespace

std::optional<QStringList> StartupRecovery::tryNow()
{
    platform::JobLock lock;
    if (!lock.tryTake(false) && lock.wasBusy())
        return std::nullopt;
    // Without a lock file (no job has run here yet) or a usable one, the
    // scripts' own command lines still say whether a job runs here.
    if (!lock.isHeld()
        && platform::scriptRunsHere(scriptFiles(Job::Backup) + scriptFiles(Job::Restore)))
        return std::nullopt;
    platform::FileSystem &files = platform::Platform::files();
    QStringList notices;
    const bool wasAside = files.exists(kPreviousBackupFolder);
    const bool wasDiscarded = files.exists(kDiscardedBackupFolder);
    const BackupRecovery::Result settled = BackupRecovery::settle();
    if (settled == BackupRecovery::Result::Running)
        return std::nullopt;
    if (files.exists(kBackupUnfinishedMark)) {
        notices << interruptedBackupNotice(wasAside, wasDiscarded, settled);
        // Told once the folder is settled; a folder not settled tells again.
        if (settled != BackupRecovery::Result::Failed)
            files.deleteFile(kBackupUnfinishedMark);
    } else if (settled == BackupRecovery::Result::Failed) {
        notices << interruptedBackupNotice(true, false, settled);
    }
    // A backup on its way among the older ones, or one half removed.
    notices << Generations::tidy();
    // What a restore laid apart for the names pscp would cut serves that run only.
    NameStaging::removeLeftOver();
    // Kept until a restore reaches its verdict: the device stays part-restored.
    if (files.exists(kRestoreUnfinishedMark))
        notices << QStringLiteral(
                       "The last restore did not finish: your device holds only part of your "
                       "backup and has not been restarted. Run the restore again to complete it "
                       "before you restart your device; your backup in Zorvane's working folder "
                       "\"%1\" is unchanged.")
                       .arg(platform::Platform::app().workFolder());
    return notices;
}

QString StartupRecovery::runningElsewhereText()
{
    // The running script noted its job first and its end not yet; its
    // command line may lie in a process this window cannot see.
    const std::optional<JobOutcome::Kind> noted = JobOutcome::unendedJob();
    if (noted == JobOutcome::Kind::Restore || platform::scriptRunsHere(scriptFiles(Job::Restore)))
        return QStringLiteral("A restore is running in another Zorvane window; wait for it to "
                              "finish before you start a job here.");
    if (noted == JobOutcome::Kind::Backup || platform::scriptRunsHere(scriptFiles(Job::Backup)))
        return QStringLiteral("A backup is running in another Zorvane window; wait for it to "
                              "finish before you start a job here.");
    return QStringLiteral("A job is running in another Zorvane window; wait for it to finish "
                          "before you start a job here.");
}

} // namespace jobs
