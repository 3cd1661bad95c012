#include "jobs/JobStop.h"
#include "jobs/BackupNames.h"
#include "jobs/BackupRecovery.h"
#include "jobs/PlacedGeneration.h"
#include "platform/JobLock.h"
#include "platform/Platform.h"
#include "platform/ProcessTerminator.h"

namespace jobs {

std::optional<Job> JobStop::jobOfCommand(const QString &runnerCommand)
{
    const QString command = runnerCommand.trimmed();
    for (const JobDescription &job : jobTable()) {
        for (const JobScriptChoice &script : job.scripts) {
            if (!script.runnerCommand.isEmpty()
                && (command.compare(script.runnerCommand, Qt::CaseInsensitive) == 0
                    || command.compare(script.fileName, Qt::CaseInsensitive) == 0))
                return job.job;
        }
    }
    return std::nullopt;
}

QString JobStop::question(std::optional<Job> job)
{
    if (job == Job::Backup)
        return QStringLiteral("A backup is running. Stop it? Your previous backup is kept.");
    if (job == Job::Restore)
        return QStringLiteral(
                   "A restore is running. Stop it? Your device then holds only part of your "
                   "backup, and it is not restarted; running the restore again completes it. "
                   "Your backup in Zorvane's working folder \"%1\" is kept.")
            .arg(platform::Platform::app().workFolder());
    if (job == Job::ApplicationsRelocation || job == Job::FontsRelocation)
        return QStringLiteral("A relocation is running on your device. Stop it? The folder may "
                              "be left half moved on your device; running it again finishes it.");
    return QStringLiteral("A job is running. Stop it? What it has done so far stays as it is.");
}

JobStop::Result JobStop::stop(qint64 pid, std::optional<Job> job)
{
    if (!platform::ProcessTerminator::end(pid))
        return Result::Alive;
    // The tools hold the job lock while any of them lives: free, it says the
    // whole job has ended.
    platform::JobLock lock;
    if (!lock.take(kLockWaitMs, false) && lock.wasBusy())
        return Result::Unsettled;
    bool (*const settle)() = job ? jobDescription(*job).settleAfterStop : nullptr;
    if (!settle)
        return Result::Stopped;
    return settle() ? Result::Stopped : Result::Unsettled;
}

bool JobStop::settleStoppedBackup()
{
    const BackupRecovery::Result settled = BackupRecovery::settle();
    if (settled == BackupRecovery::Result::Failed || settled == BackupRecovery::Result::Running)
        return false;
    // The user stopped it and knows: the next start need not tell again.
    platform::FileSystem &files = platform::Platform::files();
    if (files.exists(kBackupUnfinishedMark))
        files.deleteFile(kBackupUnfinishedMark);
    return true;
}

bool JobStop::settleStoppedRestore()
{
    QStringList lines;
    return PlacedGeneration::putBack(&lines);
}

} // namespace jobs
